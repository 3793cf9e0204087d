// Tokens stored in a line's block come back as they went in, from none to many values that
// need the longest encodings. Each store runs on a fresh thread, so the encoder's
// per-thread scratch buffer starts empty (an overrun of it shows under AddressSanitizer).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "document/LineBuffer.h"
#include "syntax/TokenList.h"

namespace {

TEST(LineBufferEncodingTest, TokensRoundTripFromNoneToTheLongestEncodings) {
  for (std::uint32_t n : {0u, 1u, 2u, 3u, 40u}) {
    TLineBuffer lines;
    lines.Insert(0, "text of the line");
    TSxSyntaxParser tokens;
    std::uint32_t pos = 1;
    for (std::uint32_t k = 0; k < n; ++k) {
      // Gaps and lengths of 2^28 and more take five bytes each; the rest sit on both sides
      // of the one-byte form's limits (gap 3, length 31).
      const std::uint32_t gap = k % 3 == 0 ? 0x10000000u : 3 + k % 2, len = k % 3 == 1 ? 0x0FFFFFFFu + k : 31 + k % 2;
      pos += gap;
      tokens.AddToken(pos, len, static_cast<TToken>(250 + k % 6));
      pos += len;
    }
    std::thread([&] { lines.SetTokens(0, tokens, 7); }).join();
    TSxSyntaxParser back;
    lines.GetTokens(0, back);
    EXPECT_EQ(back.Tokens(), tokens.Tokens()) << n;
    EXPECT_EQ(lines.TokenCount(0), int(n));
    EXPECT_EQ(lines.StartState(0), 7);
    EXPECT_EQ(lines.Text(0), "text of the line");
  }
}

// Loaded lines share arena chunks; edits and erasures free their blocks one by one in an
// order unrelated to the chunks', and a chunk may go only with its last block. Blocks of
// edited lines are reused. A block freed early or handed out twice shows as changed text.
TEST(LineBufferEncodingTest, LoadedLinesKeepTheirTextWhileNeighboursAreEditedAndErased) {
  std::vector<std::string> source;
  for (int i = 0; i < 3000; ++i) source.push_back(std::string(std::size_t(i % 500 == 0 ? 1500000 : 900), char('a' + i % 26)));
  std::vector<std::string> model = source;
  TLineBuffer lines;
  for (const std::string& s : source) lines.AppendBorrowed(s);
  TSxSyntaxParser tokens;
  tokens.AddToken(1, 3, 5);
  for (int i = 0; i < lines.Count(); i += 2) lines.SetTokens(i, tokens, 0);
  lines.Materialize();
  source.clear();  // the loaded bytes are gone: every line owns its text now
  for (int i = 2999; i >= 0; i -= 3) {
    if (i % 2) {
      model[std::size_t(i)] = "edited";
      lines.SetText(i, "edited");
    } else {
      model.erase(model.begin() + i);
      lines.Erase(i);
    }
  }
  // Edited lines' blocks are freed and handed out again, in sizes on both sides of the
  // largest pooled one.
  for (int round = 0; round < 3; ++round)
    for (int i = round; i < lines.Count(); i += 2) {
      model[std::size_t(i)] = std::string(std::size_t(i * 7 % 300), char('A' + round));
      lines.SetText(i, model[std::size_t(i)]);
    }
  ASSERT_EQ(lines.Count(), int(model.size()));
  for (int i = 0; i < lines.Count(); ++i) ASSERT_EQ(lines.Text(i), model[std::size_t(i)]) << i;
}

}  // namespace
