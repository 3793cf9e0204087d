// Splitting text into lines: the sixteen-bytes-at-a-time search for line ends finds every
// CR, LF and NUL wherever it falls in a block, as a byte-by-byte reading does.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "syntax/TextLines.h"

namespace {

TEST(TextLinesTest, LineEndsAreFoundAtEveryPlaceInABlock) {
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    std::string text(rng() % 80, 'x');
    for (char& c : text)
      if (rng() % 9 == 0) c = "\r\n\0"[rng() % (round % 5 == 0 ? 3 : 2)];
    // Byte by byte: CR LF and lone CRs become LF, a NUL ends the text, a final break adds no line.
    std::string flat = text.substr(0, text.find('\0'));
    for (std::size_t at; (at = flat.find("\r\n")) != std::string::npos;) flat.erase(at, 1);
    std::replace(flat.begin(), flat.end(), '\r', '\n');
    std::vector<std::string> expected;
    for (std::size_t from = 0; from < flat.size();) {
      const std::size_t lf = std::min(flat.find('\n', from), flat.size());
      expected.push_back(flat.substr(from, lf - from));
      from = lf + 1;
    }
    ASSERT_EQ(SplitTextLines(text), expected) << round;
  }
}

}  // namespace
