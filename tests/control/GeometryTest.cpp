// Row regions, the column/pixel mapping, hit testing and change delivery of the editor control.
#include "ControlFixture.h"

namespace {

class GeometryTest : public ControlFixture {};

TEST_F(GeometryTest, LineHeightFollowsTheFontHeight) {
  EXPECT_EQ(memo().LineHeight, 16);
  memo().SetFont("Lucida Console", -20);
  EXPECT_EQ(memo().LineHeight, 23);
  // The layout follows the font at once: dirty rows match the new row count.
  EXPECT_EQ(static_cast<int>(memo().DirtyRows.size()), memo().VisibleRows());
}

TEST_F(GeometryTest, RowRectSplitsARowIntoGutterMarginAndText) {
  Load({"a", "b"});
  const int vw = memo().VertScrollBar->Thickness();
  const TRect row = memo().RowRect(2, rrRow);
  EXPECT_EQ(row.Top, 32);
  EXPECT_EQ(row.Height(), 16);
  EXPECT_EQ(row.Right, memo().Host().ClientWidth() - vw - 1);
  EXPECT_EQ(memo().RowRect(2, rrGutter).Right, 32);
  // No sections: a two-pixel section column.
  EXPECT_EQ(memo().RowRect(2, rrMargin).Right, 34);
  EXPECT_EQ(memo().RowRect(2, rrText).Left, 34);
  EXPECT_EQ(memo().RowRect(-1, rrRow).Bottom, memo().Host().ClientHeight() - memo().HorzScrollBar->Thickness());
}

TEST_F(GeometryTest, ClassicSectionColumnCountsVisibleOrAllLevels) {
  Load({"0", "1", "2", "3", "4", "5", "6"});
  memo().SectionTree->AddSection(0, 6, false);
  memo().SectionTree->AddSection(1, 5, false);
  memo().SectionTree->AddSection(2, 4, false);
  EXPECT_EQ(memo().RowRect(0, rrMargin).Right, 32 + 3 * 16 + 2);
  memo().SectionTree->CollapseSection(0, false, false);
  EXPECT_EQ(memo().RowRect(0, rrMargin).Right, 32 + 16 + 2);
  memo().SetOptions(memo().Options() - TSxSynMemoOptions{smoAutoGutterWidth});
  EXPECT_EQ(memo().RowRect(0, rrMargin).Right, 32 + 3 * 16 + 2);
}

TEST_F(GeometryTest, VsNetStyleHasOneSectionColumnWhateverTheDepth) {
  Load({"0", "1", "2", "3", "4"});
  memo().SectionTree->AddSection(0, 4, false);
  memo().SectionTree->AddSection(1, 3, false);
  memo().SetOptions(memo().Options() + TSxSynMemoOptions{smoVSNET_SectionsStyle});
  EXPECT_EQ(memo().RowRect(0, rrMargin).Right, 32 + 16 + 2);
  // The box sits right after the gutter at every level.
  EXPECT_EQ(memo().SectionBoxRect(1, 2).Left, 34);
  EXPECT_EQ(memo().SectionBoxRect(1, 2).Top, 16 + 8 - 4);
}

TEST_F(GeometryTest, TextXAndColFromXAgreeOnCellBoundaries) {
  Load({"  alpha, beta   gamma"});
  const std::string_view text = memo().Lines->Get(0);
  for (int c = 0; c < static_cast<int>(text.size()); ++c) {
    const int left = memo().LineTextX(c, 0);
    const int right = memo().LineTextX(c + 1, 0);
    ASSERT_LT(left, right) << "column " << c;
    EXPECT_EQ(memo().ColFromX(left, 0), c);
    EXPECT_EQ(memo().ColFromX(right - 1, 0), c) << "last pixel of cell " << c;
  }
}

TEST_F(GeometryTest, ColumnsBeyondTheLineCountInBlanks) {
  Load({"ab"});
  const int blank = memo().CharWidths[0][32];
  EXPECT_EQ(memo().LineTextX(5, 0), memo().LineTextX(2, 0) + 3 * blank);
  std::int32_t token = 0;
  EXPECT_EQ(memo().ColFromX(memo().LineTextX(2, 0) + 3 * blank + 1, 0, token), 5);
  EXPECT_EQ(token, MaxInt);
  EXPECT_EQ(memo().ColFromX(10, 7), 0) << "invalid line";
  EXPECT_EQ(memo().LineTextX(3, 7), 0);
}

TEST_F(GeometryTest, ColFromXReportsTheTokenOrTheGapBeforeIt) {
  Load({"  ab  cd"});
  std::int32_t token = 7;
  memo().ColFromX(memo().LineTextX(0, 0), 0, token);
  EXPECT_EQ(token, 0) << "blanks before the first token count as token 0";
  memo().ColFromX(memo().LineTextX(3, 0), 0, token);
  EXPECT_EQ(token, 0);
  memo().ColFromX(memo().LineTextX(4, 0), 0, token);
  EXPECT_EQ(token, -1);
  memo().ColFromX(memo().LineTextX(6, 0), 0, token);
  EXPECT_EQ(token, 1);
}

TEST_F(GeometryTest, PointToTextAndPosFromPointUseTheViewOrigin) {
  LoadNumbered(50);
  memo().ScrollTo(0, 10);
  int px = 0;
  std::int32_t r = 0;
  memo().PointToText(TextLeft() + 7, 3 * 16 + 5, false, px, r);
  EXPECT_EQ(px, 7);
  EXPECT_EQ(r, 3);
  memo().PointToText(TextLeft() + 7, 3 * 16 + 5, true, px, r);
  EXPECT_EQ(r, 13);
  std::int32_t line = -1, token = -1;
  EXPECT_TRUE(memo().PosFromPoint(TextLeft() + 1, 16 + 1, line, token));
  EXPECT_EQ(line, 11);
  EXPECT_EQ(token, 0);
  LoadNumbered(10);
  EXPECT_FALSE(memo().PosFromPoint(TextLeft() + 1, 15 * 16 + 1, line, token)) << "past the last line";
}

TEST_F(GeometryTest, RowOfLineAnswersAboveHiddenBelow) {
  LoadNumbered(100);
  memo().SectionTree->AddSection(40, 45, false);
  memo().SectionTree->CollapseSection(40, false, false);
  memo().ScrollTo(0, 30);
  EXPECT_EQ(memo().RowOfLine(29), -1);
  EXPECT_EQ(memo().RowOfLine(30), 0);
  EXPECT_EQ(memo().RowOfLine(42), -2);
  EXPECT_EQ(memo().RowOfLine(46), 11);
  EXPECT_EQ(memo().RowOfLine(54), 19);
  EXPECT_EQ(memo().RowOfLine(55), -3);
}

TEST_F(GeometryTest, CursorPosBoxShowsOneBasedLineAndColumn) {
  LoadNumbered(5);
  memo().Range->SetCaretPos(TTextPos{3, 2});
  EXPECT_EQ(memo().CursorPosBox->Text(), "3: 4");
  memo().ShowCursorPos(TTextPos{-5, 0});
  EXPECT_EQ(memo().CursorPosBox->Text(), "1: 1");
}

TEST_F(GeometryTest, SwitchingTheCursorBoxOffMovesTheHorizontalBarLeft) {
  EXPECT_GT(memo().HorzScrollBar->Geometry().Left, 0);
  memo().SetOptions(memo().Options() - TSxSynMemoOptions{smoShowCursorPos});
  EXPECT_EQ(memo().CursorPosBox, nullptr);
  EXPECT_EQ(memo().HorzScrollBar->Geometry().Left, 0);
  memo().SetOptions(memo().Options() - TSxSynMemoOptions{smoShowPageScroll});
  EXPECT_EQ(memo().PageScrollBar, nullptr);
  EXPECT_EQ(memo().VertScrollBar->Geometry().Bottom,
            memo().Host().ClientHeight() - memo().HorzScrollBar->Thickness());
}

class ChangeDeliveryTest : public ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    memo().OnChange = [this](TSxMemoModel&, TChangedItems items) { delivered.push_back(items); };
    memo().PendingChanges = {};  // kinds left over from the set-up
  }
  std::vector<TChangedItems> delivered;
};

TEST_F(ChangeDeliveryTest, OptionsReportOnlyRealChanges) {
  memo().SetOptions(memo().Options());
  EXPECT_TRUE(delivered.empty());
  memo().SetOptions(memo().Options() + TSxSynMemoOptions{smoTabulatedReturn});
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_EQ(delivered[0], TChangedItems{ciOptions});
}

}  // namespace
