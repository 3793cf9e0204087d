// Checks of the document's promises, written from the promises themselves rather than
// from the code that keeps them: a slow, plain walk over every line and section.
#include "DocumentInvariants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "TestText.h"
#include "document/MemoModel.h"

namespace {

std::string Where(const TSxSynMemoSection& s) {
  return "section " + std::to_string(s.FirstLine()) + ".." + std::to_string(s.LastLine()) + " (level " +
         std::to_string(s.Level) + ")";
}

// Shape: children ordered, strictly inside the parent, sharing no boundary line, at the
// parent's level + 1, linked back. Fills each line's innermost section and visibility.
std::string CheckShape(const TSxSynMemoSection& s, bool visible, std::vector<const TSxSynMemoSection*>& innermost,
                       std::vector<char>& shown) {
  const auto count = static_cast<std::int32_t>(innermost.size());
  for (std::int32_t l = std::max(s.FirstLine(), 0); l <= std::min(s.LastLine(), count - 1); ++l) {
    innermost[static_cast<std::size_t>(l)] = &s;
    shown[static_cast<std::size_t>(l)] = visible && (!s.Collapsed || l == s.FirstLine() || s.Parent == nullptr);
  }
  std::int32_t prevEnd = s.FirstLine();
  for (const auto& c : s.Children) {
    if (c->Parent != &s || c->Level != s.Level + 1 || c->FirstLine() >= c->LastLine() || c->FirstLine() <= prevEnd ||
        c->LastLine() >= s.LastLine() || c->LastLine() >= count)
      return Where(*c) + " is misplaced under " + Where(s) + " after line " + std::to_string(prevEnd);
    prevEnd = c->LastLine();
    std::string e = CheckShape(*c, visible && !(s.Collapsed && s.Parent), innermost, shown);
    if (!e.empty()) return e;
  }
  return "";
}

void ShapeOf(const TSxSynMemoSection& s, std::vector<std::int32_t>& out) {
  for (const auto& c : s.Children) {
    out.insert(out.end(), {c->FirstLine(), c->LastLine(), c->Level});
    ShapeOf(*c, out);
  }
}

}  // namespace

std::string CheckDocumentInvariants(TSxMemoModel& memo) {
  const TSxSynMemoStrings& lines = *memo.Lines;
  TSxSynMemoSections& tree = *memo.SectionTree;
  const std::int32_t count = lines.Count();
  const TSxSynMemoSection* root = tree.Root();
  if (!root) return "no root section";
  if (root->Parent || root->Level != 0 || root->FirstLine() != -1 || root->LastLine() != count)
    return "root " + Where(*root) + " for " + std::to_string(count) + " lines";
  std::vector<const TSxSynMemoSection*> innermost(static_cast<std::size_t>(count), root);
  std::vector<char> shown(static_cast<std::size_t>(count), 1);
  if (std::string e = CheckShape(*root, true, innermost, shown); !e.empty()) return e;

  std::int32_t row = 0;
  for (std::int32_t l = 0; l < count; ++l) {
    const auto i = static_cast<std::size_t>(l);
    if (tree.SectionOf(l) != innermost[i]) return "line " + std::to_string(l) + " is not in its innermost section";
    const std::int32_t expected = shown[i] ? row++ : -1;
    if (tree.VisibleIndexOf(l) != expected || (expected >= 0 && tree.LineOfVisibleIndex(expected) != l))
      return "line " + std::to_string(l) + " and visible row " + std::to_string(expected) + " do not map to each other";
  }
  if (tree.VisibleCount() != row) return "visible count off by " + std::to_string(tree.VisibleCount() - row);
  if (tree.LineOfVisibleIndex(row) != -1) return "a row past the visible ones names a line";

  const TSxSynMemoRange& r = *memo.Range;
  if (r.EndPos < r.StartPos) return "selection end before its start";
  for (const TTextPos& p : {r.StartPos, r.EndPos, r.CaretPos}) {
    if (p.X < 0 || p.Y < 0 || (count > 0 && p.Y >= count))
      return "position (" + std::to_string(p.X) + ", " + std::to_string(p.Y) + ") outside the text";
  }
  return "";
}

TDocumentSnapshot TakeSnapshot(const TSxMemoModel& memo) {
  TDocumentSnapshot s;
  for (int i = 0; i < memo.Lines->Count(); ++i) s.Lines.emplace_back(memo.Lines->Get(i));
  ShapeOf(*memo.SectionTree->Root(), s.Sections);
  return s;
}

TDocumentSnapshot WithoutTrailingBlanks(TDocumentSnapshot s) {
  for (std::string& l : s.Lines) {
    std::size_t n = l.size();
    while (n > 0 && static_cast<unsigned char>(l[n - 1]) <= 32) --n;
    l.resize(n);
  }
  return s;
}

std::string DescribeDifference(const TDocumentSnapshot& expected, const TDocumentSnapshot& actual) {
  std::ostringstream o;
  if (expected.Lines.size() != actual.Lines.size())
    o << expected.Lines.size() << " lines expected, " << actual.Lines.size() << " found; ";
  const auto [e, a] = std::mismatch(expected.Lines.begin(), expected.Lines.end(), actual.Lines.begin(), actual.Lines.end());
  if (e != expected.Lines.end() && a != actual.Lines.end())
    o << "line " << e - expected.Lines.begin() << " expected \"" << *e << "\", found \"" << *a << "\"; ";
  if (expected.Sections != actual.Sections)
    o << "sections expected " << testing::PrintToString(expected.Sections) << ", found "
      << testing::PrintToString(actual.Sections);
  return o.str();
}

std::string ExpectedFileBytes(const TSxMemoModel& memo) {
  std::vector<std::string> copy = TakeSnapshot(memo).Lines;
  if (memo.Options().Contains(smoWriteMarkersOnSave)) memo.SectionTree->WriteMarkers(copy);
  return Joined(copy);
}
