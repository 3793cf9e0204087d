// Edits re-tokenize a long line from its last checkpoint before the change, and the result
// equals a fresh load of the edited text (reading from a checkpoint is the control's
// long-line rendering suite's).

#include <gtest/gtest.h>

#include "TestText.h"
#include "document/MemoModel.h"

namespace {

std::vector<TSxSyntaxToken> FreshTokens(const Lines& lines, int line) {
  TSxMemoModel fresh;
  fresh.Lines->LoadFromStream(Joined(lines));
  return fresh.Lines->TokenList(line).Tokens();
}

// Typing, deleting and pasting at the start, middle and end, and edits that open a
// comment or a string, which changes the tokens up to the line's end.
TEST(LongLine, EditsEqualAFreshLoad) {
  const std::string line = WordLine(60000);
  const struct { const char* what; std::size_t at, remove; std::string insert; } edits[] = {
      {"type at the start", 1, 0, "q"},       {"type in the middle", 30001, 0, "q"},
      {"type at the end", line.size() - 2, 0, "q"}, {"delete in the middle", 30000, 3, ""},
      {"join two words", 20000, 1, ""},       {"open a comment", 25000, 0, "{ "},
      {"open a string", 40000, 0, "'"},      {"paste words", 100, 0, "many new words 1 2 3 "},
  };
  for (const auto& e : edits) {
    TSxMemoModel m;
    m.Lines->LoadFromStream(Joined({"before", line, "after"}));
    int offered = 0;
    m.SyntaxAttributes->OnParseWord = [&](TSxSyntaxParser&, std::string_view, int, int, TToken&) { ++offered; };
    std::string half = line, edited = line;
    half.erase(e.at, e.remove), edited.replace(e.at, e.remove, e.insert);
    // Two changes in one update, then back in another: the extent of both is kept.
    for (const auto& [first, now] : {std::pair(half, edited), std::pair(edited, line)}) {
      offered = 0;
      m.Lines->BeginUpdate(), m.Lines->Put(1, first), m.Lines->Put(1, now), m.Lines->EndUpdate();
      EXPECT_EQ(m.Lines->TokenList(1).Tokens(), FreshTokens({"before", now, "after"}, 1)) << e.what;
      EXPECT_EQ(m.Lines->TokenList(2).FirstKind(), FreshTokens({"before", now, "after"}, 2).front().Kind) << e.what;
      // A change that leaves the state behind it alone re-tokenizes a few chunks only.
      EXPECT_TRUE(e.insert != "q" || offered < m.Lines->TokenCount(1) / 10) << e.what;
    }
  }
}

}  // namespace
