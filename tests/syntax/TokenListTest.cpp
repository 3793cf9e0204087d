// Display operations on copies of a line's tokens.
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

// "start+len:kind" per token, "*" after a selected one.
std::string Dump(const TSxSyntaxParser& list) {
  std::string out;
  for (int i = 0; i < list.Count(); ++i) {
    const TSxSyntaxToken& t = list.Token(i);
    out += (i ? " " : "") + std::to_string(t.Start) + "+" + std::to_string(t.Len) + ":" + std::to_string(t.Kind);
    if (t.Selected) out += "*";
  }
  return out;
}

std::string K(TToken kind) { return std::to_string(kind); }

TEST(TokenListTest, MergeRunsJoinsStringAndCommentPiecesButNotTheTextAfterThem) {
  TSxSyntaxParser str = Parsed("'a b' z");
  str.MergeRuns();
  EXPECT_EQ(Dump(str), "0+5:" + K(tokStringEnd) + " 6+1:" + K(tokText));
  TSxSyntaxParser comments = Parsed("x { a b } y // c d");
  comments.MergeRuns();
  EXPECT_EQ(Dump(comments),
            "0+1:" + K(tokText) + " 2+7:" + K(tokMLCommentEnd) + " 10+1:" + K(tokText) + " 12+6:" + K(tokILComment));
}

TEST(TokenListTest, MarkSelectionCutsTokensAtTheSelectionEdges) {
  TSxSyntaxParser list;
  list.AddToken(1, 4, tokText);  // abcd
  list.MarkSelection(1, 3);
  const std::string t = K(tokText);
  EXPECT_EQ(Dump(list), "0+1:" + t + " 1+2:" + t + "* 3+1:" + t);
  TSxSyntaxParser open = Parsed("ab cd");
  open.MarkSelection(-1, 2147483647);
  EXPECT_EQ(Dump(open), "0+2:" + t + "* 3+2:" + t + "*") << "open ends select whole tokens";
}

TEST(TokenListTest, FirstAndLastKindOfAnEmptyListAreText) {
  TSxSyntaxParser list;
  EXPECT_EQ(list.FirstKind(), tokText);
  EXPECT_EQ(list.LastKind(), tokText);
  EXPECT_THROW(list.Token(0), std::out_of_range);
}

}  // namespace
