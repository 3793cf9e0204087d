/** @file QtClipboard.cpp
 ** Conversion between the document's cp1251 text and the system clipboard. Without an
 ** application object there is no system clipboard: it then reads as empty and ignores
 ** writes. */
#include "QtClipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <memory>

#include "../base/Cp1251.h"

namespace {

QClipboard* System() {
  return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr;
}

const QMimeData* Current() {
  QClipboard* c = System();
  return c ? c->mimeData() : nullptr;
}

QString ToUnicodeCrLf(std::string_view cp1251) {
  std::u32string text;
  text.reserve(cp1251.size());
  for (std::size_t i = 0; i < cp1251.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(cp1251[i]);
    if (c == '\r' || c == '\n') {
      text += U"\r\n";
      if (c == '\r' && i + 1 < cp1251.size() && cp1251[i + 1] == '\n') ++i;
    } else {
      text += cp1251::ToUnicode(c);
    }
  }
  return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

const QString& SectionsClipboardMimeType() {
  static const QString type = QStringLiteral("application/x-kestrin-syntax-memo-sections");
  return type;
}

bool TSxQtClipboard::HasText() const {
  const QMimeData* data = Current();
  return data && data->hasText();
}

std::string TSxQtClipboard::GetText() const {
  const QMimeData* data = Current();
  if (!data || !data->hasText()) return {};
  const QList<uint> ucs4 = data->text().toUcs4();
  std::u32string text(ucs4.begin(), ucs4.end());
  return cp1251::Encode(text);
}

void TSxQtClipboard::SetText(std::string_view cp1251) {
  QClipboard* c = System();
  if (!c) return;
  auto data = std::make_unique<QMimeData>();
  data->setText(ToUnicodeCrLf(cp1251));
  c->setMimeData(data.release());
}

bool TSxQtClipboard::HasSections() const {
  const QMimeData* data = Current();
  return data && data->hasFormat(SectionsClipboardMimeType());
}

std::string TSxQtClipboard::GetSectionsBlock() const {
  const QMimeData* data = Current();
  if (!data) return {};
  const QByteArray bytes = data->data(SectionsClipboardMimeType());
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void TSxQtClipboard::AddSectionsBlock(std::string_view block) {
  QClipboard* c = System();
  if (!c) return;
  auto data = std::make_unique<QMimeData>();
  if (const QMimeData* old = c->mimeData()) {
    for (const QString& format : old->formats()) data->setData(format, old->data(format));
  }
  data->setData(SectionsClipboardMimeType(),
                QByteArray(block.data(), static_cast<qsizetype>(block.size())));
  c->setMimeData(data.release());
}

void InstallQtClipboard() {
  static TSxQtClipboard clipboard;
  SetProcessClipboard(&clipboard);
}
