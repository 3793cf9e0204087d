/** @file Search.h
 ** Finding a pattern in the document's lines: exact or case-folded cp1251 matching,
 ** whole words, searching forwards and backwards with wrap-around, counting in slices
 ** and the spans a replace-all rewrites. Matches never cross a line break. */
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "DocumentTypes.h"
#include "Range.h"

class TSxSynMemoStrings;

struct TSxSearchOptions {
  bool MatchCase = false;
  // The match is neither preceded nor followed by a word character (letter, digit, '_').
  bool WholeWord = false;
};

// A test of one byte of a pattern: its position and its two spellings (equal when the
// case counts).
struct TSxByteTest {
  std::size_t At = 0;
  unsigned char A = 0, B = 0;
};

// A compiled pattern. An empty pattern, or one holding a line break, matches nothing.
class TSxSearchPattern {
 public:
  TSxSearchPattern() = default;
  TSxSearchPattern(std::string_view pattern, TSxSearchOptions options);

  bool Empty() const { return pattern_.empty(); }
  std::int32_t Length() const { return static_cast<std::int32_t>(pattern_.size()); }

  // Column of the first match in line starting at or after from and before before, or -1.
  std::int32_t FindIn(std::string_view line, std::int32_t from, std::int32_t before = MaxInt) const;
  // Column of the last match in line starting before before, or -1.
  std::int32_t FindLastIn(std::string_view line, std::int32_t before) const;
  // Whether a match starts at column col.
  bool MatchesAt(std::string_view line, std::int32_t col) const;

 private:
  bool Equal(const char* text) const;
  bool WordBounded(std::string_view line, std::size_t col) const;

  std::string pattern_;  // folded when the case is ignored
  TSxSearchOptions options_;
  const unsigned char* fold_ = nullptr;  // null for exact matching
  TSxByteTest test1_, test2_;  // the pattern's two rarest bytes, tested before the rest
};

struct TSxSearchHit {
  bool Found = false;
  bool Wrapped = false;  // the search passed the end (or the start) of the text
  TTextPos Start;        // the match is Start.X .. Start.X + length on line Start.Y
};

// The next match after from (a match starting at from counts) or, backwards, the last
// one starting before from; past the end the search goes on from the other end of the
// text up to from.
TSxSearchHit FindMatch(const TSxSynMemoStrings& lines, const TSxSearchPattern& pattern, TTextPos from,
                       bool forward);

// Counts the matches of the whole text a slice at a time, so a caller can spread the
// work over idle time. A change of the text (a new revision of the lines) starts the
// count again; so does Restart, for a new pattern.
class TSxMatchCounter {
 public:
  void Restart(const TSxSearchPattern& pattern);
  // Counts over about maxBytes further bytes (a long line is taken in pieces); true once
  // the whole text is counted.
  bool Step(const TSxSynMemoStrings& lines, std::int64_t maxBytes);
  // The count is complete for the text as it stands.
  bool Current(const TSxSynMemoStrings& lines) const;
  std::int64_t Count() const { return count_; }

 private:
  TSxSearchPattern pattern_;
  std::uint64_t revision_ = 0;
  bool started_ = false;
  std::int32_t line_ = 0;
  std::int32_t column_ = 0;  // where the count goes on in line_
  std::int64_t count_ = 0;
};

// Every match lying wholly within from..to, in text order, not overlapping.
std::vector<TSxLineSpan> CollectMatches(const TSxSynMemoStrings& lines, const TSxSearchPattern& pattern,
                                        TTextPos from, TTextPos to);
