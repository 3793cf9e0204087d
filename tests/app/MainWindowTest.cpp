// The main window's enabling rule, recent submenu, word-info box, outline tree and About box.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenuBar>
#include <QToolBar>
#include <QTreeWidget>

#include "AboutForm.h"
#include "FormFixture.h"

namespace {

class MainWindowTest : public FormFixture {
 protected:
  void SetUp() override { FormFixture::SetUp(), Start(), NewLogLines(); }
  std::string Enabled(std::initializer_list<const char*> names) {
    std::string out;
    for (const char* name : names) out += form_->Action(name)->Enabled() ? '1' : '0';
    return out;
  }
  void Open(const char* utf8) {  // a new name each time: opening the open file does not reload it
    const std::string name = "w" + std::to_string(++opened_) + ".qbl";
    Write(name, W(utf8));
    form_->OpenFile(Path(name));
  }
  int opened_ = 0;
};

TEST_F(MainWindowTest, TheEnablingRuleFollowsSelectionClipboardAndHistory) {
  const std::initializer_list<const char*> rows = {"ActPaste", "ActUndo", "ActCopy", "ActCut", "ActSelDelete"};
  form_->UpdateActions();
  EXPECT_EQ(Enabled(rows), "00000");
  TypeText("hello"), form_->UpdateActions();
  EXPECT_EQ(Enabled(rows), "01000");
  Memo().Range->SelectAll();
  emit QAbstractEventDispatcher::instance()->aboutToBlock();
  EXPECT_EQ(Enabled(rows), "01111");
  for (QAction* view : form_->Action("ActCopy")->Views()) EXPECT_TRUE(view->isEnabled());
  std::string seen;
  for (const char* name : {"ActCopy", "ActSelDelete", "ActPaste", "ActSelStart", "ActCut", "ActUndo"}) {
    form_->UpdateActions(), form_->Action(name)->Execute();
    seen += std::string(Lines().Get(0)) + "|";
  }
  EXPECT_EQ(seen, "hello||hello|hello||hello|");
  EXPECT_EQ(clipboard_.GetText(), "hello");
}

TEST_F(MainWindowTest, RecentSubmenuListsOpenedFilesNewestFirstAndReopens) {
  for (const char* n : {"A.qbl", "B.qbl", "C.qbl"}) Write(n, std::string(n) + "\n");
  for (const char* n : {"A.qbl", "B.qbl", "C.qbl", "B.qbl"}) form_->OpenFile(Path(n));
  const std::vector<QAction*>& entries = form_->RecentEntries;
  ASSERT_EQ(entries.size(), 5u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(entries[i]->text().toStdString(), Path(std::string(1, "BCA"[i]) + ".qbl"));
  EXPECT_TRUE(entries[2]->isVisible() && !entries[3]->isVisible());
  entries[2]->trigger();
  EXPECT_EQ(Lines().FileName(), Path("A.qbl"));
}

TEST_F(MainWindowTest, WordsAreClassifiedAndWordInfoShowsTheToken) {
  Open("если Если число чтото\n");
  const std::vector<TSxSyntaxToken> tokens = Lines().TokenList(0).Tokens();
  std::vector<int> kinds;
  for (const TSxSyntaxToken& t : tokens) kinds.push_back(t.Kind);
  EXPECT_EQ(kinds, (std::vector<int>{tokKeyWord, tokErroneous, tokType, tokText}));
  Open("x\n  процедура Старт\n");
  form_->SxSyntaxMemo1WordInfo(30, 40, 1, 1, true);
  EXPECT_EQ(std::pair(form_->Memo2->isHidden(), form_->Memo2->pos()), std::pair(false, QPoint(30, 40)));
  EXPECT_EQ(form_->Memo2->toPlainText().toStdString(), "Старт\nStart at 12\nLength is 5\nToken is #28");
  form_->SxSyntaxMemo1WordInfo(0, 0, 0, 0, false);
  EXPECT_TRUE(form_->Memo2->isHidden());
  form_->SxSyntaxMemo1WordInfo(0, 0, 7, 1, true), form_->SxSyntaxMemo1WordInfo(0, 0, 0, 99, true);
  EXPECT_TRUE(form_->Memo2->isHidden()) << "no token there: nothing shown";
}

TEST_F(MainWindowTest, OutlineTreeShowsSectionsAndDoubleClickGoesToTheLine) {
  Open("игра\n{\n}\nx\nпроцедура Б {\n  a\n}\n");
  QTreeWidget* tree = form_->TreeView1;
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem* top = tree->topLevelItem(0);
  ASSERT_EQ(top->childCount(), 2);
  QTreeWidgetItem* proc = top->child(1);
  EXPECT_EQ(proc->text(0) + "@" + proc->data(0, Qt::UserRole).toString(), "процедура Б {@4");
  EXPECT_EQ(tree->currentItem(), top->child(0)) << "the section starting on SelectedLine 0";
  tree->setCurrentItem(proc), form_->TreeView1DblClick();
  EXPECT_EQ(form_->SelectedLine, 4);
  EXPECT_EQ(Memo().Range->CaretPos, (TTextPos{0, 4}));
  form_->Action("ActParsing")->Execute();
  EXPECT_EQ(tree->currentItem()->data(0, Qt::UserRole), 4) << "the refill selects the section on SelectedLine";
  Memo().Range->SelectAll(), Memo().Range->DeleteSelection();
  form_->SelectedLine = 0, form_->TreeView1DblClick();
  EXPECT_EQ(form_->SelectedLine, 4);
  EXPECT_EQ(Memo().Range->CaretPos.Y, 0);
  tree->clearSelection(), tree->setCurrentItem(nullptr);
  form_->SelectedLine = 7, form_->TreeView1DblClick();
  EXPECT_EQ(form_->SelectedLine, 7);
}

TEST_F(MainWindowTest, AboutWindowExistsHiddenAndItsLinkFailureIsShown) {
  TForm2* about = form_->Form2;
  EXPECT_FALSE(about->isVisible() || about->Image1->pixmap().isNull());
  QString opened, shown;
  bool opens = false;
  about->OpenUrl = [&](const QString& url) { return opened = url, opens; };
  about->ShowMessage = [&](const QString& text) { shown += text; };
  about->Label8Click();
  EXPECT_EQ(opened, about->Label8->text());
  opens = true, about->Label8Click();
  EXPECT_EQ(shown, "Ошибка перехода по ссылке");
}

// Regression: the toolkit offered its own menu with an "ActionToolBar1" item that hid the tool bar.
TEST_F(MainWindowTest, BarsOpenNoToolkitMenu) {
  form_->show();
  for (QWidget* bar : {static_cast<QWidget*>(form_->ActionToolBar1), static_cast<QWidget*>(form_->menuBar())}) {
    const QPoint at(bar->width() - 2, bar->height() / 2);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, bar->mapToGlobal(at));
    QApplication::sendEvent(bar, &click);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << bar->objectName().toStdString();
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  }
}

// Regression: the menu bar's height and the About texts followed the font; wider letters stand in for wider fonts.
TEST_F(MainWindowTest, MenuBarIs24HighAndAboutTextsFitWhateverTheFontWidth) {
  form_->show();
  EXPECT_EQ(form_->menuBar()->height(), 24);
  TForm2* about = form_->Form2;
  about->show();
  const std::vector<std::vector<QLabel*>> pages = {
      {about->Label3, about->Label1, about->Label2, about->Label6},
      {about->Label4, about->Label9, about->Label5, about->Label7, about->Label8}};
  for (const auto& texts : pages) {
    for (QLabel* l : texts) {
      QFont f = l->font();
      f.setLetterSpacing(QFont::PercentageSpacing, 170);
      l->setFont(f);
    }
    for (QLabel* l : texts) {
      SCOPED_TRACE(l->text().toStdString());
      const QRect need = QFontMetrics(l->font()).boundingRect(QRect(0, 0, l->width(), 1 << 20),
                                                              Qt::TextWordWrap, l->text());
      EXPECT_TRUE(need.width() <= l->width() && need.height() <= l->height()) << "clipped";
      EXPECT_TRUE(l->parentWidget()->rect().contains(l->geometry()));
      for (QLabel* other : texts) EXPECT_TRUE(other == l || !l->geometry().intersects(other->geometry()));
    }
  }
  EXPECT_FALSE(about->Label7->geometry().adjusted(0, 0, 4, 0).intersects(about->Label8->geometry()))
      << "the caption touches the link";
}

TEST(QtNameFiltersTest, PatternsReplaceTheDescriptionsParentheses) {
  EXPECT_EQ(QtNameFilters("Файлы QEB (*.qeb)|*.qeb;*.qbl|Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*"),
            (QStringList{"Файлы QEB (*.qeb *.qbl)", "Текстовые файлы (*.txt)", "Все файлы (*.*)"}));
  EXPECT_EQ(QtNameFilters("Plain|*.a"), QStringList{"Plain (*.a)"});
  EXPECT_TRUE(QtNameFilters("dangling").isEmpty());
}

}  // namespace
