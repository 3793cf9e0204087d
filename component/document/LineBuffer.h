/** @file LineBuffer.h
 ** Compact storage of a document's lines: each line's bytes and its encoded token
 ** list share one heap block; line records live in a gap buffer. */
#pragma once

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "../syntax/TokenList.h"
#include "SplitVector.h"

// Counts of lines per length, so the longest line is known without a scan.
class TLineLengths {
 public:
  void Add(std::uint32_t len);
  void Remove(std::uint32_t len);
  void Clear();
  std::uint32_t Max() const { return max_; }

 private:
  static constexpr std::uint32_t kDense = 1u << 16;
  std::vector<std::uint32_t> dense_ = std::vector<std::uint32_t>(kDense);
  std::map<std::uint32_t, std::uint32_t> long_;  // lengths >= kDense
  std::uint32_t max_ = 0;
};

class TLineBuffer {
 public:
  TLineBuffer() = default;
  TLineBuffer(const TLineBuffer&) = delete;
  TLineBuffer& operator=(const TLineBuffer&) = delete;
  ~TLineBuffer() { Clear(); }

  int Count() const { return static_cast<int>(lines_.size()); }
  std::string_view Text(int i) const {
    const Rec& r = lines_[static_cast<std::size_t>(i)];
    return {r.buf, r.textLen};
  }
  // Replaces a line's text; its tokens stay until it is tokenized again.
  void SetText(int i, std::string_view s);
  // Inserts a line with no tokens.
  void Insert(int i, std::string_view s);
  // Appends a line whose bytes stay in the caller's buffer until it gets tokens or
  // Materialize runs: a load then allocates each line once, text and tokens together.
  void AppendBorrowed(std::string_view s);
  void Materialize();
  void Erase(int i);
  void Clear();
  void Reserve(std::size_t lines) { lines_.reserve(lines); }

  int TokenCount(int i) const;
  TToken FirstKind(int i) const { return lines_[static_cast<std::size_t>(i)].firstKind; }
  TToken LastKind(int i) const { return lines_[static_cast<std::size_t>(i)].lastKind; }
  bool NeedsParse(int i) const { return (lines_[static_cast<std::size_t>(i)].flags & kNeedsParse) != 0; }
  void SetNeedsParse(int i, bool v) {
    Rec& r = lines_[static_cast<std::size_t>(i)];
    r.flags = static_cast<std::uint8_t>(v ? r.flags | kNeedsParse : r.flags & ~kNeedsParse);
  }
  TToken StartState(int i) const { return lines_[static_cast<std::size_t>(i)].startState; }
  // Decodes the stored tokens into out (replacing its tokens).
  void GetTokens(int i, TSxSyntaxParser& out) const;
  void SetTokens(int i, const TSxSyntaxParser& tokens, TToken startState);

  std::uint32_t MaxLength() const { return lengths_.Max(); }

 private:
  // 16 bytes per line. The block holds the text, then (when the line has tokens)
  // the varint byte length of the token area, the varint token count and the tokens.
  struct Rec {
    char* buf;
    std::uint32_t textLen;
    TToken firstKind;
    TToken lastKind;
    std::uint8_t flags;
    TToken startState;  // the carried state the tokens were made in
  };
  static constexpr std::uint8_t kNeedsParse = 1, kHasTokens = 2, kBorrowed = 4;
  // The token area of a line: its bytes (length prefix included) and where the tokens start.
  static std::size_t TokenAreaSize(const Rec& r);
  static void Free(Rec& r);
  static char* Allocate(std::size_t n);

  SplitVector<Rec> lines_;
  TLineLengths lengths_;
};
