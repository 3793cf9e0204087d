// @file One editor control on a file and one scripted action, reported on stdout: copy (then serve
// the clipboard until stdin closes), paste (print the lines and sections) or geometry (scaled drawing).
#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "qt/QtPlatform.h"
#include "qt/SyntaxMemoWidget.h"

namespace {

std::string DumpSections(const TSxSynMemoSection* s) {
  std::string out;
  for (const auto& c : s->Children) {
    const std::string inner = DumpSections(c.get());
    out += std::string(out.empty() ? "" : " ") + "[" + std::to_string(c->FirstLine()) + ".." +
           std::to_string(c->LastLine()) + (c->Collapsed ? " c" : "") + (inner.empty() ? "" : " " + inner) + "]";
  }
  return out;
}

void Select(TSxSyntaxMemo& memo, int x1, int y1, int x2, int y2) {
  memo.Range->ClearSelection(), memo.Range->SetCaretPos({x1, y1}), memo.Range->ExtendSelection(y2 - y1, true, false);
  memo.Range->ExtendSelection(x2 - memo.Range->CaretPos.X, false, false);
}

int Geometry(TSxSyntaxMemoWidget& widget) {
  TSxSyntaxMemo& memo = widget.Memo();
  Select(memo, 0, 0, 4, 0);
  memo.Paint();
  const QImage& img = widget.BackingImage();
  const QRgb selection = ResolveColor(memo.SelColor, widget.palette()).rgb();
  QRect logical, device;
  for (int y = 0; y < widget.ClientHeight(); ++y)
    for (int x = 0; x < widget.ClientWidth(); ++x)
      if (widget.PixelAt(x, y) == memo.SelColor) logical |= QRect(x, y, 1, 1);
  int uneven = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = img.pixel(x, y);
      if (p == selection) device |= QRect(x, y, 1, 1);
      if (x % 2 == 0 && y % 2 == 0 && x + 1 < img.width() && y + 1 < img.height())
        uneven += img.pixel(x + 1, y) != p || img.pixel(x, y + 1) != p || img.pixel(x + 1, y + 1) != p;
    }
  std::printf("ratio: %g\nclient: %dx%d\nbacking: %dx%d\n", widget.DevicePixelRatio(), widget.ClientWidth(),
              widget.ClientHeight(), img.width(), img.height());
  for (const auto& [name, r] : {std::pair("logical", logical), std::pair("device", device)})
    std::printf("selection %s: %d %d %d %d\n", name, r.left(), r.top(), r.right() + 1, r.bottom() + 1);
  std::printf("uneven blocks: %d\n", uneven);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc >= 3 ? argv[1] : "";
  if (command.empty()) return std::fprintf(stderr, "usage: qeb_clipboard_peer copy|paste|geometry <file> [...]\n"), 2;
  auto arg = [&](int i) { return std::atoi(argv[i]); };
  QApplication app(argc, argv);
  InstallQtPlatform();
  // The control paints only inside a parent window.
  QWidget window;
  window.resize(400, 300);
  auto& widget = *new TSxSyntaxMemoWidget(&window);
  widget.setGeometry(0, 0, 400, 300);
  window.show();
  TSxSyntaxMemo& memo = widget.Memo();
  memo.Lines->LoadFromFile(argv[2]);

  if (command == "geometry") return Geometry(widget);
  if (command == "copy" && argc == 7) {
    Select(memo, arg(4), arg(3), arg(6), arg(5));
    memo.Range->CopyToClipboard();
    std::printf("copied\n"), std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
      char buffer[256];
      if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) QApplication::quit();
    });
    return app.exec();
  }
  if (command == "paste" && argc == 5) {
    memo.Range->ClearSelection(), memo.Range->SetCaretPos({arg(4), arg(3)}), memo.Range->PasteFromClipboard();
    for (int i = 0; i < memo.Lines->Count(); ++i) std::printf("line: %s\n", std::string(memo.Lines->Get(i)).c_str());
    std::printf("sections: %s\n", DumpSections(memo.SectionTree->Root()).c_str());
    return 0;
  }
  return 2;
}
