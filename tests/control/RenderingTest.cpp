// Pixels of painted rows: token colours, selection, underlines, fold marks, breakpoint lines.
#include "ControlFixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QBackingStore>
#include <QScrollBar>
#include <QWindow>

namespace {

constexpr TColor Red = RGBColor(255, 0, 0), Yellow = RGBColor(255, 255, 0), Black = RGBColor(0, 0, 0);
constexpr TColor White = RGBColor(255, 255, 255), Grey = RGBColor(128, 128, 128), Blue = RGBColor(0, 0, 255);

class RenderingTest : public ControlFixture {
 protected:
  // Text never reaches a row's bottom pixel row; fills and selection do.
  int Floor(int row) const { return RowTop(row) + 15; }
  int TextRight(int row) { return memo().RowRect(row, rrText).Right; }
  struct Probe { int x, y; TColor c; };
  void Expect(std::initializer_list<Probe> probes) {
    for (const Probe& p : probes) EXPECT_EQ(Px(p.x, p.y), p.c) << p.x << "," << p.y;
  }
};

TEST_F(RenderingTest, TokensUseTheirKindsColoursAndBoldWidthsAboveEmptyRows) {
  memo().SyntaxAttributes->TokenAttrs[tokText] = TTokenAttr{Red, Yellow, fsBold};
  Load({"word  next"});
  EXPECT_GT(Count(TRect{ColX(0, 0), 0, ColX(4, 0), 15}, Red), 0);
  // The gap between tokens has no token background; rows below the last line: gutter and empty text.
  Expect({{ColX(0, 0), Floor(0), Yellow}, {ColX(4, 0) - 1, Floor(0), Yellow}, {ColX(5, 0), Floor(0), Background()},
          {5, RowTop(5) + 5, Plain(SystemColor(15))}});
  int bold = 0;
  for (char c : std::string("word")) bold += memo().CharWidths[1][static_cast<unsigned char>(c)];
  EXPECT_EQ(memo().LineTextX(4, 0), bold);
}

// Selected text is black on the selection colour, from the start column to the end column.
TEST_F(RenderingTest, SelectionFillsFromStartColumnToEndColumnAcrossLines) {
  memo().SyntaxAttributes->TokenAttrs[tokText].Fore = Red;
  Load({"abcdef", "abcdef", "abcdef", "abcdef"});
  Caret(3, 1);
  memo().Range->ExtendSelection(2, true, false), memo().Range->ExtendSelection(-1, false, false);
  ASSERT_EQ(Sel(), Span({3, 1}, {2, 3}));
  const TColor sel = memo().SelColor, bg = Background();
  Expect({{ColX(1, 0), Floor(0), bg}, {ColX(2, 1) + 1, Floor(1), bg}, {ColX(3, 1) + 1, Floor(1), sel},
          {TextRight(1) - 1, Floor(1), sel}, {ColX(0, 2), Floor(2), sel}, {TextRight(2) - 1, Floor(2), sel},
          {ColX(1, 3) + 1, Floor(3), sel}, {ColX(2, 3) + 1, Floor(3), bg}});
  EXPECT_EQ(std::pair(Count(memo().RowRect(2, rrText), Red), Count(memo().RowRect(2, rrText), Black) > 0),
            std::pair(0, true));
}

// The wave repeats every four pixels: 3, 2, 1, 2 pixels above the row's bottom; the second kind in green.
TEST_F(RenderingTest, ErroneousWordsGetAWavyUnderline) {
  memo().SetOnParseWord([](TSxSyntaxParser&, std::string_view w, int, int, TToken& kind) {
    kind = w == "bad" ? tokErroneous : w == "odd" ? tokErroneous2 : kind;
  });
  Load({"bad odd"});
  for (int x = ColX(0, 0); x <= ColX(3, 0); ++x) {
    const int fromBottom = x % 4 == 1 ? 3 : x % 4 == 3 ? 1 : 2;
    for (int h = 1; h <= 3; ++h) EXPECT_EQ(Px(x, 16 - h) == Red, h == fromBottom) << "x " << x << " height " << h;
  }
  EXPECT_GT(Count(TRect{ColX(4, 0), 13, ColX(7, 0), 16}, RGBColor(0, 128, 0)), 0);
}

// Expanded: frame and minus in black, no vertical stroke, the section line down to the closing stroke.
// Collapsed: a white box with a plus, no line below, and the collapsed mark at the text's right edge.
TEST_F(RenderingTest, FoldBoxesShowMinusWhenExpandedAndPlusWhenCollapsed) {
  Load({"0", "1", "2", "3", "4"});
  memo().SectionTree->AddSection(1, 3, false);
  TRect b = memo().SectionBoxRect(1, 1);
  const int cx = b.Left + 4, cy = b.Top + 4, right = TextRight(1);
  const TColor face = Plain(SystemColor(15));
  Expect({{b.Left, b.Top, Black}, {b.Right - 1, b.Bottom - 1, Black}, {cx, cy, Black}, {b.Left + 2, cy, Black},
          {cx, b.Top + 2, face}, {cx, b.Bottom + 1, Grey}, {cx, RowTop(2), Grey}, {cx, RowTop(3) + 2, Grey},
          {cx + 3, RowTop(3) + 8, Grey}, {cx, RowTop(3) + 12, face}});
  memo().SectionTree->CollapseSection(1, false, false);
  b = memo().SectionBoxRect(1, 1);
  Expect({{b.Left + 1, b.Top + 1, White}, {b.Left + 4, b.Top + 2, Black}, {b.Left + 4, b.Bottom + 1, face},
          {right - 32, RowTop(1) + 1, Blue}, {right - 11, RowTop(1) + 14, Blue}, {right - 27, RowTop(1) + 9, Blue},
          {right - 25, RowTop(1) + 9, Background()}});
}

// A red frame; with smoSolidSpecialLine a red fill and white text, but a line without tokens keeps
// only the frame; a disabled breakpoint in dark red.
TEST_F(RenderingTest, BreakPointLinesAreFramedOrFilled) {
  Load({"line zero", "line one", "", "x"});
  memo().BreakPoints->SetBreakPoint(1, bpsEnabled), memo().BreakPoints->SetBreakPoint(2, bpsEnabled);
  memo().InvalidateAll();
  const int right = TextRight(1), mid = RowTop(1) + 8;
  Expect({{right - 1, RowTop(1), Red}, {TextLeft(), mid, Red}, {right - 30, mid, Background()}});
  memo().SetOptions(memo().Options() + TSxSynMemoOptions{smoSolidSpecialLine});
  Expect({{right - 30, mid, Red}, {right - 30, RowTop(2) + 8, Background()}, {right - 1, RowTop(2), Red}});
  EXPECT_GT(Count(memo().RowRect(1, rrText), White), 0);
  memo().BreakPoints->SetBreakPoint(1, bpsDisabled), memo().InvalidateAll();
  EXPECT_EQ(Px(right - 30, mid), RGBColor(128, 0, 0));
}

// The window's colour shows where no row lies (the column left of the scroll bar, below
// the last whole row); the rows composed after it keep their own pixels.
TEST_F(RenderingTest, WindowColourFillsWhatNoRowCovers) {
  Load({"word"});
  widget->setGeometry(0, 0, widget->width(), widget->height() + 7);
  ASSERT_EQ(memo().VisibleRows(), 20);
  for (TColor c : {Blue, Red}) {
    memo().SetColor(c);
    Expect({{TextRight(0), 3, c}, {5, RowTop(20) + 3, c}, {ColX(6, 0), 3, c}, {5, 3, Plain(SystemColor(15))}});
    EXPECT_LT(Count(TRect{ColX(0, 0), 0, ColX(4, 0), 15}, c), (ColX(4, 0) - ColX(0, 0)) * 15) << "the text stays";
  }
}

// The main window's Enter repaint: without an event-loop turn, the window's store shows the rows as
// composed afresh, and a scroll bar whose slider moved as that bar draws itself.
TEST_F(RenderingTest, EntersRepaintAllShowsFreshRowsAndAMovedSliderBeforeItReturns) {
  Load(Numbered(100));
  memo().OnKeyPress = [this](TSxCustomSyntaxMemo&, char& key) {
    if (key == '\r') widget->RepaintAll();
  };
  QCoreApplication::processEvents();
  Caret(0, 19);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QCoreApplication::sendEvent(widget, &enter);
  ASSERT_EQ(memo().TopLine, 1);
  // Compared in device pixels, whatever the screen's scale.
  const qreal ratio = widget->DevicePixelRatio();
  auto device = [ratio](const QImage& image, QRect r) {
    QImage part = image.copy(QRect(r.topLeft() * ratio, r.size() * ratio)).convertToFormat(QImage::Format_RGB32);
    part.setDevicePixelRatio(1);
    return part;
  };
  // The window's store: what the platform was last given to show.
  const auto* shown = dynamic_cast<const QImage*>(window->backingStore()->paintDevice());
  ASSERT_NE(shown, nullptr);
  const QRect rows(widget->ClientOrigin(), QSize(memo().RowRect(0, rrRow).Right, RowTop(19)));
  EXPECT_EQ(device(*shown, rows), device(widget->BackingImage(), QRect(QPoint(0, 0), rows.size())));
  auto* bar = widget->findChild<QScrollBar*>();
  ASSERT_TRUE(bar && bar->orientation() == Qt::Vertical);
  EXPECT_EQ(device(*shown, bar->geometry()), device(bar->grab().toImage(), bar->rect()));
  const QImage painted = widget->BackingImage().copy();
  memo().Paint();
  EXPECT_EQ(widget->BackingImage(), painted);
}

}  // namespace
