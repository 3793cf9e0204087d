// Brace analysis over a headless document and the outline built from its section tree.
#include "BraceAnalysis.h"
#include "document/RangeFixture.h"

namespace {

class BraceAnalysisTest : public RangeFixture {
 protected:
  void SetText(const std::string& text) { memo.Lines->LoadFromStream(text), memo.Lines->SetModified(false); }
  int Analyze() { return AddBraceSections(*memo.Lines, *memo.SectionTree); }
  TOutline Outline(std::int32_t selected = 0, const TKeywordTable* table = nullptr) const {
    return BuildOutline(*memo.Lines, *memo.SectionTree->Root(), table, selected);
  }
};

const std::pair<const char*, const char*> kBraceCases[] = {
    {"proc A\n{\nx\n}\n", "[0-3]"},  // a brace opening its line takes the header above
    {"proc A {\nx\n}\n", "[0-2]"},   // a brace after text starts on its own line
    {"a\nb { c }\nd\n  { e }\nf\n", "[2-3]"},  // one-line blocks only when the brace opens the line
    {"{\nx\n}\n", "[0-2]"},                    // a brace on the first line starts at line zero
    {"game\n{\n  a\n  {\n    \"}\" // {\n  }\n}\nproc B {\n}\n", "[0-6][7-8]"},
    // A surplus closing brace delays sections until balanced: depth -1 after line 0, -2 after line 7.
    {"}\nA {\nx\n}\nB {\ny\n}\n}\nC {\nz\n}\n", ""},
    {"}\nA {\n{\nx\n}\n}\n", "[1-4]"},  // a block opened at depth one after a surplus brace
    {"A {\nx\nB {\ny\n}\n", ""},         // an unclosed block makes no section
};

TEST_F(BraceAnalysisTest, SectionsFromBracesAndASecondRunAddsNothing) {
  for (const auto& [text, sections] : kBraceCases) {
    SetText(text);
    Analyze();
    EXPECT_EQ(Tree(), sections) << text;
  }
  SetText("A {\n x {\n }\n}\nB\n{\n}\n");
  EXPECT_EQ(Analyze(), 2);
  EXPECT_TRUE(memo.Lines->Modified() && Analyze() == 0);
  EXPECT_EQ(Tree(), "[0-3][4-6]");
}

std::string Shown(const TOutlineNode& n) {
  std::string out = n.Caption + "@" + std::to_string(n.Line) + "/" + std::to_string(n.Image) + (n.Expanded ? "+" : "");
  if (n.Children.empty()) return out;
  out += "(";
  for (const TOutlineNode& c : n.Children) out += Shown(c) + (&c == &n.Children.back() ? "" : " ");
  return out + ")";
}

TEST_F(BraceAnalysisTest, OutlineCaptionsImagesAndLines) {
  memo.Lines->Clear();
  EXPECT_EQ(Shown(Outline().Top), "@0/-1");
  const std::string start = W("процедура Старт");
  SetText("\n{\n}\n   \n{\n}\n  " + start + " \t\n{\n}\nproc A\n{\n}\n");
  Analyze();
  EXPECT_EQ(Shown(Outline().Top), "<empty>@0/1+(<empty>@0/16+ @3/16+ " + start + "@6/16+ proc A@9/16+)");
  TKeywordTable t;
  for (const std::string& w : {W("Процедура"), std::string("PROC")}) t.Append(w, tokStructure);
  t.Sort();
  EXPECT_EQ(Shown(Outline(0, &t).Top), "<empty>@0/1+(<empty>@0/16+ @3/16+ " + start + "@6/15+ proc A@9/15+)");
  SetText("a\nb\nc\nd\ne\nf\n");
  memo.SectionTree->AddSection(1, 2, false);
  memo.SectionTree->AddSection(0, 4, true);
  EXPECT_EQ(Shown(Outline().Top), "a@0/1+(a@0/0(b@1/16+))");
}

TEST_F(BraceAnalysisTest, SelectedLineReselectsTheSectionStartingThere) {
  SetText("x\nA {\n}\nB {\n}\n");
  Analyze();
  ASSERT_NE(Outline(3).Selected(), nullptr);
  EXPECT_EQ(Outline(3).Selected()->Caption, "B {");
  EXPECT_TRUE(Outline(2).Selected() == nullptr && Outline(0).Selected() == nullptr);
  TOutline r = Outline(-1);
  EXPECT_EQ(r.Selected(), &r.Top);
  memo.Lines->Insert(0, "C {"), memo.Lines->Insert(1, "}"), Analyze();
  ASSERT_NE(Outline(3).Selected(), nullptr);
  EXPECT_EQ(Outline(3).Selected()->Caption, "A {");
}

}  // namespace
