// Mouse input (clicks, drags, margin, double clicks, wheel, panning) and scrolling.
#include <QCursor>
#include <QTest>

#include "ControlFixture.h"

namespace {

class MouseTest : public ControlFixture {
 protected:
  void Press(int x, int y, TShiftState s = {ssLeft}) { memo().MouseDown(TMouseButton::mbLeft, s, x, y); }
  void Click(int x, int y) { Press(x, y), memo().MouseUp(TMouseButton::mbLeft, {}, x, y); }
  bool Collapsed(int line) { return memo().SectionTree->SectionOf(line)->Collapsed; }
};

TEST_F(MouseTest, ClickPutsTheCaretAndDragExtendsTheSelection) {
  Load({"abcdef", "abcdef", "abcdef", "abcdef", "abcdef"});
  Press(ColX(3, 2) + 1, RowTop(2) + 5);
  memo().MouseMove({ssLeft}, ColX(5, 4) + 1, RowTop(4) + 5);
  EXPECT_EQ(Sel(), Span({3, 2}, {5, 4}));
  memo().MouseMove({ssLeft}, ColX(1, 1) + 1, RowTop(1) + 5);
  EXPECT_EQ(Sel(), Span({1, 1}, {3, 2})) << "dragging above the anchor";
  memo().MouseUp(TMouseButton::mbLeft, {}, 0, 0);
  Click(ColX(2, 0), RowTop(10) + 3);
  EXPECT_EQ(Sel(), Span({1, 1}, {1, 1})) << "a click below the last line only clears the selection";
  QTest::mouseClick(widget, Qt::LeftButton, {}, widget->ClientOrigin() + QPoint(ColX(2, 1) + 1, RowTop(1) + 4));
  EXPECT_EQ(CaretPos(), (TTextPos{2, 1}));
}

// The breakpoint column takes left presses at x <= 11 but right releases only at x < 11.
TEST_F(MouseTest, BreakPointColumnBoundsDifferForPressAndMenu) {
  Load({"a", "b", "c"});
  for (const auto& [x, set] : {std::pair{11, true}, std::pair{0, false}, std::pair{12, false}}) {
    Click(x, RowTop(1) + 4);
    EXPECT_EQ(memo().BreakPoints->HasBreakPoint(1), set) << "x " << x;
  }
  int dummyMenu = 0, popups = 0;
  memo().SetBreakPointsPopupMenu(&dummyMenu);
  memo().OnBreakPointPopup = [&](TSxCustomSyntaxMemo&, TSxScreenPoint, bool& handled) { ++popups, handled = true; };
  memo().MouseUp(TMouseButton::mbRight, {}, 11, RowTop(2) + 3);
  memo().MouseUp(TMouseButton::mbRight, {}, 10, RowTop(2) + 3);
  EXPECT_EQ(std::pair(popups, memo().BreakPoints->CurrentRow), std::pair(1, 2));
}

// The 9 x 9 fold box collapses its section; Ctrl+double click expands and selects a section,
// a double click selects a word (blanks before the first token pick it).
TEST_F(MouseTest, FoldBoxClickAndDoubleClicks) {
  Load({"  ab  cd", "x", "y", "z", "w"});
  memo().SectionTree->AddSection(1, 3, false);
  const TRect b = memo().SectionBoxRect(1, 1);
  Click(b.Left + 4, b.Top + 4);
  EXPECT_TRUE(Collapsed(1));
  memo().DblClick({ssCtrl}, ColX(0, 1) + 1, RowTop(1) + 4);
  EXPECT_EQ(std::pair(Collapsed(1), Sel()), std::pair(false, Span({0, 1}, {0, 4})));
  Click(b.Right + 1, b.Top + 4);
  EXPECT_FALSE(Collapsed(1)) << "outside the box";
  memo().DblClick({}, ColX(6, 0) + 1, 4);
  EXPECT_EQ(Sel(), Span({6, 0}, {8, 0}));
  memo().DblClick({}, ColX(0, 0) + 1, 4);
  EXPECT_EQ(Sel(), Span({2, 0}, {4, 0}));
}

// The wheel: three lines a notch whatever the delta, four pixels sideways with Ctrl. Panning: a line
// a pixel, sideways and reversed only with their options, until any release.
TEST_F(MouseTest, WheelAndPanningScrollByTheirSteps) {
  Load(std::vector<std::string>(100, std::string(200, 'x')));
  memo().MouseWheel(-120, {}), memo().MouseWheel(-1, {}), memo().MouseWheel(-120, {ssCtrl});
  EXPECT_EQ(std::pair(memo().TopLine, memo().LeftOffset), std::pair(6, 4));
  memo().ScrollTo(50, 20);
  memo().MouseDown(TMouseButton::mbMiddle, {ssMiddle}, 200, 100);
  memo().MouseMove({ssMiddle}, 195, 95);
  EXPECT_EQ(std::pair(memo().TopLine, memo().LeftOffset), std::pair(25, 50));
  memo().SetOptions(memo().Options() + TSxSynMemoOptions{smoHorPanning, smoVerPanningReverse});
  memo().MouseMove({ssMiddle}, 190, 90);
  EXPECT_EQ(std::pair(memo().TopLine, memo().LeftOffset), std::pair(20, 55));
  memo().MouseUp(TMouseButton::mbMiddle, {}, 190, 90);
  EXPECT_FALSE(memo().Panning) << "ends at any release";
}

TEST_F(MouseTest, PanningWrapsThePointerFromTheTopEdgeWithoutScrolling) {
  Load(Numbered(200));
  memo().ScrollTo(0, 100);
  const TRect screen = memo().Host().ScreenRect();
  const int top = screen.Top + 2, bottom = screen.Bottom - (memo().HorzScrollBar->Thickness() + 5);
  QCursor::setPos(screen.Left + 100, top + 1);
  if (QCursor::pos() != QPoint(screen.Left + 100, top + 1)) GTEST_SKIP() << "the platform cannot place the pointer";
  memo().MouseDown(TMouseButton::mbMiddle, {ssMiddle}, 100, 3);
  QCursor::setPos(screen.Left + 100, top), memo().MouseMove({ssMiddle}, 100, 2);
  EXPECT_EQ(std::pair(memo().TopLine, QCursor::pos().y()), std::pair(101, bottom - 1));
  memo().MouseMove({ssMiddle}, 100, 2 + (bottom - 1 - top) - 1);
  EXPECT_EQ(memo().TopLine, 102);
  memo().MouseUp(TMouseButton::mbMiddle, {}, 0, 0);
}

class ScrollingTest : public ControlFixture {
  void SetUp() override { ControlFixture::SetUp(), SetRows(30), Load(Numbered(100)); }
};

// Ten pixels a character of the longest line estimate the horizontal range; a scroll into view moves
// as little as needed.
TEST_F(ScrollingTest, ScrollToClampsToTheRangesAndScrollIntoViewMovesAsLittleAsNeeded) {
  EXPECT_EQ(std::pair(memo().VertScrollBar->Max(), memo().VertScrollBar->PageStep()), std::pair(70, 28));
  memo().ScrollTo(0, 95);
  EXPECT_EQ(memo().TopLine, 70);
  memo().ScrollTo(5, -4);
  EXPECT_EQ(std::pair(memo().TopLine, memo().LeftOffset), std::pair(0, 0)) << "no horizontal range for short lines";
  Load({std::string(60, 'x'), "short"});
  EXPECT_EQ(std::pair(memo().HorzScrollBar->Max(), memo().HorzScrollBar->PageStep()), std::pair(600 - 400, 32));
  memo().ScrollTo(1000, 0);
  EXPECT_EQ(memo().LeftOffset, 200);
  Load(Numbered(100));
  memo().ScrollIntoView(0, 50, 1);
  EXPECT_EQ(memo().TopLine, 21) << "the line becomes the last whole row";
  memo().ScrollIntoView(0, 10, 1);
  EXPECT_EQ(memo().TopLine, 10);
  Load({std::string(80, 'x')});
  const int x = memo().LineTextX(70, 0);
  memo().ScrollIntoView(70, 0, 1);
  EXPECT_EQ(memo().LeftOffset, x + 10 - 400);
  memo().ScrollIntoView(2, 0, 1);
  EXPECT_EQ(memo().LeftOffset, memo().LineTextX(2, 0));
}

// Regression: collapsing the section that holds TopLine left row 0 on a hidden line. Going to a line
// hidden in a collapsed section opens it first, so that the line really shows in the third row.
TEST_F(ScrollingTest, CollapsingAroundTheTopLineKeepsAVisibleTopAndGotoLineOpensIt) {
  memo().SectionTree->AddSection(40, 60, false);
  memo().ScrollTo(0, 45);
  memo().SectionTree->CollapseSection(40, false, false);
  EXPECT_EQ(std::pair(memo().TopLine, memo().LineAtOffset(memo().TopLine, 1, false)), std::pair(40, 61));
  memo().GotoLine(0, 50);
  EXPECT_EQ(std::pair(memo().VisibleIndexOf(50), memo().TopLine), std::pair(50, 48));
}

// Regression: deleting the end of the document left the view scrolled past its last page.
TEST_F(ScrollingTest, DeletingTheEndPullsTheViewBackToTheLastPage) {
  memo().ScrollTo(0, 70), Caret(0, 60);
  memo().Range->SelectToEnd();
  memo().Range->DeleteSelection();
  EXPECT_EQ(std::pair(memo().TopLine, memo().VertScrollBar->Max()), std::pair(31, 31));
}

}  // namespace
