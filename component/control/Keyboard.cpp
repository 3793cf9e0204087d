/** @file Keyboard.cpp
 ** The key table, typed characters, Backspace, Enter and smart Home, word moves,
 ** word-info mode, the focus and the system caret. */
#include <algorithm>
#include <string>

#include "SyntaxMemo.h"

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// Column of the first non-blank character, or npos for a blank line.
std::size_t FirstNonBlank(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (!IsBlank(s[i])) return i;
  }
  return std::string_view::npos;
}

int DigitOf(std::uint16_t key) {
  if (key >= '0' && key <= '9') return key - '0';
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) return key - VK_NUMPAD0;
  return -1;
}
}  // namespace

std::int32_t TSxCustomSyntaxMemo::LineLength(std::int32_t line) const {
  return Lines->IsValidLine(line) ? static_cast<std::int32_t>(Lines->Get(line).size()) : 0;
}

// --- Entry points with the host's handlers ---

void TSxCustomSyntaxMemo::KeyDown(std::uint16_t key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(*this, key, shift);
  if (key != 0) DoKeyDown(key, shift);
}

void TSxCustomSyntaxMemo::KeyPress(char key) {
  if (OnKeyPress) OnKeyPress(*this, key);
  DoKeyPress(key);
}

void TSxCustomSyntaxMemo::TypeText(std::string_view text) {
  std::string kept;
  for (char c : text) {
    if (OnKeyPress) OnKeyPress(*this, c);
    if (static_cast<unsigned char>(c) >= 32) kept += c;
  }
  if (kept.empty() || Options().Contains(smoReadOnly) || Lines->Count() < 1) return;
  Range->ReplaceSelection(kept, ukTyping);
}

void TSxCustomSyntaxMemo::KeyUp(std::uint16_t key, TShiftState shift) {
  DoKeyUp();
  if (OnKeyUp) OnKeyUp(*this, key, shift);
}

void TSxCustomSyntaxMemo::DoKeyPress(char key) {
  if (static_cast<unsigned char>(key) < 32 || Options().Contains(smoReadOnly) || Lines->Count() < 1) return;
  Range->ReplaceSelection(std::string(1, key), ukTyping);
}

void TSxCustomSyntaxMemo::DoKeyUp() {
  SetCursor(TSxCursorShape::IBeam);
  ShowHint = false;
  host_.SetShowHint(false);
  SetHoverWord(TTextPos{-1, -1});
  if (OnWordInfo) OnWordInfo(*this, 0, 0, -1, -1, false);
  WordInfoMode = false;
}

void TSxCustomSyntaxMemo::EnterWordInfoMode() {
  SetCursor(TSxCursorShape::Hand);
  Hint.clear();
  host_.SetHint(Hint);
  SetHoverWord(TTextPos{-1, -1});
  ShowHint = true;
  host_.SetShowHint(true);
  WordInfoMode = true;
}

void TSxCustomSyntaxMemo::SetCursor(TSxCursorShape shape) { host_.SetCursorShape(shape); }

// --- The key table ---

void TSxCustomSyntaxMemo::DoKeyDown(std::uint16_t key, TShiftState shift) {
  TSxSynMemoRange& r = *Range;
  const bool readOnly = Options().Contains(smoReadOnly);
  const bool sh = shift.Contains(ssShift);
  const bool ct = shift.Contains(ssCtrl);
  const bool exactlyCtrl = shift == TShiftState{ssCtrl};
  const bool exactlyCtrlShift = shift == TShiftState{ssCtrl, ssShift};
  const std::int32_t col = r.CaretPos.X;
  const std::int32_t ln = r.CaretPos.Y;
  const int v = VisibleRows();

  switch (key) {
    case VK_BACK:
      if (!readOnly) KeyBackspace();
      return;
    case VK_TAB:
      if (!readOnly) r.ReplaceSelection(std::string(static_cast<std::size_t>(4 - col % 4), ' '), ukTyping);
      return;
    case VK_RETURN:
      if (!readOnly) KeyEnter();
      return;
    case VK_CONTROL:
      if (exactlyCtrl && !WordInfoMode) EnterWordInfoMode();
      return;
    case VK_PRIOR:
      if (!sh && !ct) {
        r.ClearSelection();
        r.SetCaretCoord(1, LineAtOffset(ln, -(v - 1), true));
      } else if (!sh) {
        r.ClearSelection();
        r.SetCaretCoord(1, TopLine);
      } else if (!ct) {
        r.ExtendSelection(-(v - 1), true, false);
      } else {
        r.ExtendSelection(TopLine - ln, true, false);
      }
      return;
    case VK_NEXT:
      if (!sh && !ct) {
        r.ClearSelection();
        r.SetCaretCoord(1, LineAtOffset(ln, v - 1, true));
      } else if (!sh) {
        r.ClearSelection();
        r.SetCaretCoord(1, LineAtOffset(TopLine, v - 1, true));
      } else if (!ct) {
        r.ExtendSelection(v - 1, true, false);
      } else {
        r.ExtendSelection(TopLine + v - 1 - ln, true, false);
      }
      return;
    case VK_END:
      if (!sh) {
        r.ClearSelection();
        if (ct) r.SetCaretCoord(1, Lines->Count() - 1);
        r.SetCaretCoord(0, LineLength(r.CaretPos.Y));
      } else {
        if (ct) r.ExtendSelection(Lines->Count() - 1 - ln, true, false);
        r.ExtendSelection(LineLength(r.CaretPos.Y) - r.CaretPos.X, false, false);
      }
      return;
    case VK_HOME:
      if (!sh) {
        r.ClearSelection();
        if (ct) r.SetCaretCoord(1, 0);
        SmartHome();
      } else {
        if (ct) r.ExtendSelection(-ln, true, false);
        r.ExtendSelection(-r.CaretPos.X, false, false);
      }
      return;
    case VK_LEFT:
    case VK_RIGHT: {
      const int step = key == VK_LEFT ? -1 : 1;
      TTextPos target;
      if (!sh && !ct) {
        r.ClearSelection();
        r.SetCaretCoord(0, col + step);
      } else if (!sh) {
        r.ClearSelection();
        if (step < 0 ? PrevWordPos(target) : NextWordPos(target)) r.SetCaretPos(target);
      } else if (!ct) {
        r.ExtendSelection(step, false, false);
      } else if (step < 0 ? PrevWordPos(target) : NextWordPos(target)) {
        r.ExtendSelection(target.Y - ln, true, false);
        r.ExtendSelection(target.X - r.CaretPos.X, false, false);
      }
      return;
    }
    case VK_UP:
    case VK_DOWN: {
      const int step = key == VK_UP ? -1 : 1;
      if (!sh && !ct) {
        VerticalMove(step);
      } else if (!sh) {
        ScrollAxis(1, LineAtOffset(TopLine, step, true));
        // The caret follows when the scroll left it outside the view.
        if (step < 0 && RowOfLine(ln) == -3) {
          r.ClearSelection();
          r.SetCaretCoord(1, LineAtOffset(TopLine, v - 1, true));
        } else if (step > 0 && ln < TopLine) {
          r.ClearSelection();
          r.SetCaretCoord(1, TopLine);
        }
      } else if (!ct) {
        r.ExtendSelection(step, true, true);
      } else {
        r.GotoSection(step > 0);
      }
      return;
    }
    case VK_INSERT:
      if (shift.Empty()) {
        if (!readOnly) {
          TSxSynMemoOptions o = Options();
          if (o.Contains(smoOverwrite)) {
            o -= smoOverwrite;
          } else {
            o += smoOverwrite;
          }
          SetOptions(o);
        }
      } else if (exactlyCtrl) {
        r.CopyToClipboard();
      } else if (shift == TShiftState{ssShift}) {
        r.PasteFromClipboard();
      }
      return;
    case VK_DELETE:
      if (!readOnly) r.DeleteSelection();
      return;
    case 'A':
      if (exactlyCtrl) r.SelectAll();
      return;
    case 'C':
      if (ct) r.CopyToClipboard();
      return;
    case 'I':
      if (exactlyCtrlShift) r.IndentLines();
      return;
    case 'U':
      if (exactlyCtrlShift) r.UnindentLines();
      return;
    case 'V':
      if (exactlyCtrl && !readOnly) r.PasteFromClipboard();
      return;
    case 'X':
      if (exactlyCtrl) r.CutToClipboard();
      return;
    case 'Z':
      if (ct && r.CanUndo()) r.Undo();
      return;
    case VK_ADD:
      if (ct) r.ExpandCaretSection(sh);
      return;
    case VK_SUBTRACT:
      if (ct) r.CollapseCaretSection(sh);
      return;
    case VK_F5:
      r.CreateSectionFromSelection();
      return;
    case VK_F6:
      r.RemoveCaretSection(ct);
      return;
    case VK_OEM_2:
      if (exactlyCtrl && SyntaxAttributes->Has(HasILComment)) r.ToggleLineComment(SyntaxAttributes->LitILComment);
      return;
    default:
      break;
  }
  const int digit = DigitOf(key);
  if (digit >= 0 && ct) {
    if (!sh) {
      GotoLine(0, Bookmarks->GetBookmark(digit));
    } else {
      Bookmarks->SetBookmark(digit, ln);
    }
  }
}

void TSxCustomSyntaxMemo::VerticalMove(int delta) {
  TSxSynMemoRange& r = *Range;
  r.ClearSelection();
  const int px = LineTextX(r.CaretPos.X, r.CaretPos.Y);
  const std::int32_t target = LineAtOffset(r.CaretPos.Y, delta, true);
  if (target < 0) return;  // no visible line to move to
  r.SetCaretCoord(1, target);
  r.SetCaretCoord(0, ColFromX(px, r.CaretPos.Y));
}

void TSxCustomSyntaxMemo::KeyBackspace() {
  TSxSynMemoRange& r = *Range;
  r.CollapseOntoStrayCaret();
  const std::int32_t col = r.CaretPos.X;
  const std::int32_t ln = r.CaretPos.Y;
  if (col == 0) {
    if (ln > 0 && LineAtOffset(ln, -1, true) == ln - 1) {
      r.StartPos = TTextPos{LineLength(ln - 1), ln - 1};
      r.DeleteSelection();
    } else if (!r.IsEmpty()) {
      r.DeleteSelection();
    }
    return;
  }
  if (!Lines->IsValidLine(ln)) return;
  const std::string_view line = Lines->Get(ln);
  const std::string_view head = line.substr(0, std::min<std::size_t>(line.size(), static_cast<std::size_t>(col)));
  r.StartPos.X = FirstNonBlank(head) == std::string_view::npos ? 0 : col - 1;
  r.DeleteSelection();
}

void TSxCustomSyntaxMemo::KeyEnter() {
  std::int32_t i = Range->CaretPos.Y;
  std::string indent;
  if (Lines->IsValidLine(i)) {
    while (i > 0 && FirstNonBlank(Lines->Get(i)) == std::string_view::npos) --i;
    const std::string_view s = Lines->Get(i);
    const std::size_t first = FirstNonBlank(s);
    if (first != std::string_view::npos) indent = std::string(s.substr(0, first));
  }
  Range->ReplaceSelection("\r\n" + indent, ukTyping);
}

void TSxCustomSyntaxMemo::SmartHome() {
  std::int32_t target = 0;
  if (Range->CaretPos.X == 0 && Lines->IsValidLine(Range->CaretPos.Y)) {
    const std::size_t first = FirstNonBlank(Lines->Get(Range->CaretPos.Y));
    if (first != std::string_view::npos) target = static_cast<std::int32_t>(first);
  }
  Range->SetCaretCoord(0, target);
}

// --- Word moves ---

std::int32_t TSxCustomSyntaxMemo::TokenIndexAt(std::int32_t col, std::int32_t line) const {
  if (!Lines->IsValidLine(line) || Lines->TokenCount(line) == 0) return MaxInt;
  TLineWalk w = WalkFromColumn(line, col);
  TSxSyntaxToken t;
  for (int k = w.Cursor.Index(); w.Cursor.Next(t); k = w.Cursor.Index()) {
    if (static_cast<std::int64_t>(t.Start) > col) return -k;
    if (std::int64_t{t.Start} + t.Len > col) return k;
  }
  return MaxInt;
}

bool TSxCustomSyntaxMemo::NextWordPos(TTextPos& target) {
  const std::int32_t col = Range->CaretPos.X;
  const std::int32_t ln = Range->CaretPos.Y;
  const std::int32_t t = TokenIndexAt(col, ln);
  if (t != MaxInt) {
    if (t < 0) {
      target = TTextPos{static_cast<std::int32_t>(StoredToken(ln, -t).Start), ln};
    } else if (t + 1 < Lines->TokenCount(ln)) {
      target = TTextPos{static_cast<std::int32_t>(StoredToken(ln, t + 1).Start), ln};
    } else {
      const TSxSyntaxToken last = StoredToken(ln, t);
      target = TTextPos{static_cast<std::int32_t>(last.Start + last.Len), ln};
    }
    return true;
  }
  const std::int32_t next = LineAtOffset(ln, 1, false);
  if (next < 0) return false;
  target = TTextPos{Lines->TokenCount(next) > 0 ? static_cast<std::int32_t>(StoredToken(next, 0).Start) : 0,
                    next};
  return true;
}

bool TSxCustomSyntaxMemo::PrevWordPos(TTextPos& target) {
  const std::int32_t col = Range->CaretPos.X;
  const std::int32_t ln = Range->CaretPos.Y;
  const std::int32_t t = TokenIndexAt(col, ln);
  auto previousLineEnd = [&]() {
    const std::int32_t prev = LineAtOffset(ln, -1, false);
    if (prev < 0) return false;
    const int n = Lines->TokenCount(prev);
    std::int32_t x = 0;
    if (n > 0) {
      const TSxSyntaxToken last = StoredToken(prev, n - 1);
      x = static_cast<std::int32_t>(last.Start + last.Len);
    }
    target = TTextPos{x, prev};
    return true;
  };
  if (t == MaxInt) {
    const int n = Lines->TokenCount(ln);
    if (n == 0) return previousLineEnd();
    target = TTextPos{static_cast<std::int32_t>(StoredToken(ln, n - 1).Start), ln};
    return true;
  }
  if (t < 0) {
    // In the gap before token -t: the start of the token before the gap.
    target = TTextPos{static_cast<std::int32_t>(StoredToken(ln, -t - 1).Start), ln};
    return true;
  }
  const std::int32_t start = static_cast<std::int32_t>(StoredToken(ln, t).Start);
  if (t == 0 && col < start) return previousLineEnd();  // in the blanks before the first token
  if (start != col) {
    target = TTextPos{start, ln};
    return true;
  }
  if (t > 0) {
    target = TTextPos{static_cast<std::int32_t>(StoredToken(ln, t - 1).Start), ln};
    return true;
  }
  return previousLineEnd();
}

// --- Focus and caret ---

void TSxCustomSyntaxMemo::FocusGained(bool fromOwnScrollBar) {
  if (!fromOwnScrollBar) {
    host_.CreateCaret(1, LineHeight);
    caretCreated_ = true;
    UpdateCaret();
  }
  if (OnEnter) OnEnter(*this);
}

void TSxCustomSyntaxMemo::FocusLost(bool toOwnScrollBar) {
  if (!toOwnScrollBar) {
    HideCaretIfShown();
    host_.DestroyCaret();
    caretCreated_ = false;
  }
  if (OnExit) OnExit(*this);
}

void TSxCustomSyntaxMemo::UpdateCaret() {
  if (Lines->UpdateCount() > 0) return;
  const std::int32_t col = Range->CaretPos.X;
  const std::int32_t ln = Range->CaretPos.Y;
  int row;
  if (!Lines->IsValidLine(ln) || !RowOfLine(ln, row)) return;
  const TRect t = RowRect(row, rrText);
  const int x = t.Left + LineTextX(col, ln) - LeftOffset;
  if (x < t.Left || x > t.Right - 1) return;
  host_.SetCaretPos(x, t.Top);
  host_.ShowCaret();
  CaretShown = true;
}

void TSxCustomSyntaxMemo::HideCaretIfShown() {
  if (CaretShown && host_.HasParent()) {
    host_.HideCaret();
    CaretShown = false;
  }
}
