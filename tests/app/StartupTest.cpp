// The start sequence: its log lines, the start files and failures of the two definition files.
#include <tuple>

#include "FormFixture.h"

namespace {

class StartupTest : public FormFixture {
 protected:
  const std::vector<std::string> opened_ = {Ev("Загрузка параметров..."), Ev("Открытие..."), Ev("Парсинг..."),
                                            Ev("Парсинг ОК"), Ev("Открыто"), Ev("Запуск прошел успешно!")};
};

TEST_F(StartupTest, WithoutStartFilesMakesAnUntitledDocument) {
  const int counter = TSxSynMemoStrings::UntitledCounter;
  std::filesystem::create_directories(dir_ / "Main.qbl");  // a directory named like a start file does not count
  Start();
  EXPECT_EQ(NewLogLines(), (std::vector<std::string>{Ev("Загрузка параметров..."), Ev("Запуск прошел успешно!")}));
  const std::string name = "Untitled" + std::to_string(counter + 1) + ".txt";
  EXPECT_EQ(std::tuple(Lines().FileName(), Lines().IsNew(), Lines().Modified(), form_->RecentFiles().Count),
            std::tuple(name, true, false, 0));
  EXPECT_TRUE(form_->close() && dialogs_->Asked.empty() && dialogs_->Errors.empty());
}

TEST_F(StartupTest, StartFileIsTheWandererFileElseMainQbl) {
  CopyDemo("Main.qbl");
  for (const std::string name : {"Wanderer_2/WandererII.qeb", "Main.qbl"}) {
    form_.reset(), seen_ = 0;
    std::filesystem::remove_all(dir_ / "Wanderer_2");
    if (name == "Main.qbl") std::filesystem::create_directories(dir_ / "Wanderer_2" / "WandererII.qeb");
    else Write(name, "proc A\n{\n x\n}\n");
    Start();
    EXPECT_EQ(NewLogLines(), opened_);
    EXPECT_EQ(std::tuple(Lines().FileName(), form_->RecentFiles().Files[0], Lines().Modified()),
              std::tuple(name, name, false));
    EXPECT_GT(Memo().SectionTree->Root()->Count(), 0);
  }
}

TEST_F(StartupTest, MissingKeywordTableIsLoggedAndStartGoesOn) {
  std::filesystem::remove(dir_ / "qeb.syn2");
  Write("Main.qbl", W("процедура Старт\n{\n}\n"));
  Start();
  std::vector<std::string> log = NewLogLines();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(log.begin() + 1, log.begin() + 3),
            (std::vector<std::string>{"[Ошибка]: Ошибка открытия файла \"qeb.syn2\"", "Код ошибки: 2"}));
  EXPECT_EQ(log.back(), Ev("Запуск прошел успешно!"));
  EXPECT_EQ(Lines().TokenList(0).Tokens()[0].Kind, tokText);
  EXPECT_EQ(Memo().SyntaxAttributes->LitILCompDir, "#") << "qeb.syn sets the directive literal after the table";
}

TEST_F(StartupTest, SyntaxFileFaultsShowAnErrorAndSkipTheRest) {
  for (const std::string& bytes : {std::string(), std::string("SyntaxVersion=1.1\r\n")}) {
    form_.reset(), seen_ = 0;
    if (bytes.empty()) std::filesystem::remove(dir_ / "qeb.syn");
    else Write("qeb.syn", bytes);
    CopyDemo("Main.qbl");
    Start();
    ASSERT_EQ(dialogs_->Errors.size(), 1u);
    if (bytes.empty()) EXPECT_NE(dialogs_->Errors[0].find("qeb.syn"), std::string::npos) << dialogs_->Errors[0];
    else EXPECT_EQ(dialogs_->Errors[0], "Неподходящая версия синтаксиса");
    EXPECT_EQ(NewLogLines(), (std::vector<std::string>{Ev("Загрузка параметров...")}));
    EXPECT_NE(form_->KeywordTable(), nullptr) << "the keyword table is read first";
    EXPECT_TRUE(Lines().IsNew()) << "the start file is not opened";
  }
}

TEST_F(StartupTest, UnreadableStartFileIsAnErrorAfterItsOpenLine) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads any file";
  Write("Main.qbl", "x\n");
  std::filesystem::permissions(dir_ / "Main.qbl", std::filesystem::perms::none);
  Start();
  EXPECT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_EQ(NewLogLines().back(), Ev("Открытие..."));
}

}  // namespace
