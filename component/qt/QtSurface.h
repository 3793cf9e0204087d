/** @file QtSurface.h
 ** The drawing surface over a QImage (the control's one-row bitmap), the font
 ** description with its Qt mapping, colour resolution and character-width measurement.
 ** Coordinates are the component's logical pixels; the bitmap holds device pixels. */
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPalette>

#include <QPainter>
#include <QStaticText>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "../platform/Surface.h"

// A font as the control describes it: a family name, a height in the platform's sense
// (negative: character height in pixels, so -13 is 13 pixels) and the fsBold/fsItalic/
// fsUnderline bits.
struct TSxFont {
  std::string Name = "Arial";
  int Height = -12;
  std::uint8_t Style = 0;
  TColor Color = 0;
  friend bool operator==(const TSxFont&, const TSxFont&) = default;
};

// Height of a font of `points` points on a screen of `dpi` dots per inch (negative, as above).
int FontHeightFromPoints(int points, int dpi = 96);

// The QFont for a description with `style` in place of its own style bits. "Arial" and
// "Lucida Console", and any family the system lacks, fall back to the system's sans or
// monospace family at the same pixel height. Kerning and shaping are off so that a drawn
// string is exactly as wide as the sum of its characters' advances.
QFont ToQFont(const TSxFont& font, std::uint8_t style);

// The Qt colour of a TColor: 0x00BBGGRR plain, or a system colour from the palette.
QColor ResolveColor(TColor c, const QPalette& palette);
// Plain 0x00BBGGRR of a Qt colour.
TColor FromQColor(QColor c);

// Advance widths of the 256 cp1251 codes in the regular and the bold style.
struct TSxCharWidths {
  std::array<std::uint8_t, 256> Regular{};
  std::array<std::uint8_t, 256> Bold{};
};
// Widths wider than 255 pixels are clamped; the blank is at least one pixel wide so that
// column arithmetic never divides by zero.
TSxCharWidths MeasureCharWidths(const TSxFont& font);
// Row height for a font: 3 + the character height in pixels (never below 1).
int LineHeightOf(const TSxFont& font);

// Device pixels of a logical coordinate at a device pixel ratio. Edges are rounded, so
// logical rectangles that touch stay touching at any ratio.
inline int ToDevicePixels(int logical, qreal ratio) {
  return ratio == 1.0 ? logical : qRound(logical * ratio);
}

class TSxQtSurface : public TSxSurface {
 public:
  TSxQtSurface(int width, int height);

  // Resizes the bitmap (logical pixels); its content is lost and the clip removed.
  void SetSize(int width, int height);
  // Device pixels per logical pixel (2 on a doubled screen). A change resizes the bitmap
  // as SetSize does; text is then drawn at device resolution, and every fill, line,
  // pixel and glyph covers all the device pixels of its logical pixels.
  void SetDevicePixelRatio(qreal ratio);
  qreal DevicePixelRatio() const { return ratio_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The bitmap in device pixels, carrying the ratio.
  const QImage& Image() const { return image_; }

  void SetFont(const TSxFont& font);
  const TSxFont& Font() const { return font_; }
  void SetPalette(const QPalette& palette) { palette_ = palette; }
  const QPalette& Palette() const { return palette_; }

  void FillRect(const TRect& r, TColor c) override;
  void FrameRect(const TRect& r, TColor c) override;
  void FillFramedRect(const TRect& r, TColor fill, TColor border) override;
  void Line(int x1, int y1, int x2, int y2, TColor c) override;
  void SetPixel(int x, int y, TColor c) override;
  int TextOut(int x, int y, std::string_view cp1251, TColor c, std::uint8_t style) override;
  int TextWidth(std::string_view cp1251, std::uint8_t style) override;
  TRect ClipRect() const override;
  void SetClipRect(const TRect& r) override;
  void RemoveClip() override;
  void DrawGlyph(int x, int y, const TSxBitmap& image, int cellX, const TSxBitmap* mask) override;

  // Plain 0x00BBGGRR colour of a logical pixel (its top-left device pixel); 0 outside.
  TColor PixelAt(int x, int y) const;
  // Copies `source` of this bitmap to `target` with its top-left corner at (x, y),
  // cut to both images. All logical; target is expected at this surface's ratio.
  // Answers the device pixels of `target` that now hold the source's, and whether any
  // of them changed (lines already equal are not written).
  struct TCopied {
    QRect Device;
    bool Changed = false;
  };
  TCopied CopyTo(QImage& target, const TRect& source, int x, int y) const;

 private:
  TRect Bounds() const { return TRect{0, 0, width_, height_}; }
  int Dev(int logical) const { return ToDevicePixels(logical, ratio_); }
  // Fills the device pixels of a logical rectangle already inside the bitmap.
  void FillDevice(const TRect& logical, QRgb rgb);
  void FillBlock(const QRect& device, QRgb rgb);
  void FillClipped(TRect r, QRgb rgb);
  void PutPixel(int x, int y, QRgb rgb);
  QRgb Rgb(TColor c) const { return ResolveColor(c, palette_).rgb(); }
  QRect DeviceRect(const TRect& logical) const {
    return QRect(Dev(logical.Left), Dev(logical.Top), Dev(logical.Right) - Dev(logical.Left),
                 Dev(logical.Bottom) - Dev(logical.Top));
  }
  // Forgets the uniform area when a write other than a fill may reach it.
  void Touch(const QRect& device) {
    if (uniform_ && uniform_->Device.intersects(device)) uniform_.reset();
  }

  // Text goes through one painter kept open on the bitmap; everything else writes the
  // pixels directly, which the raster painter tolerates as it holds no copy.
  QPainter& TextPainter();
  void EndPainter();
  // Gives this surface sole ownership of its pixels before they change.
  void Unshare();
  QRgb* Row(int y);

  int width_ = 1, height_ = 1;  // logical size
  qreal ratio_ = 1.0;
  QImage image_;
  std::unique_ptr<QPainter> painter_;  // declared after image_: ends before it goes
  std::optional<TRect> clip_;  // always within the bitmap when set
  // Device pixels known to hold one colour since the last fill that covered them: a
  // row's background that finds its area already that colour (a blank row composed after
  // a blank row) is not filled again.
  struct TUniform {
    QRect Device;
    QRgb Rgb;
  };
  std::optional<TUniform> uniform_;
  TSxFont font_;
  QPalette palette_;
  struct TStyledFont {
    QFont Font;
    QFontMetrics Metrics;
    int Ascent;
    qreal LayoutAscent;  // a laid-out line's baseline below its top, unrounded
  };
  const TStyledFont& Styled(std::uint8_t style);
  std::array<std::optional<TStyledFont>, 8> fonts_;  // by style bits, built on first use

  // A run's pixels drawn in one pen onto one background, at a placement's scratch spot.
  struct TRunPixels {
    QColor Pen;
    QRgb Back;
    QRect Ink;  // scratch device pixels that differ from Back
    std::vector<QRgb> Pixels;  // Ink row by row
    std::uint32_t Used;  // runSweep_ when last drawn
  };
  // A run at one phase (logical x modulo runPeriod_), top and vertical clip: the scratch
  // columns its glyphs can touch, found by drawing it white on black.
  struct TPlacement {
    int Phase, Y, ClipTop, ClipBottom;
    int Left = 0, Right = 0;
    bool Kept = false;  // the glyphs stayed inside the scratch image: pixels may be kept
    std::vector<TRunPixels> Colours;
  };
  // A token's text laid out once: rows show the same keywords and names again and again,
  // and shaping them anew is most of what drawing text costs. Keyed by the cp1251 bytes,
  // one table per style; emptied when the font or the ratio changes and when full.
  struct TShaped {
    QStaticText Text;
    int Advance;
    bool OwnGlyphs;  // every character is the font's own, so a laid-out line has its ascent
    std::vector<TPlacement> Placements;  // the run's kept pixels (QtTextRuns.cpp)
  };
  struct TBytesHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  using TShapedTable = std::unordered_map<std::string, TShaped, TBytesHash, std::equal_to<>>;
  static constexpr std::size_t kShapedLimit = 4096;  // per style
  TShaped& Shaped(std::string_view cp1251, std::uint8_t style);
  std::array<TShapedTable, 8> shaped_;

  // What the open painter is set to, so that unchanged state is not set again.
  int painterStyle_ = -1;
  std::optional<QRgb> painterPen_;
  std::optional<TRect> painterClip_;

  // --- Drawn runs kept as pixels (QtTextRuns.cpp) ---
  // Text blends glyph masks onto the pixels under them. Drawn onto device columns that
  // hold one colour, a run gives the same pixels wherever it lands at the same fraction
  // of a device pixel, so those pixels are kept and later draws copy them.
  // The device columns of the bitmap whose every pixel holds one colour: that colour,
  // or kMixed. Full-height fills set them; every other write mixes what it may reach.
  static constexpr QRgb kMixed = 0;  // fills are opaque: no fill writes 0
  std::vector<QRgb> columns_;
  // Device columns [left, right) written with `rgb` in some of their pixels (kMixed: unknown).
  void MixColumns(int left, int right, QRgb rgb = kMixed);
  // Logical x positions whose device fractions repeat every runPeriod_ pixels; 0 when the
  // ratio has no short period, and nothing is kept.
  int runPeriod_ = 1;
  // Kept pixels are held to 4 MiB per square device pixel: when more are wanted, those
  // not drawn since the last such sweep go (all of them when that frees too little).
  std::size_t runBytes_ = 0;  // of all kept pixels
  std::uint32_t runSweep_ = 0;
  std::size_t RunBytesLimit() const { return static_cast<std::size_t>((4 << 20) * ratio_ * ratio_); }
  void SweepRuns();
  QImage scratch_;
  void DrawRun(QPainter& painter, int x, int y, const TStyledFont& styled, const TShaped& shaped,
               std::uint8_t style) const;
  int RunMargin() const;
  // Draws the run on the scratch image filled with `back`; answers the scratch device
  // pixels that differ from it, or an empty rectangle with `edge` set when the glyphs
  // reach the scratch's edge.
  QRect RenderScratch(const TShaped& shaped, std::uint8_t style, int phase, int y, const TRect& clip, QRgb back,
                      const QColor& pen, bool& edge);
  TPlacement& Placement(TShaped& shaped, std::uint8_t style, int phase, int y, const TRect& clip);
  // Copies the run's kept pixels for `pen` when its columns all hold one colour.
  bool CopyRun(TPlacement& place, const TShaped& shaped, std::uint8_t style, int y, const TRect& clip,
               const QColor& pen, int shift);
  // Drops every kept pixel, and with `placements` what was found about where runs reach.
  void ForgetRuns(bool placements);
  static std::size_t RunBytes(const TShapedTable& table);
};
