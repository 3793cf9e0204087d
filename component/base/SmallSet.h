/** @file SmallSet.h
 ** A set over a small enumeration, stored in the narrowest integer that holds it. */
#pragma once

#include <initializer_list>

template <typename E, typename Bits>
class TSmallSet {
 public:
  constexpr TSmallSet() = default;
  constexpr TSmallSet(std::initializer_list<E> items) {
    for (E e : items) bits_ |= Bit(e);
  }
  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr Bits ToBits() const { return bits_; }
  constexpr TSmallSet& operator+=(TSmallSet o) { bits_ |= o.bits_; return *this; }
  constexpr TSmallSet& operator-=(TSmallSet o) { bits_ &= static_cast<Bits>(~o.bits_); return *this; }
  constexpr TSmallSet& operator+=(E e) { bits_ |= Bit(e); return *this; }
  constexpr TSmallSet& operator-=(E e) { bits_ &= static_cast<Bits>(~Bit(e)); return *this; }
  friend constexpr TSmallSet operator+(TSmallSet a, TSmallSet b) { return a += b; }
  friend constexpr TSmallSet operator-(TSmallSet a, TSmallSet b) { return a -= b; }
  friend constexpr bool operator==(TSmallSet a, TSmallSet b) { return a.bits_ == b.bits_; }
  constexpr bool Intersects(TSmallSet o) const { return (bits_ & o.bits_) != 0; }

 private:
  static constexpr Bits Bit(E e) { return static_cast<Bits>(Bits{1} << static_cast<unsigned>(e)); }
  Bits bits_ = 0;
};
