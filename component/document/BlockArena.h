/** @file BlockArena.h
 ** Blocks carved one after another from large chunks, for the lines of a file being
 ** loaded: no heap header per block and one heap allocation per chunk. A block is freed
 ** on its own; its chunk goes back to the heap when its last block has been freed. */
#pragma once

#include <cstddef>
#include <vector>

class TBlockArena {
 public:
  TBlockArena() = default;
  TBlockArena(const TBlockArena&) = delete;
  TBlockArena& operator=(const TBlockArena&) = delete;
  ~TBlockArena();

  // n > 0. Throws std::bad_alloc.
  char* Allocate(std::size_t n);
  // p came from Allocate and was not freed yet.
  void Free(const char* p);

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
