/** @file Range.cpp
 ** Caret and selection, the editing primitive ReplaceSelection, whole-text selections
 ** and the line-prefix commands. */
#include "Range.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "../syntax/TextLines.h"
#include "MemoModel.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

TSxSynMemoRange::TSxSynMemoRange(TSxMemoModel& memo) : Memo(memo) {
  UndoList.reserve(static_cast<std::size_t>(UndoLimit));
}

TSxSynMemoRange::~TSxSynMemoRange() = default;

std::int32_t TSxSynMemoRange::LineLength(std::int32_t line) const {
  const TSxSynMemoStrings& lines = *Memo.Lines;
  return lines.IsValidLine(line) ? static_cast<std::int32_t>(lines.Get(line).size()) : 0;
}

TTextPos TSxSynMemoRange::ClampToText(TTextPos p) const {
  const int count = Memo.Lines->Count();
  if (count == 0 || p.Y < 0) return {std::max(0, count == 0 ? 0 : p.X), 0};
  if (p.Y >= count) return {LineLength(count - 1), count - 1};
  return {std::max(0, p.X), p.Y};
}

void TSxSynMemoRange::NormalizeRange() {
  StartPos = ClampToText(StartPos);
  EndPos = ClampToText(EndPos);
  if (EndPos < StartPos) std::swap(StartPos, EndPos);
}

std::string TSxSynMemoRange::GetSelText() const {
  if (IsEmpty() || Memo.Lines->Count() == 0) return {};
  TTextPos s = ClampToText(StartPos);
  TTextPos e = ClampToText(EndPos);
  if (e < s) std::swap(s, e);
  const TSxSynMemoStrings& lines = *Memo.Lines;
  auto from = [&](std::int32_t y, std::int32_t x) {
    std::string_view t = lines.Get(y);
    return x < static_cast<std::int32_t>(t.size()) ? t.substr(static_cast<std::size_t>(x)) : std::string_view{};
  };
  auto upTo = [&](std::int32_t y, std::int32_t x) {
    std::string_view t = lines.Get(y);
    return t.substr(0, std::min<std::size_t>(t.size(), static_cast<std::size_t>(x)));
  };
  if (s.Y == e.Y) {
    std::string_view t = upTo(s.Y, e.X);
    return s.X < static_cast<std::int32_t>(t.size()) ? std::string(t.substr(static_cast<std::size_t>(s.X)))
                                                      : std::string{};
  }
  std::string out(from(s.Y, s.X));
  for (std::int32_t y = s.Y + 1; y < e.Y; ++y) {
    out += "\r\n";
    out += lines.Get(y);
  }
  out += "\r\n";
  out += upTo(e.Y, e.X);
  return out;
}

void TSxSynMemoRange::ReplaceSelection(std::string_view text, TUndoKind kind) {
  TSxSynMemoStrings& lines = *Memo.Lines;
  // Backspace and section jumps can leave the start after the end; replacing such a
  // range as it stands would duplicate text.
  NormalizeRange();
  const bool noLines = lines.Count() == 0;

  // Virtual space: the start line is padded up to the start column, whatever the
  // selection. The record starts at the unpadded end so that undo drops the padding too.
  TTextPos recordStart = StartPos;
  if (!noLines) {
    const std::int32_t len = LineLength(StartPos.Y);
    if (StartPos.X > len) {
      std::string padded(lines.Get(StartPos.Y));
      padded.append(static_cast<std::size_t>(StartPos.X - len), ' ');
      lines.Put(StartPos.Y, padded);
      recordStart.X = len;
    }
  }

  std::vector<std::string> newLines;
  std::string withBreak(text);
  withBreak += "\r\n";
  ForEachTextLine(withBreak, [&](std::string_view l) { newLines.emplace_back(l); });
  if (newLines.empty()) newLines.emplace_back();
  const auto n = static_cast<std::int32_t>(newLines.size());
  const std::int32_t oldCount = noLines ? 0 : EndPos.Y - StartPos.Y + 1;

  std::string removed;
  if (!noLines) {
    std::string_view first = lines.Get(StartPos.Y);
    newLines.front().insert(0, first.substr(0, std::min<std::size_t>(first.size(), StartPos.X)));
    std::string_view last = lines.Get(EndPos.Y);
    const auto endX = static_cast<std::size_t>(EndPos.X);
    if (StartPos.Y == EndPos.Y) {
      if (endX > static_cast<std::size_t>(StartPos.X) && static_cast<std::size_t>(StartPos.X) < first.size())
        removed = first.substr(static_cast<std::size_t>(StartPos.X),
                               std::min(endX, first.size()) - static_cast<std::size_t>(StartPos.X));
    } else {
      if (static_cast<std::size_t>(StartPos.X) < first.size())
        removed = first.substr(static_cast<std::size_t>(StartPos.X));
      for (std::int32_t y = StartPos.Y + 1; y < EndPos.Y; ++y) {
        removed += "\r\n";
        removed += lines.Get(y);
      }
      removed += "\r\n";
      removed += last.substr(0, std::min(endX, last.size()));
    }
  }
  const TTextPos newEnd{static_cast<std::int32_t>(newLines.back().size()), StartPos.Y + n - 1};
  if (!noLines) {
    std::string_view last = lines.Get(EndPos.Y);
    if (last.size() > static_cast<std::size_t>(EndPos.X)) newLines.back() += last.substr(static_cast<std::size_t>(EndPos.X));
  }

  if (!lines.Pending.Contains(pwLocked)) RecordEdit(removed, recordStart, newEnd, kind);

  lines.BeginUpdate();
  if (n > oldCount) {
    const std::int32_t at = StartPos.X == 0 ? StartPos.Y : StartPos.Y + oldCount;
    for (std::int32_t i = oldCount; i < n; ++i) lines.Insert(at, "");
  } else {
    for (std::int32_t i = n; i < oldCount; ++i) lines.Delete(StartPos.Y);
  }
  for (std::int32_t i = 0; i < n; ++i) lines.Put(StartPos.Y + i, newLines[static_cast<std::size_t>(i)]);
  StartPos = EndPos = newEnd;
  CollapseOnMove = true;
  MoveCaretLocked(newEnd);
  lines.EndUpdate();
}

void TSxSynMemoRange::MoveCaretLocked(TTextPos p) {
  TSxSynMemoStrings& lines = *Memo.Lines;
  lines.Pending += pwLocked;
  SetCaretPos(p);
  lines.Pending -= pwLocked;
}

void TSxSynMemoRange::DeleteSelection() {
  const TSxSynMemoStrings& lines = *Memo.Lines;
  CollapseOntoStrayCaret();
  if (!IsEmpty()) {
    ReplaceSelection("", ukDelete);
    return;
  }
  if (!lines.IsValidLine(CaretPos.Y)) return;
  if (CaretPos.X < LineLength(CaretPos.Y)) {
    EndPos.X = StartPos.X + 1;
    ReplaceSelection("", ukDelete);
  } else if (CaretPos.Y < lines.Count() - 1) {
    EndPos = {0, StartPos.Y + 1};
    ReplaceSelection("", ukDelete);
  }
}

// A caret jump while the anchor is kept (CollapseOnMove false) can leave an empty
// selection away from the caret; deleting must act at the caret, never span the lines
// between the two.
void TSxSynMemoRange::CollapseOntoStrayCaret() {
  if (IsEmpty() && StartPos != CaretPos) ClearSelection();
}

void TSxSynMemoRange::SetCaretPos(TTextPos p) {
  if (p == CaretPos) return;
  TSxSynMemoStrings& lines = *Memo.Lines;
  if (!lines.Pending.Contains(pwLocked)) RecordCaretMove();
  lines.BeginUpdate();
  if (p.Y != CaretPos.Y) TrimCaretLine();
  std::int32_t y = std::clamp(p.Y, 0, lines.Count());
  if (y == lines.Count()) {
    if (lines.Count() == 0 || !lines.Get(lines.Count() - 1).empty()) {
      lines.Add("");
      SetCaretPos({0, lines.Count() - 1});
    }
    y = lines.Count() - 1;
  }
  CaretPos = {std::max(0, p.X), y};
  if (CollapseOnMove) StartPos = EndPos = CaretPos;
  Memo.ScrollIntoView(CaretPos.X, CaretPos.Y, 1);
  lines.EndUpdate();
  Memo.DoChange({ciSelection});
  if (OnCaretMove) OnCaretMove(p);
}

void TSxSynMemoRange::SetCaretCoord(int axis, std::int32_t value) {
  if (axis == 0)
    SetCaretPos({value, CaretPos.Y});
  else if (axis == 1)
    SetCaretPos({CaretPos.X, value});
}

void TSxSynMemoRange::TrimCaretLine() {
  TSxSynMemoStrings& lines = *Memo.Lines;
  if (!lines.IsValidLine(CaretPos.Y)) return;
  std::string_view t = lines.Get(CaretPos.Y);
  std::size_t n = t.size();
  while (n > 0 && IsBlank(t[n - 1])) --n;
  if (n == t.size()) return;
  const std::string trimmed(t.substr(0, n));
  const bool raw = lines.RawUpdate;
  lines.RawUpdate = true;
  lines.Put(CaretPos.Y, trimmed);
  lines.RawUpdate = raw;
}

void TSxSynMemoRange::ClearSelection() {
  CollapseOnMove = true;
  const TTextPos oldStart = StartPos;
  const TTextPos oldEnd = EndPos;
  StartPos = EndPos = CaretPos;
  if (!(oldStart == oldEnd)) {
    TSxSynMemoStrings& lines = *Memo.Lines;
    lines.BeginUpdate();
    for (std::int32_t y = std::min(oldStart.Y, oldEnd.Y); y <= std::max(oldStart.Y, oldEnd.Y); ++y)
      Memo.InvalidateLine(y);
    lines.EndUpdate();
  }
  Memo.DoChange({ciSelection});
}

void TSxSynMemoRange::ExtendSelection(std::int32_t delta, bool vertical, bool byVisibleLines) {
  TSxSynMemoStrings& lines = *Memo.Lines;
  lines.BeginUpdate();
  CollapseOnMove = false;
  if (!vertical) {
    const std::int64_t target = std::int64_t{CaretPos.X} + delta;
    const std::int32_t len = LineLength(CaretPos.Y);
    std::int32_t d = delta;
    if (target < 0)
      d = -CaretPos.X;
    else if (target > len)
      d = len - CaretPos.X;
    if (d != 0) {
      if (CaretPos == StartPos)
        StartPos.X += d;
      else
        EndPos.X += d;
      if (StartPos.Y == EndPos.Y && StartPos.X > EndPos.X) std::swap(StartPos.X, EndPos.X);
      SetCaretCoord(0, CaretPos.X + d);
      Memo.InvalidateLine(CaretPos.Y);
    }
  } else if (lines.Count() > 0) {
    std::int32_t line;
    if (byVisibleLines) {
      line = Memo.LineAtOffset(CaretPos.Y, delta, true);
      if (line < 0) line = CaretPos.Y;
    } else {
      line = static_cast<std::int32_t>(
          std::clamp<std::int64_t>(std::int64_t{CaretPos.Y} + delta, 0, lines.Count() - 1));
    }
    if (line != CaretPos.Y) {
      const std::int32_t oldLine = CaretPos.Y;
      if (CaretPos == StartPos)
        StartPos.Y = line;
      else
        EndPos.Y = line;
      if (StartPos.Y > EndPos.Y) std::swap(StartPos, EndPos);
      if (StartPos.Y == EndPos.Y && StartPos.X > EndPos.X) std::swap(StartPos.X, EndPos.X);
      SetCaretCoord(1, line);
      for (std::int32_t y = std::min(oldLine, line); y <= std::max(oldLine, line); ++y) Memo.InvalidateLine(y);
    }
  }
  lines.EndUpdate();
  Memo.DoChange({ciSelection});
}

void TSxSynMemoRange::SetCaretOffset(std::int64_t offset) {
  ClearSelection();
  SetCaretPos(Memo.Lines->OffsetToPos(offset));
}

void TSxSynMemoRange::SelectChars(std::int64_t count) {
  const TSxSynMemoStrings& lines = *Memo.Lines;
  std::int64_t rest = count;
  std::int64_t skip = StartPos.X;
  const std::int32_t first = std::max(0, StartPos.Y);
  for (std::int32_t l = first; l < lines.Count(); ++l) {
    const std::int64_t len = LineLength(l);
    rest -= len + 2 - skip;
    skip = 0;
    // A count beyond the text selects to the end of the last line.
    if (l == lines.Count() - 1) rest = std::min<std::int64_t>(rest, 0);
    if (rest <= 0) {
      ExtendSelection(l - first, true, false);
      const std::int64_t step = len + 2 + rest - StartPos.X;
      ExtendSelection(static_cast<std::int32_t>(std::clamp<std::int64_t>(step, -MaxInt, MaxInt)), false, false);
      return;
    }
  }
}

void TSxSynMemoRange::SelectAll() {
  SetCaretOffset(0);
  SelectChars(Memo.Lines->PosToOffset(0, Memo.Lines->Count()));
}

void TSxSynMemoRange::SelectToStart() {
  const std::int64_t here = Memo.Lines->PosToOffset(CaretPos.X, CaretPos.Y);
  SetCaretOffset(0);
  SelectChars(here);
}

void TSxSynMemoRange::SelectToEnd() {
  const std::int64_t here = Memo.Lines->PosToOffset(CaretPos.X, CaretPos.Y);
  SetCaretOffset(here);
  SelectChars(Memo.Lines->PosToOffset(0, Memo.Lines->Count()) - here);
}

namespace {

bool StartsWith(std::string_view t, std::string_view prefix) {
  return t.size() >= prefix.size() && t.compare(0, prefix.size(), prefix) == 0;
}

constexpr std::string_view kIndent = "    ";

}  // namespace

// The three line-prefix commands rewrite whole lines in place and make one undo record
// each, so that earlier records keep replaying over the text they were made for.
// change(line, out) answers whether the line changes and gives its new text.
void TSxSynMemoRange::RewriteSelectedLines(const std::function<bool(std::string_view, std::string&)>& change) {
  TSxSynMemoStrings& lines = *Memo.Lines;
  if (lines.Count() == 0) return;
  const TTextPos s = ClampToText(std::min(StartPos, EndPos));
  const TTextPos e = ClampToText(std::max(StartPos, EndPos));
  lines.BeginUpdate();
  TSxSynMemoUndoItem* r = RecordLineBlock(s.Y, e.Y);
  for (std::int32_t y = s.Y; y <= e.Y; ++y) {
    std::string next;
    if (change(lines.Get(y), next)) lines.Put(y, next);
  }
  if (r) r->EndPos = {LineLength(e.Y), e.Y};
  lines.EndUpdate();
}

void TSxSynMemoRange::IndentLines() {
  RewriteSelectedLines([](std::string_view t, std::string& out) {
    out = std::string(kIndent) + std::string(t);
    return true;
  });
}

void TSxSynMemoRange::UnindentLines() {
  RewriteSelectedLines([](std::string_view t, std::string& out) {
    if (!StartsWith(t, kIndent)) return false;
    out = t.substr(kIndent.size());
    return true;
  });
}

void TSxSynMemoRange::ToggleLineComment(std::string_view prefix) {
  if (Memo.Lines->Count() == 0) return;
  const bool remove = StartsWith(Memo.Lines->Get(ClampToText(std::min(StartPos, EndPos)).Y), prefix);
  RewriteSelectedLines([&](std::string_view t, std::string& out) {
    if (StartsWith(t, prefix) != remove) return false;
    out = remove ? std::string(t.substr(prefix.size())) : std::string(prefix) + std::string(t);
    return true;
  });
}
