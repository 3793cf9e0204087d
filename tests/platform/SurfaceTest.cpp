/** @file SurfaceTest.cpp
 ** The Qt row surface: exact pixels of the drawing operations, clipping, masked glyphs,
 ** text extents, colour resolution and the glyph resources. */
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QPalette>

#include <vector>

#include "QtApp.h"
#include "platform/Cp1251.h"
#include "platform/qt/QtResources.h"
#include "platform/qt/QtSurface.h"

namespace {

constexpr TColor kWhite = RGBColor(255, 255, 255);
constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr TColor kBlue = RGBColor(0, 0, 255);
constexpr TColor kGreen = RGBColor(0, 128, 0);

// A bitmap given pixel by pixel, for glyph tests independent of the resources.
class TGridBitmap : public TSxBitmap {
 public:
  TGridBitmap(int w, int h, TColor fill) : w_(w), h_(h), px_(static_cast<size_t>(w * h), fill) {}
  int Width() const override { return w_; }
  int Height() const override { return h_; }
  TColor Pixel(int x, int y) const override { return px_[static_cast<size_t>(y * w_ + x)]; }
  void Set(int x, int y, TColor c) { px_[static_cast<size_t>(y * w_ + x)] = c; }

 private:
  int w_, h_;
  std::vector<TColor> px_;
};

class SurfaceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureQtApp(); }
  void SetUp() override { s.FillRect({0, 0, 40, 20}, kWhite); }

  // Pixels of colour c as a string of rows, '#' for c and '.' otherwise.
  std::string Pattern(TRect r, TColor c) const {
    std::string out;
    for (int y = r.Top; y < r.Bottom; ++y) {
      for (int x = r.Left; x < r.Right; ++x) out += s.PixelAt(x, y) == c ? '#' : '.';
      out += '|';
    }
    return out;
  }
  int Count(TColor c) const {
    int n = 0;
    for (int y = 0; y < s.Height(); ++y)
      for (int x = 0; x < s.Width(); ++x) n += s.PixelAt(x, y) == c;
    return n;
  }

  TSxQtSurface s{40, 20};
};

TEST_F(SurfaceTest, FillCoversRectangleWithoutRightAndBottomEdges) {
  s.FillRect({2, 3, 5, 5}, kRed);
  EXPECT_EQ(Pattern({1, 2, 6, 6}, kRed), ".....|.###.|.###.|.....|");
  EXPECT_EQ(Count(kRed), 6);
}

TEST_F(SurfaceTest, FillOutsideBitmapIsCut) {
  s.FillRect({-5, -5, 2, 1}, kRed);
  s.FillRect({38, 19, 100, 100}, kBlue);
  EXPECT_EQ(Count(kRed), 2);
  EXPECT_EQ(Count(kBlue), 2);
}

TEST_F(SurfaceTest, FrameIsOnePixelInsideTheRectangle) {
  s.FrameRect({1, 1, 6, 5}, kBlue);
  EXPECT_EQ(Pattern({0, 0, 7, 6}, kBlue),
            ".......|.#####.|.#...#.|.#...#.|.#####.|.......|");
}

TEST_F(SurfaceTest, FramedRectangleHasBorderAndFill) {
  s.FillFramedRect({0, 0, 4, 4}, kRed, kBlue);
  EXPECT_EQ(Pattern({0, 0, 5, 5}, kBlue), "####.|#..#.|#..#.|####.|.....|");
  EXPECT_EQ(Pattern({0, 0, 5, 5}, kRed), ".....|.##..|.##..|.....|.....|");
}

TEST_F(SurfaceTest, EmptyRectanglesDrawNothing) {
  s.FrameRect({5, 5, 5, 9}, kBlue);
  s.FillFramedRect({5, 5, 9, 5}, kRed, kBlue);
  s.FillRect({7, 7, 3, 3}, kRed);
  EXPECT_EQ(Count(kBlue) + Count(kRed), 0);
}

TEST_F(SurfaceTest, LinesExcludeTheirEndPointInEveryDirection) {
  s.Line(2, 1, 6, 1, kRed);  // rightwards: 2..5
  s.Line(6, 3, 2, 3, kRed);  // leftwards: 6..3
  s.Line(1, 5, 1, 8, kRed);  // down: 5..7
  s.Line(3, 8, 3, 5, kRed);  // up: 8..6
  s.Line(7, 7, 7, 7, kRed);  // to its own start: nothing
  EXPECT_EQ(Pattern({0, 0, 8, 9}, kRed),
            "........|..####..|........|...####.|........|"
            ".#......|.#.#....|.#.#....|...#....|");
}

TEST_F(SurfaceTest, DiagonalLineStopsBeforeEndPoint) {
  s.Line(0, 0, 4, 4, kRed);
  EXPECT_EQ(Pattern({0, 0, 5, 5}, kRed), "#....|.#...|..#..|...#.|.....|");
}

TEST_F(SurfaceTest, SetPixelTouchesOnePixel) {
  s.SetPixel(7, 3, kGreen);
  s.SetPixel(-1, 3, kGreen);
  s.SetPixel(40, 3, kGreen);
  EXPECT_EQ(s.PixelAt(7, 3), kGreen);
  EXPECT_EQ(Count(kGreen), 1);
}

TEST_F(SurfaceTest, ClipLimitsEveryOperation) {
  s.SetClipRect({4, 0, 8, 20});
  s.FillRect({0, 0, 40, 1}, kRed);
  s.Line(0, 2, 40, 2, kRed);
  s.SetPixel(2, 4, kRed);
  s.SetPixel(5, 4, kRed);
  s.TextOut(0, 5, "WWWWWWWWWW", kBlue, 0);
  EXPECT_EQ(Pattern({0, 0, 10, 1}, kRed), "....####..|");
  EXPECT_EQ(Pattern({0, 2, 10, 3}, kRed), "....####..|");
  EXPECT_EQ(Count(kRed), 9);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 40; ++x) {
      if (x < 4 || x >= 8) EXPECT_NE(s.PixelAt(x, y), kBlue) << x << "," << y;
    }
  }
}

TEST_F(SurfaceTest, ClipRectReportsClipOrWholeBitmap) {
  EXPECT_EQ(s.ClipRect(), (TRect{0, 0, 40, 20}));
  s.SetClipRect({10, -3, 60, 12});
  EXPECT_EQ(s.ClipRect(), (TRect{10, 0, 40, 12}));
  s.RemoveClip();
  EXPECT_EQ(s.ClipRect(), (TRect{0, 0, 40, 20}));
  s.FillRect({0, 0, 40, 20}, kRed);
  EXPECT_EQ(Count(kRed), 800);
}

TEST_F(SurfaceTest, MaskedGlyphAndsMaskThenOrsImage) {
  // Background blue (0,0,255); the mask keeps the background where white, clears it where
  // black; the image is then OR-ed in: red over a cleared pixel stays red, red over kept
  // blue becomes magenta.
  s.FillRect({0, 0, 40, 20}, kBlue);
  TGridBitmap image(22, 11, 0), mask(22, 11, kWhite);
  image.Set(11, 0, kRed);  // cell 1, kept background
  image.Set(12, 0, kRed);  // cell 1, cleared background
  mask.Set(12, 0, 0);
  mask.Set(13, 0, 0);      // cleared, image black
  s.DrawGlyph(3, 2, image, 11, &mask);
  EXPECT_EQ(s.PixelAt(3, 2), RGBColor(255, 0, 255));
  EXPECT_EQ(s.PixelAt(4, 2), kRed);
  EXPECT_EQ(s.PixelAt(5, 2), RGBColor(0, 0, 0));
  EXPECT_EQ(s.PixelAt(6, 2), kBlue);
  EXPECT_EQ(s.PixelAt(13, 12), kBlue);
  EXPECT_EQ(s.PixelAt(14, 2), kBlue);  // outside the 11-pixel cell
}

TEST_F(SurfaceTest, OpaqueGlyphCopiesTheCell) {
  TGridBitmap image(22, 11, kGreen);
  for (int y = 0; y < 11; ++y) image.Set(0, y, kRed);
  image.Set(11, 0, kBlue);
  s.DrawGlyph(30, 5, image, 11, nullptr);
  EXPECT_EQ(s.PixelAt(30, 5), kBlue);
  EXPECT_EQ(s.PixelAt(31, 5), kGreen);
  EXPECT_EQ(Count(kRed), 0);
  // Partly outside the bitmap: the rest is cut, not wrapped.
  EXPECT_EQ(Count(kGreen) + Count(kBlue), 10 * 11);
}

TEST_F(SurfaceTest, TextReportsEndAtSumOfMeasuredAdvances) {
  TSxFont font;
  font.Height = -13;
  s.SetFont(font);
  const TSxCharWidths w = MeasureCharWidths(font);
  const std::string text = "Wi1 " + cp1251::FromUtf8("Привет, мир") + "\x01";
  for (std::uint8_t style : {std::uint8_t{0}, std::uint8_t{fsBold}}) {
    int sum = 0;
    for (unsigned char c : text) sum += (style & fsBold) ? w.Bold[c] : w.Regular[c];
    EXPECT_EQ(s.TextWidth(text, style), sum) << int(style);
    EXPECT_EQ(s.TextOut(5, 0, text, kRed, style), 5 + sum) << int(style);
  }
  EXPECT_GT(Count(kRed), 0);
  EXPECT_EQ(s.TextOut(7, 0, "", kRed, 0), 7);
}

TEST_F(SurfaceTest, CopiesOfTheBitmapKeepTheirPixelsWhileDrawingGoesOn) {
  TSxFont font;
  font.Height = -13;
  s.SetFont(font);
  s.TextOut(0, 0, "HH", kRed, 0);
  const QImage before = s.Image();
  s.FillRect({0, 0, 40, 20}, kWhite);
  s.TextOut(0, 0, "HH", kBlue, 0);
  const QImage middle = s.Image();
  s.TextOut(20, 0, "HH", kGreen, 0);
  EXPECT_GT(Count(kBlue), 0);
  EXPECT_GT(Count(kGreen), 0);
  int redBefore = 0, greenMiddle = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 40; ++x) {
      redBefore += before.pixel(x, y) == qRgb(255, 0, 0);
      greenMiddle += middle.pixel(x, y) == qRgb(0, 128, 0);
    }
  }
  EXPECT_GT(redBefore, 0);
  EXPECT_EQ(greenMiddle, 0);
}

TEST_F(SurfaceTest, TextIsDrawnFromItsTopInsideTheRow) {
  TSxFont font;
  font.Height = -13;
  s.SetSize(60, LineHeightOf(font));
  s.FillRect({0, 0, 60, 16}, kWhite);
  s.SetFont(font);
  s.TextOut(0, 0, "HHH", kRed, 0);
  int top = 99, bottom = -1;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if (s.PixelAt(x, y) != kWhite) top = std::min(top, y), bottom = std::max(bottom, y);
  EXPECT_EQ(LineHeightOf(font), 16);
  EXPECT_GE(top, 0);
  EXPECT_LT(bottom, 16);
  EXPECT_LT(top, 6);
}

TEST_F(SurfaceTest, BlankIsNeverZeroWideAndWidthsFitAByte) {
  TSxFont tiny;
  tiny.Height = -1;
  EXPECT_GE(MeasureCharWidths(tiny).Regular[32], 1);
  TSxFont huge;
  huge.Height = -400;
  const TSxCharWidths w = MeasureCharWidths(huge);
  EXPECT_EQ(w.Regular['W'], 255);
}

TEST_F(SurfaceTest, SystemColoursComeFromThePalette) {
  QPalette pal;
  pal.setColor(QPalette::Base, QColor(1, 2, 3));
  pal.setColor(QPalette::Highlight, QColor(4, 5, 6));
  pal.setColor(QPalette::Button, QColor(7, 8, 9));
  pal.setColor(QPalette::Dark, QColor(10, 11, 12));
  pal.setColor(QPalette::Light, QColor(13, 14, 15));
  EXPECT_EQ(FromQColor(ResolveColor(SystemColor(5), pal)), RGBColor(1, 2, 3));
  EXPECT_EQ(FromQColor(ResolveColor(SystemColor(13), pal)), RGBColor(4, 5, 6));
  EXPECT_EQ(FromQColor(ResolveColor(SystemColor(15), pal)), RGBColor(7, 8, 9));
  EXPECT_EQ(FromQColor(ResolveColor(SystemColor(16), pal)), RGBColor(10, 11, 12));
  EXPECT_EQ(FromQColor(ResolveColor(SystemColor(20), pal)), RGBColor(13, 14, 15));
  EXPECT_EQ(FromQColor(ResolveColor(RGBColor(166, 202, 240), pal)), RGBColor(166, 202, 240));
  s.SetPalette(pal);
  s.FillRect({0, 0, 1, 1}, SystemColor(15));
  EXPECT_EQ(s.PixelAt(0, 0), RGBColor(7, 8, 9));
}

TEST_F(SurfaceTest, CopyToPlacesRectangleAndCutsAtTargetEdges) {
  s.FillRect({2, 2, 6, 4}, kRed);
  QImage target(10, 10, QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::black);
  s.CopyTo(target, {2, 2, 6, 4}, 7, 8);  // 4x2 at (7,8): only 3x2 fits
  int red = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) red += target.pixel(x, y) == qRgb(255, 0, 0);
  EXPECT_EQ(red, 6);
  EXPECT_EQ(target.pixel(7, 8), qRgb(255, 0, 0));
  EXPECT_EQ(target.pixel(6, 8), qRgb(0, 0, 0));

  QImage same(10, 10, QImage::Format_RGB32);
  same.fill(Qt::black);
  s.CopyTo(same, {0, 0, 40, 20}, -2, -2);
  EXPECT_EQ(same.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(same.pixel(3, 1), qRgb(255, 0, 0));
  EXPECT_EQ(same.pixel(4, 1), qRgb(255, 255, 255));
  EXPECT_EQ(same.pixel(9, 9), qRgb(255, 255, 255));
}

TEST_F(SurfaceTest, FontFallsBackToSystemFamiliesAtTheSamePixelHeight) {
  TSxFont arial{"Arial", -13, 0, 0};
  TSxFont lucida{"Lucida Console", -11, 0, 0};
  const QFont a = ToQFont(arial, fsBold | fsItalic);
  const QFont l = ToQFont(lucida, 0);
  EXPECT_EQ(a.pixelSize(), 13);
  EXPECT_TRUE(a.bold() && a.italic() && !a.underline());
  EXPECT_EQ(l.pixelSize(), 11);
  EXPECT_TRUE(QFontInfo(l).fixedPitch());
  EXPECT_EQ(FontHeightFromPoints(9), -12);
  EXPECT_EQ(FontHeightFromPoints(10), -13);
}

TEST_F(SurfaceTest, GlyphResourcesHaveTheirSizesAndMaskMatchesImage) {
  auto bookmarks = LoadQtBitmap("BOOKMARKS");
  auto image = LoadQtBitmap("BREAKPOINTS");
  auto mask = LoadQtBitmap("BREAKPOINTSMASK");
  EXPECT_EQ(bookmarks->Width(), 110);
  EXPECT_EQ(bookmarks->Height(), 11);
  ASSERT_EQ(image->Width(), 33);
  ASSERT_EQ(mask->Width(), 33);
  ASSERT_EQ(mask->Height(), 11);
  // Black around the glyphs in the image exactly where the mask is white.
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 33; ++x)
      if (mask->Pixel(x, y) == kWhite) EXPECT_EQ(image->Pixel(x, y), 0u) << x << "," << y;
  EXPECT_EQ(image->Pixel(11 + 5, 5), kWhite);  // the bar of an enabled breakpoint
  EXPECT_EQ(LoadQtBitmap("NOSUCHGLYPHS")->Width(), 0);
}

}  // namespace
