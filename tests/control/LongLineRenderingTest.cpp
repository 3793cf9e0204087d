// A line millions of pixels wide, scrolled to its start, middle and end, shows the same
// tokens and pixels as its text from there on loaded as a short line.
#include <random>

#include "ControlFixture.h"

namespace {

class LongLineRenderingTest : public ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    auto& attrs = memo().SyntaxAttributes->TokenAttrs;
    attrs[tokText].Fore = RGBColor(200, 0, 0);
    attrs[tokInteger] = TTokenAttr{RGBColor(0, 0, 200), DefaultColor, fsBold};
    for (TToken k : {tokMLCommentBeg, tokMLCommentEnd}) attrs[k].Back = RGBColor(255, 255, 0);
    for (TToken k : {tokString, tokStringEnd}) attrs[k].Fore = RGBColor(0, 150, 0);
  }
  // The text area of row 0, pixel by pixel.
  std::vector<TColor> Row() {
    const TRect t = memo().RowRect(0, rrText);
    std::vector<TColor> px;
    for (int y = 0; y < memo().LineHeight; ++y)
      for (int x = t.Left; x < t.Right; ++x) px.push_back(Px(x, y));
    return px;
  }
  std::vector<TSxSyntaxToken> TokensFrom(int line, std::uint32_t col) {
    std::vector<TSxSyntaxToken> out;
    const TSxSyntaxParser list = memo().Lines->TokenList(line);
    for (TSxSyntaxToken t : list.Tokens()) {
      if (t.Start < col) continue;
      t.Start -= col;
      out.push_back(t);
    }
    return out;
  }
};

TEST_F(LongLineRenderingTest, RowsAtStartMiddleAndEndEqualTheTextAsAShortLine) {
  std::mt19937 rng(5);
  const char* pieces[] = {"ab", "cde", "12", "'s t'", "{ c d }", "x.y", "fgh", "i;", "(j)", "345"};
  std::string line;
  std::vector<std::size_t> starts;  // columns where a piece starts after a blank
  while (line.size() < 400000) {
    starts.push_back(line.size());
    line += pieces[rng() % std::size(pieces)];
    line += ' ';
  }
  Load({line});
  const int width = memo().LineTextX(static_cast<std::int32_t>(line.size()), 0);
  ASSERT_GT(width, 2000000);
  ASSERT_GT(memo().Lines->CheckpointCount(0), 100);
  const std::size_t cases[] = {0, starts[starts.size() / 2], starts[starts.size() - 12]};
  for (const std::size_t col : cases) {
    const std::string shortLine = line.substr(col, 300);
    for (int shift : {0, 3}) {
      memo().ScrollAxis(0, memo().LineTextX(static_cast<std::int32_t>(col), 0) + shift);
      memo().InvalidateAll();
      const std::vector<TColor> longRow = Row();
      const std::vector<TSxSyntaxToken> longTokens = TokensFrom(0, static_cast<std::uint32_t>(col));
      Load({line.substr(col)});
      memo().ScrollAxis(0, shift);
      memo().InvalidateAll();
      EXPECT_EQ(longRow, Row()) << "column " << col << " shifted " << shift;
      EXPECT_EQ(longTokens, TokensFrom(0, 0)) << "column " << col;
      // A pixel gives the same column and token in both.
      std::int32_t kShort, kLong;
      const std::int32_t cShort = memo().ColFromX(shift + 100, 0, kShort);
      const std::uint32_t shortStart = memo().Lines->TokenList(0).Token(std::abs(kShort)).Start;
      Load({line});
      const int x = memo().LineTextX(static_cast<std::int32_t>(col), 0) + shift + 100;
      EXPECT_EQ(memo().ColFromX(x, 0, kLong), cShort + static_cast<std::int32_t>(col));
      EXPECT_EQ(memo().Lines->TokenList(0).Token(std::abs(kLong)).Start, shortStart + col);
    }
  }
  // Pixels add up: the line cut at piece starts into short lines, which keep no
  // checkpoints, measures the same as the long line up to each cut.
  std::vector<std::string> cuts;
  std::vector<std::size_t> cutAt;
  for (std::size_t i = 0; i + 1000 < starts.size(); i += 1000) {
    cuts.push_back(line.substr(starts[i], starts[i + 1000] - starts[i]));
    cutAt.push_back(starts[i + 1000]);
  }
  std::vector<int> longX;
  for (std::size_t c : cutAt) longX.push_back(memo().LineTextX(static_cast<std::int32_t>(c), 0));
  Load(cuts);
  int sum = 0;
  for (std::size_t i = 0; i < cuts.size(); ++i) {
    ASSERT_EQ(memo().Lines->CheckpointCount(static_cast<int>(i)), 0);
    sum += memo().LineTextX(static_cast<std::int32_t>(cuts[i].size()), static_cast<int>(i));
    EXPECT_EQ(longX[i], sum) << "up to column " << cutAt[i];
  }
  Load({line});
  // Typing keeps the pixels of the columns before and after the change right.
  for (const std::size_t col : {std::size_t{5}, line.size() / 2, line.size() - 50}) {
    Caret(static_cast<std::int32_t>(col), 0);
    memo().KeyPress('W');
    const std::string now = Line(0);
    std::vector<int> xs;
    for (std::size_t c : cutAt) xs.push_back(memo().LineTextX(static_cast<std::int32_t>(c), 0));
    Load({now});
    for (std::size_t i = 0; i < cutAt.size(); ++i)
      EXPECT_EQ(xs[i], memo().LineTextX(static_cast<std::int32_t>(cutAt[i]), 0)) << "typed at " << col;
  }
  // A comment crossing the view's right edge is drawn in the kind its run ends with.
  memo().SyntaxAttributes->TokenAttrs[tokMLCommentEnd].Fore = RGBColor(0, 0, 255);
  memo().ScrollAxis(0, 0);
  std::string words;
  while (words.size() < 20000) words += "ab cde ";
  Load({"{ " + words + "}"});
  EXPECT_GT(Count(memo().RowRect(0, rrText), RGBColor(0, 0, 255)), 0);
  Load({line});
  // The scroll bar reaches the line's end.
  memo().ScrollAxis(0, memo().HorzScrollBar->Max());
  EXPECT_EQ(memo().LeftOffset, memo().HorzScrollBar->Max());
  EXPECT_GE(memo().LeftOffset + memo().RowRect(0, rrText).Width(), width);
}

}  // namespace
