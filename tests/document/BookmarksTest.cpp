// Bookmarks and breakpoints through the document model: toggling, one mark per row, the
// veto event, registered rows, text-ordered lookup and what survives a new document.
#include <gtest/gtest.h>

#include <memory>

#include "TestText.h"
#include "document/Bookmarks.h"
#include "document/MemoModel.h"

namespace {

using Rows = std::vector<std::int32_t>;

// A model that remembers which rows were repainted, and the update depth of the last repaint.
struct TRecordingModel : TSxMemoModel {
  void InvalidateLine(std::int32_t line) override {
    Invalidated.push_back(line);
    Depth = Lines->UpdateCount();
  }
  Rows Invalidated;
  int Depth = -1;
};

class BookmarksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& l : Numbered(20)) m.Lines->Add(l);
    m.Invalidated.clear();
  }
  TSxBookmarkManager& B() { return *m.Bookmarks; }
  TSxBreakPointCollection& P() { return *m.BreakPoints; }
  Rows Marks() const { return {m.Bookmarks->Rows.begin(), m.Bookmarks->Rows.end()}; }

  TRecordingModel m;
};

// One key per row: the same key moves its mark, then removes it, repainting inside one update;
// bad numbers are ignored.
TEST_F(BookmarksTest, OneBookmarkPerRowThatKeepsItsRowAndGoesWithTheDocument) {
  B().SetBookmark(3, 2), B().SetBookmark(3, 8), B().SetBookmark(3, 8);
  EXPECT_EQ(m.Invalidated, (Rows{2, 2, 8, 8}));
  EXPECT_EQ(m.Depth, 1);
  std::uint8_t index = 0;
  EXPECT_FALSE(B().FindBookmark(8, index));
  for (auto [key, row] : {std::pair{1, 3}, {2, 3}, {1, 4}, {2, 4}, {9, 4}, {0, 3}, {1, 3}, {2, 0}, {10, 1}, {-1, 1}})
    B().SetBookmark(key, row);
  EXPECT_EQ(Marks(), (Rows{-1, 3, 0, -1, -1, -1, -1, -1, -1, 4}));
  EXPECT_TRUE(B().FindBookmark(4, index) && index == 9);
  EXPECT_EQ(B().GetBookmark(10), -1);
  // Marks keep their rows through edits; only breakpoints survive a new document.
  P().SetBreakPoint(5, bpsEnabled), B().SetBookmark(2, 6), m.Lines->Insert(0, "above"), m.Lines->Delete(10);
  EXPECT_TRUE(P().HasBreakPoint(5) && !P().HasBreakPoint(6));
  EXPECT_EQ(B().GetBookmark(2), 6);
  m.Lines->NewDocument();
  EXPECT_EQ(Marks(), Rows(10, -1));
  EXPECT_TRUE(P().HasBreakPoint(5));
}

// One click on row 6 holding `before` (-1: no record, data "t1", 42 otherwise) gives `after`
// once the host is asked and answers `allow`; with registered rows only, rows without a record
// never change and a change drops the data.
struct ClickCase { bool needPossibility, allow; int before; bool setIt; int after; };
const ClickCase kClicks[] = {
    {false, true, -1, true, bpsEnabled},          {false, true, bpsEnabled, false, -1},
    {false, false, -1, true, -1},                 {false, false, bpsEnabled, false, bpsEnabled},
    {true, true, -1, true, -1},                   {true, true, bpsPossible, true, bpsEnabled},
    {true, true, bpsEnabled, false, bpsPossible}, {true, true, bpsDisabled, false, bpsPossible},
    {true, true, bpsEnabled, true, bpsEnabled},   {true, true, bpsPossible, false, bpsPossible},
};

TEST_F(BookmarksTest, ClicksChangeBreakpointsAfterAskingTheHost) {
  for (const ClickCase& c : kClicks) {
    TRecordingModel model;
    TSxBreakPointCollection& bp = *model.BreakPoints;
    bp.NeedPossibility = c.needPossibility;
    if (c.before >= 0) bp.SetBreakPoint(6, std::uint8_t(c.before), "t1", 42);
    std::vector<std::pair<std::int32_t, TBPAction>> asked;
    bp.OnBeforeBreakPointChanged = [&](TSxMemoModel& sender, std::int32_t row, TBPAction a, bool& canChange) {
      EXPECT_TRUE(&sender == &model && canChange);
      asked.emplace_back(row, a);
      canChange = c.allow;
    };
    bp.ChangeBreakPoint(6, c.setIt), bp.ChangeBreakPoint(-1, c.setIt);  // -1 is no row: not even a request
    SCOPED_TRACE(std::to_string(c.before) + (c.setIt ? " set" : " delete") + (c.allow ? "" : " vetoed"));
    EXPECT_EQ(asked, (std::vector<std::pair<std::int32_t, TBPAction>>{{6, c.setIt ? bpaSet : bpaDelete}}));
    std::uint8_t state = 99;
    ASSERT_EQ(bp.GetState(6, state), c.after >= 0);
    if (c.after < 0) continue;
    EXPECT_EQ(state, c.after);
    EXPECT_EQ(bp.HasBreakPoint(6), !c.needPossibility || c.after != bpsPossible);
    EXPECT_EQ(bp.BreakPointAt(6)->UserValue, c.after == c.before ? 42 : 0);
  }
}

// Regression: rows 9 and 10 were lost because the text of row 10 sorts before that of row 9.
TEST_F(BookmarksTest, ManyRowsAreFoundInTextOrder) {
  const std::int32_t rows[] = {9, 10, 100, 2, 19, 1000, 0, 99, 21, 3, 1};
  for (std::int32_t r : rows) P().SetBreakPoint(r, bpsEnabled, "", r);
  for (std::int32_t r : rows) EXPECT_TRUE(P().BreakPointAt(r) && P().BreakPointAt(r)->UserValue == r) << r;
  for (std::int32_t absent : {4, 11, 101, 999, 1001}) EXPECT_EQ(P().BreakPointAt(absent), nullptr);
  P().SetBreakPoint(9, bpsDisabled, "x", 2);  // setting again replaces the record
  EXPECT_EQ(P().BreakPointAt(9)->State, bpsDisabled);
  m.Invalidated.clear();
  EXPECT_TRUE(P().DeleteBreakPoint(9));
  EXPECT_FALSE(P().DeleteBreakPoint(9));
  EXPECT_EQ(P().BreakPointAt(10)->UserValue, 10);
  EXPECT_EQ(m.Invalidated, (Rows{9, 9})) << "delete repaints even when nothing was there";
}

}  // namespace
