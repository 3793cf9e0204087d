/** @file Bookmarks.cpp
 ** Bookmarks and breakpoints. */
#include "Bookmarks.h"

#include "MemoModel.h"

TSxBookmarkManager::TSxBookmarkManager(TSxMemoModel& memo) : Memo(memo) { Rows.fill(-1); }

void TSxBookmarkManager::ClearBookmarks() { Rows.fill(-1); }

TSxBreakPointCollection::TSxBreakPointCollection(TSxMemoModel& memo) : Memo(memo) {}

TSxBreakPointCollection::~TSxBreakPointCollection() = default;
