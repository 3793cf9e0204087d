// Paint cost of the editor control: a full repaint of a 60-row window and the time from a
// keystroke to its painted row, on a 1,000-line and a 1,000,000-line document.
#include <QApplication>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "QebGenerator.h"
#include "qt/SyntaxMemoWidget.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
  double loadMs = 0;
  double repaintMs = 0;
  double keystrokeMs = 0;
};

Figures Measure(std::size_t lines) {
  QWidget window;
  auto* widget = new TSxSyntaxMemoWidget(&window);
  TSxSyntaxMemo& memo = widget->Memo();
  memo.SetFont("Lucida Console", -13);
  const int frame = widget->ClientOrigin().x();
  const int h = 60 * memo.LineHeight + memo.HorzScrollBar->Thickness() + 2 * frame;
  window.resize(900, h);
  widget->setGeometry(0, 0, 900, h);
  window.show();

  const std::string source = GenerateQebLines(lines);
  const auto l0 = Clock::now();
  memo.Lines->LoadFromStream(source);
  const double loadMs = std::chrono::duration<double, std::milli>(Clock::now() - l0).count();
  memo.GotoLine(0, static_cast<std::int32_t>(lines / 2));

  constexpr int repaints = 50;
  const auto r0 = Clock::now();
  for (int i = 0; i < repaints; ++i) memo.InvalidateAll();
  const double repaintMs = std::chrono::duration<double, std::milli>(Clock::now() - r0).count() / repaints;

  constexpr int keys = 400;
  const auto k0 = Clock::now();
  for (int i = 0; i < keys; ++i) {
    if (i % 2 == 0) {
      memo.KeyPress('a');
    } else {
      memo.KeyDown(VK_BACK, {});
    }
  }
  const double keyMs = std::chrono::duration<double, std::milli>(Clock::now() - k0).count() / keys;
  return Figures{loadMs, repaintMs, keyMs};
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const Figures small = Measure(1000);
  const Figures large = Measure(1000000);
  std::printf("load into the shown control: 1k lines %8.3f ms   1M lines %8.1f ms\n", small.loadMs, large.loadMs);
  std::printf("full repaint, 60 rows:   1k lines %8.3f ms   1M lines %8.3f ms   ratio %.2f (goal <= 1.5)\n",
              small.repaintMs, large.repaintMs, large.repaintMs / small.repaintMs);
  std::printf("keystroke to painted row: 1k lines %8.3f ms   1M lines %8.3f ms   ratio %.2f (goal <= 1.5)\n",
              small.keystrokeMs, large.keystrokeMs, large.keystrokeMs / small.keystrokeMs);
  return 0;
}
