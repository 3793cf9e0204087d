/** @file DesktopProgram.cpp
 ** The program's desktop identity and the component's Qt services, set once at start. */
#include "DesktopProgram.h"

#include <QApplication>
#include <QIcon>

#include "qt/QtPlatform.h"

void SetUpDesktopProgram() {
  // Task bars and Wayland compositors find the entry's name, icon and actions by this.
  QGuiApplication::setDesktopFileName(DesktopEntryName());
  // From the icon theme, where the package puts it; absent when run from the build tree.
  QApplication::setWindowIcon(QIcon::fromTheme(DesktopEntryName()));
  // Without these the gutter has no bookmark or breakpoint glyphs and copies stay inside
  // the process.
  InstallQtPlatform();
}
