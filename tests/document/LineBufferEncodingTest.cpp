/** @file LineBufferEncodingTest.cpp
 ** Tokens stored in a line's block come back as they went in, for empty token lists and
 ** for values that need the longest encodings. Each case encodes on a thread of its own,
 ** so the encoder's per-thread scratch buffer starts empty (under AddressSanitizer an
 ** overrun of it is caught). */
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "document/LineBuffer.h"
#include "syntax/TokenList.h"

namespace {

class LineBufferEncodingTest : public ::testing::Test {
 protected:
  void SetUp() override { lines.Insert(0, "text of the line"); }

  // Stores the tokens from a fresh thread and reads them back.
  std::vector<TSxSyntaxToken> RoundTrip(const TSxSyntaxParser& tokens, TToken state) {
    std::thread([&] { lines.SetTokens(0, tokens, state); }).join();
    TSxSyntaxParser out;
    lines.GetTokens(0, out);
    return out.Tokens();
  }

  TLineBuffer lines;
};

TEST_F(LineBufferEncodingTest, EmptyTokenListIsStored) {
  const TSxSyntaxParser none;
  EXPECT_TRUE(RoundTrip(none, 7).empty());
  EXPECT_EQ(lines.TokenCount(0), 0);
  EXPECT_EQ(lines.StartState(0), 7);
  EXPECT_EQ(lines.Text(0), "text of the line");
}

TEST_F(LineBufferEncodingTest, LongestEncodingsRoundTrip) {
  for (std::uint32_t n : {1u, 2u, 40u}) {
    TSxSyntaxParser tokens;
    std::uint32_t pos = 1;
    for (std::uint32_t k = 0; k < n; ++k) {
      // Gaps and lengths of 2^28 and more take five bytes each.
      pos += 0x10000000u;
      tokens.AddToken(pos, 0x0FFFFFFFu + k, static_cast<TToken>(250 + k % 6));
      pos += 0x0FFFFFFFu + k;
    }
    const auto back = RoundTrip(tokens, 3);
    ASSERT_EQ(back.size(), n);
    for (std::uint32_t k = 0; k < n; ++k) {
      EXPECT_EQ(back[k].Start, tokens.Tokens()[k].Start) << n << ":" << k;
      EXPECT_EQ(back[k].Len, tokens.Tokens()[k].Len) << n << ":" << k;
      EXPECT_EQ(back[k].Kind, tokens.Tokens()[k].Kind) << n << ":" << k;
    }
    EXPECT_EQ(lines.Text(0), "text of the line");
  }
}

}  // namespace
