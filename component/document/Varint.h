/** @file Varint.h
 ** The variable-length integers of a line's token records: seven bits a byte, low first,
 ** the high bit set on every byte but the last. */
#pragma once

#include <cstdint>

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
