/** @file Range.cpp
 ** Caret, selection and the editing primitive. */
#include "Range.h"

#include "MemoModel.h"

TSxSynMemoUndoItem::~TSxSynMemoUndoItem() {
  if (Sections) Sections->Release();
}

TSxSynMemoRange::TSxSynMemoRange(TSxMemoModel& memo) : Memo(memo) { UndoList.reserve(100); }

TSxSynMemoRange::~TSxSynMemoRange() = default;

void TSxSynMemoRange::ClearUndo() { UndoList.clear(); }
