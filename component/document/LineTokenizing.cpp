/** @file LineTokenizing.cpp
 ** Tokenizing a line into its stored form. A long line goes in chunks that end at resume
 ** points, which become its checkpoints; after an edit it is tokenized again from the last
 ** checkpoint before the change only up to the first old checkpoint where the new tokens
 ** reach the same resume point in the same state, and the old tokens after that are kept. */
#include <algorithm>
#include <cstring>

#include "LineBuffer.h"
#include "Varint.h"

namespace {

// Lines shorter than this are tokenized whole and keep no checkpoints.
constexpr std::size_t kLongLine = 8192;
// Tokens between checkpoints.
constexpr std::size_t kStride = 512;

// How far the tokenizer may look ahead of its position: the longest literal.
std::size_t Lookahead(const TSxSyntaxAttributes& a) {
  std::size_t n = 1;
  for (const std::string* lit : {&a.LitELCommentB, &a.LitELCommentE, &a.LitMLCommentB, &a.LitMLCommentE,
                                 &a.LitILComment, &a.LitILCompDir, &a.LitMLCompDirB, &a.LitMLCompDirE,
                                 &a.LitHexPrefix})
    n = std::max(n, lit->size());
  return n + 1;
}

}  // namespace

bool TLineBuffer::TokenizesWhole(const TSxSyntaxAttributes* a, std::size_t length) {
  return !a || a->Has(BLSeparated) || length < kLongLine;
}

TToken TLineBuffer::Tokenize(int i, const TSxSyntaxAttributes* a, TToken startState, bool mayResume,
                             TSxSyntaxParser& scratch) {
  Rec& r = lines_[static_cast<std::size_t>(i)];
  const std::string_view text(r.buf, r.textLen);
  if (TokenizesWhole(a, text.size())) {
    const TToken end = scratch.Parse(text, i, a, startState);
    SetTokens(i, scratch, startState);
    return end;
  }

  // The old checkpoints serve when the old tokens were made in the same state and the
  // edit's extent is known.
  std::vector<TSxCheckpoint> old;
  TEdit edit;
  if (mayResume && (r.flags & kIndexed) && edit_.buf == r.buf && r.startState == startState) {
    edit = edit_;
    old.resize(static_cast<std::size_t>(CheckpointCount(i)));
    for (std::size_t k = 0; k < old.size(); ++k) old[k] = Checkpoint(i, static_cast<int>(k));
  }
  std::uint32_t oldCount = 0;
  const unsigned char* oldEnd = nullptr;
  const unsigned char* oldRecords = (r.flags & kHasTokens) ? Records(r, oldCount, &oldEnd) : nullptr;

  TSxTokenEncoder& e = encoder_;
  TSxResumePoint from{0, startState};
  std::size_t next = 0;  // the first old checkpoint that may take over the rest
  const std::int64_t delta = static_cast<std::int64_t>(text.size()) - edit.oldLength;
  if (!old.empty()) {
    // Resume at the last checkpoint whose tokenizing cannot have seen the change.
    const std::size_t margin = Lookahead(*a);
    std::size_t k = old.size();
    while (k > 0 && old[k - 1].Column + margin > edit.prefix) --k;
    e.Reset(static_cast<std::size_t>(oldEnd - oldRecords) + static_cast<std::size_t>(std::max<std::int64_t>(delta, 0) * 3) + 64);
    if (k > 0) {
      const TSxCheckpoint& at = old[k - 1];
      e.bytes_.assign(oldRecords, oldRecords + at.Offset);
      e.marks_.assign(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(k - 1));
      e.count_ = at.Token;
      e.end_ = at.PrevEnd;
      e.first_ = r.firstKind;
      from = TSxResumePoint{at.Column, at.State};
      e.marks_.push_back(at);  // the text before it is unchanged, and so is its pixel
    }
    next = k;
    // Old checkpoints inside the changed text cannot take over.
    const std::uint32_t changedEnd = edit.oldLength - edit.suffix;
    while (next < old.size() && old[next].Column < changedEnd) ++next;
  } else {
    e.Reset(1u << 16);
  }

  TToken end;
  for (;;) {
    const std::uint32_t target =
        next < old.size() ? static_cast<std::uint32_t>(old[next].Column + delta) : 0xFFFFFFFFu;
    const TSxChunkEnd stop = scratch.ParseStandardChunk(text, i, *a, from, kStride, target);
    e.Add(scratch.Tokens());
    if (!stop.Paused) {
      end = stop.At.State;
      break;
    }
    while (next < old.size() && old[next].Column + delta < stop.At.Column) ++next;
    if (next < old.size() && old[next].Column + delta == stop.At.Column && old[next].State == stop.At.State) {
      // The same text follows in the same state: the old tokens from here on stand, shifted.
      const TSxCheckpoint& at = old[next];
      const std::uint32_t before = e.count_, bytesBefore = static_cast<std::uint32_t>(e.bytes_.size());
      const std::uint32_t prevEnd = e.end_;
      e.Mark(stop.At);
      // Its old pixel anchors the old pixels after it: they all move by what it moved.
      const bool measured = at.XState == TSxCheckpoint::xMeasured;
      e.marks_.back().XState = measured ? TSxCheckpoint::xAnchor : TSxCheckpoint::xUnmeasured;
      e.marks_.back().X = at.X;
      std::int64_t grown = 0;
      if (at.Token < oldCount) {
        const unsigned char* p = oldRecords + at.Offset;
        std::uint32_t gap, len;
        const TToken kind = GetToken(p, gap, len);
        const std::uint32_t start = at.PrevEnd + gap + static_cast<std::uint32_t>(delta);
        unsigned char first[kMaxTokenRecord];
        unsigned char* f = PutToken(first, start - prevEnd, len, kind);
        e.bytes_.insert(e.bytes_.end(), first, f);
        e.bytes_.insert(e.bytes_.end(), p, oldEnd - (r.flags & kIndexed ? old.size() * kMarkSize + kTailSize : 0));
        grown = (f - first) - (p - (oldRecords + at.Offset));
        e.count_ += oldCount - at.Token;
        e.last_ = r.lastKind;
        if (before == 0) e.first_ = kind;
      }
      for (std::size_t m = next + 1; m < old.size(); ++m) {
        TSxCheckpoint c = old[m];
        c.Token = c.Token - at.Token + before;
        c.Offset = static_cast<std::uint32_t>(c.Offset - at.Offset + bytesBefore + grown);
        c.PrevEnd = static_cast<std::uint32_t>(c.PrevEnd + delta);
        c.Column = static_cast<std::uint32_t>(c.Column + delta);
        c.XState = measured && c.XState == TSxCheckpoint::xMeasured ? TSxCheckpoint::xShifted
                                                                   : TSxCheckpoint::xUnmeasured;
        e.marks_.push_back(c);
      }
      end = Tail(r)[12];
      break;
    }
    e.Mark(stop.At);
    from = stop.At;
    // Room for the records of the rest of the line, projected from what the line gave so
    // far: the buffer grows early and by little, not by doubling when it is large.
    const std::size_t projected = static_cast<std::size_t>(
        static_cast<double>(e.bytes_.size()) / from.Column * static_cast<double>(text.size()) * 1.1) + 4096;
    if (e.bytes_.capacity() < projected) e.bytes_.reserve(std::max(projected, e.bytes_.capacity() / 4 * 5));
  }
  Store(r, e, startState, end, old.empty() ? 0 : CheckpointKey(i));
  e.Release();
  return end;
}
