/** @file Varint.h
 ** A line's token records and the variable-length integers in them: seven bits a byte,
 ** low first, the high bit set on every byte but the last. */
#pragma once

#include <cstddef>
#include <cstdint>

#include "../syntax/SyntaxTypes.h"

inline std::uint32_t GetVarint(const unsigned char*& p) {
  std::uint32_t v = 0;
  for (int shift = 0;; shift += 7) {
    const unsigned char b = *p++;
    v |= std::uint32_t{b & 0x7Fu} << shift;
    if (!(b & 0x80)) return v;
  }
}

// Writes v at out and answers the byte after it; at most five bytes.
inline unsigned char* PutVarint(unsigned char* out, std::uint32_t v) {
  while (v >= 0x80) {
    *out++ = static_cast<unsigned char>(v | 0x80);
    v >>= 7;
  }
  *out++ = static_cast<unsigned char>(v);
  return out;
}

// One token record: the gap since the previous token's end, the length and the kind. Most
// tokens follow a blank or nothing and are short, so gap < 4 and length < 32 pack into
// one byte 0ggl llll; any other token is 0x80 and the two as varints. The kind byte ends
// the record: two bytes for a typical token, kMaxTokenRecord at most.
constexpr std::size_t kMaxTokenRecord = 12;

inline unsigned char* PutToken(unsigned char* out, std::uint32_t gap, std::uint32_t len, TToken kind) {
  if (gap < 4 && len < 32) {
    *out++ = static_cast<unsigned char>(gap << 5 | len);
  } else {
    *out++ = 0x80;
    out = PutVarint(PutVarint(out, gap), len);
  }
  *out++ = kind;
  return out;
}

inline TToken GetToken(const unsigned char*& p, std::uint32_t& gap, std::uint32_t& len) {
  const unsigned char b = *p++;
  if (b < 0x80) {
    gap = b >> 5;
    len = b & 31u;
  } else {
    gap = GetVarint(p);
    len = GetVarint(p);
  }
  return *p++;
}
