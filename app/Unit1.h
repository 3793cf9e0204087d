/** @file Unit1.h
 ** TForm1, the main window: the editor control, the outline tree, the event log and the
 ** word-info box, the actions with their menus and tool bar, the start sequence and the
 ** document commands. */
#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ActionList.h"
#include "BraceAnalysis.h"
#include "Dialogs.h"
#include "KeywordTable.h"
#include "RecentFiles.h"

class QMenu;
class QPlainTextEdit;
class QSplitter;
class QStatusBar;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TForm2;
class TSxSyntaxMemo;
class TSxSyntaxMemoWidget;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // Runs the start sequence. dialogs answers every question the window asks; null
  // means real dialogs.
  explicit TForm1(std::unique_ptr<TAppDialogs> dialogs = nullptr, QWidget* parent = nullptr);
  ~TForm1() override;

  // Document commands.
  void Log(const std::string& source, const std::string& message);
  void OpenFile(const std::string& fileName);
  bool SaveFile();
  bool SaveFileAs();
  void NewFile();
  bool CanCloseFile();

  // Brace analysis and the outline.
  void AnalyzeBraces();
  void UpdateSectionsInfo();
  void TreeView1DblClick();

  // Recent files.
  void UpdateRecentMenu();

  // The action-enabling rule, run on every idle pass of the event loop.
  void UpdateActions();
  // None: right clicks on the menu bar and tool bar open nothing.
  QMenu* createPopupMenu() override;

  // Handlers the editor control calls.
  void SxSyntaxMemo1KeyPress(char& key);
  void SxSyntaxMemo1ParseWord(std::string_view word, TToken& token);
  void SxSyntaxMemo1WordInfo(int x, int y, int wordIndex, int row, bool showing);

  // Runs an action's handler the way the framework does: a failure is shown in the error box.
  void RunCommand(const std::function<void()>& command);

  TSxSyntaxMemo& Memo();
  TAppAction* Action(const QString& name) const;
  const QString& Title() const { return title_; }
  const TKeywordTable* KeywordTable() const { return keywordTable_.get(); }
  const TRecentFiles& RecentFiles() const { return recentFiles_; }
  std::int32_t SelectedLine = 0;

  // Components, named as in the window's design.
  QMenu* FileMenu = nullptr;
  QMenu* RecentMenu = nullptr;
  std::vector<QAction*> RecentEntries;  // the five submenu entries, in submenu order
  QToolBar* ActionToolBar1 = nullptr;
  QTreeWidget* TreeView1 = nullptr;
  QSplitter* Splitter1 = nullptr;
  TSxSyntaxMemoWidget* SxSyntaxMemo1 = nullptr;
  QSplitter* Splitter2 = nullptr;
  QWidget* Panel1 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QPlainTextEdit* Memo2 = nullptr;
  QMenu* PopUp = nullptr;
  TForm2* Form2 = nullptr;
  std::vector<QIcon> Images;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateLayout();
  void SetUpEditor();
  void FormCreate();
  void ShowOutline(const TOutline& outline);
  void UpdateCaption();
  void ActFontExecute();
  TAppAction* Add(const char* name, const char* caption, const QKeySequence& key, int image,
                  std::function<void()> onExecute);
  QAction* MenuItem(QMenu* menu, const char* name, const char* caption, bool visible = true);

  std::unique_ptr<TAppDialogs> dialogs_;
  std::unique_ptr<TKeywordTable> keywordTable_;
  TRecentFiles recentFiles_;
  std::vector<std::unique_ptr<TAppAction>> actions_;
  std::map<QString, TAppAction*> actionByName_;
  QString title_;
  int openFilterIndex_ = 1;
};

// Save As: index 1 gives the name the extension ".qeb", index 2 ".txt", any other keeps
// it. The extension is what follows the last '.' when no path separator or drive colon
// comes after it; without one the new extension is appended.
std::string ApplySaveFilter(const std::string& name, int filterIndex);
