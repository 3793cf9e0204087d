/** @file Dialogs.h
 ** The dialogs and message boxes the main window asks through: file open and save,
 ** font, the Yes/No/Cancel question, information and error boxes. The Qt implementation
 ** shows real dialogs; tests answer from a script. */
#pragma once

#include <QStringList>
#include <string>

class QWidget;

enum class TQueryAnswer { Yes, No, Cancel };

class TAppDialogs {
 public:
  virtual ~TAppDialogs() = default;
  // Filters are written "Description|pattern;pattern|Description|pattern..." and
  // filterIndex is 1-based: in, the filter to preselect; out, the one in force when the
  // dialog closed. False when cancelled. File names are the system's (UTF-8) paths.
  virtual bool OpenFileName(const std::string& filter, int& filterIndex, std::string& fileName) = 0;
  // Asks before overwriting an existing file.
  virtual bool SaveFileName(const std::string& filter, int& filterIndex, std::string& fileName) = 0;
  // The font by face name and height written negative (-13: 13-pixel characters).
  virtual bool ChooseFont(std::string& name, int& height) = 0;
  virtual TQueryAnswer AskYesNoCancel(const std::string& text) = 0;
  virtual void Information(const std::string& text) = 0;
  // The standard error box of a command that failed.
  virtual void Error(const std::string& text) = 0;
  // Asks for a line number (1 to lineCount) and gives the text typed, unchecked.
  // False when cancelled; an implementation that does not ask answers so.
  virtual bool AskLineNumber(int /*lineCount*/, std::string& /*answer*/) { return false; }
};

// Real dialogs, modal to parent.
class TQtDialogs : public TAppDialogs {
 public:
  explicit TQtDialogs(QWidget* parent) : parent_(parent) {}
  bool OpenFileName(const std::string& filter, int& filterIndex, std::string& fileName) override;
  bool SaveFileName(const std::string& filter, int& filterIndex, std::string& fileName) override;
  bool ChooseFont(std::string& name, int& height) override;
  TQueryAnswer AskYesNoCancel(const std::string& text) override;
  void Information(const std::string& text) override;
  void Error(const std::string& text) override;
  bool AskLineNumber(int lineCount, std::string& answer) override;

 private:
  QWidget* parent_;
};

// "Description (*.a)|*.a;*.b|..." as Qt name filters: "Description (*.a *.b)", one per pair.
QStringList QtNameFilters(const std::string& filter);
