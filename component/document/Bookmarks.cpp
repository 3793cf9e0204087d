/** @file Bookmarks.cpp
 ** Bookmarks and breakpoints. Breakpoint entries are ordered by the decimal text of
 ** their row, and every lookup searches by that same text, so the order and the
 ** search always agree ("10" lies before "9"). */
#include "Bookmarks.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "MemoModel.h"

namespace {

TSxBitmapLoader& Loader() {
  static TSxBitmapLoader loader;
  return loader;
}

// Holds an update of the line store open for the lifetime of the guard.
class TUpdateGuard {
 public:
  explicit TUpdateGuard(TSxSynMemoStrings& lines) : lines_(lines) { lines_.BeginUpdate(); }
  ~TUpdateGuard() { lines_.EndUpdate(); }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

 private:
  TSxSynMemoStrings& lines_;
};

// A bitmap without pixels, for glyph sets whose resource is absent.
class TEmptyBitmap : public TSxBitmap {
 public:
  int Width() const override { return 0; }
  int Height() const override { return 0; }
  TColor Pixel(int, int) const override { return 0; }
};

constexpr int kGlyphSize = 11;

}  // namespace

void SetBitmapLoader(TSxBitmapLoader loader) { Loader() = std::move(loader); }

std::unique_ptr<TSxBitmap> LoadBitmapResource(const char* name) {
  std::unique_ptr<TSxBitmap> bitmap;
  if (Loader()) bitmap = Loader()(name);
  if (!bitmap) bitmap = std::make_unique<TEmptyBitmap>();
  return bitmap;
}

// ---- Bookmarks ----------------------------------------------------------------

TSxBookmarkManager::TSxBookmarkManager(TSxMemoModel& memo)
    : Memo(memo), Glyphs(LoadBitmapResource("BOOKMARKS")) {
  ClearBookmarks();
}

void TSxBookmarkManager::ClearBookmarks() { Rows.fill(-1); }

bool TSxBookmarkManager::FindBookmark(std::int32_t row, std::uint8_t& index) const {
  for (std::size_t i = 0; i < Rows.size(); ++i) {
    if (Rows[i] == row) {
      index = static_cast<std::uint8_t>(i);
      return true;
    }
  }
  return false;
}

std::int32_t TSxBookmarkManager::GetBookmark(int index) const {
  if (index < 0 || index >= static_cast<int>(Rows.size())) return -1;
  return Rows[static_cast<std::size_t>(index)];
}

void TSxBookmarkManager::SetBookmark(int index, std::int32_t row) {
  if (index < 0 || index >= static_cast<int>(Rows.size())) return;
  TUpdateGuard update(*Memo.Lines);
  std::uint8_t present = 0;
  // A row carries at most one bookmark: whatever sits on it goes; the same number
  // toggles off.
  if (FindBookmark(row, present)) {
    Rows[present] = -1;
    if (present == index) {
      Memo.InvalidateLine(row);
      return;
    }
  }
  std::int32_t& slot = Rows[static_cast<std::size_t>(index)];
  if (slot != -1 && slot != row) {
    const std::int32_t old = slot;
    slot = -1;
    Memo.InvalidateLine(old);
  }
  slot = row;
  Memo.InvalidateLine(row);
}

void TSxBookmarkManager::DrawGlyph(TSxSurface& canvas, int x, int index, int y) const {
  if (!Glyphs || Glyphs->Width() < (index + 1) * kGlyphSize || index < 0) return;
  canvas.DrawGlyph(x, y, *Glyphs, index * kGlyphSize, nullptr);
}

// ---- Breakpoints --------------------------------------------------------------

void TBreakPoint::SetState(std::uint8_t value) {
  State = value;
  Owner.BreakPointChanged(*this);
}

namespace {

std::string RowText(std::int32_t row) { return std::to_string(row); }

template <typename Items>
auto FindEntry(Items& items, const std::string& key) {
  auto it = std::lower_bound(items.begin(), items.end(), key,
                             [](const auto& entry, const std::string& k) { return entry.Row < k; });
  return (it != items.end() && it->Row == key) ? it : items.end();
}

}  // namespace

TSxBreakPointCollection::TSxBreakPointCollection(TSxMemoModel& memo)
    : Memo(memo),
      Glyphs(LoadBitmapResource("BREAKPOINTS")),
      GlyphMask(LoadBitmapResource("BREAKPOINTSMASK")) {}

TSxBreakPointCollection::~TSxBreakPointCollection() {
  // No event may reach the control while it is being torn down.
  OnBeforeBreakPointChanged = nullptr;
  Items.clear();
}

void TSxBreakPointCollection::SetBreakPoint(std::int32_t row, std::uint8_t state,
                                            const std::string& userText1, std::int32_t userValue,
                                            const std::string& userText2,
                                            const std::string& userText3) {
  if (row == -1) return;
  DeleteBreakPoint(row);
  auto point = std::make_unique<TBreakPoint>(*this);
  point->UserText1 = userText1;
  point->UserValue = userValue;
  point->UserText2 = userText2;
  point->UserText3 = userText3;
  point->SetState(state);  // not yet listed: its notification finds nothing
  std::string key = RowText(row);
  auto at = std::lower_bound(Items.begin(), Items.end(), key,
                             [](const Entry& e, const std::string& k) { return e.Row < k; });
  Items.insert(at, Entry{std::move(key), std::move(point)});
  Memo.InvalidateLine(row);
  CurrentRow = row;
}

bool TSxBreakPointCollection::DeleteBreakPoint(std::int32_t row) {
  if (row == -1) return false;
  bool removed = false;
  auto it = FindEntry(Items, RowText(row));
  if (it != Items.end()) {
    Items.erase(it);
    removed = true;
  }
  Memo.InvalidateLine(row);
  return removed;
}

TBreakPoint* TSxBreakPointCollection::BreakPointAt(std::int32_t row) const {
  auto it = FindEntry(Items, RowText(row));
  return it != Items.end() ? it->Point.get() : nullptr;
}

bool TSxBreakPointCollection::GetState(std::int32_t row, std::uint8_t& state) const {
  const TBreakPoint* point = BreakPointAt(row);
  if (!point) return false;
  state = point->State;
  return true;
}

bool TSxBreakPointCollection::HasBreakPoint(std::int32_t row) const {
  const TBreakPoint* point = BreakPointAt(row);
  if (!point) return false;
  return !NeedPossibility || point->State == bpsEnabled || point->State == bpsDisabled;
}

void TSxBreakPointCollection::ChangeBreakPoint(std::int32_t row, bool setIt) {
  if (row == -1) return;
  bool canChange = true;
  if (OnBeforeBreakPointChanged) {
    OnBeforeBreakPointChanged(Memo, row, setIt ? bpaSet : bpaDelete, canChange);
  }
  if (!canChange) return;
  if (!NeedPossibility) {
    if (setIt) {
      SetBreakPoint(row, bpsEnabled);
    } else {
      DeleteBreakPoint(row);
    }
    return;
  }
  // Only rows the host registered may change, and they keep their record: "delete"
  // turns a breakpoint back into a possible one.
  const TBreakPoint* point = BreakPointAt(row);
  if (!point) return;
  if (setIt) {
    if (point->State == bpsPossible) SetBreakPoint(row, bpsEnabled);
  } else if (point->State != bpsPossible) {
    SetBreakPoint(row, bpsPossible);
  }
}

void TSxBreakPointCollection::BreakPointChanged(TBreakPoint& record) {
  for (const Entry& e : Items) {
    if (e.Point.get() != &record) continue;
    std::int32_t row = -1;
    std::from_chars(e.Row.data(), e.Row.data() + e.Row.size(), row);
    CurrentRow = row;
    Memo.InvalidateLine(row);
    return;
  }
}

void TSxBreakPointCollection::DrawGlyph(TSxSurface& canvas, int x, int state, int y) const {
  if (!Glyphs || !GlyphMask || state < 0) return;
  const int cell = state * kGlyphSize;
  if (Glyphs->Width() < cell + kGlyphSize || GlyphMask->Width() < cell + kGlyphSize) return;
  canvas.DrawGlyph(x, y, *Glyphs, cell, GlyphMask.get());
}
