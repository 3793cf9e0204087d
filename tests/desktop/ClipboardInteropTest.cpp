/** @file ClipboardInteropTest.cpp
 ** The X clipboard between real processes: the editor and xclip in both directions, and
 ** two editors passing a collapsed section through the private format. Runs on the X
 ** server that run-with-display.sh starts. */
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "base/Cp1251.h"

namespace {

constexpr int kTimeoutMs = 20000;

std::string Cp(const char* utf8) { return cp1251::FromUtf8(utf8); }

class ClipboardInteropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "needs an X display";
  }
  void TearDown() override {
    // The copier ends when its input closes; xclip serves until it is stopped.
    if (copier && copier->state() != QProcess::NotRunning) {
      copier->closeWriteChannel();
      EXPECT_TRUE(copier->waitForFinished(kTimeoutMs)) << "the copier did not end";
    }
    if (xclipOwner && xclipOwner->state() != QProcess::NotRunning) {
      xclipOwner->terminate();
      xclipOwner->waitForFinished(kTimeoutMs);
    }
  }

  // A document file of cp1251 bytes, lines ended by CR LF.
  QString WriteDocument(const char* name, const std::string& cp1251Text) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(cp1251Text.data(), static_cast<qint64>(cp1251Text.size()));
    return path;
  }

  // Starts an editor that copies (col1, line1)..(col2, line2) of the file and keeps
  // serving the clipboard until the test ends.
  void StartCopier(const QString& file, int line1, int col1, int line2, int col2) {
    copier = std::make_unique<QProcess>();
    copier->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    copier->start(QStringLiteral(QEB_CLIPBOARD_PEER),
                  {QStringLiteral("copy"), file, QString::number(line1), QString::number(col1),
                   QString::number(line2), QString::number(col2)});
    ASSERT_TRUE(copier->waitForStarted(kTimeoutMs));
    while (!copier->canReadLine()) ASSERT_TRUE(copier->waitForReadyRead(kTimeoutMs)) << "copier gave no sign";
    ASSERT_EQ(copier->readLine().trimmed(), QByteArray("copied"));
  }

  // Runs an editor that pastes at (col, line) of the file; its printed lines and sections.
  std::string Paste(const QString& file, int line, int col) {
    QProcess paster;
    paster.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    paster.start(QStringLiteral(QEB_CLIPBOARD_PEER),
                 {QStringLiteral("paste"), file, QString::number(line), QString::number(col)});
    EXPECT_TRUE(paster.waitForFinished(kTimeoutMs));
    EXPECT_EQ(paster.exitCode(), 0);
    const QByteArray out = paster.readAllStandardOutput();
    return std::string(out.constData(), static_cast<std::size_t>(out.size()));
  }

  // Output of xclip reading the clipboard (one target, or the text).
  static QByteArray ReadWithXclip(const QString& target = QString()) {
    QProcess xclip;
    QStringList args{QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")};
    if (!target.isEmpty()) args << QStringLiteral("-t") << target;
    xclip.start(QStringLiteral("xclip"), args);
    EXPECT_TRUE(xclip.waitForFinished(kTimeoutMs));
    return xclip.readAllStandardOutput();
  }

  // xclip takes the clipboard with the given UTF-8 text and serves it until the test ends.
  void OfferWithXclip(const QByteArray& utf8) {
    xclipOwner = std::make_unique<QProcess>();
    xclipOwner->setProcessChannelMode(QProcess::MergedChannels);
    xclipOwner->start(QStringLiteral("xclip"), {QStringLiteral("-i"), QStringLiteral("-selection"),
                                                QStringLiteral("clipboard"), QStringLiteral("-verbose")});
    ASSERT_TRUE(xclipOwner->waitForStarted(kTimeoutMs));
    xclipOwner->write(utf8);
    xclipOwner->closeWriteChannel();
    // xclip says so once it owns the selection.
    QByteArray said;
    while (!said.contains("Waiting for selection requests")) {
      ASSERT_TRUE(xclipOwner->waitForReadyRead(kTimeoutMs)) << said.constData();
      said += xclipOwner->readAll();
    }
  }

  QTemporaryDir dir;
  std::unique_ptr<QProcess> copier;
  std::unique_ptr<QProcess> xclipOwner;
};

TEST_F(ClipboardInteropTest, CopiedCyrillicReachesOtherClientsAsUtf8) {
  const QString file = WriteDocument("a.qeb", Cp("Привет, мир! Ёлка №1\r\nвторая строка\r\n"));
  StartCopier(file, 0, 8, 0, 20);
  EXPECT_EQ(ReadWithXclip(), QByteArray("мир! Ёлка №1"));
  // One line travels as plain text only.
  EXPECT_FALSE(ReadWithXclip(QStringLiteral("TARGETS")).contains("x-kestrin-syntax-memo-sections"));
}

TEST_F(ClipboardInteropTest, MultiLineCopyOffersCrLfTextAndTheSectionFormat) {
  const QString file = WriteDocument("b.qeb", Cp("Привет, мир\r\nвторая строка\r\nтретья\r\n"));
  StartCopier(file, 0, 8, 1, 6);
  EXPECT_EQ(ReadWithXclip(), QByteArray("мир\r\nвторая"));
  EXPECT_TRUE(ReadWithXclip(QStringLiteral("TARGETS")).contains("application/x-kestrin-syntax-memo-sections"));
}

TEST_F(ClipboardInteropTest, TextOfferedByAnotherClientIsPastedAsCp1251) {
  OfferWithXclip(QByteArray("Ёжик в тумане — №7\nстрока 2 日"));
  const QString file = WriteDocument("c.qeb", "");
  EXPECT_EQ(Paste(file, 0, 0),
            "line: " + Cp("Ёжик в тумане — №7") + "\nline: " + Cp("строка 2 ") + "?\nsections: \n");
}

TEST_F(ClipboardInteropTest, PasteIntoALineKeepsItsTail) {
  OfferWithXclip(QByteArray("слово "));
  const QString file = WriteDocument("d.qeb", Cp("одно\r\n"));
  EXPECT_EQ(Paste(file, 0, 0), "line: " + Cp("слово одно") + "\nsections: \n");
}

TEST_F(ClipboardInteropTest, CollapsedSectionCrossesToAnotherEditor) {
  // Lines 1..3 form a collapsed section; lines 1..3 are copied whole.
  const QString source = WriteDocument(
      "e.qeb", Cp("начало\r\n{<-}секция {\r\n  тело\r\n{>>}}\r\nконец\r\n"));
  StartCopier(source, 1, 0, 4, 0);
  // Other programs see the text without markers.
  EXPECT_EQ(ReadWithXclip(), QByteArray("секция {\r\n  тело\r\n}\r\n"));
  const QString target = WriteDocument("f.qeb", Cp("один\r\nдва\r\n"));
  EXPECT_EQ(Paste(target, 1, 0), "line: " + Cp("один") + "\nline: " + Cp("секция {") + "\nline: " +
                                      Cp("  тело") + "\nline: }\nline: " + Cp("два") +
                                      "\nsections: [1..3 c]\n");
}

TEST_F(ClipboardInteropTest, NestedSectionsArriveWithTheirStates) {
  const QString source = WriteDocument(
      "g.qeb", Cp("{<+}внешняя\r\n{<-}внутренняя\r\nа\r\n{>>}б\r\n{>>}конец\r\n"));
  StartCopier(source, 0, 0, 4, 5);
  const QString target = WriteDocument("h.qeb", "\r\n");
  const std::string pasted = Paste(target, 0, 0);
  EXPECT_NE(pasted.find("sections: [0..4 [1..3 c]]\n"), std::string::npos) << pasted;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
