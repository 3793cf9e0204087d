/** @file Bookmarks.h
 ** Ten numbered bookmarks and the per-row breakpoints with their veto event.
 ** Both hold row numbers and do not follow inserted or deleted lines. */
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../platform/Surface.h"

class TSxMemoModel;
class TSxBreakPointCollection;

// Loads a glyph bitmap by resource name; installed by the platform layer.
// Without a loader the glyphs are empty bitmaps and nothing is drawn.
using TSxBitmapLoader = std::function<std::unique_ptr<TSxBitmap>(const char* name)>;
void SetBitmapLoader(TSxBitmapLoader loader);
std::unique_ptr<TSxBitmap> LoadBitmapResource(const char* name);

class TSxBookmarkManager {
 public:
  explicit TSxBookmarkManager(TSxMemoModel& memo);
  void ClearBookmarks();
  bool FindBookmark(std::int32_t row, std::uint8_t& index) const;
  std::int32_t GetBookmark(int index) const;
  void SetBookmark(int index, std::int32_t row);
  void DrawGlyph(TSxSurface& canvas, int x, int index, int y) const;

  TSxMemoModel& Memo;
  std::array<std::int32_t, 10> Rows;
  std::unique_ptr<TSxBitmap> Glyphs;
};

enum TBreakPointState : std::uint8_t { bpsPossible, bpsEnabled, bpsDisabled };
enum TBPAction : std::uint8_t { bpaSet, bpaDelete };

class TBreakPoint {
 public:
  explicit TBreakPoint(TSxBreakPointCollection& owner) : Owner(owner) {}
  void SetState(std::uint8_t value);

  std::string UserText1;
  std::int32_t UserValue = 0;
  std::string UserText2;
  std::string UserText3;
  std::uint8_t State = bpsPossible;
  TSxBreakPointCollection& Owner;
};

// Sender (the control), Row, Action, CanChange (in/out).
using TOnBeforeBreakPointChangedNotify =
    std::function<void(TSxMemoModel& sender, std::int32_t row, TBPAction action, bool& canChange)>;

class TSxBreakPointCollection {
 public:
  explicit TSxBreakPointCollection(TSxMemoModel& memo);
  ~TSxBreakPointCollection();

  void SetBreakPoint(std::int32_t row, std::uint8_t state, const std::string& userText1 = {},
                     std::int32_t userValue = 0, const std::string& userText2 = {},
                     const std::string& userText3 = {});
  bool DeleteBreakPoint(std::int32_t row);
  bool GetState(std::int32_t row, std::uint8_t& state) const;
  TBreakPoint* BreakPointAt(std::int32_t row) const;
  bool HasBreakPoint(std::int32_t row) const;
  void ChangeBreakPoint(std::int32_t row, bool setIt);
  void BreakPointChanged(TBreakPoint& record);
  void DrawGlyph(TSxSurface& canvas, int x, int state, int y) const;
  int Count() const { return static_cast<int>(Items.size()); }

  struct Entry {
    std::string Row;  // the row in decimal; Items stay sorted by this text
    std::unique_ptr<TBreakPoint> Point;
  };

  TSxMemoModel& Memo;
  std::vector<Entry> Items;
  std::unique_ptr<TSxBitmap> Glyphs;
  std::unique_ptr<TSxBitmap> GlyphMask;
  bool NeedPossibility = false;
  void* PopupMenu = nullptr;  // the host's breakpoint menu; the control only stores it
  TOnBeforeBreakPointChangedNotify OnBeforeBreakPointChanged;
  std::int32_t CurrentRow = -1;
};
