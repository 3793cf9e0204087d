// The section tree: markers, repairs, AddSection rules, folding, the visible map and
// sections following inserted and deleted lines.
#include <gtest/gtest.h>

#include "SectionDump.h"
#include "syntax/Errors.h"

namespace {

class SectionsTest : public ::testing::Test {
 protected:
  void Load(const std::string& text) { m.Lines->LoadFromStream(text); }
  void LoadPlain(int lines) {
    std::string t;
    for (int i = 0; i < lines; ++i) t += "l" + std::to_string(i) + "\r\n";
    Load(t);
  }
  TSxSynMemoSections& tree() { return *m.SectionTree; }
  TSxMemoModel m;
};

TEST_F(SectionsTest, MarkersBecomeNestedSectionsAndAreStripped) {
  Load("{<+}a\r\nb\r\n{<-}c\r\n{>>}d\r\n{>>}e\r\n");
  EXPECT_EQ(LinesOf(m), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(DumpSections(m), "[0..4 [2..3 c]]");
  EXPECT_EQ(VisibleRows(m), (std::vector<int>{0, 1, 2, 4}));
  EXPECT_EQ(tree().Root()->LastLine, 5);
  EXPECT_EQ(tree().SectionOf(3)->FirstLine, 2);
  EXPECT_EQ(tree().SectionOf(1)->FirstLine, 0);
  EXPECT_EQ(tree().LineRole(0), 1);
  EXPECT_EQ(tree().LineRole(2), 2);
  EXPECT_EQ(tree().LineRole(3), 3);
  EXPECT_EQ(tree().LineRole(1), 0);
  EXPECT_EQ(tree().MaxLevel(), 2);
}

TEST_F(SectionsTest, StrayEndMarkerGetsASectionOnAnInsertedLine) {
  Load("a\r\n{>>}x\r\n");
  EXPECT_EQ(LinesOf(m), (std::vector<std::string>{"a", "", "x"}));
  EXPECT_EQ(DumpSections(m), "[1..2]");
}

TEST_F(SectionsTest, UnclosedSectionIsClosedOnAnAppendedLine) {
  Load("a\r\n{<+}b\r\nc\r\n");
  EXPECT_EQ(LinesOf(m), (std::vector<std::string>{"a", "b", "c", ""}));
  EXPECT_EQ(DumpSections(m), "[1..3]");
  EXPECT_EQ(tree().Root()->LastLine, 4);
}

TEST_F(SectionsTest, MarkersAreWrittenBackOnlyWithTheOption) {
  Load("{<+}a\r\n{<-}b\r\n{>>}c\r\n{>>}d\r\n");
  std::string plain;
  m.Lines->SaveToStream(plain);
  EXPECT_EQ(plain, "a\r\nb\r\nc\r\nd\r\n");
  m.SetOptions(m.Options() + TSxSynMemoOptions{smoWriteMarkersOnSave});
  std::string marked;
  m.Lines->SaveToStream(marked);
  EXPECT_EQ(marked, "{<+}a\r\n{<-}b\r\n{>>}c\r\n{>>}d\r\n");
  EXPECT_EQ(LinesOf(m), (std::vector<std::string>{"a", "b", "c", "d"})) << "the document never receives markers";
}

struct AddCase {
  const char* rule;
  std::vector<std::pair<int, int>> before;
  int first, last;
  bool made;
  const char* tree;
  bool marksModified = false;
};

const AddCase kAddCases[] = {
    {"adopts the sections inside it", {{3, 4}}, 2, 5, true, "[2..5 [3..4]]"},
    {"crossing a boundary is refused", {{4, 7}}, 2, 5, false, "[4..7]", true},
    {"starting inside an earlier one replaces it", {{1, 10}, {2, 6}}, 4, 9, true, "[1..10 [4..9]]"},
    {"reaching past the end of a section replaces it", {{2, 5}}, 5, 8, true, "[5..8]"},
    {"the same range twice makes nothing", {{2, 5}}, 2, 5, false, "[2..5]"},
    {"a range sharing an end line makes nothing", {{2, 5}}, 3, 5, false, "[2..5]"},
    {"one line is no section", {}, 7, 7, false, ""},
    {"a reversed range is no section", {}, 8, 7, false, ""},
    {"a range past the text is no section", {}, 8, 12, false, ""},
    {"a negative line is no section", {}, -1, 3, false, ""},
};

TEST_F(SectionsTest, AddSectionRules) {
  for (const AddCase& c : kAddCases) {
    LoadPlain(12);
    for (auto [first, last] : c.before) ASSERT_NE(tree().AddSection(first, last, false), nullptr) << c.rule;
    m.Lines->SetModified(false);
    EXPECT_EQ(tree().AddSection(c.first, c.last, false) != nullptr, c.made) << c.rule;
    EXPECT_EQ(DumpSections(m), c.tree) << c.rule;
    if (c.made || c.marksModified) {
      EXPECT_TRUE(m.Lines->Modified()) << c.rule;
    }
  }
  LoadPlain(10);
  tree().AddSection(3, 4, false);
  tree().AddSection(2, 5, false);
  EXPECT_EQ(tree().SectionOf(3)->Level, 2);
}

TEST_F(SectionsTest, VisibleMapWithNestedCollapsedSectionsAndLevels) {
  Load("{<+}0\r\n{<-}1\r\n{<+}2\r\n{>>}3\r\n{>>}4\r\n5\r\n{<-}6\r\n{>>}7\r\n{>>}8\r\n");
  EXPECT_EQ(DumpSections(m), "[0..8 [1..4 c [2..3]] [6..7 c]]");
  EXPECT_EQ(VisibleRows(m), (std::vector<int>{0, 1, 5, 6, 8}));
  EXPECT_EQ(tree().MaxLevel(), 3);
  EXPECT_EQ(tree().MaxVisibleLevel(), 2);
  EXPECT_EQ(tree().VisibleIndexOf(3), -1);
  EXPECT_EQ(tree().VisibleIndexOf(8), 4);
  EXPECT_FALSE(tree().IsSectionVisible(tree().SectionOf(2)));
  tree().CollapseSection(0, false, false);
  EXPECT_EQ(VisibleRows(m), (std::vector<int>{0}));
  EXPECT_EQ(tree().MaxVisibleLevel(), 1);
  tree().ExpandSection(2, false, true);
  EXPECT_EQ(VisibleRows(m), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 8}));
}

TEST_F(SectionsTest, CollapseChildrenOnlyLeavesTheSectionOpen) {
  Load("{<+}0\r\n{<+}1\r\n{<+}2\r\n{>>}3\r\n{>>}4\r\n{>>}5\r\n");
  tree().CollapseSection(0, true, true);
  EXPECT_EQ(DumpSections(m), "[0..5 [1..4 c [2..3 c]]]");
  m.Lines->SetModified(false);
  tree().ExpandSection(-1, true, false);
  EXPECT_EQ(DumpSections(m), "[0..5 [1..4 [2..3]]]");
  EXPECT_FALSE(m.Lines->Modified()) << "folding is not a change of the document";
}

TEST_F(SectionsTest, InsertedLinesLandOutsideBeforeTheFirstAndInsideElsewhere) {
  LoadPlain(10);
  tree().AddSection(2, 5, false);
  m.Lines->Insert(2, "new");
  EXPECT_EQ(DumpSections(m), "[3..6]");
  m.Lines->Insert(6, "new");
  EXPECT_EQ(DumpSections(m), "[3..7]");
  EXPECT_EQ(tree().SectionOf(6)->FirstLine, 3);
  EXPECT_EQ(tree().Root()->LastLine, 12);
}

TEST_F(SectionsTest, DeletingABoundaryLineDissolvesThatSectionOnly) {
  Load("0\r\n{<+}1\r\n{<+}2\r\n3\r\n{>>}4\r\n5\r\n{>>}6\r\n7\r\n");
  m.Lines->Delete(1);
  EXPECT_EQ(DumpSections(m), "[1..3]");
  EXPECT_EQ(tree().SectionOf(2)->Level, 1);
  m.Lines->Delete(2);
  EXPECT_EQ(DumpSections(m), "[1..2]");
  EXPECT_EQ(tree().Root()->LastLine, 6);
}

TEST_F(SectionsTest, RemoveSectionRecursiveDropsTheWholeSubtree) {
  Load("{<+}0\r\n{<+}1\r\n{>>}2\r\n{<+}3\r\n{>>}4\r\n{>>}5\r\n");
  tree().RemoveSection(0, false);
  EXPECT_EQ(DumpSections(m), "[1..2] [3..4]");
  Load("{<+}0\r\n{<+}1\r\n{>>}2\r\n{<+}3\r\n{>>}4\r\n{>>}5\r\n");
  tree().RemoveSection(0, true);
  EXPECT_EQ(DumpSections(m), "");
}

TEST_F(SectionsTest, NextAndPrevWalkInPreOrder) {
  Load("{<+}0\r\n{<+}1\r\n{>>}2\r\n{>>}3\r\n{<+}4\r\n{>>}5\r\n");
  std::vector<int> forward;
  for (auto* s = tree().NextSection(tree().Root()); s; s = tree().NextSection(s)) forward.push_back(s->FirstLine);
  EXPECT_EQ(forward, (std::vector<int>{0, 1, 4}));
  std::vector<int> backward;
  for (auto* s = tree().SectionOf(4); s; s = tree().PrevSection(s)) backward.push_back(s->FirstLine);
  EXPECT_EQ(backward, (std::vector<int>{4, 1, 0}));
}

TEST_F(SectionsTest, SharedTreeIsCopiedBeforeItChanges) {
  LoadPlain(10);
  tree().AddSection(2, 5, false);
  TSxSMSectionClone* held = tree().Root();
  held->AddRef();
  m.Lines->Insert(0, "x");
  EXPECT_NE(tree().Root(), held);
  EXPECT_EQ(DumpSections(held), "[2..5]");
  EXPECT_EQ(DumpSections(m), "[3..6]");
  tree().SetRoot(held);
  EXPECT_EQ(DumpSections(m), "[2..5]");
  held->Release();
  EXPECT_EQ(tree().Root()->RefCount, 1);
}

TEST_F(SectionsTest, BadChildIndexNamesTheUnit) {
  try {
    tree().Root()->ChildSection(3);
    FAIL();
  } catch (const ESxAssertion& e) {
    EXPECT_NE(std::string(e.what()).find("Bad nested section index: 3"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("UnitSyntaxMemo"), std::string::npos);
  }
}

TEST_F(SectionsTest, MarkerKindLooksAtTheFirstFourCharactersOnly) {
  EXPECT_EQ(TSxSynMemoSections::MarkerKind("{<+}x"), 1);
  EXPECT_EQ(TSxSynMemoSections::MarkerKind("{<-}"), 2);
  EXPECT_EQ(TSxSynMemoSections::MarkerKind("{>>}{<+}"), 3);
  EXPECT_EQ(TSxSynMemoSections::MarkerKind(" {<+}"), 0);
  EXPECT_EQ(TSxSynMemoSections::MarkerKind("{<+"), 0);
}

}  // namespace
