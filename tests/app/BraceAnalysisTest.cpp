// Brace analysis over a headless document and the outline built from its section tree.
#include <gtest/gtest.h>

#include <string>

#include "BraceAnalysis.h"
#include "document/MemoModel.h"
#include "base/Cp1251.h"

namespace {

// "[first:last children...]" for every section below the root, in order.
std::string Dump(const TSxSynMemoSection& s) {
  std::string out;
  for (int i = 0; i < s.Count(); ++i) {
    const TSxSynMemoSection* c = s.ChildSection(i);
    out += "[" + std::to_string(c->FirstLine()) + ":" + std::to_string(c->LastLine()) + Dump(*c) + "]";
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
  TOutline Outline(std::int32_t selected = 0, const TKeywordTable* table = nullptr) const {
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

// "caption@line/image" of a node, "+" when expanded, then its children in parentheses.
std::string Dump(const TOutlineNode& n) {
  std::string out = n.Caption + "@" + std::to_string(n.Line) + "/" + std::to_string(n.Image) + (n.Expanded ? "+" : "");
  if (n.Children.empty()) return out;
  out += "(";
  for (const TOutlineNode& c : n.Children) out += Dump(c) + (&c == &n.Children.back() ? "" : " ");
  return out + ")";
}

class OutlineTest : public BraceAnalysisTest {
 protected:
  std::string DumpWith(const std::vector<std::string>& structureWords) {
    TKeywordTable t;
    for (const std::string& w : structureWords) t.Append(w, tokStructure);
    t.Sort();
    return Dump(Outline(0, &t).Top);
  }
};

// The top node stands for line 0 (or "<empty>"); one child per section with its trimmed first
// line as caption, a known word (matched ignoring case) or an unknown one as image.
TEST_F(OutlineTest, CaptionsImagesAndLines) {
  memo_.Lines->Clear();
  EXPECT_EQ(Analyze(), 0);
  EXPECT_EQ(Dump(Outline().Top), "@0/-1");
  EXPECT_EQ(Outline().Selected(), nullptr);
  SetText("\n{\n}\n   \n{\n}\n  " + cp1251::FromUtf8("процедура Старт") + " \t\n{\n}\nproc A\n{\n}\n");
  Analyze();
  const std::string start = cp1251::FromUtf8("процедура Старт");
  EXPECT_EQ(Dump(Outline().Top), "<empty>@0/1+(<empty>@0/16+ @3/16+ " + start + "@6/16+ proc A@9/16+)");
  EXPECT_EQ(DumpWith({cp1251::FromUtf8("Процедура"), "PROC"}),
            "<empty>@0/1+(<empty>@0/16+ @3/16+ " + start + "@6/15+ proc A@9/15+)");
}

TEST_F(OutlineTest, NestedAndCollapsedSectionsChooseTheirImages) {
  SetText("a\nb\nc\nd\ne\nf\n");
  memo_.SectionTree->AddSection(1, 2, false);
  memo_.SectionTree->AddSection(0, 4, true);
  EXPECT_EQ(Dump(Outline().Top), "a@0/1+(a@0/0(b@1/16+))");
}

// SelectedLine picks the section starting there by its number, also after text above changed;
// the root section's first line is -1, so only -1 selects the top node.
TEST_F(OutlineTest, SelectedLineReselectsTheSectionStartingThere) {
  SetText("x\nA {\n}\nB {\n}\n");
  Analyze();
  ASSERT_NE(Outline(3).Selected(), nullptr);
  EXPECT_EQ(Outline(3).Selected()->Caption, "B {");
  EXPECT_EQ(Outline(2).Selected(), nullptr);
  EXPECT_EQ(Outline(0).Selected(), nullptr);
  TOutline r = Outline(-1);
  EXPECT_EQ(r.Selected(), &r.Top);
  memo_.Lines->Insert(0, "C {");
  memo_.Lines->Insert(1, "}");
  Analyze();
  ASSERT_NE(Outline(3).Selected(), nullptr);
  EXPECT_EQ(Outline(3).Selected()->Caption, "A {");
}

}  // namespace
