// Keyword table file reading and word classification.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <fstream>
#include <tuple>

#include "KeywordTable.h"
#include "TestText.h"
#include "base/Errors.h"

namespace {

class KeywordTableTest : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove_all(path_); }
  std::unique_ptr<TKeywordTable> Load(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary) << bytes;
    return LoadFrom(path_);
  }
  std::unique_ptr<TKeywordTable> LoadFrom(const std::string& path) {
    log_.clear();
    return LoadKeywordTable(path, [this](const std::string& s, const std::string& m) { log_.push_back({s, m}); },
                            attrs_);
  }
  // The kind a word offered as kKept leaves with.
  static TToken Classify(const TKeywordTable* t, const std::string& word) {
    TToken k = kKept;
    return ClassifyWord(t, word, k), k;
  }
  static constexpr TToken kKept = 99;

  const std::string path_ = (std::filesystem::temp_directory_path() / ("kwtable_" + std::to_string(::getpid()))).string();
  TSxSyntaxAttributes attrs_;
  std::vector<std::pair<std::string, std::string>> log_;
};

TEST_F(KeywordTableTest, FilesClassifyTheirWords) {
  struct Case { std::string file; int count; std::vector<std::pair<std::string, TToken>> kinds; const char* error; };
  const Case cases[] = {
      {"//x\r\n[tokType]\r\n" + W("число") + "\r\n", 1,
       {{W("число"), 254}, {W("Число"), tokErroneous}, {W("ЧИСЛО"), tokErroneous}, {W("строка"), kKept}}, nullptr},
      {"[tokEnd]\na\n[tokkeyword]\nb\n", 2, {{"b", tokEnd}}, "В файле подсветки неверный токен [tokkeyword]"},
      {"[tokBegin]\n[]\n[\n", 1, {{"[", tokBegin}}, "В файле подсветки неверный токен []"},
      {"early\n[tokStructure]\nlast\n", 1, {{"early", kKept}, {"last", tokStructure}}, nullptr},
      {"  [tokSpecType]\t \r\n\t do\ror  \r\nkey\x1A\nafter\n", 2,
       {{"door", tokSpecType}, {"key", tokSpecType}, {"after", kKept}}, nullptr},
      {"[tokKeyWord]\nsame\nSame\n[tokType]\nsame\n", 3, {}, nullptr},  // duplicates stay
  };
  for (const Case& c : cases) {
    auto t = Load(c.file);
    ASSERT_TRUE(t) << c.file;
    EXPECT_EQ(t->Count(), c.count) << c.file;
    for (const auto& [word, kind] : c.kinds) EXPECT_EQ(Classify(t.get(), word), kind) << word;
    EXPECT_EQ(log_, (c.error ? decltype(log_){{"Ошибка", c.error}} : decltype(log_){})) << c.file;
  }
  auto t = Load("early\n[bogus]\nlate\n[tokStructure]\nlast\n");
  EXPECT_EQ(Classify(t.get(), "late"), kKept) << "a rejected first section sets no kind";
  EXPECT_TRUE(t->Find("absent") == nullptr && t->Find("LAST") == &t->Entries()[0]);
}

TEST_F(KeywordTableTest, UnopenableFileIsLoggedWithErrnoAndGivesNoTable) {
  const std::string path = path_ + "_absent";
  attrs_.LitILCompDir = "#";
  EXPECT_FALSE(LoadFrom(path));
  EXPECT_EQ(log_, (decltype(log_){{"Ошибка", "Ошибка открытия файла \"" + path + "\"\r\nКод ошибки: 2"}}));
  EXPECT_EQ(attrs_.LitILCompDir, "%") << "the in-line directive literal is set even without a table";
  EXPECT_EQ(std::pair(Classify(nullptr, "x"), ClassifyFirstWord(nullptr, "x").Kind), std::pair(kKept, TToken{tokErroneous}));
  EXPECT_FALSE(LoadFrom(std::filesystem::temp_directory_path().string())) << "a directory";
  EXPECT_EQ(log_.size(), 1u);
}

TEST_F(KeywordTableTest, FirstWordEndsOnlyAtASpace) {
  auto t = Load("[tokStructure]\n" + W("процедура") + "\n");
  const std::string tabbed = W("процедура") + "\t" + W("Старт");
  for (const auto& [line, word, kind] : {std::tuple{W("Процедура Старт"), W("Процедура"), TToken{tokStructure}},
                                         std::tuple{tabbed, tabbed, tokErroneous},
                                         std::tuple{" " + W("процедура"), std::string(), tokErroneous}}) {
    const TFirstWord r = ClassifyFirstWord(t.get(), line);
    EXPECT_EQ(std::pair(r.Word, r.Kind), std::pair(word, kind));
  }
}

// The hashed index answers what the binary search over the sorted words answers, for words
// in any case, Ё and ё among them, shorter and longer than the index keeps whole.
TEST_F(KeywordTableTest, TheIndexAnswersAsTheBinarySearch) {
  std::mt19937 rng(5);
  const std::string letters = "aBzZ_" + W("жЖёЁеЕя");
  auto word = [&] {
    std::string w(1 + rng() % 20, ' ');
    for (char& c : w) c = letters[rng() % letters.size()];
    return w;
  };
  TKeywordTable table;
  for (int i = 0; i < 300; ++i) table.Append(word(), TToken(250 + rng() % 6));
  table.Sort();
  const auto& e = table.Entries();
  TKeywordTable searched;  // the same words in sorted order, never indexed: it searches them
  for (const TKeywordEntry& k : e) searched.Append(k.Word, k.Kind);
  for (int i = 0; i < 3000; ++i) {
    std::string w = i % 3 == 0 ? word() : e[rng() % e.size()].Word;
    if (i % 3 == 2)
      for (char& c : w) c = char(cp1251::ToLower(static_cast<unsigned char>(c)));
    const TKeywordEntry* found = table.Find(w);
    const TKeywordEntry* expected = searched.Find(w);
    ASSERT_EQ(found ? found - e.data() : -1, expected ? expected - searched.Entries().data() : -1) << cp1251::ToUtf8(w);
    ASSERT_EQ(Classify(&table, w), Classify(&searched, w)) << cp1251::ToUtf8(w);
  }
}

}  // namespace
