/** @file MemoModel.cpp
 ** Construction of the document parts, change delivery, options and row arithmetic. */
#include "MemoModel.h"

#include <algorithm>

TSxMemoModel::TSxMemoModel() {
  Lines = std::make_unique<TSxSynMemoStrings>(*this);
  Range = std::make_unique<TSxSynMemoRange>(*this);
  SectionTree = std::make_unique<TSxSynMemoSections>(*this);
  SyntaxAttributes = std::make_unique<TSxSyntaxAttributes>(Lines.get());
  Bookmarks = std::make_unique<TSxBookmarkManager>(*this);
  BreakPoints = std::make_unique<TSxBreakPointCollection>(*this);
}

TSxMemoModel::~TSxMemoModel() {
  // Undo records hold section trees; drop them before the tree's manager goes.
  BreakPoints.reset();
  Bookmarks.reset();
  Range.reset();
  SectionTree.reset();
  SyntaxAttributes.reset();
  Lines.reset();
}

void TSxMemoModel::DoChange(TChangedItems items) {
  if (items.Empty()) {
    PendingChanges = {};
    return;
  }
  PendingChanges += items;
  if (Lines && Lines->UpdateCount() > 0) return;
  if (OnChange) OnChange(*this, PendingChanges);
  PendingChanges = {};
}

void TSxMemoModel::DeliverGatheredChanges() {
  if (!PendingChanges.Empty()) DoChange(PendingChanges);
}

void TSxMemoModel::ResetView() {
  TSxSynMemoOptions o = options_;
  o -= smoReadOnly;
  o -= smoOverwrite;
  options_ = o;
  if (Bookmarks) Bookmarks->ClearBookmarks();
  if (Range) {
    Range->CaretPos = Range->StartPos = Range->EndPos = TTextPos{};
    Range->CollapseOnMove = true;
    Range->ClearUndo();
  }
}

void TSxMemoModel::SetOptions(TSxSynMemoOptions value) {
  if (value == options_) return;
  const TSxSynMemoOptions old = options_;
  options_ = value;
  for (TSxSynMemoOption o : {smoShowFileNameInTabSheet, smoShowFileNameInFormCaption}) {
    if (value.Contains(o) && !old.Contains(o)) {
      Lines->SetFileName(Lines->FileName());
      break;
    }
  }
  OptionsChanged(old);
  BreakPoints->NeedPossibility = value.Contains(smoBreakPointsNeedPosibility);
  DoChange({ciOptions});
}

std::int32_t TSxMemoModel::VisibleIndexOf(std::int32_t line) {
  if (!Lines->IsValidLine(line)) return -1;
  return SectionTree->VisibleIndexOf(line);
}

std::int32_t TSxMemoModel::LineOfVisibleIndex(std::int32_t index) {
  return SectionTree->LineOfVisibleIndex(index);
}

std::int32_t TSxMemoModel::LineAtOffset(std::int32_t line, std::int32_t delta, bool clamp) {
  std::int64_t index = std::int64_t{VisibleIndexOf(line)} + delta;
  if (clamp) {
    const std::int64_t last = std::int64_t{SectionTree->VisibleCount()} - 1;
    index = std::max<std::int64_t>(0, std::min(index, last));
  }
  if (index < 0 || index > MaxInt) return -1;
  return LineOfVisibleIndex(static_cast<std::int32_t>(index));
}

void TSxMemoModel::IdleWork() {
  // 3 ms of work, the clock read after every line: with the line under way at the deadline
  // and the return, a pass stays under 5 ms even on a busy machine.
  if (Lines->UpdateCount() == 0 && Lines->ContinueRetokenizing(std::chrono::milliseconds(3))) RequestIdleWork();
}
