// The QEB editor: the application object, the main window and the message loop.
#include <QApplication>

#include "Unit1.h"
#include "platform/qt/QtClipboard.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  InstallQtClipboard();
  TForm1 form;
  form.show();
  return app.exec();
}
