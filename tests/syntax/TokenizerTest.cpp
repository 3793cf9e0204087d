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

// One line tokenized from a given carried state: its tokens and the state it leaves.
struct LineCase { const char* rule; std::string line; TToken prev; std::vector<Tok> tokens; TToken end; };

class TokenizerTest : public ::testing::Test {
 protected:
  std::vector<Tok> Run(const std::string& line, TToken prev = tokText, int lineIndex = 0) {
    TSxSyntaxParser list;
    end = list.Parse(line, lineIndex, &attrs, prev);
    std::vector<Tok> out;
    for (const auto& t : list.Tokens()) out.push_back({line.substr(t.Start, t.Len), t.Kind});
    return out;
  }
  template <std::size_t N>
  void RunAll(const LineCase (&cases)[N]) {
    for (const LineCase& c : cases) {
      EXPECT_EQ(Run(c.line, c.prev), c.tokens) << c.rule;
      EXPECT_EQ(end, c.end) << c.rule;
    }
  }
  TSxSyntaxAttributes attrs;
  TToken end = 0;
};

// The host sees every word with its column and line and may set its kind.
TEST_F(TokenizerTest, PunctuationRunsNumbersAndSeparatorsGetTheirKindsAndTheHostNamesWords) {
  std::vector<std::string> offered;
  attrs.OnParseWord = [&](TSxSyntaxParser&, std::string_view w, int pos, int line, TToken& t) {
    offered.emplace_back(w);
    if (w == "if" && pos == 3 && line == 7) t = 250;
  };
  EXPECT_EQ(Run("x:=y+1;"), (std::vector<Tok>{{"x", tokText}, {":=", tokText}, {"y", tokText}, {"+", tokText},
                                              {"1", tokInteger}, {";", tokEndLine}}));
  EXPECT_EQ(offered, (std::vector<std::string>{"x", ":=", "y", "+"}));
  EXPECT_EQ(Run("  if x", tokText, 7), (std::vector<Tok>{{"if", 250}, {"x", tokText}}));
  TSxSyntaxParser list;
  EXPECT_EQ(list.Parse("abc", 0, nullptr, tokELCommentBeg), tokELCommentBeg) << "no attributes: no tokens";
  EXPECT_EQ(list.Count(), 0);
}

// A digit after a word-class character that is not a letter, digit or "_" starts a
// number, and the word offered to the host ends before it.
TEST_F(TokenizerTest, NumbersStuckToAPrecedingSymbolStartAtTheDigit) {
  std::vector<std::string> offered;
  attrs.OnParseWord = [&](TSxSyntaxParser&, std::string_view w, int, int, TToken&) { offered.emplace_back(w); };
  EXPECT_EQ(Run("x|5 ~12.5 \xB9" "5 }5 a_5 b~1c"),
            (std::vector<Tok>{{"x|", tokText}, {"5", tokInteger}, {"~", tokText}, {"12.5", tokFloat},
                              {"\xB9", tokText}, {"5", tokInteger}, {"}", tokText}, {"5", tokInteger},
                              {"a_5", tokText}, {"b~", tokText}, {"1", tokInteger}, {"c", tokText}}));
  EXPECT_EQ(offered, (std::vector<std::string>{"x|", "~", "\xB9", "}", "a_5", "b~", "c"}));
}

const LineCase kLineCases[] = {
    {"digits inside a word stay in it", "abc123", tokText, {{"abc123", tokText}}, tokText},
    {"digits start a number after a non-word character", "123abc", tokText,
     {{"123", tokInteger}, {"abc", tokText}}, tokText},
    {"a Cyrillic letter is a word character", "\xE0" "12", tokText, {{"\xE0" "12", tokText}}, tokText},
    {"a second point ends a float", "1.2.3", tokText,
     {{"1.2", tokFloat}, {".", tokPoint}, {"3", tokInteger}}, tokText},
    {"a trailing point belongs to the float", "12.", tokText, {{"12.", tokFloat}}, tokText},
    {"strings split at blanks", "'a b' z", tokText,
     {{"'a", tokString}, {"b'", tokStringEnd}, {"z", tokText}}, tokText},
    {"an open string never continues on the next line", "'a b", tokText,
     {{"'a", tokString}, {"b", tokString}}, tokText},
    {"hex value", "$1F", tokText, {{"$1F", tokHexValue}}, tokText},
    {"the hex prefix alone is a hex token", "$", tokText, {{"$", tokHexValue}}, tokText},
    {"a multi-line comment opens", "{ a", tokText,
     {{"{", tokMLCommentBeg}, {"a", tokMLCommentBeg}}, tokMLCommentBeg},
    {"a carried comment closes and text resumes", "b } z", tokMLCommentBeg,
     {{"b", tokMLCommentBeg}, {"}", tokMLCommentEnd}, {"z", tokText}}, tokText},
    {"the closer is found where its last character is read", "abc}def", tokMLCommentBeg,
     {{"abc}", tokMLCommentEnd}, {"def", tokText}}, tokText},
    {"\"{\" is tried before \"{$\"", "{$x}", tokText, {{"{$x}", tokMLCommentEnd}}, tokText},
    {"the opener's characters belong to the first piece", "(*) q", tokText,
     {{"(*)", tokELCommentEnd}, {"q", tokText}}, tokText},
    {"an in-line comment runs to the end", "// a {", tokText,
     {{"//", tokILComment}, {"a", tokILComment}, {"{", tokILComment}}, tokILComment},
    {"a control character at the end is a blank", "ab\t", tokText, {{"ab", tokText}}, tokText},
    {"an empty line keeps the carried state", "", tokMLCommentBeg, {}, tokMLCommentBeg},
    {"a continuation line starting with blanks begins with an empty token", "  x", tokMLCommentBeg,
     {{"", tokMLCommentBeg}, {"x", tokMLCommentBeg}}, tokMLCommentBeg},
};

TEST_F(TokenizerTest, LinesGiveTheirTokensAndCarriedState) { RunAll(kLineCases); }

TEST_F(TokenizerTest, EmptyOrBlankLiteralsNeverMatch) {
  attrs.LitString = '\0';
  attrs.LitMLCommentB.clear();
  attrs.LitHexPrefix.clear();
  EXPECT_EQ(Run("'a' {b} $1"), (std::vector<Tok>{{"'", tokText}, {"a", tokText}, {"'", tokText}, {"{b}", tokText},
                                               {"$", tokText}, {"1", tokInteger}}));
  // Regression: blank literal characters and a hex prefix holding a blank put blanks inside tokens.
  attrs.LitString = ' ';
  attrs.LitDecimalPoint = '\t';
  attrs.LitReference = '\x01';
  EXPECT_EQ(Run("a b 1\t2"), (std::vector<Tok>{{"a", tokText}, {"b", tokText}, {"1", tokInteger}, {"2", tokInteger}}));
  attrs.LitHexPrefix = "$ ";
  EXPECT_EQ(Run("$ 1F"), (std::vector<Tok>{{"$", tokText}, {"1", tokInteger}, {"F", tokText}}));
  // Regression (fuzzing): the next prefix with the same first character must match again.
  attrs.LitHexPrefix = "$";
  EXPECT_EQ(Run("$1F"), (std::vector<Tok>{{"$1F", tokHexValue}}));
}

TEST_F(TokenizerTest, LinesLongerThan65535CharactersKeepExactColumns) {
  const std::string word(70000, 'a');
  EXPECT_EQ(Run(word + " 42"), (std::vector<Tok>{{word, tokText}, {"42", tokInteger}}));
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

// Blank-separated words: strings, comment openers and the carried state.
const LineCase kBlankSeparatedCases[] = {
    {"words inside a string still classify as numbers", "'a 12 b'", tokText,
     {{"'a", tokStringEnd}, {"12", tokInteger}, {"b'", tokStringEnd}}, tokText},
    {"a word opens a comment", "// x {y", tokText,
     {{"//", tokILComment}, {"x", tokILComment}, {"{y", tokMLCommentBeg}}, tokMLCommentBeg},
    {"a carried comment closes", "a b}", tokMLCommentBeg, {{"a", tokMLCommentBeg}, {"b}", tokMLCommentEnd}}, tokText},
};

TEST_F(BlankSeparatedTest, LinesGiveTheirTokensAndCarriedState) { RunAll(kBlankSeparatedCases); }

TEST_F(BlankSeparatedTest, DirectiveOpenersAreTriedMultiLineFirst) {
  attrs.SyntaxFlags |= HasILCompDir;
  attrs.SyntaxFlags &= static_cast<std::uint16_t>(~(HasMLComment));
  attrs.LitILCompDir.assign(1, '{');  // assign(): GCC 12 -Wrestrict misfires on = "{" here
  EXPECT_EQ(Run("{$x"), (std::vector<Tok>{{"{$x", tokMLCompDirBeg}}));
  EXPECT_EQ(Run("{x"), (std::vector<Tok>{{"{x", tokILCompDir}}));
}

}  // namespace
