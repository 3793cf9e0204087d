// The QEB editor: the application object, the main window and the message loop.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include "DesktopProgram.h"
#include "Unit1.h"

namespace {

// Test-only: with QEB_EDITOR_SMOKE_TEST set, the program prints the start sequence's log,
// the window caption and the desktop entry's name once the window is up, and quits.
// Tests of the installed program use it; nothing else reads it.
void ReportStartAndQuit(const TForm1& form) {
  const QByteArray log = form.Memo1->toPlainText().toUtf8();
  const QByteArray title = form.windowTitle().toUtf8();
  const QByteArray entry = QGuiApplication::desktopFileName().toUtf8();
  std::fprintf(stdout, "%s\ncaption: %s\ndesktop entry: %s\n", log.constData(), title.constData(),
               entry.constData());
  std::fflush(stdout);
  QApplication::quit();
}

}  // namespace

int main(int argc, char** argv) {
  // A file size limit then fails the save with an error instead of killing the editor.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  SetUpDesktopProgram();
  TForm1 form;
  form.show();
  if (qEnvironmentVariableIsSet("QEB_EDITOR_SMOKE_TEST")) {
    QTimer::singleShot(0, &form, [&form] { ReportStartAndQuit(form); });
  }
  return app.exec();
}
