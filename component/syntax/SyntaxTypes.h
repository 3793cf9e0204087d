/** @file SyntaxTypes.h
 ** Token kinds, colour encoding and the small set type shared by the whole component. */
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// A token kind. 0..30 belong to the tokenizer; the host may use any other value.
using TToken = std::uint8_t;

inline constexpr TToken tokBlank = 0;
inline constexpr TToken tokText = 1;
inline constexpr TToken tokString = 2;
inline constexpr TToken tokStringEnd = 3;
inline constexpr TToken tokHexValue = 4;
inline constexpr TToken tokInteger = 5;
inline constexpr TToken tokFloat = 6;
inline constexpr TToken tokILComment = 7;
inline constexpr TToken tokMLCommentBeg = 8;
inline constexpr TToken tokMLCommentEnd = 9;
inline constexpr TToken tokELCommentBeg = 10;
inline constexpr TToken tokELCommentEnd = 11;
inline constexpr TToken tokEndLine = 12;
inline constexpr TToken tokParenBeg = 13;
inline constexpr TToken tokParenEnd = 14;
inline constexpr TToken tokBrackedBeg = 15;
inline constexpr TToken tokBracketEnd = 16;
inline constexpr TToken tokOperator = 17;
inline constexpr TToken tokPoint = 18;
inline constexpr TToken tokComma = 19;
inline constexpr TToken tokReference = 20;
inline constexpr TToken tokDereference = 21;
inline constexpr TToken tokReserved = 22;
inline constexpr TToken tokILCompDir = 23;
inline constexpr TToken tokMLCompDirBeg = 24;
inline constexpr TToken tokMLCompDirEnd = 25;
inline constexpr TToken tokChar = 26;
inline constexpr TToken tokCharEnd = 27;
inline constexpr TToken tokErroneous = 28;
inline constexpr TToken tokErroneous2 = 29;
inline constexpr TToken tokReservedSIO = 30;

// True for the kinds whose token leaves a multi-line comment or directive open.
constexpr bool IsOpenMultiLineKind(TToken k) {
  return k == tokMLCommentBeg || k == tokELCommentBeg || k == tokMLCompDirBeg;
}

// Colours: 0x00BBGGRR plain, 0xFF0000nn system colour nn, DefaultColor = unset.
using TColor = std::uint32_t;
constexpr TColor DefaultColor = 0x20000000u;
constexpr TColor SystemColor(unsigned n) { return 0xFF000000u | n; }
constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == 0xFF000000u; }
constexpr TColor RGBColor(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

// Font style bits of a token kind.
enum : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4 };

// A set over a small enumeration, stored in the narrowest integer that holds it.
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
