// Faults injected under Save, Save As and Open. Each ends with one error naming the file,
// the document, its name and its Modified state untouched, no "Сохранено в" line, and on
// disk the old bytes and no temporary file left.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "FormFixture.h"

namespace {

namespace fs = std::filesystem;

class SaveFaultsTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    ::getrlimit(RLIMIT_FSIZE, &limit_), std::signal(SIGXFSZ, SIG_IGN);
  }
  void TearDown() override {
    ::setrlimit(RLIMIT_FSIZE, &limit_), std::signal(SIGXFSZ, SIG_DFL);  // the run goes on
    if (fs::exists(dir_ / "ro")) fs::permissions(dir_ / "ro", fs::perms::owner_all);
    FormFixture::TearDown();
  }
  void SaveAs(const std::string& name) { dialogs_->SaveAnswers.push_back({true, name, 3}), Act("ActFileSaveAs"); }
  void Open(const std::string& name) { dialogs_->OpenAnswers.push_back({true, name, 3}), Act("ActFileOpen"); }
  void Act(const char* name) { form_->Action(name)->Execute(); }
  rlimit limit_{};
};

TEST_F(SaveFaultsTest, EveryFaultLeavesTheFileAndTheDocumentAsTheyWere) {
  Start();
  const std::string old = "old\r\n";
  Write("old.qeb", old);
  form_->OpenFile(Path("old.qeb"));
  TypeText("new " + std::string(5000, 'x'));
  const struct { const char* fault; std::function<void()> run; std::string named; bool rootIgnores = false; } cases[] = {
      {"file size limit", [&] {
         rlimit small = limit_;
         small.rlim_cur = 4096;
         ::setrlimit(RLIMIT_FSIZE, &small), Act("ActFileSave"), ::setrlimit(RLIMIT_FSIZE, &limit_);
       }, "old.qeb"},
      {"full device", [&] { SaveAs("/dev/full"); }, "/dev/full"},
      {"read-only directory", [&] {
         fs::create_directories(dir_ / "ro");
         fs::permissions(dir_ / "ro", fs::perms::owner_read | fs::perms::owner_exec);
         SaveAs(Path("ro/new.qeb"));
       }, "ro/new.qeb", true},
      {"directory removed after the dialog", [&] {
         fs::create_directories(dir_ / "gone");
         dialogs_->AfterSaveDialog = [&] { fs::remove_all(dir_ / "gone"); };
         SaveAs(Path("gone/new.qeb"));
       }, "gone/new.qeb"},
      {"dangling link", [&] {
         fs::create_symlink(dir_ / "nowhere" / "t.qeb", dir_ / "dangling.qeb");
         SaveAs(Path("dangling.qeb"));
       }, "dangling.qeb"},
      {"file replaced by a directory", [&] {
         fs::rename(dir_ / "old.qeb", dir_ / "aside");
         fs::create_directories(dir_ / "old.qeb" / "inside");
         Act("ActFileSave");
         EXPECT_TRUE(fs::is_directory(dir_ / "old.qeb" / "inside"));
         fs::remove_all(dir_ / "old.qeb"), fs::rename(dir_ / "aside", dir_ / "old.qeb");
       }, "old.qeb"},
      {"opening a directory", [&] { fs::create_directories(dir_ / "folder.qeb"), Open(Path("folder.qeb")); }, "folder.qeb"},
      {"opening a missing file", [&] { Open(Path("missing.qeb")); }, "missing.qeb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    if (c.rootIgnores && ::geteuid() == 0) continue;  // permission bits do not bind root
    const std::string text = Lines().Text();
    dialogs_->Errors.clear();
    NewLogLines();
    c.run();
    ASSERT_EQ(dialogs_->Errors.size(), 1u);
    EXPECT_NE(dialogs_->Errors[0].find(c.named), std::string::npos) << dialogs_->Errors[0];
    EXPECT_EQ(std::tuple(Lines().Text() == text, Lines().Modified(), Lines().FileName()),
              std::tuple(true, true, Path("old.qeb")));
    for (const std::string& l : NewLogLines()) EXPECT_EQ(l.find("Сохранено в"), std::string::npos) << l;
    EXPECT_EQ(Read("old.qeb"), old);
    for (const auto& e : fs::recursive_directory_iterator(dir_))
      EXPECT_NE(e.path().filename().string()[0], '.') << "a temporary file was left: " << e.path();
  }
  ::chmod(Path("old.qeb").c_str(), 0640);
  fs::create_symlink("old.qeb", dir_ / "link.qeb");
  SaveAs(Path("link.qeb"));
  EXPECT_FALSE(Lines().Modified());
  EXPECT_EQ(Read("old.qeb"), "new " + std::string(5000, 'x') + "old\r\n");
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.qeb"));
  EXPECT_EQ(fs::status(dir_ / "old.qeb").permissions() & fs::perms::all, fs::perms(0640));
}

}  // namespace
