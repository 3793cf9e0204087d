// The section tree: markers, repairs, AddSection rules, folding, the visible map and
// sections following inserted and deleted lines.
#include "RangeFixture.h"

namespace {

class SectionsTest : public RangeFixture {
 protected:
  void LoadPlain(int lines) { Load(Lines(lines, "l")); }
  TSxSynMemoSections& tree() { return *memo.SectionTree; }
  std::vector<int> VisibleRows() {
    std::vector<int> out;
    for (int r = 0; r < tree().VisibleCount(); ++r) out.push_back(tree().LineOfVisibleIndex(r));
    return out;
  }
};

// Markers become sections and are stripped; a stray end marker gets a section on an
// inserted line, an unclosed section is closed on an appended one.
TEST_F(SectionsTest, MarkersAndTheirRepairs) {
  const std::tuple<Lines, Lines, const char*> cases[] = {
      {{"{<+}a", "b", "{<-}c", "{>>}d", "{>>}e"}, {"a", "b", "c", "d", "e"}, "[0-4[2-3c]]"},
      {{"a", "{>>}x"}, {"a", "", "x"}, "[1-2]"},
      {{"a", "{<+}b", "c"}, {"a", "b", "c", ""}, "[1-3]"},
  };
  for (const auto& [in, out, sections] : cases) {
    Load(in);
    EXPECT_EQ(Text(), out);
    EXPECT_EQ(Tree(), sections);
    EXPECT_EQ(tree().Root()->LastLine(), int(out.size()));
  }
  Load({"{<+}a", "b", "{<-}c", "{>>}d", "{>>}e"});
  EXPECT_EQ((std::vector<int>{tree().LineRole(0), tree().LineRole(1), tree().LineRole(2), tree().LineRole(3)}),
            (std::vector<int>{1, 0, 2, 3}));
  EXPECT_EQ(TSxSynMemoSections::MarkerKind("{>>}{<+}"), 3) << "only the first four characters count";
  EXPECT_EQ(TSxSynMemoSections::MarkerKind(" {<+}"), 0);
  std::string plain, marked;  // markers are written back only with the option
  memo.Lines->SaveToStream(plain);
  SetOption(smoWriteMarkersOnSave, true);
  memo.Lines->SaveToStream(marked);
  EXPECT_EQ(plain, "a\r\nb\r\nc\r\nd\r\ne\r\n");
  EXPECT_EQ(marked, "{<+}a\r\nb\r\n{<-}c\r\n{>>}d\r\n{>>}e\r\n");
  EXPECT_EQ(Text(), (Lines{"a", "b", "c", "d", "e"})) << "the document never receives markers";
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
    {"adopts the sections inside it", {{3, 4}}, 2, 5, true, "[2-5:1[3-4:2]]"},
    {"crossing a boundary is refused", {{4, 7}}, 2, 5, false, "[4-7:1]", true},
    {"starting inside an earlier one replaces it", {{1, 10}, {2, 6}}, 4, 9, true, "[1-10:1[4-9:2]]"},
    {"reaching past the end of a section replaces it", {{2, 5}}, 5, 8, true, "[5-8:1]"},
    {"the same range twice makes nothing", {{2, 5}}, 2, 5, false, "[2-5:1]"},
    {"a range sharing an end line makes nothing", {{2, 5}}, 3, 5, false, "[2-5:1]"},
    {"one line is no section", {}, 7, 7, false, ""},
    {"a reversed range is no section", {}, 8, 7, false, ""},
    {"a range past the text is no section", {}, 8, 12, false, ""},
    {"a negative line is no section", {}, -1, 3, false, ""},
};

TEST_F(SectionsTest, AddSectionRules) {
  for (const AddCase& c : kAddCases) {
    LoadPlain(12);
    for (auto [first, last] : c.before) ASSERT_NE(tree().AddSection(first, last, false), nullptr) << c.rule;
    memo.Lines->SetModified(false);
    EXPECT_EQ(tree().AddSection(c.first, c.last, false) != nullptr, c.made) << c.rule;
    EXPECT_EQ(TreeWithLevels(), c.tree) << c.rule;
    EXPECT_EQ(memo.Lines->Modified(), c.made || c.marksModified) << c.rule;
  }
}

TEST_F(SectionsTest, VisibleMapWithNestedCollapsedSectionsAndLevels) {
  Load({"{<+}0", "{<-}1", "{<+}2", "{>>}3", "{>>}4", "5", "{<-}6", "{>>}7", "{>>}8"});
  EXPECT_EQ(Tree(), "[0-8[1-4c[2-3]][6-7c]]");
  EXPECT_EQ(VisibleRows(), (std::vector<int>{0, 1, 5, 6, 8}));
  EXPECT_EQ(tree().MaxLevel(), 3);
  EXPECT_EQ(tree().MaxVisibleLevel(), 2);
  EXPECT_FALSE(tree().IsSectionVisible(tree().SectionOf(2)));
  tree().CollapseSection(0, false, false);
  EXPECT_EQ(VisibleRows(), (std::vector<int>{0}));
  EXPECT_EQ(tree().MaxVisibleLevel(), 1);
  tree().ExpandSection(2, false, true);
  EXPECT_EQ(VisibleRows(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 8}));
  tree().CollapseSection(0, true, true);
  EXPECT_EQ(Tree(), "[0-8[1-4c[2-3c]][6-7c]]") << "children only: the section stays open";
  memo.Lines->SetModified(false);
  tree().ExpandSection(-1, true, false);
  EXPECT_EQ(Tree(), "[0-8[1-4[2-3]][6-7]]");
  EXPECT_FALSE(memo.Lines->Modified()) << "folding is not a change of the document";
}

// Inserted lines land outside before a first line and inside elsewhere; deleting a
// boundary line dissolves that section only.
TEST_F(SectionsTest, SectionsFollowInsertedAndDeletedLines) {
  LoadPlain(10);
  tree().AddSection(2, 5, false);
  memo.Lines->Insert(2, "new");
  memo.Lines->Insert(6, "new");
  EXPECT_EQ(Tree(), "[3-7]");
  EXPECT_EQ(tree().Root()->LastLine(), 12);
  Load({"0", "{<+}1", "{<+}2", "3", "{>>}4", "5", "{>>}6", "7"});
  memo.Lines->Delete(1);
  EXPECT_EQ(TreeWithLevels(), "[1-3:1]");
  memo.Lines->Delete(2);
  EXPECT_EQ(Tree(), "[1-2]");
  EXPECT_EQ(tree().Root()->LastLine(), 6);
}

}  // namespace
