/** @file QtSurface.cpp
 ** Pixel-exact rectangles, lines, pixels and glyphs written straight into the QImage,
 ** each logical pixel as its block of device pixels; text (QtTextRuns.cpp) through
 ** QPainter, whose coordinates stay logical while it renders at the bitmap's device
 ** resolution. */
#include "QtSurface.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "../base/Cp1251.h"

namespace {

TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

// Control codes have no glyph; they are drawn and measured as blanks.
char32_t DisplayChar(unsigned char c) { return c < 32 ? U' ' : cp1251::ToUnicode(c); }

QString ToDisplayString(std::string_view cp1251) {
  QString s;
  s.reserve(static_cast<qsizetype>(cp1251.size()));
  for (unsigned char c : cp1251) {
    char32_t u = DisplayChar(c);
    if (u > 0xFFFF) {
      s += QString::fromUcs4(&u, 1);
    } else {
      s += QChar(static_cast<char16_t>(u));
    }
  }
  return s;
}

bool FamilyExists(const QString& family) {
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

QString ResolveFamily(const std::string& name) {
  const QString family = QString::fromUtf8(cp1251::ToUtf8(name));
  const bool mono = family.compare(QLatin1String("Lucida Console"), Qt::CaseInsensitive) == 0 ||
                    family.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0;
  if (!family.isEmpty() && FamilyExists(family)) return family;
  const QFont system =
      QFontDatabase::systemFont(mono ? QFontDatabase::FixedFont : QFontDatabase::GeneralFont);
  return system.family();
}

QPalette::ColorRole SystemRole(unsigned n, QPalette::ColorGroup& group) {
  group = QPalette::Active;
  switch (n) {
    case 0: case 10: case 11: case 15: return QPalette::Button;     // scroll bar, borders, face
    case 1: case 3: case 12: case 28: return QPalette::Mid;         // desktop, inactive caption
    case 2: case 13: case 27: case 29: return QPalette::Highlight;  // captions, selection
    case 5: return QPalette::Base;                                   // window background
    case 6: case 21: return QPalette::Shadow;                        // frame, dark 3D shadow
    case 7: return QPalette::WindowText;                             // menu text
    case 8: return QPalette::Text;                                   // window text
    case 9: case 14: return QPalette::HighlightedText;
    case 16: return QPalette::Dark;                                  // button shadow
    case 17: group = QPalette::Disabled; return QPalette::Text;      // grey text
    case 18: return QPalette::ButtonText;
    case 19: group = QPalette::Disabled; return QPalette::WindowText;
    case 20: return QPalette::Light;                                 // button highlight
    case 22: return QPalette::Midlight;
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    case 26: return QPalette::Link;
    default: return QPalette::Window;                                // menus, bars, the rest
  }
}

}  // namespace

int FontHeightFromPoints(int points, int dpi) { return -((points * dpi + 36) / 72); }

QFont ToQFont(const TSxFont& font, std::uint8_t style) {
  QFont f(ResolveFamily(font.Name));
  f.setPixelSize(std::max(1, std::abs(font.Height)));
  f.setBold((style & fsBold) != 0);
  f.setItalic((style & fsItalic) != 0);
  f.setUnderline((style & fsUnderline) != 0);
  f.setKerning(false);
  f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferNoShaping | QFont::NoSubpixelAntialias));
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

QColor ResolveColor(TColor c, const QPalette& palette) {
  if (IsSystemColor(c)) {
    QPalette::ColorGroup group;
    const QPalette::ColorRole role = SystemRole(c & 0xFFu, group);
    return palette.color(group, role);
  }
  return QColor(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
                static_cast<int>((c >> 16) & 0xFFu));
}

TColor FromQColor(QColor c) {
  return RGBColor(static_cast<unsigned>(c.red()), static_cast<unsigned>(c.green()),
                  static_cast<unsigned>(c.blue()));
}

TSxCharWidths MeasureCharWidths(const TSxFont& font) {
  TSxCharWidths w;
  const QFontMetrics regular(ToQFont(font, 0));
  const QFontMetrics bold(ToQFont(font, fsBold));
  for (int c = 0; c < 256; ++c) {
    const QString s = ToDisplayString(std::string(1, static_cast<char>(c)));
    w.Regular[c] = static_cast<std::uint8_t>(std::clamp(regular.horizontalAdvance(s), 0, 255));
    w.Bold[c] = static_cast<std::uint8_t>(std::clamp(bold.horizontalAdvance(s), 0, 255));
  }
  w.Regular[32] = std::max<std::uint8_t>(w.Regular[32], 1);
  w.Bold[32] = std::max<std::uint8_t>(w.Bold[32], 1);
  return w;
}

int LineHeightOf(const TSxFont& font) { return std::max(1, 3 + std::abs(font.Height)); }

TSxQtSurface::TSxQtSurface(int width, int height)
    : palette_(QGuiApplication::palette()) {
  SetSize(width, height);
}

void TSxQtSurface::SetSize(int width, int height) {
  EndPainter();
  width_ = std::max(1, width);
  // Kept runs are rows of the bitmap's height, placed by a margin that follows it.
  if (std::max(1, height) != height_) ForgetRuns(true);
  height_ = std::max(1, height);
  // Rounded up, so that every logical pixel has at least one device pixel.
  image_ = QImage(static_cast<int>(std::ceil(width_ * ratio_)),
                  static_cast<int>(std::ceil(height_ * ratio_)), QImage::Format_RGB32);
  image_.setDevicePixelRatio(ratio_);
  image_.fill(Qt::white);
  columns_.assign(static_cast<std::size_t>(image_.width()), image_.pixel(0, 0));
  uniform_.reset();
  clip_.reset();
}

void TSxQtSurface::SetDevicePixelRatio(qreal ratio) {
  if (!(ratio > 0) || ratio == ratio_) return;
  ratio_ = ratio;
  for (auto& table : shaped_) table.clear();
  runBytes_ = 0;
  // A run drawn at x lands on the same device fraction at x plus the period.
  runPeriod_ = 0;
  for (int period : {1, 2, 4}) {
    if (std::floor(period * ratio) == period * ratio) {
      runPeriod_ = period;
      break;
    }
  }
  SetSize(width_, height_);
}

void TSxQtSurface::SetFont(const TSxFont& font) {
  if (font == font_) return;
  font_ = font;
  EndPainter();
  for (auto& f : fonts_) f.reset();
  for (auto& table : shaped_) table.clear();
  runBytes_ = 0;
}

const TSxQtSurface::TStyledFont& TSxQtSurface::Styled(std::uint8_t style) {
  auto& slot = fonts_[style & 7u];
  if (!slot) {
    QFont f = ToQFont(font_, style & 7u);
    const QFontMetrics metrics(f);
    slot = TStyledFont{f, metrics, metrics.ascent(), QFontMetricsF(f).ascent()};
  }
  return *slot;
}

TSxQtSurface::TShaped& TSxQtSurface::Shaped(std::string_view cp1251, std::uint8_t style) {
  TShapedTable& table = shaped_[style & 7u];
  if (const auto it = table.find(cp1251); it != table.end()) return it->second;
  if (table.size() >= kShapedLimit) {
    runBytes_ -= RunBytes(table);
    table.clear();
  }
  const QString text = ToDisplayString(cp1251);
  QStaticText shaped(text);
  shaped.setTextFormat(Qt::PlainText);
  const QFontMetrics& metrics = Styled(style).Metrics;
  bool own = true;
  for (unsigned char c : cp1251) own = own && metrics.inFontUcs4(DisplayChar(c));
  return table.emplace(std::string(cp1251), TShaped{std::move(shaped), metrics.horizontalAdvance(text), own, {}})
      .first->second;
}

void TSxQtSurface::Unshare() {
  if (image_.isDetached()) return;
  // Writing detaches the image from its copies; the painter would go on painting the
  // old, shared buffer, so it is ended first and reopened on the new one.
  EndPainter();
  image_.detach();
}

void TSxQtSurface::EndPainter() {
  painter_.reset();
  painterStyle_ = -1;
  painterPen_.reset();
  painterClip_.reset();
}

QRgb* TSxQtSurface::Row(int y) {
  Unshare();
  return reinterpret_cast<QRgb*>(image_.scanLine(y));
}

QPainter& TSxQtSurface::TextPainter() {
  Unshare();
  if (!painter_) painter_ = std::make_unique<QPainter>(&image_);
  return *painter_;
}

// Stores `rgb` n times by doubling copies: a pixel loop stores one pixel at a time, and
// rows are filled row-wide on every paint.
static void FillWords(QRgb* first, std::size_t n, QRgb rgb) {
  std::size_t done = std::min<std::size_t>(n, 8);
  std::fill(first, first + done, rgb);
  for (; done < n; done *= 2) std::memcpy(first + done, first, sizeof(QRgb) * std::min(done, n - done));
}

void TSxQtSurface::FillBlock(const QRect& device, QRgb rgb) {
  // The first row is filled and the others copied from it.
  QRgb* first = Row(device.top()) + device.left();
  const std::size_t n = static_cast<std::size_t>(device.width());
  FillWords(first, n, rgb);
  const qsizetype stride = image_.bytesPerLine();
  auto* line = reinterpret_cast<uchar*>(first);
  for (int y = device.top() + 1; y <= device.bottom(); ++y) std::memcpy(line += stride, first, sizeof(QRgb) * n);
}

void TSxQtSurface::FillDevice(const TRect& logical, QRgb rgb) {
  const int left = Dev(logical.Left), right = std::min(Dev(logical.Right), image_.width());
  const int top = Dev(logical.Top), bottom = std::min(Dev(logical.Bottom), image_.height());
  if (left >= right || top >= bottom) return;
  const QRect area(left, top, right - left, bottom - top);
  const bool fullHeight = top == 0 && bottom == image_.height();
  if (!fullHeight) MixColumns(left, right, rgb);
  if (uniform_ && uniform_->Rgb == rgb && uniform_->Device.contains(area)) {
    if (fullHeight) FillWords(columns_.data() + left, static_cast<std::size_t>(right - left), rgb);
    return;
  }
  const auto size = [](const QRect& r) { return std::int64_t{r.width()} * r.height(); };
  if (!uniform_ || size(area) >= size(uniform_->Device)) {
    uniform_ = TUniform{area, rgb};
  } else if (uniform_->Rgb != rgb) {
    Touch(area);
  }
  if (!fullHeight) {
    FillBlock(area, rgb);
    return;
  }
  // Columns already of this colour top to bottom are left as they are: after a row of
  // text, only the columns its glyphs reached differ from the next row's background.
  // They are found a block of columns at a time, and short stretches of columns already
  // of the colour between them are filled over, being cheaper than another copy per line.
  constexpr int kBlock = 64, kGap = 16;
  std::array<QRgb, kBlock> same;
  FillWords(same.data(), same.size(), rgb);
  int first = -1, last = -1;  // the stretch of columns to fill, so far
  const auto flush = [&] {
    if (first >= 0) FillBlock(QRect(first, 0, last + 1 - first, image_.height()), rgb);
    first = -1;
  };
  for (int block = left; block < right; block += kBlock) {
    const int n = std::min(kBlock, right - block);
    if (std::memcmp(columns_.data() + block, same.data(), sizeof(QRgb) * static_cast<std::size_t>(n)) == 0) continue;
    for (int c = block; c < block + n; ++c) {
      if (columns_[c] == rgb) continue;
      if (first >= 0 && c - last > kGap) flush();
      if (first < 0) first = c;
      last = c;
    }
  }
  flush();
  FillWords(columns_.data() + left, static_cast<std::size_t>(right - left), rgb);
}

void TSxQtSurface::PutPixel(int x, int y, QRgb rgb) {
  if (!ClipRect().Contains(x, y)) return;
  if (ratio_ == 1.0) {
    Touch(QRect(x, y, 1, 1));
    MixColumns(x, x + 1, rgb);
    Row(y)[x] = rgb;
  } else {
    FillDevice({x, y, x + 1, y + 1}, rgb);
  }
}

void TSxQtSurface::FillClipped(TRect r, QRgb rgb) {
  r = Intersect(r, ClipRect());
  if (r.Width() <= 0 || r.Height() <= 0) return;
  FillDevice(r, rgb);
}

void TSxQtSurface::FillRect(const TRect& r, TColor c) { FillClipped(r, Rgb(c)); }

void TSxQtSurface::FrameRect(const TRect& r, TColor c) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  const QRgb rgb = Rgb(c);
  FillClipped({r.Left, r.Top, r.Right, r.Top + 1}, rgb);
  FillClipped({r.Left, r.Bottom - 1, r.Right, r.Bottom}, rgb);
  FillClipped({r.Left, r.Top, r.Left + 1, r.Bottom}, rgb);
  FillClipped({r.Right - 1, r.Top, r.Right, r.Bottom}, rgb);
}

void TSxQtSurface::FillFramedRect(const TRect& r, TColor fill, TColor border) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  FillClipped({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, Rgb(fill));
  FrameRect(r, border);
}

void TSxQtSurface::Line(int x1, int y1, int x2, int y2, TColor c) {
  const QRgb rgb = Rgb(c);
  if (y1 == y2) {
    if (x1 <= x2) {
      FillClipped({x1, y1, x2, y1 + 1}, rgb);
    } else {
      FillClipped({x2 + 1, y1, x1 + 1, y1 + 1}, rgb);
    }
    return;
  }
  if (x1 == x2) {
    if (y1 <= y2) {
      FillClipped({x1, y1, x1 + 1, y2}, rgb);
    } else {
      FillClipped({x1, y2 + 1, x1 + 1, y1 + 1}, rgb);
    }
    return;
  }
  // Bresenham from the first point towards the second, which is not drawn.
  const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  int x = x1, y = y1;
  while (x != x2 || y != y2) {
    PutPixel(x, y, rgb);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void TSxQtSurface::SetPixel(int x, int y, TColor c) { PutPixel(x, y, Rgb(c)); }

int TSxQtSurface::TextWidth(std::string_view cp1251, std::uint8_t style) {
  if (cp1251.empty()) return 0;
  return Shaped(cp1251, style).Advance;
}

TRect TSxQtSurface::ClipRect() const { return clip_ ? *clip_ : Bounds(); }

void TSxQtSurface::SetClipRect(const TRect& r) { clip_ = Intersect(r, Bounds()); }

void TSxQtSurface::RemoveClip() { clip_.reset(); }

void TSxQtSurface::DrawGlyph(int x, int y, const TSxBitmap& image, int cellX,
                             const TSxBitmap* mask) {
  constexpr int kCell = 11;
  const TRect clip = ClipRect();
  Touch(DeviceRect(TRect{x, y, x + kCell, y + kCell}));
  MixColumns(Dev(x), Dev(x + kCell));
  for (int j = 0; j < kCell && j < image.Height(); ++j) {
    for (int i = 0; i < kCell && cellX + i < image.Width(); ++i) {
      if (cellX + i < 0 || !clip.Contains(x + i, y + j)) continue;
      const QRgb src = ResolveColor(image.Pixel(cellX + i, j), palette_).rgb();
      const QRgb m = mask ? ResolveColor(mask->Pixel(cellX + i, j), palette_).rgb() : 0;
      // The glyph's pixel covers every device pixel of its logical pixel.
      const int right = std::min(Dev(x + i + 1), image_.width());
      const int bottom = std::min(Dev(y + j + 1), image_.height());
      for (int dy = Dev(y + j); dy < bottom; ++dy) {
        QRgb* row = Row(dy);
        for (int dx = Dev(x + i); dx < right; ++dx) {
          row[dx] = mask ? (((row[dx] & m) | src) | 0xFF000000u) : src;
        }
      }
    }
  }
}

TColor TSxQtSurface::PixelAt(int x, int y) const {
  if (!Bounds().Contains(x, y)) return 0;
  return FromQColor(QColor(image_.pixel(std::min(Dev(x), image_.width() - 1),
                                        std::min(Dev(y), image_.height() - 1))));
}

TSxQtSurface::TCopied TSxQtSurface::CopyTo(QImage& target, const TRect& source, int x, int y) const {
  TRect src = Intersect(source, Bounds());
  // Cut the source so that its image lies inside the target.
  const int dx = x - source.Left, dy = y - source.Top;
  const int targetWidth = static_cast<int>(target.width() / ratio_);
  const int targetHeight = static_cast<int>(target.height() / ratio_);
  src = Intersect(src, TRect{-dx, -dy, targetWidth - dx, targetHeight - dy});
  if (src.Width() <= 0 || src.Height() <= 0) return {};
  // Device extents are taken at the target's place, so that neighbouring rows copied
  // at a fractional ratio neither overlap nor leave gaps; the source clamps them.
  const int toLeft = Dev(src.Left + dx), toTop = Dev(src.Top + dy);
  const int fromLeft = Dev(src.Left), fromTop = Dev(src.Top);
  const int w = std::min({Dev(src.Right + dx) - toLeft, image_.width() - fromLeft,
                          target.width() - toLeft});
  const int h = std::min({Dev(src.Bottom + dy) - toTop, image_.height() - fromTop,
                          target.height() - toTop});
  if (w <= 0 || h <= 0) return {};
  TCopied copied{QRect(toLeft, toTop, w, h)};
  if (target.format() == image_.format()) {
    // Comparing reads what copying would write: a row composed again as it was (a full
    // repaint) leaves the target, and the window's damage, untouched.
    const std::size_t bytes = sizeof(QRgb) * static_cast<std::size_t>(w);
    for (int row = 0; row < h; ++row) {
      const uchar* from = image_.constScanLine(fromTop + row) + fromLeft * sizeof(QRgb);
      const uchar* to = target.constScanLine(toTop + row) + toLeft * sizeof(QRgb);
      if (std::memcmp(to, from, bytes) == 0) continue;
      std::memcpy(target.scanLine(toTop + row) + toLeft * sizeof(QRgb), from, bytes);
      copied.Changed = true;
    }
    return copied;
  }
  QPainter painter(&target);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  // Device pixel for device pixel, whatever ratio the target carries.
  QImage part = image_.copy(fromLeft, fromTop, w, h);
  part.setDevicePixelRatio(target.devicePixelRatio());
  painter.drawImage(QPointF(toLeft / target.devicePixelRatio(), toTop / target.devicePixelRatio()), part);
  copied.Changed = true;
  return copied;
}
