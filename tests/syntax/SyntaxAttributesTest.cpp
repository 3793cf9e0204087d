// Reading the syntax definition file: version check, keys, colours and flags.
#include <gtest/gtest.h>

#include <string>

#include "base/Errors.h"
#include "syntax/SyntaxAttributes.h"

namespace {

// A failed load (wrong version, missing file) changes nothing; a version-only file resets
// every field whose key is missing; key names ignore case.
TEST(SyntaxFileTest, VersionIsCheckedFirstAndMissingKeysReset) {
  TSxSyntaxAttributes attrs;
  const auto flags = attrs.SyntaxFlags;
  ASSERT_NE(flags, 0);
  for (const char* bad : {"SyntaxVersion=1.0 \n", "SyntaxVersion=1.1\n", "Fore1=5\n", ""})
    EXPECT_THROW(attrs.LoadSyntaxText(bad), ESxError) << bad;
  try {
    attrs.LoadSyntax("/nonexistent/dir/qeb.syn");
    FAIL();
  } catch (const ESxFileError& e) {
    EXPECT_EQ(e.Code, 2);
    EXPECT_NE(std::string(e.what()).find("/nonexistent/dir/qeb.syn"), std::string::npos);
  }
  EXPECT_EQ(attrs.SyntaxFlags, flags) << "nothing may change on a failed load";
  attrs.LoadSyntaxText("syntaxversion=1.0\r\n");
  EXPECT_EQ(attrs.SyntaxFlags, 0);
  EXPECT_EQ(attrs.LitString, '\0');
  for (int k = 0; k < 256; ++k) EXPECT_EQ(attrs.TokenAttrs[k], TTokenAttr{}) << k;
}

// Decimal, $ and 0x hexadecimal, blanks and a sign; garbage and values past 32 bits fall back.
TEST(SyntaxFileTest, ColourNumbersInEveryForm) {
  TSxSyntaxAttributes attrs;
  attrs.LoadSyntaxText("SyntaxVersion=1.0\nFore7=$0000FF\nFore8=255\nFore9=red\nBack7=0x10\nBack8=  -1\n"
                       "Fore255=12\nFore007=5\nBack9=\nFore1=99999999999999999999\nFore2=$FFFFFFFFF\n"
                       "Fore3=-2147483648\nFore4=2147483648\n");
  const std::pair<TToken, TColor> fore[] = {{7, 0xFF}, {8, 255}, {9, DefaultColor}, {255, 12}, {1, DefaultColor},
                                            {2, DefaultColor}, {3, 0x80000000u}, {4, DefaultColor}, {0, DefaultColor}};
  for (auto [kind, colour] : fore) EXPECT_EQ(attrs.GetTokenColor(kind, false), colour) << int(kind);
  EXPECT_EQ(attrs.GetTokenColor(7, true), 0x10u);
  EXPECT_EQ(attrs.GetTokenColor(8, true), 0xFFFFFFFFu);
  EXPECT_EQ(attrs.GetTokenColor(9, true), DefaultColor);
}

// Only an upper-case Y sets a flag or style; the first occurrence of a name wins; names
// are not trimmed; a character literal takes the first character.
TEST(SyntaxFileTest, FlagsStylesAndLiterals) {
  TSxSyntaxAttributes attrs;
  attrs.LoadSyntaxText("SyntaxVersion=1.0\nHasChar=N\nHasChar=Y\nHasReference=Y\nHasHexPrefix=y\nBLSeparated=Yes\n"
                       "Bold4=y\nBold5=Y\nULin5=Y\nItal6=Y\nFore5 =255\nLitString=\"x\nLitILComment=--=\n");
  EXPECT_EQ(attrs.SyntaxFlags, HasReference);
  EXPECT_EQ(attrs.GetTokenStyle(4), 0);
  EXPECT_EQ(attrs.GetTokenStyle(5), fsBold | fsUnderline);
  EXPECT_EQ(attrs.GetTokenStyle(6), fsItalic);
  EXPECT_EQ(attrs.GetTokenColor(5, false), DefaultColor);
  EXPECT_EQ(attrs.LitString, '"');
  EXPECT_EQ(attrs.LitILComment, "--=");
}

}  // namespace
