// Load and full tokenization of a 50 MB QEB file against a memchr newline scan of
// the same bytes; memory per byte of text; a one-character edit in a 1k-line and a
// 1M-line document. Prints its figures.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <unistd.h>

#include "QebGenerator.h"
#include "document/MemoModel.h"

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

double EditMicros(std::size_t lines) {
  TSxMemoModel m;
  m.Lines->LoadFromStream(GenerateQebLines(lines, 3));
  const int line = static_cast<int>(lines / 2);
  std::string text(m.Lines->Get(line));
  const int reps = 20000;
  auto t0 = Clock::now();
  for (int i = 0; i < reps; ++i) {
    text.insert(text.size() / 2, 1, 'x');
    m.Lines->BeginUpdate();
    m.Lines->Put(line, text);
    m.Lines->EndUpdate();
    if (text.size() > 200) text.resize(40);
  }
  return Seconds(t0, Clock::now()) / reps * 1e6;
}

}  // namespace

int main() {
  const std::size_t size = 50u << 20;
  const std::string path = "/tmp/qeb-bench-50mb.qeb";
  {
    std::string text = GenerateQebBytes(size, 1);
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    auto t0 = Clock::now();
    std::size_t newlines = 0;
    for (int rep = 0; rep < 5; ++rep) {
      const char* p = text.data();
      const char* end = p + text.size();
      while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))))) ++p, ++newlines;
    }
    const double scan = Seconds(t0, Clock::now()) / 5;
    std::printf("memchr newline scan: %.0f MB/s (%zu lines)\n", text.size() / scan / 1e6, newlines / 5);
  }
  malloc_trim(0);
  const std::size_t before = CurrentRss();
  TSxMemoModel m;
  auto t0 = Clock::now();
  m.Lines->LoadFromFile(path);
  const double load = Seconds(t0, Clock::now());
  malloc_trim(0);
  const std::size_t after = CurrentRss();
  std::printf("load + full tokenization: %.3f s, %.0f MB/s, %d lines\n", load, size / load / 1e6, m.Lines->Count());
  std::printf("memory after load: %.2f bytes per byte of text (peak RSS of the process %.2f)\n",
              double(after - before) / size, double(PeakRss()) / size);
  // Tokenizing alone: every line again, as a syntax change does.
  t0 = Clock::now();
  m.Lines->BeginUpdate();
  m.Lines->RequestRetokenizeAll();
  m.Lines->EndUpdate();
  const double tokenize = Seconds(t0, Clock::now());
  std::printf("full re-tokenization alone: %.3f s, %.0f MB/s\n", tokenize, size / tokenize / 1e6);
  const double k1 = EditMicros(1000), m1 = EditMicros(1000000);
  std::printf("one-character edit: %.2f us in 1k lines, %.2f us in 1M lines (ratio %.2f)\n", k1, m1, m1 / k1);
  unlink(path.c_str());
}
