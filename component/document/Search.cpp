/** @file Search.cpp
 ** The matching engine. A line is scanned for the first byte of the pattern in either
 ** of its spellings (memchr, or a 16-byte compare when the case is ignored) and only
 ** there compared in full, so the lines are read in place, never copied. */
#include "Search.h"

#include <algorithm>
#include <cstring>

#include "../base/Cp1251.h"
#include "LineStorage.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool Passes(const TSxByteTest& t, const char* s) {
  const auto c = static_cast<unsigned char>(s[t.At]);
  return c == t.A || c == t.B;
}

// The first start s in [p, stop) that passes both tests, or null. Every byte that a
// test at a start before stop reads lies in the caller's line [base, base + size), so
// the last 16-byte block is moved back over starts already tested instead of past the end.
const char* FindCandidate(const char* base, const char* p, const char* stop, const TSxByteTest& t1, const TSxByteTest& t2) {
#if defined(__SSE2__)
  const __m128i a1 = _mm_set1_epi8(static_cast<char>(t1.A)), b1 = _mm_set1_epi8(static_cast<char>(t1.B));
  const __m128i a2 = _mm_set1_epi8(static_cast<char>(t2.A)), b2 = _mm_set1_epi8(static_cast<char>(t2.B));
  auto hits = [&](const char* q) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + t1.At));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + t2.At));
    const __m128i m1 = _mm_or_si128(_mm_cmpeq_epi8(x, a1), _mm_cmpeq_epi8(x, b1));
    const __m128i m2 = _mm_or_si128(_mm_cmpeq_epi8(y, a2), _mm_cmpeq_epi8(y, b2));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(m1, m2)));
  };
  for (; stop - p >= 16; p += 16)
    if (const unsigned m = hits(p)) return p + __builtin_ctz(m);
  if (p < stop && stop - base >= 16) {
    const char* q = stop - 16;
    const unsigned m = hits(q) >> (p - q);  // bit 0 is now p
    return m ? p + __builtin_ctz(m) : nullptr;
  }
#endif
  for (; p < stop; ++p)
    if (Passes(t1, p) && Passes(t2, p)) return p;
  return nullptr;
}

// How rarely a byte appears in QEB sources, higher for rarer: the scan tests the
// pattern's two rarest bytes, so frequent letters seldom stop it.
struct Rarity {
  unsigned char score[256];
  Rarity() {
    for (int c = 0; c < 256; ++c) score[c] = c < 128 ? 60 : 90;
    for (int c = 0; c <= 32; ++c) score[c] = 0;
    for (int c = '0'; c <= '9'; ++c) score[c] = 30;
    for (char c : std::string_view("(),.;:=\"/{}[]+-*<>!'_")) score[static_cast<unsigned char>(c)] = 25;
    const std::string russian = cp1251::FromUtf8("оеаинтсрвлкмдпуяыьгзбчйхжшюцщэфъё");
    for (std::size_t i = 0; i < russian.size(); ++i)
      score[static_cast<unsigned char>(russian[i])] = static_cast<unsigned char>(10 + i);
    const std::string_view latin = "etaoinshrdlcumwfgypbvkjxqz";
    for (std::size_t i = 0; i < latin.size(); ++i)
      score[static_cast<unsigned char>(latin[i])] = static_cast<unsigned char>(45 + i);
    // Capitals are rarer than their small letters.
    const unsigned char* lower = cp1251::LowerTable();
    for (int c = 0; c < 256; ++c)
      if (lower[c] != c) score[c] = static_cast<unsigned char>(std::min(255, score[lower[c]] + 40));
  }
};

}  // namespace

TSxSearchPattern::TSxSearchPattern(std::string_view pattern, TSxSearchOptions options)
    : pattern_(pattern), options_(options) {
  if (pattern_.find_first_of("\r\n") != std::string::npos) pattern_.clear();
  if (pattern_.empty()) return;
  if (!options_.MatchCase) {
    fold_ = cp1251::LowerTable();
    for (char& c : pattern_) c = static_cast<char>(fold_[static_cast<unsigned char>(c)]);
  }
  // The scan tests the pattern's two rarest bytes before comparing the rest.
  static const Rarity rarity;
  auto score = [&](std::size_t i) { return rarity.score[static_cast<unsigned char>(pattern_[i])]; };
  std::size_t first = 0, second = 0;
  for (std::size_t i = 1; i < pattern_.size(); ++i)
    if (score(i) > score(first)) first = i;
  if (first == 0 && pattern_.size() > 1) second = 1;
  for (std::size_t i = 0; i < pattern_.size(); ++i)
    if (i != first && score(i) > score(second)) second = i;
  auto test = [&](std::size_t at) {
    const auto c = static_cast<unsigned char>(pattern_[at]);
    TSxByteTest t{at, c, c};
    // The other byte that folds onto this one (letters come in exactly two spellings).
    if (fold_)
      for (int o = 0; o < 256; ++o)
        if (o != c && fold_[o] == c) t.B = static_cast<unsigned char>(o);
    return t;
  };
  test1_ = test(first);
  test2_ = test(second);
}

bool TSxSearchPattern::Equal(const char* text) const {
  if (!fold_) return std::memcmp(text, pattern_.data(), pattern_.size()) == 0;
  for (std::size_t i = 0; i < pattern_.size(); ++i)
    if (fold_[static_cast<unsigned char>(text[i])] != static_cast<unsigned char>(pattern_[i])) return false;
  return true;
}

bool TSxSearchPattern::WordBounded(std::string_view line, std::size_t col) const {
  const std::size_t end = col + pattern_.size();
  if (col > 0 && cp1251::IsWordChar(static_cast<unsigned char>(line[col - 1]))) return false;
  return end >= line.size() || !cp1251::IsWordChar(static_cast<unsigned char>(line[end]));
}

bool TSxSearchPattern::MatchesAt(std::string_view line, std::int32_t col) const {
  if (pattern_.empty() || col < 0 || static_cast<std::size_t>(col) + pattern_.size() > line.size()) return false;
  return Equal(line.data() + col) && (!options_.WholeWord || WordBounded(line, static_cast<std::size_t>(col)));
}

std::int32_t TSxSearchPattern::FindIn(std::string_view line, std::int32_t from, std::int32_t before) const {
  const std::size_t n = pattern_.size();
  if (n == 0 || line.size() < n) return -1;
  const std::size_t start = static_cast<std::size_t>(std::max(0, from));
  const std::size_t limit = std::min(line.size() - n + 1, static_cast<std::size_t>(std::max(0, before)));
  if (start >= limit) return -1;
  const char* base = line.data();
  const char* stop = base + limit;  // candidates start before stop
  for (const char* p = base + start; (p = FindCandidate(base, p, stop, test1_, test2_)) != nullptr; ++p) {
    if (!Equal(p)) continue;
    const auto col = static_cast<std::size_t>(p - base);
    if (!options_.WholeWord || WordBounded(line, col)) return static_cast<std::int32_t>(col);
  }
  return -1;
}

std::int32_t TSxSearchPattern::FindLastIn(std::string_view line, std::int32_t before) const {
  std::int32_t found = -1;
  for (std::int32_t c = FindIn(line, 0); c >= 0 && c < before; c = FindIn(line, c + 1)) found = c;
  return found;
}

TSxSearchHit FindMatch(const TSxSynMemoStrings& lines, const TSxSearchPattern& pattern, TTextPos from,
                       bool forward) {
  TSxSearchHit hit;
  const std::int32_t count = lines.Count();
  if (pattern.Empty() || count == 0) return hit;
  const std::int32_t y = std::clamp(from.Y, 0, count - 1);
  const std::int32_t x = std::max(0, from.X);
  auto found = [&](std::int32_t col, std::int32_t line, bool wrapped) {
    hit.Found = true;
    hit.Wrapped = wrapped;
    hit.Start = {col, line};
    return hit;
  };
  if (forward) {
    if (std::int32_t c = pattern.FindIn(lines.Get(y), x); c >= 0) return found(c, y, false);
    for (std::int32_t l = y + 1; l < count; ++l)
      if (std::int32_t c = pattern.FindIn(lines.Get(l), 0); c >= 0) return found(c, l, false);
    for (std::int32_t l = 0; l < y; ++l)
      if (std::int32_t c = pattern.FindIn(lines.Get(l), 0); c >= 0) return found(c, l, true);
    if (std::int32_t c = pattern.FindIn(lines.Get(y), 0); c >= 0 && c < x) return found(c, y, true);
    return hit;
  }
  if (std::int32_t c = pattern.FindLastIn(lines.Get(y), x); c >= 0) return found(c, y, false);
  for (std::int32_t l = y - 1; l >= 0; --l)
    if (std::int32_t c = pattern.FindLastIn(lines.Get(l), MaxInt); c >= 0) return found(c, l, false);
  for (std::int32_t l = count - 1; l > y; --l)
    if (std::int32_t c = pattern.FindLastIn(lines.Get(l), MaxInt); c >= 0) return found(c, l, true);
  if (std::int32_t c = pattern.FindLastIn(lines.Get(y), MaxInt); c >= x) return found(c, y, true);
  return hit;
}

void TSxMatchCounter::Restart(const TSxSearchPattern& pattern) {
  pattern_ = pattern;
  started_ = false;
}

bool TSxMatchCounter::Step(const TSxSynMemoStrings& lines, std::int64_t maxBytes) {
  if (!started_ || revision_ != lines.Revision()) {
    started_ = true;
    revision_ = lines.Revision();
    line_ = column_ = 0;
    count_ = 0;
  }
  if (pattern_.Empty()) line_ = lines.Count();
  const std::int32_t len = pattern_.Length();
  for (std::int64_t budget = maxBytes; budget > 0 && line_ < lines.Count();) {
    const std::string_view text = lines.Get(line_);
    // Matches count where they start, so a piece of a long line may end anywhere.
    const std::int32_t from = column_;
    const auto end = static_cast<std::int32_t>(std::min<std::int64_t>(text.size(), from + budget));
    for (std::int32_t c = pattern_.FindIn(text, from, end); c >= 0; c = pattern_.FindIn(text, c + len, end)) {
      ++count_;
      column_ = c + len;
    }
    column_ = std::max(column_, end);
    budget -= end - from + 16;  // a line costs a little even when it is empty
    if (end == static_cast<std::int32_t>(text.size())) {
      ++line_;
      column_ = 0;
    }
  }
  return line_ >= lines.Count();
}

bool TSxMatchCounter::Current(const TSxSynMemoStrings& lines) const {
  return started_ && revision_ == lines.Revision() && line_ >= lines.Count();
}

std::vector<TSxLineSpan> CollectMatches(const TSxSynMemoStrings& lines, const TSxSearchPattern& pattern,
                                        TTextPos from, TTextPos to) {
  std::vector<TSxLineSpan> spans;
  const std::int32_t len = pattern.Length();
  if (pattern.Empty() || lines.Count() == 0) return spans;
  const std::int32_t first = std::max(0, from.Y);
  const std::int32_t last = std::min(to.Y, lines.Count() - 1);
  for (std::int32_t l = first; l <= last; ++l) {
    const std::string_view text = lines.Get(l);
    const std::int64_t limit = l == to.Y ? to.X : std::int64_t{MaxInt};
    for (std::int32_t c = pattern.FindIn(text, l == from.Y ? from.X : 0); c >= 0 && c + std::int64_t{len} <= limit;
         c = pattern.FindIn(text, c + len))
      spans.push_back({l, c, len});
  }
  return spans;
}
