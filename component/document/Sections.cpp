/** @file Sections.cpp
 ** The section tree's shape operations, marker text and the visible-line map.
 ** A line's innermost section and its visible row are answered from the tree and
 ** the sorted list of hidden runs, so no per-line data needs rewriting on an edit. */
#include "Sections.h"

#include <algorithm>

#include "MemoModel.h"

namespace {
const char* const kMarkers[] = {"{<+}", "{<-}", "{>>}"};

// A free list of section-sized blocks, refilled a slab at a time. Blocks are reused,
// never returned to the system; the user-interface thread is the only user.
class TSectionPool {
 public:
  void* Take() {
    if (!free_) Refill();
    Block* b = free_;
    free_ = b->next;
    return b;
  }
  void Give(void* p) {
    auto* b = static_cast<Block*>(p);
    b->next = free_;
    free_ = b;
  }

 private:
  union Block {
    Block* next;
    alignas(TSxSynMemoSection) unsigned char bytes[sizeof(TSxSynMemoSection)];
  };
  void Refill() {
    constexpr std::size_t kSlab = 1024;
    slabs_.push_back(std::make_unique<Block[]>(kSlab));
    Block* slab = slabs_.back().get();
    for (std::size_t i = 0; i < kSlab; ++i) {
      slab[i].next = free_;
      free_ = &slab[i];
    }
  }
  Block* free_ = nullptr;
  std::vector<std::unique_ptr<Block[]>> slabs_;
};

TSectionPool& Pool() {
  static TSectionPool pool;
  return pool;
}
}  // namespace

// Sanitizer builds allocate each section on its own so use-after-free stays visible.
#if defined(__SANITIZE_ADDRESS__)
#define SX_SECTION_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SX_SECTION_POOL 0
#endif
#endif
#ifndef SX_SECTION_POOL
#define SX_SECTION_POOL 1
#endif

void* TSxSynMemoSection::operator new(std::size_t size) {
  return SX_SECTION_POOL && size == sizeof(TSxSynMemoSection) ? Pool().Take() : ::operator new(size);
}

void TSxSynMemoSection::operator delete(void* p, std::size_t size) {
  if (SX_SECTION_POOL && size == sizeof(TSxSynMemoSection)) Pool().Give(p);
  else ::operator delete(p);
}

TSxSynMemoSection* TSxSynMemoSection::ChildSection(int i) const {
  if (i < 0 || i >= Count())
    throw ESxAssertion("Bad nested section index: " + std::to_string(i) + " (UnitSyntaxMemo)");
  return Children[static_cast<std::size_t>(i)].get();
}

int TSxSynMemoSection::IndexOfChild(const TSxSynMemoSection* child) const {
  for (int i = Count() - 1; i >= 0; --i)
    if (Children[static_cast<std::size_t>(i)].get() == child) return i;
  return -1;
}

void TSxSynMemoSection::SetLevel(std::int32_t level) {
  Level = level;
  for (auto& c : Children) c->SetLevel(level + 1);
}

TSxSMSectionClone* TSxSMSectionClone::Clone() const {
  auto* copy = new TSxSMSectionClone(nullptr, FirstLine, LastLine, 0, false);
  // Iterative pre-order copy: deep trees do not deepen the stack.
  std::vector<std::pair<const TSxSynMemoSection*, TSxSynMemoSection*>> work{{this, copy}};
  while (!work.empty()) {
    auto [from, to] = work.back();
    work.pop_back();
    to->Children.reserve(from->Children.size());
    for (const auto& c : from->Children) {
      to->Children.push_back(std::make_unique<TSxSynMemoSection>(to, c->FirstLine, c->LastLine, c->Level, c->Collapsed));
      work.emplace_back(c.get(), to->Children.back().get());
    }
  }
  return copy;
}

TSxSynMemoSections::TSxSynMemoSections(TSxMemoModel& owner) : owner_(owner) {
  root_ = new TSxSMSectionClone(nullptr, -1, 0, 0, false);
  root_->AddRef();
  ReadMarkers();
}

TSxSynMemoSections::~TSxSynMemoSections() { root_->Release(); }

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
  TSxSynMemoSection* s = root_;
  for (;;) {
    auto& kids = s->Children;
    auto it = std::upper_bound(kids.begin(), kids.end(), line,
                               [](std::int32_t l, const auto& c) { return l < c->FirstLine; });
    if (it == kids.begin()) return s;
    TSxSynMemoSection* c = (it - 1)->get();
    if (!c->Contains(line)) return s;
    s = c;
  }
}

int TSxSynMemoSections::LineRole(std::int32_t line) const {
  const TSxSynMemoSection* s = SectionOf(line);
  if (s == root_) return 0;
  if (line == s->FirstLine) return s->Collapsed ? 2 : 1;
  if (line == s->LastLine) return 3;
  return 0;
}

int TSxSynMemoSections::MarkerKind(std::string_view text) {
  for (int k = 0; k < 3; ++k)
    if (text.substr(0, 4) == kMarkers[k]) return k + 1;
  return 0;
}

void TSxSynMemoSections::SectionsChanged() {
  owner_.Lines->Pending += TPendingWork{pwSectionsChanged, pwVisibleMapStale};
  dirty_ = true;
}

void TSxSynMemoSections::RebuildIfStale() {
  if (dirty_ || owner_.Lines->Pending.Contains(pwVisibleMapStale)) RebuildVisibleMap();
}

void TSxSynMemoSections::RebuildVisibleMap() {
  runs_.clear();
  hiddenTotal_ = 0;
  maxLevel_ = maxVisibleLevel_ = 0;
  CollectHiddenRuns(root_, true);
  dirty_ = false;
  owner_.Lines->Pending -= pwVisibleMapStale;
  owner_.DoChange({ciSections});
}

void TSxSynMemoSections::CollectHiddenRuns(const TSxSynMemoSection* s, bool visible) {
  maxLevel_ = std::max(maxLevel_, s->Level);
  if (visible) maxVisibleLevel_ = std::max(maxVisibleLevel_, s->Level);
  if (visible && s->Collapsed && s != root_) {
    const std::int32_t first = s->FirstLine + 1;
    const std::int32_t last = std::min(s->LastLine, LineCount() - 1);
    if (first <= last) {
      runs_.push_back({first, last, hiddenTotal_});
      hiddenTotal_ += last - first + 1;
    }
  }
  const bool childrenVisible = visible && !(s->Collapsed && s != root_);
  for (const auto& c : s->Children) CollectHiddenRuns(c.get(), childrenVisible);
}

std::int32_t TSxSynMemoSections::VisibleCount() {
  RebuildIfStale();
  return std::max(0, LineCount() - hiddenTotal_);
}

std::int32_t TSxSynMemoSections::VisibleIndexOf(std::int32_t line) {
  RebuildIfStale();
  if (line < 0 || line >= LineCount()) return -1;
  auto it = std::upper_bound(runs_.begin(), runs_.end(), line,
                             [](std::int32_t l, const HiddenRun& r) { return l < r.first; });
  if (it == runs_.begin()) return line;
  const HiddenRun& r = *(it - 1);
  if (line <= r.last) return -1;
  return line - (r.hiddenBefore + r.last - r.first + 1);
}

std::int32_t TSxSynMemoSections::LineOfVisibleIndex(std::int32_t index) {
  RebuildIfStale();
  if (index < 0 || index >= VisibleCount()) return -1;
  // Run k starts hiding at visible index first - hiddenBefore; rows at or past it skip it.
  auto it = std::upper_bound(runs_.begin(), runs_.end(), index, [](std::int32_t v, const HiddenRun& r) {
    return v < r.first - r.hiddenBefore;
  });
  if (it == runs_.begin()) return index;
  const HiddenRun& r = *(it - 1);
  return index + r.hiddenBefore + (r.last - r.first + 1);
}

bool TSxSynMemoSections::IsSectionVisible(const TSxSynMemoSection* section) {
  RebuildIfStale();
  return section && VisibleIndexOf(section->FirstLine) >= 0;
}

void TSxSynMemoSections::Unshare() {
  if (owner_.Lines->Pending.Contains(pwLocked) || root_->RefCount <= 1) return;
  // The copy has the same shape, so the visible map stays right; it is rebuilt
  // when the change that needed the copy is done, not twice.
  TSxSMSectionClone* copy = root_->Clone();
  copy->AddRef();
  root_->Release();
  root_ = copy;
  dirty_ = true;
}

void TSxSynMemoSections::SetRoot(TSxSMSectionClone* newRoot) {
  if (newRoot != root_) {
    newRoot->AddRef();
    root_->Release();
    root_ = newRoot;
  }
  dirty_ = true;
  RebuildVisibleMap();
}

TSxSynMemoSection* TSxSynMemoSections::AddSection(std::int32_t firstLine, std::int32_t lastLine, bool collapsed) {
  // A range outside the text, or of fewer than two lines, has no markers and would
  // break the tree's invariants: refused before anything changes.
  if (firstLine < 0 || lastLine >= LineCount() || firstLine >= lastLine) return nullptr;
  // The queries below walk the tree, not the visible map: a stale map is rebuilt
  // once when the update closes, not once per section added inside it.
  Unshare();
  TSxSynMemoSection* a = SectionOf(lastLine);
  TSxSynMemoSection* b = SectionOf(firstLine);
  if (b->Parent == a && LineRole(lastLine) == 0) {
    RemoveSection(firstLine, false);
  } else if (a->Parent == b && LineRole(firstLine) == 0) {
    RemoveSection(firstLine, false);
  }
  TSxSynMemoSection* p = SectionOf(firstLine);
  if (p != SectionOf(lastLine) || LineRole(firstLine) != 0 || LineRole(lastLine) != 0) return nullptr;

  owner_.Lines->BeginUpdate();
  auto n = std::make_unique<TSxSynMemoSection>(p, firstLine, lastLine, 0, collapsed);
  n->SetLevel(p->Level + 1);
  auto& kids = p->Children;
  // Children are ordered by FirstLine, so those inside the new range form one run.
  auto lo = std::lower_bound(kids.begin(), kids.end(), firstLine,
                             [](const auto& c, std::int32_t l) { return c->FirstLine < l; });
  auto hi = lo;
  for (; hi != kids.end() && (*hi)->FirstLine <= lastLine; ++hi) {
    (*hi)->Parent = n.get();
    (*hi)->SetLevel(n->Level + 1);
    n->Children.push_back(std::move(*hi));
  }
  TSxSynMemoSection* result = n.get();
  kids.insert(kids.erase(lo, hi), std::move(n));
  SectionsChanged();
  owner_.InvalidateAll();
  owner_.Lines->SetModified(true);
  owner_.Lines->EndUpdate();
  owner_.DoChange({ciText, ciSelection, ciSections});
  return result;
}

void TSxSynMemoSections::Drop(TSxSynMemoSection* s, bool recursive) {
  if (s == root_ || !s->Parent) return;
  TSxSynMemoSection* parent = s->Parent;
  const int k = parent->IndexOfChild(s);
  std::vector<std::unique_ptr<TSxSynMemoSection>> kids = std::move(s->Children);
  std::vector<TSxSynMemoSection*> moved;
  for (auto& c : kids) {
    c->SetLevel(c->Level - 1);
    c->Parent = parent;
    moved.push_back(c.get());
  }
  auto& siblings = parent->Children;
  siblings.insert(siblings.begin() + k + 1, std::make_move_iterator(kids.begin()), std::make_move_iterator(kids.end()));
  siblings.erase(siblings.begin() + k);
  if (recursive)
    for (TSxSynMemoSection* c : moved) Drop(c, true);
}

void TSxSynMemoSections::RemoveSection(std::int32_t line, bool recursive) {
  // Like AddSection, this walks the tree only; the map is rebuilt when the update closes.
  Unshare();
  owner_.Lines->BeginUpdate();
  Drop(SectionOf(line), recursive);
  SectionsChanged();
  owner_.InvalidateAll();
  owner_.Lines->SetModified(true);
  owner_.Lines->EndUpdate();
  owner_.DoChange({ciText, ciSelection, ciSections});
}

namespace {
void Fold(TSxSynMemoSection* s, const TSxSynMemoSection* start, const TSxSynMemoSection* root, bool recursive,
          bool childrenOnly) {
  if (recursive)
    for (auto it = s->Children.rbegin(); it != s->Children.rend(); ++it) Fold(it->get(), start, root, true, childrenOnly);
  if (s != root && !(childrenOnly && s == start)) s->Collapsed = true;
}

void Unfold(TSxSynMemoSection* s, bool recursive) {
  s->Collapsed = false;
  if (recursive)
    for (auto it = s->Children.rbegin(); it != s->Children.rend(); ++it) Unfold(it->get(), true);
}
}  // namespace

void TSxSynMemoSections::CollapseSection(std::int32_t line, bool recursive, bool childrenOnly) {
  RebuildIfStale();
  owner_.Lines->BeginUpdate();
  TSxSynMemoSection* s = SectionOf(line);
  Fold(s, s, root_, recursive, childrenOnly);
  owner_.Lines->Pending += pwVisibleMapStale;
  dirty_ = true;
  owner_.InvalidateAll();
  owner_.Lines->EndUpdate();
  owner_.DoChange({ciSections});
}

void TSxSynMemoSections::ExpandSection(std::int32_t line, bool recursive, bool withParents) {
  RebuildIfStale();
  owner_.Lines->BeginUpdate();
  TSxSynMemoSection* s = SectionOf(line);
  Unfold(s, recursive);
  if (s == root_) s->Collapsed = false;
  if (withParents) {
    for (TSxSynMemoSection* cur = s; cur->Level > 1 && cur->Parent; cur = cur->Parent) cur->Parent->Collapsed = false;
  }
  owner_.Lines->Pending += pwVisibleMapStale;
  dirty_ = true;
  owner_.InvalidateAll();
  owner_.Lines->EndUpdate();
  owner_.DoChange({ciSections});
}

TSxSynMemoSection* TSxSynMemoSections::NextSection(TSxSynMemoSection* s) const {
  if (!s) return nullptr;
  if (!s->Children.empty()) return s->Children.front().get();
  for (;;) {
    if (s == root_ || !s->Parent) return nullptr;
    TSxSynMemoSection* parent = s->Parent;
    const int k = parent->IndexOfChild(s);
    if (k + 1 < parent->Count()) return parent->Children[static_cast<std::size_t>(k + 1)].get();
    s = parent;
  }
}

TSxSynMemoSection* TSxSynMemoSections::PrevSection(TSxSynMemoSection* s) const {
  if (!s || s == root_ || !s->Parent) return nullptr;
  TSxSynMemoSection* parent = s->Parent;
  const int k = parent->IndexOfChild(s);
  if (k <= 0) return parent == root_ ? nullptr : parent;
  TSxSynMemoSection* p = parent->Children[static_cast<std::size_t>(k - 1)].get();
  while (!p->Children.empty()) p = p->Children.back().get();
  return p;
}

namespace {
// Moves every boundary at or after index one line down. Children are ordered and
// disjoint, so the walk from the last child stops at the first one wholly before index.
void Shift(TSxSynMemoSection* s, std::int32_t index, TSxSynMemoSection*& innermost) {
  if (index <= s->FirstLine) ++s->FirstLine;
  if (index > s->LastLine) return;
  ++s->LastLine;
  if (s->Contains(index) && innermost->Level < s->Level) innermost = s;
  for (auto it = s->Children.rbegin(); it != s->Children.rend(); ++it) {
    TSxSynMemoSection* c = it->get();
    if (c->LastLine < index && c->FirstLine < index) break;
    Shift(c, index, innermost);
  }
}

void Shrink(TSxSynMemoSection* s, std::int32_t index) {
  if (index < s->FirstLine) --s->FirstLine;
  if (index >= s->LastLine) return;
  --s->LastLine;
  for (auto it = s->Children.rbegin(); it != s->Children.rend(); ++it) {
    TSxSynMemoSection* c = it->get();
    if (c->LastLine <= index && c->FirstLine <= index) break;
    Shrink(c, index);
  }
}
}  // namespace

void TSxSynMemoSections::LineInserted(std::int32_t index) {
  Unshare();
  TSxSynMemoSection* innermost = root_;
  Shift(root_, index, innermost);
  SectionsChanged();
}

void TSxSynMemoSections::LineDeleted(std::int32_t index) {
  Unshare();
  if (LineRole(index) != 0) RemoveSection(index, false);
  Shrink(root_, index);
  SectionsChanged();
}

void TSxSynMemoSections::ReadMarkers() {
  // A tree still held by undo records is left to them; the document gets a fresh one.
  if (root_->RefCount > 1) {
    auto* fresh = new TSxSMSectionClone(nullptr, -1, 0, 0, false);
    fresh->AddRef();
    root_->Release();
    root_ = fresh;
  }
  root_->Children.clear();
  root_->Parent = nullptr;
  root_->FirstLine = -1;
  root_->LastLine = LineCount();
  root_->Level = 0;
  root_->Collapsed = false;
  dirty_ = true;

  TSxSynMemoStrings& lines = *owner_.Lines;
  TSxSynMemoSection* current = root_;
  std::vector<TSxSynMemoSection*> open;
  std::int32_t l = 0;
  for (;;) {
    while (l < lines.Count()) {
      const std::string_view text = lines.Get(l);
      const int kind = MarkerKind(text);
      if (kind == 1 || kind == 2) {
        current->Children.push_back(
            std::make_unique<TSxSynMemoSection>(current, l, -1, current->Level + 1, kind == 2));
        current = current->Children.back().get();
        open.push_back(current);
        lines.Put(l, std::string(text.substr(4)));
        ++l;
      } else if (kind == 3 && open.empty()) {
        // A stray end marker gets a section that begins on an inserted line.
        lines.Insert(l, kMarkers[0]);
      } else if (kind == 3) {
        TSxSynMemoSection* s = open.back();
        open.pop_back();
        s->LastLine = l;
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
  root_->LastLine = LineCount();
  dirty_ = true;
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
    mark(s->FirstLine, s->Collapsed ? kMarkers[1] : kMarkers[0]);
    mark(s->LastLine, kMarkers[2]);
    for (auto it = s->Children.rbegin(); it != s->Children.rend(); ++it) work.push_back(it->get());
  }
}
