/** @file bench_control_long_line.cpp
 ** A 21-line file whose middle line is 3.4 MB of short words (about 800,000 tokens) in the
 ** shown control: open time and memory (against a file of the same size in normal lines),
 ** a typed character at the start, middle and end of the long line, a full repaint with
 ** the long line in view, and horizontal scrolling through the long line and a short one.
 ** Goals: open within 0.16 s, at most 4 bytes per byte of text at the peak and no more than
 ** the normal file once open, a typed character under 17 ms, a full repaint under 10 ms,
 ** horizontal scrolling as fast through the long line as through a short one. */
#include <QApplication>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string_view>
#include <unordered_set>
#include <unistd.h>

#include "QebGenerator.h"
#include "qt/SyntaxMemoWidget.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

// Lines 0..9 and 11..20 are ordinary source; line 10 is `bytes` bytes of 2..5-letter words.
std::string LongLineFile(std::size_t bytes) {
  std::mt19937 rng(7);
  std::string line;
  line.reserve(bytes + 8);
  while (line.size() < bytes) {
    const int n = 2 + static_cast<int>(rng() % 4);
    for (int i = 0; i < n; ++i) line += static_cast<char>('a' + rng() % 26);
    line += ' ';
  }
  return GenerateQebLines(10, 3) + line + "\r\n" + GenerateQebLines(10, 4);
}

// Peak RSS since the last reset (Linux: writing 5 to clear_refs resets VmHWM).
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }
std::size_t Peak() {
  std::ifstream f("/proc/self/status");
  std::string key;
  while (f >> key) {
    std::size_t kb;
    if (key == "VmHWM:" && f >> kb) return kb * 1024;
  }
  return 0;
}

struct Window {
  QWidget window;
  TSxSyntaxMemoWidget* widget = new TSxSyntaxMemoWidget(&window);
  TSxSyntaxMemo& memo = widget->Memo();
  Window() {
    memo.SetFont("Lucida Console", -13);
    const int frame = widget->ClientOrigin().x();
    const int h = 60 * memo.LineHeight + memo.HorzScrollBar->Thickness() + 2 * frame;
    window.resize(900, h);
    widget->setGeometry(0, 0, 900, h);
    window.show();
  }
};

struct Opened {
  double ms;
  double perByte, peakPerByte;
};

Opened Open(Window& w, const std::string& path, std::size_t size) {
  malloc_trim(0);
  const std::size_t before = CurrentRss();
  ResetPeak();
  const auto t0 = Clock::now();
  w.memo.Lines->LoadFromFile(path);
  const double ms = Ms(t0, Clock::now());
  const std::size_t peak = Peak();
  malloc_trim(0);
  const std::size_t after = CurrentRss();
  return Opened{ms, double(after - before) / double(size), double(peak - before) / double(size)};
}

// Mean time of a typed character and a Backspace at a column of a line, painted rows included.
double TypeMs(TSxSyntaxMemo& memo, std::int32_t col, std::int32_t line) {
  memo.Range->SetCaretPos(TTextPos{col, line});
  constexpr int keys = 40;
  const auto t0 = Clock::now();
  for (int i = 0; i < keys; ++i) {
    if (i % 2 == 0) {
      memo.KeyPress('q');
    } else {
      memo.KeyDown(VK_BACK, {});
    }
  }
  return Ms(t0, Clock::now()) / keys;
}

double RepaintMs(TSxSyntaxMemo& memo) {
  constexpr int reps = 20;
  const auto t0 = Clock::now();
  for (int i = 0; i < reps; ++i) memo.InvalidateAll();
  return Ms(t0, Clock::now()) / reps;
}

// Mean time of a 32-pixel horizontal scroll step (a full repaint each) starting at `left`.
double ScrollMs(TSxSyntaxMemo& memo, int left) {
  memo.ScrollAxis(0, left);
  constexpr int steps = 50;
  const auto t0 = Clock::now();
  for (int i = 0; i < steps; ++i) memo.ScrollAxis(0, memo.LeftOffset + 32);
  return Ms(t0, Clock::now()) / steps;
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const std::size_t longBytes = 3400000;
  const std::string text = LongLineFile(longBytes);
  const std::string path = "/tmp/qeb-bench-long-line.txt", normalPath = "/tmp/qeb-bench-long-normal.txt";
  std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
  const std::string normalText = GenerateQebBytes(text.size(), 5);
  std::ofstream(normalPath, std::ios::binary).write(normalText.data(), static_cast<std::streamsize>(normalText.size()));

  Opened normal;
  double shortStep;
  {
    Window w;
    normal = Open(w, normalPath, normalText.size());
  }
  {
    // The same document with a line of 400 bytes in place of the long one.
    Window w;
    w.memo.Lines->LoadFromStream(LongLineFile(400));
    shortStep = ScrollMs(w.memo, 0);
  }
  double classifiedMs;
  {
    // The application offers every word to its keyword table: a hashed look-up a word.
    Window w;
    static const std::unordered_set<std::string_view> keywords = {"if", "do", "end", "var", "proc", "loc", "obj"};
    w.memo.SetOnParseWord([](TSxSyntaxParser&, std::string_view word, int, int, TToken& kind) {
      if (keywords.count(word)) kind = 255;
    });
    classifiedMs = Open(w, path, text.size()).ms;
  }
  Window w;
  const Opened open = Open(w, path, text.size());
  TSxSyntaxMemo& memo = w.memo;
  const std::int32_t longLine = 10;
  const auto longLen = static_cast<std::int32_t>(memo.Lines->Get(longLine).size());
  std::printf("open, %zu bytes, long line of %d bytes (%d tokens): %.1f ms (goal <= 160)\n", text.size(), longLen,
              memo.Lines->TokenCount(longLine), open.ms);
  std::printf("open with every word offered to a keyword set: %.1f ms\n", classifiedMs);
  std::printf("memory after open: %.2f bytes per byte (normal lines: %.2f), peak %.2f (goal <= 4)\n", open.perByte,
              normal.perByte, open.peakPerByte);

  std::printf("typed character in the long line: start %.2f ms, middle %.2f ms, end %.2f ms (goal < 17)\n",
              TypeMs(memo, 8, longLine), TypeMs(memo, longLen / 2, longLine), TypeMs(memo, longLen - 4, longLine));
  std::printf("typed character in a short line: %.3f ms\n", TypeMs(memo, 2, 3));

  memo.ScrollAxis(1, 0);
  const double r0 = RepaintMs(memo);
  memo.ScrollAxis(0, memo.LineTextX(longLen / 2, longLine));
  const double r1 = RepaintMs(memo);
  memo.ScrollAxis(0, memo.LineTextX(longLen, longLine) - 300);
  const double r2 = RepaintMs(memo);
  std::printf("full repaint, 60 rows, long line in view: start %.3f ms, middle %.3f ms, end %.3f ms (goal < 10)\n",
              r0, r1, r2);
  const double longStep = ScrollMs(memo, memo.LineTextX(longLen / 2, longLine));
  std::printf("horizontal scroll step: through a 400-byte line %.3f ms, through the long line %.3f ms (ratio %.2f)\n", shortStep,
              longStep, longStep / shortStep);
  std::printf("horizontal range %d, text width of the long line %d\n", memo.HorzScrollBar->Max(),
              memo.LineTextX(longLen, longLine));
  {
    // The long line as one comment: every row showing it ends in the same run.
    std::string comment = text;
    const std::size_t at = comment.find("\r\n", comment.size() / 2 - longBytes / 2 - 200) + 2;
    comment.insert(at, "/* ");
    Window c;
    c.memo.SyntaxAttributes->SyntaxFlags |= HasMLComment;
    c.memo.SyntaxAttributes->LitMLCommentB = "/*";
    c.memo.SyntaxAttributes->LitMLCommentE = "*/";
    c.memo.Lines->LoadFromStream(comment);
    c.memo.ScrollAxis(0, c.memo.LineTextX(longLen / 2, longLine));
    std::printf("full repaint, the long line one open comment: %.3f ms\n", RepaintMs(c.memo));
  }
  unlink(path.c_str());
  unlink(normalPath.c_str());
  return 0;
}
