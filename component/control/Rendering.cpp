/** @file Rendering.cpp
 ** Row painting: the dirty-row model and the composition of one row (gutter, section
 ** marks, backgrounds, selection, text, underlines, frames) in the one-row bitmap. */
#include <algorithm>
#include <vector>

#include "SyntaxMemo.h"

namespace {
constexpr TColor Black = RGBColor(0, 0, 0);
constexpr TColor White = RGBColor(255, 255, 255);
constexpr TColor Grey = RGBColor(128, 128, 128);
constexpr TColor Blue = RGBColor(0, 0, 255);

TRect MovedToTop(TRect r) {
  r.Bottom -= r.Top;
  r.Top = 0;
  return r;
}

bool ReachesRightEdge(TToken kind) {
  return kind == tokILComment || kind == tokMLCommentBeg || kind == tokELCommentBeg || kind == tokILCompDir ||
         kind == tokMLCompDirBeg;
}
}  // namespace

// --- Invalidation ---

void TSxCustomSyntaxMemo::InvalidateLine(std::int32_t line) { InvalidateRows(line, false); }

void TSxCustomSyntaxMemo::InvalidateFromLine(std::int32_t line) { InvalidateRows(line, true); }

// Marks the line's row (and with toEnd every row below it) and paints.
void TSxCustomSyntaxMemo::InvalidateRows(std::int32_t line, bool toEnd) {
  if (!host_.HasParent() || DirtyRows.empty()) return;
  if (Lines->UpdateCount() > 0 && Lines->Pending.Contains(pwVisibleMapStale)) {
    // Rows move while lines come and go; the update's end repaints them all once.
    std::fill(DirtyRows.begin(), DirtyRows.end(), 1);
  } else {
    int row;
    // A line outside the view changes no pixel; re-tokenizing a whole document calls this
    // for every line.
    if (!RowOfLine(line, row) || row >= static_cast<int>(DirtyRows.size())) return;
    const auto first = DirtyRows.begin() + row;
    std::fill(first, toEnd ? DirtyRows.end() : first + 1, 1);
  }
  PaintDirtyRows();
}

void TSxCustomSyntaxMemo::InvalidateAll() {
  std::fill(DirtyRows.begin(), DirtyRows.end(), 1);
  PaintDirtyRows();
}

void TSxCustomSyntaxMemo::Paint() {
  if (!host_.HasParent()) return;
  host_.FillWindow(color_);
  InvalidateAll();
}

void TSxCustomSyntaxMemo::KeepTopLineVisible() {
  std::int32_t t = TopLine;
  const int count = Lines->Count();
  if (count == 0) {
    t = 0;
  } else {
    t = std::clamp(t, 0, count - 1);
    if (VisibleIndexOf(t) < 0) {
      // A collapse hid the top line: the first line of its outermost collapsed section shows.
      const std::int32_t hidden = t;
      for (const TSxSynMemoSection* s = SectionTree->SectionOf(hidden); s && s->Parent; s = s->Parent) {
        if (s->Collapsed && s->FirstLine() != hidden) t = s->FirstLine();
      }
      if (VisibleIndexOf(t) < 0) t = std::max<std::int32_t>(LineOfVisibleIndex(0), 0);
    }
    // Deleting lines at the end must not leave the view scrolled past the last page.
    const std::int32_t last = VertScrollMax();
    if (VisibleIndexOf(t) > last) t = std::max<std::int32_t>(LineOfVisibleIndex(last), 0);
  }
  if (t != TopLine) {
    TopLine = t;
    std::fill(DirtyRows.begin(), DirtyRows.end(), 1);
  }
}

void TSxCustomSyntaxMemo::PaintDirtyRows() {
  if (!host_.HasParent() || Lines->UpdateCount() > 0) return;
  KeepTopLineVisible();
  HideCaretIfShown();
  const std::int32_t top = std::max<std::int32_t>(VisibleIndexOf(TopLine), 0);
  for (std::size_t i = 0; i < DirtyRows.size(); ++i) {
    if (!DirtyRows[i]) continue;
    const std::int32_t line = Lines->Count() > 0 ? LineOfVisibleIndex(top + static_cast<std::int32_t>(i)) : -1;
    PaintRow(static_cast<int>(i), line);
    DirtyRows[i] = 0;
  }
  UpdateCaret();
}

// --- One row ---

void TSxCustomSyntaxMemo::PaintRow(int row, std::int32_t line) {
  if (!host_.IsVisible()) return;
  TSxSurface& s = host_.RowSurface();
  DrawGutter(s, line, row);
  if (Lines->IsValidLine(line)) {
    DrawSectionMark(s, line, row);
    const int xo = RowRect(row, rrText).Left - LeftOffset;
    // Only the tokens in view: a row costs what it shows, however long the line.
    TSxSyntaxParser tokens;
    std::int64_t p0, x0;
    VisibleTokens(line, LeftOffset, std::int64_t{LeftOffset} + RowRect(row, rrText).Width(), tokens, p0, x0);
    tokens.MergeRuns();
    std::int64_t selFrom = 0;
    std::int64_t selTo = 0;
    if (!Range->IsEmpty() && Range->StartPos.Y <= line && line <= Range->EndPos.Y) {
      selFrom = line == Range->StartPos.Y ? Range->StartPos.X : -1;
      selTo = line == Range->EndPos.Y ? Range->EndPos.X : MaxInt;
      tokens.MarkSelection(selFrom, selTo);
    }
    const TRect t = RowRect(row, rrText);
    s.SetClipRect(TRect{t.Left, 0, t.Right, t.Height()});
    DrawLineText(s, Lines->Get(line), selTo, selFrom, xo, line, tokens, p0, x0);

    const TSxSynMemoSection* section = SectionTree->SectionOf(line);
    if (section && section->Parent && section->Collapsed && section->FirstLine() == line) DrawCollapsedMark(s);

    const int width = host_.ClientWidth();
    if (BreakPoints->HasBreakPoint(line)) {
      const TBreakPoint* bp = BreakPoints->BreakPointAt(line);
      if (bp && bp->State != bpsPossible) {
        s.FrameRect(TRect{xo, 0, width, LineHeight},
                    bp->State == bpsEnabled ? BPEnabledBackColor : BPDisabledBackColor);
      }
    }
    if (line == DebugLine) s.FrameRect(TRect{xo, 0, width, LineHeight}, DebugLineBackColor);
    if (line == HoverWord.Y && HoverWord.X >= 0 && HoverWord.X < Lines->TokenCount(line)) {
      const TSxSyntaxToken tok = StoredToken(line, HoverWord.X);
      const int x1 = LineTextX(static_cast<std::int32_t>(tok.Start), line) + xo;
      const int x2 = LineTextX(static_cast<std::int32_t>(tok.Start + tok.Len), line) + xo;
      s.FrameRect(TRect{x1 - 1, 0, x2 + 1, LineHeight}, SelectedWordColor);
      s.FrameRect(TRect{x1, 1, x2, LineHeight - 1}, SelectedWordColor);
    }
    s.RemoveClip();
  }
  const TRect r = RowRect(row, rrRow);
  host_.CopyRowToWindow(r.Top, r.Width(), r.Height());
}

void TSxCustomSyntaxMemo::DrawGutter(TSxSurface& s, std::int32_t line, int row) {
  const TRect m = MovedToTop(RowRect(row, rrMargin));
  const TRect t = MovedToTop(RowRect(row, rrText));
  TRect g = m;
  g.Right -= Options().Contains(smoVSNET_SectionsStyle) ? SectionIndent + 4 : 4;
  s.FillRect(g, SystemColor(15));
  s.Line(g.Right, g.Top, g.Right, g.Bottom, SystemColor(20));
  s.Line(g.Right + 1, g.Top, g.Right + 1, g.Bottom, SystemColor(16));
  s.FillRect(TRect{g.Right + 2, g.Top, m.Right, g.Bottom}, color_);
  s.FillRect(t, color_);
  if (!Lines->IsValidLine(line)) return;
  std::uint8_t mark;
  if (Bookmarks->FindBookmark(line, mark)) Bookmarks->DrawGlyph(s, m.Left + 14, mark, 2);
  std::uint8_t state;
  if (BreakPoints->GetState(line, state)) BreakPoints->DrawGlyph(s, m.Left + 2, state, 2);
}

TRect TSxCustomSyntaxMemo::SectionBoxRect(int row, std::int32_t level) const {
  const TRect g = RowRect(row, rrGutter);
  TRect b;
  b.Left = Options().Contains(smoVSNET_SectionsStyle) ? g.Right + 2 : g.Right + (level - 1) * SectionIndent;
  b.Right = b.Left + 9;
  b.Top = (g.Top + g.Bottom) / 2 - 4;
  b.Bottom = b.Top + 9;
  return b;
}

void TSxCustomSyntaxMemo::DrawSectionMark(TSxSurface& s, std::int32_t line, int row) {
  const TSxSynMemoSection* sec = SectionTree->SectionOf(line);
  if (!sec || sec->Level <= 0) return;  // the root's lines carry no mark
  const TRect m = MovedToTop(RowRect(row, rrMargin));
  TRect b = SectionBoxRect(row, sec->Level);
  const int rowTop = row * LineHeight;
  b.Top -= rowTop;
  b.Bottom -= rowTop;
  int cx = b.Left + (b.Right - b.Left) / 2;
  const int cy = b.Top + (b.Bottom - b.Top) / 2;
  if (line == sec->FirstLine()) {
    if (sec->Collapsed) {
      s.FillFramedRect(b, White, Black);
    } else {
      s.FrameRect(b, Black);
    }
    s.Line(b.Left + 2, cy, b.Right - 2, cy, Black);
    if (sec->Collapsed) s.Line(cx, b.Top + 2, cx, b.Bottom - 2, Black);
    s.Line(b.Right, cy, m.Right - 2, cy, Grey);
    if (!sec->Collapsed) s.Line(cx, b.Bottom, cx, m.Bottom, Grey);
  } else if (line == sec->LastLine()) {
    s.Line(cx, m.Top, cx, cy, Grey);
    s.Line(cx, cy, m.Right - 2, cy, Grey);
  } else {
    s.Line(cx, m.Top, cx, m.Bottom, Grey);
  }
  if (!Options().Contains(smoVSNET_SectionsStyle)) {
    for (std::int32_t k = sec->Level - 1; k >= 1; --k) {
      cx -= SectionIndent;
      s.Line(cx, m.Top, cx, m.Bottom, Grey);
    }
  }
}

void TSxCustomSyntaxMemo::DrawCollapsedMark(TSxSurface& s) {
  const TRect clip = s.ClipRect();
  s.FillRect(TRect{clip.Right - 33, clip.Top, clip.Right, clip.Bottom}, color_);
  s.FrameRect(TRect{clip.Right - 32, clip.Top + 1, clip.Right - 10, clip.Bottom - 1}, Blue);
  for (int dx : {27, 22, 17}) s.FillRect(TRect{clip.Right - dx, clip.Top + 9, clip.Right - dx + 2, clip.Top + 11}, Blue);
}

bool TSxCustomSyntaxMemo::LineSpecial(std::int32_t line) const {
  return Options().Contains(smoSolidSpecialLine) && (BreakPoints->HasBreakPoint(line) || line == DebugLine);
}

void TSxCustomSyntaxMemo::DrawLineText(TSxSurface& s, std::string_view text, std::int64_t e, std::int64_t sel,
                                       int xo, std::int32_t line, const TSxSyntaxParser& tokens, std::int64_t p0,
                                       std::int64_t x0) {
  const TRect clip = s.ClipRect();
  const bool solid = Options().Contains(smoSolidSpecialLine);
  const bool special = LineSpecial(line);
  const int width = host_.ClientWidth();
  const TBreakPoint* bp = BreakPoints->HasBreakPoint(line) ? BreakPoints->BreakPointAt(line) : nullptr;
  const bool bpShown = bp && bp->State != bpsPossible;

  // Left edges of every token and of its end, in one pass (TextX of Start and Start + Len).
  const int n = tokens.Count();
  std::vector<int> startX(static_cast<std::size_t>(n)), endX(static_cast<std::size_t>(n));
  {
    const int blank = BlankWidth();
    std::int64_t p = p0;
    std::int64_t w = x0;
    for (int k = 0; k < n; ++k) {
      const TSxSyntaxToken& t = tokens.Token(k);
      if (t.Start > p) {
        w += (t.Start - p) * blank;
        p = t.Start;
      }
      startX[k] = static_cast<int>(w);
      const auto& table = CharWidths[(SyntaxAttributes->GetTokenStyle(t.Kind) & fsBold) ? 1 : 0];
      for (; p < std::int64_t{t.Start} + t.Len; ++p) {
        w += p < static_cast<std::int64_t>(text.size()) ? table[static_cast<unsigned char>(text[p])] : blank;
      }
      endX[k] = static_cast<int>(w);
    }
  }

  for (int k = 0; k < n; ++k) {
    const TSxSyntaxToken& t = tokens.Token(k);
    TColor bk = SyntaxAttributes->GetTokenColor(t.Kind, true);
    if (solid) {
      if (bpShown) bk = bp->State == bpsEnabled ? BPEnabledBackColor : BPDisabledBackColor;
      if (line == DebugLine) bk = DebugLineBackColor;
    }
    if (bk == DefaultColor || t.Selected) continue;
    const int left = special ? 0 : startX[k] + xo;
    int right;
    if (Options().Contains(smoHighlightLine) && ReachesRightEdge(t.Kind)) {
      right = width;
    } else if (special) {
      right = width;
    } else {
      right = endX[k] + xo;
    }
    s.FillRect(TRect{left, clip.Top, right, clip.Bottom}, bk);
  }

  if (sel != e) {
    // Columns left of the first token shown are measured on the stored tokens.
    auto x = [&](std::int32_t col) {
      return col < p0 ? LineTextX(col, line) : TextX(col, text, tokens, p0, x0);
    };
    int left = xo;
    if (sel > 0) left += x(Range->StartPos.X);
    const int right = e == MaxInt ? clip.Right : x(Range->EndPos.X) + xo;
    s.FillRect(TRect{left, clip.Top, right, clip.Bottom}, SelColor);
  }

  const int blank = CharWidths[0][32];
  int x = static_cast<int>(xo + x0);
  std::int64_t p = p0;
  for (int k = 0; k < n; ++k) {
    const TSxSyntaxToken& t = tokens.Token(k);
    const std::uint8_t style = SyntaxAttributes->GetTokenStyle(t.Kind);
    TColor fore;
    if (t.Selected) {
      fore = Black;
    } else {
      fore = SyntaxAttributes->GetTokenColor(t.Kind, false);
      if (fore == DefaultColor) fore = DefForeColor;
      if (solid) {
        if (bpShown) fore = bp->State == bpsEnabled ? BPEnabledForeColor : BPDisabledForeColor;
        if (line == DebugLine) fore = DebugLineForeColor;
      }
    }
    x += static_cast<int>((std::int64_t{t.Start} - p) * blank);
    if (x > clip.Right) break;  // everything further lies right of the text area
    std::size_t from = std::min<std::size_t>(t.Start, text.size());
    std::size_t len = std::min<std::size_t>(t.Len, text.size() - from);
    if (endX[k] + xo >= clip.Left && (x < clip.Left - 64 || endX[k] + xo > clip.Right + 64)) {
      // A token reaching far out of view is drawn from its first to its last visible
      // character, so the drawn text and its coordinates stay near the view.
      const auto& table = CharWidths[(style & fsBold) ? 1 : 0];
      while (len > 0 && x + table[static_cast<unsigned char>(text[from])] < clip.Left - 32) {
        x += table[static_cast<unsigned char>(text[from])];
        ++from;
        --len;
      }
      std::size_t shown = 0;
      for (int sx = x; shown < len && sx <= clip.Right + 32; ++shown) sx += table[static_cast<unsigned char>(text[from + shown])];
      if (shown > 0) s.TextOut(x, 0, text.substr(from, shown), fore, style);
      x = endX[k] + xo;
    } else if (endX[k] + xo >= clip.Left) {
      x = s.TextOut(x, 0, text.substr(from, len), fore, style);
    } else {
      x = endX[k] + xo;  // wholly left of the view: skip the drawing, keep the advance
    }
    if (t.Kind == tokErroneous || t.Kind == tokErroneous2) {
      const TColor wave = t.Kind == tokErroneous ? RGBColor(255, 0, 0) : RGBColor(0, 128, 0);
      const int x1 = startX[k] + xo;
      const int x2 = endX[k] + xo;
      for (int xx = std::max(x1, clip.Left - 4); xx <= std::min(x2, clip.Right + 4); ++xx) {
        const int m = xx % 4;
        if (m == 0 || m == 2) {
          s.SetPixel(xx, clip.Bottom - 2, wave);
        } else if (m == 1) {
          s.SetPixel(xx, clip.Bottom - 3, wave);
        } else if (m == 3) {
          s.SetPixel(xx, clip.Bottom - 1, wave);
        }
      }
    }
    p = std::int64_t{t.Start} + t.Len;
  }
}
