/** @file Dialogs.cpp
 ** The Qt dialogs behind TAppDialogs. */
#include "Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

QStringList QtNameFilters(const std::string& filter) {
  QStringList parts = QString::fromUtf8(filter).split(QLatin1Char('|'));
  QStringList result;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
    // Qt reads the patterns from the description's last parentheses: put the real ones there.
    int open = description.lastIndexOf(QLatin1Char('('));
    if (open >= 0 && description.endsWith(QLatin1Char(')'))) description = description.left(open).trimmed();
    result << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return result;
}

namespace {

bool RunFileDialog(QWidget* parent, bool save, const std::string& filter, int& filterIndex,
                   std::string& fileName) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QStringList filters = QtNameFilters(filter);
  dialog.setNameFilters(filters);
  if (filterIndex >= 1 && filterIndex <= filters.size()) dialog.selectNameFilter(filters[filterIndex - 1]);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  fileName = dialog.selectedFiles().first().toStdString();
  return true;
}

}  // namespace

bool TQtDialogs::OpenFileName(const std::string& filter, int& filterIndex, std::string& fileName) {
  return RunFileDialog(parent_, false, filter, filterIndex, fileName);
}

bool TQtDialogs::SaveFileName(const std::string& filter, int& filterIndex, std::string& fileName) {
  return RunFileDialog(parent_, true, filter, filterIndex, fileName);
}

bool TQtDialogs::ChooseFont(std::string& name, int& height) {
  QFont initial(QString::fromStdString(name));
  if (height < 0) initial.setPixelSize(-height);
  else if (height > 0) initial.setPointSize(height);
  bool ok = false;
  QFont chosen = QFontDialog::getFont(&ok, initial, parent_);
  if (!ok) return false;
  name = chosen.family().toStdString();
  if (chosen.pixelSize() > 0) {
    height = -chosen.pixelSize();
  } else {
    // Points to pixels at the screen's logical resolution.
    double dpi = parent_ ? parent_->logicalDpiY() : 96.0;
    height = -static_cast<int>(chosen.pointSizeF() * dpi / 72.0 + 0.5);
  }
  return true;
}

TQueryAnswer TQtDialogs::AskYesNoCancel(const std::string& text) {
  auto answer = QMessageBox::question(parent_, QApplication::applicationName(), QString::fromUtf8(text),
                                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  if (answer == QMessageBox::Yes) return TQueryAnswer::Yes;
  if (answer == QMessageBox::No) return TQueryAnswer::No;
  return TQueryAnswer::Cancel;
}

void TQtDialogs::Information(const std::string& text) {
  QMessageBox::information(parent_, QApplication::applicationName(), QString::fromUtf8(text));
}

void TQtDialogs::Error(const std::string& text) {
  QMessageBox::critical(parent_, QApplication::applicationName(), QString::fromUtf8(text));
}

bool TQtDialogs::AskLineNumber(int lineCount, std::string& answer) {
  bool ok = false;
  const QString text = QInputDialog::getText(parent_, QStringLiteral("Перейти к строке"),
                                             QStringLiteral("Номер строки (1–%1):").arg(lineCount),
                                             QLineEdit::Normal, QString(), &ok);
  if (ok) answer = text.toStdString();
  return ok;
}
