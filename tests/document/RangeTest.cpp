// Caret, selection and the editing primitive: every shape of ReplaceSelection, the
// delete rules, caret clamping and trimming, selection extension, whole-text
// selections and the line-prefix commands.
#include <gtest/gtest.h>

#include "RangeFixture.h"
#include "platform/Cp1251.h"

namespace {

using Lines = std::vector<std::string>;

class ReplaceSelectionTest : public RangeFixture {};

TEST_F(ReplaceSelectionTest, TypingInVirtualSpacePadsTheLine) {
  Load({"abc"});
  Caret(6, 0);
  range().ReplaceSelection("x", ukTyping);
  EXPECT_EQ(Text(), (Lines{"abc   x"}));
  EXPECT_EQ(range().CaretPos, P(7, 0));
}

TEST_F(ReplaceSelectionTest, SplittingALineKeepsPrefixAndSuffix) {
  Load({"ab", "z"});
  Caret(1, 0);
  range().ReplaceSelection("1\r\n2", ukTyping);
  EXPECT_EQ(Text(), (Lines{"a1", "2b", "z"}));
  EXPECT_EQ(range().CaretPos, P(1, 1));
  EXPECT_TRUE(range().IsEmpty());
}

TEST_F(ReplaceSelectionTest, ThreeLineSelectionBecomesOneLine) {
  Load({"first", "middle", "last", "after"});
  Select(2, 0, 3, 2);
  range().ReplaceSelection("X", ukTyping);
  EXPECT_EQ(Text(), (Lines{"fiXt", "after"}));
  EXPECT_EQ(range().CaretPos, P(3, 0));
}

TEST_F(ReplaceSelectionTest, WholeLinesAtColumnZeroGoBeforeTheCaretLine) {
  Load({"{<+}head", "body", "{>>}tail"});
  Caret(0, 0);
  range().ReplaceSelection("n1\r\nn2\r\n", ukPaste);
  EXPECT_EQ(Text(), (Lines{"n1", "n2", "head", "body", "tail"}));
  EXPECT_EQ(range().CaretPos, P(0, 2));
  EXPECT_EQ(Tree(), "[2-4]") << "lines inserted before a section leave it whole";
}

TEST_F(ReplaceSelectionTest, LinesInsertedMidLineGoAfterTheStartLine) {
  Load({"{<+}head", "body", "{>>}tail"});
  Caret(2, 1);
  range().ReplaceSelection("X\r\nY\r\nZ", ukPaste);
  EXPECT_EQ(Text(), (Lines{"head", "boX", "Y", "Zdy", "tail"}));
  EXPECT_EQ(Tree(), "[0-4]");
}

TEST_F(ReplaceSelectionTest, LoneCrAndLfAndNulSplitTheText) {
  Load({"ab"});
  Caret(1, 0);
  range().ReplaceSelection(std::string("1\r2\n3\0ignored", 13), ukPaste);
  EXPECT_EQ(Text(), (Lines{"a1", "2", "3b"}));
}

TEST_F(ReplaceSelectionTest, EmptyTextDeletesTheSelection) {
  Load({"hello", "world"});
  Select(3, 0, 2, 1);
  range().ReplaceSelection("", ukDelete);
  EXPECT_EQ(Text(), (Lines{"helrld"}));
  EXPECT_EQ(range().CaretPos, P(3, 0));
}

TEST_F(ReplaceSelectionTest, ReversedRangeIsPutInOrderBeforeReplacing) {
  Load({"abcdef"});
  range().StartPos = P(4, 0);
  range().EndPos = P(1, 0);
  range().ReplaceSelection("", ukDelete);
  EXPECT_EQ(Text(), (Lines{"aef"}));
  EXPECT_EQ(range().CaretPos, P(1, 0));
}

TEST_F(ReplaceSelectionTest, DocumentWithoutLinesReceivesTheNewLines) {
  memo.Lines->LoadFromStream("");
  ASSERT_EQ(memo.Lines->Count(), 0);
  range().ReplaceSelection("a\r\nb", ukPaste);
  EXPECT_EQ(Text(), (Lines{"a", "b"}));
  EXPECT_EQ(range().CaretPos, P(1, 1));
  EXPECT_EQ(memo.SectionTree->Root()->LastLine, 2);
}

TEST_F(ReplaceSelectionTest, PositionsPastTheTextAreClamped) {
  Load({"ab", "cd"});
  range().StartPos = P(1, 0);
  range().EndPos = P(3, 9);
  range().ReplaceSelection("Z", ukDelete);
  EXPECT_EQ(Text(), (Lines{"aZ"}));
}

TEST_F(ReplaceSelectionTest, CyrillicBytesAreCopiedUnchanged) {
  const std::string word = cp1251::FromUtf8("слово");
  Load({word});
  Caret(2, 0);
  range().ReplaceSelection(cp1251::FromUtf8("ж"), ukTyping);
  EXPECT_EQ(Text()[0], cp1251::FromUtf8("слжово"));
}

class DeleteSelectionTest : public RangeFixture {};

TEST_F(DeleteSelectionTest, DeletesTheCharacterAfterTheCaret) {
  Load({"abc"});
  Caret(1, 0);
  range().DeleteSelection();
  EXPECT_EQ(Text(), (Lines{"ac"}));
  EXPECT_EQ(range().CaretPos, P(1, 0));
}

TEST_F(DeleteSelectionTest, AtLineEndJoinsTheNextLine) {
  Load({"ab", "cd"});
  Caret(2, 0);
  range().DeleteSelection();
  EXPECT_EQ(Text(), (Lines{"abcd"}));
}

TEST_F(DeleteSelectionTest, AtEndOfLastLineDoesNothing) {
  Load({"ab", "cd"});
  Caret(2, 1);
  const bool before = range().CanUndo();
  range().DeleteSelection();
  EXPECT_EQ(Text(), (Lines{"ab", "cd"}));
  EXPECT_EQ(range().CanUndo(), before);
}

TEST_F(DeleteSelectionTest, JoinFromVirtualSpacePadsAndUndoRestores) {
  Load({"ab", "cd"});
  Caret(5, 0);
  range().DeleteSelection();
  EXPECT_EQ(Text(), (Lines{"ab   cd"}));
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"ab", "cd"}));
  EXPECT_EQ(range().CaretPos, P(5, 0));
}

class CaretTest : public RangeFixture {};

TEST_F(CaretTest, LeavingALineTrimsTrailingBlanksSilently) {
  Load({"ab  ", "cd"});
  memo.Lines->SetModified(false);
  Caret(1, 0);
  const auto records = range().UndoList.size();
  Caret(1, 1);
  EXPECT_EQ(Text(), (Lines{"ab", "cd"}));
  EXPECT_FALSE(memo.Lines->Modified());
  EXPECT_EQ(range().UndoList.size(), records);
}

TEST_F(CaretTest, BelowTheLastLineAppendsOneEmptyLineOnlyOnce) {
  Load({"ab"});
  Caret(3, 5);
  EXPECT_EQ(Text(), (Lines{"ab", ""}));
  EXPECT_EQ(range().CaretPos, P(3, 1));
  Caret(0, 9);
  EXPECT_EQ(Text(), (Lines{"ab", ""}));
  EXPECT_EQ(range().CaretPos, P(0, 1));
  EXPECT_EQ(memo.SectionTree->Root()->LastLine, 2);
}

TEST_F(CaretTest, NegativeCoordinatesClampToTheOrigin) {
  Load({"ab", "cd"});
  Caret(1, 1);
  Caret(-4, -2);
  EXPECT_EQ(range().CaretPos, P(0, 0));
}

TEST_F(CaretTest, OnCaretMoveGetsTheRequestedPosition) {
  Load({"ab"});
  TTextPos seen{-1, -1};
  int calls = 0;
  range().OnCaretMove = [&](const TTextPos& p) {
    seen = p;
    ++calls;
  };
  Caret(-3, 0);
  EXPECT_EQ(seen, P(-3, 0));
  EXPECT_EQ(range().CaretPos, P(0, 0));
  Caret(0, 0);
  EXPECT_EQ(calls, 1) << "a move to the same place is no move";
}

class ExtendSelectionTest : public RangeFixture {};

TEST_F(ExtendSelectionTest, PastTheAnchorOnOneLineSwapsColumns) {
  Load({"abcdef"});
  Caret(3, 0);
  range().ExtendSelection(2, false, false);
  EXPECT_EQ(range().StartPos, P(3, 0));
  EXPECT_EQ(range().EndPos, P(5, 0));
  range().ExtendSelection(-4, false, false);
  EXPECT_EQ(range().StartPos, P(1, 0));
  EXPECT_EQ(range().EndPos, P(3, 0));
  EXPECT_EQ(range().CaretPos, P(1, 0));
}

TEST_F(ExtendSelectionTest, VerticallyPastTheAnchorKeepsStartBeforeEnd) {
  Load({"aaaa", "bbbb", "cccc"});
  Caret(2, 1);
  range().ExtendSelection(1, true, false);
  EXPECT_EQ(range().EndPos, P(2, 2));
  range().ExtendSelection(-2, true, false);
  EXPECT_EQ(range().StartPos, P(2, 0));
  EXPECT_EQ(range().EndPos, P(2, 1));
  EXPECT_EQ(range().GetSelText(), "aa\r\nbb");
}

TEST_F(ExtendSelectionTest, StepsClampToLineAndDocument) {
  Load({"abc", "d"});
  Caret(1, 0);
  range().ExtendSelection(50, false, false);
  EXPECT_EQ(range().CaretPos, P(3, 0));
  range().ExtendSelection(9, true, false);
  EXPECT_EQ(range().CaretPos, P(3, 1));
  EXPECT_EQ(range().GetSelText(), "bc\r\nd");
}

TEST_F(ExtendSelectionTest, ByVisibleLinesSkipsACollapsedSection) {
  Load({"top", "{<-}fold", "hidden", "{>>}end", "below"});
  Caret(0, 0);
  range().ExtendSelection(2, true, true);
  EXPECT_EQ(range().CaretPos.Y, 4);
}

TEST_F(ExtendSelectionTest, CaretMoveAfterExtendingKeepsTheAnchor) {
  Load({"abcdef"});
  Caret(1, 0);
  range().ExtendSelection(2, false, false);
  range().SetCaretPos({5, 0});
  EXPECT_EQ(range().StartPos, P(1, 0));
  EXPECT_EQ(range().EndPos, P(3, 0));
  range().ClearSelection();
  EXPECT_TRUE(range().IsEmpty());
  EXPECT_EQ(range().StartPos, P(5, 0));
}

class WholeTextSelectionTest : public RangeFixture {};

TEST_F(WholeTextSelectionTest, SelectAllCoversEveryLine) {
  Load({"ab", "c"});
  range().SelectAll();
  EXPECT_EQ(range().StartPos, P(0, 0));
  EXPECT_EQ(range().EndPos, P(1, 1));
  EXPECT_EQ(range().GetSelText(), "ab\r\nc");
}

TEST_F(WholeTextSelectionTest, SelectToStartAndToEnd) {
  Load({"abc", "def", "gh"});
  Caret(1, 1);
  range().SelectToStart();
  EXPECT_EQ(range().GetSelText(), "abc\r\nd");
  Caret(1, 1);
  range().ClearSelection();
  range().SelectToEnd();
  EXPECT_EQ(range().GetSelText(), "ef\r\ngh");
}

TEST_F(WholeTextSelectionTest, SetCaretOffsetCountsTwoPerLineBreak) {
  Load({"abc", "def"});
  range().SetCaretOffset(6);
  EXPECT_EQ(range().CaretPos, P(1, 1));
  range().SetCaretOffset(1000);
  EXPECT_EQ(range().CaretPos, P(3, 1));
}

TEST_F(WholeTextSelectionTest, SelectCharsCountsLineBreaksAndClampsToTheText) {
  Load({"ab", "cd"});
  Caret(1, 0);
  range().SelectChars(3);
  EXPECT_EQ(range().GetSelText(), "b") << "a count ending inside a line break stops at the line end";
  range().ClearSelection();
  range().SetCaretPos({1, 0});
  range().SelectChars(4);
  EXPECT_EQ(range().GetSelText(), "b\r\nc");
  range().ClearSelection();
  range().SetCaretPos({1, 0});
  range().SelectChars(100);
  EXPECT_EQ(range().GetSelText(), "b\r\ncd");
}

class LinePrefixTest : public RangeFixture {};

TEST_F(LinePrefixTest, IndentAndUnindentEverySelectedLine) {
  Load({"a", "   b", "c", "d"});
  Select(0, 0, 1, 2);
  range().IndentLines();
  EXPECT_EQ(Text(), (Lines{"    a", "       b", "    c", "d"}));
  range().UnindentLines();
  range().UnindentLines();
  EXPECT_EQ(Text(), (Lines{"a", "   b", "c", "d"})) << "three leading blanks are not an indent";
  EXPECT_EQ(range().StartPos, P(0, 0)) << "the selection stays";
}

TEST_F(LinePrefixTest, ToggleCommentFollowsTheFirstLine) {
  Load({"x", "//y", "z"});
  Select(0, 0, 1, 2);
  range().ToggleLineComment("//");
  EXPECT_EQ(Text(), (Lines{"//x", "//y", "//z"}));
  Load({"//x", "y", "//z"});
  Select(0, 0, 1, 2);
  range().ToggleLineComment("//");
  EXPECT_EQ(Text(), (Lines{"x", "y", "z"}));
}

}  // namespace
