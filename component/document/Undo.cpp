/** @file Undo.cpp
 ** The undo history of the range: adding and merging records, caret-move records and
 ** the Undo command that replays the newest record. */
#include <utility>

#include "MemoModel.h"
#include "Range.h"

TSxSynMemoUndoItem::~TSxSynMemoUndoItem() {
  if (Sections) Sections->Release();
}

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
  item->Sections = Memo.SectionTree->Root();
  if (item->Sections) item->Sections->AddRef();
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

namespace {

// Drops every section that reaches line `count` or beyond; its children that still fit
// take its place, so the tree keeps its order and nesting invariants.
void FitChildren(TSxSynMemoSection& s, std::int32_t count) {
  std::vector<std::unique_ptr<TSxSynMemoSection>> kept;
  kept.reserve(s.Children.size());
  for (auto& c : s.Children) {
    FitChildren(*c, count);
    if (c->LastLine < count) {
      kept.push_back(std::move(c));
      continue;
    }
    for (auto& g : c->Children) {
      g->Parent = &s;
      g->SetLevel(s.Level + 1);
      kept.push_back(std::move(g));
    }
  }
  s.Children = std::move(kept);
}

}  // namespace

// Unrecorded line changes (a caret move below the last line appends a line) and
// replays clamped to the text can leave a restored tree sized for another line count.
void TSxSynMemoRange::RestoreSections(TSxSMSectionClone* root) {
  TSxSynMemoSections& tree = *Memo.SectionTree;
  const std::int32_t count = Memo.Lines->Count();
  if (!root) return;
  if (root->LastLine == count) {
    if (root != tree.Root()) tree.SetRoot(root);
    return;
  }
  TSxSMSectionClone* fitted = root->Clone();
  fitted->LastLine = count;
  FitChildren(*fitted, count);
  tree.SetRoot(fitted);
}

void TSxSynMemoRange::Undo() {
  if (!CanUndo()) return;
  TSxSynMemoStrings& lines = *Memo.Lines;
  TSxSynMemoUndoItem* e = UndoList.back().get();
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
  RestoreSections(e->Sections);
  MoveCaretLocked(e->CaretPos);
  RestoreSections(Memo.SectionTree->Root());
  UndoList.pop_back();
  Memo.DoChange({ciUndoStack});
  lines.Pending = TPendingWork{pwVisibleMapStale, pwRetokenizeAll};
  Memo.InvalidateAll();
  lines.EndUpdate();
}
