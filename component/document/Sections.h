/** @file Sections.h
 ** The section tree: foldable ranges of whole lines, nested, with a reference-counted
 ** root shared with undo records, the visible-line map and the marker text. */
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "DocumentTypes.h"

class TSxMemoModel;

// A section: an owning list of child sections ordered by FirstLine.
// Invariant: a child lies strictly inside its parent and siblings do not overlap.
class TSxSynMemoSection {
 public:
  TSxSynMemoSection() = default;
  TSxSynMemoSection(TSxSynMemoSection* parent, std::int32_t first, std::int32_t last, std::int32_t level,
                    bool collapsed)
      : Parent(parent), FirstLine(first), LastLine(last), Level(level), Collapsed(collapsed) {}
  virtual ~TSxSynMemoSection() = default;
  TSxSynMemoSection(const TSxSynMemoSection&) = delete;
  TSxSynMemoSection& operator=(const TSxSynMemoSection&) = delete;

  int Count() const { return static_cast<int>(Children.size()); }
  // The i-th child; a bad index fails the assertion "Bad nested section index: i".
  TSxSynMemoSection* ChildSection(int i) const;
  int IndexOfChild(const TSxSynMemoSection* child) const;
  // Sets Level and gives every descendant its parent's Level + 1.
  void SetLevel(std::int32_t level);
  bool Contains(std::int32_t line) const { return FirstLine <= line && line <= LastLine; }

  // Sections come from a free list: trees are copied whole before every shared
  // change, so allocation speed decides what an Enter costs in a large document.
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size);

  TSxSynMemoSection* Parent = nullptr;
  std::int32_t FirstLine = 0;
  std::int32_t LastLine = 0;
  std::int32_t Level = 0;
  bool Collapsed = false;
  std::vector<std::unique_ptr<TSxSynMemoSection>> Children;
};

// The root of a tree, counted by its holders (the manager and undo records).
class TSxSMSectionClone : public TSxSynMemoSection {
 public:
  using TSxSynMemoSection::TSxSynMemoSection;
  void AddRef() { ++RefCount; }
  // Drops one reference; the tree is destroyed when none is left.
  void Release() {
    if (--RefCount < 1) delete this;
  }
  // A deep copy holding no references yet.
  TSxSMSectionClone* Clone() const;
  std::int32_t RefCount = 0;
};

// Raised for programming errors inside the component; the message names its unit.
class ESxAssertion : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

class TSxSynMemoSections {
 public:
  explicit TSxSynMemoSections(TSxMemoModel& owner);
  virtual ~TSxSynMemoSections();
  TSxSynMemoSections(const TSxSynMemoSections&) = delete;
  TSxSynMemoSections& operator=(const TSxSynMemoSections&) = delete;

  TSxSMSectionClone* Root() const { return root_; }
  std::int32_t MaxLevel() const;
  std::int32_t MaxVisibleLevel() const;

  // The innermost section containing the line (the root for a line in no section).
  TSxSynMemoSection* SectionOf(std::int32_t line) const;
  // 1 first line of an expanded section, 2 of a collapsed one, 3 last line, else 0.
  int LineRole(std::int32_t line) const;
  static int MarkerKind(std::string_view text);

  TSxSynMemoSection* AddSection(std::int32_t firstLine, std::int32_t lastLine, bool collapsed);
  void RemoveSection(std::int32_t line, bool recursive);
  void CollapseSection(std::int32_t line, bool recursive, bool childrenOnly);
  void ExpandSection(std::int32_t line, bool recursive, bool withParents);
  bool IsSectionVisible(const TSxSynMemoSection* section);
  TSxSynMemoSection* NextSection(TSxSynMemoSection* section) const;
  TSxSynMemoSection* PrevSection(TSxSynMemoSection* section) const;

  virtual void ReadMarkers();
  virtual void WriteMarkers(std::vector<std::string>& strings) const;
  virtual void LineDeleted(std::int32_t index);
  virtual void LineInserted(std::int32_t index);

  // Recomputes the visible-line map (one pass over the sections, not the lines),
  // clears pwVisibleMapStale and reports ciSections.
  void RebuildVisibleMap();
  void RebuildIfStale();
  void Unshare();
  void SetRoot(TSxSMSectionClone* newRoot);

  // The visible-line map; each query rebuilds a stale map first.
  std::int32_t VisibleCount();
  std::int32_t VisibleIndexOf(std::int32_t line);       // -1 hidden or invalid
  std::int32_t LineOfVisibleIndex(std::int32_t index);  // -1 out of range

 private:
  struct HiddenRun {
    std::int32_t first;         // first hidden line
    std::int32_t last;          // last hidden line
    std::int32_t hiddenBefore;  // hidden lines before this run
  };
  void Drop(TSxSynMemoSection* s, bool recursive);
  void CollectHiddenRuns(const TSxSynMemoSection* s, bool visible);
  void SectionsChanged();
  int LineCount() const;

  TSxMemoModel& owner_;
  TSxSMSectionClone* root_ = nullptr;
  std::vector<HiddenRun> runs_;
  std::int32_t hiddenTotal_ = 0;
  std::int32_t maxLevel_ = 0;
  std::int32_t maxVisibleLevel_ = 0;
  bool dirty_ = true;  // the tree or the line count changed since the map was built
};
