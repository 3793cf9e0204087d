/** @file LineStorage.h
 ** TSxSynMemoStrings: the document's lines and token lists, its file name and
 ** modified state, file input and output, and the update brackets that batch the
 ** follow-up work of every change. */
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "../syntax/SyntaxAttributes.h"
#include "../syntax/TokenList.h"
#include "DocumentTypes.h"
#include "LineBuffer.h"

class TSxMemoModel;

class TSxSynMemoStrings : public TSxSyntaxHost {
 public:
  explicit TSxSynMemoStrings(TSxMemoModel& memo);
  ~TSxSynMemoStrings() override;
  TSxSynMemoStrings(const TSxSynMemoStrings&) = delete;
  TSxSynMemoStrings& operator=(const TSxSynMemoStrings&) = delete;

  // Program-wide counter of untitled documents, never reset.
  static std::int32_t UntitledCounter;

  int Count() const { return buffer_.Count(); }
  std::string_view Get(int index) const { return buffer_.Text(index); }
  bool IsValidLine(int index) const { return index >= 0 && index < Count(); }

  virtual void Put(int index, std::string_view s);
  void Insert(int index, std::string_view s) { InsertItem(index, s); }
  int Add(std::string_view s) {
    InsertItem(Count(), s);
    return Count() - 1;
  }
  virtual void Delete(int index);
  virtual void Clear();

  void BeginUpdate() override;
  void EndUpdate() override;
  void RequestRetokenizeAll() override { Pending += pwRetokenizeAll; }
  int UpdateCount() const { return updateCount_; }
  // Grows with every change of the lines, so work done over the text (counting
  // matches) can tell whether it is still current.
  std::uint64_t Revision() const { return revision_; }

  virtual void LoadFromFile(const std::string& name);
  // Reads the rest of a stream, given as its bytes.
  virtual void LoadFromStream(std::string_view bytes);
  // Writes through a temporary file renamed over the target: on any failure the
  // old file is intact and ESxFileError names the file.
  virtual void SaveToFile(const std::string& name);
  // Appends what a stream receives to out.
  virtual void SaveToStream(std::string& out);
  virtual void NewDocument();

  void SetFileName(const std::string& name);
  void SetModified(bool value);
  const std::string& FileName() const { return fileName_; }
  bool IsNew() const { return isNew_; }
  bool Modified() const { return modified_; }

  // The token list of a line as a working copy, with its Section, VisibleIndex and NeedsParse.
  // Readers of tokens bring the line up to date first (see ContinueRetokenizing).
  TSxSyntaxParser TokenList(int index) const;
  int TokenCount(int index) const {
    EnsureTokens(index);
    return buffer_.TokenCount(index);
  }
  // Checkpoints of a long line's tokens and cursors reading them from there.
  int CheckpointCount(int index) const {
    EnsureTokens(index);
    return buffer_.CheckpointCount(index);
  }
  TSxCheckpoint Checkpoint(int index, int k) const { return buffer_.Checkpoint(index, k); }
  TSxTokenCursor Cursor(int index, int checkpoint = -1) const {
    EnsureTokens(index);
    return buffer_.Cursor(index, checkpoint);
  }
  std::uint64_t CheckpointKey(int index) const { return buffer_.CheckpointKey(index); }
  void SetCheckpointX(int index, std::uint64_t key, const std::vector<std::int64_t>& x) const {
    buffer_.SetCheckpointX(index, key, x);
  }
  bool NeedsParse(int index) const { return buffer_.NeedsParse(index); }
  std::uint32_t MaxLineLength() const { return buffer_.MaxLength(); }

  virtual bool ParseLine(int index, bool checkNext);
  // Re-tokenizes the marked lines and, while the carried state changes, the lines after
  // them up to the control's horizon (its last visible line); a carry left beyond it
  // waits for ContinueRetokenizing or for a reader of those lines.
  void RetokenizeLines(bool all, bool repaint);
  // Carries the state on from where an update left it, for about `budget`; answers
  // whether work is left.
  bool ContinueRetokenizing(std::chrono::microseconds budget);
  bool RetokenizingPending() const { return !stale_.empty(); }

  // The whole text, every line followed by CR LF.
  std::string Text() const;
  TTextPos OffsetToPos(std::int64_t offset) const;
  std::int64_t PosToOffset(std::int32_t x, std::int32_t y) const;

  TSxMemoModel& Memo;
  TPendingWork Pending;
  bool RawUpdate = false;

 protected:
  virtual void InsertItem(int index, std::string_view s);
  virtual void SetUpdateState(bool updating);

 private:
  // The bytes a save writes: every line and CR LF, with section markers when the options ask.
  std::string ComposeText() const;
  void MarkNeedsParse(int index);
  void ShiftDirtyOnInsert(int index);
  void ShiftDirtyOnDelete(int index);
  // Tokenizes from line `from` on (see the definition) and updates stale_.
  void Sweep(int from, bool all, int horizon, bool repaint, const std::chrono::steady_clock::time_point* deadline);
  // Tokenizes every line as Sweep would, on two threads when the document is long and the
  // word handler allows it; false, having done nothing, otherwise.
  bool TokenizeAllOnTwoThreads(bool repaint);
  // Brings the tokens of lines up to index up to date when a carry is pending before it.
  void EnsureTokens(int index) const {
    if (!stale_.empty() && index >= stale_.front()) const_cast<TSxSynMemoStrings*>(this)->CatchUp(index);
  }
  void CatchUp(int index);

  TLineBuffer buffer_;
  std::string fileName_;
  bool isNew_ = false;
  bool modified_ = false;
  int updateCount_ = 0;
  std::uint64_t revision_ = 0;
  // Lines marked for tokenizing lie in [dirtyLo_, dirtyHi_]; empty when lo > hi.
  int dirtyLo_ = 1;
  int dirtyHi_ = 0;
  // Lines, ascending, where a carried state still has to be checked: the tokens from the
  // first of them on may be stale. An edit whose carry stops at the view's end adds one
  // before those of earlier edits.
  std::vector<int> stale_;
  TSxSyntaxParser scratch_;
};
