// Reading the syntax definition file: version check, keys, colours and flags.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "base/Errors.h"
#include "syntax/SyntaxAttributes.h"

namespace {

class SyntaxFileTest : public ::testing::Test {
 protected:
  void Load(const std::string& text) { attrs.LoadSyntaxText(text); }
  TSxSyntaxAttributes attrs;
};

TEST_F(SyntaxFileTest, DefaultsBeforeAnyLoadAndAVersionOnlyFileResetsEverything) {
  EXPECT_EQ(attrs.SyntaxFlags, 0x027F);
  EXPECT_EQ(attrs.GetTokenColor(tokString, false), 0xFF0000u);
  EXPECT_EQ(attrs.GetTokenStyle(tokString), fsItalic | fsUnderline);
  EXPECT_EQ(attrs.GetTokenColor(tokELCommentBeg, true), 0xFF000005u);
  EXPECT_EQ(attrs.GetTokenColor(tokText, false), DefaultColor);
  Load("SyntaxVersion=1.0\n");  // every missing key resets its field
  EXPECT_EQ(attrs.SyntaxFlags, 0);
  EXPECT_EQ(attrs.LitString, '\0');
  EXPECT_TRUE(attrs.LitMLCommentB.empty());
  for (int k = 0; k < 256; ++k) EXPECT_EQ(attrs.TokenAttrs[k], TTokenAttr{}) << k;
}

TEST_F(SyntaxFileTest, VersionMustBeExactlyOnePointZero) {
  for (const char* bad : {"SyntaxVersion=1.0 \n", "SyntaxVersion=1.1\n", "Fore1=5\n", ""}) {
    TSxSyntaxAttributes a;
    EXPECT_THROW(a.LoadSyntaxText(bad), ESxError) << bad;
    EXPECT_EQ(a.SyntaxFlags, 0x027F) << "nothing may change on a failed load";
  }
  try {
    attrs.LoadSyntaxText("SyntaxVersion=2");
    FAIL();
  } catch (const ESxError& e) {
    EXPECT_STREQ(e.what(), "Неподходящая версия синтаксиса");
  }
  EXPECT_NO_THROW(Load("syntaxversion=1.0\r\n"));
}

TEST_F(SyntaxFileTest, ColourNumbersInEveryFormWhileGarbageAndHugeValuesDoNoHarm) {
  std::string text = "SyntaxVersion=1.0\nFore7=$0000FF\nFore8=255\nFore9=red\nBack7=0x10\nBack8=  -1\nFore255=12\n"
                     "Fore007=5\nBack9=\nFore1=99999999999999999999\nFore2=$FFFFFFFFF\nFore3=-2147483648\n"
                     "Fore4=2147483648\n" + std::string(1 << 20, 'z') + "=1\n";
  for (int i = 1; i < 2000; ++i) text += std::string(1, char(i * 37 % 256 ? i * 37 % 256 : 1)) + "=\x01\xFF\n";
  Load(text);
  const std::pair<TToken, TColor> fore[] = {{7, 0xFF}, {8, 255}, {9, DefaultColor}, {255, 12}, {1, DefaultColor},
                                            {2, DefaultColor}, {3, 0x80000000u}, {4, DefaultColor}};
  for (auto [kind, colour] : fore) EXPECT_EQ(attrs.GetTokenColor(kind, false), colour) << int(kind);
  EXPECT_EQ(attrs.GetTokenColor(7, true), 0x10u);
  EXPECT_EQ(attrs.GetTokenColor(8, true), 0xFFFFFFFFu);
  EXPECT_EQ(attrs.GetTokenColor(9, true), DefaultColor);
  EXPECT_EQ(attrs.GetTokenColor(0, false), DefaultColor) << "Fore007 is not the key of kind 7 or 0";
}

TEST_F(SyntaxFileTest, OnlyAnUpperCaseYSetsFlagsAndTheFirstOccurrenceOfAnUntrimmedNameWins) {
  Load("SyntaxVersion=1.0\nHasChar=N\nHasChar=Y\nHasReference=Y\nHasHexPrefix=y\nBLSeparated=Yes\nBold4=y\n"
       "Bold5=Y\nULin5=Y\nItal6=Y\nFore5 =255\nLitString=\"x\nLitILComment=--=\n");
  EXPECT_EQ(attrs.SyntaxFlags, HasReference);
  EXPECT_EQ(attrs.GetTokenStyle(4), 0);
  EXPECT_EQ(attrs.GetTokenStyle(5), fsBold | fsUnderline);
  EXPECT_EQ(attrs.GetTokenStyle(6), fsItalic);
  EXPECT_EQ(attrs.GetTokenColor(5, false), DefaultColor);
  EXPECT_EQ(attrs.LitString, '"');
  EXPECT_EQ(attrs.LitILComment, "--=");
}

TEST_F(SyntaxFileTest, AMissingFileNamesItAndChangesNothing) {
  try {
    attrs.LoadSyntax("/nonexistent/dir/qeb.syn");
    FAIL();
  } catch (const ESxFileError& e) {
    EXPECT_EQ(e.Code, 2);
    EXPECT_NE(std::string(e.what()).find("/nonexistent/dir/qeb.syn"), std::string::npos);
  }
  EXPECT_EQ(attrs.SyntaxFlags, 0x027F);
}

}  // namespace
