/** @file TestText.h
 ** Text helpers the suites share: cp1251 bytes from UTF-8 literals, documents as lines and
 ** long lines of source-like words. */
#pragma once

#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/Cp1251.h"

using Lines = std::vector<std::string>;

inline std::string W(std::string_view utf8) { return cp1251::FromUtf8(utf8); }
// The lines as a file holds them, each ended by `eol`.
inline std::string Joined(const Lines& lines, std::string_view eol = "\r\n") {
  std::string out;
  for (const std::string& l : lines) (out += l) += eol;
  return out;
}
// Words, numbers, strings and { } comments, each followed by a blank, to at least `bytes`
// bytes, the same every time; `starts` receives where each one begins.
inline std::string WordLine(std::size_t bytes, std::vector<std::size_t>* starts = nullptr) {
  std::mt19937 rng(5);
  const char* pieces[] = {"ab", "cde", "12", "'s t'", "{ c d }", "x.y", "fgh", "i;", "(j)", "345"};
  std::string s;
  while (s.size() < bytes) {
    if (starts) starts->push_back(s.size());
    (s += pieces[rng() % std::size(pieces)]) += ' ';
  }
  return s;
}
// "line 0", "line 1", ...
inline Lines Numbered(int n) {
  Lines out;
  for (int i = 0; i < n; ++i) out.push_back("line " + std::to_string(i));
  return out;
}
