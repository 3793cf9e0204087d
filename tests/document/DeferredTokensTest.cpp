// A comment opener re-tokenizes only down to the view's last line; the rest waits for
// idle time. Whatever was left, every line read afterwards must carry the tokens a
// fresh load of the same text gives it.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "document/MemoModel.h"

namespace {

// A model with a view: tokens must be current down to Horizon when an update closes.
class ViewModel : public TSxMemoModel {
 public:
  std::int32_t Horizon = 0;
  int IdleRequests = 0;
  std::int32_t RetokenizeHorizon() override { return Horizon; }
  void RequestIdleWork() override { ++IdleRequests; }
};

const std::string kSyntax = std::string(SX_SOURCE_DIR) + "/resources/demo/qeb.syn";

using Tokens = std::vector<std::tuple<std::uint32_t, std::uint32_t, TToken>>;
Tokens TokensOf(const TSxMemoModel& m, int line) {
  Tokens out;
  const TSxSyntaxParser list = m.Lines->TokenList(line);
  for (const TSxSyntaxToken& t : list.Tokens()) out.emplace_back(t.Start, t.Len, t.Kind);
  return out;
}

class DeferredTokensTest : public ::testing::TestWithParam<unsigned> {
 protected:
  int Rand(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  std::string Piece() {
    static const char* const pieces[] = {"a b", "/*", "*/", "x /* y", "*/ z", "", "// c", "{ q }", "  ", "s := 1;"};
    return pieces[Rand(0, 9)];
  }
  // The tokens of every line of m, as a fresh load of its text tokenizes them.
  void ExpectFresh(const TSxMemoModel& m, int step) {
    TSxMemoModel fresh;
    fresh.SyntaxAttributes->LoadSyntax(kSyntax);
    fresh.Lines->LoadFromStream(m.Lines->Text());
    ASSERT_EQ(fresh.Lines->Count(), m.Lines->Count());
    for (int i = 0; i < m.Lines->Count(); ++i) ASSERT_EQ(TokensOf(m, i), TokensOf(fresh, i)) << "line " << i << ", step " << step;
  }
  std::mt19937 rng;
};

TEST_P(DeferredTokensTest, EveryLineReadsAsAFreshLoadAfterEditsAndIdleWork) {
  rng.seed(GetParam());
  ViewModel m;
  m.SyntaxAttributes->LoadSyntax(kSyntax);
  std::string plain, text;
  for (int i = 0; i < 300; ++i) plain += "plain\r\n", text += Piece() + "\r\n";
  TSxSynMemoStrings& lines = *m.Lines;

  // An opener at the top of a document without closers leaves the lines below the view.
  lines.LoadFromStream(plain);
  m.Horizon = 5;
  lines.Insert(0, "/*");
  EXPECT_TRUE(lines.RetokenizingPending());
  EXPECT_GT(m.IdleRequests, 0);
  EXPECT_FALSE(lines.ContinueRetokenizing(std::chrono::seconds(10)));
  ExpectFresh(m, -1);

  lines.LoadFromStream(text);
  for (int step = 0; step < 400; ++step) {
    m.Horizon = Rand(0, lines.Count());
    const int y = Rand(0, lines.Count() - 1);
    const bool grouped = Rand(0, 3) == 0;
    if (grouped) lines.BeginUpdate();
    switch (Rand(0, 5)) {
      case 0: case 1: lines.Put(y, Piece()); break;
      case 2: lines.Insert(y, Piece()); break;
      case 3: if (lines.Count() > 2) lines.Delete(y); break;
      case 4: lines.ContinueRetokenizing(std::chrono::microseconds(Rand(0, 40))); break;
      default: TokensOf(m, y); break;  // a reader in the middle of the pending lines
    }
    if (grouped) lines.EndUpdate();
    if (step % 50 == 49) ExpectFresh(m, step);
    if (HasFatalFailure()) return;
  }
  ExpectFresh(m, 400);
}

INSTANTIATE_TEST_SUITE_P(Seeds, DeferredTokensTest, ::testing::Values(1u, 2u, 3u));

}  // namespace
