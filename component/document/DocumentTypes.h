/** @file DocumentTypes.h
 ** Positions, option and change sets, pending work and undo kinds of the document model. */
#pragma once

#include <cstdint>
#include <limits>

#include "../syntax/SyntaxTypes.h"

constexpr std::int32_t MaxInt = std::numeric_limits<std::int32_t>::max();

// A text position: Y the 0-based line, X the 0-based column (may lie beyond the line's end).
// Positions order by line, then column.
struct TTextPos {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TTextPos&, const TTextPos&) = default;
  friend bool operator<(const TTextPos& a, const TTextPos& b) {
    return a.Y < b.Y || (a.Y == b.Y && a.X < b.X);
  }
};
using TPoint = TTextPos;

enum TPendingWorkItem : std::uint8_t {
  pwTextChanged, pwSectionsChanged, pwVisibleMapStale, pwRetokenizeAll, pwLocked
};
using TPendingWork = TSmallSet<TPendingWorkItem, std::uint8_t>;

enum TSxSynMemoOption : std::uint8_t {
  smoShowFileNameInTabSheet, smoShowFileNameInFormCaption, smoReadOnly, smoOverwrite,
  smoSkipSectionsOnCopy, smoSkipSectionsOnPaste, smoAutoGutterWidth, smoWriteMarkersOnSave,
  smoVSNET_SectionsStyle, smoBreakPointsNeedPosibility, smoShowCursorPos, smoShowPageScroll,
  smoPanning, smoHorPanning, smoVerPanningReverse, smoHighlightLine, smoSolidSpecialLine,
  smoGroupUndo, smoTabulatedReturn
};
constexpr int SynMemoOptionCount = 19;
using TSxSynMemoOptions = TSmallSet<TSxSynMemoOption, std::uint32_t>;

enum TChangedItem : std::uint8_t { ciText, ciSelection, ciSections, ciUndoStack, ciOptions };
using TChangedItems = TSmallSet<TChangedItem, std::uint8_t>;

enum TUndoKind : std::uint8_t { ukPlain, ukTyping, ukDelete, ukPaste, ukCut, ukCaret };
