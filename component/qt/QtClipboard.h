/** @file QtClipboard.h
 ** The clipboard over QClipboard: plain text in Unicode with CR LF line ends, and the
 ** private section format as its own MIME type beside it. */
#pragma once

#include <QString>

#include <string>
#include <string_view>

#include "../platform/Clipboard.h"

// The MIME type that carries "Kestrin Syntax Memo Sections": the marker text as cp1251
// bytes followed by a NUL.
const QString& SectionsClipboardMimeType();

class TSxQtClipboard : public TSxClipboard {
 public:
  bool HasText() const override;
  // Unicode converted to cp1251; characters the code page lacks become '?'.
  std::string GetText() const override;
  // Replaces everything on the clipboard; every line end becomes CR LF.
  void SetText(std::string_view cp1251) override;
  bool HasSections() const override;
  // The block's bytes as stored, whatever their size and with or without a NUL.
  std::string GetSectionsBlock() const override;
  // Adds the block to what the clipboard holds, so the plain text stays beside it.
  void AddSectionsBlock(std::string_view block) override;
};

// Makes a process-wide TSxQtClipboard the component's clipboard (SetProcessClipboard).
// Call once at start, after the application object exists.
void InstallQtClipboard();
