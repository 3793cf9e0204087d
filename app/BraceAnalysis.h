/** @file BraceAnalysis.h
 ** The brace analysis that turns top-level multi-line brace blocks into sections, and
 ** the toolkit-free outline of the section tree that the main window shows. */
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KeywordTable.h"

class TSxSynMemoStrings;
class TSxSynMemoSections;
class TSxSynMemoSection;

// Outline images: indexes into the main window's image list.
enum : int { imgSectionCollapsed = 0, imgSectionExpanded = 1, imgKnownWord = 15, imgUnknownWord = 16 };

struct TOutlineNode {
  std::string Caption;    // cp1251 bytes
  std::int32_t Line = 0;  // the node's data: the line it stands for
  bool Expanded = false;
  int Image = -1;  // -1 for the empty top-level node of a tree without sections
  std::vector<TOutlineNode> Children;
};

// One top-level node: empty when the section tree has no sections, else the node of
// the root section (standing for line 0) with the nodes of its descendants below it.
struct TOutline {
  TOutlineNode Top;
  // Child indexes from Top down to the node to select; empty with HasSelection false
  // when nothing is to be selected.
  std::vector<int> SelectedPath;
  bool HasSelection = false;
  const TOutlineNode* Selected() const;
};

// Scans every line for braces and adds one section per top-level block that spans
// more than one line; answers how many sections were added. Braces count wherever
// they stand (strings and comments included); refused ranges are skipped.
int AddBraceSections(TSxSynMemoStrings& lines, TSxSynMemoSections& sections);

// The outline of the section tree as it stands; the node of the last section in fill
// order whose first line equals selectedLine is the one to select.
TOutline BuildOutline(const TSxSynMemoStrings& lines, const TSxSynMemoSection& root, const TKeywordTable* table,
                      std::int32_t selectedLine);
