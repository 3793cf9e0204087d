/** @file Undo.cpp
 ** The undo history of the range: adding and merging records, caret-move records and
 ** the Undo command that replays the newest record. */
#include <utility>

#include "MemoModel.h"
#include "Range.h"

void TSxSynMemoRange::ClearUndo() { UndoList.clear(); }

TSxSynMemoUndoItem* TSxSynMemoRange::LastUndoItem() const {
  return UndoList.empty() ? nullptr : UndoList.back().get();
}

TSxSynMemoUndoItem* TSxSynMemoRange::AddUndoItem(std::string_view text) {
  auto item = std::make_unique<TSxSynMemoUndoItem>();
  item->CaretPos = CaretPos;
  item->StartPos = StartPos;
  item->EndPos = EndPos;
  item->Kind = ukPlain;
  item->Text = text;
  if (static_cast<std::int32_t>(UndoList.size()) >= UndoLimit && !UndoList.empty())
    UndoList.erase(UndoList.begin());
  UndoList.push_back(std::move(item));
  Memo.DoChange({ciUndoStack});
  return UndoList.back().get();
}

void TSxSynMemoRange::RecordEdit(std::string_view removed, TTextPos start, TTextPos newEnd, TUndoKind kind) {
  TSxSynMemoUndoItem* e = LastUndoItem();
  const bool merge = e && kind != ukPlain && e->Kind != ukPlain && e->Kind == kind &&
                     Memo.Options().Contains(smoGroupUndo);
  if (merge) {
    if (e->EndPos.Y < newEnd.Y || (e->EndPos.Y == newEnd.Y && e->EndPos.X <= newEnd.X)) {
      e->EndPos = newEnd;
      e->Text += removed;
    } else {
      e->EndPos = newEnd;
      e->StartPos = start;
      e->Text.insert(0, removed);
    }
    return;
  }
  e = AddUndoItem("");
  e->CaretPos = CaretPos;
  e->StartPos = start;
  e->EndPos = newEnd;
  e->Text = removed;
  e->Kind = kind;
}

void TSxSynMemoRange::RecordCaretMove() {
  const TSxSynMemoUndoItem* last = LastUndoItem();
  if (!last || last->Kind == ukCaret) return;
  TSxSynMemoUndoItem* e = AddUndoItem("");
  e->CaretPos = e->StartPos = e->EndPos = CaretPos;
  e->Kind = ukCaret;
}

TSxSynMemoUndoItem* TSxSynMemoRange::RecordLineBlock(std::int32_t first, std::int32_t last) {
  const TSxSynMemoStrings& lines = *Memo.Lines;
  if (lines.Pending.Contains(pwLocked)) return nullptr;
  std::string text;
  for (std::int32_t y = first; y <= last; ++y) {
    if (y > first) text += "\r\n";
    text += lines.Get(y);
  }
  TSxSynMemoUndoItem* r = AddUndoItem(text);
  r->StartPos = {0, first};
  r->EndPos = {0, last};
  return r;
}

void TSxSynMemoRange::Undo() {
  if (!CanUndo()) return;
  TSxSynMemoStrings& lines = *Memo.Lines;
  TSxSynMemoSections& tree = *Memo.SectionTree;
  // Off the list first: the tree changes below belong to the record beneath it.
  std::unique_ptr<TSxSynMemoUndoItem> e = std::move(UndoList.back());
  UndoList.pop_back();
  lines.BeginUpdate();
  if (e->Spans) {
    PutSpansBack(*e->Spans);
  } else {
    StartPos = e->StartPos;
    EndPos = e->EndPos;
    lines.Pending += pwLocked;
    ReplaceSelection(e->Text, ukPlain);
    lines.Pending -= pwLocked;
  }
  tree.Revert(e->SectionLog);
  // Unrecorded line changes (a caret move below the last line appends a line) and
  // replays clamped to the text can leave the tree sized for another line count.
  tree.FitToLines();
  MoveCaretLocked(e->CaretPos);
  tree.FitToLines();
  Memo.DoChange({ciUndoStack});
  // An undo never marks the document modified by itself. The replay marked the lines it
  // changed: tokenizing them and carrying the state on from them gives every line the
  // tokens a pass over the whole text would, in the time of the lines that changed.
  lines.Pending = TPendingWork{pwVisibleMapStale};
  Memo.InvalidateAll();
  lines.EndUpdate();
}
