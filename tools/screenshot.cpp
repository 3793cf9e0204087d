// Renders the editor control headless on a source file and a syntax definition into a PNG.
// Usage: qeb_screenshot <source> <syntax definition> <output.png>
#include <QApplication>
#include <QPixmap>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "qt/QtPlatform.h"
#include "qt/SyntaxMemoWidget.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <source> <syntax definition> <output.png>\n", argv[0]);
    return 2;
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  InstallQtPlatform();

  QWidget window;
  window.resize(760, 520);
  auto* widget = new TSxSyntaxMemoWidget(&window);
  widget->setGeometry(0, 0, 760, 520);
  TSxSyntaxMemo& memo = widget->Memo();
  memo.SetFont("Lucida Console", -13);
  memo.SetColorByIndex(0, SystemColor(5));
  window.show();
  try {
    memo.SyntaxAttributes->LoadSyntax(argv[2]);
    memo.Lines->LoadFromFile(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  // Show what a session looks like: a fold, a breakpoint, a bookmark and a selection.
  const int count = memo.Lines->Count();
  for (int i = 0; i + 1 < count; ++i) {
    const std::string_view line = memo.Lines->Get(i + 1);
    if (line.size() && line[0] == '{') {
      int close = i + 2;
      while (close < count && memo.Lines->Get(close).substr(0, 1) != "}") ++close;
      if (close < count && memo.SectionTree->SectionOf(i)->Level == 0) memo.SectionTree->AddSection(i, close, false);
    }
  }
  if (count > 12) {
    memo.BreakPoints->SetBreakPoint(7, bpsEnabled);
    memo.Bookmarks->SetBookmark(1, 9);
    memo.Range->SetCaretPos(TTextPos{4, 11});
    memo.Range->ExtendSelection(1, true, false);
    memo.Range->ExtendSelection(6, false, false);
  }
  memo.InvalidateAll();
  if (!widget->grab().save(QString::fromLocal8Bit(argv[3]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
