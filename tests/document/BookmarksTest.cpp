/** @file BookmarksTest.cpp
 ** Bookmarks and breakpoints through the document model: toggling, moving, one mark
 ** per row, the veto event, registered rows, text-ordered lookup, glyph drawing and
 ** what survives a new document. */
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/Bookmarks.h"
#include "document/MemoModel.h"

namespace {

// A model that remembers which rows were repainted.
class TRecordingModel : public TSxMemoModel {
 public:
  void InvalidateLine(std::int32_t line) override { Invalidated.push_back(line); }
  std::vector<std::int32_t> Invalidated;
};

// A surface that records glyph requests and ignores everything else.
class TGlyphRecorder : public TSxSurface {
 public:
  struct Call {
    int X, Y, CellX;
    bool Masked;
  };
  void FillRect(const TRect&, TColor) override {}
  void FrameRect(const TRect&, TColor) override {}
  void FillFramedRect(const TRect&, TColor, TColor) override {}
  void Line(int, int, int, int, TColor) override {}
  void SetPixel(int, int, TColor) override {}
  int TextOut(int x, int, std::string_view, TColor, std::uint8_t) override { return x; }
  int TextWidth(std::string_view, std::uint8_t) override { return 0; }
  TRect ClipRect() const override { return {}; }
  void SetClipRect(const TRect&) override {}
  void RemoveClip() override {}
  void DrawGlyph(int x, int y, const TSxBitmap&, int cellX, const TSxBitmap* mask) override {
    Calls.push_back({x, y, cellX, mask != nullptr});
  }
  std::vector<Call> Calls;
};

class TSolidBitmap : public TSxBitmap {
 public:
  TSolidBitmap(int w, int h) : w_(w), h_(h) {}
  int Width() const override { return w_; }
  int Height() const override { return h_; }
  TColor Pixel(int, int) const override { return 0; }

 private:
  int w_, h_;
};

class BookmarksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 20; ++i) m.Lines->Add("line " + std::to_string(i));
    m.Invalidated.clear();
  }
  TSxBookmarkManager& B() { return *m.Bookmarks; }
  std::vector<std::int32_t> Rows() const {
    return {m.Bookmarks->Rows.begin(), m.Bookmarks->Rows.end()};
  }

  TRecordingModel m;
};

TEST_F(BookmarksTest, SameKeyTwiceOnOneLineSetsThenRemoves) {
  B().SetBookmark(3, 5);
  EXPECT_EQ(B().GetBookmark(3), 5);
  std::uint8_t index = 0;
  ASSERT_TRUE(B().FindBookmark(5, index));
  EXPECT_EQ(index, 3);
  B().SetBookmark(3, 5);
  EXPECT_EQ(B().GetBookmark(3), -1);
  EXPECT_FALSE(B().FindBookmark(5, index));
  EXPECT_EQ(m.Invalidated, (std::vector<std::int32_t>{5, 5}));
}

TEST_F(BookmarksTest, SettingOnAnotherLineMovesItAndRepaintsTheOldLine) {
  B().SetBookmark(3, 2);
  m.Invalidated.clear();
  B().SetBookmark(3, 8);
  EXPECT_EQ(B().GetBookmark(3), 8);
  std::uint8_t index = 0;
  EXPECT_FALSE(B().FindBookmark(2, index));
  EXPECT_EQ(m.Invalidated, (std::vector<std::int32_t>{2, 8}));
}

TEST_F(BookmarksTest, EveryRowCarriesAtMostOneBookmark) {
  // Shuffle bookmarks over a few rows; no row may ever hold two.
  const int moves[][2] = {{1, 3}, {2, 3}, {1, 4}, {2, 4}, {9, 4}, {0, 3}, {1, 3}, {2, 0}};
  for (auto& mv : moves) {
    B().SetBookmark(mv[0], mv[1]);
    for (int row = 0; row < 20; ++row) {
      int onRow = 0;
      for (int i = 0; i < 10; ++i) onRow += B().GetBookmark(i) == row;
      EXPECT_LE(onRow, 1) << "row " << row;
    }
  }
  EXPECT_EQ(Rows(), (std::vector<std::int32_t>{-1, 3, 0, -1, -1, -1, -1, -1, -1, 4}));
}

TEST_F(BookmarksTest, OutOfRangeNumbersAreIgnored) {
  std::uint8_t index = 7;
  EXPECT_FALSE(B().FindBookmark(3, index));
  B().SetBookmark(10, 1);
  B().SetBookmark(-1, 1);
  EXPECT_EQ(Rows(), std::vector<std::int32_t>(10, -1));
  EXPECT_EQ(B().GetBookmark(10), -1);
  EXPECT_EQ(B().GetBookmark(-1), -1);
}

TEST_F(BookmarksTest, SettingRunsInsideOneUpdate) {
  int depthSeen = -1;
  struct TDepthModel : TRecordingModel {
    int* Seen = nullptr;
    void InvalidateLine(std::int32_t) override { *Seen = Lines->UpdateCount(); }
  } model;
  model.Seen = &depthSeen;
  model.Bookmarks->SetBookmark(1, 0);
  EXPECT_EQ(depthSeen, 1);
  EXPECT_EQ(model.Lines->UpdateCount(), 0);
}

TEST_F(BookmarksTest, NewDocumentDropsBookmarksAndKeepsBreakpoints) {
  B().SetBookmark(1, 3);
  m.BreakPoints->SetBreakPoint(4, bpsEnabled);
  m.Lines->NewDocument();
  EXPECT_EQ(Rows(), std::vector<std::int32_t>(10, -1));
  EXPECT_TRUE(m.BreakPoints->HasBreakPoint(4));
}

TEST_F(BookmarksTest, GlyphIsTheNumbersOpaqueCell) {
  TGlyphRecorder canvas;
  B().DrawGlyph(canvas, 0, 1, 0);  // no glyphs loaded: nothing drawn
  B().Glyphs = std::make_unique<TSolidBitmap>(110, 11);
  B().DrawGlyph(canvas, 0, 10, 0);  // no such number
  B().DrawGlyph(canvas, 14, 7, 2);
  ASSERT_EQ(canvas.Calls.size(), 1u);
  EXPECT_EQ(canvas.Calls[0].X, 14);
  EXPECT_EQ(canvas.Calls[0].Y, 2);
  EXPECT_EQ(canvas.Calls[0].CellX, 77);
  EXPECT_FALSE(canvas.Calls[0].Masked);
}

// ---- Breakpoints ------------------------------------------------------------

class BreakPointsTest : public BookmarksTest {
 protected:
  TSxBreakPointCollection& P() { return *m.BreakPoints; }
  // Records every veto request and answers with `allow`.
  void InstallVeto(bool allow) {
    P().OnBeforeBreakPointChanged = [this, allow](TSxMemoModel& sender, std::int32_t row,
                                                  TBPAction action, bool& canChange) {
      EXPECT_EQ(&sender, &m);
      EXPECT_TRUE(canChange);
      Requests.emplace_back(row, action);
      canChange = allow;
    };
  }
  std::uint8_t StateOf(std::int32_t row) {
    std::uint8_t s = 99;
    EXPECT_TRUE(P().GetState(row, s)) << "row " << row;
    return s;
  }
  std::vector<std::pair<std::int32_t, TBPAction>> Requests;
};

TEST_F(BreakPointsTest, ClickTogglesAnEnabledBreakpoint) {
  P().ChangeBreakPoint(3, !P().HasBreakPoint(3));
  EXPECT_TRUE(P().HasBreakPoint(3));
  EXPECT_EQ(StateOf(3), bpsEnabled);
  EXPECT_EQ(P().CurrentRow, 3);
  P().ChangeBreakPoint(3, !P().HasBreakPoint(3));
  EXPECT_FALSE(P().HasBreakPoint(3));
  EXPECT_EQ(P().BreakPointAt(3), nullptr);
  EXPECT_EQ(P().Count(), 0);
}

TEST_F(BreakPointsTest, VetoBlocksSettingAndDeleting) {
  InstallVeto(false);
  P().ChangeBreakPoint(3, true);
  EXPECT_FALSE(P().HasBreakPoint(3));
  P().SetBreakPoint(4, bpsEnabled);
  P().ChangeBreakPoint(4, false);
  EXPECT_TRUE(P().HasBreakPoint(4));
  ASSERT_EQ(Requests.size(), 2u);
  EXPECT_EQ(Requests[0], std::make_pair(3, bpaSet));
  EXPECT_EQ(Requests[1], std::make_pair(4, bpaDelete));
}

TEST_F(BreakPointsTest, NeedPossibilityLeavesUnregisteredRowsAlone) {
  P().NeedPossibility = true;
  InstallVeto(true);
  P().ChangeBreakPoint(5, true);
  EXPECT_EQ(P().BreakPointAt(5), nullptr);
  EXPECT_EQ(Requests, (std::vector<std::pair<std::int32_t, TBPAction>>{{5, bpaSet}}));
}

TEST_F(BreakPointsTest, NeedPossibilityTogglesRegisteredRowBetweenPossibleAndEnabled) {
  P().NeedPossibility = true;
  P().SetBreakPoint(6, bpsPossible, "t1", 42, "t2", "t3");
  EXPECT_FALSE(P().HasBreakPoint(6));
  P().NeedPossibility = false;
  EXPECT_TRUE(P().HasBreakPoint(6));  // without the option any record shows
  P().NeedPossibility = true;
  P().ChangeBreakPoint(6, !P().HasBreakPoint(6));
  EXPECT_EQ(StateOf(6), bpsEnabled);
  EXPECT_TRUE(P().HasBreakPoint(6));
  EXPECT_EQ(P().BreakPointAt(6)->UserText1, "");  // the user's change replaces the data
  EXPECT_EQ(P().BreakPointAt(6)->UserValue, 0);
  P().ChangeBreakPoint(6, !P().HasBreakPoint(6));
  EXPECT_EQ(StateOf(6), bpsPossible);
  EXPECT_FALSE(P().HasBreakPoint(6));
}

TEST_F(BreakPointsTest, NeedPossibilityTurnsDisabledIntoPossible) {
  P().NeedPossibility = true;
  P().SetBreakPoint(7, bpsDisabled);
  EXPECT_TRUE(P().HasBreakPoint(7));
  P().ChangeBreakPoint(7, false);
  EXPECT_EQ(StateOf(7), bpsPossible);
  P().ChangeBreakPoint(7, true);
  EXPECT_EQ(StateOf(7), bpsEnabled);
  // An enabled one is not "set" again, a possible one not "deleted" again.
  P().ChangeBreakPoint(7, true);
  EXPECT_EQ(StateOf(7), bpsEnabled);
}

TEST_F(BreakPointsTest, ManyRowsAreFoundInTextOrder) {
  const std::int32_t rows[] = {9, 10, 100, 2, 19, 1000, 0, 99, 21, 3, 1};
  for (std::int32_t r : rows) P().SetBreakPoint(r, bpsEnabled, "", r);
  for (std::size_t i = 1; i < P().Items.size(); ++i) {
    EXPECT_LT(P().Items[i - 1].Row, P().Items[i].Row);
  }
  for (std::int32_t r : rows) {
    ASSERT_NE(P().BreakPointAt(r), nullptr) << r;
    EXPECT_EQ(P().BreakPointAt(r)->UserValue, r);
  }
  for (std::int32_t absent : {4, 11, 101, 999, 1001}) EXPECT_EQ(P().BreakPointAt(absent), nullptr);
  EXPECT_EQ(P().Count(), 11);
  EXPECT_TRUE(P().DeleteBreakPoint(9));
  EXPECT_FALSE(P().DeleteBreakPoint(9));
  EXPECT_EQ(P().BreakPointAt(10)->UserValue, 10);
}

TEST_F(BreakPointsTest, SettingAgainReplacesTheRecord) {
  P().SetBreakPoint(4, bpsEnabled, "a", 1, "b", "c");
  P().SetBreakPoint(4, bpsDisabled, "x", 2);
  EXPECT_EQ(P().Count(), 1);
  const TBreakPoint* bp = P().BreakPointAt(4);
  ASSERT_NE(bp, nullptr);
  EXPECT_EQ(bp->State, bpsDisabled);
  EXPECT_EQ(bp->UserText1, "x");
  EXPECT_EQ(bp->UserValue, 2);
  EXPECT_EQ(bp->UserText2, "");
  EXPECT_EQ(&bp->Owner, &P());
}

TEST_F(BreakPointsTest, RowMinusOneIsIgnored) {
  InstallVeto(true);
  P().ChangeBreakPoint(-1, true);  // not a row: not even a request
  EXPECT_TRUE(Requests.empty());
  P().SetBreakPoint(-1, bpsEnabled);
  EXPECT_EQ(P().Count(), 0);
  EXPECT_FALSE(P().DeleteBreakPoint(-1));
  EXPECT_EQ(P().CurrentRow, -1);
  EXPECT_TRUE(m.Invalidated.empty());
}

TEST_F(BreakPointsTest, DeleteRepaintsTheRowEvenWhenNothingWasThere) {
  EXPECT_FALSE(P().DeleteBreakPoint(12));
  EXPECT_EQ(m.Invalidated, (std::vector<std::int32_t>{12}));
}

TEST_F(BreakPointsTest, StateChangeOfAListedRecordMovesCurrentRowAndRepaints) {
  P().SetBreakPoint(10, bpsEnabled);
  P().SetBreakPoint(3, bpsEnabled);
  m.Invalidated.clear();
  P().BreakPointAt(10)->SetState(bpsDisabled);
  EXPECT_EQ(P().CurrentRow, 10);
  EXPECT_EQ(m.Invalidated, (std::vector<std::int32_t>{10}));
  EXPECT_EQ(StateOf(10), bpsDisabled);
}

TEST_F(BreakPointsTest, MarksDoNotFollowEdits) {
  P().SetBreakPoint(5, bpsEnabled);
  B().SetBookmark(2, 6);
  m.Lines->Insert(0, "above");
  m.Lines->Delete(10);
  EXPECT_TRUE(P().HasBreakPoint(5));
  EXPECT_FALSE(P().HasBreakPoint(6));
  EXPECT_EQ(B().GetBookmark(2), 6);
}

TEST_F(BreakPointsTest, GlyphIsTheStatesMaskedCell) {
  P().Glyphs = std::make_unique<TSolidBitmap>(33, 11);
  P().GlyphMask = std::make_unique<TSolidBitmap>(33, 11);
  TGlyphRecorder canvas;
  P().DrawGlyph(canvas, 2, bpsDisabled, 5);
  P().DrawGlyph(canvas, 2, 3, 5);  // no such state
  ASSERT_EQ(canvas.Calls.size(), 1u);
  EXPECT_EQ(canvas.Calls[0].CellX, 22);
  EXPECT_EQ(canvas.Calls[0].X, 2);
  EXPECT_EQ(canvas.Calls[0].Y, 5);
  EXPECT_TRUE(canvas.Calls[0].Masked);
}

TEST_F(BreakPointsTest, InstalledLoaderSuppliesTheGlyphSets) {
  std::vector<std::string> asked;
  SetBitmapLoader([&asked](const char* name) -> std::unique_ptr<TSxBitmap> {
    asked.emplace_back(name);
    return std::make_unique<TSolidBitmap>(33, 11);
  });
  auto model = std::make_unique<TRecordingModel>();
  SetBitmapLoader(nullptr);
  EXPECT_EQ(asked, (std::vector<std::string>{"BOOKMARKS", "BREAKPOINTS", "BREAKPOINTSMASK"}));
  EXPECT_EQ(model->BreakPoints->Glyphs->Width(), 33);
  EXPECT_EQ(TRecordingModel().BreakPoints->Glyphs->Width(), 0);
}

}  // namespace
