// Caret, selection and the editing primitive: every shape of ReplaceSelection, the
// delete rules, caret clamping and trimming, selection extension, whole-text
// selections and the line-prefix commands.
#include <gtest/gtest.h>

#include "RangeFixture.h"

namespace {

using Lines = std::vector<std::string>;

class ReplaceSelectionTest : public RangeFixture {};

struct ReplaceCase {
  const char* rule;
  Lines text;
  TTextPos start, end;  // the selection; equal for a bare caret
  std::string with;
  Lines result;
  TTextPos caret;
};

const ReplaceCase kReplaceCases[] = {
    {"typing in virtual space pads the line", {"abc"}, P(6, 0), P(6, 0), "x", {"abc   x"}, P(7, 0)},
    {"splitting a line keeps prefix and suffix", {"ab", "z"}, P(1, 0), P(1, 0), "1\r\n2", {"a1", "2b", "z"}, P(1, 1)},
    {"a three-line selection becomes one line", {"first", "middle", "last", "after"}, P(2, 0), P(3, 2), "X",
     {"fiXt", "after"}, P(3, 0)},
    {"lone CR and LF split the text and NUL ends it", {"ab"}, P(1, 0), P(1, 0), std::string("1\r2\n3\0ignored", 13),
     {"a1", "2", "3b"}, P(1, 2)},
    {"empty text deletes the selection", {"hello", "world"}, P(3, 0), P(2, 1), "", {"helrld"}, P(3, 0)},
    {"a reversed range is put in order", {"abcdef"}, P(4, 0), P(1, 0), "", {"aef"}, P(1, 0)},
    {"positions past the text are clamped", {"ab", "cd"}, P(1, 0), P(3, 9), "Z", {"aZ"}, P(2, 0)},
    {"Cyrillic bytes are copied unchanged", {"\xF1\xEB\xEE\xE2\xEE"}, P(2, 0), P(2, 0), "\xE6",
     {"\xF1\xEB\xE6\xEE\xE2\xEE"}, P(3, 0)},
};

TEST_F(ReplaceSelectionTest, EveryShapeOfReplacement) {
  for (const ReplaceCase& c : kReplaceCases) {
    Load(c.text);
    Caret(c.start.X, c.start.Y);
    range().StartPos = c.start;
    range().EndPos = c.end;
    range().ReplaceSelection(c.with, ukPaste);
    EXPECT_EQ(Text(), c.result) << c.rule;
    EXPECT_EQ(range().CaretPos, c.caret) << c.rule;
    EXPECT_TRUE(range().IsEmpty()) << c.rule;
  }
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

TEST_F(ReplaceSelectionTest, DocumentWithoutLinesReceivesTheNewLines) {
  memo.Lines->LoadFromStream("");
  ASSERT_EQ(memo.Lines->Count(), 0);
  range().ReplaceSelection("a\r\nb", ukPaste);
  EXPECT_EQ(Text(), (Lines{"a", "b"}));
  EXPECT_EQ(range().CaretPos, P(1, 1));
  EXPECT_EQ(memo.SectionTree->Root()->LastLine, 2);
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
