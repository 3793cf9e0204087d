/** @file Color.h
 ** Colour encoding and font style bits: what the syntax attributes store and a surface draws. */
#pragma once

#include <cstdint>

// Colours: 0x00BBGGRR plain, 0xFF0000nn system colour nn, DefaultColor = unset.
using TColor = std::uint32_t;
constexpr TColor DefaultColor = 0x20000000u;
constexpr TColor SystemColor(unsigned n) { return 0xFF000000u | n; }
constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == 0xFF000000u; }
constexpr TColor RGBColor(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

// Font style bits of a token kind.
enum : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4 };
