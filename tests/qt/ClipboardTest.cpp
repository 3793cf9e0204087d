/** @file ClipboardTest.cpp
 ** The Qt clipboard binding: line ends, the private section format beside the text, and
 ** blocks of any shape read safely. */
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "qt/QtClipboard.h"

// Cyrillic both ways, '?' and the section format between programs are the desktop clipboard suite's.
TEST(ClipboardTest, LineEndsBecomeCrLfNewTextDropsTheSectionsBlockAndBlocksAreReadWithinTheirSize) {
  QGuiApplication::clipboard()->clear();
  TSxQtClipboard clip;
  EXPECT_FALSE(clip.HasText() || clip.HasSections());
  clip.SetText("a\nb\rc");
  clip.AddSectionsBlock(std::string("{<+}a\r\n{>>}b") + '\0');
  EXPECT_EQ(std::pair(clip.GetText(), clip.HasSections()), std::pair(std::string("a\r\nb\r\nc"), true));
  clip.SetText("y");
  EXPECT_FALSE(clip.HasSections());
  // Another program's block need not end in a NUL, or may be empty.
  for (const QByteArray& bytes : {QByteArray("{<+}abc\r\n{>>}d", 14), QByteArray()}) {
    auto* data = new QMimeData;
    data->setData(SectionsClipboardMimeType(), bytes);
    QGuiApplication::clipboard()->setMimeData(data);
    EXPECT_EQ(std::pair(clip.HasText(), clip.HasSections()), std::pair(false, true));
    EXPECT_EQ(clip.GetSectionsBlock(), bytes.toStdString());
  }
}
