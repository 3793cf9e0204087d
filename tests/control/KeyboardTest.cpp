// The key table's rows that carry logic, and the caret staying in view.
#include "ControlFixture.h"

namespace {

class KeyboardTest : public ControlFixture {
 protected:
  void Key(std::uint16_t key, TShiftState shift = {}) { memo().KeyDown(key, shift); }
  void KeyAt(int x, int y, std::uint16_t key) { Caret(x, y), Key(key); }
  // Presses keys in turn and checks where each leaves the caret.
  struct Step { std::uint16_t key; TShiftState shift; TTextPos caret; };
  void Walk(std::initializer_list<Step> steps) {
    int i = 0;
    for (const Step& s : steps) {
      Key(s.key, s.shift);
      EXPECT_EQ(CaretPos(), s.caret) << "step " << i++;
    }
  }
};

// Tab stops, bookmark keys, typed Cyrillic and Ctrl+/ are pressed as real keys by the real-input suites.
TEST_F(KeyboardTest, EnterCopiesTheIndentationOfTheLastNonBlankLine) {
  Load({"    foo", ""});
  KeyAt(0, 1, VK_RETURN);
  EXPECT_EQ(std::pair(Line(2), CaretPos()), std::pair(std::string("    "), TTextPos{4, 2}));
}

TEST_F(KeyboardTest, BackspaceRemovesAllLeadingBlanksAndJoinsOnlyAVisibleLineAbove) {
  Load({"      x", "ab  x"});
  KeyAt(6, 0, VK_BACK);
  KeyAt(4, 1, VK_BACK);
  EXPECT_EQ(Line(0) + "|" + Line(1), "x|ab x") << "blanks after text go one by one";
  Load({"a", "b", "c", "d", "e"});
  memo().SectionTree->AddSection(1, 3, false);
  memo().SectionTree->CollapseSection(1, false, false);
  KeyAt(0, 4, VK_BACK);
  EXPECT_EQ(memo().Lines->Count(), 5) << "the line above line 4 is hidden";
  KeyAt(0, 1, VK_BACK);
  EXPECT_EQ(Line(0), "ab");
}

// Shift+Left at column 0 keeps the anchor without selecting; a jump to the next section
// then leaves the empty selection behind. Backspace and Delete act at the caret instead of
// deleting every line between the anchor and the caret.
TEST_F(KeyboardTest, BackspaceAndDeleteAfterACaretJumpDoNotDeleteTheLinesSkipped) {
  using Case = std::pair<std::uint16_t, const char*>;
  for (const auto& [key, after] : {Case{VK_BACK, "a\r\nb\r\nc\r\nd\r\nef\r\ng\r\n"},
                                   Case{VK_DELETE, "a\r\nb\r\nc\r\nd\r\ne\r\n\r\ng\r\n"}}) {
    Load({"a", "b", "c", "d", "e", "{<+}f", "{>>}g"});
    Caret(0, 0);
    Key(VK_LEFT, {ssShift});
    Key(VK_DOWN, {ssCtrl, ssShift});
    ASSERT_EQ(CaretPos(), (TTextPos{0, 5}));
    Key(key);
    EXPECT_EQ(memo().Lines->Text(), after);
  }
}

TEST_F(KeyboardTest, HomeEndAndCtrlArrowsStepAsTheTableSays) {
  Load({"    abc"});
  Caret(5, 0);
  // Smart Home alternates only from column 0.
  Walk({{VK_HOME, {}, {0, 0}}, {VK_HOME, {}, {4, 0}}, {VK_HOME, {}, {0, 0}}});
  Load({"ab  cd", "  ef"});
  Caret(0, 0);
  // Words, then from the first word of a line to the previous line's end; from a gap back to its word.
  Walk({{VK_RIGHT, {ssCtrl}, {4, 0}}, {VK_RIGHT, {ssCtrl}, {6, 0}}, {VK_RIGHT, {ssCtrl}, {2, 1}},
        {VK_LEFT, {ssCtrl}, {6, 0}}});
  Caret(3, 0);
  Walk({{VK_LEFT, {ssCtrl}, {0, 0}}, {VK_RIGHT, {ssCtrl, ssShift}, {4, 0}}});
  EXPECT_EQ(Sel(), Span({0, 0}, {4, 0}));
}

TEST_F(KeyboardTest, PageKeysMoveByTheRowsOfTheView) {
  LoadNumbered(100);
  Walk({{VK_NEXT, {}, {0, 19}}, {VK_NEXT, {}, {0, 38}}});
  EXPECT_EQ(memo().RowOfLine(38), 19) << "the caret stays on the last whole row";
}

// Ctrl+Up moves the caret only when the scroll leaves it below the view. Counting lines
// instead of rows would send it onto a line hidden in the collapsed section above it.
TEST_F(KeyboardTest, CtrlUpKeepsACaretThatACollapsedSectionKeepsInView) {
  SetRows(5);
  LoadNumbered(30);
  memo().SectionTree->AddSection(1, 11, true);
  memo().ScrollTo(0, 1);
  Caret(2, 14);
  Key(VK_UP, {ssCtrl});
  EXPECT_EQ(std::pair(memo().TopLine, CaretPos()), std::pair(0, TTextPos{2, 14}));
  memo().ScrollTo(0, 12);
  Caret(2, 16);
  Key(VK_UP, {ssCtrl});
  EXPECT_EQ(std::pair(memo().TopLine, CaretPos().Y), std::pair(1, 15)) << "below the view: onto the last row";
}

TEST_F(KeyboardTest, CtrlSlashDoesNothingWithoutALineCommentInTheSyntax) {
  Load({"a"});
  memo().SyntaxAttributes->SyntaxFlags &= static_cast<std::uint16_t>(~HasILComment);
  Key(VK_OEM_2, {ssCtrl});
  EXPECT_EQ(Line(0), "a");
}

// Regression: Enter on the last whole row scrolled from a stale visible map and left the
// caret below the view.
TEST_F(KeyboardTest, EnterOnTheLastRowKeepsTheCaretInView) {
  LoadNumbered(100);
  KeyAt(7, 19, VK_RETURN);
  EXPECT_EQ(CaretPos(), (TTextPos{0, 20}));
  EXPECT_EQ(std::pair(memo().TopLine, memo().RowOfLine(20)), std::pair(1, 19));
  EXPECT_TRUE(memo().CaretShown);
  for (int i = 0; i < 5; ++i) memo().KeyPress('z');
  Key(VK_RETURN);
  EXPECT_EQ(memo().RowOfLine(CaretPos().Y), 19);
}

// Regression: an empty document (an empty file loaded) must keep TopLine at 0.
TEST_F(KeyboardTest, AnEmptyDocumentKeepsLineZeroOnTop) {
  memo().Lines->LoadFromStream("");
  memo().KeyPress('a');
  EXPECT_EQ(memo().Lines->Count(), 0) << "typing into no lines inserts nothing";
  Key(VK_NEXT), Key(VK_UP), Key(VK_DOWN, {ssCtrl}), Key(VK_UP, {ssCtrl});
  memo().MouseWheel(-120, {}), memo().MouseWheel(120, {}), memo().ScrollTo(0, 5);
  memo().SetOptions(memo().Options() + TSxSynMemoOptions{smoPanning});
  memo().MouseDown(TMouseButton::mbMiddle, {ssMiddle}, 100, 100);
  memo().MouseMove({ssMiddle}, 100, 90), memo().MouseUp(TMouseButton::mbMiddle, {}, 100, 90);
  EXPECT_EQ(memo().TopLine, 0);
}

}  // namespace
