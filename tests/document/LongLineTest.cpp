// Edits re-tokenize a long line from its last checkpoint before the change, and the result
// equals a fresh load of the edited text (reading from a checkpoint is the control's
// long-line rendering suite's).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TestText.h"
#include "document/MemoModel.h"

namespace {

// About `bytes` bytes of short words, numbers, strings and { } comments.
std::string LongLine(std::size_t bytes) {
  std::mt19937 rng(11);
  const char* pieces[] = {"ab", "cde", "12", "'s t'", "{ c d }", "x.y", "fgh", "i;", "(j)"};
  std::string s;
  while (s.size() < bytes) {
    s += pieces[rng() % std::size(pieces)];
    s += ' ';
  }
  return s;
}

std::vector<TSxSyntaxToken> Tokens(const TSxMemoModel& m, int line) { return m.Lines->TokenList(line).Tokens(); }

std::vector<TSxSyntaxToken> FreshTokens(const Lines& lines, int line) {
  TSxMemoModel fresh;
  fresh.Lines->LoadFromStream(Joined(lines));
  return Tokens(fresh, line);
}

// Typing, deleting and pasting at the start, middle and end, and edits that open a
// comment or a string, which changes the tokens up to the line's end.
TEST(LongLine, EditsEqualAFreshLoad) {
  const std::string line = LongLine(60000);
  struct Edit {
    const char* what;
    std::size_t at, remove;
    std::string insert;
  } edits[] = {
      {"type at the start", 1, 0, "q"},       {"type in the middle", 30001, 0, "q"},
      {"type at the end", line.size() - 2, 0, "q"}, {"delete in the middle", 30000, 3, ""},
      {"join two words", 20000, 1, ""},       {"open a comment", 25000, 0, "{ "},
      {"open a string", 40000, 0, "'"},      {"paste words", 100, 0, "many new words 1 2 3 "},
  };
  for (const Edit& e : edits) {
    TSxMemoModel m;
    m.Lines->LoadFromStream("before\r\n" + line + "\r\nafter\r\n");
    int offered = 0;
    m.SyntaxAttributes->OnParseWord = [&](TSxSyntaxParser&, std::string_view, int, int, TToken&) { ++offered; };
    std::string edited = line;
    edited.replace(e.at, e.remove, e.insert);
    for (int round = 0; round < 2; ++round) {
      // Two changes in one update, then one more after it: the extent of both is kept.
      m.Lines->BeginUpdate();
      std::string half = line;
      half.replace(e.at, e.remove, "");
      m.Lines->Put(1, round == 0 ? half : edited);
      m.Lines->Put(1, round == 0 ? edited : line);
      m.Lines->EndUpdate();
      const std::string now = round == 0 ? edited : line;
      EXPECT_EQ(Tokens(m, 1), FreshTokens({"before", now, "after"}, 1)) << e.what << " round " << round;
      EXPECT_EQ(m.Lines->TokenList(2).FirstKind(), FreshTokens({"before", now, "after"}, 2).front().Kind) << e.what;
      // A change that leaves the state behind it alone re-tokenizes a few chunks only.
      if (e.insert == "q") {
        EXPECT_LT(offered, m.Lines->TokenCount(1) / 10) << e.what;
      }
      offered = 0;
    }
  }
}

}  // namespace
