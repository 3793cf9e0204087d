/** @file BlockArena.h
 ** The memory of line blocks. TBlockArena packs the blocks of a file being loaded one
 ** after another in large chunks, with no header per block; a chunk goes back to the
 ** system when its last block has been freed. TBlockPool serves the small blocks of edited
 ** lines from free lists by size, so an edit never waits for the heap to tidy up. */
#pragma once

#include <cstddef>
#include <vector>

class TBlockArena {
 public:
  TBlockArena() = default;
  TBlockArena(const TBlockArena&) = delete;
  TBlockArena& operator=(const TBlockArena&) = delete;
  ~TBlockArena() { Reset(); }

  // n > 0. Throws std::bad_alloc.
  char* Allocate(std::size_t n);
  // p came from Allocate and was not freed yet.
  void Free(const char* p);
  // Frees every block at once.
  void Reset();

 private:
  static constexpr std::size_t kChunk = std::size_t{1} << 20;
  struct Chunk {
    char* base;
    std::size_t size;
    std::size_t used;  // bytes handed out from the start
    std::size_t live;  // blocks handed out and not freed
  };
  std::vector<Chunk> chunks_;  // ascending by base, so a block's chunk is found by search
  std::size_t current_ = 0;    // the chunk blocks are carved from; chunks_.size() when none
};

// Blocks of up to kLargest bytes, sizes rounded up to kGranule. A freed block goes on the
// list of its size and is the next one of that size handed out. The heap would do the same
// until it has to grow and first sweeps up every small block freed since the last time:
// after a few hundred thousand re-tokenized lines that sweep alone takes milliseconds.
class TBlockPool {
 public:
  static constexpr std::size_t kGranule = 16, kLargest = 256;
  TBlockPool() = default;
  TBlockPool(const TBlockPool&) = delete;
  TBlockPool& operator=(const TBlockPool&) = delete;
  ~TBlockPool() { Reset(); }

  // 0 < n <= kLargest. Throws std::bad_alloc.
  char* Allocate(std::size_t n);
  // n is the size p was allocated with.
  void Free(char* p, std::size_t n);
  // Gives every chunk back; no block may be in use.
  void Reset();

 private:
  static constexpr std::size_t kChunk = std::size_t{1} << 20;
  std::vector<char*> chunks_;
  std::size_t used_ = kChunk;  // bytes carved from the last chunk
  char* free_[kLargest / kGranule + 1] = {};  // by size in granules; each block's first bytes link the next
};
