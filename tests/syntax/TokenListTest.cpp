// Display operations on copies of a line's tokens.
#include <gtest/gtest.h>

#include "syntax/SyntaxAttributes.h"
#include "syntax/TokenList.h"

namespace {

TSxSyntaxParser Parsed(const std::string& line) {
  TSxSyntaxAttributes attrs;
  TSxSyntaxParser list;
  list.Parse(line, 0, &attrs, tokText);
  return list;
}

TEST(TokenListTest, MergeRunsJoinsStringPiecesAcrossBlanks) {
  TSxSyntaxParser list = Parsed("'a b' z");
  list.MergeRuns();
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Token(0).Start, 0u);
  EXPECT_EQ(list.Token(0).Len, 5u);
  EXPECT_EQ(list.Token(0).Kind, tokStringEnd);
  EXPECT_EQ(list.Token(1).Kind, tokText);
}

TEST(TokenListTest, MergeRunsJoinsCommentPiecesButNotTheTextAfterThem) {
  TSxSyntaxParser list = Parsed("x { a b } y // c d");
  list.MergeRuns();
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Token(1).Start, 2u);
  EXPECT_EQ(list.Token(1).Len, 7u);
  EXPECT_EQ(list.Token(1).Kind, tokMLCommentEnd);
  EXPECT_EQ(list.Token(3).Start, 12u);
  EXPECT_EQ(list.Token(3).Len, 6u);
}

TEST(TokenListTest, MarkSelectionCutsTokensAtTheSelectionEdges) {
  TSxSyntaxParser list;
  list.AddToken(1, 4, tokText);  // abcd
  list.MarkSelection(1, 3);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Token(0).Len, 1u);
  EXPECT_EQ(list.Token(0).Selected, 0);
  EXPECT_EQ(list.Token(1).Start, 1u);
  EXPECT_EQ(list.Token(1).Len, 2u);
  EXPECT_EQ(list.Token(1).Selected, 1);
  EXPECT_EQ(list.Token(2).Start, 3u);
  EXPECT_EQ(list.Token(2).Selected, 0);
}

TEST(TokenListTest, MarkSelectionWithOpenEndsSelectsWholeTokens) {
  TSxSyntaxParser list = Parsed("ab cd");
  list.MarkSelection(-1, 2147483647);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Token(0).Selected, 1);
  EXPECT_EQ(list.Token(1).Selected, 1);
}

TEST(TokenListTest, FirstAndLastKindOfAnEmptyListAreText) {
  TSxSyntaxParser list;
  EXPECT_EQ(list.FirstKind(), tokText);
  EXPECT_EQ(list.LastKind(), tokText);
  EXPECT_THROW(list.Token(0), std::out_of_range);
}

}  // namespace
