/** @file BraceAnalysis.cpp
 ** Brace scanning over the line storage and the outline of the section tree. */
#include "BraceAnalysis.h"

#include <cstring>

#include "document/LineStorage.h"
#include "document/Sections.h"

const TOutlineNode* TOutline::Selected() const {
  if (!HasSelection) return nullptr;
  const TOutlineNode* n = &Top;
  for (int i : SelectedPath) n = &n->Children[static_cast<std::size_t>(i)];
  return n;
}

int AddBraceSections(TSxSynMemoStrings& lines, TSxSynMemoSections& sections) {
  int added = 0;
  std::int32_t depth = 0;  // may go negative on a surplus '}'
  std::int32_t start = 0;
  // One outer update: each section added defers its follow-up work to the end of the scan.
  lines.BeginUpdate();
  try {
    const int count = lines.Count();
    for (int i = 0; i < count; ++i) {
      std::string_view s = TrimBlanks(lines.Get(i));
      if (s.empty()) continue;
      const char* p = s.data();
      const char* end = p + s.size();
      for (;;) {
        const char* open = static_cast<const char*>(std::memchr(p, '{', static_cast<std::size_t>(end - p)));
        const char* close = static_cast<const char*>(std::memchr(p, '}', static_cast<std::size_t>(end - p)));
        const char* b = !open ? close : !close ? open : (open < close ? open : close);
        if (!b) break;
        if (*b == '{') {
          if (depth == 0) {
            // A brace that opens its line belongs to the header on the line above.
            start = b == s.data() ? i - 1 : i;
            if (start < 0) start = 0;
          }
          ++depth;
        } else {
          --depth;
          if (depth == 0 && start != i && sections.AddSection(start, i, false)) ++added;
        }
        p = b + 1;
      }
    }
  } catch (...) {
    lines.EndUpdate();
    throw;
  }
  lines.EndUpdate();
  return added;
}

namespace {

struct TOutlineFiller {
  const TSxSynMemoStrings& Lines;
  const TKeywordTable* Table;
  std::int32_t SelectedLine;
  TOutline& Out;
  std::vector<int> Path;

  void Fill(TOutlineNode& node, const TSxSynMemoSection& section) {
    std::int32_t l = section.FirstLine();
    const std::int32_t last = Lines.Count() - 1;
    if (l > last) l = last;
    if (l < 0) l = 0;
    std::string_view text = Lines.Count() > 0 ? Lines.Get(l) : std::string_view();
    node.Caption = text.empty() ? std::string("<empty>") : std::string(TrimBlanks(text));
    node.Line = l;
    if (section.FirstLine() == SelectedLine) {
      Out.SelectedPath = Path;
      Out.HasSelection = true;
    }
    node.Children.resize(static_cast<std::size_t>(section.Count()));
    for (int k = 0; k < section.Count(); ++k) {
      Path.push_back(k);
      Fill(node.Children[static_cast<std::size_t>(k)], *section.ChildSection(k));
      Path.pop_back();
    }
    node.Expanded = !section.Collapsed;
    if (section.Count() > 0)
      node.Image = section.Collapsed ? imgSectionCollapsed : imgSectionExpanded;
    else
      node.Image = ClassifyFirstWord(Table, node.Caption).Kind == tokErroneous ? imgUnknownWord : imgKnownWord;
  }
};

}  // namespace

TOutline BuildOutline(const TSxSynMemoStrings& lines, const TSxSynMemoSection& root, const TKeywordTable* table,
                      std::int32_t selectedLine) {
  TOutline out;
  if (root.Count() > 0) {
    TOutlineFiller filler{lines, table, selectedLine, out, {}};
    filler.Fill(out.Top, root);
  }
  return out;
}
