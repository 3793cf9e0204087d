// The line tokenizer in both modes, on the cases that decide how text is coloured.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "syntax/SyntaxAttributes.h"
#include "syntax/TokenList.h"

namespace {

struct Tok {
  std::string text;
  TToken kind;
  friend bool operator==(const Tok&, const Tok&) = default;
};

std::ostream& operator<<(std::ostream& os, const Tok& t) { return os << "{" << t.text << "," << int(t.kind) << "}"; }

class TokenizerTest : public ::testing::Test {
 protected:
  std::vector<Tok> Run(const std::string& line, TToken prev = tokText) {
    TSxSyntaxParser list;
    end = list.Parse(line, 0, &attrs, prev);
    std::vector<Tok> out;
    for (const auto& t : list.Tokens()) out.push_back({line.substr(t.Start, t.Len), t.Kind});
    return out;
  }
  TSxSyntaxAttributes attrs;
  TToken end = 0;
};

TEST_F(TokenizerTest, BlanksSeparateWordsAndProduceNoTokens) {
  TSxSyntaxParser list;
  list.Parse("a b", 0, &attrs, tokText);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Token(0).Start, 0u);
  EXPECT_EQ(list.Token(1).Start, 2u);
}

TEST_F(TokenizerTest, PunctuationRunsNumbersAndSeparatorsGetTheirKinds) {
  std::vector<std::string> offered;
  attrs.OnParseWord = [&](TSxSyntaxParser&, std::string_view w, int, int, TToken&) { offered.emplace_back(w); };
  EXPECT_EQ(Run("x:=y+1;"), (std::vector<Tok>{{"x", tokText}, {":=", tokText}, {"y", tokText}, {"+", tokText},
                                              {"1", tokInteger}, {";", tokEndLine}}));
  EXPECT_EQ(offered, (std::vector<std::string>{"x", ":=", "y", "+"}));
  EXPECT_EQ(end, tokText);
}

TEST_F(TokenizerTest, DigitsStartANumberOnlyAfterANonWordCharacter) {
  EXPECT_EQ(Run("abc123"), (std::vector<Tok>{{"abc123", tokText}}));
  EXPECT_EQ(Run("123abc"), (std::vector<Tok>{{"123", tokInteger}, {"abc", tokText}}));
  // A Cyrillic letter is a word character: the digits stay inside the word.
  EXPECT_EQ(Run("\xE0" "12"), (std::vector<Tok>{{"\xE0" "12", tokText}}));
  EXPECT_EQ(Run("1.2.3"), (std::vector<Tok>{{"1.2", tokFloat}, {".", tokPoint}, {"3", tokInteger}}));
  EXPECT_EQ(Run("12."), (std::vector<Tok>{{"12.", tokFloat}}));
}

TEST_F(TokenizerTest, StringsSplitAtBlanksAndNeverContinueOnTheNextLine) {
  EXPECT_EQ(Run("'a b' z"), (std::vector<Tok>{{"'a", tokString}, {"b'", tokStringEnd}, {"z", tokText}}));
  EXPECT_EQ(Run("'a b"), (std::vector<Tok>{{"'a", tokString}, {"b", tokString}}));
  EXPECT_EQ(end, tokText);
}

TEST_F(TokenizerTest, HexPrefixAloneIsAHexToken) {
  EXPECT_EQ(Run("$1F"), (std::vector<Tok>{{"$1F", tokHexValue}}));
  EXPECT_EQ(Run("$"), (std::vector<Tok>{{"$", tokHexValue}}));
}

TEST_F(TokenizerTest, MultiLineCommentOpensClosesAndResumesText) {
  EXPECT_EQ(Run("{ a"), (std::vector<Tok>{{"{", tokMLCommentBeg}, {"a", tokMLCommentBeg}}));
  EXPECT_EQ(end, tokMLCommentBeg);
  EXPECT_EQ(Run("b } z", tokMLCommentBeg),
            (std::vector<Tok>{{"b", tokMLCommentBeg}, {"}", tokMLCommentEnd}, {"z", tokText}}));
  EXPECT_EQ(end, tokText);
  // The closer is found where its last character is read, also inside a piece.
  EXPECT_EQ(Run("abc}def", tokMLCommentBeg), (std::vector<Tok>{{"abc}", tokMLCommentEnd}, {"def", tokText}}));
  // "{" is tried before "{$": with the default literals "{$" opens a comment.
  EXPECT_EQ(Run("{$x}"), (std::vector<Tok>{{"{$x}", tokMLCommentEnd}}));
  // The opener's characters belong to the first piece: "(*)" opens and closes at once.
  EXPECT_EQ(Run("(*) q"), (std::vector<Tok>{{"(*)", tokELCommentEnd}, {"q", tokText}}));
}

TEST_F(TokenizerTest, ContinuationLineStartingWithBlanksBeginsWithAnEmptyToken) {
  TSxSyntaxParser list;
  list.Parse("  x", 0, &attrs, tokMLCommentBeg);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Token(0).Len, 0u);
  EXPECT_EQ(list.FirstKind(), tokMLCommentBeg);
}

TEST_F(TokenizerTest, InLineCommentRunsToTheEndAndDoesNotCarry) {
  EXPECT_EQ(Run("// a {"), (std::vector<Tok>{{"//", tokILComment}, {"a", tokILComment}, {"{", tokILComment}}));
  EXPECT_EQ(end, tokILComment);
}

TEST_F(TokenizerTest, EmptyLineKeepsTheStateAndNoAttributesMeansNoTokens) {
  TSxSyntaxParser list;
  EXPECT_EQ(list.Parse("", 0, &attrs, tokMLCommentBeg), tokMLCommentBeg);
  EXPECT_EQ(list.Parse("abc", 0, nullptr, tokELCommentBeg), tokELCommentBeg);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(TokenizerTest, WordKindComesFromTheHostAndIsStored) {
  attrs.OnParseWord = [](TSxSyntaxParser&, std::string_view w, int pos, int line, TToken& t) {
    if (w == "if" && pos == 3 && line == 7) t = 250;
  };
  TSxSyntaxParser list;
  list.Parse("  if x", 7, &attrs, tokText);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Token(0).Kind, 250);
  EXPECT_EQ(list.Token(1).Kind, tokText);
}

TEST_F(TokenizerTest, EmptyLiteralsNeverMatch) {
  attrs.LitString = '\0';
  attrs.LitMLCommentB.clear();
  attrs.LitHexPrefix.clear();
  EXPECT_EQ(Run("'a' {b} $1"), (std::vector<Tok>{{"'", tokText}, {"a", tokText}, {"'", tokText}, {"{b}", tokText},
                                               {"$", tokText}, {"1", tokInteger}}));
}

TEST_F(TokenizerTest, ControlCharacterAtTheEndIsABlank) {
  EXPECT_EQ(Run(std::string("ab\t")), (std::vector<Tok>{{"ab", tokText}}));
}

TEST_F(TokenizerTest, LinesLongerThan65535CharactersKeepExactColumns) {
  std::string line(70000, 'a');
  line += " 42";
  auto toks = Run(line);
  ASSERT_EQ(toks.size(), 2u);
  TSxSyntaxParser list;
  list.Parse(line, 0, &attrs, tokText);
  EXPECT_EQ(list.Token(0).Len, 70000u);
  EXPECT_EQ(list.Token(1).Start, 70001u);
  EXPECT_EQ(list.Token(1).Kind, tokInteger);
}

class BlankSeparatedTest : public TokenizerTest {
 protected:
  void SetUp() override { attrs.SyntaxFlags |= BLSeparated; }
};

TEST_F(BlankSeparatedTest, EveryWordIsOneTokenAndNumbersNeedTwoCharacters) {
  std::vector<std::string> offered;
  attrs.OnParseWord = [&](TSxSyntaxParser&, std::string_view w, int, int, TToken&) { offered.emplace_back(w); };
  EXPECT_EQ(Run("7 -7 1.2.3 x:=y"),
            (std::vector<Tok>{{"7", tokText}, {"-7", tokInteger}, {"1.2.3", tokFloat}, {"x:=y", tokText}}));
  EXPECT_EQ(offered, (std::vector<std::string>{"7", "x:=y"}));
}

TEST_F(BlankSeparatedTest, WordsInsideAStringStillClassifyAsNumbers) {
  EXPECT_EQ(Run("'a 12 b'"), (std::vector<Tok>{{"'a", tokStringEnd}, {"12", tokInteger}, {"b'", tokStringEnd}}));
}

TEST_F(BlankSeparatedTest, CommentOpenersAndTheCarriedState) {
  EXPECT_EQ(Run("// x {y"), (std::vector<Tok>{{"//", tokILComment}, {"x", tokILComment}, {"{y", tokMLCommentBeg}}));
  EXPECT_EQ(end, tokMLCommentBeg);
  EXPECT_EQ(Run("a b}", tokMLCommentBeg), (std::vector<Tok>{{"a", tokMLCommentBeg}, {"b}", tokMLCommentEnd}}));
  EXPECT_EQ(end, tokText);
  Run("");
  EXPECT_EQ(end, tokText);
}

TEST_F(BlankSeparatedTest, DirectiveOpenersAreTriedMultiLineFirst) {
  attrs.SyntaxFlags |= HasILCompDir;
  attrs.SyntaxFlags &= static_cast<std::uint16_t>(~(HasMLComment));
  attrs.LitILCompDir = "{";
  EXPECT_EQ(Run("{$x"), (std::vector<Tok>{{"{$x", tokMLCompDirBeg}}));
  EXPECT_EQ(Run("{x"), (std::vector<Tok>{{"{x", tokILCompDir}}));
}

}  // namespace

namespace {

// Regression: a blank string character put blanks inside tokens.
TEST_F(TokenizerTest, BlankLiteralCharactersNeverMatch) {
  attrs.LitString = ' ';
  attrs.LitDecimalPoint = '\t';
  attrs.LitReference = '\x01';
  EXPECT_EQ(Run("a b 1\t2"), (std::vector<Tok>{{"a", tokText}, {"b", tokText}, {"1", tokInteger}, {"2", tokInteger}}));
}

}  // namespace

namespace {

// Regression: a hex prefix holding a blank made hex tokens with blanks inside.
TEST_F(TokenizerTest, HexPrefixWithABlankNeverMatches) {
  attrs.LitHexPrefix = "$ ";
  EXPECT_EQ(Run("$ 1F"), (std::vector<Tok>{{"$", tokText}, {"1", tokInteger}, {"F", tokText}}));
}

}  // namespace
