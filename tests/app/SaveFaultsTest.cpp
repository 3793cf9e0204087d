// Faults injected under Save, Save As and Open. Each ends with one error naming the file,
// the document and its Modified state untouched, and on disk the old bytes or the new ones.
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "FormFixture.h"

namespace {

namespace fs = std::filesystem;

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
    Start(std::move(dialogs));
    Write("old.qeb", OldBytes);
    form_->OpenFile(Path("old.qeb"));
    TypeText(cp1251::FromUtf8("новый текст "));
    NewLogLines();
  }
  void TearDown() override {
    if (limited_) ::setrlimit(RLIMIT_FSIZE, &savedLimit_), std::signal(SIGXFSZ, SIG_DFL);  // the run goes on
    fs::permissions(dir_, fs::perms::owner_all);
    FormFixture::TearDown();
  }

  void RunSave() { form_->Action("ActFileSave")->Execute(); }
  void RunSaveAs(const std::string& name) {
    dialogs_->SaveAnswers.push_back({true, name, 3});
    form_->Action("ActFileSaveAs")->Execute();
  }
  // Runs the save; then one error naming the file; the document, its name and its Modified
  // state as before; no "Сохранено в" line.
  void ExpectFailedSave(const std::function<void()>& save, const std::string& named,
                        const std::string& fileName = "old.qeb") {
    const std::string text = Lines().Text();
    save();
    ASSERT_EQ(dialogs_->Errors.size(), 1u);
    EXPECT_NE(dialogs_->Errors[0].find(named), std::string::npos) << dialogs_->Errors[0];
    EXPECT_EQ(Lines().Text(), text);
    EXPECT_TRUE(Lines().Modified());
    EXPECT_EQ(Lines().FileName(), Path(fileName));
    for (const std::string& l : NewLogLines()) EXPECT_EQ(l.find("Сохранено в"), std::string::npos) << l;
  }
  // The directory's entries, sorted: a temporary file left behind shows here.
  static std::vector<std::string> Entries(const fs::path& d) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(d)) names.push_back(e.path().filename().string());
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

TEST_F(SaveFaultsTest, FileSizeLimitLeavesTheOldFileWholeAndASmallSaveWorks) {
  for (int i = 0; i < 200; ++i) TypeText("a line long enough to pass the limit quickly\r\n");
  LimitFileSize(4096);
  ExpectFailedSave([&] { RunSave(); }, Path("old.qeb"));
  EXPECT_EQ(Read("old.qeb"), OldBytes);
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"old.qeb", "qeb.syn", "qeb.syn2"}));
  Memo().Range->SelectAll();
  TypeText("short");
  RunSave();
  EXPECT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_FALSE(Lines().Modified());
  EXPECT_EQ(Read("old.qeb"), "short\r\n");
}

TEST_F(SaveFaultsTest, ReadOnlyDirectoryRefusesSaveAs) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not bind root";
  fs::create_directories(dir_ / "ro");
  fs::permissions(dir_ / "ro", fs::perms::owner_read | fs::perms::owner_exec);
  ExpectFailedSave([&] { RunSaveAs(Path("ro/new.qeb")); }, Path("ro/new.qeb"));
  fs::permissions(dir_ / "ro", fs::perms::owner_all);
  EXPECT_TRUE(Entries(dir_ / "ro").empty());
}

TEST_F(SaveFaultsTest, FullDeviceAndAFileReplacedByADirectoryLeaveBothAlone) {
  ExpectFailedSave([&] { RunSaveAs("/dev/full"); }, "/dev/full");
  EXPECT_EQ(Read("old.qeb"), OldBytes);
  dialogs_->Errors.clear();
  fs::remove(dir_ / "old.qeb");
  fs::create_directories(dir_ / "old.qeb" / "inside");
  ExpectFailedSave([&] { RunSave(); }, Path("old.qeb"));
  EXPECT_TRUE(fs::is_directory(dir_ / "old.qeb" / "inside"));
}

TEST_F(SaveFaultsTest, VanishedDirectoryFailsCleanly) {
  fs::create_directories(dir_ / "gone");
  faulting_->AfterSaveDialog = [this] { fs::remove_all(dir_ / "gone"); };
  ExpectFailedSave([&] { RunSaveAs(Path("gone/new.qeb")); }, Path("gone/new.qeb"));
  EXPECT_FALSE(fs::exists(dir_ / "gone"));
  faulting_->AfterSaveDialog = nullptr;
  dialogs_->Errors.clear();
  Write("sub/doc.qeb", "sub\r\n");
  form_->OpenFile(Path("sub/doc.qeb"));
  TypeText("x");
  NewLogLines();
  fs::remove_all(dir_ / "sub");
  ExpectFailedSave([&] { RunSave(); }, Path("sub/doc.qeb"), "sub/doc.qeb");
}

TEST_F(SaveFaultsTest, SymlinkIsWrittenThroughAndADanglingOneFails) {
  Write("real.qeb", "real\r\n");
  fs::create_symlink(dir_ / "real.qeb", dir_ / "link.qeb");
  fs::create_symlink(dir_ / "nowhere" / "target.qeb", dir_ / "dangling.qeb");
  ExpectFailedSave([&] { RunSaveAs(Path("dangling.qeb")); }, "dangling.qeb");
  EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.qeb"));
  EXPECT_FALSE(fs::exists(dir_ / "nowhere"));
  form_->OpenFile(Path("link.qeb"));
  TypeText("new ");
  RunSave();
  EXPECT_EQ(dialogs_->Errors.size(), 1u);
  EXPECT_FALSE(Lines().Modified());
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.qeb"));
  EXPECT_EQ(Read("real.qeb"), "new real\r\n");
}

TEST_F(SaveFaultsTest, OpeningADirectoryOrAMissingFileKeepsTheDocument) {
  fs::create_directories(dir_ / "folder.qeb");
  for (const std::string name : {"folder.qeb", "missing.qeb"}) {
    dialogs_->Errors.clear();
    ExpectFailedSave(
        [&] {
          dialogs_->OpenAnswers.push_back({true, Path(name), 3});
          form_->Action("ActFileOpen")->Execute();
        },
        name);
  }
}

}  // namespace
