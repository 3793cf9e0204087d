/** @file SyntaxTypes.h
 ** Token kinds, colour encoding and the small set type shared by the whole component. */
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// A token kind. 0..30 belong to the tokenizer; the host may use any other value.
using TToken = std::uint8_t;

enum : TToken {
  tokBlank = 0, tokText, tokString, tokStringEnd, tokHexValue, tokInteger, tokFloat,
  tokILComment, tokMLCommentBeg, tokMLCommentEnd, tokELCommentBeg, tokELCommentEnd,
  tokEndLine, tokParenBeg, tokParenEnd, tokBrackedBeg, tokBracketEnd, tokOperator,
  tokPoint, tokComma, tokReference, tokDereference, tokReserved, tokILCompDir,
  tokMLCompDirBeg, tokMLCompDirEnd, tokChar, tokCharEnd, tokErroneous, tokErroneous2,
  tokReservedSIO
};

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
  static constexpr TSmallSet FromBits(Bits b) { TSmallSet s; s.bits_ = b; return s; }
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
