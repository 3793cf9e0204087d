/** @file TextLines.cpp
 ** Whole-file reading with errors that name the file. */
#include "TextLines.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../base/Errors.h"

int OpenForReading(const std::string& fileName) {
  int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return -1;
  }
  return fd;
}

std::string ReadOpenFile(int fd, const std::string& fileName) {
  std::string data;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) data.reserve(static_cast<std::size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      ::close(fd);
      ThrowFileError("прочитать", fileName, e);
    }
    data.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return data;
}

std::string ReadFileBytes(const std::string& fileName) {
  int fd = OpenForReading(fileName);
  if (fd < 0) ThrowFileError("открыть", fileName, errno);
  return ReadOpenFile(fd, fileName);
}
