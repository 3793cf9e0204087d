/** @file QebGenerator.cpp
 ** A small grammar of locations and procedures, driven by a fixed-seed generator. */
#include "QebGenerator.h"

#include <cstdio>
#include <cstring>
#include <random>
#include <sys/resource.h>
#include <vector>

#include "base/Cp1251.h"

namespace {

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {
    for (const char* w : {"локация", "процедура", "если", "иначе", "конец", "вывод", "игрок", "предмет",
                          "комната", "дверь", "открыть", "взять", "положить", "осмотреть", "север", "юг",
                          "фонарь", "ключ", "сундук", "Главная", "число", "строка", "пока", "вернуть"})
      words_.push_back(cp1251::FromUtf8(w));
  }

  // Appends one line (without its line end) to out; the nesting depth carries between lines.
  void Line(std::string& out) {
    const std::string indent(static_cast<std::size_t>(depth_) * 2, ' ');
    out += indent;
    switch (rng_() % 10) {
      case 0:
        if (depth_ < 6) {
          out += Word() + " " + Word() + " " + Word() + " {";
          ++depth_;
          return;
        }
        [[fallthrough]];
      case 1:
        if (depth_ > 0) {
          out.resize(out.size() - 2);
          out += "}";
          --depth_;
          return;
        }
        out += "// " + Word() + " " + Word() + " " + Word();
        return;
      case 2: out += "// " + Word() + " " + Word() + " " + Word() + " " + Word() + " " + Word(); return;
      case 3: out += "{ " + Word() + " " + Word() + " " + Word() + " }"; return;
      case 4:
        out += Word() + "(\"" + Word() + " " + Word() + " " + Word() + "\", " + std::to_string(rng_() % 1000) + ");";
        return;
      case 5:
        out += Word() + "." + Word() + " := " + std::to_string(rng_() % 100000) + "." + std::to_string(rng_() % 100) +
               " + " + Word() + ";";
        return;
      default:
        out += Word() + " " + Word() + " = " + Word() + "[" + std::to_string(rng_() % 50) + "] + " + Word() + ";";
        if (rng_() % 2) out += " // " + Word() + " " + Word();
        return;
    }
  }

 private:
  const std::string& Word() { return words_[rng_() % words_.size()]; }
  std::mt19937 rng_;
  std::vector<std::string> words_;
  int depth_ = 0;
};

}  // namespace

std::string GenerateQebBytes(std::size_t bytes, unsigned seed) {
  Generator g(seed);
  std::string out;
  out.reserve(bytes + 256);
  while (out.size() < bytes) {
    g.Line(out);
    out += "\r\n";
  }
  return out;
}

std::string GenerateQebLines(std::size_t lines, unsigned seed) {
  Generator g(seed);
  std::string out;
  out.reserve(lines * 56);
  for (std::size_t i = 0; i < lines; ++i) {
    g.Line(out);
    out += "\r\n";
  }
  return out;
}

std::size_t CurrentRss() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0;
  long pages = 0, resident = 0;
  if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
  std::fclose(f);
  return static_cast<std::size_t>(resident) * 4096;
}

std::size_t CurrentAnonymousRss() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0;
  long pages = 0, resident = 0, shared = 0;
  if (std::fscanf(f, "%ld %ld %ld", &pages, &resident, &shared) != 3) resident = shared = 0;
  std::fclose(f);
  return static_cast<std::size_t>(resident - shared) * 4096;
}

std::size_t PeakRss() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<std::size_t>(u.ru_maxrss) * 1024;
}
