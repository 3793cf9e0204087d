/** @file Range.h
 ** TSxSynMemoRange: caret, selection and the single editing primitive ReplaceSelection,
 ** the undo history, the clipboard commands and the section commands at the caret. */
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DocumentTypes.h"
#include "Sections.h"

class TSxMemoModel;

// Length bytes at (Column, Line): a piece of one line.
struct TSxLineSpan {
  std::int32_t Line;
  std::int32_t Column;
  std::int32_t Length;
};

// What a replace of many spans removed: where each new text stands (in the changed
// lines) and the old bytes of every span, one after another in text order.
struct TSxSpanUndo {
  std::vector<TSxLineSpan> NewSpans;
  std::vector<std::int32_t> OldLengths;
  std::string Old;
};

// One undo record: undo replaces StartPos..EndPos by Text, reverts the section tree's
// changes since the record was made and restores the caret.
class TSxSynMemoUndoItem {
 public:
  TSxSynMemoUndoItem() = default;
  TSxSynMemoUndoItem(const TSxSynMemoUndoItem&) = delete;
  TSxSynMemoUndoItem& operator=(const TSxSynMemoUndoItem&) = delete;

  TTextPos CaretPos;
  TTextPos StartPos;
  TTextPos EndPos;
  std::string Text;
  // The tree's changes from the record's making until the next record; reverted
  // newest first, they give the tree as it stood when the record was made.
  TSectionLog SectionLog;
  TUndoKind Kind = ukPlain;
  // Set for a replace of many spans: undo puts these back instead of StartPos..EndPos.
  std::unique_ptr<TSxSpanUndo> Spans;
};

// Pairs (signed start, end) of sections found in marker text: start is +(i+1) for an
// expanded and -(i+1) for a collapsed section beginning on line i; end is its last line.
using TSectionPairs = std::vector<std::int32_t>;

// Strips the section markers from Text (which then ends with CR LF) and lists the pairs.
void ExtractSectionMarkers(std::string& text, TSectionPairs& pairs);

class TSxSynMemoRange {
 public:
  explicit TSxSynMemoRange(TSxMemoModel& memo);
  ~TSxSynMemoRange();
  TSxSynMemoRange(const TSxSynMemoRange&) = delete;
  TSxSynMemoRange& operator=(const TSxSynMemoRange&) = delete;

  bool IsEmpty() const { return StartPos == EndPos; }
  std::string GetSelText() const;
  void ReplaceSelection(std::string_view text, TUndoKind kind);
  // Replaces every span (in text order, not overlapping) by text as one edit with one
  // undo record; the lines and sections stay as they are, so text holding a line
  // break is cut there. Caret and selection keep their places in the changed lines.
  void ReplaceSpans(const std::vector<TSxLineSpan>& spans, std::string_view text);
  void DeleteSelection();
  void ClearSelection();
  // ClearSelection when the selection is empty but the caret is not on it: what
  // Backspace and Delete do first, so that they act at the caret.
  void CollapseOntoStrayCaret();
  void ExtendSelection(std::int32_t delta, bool vertical, bool byVisibleLines);
  void SetCaretPos(TTextPos p);
  void SetCaretCoord(int axis, std::int32_t value);
  void TrimCaretLine();
  void SetCaretOffset(std::int64_t offset);
  void SelectChars(std::int64_t count);
  void SelectAll();
  void SelectToStart();
  void SelectToEnd();
  void IndentLines();
  void UnindentLines();
  void ToggleLineComment(std::string_view prefix);

  // Undo.
  TSxSynMemoUndoItem* AddUndoItem(std::string_view text);
  TSxSynMemoUndoItem* LastUndoItem() const;
  bool CanUndo() const { return !UndoList.empty(); }
  void Undo();
  void ClearUndo();

  // Clipboard and sections at the caret.
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  std::string GetSelTextWithMarkers() const;
  void PasteWithSections(std::string text);
  void CreateSectionFromSelection();
  void RemoveCaretSection(bool nested);
  void CollapseCaretSection(bool nested);
  void ExpandCaretSection(bool nested);
  void GotoSection(bool forward);

  TSxMemoModel& Memo;
  TTextPos StartPos;
  TTextPos EndPos;
  TTextPos CaretPos;
  bool CollapseOnMove = true;
  std::int32_t UndoLimit = 100;
  std::vector<std::unique_ptr<TSxSynMemoUndoItem>> UndoList;  // oldest first
  std::function<void(const TTextPos&)> OnCaretMove;

 private:
  // The range put in order and inside the text: columns >= 0, lines within the
  // document, StartPos not after EndPos.
  void NormalizeRange();
  TTextPos ClampToText(TTextPos p) const;
  std::int32_t LineLength(std::int32_t line) const;
  // Records an edit whose undo replaces start..newEnd by removed (merging when allowed).
  void RecordEdit(std::string_view removed, TTextPos start, TTextPos newEnd, TUndoKind kind);
  void RecordCaretMove();
  // Records lines first..last as they stand, for a command that rewrites them in place.
  // The caller sets EndPos once the lines are rewritten; null while pwLocked is pending.
  TSxSynMemoUndoItem* RecordLineBlock(std::int32_t first, std::int32_t last);
  void RewriteSelectedLines(const std::function<bool(std::string_view, std::string&)>& change);
  void MoveCaretLocked(TTextPos p);
  void PutSpansBack(const TSxSpanUndo& undo);
};
