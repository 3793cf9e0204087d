/** @file TokenizeAllLines.cpp
 ** Tokenizing every line of a long document on two threads. The lines are cut into blocks
 ** in two runs: this thread tokenizes the first run's blocks in order and stores them at
 ** once; the other thread makes the second run's blocks in order from a guessed start
 ** state (no comment open), each line's token area encoded apart from the buffer. This
 ** thread then stores the made blocks in order, copying each line made in the state that
 ** really reaches it and tokenizing any other again (made in another state, or long), so
 ** the result is the one-thread result. A thread that has run out of blocks takes the
 ** last untaken block of the other's run and makes it ahead: a thread slowed by the
 ** machine does less, not the other one waiting for it. */
#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "BlockArena.h"
#include "LineStorage.h"
#include "MemoModel.h"

namespace {

// Fewer lines than this take a few milliseconds on one thread, and the kilobytes a second
// thread leaves behind would weigh on so small a document's memory.
constexpr int kTwoThreadLines = 1 << 16;
// Lines in a block: a fraction of a millisecond of work.
constexpr int kBlockLines = 2048;
// The share of blocks in this thread's run: it also stores the other thread's, which
// costs about a fifth of making them.
constexpr double kOwnShare = 0.47;

// Waiting a moment for the other thread to finish the block to be stored next.
void Pause() {
#if defined(__SSE2__)
  for (int i = 0; i < 64; ++i) _mm_pause();
#endif
  std::this_thread::yield();
}

// A line made ahead: its encoded area and what storing it needs.
struct TMadeLine {
  static constexpr std::uint32_t kLong = 0xFFFFFFFF;  // size of a long line, stored with its checkpoints
  const unsigned char* area;
  std::uint32_t size;  // 0: no tokens
  TToken start, end, first, last;
};

// The blocks of a document being tokenized on two threads: this thread's run
// [0, ownEnd) is taken from its start, the other's [otherNext, otherEnd) too, and either
// run's last untaken block by the thread that has none left. A block made ahead has its
// lines in `lines` once its state says so.
struct TBlocks {
  enum : std::uint8_t { kPending, kMade, kFailed };
  explicit TBlocks(int count)
      : count(count), total((count + kBlockLines - 1) / kBlockLines), lines(static_cast<std::size_t>(total)),
        state(std::make_unique<std::atomic<std::uint8_t>[]>(static_cast<std::size_t>(total))),
        ownEnd(std::max(1, static_cast<int>(total * kOwnShare))), otherNext(ownEnd), otherEnd(total) {}
  int First(int b) const { return b * kBlockLines; }
  int End(int b) const { return std::min(count, (b + 1) * kBlockLines); }

  // This thread's next block, stored at once; -1 when its run is all taken.
  int TakeOwn() {
    const std::lock_guard<std::mutex> lock(mutex);
    return ownNext < ownEnd ? ownNext++ : -1;
  }
  // The other thread's next block, or the last untaken one of this thread's run; -1 for none.
  int TakeOthers() {
    const std::lock_guard<std::mutex> lock(mutex);
    if (otherNext < otherEnd) return otherNext++;
    return ownNext < ownEnd ? --ownEnd : -1;
  }
  // For this thread: block b when nobody has taken it (the other thread stopped before
  // it), else the last untaken block of the other's run to make ahead; -1 for none.
  int TakeStoredOrLast(int b, bool& inOrder) {
    const std::lock_guard<std::mutex> lock(mutex);
    inOrder = b == otherNext && otherNext < otherEnd;
    if (inOrder) return otherNext++;
    return otherNext < otherEnd ? --otherEnd : -1;
  }

  const int count, total;
  std::vector<TMadeLine*> lines;
  std::unique_ptr<std::atomic<std::uint8_t>[]> state;
  std::mutex mutex;  // over the runs' bounds: taken once a block
  int ownNext = 0, ownEnd, otherNext, otherEnd;
};

// What a thread needs to make blocks ahead. Each thread has its own; the areas it takes
// stay until the blocks are stored. They come from an arena mapped from the system and
// given back whole: the other thread's own malloc arena would keep what it freed resident.
struct TMaker {
  TBlockArena memory;
  // n bytes that never move; rounded up to keep every block's line records aligned.
  void* Take(std::size_t n) { return memory.Allocate((n + alignof(TMadeLine) - 1) & ~(alignof(TMadeLine) - 1)); }
  TSxSyntaxParser tokens;
  std::vector<unsigned char> encoded;

  // Tokenizes block b from tokText into memory of this maker's, apart from the buffer.
  void Make(const TLineBuffer& buffer, const TSxSyntaxAttributes* a, TBlocks& blocks, int b) {
    auto* lines = static_cast<TMadeLine*>(Take(sizeof(TMadeLine) * kBlockLines));
    TToken state = tokText;
    for (int i = blocks.First(b); i < blocks.End(b); ++i) {
      const std::string_view text = buffer.Text(i);
      TMadeLine line{nullptr, 0, state, tokText, tokText, tokText};
      line.end = tokens.Parse(text, i, a, state);
      if (!TLineBuffer::TokenizesWhole(a, text.size())) {
        line.size = TMadeLine::kLong;
      } else if (tokens.Count() > 0) {
        const std::size_t most = TLineBuffer::MaxTokenAreaSize(tokens.Tokens().size());
        if (encoded.size() < most) encoded.resize(most);
        line.size = static_cast<std::uint32_t>(TLineBuffer::EncodeTokenArea(tokens.Tokens(), encoded.data()));
        void* area = Take(line.size);
        std::memcpy(area, encoded.data(), line.size);
        line.area = static_cast<const unsigned char*>(area);
        line.first = tokens.FirstKind();
        line.last = tokens.LastKind();
      }
      lines[i - blocks.First(b)] = line;
      if (tokens.Count() > 0) state = CarriedState(line.end);
    }
    blocks.lines[static_cast<std::size_t>(b)] = lines;
    blocks.state[b].store(TBlocks::kMade, std::memory_order_release);
  }
  // Make, or mark the block failed when it cannot be made (a word handler throws, or no
  // memory): this thread tokenizes it again in its turn, so that the failure reaches the
  // caller at the line where one thread would meet it.
  bool TryMake(const TLineBuffer& buffer, const TSxSyntaxAttributes* a, TBlocks& blocks, int b) {
    try {
      Make(buffer, a, blocks, b);
      return true;
    } catch (...) {
      blocks.state[b].store(TBlocks::kFailed, std::memory_order_release);
      return false;
    }
  }
};

// The other thread: makes blocks ahead until none is left, one fails, or it is asked to stop.
void MakeBlocks(const TLineBuffer& buffer, const TSxSyntaxAttributes* a, TBlocks& blocks, TMaker& maker,
                const std::stop_token& stop) {
  for (int b; !stop.stop_requested() && (b = blocks.TakeOthers()) >= 0;)
    if (!maker.TryMake(buffer, a, blocks, b)) return;
}

}  // namespace

bool TSxSynMemoStrings::TokenizeAllOnTwoThreads(bool repaint) {
  const int count = Count();
  const TSxSyntaxAttributes* a = Memo.SyntaxAttributes.get();
  if (count < kTwoThreadLines || std::thread::hardware_concurrency() < 2 ||
      (a && a->OnParseWord && !a->ParseWordOnAnyThread))
    return false;
  TToken state = tokText;  // the state reaching the next line to store
  auto tokenize = [&](int i) {
    const TToken end = buffer_.Tokenize(i, a, state, false, scratch_);
    if (buffer_.TokenCount(i) > 0) state = CarriedState(end);
  };
  auto finish = [&](int i) {
    buffer_.SetNeedsParse(i, false);
    if (repaint) Memo.InvalidateLine(i);
  };
  std::unique_ptr<TBlocks> blocks;
  std::unique_ptr<TMaker> mine, theirs;
  // Leaving, by the end or by an exception, stops the other thread and waits for it.
  std::jthread other;
  try {
    blocks = std::make_unique<TBlocks>(count);
    mine = std::make_unique<TMaker>();
    theirs = std::make_unique<TMaker>();
    other = std::jthread([&](std::stop_token stop) { MakeBlocks(buffer_, a, *blocks, *theirs, stop); });
  } catch (const std::exception&) {
    return false;  // no memory or no thread to be had: one thread does it all
  }
  auto direct = [&](int b) {
    for (int i = blocks->First(b); i < blocks->End(b); ++i) tokenize(i), finish(i);
  };
  int stored = 0;  // blocks before it are stored
  for (int b; (b = blocks->TakeOwn()) >= 0; stored = b + 1) direct(b);
  while (stored < blocks->total) {
    const std::uint8_t made = blocks->state[stored].load(std::memory_order_acquire);
    if (made == TBlocks::kMade) {
      const TMadeLine* lines = blocks->lines[static_cast<std::size_t>(stored)];
      for (int i = blocks->First(stored); i < blocks->End(stored); ++i) {
        const TMadeLine& line = lines[i - blocks->First(stored)];
        if (line.size == TMadeLine::kLong || line.start != state) {
          tokenize(i);
        } else {
          buffer_.StoreTokenArea(i, line.area, line.size, line.first, line.last, state);
          if (line.size > 0) state = CarriedState(line.end);
        }
        finish(i);
      }
      ++stored;
      continue;
    }
    if (made == TBlocks::kFailed) {
      direct(stored++);
      continue;
    }
    // The other thread is making it, or stopped before it.
    bool inOrder = false;
    const int b = blocks->TakeStoredOrLast(stored, inOrder);
    if (inOrder) direct(stored++);
    else if (b >= 0) mine->TryMake(buffer_, a, *blocks, b);
    else Pause();
  }
  return true;
}
