/** @file BlockArena.cpp
 ** Chunks hold blocks in the order they were carved; only the live count says when the
 ** chunk can go, so freeing a block is a search and a decrement. */
#include "BlockArena.h"

#include <algorithm>
#include <cstdlib>
#include <new>

TBlockArena::~TBlockArena() {
  for (const Chunk& c : chunks_) std::free(c.base);
}

char* TBlockArena::Allocate(std::size_t n) {
  if (current_ < chunks_.size()) {
    Chunk& c = chunks_[current_];
    if (c.size - c.used >= n) {
      char* p = c.base + c.used;
      c.used += n;
      ++c.live;
      return p;
    }
  }
  // A block larger than a chunk gets a chunk of its own size.
  const std::size_t size = std::max(n, kChunk);
  char* base = static_cast<char*>(std::malloc(size));
  if (!base) throw std::bad_alloc();
  const auto at = std::upper_bound(chunks_.begin(), chunks_.end(), base,
                                   [](const char* p, const Chunk& c) { return p < c.base; });
  current_ = static_cast<std::size_t>(at - chunks_.begin());
  chunks_.insert(at, Chunk{base, size, n, 1});
  return base;
}

void TBlockArena::Free(const char* p) {
  auto at = std::upper_bound(chunks_.begin(), chunks_.end(), p,
                             [](const char* q, const Chunk& c) { return q < c.base; });
  --at;  // the chunk with the greatest base not above p
  if (--at->live > 0) return;
  const auto index = static_cast<std::size_t>(at - chunks_.begin());
  std::free(at->base);
  chunks_.erase(at);
  if (index == current_) current_ = chunks_.size();
  else if (index < current_) --current_;
}
