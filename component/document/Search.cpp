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

// The first byte in [p, end) equal to a or b, or null. Memory from lo to end is the
// caller's, so the last 16-byte block may start before p instead of reading past end.
const char* FindEither(const char* lo, const char* p, const char* end, unsigned char a, unsigned char b) {
  if (p >= end) return nullptr;
  if (a == b) return static_cast<const char*>(std::memchr(p, a, static_cast<std::size_t>(end - p)));
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi8(static_cast<char>(a));
  const __m128i vb = _mm_set1_epi8(static_cast<char>(b));
  auto hits = [&](const char* q) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb))));
  };
  for (; end - p >= 16; p += 16)
    if (const unsigned m = hits(p)) return p + __builtin_ctz(m);
  if (p < end && end - lo >= 16) {
    const char* q = end - 16;
    const unsigned m = hits(q) >> (p - q);  // bit 0 is now p
    return m ? p + __builtin_ctz(m) : nullptr;
  }
#endif
  for (; p < end; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c == a || c == b) return p;
  }
  return nullptr;
}

// How rarely a byte appears in QEB sources, higher for rarer: the scan looks for the
// pattern's rarest byte, so frequent letters seldom stop it.
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
  static const Rarity rarity;
  for (std::size_t i = 1; i < pattern_.size(); ++i)
    if (rarity.score[static_cast<unsigned char>(pattern_[i])] > rarity.score[static_cast<unsigned char>(pattern_[anchor_])])
      anchor_ = i;
  anchorA_ = anchorB_ = static_cast<unsigned char>(pattern_[anchor_]);
  if (fold_) {
    // The other byte that folds onto the anchor (letters come in exactly two spellings).
    for (int c = 0; c < 256; ++c)
      if (c != anchorA_ && fold_[c] == anchorA_) anchorB_ = static_cast<unsigned char>(c);
  }
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

std::int32_t TSxSearchPattern::FindIn(std::string_view line, std::int32_t from) const {
  const std::size_t n = pattern_.size();
  if (n == 0 || line.size() < n) return -1;
  const std::size_t start = static_cast<std::size_t>(std::max(0, from));
  if (start > line.size() - n) return -1;
  const char* base = line.data();
  // The anchor byte of a match starting at s stands at s + anchor_.
  const char* end = base + (line.size() - n) + anchor_ + 1;
  for (const char* p = base + start + anchor_; (p = FindEither(base, p, end, anchorA_, anchorB_)) != nullptr; ++p) {
    const char* s = p - anchor_;
    if (!Equal(s)) continue;
    const auto col = static_cast<std::size_t>(s - base);
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

bool TSxMatchCounter::Step(const TSxSynMemoStrings& lines, std::int32_t maxLines) {
  if (!started_ || revision_ != lines.Revision()) {
    started_ = true;
    revision_ = lines.Revision();
    line_ = 0;
    count_ = 0;
  }
  const auto stop = static_cast<std::int32_t>(std::min<std::int64_t>(lines.Count(), std::int64_t{line_} + maxLines));
  const std::int32_t len = pattern_.Length();
  for (; !pattern_.Empty() && line_ < stop; ++line_) {
    const std::string_view text = lines.Get(line_);
    for (std::int32_t c = pattern_.FindIn(text, 0); c >= 0; c = pattern_.FindIn(text, c + len)) ++count_;
  }
  if (pattern_.Empty()) line_ = lines.Count();
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
