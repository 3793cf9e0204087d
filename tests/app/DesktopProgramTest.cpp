// @file The program's ties to the desktop: its menu entry, the gutter glyphs, the system clipboard.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>

#include "DesktopProgram.h"
#include "document/Bookmarks.h"
#include "platform/Clipboard.h"
#include "TestText.h"

namespace {

// The other suites of this run draw without glyphs and copy to a memory clipboard.
struct RestoreTheProcessDefaults {
  RestoreTheProcessDefaults() { Restore(); }
  ~RestoreTheProcessDefaults() { Restore(); }
  static void Restore() { SetBitmapLoader({}), SetProcessClipboard(nullptr), QGuiApplication::setDesktopFileName({}); }
};

TEST(DesktopProgramTest, SetUpNamesTheInstalledEntryLoadsGlyphsAndUsesTheSystemClipboard) {
  RestoreTheProcessDefaults restore;
  EXPECT_EQ(LoadBitmapResource("BOOKMARKS")->Width(), 0);
  SetUpDesktopProgram();
  EXPECT_EQ(QGuiApplication::desktopFileName(), DesktopEntryName());
  QFile entry(QStringLiteral(SX_SOURCE_DIR "/packaging/") + DesktopEntryName() + QStringLiteral(".desktop.in"));
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly)) << "no menu entry named after the program";
  EXPECT_TRUE(QString::fromUtf8(entry.readAll()).contains("\nIcon=" + DesktopEntryName() + '\n'));
  for (const char* glyphs : {"BOOKMARKS", "BREAKPOINTS", "BREAKPOINTSMASK"}) EXPECT_GT(LoadBitmapResource(glyphs)->Width(), 0);
  ProcessClipboard().SetText(W("Привет\r\nмир"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("Привет\r\nмир"));
  QGuiApplication::clipboard()->setText(QString::fromUtf8("Ёж"));
  EXPECT_EQ(ProcessClipboard().GetText(), W("Ёж"));
}

}  // namespace
