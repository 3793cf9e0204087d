// The line tokenizer in both modes, on the cases that decide how text is coloured.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "syntax/SyntaxAttributes.h"
#include "syntax/TokenList.h"

namespace {

// "text/kind" per token; kinds: t text, i integer, f float, p point, s string, S string end,
// h hex, c/C comment open/closed, E other comment closed, l in-line comment, ; end of line,
// d/D directive, else the number.
std::string K(TToken k) {
  const std::pair<TToken, const char*> names[] = {
      {tokText, "t"}, {tokInteger, "i"}, {tokFloat, "f"}, {tokPoint, "p"}, {tokString, "s"}, {tokStringEnd, "S"},
      {tokHexValue, "h"}, {tokMLCommentBeg, "c"}, {tokMLCommentEnd, "C"}, {tokELCommentEnd, "E"},
      {tokILComment, "l"}, {tokEndLine, ";"}, {tokMLCompDirBeg, "d"}, {tokILCompDir, "D"}};
  for (auto [kind, name] : names)
    if (kind == k) return name;
  return std::to_string(k);
}

// One line tokenized from a carried state: its tokens and the state it leaves.
struct LineCase { const char* rule; std::string line; TToken prev; const char* tokens; TToken end; };

class TokenizerTest : public ::testing::Test {
 protected:
  std::string Run(const std::string& line, TToken prev = tokText, int lineIndex = 0) {
    TSxSyntaxParser list;
    end = list.Parse(line, lineIndex, &attrs, prev);
    std::string out;
    for (const auto& t : list.Tokens()) out += (out.empty() ? "" : " ") + line.substr(t.Start, t.Len) + "/" + K(t.Kind);
    return out;
  }
  template <std::size_t N>
  void RunAll(const LineCase (&cases)[N]) {
    for (const LineCase& c : cases) {
      EXPECT_EQ(Run(c.line, c.prev), c.tokens) << c.rule;
      EXPECT_EQ(end, c.end) << c.rule;
    }
  }
  // Records the words offered to the host.
  void Offer() {
    attrs.OnParseWord = [&](TSxSyntaxParser&, std::string_view w, int, int, TToken&) { offered.emplace_back(w); };
  }
  TSxSyntaxAttributes attrs;
  TToken end = 0;
  std::vector<std::string> offered;
};

// The host sees every word with its column and line and may set its kind.
TEST_F(TokenizerTest, PunctuationRunsNumbersAndSeparatorsGetTheirKindsAndTheHostNamesWords) {
  attrs.OnParseWord = [&](TSxSyntaxParser&, std::string_view w, int pos, int line, TToken& t) {
    offered.emplace_back(w);
    if (w == "if" && pos == 3 && line == 7) t = 250;
  };
  EXPECT_EQ(Run("x:=y+1;"), "x/t :=/t y/t +/t 1/i ;/;");
  EXPECT_EQ(offered, (std::vector<std::string>{"x", ":=", "y", "+"}));
  EXPECT_EQ(Run("  if x", tokText, 7), "if/250 x/t");
  TSxSyntaxAttributes other;  // where "r" opens a string
  other.LitString = 'r';
  attrs.OnParseWord = [&](TSxSyntaxParser&, std::string_view w, int, int, TToken&) {
    if (w != "outer") return;
    TSxSyntaxParser().Parse("inner words (*", 1, &attrs, tokText);
    TSxSyntaxParser().Parse("inner words", 1, &other, tokText);
  };
  EXPECT_EQ(Run("outer rest"), "outer/t rest/t") << "a handler tokenizing another line leaves this one alone";
  TSxSyntaxParser list;
  EXPECT_EQ(list.Parse("abc", 0, nullptr, tokELCommentBeg), tokELCommentBeg) << "no attributes: no tokens";
  EXPECT_EQ(list.Count(), 0);
}

// A digit after a word-class character that is not a letter, digit or "_" starts a
// number, and the word offered to the host ends before it.
TEST_F(TokenizerTest, NumbersStuckToAPrecedingSymbolStartAtTheDigit) {
  Offer();
  EXPECT_EQ(Run("x|5 ~12.5 \xB9" "5 }5 a_5 b~1c"), "x|/t 5/i ~/t 12.5/f \xB9/t 5/i }/t 5/i a_5/t b~/t 1/i c/t");
  EXPECT_EQ(offered, (std::vector<std::string>{"x|", "~", "\xB9", "}", "a_5", "b~", "c"}));
}

const LineCase kLineCases[] = {
    {"digits inside a word stay in it", "abc123", tokText, "abc123/t", tokText},
    {"digits start a number after a non-word character", "123abc", tokText, "123/i abc/t", tokText},
    {"a Cyrillic letter is a word character", "\xE0" "12", tokText, "\xE0" "12/t", tokText},
    {"a second point ends a float", "1.2.3", tokText, "1.2/f ./p 3/i", tokText},
    {"a trailing point belongs to the float", "12.", tokText, "12./f", tokText},
    {"strings split at blanks", "'a b' z", tokText, "'a/s b'/S z/t", tokText},
    {"an open string never continues on the next line", "'a b", tokText, "'a/s b/s", tokText},
    {"hex value", "$1F", tokText, "$1F/h", tokText},
    {"the hex prefix alone is a hex token", "$", tokText, "$/h", tokText},
    {"a multi-line comment opens", "{ a", tokText, "{/c a/c", tokMLCommentBeg},
    {"a carried comment closes and text resumes", "b } z", tokMLCommentBeg, "b/c }/C z/t", tokText},
    {"the closer is found where its last character is read", "abc}def", tokMLCommentBeg, "abc}/C def/t", tokText},
    {"\"{\" is tried before \"{$\"", "{$x}", tokText, "{$x}/C", tokText},
    {"the opener's characters belong to the first piece", "(*) q", tokText, "(*)/E q/t", tokText},
    {"an in-line comment runs to the end", "// a {", tokText, "///l a/l {/l", tokILComment},
    {"a control character at the end is a blank", "ab\t", tokText, "ab/t", tokText},
    {"an empty line keeps the carried state", "", tokMLCommentBeg, "", tokMLCommentBeg},
    {"a continuation line starting with blanks begins with an empty token", "  x", tokMLCommentBeg, "/c x/c",
     tokMLCommentBeg},
};

TEST_F(TokenizerTest, LinesGiveTheirTokensAndCarriedState) { RunAll(kLineCases); }

TEST_F(TokenizerTest, EmptyOrBlankLiteralsNeverMatch) {
  attrs.LitString = '\0';
  attrs.LitMLCommentB.clear();
  attrs.LitHexPrefix.clear();
  EXPECT_EQ(Run("'a' {b} $1"), "'/t a/t '/t {b}/t $/t 1/i");
  // Regression: blank literal characters and a hex prefix holding a blank put blanks inside tokens.
  attrs.LitString = ' ';
  attrs.LitDecimalPoint = '\t';
  attrs.LitReference = '\x01';
  EXPECT_EQ(Run("a b 1\t2"), "a/t b/t 1/i 2/i");
  attrs.LitHexPrefix = "$ ";
  EXPECT_EQ(Run("$ 1F"), "$/t 1/i F/t");
  // Regression (fuzzing): the next prefix with the same first character must match again.
  attrs.LitHexPrefix = "$";
  EXPECT_EQ(Run("$1F"), "$1F/h");
}

// A literal may take a character that is otherwise a token by itself: the literal wins,
// and a reference character is tried before a dereference one.
TEST_F(TokenizerTest, LiteralsTakeCharactersThatAreOtherwiseTokensByThemselves) {
  attrs.LitString = '.';
  attrs.LitHexPrefix = ",";
  EXPECT_EQ(Run("a.b c. ,1F ;"), "a/t .b/s c./S ,1F/h ;/;");
  attrs.SyntaxFlags |= HasChar | HasReference | HasDereference;
  attrs.LitChar = ',';
  attrs.LitReference = attrs.LitDereference = '!';
  EXPECT_EQ(Run(",x, !a ]"), ",x,/27 !/20 a/t ]/16");
}

TEST_F(TokenizerTest, LinesLongerThan65535CharactersKeepExactColumns) {
  const std::string word(70000, 'a');
  EXPECT_EQ(Run(word + " 42"), word + "/t 42/i");
}

// A line of ordinary length is read from a copy, a word of its bytes at a time; a long line
// or a chunk is read in place, a byte at a time. Both readings must agree, whatever bytes the
// literals make special: a blank or a tab that opens a comment, a Latin or a Cyrillic letter
// that opens a string, a digit that starts a hex number.
TEST_F(TokenizerTest, CopiedLinesTokenizeAsLinesReadInPlace) {
  std::mt19937 rng(11);
  const std::string bytes = "aZ_9 \t\x01#;.({/*}ё" + std::string("\xC0\xFF\xB9\x80", 4);
  for (auto [comment, quote] : {std::pair{"{", 'Z'}, {"{", '\xC0'}, {" #", '"'}, {"\t#", '"'}}) {
    attrs.LitMLCommentB = comment;
    attrs.LitString = quote;
    attrs.LitHexPrefix = quote == '\xC0' ? "9" : "$";
    for (int i = 0; i < 400; ++i) {
      std::string line(rng() % 300, 'a');
      for (char& c : line) c = rng() % 3 ? bytes[rng() % 5] : bytes[rng() % bytes.size()];
      TSxSyntaxParser whole, chunk;
      const TToken state = i % 4 ? tokText : tokMLCommentBeg;
      const TToken endWhole = whole.Parse(line, 0, &attrs, state);
      const TSxChunkEnd stop = chunk.ParseStandardChunk(line, 0, attrs, {0, state}, SIZE_MAX, UINT32_MAX);
      ASSERT_EQ(whole.Tokens(), chunk.Tokens()) << line;
      ASSERT_EQ(endWhole, stop.At.State) << line;
    }
  }
}

class BlankSeparatedTest : public TokenizerTest {
 protected:
  void SetUp() override { attrs.SyntaxFlags |= BLSeparated; }
};

TEST_F(BlankSeparatedTest, EveryWordIsOneTokenAndNumbersNeedTwoCharacters) {
  Offer();
  EXPECT_EQ(Run("7 -7 1.2.3 x:=y"), "7/t -7/i 1.2.3/f x:=y/t");
  EXPECT_EQ(offered, (std::vector<std::string>{"7", "x:=y"}));
}

const LineCase kBlankSeparatedCases[] = {
    {"words inside a string still classify as numbers", "'a 12 b'", tokText, "'a/S 12/i b'/S", tokText},
    {"a word opens a comment", "// x {y", tokText, "///l x/l {y/c", tokMLCommentBeg},
    {"a carried comment closes", "a b}", tokMLCommentBeg, "a/c b}/C", tokText},
};

TEST_F(BlankSeparatedTest, LinesGiveTheirTokensAndCarriedState) { RunAll(kBlankSeparatedCases); }

TEST_F(BlankSeparatedTest, DirectiveOpenersAreTriedMultiLineFirst) {
  attrs.SyntaxFlags |= HasILCompDir;
  attrs.SyntaxFlags &= static_cast<std::uint16_t>(~(HasMLComment));
  attrs.LitILCompDir.assign(1, '{');  // assign(): GCC 12 -Wrestrict misfires on = "{" here
  EXPECT_EQ(Run("{$x"), "{$x/d");
  EXPECT_EQ(Run("{x"), "{x/D");
}

}  // namespace
