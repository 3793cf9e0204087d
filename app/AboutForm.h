/** @file AboutForm.h
 ** TForm2, the About window: two pages about the editor and the QEB platform, and a link
 ** to the program's site. Created hidden at start-up and shown modally on demand. */
#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

// A text of a page at its design position; the link stands beside the text before it.
struct TPlacedText {
  QLabel* label;
  QPoint at;
  bool besidePrevious = false;
};

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  // Opens the link label's own text in the system's handler; a failure shows a message box.
  void Label8Click();
  // The shell call behind Label8Click (true on success); tests replace it.
  std::function<bool(const QString& url)> OpenUrl;
  // Shows the link failure; tests replace it.
  std::function<void(const QString& text)> ShowMessage;

  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Image2 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label9 = nullptr;
  QPushButton* Button1 = nullptr;

 protected:
  // Lays the page's texts out again when the page's size or a text's font changes.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<std::pair<QWidget*, std::vector<TPlacedText>>> pages_;
};
