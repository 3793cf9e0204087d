/** @file Cp1251.cpp
 ** Own tables of the code page, independent of any locale. */
#include "Cp1251.h"

#include <array>

namespace cp1251 {
namespace {

// Code points of the bytes 0x80..0xBF; 0x98 is unassigned and maps to U+0098 so text round-trips.
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457};

// Upper/lower case pairs among the bytes 0x80..0xBF.
constexpr unsigned char kCasePairs[][2] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E},
    {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
    {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};

struct Tables {
  std::array<unsigned char, 256> lower{};
  std::array<bool, 256> alnum{};
  std::array<std::uint16_t, 256> weight{};  // collation weight of the case-folded byte
  Tables() {
    for (int c = 0; c < 256; ++c) lower[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) lower[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDF; ++c) lower[c] = static_cast<unsigned char>(c + 32);
    for (auto& p : kCasePairs) lower[p[0]] = p[1];
    for (int c = '0'; c <= '9'; ++c) alnum[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) alnum[c] = alnum[c + 32] = true;
    for (int c = 0xC0; c <= 0xFF; ++c) alnum[c] = true;
    for (auto& p : kCasePairs) alnum[p[0]] = alnum[p[1]] = true;
    // Weights: every byte sorts by its own code, except that Cyrillic letters sort
    // after all Latin ones in alphabetical order with ё right after е.
    for (int c = 0; c < 256; ++c) weight[c] = static_cast<std::uint16_t>(c);
    for (int c = 0xE0; c <= 0xFF; ++c) {
      int rank = c - 0xE0;                     // а=0 .. я=31
      weight[c] = static_cast<std::uint16_t>(0x400 + rank * 2 + (rank > 5 ? 2 : 0));
    }
    weight[0xB8] = static_cast<std::uint16_t>(0x400 + 5 * 2 + 1);  // ё between е and ж
    for (auto& p : kCasePairs)
      if (p[1] != 0xB8) weight[p[1]] = static_cast<std::uint16_t>(0x500 + p[1]);
  }
};

const Tables& T() {
  static const Tables t;
  return t;
}

}  // namespace

char32_t ToUnicode(unsigned char c) {
  if (c < 0x80) return c;
  if (c >= 0xC0) return 0x0410 + (c - 0xC0);
  return kHigh[c - 0x80];
}

char FromUnicode(char32_t u) {
  if (u < 0x80) return static_cast<char>(u);
  if (u >= 0x0410 && u <= 0x044F) return static_cast<char>(0xC0 + (u - 0x0410));
  for (int i = 0; i < 64; ++i)
    if (kHigh[i] == u) return static_cast<char>(0x80 + i);
  return '?';
}

std::u32string Decode(std::string_view bytes) {
  std::u32string r;
  r.reserve(bytes.size());
  for (char c : bytes) r.push_back(ToUnicode(static_cast<unsigned char>(c)));
  return r;
}

std::string Encode(std::u32string_view text) {
  std::string r;
  r.reserve(text.size());
  for (char32_t u : text) r.push_back(FromUnicode(u));
  return r;
}

std::string FromUtf8(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (n < 0 || i + static_cast<std::size_t>(n) >= s.size()) {
      r.push_back('?');
      ++i;
      continue;
    }
    char32_t u = n == 0 ? c : c & (0x3F >> n);
    bool ok = true;
    for (int k = 1; k <= n; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((d & 0xC0) != 0x80) { ok = false; break; }
      u = (u << 6) | (d & 0x3F);
    }
    if (!ok) { r.push_back('?'); ++i; continue; }
    r.push_back(FromUnicode(u));
    i += static_cast<std::size_t>(n) + 1;
  }
  return r;
}

std::string ToUtf8(std::string_view bytes) {
  std::string r;
  r.reserve(bytes.size() * 2);
  for (char ch : bytes) {
    char32_t u = ToUnicode(static_cast<unsigned char>(ch));
    if (u < 0x80) {
      r.push_back(static_cast<char>(u));
    } else if (u < 0x800) {
      r.push_back(static_cast<char>(0xC0 | (u >> 6)));
      r.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
      r.push_back(static_cast<char>(0xE0 | (u >> 12)));
      r.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      r.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
  }
  return r;
}

bool IsAlphaNumeric(unsigned char c) { return T().alnum[c]; }
unsigned char ToLower(unsigned char c) { return T().lower[c]; }
const unsigned char* LowerTable() { return T().lower.data(); }

int CompareText(std::string_view a, std::string_view b) {
  const Tables& t = T();
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    int wa = t.weight[t.lower[static_cast<unsigned char>(a[i])]];
    int wb = t.weight[t.lower[static_cast<unsigned char>(b[i])]];
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace cp1251
