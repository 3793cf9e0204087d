/** @file MemoModel.h
 ** TSxMemoModel: everything an editor control owns that is not drawing — the
 ** document parts, the options, change delivery and the row arithmetic over visible
 ** lines. It works without any window; the control derives from it and fills in the
 ** view hooks, which do nothing here. */
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "../platform/Clipboard.h"
#include "../syntax/SyntaxAttributes.h"
#include "Bookmarks.h"
#include "DocumentTypes.h"
#include "LineStorage.h"
#include "Range.h"
#include "Sections.h"

class TSxMemoModel;
using TSxChangeEvent = std::function<void(TSxMemoModel& sender, TChangedItems items)>;

class TSxMemoModel {
 public:
  TSxMemoModel();
  virtual ~TSxMemoModel();
  TSxMemoModel(const TSxMemoModel&) = delete;
  TSxMemoModel& operator=(const TSxMemoModel&) = delete;

  // Gathers change kinds and delivers OnChange when no update is open; an empty set
  // discards what was gathered.
  virtual void DoChange(TChangedItems items);
  // Delivers the kinds still gathered when the outermost update has closed: the work
  // done at the close need not report anything itself (a visible map rebuilt inside
  // the update, a modified flag already set).
  void DeliverGatheredChanges();
  // Returns view and editing state to the origin (the storage's Clear and NewDocument).
  virtual void ResetView();

  const TSxSynMemoOptions& Options() const { return options_; }
  void SetOptions(TSxSynMemoOptions value);
  // Changes the set without the writer's follow-up (ResetView's use).
  void SetOptionsDirect(TSxSynMemoOptions value) { options_ = value; }

  // Row arithmetic over the visible lines; stale maps are rebuilt on demand.
  std::int32_t VisibleIndexOf(std::int32_t line);
  std::int32_t LineOfVisibleIndex(std::int32_t index);
  std::int32_t LineAtOffset(std::int32_t line, std::int32_t delta, bool clamp);

  // View hooks: painting, caret, scrolling and captions. They do nothing without a window.
  virtual void InvalidateLine(std::int32_t /*line*/) {}
  virtual void InvalidateFromLine(std::int32_t /*line*/) {}
  virtual void InvalidateAll() {}
  virtual void PaintDirtyRows() {}
  virtual void HideCaretIfShown() {}
  virtual void UpdateScrollBars() {}
  virtual void ScrollIntoView(std::int32_t /*col*/, std::int32_t /*line*/, std::int32_t /*len*/) {}
  // The storage's file name changed: a control shows it in its tab or form caption.
  virtual void FileNameChanged(const std::string& /*name*/) {}
  // The last line whose tokens must be current when an update closes; a carried state
  // that runs on past it is left to IdleWork. Without a view, every line.
  virtual std::int32_t RetokenizeHorizon() { return MaxInt; }
  // Asks for IdleWork when the message loop is idle; without a view nothing waits.
  virtual void RequestIdleWork() {}
  // One idle pass: re-tokenizes for under 5 ms and asks again while work is left.
  void IdleWork();

  TSxClipboard& Clipboard() { return clipboard_ ? *clipboard_ : ProcessClipboard(); }
  void SetClipboard(TSxClipboard* clipboard) { clipboard_ = clipboard; }

  // Owned parts, created in this order by the constructor.
  std::unique_ptr<TSxSynMemoStrings> Lines;
  std::unique_ptr<TSxSynMemoRange> Range;
  std::unique_ptr<TSxSynMemoSections> SectionTree;
  std::unique_ptr<TSxSyntaxAttributes> SyntaxAttributes;
  std::unique_ptr<TSxBookmarkManager> Bookmarks;
  std::unique_ptr<TSxBreakPointCollection> BreakPoints;

  TChangedItems PendingChanges;
  TSxChangeEvent OnChange;

 protected:
  // The options writer's follow-up for the view (layout, children, repaint).
  virtual void OptionsChanged(TSxSynMemoOptions /*oldOptions*/) {}

 private:
  TSxSynMemoOptions options_{smoAutoGutterWidth, smoShowCursorPos, smoShowPageScroll, smoPanning};
  TSxClipboard* clipboard_ = nullptr;
};
