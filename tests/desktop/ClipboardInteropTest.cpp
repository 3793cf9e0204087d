// @file The X clipboard between real processes: editor and xclip both ways, and a collapsed
// section between two editors. Runs on run-with-display.sh's X server.
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
const char* const kSectionFormat = "application/x-kestrin-syntax-memo-sections";

std::string Cp(const char* utf8) { return cp1251::FromUtf8(utf8); }

std::string Report(std::initializer_list<const char*> utf8Lines, const char* sections) {
  std::string out;
  for (const char* l : utf8Lines) out += "line: " + Cp(l) + "\n";
  return out + "sections: " + sections + "\n";
}

class ClipboardInteropTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "needs an X display"; }
  // The clipboard's owner serves it until then: the peer until its input closes, xclip until stopped.
  void TearDown() override { StopOwner(); }
  void StopOwner() {
    if (!owner || owner->state() == QProcess::NotRunning) return;
    owner->closeWriteChannel();
    if (owner->program() == "xclip") owner->terminate();
    EXPECT_TRUE(owner->waitForFinished(kTimeoutMs)) << "the clipboard's owner did not end";
  }

  QString Document(const std::string& cp1251Text) {
    QFile f(dir.filePath(QString::number(++files) + ".qeb"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(cp1251Text.data(), static_cast<qint64>(cp1251Text.size()));
    return f.fileName();
  }

  void Own(const QString& program, const QStringList& args, const QByteArray& input, const char* sign) {
    StopOwner();
    owner = std::make_unique<QProcess>();
    owner->setProcessChannelMode(QProcess::MergedChannels);
    owner->start(program, args);
    ASSERT_TRUE(owner->waitForStarted(kTimeoutMs));
    if (!input.isNull()) owner->write(input), owner->closeWriteChannel();
    QByteArray said;
    while (!said.contains(sign)) {
      ASSERT_TRUE(owner->waitForReadyRead(kTimeoutMs)) << said.constData();
      said += owner->readAll();
    }
  }
  void Copy(const std::string& doc, int line1, int col1, int line2, int col2) {
    QStringList args{"copy", Document(doc)};
    for (int n : {line1, col1, line2, col2}) args << QString::number(n);
    Own(QEB_CLIPBOARD_PEER, args, QByteArray(), "copied");
  }
  void Offer(const char* utf8) {
    Own("xclip", {"-i", "-selection", "clipboard", "-verbose"}, QByteArray(utf8), "Waiting for selection requests");
  }
  std::string Paste(const std::string& doc, int line, int col) {
    return Run(QEB_CLIPBOARD_PEER, {"paste", Document(doc), QString::number(line), QString::number(col)});
  }
  std::string Read(const char* target = nullptr) {
    const QStringList type = target ? QStringList{"-t", target} : QStringList{};
    return Run("xclip", QStringList{"-o", "-selection", "clipboard"} + type);
  }
  static std::string Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(kTimeoutMs) && p.exitCode() == 0) << program.toStdString();
    return p.readAllStandardOutput().toStdString();
  }

  QTemporaryDir dir;
  int files = 0;
  std::unique_ptr<QProcess> owner;
};

TEST_F(ClipboardInteropTest, CopiedCyrillicReachesOtherClientsAsUtf8) {
  Copy(Cp("Привет, мир! Ёлка №1\r\nвторая строка\r\n"), 0, 8, 0, 20);
  EXPECT_EQ(Read(), "мир! Ёлка №1");
  EXPECT_EQ(Read("TARGETS").find(kSectionFormat), std::string::npos);
  Copy(Cp("Привет, мир\r\nвторая строка\r\nтретья\r\n"), 0, 8, 1, 6);
  EXPECT_EQ(Read(), "мир\r\nвторая");
  EXPECT_NE(Read("TARGETS").find(kSectionFormat), std::string::npos);
}

TEST_F(ClipboardInteropTest, TextOfferedByAnotherClientIsPastedAsCp1251) {
  Offer("Ёжик в тумане — №7\nстрока 2 日");
  EXPECT_EQ(Paste("", 0, 0), Report({"Ёжик в тумане — №7", "строка 2 ?"}, ""));
  Offer("слово ");
  EXPECT_EQ(Paste(Cp("одно\r\n"), 0, 0), Report({"слово одно"}, ""));
}

TEST_F(ClipboardInteropTest, CollapsedSectionCrossesToAnotherEditor) {
  Copy(Cp("начало\r\n{<-}секция {\r\n  тело\r\n{>>}}\r\nконец\r\n"), 1, 0, 4, 0);
  EXPECT_EQ(Read(), "секция {\r\n  тело\r\n}\r\n");
  EXPECT_EQ(Paste(Cp("один\r\nдва\r\n"), 1, 0),
            Report({"один", "секция {", "  тело", "}", "два"}, "[1..3 c]"));
  Copy(Cp("{<+}внешняя\r\n{<-}внутренняя\r\nа\r\n{>>}б\r\n{>>}конец\r\n"), 0, 0, 4, 5);
  EXPECT_NE(Paste("\r\n", 0, 0).find("sections: [0..4 [1..3 c]]\n"), std::string::npos);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
