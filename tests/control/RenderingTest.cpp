// Pixels of painted rows: token colours, selection, underlines, fold marks, breakpoint lines.
#include "ControlFixture.h"

namespace {

constexpr TColor Red = RGBColor(255, 0, 0);
constexpr TColor Green = RGBColor(0, 128, 0);
constexpr TColor Yellow = RGBColor(255, 255, 0);
constexpr TColor Black = RGBColor(0, 0, 0);
constexpr TColor White = RGBColor(255, 255, 255);
constexpr TColor Grey = RGBColor(128, 128, 128);
constexpr TColor Blue = RGBColor(0, 0, 255);

class RenderingTest : public ControlFixture {
 protected:
  // The bottom pixel row of a row: text never reaches it, fills and selection do.
  int Floor(int row) const { return RowTop(row) + 15; }
  int TextRight(int row) { return memo().RowRect(row, rrText).Right; }
};

TEST_F(RenderingTest, TokensUseTheirKindsColoursAndBoldWidthsAboveEmptyRows) {
  memo().SyntaxAttributes->TokenAttrs[tokText] = TTokenAttr{Red, Yellow, fsBold};
  Load({"word  next"});
  EXPECT_GT(Count(TRect{ColX(0, 0), 0, ColX(4, 0), 15}, Red), 0);
  EXPECT_EQ(Px(ColX(0, 0), Floor(0)), Yellow);
  EXPECT_EQ(Px(ColX(4, 0) - 1, Floor(0)), Yellow);
  EXPECT_EQ(Px(ColX(5, 0), Floor(0)), Background()) << "the gap between tokens has no token background";
  int bold = 0;
  for (char c : std::string("word")) bold += memo().CharWidths[1][static_cast<unsigned char>(c)];
  EXPECT_EQ(memo().LineTextX(4, 0), bold);
  EXPECT_EQ(Px(5, RowTop(5) + 5), Plain(SystemColor(15))) << "rows below the last line: gutter and empty text";
  EXPECT_EQ(Count(memo().RowRect(5, rrText), Background()), memo().RowRect(5, rrText).Width() * 16);
}

TEST_F(RenderingTest, SelectionFillsFromStartColumnToEndColumnAcrossLines) {
  memo().SyntaxAttributes->TokenAttrs[tokText].Fore = Red;
  Load({"abcdef", "abcdef", "abcdef", "abcdef"});
  memo().Range->SetCaretPos(TTextPos{3, 1});
  memo().Range->ExtendSelection(2, true, false);
  memo().Range->ExtendSelection(-1, false, false);
  ASSERT_EQ(memo().Range->StartPos, (TTextPos{3, 1}));
  ASSERT_EQ(memo().Range->EndPos, (TTextPos{2, 3}));
  const TColor sel = memo().SelColor, bg = Background();
  const struct { int x, row; TColor c; } cells[] = {
      {ColX(1, 0), 0, bg},  {ColX(2, 1) + 1, 1, bg},  {ColX(3, 1) + 1, 1, sel}, {TextRight(1) - 1, 1, sel},
      {ColX(0, 2), 2, sel}, {TextRight(2) - 1, 2, sel}, {ColX(1, 3) + 1, 3, sel}, {ColX(2, 3) + 1, 3, bg}};
  for (const auto& c : cells) EXPECT_EQ(Px(c.x, Floor(c.row)), c.c) << "x " << c.x << " row " << c.row;
  EXPECT_EQ(Count(memo().RowRect(2, rrText), Red), 0) << "selected text is black";
  EXPECT_GT(Count(memo().RowRect(2, rrText), Black), 0);
  EXPECT_GT(Count(memo().RowRect(0, rrText), Red), 0);
}

TEST_F(RenderingTest, ErroneousWordsGetAWavyUnderline) {
  memo().SetOnParseWord([](TSxSyntaxParser&, std::string_view word, int, int, TToken& kind) {
    if (word == "bad") kind = tokErroneous;
    if (word == "odd") kind = tokErroneous2;
  });
  Load({"bad odd"});
  // The wave repeats every four pixels: 3, 2, 1, 2 pixels above the row's bottom.
  for (int x = ColX(0, 0); x <= ColX(3, 0); ++x) {
    const int fromBottom = x % 4 == 1 ? 3 : x % 4 == 3 ? 1 : 2;
    for (int h = 1; h <= 3; ++h) EXPECT_EQ(Px(x, 16 - h) == Red, h == fromBottom) << "x " << x << " height " << h;
  }
  EXPECT_GT(Count(TRect{ColX(4, 0), 13, ColX(7, 0), 16}, Green), 0) << "the second kind in green";
}

TEST_F(RenderingTest, FoldBoxesShowMinusWhenExpandedAndPlusWhenCollapsed) {
  Load({"0", "1", "2", "3", "4"});
  memo().SectionTree->AddSection(1, 3, false);
  TRect b = memo().SectionBoxRect(1, 1);
  const int cx = b.Left + 4, cy = b.Top + 4;
  const TColor face = Plain(SystemColor(15));
  // Frame and minus in black, no vertical stroke; the section line runs down to the closing stroke.
  const struct { int x, y; TColor c; } expanded[] = {
      {b.Left, b.Top, Black},  {b.Right - 1, b.Bottom - 1, Black}, {cx, cy, Black},
      {b.Left + 2, cy, Black}, {cx, b.Top + 2, face},              {cx, b.Bottom + 1, Grey},
      {cx, RowTop(2), Grey},   {cx, RowTop(3) + 2, Grey},          {cx + 3, RowTop(3) + 8, Grey},
      {cx, RowTop(3) + 12, face}};
  for (const auto& p : expanded) EXPECT_EQ(Px(p.x, p.y), p.c) << p.x << "," << p.y;

  memo().SectionTree->CollapseSection(1, false, false);
  b = memo().SectionBoxRect(1, 1);
  EXPECT_EQ(Px(b.Left + 1, b.Top + 1), White);
  EXPECT_EQ(Px(b.Left + 4, b.Top + 2), Black) << "the plus";
  EXPECT_EQ(Px(b.Left + 4, b.Bottom + 1), face);
  // The collapsed mark at the right edge of the text area.
  const int right = TextRight(1);
  for (const auto& [dx, dy] : {std::pair{32, 1}, std::pair{11, 14}, std::pair{27, 9}})
    EXPECT_EQ(Px(right - dx, RowTop(1) + dy), Blue) << dx << "," << dy;
  EXPECT_EQ(Px(right - 25, RowTop(1) + 9), Background());
}

TEST_F(RenderingTest, BreakPointLinesAreFramedOrFilled) {
  Load({"line zero", "line one", "", "x"});
  memo().BreakPoints->SetBreakPoint(1, bpsEnabled);
  memo().BreakPoints->SetBreakPoint(2, bpsEnabled);
  memo().InvalidateAll();
  const int right = TextRight(1);
  EXPECT_EQ(Px(right - 1, RowTop(1)), Red);
  EXPECT_EQ(Px(TextLeft(), RowTop(1) + 8), Red);
  EXPECT_EQ(Px(right - 30, RowTop(1) + 8), Background());

  memo().SetOptions(memo().Options() + TSxSynMemoOptions{smoSolidSpecialLine});
  EXPECT_EQ(Px(right - 30, RowTop(1) + 8), Red);
  EXPECT_EQ(Px(TextLeft() + 1, Floor(1) - 1), Red);
  EXPECT_GT(Count(memo().RowRect(1, rrText), White), 0) << "white text";
  EXPECT_EQ(Px(right - 30, RowTop(2) + 8), Background()) << "a line without tokens gets only the frame";
  EXPECT_EQ(Px(right - 1, RowTop(2)), Red);

  memo().BreakPoints->SetBreakPoint(1, bpsDisabled);
  memo().InvalidateAll();
  EXPECT_EQ(Px(right - 30, RowTop(1) + 8), RGBColor(128, 0, 0));
}

}  // namespace
