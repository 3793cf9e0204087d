// Copy, cut and paste with the private section format, marker extraction, and the
// section commands at the caret with their undo.
#include <gtest/gtest.h>

#include "RangeFixture.h"

namespace {

using Lines = std::vector<std::string>;

class ClipboardTest : public RangeFixture {
 protected:
  // The private block without its terminating NUL.
  std::string Block() const {
    std::string b = clip.GetSectionsBlock();
    EXPECT_FALSE(b.empty());
    if (!b.empty()) {
      EXPECT_EQ(b.back(), '\0');
      b.pop_back();
    }
    return b;
  }
};

TEST_F(ClipboardTest, OneLineSelectionIsPlainTextOnly) {
  Load({"hello"});
  Select(1, 0, 4, 0);
  range().CopyToClipboard();
  EXPECT_EQ(clip.GetText(), "ell");
  EXPECT_FALSE(clip.HasSections());
}

TEST_F(ClipboardTest, EmptySelectionKeepsTheClipboard) {
  Load({"hello"});
  clip.SetText("keep");
  range().CopyToClipboard();
  range().CutToClipboard();
  EXPECT_EQ(clip.GetText(), "keep");
  EXPECT_EQ(Text(), (Lines{"hello"}));
}

TEST_F(ClipboardTest, MarkersOnlyForSectionsInsideTheFullLines) {
  Load({"{<+}one", "{>>}two", "{<+}three", "four", "{>>}five"});
  Select(0, 0, 0, 3);
  range().CopyToClipboard();
  EXPECT_EQ(clip.GetText(), "one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(Block(), "{<+}one\r\n{>>}two\r\nthree\r\n") << "a section ending after the copy is not marked";
}

TEST_F(ClipboardTest, PartialFirstAndLastLinesAreNotMarked) {
  Load({"{<+}abc", "{>>}def", "ghi"});
  Select(1, 0, 2, 2);
  range().CopyToClipboard();
  EXPECT_EQ(Block(), "bc\r\ndef\r\ngh");
}

TEST_F(ClipboardTest, CollapsedSectionPastedAtColumnZeroComesBackCollapsed) {
  Load({"{<-}fold", "inner", "{>>}end", "x", "y", "z"});
  Select(0, 0, 0, 3);
  range().CopyToClipboard();
  EXPECT_EQ(Block(), "{<-}fold\r\ninner\r\n{>>}end\r\n");
  Caret(0, 5);
  range().PasteFromClipboard();
  EXPECT_EQ(Text(), (Lines{"fold", "inner", "end", "x", "y", "fold", "inner", "end", "z"}));
  EXPECT_EQ(Tree(), "[0-2c][5-7c]");
  EXPECT_EQ(range().CaretPos, P(0, 8));
  EXPECT_EQ(range().LastUndoItem()->Kind, ukPaste);
}

TEST_F(ClipboardTest, PasteMidLineDropsTheJoinedLinesStartMarker) {
  Load({"{<+}a", "{<+}b", "c", "{>>}d", "{>>}e", "XY"});
  Select(0, 0, 1, 4);
  range().CopyToClipboard();
  EXPECT_EQ(Block(), "{<+}a\r\n{<+}b\r\nc\r\n{>>}d\r\n{>>}e");
  Caret(1, 5);
  range().PasteFromClipboard();
  EXPECT_EQ(Text(), (Lines{"a", "b", "c", "d", "e", "Xa", "b", "c", "d", "e", "Y"}));
  EXPECT_EQ(Tree(), "[0-4[1-3]][6-8]") << "the outer start joined a line; its end found no start";
}

TEST_F(ClipboardTest, SectionsPasteAlwaysEndsWithALineBreak) {
  Load({"p", "q"});
  clip.SetText("plain");
  clip.AddSectionsBlock(std::string("{<+}s\r\n{>>}t", 12) + '\0');
  Caret(1, 1);
  range().PasteFromClipboard();
  EXPECT_EQ(Text(), (Lines{"p", "qs", "t", ""}));
}

TEST_F(ClipboardTest, SkipOptionsUsePlainTextOnly) {
  Load({"{<+}a", "{>>}b", "c"});
  SetOption(smoSkipSectionsOnCopy, true);
  Select(0, 0, 1, 1);
  range().CopyToClipboard();
  EXPECT_FALSE(clip.HasSections());
  EXPECT_EQ(clip.GetText(), "a\r\nb");

  SetOption(smoSkipSectionsOnCopy, false);
  range().CopyToClipboard();
  ASSERT_TRUE(clip.HasSections());
  SetOption(smoSkipSectionsOnPaste, true);
  Caret(0, 2);
  range().PasteFromClipboard();
  EXPECT_EQ(Text(), (Lines{"a", "b", "a", "bc"}));
  EXPECT_EQ(Tree(), "[0-1]") << "no section from the plain paste";
}

TEST_F(ClipboardTest, BlockIsReadUpToItsFirstNul) {
  Load({"x"});
  clip.SetText("plain");
  clip.AddSectionsBlock(std::string("{<+}a\r\n{>>}b\0{<+}junk", 21));
  Caret(0, 0);
  range().PasteFromClipboard();
  EXPECT_EQ(Text(), (Lines{"a", "b", "x"}));
  EXPECT_EQ(Tree(), "[0-1]");
}

TEST_F(ClipboardTest, CutRemovesTheSelectionAndUndoBringsItBack) {
  Load({"{<+}a", "{>>}b", "c"});
  Select(0, 0, 0, 2);
  range().CutToClipboard();
  EXPECT_EQ(Text(), (Lines{"c"}));
  EXPECT_EQ(range().LastUndoItem()->Kind, ukCut);
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"a", "b", "c"}));
  EXPECT_EQ(Tree(), "[0-1]");
}

TEST_F(ClipboardTest, ReadOnlyRefusesCutAndPaste) {
  Load({"abc", "def"});
  SetOption(smoReadOnly, true);
  clip.SetText("zzz");
  Select(0, 0, 2, 0);
  range().CutToClipboard();
  range().PasteFromClipboard();
  EXPECT_EQ(Text(), (Lines{"abc", "def"}));
  EXPECT_EQ(clip.GetText(), "zzz");
}

TEST_F(ClipboardTest, UndoOfASectionsPasteRemovesTextAndSections) {
  Load({"x"});
  clip.SetText("");
  clip.AddSectionsBlock(std::string("{<+}a\r\n{>>}b\r\n") + '\0');
  Caret(0, 0);
  range().PasteFromClipboard();
  ASSERT_EQ(Tree(), "[0-1]");
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"x"}));
  EXPECT_EQ(Tree(), "");
}

class ExtractMarkersTest : public ::testing::Test {};

TEST_F(ExtractMarkersTest, PairsListInnerSectionsFirst) {
  std::string text = "{<+}a\r\n{<-}b\nc\r{>>}d\r\n{>>}e";
  TSectionPairs pairs;
  ExtractSectionMarkers(text, pairs);
  EXPECT_EQ(text, "a\r\nb\r\nc\r\nd\r\ne\r\n");
  EXPECT_EQ(pairs, (TSectionPairs{-2, 3, 1, 4}));
}

TEST_F(ExtractMarkersTest, UnbalancedMarkersAreDroppedAndTheirTextKept) {
  std::string text = "{>>}stray\r\n{<+}open\r\nend";
  TSectionPairs pairs{7, 7};
  ExtractSectionMarkers(text, pairs);
  EXPECT_EQ(text, "stray\r\nopen\r\nend\r\n");
  EXPECT_TRUE(pairs.empty());
}

TEST_F(ExtractMarkersTest, NulEndsTheText) {
  std::string text("{<+}a\r\n{>>}b\0{<+}c\r\n{>>}d", 25);
  TSectionPairs pairs;
  ExtractSectionMarkers(text, pairs);
  EXPECT_EQ(text, "a\r\nb\r\n");
  EXPECT_EQ(pairs, (TSectionPairs{1, 1}));
}

class SectionCommandsTest : public RangeFixture {};

TEST_F(SectionCommandsTest, OneLineMakesATwoLineSectionWithANewEmptyLine) {
  Load({"a", "b", "c"});
  Caret(1, 1);
  range().CreateSectionFromSelection();
  EXPECT_EQ(Text(), (Lines{"a", "b", "", "c"}));
  EXPECT_EQ(Tree(), "[1-2]");
  EXPECT_EQ(range().CaretPos, P(0, 1));
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"a", "b", "c"}));
  EXPECT_EQ(Tree(), "");
  EXPECT_EQ(range().CaretPos, P(1, 1));
}

TEST_F(SectionCommandsTest, OnTheLastLineUndoRemovesTheAddedLineCleanly) {
  Load({"a", "last"});
  Caret(2, 1);
  range().CreateSectionFromSelection();
  EXPECT_EQ(Text(), (Lines{"a", "last", ""}));
  EXPECT_EQ(Tree(), "[1-2]");
  range().Undo();
  EXPECT_EQ(Text(), (Lines{"a", "last"}));
  EXPECT_EQ(Tree(), "");
  EXPECT_EQ(memo.SectionTree->Root()->LastLine, 2);
}

TEST_F(SectionCommandsTest, SeveralLinesBecomeOneSectionAroundInnerOnes) {
  Load({"a", "b", "{<+}c", "{>>}d", "e", "f"});
  Select(1, 1, 0, 4);
  range().CreateSectionFromSelection();
  EXPECT_EQ(TreeWithLevels(), "[1-4:1[2-3:2]]");
  EXPECT_EQ(range().CaretPos, P(0, 4));
  EXPECT_TRUE(range().IsEmpty());
  range().Undo();
  EXPECT_EQ(TreeWithLevels(), "[2-3:1]");
}

TEST_F(SectionCommandsTest, SelectionStartingOnASectionLineMakesNothing) {
  Load({"a", "{<+}b", "{>>}c", "d"});
  Select(2, 1, 1, 3);
  range().AddUndoItem("");
  const auto records = range().UndoList.size();
  range().CreateSectionFromSelection();
  EXPECT_EQ(Tree(), "[1-2]");
  EXPECT_EQ(range().CaretPos, P(0, 1));
  EXPECT_EQ(range().UndoList.size(), records + 1) << "only the caret move records";
  EXPECT_EQ(range().LastUndoItem()->Kind, ukCaret);
}

TEST_F(SectionCommandsTest, RemoveAndUndoBringTheSectionsBack) {
  Load({"{<+}a", "{<+}b", "{>>}c", "{>>}d"});
  Caret(0, 1);
  range().RemoveCaretSection(false);
  EXPECT_EQ(Tree(), "[0-3]");
  range().Undo();
  EXPECT_EQ(Tree(), "[0-3[1-2]]");
  Caret(0, 3);
  range().RemoveCaretSection(true);
  EXPECT_EQ(Tree(), "");
  EXPECT_EQ(Text(), (Lines{"a", "b", "c", "d"}));
  range().Undo();
  EXPECT_EQ(TreeWithLevels(), "[0-3:1[1-2:2]]");
}

TEST_F(SectionCommandsTest, CollapseMovesToTheSectionsFirstLine) {
  Load({"x", "{<+}a", "{<+}b", "{>>}c", "{>>}d"});
  Caret(0, 4);
  range().CollapseCaretSection(false);
  EXPECT_EQ(range().CaretPos, P(0, 1));
  EXPECT_EQ(Tree(), "[1-4c[2-3]]");
  range().ExpandCaretSection(false);
  range().CollapseCaretSection(true);
  EXPECT_EQ(Tree(), "[1-4[2-3c]]") << "nested folds the inner sections only";
}

TEST_F(SectionCommandsTest, CollapseOutsideAnySectionLeavesTheCaret) {
  Load({"x", "y", "{<+}a", "{>>}b"});
  Caret(0, 1);
  range().CollapseCaretSection(false);
  EXPECT_EQ(range().CaretPos, P(0, 1));
  EXPECT_EQ(Tree(), "[2-3]");
}

TEST_F(SectionCommandsTest, ExpandNestedOutsideSectionsOpensEverything) {
  Load({"x", "{<-}a", "{<-}b", "{>>}c", "{>>}d", "{<-}e", "{>>}f"});
  Caret(0, 0);
  range().ExpandCaretSection(true);
  EXPECT_EQ(Tree(), "[1-4[2-3]][5-6]");
}

TEST_F(SectionCommandsTest, GotoSkipsSectionsHiddenInCollapsedOnes) {
  Load({"x", "{<-}a", "{<+}b", "{>>}c", "{>>}d", "{<+}e", "{>>}f"});
  Caret(0, 0);
  range().GotoSection(true);
  EXPECT_EQ(range().CaretPos, P(0, 1));
  range().GotoSection(true);
  EXPECT_EQ(range().CaretPos, P(0, 5));
  range().GotoSection(true);
  EXPECT_EQ(range().CaretPos, P(0, 5)) << "no section after the last";
  range().GotoSection(false);
  EXPECT_EQ(range().CaretPos, P(0, 1));
}

}  // namespace
