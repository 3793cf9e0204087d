// The search bar and go-to-line through the real main window.
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "FormFixture.h"
#include "SearchBar.h"

namespace {

class SearchBarTest : public FormFixture {
 protected:
  void SetUp() override { FormFixture::SetUp(), Start(), bar_ = form_->SearchBar1; }
  void Open(const ::Lines& utf8) { Write("t.qbl", W(Joined(utf8))), form_->OpenFile(Path("t.qbl")); }
  std::pair<TTextPos, TTextPos> Selection() { return {Memo().Range->StartPos, Memo().Range->EndPos}; }
  static std::pair<TTextPos, TTextPos> On(int line, int col, int len) { return {{col, line}, {col + len, line}}; }
  void Find(const char* utf8) {
    bar_->FindEdit->setText(QString::fromUtf8(utf8));
    bar_->MatchCaseBox->setChecked(false);
  }
  QString Status() { return bar_->Status->text(); }
  void Type(QWidget* w, const QString& text) {
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }

  TSearchBar* bar_ = nullptr;
};

TEST_F(SearchBarTest, BarKeysStepThroughMatchesAndEscapeCloses) {
  Open({"один кот", "два Кот", "три кот"});
  Memo().Range->SetCaretPos({1, 0});
  form_->Action("ActFind")->Execute();
  ASSERT_FALSE(bar_->isHidden());
  EXPECT_EQ(bar_->FindEdit->text(), "один") << "seeded with the word at the caret";
  bar_->FindEdit->clear();
  Type(bar_->FindEdit, "кот");
  EXPECT_EQ(Selection(), On(0, 5, 3));
  QTest::keyClick(bar_->FindEdit, Qt::Key_Return);
  EXPECT_EQ(Selection(), On(1, 4, 3));
  QTest::keyClick(bar_->FindEdit, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(Selection(), On(0, 5, 3));
  QTest::keyClick(bar_->FindEdit, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(Selection(), On(2, 4, 3));
  EXPECT_TRUE(Status().contains("с конца")) << Status().toStdString();
  for (int i = 0; i < 1000 && Status().contains(QChar(0x2026)); ++i) QCoreApplication::processEvents();
  EXPECT_TRUE(Status().endsWith("Совпадений: 3")) << Status().toStdString();
  Type(bar_->FindEdit, "ы");
  EXPECT_TRUE(Status().startsWith("Не найдено")) << Status().toStdString();
  form_->show(), QApplication::setActiveWindow(form_.get()), bar_->FindEdit->setFocus();
  QTest::keyClick(bar_->FindEdit, Qt::Key_Escape);
  EXPECT_TRUE(bar_->isHidden());
  EXPECT_EQ(QApplication::focusWidget(), form_->SxSyntaxMemo1);
}

TEST_F(SearchBarTest, MatchInNestedFoldedSectionsIsOpenedAndSelected) {
  Open({"начало", "{<-}внешний", "{<-}внутренний", "  цель", "{>>}x", "{>>}y", "конец"});
  ASSERT_LT(Memo().VisibleIndexOf(3), 0);
  Find("ЦЕЛЬ"), form_->Action("ActFindNext")->Execute();
  EXPECT_EQ(Selection(), On(3, 2, 4));
  EXPECT_GE(Memo().VisibleIndexOf(3), 0);
}

TEST_F(SearchBarTest, ReplaceAllInTheSelectionOrTheText) {
  Open({"кот", "{<+}кот кот", "{>>}кот", "кот"});
  form_->Action("ActReplace")->Execute();
  Find("КОТ"), bar_->ReplaceEdit->setText("пёс");
  Memo().Range->SetCaretPos({4, 1}), Memo().Range->ExtendSelection(1, true, false);
  EXPECT_EQ(bar_->ReplaceAll(), 2) << "the second match of line 1 and the one of line 2";
  EXPECT_EQ(Lines().Text(), W("кот\r\nкот пёс\r\nпёс\r\nкот\r\n"));
  Memo().Range->ClearSelection();
  QTest::mouseClick(bar_->ReplaceAllButton, Qt::LeftButton);
  EXPECT_EQ(Lines().Text(), W("пёс\r\nпёс пёс\r\nпёс\r\nпёс\r\n"));
  EXPECT_EQ(Memo().SectionTree->Root()->Children.size(), 1u);
}

// Replace finds a match first, then replaces the selected one and moves on; a read-only
// document is searched but never replaced.
TEST_F(SearchBarTest, ReplaceReplacesTheSelectedMatchAndMovesOnUnlessReadOnly) {
  Open({"кот кот", "кот"});
  Find("кот"), bar_->ReplaceEdit->setText("пёс");
  bar_->ReplaceOne();
  EXPECT_EQ(Selection(), On(0, 0, 3));
  bar_->ReplaceOne();
  EXPECT_EQ(Lines().Get(0), W("пёс кот"));
  EXPECT_EQ(Selection(), On(0, 4, 3));
  Memo().SetOptions(Memo().Options() + TSxSynMemoOptions{smoReadOnly});
  EXPECT_EQ(bar_->ReplaceAll(), 0);
  EXPECT_TRUE(bar_->FindNext(true));
  bar_->ReplaceOne();
  EXPECT_EQ(Lines().Text(), W("пёс кот\r\nкот\r\n"));
  form_->UpdateActions(), bar_->UpdateState();
  EXPECT_FALSE(form_->Action("ActReplace")->Enabled() || bar_->ReplaceAllButton->isEnabled());
}

TEST_F(SearchBarTest, GoToLineAcceptsOnlyLinesOfTheDocument) {
  struct Case { const char* answer; int line; };
  for (const Case& c : {Case{"3", 2}, Case{" 7 ", 6}, Case{"1", 0}, Case{"0", -1}, Case{"8", -1}, Case{"-2", -1},
                        Case{"2a", -1}, Case{"", -1}, Case{"99999999999", -1}})
    EXPECT_EQ(ParseLineNumber(c.answer, 7), c.line) << '"' << c.answer << '"';
  Open({"a", "{<-}b", "c", "{>>}d", "e"});
  dialogs_->LineAnswer = "3";
  form_->Action("ActGotoLine")->Execute();
  EXPECT_EQ(Memo().Range->CaretPos, (TTextPos{0, 2}));
  EXPECT_GE(Memo().VisibleIndexOf(2), 0) << "the folded section holding the line is opened";
  dialogs_->LineAnswer = "6";
  form_->Action("ActGotoLine")->Execute();
  EXPECT_EQ(Memo().Range->CaretPos, (TTextPos{0, 2}));
  EXPECT_EQ(dialogs_->LineCounts, (std::vector<int>{5, 5}));
  EXPECT_EQ(dialogs_->Informed.size(), 1u);
}

}  // namespace
