/** @file SplitVector.h
 ** A gap buffer of trivially copyable elements: insertions and deletions near the
 ** last edit cost O(1) amortised however long the vector is. */
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>

template <typename T>
class SplitVector {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  T& operator[](std::size_t i) {
    assert(i < size_);
    return data_[i < gapStart_ ? i : i + gapLen_];
  }
  const T& operator[](std::size_t i) const {
    assert(i < size_);
    return data_[i < gapStart_ ? i : i + gapLen_];
  }

  void reserve(std::size_t n) {
    if (n > capacity_) Reallocate(n);
  }

  // Inserts count copies of value before position pos.
  void insert(std::size_t pos, std::size_t count, const T& value) {
    if (count == 0) return;
    // Growing by an eighth keeps inserts amortised O(1) while a document of millions of
    // lines does not double its line records for one Enter.
    if (gapLen_ < count) Reallocate(std::max(capacity_ + capacity_ / 8, size_ + count + 64));
    MoveGapTo(pos);
    for (std::size_t i = 0; i < count; ++i) data_[gapStart_ + i] = value;
    gapStart_ += count;
    gapLen_ -= count;
    size_ += count;
  }
  void push_back(const T& value) { insert(size_, 1, value); }

  void erase(std::size_t pos, std::size_t count) {
    if (count == 0) return;
    MoveGapTo(pos);
    gapLen_ += count;
    size_ -= count;
  }

  void clear() {
    gapStart_ = 0;
    gapLen_ = capacity_;
    size_ = 0;
  }


 private:
  void MoveGapTo(std::size_t pos) {
    if (pos < gapStart_) {
      std::memmove(&data_[pos + gapLen_], &data_[pos], (gapStart_ - pos) * sizeof(T));
    } else if (pos > gapStart_) {
      std::memmove(&data_[gapStart_], &data_[gapStart_ + gapLen_], (pos - gapStart_) * sizeof(T));
    }
    gapStart_ = pos;
  }

  void Reallocate(std::size_t newCapacity) {
    std::unique_ptr<T[]> fresh(new T[newCapacity]);
    if (size_) {
      std::memcpy(fresh.get(), data_.get(), gapStart_ * sizeof(T));
      std::memcpy(fresh.get() + newCapacity - (size_ - gapStart_), data_.get() + gapStart_ + gapLen_,
                  (size_ - gapStart_) * sizeof(T));
    }
    data_ = std::move(fresh);
    capacity_ = newCapacity;
    gapLen_ = capacity_ - size_;
  }

  std::unique_ptr<T[]> data_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  std::size_t gapStart_ = 0;
  std::size_t gapLen_ = 0;
};
