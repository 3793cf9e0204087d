/** @file QtApp.h
 ** Colours, a bitmap and pixel helpers the Qt surface suites share. */
#pragma once

#include <QImage>

#include <string>
#include <vector>

#include "qt/QtSurface.h"

// Plain colours the surface suites paint with.
inline constexpr TColor kWhite = RGBColor(255, 255, 255);
inline constexpr TColor kRed = RGBColor(255, 0, 0);
inline constexpr TColor kBlue = RGBColor(0, 0, 255);

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
inline std::string Pattern(const QImage& image, QRect r) {
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
inline int CountRgb(const QImage& image, QRgb c) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == c;
  return n;
}
