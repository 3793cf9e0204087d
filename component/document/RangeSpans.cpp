/** @file RangeSpans.cpp
 ** Replacing many pieces of lines at once (replace-all) as one edit and one undo record.
 ** Each changed line is written once; the record keeps only the replaced bytes. */
#include <algorithm>

#include "MemoModel.h"
#include "Range.h"

void TSxSynMemoRange::ReplaceSpans(const std::vector<TSxLineSpan>& spans, std::string_view text) {
  TSxSynMemoStrings& lines = *Memo.Lines;
  text = text.substr(0, std::min(text.find_first_of("\r\n"), text.size()));
  if (spans.empty()) return;
  const auto newLength = static_cast<std::int32_t>(text.size());
  auto undo = std::make_unique<TSxSpanUndo>();
  undo->NewSpans.reserve(spans.size());
  undo->OldLengths.reserve(spans.size());
  // A position on a changed line moves by the growth of the spans ending at or before it.
  const TTextPos origin[3] = {StartPos, EndPos, CaretPos};
  TTextPos moved[3] = {StartPos, EndPos, CaretPos};
  lines.BeginUpdate();
  TSxSynMemoUndoItem* r = lines.Pending.Contains(pwLocked) ? nullptr : AddUndoItem("");
  std::string next;
  for (std::size_t i = 0; i < spans.size();) {
    const std::int32_t y = spans[i].Line;
    if (!lines.IsValidLine(y)) {
      ++i;
      continue;
    }
    const std::string_view old = lines.Get(y);
    next.clear();
    std::size_t pos = 0;
    for (; i < spans.size() && spans[i].Line == y; ++i) {
      const TSxLineSpan& s = spans[i];
      const std::size_t col = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(0, s.Column)), pos, old.size());
      const std::size_t len = std::min<std::size_t>(static_cast<std::size_t>(std::max(0, s.Length)), old.size() - col);
      next.append(old.substr(pos, col - pos));
      undo->NewSpans.push_back({y, static_cast<std::int32_t>(next.size()), newLength});
      undo->OldLengths.push_back(static_cast<std::int32_t>(len));
      undo->Old.append(old.substr(col, len));
      next.append(text);
      pos = col + len;
      for (int k = 0; k < 3; ++k)
        if (origin[k].Y == y && static_cast<std::size_t>(origin[k].X) >= pos)
          moved[k].X += newLength - static_cast<std::int32_t>(len);
    }
    next.append(old.substr(pos));
    lines.Put(y, next);
  }
  if (r) r->Spans = std::move(undo);
  StartPos = moved[0];
  EndPos = moved[1];
  CaretPos = moved[2];
  Memo.InvalidateLine(CaretPos.Y);
  lines.EndUpdate();
  Memo.DoChange({ciSelection});
}

void TSxSynMemoRange::PutSpansBack(const TSxSpanUndo& undo) {
  TSxSynMemoStrings& lines = *Memo.Lines;
  std::string back;
  std::size_t oldAt = 0;
  const std::vector<TSxLineSpan>& spans = undo.NewSpans;
  for (std::size_t i = 0; i < spans.size();) {
    const std::int32_t y = spans[i].Line;
    const bool valid = lines.IsValidLine(y);
    const std::string_view now = valid ? lines.Get(y) : std::string_view{};
    back.clear();
    std::size_t pos = 0;
    for (; i < spans.size() && spans[i].Line == y; ++i) {
      const std::size_t col = std::clamp<std::size_t>(static_cast<std::size_t>(spans[i].Column), pos, now.size());
      const auto oldLen = static_cast<std::size_t>(undo.OldLengths[i]);
      back.append(now.substr(pos, col - pos));
      back.append(std::string_view(undo.Old).substr(oldAt, oldLen));
      oldAt += oldLen;
      pos = std::min(now.size(), col + static_cast<std::size_t>(spans[i].Length));
    }
    back.append(now.substr(pos));
    if (valid) lines.Put(y, back);
  }
}
