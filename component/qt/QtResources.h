/** @file QtResources.h
 ** Glyph bitmaps over QImage, loaded by name from the component's Qt resources. */
#pragma once

#include <QImage>

#include <memory>

#include "../platform/Surface.h"

class TSxQtBitmap : public TSxBitmap {
 public:
  explicit TSxQtBitmap(QImage image);
  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  TColor Pixel(int x, int y) const override;  // 0 (black) outside the bitmap
  const QImage& Image() const { return image_; }

 private:
  QImage image_;  // Format_RGB32
};

// The resource ":/<name>" as a bitmap; an empty (0 x 0) bitmap when it is missing.
std::unique_ptr<TSxBitmap> LoadQtBitmap(const char* name);
// Registers LoadQtBitmap as the component's bitmap loader; call once at start, before
// the first editor control is made. Safe to call again.
void InstallQtBitmapLoader();
