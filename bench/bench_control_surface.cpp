/** @file bench_control_surface.cpp
 ** Cost of composing rows on the Qt row surface: the gutter fills, token backgrounds,
 ** token texts in alternating styles, a glyph and the copy to the window image.
 ** Goal: a typical 100-column row of 30 tokens composes and copies in under 150 us, so
 ** a full 60-row repaint stays under 10 ms. */
#include <QGuiApplication>
#include <QImage>

#include <chrono>
#include <cstdio>
#include <string>

#include "base/Cp1251.h"
#include "qt/QtResources.h"
#include "qt/QtSurface.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  TSxFont font;
  font.Height = -13;
  const TSxCharWidths widths = MeasureCharWidths(font);
  const int lineHeight = LineHeightOf(font);
  TSxQtSurface row(900, lineHeight);
  row.SetFont(font);
  QImage window(900, lineHeight * 60, QImage::Format_RGB32);
  auto glyphs = LoadQtBitmap("BREAKPOINTS");
  auto mask = LoadQtBitmap("BREAKPOINTSMASK");

  const std::string word = cp1251::FromUtf8("слово");
  constexpr int kRows = 3000, kTokens = 30;
  const auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < kRows; ++r) {
    row.FillRect({0, 0, 28, lineHeight}, SystemColor(15));
    row.Line(28, 0, 28, lineHeight, SystemColor(20));
    row.Line(29, 0, 29, lineHeight, SystemColor(16));
    row.FillRect({30, 0, 900, lineHeight}, SystemColor(5));
    row.DrawGlyph(2, 2, *glyphs, 11, mask.get());
    row.SetClipRect({34, 0, 900, lineHeight});
    int x = 34;
    for (int t = 0; t < kTokens; ++t) {
      const std::uint8_t style = (t % 3 == 0) ? fsBold : 0;
      if (t % 5 == 0) row.FillRect({x, 0, x + 40, lineHeight}, RGBColor(255, 255, 200));
      x = row.TextOut(x, 0, word, RGBColor(0, 0, 128), style) + widths.Regular[32];
    }
    row.RemoveClip();
    row.CopyTo(window, {0, 0, 900, lineHeight}, 0, (r % 60) * lineHeight);
  }
  const double us =
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  std::printf("row compose+copy: %.1f us/row (goal < 150)\n", us / kRows);
  return 0;
}
