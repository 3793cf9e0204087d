// Marking the selection on a copy of a line's tokens (merging runs is checked through the long-line
// rendering suite, which draws a comment crossing the view's edge in the kind its run ends with).
#include <gtest/gtest.h>

#include <string>

#include "syntax/SyntaxAttributes.h"
#include "syntax/TokenList.h"

namespace {

TSxSyntaxParser Parsed(const std::string& line) {
  TSxSyntaxAttributes attrs;
  TSxSyntaxParser list;
  list.Parse(line, 0, &attrs, tokText);
  return list;
}

// "start+len" per token, ":kind" unless it is plain text, "*" after a selected one.
std::string Dump(const TSxSyntaxParser& list) {
  std::string out;
  for (int i = 0; i < list.Count(); ++i) {
    const TSxSyntaxToken& t = list.Token(i);
    out += (i ? " " : "") + std::to_string(t.Start) + "+" + std::to_string(t.Len);
    if (t.Kind != tokText) out += ":" + std::to_string(t.Kind);
    if (t.Selected) out += "*";
  }
  return out;
}

TEST(TokenListTest, MarkSelectionCutsTokensAtTheSelectionEdges) {
  TSxSyntaxParser list;
  EXPECT_EQ(std::make_pair(list.FirstKind(), list.LastKind()), std::make_pair(tokText, tokText)) << "empty list";
  EXPECT_THROW(list.Token(0), std::out_of_range);
  list.AddToken(1, 4, tokText);  // abcd
  list.MarkSelection(1, 3);
  EXPECT_EQ(Dump(list), "0+1 1+2* 3+1");
  TSxSyntaxParser open = Parsed("ab cd");
  open.MarkSelection(-1, 2147483647);
  EXPECT_EQ(Dump(open), "0+2* 3+2*") << "open ends select whole tokens";
}

}  // namespace
