/** @file TokenList.cpp
 ** Display operations on per-paint copies of a line's tokens. */
#include "TokenList.h"

namespace {

// For a kind that starts a run, the set of kinds it absorbs (as a 32-bit mask over kinds 0..31).
std::uint32_t AbsorbedKinds(TToken k) {
  auto bit = [](TToken t) { return std::uint32_t{1} << t; };
  switch (k) {
    case tokString: return bit(tokString) | bit(tokStringEnd);
    case tokChar: return bit(tokChar) | bit(tokCharEnd);
    case tokMLCommentBeg: return bit(tokMLCommentBeg) | bit(tokMLCommentEnd);
    case tokELCommentBeg: return bit(tokELCommentBeg) | bit(tokELCommentEnd);
    case tokILComment: return bit(tokILComment);
    case tokILCompDir: return bit(tokILCompDir);
    case tokMLCompDirBeg: return bit(tokMLCompDirBeg) | bit(tokMLCompDirEnd);
    default: return 0;
  }
}

}  // namespace

bool TSxSyntaxParser::Absorbs(TToken head, TToken next) {
  return next < 32 && (AbsorbedKinds(head) >> next & 1);
}

void TSxSyntaxParser::MergeRuns() {
  if (tokens_.size() < 2) return;
  std::vector<TSxSyntaxToken> merged;
  merged.reserve(tokens_.size());
  std::size_t i = 0;
  while (i < tokens_.size()) {
    TSxSyntaxToken t = tokens_[i++];
    const std::uint32_t absorbs = AbsorbedKinds(t.Kind);
    while (absorbs && i < tokens_.size() && tokens_[i].Kind < 32 && (absorbs >> tokens_[i].Kind & 1)) {
      const TSxSyntaxToken& next = tokens_[i++];
      t.Len = next.Start + next.Len - t.Start;
      t.Kind = next.Kind;
    }
    merged.push_back(t);
  }
  tokens_.swap(merged);
}

bool TSxSyntaxParser::SplitAt(int tokenIndex, std::int64_t col) {
  TSxSyntaxToken& t = tokens_.at(static_cast<std::size_t>(tokenIndex));
  const std::int64_t start = t.Start, end = std::int64_t{t.Start} + t.Len;
  if (col < start + 1 || col > end - 1) return false;
  TSxSyntaxToken tail = t;
  tail.Start = static_cast<std::uint32_t>(col);
  tail.Len = static_cast<std::uint32_t>(end - col);
  t.Len = static_cast<std::uint32_t>(col - start);
  tokens_.insert(tokens_.begin() + tokenIndex + 1, tail);
  return true;
}

void TSxSyntaxParser::MarkSelection(std::int64_t selFrom, std::int64_t selTo) {
  for (int i = 0; i < Count(); ++i) {
    if (!SplitAt(i, selFrom)) SplitAt(i, selTo);
    TSxSyntaxToken& t = tokens_[static_cast<std::size_t>(i)];
    t.Selected = (selFrom <= t.Start && t.Start <= selTo - 1) ? 1 : 0;
  }
}
