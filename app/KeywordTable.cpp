/** @file KeywordTable.cpp
 ** Loading, sorting and searching the QEB word list. */
#include "KeywordTable.h"


#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "base/Cp1251.h"
#include "base/Errors.h"
#include "syntax/TextLines.h"

namespace {

struct TKindName {
  std::string_view Name;
  TToken Kind;
};

constexpr TKindName KindNames[] = {{"tokKeyWord", tokKeyWord}, {"tokType", tokType},
                                   {"tokSpecType", tokSpecType}, {"tokStructure", tokStructure},
                                   {"tokBegin", tokBegin}, {"tokEnd", tokEnd}};

// Text-file reading: lines end at LF (a CR before it belongs to the break), a lone CR
// is dropped from its line, and character 26 ends the file.
template <typename Emit>
void ForEachKeywordLine(std::string_view text, Emit&& emit) {
  std::size_t eof = text.find('\x1A');
  if (eof != std::string_view::npos) text = text.substr(0, eof);
  std::string line;
  std::size_t p = 0;
  while (p < text.size()) {
    std::size_t lf = text.find('\n', p);
    std::size_t end = lf == std::string_view::npos ? text.size() : lf;
    line.clear();
    for (std::size_t i = p; i < end; ++i)
      if (text[i] != '\r') line += text[i];
    emit(std::string_view(line));
    p = lf == std::string_view::npos ? text.size() : lf + 1;
  }
}

// CompareText weighs each character by itself and breaks ties by length, so the rank of
// every character among the 256 single-character strings, written character by
// character, gives keys whose byte order is the comparison's order.
struct TCollationRanks {
  unsigned char rank[256];
  TCollationRanks() {
    unsigned char order[256];
    for (int i = 0; i < 256; ++i) order[i] = static_cast<unsigned char>(i);
    auto text = [](const unsigned char& c) { return std::string_view(reinterpret_cast<const char*>(&c), 1); };
    std::stable_sort(order, order + 256, [&](const unsigned char& a, const unsigned char& b) {
      return cp1251::CompareText(text(a), text(b)) < 0;
    });
    int r = 0;
    for (int i = 0; i < 256; ++i) {
      if (i > 0 && cp1251::CompareText(text(order[i - 1]), text(order[i])) != 0) ++r;
      rank[order[i]] = static_cast<unsigned char>(r);
    }
  }
};

const TCollationRanks& Ranks() {
  static const TCollationRanks ranks;
  return ranks;
}

// A word's collation ranks (a key's bytes as they are, when rank is null): the first 16
// packed into head, zero-padded, and a hash of them all. A word and its key fold alike.
inline std::uint64_t FoldRanks(std::string_view word, const unsigned char* rank, std::uint64_t head[2]) {
  static const struct TIdentity {
    unsigned char map[256];
    TIdentity() {
      for (int c = 0; c < 256; ++c) map[c] = static_cast<unsigned char>(c);
    }
  } identity;
  const unsigned char* map = rank ? rank : identity.map;
  const auto* w = reinterpret_cast<const unsigned char*>(word.data());
  // Packed in registers: bytes stored one by one and read back as numbers would stall.
  std::uint64_t h0 = 0, h1 = 0;
  const std::size_t n = std::min<std::size_t>(word.size(), 16);
  for (std::size_t i = 0; i < n && i < 8; ++i) h0 |= std::uint64_t{map[w[i]]} << (i * 8);
  for (std::size_t i = 8; i < n; ++i) h1 |= std::uint64_t{map[w[i]]} << ((i - 8) * 8);
  head[0] = h0, head[1] = h1;
  std::uint64_t h = (h0 * 0x9E3779B97F4A7C15ull) ^ ((h1 + word.size()) * 0xC2B2AE3D27D4EB4Full);
  for (std::size_t i = 16; i < word.size(); ++i) h = (h ^ map[w[i]]) * 1099511628211ull;
  return h ^ (h >> 29);
}

// A word of 1 to 16 bytes as two numbers that, with its length, determine every byte: the
// first and the last 8 (or 4) bytes, overlapping in the middle, or three picked bytes of
// a word shorter than 4. Reads stay inside the word.
inline void PackSpelling(const unsigned char* w, std::size_t n, std::uint64_t head[2]) {
  if (n >= 8) {
    std::memcpy(&head[0], w, 8);
    std::memcpy(&head[1], w + n - 8, 8);
  } else if (n >= 4) {
    std::uint32_t first, last;
    std::memcpy(&first, w, 4);
    std::memcpy(&last, w + n - 4, 4);
    head[0] = first, head[1] = last;
  } else {
    head[0] = w[0] | std::uint64_t{w[n / 2]} << 8 | std::uint64_t{w[n - 1]} << 16;
    head[1] = 0;
  }
}
// The slot is taken from the products' high bits, which every byte reaches: the low bits
// would follow the first byte alone, and most words of a text share a handful of them.
inline std::size_t SpellingHash(const std::uint64_t head[2], std::size_t n) {
  const std::uint64_t h = (head[0] * 0x9E3779B97F4A7C15ull) ^ ((head[1] + n) * 0xC2B2AE3D27D4EB4Full);
  return static_cast<std::size_t>(h >> 40);
}

void CollationKey(std::string_view word, std::string& key) {
  const TCollationRanks& r = Ranks();
  key.resize(word.size());
  for (std::size_t i = 0; i < word.size(); ++i) key[i] = static_cast<char>(r.rank[static_cast<unsigned char>(word[i])]);
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

void TKeywordTable::Sort() {
  std::sort(entries_.begin(), entries_.end(), [](const TKeywordEntry& a, const TKeywordEntry& b) {
    return cp1251::CompareText(a.Word, b.Word) < 0;
  });
  keys_.resize(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) CollationKey(entries_[i].Word, keys_[i]);
  // The folding index serves only words not written as in the table: two thirds full at
  // most keeps it small beside a small document. The spelling index, asked for nearly every
  // word, is at most half full, so a probe rarely goes on.
  std::size_t size = 16;
  while (size < keys_.size() * 3 / 2) size *= 2;
  index_.assign(size, Slot{});
  lengths_ = 0;
  bool firstRanks[256] = {};
  for (const std::string& key : keys_) {
    lengths_ |= std::uint64_t{1} << std::min<std::size_t>(key.size(), 63);
    if (!key.empty()) firstRanks[static_cast<unsigned char>(key[0])] = true;
  }
  for (int c = 0; c < 256; ++c) firstBytes_[c] = firstRanks[Ranks().rank[c]];
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    if (i > 0 && keys_[i] == keys_[i - 1]) continue;  // equal keys are adjacent once sorted
    Slot slot{};
    slot.hash = FoldRanks(keys_[i], nullptr, slot.head);
    slot.key = &keys_[i];
    slot.entry = Search(keys_[i]);
    std::size_t at = slot.hash & (size - 1);
    while (index_[at].key) at = (at + 1) & (size - 1);
    index_[at] = slot;
  }
  std::size_t spellingSlots = 16;
  while (spellingSlots < entries_.size() * 2) spellingSlots *= 2;
  spellings_.assign(spellingSlots, Spelling{});
  for (const TKeywordEntry& e : entries_) {
    if (e.Word.empty() || e.Word.size() > 16) continue;
    Spelling s{};
    s.size = static_cast<std::uint32_t>(e.Word.size());
    PackSpelling(reinterpret_cast<const unsigned char*>(e.Word.data()), s.size, s.head);
    const TKeywordEntry* found = Find(e.Word);
    s.kind = found->Word == e.Word ? found->Kind : tokErroneous;
    std::size_t at = SpellingHash(s.head, s.size) & (spellingSlots - 1);
    for (; spellings_[at].size; at = (at + 1) & (spellingSlots - 1))
      if (spellings_[at].size == s.size && spellings_[at].head[0] == s.head[0] && spellings_[at].head[1] == s.head[1])
        break;  // the same spelling twice: the answer is the same
    spellings_[at] = s;
  }
}

bool TKeywordTable::ClassifyExact(std::string_view word, TToken& token) const {
  if (spellings_.empty() || word.empty() || word.size() > 16) return false;
  std::uint64_t head[2];
  PackSpelling(reinterpret_cast<const unsigned char*>(word.data()), word.size(), head);
  const std::size_t mask = spellings_.size() - 1;
  for (std::size_t at = SpellingHash(head, word.size()) & mask; spellings_[at].size; at = (at + 1) & mask) {
    const Spelling& s = spellings_[at];
    if (s.size == word.size() && s.head[0] == head[0] && s.head[1] == head[1]) {
      token = s.kind;
      return true;
    }
  }
  return false;
}

// The binary search: compare(i) orders entry i against the word; among equal entries the
// answer is the first one probed.
template <typename Compare>
const TKeywordEntry* ProbeSearch(const std::vector<TKeywordEntry>& entries, Compare compare) {
  int lo = 0, hi = static_cast<int>(entries.size()) - 1;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const int c = compare(static_cast<std::size_t>(mid));
    if (c < 0) {
      lo = mid + 1;
    } else {
      if (c == 0) return &entries[static_cast<std::size_t>(mid)];
      hi = mid - 1;
    }
  }
  return nullptr;
}

const TKeywordEntry* TKeywordTable::Search(const std::string& key) const {
  return ProbeSearch(entries_, [&](std::size_t i) { return keys_[i].compare(key); });
}

const TKeywordEntry* TKeywordTable::Find(std::string_view word) const {
  if (index_.empty())  // not sorted yet: the same search over the words themselves
    return ProbeSearch(entries_, [&](std::size_t i) { return cp1251::CompareText(entries_[i].Word, word); });
  if (!MayHold(word)) return nullptr;
  const unsigned char* rank = Ranks().rank;
  std::uint64_t head[2];
  const std::uint64_t h = FoldRanks(word, rank, head);
  const std::size_t mask = index_.size() - 1;
  for (std::size_t at = h & mask; index_[at].key; at = (at + 1) & mask) {
    const Slot& slot = index_[at];
    if (slot.hash != h || slot.head[0] != head[0] || slot.head[1] != head[1] || slot.key->size() != word.size())
      continue;
    bool same = true;
    for (std::size_t j = 16; j < word.size() && same; ++j)
      same = static_cast<unsigned char>((*slot.key)[j]) == rank[static_cast<unsigned char>(word[j])];
    if (same) return slot.entry;
  }
  return nullptr;
}

TToken TokenKindByName(std::string_view name) {
  for (const TKindName& k : KindNames)
    if (k.Name == name) return k.Kind;
  return 0;
}

std::unique_ptr<TKeywordTable> LoadKeywordTable(const std::string& fileName, const TLogProc& log,
                                                TSxSyntaxAttributes& attributes) {
  std::unique_ptr<TKeywordTable> table;
  int fd = OpenForReading(fileName);
  if (fd < 0) {
    int code = errno;
    if (log)
      log("Ошибка", "Ошибка открытия файла \"" + fileName + "\"\r\nКод ошибки: " + std::to_string(code));
  } else {
    std::string bytes = ReadOpenFile(fd, fileName);
    table = std::make_unique<TKeywordTable>();
    TToken current = 0;
    ForEachKeywordLine(bytes, [&](std::string_view raw) {
      std::string_view s = TrimBlanks(raw);
      if (s.empty() || s.starts_with("//")) return;
      if (s.size() >= 2 && s.front() == '[' && s.back() == ']') {
        std::string_view name = s.substr(1, s.size() - 2);
        if (TToken kind = TokenKindByName(name)) {
          current = kind;
        } else if (log) {
          log("Ошибка", "В файле подсветки неверный токен [" + cp1251::ToUtf8(name) + "]");
        }
        return;
      }
      if (current != 0) table->Append(std::string(s), current);
    });
    table->Sort();
  }
  attributes.LitILCompDir = "%";
  return table;
}

void ClassifyWord(const TKeywordTable* table, std::string_view word, TToken& token) {
  if (!table || !table->MayHold(word) || table->ClassifyExact(word, token)) return;
  const TKeywordEntry* e = table->Find(word);
  if (!e) return;
  // A word's bytes are compared in place, without a call: words are short.
  bool exact = e->Word.size() == word.size();
  for (std::size_t i = 0; exact && i < word.size(); ++i) exact = e->Word[i] == word[i];
  token = exact ? e->Kind : tokErroneous;
}

TFirstWord ClassifyFirstWord(const TKeywordTable* table, std::string_view text) {
  TFirstWord result;
  std::size_t blank = text.find(' ');
  result.Word = std::string(blank == std::string_view::npos ? text : text.substr(0, blank));
  if (table)
    if (const TKeywordEntry* e = table->Find(result.Word)) result.Kind = e->Kind;
  return result;
}
