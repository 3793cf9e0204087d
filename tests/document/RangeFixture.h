// A headless document for the editing, section, undo and clipboard suites: loading text
// with section markers, reading it back, and a one-line dump of the section tree.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestText.h"
#include "document/MemoModel.h"
#include "platform/Clipboard.h"

inline Lines LinesOf(const TSxMemoModel& m) {
  Lines out;
  for (int i = 0; i < m.Lines->Count(); ++i) out.emplace_back(m.Lines->Get(i));
  return out;
}

class RangeFixture : public ::testing::Test {
 protected:
  RangeFixture() { memo.SetClipboard(&clip); }

  // Lines joined by LF; section markers at line starts become sections.
  void Load(const Lines& lines) { memo.Lines->LoadFromStream(Joined(lines)); }
  Lines Text() const { return LinesOf(memo); }

  // Pre-order "[first-last]" per section, "c" after a collapsed one, nesting as brackets.
  std::string Tree() const { return Dump(*memo.SectionTree->Root(), false); }
  std::string TreeWithLevels() const { return Dump(*memo.SectionTree->Root(), true); }
  static std::string Dump(const TSxSynMemoSection& s, bool levels) {
    std::string out;
    for (const auto& c : s.Children) {
      out += "[" + std::to_string(c->FirstLine()) + "-" + std::to_string(c->LastLine());
      out += levels ? ":" + std::to_string(c->Level) : c->Collapsed ? "c" : "";
      out += Dump(*c, levels) + "]";
    }
    return out;
  }

  // A plain caret move: the selection collapses onto the caret.
  void Caret(int x, int y) {
    range().ClearSelection();
    range().SetCaretPos({x, y});
  }
  // Selects from (x1, y1) to (x2, y2) the way the keyboard does: anchor, then extend.
  void Select(int x1, int y1, int x2, int y2) {
    Caret(x1, y1);
    range().ExtendSelection(y2 - y1, true, false);
    range().ExtendSelection(x2 - range().CaretPos.X, false, false);
  }
  void Type(const std::string& s) {
    for (char c : s) range().ReplaceSelection(std::string(1, c), ukTyping);
  }
  void SetOption(TSxSynMemoOption o, bool on) {
    TSxSynMemoOptions opts = memo.Options();
    on ? opts += o : opts -= o;
    memo.SetOptions(opts);
  }

  TSxSynMemoRange& range() { return *memo.Range; }

  TSxMemoModel memo;
  TSxMemoryClipboard clip;
};

inline TTextPos P(int x, int y) { return TTextPos{x, y}; }
inline void PrintTo(const TTextPos& p, std::ostream* os) { *os << "(" << p.X << ", " << p.Y << ")"; }
