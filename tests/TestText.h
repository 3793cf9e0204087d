/** @file TestText.h
 ** Text helpers the suites share: cp1251 bytes from UTF-8 literals and documents as lines. */
#pragma once

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
// "line 0", "line 1", ...
inline Lines Numbered(int n) {
  Lines out;
  for (int i = 0; i < n; ++i) out.push_back("line " + std::to_string(i));
  return out;
}
