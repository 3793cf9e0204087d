/** @file Sections.cpp
 ** The section tree's shape operations, the edge list that holds every boundary's line,
 ** marker text, the visible-line map and the inverse changes undo applies.
 ** A line's innermost section is the owner of the nearest boundary at or before it, so
 ** no per-line data needs rewriting on an edit. */
#include "Sections.h"

#include <algorithm>

#include "MemoModel.h"

namespace {
const char* const kMarkers[] = {"{<+}", "{<-}", "{>>}"};
}  // namespace

// --- The edge list ---

std::size_t TSectionEdges::BlockReaching(std::int32_t pos) const {
  auto it = std::partition_point(blocks_.begin(), blocks_.end(),
                                 [&](const auto& b) { return b->Edges.back()->Pos() < pos; });
  return static_cast<std::size_t>(it - blocks_.begin());
}

void TSectionEdges::Insert(TSectionEdge* e, std::int32_t pos) {
  if (blocks_.empty()) {
    blocks_.push_back(std::make_unique<TSectionEdgeBlock>());
    e->Block = blocks_.back().get();
    e->Rel = pos;
    e->Block->Edges.push_back(e);
    return;
  }
  std::size_t bi = std::min(BlockReaching(pos), blocks_.size() - 1);
  TSectionEdgeBlock* b = blocks_[bi].get();
  auto& v = b->Edges;
  const bool atEnd = bi + 1 == blocks_.size() && (v.empty() || v.back()->Pos() < pos);
  if (atEnd && v.size() >= kMaxBlock) {
    // Loading appends in line order: full blocks stay full.
    blocks_.push_back(std::make_unique<TSectionEdgeBlock>());
    b = blocks_.back().get();
    b->Delta = blocks_[bi]->Delta;
    e->Block = b;
    e->Rel = pos - b->Delta;
    b->Edges.push_back(e);
    return;
  }
  auto at = std::partition_point(v.begin(), v.end(), [&](const TSectionEdge* x) { return x->Pos() < pos; });
  e->Block = b;
  e->Rel = pos - b->Delta;
  v.insert(at, e);
  if (v.size() <= kMaxBlock) return;
  auto fresh = std::make_unique<TSectionEdgeBlock>();
  fresh->Delta = b->Delta;
  const auto half = static_cast<std::ptrdiff_t>(v.size() / 2);
  fresh->Edges.assign(v.begin() + half, v.end());
  v.resize(static_cast<std::size_t>(half));
  for (TSectionEdge* x : fresh->Edges) x->Block = fresh.get();
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(bi) + 1, std::move(fresh));
}

void TSectionEdges::Erase(TSectionEdge* e) {
  TSectionEdgeBlock* b = e->Block;
  if (!b) return;
  auto& v = b->Edges;
  v.erase(std::find(v.begin(), v.end(), e));
  e->Rel += b->Delta;  // keeps its line for the inverse change
  e->Block = nullptr;
  if (!v.empty()) return;
  blocks_.erase(std::find_if(blocks_.begin(), blocks_.end(), [&](const auto& p) { return p.get() == b; }));
}

void TSectionEdges::Shift(std::int32_t from, std::int32_t delta) {
  const std::size_t bi = BlockReaching(from);
  if (bi == blocks_.size()) return;
  auto& v = blocks_[bi]->Edges;
  for (auto it = v.rbegin(); it != v.rend() && (*it)->Pos() >= from; ++it) (*it)->Rel += delta;
  for (std::size_t j = bi + 1; j < blocks_.size(); ++j) blocks_[j]->Delta += delta;
}

TSectionEdge* TSectionEdges::AtOrBefore(std::int32_t line) const {
  auto it = std::partition_point(blocks_.begin(), blocks_.end(),
                                 [&](const auto& b) { return b->Edges.front()->Pos() <= line; });
  if (it == blocks_.begin()) return nullptr;
  const auto& v = (*(it - 1))->Edges;
  auto at = std::partition_point(v.begin(), v.end(), [&](const TSectionEdge* x) { return x->Pos() <= line; });
  return *(at - 1);
}

std::vector<TSectionEdge*> TSectionEdges::From(std::int32_t from) const {
  std::vector<TSectionEdge*> out;
  for (std::size_t bi = BlockReaching(from); bi < blocks_.size(); ++bi)
    for (TSectionEdge* e : blocks_[bi]->Edges)
      if (e->Pos() >= from) out.push_back(e);
  return out;
}

// --- Sections ---

TSxSynMemoSection::TSxSynMemoSection(TSxSynMemoSection* parent, std::int32_t level, bool collapsed)
    : Parent(parent), Level(level), Collapsed(collapsed) {
  first_.Owner = last_.Owner = this;
  last_.IsLast = true;
}

TSxSynMemoSection* TSxSynMemoSection::ChildSection(int i) const {
  if (i < 0 || i >= Count())
    throw ESxAssertion("Bad nested section index: " + std::to_string(i) + " (UnitSyntaxMemo)");
  return Children[static_cast<std::size_t>(i)].get();
}

int TSxSynMemoSection::IndexOfChild(const TSxSynMemoSection* child) const {
  const std::int32_t first = child->FirstLine();
  auto it = std::partition_point(Children.begin(), Children.end(),
                                 [&](const auto& c) { return c->FirstLine() < first; });
  return it != Children.end() && it->get() == child ? static_cast<int>(it - Children.begin()) : -1;
}

void TSxSynMemoSection::SetLevel(std::int32_t level) {
  Level = level;
  for (auto& c : Children) c->SetLevel(level + 1);
}

// --- The manager ---

TSxSynMemoSections::TSxSynMemoSections(TSxMemoModel& owner) : owner_(owner) {
  root_ = std::make_unique<TSxSynMemoSection>(nullptr, 0, false);
  root_->first_.Rel = -1;
  ReadMarkers();
}

TSxSynMemoSections::~TSxSynMemoSections() = default;

int TSxSynMemoSections::LineCount() const { return owner_.Lines->Count(); }

std::int32_t TSxSynMemoSections::MaxLevel() const {
  const_cast<TSxSynMemoSections*>(this)->RebuildIfStale();
  return maxLevel_;
}

std::int32_t TSxSynMemoSections::MaxVisibleLevel() const {
  const_cast<TSxSynMemoSections*>(this)->RebuildIfStale();
  return maxVisibleLevel_;
}

TSxSynMemoSection* TSxSynMemoSections::SectionOf(std::int32_t line) const {
  // The nearest boundary at or before the line: a first line opens the innermost
  // section there, a last line closes it, so the line lies in its parent.
  const TSectionEdge* e = edges_.AtOrBefore(line);
  if (!e) return root_.get();
  if (!e->IsLast || e->Pos() == line) return e->Owner;
  return e->Owner->Parent;
}

int TSxSynMemoSections::LineRole(std::int32_t line) const {
  const TSxSynMemoSection* s = SectionOf(line);
  if (s == root_.get()) return 0;
  if (line == s->FirstLine()) return s->Collapsed ? 2 : 1;
  if (line == s->LastLine()) return 3;
  return 0;
}

int TSxSynMemoSections::MarkerKind(std::string_view text) {
  // Every marker is four bytes opening with '{': most lines fail at their first byte.
  if (text.size() < 4 || text[0] != '{') return 0;
  for (int k = 0; k < 3; ++k)
    if (text.substr(0, 4) == kMarkers[k]) return k + 1;
  return 0;
}

void TSxSynMemoSections::SectionsChanged() { owner_.Lines->Pending += TPendingWork{pwSectionsChanged, pwVisibleMapStale}; }

void TSxSynMemoSections::Log(const TSectionChange& change) {
  if (reverting_ || owner_.Lines->Pending.Contains(pwLocked) || !owner_.Range) return;
  if (TSxSynMemoUndoItem* e = owner_.Range->LastUndoItem()) e->SectionLog.push_back(change);
}

// --- The visible map ---

void TSxSynMemoSections::RebuildIfStale() {
  if (shapeDirty_ || mappedCount_ != LineCount() || owner_.Lines->Pending.Contains(pwVisibleMapStale))
    RebuildVisibleMap();
}

void TSxSynMemoSections::RebuildVisibleMap() {
  if (shapeDirty_ || mappedCount_ != LineCount()) {
    runs_.clear();
    hiddenTotal_ = 0;
    maxLevel_ = maxVisibleLevel_ = 0;
    mappedCount_ = LineCount();
    CollectHiddenRuns(root_.get(), true);
    shapeDirty_ = false;
  }
  owner_.Lines->Pending -= pwVisibleMapStale;
  owner_.DoChange({ciSections});
}

void TSxSynMemoSections::CollectHiddenRuns(const TSxSynMemoSection* s, bool visible) {
  maxLevel_ = std::max(maxLevel_, s->Level);
  if (visible) maxVisibleLevel_ = std::max(maxVisibleLevel_, s->Level);
  const bool folded = s->Collapsed && s != root_.get();
  if (visible && folded) {
    const std::int32_t first = s->FirstLine() + 1;
    const std::int32_t last = std::min(s->LastLine(), mappedCount_ - 1);
    if (first <= last) {
      runs_.push_back({s, last - first + 1, hiddenTotal_});
      hiddenTotal_ += last - first + 1;
    }
  }
  for (const auto& c : s->Children) CollectHiddenRuns(c.get(), visible && !folded);
}

std::int32_t TSxSynMemoSections::VisibleCount() {
  RebuildIfStale();
  return std::max(0, LineCount() - hiddenTotal_);
}

std::int32_t TSxSynMemoSections::VisibleIndexOf(std::int32_t line) {
  RebuildIfStale();
  if (line < 0 || line >= LineCount()) return -1;
  auto it = std::upper_bound(runs_.begin(), runs_.end(), line,
                             [](std::int32_t l, const HiddenRun& r) { return l < r.First(); });
  if (it == runs_.begin()) return line;
  const HiddenRun& r = *(it - 1);
  if (line <= r.Last()) return -1;
  return line - (r.hiddenBefore + r.length);
}

std::int32_t TSxSynMemoSections::LineOfVisibleIndex(std::int32_t index) {
  RebuildIfStale();
  if (index < 0 || index >= VisibleCount()) return -1;
  // Run k starts hiding at visible index First - hiddenBefore; rows at or past it skip it.
  auto it = std::upper_bound(runs_.begin(), runs_.end(), index,
                             [](std::int32_t v, const HiddenRun& r) { return v < r.First() - r.hiddenBefore; });
  if (it == runs_.begin()) return index;
  const HiddenRun& r = *(it - 1);
  return index + r.hiddenBefore + r.length;
}

bool TSxSynMemoSections::IsSectionVisible(const TSxSynMemoSection* section) {
  RebuildIfStale();
  return section && VisibleIndexOf(section->FirstLine()) >= 0;
}

// --- Shape changes ---

std::unique_ptr<TSxSynMemoSection> TSxSynMemoSections::NewSection(TSxSynMemoSection* parent, std::int32_t first,
                                                                  std::int32_t last, bool collapsed) {
  auto s = std::make_unique<TSxSynMemoSection>(parent, parent->Level + 1, collapsed);
  edges_.Insert(&s->first_, first);
  edges_.Insert(&s->last_, last);
  return s;
}

TSxSynMemoSection* TSxSynMemoSections::Insert(std::int32_t first, std::int32_t last, bool collapsed) {
  // A range after every boundary (the brace analysis adds its sections in line order)
  // is the root's last child: no search.
  const bool after = edges_.AllBefore(first);
  TSxSynMemoSection* p = after ? root_.get() : SectionOf(first);
  auto n = NewSection(p, first, last, collapsed);
  auto& kids = p->Children;
  // Children are ordered by FirstLine, so those inside the new range form one run.
  auto lo = after ? kids.end()
                  : std::partition_point(kids.begin(), kids.end(), [&](const auto& c) { return c->FirstLine() < first; });
  auto hi = lo;
  for (; hi != kids.end() && (*hi)->FirstLine() <= last; ++hi) {
    (*hi)->Parent = n.get();
    (*hi)->SetLevel(n->Level + 1);
    n->Children.push_back(std::move(*hi));
  }
  TSxSynMemoSection* result = n.get();
  kids.insert(kids.erase(lo, hi), std::move(n));
  Log({TSectionChange::Added, false, first, last});
  ShapeChanged();
  return result;
}

TSxSynMemoSection* TSxSynMemoSections::AddSection(std::int32_t firstLine, std::int32_t lastLine, bool collapsed) {
  // A range outside the text, or of fewer than two lines, has no markers and would
  // break the tree's invariants: refused before anything changes.
  if (firstLine < 0 || lastLine >= LineCount() || firstLine >= lastLine) return nullptr;
  // The queries below walk the edges, not the visible map: a stale map is rebuilt
  // once when the update closes, not once per section added inside it.
  // A range after every section (the brace analysis adds them in line order) lies in
  // the root, touches no boundary and needs no repair.
  if (!edges_.AllBefore(firstLine)) {
    TSxSynMemoSection* a = SectionOf(lastLine);
    TSxSynMemoSection* b = SectionOf(firstLine);
    if (b->Parent == a && LineRole(lastLine) == 0) {
      RemoveSection(firstLine, false);
    } else if (a->Parent == b && LineRole(firstLine) == 0) {
      RemoveSection(firstLine, false);
    }
    if (SectionOf(firstLine) != SectionOf(lastLine) || LineRole(firstLine) != 0 || LineRole(lastLine) != 0)
      return nullptr;
  }

  owner_.Lines->BeginUpdate();
  TSxSynMemoSection* result = Insert(firstLine, lastLine, collapsed);
  SectionsChanged();
  owner_.InvalidateAll();
  owner_.Lines->SetModified(true);
  owner_.Lines->EndUpdate();
  owner_.DoChange({ciText, ciSelection, ciSections});
  return result;
}

void TSxSynMemoSections::Drop(TSxSynMemoSection* s, bool recursive) {
  if (s == root_.get() || !s->Parent) return;
  TSxSynMemoSection* parent = s->Parent;
  const int k = parent->IndexOfChild(s);
  Log({TSectionChange::Removed, s->Collapsed, s->FirstLine(), s->LastLine()});
  std::vector<std::unique_ptr<TSxSynMemoSection>> kids = std::move(s->Children);
  std::vector<TSxSynMemoSection*> moved;
  for (auto& c : kids) {
    c->SetLevel(c->Level - 1);
    c->Parent = parent;
    moved.push_back(c.get());
  }
  edges_.Erase(&s->first_);
  edges_.Erase(&s->last_);
  auto& siblings = parent->Children;
  siblings.insert(siblings.begin() + k + 1, std::make_move_iterator(kids.begin()), std::make_move_iterator(kids.end()));
  siblings.erase(siblings.begin() + k);
  ShapeChanged();
  if (recursive)
    for (TSxSynMemoSection* c : moved) Drop(c, true);
}

void TSxSynMemoSections::RemoveSection(std::int32_t line, bool recursive) {
  // Like AddSection, this walks the tree only; the map is rebuilt when the update closes.
  owner_.Lines->BeginUpdate();
  Drop(SectionOf(line), recursive);
  SectionsChanged();
  owner_.InvalidateAll();
  owner_.Lines->SetModified(true);
  owner_.Lines->EndUpdate();
  owner_.DoChange({ciText, ciSelection, ciSections});
}

void TSxSynMemoSections::Fold(TSxSynMemoSection* s, const TSxSynMemoSection* start, bool recursive, bool childrenOnly) {
  if (recursive)
    for (auto it = s->Children.rbegin(); it != s->Children.rend(); ++it) Fold(it->get(), start, true, childrenOnly);
  if (s != root_.get() && !(childrenOnly && s == start)) SetFolded(s, true);
}

void TSxSynMemoSections::Unfold(TSxSynMemoSection* s, bool recursive) {
  SetFolded(s, false);
  if (recursive)
    for (auto it = s->Children.rbegin(); it != s->Children.rend(); ++it) Unfold(it->get(), true);
}

// A record whose changes reshaped the tree keeps the tree as it stood, folds included;
// later folds belong to it until a newer record reshapes the tree. Undoing it puts them
// back. Records that only typed within lines leave folds as they are.
void TSxSynMemoSections::SetFolded(TSxSynMemoSection* s, bool folded) {
  if (s->Collapsed == folded) return;
  if (s != root_.get() && !reverting_ && owner_.Range && !owner_.Lines->Pending.Contains(pwLocked)) {
    const auto& records = owner_.Range->UndoList;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
      if ((*it)->SectionLog.empty()) continue;
      (*it)->SectionLog.push_back({TSectionChange::Folded, s->Collapsed, s->FirstLine(), 0});
      break;
    }
  }
  s->Collapsed = folded;
}

// Folding does not mark the document modified.
void TSxSynMemoSections::CollapseSection(std::int32_t line, bool recursive, bool childrenOnly) {
  RebuildIfStale();
  owner_.Lines->BeginUpdate();
  TSxSynMemoSection* s = SectionOf(line);
  Fold(s, s, recursive, childrenOnly);
  owner_.Lines->Pending += pwVisibleMapStale;
  ShapeChanged();
  owner_.InvalidateAll();
  owner_.Lines->EndUpdate();
  owner_.DoChange({ciSections});
}

void TSxSynMemoSections::ExpandSection(std::int32_t line, bool recursive, bool withParents) {
  RebuildIfStale();
  owner_.Lines->BeginUpdate();
  TSxSynMemoSection* s = SectionOf(line);
  Unfold(s, recursive);
  if (s == root_.get()) s->Collapsed = false;
  if (withParents) {
    for (TSxSynMemoSection* cur = s; cur->Level > 1 && cur->Parent; cur = cur->Parent) SetFolded(cur->Parent, false);
  }
  owner_.Lines->Pending += pwVisibleMapStale;
  ShapeChanged();
  owner_.InvalidateAll();
  owner_.Lines->EndUpdate();
  owner_.DoChange({ciSections});
}

TSxSynMemoSection* TSxSynMemoSections::NextSection(TSxSynMemoSection* s) const {
  if (!s) return nullptr;
  if (!s->Children.empty()) return s->Children.front().get();
  for (;;) {
    if (s == root_.get() || !s->Parent) return nullptr;
    TSxSynMemoSection* parent = s->Parent;
    const int k = parent->IndexOfChild(s);
    if (k + 1 < parent->Count()) return parent->Children[static_cast<std::size_t>(k + 1)].get();
    s = parent;
  }
}

TSxSynMemoSection* TSxSynMemoSections::PrevSection(TSxSynMemoSection* s) const {
  if (!s || s == root_.get() || !s->Parent) return nullptr;
  TSxSynMemoSection* parent = s->Parent;
  const int k = parent->IndexOfChild(s);
  if (k <= 0) return parent == root_.get() ? nullptr : parent;
  TSxSynMemoSection* p = parent->Children[static_cast<std::size_t>(k - 1)].get();
  while (!p->Children.empty()) p = p->Children.back().get();
  return p;
}

// --- Lines coming and going ---

void TSxSynMemoSections::ShiftLines(std::int32_t line, std::int32_t delta) {
  // A line gained or lost inside a hidden run changes the hidden counts after it; a
  // shift anywhere else moves runs and rows together and the map stays right.
  // An inserted line is in the storage already; a deleted one still is.
  if (!shapeDirty_ && mappedCount_ == LineCount() - (delta > 0 ? 1 : 0)) {
    auto it = std::upper_bound(runs_.begin(), runs_.end(), line,
                               [](std::int32_t l, const HiddenRun& r) { return l < r.First(); });
    if (it != runs_.begin() && line <= (it - 1)->Last()) shapeDirty_ = true;
    mappedCount_ += delta;
  }
  edges_.Shift(delta > 0 ? line : line + 1, delta);
  root_->last_.Rel += delta;
}

void TSxSynMemoSections::LineInserted(std::int32_t index) {
  ShiftLines(index, 1);
  Log({TSectionChange::LineInserted, false, index, 0});
  SectionsChanged();
}

void TSxSynMemoSections::LineDeleted(std::int32_t index) {
  if (LineRole(index) != 0) RemoveSection(index, false);
  ShiftLines(index, -1);
  Log({TSectionChange::LineDeleted, false, index, 0});
  SectionsChanged();
}

// --- Undo ---

void TSxSynMemoSections::Revert(const TSectionLog& log) {
  struct Guard {
    bool& flag;
    ~Guard() { flag = false; }
  } guard{reverting_};
  reverting_ = true;
  for (auto it = log.rbegin(); it != log.rend(); ++it) {
    switch (it->Kind) {
      case TSectionChange::LineInserted: edges_.Shift(it->A + 1, -1), root_->last_.Rel -= 1; break;
      case TSectionChange::LineDeleted: edges_.Shift(it->A, 1), root_->last_.Rel += 1; break;
      case TSectionChange::Added:
        if (TSxSynMemoSection* s = SectionOf(it->A); s != root_.get() && s->FirstLine() == it->A) Drop(s, false);
        break;
      case TSectionChange::Removed: Insert(it->A, it->B, it->Collapsed); break;
      case TSectionChange::RootEnd: root_->last_.Rel = it->A; break;
      case TSectionChange::Folded:
        if (TSxSynMemoSection* s = SectionOf(it->A); s != root_.get() && s->FirstLine() == it->A) s->Collapsed = it->Collapsed;
        break;
    }
  }
  ShapeChanged();
  owner_.Lines->Pending += pwVisibleMapStale;
}

void TSxSynMemoSections::FitToLines() {
  const std::int32_t count = LineCount();
  if (root_->LastLine() == count) return;
  std::vector<TSxSynMemoSection*> beyond;
  for (const TSectionEdge* e : edges_.From(count))
    if (e->IsLast) beyond.push_back(e->Owner);
  for (TSxSynMemoSection* s : beyond) Drop(s, false);
  Log({TSectionChange::RootEnd, false, root_->LastLine(), 0});
  root_->last_.Rel = count;
  ShapeChanged();
  owner_.Lines->Pending += pwVisibleMapStale;
}

// --- Marker text ---

void TSxSynMemoSections::ReadMarkers() {
  edges_.Clear();
  root_->Children.clear();
  root_->first_.Rel = -1;
  root_->last_.Rel = LineCount();
  root_->Collapsed = false;
  ShapeChanged();

  TSxSynMemoStrings& lines = *owner_.Lines;
  TSxSynMemoSection* current = root_.get();
  std::vector<TSxSynMemoSection*> open;
  std::int32_t l = 0;
  for (;;) {
    while (l < lines.Count()) {
      const std::string_view text = lines.Get(l);
      const int kind = MarkerKind(text);
      if (kind == 1 || kind == 2) {
        current->Children.push_back(std::make_unique<TSxSynMemoSection>(current, current->Level + 1, kind == 2));
        current = current->Children.back().get();
        edges_.Insert(&current->first_, l);
        open.push_back(current);
        lines.Put(l, std::string(text.substr(4)));
        ++l;
      } else if (kind == 3 && open.empty()) {
        // A stray end marker gets a section that begins on an inserted line.
        lines.Insert(l, kMarkers[0]);
      } else if (kind == 3) {
        TSxSynMemoSection* s = open.back();
        open.pop_back();
        edges_.Insert(&s->last_, l);
        current = s->Parent;
        lines.Put(l, std::string(text.substr(4)));
        ++l;
      } else {
        ++l;
      }
    }
    if (open.empty()) break;
    for (std::size_t k = 0; k < open.size(); ++k) lines.Add(kMarkers[2]);
  }
  root_->last_.Rel = LineCount();
  ShapeChanged();
}

void TSxSynMemoSections::WriteMarkers(std::vector<std::string>& strings) const {
  const auto size = static_cast<std::int32_t>(strings.size());
  auto mark = [&](std::int32_t line, const char* marker) {
    if (line >= 0 && line < size) strings[static_cast<std::size_t>(line)].insert(0, marker);
  };
  std::vector<const TSxSynMemoSection*> work;
  for (auto it = root_->Children.rbegin(); it != root_->Children.rend(); ++it) work.push_back(it->get());
  while (!work.empty()) {
    const TSxSynMemoSection* s = work.back();
    work.pop_back();
    mark(s->FirstLine(), s->Collapsed ? kMarkers[1] : kMarkers[0]);
    mark(s->LastLine(), kMarkers[2]);
    for (auto it = s->Children.rbegin(); it != s->Children.rend(); ++it) work.push_back(it->get());
  }
}
