/** @file HighDpiTest.cpp
 ** The row surface on a screen of device pixel ratio 2 (and 1.5): logical drawing
 ** covers whole device blocks, text is drawn at device resolution, copies land on the
 ** device pixels of their logical place. */
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <vector>

#include "QtApp.h"
#include "platform/Cp1251.h"
#include "platform/qt/QtSurface.h"

namespace {

constexpr TColor kWhite = RGBColor(255, 255, 255);
constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr TColor kBlue = RGBColor(0, 0, 255);
constexpr QRgb kRedRgb = 0xFFFF0000u;

class TSolidBitmap : public TSxBitmap {
 public:
  TSolidBitmap(int w, int h, TColor c) : w_(w), h_(h), px_(static_cast<size_t>(w * h), c) {}
  int Width() const override { return w_; }
  int Height() const override { return h_; }
  TColor Pixel(int x, int y) const override { return px_[static_cast<size_t>(y * w_ + x)]; }
  void Set(int x, int y, TColor c) { px_[static_cast<size_t>(y * w_ + x)] = c; }

 private:
  int w_, h_;
  std::vector<TColor> px_;
};

class HighDpiSurfaceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureQtApp(); }
  void SetUp() override {
    s.SetDevicePixelRatio(2.0);
    s.FillRect({0, 0, 40, 20}, kWhite);
  }

  // Device pixels of one colour, as a string of rows over a device rectangle.
  std::string DevicePattern(const QImage& image, QRect r, QRgb c) const {
    std::string out;
    for (int y = r.top(); y <= r.bottom(); ++y) {
      for (int x = r.left(); x <= r.right(); ++x) out += image.pixel(x, y) == c ? '#' : '.';
      out += '|';
    }
    return out;
  }
  int DeviceCount(const QImage& image, QRgb c) const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == c;
    return n;
  }
  // Bounding box of the pixels that are not white.
  static QRect InkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != qRgb(255, 255, 255)) box |= QRect(x, y, 1, 1);
    return box;
  }

  TSxQtSurface s{40, 20};
};

TEST_F(HighDpiSurfaceTest, BitmapHasDevicePixelsWhileSizesStayLogical) {
  EXPECT_EQ(s.Width(), 40);
  EXPECT_EQ(s.Height(), 20);
  EXPECT_EQ(s.Image().size(), QSize(80, 40));
  EXPECT_EQ(s.Image().devicePixelRatio(), 2.0);
  EXPECT_EQ(s.ClipRect(), (TRect{0, 0, 40, 20}));
  s.SetSize(10, 3);
  EXPECT_EQ(s.Image().size(), QSize(20, 6));
  s.SetDevicePixelRatio(1.0);
  EXPECT_EQ(s.Image().size(), QSize(10, 3));
}

TEST_F(HighDpiSurfaceTest, FilledLogicalRectangleCoversItsDeviceBlocks) {
  s.FillRect({1, 1, 3, 2}, kRed);  // logical 2x1 at (1,1)
  EXPECT_EQ(DevicePattern(s.Image(), QRect(1, 1, 6, 4), kRedRgb),
            "......|.####.|.####.|......|");
  EXPECT_EQ(DeviceCount(s.Image(), kRedRgb), 8);
  EXPECT_EQ(s.PixelAt(1, 1), kRed);
  EXPECT_EQ(s.PixelAt(3, 1), kWhite);
}

TEST_F(HighDpiSurfaceTest, PixelsLinesFramesAndClipWorkInLogicalPixels) {
  s.SetPixel(5, 5, kBlue);
  EXPECT_EQ(DeviceCount(s.Image(), 0xFF0000FFu), 4);
  s.Line(0, 8, 4, 8, kRed);  // 4 logical pixels, end excluded
  EXPECT_EQ(DeviceCount(s.Image(), kRedRgb), 16);
  s.FillRect({0, 0, 40, 20}, kWhite);
  s.SetClipRect({2, 0, 4, 20});
  s.FillRect({0, 0, 40, 1}, kRed);
  EXPECT_EQ(DevicePattern(s.Image(), QRect(2, 0, 6, 2), kRedRgb), "..####|..####|");
  EXPECT_EQ(DeviceCount(s.Image(), kRedRgb), 8);
  s.RemoveClip();
  s.FillRect({0, 0, 40, 20}, kWhite);
  s.FrameRect({0, 0, 3, 3}, kRed);  // logical ring of 8 pixels
  EXPECT_EQ(DeviceCount(s.Image(), kRedRgb), 32);
  EXPECT_EQ(s.PixelAt(1, 1), kWhite);
}

TEST_F(HighDpiSurfaceTest, GlyphPixelsBecomeDeviceBlocksAndMasksApplyToEach) {
  s.FillRect({0, 0, 40, 20}, kBlue);
  TSolidBitmap image(11, 11, 0), mask(11, 11, kWhite);
  image.Set(0, 0, kRed);
  mask.Set(0, 0, 0);
  mask.Set(1, 0, 0);
  s.DrawGlyph(2, 3, image, 0, &mask);
  EXPECT_EQ(DevicePattern(s.Image(), QRect(4, 6, 2, 2), kRedRgb), "##|##|");
  EXPECT_EQ(DevicePattern(s.Image(), QRect(6, 6, 2, 2), 0xFF000000u), "##|##|");
  EXPECT_EQ(s.PixelAt(4, 3), kBlue);
}

TEST_F(HighDpiSurfaceTest, TextIsDrawnAtDeviceResolution) {
  TSxFont font;
  font.Height = -13;
  const std::string text = "Wg" + cp1251::FromUtf8("Жы");
  TSxQtSurface single(40, 20);
  single.SetFont(font);
  single.FillRect({0, 0, 40, 20}, kWhite);
  const int end1 = single.TextOut(1, 0, text, 0, 0);
  s.SetFont(font);
  const int end2 = s.TextOut(1, 0, text, 0, 0);
  // The advance is logical, the same at both ratios.
  EXPECT_EQ(end1, end2);
  const QRect box1 = InkBox(single.Image()), box2 = InkBox(s.Image());
  ASSERT_FALSE(box1.isEmpty());
  EXPECT_NEAR(box2.width(), 2 * box1.width(), 4);
  EXPECT_NEAR(box2.height(), 2 * box1.height(), 4);
  // A picture scaled up from logical pixels is constant on every aligned 2x2 block;
  // glyphs rendered at device resolution are not.
  int unevenBlocks = 0;
  const QImage& img = s.Image();
  for (int y = 0; y + 1 < img.height(); y += 2)
    for (int x = 0; x + 1 < img.width(); x += 2) {
      const QRgb p = img.pixel(x, y);
      unevenBlocks += img.pixel(x + 1, y) != p || img.pixel(x, y + 1) != p || img.pixel(x + 1, y + 1) != p;
    }
  EXPECT_GT(unevenBlocks, 0);
}

TEST_F(HighDpiSurfaceTest, CopyLandsOnTheDevicePixelsOfTheLogicalPlace) {
  s.FillRect({2, 0, 4, 1}, kRed);
  QImage target(20, 20, QImage::Format_RGB32);
  target.setDevicePixelRatio(2.0);
  target.fill(Qt::black);
  s.CopyTo(target, {0, 0, 40, 1}, 0, 3);  // one logical row to logical y 3
  EXPECT_EQ(DevicePattern(target, QRect(3, 5, 6, 4), kRedRgb),
            "......|.####.|.####.|......|");
  // Cut at the target's logical edge (10 by 10).
  EXPECT_EQ(DeviceCount(target, qRgb(0, 0, 0)), 400 - 2 * 20);
}

TEST_F(HighDpiSurfaceTest, FractionalRatioTilesNeighbouringRectanglesWithoutGaps) {
  s.SetDevicePixelRatio(1.5);
  EXPECT_EQ(s.Image().size(), QSize(60, 30));
  s.FillRect({0, 0, 40, 20}, kWhite);
  for (int x = 0; x < 40; ++x) s.FillRect({x, 0, x + 1, 1}, x % 2 ? kRed : kBlue);
  const QImage& img = s.Image();
  for (int x = 0; x < img.width(); ++x) {
    EXPECT_NE(img.pixel(x, 0), qRgb(255, 255, 255)) << x;
  }
  EXPECT_EQ(s.PixelAt(39, 0), kRed);
}

}  // namespace
