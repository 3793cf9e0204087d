/** @file SearchBar.h
 ** The search bar docked below the editor: find as you type, next and previous match
 ** with wrap-around, replace and replace-all, and the count of matches gathered in idle
 ** time. Also the go-to-line command. */
#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <string_view>

#include "document/Search.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;
class TAppDialogs;
class TSxSyntaxMemo;
class TSxSyntaxMemoWidget;

class TSearchBar : public QWidget {
  Q_OBJECT

 public:
  TSearchBar(TSxSyntaxMemoWidget* editor, QWidget* parent);

  // Shows the bar with the find field filled from a one-line selection or the word at
  // the caret; withReplace puts the focus in the replace field when there is a pattern.
  void Open(bool withReplace);
  // Hides the bar and gives the focus back to the editor.
  void Close();
  // Selects the next (or previous) match; false when there is none.
  bool FindNext(bool forward);
  // Replaces the selected match and finds the next; finds one first when none is selected.
  void ReplaceOne();
  // Replaces every match in the text, or in the selection when it spans lines; one undo step.
  int ReplaceAll();
  // Enables replacing unless the document is read-only; restarts a count the text outran.
  void UpdateState();

  QLineEdit* FindEdit = nullptr;
  QLineEdit* ReplaceEdit = nullptr;
  QCheckBox* MatchCaseBox = nullptr;
  QCheckBox* WholeWordBox = nullptr;
  QPushButton* NextButton = nullptr;
  QPushButton* PrevButton = nullptr;
  QPushButton* ReplaceButton = nullptr;
  QPushButton* ReplaceAllButton = nullptr;
  QToolButton* CloseButton = nullptr;
  QLabel* Status = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TSxSyntaxMemo& Memo();
  TSxSearchPattern Pattern() const;
  bool ReadOnly();
  // The selection holds exactly one match of the pattern.
  bool SelectionIsMatch(const TSxSearchPattern& pattern);
  void ShowHit(const TSxSearchHit& hit, std::int32_t length);
  void SearchAsTyped();
  void PatternChanged();
  void CountSlice();
  void ShowStatus();

  TSxSyntaxMemoWidget* editor_;
  TSxMatchCounter counter_;
  QTimer* countTimer_;
  QString note_;  // "Не найдено", a wrap-around note or a replace count
};

// The line a go-to-line answer names, 0-based, when it is a whole number from 1 to
// lineCount (blanks around it allowed); -1 otherwise.
int ParseLineNumber(std::string_view answer, int lineCount);
// Asks for a line number and goes there, opening collapsed sections on the way; an
// answer that is not a line of the document is reported and nothing moves.
void GoToLineCommand(TSxSyntaxMemo& memo, TAppDialogs& dialogs);
