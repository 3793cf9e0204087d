/** @file ClipboardTest.cpp
 ** The Qt clipboard binding: line ends, the private section format beside the text, and
 ** blocks of any shape read safely. */
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "QtApp.h"
#include "qt/QtClipboard.h"

namespace {

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { QGuiApplication::clipboard()->clear(); }
  static QClipboard& System() { return *QGuiApplication::clipboard(); }
  // Puts raw MIME data on the system clipboard, as another program would.
  static void Offer(const QString& text, const QByteArray* sections) {
    auto* data = new QMimeData;
    if (!text.isNull()) data->setText(text);
    if (sections) data->setData(SectionsClipboardMimeType(), *sections);
    System().setMimeData(data);
  }

  TSxQtClipboard clip;
};

// Cyrillic both ways, '?' and the section format between programs are the desktop clipboard suite's.
TEST_F(ClipboardTest, LineEndsBecomeCrLfAndNewTextDropsTheSectionsBlock) {
  EXPECT_FALSE(clip.HasText() || clip.HasSections());
  clip.SetText("a\nb\rc");
  clip.AddSectionsBlock(std::string("{<+}a\r\n{>>}b") + '\0');
  EXPECT_EQ(clip.GetText(), "a\r\nb\r\nc");
  EXPECT_TRUE(clip.HasSections());
  clip.SetText("y");
  EXPECT_FALSE(clip.HasSections());
}

// Another program's block need not end in a NUL, or may be empty.
TEST_F(ClipboardTest, BlockIsReadWithinItsSize) {
  const QByteArray bytes("{<+}abc\r\n{>>}d", 14);
  Offer(QString(), &bytes);
  EXPECT_FALSE(clip.HasText());
  EXPECT_EQ(clip.GetSectionsBlock(), std::string("{<+}abc\r\n{>>}d"));
  const QByteArray empty;
  Offer(QStringLiteral("t"), &empty);
  EXPECT_TRUE(clip.HasSections());
  EXPECT_EQ(clip.GetSectionsBlock(), "");
}

}  // namespace
