// The start sequence: its log lines, the start files and failures of the two definition files.
#include "FormFixture.h"

namespace {

class StartupTest : public FormFixture {};

TEST_F(StartupTest, WithoutStartFilesMakesAnUntitledDocument) {
  const int counter = TSxSynMemoStrings::UntitledCounter;
  Start();
  EXPECT_EQ(LogLines(), (std::vector<std::string>{Ev("Загрузка параметров..."), Ev("Запуск прошел успешно!")}));
  const std::string name = "Untitled" + std::to_string(counter + 1) + ".txt";
  EXPECT_EQ(Lines().FileName(), name);
  EXPECT_TRUE(Lines().IsNew());
  EXPECT_FALSE(Lines().Modified());
  EXPECT_TRUE(form_->windowTitle().endsWith(QString::fromStdString("-" + name)));
  EXPECT_EQ(form_->windowTitle(), form_->Title() + QString::fromStdString("-" + name));
  EXPECT_EQ(form_->RecentFiles().Count, 0);
  EXPECT_TRUE(dialogs_->Errors.empty());
  EXPECT_TRUE(form_->close());
  EXPECT_TRUE(dialogs_->Asked.empty());
}

TEST_F(StartupTest, WandererFileWinsOverMainQbl) {
  Write("Wanderer_2/WandererII.qeb", "proc A\n{\n x\n}\n");
  CopyDemo("Main.qbl");
  Start();
  EXPECT_EQ(LogLines(), (std::vector<std::string>{Ev("Загрузка параметров..."), Ev("Открытие..."), Ev("Парсинг..."),
                                                  Ev("Парсинг ОК"), Ev("Открыто"), Ev("Запуск прошел успешно!")}));
  EXPECT_EQ(Lines().FileName(), "Wanderer_2/WandererII.qeb");
  EXPECT_EQ(form_->RecentFiles().Count, 1);
  EXPECT_EQ(form_->RecentFiles().Files[0], "Wanderer_2/WandererII.qeb");
  EXPECT_FALSE(Lines().Modified()) << "the analysis' sections must not leave the file marked modified";
  EXPECT_EQ(Memo().SectionTree->Root()->Count(), 1);
  EXPECT_TRUE(form_->windowTitle().endsWith("-Wanderer_2/WandererII.qeb"));
}

TEST_F(StartupTest, MainQblIsOpenedWhenThereIsNoWandererFile) {
  CopyDemo("Main.qbl");
  std::filesystem::create_directories(dir_ / "Wanderer_2" / "WandererII.qeb");
  Start();
  EXPECT_EQ(Lines().FileName(), "Main.qbl");
  EXPECT_GT(Lines().Count(), 20);
  EXPECT_GT(Memo().SectionTree->Root()->Count(), 5);
  EXPECT_EQ(LogLines().back(), Ev("Запуск прошел успешно!"));
}

TEST_F(StartupTest, DirectoryNamedLikeTheStartFileDoesNotCount) {
  std::filesystem::create_directories(dir_ / "Main.qbl");
  Start();
  EXPECT_TRUE(Lines().IsNew());
  EXPECT_EQ(LogLines().size(), 2u);
}

TEST_F(StartupTest, MissingKeywordTableIsLoggedAndStartGoesOn) {
  std::filesystem::remove(dir_ / "qeb.syn2");
  Write("Main.qbl", cp1251::FromUtf8("процедура Старт\n{\n}\n"));
  Start();
  std::vector<std::string> log = LogLines();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[0], Ev("Загрузка параметров..."));
  EXPECT_EQ(log[1], "[Ошибка]: Ошибка открытия файла \"qeb.syn2\"");
  EXPECT_EQ(log[2], "Код ошибки: 2");
  EXPECT_EQ(log.back(), Ev("Запуск прошел успешно!"));
  EXPECT_EQ(form_->KeywordTable(), nullptr);
  EXPECT_EQ(Lines().TokenList(0).Tokens()[0].Kind, tokText);
  EXPECT_EQ(Memo().SyntaxAttributes->LitILCompDir, "#") << "qeb.syn sets the directive literal after the table";
}

TEST_F(StartupTest, BadSectionOfTheKeywordTableIsLogged) {
  Write("qeb.syn2", "[tokkeyword]\nword\n[tokType]\nint\n");
  Start();
  std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[1], "[Ошибка]: В файле подсветки неверный токен [tokkeyword]");
  ASSERT_NE(form_->KeywordTable(), nullptr);
  EXPECT_EQ(form_->KeywordTable()->Count(), 1);
}

TEST_F(StartupTest, MissingSyntaxFileShowsAnErrorAndSkipsTheRest) {
  std::filesystem::remove(dir_ / "qeb.syn");
  CopyDemo("Main.qbl");
  Start();
  ASSERT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_NE(dialogs_->Errors[0].find("qeb.syn"), std::string::npos) << dialogs_->Errors[0];
  EXPECT_EQ(LogLines(), (std::vector<std::string>{Ev("Загрузка параметров...")}));
  EXPECT_TRUE(Lines().IsNew()) << "the start file is not opened";
  EXPECT_NE(form_->KeywordTable(), nullptr);
  EXPECT_TRUE(form_->windowTitle().startsWith(form_->Title() + "-Untitled"));
}

TEST_F(StartupTest, WrongSyntaxVersionShowsItsMessage) {
  Write("qeb.syn", "SyntaxVersion=1.1\r\n");
  Start();
  ASSERT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_EQ(dialogs_->Errors[0], "Неподходящая версия синтаксиса");
  EXPECT_EQ(LogLines().size(), 1u);
}

TEST_F(StartupTest, UnreadableStartFileIsAnErrorAfterItsOpenLine) {
  Write("Main.qbl", "x\n");
  std::filesystem::permissions(dir_ / "Main.qbl", std::filesystem::perms::none);
  if (::geteuid() == 0) GTEST_SKIP() << "root reads any file";
  Start();
  EXPECT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_EQ(LogLines().back(), Ev("Открытие..."));
}

}  // namespace
