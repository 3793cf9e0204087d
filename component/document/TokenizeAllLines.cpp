/** @file TokenizeAllLines.cpp
 ** Tokenizing every line of a long document on two threads. The other thread takes the
 ** later lines from a guessed start state (no comment open) and encodes each line's tokens
 ** apart from the buffer. This thread tokenizes the earlier lines, then stores each later
 ** one, as the other thread makes them, in the state that really reaches it: a line made
 ** in that state is copied; any other (made in another state, long, or left when the other
 ** thread stopped) is tokenized here. The result is the one-thread result. */
#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <new>
#include <stop_token>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "LineStorage.h"
#include "MemoModel.h"

namespace {

// Fewer lines than this take about a millisecond on one thread: too little to share.
constexpr int kTwoThreadLines = 1 << 13;
// The share of lines this thread tokenizes before it stores the other thread's: it stores
// them while the other thread goes on, and storing a made line costs a fifth of making it.
constexpr double kOwnShare = 0.47;

// How far behind the other thread this one stores lines.
constexpr std::size_t kDistance = 512;

// Waiting a moment for the other thread, which is busy and close ahead.
void Pause() {
#if defined(__SSE2__)
  for (int i = 0; i < 64; ++i) _mm_pause();
#endif
  std::this_thread::yield();
}

// Memory for what the other thread makes, mapped straight from the system and given back
// whole: a malloc arena of the other thread's own would keep it resident.
class TScratch {
 public:
  TScratch() = default;
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;
  ~TScratch() {
    for (const Chunk& c : chunks_) ::munmap(c.base, c.size);
  }
  // n bytes, 8-aligned, that never move. Throws std::bad_alloc.
  void* Take(std::size_t n) {
    n = (n + 7) & ~std::size_t{7};
    if (chunks_.empty() || chunks_.back().size - used_ < n) {
      const std::size_t size = (std::max(n, kChunk) + kChunk - 1) / kChunk * kChunk;
      void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (p == MAP_FAILED) throw std::bad_alloc();
      chunks_.push_back({static_cast<char*>(p), size});
      used_ = 0;
    }
    char* p = chunks_.back().base + used_;
    used_ += n;
    return p;
  }

 private:
  static constexpr std::size_t kChunk = std::size_t{8} << 20;
  struct Chunk {
    char* base;
    std::size_t size;
  };
  std::vector<Chunk> chunks_;
  std::size_t used_ = 0;
};

// A line the other thread tokenized: its encoded area and what storing it needs.
struct TMadeLine {
  static constexpr std::uint32_t kLong = 0xFFFFFFFF;  // size of a long line, stored with its checkpoints here
  const unsigned char* area;
  std::uint32_t size;  // 0: no tokens
  TToken start, end, first, last;
};

// Lines [from, to) as the other thread makes them: those `progress` counts are complete,
// and their areas never move. `progress` has a cache line of its own: the other thread
// writes it every few lines.
struct TMadeLines {
  TScratch scratch;  // taken from by this thread for `lines`, then by the other one only
  TMadeLine* lines = nullptr;
  // Twice the lines made, plus one once the other thread makes no more.
  alignas(64) std::atomic<std::size_t> progress{0};
};

// Tokenizes lines [from, to) of `buffer` from tokText. Stops early when asked to or when
// a line cannot be tokenized (a word handler throws): that line and the rest are then
// left to the storing thread, which meets the same failure where one thread would.
void MakeLines(const TLineBuffer& buffer, int from, int to, const TSxSyntaxAttributes* a, TMadeLines& made,
               const std::stop_token& stop) {
  TSxSyntaxParser tokens;
  std::vector<unsigned char> encoded;
  TToken state = tokText;
  std::size_t n = 0;  // lines made
  try {
    for (int i = from; i < to && !stop.stop_requested(); ++i) {
      const std::string_view text = buffer.Text(i);
      TMadeLine line{nullptr, 0, state, tokText, tokText, tokText};
      line.end = tokens.Parse(text, i, a, state);
      if (!TLineBuffer::TokenizesWhole(a, text.size())) {
        line.size = TMadeLine::kLong;
      } else if (tokens.Count() > 0) {
        const std::size_t most = TLineBuffer::MaxTokenAreaSize(tokens.Tokens().size());
        if (encoded.size() < most) encoded.resize(most);
        line.size = static_cast<std::uint32_t>(TLineBuffer::EncodeTokenArea(tokens.Tokens(), encoded.data()));
        void* area = made.scratch.Take(line.size);
        std::memcpy(area, encoded.data(), line.size);
        line.area = static_cast<const unsigned char*>(area);
        line.first = tokens.FirstKind();
        line.last = tokens.LastKind();
      }
      made.lines[n] = line;
      // Published a few lines at a time, so that the line it is in is not fetched back and forth.
      if ((++n & 63) == 0) made.progress.store(n * 2, std::memory_order_release);
      if (tokens.Count() > 0) state = CarriedState(line.end);
    }
  } catch (...) {
  }
  made.progress.store(n * 2 + 1, std::memory_order_release);
}

}  // namespace

bool TSxSynMemoStrings::TokenizeAllOnTwoThreads(bool repaint) {
  const int count = Count();
  const TSxSyntaxAttributes* a = Memo.SyntaxAttributes.get();
  if (count < kTwoThreadLines || std::thread::hardware_concurrency() < 2 ||
      (a && a->OnParseWord && !a->ParseWordOnAnyThread))
    return false;
  TToken state = tokText;
  auto finish = [&](int i) {
    buffer_.SetNeedsParse(i, false);
    if (repaint) Memo.InvalidateLine(i);
  };
  auto tokenize = [&](int i) {
    const TToken end = buffer_.Tokenize(i, a, state, false, scratch_);
    if (buffer_.TokenCount(i) > 0) state = CarriedState(end);
    finish(i);
  };
  const int split = static_cast<int>(count * kOwnShare);
  TMadeLines made;
  // Leaving, by the end or by an exception, stops the other thread and waits for it.
  std::jthread other;
  try {
    made.lines = static_cast<TMadeLine*>(made.scratch.Take(static_cast<std::size_t>(count - split) * sizeof(TMadeLine)));
    other = std::jthread([&](std::stop_token stop) { MakeLines(buffer_, split, count, a, made, stop); });
  } catch (const std::exception&) {
    return false;  // no memory or no thread to be had: one thread does it all
  }
  for (int i = 0; i < split; ++i) tokenize(i);
  std::size_t ready = 0;  // lines the other thread has made, as last seen
  bool ended = false;     // and whether it makes no more
  for (int i = split; i < count; ++i) {
    const auto k = static_cast<std::size_t>(i - split);
    // A line the other thread may still read is not touched here before it is made, nor
    // one close to it: their records share cache lines.
    while (k + kDistance >= ready && !ended) {
      const std::size_t seen = made.progress.load(std::memory_order_acquire);
      ready = seen / 2;
      ended = seen & 1;
      if (k + kDistance < ready || ended) break;
      Pause();
    }
    const TMadeLine& line = made.lines[k];
    if (k >= ready || line.size == TMadeLine::kLong || line.start != state) {
      tokenize(i);
      continue;
    }
    buffer_.StoreTokenArea(i, line.area, line.size, line.first, line.last, state);
    if (line.size > 0) state = CarriedState(line.end);
    finish(i);
  }
  return true;
}
