/** @file Clipboard.h
 ** The clipboard as the document sees it: plain text (cp1251, CR LF line ends) and
 ** the private section format "Kestrin Syntax Memo Sections", side by side. */
#pragma once

#include <string>
#include <string_view>

constexpr const char* SectionsClipboardFormatName = "Kestrin Syntax Memo Sections";

class TSxClipboard {
 public:
  virtual ~TSxClipboard() = default;
  virtual bool HasText() const = 0;
  virtual std::string GetText() const = 0;            // cp1251
  virtual void SetText(std::string_view cp1251) = 0;  // replaces everything on the clipboard
  virtual bool HasSections() const = 0;
  // The private format's block: marker text followed by a NUL. Readers bound it by its size.
  virtual std::string GetSectionsBlock() const = 0;
  virtual void AddSectionsBlock(std::string_view block) = 0;  // keeps the plain text beside it
};

// A clipboard in memory: tests, and editors without a display.
class TSxMemoryClipboard : public TSxClipboard {
 public:
  bool HasText() const override { return hasText_; }
  std::string GetText() const override { return text_; }
  void SetText(std::string_view t) override {
    text_ = t;
    hasText_ = true;
    sections_.clear();
    hasSections_ = false;
  }
  bool HasSections() const override { return hasSections_; }
  std::string GetSectionsBlock() const override { return sections_; }
  void AddSectionsBlock(std::string_view block) override {
    sections_ = block;
    hasSections_ = true;
  }
  void Empty() {
    *this = TSxMemoryClipboard();
  }

 private:
  std::string text_, sections_;
  bool hasText_ = false, hasSections_ = false;
};

// The clipboard of the process: a memory clipboard until the platform installs its own.
TSxClipboard& ProcessClipboard();
void SetProcessClipboard(TSxClipboard* clipboard);
