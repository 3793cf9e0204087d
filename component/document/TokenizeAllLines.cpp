/** @file TokenizeAllLines.cpp
 ** Tokenizing every line of a long document on two threads. The other thread takes the
 ** later lines from a guessed start state (no comment open) and encodes each line's tokens
 ** apart from the buffer. This thread tokenizes the earlier lines, then stores each later
 ** one, as the other thread makes them, in the state that really reaches it: a line made
 ** in that state is copied; any other (made in another state, long, or left when the other
 ** thread stopped) is tokenized here. The result is the one-thread result. */
#include <atomic>
#include <cstring>
#include <memory>
#include <stop_token>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "BlockArena.h"
#include "LineStorage.h"
#include "MemoModel.h"

namespace {

// Fewer lines than this are tokenized faster than a thread starts.
constexpr int kTwoThreadLines = 1 << 16;
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

// A line the other thread tokenized: its encoded area and what storing it needs.
struct TMadeLine {
  const unsigned char* area;
  std::uint32_t size;
  TToken start, end, first, last;
  bool hasTokens;
  bool storable;  // false for a long line, which is stored with its checkpoints here
};

// Lines [from, to) as the other thread makes them: those `progress` counts are complete,
// and their areas, in chunks mapped from the system, never move. `progress` has a cache
// line of its own: the other thread writes it every few lines.
struct TMadeLines {
  explicit TMadeLines(std::size_t n) : lines(std::make_unique_for_overwrite<TMadeLine[]>(n)) {}
  std::unique_ptr<TMadeLine[]> lines;
  // Twice the lines made, plus one once the other thread makes no more.
  alignas(64) std::atomic<std::size_t> progress{0};
  alignas(64) TBlockArena areas;
};

// Tokenizes lines [from, to) of `buffer` from tokText. Stops early when asked to or when
// a line cannot be tokenized (a word handler throws): that line and the rest are then
// left to the storing thread, which meets the same failure where one thread would.
void MakeLines(const TLineBuffer& buffer, int from, int to, const TSxSyntaxAttributes* a, TMadeLines& made,
               const std::stop_token& stop) {
  TSxSyntaxParser scratch;
  std::vector<unsigned char> encoded;
  TToken state = tokText;
  std::size_t n = 0;  // lines made
  try {
    for (int i = from; i < to && !stop.stop_requested(); ++i) {
      const std::string_view text = buffer.Text(i);
      TMadeLine line{nullptr, 0, state, tokText, tokText, tokText, false, false};
      line.end = scratch.Parse(text, i, a, state);
      line.storable = TLineBuffer::TokenizesWhole(a, text.size());
      line.hasTokens = scratch.Count() > 0;
      if (line.storable && line.hasTokens) {
        const std::size_t most = TLineBuffer::MaxTokenAreaSize(scratch.Tokens().size());
        if (encoded.size() < most) encoded.resize(most);
        line.size = static_cast<std::uint32_t>(TLineBuffer::EncodeTokenArea(scratch.Tokens(), encoded.data()));
        char* area = made.areas.Allocate(line.size);
        std::memcpy(area, encoded.data(), line.size);
        line.area = reinterpret_cast<const unsigned char*>(area);
        line.first = scratch.FirstKind();
        line.last = scratch.LastKind();
      }
      made.lines[static_cast<std::size_t>(i - from)] = line;
      // Published a few lines at a time, so that the line it is in is not fetched back and forth.
      if ((++n & 63) == 0) {
        made.progress.store(n * 2, std::memory_order_release);
      }
      if (line.hasTokens) state = CarriedState(line.end);
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
  TMadeLines made(static_cast<std::size_t>(count - split));
  const TMadeLine* const lines = made.lines.get();
  // Leaving, by the end or by an exception, stops the other thread and waits for it.
  std::jthread other([&](std::stop_token stop) { MakeLines(buffer_, split, count, a, made, stop); });
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
    if (k >= ready || !lines[k].storable || lines[k].start != state) {
      tokenize(i);
      continue;
    }
    const TMadeLine& line = lines[k];
    buffer_.StoreTokenArea(i, line.area, line.size, line.first, line.last, state);
    if (line.hasTokens) state = CarriedState(line.end);
    finish(i);
  }
  return true;
}
