// The undo history: grouping rules, caret records, the record limit, replay over text
// changed without a record, and the section tree each record restores.
#include <gtest/gtest.h>

#include "RangeFixture.h"

namespace {

using Lines = std::vector<std::string>;

class UndoGroupingTest : public RangeFixture {
 protected:
  void SetUp() override { Load({"abcdef"}); }
  void Backspace() {
    range().StartPos.X = range().CaretPos.X - 1;
    range().DeleteSelection();
  }
};

TEST_F(UndoGroupingTest, WithoutGroupingEachKeyIsOneRecord) {
  SetOption(smoGroupUndo, false);
  Caret(6, 0);
  Type("xyz");
  EXPECT_EQ(range().UndoList.size(), 3u);
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"abcdefxy"}));
}

struct GroupCase {
  const char* rule;
  int caret;
  const char* keys;  // letters type, '<' is Backspace, '>' is Delete
  const char* text;
};

const GroupCase kGroupCases[] = {
    {"typing", 2, "xyz", "abxyzcdef"},
    {"backspaces keep text order", 5, "<<<", "abf"},
    {"deletes at one place", 1, ">>>", "aef"},
    {"delete then backspace", 3, "><", "abef"},
};

TEST_F(UndoGroupingTest, GroupedKeysAreOneRecordUndoneExactly) {
  SetOption(smoGroupUndo, true);
  for (const GroupCase& c : kGroupCases) {
    Load({"abcdef"});
    Caret(c.caret, 0);
    range().UndoList.clear();
    for (const char* k = c.keys; *k; ++k) {
      if (*k == '<')
        Backspace();
      else if (*k == '>')
        range().DeleteSelection();
      else
        Type(std::string(1, *k));
    }
    EXPECT_EQ(Text(), (Lines{c.text})) << c.rule;
    ASSERT_EQ(range().UndoList.size(), 1u) << c.rule;
    range().Undo();
    EXPECT_EQ(Text(), (Lines{"abcdef"})) << c.rule;
    EXPECT_EQ(range().CaretPos, P(c.caret, 0)) << c.rule;
    EXPECT_FALSE(range().CanUndo()) << c.rule;
  }
}

TEST_F(UndoGroupingTest, CaretMoveAndKindChangeStartNewRecords) {
  SetOption(smoGroupUndo, true);
  Caret(0, 0);
  Type("12");
  Caret(8, 0);
  Type("34");
  range().ReplaceSelection("p", ukPaste);
  ASSERT_EQ(range().UndoList.size(), 4u);
  EXPECT_EQ(range().UndoList[0]->Kind, ukTyping);
  EXPECT_EQ(range().UndoList[1]->Kind, ukCaret);
  EXPECT_EQ(range().UndoList[2]->Kind, ukTyping);
  EXPECT_EQ(range().UndoList[3]->Kind, ukPaste);
  range().Undo();
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"12abcdef"}));
  range().Undo();
  EXPECT_EQ(range().CaretPos, P(2, 0));
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"abcdef"}));
}

TEST_F(UndoGroupingTest, PlainRecordsNeverMerge) {
  SetOption(smoGroupUndo, true);
  range().ReplaceSelection("a", ukPlain);
  range().ReplaceSelection("b", ukPlain);
  EXPECT_EQ(range().UndoList.size(), 2u);
}

class UndoHistoryTest : public RangeFixture {};

TEST_F(UndoHistoryTest, ARunOfCaretMovesIsOneRecordWalkedBack) {
  Load({"abc", "def", "ghi"});
  Caret(1, 0);
  Type("x");
  Caret(2, 1);
  Caret(3, 2);
  Caret(0, 2);
  ASSERT_EQ(range().UndoList.size(), 2u) << "the first move, with an empty history, made no record";
  range().Undo();
  EXPECT_EQ(range().CaretPos, P(2, 0));
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"abc", "def", "ghi"}));
  EXPECT_EQ(range().CaretPos, P(1, 0));
}

TEST_F(UndoHistoryTest, OldestRecordGoesPastTheLimit) {
  Load({""});
  for (int i = 0; i < 101; ++i) range().ReplaceSelection(std::string(1, char('a' + i % 26)), ukTyping);
  EXPECT_EQ(range().UndoList.size(), 100u);
  EXPECT_TRUE(range().CanUndo());
  while (range().CanUndo()) range().Undo();
  EXPECT_EQ(Text(), (Lines{"a"})) << "the first character's record was pushed out";
}

TEST_F(UndoHistoryTest, UndoLeavesTheModifiedFlagAlone) {
  Load({"abc"});
  Type("x");
  memo.Lines->SetModified(false);
  range().Undo();
  EXPECT_FALSE(memo.Lines->Modified());
  Type("y");
  EXPECT_TRUE(memo.Lines->Modified());
  range().Undo();
  EXPECT_TRUE(memo.Lines->Modified());
}

TEST_F(UndoHistoryTest, NewRecordsAndUndoReportTheUndoStack) {
  Load({"abc"});
  int reports = 0;
  memo.OnChange = [&](TSxMemoModel&, TChangedItems items) {
    if (items.Contains(ciUndoStack)) ++reports;
  };
  Type("x");
  EXPECT_EQ(reports, 1);
  range().Undo();
  EXPECT_EQ(reports, 2);
}

TEST_F(UndoHistoryTest, ResetViewEmptiesTheHistory) {
  Load({"abc"});
  Type("x");
  memo.Lines->NewDocument();
  EXPECT_FALSE(range().CanUndo());
  range().Undo();
  EXPECT_EQ(Text(), (Lines{""}));
}

TEST_F(UndoHistoryTest, UndoOfALineBreakRestoresTheTrimmedBlank) {
  Load({"a b"});
  Caret(2, 0);
  range().ReplaceSelection("\r\n", ukTyping);
  EXPECT_EQ(Text(), (Lines{"a", "b"})) << "leaving the line trimmed its blank";
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"a b"}));
}

TEST_F(UndoHistoryTest, TypingInVirtualSpaceUndoesWithoutLeftoverBlanks) {
  Load({"abc"});
  Caret(6, 0);
  Type("x");
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"abc"}));
  EXPECT_EQ(range().CaretPos, P(6, 0));
}

TEST_F(UndoHistoryTest, CaretRecordFillsTheOldCaretLineWithBlanks) {
  Load({"abc", "d"});
  Caret(1, 1);
  Type("x");
  Caret(6, 0);
  Caret(0, 1);
  range().Undo();
  EXPECT_EQ(range().CaretPos, P(2, 1));
  EXPECT_EQ(Text(), (Lines{"abc", "dx"}));
}

class UndoUnrecordedChangeTest : public RangeFixture {};

TEST_F(UndoUnrecordedChangeTest, IndentHasItsOwnRecordSoTypingUndoesExactly) {
  Load({"line"});
  Caret(4, 0);
  Type("ab");
  range().IndentLines();
  EXPECT_EQ(Text(), (Lines{"    lineab"}));
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"lineab"}));
  range().Undo();
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"line"}));
}

TEST_F(UndoUnrecordedChangeTest, UnindentAndCommentUndoOverSeveralLines) {
  Load({"    a", "    b", "c"});
  Select(0, 0, 1, 2);
  range().UnindentLines();
  range().ToggleLineComment(";");
  EXPECT_EQ(Text(), (Lines{";a", ";b", ";c"}));
  ASSERT_EQ(range().UndoList.size(), 2u) << "unindent, comment";
  EXPECT_EQ(range().LastUndoItem()->Kind, ukPlain);
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"a", "b", "c"}));
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"    a", "    b", "c"}));
}

TEST_F(UndoUnrecordedChangeTest, RecordPastTheTextIsClampedNotReadBeyond) {
  Load({"abc", "def"});
  TSxSynMemoUndoItem* r = range().AddUndoItem("XY\r\nZ");
  r->StartPos = P(10, 1);
  r->EndPos = P(40, 7);
  r->CaretPos = P(3, 9);
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"abc", "defXY", "Z", ""})) << "the caret below the text appends a line";
  EXPECT_EQ(range().CaretPos, P(3, 3));
  EXPECT_EQ(memo.SectionTree->Root()->LastLine, memo.Lines->Count());
}

TEST_F(UndoUnrecordedChangeTest, CaretBelowTheLastLineKeepsTheRootSpanningTheText) {
  Load({"{<+}a", "b", "{>>}c"});
  Caret(1, 0);
  Type("x");
  Caret(0, 3);
  ASSERT_EQ(memo.Lines->Count(), 4);
  range().Undo();
  EXPECT_EQ(memo.SectionTree->Root()->LastLine, memo.Lines->Count());
  EXPECT_EQ(Tree(), "[0-2]");
  range().Undo();
  EXPECT_EQ(memo.SectionTree->Root()->LastLine, memo.Lines->Count());
  EXPECT_EQ(Text()[0], "a");
}

TEST_F(UndoUnrecordedChangeTest, ShorterTextDropsSectionsThatNoLongerFit) {
  Load({"{<+}a", "{<+}b", "{>>}c", "{>>}d", "e"});
  TSxSynMemoUndoItem* r = range().AddUndoItem("");
  r->StartPos = P(0, 2);
  r->EndPos = P(1, 4);
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"a", "b", ""}));
  EXPECT_EQ(TreeWithLevels(), "[1-2:1]") << "the outer section lost its last line";
  EXPECT_EQ(memo.SectionTree->Root()->LastLine, 3);
}

class UndoSectionsTest : public RangeFixture {};

TEST_F(UndoSectionsTest, DeletingASectionsFirstLineIsUndoneWithTheSection) {
  Load({"x", "{<+}a", "b", "{>>}c"});
  Select(0, 1, 0, 2);
  range().ReplaceSelection("", ukDelete);
  EXPECT_EQ(Text(), (Lines{"x", "b", "c"}));
  EXPECT_EQ(Tree(), "") << "deleting a first line dissolves the section";
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"x", "a", "b", "c"}));
  EXPECT_EQ(Tree(), "[1-3]");
}

TEST_F(UndoSectionsTest, RecordsShareTheTreeUntilItChanges) {
  Load({"{<+}a", "{>>}b"});
  Caret(1, 0);
  Type("xy");
  TSxSMSectionClone* root = memo.SectionTree->Root();
  EXPECT_EQ(range().UndoList[0]->Sections, root);
  EXPECT_EQ(range().UndoList[1]->Sections, root);
  range().ReplaceSelection("\r\n", ukTyping);
  EXPECT_NE(memo.SectionTree->Root(), root) << "an inserted line copies the shared tree";
  EXPECT_EQ(Tree(), "[0-2]");
  EXPECT_EQ(Dump(*root, false), "[0-1]");
}

}  // namespace
