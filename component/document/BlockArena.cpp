/** @file BlockArena.cpp
 ** Arena chunks hold blocks in the order they were carved; only the live count says when
 ** the chunk can go, so freeing a block is a search and a decrement. Pool blocks are never
 ** searched for: a size's free list is a stack threaded through the free blocks. */
#include "BlockArena.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

// Chunks are mapped straight from the system, so a chunk given back (after New, or
// another Open) is the system's again at once.
namespace {
char* MapChunk(std::size_t size) {
  void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  return static_cast<char*>(p);
}
}  // namespace

void TBlockArena::Reset() {
  for (const Chunk& c : chunks_) ::munmap(c.base, c.size);
  chunks_.clear();
  current_ = 0;
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
  char* base = MapChunk(size);
  const auto at = std::upper_bound(chunks_.begin(), chunks_.end(), base,
                                   [](const char* p, const Chunk& c) { return p < c.base; });
  const auto index = static_cast<std::size_t>(at - chunks_.begin());
  try {
    chunks_.insert(at, Chunk{base, size, n, 1});
  } catch (...) {
    ::munmap(base, size);
    throw;
  }
  current_ = index;
  return base;
}

void TBlockArena::Free(const char* p) {
  auto at = std::upper_bound(chunks_.begin(), chunks_.end(), p,
                             [](const char* q, const Chunk& c) { return q < c.base; });
  --at;  // the chunk with the greatest base not above p
  if (--at->live > 0) return;
  const auto index = static_cast<std::size_t>(at - chunks_.begin());
  ::munmap(at->base, at->size);
  chunks_.erase(at);
  if (index == current_) current_ = chunks_.size();
  else if (index < current_) --current_;
}

char* TBlockPool::Allocate(std::size_t n) {
  const std::size_t granules = (n + kGranule - 1) / kGranule;
  if (char* p = free_[granules]) {
    std::memcpy(&free_[granules], p, sizeof(char*));
    return p;
  }
  const std::size_t size = granules * kGranule;
  if (kChunk - used_ < size) {
    char* chunk = MapChunk(kChunk);
    try {
      chunks_.push_back(chunk);
    } catch (...) {
      ::munmap(chunk, kChunk);
      throw;
    }
    used_ = 0;
  }
  char* p = chunks_.back() + used_;
  used_ += size;
  return p;
}

void TBlockPool::Free(char* p, std::size_t n) {
  const std::size_t granules = (n + kGranule - 1) / kGranule;
  std::memcpy(p, &free_[granules], sizeof(char*));
  free_[granules] = p;
}

void TBlockPool::Reset() {
  for (char* c : chunks_) ::munmap(c, kChunk);
  chunks_.clear();
  used_ = kChunk;
  std::fill(std::begin(free_), std::end(free_), nullptr);
}
