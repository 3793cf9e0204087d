/** @file Scrolling.cpp
 ** The view's position: scrolling with clamping, scrolling a position into view,
 ** going to a line, the scroll bars and the page-scroll spin bar, the hover word. */
#include <algorithm>
#include <limits>

#include "SyntaxMemo.h"

namespace {
// Pixels per character for the horizontal range and ScrollIntoView: an estimate,
// whatever the font, so that no line has to be measured.
constexpr std::int64_t EstimatedCharWidth = 10;
}  // namespace

std::int32_t TSxCustomSyntaxMemo::VertScrollMax() {
  return std::max<std::int32_t>(SectionTree->VisibleCount() - VisibleRows(), 0);
}

std::int32_t TSxCustomSyntaxMemo::HorzScrollMax() const {
  const std::int64_t m =
      static_cast<std::int64_t>(Lines->MaxLineLength()) * EstimatedCharWidth - RowRect(-1, rrText).Width();
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(m, 0, std::numeric_limits<std::int32_t>::max()));
}

void TSxCustomSyntaxMemo::ScrollTo(int x, std::int32_t y) {
  if (x != LeftOffset) x = std::clamp(x, 0, HorzScrollMax());
  if (y != TopLine) {
    // The range is computed from the current visible map, so a line that a fold has
    // just revealed counts; an empty document keeps line 0 on top.
    const std::int32_t index = std::clamp(VisibleIndexOf(y), 0, VertScrollMax());
    y = std::max<std::int32_t>(LineOfVisibleIndex(index), 0);
  }
  if (x == LeftOffset && y == TopLine) return;
  LeftOffset = x;
  TopLine = y;
  InvalidateAll();
  UpdateScrollBars();
}

void TSxCustomSyntaxMemo::ScrollAxis(int axis, std::int32_t value) {
  if (axis == 0) {
    ScrollTo(value, TopLine);
  } else if (axis == 1) {
    ScrollTo(LeftOffset, value);
  }
}

void TSxCustomSyntaxMemo::ScrollIntoView(std::int32_t col, std::int32_t line, std::int32_t len) {
  const int r = RowOfLine(line);
  if (r == -2) return;
  std::int32_t top = TopLine;
  if (r == -1) {
    top = line;
  } else if (r == -3) {
    top = LineAtOffset(line, 1 - std::max(VisibleRows(), 1), true);
  }
  const TRect t = RowRect(0, rrText);
  const std::int64_t w = std::int64_t{len} * EstimatedCharWidth;
  const int x = LineTextX(col, line);
  std::int64_t left = LeftOffset;
  if (x < LeftOffset) {
    left = x;
  } else if (x + w - LeftOffset > t.Width()) {
    left = x + w - t.Width();
  }
  const int newLeft = static_cast<int>(std::clamp<std::int64_t>(left, 0, std::numeric_limits<int>::max()));
  if (newLeft == LeftOffset && top == TopLine) return;
  ScrollTo(newLeft, top);
}

void TSxCustomSyntaxMemo::GotoLine(std::int32_t col, std::int32_t line) {
  if (!Lines->IsValidLine(line)) return;
  Lines->BeginUpdate();
  SectionTree->ExpandSection(line, false, true);
  // The expanded line must count as visible for the scroll below.
  SectionTree->RebuildVisibleMap();
  ScrollTo(0, LineAtOffset(line, -2, true));
  Range->SetCaretPos(TTextPos{col, line});
  Lines->EndUpdate();
}

void TSxCustomSyntaxMemo::UpdateScrollBars() {
  if (!host_.HasParent() || Lines->UpdateCount() > 0) return;
  auto vertHandler = std::move(VertScrollBar->OnChange);
  auto horzHandler = std::move(HorzScrollBar->OnChange);
  VertScrollBar->OnChange = nullptr;
  HorzScrollBar->OnChange = nullptr;

  const int v = VisibleRows();
  const std::int32_t n = SectionTree->VisibleCount();
  const std::int32_t vmax = std::max<std::int32_t>(n - v, 0);
  VertScrollBar->SetRange(0, vmax);
  VertScrollBar->SetEnabled(vmax >= 1);
  VertScrollBar->SetPosition(Lines->Count() > 0 ? std::max<std::int32_t>(VisibleIndexOf(TopLine), 0) : 0);
  VertScrollBar->SetSteps(1, std::max(v - 2, 1));
  if (PageScrollBar) PageScrollBar->SetEnabled(v < n);

  const std::int32_t hmax = HorzScrollMax();
  HorzScrollBar->SetRange(0, hmax);
  HorzScrollBar->SetEnabled(hmax > 0);
  HorzScrollBar->SetPosition(LeftOffset);
  HorzScrollBar->SetSteps(1, 32);

  VertScrollBar->OnChange = std::move(vertHandler);
  HorzScrollBar->OnChange = std::move(horzHandler);
}

void TSxCustomSyntaxMemo::ScrollBarChanged(TSxScrollBar* sender) {
  if (sender == VertScrollBar.get()) {
    ScrollAxis(1, LineOfVisibleIndex(VertScrollBar->Position()));
  } else {
    ScrollAxis(0, HorzScrollBar->Position());
  }
}

void TSxCustomSyntaxMemo::PageScrollChanged() {
  if (!PageScrollBar) return;
  const int p = PageScrollBar->Position();
  if (p == 0) return;
  ScrollAxis(1, LineAtOffset(TopLine, (VisibleRows() - 1) * p, true));
  if (PageScrollBar) PageScrollBar->SetPosition(0);
}

void TSxCustomSyntaxMemo::SetHoverWord(TTextPos pt) {
  Lines->BeginUpdate();
  if (Lines->IsValidLine(HoverWord.Y)) InvalidateLine(HoverWord.Y);
  HoverWord = TTextPos{-1, -1};
  if (Lines->IsValidLine(pt.Y) && pt.X >= 0 && pt.X < Lines->TokenCount(pt.Y)) {
    const TSxSyntaxToken t = StoredToken(pt.Y, pt.X);
    ScrollIntoView(static_cast<std::int32_t>(t.Start), pt.Y, static_cast<std::int32_t>(t.Len));
    HoverWord = pt;
    InvalidateLine(pt.Y);
  }
  Lines->EndUpdate();
}
