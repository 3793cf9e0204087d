// One-line dumps of a section tree and of the document's lines, for readable section tests.
#pragma once

#include <string>
#include <vector>

#include "document/MemoModel.h"

// "[2..5 [3..4 c]] [8..9]": every section of the tree in pre-order, "c" when collapsed.
inline std::string DumpSections(const TSxSynMemoSection* s) {
  std::string out;
  for (const auto& c : s->Children) {
    if (!out.empty()) out += ' ';
    out += "[" + std::to_string(c->FirstLine) + ".." + std::to_string(c->LastLine);
    if (c->Collapsed) out += " c";
    std::string inner = DumpSections(c.get());
    if (!inner.empty()) out += " " + inner;
    out += "]";
  }
  return out;
}

inline std::string DumpSections(TSxMemoModel& m) { return DumpSections(m.SectionTree->Root()); }

inline std::vector<std::string> LinesOf(const TSxMemoModel& m) {
  std::vector<std::string> out;
  for (int i = 0; i < m.Lines->Count(); ++i) out.emplace_back(m.Lines->Get(i));
  return out;
}

// Visible rows as line indexes.
inline std::vector<int> VisibleRows(TSxMemoModel& m) {
  std::vector<int> out;
  for (int r = 0; r < m.SectionTree->VisibleCount(); ++r) out.push_back(m.SectionTree->LineOfVisibleIndex(r));
  return out;
}
