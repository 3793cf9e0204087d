/** @file DesktopProgramTest.cpp
 ** The program's start-up ties to the desktop: the menu entry it names is the one that
 ** is installed, the gutter glyphs load, copies reach the system clipboard. */
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>

#include "DesktopProgram.h"
#include "document/Bookmarks.h"
#include "platform/Clipboard.h"
#include "platform/Cp1251.h"

namespace {

class DesktopProgramTest : public ::testing::Test {
 protected:
  // The other suites of this run draw without glyphs and copy to a memory clipboard.
  void SetUp() override { Restore(); }
  void TearDown() override { Restore(); }
  static void Restore() {
    SetBitmapLoader({});
    SetProcessClipboard(nullptr);
    QGuiApplication::setDesktopFileName(QString());
  }
  static QString EntryTemplate() {
    QFile f(QStringLiteral(SX_SOURCE_DIR "/packaging/") + DesktopEntryName() + QStringLiteral(".desktop.in"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
};

TEST_F(DesktopProgramTest, NamesTheMenuEntryThatIsInstalled) {
  SetUpDesktopProgram();
  EXPECT_EQ(QGuiApplication::desktopFileName(), DesktopEntryName());
  const QString entry = EntryTemplate();
  ASSERT_FALSE(entry.isEmpty()) << "no menu entry named after the program";
  EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=") + DesktopEntryName() + QLatin1Char('\n')));
}

TEST_F(DesktopProgramTest, GutterGlyphsLoadFromTheResources) {
  EXPECT_EQ(LoadBitmapResource("BOOKMARKS")->Width(), 0);
  SetUpDesktopProgram();
  const auto bookmarks = LoadBitmapResource("BOOKMARKS");
  EXPECT_EQ(bookmarks->Width(), 110);
  EXPECT_EQ(bookmarks->Height(), 11);
  EXPECT_EQ(LoadBitmapResource("BREAKPOINTS")->Width(), 33);
  EXPECT_EQ(LoadBitmapResource("BREAKPOINTSMASK")->Width(), 33);
}

TEST_F(DesktopProgramTest, CopiesReachTheSystemClipboard) {
  SetUpDesktopProgram();
  ProcessClipboard().SetText(cp1251::FromUtf8("Привет\r\nмир"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("Привет\r\nмир"));
  QGuiApplication::clipboard()->setText(QString::fromUtf8("Ёж"));
  EXPECT_EQ(ProcessClipboard().GetText(), cp1251::FromUtf8("Ёж"));
}

}  // namespace
