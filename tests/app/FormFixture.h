// A main window started in a scratch working directory, with scripted dialogs and a
// clipboard of its own; shared by the main-window suites.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QPlainTextEdit>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "TestText.h"
#include "Unit1.h"
#include "control/SyntaxMemo.h"
#include "platform/Clipboard.h"
#include "qt/SyntaxMemoWidget.h"
#include "syntax/TextLines.h"

// Answers every dialog from queues filled by the test; a question nobody scripted fails the test.
class TScriptedDialogs : public TAppDialogs {
 public:
  struct FileAnswer { bool Ok = false; std::string Name; int FilterIndex = 1; };

  bool OpenFileName(const std::string&, int& filter, std::string& name) override { return Answer(false, filter, name); }
  bool SaveFileName(const std::string&, int& filter, std::string& name) override { return Answer(true, filter, name); }
  bool ChooseFont(std::string& name, int& height) override {
    if (FontOk) name = FontName, height = FontHeight;
    return FontOk;
  }
  TQueryAnswer AskYesNoCancel(const std::string& text) override {
    Asked.push_back(text);
    if (Questions.empty()) return ADD_FAILURE() << "unscripted question: " << text, TQueryAnswer::Cancel;
    const TQueryAnswer a = Questions.front();
    Questions.pop_front();
    return a;
  }
  void Information(const std::string& text) override { Informed.push_back(text); }
  void Error(const std::string& text) override { Errors.push_back(text); }
  bool AskLineNumber(int lineCount, std::string& answer) override {
    return LineCounts.push_back(lineCount), answer = LineAnswer, true;
  }

  std::deque<FileAnswer> OpenAnswers, SaveAnswers;
  std::deque<TQueryAnswer> Questions;
  std::vector<int> FilterIndexes;  // the filter preselected in every file dialog shown, in order
  std::vector<std::string> Asked, Errors, Informed;
  std::string LineAnswer;
  std::vector<int> LineCounts;
  std::function<void()> AfterSaveDialog;  // runs once, when a save dialog is answered Ok
  bool FontOk = false;
  std::string FontName;
  int FontHeight = 0;

 private:
  bool Answer(bool save, int& filterIndex, std::string& fileName) {
    FilterIndexes.push_back(filterIndex);
    std::deque<FileAnswer>& q = save ? SaveAnswers : OpenAnswers;
    if (q.empty()) return ADD_FAILURE() << "unscripted file dialog", false;
    const FileAnswer a = q.front();
    q.pop_front();
    if (a.Ok) fileName = a.Name, filterIndex = a.FilterIndex;
    if (a.Ok && save && AfterSaveDialog) std::exchange(AfterSaveDialog, nullptr)();
    return a.Ok;
  }
};

class FormFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    oldDir_ = QDir::currentPath();
    dir_ = std::filesystem::temp_directory_path() / ("qebform_" + std::to_string(::getpid()) + "_" +
                                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_), std::filesystem::create_directories(dir_);
    QDir::setCurrent(QString::fromStdString(dir_.string()));
    for (const char* name : {"qeb.syn", "qeb.syn2"}) CopyDemo(name);
  }
  void TearDown() override {
    if (form_) Memo().Lines->SetModified(false);  // leave without questions whatever the test did
    form_.reset();
    QDir::setCurrent(oldDir_);
    std::filesystem::remove_all(dir_);
  }

  void CopyDemo(const std::string& name) {
    std::filesystem::copy_file(std::string(SX_SOURCE_DIR) + "/resources/demo/" + name, dir_ / name,
                               std::filesystem::copy_options::overwrite_existing);
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories((dir_ / name).parent_path());
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) { return ReadFileBytes(Path(name)); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  void Start() {
    auto dialogs = std::make_unique<TScriptedDialogs>();
    dialogs_ = dialogs.get();
    form_ = std::make_unique<TForm1>(std::move(dialogs));
    Memo().SetClipboard(&clipboard_);
  }
  TSxSyntaxMemo& Memo() { return form_->Memo(); }
  TSxSynMemoStrings& Lines() { return *Memo().Lines; }
  // Log lines written since the last call (all of them at the first).
  std::vector<std::string> NewLogLines() {
    const QStringList all = form_->Memo1->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    std::vector<std::string> fresh;
    for (qsizetype i = static_cast<qsizetype>(seen_); i < all.size(); ++i) fresh.push_back(all[i].toStdString());
    seen_ = static_cast<std::size_t>(all.size());
    return fresh;
  }
  static std::string Ev(const std::string& message) { return "[Событие]: " + message; }
  void TypeText(const std::string& cp1251Text) { Memo().Range->ReplaceSelection(cp1251Text, ukTyping); }

  std::filesystem::path dir_;
  QString oldDir_;
  std::unique_ptr<TForm1> form_;
  TScriptedDialogs* dialogs_ = nullptr;
  TSxMemoryClipboard clipboard_;
  std::size_t seen_ = 0;
};
