// Tokens stored in a line's block come back as they went in, from none to many values that
// need the longest encodings. Each store runs on a fresh thread, so the encoder's
// per-thread scratch buffer starts empty (an overrun of it shows under AddressSanitizer).
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

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

}  // namespace
