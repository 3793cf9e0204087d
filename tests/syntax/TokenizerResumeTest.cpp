// Tokenizing in chunks and resuming at a resume point gives exactly a fresh tokenization.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "syntax/SyntaxAttributes.h"
#include "syntax/TokenList.h"

namespace {

struct Result {
  std::vector<TSxSyntaxToken> tokens;
  TToken end;
};

Result Fresh(const TSxSyntaxAttributes& a, const std::string& line, TToken prev) {
  TSxSyntaxParser list;
  const TToken end = list.Parse(line, 0, &a, prev);
  return {list.Tokens(), end};
}

// Chunks of at least minTokens tokens joined, every pause point remembered.
Result Chunked(const TSxSyntaxAttributes& a, const std::string& line, TToken prev, std::size_t minTokens,
               std::vector<TSxResumePoint>* pauses = nullptr, TSxResumePoint from = {}) {
  TSxSyntaxParser list;
  Result r;
  if (from.Column == 0) from.State = prev;
  for (;;) {
    const TSxChunkEnd stop = list.ParseStandardChunk(line, 0, a, from, minTokens, 0xFFFFFFFFu);
    r.tokens.insert(r.tokens.end(), list.Tokens().begin(), list.Tokens().end());
    if (!stop.Paused) {
      r.end = stop.At.State;
      return r;
    }
    EXPECT_GT(stop.At.Column, from.Column);
    if (pauses) pauses->push_back(stop.At);
    from = stop.At;
  }
}

TEST(TokenizerResume, ChunksAndResumesEqualAFreshTokenization) {
  TSxSyntaxAttributes a;
  a.SyntaxFlags |= HasMLComment | HasILComment | HasHexPrefix | HasChar;
  a.LitMLCommentB = "/*";
  a.LitMLCommentE = "*/";
  a.LitILComment = "//";
  a.LitHexPrefix = "0x";
  a.OnParseWord = [](TSxSyntaxParser&, std::string_view w, int, int, TToken& kind) {
    if (w == "key") kind = 250;
  };
  const struct {
    std::string line;
    TToken prev;
  } cases[] = {
      {"alpha key  x:=y+1; 12.5 0x1F 'a b' \"s t\" z", tokText},
      {"a /* in a  comment */ b c /* open d e", tokText},
      {"   still in */ out 7 more // tail of  the line", tokMLCommentBeg},
      {"   leading blanks in an open comment", tokMLCommentBeg},
      {"w1 w2 w3 (a,b) [c] d.e ; f", tokText},
      {"ends with a word", tokText},
      {"trailing blanks   ", tokText},
  };
  for (const auto& c : cases) {
    const Result fresh = Fresh(a, c.line, c.prev);
    for (std::size_t minTokens : {1u, 2u, 5u}) {
      std::vector<TSxResumePoint> pauses;
      const Result chunked = Chunked(a, c.line, c.prev, minTokens, &pauses);
      EXPECT_EQ(chunked.tokens, fresh.tokens) << c.line << " in chunks of " << minTokens;
      EXPECT_EQ(chunked.end, fresh.end) << c.line;
      for (const TSxResumePoint& p : pauses) {
        // Resuming at a pause point gives the fresh tokens from that column on.
        const Result resumed = Chunked(a, c.line, c.prev, 1000, nullptr, p);
        std::vector<TSxSyntaxToken> tail;
        for (const TSxSyntaxToken& t : fresh.tokens)
          if (t.Start >= p.Column) tail.push_back(t);
        EXPECT_EQ(resumed.tokens, tail) << c.line << " from " << p.Column;
        EXPECT_EQ(resumed.end, fresh.end);
      }
    }
  }
  // Every word, comment piece and in-line comment piece after a blank is a pause point.
  std::vector<TSxResumePoint> pauses;
  Chunked(a, "a b /* c d */ e // f g", tokText, 1, &pauses);
  std::vector<TToken> states;
  for (const TSxResumePoint& p : pauses) states.push_back(p.State);
  const TToken t = tokText, ml = tokMLCommentBeg, il = tokILComment;
  EXPECT_EQ(states, (std::vector<TToken>{t, t, ml, ml, ml, t, t, il, il}));
}

}  // namespace
