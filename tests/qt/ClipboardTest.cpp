/** @file ClipboardTest.cpp
 ** The Qt clipboard binding: Cyrillic through plain text, line ends, the private
 ** section format beside the text, and blocks of any shape read safely. */
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "QtApp.h"
#include "base/Cp1251.h"
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

TEST_F(ClipboardTest, PlainTextIsUnicodeWithCrLfAndReadsBackAsCp1251) {
  EXPECT_FALSE(clip.HasText() || clip.HasSections());
  EXPECT_EQ(clip.GetText() + clip.GetSectionsBlock(), "");
  const std::string text = cp1251::FromUtf8("Привет, Ёлка №1\r\nb\nc\rd");
  clip.SetText(text);
  EXPECT_EQ(System().text(), QString::fromUtf8("Привет, Ёлка №1\r\nb\r\nc\r\nd"));
  EXPECT_EQ(clip.GetText(), cp1251::FromUtf8("Привет, Ёлка №1\r\nb\r\nc\r\nd"));
  Offer(QString::fromUtf8("日本 ok щ"), nullptr);
  EXPECT_EQ(clip.GetText(), "?? ok " + cp1251::FromUtf8("щ")) << "unrepresentable characters";
}

TEST_F(ClipboardTest, SectionsBlockStandsBesideThePlainTextUntilNewText) {
  const std::string plain = cp1251::FromUtf8("один\r\nдва");
  const std::string block = cp1251::FromUtf8("{<+}один\r\n{>>}два") + std::string(1, '\0');
  clip.SetText(plain);
  clip.AddSectionsBlock(block);
  EXPECT_EQ(clip.GetText(), plain);
  ASSERT_TRUE(clip.HasSections());
  EXPECT_EQ(clip.GetSectionsBlock(), block);
  const QMimeData* data = System().mimeData();
  EXPECT_TRUE(data->hasFormat(QStringLiteral("text/plain")));
  EXPECT_EQ(data->data(QStringLiteral("application/x-kestrin-syntax-memo-sections")).size(),
            static_cast<qsizetype>(block.size()))
      << "cp1251 bytes, not UTF-8";
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
