// Copy, cut and paste with the private section format, marker extraction, and the
// section commands at the caret with their undo.
#include "RangeFixture.h"

namespace {

class ClipboardTest : public RangeFixture {};

// Only sections lying inside the copied whole lines are marked; a one-line copy, or one
// with the skip option, is plain text.
TEST_F(ClipboardTest, CopyMarksSectionsInsideTheFullLines) {
  struct Case { Lines text; int x1, y1, x2, y2; const char* plain; std::string block; bool skip = false; };
  const Case cases[] = {
      {{"hello"}, 1, 0, 4, 0, "ell", ""},
      {{"{<+}one", "{>>}two", "{<+}three", "four", "{>>}five"}, 0, 0, 0, 3, "one\r\ntwo\r\nthree\r\n",
       std::string("{<+}one\r\n{>>}two\r\nthree\r\n") + '\0'},
      {{"{<+}abc", "{>>}def", "ghi"}, 1, 0, 2, 2, "bc\r\ndef\r\ngh", std::string("bc\r\ndef\r\ngh") + '\0'},
      {{"{<+}a", "{>>}b", "c"}, 0, 0, 1, 1, "a\r\nb", "", true},
  };
  for (const Case& c : cases) {
    Load(c.text);
    SetOption(smoSkipSectionsOnCopy, c.skip);
    Select(c.x1, c.y1, c.x2, c.y2);
    range().CopyToClipboard();
    EXPECT_EQ(clip.GetText(), c.plain);
    EXPECT_EQ(clip.GetSectionsBlock(), c.block);
  }
}

// Cut takes a selection only, and only from a writable document (its undo is checked by
// the edit property test).
TEST_F(ClipboardTest, CutNeedsASelectionAndAWritableDocument) {
  Load({"{<+}a", "{>>}b", "c"});
  clip.SetText("keep");
  range().CopyToClipboard();
  range().CutToClipboard();
  SetOption(smoReadOnly, true);
  Select(0, 0, 0, 2);
  range().CutToClipboard();
  range().PasteFromClipboard();
  EXPECT_EQ(Text(), (Lines{"a", "b", "c"}));
  EXPECT_EQ(clip.GetText(), "keep");
  SetOption(smoReadOnly, false);
  range().CutToClipboard();
  EXPECT_EQ(Text(), (Lines{"c"}));
  EXPECT_EQ(clip.GetText(), "a\r\nb\r\n");
  EXPECT_EQ(range().LastUndoItem()->Kind, ukCut);
}

// Sections come back from a paste at column 0 with their fold state; mid-line the joined
// line's start marker is dropped and its end finds no start, both markers stripped from the
// text; skipping them pastes plain text.
TEST_F(ClipboardTest, PastedSectionsAtColumnZeroMidLineAndSkipped) {
  struct Case { Lines text; int x1, y1, x2, y2; TTextPos at; bool skip; Lines after; const char* tree; TTextPos caret; };
  const Case cases[] = {
      {{"{<-}fold", "inner", "{>>}end", "x", "y", "z"}, 0, 0, 0, 3, P(0, 5), false,
       {"fold", "inner", "end", "x", "y", "fold", "inner", "end", "z"}, "[0-2c][5-7c]", P(0, 8)},
      {{"{<+}a", "{<+}b", "c", "{>>}d", "{>>}e", "XY"}, 0, 0, 1, 4, P(1, 5), false,
       {"a", "b", "c", "d", "e", "Xa", "b", "c", "d", "e", "Y"}, "[0-4[1-3]][6-8]", P(0, 10)},
      {{"{<+}a", "{>>}b", "c"}, 0, 0, 1, 1, P(0, 2), true, {"a", "b", "a", "bc"}, "[0-1]", P(1, 3)},
  };
  for (const Case& c : cases) {
    Load(c.text);
    SetOption(smoSkipSectionsOnPaste, c.skip);
    Select(c.x1, c.y1, c.x2, c.y2);
    range().CopyToClipboard();
    ASSERT_TRUE(clip.HasSections());
    Caret(c.at.X, c.at.Y);
    range().PasteFromClipboard();
    EXPECT_EQ(Text(), c.after);
    EXPECT_EQ(Tree(), c.tree);
    EXPECT_EQ(range().CaretPos, c.caret);
    EXPECT_EQ(range().LastUndoItem()->Kind, ukPaste);
  }
}

// A pasted block is read up to its first NUL (the text pasted otherwise, one line break
// added at its end, is the edit property test's).
TEST_F(ClipboardTest, SectionsBlockPasteReadsToTheFirstNul) {
  Load({"p", "q"});
  clip.SetText("plain");
  clip.AddSectionsBlock(std::string("{<+}a\r\n{>>}b\0{<+}junk", 21));
  range().PasteFromClipboard();
  EXPECT_EQ(Text(), (Lines{"a", "b", "p", "q"}));
  EXPECT_EQ(Tree(), "[0-1]");
}

class SectionCommandsTest : public RangeFixture {};

// The selection's lines become a section around the inner ones; a caret line becomes a
// two-line section over a new empty line; a selection starting on a section's line makes
// nothing but the caret move. The caret move to the section's first line makes a record of
// its own (regression: it was folded into the section's record); undoing both is the edit
// property test's (regression: on the last line the root kept the added line).
TEST_F(SectionCommandsTest, CreateSectionFromSelectionRecordsTheCaretMove) {
  struct Case { Lines text; int x1, y1, x2, y2; Lines after; const char* tree; TTextPos caret; size_t added; };
  const Case cases[] = {
      {{"a", "b", "c"}, 1, 1, 1, 1, {"a", "b", "", "c"}, "[1-2:1]", P(0, 1), 2},
      {{"a", "last"}, 2, 1, 2, 1, {"a", "last", ""}, "[1-2:1]", P(0, 1), 2},
      {{"a", "b", "{<+}c", "{>>}d", "e"}, 1, 1, 0, 4, {"a", "b", "c", "d", "e"}, "[1-4:1[2-3:2]]", P(0, 4), 1},
      {{"a", "{<+}b", "{>>}c", "d"}, 2, 1, 1, 3, {"a", "b", "c", "d"}, "[1-2:1]", P(0, 1), 1},
  };
  for (const Case& c : cases) {
    Load(c.text);
    const std::string tree = TreeWithLevels();
    Select(c.x1, c.y1, c.x2, c.y2);
    const TTextPos caret = range().CaretPos;
    range().AddUndoItem("");  // a fresh record, so a caret move cannot join an earlier run
    const auto records = range().UndoList.size();
    range().CreateSectionFromSelection();
    EXPECT_EQ(Text(), c.after);
    EXPECT_EQ(TreeWithLevels(), c.tree);
    EXPECT_EQ(range().CaretPos, c.caret);
    ASSERT_EQ(range().UndoList.size(), records + c.added);
    EXPECT_EQ(range().LastUndoItem()->Kind == ukCaret, caret != c.caret);
    EXPECT_TRUE(range().IsEmpty() || tree == c.tree);
  }
}

// Folding moves the caret to the section's first line and does nothing outside sections;
// nested folds the inner sections only, or opens everything outside them; going to a
// section skips hidden ones; removing takes the caret's section or its whole subtree.
TEST_F(SectionCommandsTest, FoldGotoAndRemoveAtTheCaret) {
  Load({"x", "{<+}a", "{<+}b", "{>>}c", "{>>}d", "{<-}e", "{>>}f"});
  std::vector<TTextPos> visited;
  for (bool forward : {true, true, true, true, false}) {
    range().GotoSection(forward);
    visited.push_back(range().CaretPos);
  }
  EXPECT_EQ(visited, (std::vector<TTextPos>{P(0, 1), P(0, 2), P(0, 5), P(0, 5), P(0, 2)}));
  Caret(0, 0);
  range().CollapseCaretSection(false);
  EXPECT_EQ(range().CaretPos, P(0, 0));
  Caret(0, 4);
  range().CollapseCaretSection(false);
  EXPECT_EQ(range().CaretPos, P(0, 1));
  range().GotoSection(true);
  EXPECT_EQ(range().CaretPos, P(0, 5)) << "the inner section is hidden";
  EXPECT_EQ(Tree(), "[1-4c[2-3]][5-6c]");
  Caret(0, 1);
  range().ExpandCaretSection(false);
  range().CollapseCaretSection(true);
  EXPECT_EQ(Tree(), "[1-4[2-3c]][5-6c]");
  Caret(0, 0);
  range().ExpandCaretSection(true);
  EXPECT_EQ(Tree(), "[1-4[2-3]][5-6]");
  Caret(0, 5);
  range().RemoveCaretSection(false);
  EXPECT_EQ(Tree(), "[1-4[2-3]]");
  Caret(0, 4);
  range().RemoveCaretSection(true);
  EXPECT_EQ(Tree(), "");
  EXPECT_EQ(Text(), (Lines{"x", "a", "b", "c", "d", "e", "f"}));
}

}  // namespace
