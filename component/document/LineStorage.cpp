/** @file LineStorage.cpp
 ** The line list operations and the work owed when the outermost update closes. */
#include "LineStorage.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "../syntax/TextLines.h"
#include "AtomicFile.h"
#include "MemoModel.h"

std::int32_t TSxSynMemoStrings::UntitledCounter = 1;

namespace {
std::string UntitledName() { return "Untitled" + std::to_string(TSxSynMemoStrings::UntitledCounter) + ".txt"; }

void CheckIndex(int index, int count) {
  if (index < 0 || index >= count) throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}
}  // namespace

TSxSynMemoStrings::TSxSynMemoStrings(TSxMemoModel& memo) : Memo(memo) {
  SetFileName(UntitledName());
  ++UntitledCounter;
}

TSxSynMemoStrings::~TSxSynMemoStrings() = default;

void TSxSynMemoStrings::SetFileName(const std::string& name) {
  fileName_ = name;
  Memo.FileNameChanged(name);
}

void TSxSynMemoStrings::SetModified(bool value) {
  if (value == modified_) return;
  modified_ = value;
  Memo.DoChange({ciText});
}

void TSxSynMemoStrings::MarkNeedsParse(int index) {
  buffer_.SetNeedsParse(index, true);
  if (dirtyLo_ > dirtyHi_) {
    dirtyLo_ = dirtyHi_ = index;
  } else {
    dirtyLo_ = std::min(dirtyLo_, index);
    dirtyHi_ = std::max(dirtyHi_, index);
  }
}

void TSxSynMemoStrings::ShiftDirtyOnInsert(int index) {
  for (int& p : stale_)
    if (p >= index) ++p;
  if (dirtyLo_ > dirtyHi_) return;
  if (index <= dirtyLo_) ++dirtyLo_;
  if (index <= dirtyHi_) ++dirtyHi_;
}

void TSxSynMemoStrings::ShiftDirtyOnDelete(int index) {
  for (int& p : stale_)
    if (p > index) --p;
  stale_.erase(std::unique(stale_.begin(), stale_.end()), stale_.end());
  while (!stale_.empty() && stale_.back() >= Count()) stale_.pop_back();
  if (dirtyLo_ > dirtyHi_) return;
  if (index < dirtyLo_) --dirtyLo_;
  if (index <= dirtyHi_) --dirtyHi_;
}

void TSxSynMemoStrings::Put(int index, std::string_view s) {
  CheckIndex(index, Count());
  ++revision_;
  if (RawUpdate) {
    buffer_.SetText(index, s);
    return;
  }
  BeginUpdate();
  buffer_.SetText(index, s);
  MarkNeedsParse(index);
  Pending += pwTextChanged;
  EndUpdate();
}

void TSxSynMemoStrings::InsertItem(int index, std::string_view s) {
  if (index < 0 || index > Count()) CheckIndex(index, Count());
  ++revision_;
  if (RawUpdate) {
    buffer_.Insert(index, s);
    ShiftDirtyOnInsert(index);
    return;
  }
  BeginUpdate();
  buffer_.Insert(index, s);
  ShiftDirtyOnInsert(index);
  MarkNeedsParse(index);
  Pending += pwTextChanged;
  if (!Pending.Contains(pwLocked) && Memo.SectionTree) Memo.SectionTree->LineInserted(index);
  Memo.InvalidateFromLine(index);
  EndUpdate();
}

void TSxSynMemoStrings::Delete(int index) {
  CheckIndex(index, Count());
  ++revision_;
  if (RawUpdate) {
    buffer_.Erase(index);
    ShiftDirtyOnDelete(index);
    return;
  }
  BeginUpdate();
  if (!Pending.Contains(pwLocked) && Memo.SectionTree) Memo.SectionTree->LineDeleted(index);
  buffer_.Erase(index);
  ShiftDirtyOnDelete(index);
  if (index < Count()) MarkNeedsParse(index);
  Pending += pwTextChanged;
  Memo.InvalidateFromLine(index);
  EndUpdate();
}

void TSxSynMemoStrings::Clear() {
  ++revision_;
  BeginUpdate();
  const bool raw = RawUpdate;
  RawUpdate = true;
  buffer_.Clear();
  dirtyLo_ = 1;
  dirtyHi_ = 0;
  stale_.clear();
  if (Memo.SectionTree) Memo.SectionTree->ReadMarkers();
  Memo.ResetView();
  RawUpdate = raw;
  Pending += TPendingWork{pwVisibleMapStale, pwRetokenizeAll};
  SetModified(true);
  EndUpdate();
}

void TSxSynMemoStrings::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TSxSynMemoStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

void TSxSynMemoStrings::SetUpdateState(bool updating) {
  if (updating) {
    Memo.HideCaretIfShown();
    Pending -= TPendingWork{pwTextChanged, pwSectionsChanged, pwVisibleMapStale, pwRetokenizeAll};
    Memo.DoChange({});
    return;
  }
  if (Pending.Intersects({pwTextChanged, pwSectionsChanged})) SetModified(true);
  if (Pending.Contains(pwVisibleMapStale) && Memo.SectionTree) Memo.SectionTree->RebuildVisibleMap();
  // Marked lines are tokenized even when the work owed for them was dropped (an undo drops
  // it so as not to mark the document modified).
  if (Pending.Intersects({pwTextChanged, pwRetokenizeAll}) || dirtyLo_ <= dirtyHi_)
    RetokenizeLines(Pending.Contains(pwRetokenizeAll), true);
  Memo.PaintDirtyRows();
  Memo.UpdateScrollBars();
  Memo.DeliverGatheredChanges();
}

// The next non-empty line must be tokenized again when the state that now reaches
// it differs from the state its tokens were made in. Comparing states (rather than
// the first token's kind) also catches a following line that begins with a
// comment's closing piece after the comment's opener went away, and a line of
// blanks, which holds a token only inside a comment. Empty lines never depend on
// the state and are passed over.
bool TSxSynMemoStrings::ParseLine(int index, bool checkNext) {
  if (index < 0 || index >= Count()) return false;
  if (index > 0) EnsureTokens(index - 1);
  TToken state = tokText;
  for (int i = index - 1; i >= 0; --i) {
    if (buffer_.TokenCount(i) > 0) {
      state = CarriedState(buffer_.LastKind(i));
      break;
    }
  }
  const TToken end = buffer_.Tokenize(index, Memo.SyntaxAttributes.get(), state, true, scratch_);
  buffer_.SetNeedsParse(index, false);
  if (!checkNext) return false;
  const TToken reaching = buffer_.TokenCount(index) > 0 ? CarriedState(end) : state;
  for (int i = index + 1; i < Count(); ++i)
    if (!Get(i).empty()) return reaching != buffer_.StartState(i);
  return false;
}

// One forward pass that carries the state of the last line with tokens, so a run of
// empty lines is never walked more than once. Without All the pass starts at the first
// marked line (or the pending carry before it) and ends once past the last marked line
// with no carry left. A carry past `horizon`, or past the deadline, is left pending.
void TSxSynMemoStrings::Sweep(int from, bool all, int horizon, bool repaint,
                              const std::chrono::steady_clock::time_point* deadline) {
  const int count = Count();
  if (all) stale_.clear();
  if (all && from == 0 && TokenizeAllOnTwoThreads(repaint)) return;
  std::size_t next = 0;  // the first pending line not yet reached
  while (next < stale_.size() && stale_[next] < from) ++next;
  // A mark range made before lines were deleted may lie past the last line.
  int i = std::min(from, count);
  TToken state = tokText;
  for (int k = i - 1; k >= 0; --k) {
    if (buffer_.TokenCount(k) > 0) {
      state = CarriedState(buffer_.LastKind(k));
      break;
    }
  }
  int nextNonEmpty = -1;  // first non-empty line after the parsed one; valid while beyond it
  auto parse = [&](int line, bool checkNext) {
    const TToken start = state;
    const TToken end = buffer_.Tokenize(line, Memo.SyntaxAttributes.get(), start, !all, scratch_);
    buffer_.SetNeedsParse(line, false);
    if (buffer_.TokenCount(line) > 0) state = CarriedState(end);
    if (repaint) Memo.InvalidateLine(line);
    if (!checkNext) return false;
    if (nextNonEmpty <= line) {
      nextNonEmpty = line + 1;
      while (nextNonEmpty < count && Get(nextNonEmpty).empty()) ++nextNonEmpty;
    }
    return nextNonEmpty < count && state != buffer_.StartState(nextNonEmpty);
  };
  bool carry = false;
  for (; i < Count(); ++i) {
    if (next < stale_.size() && stale_[next] == i) {
      carry = true;
      ++next;
    }
    if (carry && !all && i > dirtyHi_ &&
        (i > horizon || (deadline && (i & 3) == 0 && std::chrono::steady_clock::now() >= *deadline))) {
      stale_.erase(stale_.begin(), stale_.begin() + static_cast<std::ptrdiff_t>(next));
      stale_.insert(stale_.begin(), i);
      return;
    }
    if (all || buffer_.NeedsParse(i)) {
      carry = parse(i, !all);
    } else if (carry && !Get(i).empty()) {
      carry = parse(i, true);
    } else if (!carry && i > dirtyHi_) {
      break;
    } else if (buffer_.TokenCount(i) > 0) {
      state = CarriedState(buffer_.LastKind(i));
    }
  }
  // Pending lines past where the pass ended still wait; those it reached are done.
  stale_.erase(stale_.begin(), stale_.begin() + static_cast<std::ptrdiff_t>(next));
  if (i >= Count()) stale_.clear();
}

void TSxSynMemoStrings::RetokenizeLines(bool all, bool repaint) {
  int from = all ? 0 : std::max(0, dirtyLo_ > dirtyHi_ ? Count() : dirtyLo_);
  // Tokens after a pending carry may be stale: the pass starts there.
  if (!all && !stale_.empty() && stale_.front() < from) from = stale_.front();
  Sweep(from, all, all ? MaxInt : Memo.RetokenizeHorizon(), repaint, nullptr);
  dirtyLo_ = 1;
  dirtyHi_ = 0;
  Pending -= TPendingWork{pwTextChanged, pwRetokenizeAll};
  if (!stale_.empty()) Memo.RequestIdleWork();
}

void TSxSynMemoStrings::CatchUp(int index) { Sweep(stale_.front(), false, index, false, nullptr); }

bool TSxSynMemoStrings::ContinueRetokenizing(std::chrono::microseconds budget) {
  if (stale_.empty()) return false;
  const auto deadline = std::chrono::steady_clock::now() + budget;
  Sweep(stale_.front(), false, MaxInt, false, &deadline);
  return !stale_.empty();
}

TSxSyntaxParser TSxSynMemoStrings::TokenList(int index) const {
  CheckIndex(index, Count());
  EnsureTokens(index);
  TSxSyntaxParser list;
  buffer_.GetTokens(index, list);
  list.NeedsParse = buffer_.NeedsParse(index) ? 1 : 0;
  if (Memo.SectionTree) {
    list.Section = Memo.SectionTree->SectionOf(index);
    list.VisibleIndex = Memo.SectionTree->VisibleIndexOf(index);
  }
  return list;
}

void TSxSynMemoStrings::LoadFromStream(std::string_view bytes) {
  // Lines borrow their bytes from `bytes` while the update is open; tokenizing every
  // line at its close gives each one its own block, and Materialize covers the rest.
  auto finish = [&] {
    RawUpdate = false;
    if (Memo.SectionTree) Memo.SectionTree->ReadMarkers();
    Memo.InvalidateAll();
    Pending = {pwVisibleMapStale, pwRetokenizeAll};
    try {
      EndUpdate();
    } catch (...) {
      buffer_.Materialize();
      throw;
    }
    buffer_.Materialize();
  };
  BeginUpdate();
  RawUpdate = true;
  try {
    Clear();
    std::size_t lines = 0;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
      ++lines;
      ++p;
    }
    buffer_.Reserve(lines + lines / 16 + 64);  // room for the first Enters without a copy
    ForEachTextLine(bytes, [&](std::string_view line) { buffer_.AppendBorrowed(line); });
  } catch (...) {
    finish();
    throw;
  }
  finish();
  Memo.DoChange({ciText, ciSelection, ciSections, ciUndoStack});
}

void TSxSynMemoStrings::LoadFromFile(const std::string& name) {
  const std::string bytes = ReadFileBytes(name);
  LoadFromStream(bytes);
  SetFileName(name);
  isNew_ = false;
  SetModified(false);
}

std::string TSxSynMemoStrings::ComposeText() const {
  std::string out;
  if (Memo.Options().Contains(smoWriteMarkersOnSave) && Memo.SectionTree) {
    std::vector<std::string> copy;
    copy.reserve(static_cast<std::size_t>(Count()));
    for (int i = 0; i < Count(); ++i) copy.emplace_back(Get(i));
    Memo.SectionTree->WriteMarkers(copy);
    for (const std::string& line : copy) {
      out += line;
      out += "\r\n";
    }
    return out;
  }
  return Text();
}

void TSxSynMemoStrings::SaveToStream(std::string& out) {
  out += ComposeText();
  SetModified(false);
  Memo.DoChange({ciText});
}

void TSxSynMemoStrings::SaveToFile(const std::string& name) {
  // The text is written completely to a temporary file before it replaces the
  // old one, so a failure (full disk, no permission) never leaves a partial file.
  WriteFileAtomically(name, ComposeText());
  SetModified(false);
  Memo.DoChange({ciText});
  SetFileName(name);
  isNew_ = false;
  SetModified(false);
}

void TSxSynMemoStrings::NewDocument() {
  Clear();
  Memo.ResetView();
  SetFileName(UntitledName());
  isNew_ = true;
  ++UntitledCounter;
  Pending = {};
  Memo.DoChange({ciText, ciSelection, ciSections, ciUndoStack});
  Add("");
}

std::string TSxSynMemoStrings::Text() const {
  std::size_t size = 0;
  for (int i = 0; i < Count(); ++i) size += Get(i).size() + 2;
  std::string out;
  out.reserve(size);
  for (int i = 0; i < Count(); ++i) {
    out += Get(i);
    out += "\r\n";
  }
  return out;
}

TTextPos TSxSynMemoStrings::OffsetToPos(std::int64_t offset) const {
  if (Count() == 0) return {0, 0};
  std::int64_t remaining = offset;
  for (int i = 0; i < Count(); ++i) {
    const std::int64_t len = static_cast<std::int64_t>(Get(i).size()) + 2;
    if (len > remaining) return {static_cast<std::int32_t>(remaining), i};
    remaining -= len;
  }
  return {static_cast<std::int32_t>(Get(Count() - 1).size()), Count() - 1};
}

std::int64_t TSxSynMemoStrings::PosToOffset(std::int32_t x, std::int32_t y) const {
  std::int64_t offset = 0;
  const int last = std::min<int>(y, Count());
  for (int i = 0; i < last; ++i) offset += static_cast<std::int64_t>(Get(i).size()) + 2;
  return offset + x;
}
