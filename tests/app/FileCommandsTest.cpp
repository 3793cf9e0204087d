// Open, New, Save, Save As and closing the window, with the save query answered every way.
#include <tuple>

#include "FormFixture.h"

namespace {

class FileCommandsTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    Write("a.qbl", "proc A\n{\n}\n"), Write("b.qbl", "b\n"), Start();
    form_->OpenFile(Path("a.qbl")), TypeText("edit"), NewLogLines();
  }
  void OpenDialog(bool ok, const std::string& name = "") {
    dialogs_->OpenAnswers.push_back({ok, Path(name), 3});
    form_->Action("ActFileOpen")->Execute();
  }
};

// Opening the open file only logs; a cancelled dialog stops silently; another file replaces
// the edited one without asking; the dialog remembers the filter.
TEST_F(FileCommandsTest, OpenDiscardsWithoutAskingAndTheDialogRemembersTheFilter) {
  form_->OpenFile(Path("a.qbl")), OpenDialog(false);
  EXPECT_EQ(NewLogLines(), (std::vector<std::string>{Ev("Открытие..."), Ev("Открытие...")}));
  EXPECT_EQ(std::pair(Lines().Get(0), Lines().FileName()), std::pair(std::string_view("editproc A"), Path("a.qbl")));
  OpenDialog(true, "b.qbl"), OpenDialog(false);
  EXPECT_TRUE(dialogs_->Asked.empty());
  EXPECT_EQ(std::tuple(Lines().Text(), Lines().Modified(), form_->RecentFiles().Count), std::tuple("b\r\n", false, 2));
  EXPECT_EQ(dialogs_->FilterIndexes, (std::vector<int>{1, 1, 3}));
}

TEST_F(FileCommandsTest, NewFollowsTheAnswerToTheSaveQuery) {
  struct Case { bool untitled; TQueryAnswer answer; bool replaced; std::string savedA; std::vector<std::string> log; };
  const std::string untouched = "proc A\n{\n}\n", saved = "editproc A\r\n{\r\n}\r\n";
  const Case cases[] = {
      {false, TQueryAnswer::Cancel, false, untouched, {}},
      {false, TQueryAnswer::No, true, untouched, {Ev("Новый создан")}},
      {false, TQueryAnswer::Yes, true, saved, {Ev("Сохранение..."), Ev("Сохранено в " + Path("a.qbl")),
                                               Ev("Новый создан")}},
      {true, TQueryAnswer::Yes, false, untouched, {Ev("Сохранение...")}},
  };
  for (const Case& c : cases) {
    Write("a.qbl", untouched), Lines().SetModified(false), form_->NewFile();
    if (!c.untitled) form_->OpenFile(Path("a.qbl"));
    TypeText("edit"), NewLogLines(), dialogs_->Asked.clear(), dialogs_->Questions.push_back(c.answer);
    const std::string name = Lines().FileName();
    if (c.untitled) dialogs_->SaveAnswers.push_back({false, "", 1});
    form_->NewFile();
    EXPECT_EQ(dialogs_->Asked, (std::vector<std::string>{"Файл был изменен. Сохранить?"}));
    EXPECT_EQ(std::tuple(Lines().IsNew(), Lines().FileName() == name, Lines().Modified(),
                         Lines().Get(0).rfind("edit", 0) == 0),
              std::tuple(c.replaced || c.untitled, !c.replaced, !c.replaced, !c.replaced));
    EXPECT_EQ(Read("a.qbl"), c.savedA);
    EXPECT_EQ(NewLogLines(), c.log);
  }
  EXPECT_EQ(form_->RecentFiles().Count, 1) << "New leaves the recent list alone";
}

TEST_F(FileCommandsTest, CloseAndExitFollowTheAnswer) {
  form_->show();
  dialogs_->Questions.push_back(TQueryAnswer::Cancel);
  EXPECT_FALSE(form_->close());
  Lines().SetModified(false), form_->NewFile(), TypeText("x");
  dialogs_->Questions.push_back(TQueryAnswer::Yes);
  dialogs_->SaveAnswers.push_back({true, Path("out"), 1});
  form_->Action("ActExit")->Execute();
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(Read("out.qeb"), "x\r\n");
}

TEST_F(FileCommandsTest, SaveAsAppliesTheFilterRetitlesAndPreselectsTheFirstFilter) {
  dialogs_->SaveAnswers.push_back({true, Path("first.txt"), 1});
  dialogs_->SaveAnswers.push_back({true, Path("two"), 2});
  EXPECT_TRUE(form_->SaveFileAs() && form_->SaveFileAs());
  EXPECT_EQ(Read("first.qeb") + Read("two.txt"), "editproc A\r\n{\r\n}\r\neditproc A\r\n{\r\n}\r\n");
  EXPECT_TRUE(form_->windowTitle().endsWith(QString::fromStdString("-" + Path("two.txt"))));
  EXPECT_EQ(dialogs_->FilterIndexes, (std::vector<int>{1, 1}));
}

TEST(ApplySaveFilterTest, ExtensionRule) {
  for (const auto& [typed, filter, written] : std::vector<std::tuple<std::string, int, std::string>>{
           {"a.txt", 1, "a.qeb"}, {"a", 1, "a.qeb"}, {"a.b.c", 2, "a.b.txt"}, {"dir.d/name", 1, "dir.d/name.qeb"},
           {"dir.d\\name", 1, "dir.d\\name.qeb"}, {"c:name", 2, "c:name.txt"}, {"name.", 1, "name.qeb"},
           {"a.txt", 3, "a.txt"}, {"a.txt", 0, "a.txt"}})
    EXPECT_EQ(ApplySaveFilter(typed, filter), written) << typed << " " << filter;
}

}  // namespace
