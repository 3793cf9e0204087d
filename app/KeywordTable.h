/** @file KeywordTable.h
 ** The QEB word list read from the keyword table file and the word classification
 ** that answers the tokenizer's word offers and names outline captions. */
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "syntax/SyntaxAttributes.h"
#include "syntax/SyntaxTypes.h"

// The application's word kinds, named by the section lines of the keyword table file.
enum : TToken { tokEnd = 250, tokBegin, tokStructure, tokSpecType, tokType, tokKeyWord };

struct TKeywordEntry {
  std::string Word;  // cp1251 bytes, as written in the file
  TToken Kind = 0;
};

// Entries ordered by cp1251::CompareText (case ignored) once Sort has run; duplicates,
// exact or differing in case or kind, are kept.
class TKeywordTable {
 public:
  void Append(std::string word, TToken kind) {
    entries_.push_back({std::move(word), kind});
    keys_.clear();
    index_.clear();
    spellings_.clear();
  }
  void Sort();
  // The binary search: among entries equal to word (case ignored) it answers the first
  // one probed, nullptr when none is equal.
  const TKeywordEntry* Find(std::string_view word) const;
  // The word-offer answer (see ClassifyWord) for a word spelled exactly as an entry of at
  // most 16 bytes; false, leaving token alone, for any other word.
  bool ClassifyExact(std::string_view word, TToken& token) const;
  // False for a word no entry can equal, case ignored, by its length or first byte.
  bool MayHold(std::string_view word) const {
    return index_.empty() ||
           (lengths_ >> std::min<std::size_t>(word.size(), 63) & 1 && (word.empty() || firstBytes_[static_cast<unsigned char>(word[0])]));
  }
  int Count() const { return static_cast<int>(entries_.size()); }
  const std::vector<TKeywordEntry>& Entries() const { return entries_; }

 private:
  std::vector<TKeywordEntry> entries_;
  // After Sort: each entry's collation key (see CollationKey), in the same order.
  // Comparing keys as byte strings orders them exactly as CompareText orders the words.
  std::vector<std::string> keys_;
  // After Sort: an open-addressing index from every distinct key to the entry the binary
  // search answers for it, so classifying a word costs one hashed probe, with no
  // allocation, and gives the search's answer exactly. A slot holds its key's first 16
  // bytes as two numbers: most words are compared with two integer tests.
  struct Slot {
    std::uint64_t head[2] = {0, 0};
    std::uint64_t hash = 0;
    const std::string* key = nullptr;  // null: empty slot
    const TKeywordEntry* entry = nullptr;
  };
  std::vector<Slot> index_;
  // After Sort: which lengths (63 standing for 63 and more) and which first ranks the keys
  // have. Most words offered, punctuation and names, fail one of the two at once.
  std::uint64_t lengths_ = 0;
  bool firstBytes_[256] = {};  // bytes whose rank some key starts with
  // After Sort: the answer for every spelling of at most 16 bytes, keyed by its exact bytes
  // as two overlapping 8-byte reads (see PackSpelling). Words of a QEB text are mostly
  // written as in the table, so most offers end here without folding a byte.
  struct Spelling {
    std::uint64_t head[2] = {0, 0};
    std::uint32_t size = 0;  // 0: empty slot
    TToken kind = 0;
  };
  std::vector<Spelling> spellings_;
  const TKeywordEntry* Search(const std::string& key) const;
};

// Source and message of one event log line, both UTF-8.
using TLogProc = std::function<void(const std::string& source, const std::string& message)>;

// The kind named by a section of the keyword table file (exact spelling), 0 for any other name.
TToken TokenKindByName(std::string_view name);

// Reads the keyword table file. A file that cannot be opened is logged under "Ошибка"
// with its errno and gives no table (nullptr); an unknown section name is logged and
// ignored; a read failure after opening throws ESxFileError. Always ends by setting
// the attributes' in-line directive literal to "%" (the syntax file loaded next overrides it).
std::unique_ptr<TKeywordTable> LoadKeywordTable(const std::string& fileName, const TLogProc& log,
                                                TSxSyntaxAttributes& attributes);

// The word-offer answer: a word found with its exact spelling gets the entry's kind, one
// found only when case is ignored gets tokErroneous, anything else keeps token unchanged.
// A missing table finds nothing.
void ClassifyWord(const TKeywordTable* table, std::string_view word, TToken& token);

struct TFirstWord {
  TToken Kind = tokErroneous;  // tokErroneous: the first word is not a QEB word
  std::string Word;
};
// Classifies the text before the first blank (character 32 only), case ignored.
TFirstWord ClassifyFirstWord(const TKeywordTable* table, std::string_view text);

// Removes leading and trailing characters of code 32 or less.
std::string_view TrimBlanks(std::string_view s);
