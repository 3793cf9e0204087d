/** @file AtomicFile.cpp
 ** Temporary file, fsync, rename. */
#include "AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "../base/Errors.h"

namespace {

// Follows symbolic links of the final path component so the link itself survives.
std::string ResolveLinks(const std::string& name) {
  std::string path = name;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::vector<char> buf(PATH_MAX + 1);
    ssize_t n = ::readlink(path.c_str(), buf.data(), PATH_MAX);
    if (n < 0) return path;
    std::string target(buf.data(), static_cast<std::size_t>(n));
    if (!target.empty() && target[0] != '/') {
      std::size_t slash = path.rfind('/');
      target = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
    }
    path = target;
  }
  return path;
}

std::string DirectoryOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view data) {
  const char* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

void WriteFileAtomically(const std::string& fileName, std::string_view data) {
  const std::string target = ResolveLinks(fileName);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) ThrowFileError("сохранить", fileName, EISDIR);
  if (exists && !S_ISREG(old.st_mode)) {
    // A device or pipe cannot be replaced by renaming; it takes the bytes directly.
    int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) ThrowFileError("сохранить", fileName, errno);
    if (!WriteAll(fd, data)) {
      int e = errno;
      ::close(fd);
      ThrowFileError("сохранить", fileName, e);
    }
    if (::close(fd) != 0) ThrowFileError("сохранить", fileName, errno);
    return;
  }

  const std::string dir = DirectoryOf(target);
  std::string base = target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
  std::string tmp = dir + "/." + base + ".XXXXXX";
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) ThrowFileError("сохранить", fileName, errno);

  auto fail = [&](int code) {
    ::close(fd);
    ::unlink(tmp.c_str());
    ThrowFileError("сохранить", fileName, code);
  };
  mode_t mode = 0666;
  if (exists) {
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  if (::fchmod(fd, mode) != 0) fail(errno);
  if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
    // Best effort: keeps the owner when we may; a file we cannot chown stays ours.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) { /* not fatal */ }
  }
  if (!WriteAll(fd, data)) fail(errno);
  if (::fsync(fd) != 0) fail(errno);
  if (::close(fd) != 0) {
    int e = errno;
    ::unlink(tmp.c_str());
    ThrowFileError("сохранить", fileName, e);
  }
  if (::rename(tmp.c_str(), target.c_str()) != 0) {
    int e = errno;
    ::unlink(tmp.c_str());
    ThrowFileError("сохранить", fileName, e);
  }
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}
