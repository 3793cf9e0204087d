// The key table's rows that carry logic, and the caret staying in view. Tab stops, bookmark keys,
// typed Cyrillic, Ctrl+/ and the plain rows are pressed as real keys by the real-input suites.
#include "ControlFixture.h"

namespace {

class KeyboardTest : public ControlFixture {
 protected:
  void Key(std::uint16_t key, TShiftState shift = {}) { memo().KeyDown(key, shift); }
  void KeyAt(int x, int y, std::uint16_t key) { Caret(x, y), Key(key); }
};

// Backspace and Delete after Shift+Left at column 0 and a jump to the next section act at the caret:
// the regression deleted every line between the anchor and the caret.
TEST_F(KeyboardTest, KeysLeaveTheCaretAndTextAsTheTableSays) {
  using Keys = std::vector<std::pair<std::uint16_t, TShiftState>>;
  const TShiftState c{ssCtrl}, cs{ssCtrl, ssShift};
  const std::vector<std::string> jump = {"a", "b", "c", "d", "e", "{<+}f", "{>>}g"};
  const struct { std::vector<std::string> lines; TTextPos from; Keys keys; TTextPos to; const char* text; } rows[] = {
      {{"    foo", ""}, {0, 1}, {{VK_RETURN, {}}}, {4, 2}, "    foo\r\n\r\n    \r\n"},
      {{"      x"}, {6, 0}, {{VK_BACK, {}}}, {0, 0}, "x\r\n"},
      {{"ab  x"}, {4, 0}, {{VK_BACK, {}}}, {3, 0}, "ab x\r\n"},
      {{"a", "b"}, {0, 1}, {{VK_BACK, {}}}, {1, 0}, "ab\r\n"},
      {jump, {0, 0}, {{VK_LEFT, {ssShift}}, {VK_DOWN, cs}, {VK_BACK, {}}}, {1, 4}, "a\r\nb\r\nc\r\nd\r\nef\r\ng\r\n"},
      {jump, {0, 0}, {{VK_LEFT, {ssShift}}, {VK_DOWN, cs}, {VK_DELETE, {}}}, {0, 5}, "a\r\nb\r\nc\r\nd\r\ne\r\n\r\ng\r\n"},
      {{"    abc"}, {5, 0}, {{VK_HOME, {}}, {VK_HOME, {}}}, {4, 0}, nullptr},
      {{"    abc"}, {5, 0}, {{VK_HOME, {}}, {VK_HOME, {}}, {VK_HOME, {}}}, {0, 0}, nullptr},
      {{"ab  cd", "  ef"}, {0, 0}, {{VK_RIGHT, c}, {VK_RIGHT, c}, {VK_RIGHT, c}}, {2, 1}, nullptr},
      {{"ab  cd", "  ef"}, {2, 1}, {{VK_LEFT, c}}, {6, 0}, nullptr},
      {{"ab  cd", "  ef"}, {3, 0}, {{VK_LEFT, c}}, {0, 0}, nullptr},
      {{"ab  cd", "  ef"}, {3, 0}, {{VK_RIGHT, cs}}, {4, 0}, nullptr},
  };
  for (const auto& r : rows) {
    Load(r.lines);
    Caret(r.from.X, r.from.Y);
    for (const auto& [key, shift] : r.keys) Key(key, shift);
    EXPECT_EQ(CaretPos(), r.to) << r.lines[0] << " from " << r.from.X << "," << r.from.Y;
    if (r.text) { EXPECT_EQ(memo().Lines->Text(), r.text) << r.lines[0]; }
  }
  Load(Numbered(100));
  Key(VK_NEXT), Key(VK_NEXT);
  EXPECT_EQ(std::pair(CaretPos(), memo().RowOfLine(38)), std::pair(TTextPos{0, 38}, 19)) << "by the rows of the view";
  memo().SyntaxAttributes->SyntaxFlags &= static_cast<std::uint16_t>(~HasILComment);
  Key(VK_OEM_2, {ssCtrl});
  EXPECT_EQ(Line(0), "line 0") << "Ctrl+/ without a line comment in the syntax";
}

// Backspace joins only a visible line above; Ctrl+Up moves the caret only when the scroll leaves it
// below the view, counting rows, not lines hidden in a collapsed section.
TEST_F(KeyboardTest, CollapsedSectionsAreSkippedByBackspaceAndCtrlUp) {
  Load({"a", "b", "c", "d", "e"});
  memo().SectionTree->AddSection(1, 3, true);
  KeyAt(0, 4, VK_BACK);
  EXPECT_EQ(memo().Lines->Count(), 5);
  SetRows(5);
  Load(Numbered(30));
  memo().SectionTree->AddSection(1, 11, true);
  memo().ScrollTo(0, 1);
  Caret(2, 14), Key(VK_UP, {ssCtrl});
  EXPECT_EQ(std::pair(memo().TopLine, CaretPos()), std::pair(0, TTextPos{2, 14}));
  memo().ScrollTo(0, 12);
  Caret(2, 16), Key(VK_UP, {ssCtrl});
  EXPECT_EQ(std::pair(memo().TopLine, CaretPos().Y), std::pair(1, 15)) << "below the view: onto the last row";
}

// Regression: Enter on the last whole row scrolled from a stale visible map and left the caret below the view.
TEST_F(KeyboardTest, EnterOnTheLastRowKeepsTheCaretInView) {
  Load(Numbered(100));
  KeyAt(7, 19, VK_RETURN);
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
  memo().MouseWheel(-120, {}), memo().ScrollTo(0, 5);
  memo().SetOptions(memo().Options() + TSxSynMemoOptions{smoPanning});
  memo().MouseDown(TMouseButton::mbMiddle, {ssMiddle}, 100, 100);
  memo().MouseMove({ssMiddle}, 100, 90), memo().MouseUp(TMouseButton::mbMiddle, {}, 100, 90);
  EXPECT_EQ(memo().TopLine, 0);
}

}  // namespace
