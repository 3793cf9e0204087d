/** @file LineBuffer.h
 ** Compact storage of a document's lines: each line's bytes and its encoded token
 ** list share one heap block; line records live in a gap buffer. */
#pragma once

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "../syntax/SyntaxAttributes.h"
#include "../syntax/TokenList.h"
#include "BlockArena.h"
#include "SplitVector.h"

// A resume point of a long line's tokens, kept every few hundred tokens, so that reading,
// painting and re-tokenizing can start there instead of at the line's start.
struct TSxCheckpoint {
  std::uint32_t Token = 0;    // index of the first token at or after Column
  std::uint32_t Offset = 0;   // byte offset of that token's record among the token records
  std::uint32_t PrevEnd = 0;  // end column of the token before it (0 when none)
  std::uint32_t Column = 0;   // the resume point
  TToken State = tokText;
  // The painter's pixel for PrevEnd, kept with the line: measured; not yet; or an anchor
  // holding the pixel it had before an edit, which the shifted ones after it follow.
  enum : std::uint8_t { xUnmeasured, xMeasured, xAnchor, xShifted };
  std::uint8_t XState = xUnmeasured;
  std::int64_t X = 0;
};

// Reads a line's stored tokens forward from its start or from a checkpoint. Valid until
// the line changes.
class TSxTokenCursor {
 public:
  bool Next(TSxSyntaxToken& t);
  int Index() const { return index_; }              // the index of the token Next gives
  std::uint32_t PrevEnd() const { return end_; }    // where the token before it ended

 private:
  friend class TLineBuffer;
  friend class TSxTokenEncoder;
  const unsigned char* p_ = nullptr;
  std::uint32_t end_ = 0;
  int index_ = 0;
  int count_ = 0;
};

// A line's token records and checkpoints, built piecewise while a long line is tokenized.
class TSxTokenEncoder {
 public:
  void Reset(std::size_t reserveBytes);
  void Add(const std::vector<TSxSyntaxToken>& tokens);
  // A checkpoint before the next token added.
  void Mark(TSxResumePoint at);
  std::uint32_t Count() const { return count_; }
  // Gives back the memory of a long line's records.
  void Release();

 private:
  friend class TLineBuffer;
  std::vector<unsigned char> bytes_;
  std::vector<TSxCheckpoint> marks_;
  std::uint32_t count_ = 0;
  std::uint32_t end_ = 0;
  TToken first_ = tokText, last_ = tokText;
};

// Counts of lines per length, so the longest line is known without a scan.
class TLineLengths {
 public:
  void Add(std::uint32_t len);
  void Remove(std::uint32_t len);
  void Clear();
  std::uint32_t Max() const { return max_; }

 private:
  static constexpr std::uint32_t kDense = 1u << 12;
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
  // A line's stored token area (the length prefix, the count, the records) for `tokens`,
  // written at out, which has room for MaxTokenAreaSize of their count; answers its size,
  // 0 for no tokens. It reads nothing of the buffer, so another thread may encode lines
  // while this one stores others.
  static std::size_t EncodeTokenArea(const std::vector<TSxSyntaxToken>& tokens, unsigned char* out);
  static std::size_t MaxTokenAreaSize(std::size_t tokenCount);
  // Stores an area EncodeTokenArea made for line i's tokens, as SetTokens would.
  void StoreTokenArea(int i, const unsigned char* area, std::size_t size, TToken firstKind, TToken lastKind,
                      TToken startState);
  // Whether Tokenize makes a line of this length in one piece, as Parse and SetTokens do;
  // a long line in the standard mode is made in chunks that leave checkpoints.
  static bool TokenizesWhole(const TSxSyntaxAttributes* attributes, std::size_t length);
  // Tokenizes line i from startState and stores the tokens, answering the end state. A
  // long line in the standard mode is tokenized in chunks that leave checkpoints; after
  // an edit (mayResume) it starts again at the last checkpoint before the change and
  // takes over the old tokens after it from the first checkpoint where the state agrees.
  TToken Tokenize(int i, const TSxSyntaxAttributes* attributes, TToken startState, bool mayResume,
                  TSxSyntaxParser& scratch);

  int CheckpointCount(int i) const;
  TSxCheckpoint Checkpoint(int i, int k) const;
  // From the line's first token (checkpoint -1) or from checkpoint k.
  TSxTokenCursor Cursor(int i, int checkpoint = -1) const;
  // The key (the painter's font and styles) the checkpoints' pixels were measured under;
  // 0 when none were. Setting them marks every one measured.
  std::uint64_t CheckpointKey(int i) const;
  void SetCheckpointX(int i, std::uint64_t key, const std::vector<std::int64_t>& x) const;

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
  // kBorrowed, kInArena and kPooled say where the block lives: in the loaded bytes, the
  // arena or the pool; with none of them it is the heap's.
  static constexpr std::uint8_t kNeedsParse = 1, kHasTokens = 2, kBorrowed = 4, kIndexed = 8, kStale = 16,
                                kInArena = 32, kPooled = 64;
  // The token area of a line: its bytes (length prefix included) and where the tokens start.
  static std::size_t TokenAreaSize(const Rec& r);
  // The token records' start and the token count; the end of the area.
  static const unsigned char* Records(const Rec& r, std::uint32_t& count, const unsigned char** areaEnd = nullptr);
  // The checkpoint trailer at the end of an indexed area: records, then the painter's key,
  // the checkpoint count and the end state.
  static constexpr std::size_t kMarkSize = 28, kTailSize = 16;
  static unsigned char* Tail(const Rec& r);
  void Free(Rec& r);
  // A block of n bytes from the pool or the heap; `where` gets kPooled or 0.
  char* Allocate(std::size_t n, std::uint8_t& where);
  // Gives r a block of n bytes that starts with the first `keep` bytes of its old one. A
  // loaded line's first block of its own comes from the arena, every later one from the
  // pool (or the heap, when large), where the blocks of edited lines are reused.
  void Move(Rec& r, std::size_t n, std::size_t keep);
  void Store(Rec& r, const TSxTokenEncoder& e, TToken startState, TToken endState, std::uint64_t key);

  // The extent of the text changes since line `buf` was last tokenized: the bytes kept
  // at its start and end, and the length its tokens were made for.
  struct TEdit {
    const char* buf = nullptr;
    std::uint32_t prefix = 0, suffix = 0, oldLength = 0;
  };
  TEdit edit_;
  TSxTokenEncoder encoder_;
  std::vector<unsigned char> records_;  // SetTokens' working space

  TBlockArena arena_;  // blocks of loaded lines
  TBlockPool pool_;    // small blocks of edited lines
  SplitVector<Rec> lines_;
  TLineLengths lengths_;
};
