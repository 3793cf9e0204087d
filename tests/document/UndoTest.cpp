// The undo history: grouping rules, caret records, the line-prefix commands, replay over text
// changed without a record, and the section tree each record restores.
#include <random>

#include "RangeFixture.h"

namespace {

class UndoTest : public RangeFixture {
 protected:
  // Letters type, '<' is Backspace, '>' is Delete.
  void Keys(std::string_view keys) {
    for (char k : keys) {
      if (k == '<') range().StartPos.X = range().CaretPos.X - 1;
      k == '<' || k == '>' ? range().DeleteSelection() : Type(std::string(1, k));
    }
  }
  void Undo(int times = 1) { while (times-- > 0) range().Undo(); }
  std::vector<TUndoKind> Kinds() const {
    std::vector<TUndoKind> out;
    for (const auto& r : memo.Range->UndoList) out.push_back(r->Kind);
    return out;
  }
};

// Keys pressed at one caret on "abcdef": the text and the records made (undoing them exactly
// is the edit property test's).
struct GroupCase { const char* rule; bool group; int caret; const char* keys; const char* text; std::size_t records; };
const GroupCase kGroupCases[] = {
    {"without grouping each key is one record", false, 6, "xyz", "abcdefxyz", 3},
    {"typing", true, 2, "xyz", "abxyzcdef", 1},
    {"backspaces keep text order", true, 5, "<<<", "abf", 1},
    {"deletes at one place", true, 1, ">>>", "aef", 1},
    {"delete then backspace", true, 3, "><", "abef", 1},
};

TEST_F(UndoTest, GroupedKeysAreOneRecord) {
  for (const GroupCase& c : kGroupCases) {
    SCOPED_TRACE(c.rule);
    SetOption(smoGroupUndo, c.group);
    Load({"abcdef"});
    Caret(c.caret, 0);
    range().UndoList.clear();
    Keys(c.keys);
    EXPECT_EQ(Text(), (Lines{c.text}));
    ASSERT_EQ(range().UndoList.size(), c.records);
    memo.Lines->SetModified(false);
    Undo(int(c.records));
    EXPECT_FALSE(memo.Lines->Modified()) << "undo leaves Modified alone";
  }
}

TEST_F(UndoTest, CaretMovesAndKindChangesStartRecordsAndPlainOnesNeverMerge) {
  SetOption(smoGroupUndo, true);
  Load({"abcdef", "gh"});
  Caret(0, 0);
  Type("12");
  Caret(1, 1);
  Caret(8, 0);  // a run of moves is one record
  Type("34");
  range().ReplaceSelection("p", ukPaste);
  range().ReplaceSelection("a", ukPlain);
  range().ReplaceSelection("b", ukPlain);
  EXPECT_EQ(Kinds(), (std::vector<TUndoKind>{ukTyping, ukCaret, ukTyping, ukPaste, ukPlain, ukPlain}));
  Type("z");
  memo.Lines->NewDocument();
  EXPECT_FALSE(range().CanUndo()) << "a new document empties the stack";
}

// Replays that must not keep the blanks an edit added or lose the ones it trimmed.
TEST_F(UndoTest, UndoRestoresBlanksExactly) {
  Load({"abc", "d"});
  Caret(1, 1);
  Type("x");
  Caret(6, 0);
  Type("y");  // typing in virtual space
  Caret(0, 1);
  Undo(2);
  EXPECT_EQ(Text(), (Lines{"abc", "dx"}));
  EXPECT_EQ(range().CaretPos, P(6, 0));
  Undo();
  EXPECT_EQ(range().CaretPos, P(2, 1)) << "the caret record fills the old caret line with blanks";
}

// Regression: the line-prefix commands (their results are the edit property test's) changed
// lines without a record, so undoing typing made before them removed the wrong characters.
TEST_F(UndoTest, LinePrefixCommandsHaveRecordsOfTheirOwn) {
  Load({"line"});
  Caret(4, 0);
  Type("ab");
  range().IndentLines();
  EXPECT_EQ(Text(), (Lines{"    lineab"}));
  Undo(3);
  EXPECT_EQ(Text(), (Lines{"line"}));
}

// Regression: records whose positions no longer fit the text were replayed past lines and
// past the document.
TEST_F(UndoTest, RecordsReplayWithinTheText) {
  Load({"abc", "def"});
  TSxSynMemoUndoItem* r = range().AddUndoItem("XY\r\nZ");
  r->StartPos = P(10, 1);
  r->EndPos = P(40, 7);
  r->CaretPos = P(3, 9);
  Undo();
  EXPECT_EQ(Text(), (Lines{"abc", "defXY", "Z", ""})) << "the caret below the text appends a line";
  EXPECT_EQ(range().CaretPos, P(3, 3));
  EXPECT_EQ(memo.SectionTree->Root()->LastLine(), memo.Lines->Count());
  Load({"{<+}a", "{<+}b", "{>>}c", "{>>}d", "e"});
  r = range().AddUndoItem("");
  r->StartPos = P(0, 2);
  r->EndPos = P(1, 4);
  Undo();
  EXPECT_EQ(Text(), (Lines{"a", "b", ""}));
  EXPECT_EQ(TreeWithLevels(), "[1-2:1]") << "the outer section lost its last line";
  EXPECT_EQ(memo.SectionTree->Root()->LastLine(), 3);
  // Regression: undo after a caret move below the last line left a root not spanning the text.
  Load({"{<+}a", "b", "{>>}c"});
  Caret(1, 0);
  Type("x");
  Caret(0, 3);
  ASSERT_EQ(memo.Lines->Count(), 4);
  Undo();
  EXPECT_EQ(memo.SectionTree->Root()->LastLine(), memo.Lines->Count());
  EXPECT_EQ(Tree(), "[0-2]");
  Undo();
  EXPECT_EQ(memo.SectionTree->Root()->LastLine(), memo.Lines->Count());
  EXPECT_EQ(Text()[0], "a");
}

// Undoing an edit that reshaped the tree gives the tree back as it stood, folds made
// after it included; an edit within a line leaves later folds as they are.
TEST_F(UndoTest, UndoOfAReshapingEditRestoresTheFoldsOfItsTree) {
  Load({"a", "{<+}b", "c", "{>>}d", "e"});
  Caret(1, 4);
  range().ReplaceSelection("\r\n", ukPlain);
  memo.SectionTree->CollapseSection(1, false, false);
  Caret(0, 0);
  Type("x");
  memo.SectionTree->ExpandSection(1, false, false);
  memo.SectionTree->CollapseSection(1, false, false);
  EXPECT_EQ(Tree(), "[1-3c]");
  Undo(2);
  EXPECT_EQ(Tree(), "[1-3c]") << "the typing record keeps the folds";
  Undo(2);
  EXPECT_EQ(Tree(), "[1-3]");
  EXPECT_EQ(memo.Lines->Count(), 5);
}

// An undo tokenizes only the lines its replay changed and carries the state on from them:
// after every step each line has the tokens of the same text loaded afresh.
TEST_F(UndoTest, EveryUndoStepLeavesTheTokensOfAFreshLoad) {
  std::mt19937 rng(3);
  const char* pieces[] = {"x ", "{", "}", "(*", "*)", "'", "//", "\r\n"};
  Load(Lines(40, "a b"));
  for (int step = 0; step < 60; ++step) {
    Caret(int(rng() % 4), int(rng() % unsigned(memo.Lines->Count())));
    range().ReplaceSelection(pieces[rng() % 8], ukPlain);
  }
  while (range().CanUndo()) {
    Undo();
    TSxMemoModel fresh;
    fresh.Lines->LoadFromStream(memo.Lines->Text());
    ASSERT_EQ(fresh.Lines->Count(), memo.Lines->Count());
    for (int i = 0; i < memo.Lines->Count(); ++i)
      ASSERT_EQ(fresh.Lines->TokenList(i).Tokens(), memo.Lines->TokenList(i).Tokens()) << range().UndoList.size();
  }
}

}  // namespace
