// Row regions, the column/pixel mapping, hit testing and change delivery of the editor control.
#include "ControlFixture.h"

namespace {

class GeometryTest : public ControlFixture {
 protected:
  std::int32_t MarginRight() { return memo().RowRect(0, rrMargin).Right; }
  void Option(TSxSynMemoOption o, bool on) {
    memo().SetOptions(on ? memo().Options() + TSxSynMemoOptions{o} : memo().Options() - TSxSynMemoOptions{o});
  }
};

// A 32-pixel gutter, then the section columns: one per visible level in the classic style (all levels
// without smoAutoGutterWidth), one in the VS.NET style, two pixels when there are no sections.
TEST_F(GeometryTest, RowRectSplitsARowIntoGutterSectionColumnsAndText) {
  Load({"0", "1", "2", "3", "4", "5", "6"});
  EXPECT_EQ(memo().RowRect(2, rrRow), (TRect{0, 32, memo().Host().ClientWidth() - memo().VertScrollBar->Thickness() - 1, 48}));
  EXPECT_EQ(std::pair(memo().RowRect(2, rrGutter).Right, memo().RowRect(2, rrText).Left), std::pair(32, 34));
  EXPECT_EQ(memo().RowRect(-1, rrRow).Bottom, memo().Host().ClientHeight() - memo().HorzScrollBar->Thickness());
  for (int i = 0; i < 3; ++i) memo().SectionTree->AddSection(i, 6 - i, false);
  EXPECT_EQ(MarginRight(), 32 + 3 * 16 + 2);
  Option(smoVSNET_SectionsStyle, true);
  EXPECT_EQ(std::pair(MarginRight(), memo().SectionBoxRect(1, 2)), std::pair(32 + 16 + 2, TRect{34, 20, 43, 29}));
  Option(smoVSNET_SectionsStyle, false);
  memo().SectionTree->CollapseSection(0, false, false);
  EXPECT_EQ(MarginRight(), 32 + 16 + 2);
  Option(smoAutoGutterWidth, false);
  EXPECT_EQ(MarginRight(), 32 + 3 * 16 + 2);
}

// ColFromX names the token under x: blanks before the first count as token 0, a later gap as -1,
// beyond the line's end MaxInt where columns count in blanks.
TEST_F(GeometryTest, TextXAndColFromXAgreeOnCellBoundariesAndNameTheToken) {
  Load({"  ab  cd"});
  for (int c = 0; c < 11; ++c) {
    const int left = memo().LineTextX(c, 0), right = memo().LineTextX(c + 1, 0);
    ASSERT_LT(left, right) << "column " << c;
    EXPECT_EQ(std::pair(memo().ColFromX(left, 0), memo().ColFromX(right - 1, 0)), std::pair(c, c)) << c;
  }
  EXPECT_EQ(memo().LineTextX(11, 0), memo().LineTextX(8, 0) + 3 * memo().CharWidths[0][32]);
  for (const auto& [col, want] : {std::pair{0, 0}, {3, 0}, {4, -1}, {6, 1}, {11, MaxInt}}) {
    std::int32_t token = 7;
    EXPECT_EQ(memo().ColFromX(memo().LineTextX(col, 0) + 1, 0, token), col);
    EXPECT_EQ(token, want) << "column " << col;
  }
}

TEST_F(GeometryTest, PointToTextAndPosFromPointUseTheViewOrigin) {
  Load(Numbered(50));
  memo().ScrollTo(0, 10);
  std::int32_t px = 0, r = 0, line = -1, token = -1;
  memo().PointToText(TextLeft() + 7, 3 * 16 + 5, false, px, r);
  EXPECT_EQ(std::pair(px, r), std::pair(7, 3));
  memo().PointToText(TextLeft() + 7, 3 * 16 + 5, true, px, r);
  EXPECT_EQ(r, 13);
  EXPECT_TRUE(memo().PosFromPoint(TextLeft() + 1, 16 + 1, line, token) && line == 11 && token == 0);
  Load(Numbered(10));
  EXPECT_FALSE(memo().PosFromPoint(TextLeft() + 1, 15 * 16 + 1, line, token)) << "past the last line";
  Caret(3, 2);
  EXPECT_EQ(memo().CursorPosBox->Text(), "3: 4") << "one-based";
}

// Changes outside an update are delivered at once; an option set to what it was is no change.
// Regression: a delete whose caret move rebuilt the visible map inside the update left
// nothing to report at its close, and the next update dropped what it had gathered.
TEST_F(GeometryTest, ChangesAreReportedOnceAndOnlyWhenReal) {
  Load({"{>>}d", "e"});
  TChangedItems seen;
  memo().OnChange = [&](TSxMemoModel&, TChangedItems items) { seen += items; };
  memo().PendingChanges = {};
  memo().SetOptions(memo().Options());
  Option(smoTabulatedReturn, true);
  EXPECT_EQ(seen, TChangedItems{ciOptions});
  memo().Range->ExtendSelection(1, true, false);
  seen = {};
  memo().Range->DeleteSelection();
  EXPECT_EQ(seen, (TChangedItems{ciText, ciSelection, ciSections, ciUndoStack}));
  seen = {};
  memo().Range->ExtendSelection(1, true, false);
  EXPECT_FALSE(seen.Intersects({ciText, ciSections})) << "the delete's kinds came again";
}

}  // namespace
