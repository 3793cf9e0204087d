// Row regions, the column/pixel mapping, hit testing and change delivery of the editor control.
#include "ControlFixture.h"

namespace {

class GeometryTest : public ControlFixture {};

TEST_F(GeometryTest, LineHeightFollowsTheFontHeight) {
  EXPECT_EQ(memo().LineHeight, 16);
  memo().SetFont("Lucida Console", -20);
  EXPECT_EQ(memo().LineHeight, 23);
  EXPECT_EQ(static_cast<int>(memo().DirtyRows.size()), memo().VisibleRows()) << "the layout follows at once";
}

TEST_F(GeometryTest, RowRectSplitsARowIntoGutterMarginAndText) {
  Load({"a", "b"});
  const TRect row = memo().RowRect(2, rrRow);
  EXPECT_EQ(row.Top, 32);
  EXPECT_EQ(row.Height(), 16);
  EXPECT_EQ(row.Right, memo().Host().ClientWidth() - memo().VertScrollBar->Thickness() - 1);
  EXPECT_EQ(memo().RowRect(2, rrGutter).Right, 32);
  EXPECT_EQ(memo().RowRect(2, rrMargin).Right, 34) << "no sections: a two-pixel section column";
  EXPECT_EQ(memo().RowRect(2, rrText).Left, 34);
  EXPECT_EQ(memo().RowRect(-1, rrRow).Bottom, memo().Host().ClientHeight() - memo().HorzScrollBar->Thickness());
}

// Classic style: a column per visible level (all levels without smoAutoGutterWidth); VS.NET style: one.
TEST_F(GeometryTest, SectionColumnsFollowTheStyleAndTheVisibleDepth) {
  Load({"0", "1", "2", "3", "4", "5", "6"});
  for (int i = 0; i < 3; ++i) memo().SectionTree->AddSection(i, 6 - i, false);
  EXPECT_EQ(memo().RowRect(0, rrMargin).Right, 32 + 3 * 16 + 2);
  memo().SetOptions(memo().Options() + TSxSynMemoOptions{smoVSNET_SectionsStyle});
  EXPECT_EQ(memo().RowRect(0, rrMargin).Right, 32 + 16 + 2);
  EXPECT_EQ(memo().SectionBoxRect(1, 2).Left, 34) << "the box sits right after the gutter at every level";
  EXPECT_EQ(memo().SectionBoxRect(1, 2).Top, 16 + 8 - 4);
  memo().SetOptions(memo().Options() - TSxSynMemoOptions{smoVSNET_SectionsStyle});
  memo().SectionTree->CollapseSection(0, false, false);
  EXPECT_EQ(memo().RowRect(0, rrMargin).Right, 32 + 16 + 2);
  memo().SetOptions(memo().Options() - TSxSynMemoOptions{smoAutoGutterWidth});
  EXPECT_EQ(memo().RowRect(0, rrMargin).Right, 32 + 3 * 16 + 2);
}

TEST_F(GeometryTest, TextXAndColFromXAgreeOnCellBoundaries) {
  Load({"  alpha, beta   gamma"});
  for (int c = 0; c < static_cast<int>(memo().Lines->Get(0).size()); ++c) {
    const int left = memo().LineTextX(c, 0), right = memo().LineTextX(c + 1, 0);
    ASSERT_LT(left, right) << "column " << c;
    EXPECT_EQ(memo().ColFromX(left, 0), c);
    EXPECT_EQ(memo().ColFromX(right - 1, 0), c) << "last pixel of cell " << c;
  }
}

// ColFromX names the token under x: blanks before the first count as token 0, a later gap as -1,
// beyond the line's end MaxInt where columns count in blanks.
TEST_F(GeometryTest, ColFromXReportsTheTokenOrTheGap) {
  Load({"  ab  cd"});
  for (const auto& [col, want] : {std::pair{0, 0}, {3, 0}, {4, -1}, {6, 1}, {11, MaxInt}}) {
    std::int32_t token = 7;
    EXPECT_EQ(memo().ColFromX(memo().LineTextX(col, 0) + 1, 0, token), col);
    EXPECT_EQ(token, want) << "column " << col;
  }
  EXPECT_EQ(memo().LineTextX(11, 0), memo().LineTextX(8, 0) + 3 * memo().CharWidths[0][32]);
  EXPECT_EQ(memo().ColFromX(10, 7), 0) << "invalid line";
  EXPECT_EQ(memo().LineTextX(3, 7), 0);
}

TEST_F(GeometryTest, PointToTextAndPosFromPointUseTheViewOrigin) {
  LoadNumbered(50);
  memo().ScrollTo(0, 10);
  int px = 0;
  std::int32_t r = 0, line = -1, token = -1;
  memo().PointToText(TextLeft() + 7, 3 * 16 + 5, false, px, r);
  EXPECT_EQ(std::pair(px, r), std::pair(7, 3));
  memo().PointToText(TextLeft() + 7, 3 * 16 + 5, true, px, r);
  EXPECT_EQ(r, 13);
  EXPECT_TRUE(memo().PosFromPoint(TextLeft() + 1, 16 + 1, line, token));
  EXPECT_EQ(std::pair(line, token), std::pair(11, 0));
  LoadNumbered(10);
  EXPECT_FALSE(memo().PosFromPoint(TextLeft() + 1, 15 * 16 + 1, line, token)) << "past the last line";
}

// RowOfLine: -1 above the view, -2 hidden in a collapsed section, -3 below the view.
TEST_F(GeometryTest, RowOfLineAnswersAboveHiddenBelow) {
  LoadNumbered(100);
  memo().SectionTree->AddSection(40, 45, false);
  memo().SectionTree->CollapseSection(40, false, false);
  memo().ScrollTo(0, 30);
  for (const auto& [line, row] : {std::pair{29, -1}, {30, 0}, {42, -2}, {46, 11}, {54, 19}, {55, -3}})
    EXPECT_EQ(memo().RowOfLine(line), row) << "line " << line;
}

TEST_F(GeometryTest, CursorPosBoxShowsOneBasedLineAndColumnAndCanBeSwitchedOff) {
  LoadNumbered(5);
  Caret(3, 2);
  EXPECT_EQ(memo().CursorPosBox->Text(), "3: 4");
  memo().ShowCursorPos(TTextPos{-5, 0});
  EXPECT_EQ(memo().CursorPosBox->Text(), "1: 1");
  EXPECT_GT(memo().HorzScrollBar->Geometry().Left, 0);
  memo().SetOptions(memo().Options() - TSxSynMemoOptions{smoShowCursorPos});
  EXPECT_EQ(memo().CursorPosBox, nullptr);
  EXPECT_EQ(memo().HorzScrollBar->Geometry().Left, 0) << "the horizontal bar takes the box's place";
  memo().SetOptions(memo().Options() - TSxSynMemoOptions{smoShowPageScroll});
  EXPECT_EQ(memo().PageScrollBar, nullptr);
  EXPECT_EQ(memo().VertScrollBar->Geometry().Bottom,
            memo().Host().ClientHeight() - memo().HorzScrollBar->Thickness());
}

TEST_F(GeometryTest, OptionsReportOnlyRealChanges) {
  std::vector<TChangedItems> delivered;
  memo().OnChange = [&](TSxMemoModel&, TChangedItems items) { delivered.push_back(items); };
  memo().PendingChanges = {};  // kinds left over from the set-up
  memo().SetOptions(memo().Options());
  EXPECT_TRUE(delivered.empty());
  memo().SetOptions(memo().Options() + TSxSynMemoOptions{smoTabulatedReturn});
  EXPECT_EQ(delivered, std::vector<TChangedItems>{TChangedItems{ciOptions}});
}

}  // namespace
