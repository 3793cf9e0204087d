/** @file Mouse.cpp
 ** Mouse input: click and drag selection, margin clicks (breakpoints, fold boxes),
 ** double clicks, popup menus, the wheel, word-info hover and panning. */
#include <algorithm>
#include <cstdio>
#include <string>

#include "SyntaxMemo.h"

namespace {
// The breakpoint column: presses at x <= 11, right-button releases at x < 11.
constexpr int BreakPointPressMaxX = 11;
constexpr int BreakPointReleaseLimitX = 11;
}  // namespace

void TSxCustomSyntaxMemo::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!host_.HasFocus()) host_.SetFocus();
  if (button == TMouseButton::mbLeft && shift == TShiftState{ssLeft}) {
    const TRect margin = RowRect(-1, rrMargin);
    if (!margin.Contains(x, y)) {
      Selecting = true;
      Range->ClearSelection();
      int px;
      std::int32_t line;
      PointToText(x, y, true, px, line);
      if (Lines->IsValidLine(line)) Range->SetCaretPos(TTextPos{ColFromX(px, line), line});
    } else {
      const int row = y / std::max(1, LineHeight);
      const std::int32_t line = LineAtOffset(TopLine, row, false);
      if (Lines->IsValidLine(line)) {
        if (x <= BreakPointPressMaxX) {
          BreakPoints->ChangeBreakPoint(line, !BreakPoints->HasBreakPoint(line));
        } else {
          const TSxSynMemoSection* s = SectionTree->SectionOf(line);
          if (s && s->Level > 0 && s->FirstLine() == line && SectionBoxRect(row, s->Level).Contains(x, y)) {
            if (s->Collapsed) {
              SectionTree->ExpandSection(line, false, false);
            } else {
              SectionTree->CollapseSection(line, false, false);
            }
          }
        }
      }
    }
  } else if (button == TMouseButton::mbMiddle && shift == TShiftState{ssMiddle} &&
             Options().Contains(smoPanning)) {
    BeginPanning(x, y);
  }
  if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

void TSxCustomSyntaxMemo::MouseMove(TShiftState shift, int x, int y) {
  if (Selecting && shift == TShiftState{ssLeft}) {
    int px;
    std::int32_t row;
    PointToText(x, y, false, px, row);
    const std::int32_t line = LineAtOffset(TopLine, row, true);
    if (Lines->IsValidLine(line)) {
      const std::int32_t col = ColFromX(px, line);
      if (TTextPos{col, line} != Range->CaretPos) {
        Range->ExtendSelection(line - Range->CaretPos.Y, true, false);
        Range->ExtendSelection(col - Range->CaretPos.X, false, false);
      }
    }
  } else if (WordInfoMode && shift.Contains(ssCtrl)) {
    int px;
    std::int32_t line;
    PointToText(x, y, true, px, line);
    if (Lines->IsValidLine(line)) {
      std::int32_t k;
      ColFromX(px, line, k);
      if (k >= 0 && k < Lines->TokenCount(line)) {
        SetHoverWord(TTextPos{k, line});
        if (OnWordInfo) {
          OnWordInfo(*this, x, y, k, line, true);
        } else {
          const TSxSyntaxToken t = StoredToken(line, k);
          const std::string word(Lines->Get(line).substr(t.Start, t.Len));
          char numbers[96];
          std::snprintf(numbers, sizeof numbers, "\"\r\nStart: %u\r\nLength: %u\r\nAs token #%u", t.Start, t.Len,
                        static_cast<unsigned>(t.Kind));
          Hint = "Word: \"" + word + numbers;
          host_.SetHint(Hint);
        }
      }
    }
  } else if (WordInfoMode) {
    SetCursor(TSxCursorShape::IBeam);
    ShowHint = false;
    host_.SetShowHint(false);
    SetHoverWord(TTextPos{-1, -1});
    WordInfoMode = false;
  } else if (Panning) {
    PanStep(x, y);
  } else if (shift.Empty()) {
    SetCursor(RowRect(-1, rrMargin).Contains(x, y) ? TSxCursorShape::Arrow : TSxCursorShape::IBeam);
  }
  if (OnMouseMove) OnMouseMove(*this, shift, x, y);
}

void TSxCustomSyntaxMemo::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
  Selecting = false;
  if (Panning) {
    Panning = false;
    SetCursor(TSxCursorShape::IBeam);
    host_.ReleaseCursorClip();
    return;
  }
  if (button == TMouseButton::mbLeft && shift == TShiftState{ssRight} && Options().Contains(smoPanning)) {
    BeginPanning(x, y);
  }
  if (button != TMouseButton::mbRight) return;
  if (RowRect(-1, rrMargin).Contains(x, y)) {
    if (x >= BreakPointReleaseLimitX) return;
    std::int32_t line = -1;
    std::int32_t token;
    if (!PosFromPoint(x, y, line, token)) line = -1;
    BreakPoints->CurrentRow = line;
    const TSxScreenPoint at = host_.CursorPos();
    if (BreakPoints->PopupMenu) {
      bool handled = false;
      if (OnBreakPointPopup) OnBreakPointPopup(*this, TSxScreenPoint{x, y}, handled);
      if (!handled) host_.ShowPopupMenu(BreakPoints->PopupMenu, at);
    }
  } else {
    const TSxScreenPoint at = host_.CursorPos();
    if (PopupMenu) {
      bool handled = false;
      if (OnContextPopup) OnContextPopup(*this, TSxScreenPoint{x, y}, handled);
      if (!handled) host_.ShowPopupMenu(PopupMenu, at);
    }
  }
}

void TSxCustomSyntaxMemo::DblClick(TShiftState shift, int x, int y) {
  if (OnDblClick) OnDblClick(*this);
  if (shift.Contains(ssCtrl) || host_.IsCtrlDown()) {
    int px;
    std::int32_t line;
    PointToText(x, y, true, px, line);
    if (!Lines->IsValidLine(line)) return;
    const TSxSynMemoSection* s = SectionTree->SectionOf(line);
    const std::int32_t first = s->FirstLine();
    const std::int32_t last = s->LastLine();
    SectionTree->ExpandSection(line, false, true);
    Range->ClearSelection();
    Range->SetCaretPos(TTextPos{0, std::clamp(first, 0, Lines->Count() - 1)});
    Range->ExtendSelection(last - first + 1, true, false);
    return;
  }
  std::int32_t line;
  std::int32_t k;
  if (PosFromPoint(x, y, line, k) && k >= 0 && k < Lines->TokenCount(line)) {
    const TSxSyntaxToken t = StoredToken(line, k);
    Range->ClearSelection();
    Range->SetCaretPos(TTextPos{static_cast<std::int32_t>(t.Start), line});
    Range->ExtendSelection(static_cast<std::int32_t>(t.Len), false, false);
  }
}

void TSxCustomSyntaxMemo::MouseWheel(int delta, TShiftState shift) {
  if (shift.Contains(ssCtrl) || host_.IsCtrlDown()) {
    ScrollAxis(0, delta <= 0 ? LeftOffset + 4 : std::max(LeftOffset - 4, 0));
  } else {
    ScrollAxis(1, LineAtOffset(TopLine, delta <= 0 ? 3 : -3, true));
  }
}

// --- Panning ---

void TSxCustomSyntaxMemo::BeginPanning(int x, int y) {
  Panning = true;
  SetCursor(TSxCursorShape::SizeAll);
  PanLast = TSxScreenPoint{x, y};
  TRect r = host_.ScreenRect();
  r.Bottom -= HorzScrollBar->Thickness() + 4;
  r.Right -= VertScrollBar->Thickness() + 4;
  r.Left += GutterWidth + 2;
  r.Top += 2;
  host_.ClipCursor(r);
}

void TSxCustomSyntaxMemo::PanStep(int x, int y) {
  const int dx = PanLast.X - x;
  int dy = PanLast.Y - y;
  PanLast = TSxScreenPoint{x, y};
  if (Options().Contains(smoHorPanning)) ScrollAxis(0, std::max(LeftOffset + dx, 0));
  if (Options().Contains(smoVerPanningReverse)) dy = -dy;
  ScrollAxis(1, LineAtOffset(TopLine, dy, true));

  // The pointer wraps between the top and bottom rows of the confinement; the jump itself
  // must not scroll, so PanLast moves with it.
  TRect w = host_.ScreenRect();
  w.Bottom -= HorzScrollBar->Thickness() + 5;
  w.Top += 2;
  TSxScreenPoint p = host_.CursorPos();
  const int span = w.Bottom - w.Top - 1;
  if (p.Y == w.Top) {
    p.Y = w.Bottom - 1;
    PanLast.Y += span;
    host_.SetCursorPos(p);
  }
  if (p.Y == w.Bottom) {
    p.Y = w.Top + 1;
    PanLast.Y -= span;
    host_.SetCursorPos(p);
  }
}
