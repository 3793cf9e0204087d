// Brace analysis over a headless document and the outline built from its section tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "BraceAnalysis.h"
#include "document/MemoModel.h"
#include "platform/Cp1251.h"

namespace {

// "[first:last children...]" for every section below the root, in order.
std::string Dump(const TSxSynMemoSection& s) {
  std::string out;
  for (int i = 0; i < s.Count(); ++i) {
    const TSxSynMemoSection* c = s.ChildSection(i);
    out += "[" + std::to_string(c->FirstLine) + ":" + std::to_string(c->LastLine) + Dump(*c) + "]";
  }
  return out;
}

class BraceAnalysisTest : public ::testing::Test {
 protected:
  void SetText(const std::string& text) {
    memo_.Lines->LoadFromStream(text);
    memo_.Lines->SetModified(false);
  }
  int Analyze() { return AddBraceSections(*memo_.Lines, *memo_.SectionTree); }
  std::string Sections() const { return Dump(*memo_.SectionTree->Root()); }
  TOutline Outline(std::int32_t selected = 0, const TKeywordTable* table = nullptr) {
    return BuildOutline(*memo_.Lines, *memo_.SectionTree->Root(), table, selected);
  }

  TSxMemoModel memo_;
};

struct BraceCase {
  const char* rule;
  const char* text;
  const char* sections;
};

// One run of the analysis over a fresh text; sections as a dump.
const BraceCase kBraceCases[] = {
    {"a brace opening its line takes the header above", "proc A\n{\nx\n}\n", "[0:3]"},
    {"a brace after text starts on its own line", "proc A {\nx\n}\n", "[0:2]"},
    {"one-line blocks make no section unless the brace opens the line",
     "a\nb { c }\nd\n  { e }\nf\n", "[2:3]"},
    {"a brace on the first line starts at line zero", "{\nx\n}\n", "[0:2]"},
    {"only outermost blocks count, braces in strings and comments too",
     "game\n{\n  a\n  {\n    \"}\" // {\n  }\n}\nproc B {\n}\n", "[0:6][7:8]"},
    // Depth is -1 after line 0 and -2 after line 7, so no block ever balances to zero.
    {"a surplus closing brace delays sections until balanced",
     "}\nA {\nx\n}\nB {\ny\n}\n}\nC {\nz\n}\n", ""},
    {"a block opened at depth one after a surplus brace is a section", "}\nA {\n{\nx\n}\n}\n", "[1:4]"},
    {"an unclosed block makes no section", "A {\nx\nB {\ny\n}\n", ""},
};

TEST_F(BraceAnalysisTest, SectionsFromBraces) {
  for (const BraceCase& c : kBraceCases) {
    SetText(c.text);
    Analyze();
    EXPECT_EQ(Sections(), c.sections) << c.rule;
  }
  SetText("proc A\n{\nx\n}\n");
  EXPECT_EQ(Analyze(), 1);
  EXPECT_TRUE(memo_.Lines->Modified());
}

TEST_F(BraceAnalysisTest, SecondRunOnUnchangedTextAddsNothing) {
  SetText("A {\n x {\n }\n}\nB\n{\n}\n");
  EXPECT_EQ(Analyze(), 2);
  std::string first = Sections();
  EXPECT_EQ(Analyze(), 0);
  EXPECT_EQ(Sections(), first);
}

TEST_F(BraceAnalysisTest, EmptyDocumentGivesOnlyTheEmptyTopNode) {
  memo_.Lines->Clear();
  EXPECT_EQ(Analyze(), 0);
  TOutline o = Outline();
  EXPECT_EQ(o.Top.Caption, "");
  EXPECT_TRUE(o.Top.Children.empty());
  EXPECT_EQ(o.Selected(), nullptr);
}

class OutlineTest : public BraceAnalysisTest {
 protected:
  std::unique_ptr<TKeywordTable> TableWith(const std::string& word) {
    auto t = std::make_unique<TKeywordTable>();
    t->Append(word, tokStructure);
    t->Sort();
    return t;
  }
};

TEST_F(OutlineTest, RootNodeStandsForLineZeroWithOneChildPerSection) {
  SetText("proc A\n{\nx\n}\n");
  Analyze();
  TOutline o = Outline();
  EXPECT_EQ(o.Top.Caption, "proc A");
  EXPECT_EQ(o.Top.Line, 0);
  EXPECT_EQ(o.Top.Image, imgSectionExpanded);
  EXPECT_TRUE(o.Top.Expanded);
  ASSERT_EQ(o.Top.Children.size(), 1u);
  EXPECT_EQ(o.Top.Children[0].Caption, "proc A");
  EXPECT_EQ(o.Top.Children[0].Image, imgUnknownWord);
  auto table = TableWith("PROC");
  EXPECT_EQ(Outline(0, table.get()).Top.Children[0].Image, imgKnownWord);
}

TEST_F(OutlineTest, CaptionsAreTrimmedAndAnEmptyLineShowsEmptyMarker) {
  SetText("\n{\n}\n   \n{\n}\n  " + cp1251::FromUtf8("процедура Старт") + " \t\n{\n}\n");
  Analyze();
  TOutline o = Outline();
  ASSERT_EQ(o.Top.Children.size(), 3u);
  EXPECT_EQ(o.Top.Caption, "<empty>");
  EXPECT_EQ(o.Top.Children[0].Caption, "<empty>");
  EXPECT_EQ(o.Top.Children[1].Caption, "");
  EXPECT_EQ(o.Top.Children[2].Caption, cp1251::FromUtf8("процедура Старт"));
  EXPECT_EQ(o.Top.Children[2].Line, 6);
  auto table = TableWith(cp1251::FromUtf8("Процедура"));
  EXPECT_EQ(Outline(0, table.get()).Top.Children[2].Image, imgKnownWord);
}

TEST_F(OutlineTest, NestedAndCollapsedSectionsChooseTheirImages) {
  SetText("a\nb\nc\nd\ne\nf\n");
  memo_.SectionTree->AddSection(1, 2, false);
  memo_.SectionTree->AddSection(0, 4, true);
  TOutline o = Outline();
  ASSERT_EQ(o.Top.Children.size(), 1u);
  const TOutlineNode& outer = o.Top.Children[0];
  EXPECT_EQ(outer.Line, 0);
  EXPECT_EQ(outer.Image, imgSectionCollapsed);
  EXPECT_FALSE(outer.Expanded);
  ASSERT_EQ(outer.Children.size(), 1u);
  EXPECT_EQ(outer.Children[0].Caption, "b");
  EXPECT_TRUE(outer.Children[0].Expanded);
}

TEST_F(OutlineTest, SelectedLineReselectsTheSectionStartingThere) {
  SetText("x\nA {\n}\nB {\n}\n");
  Analyze();
  TOutline o = Outline(3);
  ASSERT_NE(o.Selected(), nullptr);
  EXPECT_EQ(o.Selected()->Caption, "B {");
  EXPECT_EQ(Outline(2).Selected(), nullptr);
  // The root section's first line is -1: the root node is selected for -1 only.
  EXPECT_EQ(Outline(0).Selected(), nullptr);
  TOutline r = Outline(-1);
  EXPECT_EQ(r.Selected(), &r.Top);
}

TEST_F(OutlineTest, SelectionFollowsTheLineNumberAfterTextAboveChanged) {
  SetText("A {\n}\nB {\n}\n");
  Analyze();
  ASSERT_EQ(Outline(2).Selected()->Caption, "B {");
  memo_.Lines->Insert(0, "C {");
  memo_.Lines->Insert(1, "}");
  Analyze();
  ASSERT_NE(Outline(2).Selected(), nullptr);
  EXPECT_EQ(Outline(2).Selected()->Caption, "A {");
}

}  // namespace
