/** @file TokenList.h
 ** A line's token list (TSxSyntaxParser) with the display operations applied to copies. */
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "SyntaxTypes.h"

class TSxSyntaxAttributes;
class TSxSynMemoSection;

// A place where the standard tokenizer can stop and start again: every token before it
// ends before Column, the character before Column is a blank (or Column is 0), no word
// is pending, and State (tokText, or the kind of an open comment or directive) is all the
// tokenizer carries there. Column 0 with the carried state is the line's start.
struct TSxResumePoint {
  std::uint32_t Column = 0;
  TToken State = tokText;
};

// Where a chunk of standard tokenizing stopped: at a resume point inside the line
// (Paused), or at the line's end, where At.State is the state carried to the next line.
struct TSxChunkEnd {
  bool Paused = false;
  TSxResumePoint At;
};

// One token: columns are 0-based bytes of the line; 32-bit so that lines longer
// than 65535 characters keep exact positions.
struct TSxSyntaxToken {
  std::uint32_t Start = 0;
  std::uint32_t Len = 0;
  TToken Kind = tokBlank;
  std::uint8_t Selected = 0;
  friend bool operator==(const TSxSyntaxToken&, const TSxSyntaxToken&) = default;
};

// The tokens of one line. Stored lines keep a compact encoding inside the line
// storage; this class is the working form the tokenizer fills and the painter
// and the application read.
class TSxSyntaxParser {
 public:
  TSxSyntaxParser() = default;
  virtual ~TSxSyntaxParser() = default;
  TSxSyntaxParser(const TSxSyntaxParser&) = default;
  TSxSyntaxParser& operator=(const TSxSyntaxParser&) = default;

  static TSxSyntaxParser CreateCopy(const TSxSyntaxParser* source) {
    return source ? *source : TSxSyntaxParser();
  }

  int Count() const { return static_cast<int>(tokens_.size()); }
  // Range-checked: an index outside the list is a caller's programming error.
  const TSxSyntaxToken& Token(int index) const { return tokens_.at(static_cast<std::size_t>(index)); }
  TSxSyntaxToken& Token(int index) { return tokens_.at(static_cast<std::size_t>(index)); }
  const std::vector<TSxSyntaxToken>& Tokens() const { return tokens_; }

  virtual void Clear() { tokens_.clear(); NeedsParse = 0; }
  void AddToken(std::uint32_t pos1, std::uint32_t length, TToken kind) {
    tokens_.push_back({pos1 - 1, length, kind, 0});
  }
  TToken FirstKind() const { return tokens_.empty() ? tokText : tokens_.front().Kind; }
  TToken LastKind() const { return tokens_.empty() ? tokText : tokens_.back().Kind; }

  // Tokenizes LineText (either mode by the attributes' BLSeparated flag) and
  // answers the state carried to the next line.
  TToken Parse(std::string_view lineText, int lineIndex, const TSxSyntaxAttributes* attributes,
               TToken prevState);
  virtual TToken ParseBlankSeparated(std::string_view lineText, int lineIndex,
                                     const TSxSyntaxAttributes& attributes, TToken prevState);
  virtual TToken ParseStandard(std::string_view lineText, int lineIndex,
                               const TSxSyntaxAttributes* attributes, TToken prevState);
  // Standard mode from a resume point: clears the list, adds the tokens from there and
  // pauses at the first later resume point reached after at least minTokens tokens or
  // at or after pauseColumn. Chunks joined from the line's start give exactly the tokens
  // and the end state of ParseStandard, so a long line is tokenized piecewise and an
  // edited one again from the last resume point before the change.
  TSxChunkEnd ParseStandardChunk(std::string_view lineText, int lineIndex, const TSxSyntaxAttributes& attributes,
                                 TSxResumePoint from, std::size_t minTokens, std::uint32_t pauseColumn);

  // Display operations: used on per-paint copies only.
  // Does a run of merged tokens that began with kind `head` take in a token of kind `next`?
  static bool Absorbs(TToken head, TToken next);
  void MergeRuns();
  bool SplitAt(int tokenIndex, std::int64_t col);
  void MarkSelection(std::int64_t selFrom, std::int64_t selTo);

  TSxSynMemoSection* Section = nullptr;
  std::int32_t VisibleIndex = 0;
  std::uint8_t NeedsParse = 0;

 private:
  std::vector<TSxSyntaxToken> tokens_;
};
