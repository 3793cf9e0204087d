// Splitting text into lines: the sixteen-bytes-at-a-time search for line ends finds every
// CR, LF and NUL wherever it falls in a block, as a byte-by-byte reading does.
#include <gtest/gtest.h>

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
    std::vector<std::string> expected;
    std::string line;
    std::size_t p = 0;
    for (; p < text.size() && text[p] != '\0'; ++p) {
      if (text[p] != '\r' && text[p] != '\n') {
        line += text[p];
        continue;
      }
      expected.push_back(line), line.clear();
      if (text[p] == '\r' && p + 1 < text.size() && text[p + 1] == '\n') ++p;
    }
    if (!line.empty()) expected.push_back(line);
    ASSERT_EQ(SplitTextLines(text), expected) << round;
  }
}

}  // namespace
