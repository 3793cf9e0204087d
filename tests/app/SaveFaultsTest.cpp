// Faults injected under the application's Save, Save As and Open: a full device, a file
// size limit, a read-only directory, a file replaced by a directory, a directory that
// vanishes after the dialog answered, symbolic links. Each must end with one error naming
// the file, the document and its Modified state untouched, and on disk either the old
// bytes or the new ones.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "FormFixture.h"

namespace {

// Answers the save dialog from the script, then runs a fault before the save happens.
class TFaultingDialogs : public TScriptedDialogs {
 public:
  bool SaveFileName(const std::string& filter, int& filterIndex, std::string& fileName) override {
    const bool ok = TScriptedDialogs::SaveFileName(filter, filterIndex, fileName);
    if (ok && AfterSaveDialog) AfterSaveDialog();
    return ok;
  }
  std::function<void()> AfterSaveDialog;
};

class SaveFaultsTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    auto dialogs = std::make_unique<TFaultingDialogs>();
    faulting_ = dialogs.get();
    dialogs_ = dialogs.get();
    form_ = std::make_unique<TForm1>(std::move(dialogs));
    Memo().SetClipboard(&clipboard_);
    Write("old.qeb", OldBytes);
    form_->OpenFile(Path("old.qeb"));
    TypeText(cp1251::FromUtf8("новый текст "));
    NewLogLines();
  }
  void TearDown() override {
    if (limited_) {
      ::setrlimit(RLIMIT_FSIZE, &savedLimit_);
      std::signal(SIGXFSZ, SIG_DFL);
    }
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
    FormFixture::TearDown();
  }

  // The document as the user sees it.
  std::string Text() const { return form_->Memo().Lines->Text(); }
  void RunSave() { form_->Action("ActFileSave")->Execute(); }
  void RunSaveAs(const std::string& name) {
    dialogs_->SaveAnswers.push_back({true, name, 3});
    form_->Action("ActFileSaveAs")->Execute();
  }
  // One error naming the file; the document, its name and its Modified state as before;
  // no "Сохранено в" line.
  void ExpectFailedSave(const std::string& named, const std::string& text, const std::string& fileName) {
    ASSERT_EQ(dialogs_->Errors.size(), 1u);
    EXPECT_NE(dialogs_->Errors[0].find(named), std::string::npos) << dialogs_->Errors[0];
    EXPECT_EQ(Text(), text);
    EXPECT_TRUE(Lines().Modified());
    EXPECT_EQ(Lines().FileName(), fileName);
    for (const std::string& l : NewLogLines()) EXPECT_EQ(l.find("Сохранено в"), std::string::npos) << l;
  }
  // Nothing but the expected files in the directory: no temporary file left behind.
  std::vector<std::string> Entries(const std::filesystem::path& d) const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(d)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  void LimitFileSize(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &savedLimit_);
    rlimit l = savedLimit_;
    l.rlim_cur = bytes;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &l), 0);
    limited_ = true;
  }

  static constexpr const char* OldBytes = "old line one\r\nold line two\r\n";
  TFaultingDialogs* faulting_ = nullptr;
  rlimit savedLimit_{};
  bool limited_ = false;
};

TEST_F(SaveFaultsTest, FullDeviceFailsAndKeepsTheDocument) {
  const std::string text = Text();
  RunSaveAs("/dev/full");
  ExpectFailedSave("/dev/full", text, Path("old.qeb"));
  EXPECT_EQ(Read("old.qeb"), OldBytes);
}

TEST_F(SaveFaultsTest, FileSizeLimitLeavesTheOldFileWhole) {
  for (int i = 0; i < 200; ++i) TypeText("a line long enough to pass the limit quickly\r\n");
  const std::string text = Text();
  LimitFileSize(4096);
  RunSave();
  ExpectFailedSave(Path("old.qeb"), text, Path("old.qeb"));
  EXPECT_EQ(Read("old.qeb"), OldBytes);
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"old.qeb", "qeb.syn", "qeb.syn2"}));
}

TEST_F(SaveFaultsTest, SaveWithinTheLimitStillWorks) {
  LimitFileSize(1 << 20);
  RunSave();
  EXPECT_TRUE(dialogs_->Errors.empty());
  EXPECT_FALSE(Lines().Modified());
  EXPECT_EQ(Read("old.qeb"), cp1251::FromUtf8("новый текст ") + "old line one\r\nold line two\r\n");
}

TEST_F(SaveFaultsTest, ReadOnlyDirectoryRefusesSaveAs) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not bind root";
  std::filesystem::create_directories(dir_ / "ro");
  std::filesystem::permissions(dir_ / "ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const std::string text = Text();
  RunSaveAs(Path("ro/new.qeb"));
  ExpectFailedSave(Path("ro/new.qeb"), text, Path("old.qeb"));
  std::filesystem::permissions(dir_ / "ro", std::filesystem::perms::owner_all);
  EXPECT_TRUE(Entries(dir_ / "ro").empty());
}

TEST_F(SaveFaultsTest, FileReplacedByADirectoryIsNotTouched) {
  std::filesystem::remove(dir_ / "old.qeb");
  std::filesystem::create_directories(dir_ / "old.qeb" / "inside");
  const std::string text = Text();
  RunSave();
  ExpectFailedSave(Path("old.qeb"), text, Path("old.qeb"));
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "old.qeb" / "inside"));
}

TEST_F(SaveFaultsTest, DirectoryVanishingAfterTheDialogFailsCleanly) {
  std::filesystem::create_directories(dir_ / "gone");
  faulting_->AfterSaveDialog = [this] { std::filesystem::remove_all(dir_ / "gone"); };
  const std::string text = Text();
  RunSaveAs(Path("gone/new.qeb"));
  ExpectFailedSave(Path("gone/new.qeb"), text, Path("old.qeb"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "gone"));
}

TEST_F(SaveFaultsTest, OpenFileWhoseDirectoryVanishedCannotBeSaved) {
  Write("sub/doc.qeb", "sub\r\n");
  form_->OpenFile(Path("sub/doc.qeb"));
  TypeText("x");
  NewLogLines();
  std::filesystem::remove_all(dir_ / "sub");
  const std::string text = Text();
  RunSave();
  ExpectFailedSave(Path("sub/doc.qeb"), text, Path("sub/doc.qeb"));
}

TEST_F(SaveFaultsTest, SymlinkIsWrittenThroughAndStaysALink) {
  Write("real.qeb", "real\r\n");
  std::filesystem::create_symlink(dir_ / "real.qeb", dir_ / "link.qeb");
  form_->OpenFile(Path("link.qeb"));
  TypeText("new ");
  RunSave();
  EXPECT_TRUE(dialogs_->Errors.empty());
  EXPECT_FALSE(Lines().Modified());
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "link.qeb"));
  EXPECT_EQ(Read("real.qeb"), "new real\r\n");
}

TEST_F(SaveFaultsTest, DanglingSymlinkIntoAMissingDirectoryFails) {
  std::filesystem::create_symlink(dir_ / "nowhere" / "target.qeb", dir_ / "dangling.qeb");
  const std::string text = Text();
  RunSaveAs(Path("dangling.qeb"));
  ExpectFailedSave("dangling.qeb", text, Path("old.qeb"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "dangling.qeb"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "nowhere"));
}

TEST_F(SaveFaultsTest, OpeningADirectoryOrAMissingFileKeepsTheDocument) {
  std::filesystem::create_directories(dir_ / "folder.qeb");
  const std::string text = Text();
  for (const std::string name : {"folder.qeb", "missing.qeb"}) {
    dialogs_->OpenAnswers.push_back({true, Path(name), 3});
    form_->Action("ActFileOpen")->Execute();
    EXPECT_EQ(Text(), text) << name;
    EXPECT_TRUE(Lines().Modified()) << name;
    EXPECT_EQ(Lines().FileName(), Path("old.qeb")) << name;
  }
  ASSERT_EQ(dialogs_->Errors.size(), 2u);
  EXPECT_NE(dialogs_->Errors[0].find("folder.qeb"), std::string::npos);
  EXPECT_NE(dialogs_->Errors[1].find("missing.qeb"), std::string::npos);
}

}  // namespace
