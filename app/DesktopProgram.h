/** @file DesktopProgram.h
 ** What ties the running program to the desktop: its menu entry's name, its icon, and
 ** the platform services of the editor component (glyph resources, system clipboard). */
#pragma once

#include <QString>

// The base name of the installed menu entry, qeb-editor.desktop.
inline const QString& DesktopEntryName() {
  static const QString name = QStringLiteral("qeb-editor");
  return name;
}

// Call once after the QApplication exists and before the main window is made.
void SetUpDesktopProgram();
