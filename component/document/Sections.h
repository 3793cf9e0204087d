/** @file Sections.h
 ** The section tree: foldable ranges of whole lines, nested, with the visible-line map
 ** and the marker text. Section boundaries live in one ordered edge list with a shift per
 ** block, so an inserted or deleted line moves every later section at the cost of a block
 ** walk; undo records keep the inverse of each change the tree went through. */
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "DocumentTypes.h"

class TSxMemoModel;
class TSxSynMemoSection;

// A run of consecutive boundaries; a line shift below the run is one Delta change.
struct TSectionEdgeBlock;

// One end of a section. The root's ends are in no block: Rel is their line.
struct TSectionEdge {
  TSxSynMemoSection* Owner = nullptr;
  TSectionEdgeBlock* Block = nullptr;
  std::int32_t Rel = 0;
  bool IsLast = false;
  std::int32_t Pos() const;
};

struct TSectionEdgeBlock {
  std::int32_t Delta = 0;
  std::vector<TSectionEdge*> Edges;  // ordered by position; no two share a line
};

inline std::int32_t TSectionEdge::Pos() const { return Block ? Rel + Block->Delta : Rel; }

// Every non-root boundary in line order, cut into blocks of at most kMaxBlock edges.
class TSectionEdges {
 public:
  static constexpr std::size_t kMaxBlock = 512;
  void Insert(TSectionEdge* e, std::int32_t pos);
  void Erase(TSectionEdge* e);
  // Moves every boundary at line `from` or later by delta.
  void Shift(std::int32_t from, std::int32_t delta);
  // The last boundary at or before line, or null.
  TSectionEdge* AtOrBefore(std::int32_t line) const;
  // The boundaries at line `from` or later, in order.
  std::vector<TSectionEdge*> From(std::int32_t from) const;
  // No boundary lies at line `line` or later.
  bool AllBefore(std::int32_t line) const { return blocks_.empty() || blocks_.back()->Edges.back()->Pos() < line; }
  void Clear() { blocks_.clear(); }

 private:
  std::size_t BlockReaching(std::int32_t pos) const;  // first block whose last edge is at pos or later
  std::vector<std::unique_ptr<TSectionEdgeBlock>> blocks_;
};

// A section: an owning list of child sections ordered by FirstLine.
// Invariant: a child lies strictly inside its parent and siblings do not overlap.
class TSxSynMemoSection {
 public:
  TSxSynMemoSection(TSxSynMemoSection* parent, std::int32_t level, bool collapsed);
  TSxSynMemoSection(const TSxSynMemoSection&) = delete;
  TSxSynMemoSection& operator=(const TSxSynMemoSection&) = delete;

  std::int32_t FirstLine() const { return first_.Pos(); }
  std::int32_t LastLine() const { return last_.Pos(); }
  int Count() const { return static_cast<int>(Children.size()); }
  // The i-th child; a bad index fails the assertion "Bad nested section index: i".
  TSxSynMemoSection* ChildSection(int i) const;
  int IndexOfChild(const TSxSynMemoSection* child) const;
  // Sets Level and gives every descendant its parent's Level + 1.
  void SetLevel(std::int32_t level);
  bool Contains(std::int32_t line) const { return FirstLine() <= line && line <= LastLine(); }

  TSxSynMemoSection* Parent = nullptr;
  std::int32_t Level = 0;
  bool Collapsed = false;
  std::vector<std::unique_ptr<TSxSynMemoSection>> Children;

 private:
  friend class TSxSynMemoSections;
  TSectionEdge first_;
  TSectionEdge last_;
};

// One change of the tree's shape, kept by the undo record that was newest when it
// happened; undoing the record applies the inverses, newest first.
struct TSectionChange {
  enum TKind : std::uint8_t { LineInserted, LineDeleted, Added, Removed, RootEnd, Folded };
  TKind Kind;
  bool Collapsed = false;  // Removed, Folded: the section's fold state before the change
  std::int32_t A = 0;      // the line; Added, Removed: the first line; RootEnd: the old end
  std::int32_t B = 0;      // Added, Removed: the last line
};
using TSectionLog = std::vector<TSectionChange>;

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

  TSxSynMemoSection* Root() const { return root_.get(); }
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

  // Brings the tree back to the state before the changes in log (newest last).
  void Revert(const TSectionLog& log);
  // Makes the root span the document's lines, dropping the sections that reach past
  // them; an unrecorded change of the line count (a replay, a locked caret move)
  // leaves a tree sized for another count.
  void FitToLines();

  // Reports ciSections and clears pwVisibleMapStale; walks the sections only when the
  // tree's shape or folding changed, since line shifts move the map with the tree.
  void RebuildVisibleMap();
  void RebuildIfStale();

  // The visible-line map; each query rebuilds a stale map first.
  std::int32_t VisibleCount();
  std::int32_t VisibleIndexOf(std::int32_t line);       // -1 hidden or invalid
  std::int32_t LineOfVisibleIndex(std::int32_t index);  // -1 out of range

 private:
  // Lines FirstLine + 1 .. FirstLine + Length of a collapsed section with open ancestors.
  struct HiddenRun {
    const TSxSynMemoSection* section;
    std::int32_t length;
    std::int32_t hiddenBefore;  // hidden lines before this run
    std::int32_t First() const { return section->FirstLine() + 1; }
    std::int32_t Last() const { return section->FirstLine() + length; }
  };
  std::unique_ptr<TSxSynMemoSection> NewSection(TSxSynMemoSection* parent, std::int32_t first, std::int32_t last,
                                                bool collapsed);
  // Inserts a section over first..last below the innermost section holding first,
  // adopting the children that lie inside; no checks, no follow-up.
  TSxSynMemoSection* Insert(std::int32_t first, std::int32_t last, bool collapsed);
  void Drop(TSxSynMemoSection* s, bool recursive);
  // A line comes (delta 1) or goes (delta -1) at `line`: the boundaries after it and
  // the root's end move.
  void ShiftLines(std::int32_t line, std::int32_t delta);
  void Log(const TSectionChange& change);
  void Fold(TSxSynMemoSection* s, const TSxSynMemoSection* start, bool recursive, bool childrenOnly);
  void Unfold(TSxSynMemoSection* s, bool recursive);
  void SetFolded(TSxSynMemoSection* s, bool folded);
  void CollectHiddenRuns(const TSxSynMemoSection* s, bool visible);
  void SectionsChanged();
  void ShapeChanged() { shapeDirty_ = true; }
  int LineCount() const;

  TSxMemoModel& owner_;
  TSectionEdges edges_;
  std::unique_ptr<TSxSynMemoSection> root_;
  std::vector<HiddenRun> runs_;
  std::int32_t hiddenTotal_ = 0;
  std::int32_t maxLevel_ = 0;
  std::int32_t maxVisibleLevel_ = 0;
  std::int32_t mappedCount_ = -1;  // the line count the map stands for
  bool shapeDirty_ = true;         // sections or folds changed since the map was built
  bool reverting_ = false;         // undo's inverse changes are not recorded again
};
