/** @file Surface.h
 ** The drawing surface the control composes rows on (the one-row bitmap), and the
 ** bitmaps of glyphs. Implemented per toolkit; coordinates are logical pixels. */
#pragma once

#include <cstdint>
#include <string_view>

#include "../base/Color.h"

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;  // right and bottom exclusive
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// A bitmap of glyphs loaded by resource name ("BOOKMARKS", "BREAKPOINTS", "BREAKPOINTSMASK").
class TSxBitmap {
 public:
  virtual ~TSxBitmap() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual TColor Pixel(int x, int y) const = 0;  // plain 0x00BBGGRR
};

class TSxSurface {
 public:
  virtual ~TSxSurface() = default;
  // Colours may be system colours (0xFF0000nn); the surface resolves them.
  virtual void FillRect(const TRect& r, TColor c) = 0;
  virtual void FrameRect(const TRect& r, TColor c) = 0;                      // one pixel inside r
  virtual void FillFramedRect(const TRect& r, TColor fill, TColor border) = 0;
  virtual void Line(int x1, int y1, int x2, int y2, TColor c) = 0;          // end point excluded
  virtual void SetPixel(int x, int y, TColor c) = 0;
  // Draws cp1251 text with a transparent background; answers the x where it ended.
  virtual int TextOut(int x, int y, std::string_view cp1251, TColor c, std::uint8_t style) = 0;
  virtual int TextWidth(std::string_view cp1251, std::uint8_t style) = 0;
  virtual TRect ClipRect() const = 0;
  virtual void SetClipRect(const TRect& r) = 0;
  virtual void RemoveClip() = 0;
  // Copies an 11x11 cell opaque (mask null) or masked: AND with the mask, then OR with the image.
  virtual void DrawGlyph(int x, int y, const TSxBitmap& image, int cellX, const TSxBitmap* mask) = 0;
};
