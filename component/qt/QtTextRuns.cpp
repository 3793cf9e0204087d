/** @file QtTextRuns.cpp
 ** Text on the row surface: runs drawn through QPainter, and drawn runs kept as pixels.
 ** A run's glyphs are blended onto what lies under them; where every device column they
 ** can reach holds one colour, the result depends only on the run, its style, the pen,
 ** that colour and where the run starts within a device pixel, so it is drawn once on a
 ** scratch image and copied from then on. Where the columns are not known to be uniform
 ** (glyphs of a neighbour, a frame, a partial fill) the run goes through QPainter. */
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "QtSurface.h"

void TSxQtSurface::MixColumns(int left, int right, QRgb rgb) {
  left = std::max(left, 0);
  right = std::min(right, static_cast<int>(columns_.size()));
  for (int c = left; c < right; ++c) {
    if (columns_[c] != rgb) columns_[c] = kMixed;
  }
}

void TSxQtSurface::DrawRun(QPainter& painter, int x, int y, const TStyledFont& styled, const TShaped& shaped,
                           std::uint8_t style) const {
  if ((style & fsUnderline) || !shaped.OwnGlyphs) {
    // The line under the text is drawn as drawText draws it, and a fallback font's
    // characters could make a laid-out line's ascent the other font's.
    painter.drawText(QPoint(x, y + styled.Ascent), shaped.Text.text());
  } else {
    // The laid-out text's baseline lies LayoutAscent below the given top: the top is
    // placed so that the baseline is where drawText puts it.
    painter.drawStaticText(QPointF(x, y + styled.Ascent - styled.LayoutAscent), shaped.Text);
  }
}

// Room left and right of a run on the scratch image, wider than any glyph reaches past
// its advance; a multiple of 4, so that it is whole device pixels at every ratio with a
// period.
int TSxQtSurface::RunMargin() const { return 4 * ((std::max(height_, std::abs(font_.Height)) + 7) / 4); }

QRect TSxQtSurface::RenderScratch(const TShaped& shaped, std::uint8_t style, int phase, int y, const TRect& clip,
                                  QRgb back, const QColor& pen, bool& edge) {
  const int margin = RunMargin();
  const int width = 2 * margin + runPeriod_ + shaped.Advance;
  const int deviceWidth = static_cast<int>(std::floor(width * ratio_));
  if (scratch_.width() < deviceWidth + 1 || scratch_.height() != image_.height() ||
      scratch_.devicePixelRatio() != ratio_) {
    scratch_ = QImage(std::max(deviceWidth + 1, scratch_.width()), image_.height(), QImage::Format_RGB32);
    scratch_.setDevicePixelRatio(ratio_);
  }
  scratch_.fill(back);
  {
    // The same clip rows, font and pen as on the bitmap; the clip's sides lie far out.
    const TStyledFont& styled = Styled(style);
    QPainter painter(&scratch_);
    painter.setClipRect(QRect(0, clip.Top, width, clip.Height()));
    painter.setFont(styled.Font);
    painter.setPen(pen);
    DrawRun(painter, margin + phase, y, styled, shaped, style);
  }
  int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
  for (int row = 0; row < scratch_.height(); ++row) {
    const auto* line = reinterpret_cast<const QRgb*>(scratch_.constScanLine(row));
    for (int col = 0; col < deviceWidth; ++col) {
      if (line[col] == back) continue;
      left = std::min(left, col), right = std::max(right, col);
      top = std::min(top, row), bottom = std::max(bottom, row);
    }
  }
  // Glyphs that reach the scratch's sides may have been cut there.
  edge = right >= 0 && (left <= 0 || right >= deviceWidth - 2);
  if (right < 0 || edge) return {};
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

TSxQtSurface::TPlacement& TSxQtSurface::Placement(TShaped& shaped, std::uint8_t style, int phase, int y,
                                                  const TRect& clip) {
  for (TPlacement& p : shaped.Placements) {
    if (p.Phase == phase && p.Y == y && p.ClipTop == clip.Top && p.ClipBottom == clip.Bottom) return p;
  }
  TPlacement& p = shaped.Placements.emplace_back(TPlacement{phase, y, clip.Top, clip.Bottom, 0, 0, false, {}});
  // White on black: every pixel a glyph covers at all differs from the background.
  bool edge = false;
  const QRect reach = RenderScratch(shaped, style, phase, y, clip, qRgb(0, 0, 0), QColor(Qt::white), edge);
  p.Kept = !edge;
  if (!reach.isEmpty()) p.Left = reach.left(), p.Right = reach.right() + 1;
  return p;
}

bool TSxQtSurface::CopyRun(TPlacement& place, const TShaped& shaped, std::uint8_t style, int y, const TRect& clip,
                           const QColor& pen, int shift) {
  if (place.Left >= place.Right) return true;  // no glyph covers a pixel: nothing to draw
  const int left = place.Left + shift, right = place.Right + shift;
  // Columns well inside the clip, whichever way its fractional device edges round.
  if (left < Dev(clip.Left) + 1 || right > Dev(clip.Right) - 1 || right > static_cast<int>(columns_.size())) {
    return false;
  }
  const QRgb back = columns_[left];
  if (back == kMixed || !std::all_of(columns_.begin() + left, columns_.begin() + right,
                                     [back](QRgb c) { return c == back; })) {
    return false;
  }
  auto run = std::find_if(place.Colours.begin(), place.Colours.end(),
                          [&](const TRunPixels& r) { return r.Back == back && r.Pen == pen; });
  if (run == place.Colours.end()) {
    bool edge = false;
    const QRect ink = RenderScratch(shaped, style, place.Phase, y, clip, back, pen, edge);
    if (edge || (!ink.isEmpty() && (ink.left() < place.Left || ink.right() >= place.Right))) {
      // Pixels outside the reach found white on black: never trust this run's reach.
      place.Kept = false;
      return false;
    }
    const std::size_t bytes = sizeof(QRgb) * static_cast<std::size_t>(ink.width()) * ink.height();
    if (runBytes_ + bytes > RunBytesLimit()) SweepRuns();
    std::vector<QRgb> pixels;
    pixels.reserve(bytes / sizeof(QRgb));
    for (int row = ink.top(); row <= ink.bottom(); ++row) {
      const auto* line = reinterpret_cast<const QRgb*>(scratch_.constScanLine(row)) + ink.left();
      pixels.insert(pixels.end(), line, line + ink.width());
    }
    runBytes_ += bytes;
    run = place.Colours.insert(place.Colours.end(), TRunPixels{pen, back, ink, std::move(pixels), 0});
  }
  run->Used = runSweep_;
  const QRect& ink = run->Ink;
  if (ink.isEmpty()) return true;
  const std::size_t bytes = sizeof(QRgb) * static_cast<std::size_t>(ink.width());
  const QRgb* from = run->Pixels.data();
  const qsizetype stride = image_.bytesPerLine();
  auto* to = reinterpret_cast<uchar*>(Row(ink.top()) + ink.left() + shift);
  for (int row = ink.top(); row <= ink.bottom(); ++row, from += ink.width(), to += stride) {
    std::memcpy(to, from, bytes);
  }
  MixColumns(ink.left() + shift, ink.right() + 1 + shift);
  Touch(ink.translated(shift, 0));
  return true;
}

std::size_t TSxQtSurface::RunBytes(const TShapedTable& table) {
  std::size_t bytes = 0;
  for (const auto& [text, shaped] : table) {
    for (const TPlacement& p : shaped.Placements) {
      for (const TRunPixels& r : p.Colours) bytes += sizeof(QRgb) * r.Pixels.size();
    }
  }
  return bytes;
}

void TSxQtSurface::SweepRuns() {
  std::size_t kept = 0;
  for (auto& table : shaped_) {
    for (auto& [text, shaped] : table) {
      for (TPlacement& p : shaped.Placements) {
        std::erase_if(p.Colours, [this](const TRunPixels& r) { return r.Used != runSweep_; });
        for (const TRunPixels& r : p.Colours) kept += sizeof(QRgb) * r.Pixels.size();
      }
    }
  }
  runBytes_ = kept;
  ++runSweep_;
  if (runBytes_ > RunBytesLimit() / 2) ForgetRuns(false);
}

void TSxQtSurface::ForgetRuns(bool placements) {
  for (auto& table : shaped_) {
    for (auto& [text, shaped] : table) {
      if (placements) {
        shaped.Placements.clear();
      } else {
        for (TPlacement& p : shaped.Placements) p.Colours.clear();
      }
    }
  }
  runBytes_ = 0;
}

int TSxQtSurface::TextOut(int x, int y, std::string_view cp1251, TColor c, std::uint8_t style) {
  if (cp1251.empty()) return x;
  const TStyledFont& styled = Styled(style);
  TShaped& shaped = Shaped(cp1251, style);
  const TRect clip = ClipRect();
  const QColor pen = ResolveColor(c, palette_);
  const TPlacement* place = nullptr;
  int shift = 0;
  if (runPeriod_ > 0 && clip.Width() > 0 && clip.Height() > 0) {
    const int phase = ((x % runPeriod_) + runPeriod_) % runPeriod_;
    TPlacement& p = Placement(shaped, style, phase, y, clip);
    // Scratch columns plus shift are bitmap columns: whole device pixels, as x and the
    // scratch spot share their phase.
    shift = qRound((x - phase - RunMargin()) * ratio_);
    if (p.Kept && CopyRun(p, shaped, style, y, clip, pen, shift)) return x + shaped.Advance;
    place = &p;
  }
  Touch(DeviceRect(clip));
  QPainter& painter = TextPainter();
  if (painterClip_ != clip) {
    painter.setClipRect(QRect(clip.Left, clip.Top, clip.Width(), clip.Height()));
    painterClip_ = clip;
  }
  if (painterStyle_ != (style & 7)) {
    painter.setFont(styled.Font);
    painterStyle_ = style & 7;
  }
  if (painterPen_ != pen.rgba()) {
    painter.setPen(pen);
    painterPen_ = pen.rgba();
  }
  DrawRun(painter, x, y, styled, shaped, style);
  if (place && place->Kept) {
    MixColumns(place->Left + shift, place->Right + shift);
  } else {
    MixColumns(Dev(clip.Left) - 1, Dev(clip.Right) + 1);
  }
  return x + shaped.Advance;
}
