// The main window's actions, menus, outline tree, recent submenu and word-info box.
#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QPushButton>
#include <QMenuBar>
#include <QToolBar>
#include <QTreeWidget>

#include "AboutForm.h"
#include "FormFixture.h"

namespace {

class MainWindowTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    Start();
    NewLogLines();
  }
  bool Enabled(const char* name) { return form_->Action(name)->Enabled(); }
  QStringList Captions(QWidget* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) out << (a->isSeparator() ? "-" : a->text());
    return out;
  }
};

// Copy, Cut and Delete follow the selection (also when the event loop goes idle), Paste the
// clipboard, Undo the history.
TEST_F(MainWindowTest, TheEnablingRuleFollowsSelectionClipboardAndHistory) {
  form_->UpdateActions();
  EXPECT_FALSE(Enabled("ActPaste"));
  EXPECT_FALSE(Enabled("ActUndo"));
  clipboard_.SetText("x");
  TypeText("abc");
  form_->UpdateActions();
  EXPECT_TRUE(Enabled("ActPaste"));
  EXPECT_TRUE(Enabled("ActUndo"));
  for (const char* name : {"ActCopy", "ActCut", "ActSelDelete"}) EXPECT_FALSE(Enabled(name)) << name;
  form_->Action("ActUndo")->Execute();
  EXPECT_EQ(Lines().Get(0), "");
  TypeText("abc");
  Memo().Range->SelectAll();
  emit QAbstractEventDispatcher::instance()->aboutToBlock();
  for (const char* name : {"ActCopy", "ActCut", "ActSelDelete"}) EXPECT_TRUE(Enabled(name)) << name;
  for (QAction* view : form_->Action("ActCopy")->Views()) EXPECT_TRUE(view->isEnabled());
}

TEST_F(MainWindowTest, FixedRowsOfTheEnablingRule) {
  form_->Action("ActSaveAll")->SetEnabled(false);
  form_->UpdateActions();
  for (const char* name : {"ActFileNew", "ActFileOpen", "ActFileSave", "ActFileSaveAs", "ActFileClose", "ActCloseAll",
                           "ActExit", "ActReadOnly", "ActSelAll", "ActSelStart", "ActSelEnd", "ActAbout",
                           "ActClosePage", "ActFont", "ActRecent1", "ActRecent2", "ActRecent3", "ActRecent4",
                           "ActRecent5", "ActParsing"})
    EXPECT_TRUE(Enabled(name)) << name;
  for (const char* name : {"ActDebugWindow", "ActExportRTF", "ActSyntaxExport", "ActSyntaxImport", "ActSettings",
                           "ActBrowse", "ActTopic", "ActOpenInvoke"})
    EXPECT_FALSE(Enabled(name)) << name;
  EXPECT_FALSE(Enabled("ActSaveAll")) << "the rule does not touch ActSaveAll";
}

TEST_F(MainWindowTest, EditingActionsReachTheSelection) {
  TypeText("hello");
  form_->Action("ActSelAll")->Execute();
  form_->UpdateActions();
  form_->Action("ActCopy")->Execute();
  EXPECT_EQ(clipboard_.GetText(), "hello");
  form_->Action("ActSelDelete")->Execute();
  EXPECT_EQ(Lines().Get(0), "");
  form_->UpdateActions();
  form_->Action("ActPaste")->Execute();
  EXPECT_EQ(Lines().Get(0), "hello");
  form_->Action("ActSelStart")->Execute();
  form_->UpdateActions();
  form_->Action("ActCut")->Execute();
  EXPECT_EQ(Lines().Get(0), "");
}

TEST_F(MainWindowTest, ActionsWithoutEffectChangeNothing) {
  TypeText("keep");
  const std::string text = Lines().Text();
  const bool modified = Lines().Modified();
  for (const char* name : {"ActSaveAll", "ActFileClose", "ActCloseAll", "ActClosePage", "ActSettings",
                           "ActSyntaxImport", "ActSyntaxExport", "ActExportRTF", "ActOpenInvoke", "ActBrowse",
                           "ActTopic", "ActDebugWindow"}) {
    TAppAction* a = form_->Action(name);
    a->SetEnabled(true);
    a->Views().front()->trigger();
  }
  EXPECT_EQ(Lines().Text(), text);
  EXPECT_EQ(Lines().Modified(), modified);
  EXPECT_TRUE(NewLogLines().empty() && dialogs_->Asked.empty() && dialogs_->Errors.empty());
}

TEST_F(MainWindowTest, ReadOnlyOnlyTogglesItsCheckMark) {
  TAppAction* a = form_->Action("ActReadOnly");
  a->Views().at(0)->trigger();
  EXPECT_TRUE(a->Checked());
  TypeText("still editable");
  EXPECT_EQ(Lines().Get(0), "still editable");
}

TEST_F(MainWindowTest, CaptionsShortcutsAndImages) {
  struct Row { const char* name; const char* caption; const char* key; int image; };
  for (const Row& r : {Row{"ActFileNew", "New", "Ctrl+N", 6}, Row{"ActFileOpen", "Open..", "Ctrl+L", 7},
                       Row{"ActFileSave", "Save", "Ctrl+S", 8}, Row{"ActFileSaveAs", "Save as..", "F2", 9},
                       Row{"ActFileClose", "Close", "Ctrl+O", -1}, Row{"ActCloseAll", "Close all", "F4", -1},
                       Row{"ActExit", "Exit", "Ctrl+Q", -1}, Row{"ActUndo", "Undo", "", 10},
                       Row{"ActSelDelete", "Delete", "Del", 11}, Row{"ActSelStart", "Select from start", "Ctrl+Alt+B", -1},
                       Row{"ActAbout", "About", "", 13}, Row{"ActParsing", "Parsing", "", 2},
                       Row{"ActSettings", "Settings..", "", 12}, Row{"ActRecent1", "", "", -1},
                       Row{"ActRecent4", "ActRecent4", "", -1}}) {
    TAppAction* a = form_->Action(r.name);
    ASSERT_NE(a, nullptr) << r.name;
    EXPECT_EQ(a->Caption.toStdString(), r.caption) << r.name;
    EXPECT_EQ(a->ShortCut, QKeySequence(QString::fromUtf8(r.key))) << r.name;
    EXPECT_EQ(a->ImageIndex, r.image) << r.name;
  }
}

TEST_F(MainWindowTest, MenusToolBarAndContextMenuInOrder) {
  ASSERT_EQ(Captions(form_->menuBar()), (QStringList{"&Файл", "&Правка", "Фор&мат", "&Справка"}));
  QList<QAction*> bar = form_->menuBar()->actions();
  QList<QAction*> file = form_->FileMenu->actions();
  ASSERT_GE(file.size(), 12);
  EXPECT_EQ(file[11]->menu(), form_->RecentMenu) << "the recent submenu is the twelfth item";
  EXPECT_EQ(file[11]->text(), "Переоткрыть");
  EXPECT_EQ(Captions(bar[1]->menu()),
            (QStringList{"&Отмена", "-", "&Копировать", "&Вырезать", "Вст&авить", "&Удалить", "-", "Выделить в&се",
                         "Выделить до начала", "Выделить до конца"}));
  EXPECT_EQ(Captions(form_->ActionToolBar1), (QStringList{"Создать", "Открыть", "Сохранить", "-", "Анализ"}));
  EXPECT_EQ(Captions(form_->PopUp), (QStringList{"Close page", "-", "Browse word", "Open file at cursor",
                                                 "Topic search", "-", "Copy", "Cut", "Paste", "-", "Read only",
                                                 "Settings.."}));
  EXPECT_FALSE(form_->PopUp->actions()[0]->isVisible() || form_->PopUp->actions()[1]->isVisible());
}

TEST_F(MainWindowTest, RecentSubmenuListsOpenedFilesNewestFirstAndReopens) {
  for (const char* n : {"A.qbl", "B.qbl", "C.qbl"}) Write(n, std::string(n) + "\n");
  for (const char* n : {"A.qbl", "B.qbl", "C.qbl", "B.qbl"}) form_->OpenFile(Path(n));
  EXPECT_EQ(form_->RecentFiles().Count, 3);
  const std::vector<QAction*>& entries = form_->RecentEntries;
  ASSERT_EQ(entries.size(), 5u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(entries[i]->text().toStdString(), Path(std::string(1, "BCA"[i]) + ".qbl"));
  EXPECT_TRUE(entries[2]->isVisible());
  EXPECT_FALSE(entries[3]->isVisible());
  EXPECT_EQ(entries[1]->objectName(), "ActRecent3");
  entries[2]->trigger();
  EXPECT_EQ(Lines().FileName(), Path("A.qbl"));
  EXPECT_EQ(form_->RecentFiles().Files[0], Path("A.qbl"));
  EXPECT_EQ(entries[0]->text().toStdString(), Path("A.qbl"));
}

TEST_F(MainWindowTest, WordsAreClassifiedByTheKeywordTable) {
  Write("w.qbl", cp1251::FromUtf8("если Если число чтото\n"));
  form_->OpenFile(Path("w.qbl"));
  const std::vector<TSxSyntaxToken> tokens = Lines().TokenList(0).Tokens();
  std::vector<int> kinds;
  for (const TSxSyntaxToken& t : tokens) kinds.push_back(t.Kind);
  EXPECT_EQ(kinds, (std::vector<int>{tokKeyWord, tokErroneous, tokType, tokText}));
}

TEST_F(MainWindowTest, WordInfoShowsTheTokenAndHides) {
  Write("w.qbl", cp1251::FromUtf8("  процедура Старт\n"));
  form_->OpenFile(Path("w.qbl"));
  form_->SxSyntaxMemo1WordInfo(30, 40, 1, 0, true);
  EXPECT_FALSE(form_->Memo2->isHidden());
  EXPECT_EQ(form_->Memo2->pos(), QPoint(30, 40));
  EXPECT_EQ(form_->Memo2->toPlainText().toStdString(), "Старт\nStart at 12\nLength is 5\nToken is #28");
  form_->SxSyntaxMemo1WordInfo(0, 0, 0, 0, false);
  EXPECT_TRUE(form_->Memo2->isHidden());
  form_->SxSyntaxMemo1WordInfo(0, 0, 7, 0, true);
  form_->SxSyntaxMemo1WordInfo(0, 0, 0, 99, true);
  EXPECT_TRUE(form_->Memo2->isHidden()) << "a token or line that does not exist shows nothing";
}

TEST_F(MainWindowTest, OutlineTreeShowsSectionsAndDoubleClickGoesToTheLine) {
  Write("o.qbl", cp1251::FromUtf8("игра\n{\n}\nx\nпроцедура Б {\n  a\n}\n"));
  form_->OpenFile(Path("o.qbl"));
  QTreeWidget* tree = form_->TreeView1;
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem* top = tree->topLevelItem(0);
  EXPECT_EQ(top->text(0), "игра");
  ASSERT_EQ(top->childCount(), 2);
  EXPECT_TRUE(top->isExpanded());
  QTreeWidgetItem* proc = top->child(1);
  EXPECT_EQ(proc->text(0), "процедура Б {");
  EXPECT_EQ(proc->data(0, Qt::UserRole).toInt(), 4);
  EXPECT_EQ(tree->currentItem(), top->child(0)) << "the section starting on SelectedLine 0 is selected";

  tree->setCurrentItem(proc);
  form_->TreeView1DblClick();
  EXPECT_EQ(form_->SelectedLine, 4);
  EXPECT_EQ(Memo().Range->CaretPos, (TTextPos{0, 4}));

  form_->Action("ActParsing")->Execute();
  EXPECT_EQ(NewLogLines().back(), Ev("Парсинг ОК"));
  ASSERT_NE(tree->currentItem(), nullptr);
  EXPECT_EQ(tree->currentItem()->text(0), "процедура Б {") << "the refill selects the section on SelectedLine";
}

TEST_F(MainWindowTest, DoubleClickOnAVanishedLineOnlyStoresIt) {
  Write("o.qbl", "a\n{\n}\nb\n{\n}\n");
  form_->OpenFile(Path("o.qbl"));
  QTreeWidgetItem* last = form_->TreeView1->topLevelItem(0)->child(1);
  Memo().Range->SelectAll();
  Memo().Range->DeleteSelection();
  form_->TreeView1->setCurrentItem(last);
  form_->TreeView1DblClick();
  EXPECT_EQ(form_->SelectedLine, 3);
  EXPECT_EQ(Memo().Range->CaretPos.Y, 0);
  form_->TreeView1->clearSelection();
  form_->TreeView1->setCurrentItem(nullptr);
  form_->SelectedLine = 7;
  form_->TreeView1DblClick();
  EXPECT_EQ(form_->SelectedLine, 7) << "no selected node: nothing happens";
}

TEST_F(MainWindowTest, FontCommandOffersTheEditorFontAndAppliesTheChoice) {
  dialogs_->FontOk = false;
  form_->Action("ActFont")->Execute();
  EXPECT_EQ(dialogs_->FontShown, (std::pair<std::string, int>{"Lucida Console", -13}));
  EXPECT_EQ(Memo().FontName(), "Lucida Console");
  dialogs_->FontOk = true, dialogs_->FontName = "Courier New", dialogs_->FontHeight = -16;
  form_->Action("ActFont")->Execute();
  EXPECT_EQ(Memo().FontName(), "Courier New");
  EXPECT_EQ(Memo().FontHeight(), -16);
}

TEST_F(MainWindowTest, EditorGetsTheWindowsSettings) {
  EXPECT_EQ(Memo().Options(),
            (TSxSynMemoOptions{smoShowFileNameInFormCaption, smoAutoGutterWidth, smoShowCursorPos, smoPanning}));
  EXPECT_EQ(Memo().SectionIndent, 16);
  EXPECT_EQ(Memo().SelColor, RGBColor(166, 202, 240));
  EXPECT_EQ(Memo().Color(), RGBColor(255, 255, 255));
  EXPECT_EQ(Memo().FontHeight(), -13);
}

TEST_F(MainWindowTest, AboutWindowExistsHiddenWithItsLink) {
  ASSERT_NE(form_->Form2, nullptr);
  EXPECT_FALSE(form_->Form2->isVisible());
  EXPECT_EQ(form_->Form2->windowTitle(), "О программе...");
  EXPECT_FALSE(form_->Form2->Image1->pixmap().isNull());
  QString opened, shown;
  form_->Form2->OpenUrl = [&](const QString& url) { return opened = url, false; };
  form_->Form2->ShowMessage = [&](const QString& text) { shown = text; };
  form_->Form2->Label8Click();
  EXPECT_EQ(opened, form_->Form2->Label8->text());
  EXPECT_EQ(shown, "Ошибка перехода по ссылке");
  shown.clear();
  form_->Form2->OpenUrl = [](const QString&) { return true; };
  form_->Form2->Label8Click();
  EXPECT_TRUE(shown.isEmpty());
  form_->Form2->open();
  EXPECT_TRUE(form_->Form2->isVisible());
  form_->Form2->Button1->click();
  EXPECT_FALSE(form_->Form2->isVisible());
}

TEST(QtNameFiltersTest, PatternsReplaceTheDescriptionsParentheses) {
  EXPECT_EQ(QtNameFilters("Файлы QEB (*.qeb)|*.qeb;*.qbl|Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*"),
            (QStringList{"Файлы QEB (*.qeb *.qbl)", "Текстовые файлы (*.txt)", "Все файлы (*.*)"}));
  EXPECT_EQ(QtNameFilters("Plain|*.a"), QStringList{"Plain (*.a)"});
  EXPECT_TRUE(QtNameFilters("dangling").isEmpty());
}

}  // namespace
