/** @file ControlFixture.h
 ** A shown editor window (offscreen, monospace font, memory clipboard) and helpers to load text,
 ** drive the caret and read the painted pixels. */
#pragma once

#include <gtest/gtest.h>

#include <QWidget>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "TestText.h"
#include "qt/QtSurface.h"
#include "qt/SyntaxMemoWidget.h"

class ControlFixture : public ::testing::Test {
 protected:
  using Span = std::pair<TTextPos, TTextPos>;

  void SetUp() override {
    window = std::make_unique<QWidget>();
    widget = new TSxSyntaxMemoWidget(window.get());
    memo().SetClipboard(&clipboard);
    memo().SetFont("Lucida Console", -13);
    window->show();
    SetRows(20);
  }

  TSxSyntaxMemo& memo() { return widget->Memo(); }

  // Sizes the window so that exactly `rows` whole rows fit, the text area 400 pixels wide.
  void SetRows(int rows) {
    const int frame = widget->ClientOrigin().x();
    const int w = memo().RowRect(0, rrMargin).Right + 400 + memo().VertScrollBar->Thickness() + 1 + 2 * frame;
    const int h = rows * memo().LineHeight + memo().HorzScrollBar->Thickness() + 2 * frame;
    window->resize(w, h), widget->setGeometry(0, 0, w, h);
    ASSERT_EQ(memo().VisibleRows(), rows);
  }

  void Load(const Lines& lines) { memo().Lines->LoadFromStream(Joined(lines)); }

  TTextPos CaretPos() { return memo().Range->CaretPos; }
  void Caret(std::int32_t x, std::int32_t y) { memo().Range->SetCaretPos(TTextPos{x, y}); }
  Span Sel() { return {memo().Range->StartPos, memo().Range->EndPos}; }
  std::string Line(int i) { return std::string(memo().Lines->Get(i)); }

  TColor Px(int x, int y) const { return widget->PixelAt(x, y); }
  TColor Plain(TColor c) const { return FromQColor(ResolveColor(c, widget->palette())); }
  TColor Background() const { return Plain(SystemColor(5)); }
  int TextLeft() { return memo().RowRect(0, rrText).Left; }
  int RowTop(int row) const { return row * widget->Memo().LineHeight; }
  int ColX(int col, int line) { return TextLeft() + memo().LineTextX(col, line) - memo().LeftOffset; }
  int Count(const TRect& r, TColor c) const {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += Px(x, y) == c;
    return n;
  }

  std::unique_ptr<QWidget> window;
  TSxSyntaxMemoWidget* widget = nullptr;  // owned by window
  TSxMemoryClipboard clipboard;
};
