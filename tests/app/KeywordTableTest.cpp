// Keyword table file reading and word classification.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "KeywordTable.h"
#include "platform/Cp1251.h"
#include "syntax/Errors.h"

namespace {

std::string W(const char* utf8) { return cp1251::FromUtf8(utf8); }

class KeywordTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("kwtable_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string WriteFile(const std::string& bytes) {
    std::string path = (dir_ / "qeb.syn2").string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::unique_ptr<TKeywordTable> Load(const std::string& path) {
    return LoadKeywordTable(path, [this](const std::string& s, const std::string& m) { log_.push_back({s, m}); },
                            attrs_);
  }
  TToken Classify(const TKeywordTable* t, const std::string& word) {
    TToken k = tokText;
    ClassifyWord(t, word, k);
    return k;
  }

  std::filesystem::path dir_;
  TSxSyntaxAttributes attrs_;
  std::vector<std::pair<std::string, std::string>> log_;
};

TEST_F(KeywordTableTest, CommentSectionAndWordGiveOneEntry) {
  auto t = Load(WriteFile("//x\r\n[tokType]\r\n" + W("число") + "\r\n"));
  ASSERT_TRUE(t);
  ASSERT_EQ(t->Count(), 1);
  EXPECT_EQ(t->Entries()[0].Word, W("число"));
  EXPECT_EQ(t->Entries()[0].Kind, 254);
  EXPECT_EQ(Classify(t.get(), W("число")), 254);
  EXPECT_EQ(Classify(t.get(), W("Число")), tokErroneous);
  EXPECT_EQ(Classify(t.get(), W("ЧИСЛО")), tokErroneous);
  EXPECT_EQ(Classify(t.get(), W("строка")), tokText);
  EXPECT_TRUE(log_.empty());
}

TEST_F(KeywordTableTest, MiscasedSectionNameIsReportedAndKeepsCurrentKind) {
  auto t = Load(WriteFile("[tokEnd]\na\n[tokkeyword]\nb\n"));
  ASSERT_TRUE(t);
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0].first, "Ошибка");
  EXPECT_EQ(log_[0].second, "В файле подсветки неверный токен [tokkeyword]");
  EXPECT_EQ(Classify(t.get(), "b"), tokEnd);
}

TEST_F(KeywordTableTest, EmptyBracketsAreARejectedSectionAndLoneBracketIsAWord) {
  auto t = Load(WriteFile("[tokBegin]\n[]\n[\n"));
  ASSERT_TRUE(t);
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0].second, "В файле подсветки неверный токен []");
  EXPECT_EQ(Classify(t.get(), "["), tokBegin);
}

TEST_F(KeywordTableTest, WordsBeforeFirstValidSectionAreIgnored) {
  auto t = Load(WriteFile("early\n[bogus]\nlate\n[tokStructure]\nlast\n"));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Count(), 1);
  EXPECT_EQ(Classify(t.get(), "early"), tokText);
  EXPECT_EQ(Classify(t.get(), "late"), tokText);
  EXPECT_EQ(Classify(t.get(), "last"), tokStructure);
}

TEST_F(KeywordTableTest, LinesAreTrimmedLoneCrDroppedAndCtrlZEndsTheFile) {
  auto t = Load(WriteFile("  [tokSpecType]\t \r\n\t do\ror  \r\nkey\x1A\nafter\n"));
  ASSERT_TRUE(t);
  EXPECT_EQ(Classify(t.get(), "door"), tokSpecType);
  EXPECT_EQ(Classify(t.get(), "key"), tokSpecType);
  EXPECT_EQ(Classify(t.get(), "after"), tokText);
  EXPECT_EQ(t->Count(), 2);
}

TEST_F(KeywordTableTest, DuplicatesStayAndLookupAnswersOneOfTheirKinds) {
  auto t = Load(WriteFile("[tokKeyWord]\nsame\nSame\n[tokType]\nsame\n"));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Count(), 3);
  TToken k = Classify(t.get(), "same");
  EXPECT_TRUE(k == tokKeyWord || k == tokType || k == tokErroneous) << int(k);
  const TKeywordEntry* e = t->Find("SAME");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(cp1251::CompareText(e->Word, "same"), 0);
}

TEST_F(KeywordTableTest, MissingFileIsLoggedWithErrnoAndGivesNoTable) {
  std::string path = (dir_ / "absent.syn2").string();
  auto t = Load(path);
  EXPECT_FALSE(t);
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0].first, "Ошибка");
  EXPECT_EQ(log_[0].second, "Ошибка открытия файла \"" + path + "\"\r\nКод ошибки: 2");
  EXPECT_EQ(Classify(nullptr, "anything"), tokText);
  EXPECT_EQ(ClassifyFirstWord(nullptr, "anything").Kind, tokErroneous);
}

TEST_F(KeywordTableTest, DirectoryCountsAsUnopenable) {
  auto t = Load(dir_.string());
  EXPECT_FALSE(t);
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_NE(log_[0].second.find("Код ошибки: "), std::string::npos);
}

TEST_F(KeywordTableTest, InLineDirectiveLiteralIsSetWithOrWithoutTable) {
  attrs_.LitILCompDir = "#";
  Load((dir_ / "absent").string());
  EXPECT_EQ(attrs_.LitILCompDir, "%");
  attrs_.LitILCompDir = "#";
  Load(WriteFile("[tokKeyWord]\nx\n"));
  EXPECT_EQ(attrs_.LitILCompDir, "%");
}

TEST_F(KeywordTableTest, SearchFindsEveryWordOfALargeTableIgnoringCase) {
  std::string text = "[tokKeyWord]\n";
  std::vector<std::string> words;
  for (int i = 0; i < 300; ++i) {
    std::string w = W("слово") + std::to_string(i * 7919 % 1000) + (i % 3 ? "A" : "b");
    words.push_back(w);
    text += w + "\n";
  }
  auto t = Load(WriteFile(text));
  ASSERT_TRUE(t);
  for (std::size_t i = 1; i < t->Entries().size(); ++i)
    ASSERT_LE(cp1251::CompareText(t->Entries()[i - 1].Word, t->Entries()[i].Word), 0);
  for (const std::string& w : words) {
    EXPECT_EQ(Classify(t.get(), w), tokKeyWord) << w;
    std::string upper = w;
    upper.back() = upper.back() == 'A' ? 'a' : 'B';
    EXPECT_EQ(Classify(t.get(), upper), tokErroneous) << upper;
  }
  EXPECT_EQ(Classify(t.get(), W("слово")), tokText);
}

// The search as written with the case-ignoring comparison itself, probe by probe.
const TKeywordEntry* ReferenceFind(const TKeywordTable& t, std::string_view word) {
  int lo = 0, hi = t.Count() - 1;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = cp1251::CompareText(t.Entries()[static_cast<std::size_t>(mid)].Word, word);
    if (c < 0) {
      lo = mid + 1;
    } else {
      if (c == 0) return &t.Entries()[static_cast<std::size_t>(mid)];
      hi = mid - 1;
    }
  }
  return nullptr;
}

TEST(KeywordSearchTest, AgreesWithTheComparisonForEveryKindOfCharacter) {
  std::uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFF; };
  // Letters of both cases and both alphabets, Ё/ё, digits, punctuation and high codes.
  const std::string alphabet = "aAzZ09_-.{" + W("аАяЯёЁеЕжЖ") + "\x98\xA0\xB9\xFF";
  auto randomWord = [&] {
    std::string w;
    for (std::size_t n = 1 + next() % 4; n > 0; --n) w += alphabet[next() % alphabet.size()];
    return w;
  };
  TKeywordTable t;
  for (int i = 0; i < 400; ++i) t.Append(randomWord(), static_cast<TToken>(250 + i % 6));
  t.Sort();
  for (int i = 0; i < 20000; ++i) {
    std::string w = i % 3 == 0 ? t.Entries()[next() % t.Entries().size()].Word : randomWord();
    if (i % 5 == 0)
      for (char& c : w) c = static_cast<char>(cp1251::ToLower(static_cast<unsigned char>(c)));
    ASSERT_EQ(t.Find(w), ReferenceFind(t, w)) << w;
  }
}

TEST(TokenKindByNameTest, OnlyTheSixExactNames) {
  EXPECT_EQ(TokenKindByName("tokKeyWord"), 255);
  EXPECT_EQ(TokenKindByName("tokType"), 254);
  EXPECT_EQ(TokenKindByName("tokSpecType"), 253);
  EXPECT_EQ(TokenKindByName("tokStructure"), 252);
  EXPECT_EQ(TokenKindByName("tokBegin"), 251);
  EXPECT_EQ(TokenKindByName("tokEnd"), 250);
  EXPECT_EQ(TokenKindByName("tokkeyword"), 0);
  EXPECT_EQ(TokenKindByName("tokText"), 0);
  EXPECT_EQ(TokenKindByName(""), 0);
}

class ClassifyFirstWordTest : public KeywordTableTest {};

TEST_F(ClassifyFirstWordTest, WordEndsOnlyAtASpace) {
  auto t = Load(WriteFile("[tokStructure]\n" + W("процедура") + "\n"));
  ASSERT_TRUE(t);
  TFirstWord r = ClassifyFirstWord(t.get(), W("Процедура Старт"));
  EXPECT_EQ(r.Word, W("Процедура"));
  EXPECT_EQ(r.Kind, tokStructure);
  std::string tabbed = W("процедура") + "\t" + W("Старт");
  r = ClassifyFirstWord(t.get(), tabbed);
  EXPECT_EQ(r.Word, tabbed);
  EXPECT_EQ(r.Kind, tokErroneous);
  r = ClassifyFirstWord(t.get(), " " + W("процедура"));
  EXPECT_EQ(r.Word, "");
  EXPECT_EQ(r.Kind, tokErroneous);
}

}  // namespace
