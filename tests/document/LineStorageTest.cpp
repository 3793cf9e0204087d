// The line storage: splitting and saving bytes, the update brackets and re-tokenizing exactly
// what changed, long lines from their checkpoints. Saves are faulted in the application's suite.
#include <random>

#include "RangeFixture.h"
#include "base/Errors.h"

namespace {

// A view down to Horizon: lines below it wait for idle work or a reader.
struct ViewModel : TSxMemoModel {
  std::int32_t Horizon = MaxInt;
  int IdleRequests = 0;
  std::int32_t RetokenizeHorizon() override { return Horizon; }
  void RequestIdleWork() override { ++IdleRequests; }
};

class LineStorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m.SyntaxAttributes->OnParseWord = [this](TSxSyntaxParser&, std::string_view, int, int line, TToken&) {
      if (parsedLines.empty() || parsedLines.back() != line) parsedLines.push_back(line);
      ++offered;
    };
    m.OnChange = [this](TSxMemoModel&, TChangedItems items) { changes.push_back(items); };
  }
  void Load(const std::string& text) {
    m.Lines->LoadFromStream(text);
    parsedLines.clear();
    changes.clear();
  }
  ViewModel m;
  std::vector<int> parsedLines;
  int offered = 0;  // words offered to the host
  std::vector<TChangedItems> changes;
};

// Every line-end form and NUL split the bytes; a load reports everything and counts as a
// change; saving writes CR LF after every line and clears Modified.
TEST_F(LineStorageTest, LineEndFormsLoadAndSave) {
  const std::pair<std::string, Lines> cases[] = {
      {"", {}},           {"a\r\nb\r\n", {"a", "b"}}, {"a\nb", {"a", "b"}},    {"a\rb\r", {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}}, {"\r\n", {""}},      {"a\r\n\r\n", {"a", ""}}, {std::string("a\0b\r\nc", 6), {"a"}},
  };
  for (const auto& [bytes, lines] : cases) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    changes.clear(), m.Lines->LoadFromStream(bytes);
    EXPECT_EQ(LinesOf(m), lines);
    EXPECT_TRUE(m.Lines->Modified());
    ASSERT_FALSE(changes.empty());
    EXPECT_TRUE((changes.back() + TChangedItems{ciText, ciSelection, ciSections, ciUndoStack}) == changes.back());
    std::string out;
    m.Lines->SaveToStream(out);
    EXPECT_EQ(out, Joined(lines));
    EXPECT_FALSE(m.Lines->Modified());
  }
}

// Work and reports inside nested updates wait for the outermost close; reports gathered
// there arrive with the next one.
TEST_F(LineStorageTest, UpdateBracketsDeferWorkAndReports) {
  Load("a\r\nb\r\nc\r\n"), m.Lines->SetModified(false), changes.clear();
  m.Lines->BeginUpdate(), m.Lines->BeginUpdate(), m.Lines->Put(1, "x y"), m.Lines->EndUpdate();
  m.DoChange({ciSelection});
  EXPECT_TRUE(m.Lines->Pending.Contains(pwTextChanged) && m.Lines->NeedsParse(1));
  EXPECT_FALSE(m.Lines->Modified());
  EXPECT_TRUE(changes.empty());
  m.Lines->EndUpdate();
  EXPECT_TRUE(m.Lines->Modified());
  EXPECT_FALSE(m.Lines->NeedsParse(1) || m.Lines->Pending.Contains(pwTextChanged));
  EXPECT_EQ(m.Lines->TokenCount(1), 2);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_TRUE(changes[0].Contains(ciText) && changes[0].Contains(ciSelection));
}

// Re-tokenizing carries a changed comment state across blank and untouched lines and stops
// where the carried state agrees again; an edit that changes no state touches its line only.
TEST_F(LineStorageTest, RetokenizingStopsWhenTheStateAgrees) {
  Load("a\r\nb {\r\nc\r\n\r\nd\r\ne }\r\nf\r\ng\r\n");
  ASSERT_EQ(m.Lines->TokenList(4).FirstKind(), tokMLCommentBeg) << "a blank line does not interrupt the comment";
  m.Lines->Put(1, "b");
  EXPECT_EQ(parsedLines, (std::vector<int>{1, 2, 4, 5}));
  EXPECT_EQ(m.Lines->TokenList(4).FirstKind(), tokText);
  EXPECT_EQ(m.Lines->TokenList(5).LastKind(), tokText);
  parsedLines.clear(), m.Lines->Put(1, "b {");
  EXPECT_EQ(m.Lines->TokenList(2).FirstKind(), tokMLCommentBeg);
  EXPECT_EQ(m.Lines->TokenList(5).LastKind(), tokMLCommentEnd);
  EXPECT_EQ(m.Lines->TokenList(6).FirstKind(), tokText);
  parsedLines.clear(), m.Lines->Put(6, "changed");
  EXPECT_EQ(parsedLines, std::vector<int>{6});
  parsedLines.clear(), m.Lines->Delete(7);
  EXPECT_TRUE(parsedLines.empty()) << "deleting the last line marks no following line";
  Load("{ a\r\nb\r\nc }\r\nd\r\n");  // lines between two edits of one update pass the state on untouched
  m.Lines->BeginUpdate(), m.Lines->Put(0, "{ a2"), m.Lines->Put(3, "d2"), m.Lines->EndUpdate();
  EXPECT_EQ(m.Lines->TokenList(3).FirstKind(), tokText);
}

// Whatever edits, idle work and readers in between, the tokens and the longest line equal
// those of a fresh load; small edits of a long line, one or two in an update, make it
// resume from its checkpoints.
TEST_F(LineStorageTest, IncrementalTokenizingMatchesAFreshLoad) {
  std::mt19937 rng(7);
  const std::vector<std::string> pieces = {"x", " ", "{", "}", "(*", "*)", "'", "//", "1", "\xE0"};
  auto randomLine = [&] {
    std::string s;
    for (int k = rng() % 8; k > 0; --k) s += pieces[rng() % pieces.size()];
    return s;
  };
  // An edit inside the longest line, which is made long first when it is not.
  auto editLongest = [&] {
    int k = 0;
    for (int i = 1; i < m.Lines->Count(); ++i) k = m.Lines->Get(i).size() > m.Lines->Get(k).size() ? i : k;
    std::string l = m.Lines->Get(k).size() < 9000 ? WordLine(20000) : std::string(m.Lines->Get(k));
    const std::size_t at = rng() % (l.size() + 1);
    m.Lines->Put(k, l.replace(at, std::min<std::size_t>(rng() % 4, l.size() - at), randomLine()));
  };
  Load(Joined(Lines(300, "x")));
  m.Horizon = 5, m.Lines->Insert(0, "{");
  EXPECT_TRUE(m.Lines->RetokenizingPending() && m.IdleRequests > 0);
  EXPECT_FALSE(m.Lines->ContinueRetokenizing(std::chrono::seconds(10)));
  for (int step = 0; step < 800; ++step) {
    const int n = m.Lines->Count();
    m.Horizon = static_cast<int>(rng() % (n + 1));
    switch (rng() % 7) {
      case 0: case 1: if (n) m.Lines->Put(static_cast<int>(rng() % n), randomLine()); break;
      case 2: m.Lines->Insert(static_cast<int>(rng() % (n + 1)), randomLine()); break;
      case 3: if (n > 1) m.Lines->Delete(static_cast<int>(rng() % n)); break;
      case 4: m.Lines->ContinueRetokenizing(std::chrono::microseconds(rng() % 40)); break;
      case 5: m.Lines->BeginUpdate(), editLongest(), rng() % 2 ? editLongest() : void(), m.Lines->EndUpdate(); break;
      default: if (n) m.Lines->TokenList(static_cast<int>(rng() % n)); break;
    }
    if (step % 20 != 0) continue;
    TSxMemoModel fresh;
    fresh.Lines->LoadFromStream(m.Lines->Text());
    ASSERT_EQ(fresh.Lines->Count(), m.Lines->Count());
    ASSERT_EQ(fresh.Lines->MaxLineLength(), m.Lines->MaxLineLength()) << "step " << step;
    for (int i = 0; i < m.Lines->Count(); ++i)
      ASSERT_EQ(fresh.Lines->TokenList(i).Tokens(), m.Lines->TokenList(i).Tokens()) << "step " << step << " line " << i;
  }
  m.Lines->Insert(0, std::string(70000, 'q'));
  EXPECT_EQ(m.Lines->MaxLineLength(), 70000u);
}

// An edit that leaves the state after it alone re-tokenizes a few chunks of a long line only.
TEST_F(LineStorageTest, AnEditRetokenizesALongLineNearTheChangeOnly) {
  std::string line = WordLine(60000);
  Load(Joined({"before", line, "after"}));
  for (std::size_t at : {std::size_t{1}, line.size() / 2, line.size() - 2}) {
    offered = 0, m.Lines->Put(1, line.insert(at, "q"));
    EXPECT_LT(offered, m.Lines->TokenCount(1) / 10) << at;
  }
}

// With no line left, re-tokenizing must not look for a carried state in line 0.
TEST_F(LineStorageTest, DeletingTheOnlyLineReadsNoLine) {
  Load("a\r\n"), m.Lines->Delete(0);
  EXPECT_EQ(m.Lines->Count(), 0);
  m.Lines->Add("b");
  EXPECT_EQ(m.Lines->TokenList(0).Count(), 1);
}

TEST_F(LineStorageTest, LoadingASyntaxRetokenizesEveryLine) {
  Load("a // b\r\nc\r\n");
  ASSERT_EQ(m.Lines->TokenList(0).LastKind(), tokILComment);
  m.SyntaxAttributes->LoadSyntaxText("SyntaxVersion=1.0\n");
  EXPECT_EQ(m.Lines->TokenList(0).LastKind(), tokText);
  EXPECT_EQ(m.Lines->TokenCount(0), 3);
  EXPECT_THROW(m.SyntaxAttributes->LoadSyntaxText("SyntaxVersion=2\n"), ESxError);
  EXPECT_EQ(m.Lines->UpdateCount(), 0) << "a failed load still closes its update";
}

}  // namespace
