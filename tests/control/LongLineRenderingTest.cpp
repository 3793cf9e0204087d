// A line millions of pixels wide, scrolled to its start, middle and end, shows the same pixels and
// maps pixels to the same columns and tokens as its text from there on loaded as a short line.
#include "ControlFixture.h"

namespace {

class LongLineRenderingTest : public ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    auto& attrs = memo().SyntaxAttributes->TokenAttrs;
    attrs[tokText].Fore = RGBColor(200, 0, 0);
    attrs[tokInteger] = TTokenAttr{RGBColor(0, 0, 200), DefaultColor, fsBold};
    attrs[tokMLCommentBeg].Back = attrs[tokMLCommentEnd].Back = RGBColor(255, 255, 0);
    attrs[tokString].Fore = attrs[tokStringEnd].Fore = RGBColor(0, 150, 0);
  }
  std::vector<TColor> Row() {
    const TRect t = memo().RowRect(0, rrText);
    std::vector<TColor> px;
    for (int y = 0; y < memo().LineHeight; ++y)
      for (int x = t.Left; x < t.Right; ++x) px.push_back(Px(x, y));
    return px;
  }
};

TEST_F(LongLineRenderingTest, RowsAtStartMiddleAndEndEqualTheTextAsAShortLine) {
  std::vector<std::size_t> starts;
  const std::string line = WordLine(400000, &starts);
  Load({line});
  const int width = memo().LineTextX(static_cast<std::int32_t>(line.size()), 0);
  ASSERT_TRUE(width > 2000000 && memo().Lines->CheckpointCount(0) > 100);
  for (const std::size_t col : {std::size_t{0}, starts[starts.size() / 2], starts[starts.size() - 12]}) {
    for (int shift : {0, 3}) {
      memo().ScrollAxis(0, memo().LineTextX(static_cast<std::int32_t>(col), 0) + shift);
      memo().InvalidateAll();
      const std::vector<TColor> longRow = Row();
      Load({line.substr(col)});
      memo().ScrollAxis(0, shift);
      memo().InvalidateAll();
      EXPECT_EQ(longRow, Row()) << "column " << col << " shifted " << shift;
      std::int32_t kShort, kLong;
      const std::int32_t cShort = memo().ColFromX(shift + 100, 0, kShort);
      const std::uint32_t shortStart = memo().Lines->TokenList(0).Token(std::abs(kShort)).Start;
      Load({line});
      const int x = memo().LineTextX(static_cast<std::int32_t>(col), 0) + shift + 100;
      EXPECT_EQ(memo().ColFromX(x, 0, kLong), cShort + static_cast<std::int32_t>(col));
      EXPECT_EQ(memo().Lines->TokenList(0).Token(std::abs(kLong)).Start, shortStart + col);
    }
  }
  for (const std::size_t col : {std::size_t{5}, line.size() / 2, line.size() - 50}) {
    Caret(static_cast<std::int32_t>(col), 0);
    memo().KeyPress('W');
    std::vector<int> xs;
    for (std::size_t i = 0; i < starts.size(); i += 997) xs.push_back(memo().LineTextX(std::int32_t(starts[i]), 0));
    Load({Line(0)});
    for (std::size_t i = 0; i < starts.size(); i += 997)
      EXPECT_EQ(xs[i / 997], memo().LineTextX(std::int32_t(starts[i]), 0)) << "typed at " << col;
  }
  // A comment crossing the view's right edge is drawn in the kind its run ends with.
  memo().SyntaxAttributes->TokenAttrs[tokMLCommentEnd].Fore = RGBColor(0, 0, 255);
  memo().ScrollAxis(0, 0);
  std::string words;
  for (int i = 0; i < 3000; ++i) words += "ab cde ";
  Load({"{ " + words + "}"});
  EXPECT_GT(Count(memo().RowRect(0, rrText), RGBColor(0, 0, 255)), 0);
  Load({line});
  memo().ScrollAxis(0, memo().HorzScrollBar->Max());
  EXPECT_GE(memo().LeftOffset + memo().RowRect(0, rrText).Width(), width);
}

}  // namespace
