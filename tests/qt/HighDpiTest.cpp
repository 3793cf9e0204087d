/** @file HighDpiTest.cpp
 ** The row surface on a screen of device pixel ratio 2 (and 1.5): logical drawing
 ** covers whole device blocks, copies land on the device pixels of their logical place.
 ** Text at device resolution is checked on the whole control by desktop/check-scale-2.sh. */
#include <gtest/gtest.h>

#include "QtApp.h"

namespace {

class HighDpiSurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.SetDevicePixelRatio(2.0);
    s.FillRect({0, 0, 40, 20}, kWhite);
  }
  TSxQtSurface s{40, 20};
};

TEST_F(HighDpiSurfaceTest, LogicalDrawingCoversWholeDeviceBlocks) {
  EXPECT_EQ(std::pair(s.Width(), s.Height()), std::pair(40, 20));
  EXPECT_EQ(s.Image().size(), QSize(80, 40));
  s.FillRect({1, 1, 3, 2}, kRed);
  s.SetClipRect({5, 0, 7, 20});
  s.Line(0, 3, 40, 3, kBlue);
  s.RemoveClip();
  EXPECT_EQ(Pattern(s.Image(), QRect(1, 1, 14, 7)),
            "..............|.####.........|.####.........|..............|"
            "..............|.........bbbb.|.........bbbb.|");
  EXPECT_EQ(std::pair(s.PixelAt(1, 1), s.PixelAt(3, 1)), std::pair(kRed, kWhite)) << "read in logical pixels";
  s.FillRect({0, 0, 40, 20}, kBlue);
  TGridBitmap image(11, 11, 0), mask(11, 11, kWhite);
  image.Set(0, 0, kRed);
  mask.Set(0, 0, 0);
  mask.Set(1, 0, 0);
  s.DrawGlyph(2, 3, image, 0, &mask);
  EXPECT_EQ(Pattern(s.Image(), QRect(4, 6, 6, 2)), "##kkbb|##kkbb|") << "the glyph's pixels as blocks";
}

TEST_F(HighDpiSurfaceTest, CopyLandsOnTheDevicePixelsOfTheLogicalPlaceAndIsCut) {
  s.FillRect({2, 0, 4, 1}, kRed);
  QImage target(20, 20, QImage::Format_RGB32);
  target.setDevicePixelRatio(2.0);
  target.fill(Qt::black);
  s.CopyTo(target, {0, 0, 40, 1}, 0, 3);  // one logical row to logical y 3
  EXPECT_EQ(Pattern(target, QRect(3, 5, 6, 4)), "kkkkkk|.####.|.####.|kkkkkk|");
  EXPECT_EQ(CountRgb(target, qRgb(0, 0, 0)), 400 - 2 * 20) << "cut at the target's logical edge";
}

TEST_F(HighDpiSurfaceTest, FractionalRatioTilesNeighbouringRectanglesWithoutGaps) {
  s.SetDevicePixelRatio(1.5);
  EXPECT_EQ(s.Image().size(), QSize(60, 30));
  s.FillRect({0, 0, 40, 20}, kWhite);
  for (int x = 0; x < 40; ++x) s.FillRect({x, 0, x + 1, 1}, x % 2 ? kRed : kBlue);
  EXPECT_EQ(Pattern(s.Image(), QRect(0, 0, 60, 1)).find('.'), std::string::npos);
  EXPECT_EQ(s.PixelAt(39, 0), kRed);
}

}  // namespace
