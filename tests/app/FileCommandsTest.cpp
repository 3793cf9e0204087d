// Open, New, Save, Save As and closing the window, with the save query answered every way.
#include "FormFixture.h"

namespace {

class FileCommandsTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    Write("a.qbl", "proc A\n{\n}\n");
    Write("b.qbl", "b\n");
    Start();
    NewLogLines();
  }
  void Modify() {
    TypeText("edit");
    ASSERT_TRUE(Lines().Modified());
  }
  void OpenA() {
    form_->OpenFile(Path("a.qbl"));
    NewLogLines();
  }
};

TEST_F(FileCommandsTest, OpeningTheOpenFileAgainOnlyLogs) {
  OpenA();
  Modify();
  form_->OpenFile(Path("a.qbl"));
  EXPECT_EQ(NewLogLines(), (std::vector<std::string>{Ev("Открытие...")}));
  EXPECT_EQ(Lines().Get(0).substr(0, 4), "edit") << "the document is not reloaded";
  EXPECT_EQ(form_->RecentFiles().Count, 1);
}

TEST_F(FileCommandsTest, OpenDiscardsChangesWithoutAsking) {
  OpenA();
  Modify();
  form_->OpenFile(Path("b.qbl"));
  EXPECT_TRUE(dialogs_->Asked.empty());
  EXPECT_EQ(Lines().Get(0), "b");
  EXPECT_FALSE(Lines().Modified());
  EXPECT_EQ(NewLogLines(), (std::vector<std::string>{Ev("Открытие..."), Ev("Парсинг..."), Ev("Парсинг ОК"),
                                                     Ev("Открыто")}));
}

TEST_F(FileCommandsTest, OpenDialogRemembersTheFilterAndCancelStopsSilently) {
  dialogs_->OpenAnswers.push_back({false, "", 1});
  form_->Action("ActFileOpen")->Execute();
  EXPECT_EQ(NewLogLines(), (std::vector<std::string>{Ev("Открытие...")}));
  EXPECT_TRUE(Lines().IsNew());
  dialogs_->OpenAnswers.push_back({true, Path("b.qbl"), 3});
  form_->Action("ActFileOpen")->Execute();
  EXPECT_EQ(Lines().FileName(), Path("b.qbl"));
  dialogs_->OpenAnswers.push_back({false, "", 1});
  form_->Action("ActFileOpen")->Execute();
  EXPECT_EQ(dialogs_->OpenFilterIndexIn, (std::vector<int>{1, 1, 3}));
  EXPECT_EQ(dialogs_->Filters[0],
            "Файлы QEB (*.qeb)|*.qeb;*.qbl|Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*");
}

TEST_F(FileCommandsTest, FailedOpenKeepsTheDocumentAndTheRecentList) {
  OpenA();
  dialogs_->OpenAnswers.push_back({true, Path("missing.qbl"), 1});
  form_->Action("ActFileOpen")->Execute();
  EXPECT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_EQ(NewLogLines(), (std::vector<std::string>{Ev("Открытие...")}));
  EXPECT_EQ(Lines().FileName(), Path("a.qbl"));
  EXPECT_EQ(Lines().Get(0), "proc A");
  EXPECT_EQ(form_->RecentFiles().Count, 1);
}

TEST_F(FileCommandsTest, NewAnsweredCancelChangesNothing) {
  OpenA();
  Modify();
  dialogs_->Questions.push_back(TQueryAnswer::Cancel);
  form_->NewFile();
  EXPECT_EQ(dialogs_->Asked, (std::vector<std::string>{"Файл был изменен. Сохранить?"}));
  EXPECT_EQ(Lines().FileName(), Path("a.qbl"));
  EXPECT_TRUE(Lines().Modified());
  EXPECT_TRUE(NewLogLines().empty());
}

TEST_F(FileCommandsTest, NewAnsweredNoDiscards) {
  OpenA();
  Modify();
  dialogs_->Questions.push_back(TQueryAnswer::No);
  form_->NewFile();
  EXPECT_TRUE(Lines().IsNew());
  EXPECT_FALSE(Lines().Modified());
  EXPECT_EQ(Lines().Count(), 1);
  EXPECT_EQ(NewLogLines(), (std::vector<std::string>{Ev("Новый создан")}));
  EXPECT_EQ(Read("a.qbl"), "proc A\n{\n}\n");
  EXPECT_EQ(form_->RecentFiles().Count, 1) << "New leaves the recent list alone";
}

TEST_F(FileCommandsTest, NewAnsweredYesSavesANamedDocumentFirst) {
  OpenA();
  Modify();
  dialogs_->Questions.push_back(TQueryAnswer::Yes);
  form_->NewFile();
  EXPECT_EQ(Read("a.qbl").substr(0, 4), "edit");
  EXPECT_TRUE(Lines().IsNew());
  EXPECT_EQ(NewLogLines(), (std::vector<std::string>{Ev("Сохранение..."), Ev("Сохранено в " + Path("a.qbl")),
                                                     Ev("Новый создан")}));
}

TEST_F(FileCommandsTest, NewOnModifiedUntitledWithSaveAsCancelledReplacesNothing) {
  Modify();
  std::string name = Lines().FileName();
  dialogs_->Questions.push_back(TQueryAnswer::Yes);
  dialogs_->SaveAnswers.push_back({false, "", 1});
  form_->NewFile();
  EXPECT_EQ(Lines().FileName(), name);
  EXPECT_TRUE(Lines().Modified());
  EXPECT_EQ(NewLogLines(), (std::vector<std::string>{Ev("Сохранение...")}));
}

TEST_F(FileCommandsTest, CloseQueryFollowsTheAnswer) {
  Modify();
  dialogs_->Questions.push_back(TQueryAnswer::Cancel);
  EXPECT_FALSE(form_->close());
  dialogs_->Questions.push_back(TQueryAnswer::Yes);
  dialogs_->SaveAnswers.push_back({false, "", 1});
  EXPECT_FALSE(form_->close());
  dialogs_->Questions.push_back(TQueryAnswer::No);
  EXPECT_TRUE(form_->close());
  EXPECT_EQ(dialogs_->Asked.size(), 3u);
}

TEST_F(FileCommandsTest, ExitAsksLikeTheTitleBarClose) {
  Modify();
  dialogs_->Questions.push_back(TQueryAnswer::Cancel);
  form_->show();
  form_->Action("ActExit")->Execute();
  EXPECT_TRUE(form_->isVisible());
  dialogs_->Questions.push_back(TQueryAnswer::Yes);
  dialogs_->SaveAnswers.push_back({true, Path("out"), 1});
  form_->Action("ActExit")->Execute();
  EXPECT_FALSE(form_->isVisible());
  EXPECT_TRUE(std::filesystem::exists(dir_ / "out.qeb"));
}

TEST_F(FileCommandsTest, SaveOfANewDocumentGoesThroughSaveAs) {
  TypeText("text");
  dialogs_->SaveAnswers.push_back({true, Path("first.txt"), 1});
  EXPECT_TRUE(form_->SaveFile());
  EXPECT_EQ(Read("first.qeb"), "text\r\n");
  EXPECT_EQ(Lines().FileName(), Path("first.qeb"));
  EXPECT_FALSE(Lines().IsNew());
  EXPECT_FALSE(Lines().Modified());
  EXPECT_EQ(dialogs_->SaveFilterIndexIn, (std::vector<int>{1}));
  EXPECT_EQ(dialogs_->Filters.back(), "QEB файлы (*.qeb)|*.qeb|Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*");
  TypeText("!");
  EXPECT_TRUE(form_->SaveFile());
  EXPECT_EQ(Read("first.qeb"), "text!\r\n");
  EXPECT_EQ(dialogs_->SaveFilterIndexIn.size(), 1u) << "a named document is saved without the dialog";
  EXPECT_TRUE(form_->windowTitle().endsWith(QString::fromStdString("-" + Path("first.qeb"))));
}

TEST_F(FileCommandsTest, SaveAsFilterDecidesTheExtension) {
  struct Case {
    std::string typed;
    int filter;
    std::string written;
  };
  for (const Case& c : {Case{"one.txt", 1, "one.qeb"}, Case{"two", 2, "two.txt"}, Case{"three", 3, "three"},
                        Case{"four.qeb", 2, "four.txt"}, Case{"five.v1.x", 3, "five.v1.x"}}) {
    dialogs_->SaveAnswers.push_back({true, Path(c.typed), c.filter});
    EXPECT_TRUE(form_->SaveFileAs());
    EXPECT_TRUE(std::filesystem::exists(dir_ / c.written)) << c.written;
    EXPECT_EQ(Lines().FileName(), Path(c.written));
    EXPECT_EQ(dialogs_->SaveFilterIndexIn.back(), 1) << "the first filter is preselected every time";
  }
}

TEST_F(FileCommandsTest, FailedSaveShowsTheErrorAndWritesNoSavedLine) {
  OpenA();
  Modify();
  std::filesystem::remove(dir_ / "a.qbl");
  std::filesystem::create_directories(dir_ / "a.qbl" / "blocker");
  form_->Action("ActFileSave")->Execute();
  EXPECT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_EQ(NewLogLines(), (std::vector<std::string>{Ev("Сохранение...")}));
  EXPECT_TRUE(Lines().Modified());
}

TEST(ApplySaveFilterTest, ExtensionRule) {
  EXPECT_EQ(ApplySaveFilter("a.txt", 1), "a.qeb");
  EXPECT_EQ(ApplySaveFilter("a", 1), "a.qeb");
  EXPECT_EQ(ApplySaveFilter("a.b.c", 2), "a.b.txt");
  EXPECT_EQ(ApplySaveFilter("dir.d/name", 1), "dir.d/name.qeb");
  EXPECT_EQ(ApplySaveFilter("dir.d\\name", 1), "dir.d\\name.qeb");
  EXPECT_EQ(ApplySaveFilter("c:name", 2), "c:name.txt");
  EXPECT_EQ(ApplySaveFilter("name.", 1), "name.qeb");
  EXPECT_EQ(ApplySaveFilter("a.txt", 3), "a.txt");
  EXPECT_EQ(ApplySaveFilter("a.txt", 0), "a.txt");
}

}  // namespace
