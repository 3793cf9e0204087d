/** @file SurfaceTest.cpp
 ** The Qt row surface: exact pixels of the drawing operations, clipping, masked glyphs,
 ** text extents, colour resolution and the glyph resources. */
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPalette>

#include <algorithm>

#include "TestText.h"
#include "qt/QtResources.h"
#include "qt/QtSurface.h"

namespace {

constexpr TColor kWhite = RGBColor(255, 255, 255), kRed = RGBColor(255, 0, 0), kBlue = RGBColor(0, 0, 255);
constexpr TColor kGreen = RGBColor(0, 128, 0);

// A bitmap given pixel by pixel, for glyph tests independent of the resources.
struct TGridBitmap : TSxBitmap {
  TGridBitmap(int w, int h, TColor fill) : w_(w), px_(static_cast<size_t>(w * h), fill) {}
  int Width() const override { return w_; }
  int Height() const override { return static_cast<int>(px_.size()) / w_; }
  TColor Pixel(int x, int y) const override { return px_[static_cast<size_t>(y * w_ + x)]; }
  void Set(int x, int y, TColor c) { px_[static_cast<size_t>(y * w_ + x)] = c; }
  int w_;
  std::vector<TColor> px_;
};

// Image pixels in a rectangle as rows ending in '|': '#' red, 'b' blue, 'k' black, '.' any other.
std::string Pattern(const QImage& image, QRect r) {
  std::string out;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb p = image.pixel(x, y) | 0xFF000000u;
      out += p == 0xFFFF0000u ? '#' : p == 0xFF0000FFu ? 'b' : p == 0xFF000000u ? 'k' : '.';
    }
    out += '|';
  }
  return out;
}

int CountRgb(const QImage& image, QRgb c) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == c;
  return n;
}

class SurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override { s.FillRect({0, 0, 40, 20}, kWhite); }
  std::string At(TRect r) const { return Pattern(s.Image(), QRect(r.Left, r.Top, r.Width(), r.Height())); }
  int Count(TColor c, TRect r = {0, 0, 40, 20}) const {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += s.PixelAt(x, y) == c;
    return n;
  }

  TSxQtSurface s{40, 20};
  TSxFont font{"Arial", -13, 0, 0};
};

// Right and bottom edges excluded, lines without their end point, empty rectangles and
// parts off the bitmap cut: the pattern holds every pixel the operation set.
TEST_F(SurfaceTest, DrawingOperationsSetExactlyTheirPixels) {
  using S = TSxQtSurface;
  const struct { void (*draw)(S&); TRect r; std::string want; } cases[] = {
      {[](S& d) { d.FillRect({2, 3, 5, 5}, kRed); }, {1, 2, 6, 6}, ".....|.###.|.###.|.....|"},
      {[](S& d) { d.FillRect({-5, -5, 2, 1}, kRed); }, {0, 0, 3, 2}, "##.|...|"},
      {[](S& d) { d.FillRect({38, 19, 99, 99}, kRed); }, {37, 18, 40, 20}, "...|.##|"},
      {[](S& d) { d.FrameRect({1, 1, 6, 4}, kBlue); }, {0, 0, 7, 5}, ".......|.bbbbb.|.b...b.|.bbbbb.|.......|"},
      {[](S& d) { d.FillFramedRect({0, 0, 4, 4}, kRed, kBlue); }, {0, 0, 5, 4}, "bbbb.|b##b.|b##b.|bbbb.|"},
      {[](S& d) {
         d.FrameRect({5, 5, 5, 9}, kBlue), d.FillFramedRect({5, 5, 9, 5}, kRed, kBlue), d.FillRect({7, 7, 3, 3}, kRed);
         d.Line(7, 7, 7, 7, kRed), d.SetPixel(-1, 3, kRed), d.SetPixel(40, 3, kRed);
       }, {0, 0, 1, 1}, ".|"},
      {[](S& d) {
         d.Line(2, 1, 6, 1, kRed), d.Line(6, 3, 2, 3, kRed), d.Line(1, 5, 1, 8, kRed), d.Line(3, 8, 3, 5, kRed);
         d.Line(5, 5, 8, 8, kBlue), d.SetPixel(7, 0, kBlue);
       }, {0, 0, 8, 9}, ".......b|..####..|........|...####.|........|.#...b..|.#.#..b.|.#.#...b|...#....|"},
  };
  for (const auto& c : cases) {
    s.FillRect({0, 0, 40, 20}, kWhite);
    c.draw(s);
    EXPECT_EQ(At(c.r), c.want);
    const int set = static_cast<int>(std::count_if(c.want.begin(), c.want.end(), [](char p) { return p != '.' && p != '|'; }));
    EXPECT_EQ(800 - Count(kWhite), set) << c.want;
  }
}

TEST_F(SurfaceTest, ClipLimitsEveryOperationUntilRemovedAndIsReported) {
  s.SetClipRect({4, -3, 8, 60});
  EXPECT_EQ(s.ClipRect(), (TRect{4, 0, 8, 20}));
  s.FillRect({0, 0, 40, 1}, kRed), s.Line(0, 2, 40, 2, kRed), s.SetPixel(2, 4, kRed), s.SetPixel(5, 4, kRed);
  s.SetFont(font), s.TextOut(0, 5, "WWWWWWWWWW", kBlue, 0);
  EXPECT_EQ(At({0, 0, 10, 5}), "....####..|..........|....####..|..........|.....#....|");
  EXPECT_EQ((At({0, 0, 4, 20}) + At({8, 0, 40, 20})).find('b'), std::string::npos) << "no text outside the clip";
  EXPECT_GT(Count(kBlue), 0);
  s.RemoveClip(), s.SetPixel(2, 4, kBlue);
  EXPECT_EQ(std::pair(s.ClipRect(), s.PixelAt(2, 4)), std::pair(TRect{0, 0, 40, 20}, kBlue));
}

// The mask keeps the background where white and clears it where black; the image is OR-ed
// in: red over cleared stays red, red over kept blue is magenta, black over cleared is black.
TEST_F(SurfaceTest, GlyphsAreMaskedThenOredOrCopiedWithinTheirCell) {
  s.FillRect({0, 0, 40, 20}, kBlue);
  TGridBitmap image(22, 11, 0), mask(22, 11, kWhite), opaque(22, 11, kGreen);
  image.Set(11, 0, kRed), image.Set(12, 0, kRed), mask.Set(12, 0, 0), mask.Set(13, 0, 0);
  s.DrawGlyph(3, 2, image, 11, &mask);
  EXPECT_EQ(std::pair(s.PixelAt(3, 2), At({3, 2, 15, 3})), std::pair(RGBColor(255, 0, 255), std::string(".#kbbbbbbbbb|")));
  opaque.Set(0, 0, kRed), opaque.Set(11, 0, kWhite);
  s.DrawGlyph(30, 5, opaque, 11, nullptr);
  EXPECT_EQ(std::pair(s.PixelAt(30, 5), Count(kGreen)), std::pair(kWhite, 10 * 11 - 1)) << "cut, not wrapped";
}

TEST_F(SurfaceTest, TextEndsAtTheSumOfMeasuredAdvancesAndStaysInsideTheRow) {
  s.SetFont(font);
  const TSxCharWidths w = MeasureCharWidths(font);
  const std::string text = "Wi1 " + W("Привет, мир") + "\x01";
  for (std::uint8_t style : {std::uint8_t{0}, std::uint8_t{fsBold}}) {
    int sum = 0;
    for (unsigned char c : text) sum += (style & fsBold) ? w.Bold[c] : w.Regular[c];
    EXPECT_EQ(s.TextWidth(text, style), sum) << int(style);
    EXPECT_EQ(s.TextOut(5, 0, text, kRed, style), 5 + sum) << int(style);
  }
  EXPECT_EQ(std::pair(s.TextOut(7, 0, "", kRed, 0), LineHeightOf(font)), std::pair(7, 16));
  s.FillRect({0, 0, 40, 20}, kWhite);
  s.TextOut(0, 0, "HHH", kRed, 0);
  EXPECT_LT(Count(kWhite, {0, 0, 40, 6}), 240) << "drawn from the row's top";
  EXPECT_EQ(Count(kWhite, {0, 16, 40, 20}), 160) << "and within the line height";
  EXPECT_EQ(MeasureCharWidths(TSxFont{"Arial", -400, 0, 0}).Regular['W'], 255);
  EXPECT_GE(MeasureCharWidths(TSxFont{"Arial", -1, 0, 0}).Regular[32], 1);
}

// A fill that finds its area already of its colour is skipped: every other write must
// make the next fill happen.
TEST_F(SurfaceTest, FillsCoverWhatOtherWritesLeftInsideAnEarlierFill) {
  TGridBitmap glyph(11, 11, kGreen);
  using S = TSxQtSurface;
  const struct { const char* name; void (*draw)(S&, TGridBitmap&); } writes[] = {
      {"text", [](S& d, TGridBitmap&) { d.TextOut(0, 0, "HH", kRed, 0); }},
      {"pixel", [](S& d, TGridBitmap&) { d.SetPixel(3, 3, kRed); }},
      {"line", [](S& d, TGridBitmap&) { d.Line(0, 0, 9, 7, kRed); }},
      {"glyph", [](S& d, TGridBitmap& g) { d.DrawGlyph(2, 2, g, 0, nullptr); }},
      {"smaller fill", [](S& d, TGridBitmap&) { d.FillRect({1, 1, 4, 4}, kRed); }},
  };
  s.SetFont(font);
  for (qreal ratio : {1.0, 1.5}) {
    s.SetDevicePixelRatio(ratio);
    for (const auto& w : writes) {
      s.FillRect({0, 0, 40, 20}, kWhite);
      w.draw(s, glyph);
      s.FillRect({0, 0, 40, 20}, kWhite);
      EXPECT_EQ(CountRgb(s.Image(), qRgb(255, 255, 255)), s.Image().width() * s.Image().height()) << w.name << ratio;
    }
  }
}

// Measured texts are kept per font: after a change the new font's advances hold.
TEST_F(SurfaceTest, TextWidthsFollowAFontChange) {
  for (int height : {-13, -26, -13}) {
    const TSxFont f{"Arial", height, 0, 0};
    s.SetFont(f);
    const TSxCharWidths w = MeasureCharWidths(f);
    EXPECT_EQ(s.TextWidth("WiW", 0), 2 * w.Regular['W'] + w.Regular['i']) << height;
    EXPECT_EQ(s.TextOut(1, 0, "WiW", kRed, fsBold), 1 + 2 * w.Bold['W'] + w.Bold['i']) << height;
  }
}

// Regression: an image handed out earlier changed when drawing went on.
TEST_F(SurfaceTest, ImagesTakenEarlierKeepTheirPixelsWhileDrawingGoesOn) {
  s.SetFont(font), s.TextOut(0, 0, "HH", kRed, 0);
  const QImage before = s.Image();
  s.FillRect({0, 0, 40, 20}, kWhite), s.TextOut(0, 0, "HH", kBlue, 0);
  EXPECT_NE(Pattern(before, before.rect()).find('#'), std::string::npos);
}

TEST_F(SurfaceTest, CopyToPlacesTheRectangleAndCutsAtBothEdges) {
  s.FillRect({2, 2, 6, 4}, kRed);
  QImage target(10, 10, QImage::Format_RGB32);
  target.fill(Qt::black);
  const auto copied = s.CopyTo(target, {2, 2, 6, 4}, 7, 8);
  EXPECT_EQ(Pattern(target, QRect(6, 7, 4, 3)), "kkkk|k###|k###|");
  EXPECT_EQ(std::pair(copied.Device, copied.Changed), std::pair(QRect(7, 8, 3, 2), true));
  EXPECT_FALSE(s.CopyTo(target, {2, 2, 6, 4}, 7, 8).Changed) << "the same pixels again";
  s.CopyTo(target, {0, 0, 40, 20}, -2, -2);
  EXPECT_EQ(Pattern(target, QRect(0, 0, 5, 3)), "####.|####.|.....|");
}

// Text is Qt's drawText on the same background, whatever the same runs were drawn with
// before: elsewhere, in another pen, onto another colour, in another font or style.
TEST_F(SurfaceTest, TextIsQtsDrawTextWhateverTheSameRunsWereDrawnWithBefore) {
  const struct { int x; TColor pen, back; std::uint8_t style; int height; } draws[] = {
      {3, kRed, kWhite, 0, -13},  {8, kRed, kWhite, 0, -13},          {9, kBlue, kWhite, 0, -13},
      {9, kBlue, kGreen, 0, -13}, {9, kBlue, kGreen, fsItalic, -13}, {9, kBlue, kGreen, fsItalic, -15}};
  for (qreal ratio : {1.0, 1.5, 2.0}) {
    TSxQtSurface t(60, 20);
    t.SetDevicePixelRatio(ratio);
    for (const auto& d : draws) {
      const TSxFont f{"Arial", d.height, 0, 0};
      t.SetFont(f);
      t.FillRect({0, 0, 60, 20}, d.back);
      // The second run starts where the first's italic overhang reaches.
      const int next = t.TextOut(d.x, 0, "Wf", d.pen, d.style);
      t.TextOut(next, 0, "jW", d.pen, d.style);
      QImage want(t.Image().size(), QImage::Format_RGB32);
      want.setDevicePixelRatio(ratio);
      want.fill(ResolveColor(d.back, t.Palette()));
      QPainter p(&want);
      p.setFont(ToQFont(f, d.style));
      p.setPen(ResolveColor(d.pen, t.Palette()));
      p.drawText(QPoint(d.x, p.fontMetrics().ascent()), "Wf");
      p.drawText(QPoint(next, p.fontMetrics().ascent()), "jW");
      p.end();
      EXPECT_TRUE(t.Image() == want) << ratio << " x " << d.x << " style " << int(d.style) << " height " << d.height;
    }
  }
}

// Scale 2 is covered on the whole control by the desktop suite; a fractional ratio must tile without gaps.
TEST_F(SurfaceTest, FractionalRatioTilesNeighbouringRectanglesWithoutGaps) {
  s.SetDevicePixelRatio(1.5);
  EXPECT_EQ(std::pair(s.Image().size(), s.Width()), std::pair(QSize(60, 30), 40));
  for (int x = 0; x < 40; ++x) s.FillRect({x, 0, x + 1, 1}, x % 2 ? kRed : kBlue);
  EXPECT_EQ(Pattern(s.Image(), QRect(0, 0, 60, 1)).find('.'), std::string::npos);
}

TEST_F(SurfaceTest, SystemColoursComeFromThePaletteAndFontsFallBackAtTheSamePixelHeight) {
  QPalette pal;
  const std::pair<QPalette::ColorRole, int> roles[] = {
      {QPalette::Base, 5}, {QPalette::Highlight, 13}, {QPalette::Button, 15}, {QPalette::Dark, 16}, {QPalette::Light, 20}};
  for (const auto& [role, index] : roles) pal.setColor(role, QColor(index, 2, 3));
  for (const auto& [role, index] : roles) EXPECT_EQ(FromQColor(ResolveColor(SystemColor(index), pal)), RGBColor(index, 2, 3));
  EXPECT_EQ(FromQColor(ResolveColor(RGBColor(166, 202, 240), pal)), RGBColor(166, 202, 240));
  s.SetPalette(pal);
  s.FillRect({0, 0, 1, 1}, SystemColor(15));
  EXPECT_EQ(s.PixelAt(0, 0), RGBColor(15, 2, 3));
  const QFont a = ToQFont(font, fsBold | fsItalic), l = ToQFont(TSxFont{"Lucida Console", -11, 0, 0}, 0);
  EXPECT_TRUE(a.pixelSize() == 13 && l.pixelSize() == 11 && a.bold() && a.italic() && !a.underline());
  // The monospace fallback gives the source text's characters one advance, whatever its fixed-pitch flag says.
  const TSxCharWidths w = MeasureCharWidths(TSxFont{"Lucida Console", -11, 0, 0});
  for (int c = 32; c < 256; c = c == 126 ? 0xC0 : c + 1)
    EXPECT_TRUE(w.Regular[c] == w.Regular['M'] && w.Bold[c] == w.Bold['M']) << c;
  EXPECT_EQ(std::pair(FontHeightFromPoints(9), FontHeightFromPoints(10)), std::pair(-12, -13));
}

TEST_F(SurfaceTest, GlyphResourcesHaveTheirSizesAndMaskMatchesImage) {
  auto bookmarks = LoadQtBitmap("BOOKMARKS"), image = LoadQtBitmap("BREAKPOINTS"), mask = LoadQtBitmap("BREAKPOINTSMASK");
  EXPECT_EQ(std::pair(bookmarks->Width(), bookmarks->Height()), std::pair(110, 11));
  ASSERT_EQ(std::pair(image->Width() + mask->Width(), image->Height() + mask->Height()), std::pair(66, 22));
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 33; ++x)
      EXPECT_TRUE(mask->Pixel(x, y) != kWhite || image->Pixel(x, y) == 0u) << x << "," << y;
  EXPECT_EQ(image->Pixel(11 + 5, 5), kWhite) << "the bar of an enabled breakpoint";
  EXPECT_EQ(LoadQtBitmap("NOSUCHGLYPHS")->Width(), 0);
}

}  // namespace
