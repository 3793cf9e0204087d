/** @file ControlCore.cpp
 ** The editor control's construction, options, child layout, character widths and
 ** the coordinate system of rows, regions, columns and pixels. */
#include <algorithm>
#include <string>

#include "SyntaxMemo.h"

namespace {
constexpr int CursorPosBoxWidth = 64;
}

TSxCustomSyntaxMemo::TSxCustomSyntaxMemo(TSxWindowHost& host) : host_(host) {
  Range->OnCaretMove = [this](const TTextPos& p) { ShowCursorPos(p); };

  VertScrollBar = host_.CreateScrollBar(true);
  VertScrollBar->OnChange = [this] { ScrollBarChanged(VertScrollBar.get()); };
  HorzScrollBar = host_.CreateScrollBar(false);
  HorzScrollBar->OnChange = [this] { ScrollBarChanged(HorzScrollBar.get()); };
  HorzScrollBar->SetVisible(true);
  CornerPanel = host_.CreatePanel();
  CornerPanel->SetGeometry(TRect{0, 0, VertScrollBar->Thickness(), HorzScrollBar->Thickness()});
  CreateCursorPosBox();
  CreatePageScrollBar();

  host_.SetFont(fontName_, fontHeight_);
  host_.SetCursorShape(TSxCursorShape::IBeam);
}

TSxCustomSyntaxMemo::~TSxCustomSyntaxMemo() {
  if (Panning) host_.ReleaseCursorClip();
  // The children go before the window that hosts them; the document parts go with the model.
  CursorPosBox.reset();
  PageScrollBar.reset();
  CornerPanel.reset();
  HorzScrollBar.reset();
  VertScrollBar.reset();
}

void TSxCustomSyntaxMemo::ResetView() {
  TSxMemoModel::ResetView();
  LeftOffset = 0;
  TopLine = 0;
  Selecting = false;
  if (Panning) {
    Panning = false;
    host_.ReleaseCursorClip();
  }
}

void TSxCustomSyntaxMemo::ComputeCharWidths() {
  WidthsReady = true;
  host_.SetFont(fontName_, fontHeight_);
  LineHeight = std::max(1, 3 - fontHeight_);
  TSxSurface& s = host_.RowSurface();
  for (int style = 0; style < 2; ++style) {
    for (int c = 0; c < 256; ++c) {
      const char ch = static_cast<char>(c);
      const int w = s.TextWidth(std::string_view(&ch, 1), style ? fsBold : 0);
      CharWidths[style][c] = static_cast<std::uint8_t>(std::clamp(w, 0, 255));
    }
  }
  // Column arithmetic divides by the blank's width.
  if (CharWidths[0][32] == 0) CharWidths[0][32] = 1;
  if (CharWidths[1][32] == 0) CharWidths[1][32] = 1;
}

void TSxCustomSyntaxMemo::FontChanged() {
  Lines->BeginUpdate();
  ComputeCharWidths();
  // Row height, row bitmap and scroll ranges all follow the font.
  LayoutChildren();
  InvalidateAll();
  Lines->EndUpdate();
}

void TSxCustomSyntaxMemo::SetFont(const std::string& name, int height) {
  if (name == fontName_ && height == fontHeight_ && WidthsReady) return;
  fontName_ = name;
  fontHeight_ = height;
  FontChanged();
}

void TSxCustomSyntaxMemo::CreateCursorPosBox() {
  if (!Options().Contains(smoShowCursorPos)) {
    CursorPosBox.reset();
  } else if (!CursorPosBox) {
    CursorPosBox = host_.CreateEditBox();
    CursorPosBox->SetGeometry(TRect{0, 0, CursorPosBoxWidth, HorzScrollBar->Thickness()});
    CursorPosBox->SetText("1: 1");
  }
}

void TSxCustomSyntaxMemo::CreatePageScrollBar() {
  if (!Options().Contains(smoShowPageScroll)) {
    PageScrollBar.reset();
  } else if (!PageScrollBar) {
    PageScrollBar = host_.CreateScrollBar(true);
    const int w = VertScrollBar->Thickness();
    PageScrollBar->SetGeometry(TRect{0, 0, w, 2 * w});
    PageScrollBar->SetRange(-1, 1);
    PageScrollBar->SetPosition(0);
    PageScrollBar->SetSteps(1, 1);
    PageScrollBar->SetEnabled(VertScrollBar->Enabled());
    PageScrollBar->SetVisible(true);
    PageScrollBar->OnChange = [this] { PageScrollChanged(); };
  }
}

void TSxCustomSyntaxMemo::ShowCursorPos(const TTextPos& p) {
  if (!CursorPosBox) return;
  const std::int32_t x = std::max<std::int32_t>(p.X, 0);
  CursorPosBox->SetText(std::to_string(static_cast<std::int64_t>(p.Y) + 1) + ": " +
                        std::to_string(static_cast<std::int64_t>(x) + 1));
}

void TSxCustomSyntaxMemo::LayoutChildren() {
  const int w = host_.ClientWidth();
  const int h = host_.ClientHeight();
  const int vw = VertScrollBar->Thickness();
  const int hh = HorzScrollBar->Thickness();
  const int pageH = PageScrollBar ? PageScrollBar->Geometry().Height() : 0;

  const int vertH = std::max(0, h - hh - pageH);
  VertScrollBar->SetVisible(true);
  VertScrollBar->SetGeometry(TRect{w - vw, 0, w, vertH});
  if (PageScrollBar) PageScrollBar->SetGeometry(TRect{w - vw, vertH, w, vertH + pageH});

  HorzScrollBar->SetVisible(true);
  if (CursorPosBox) {
    const int boxW = CursorPosBox->Geometry().Width();
    HorzScrollBar->SetGeometry(TRect{boxW, h - hh, std::max(boxW, w - vw), h});
    CursorPosBox->SetGeometry(TRect{0, h - hh - 1, boxW, h});
  } else {
    HorzScrollBar->SetGeometry(TRect{0, h - hh, std::max(0, w - vw), h});
  }
  const TRect panel = CornerPanel->Geometry();
  CornerPanel->SetGeometry(TRect{w - panel.Width(), h - panel.Height(), w, h});

  DirtyRows.resize(static_cast<std::size_t>(VisibleRows()), 0);
  const TRect r = RowRect(0, rrRow);
  if (r.Height() > 0 && r.Width() > 0) host_.ResizeRowSurface(r.Width(), r.Height());
}

void TSxCustomSyntaxMemo::Resized() {
  host_.RequestRepaint();
  if (!WidthsReady) ComputeCharWidths();
  LayoutChildren();
  UpdateScrollBars();
  Paint();
}

void TSxCustomSyntaxMemo::OptionsChanged(TSxSynMemoOptions oldOptions) {
  const TSxSynMemoOptions now = Options();
  for (int i = 0; i < SynMemoOptionCount; ++i) {
    const auto o = static_cast<TSxSynMemoOption>(i);
    if (oldOptions.Contains(o) == now.Contains(o)) continue;
    switch (o) {
      case smoAutoGutterWidth:
      case smoVSNET_SectionsStyle:
      case smoHighlightLine:
      case smoSolidSpecialLine:
        InvalidateAll();
        break;
      case smoShowCursorPos:
        CreateCursorPosBox();
        LayoutChildren();
        break;
      case smoShowPageScroll:
        CreatePageScrollBar();
        LayoutChildren();
        break;
      default:
        break;
    }
  }
  BreakPoints->NeedPossibility = now.Contains(smoBreakPointsNeedPosibility);
}

std::int32_t TSxCustomSyntaxMemo::RetokenizeHorizon() {
  if (!host_.HasParent() || Lines->Count() == 0) return MaxInt;
  return LineAtOffset(std::clamp(TopLine, 0, Lines->Count() - 1), VisibleRows(), true);
}

void TSxCustomSyntaxMemo::FileNameChanged(const std::string& name) {
  if (Options().Contains(smoShowFileNameInTabSheet)) {
    const auto cut = name.find_last_of("\\:/");
    host_.SetTabCaption(cut == std::string::npos ? std::string_view(name)
                                                 : std::string_view(name).substr(cut + 1));
  }
  if (Options().Contains(smoShowFileNameInFormCaption)) host_.SetFormCaption(name);
}

// --- Colours and layout properties ---

void TSxCustomSyntaxMemo::SetColor(TColor color) {
  color_ = color;
  Paint();
}

void TSxCustomSyntaxMemo::SetColorByIndex(int index, TColor value) {
  TColor* slots[] = {&DefBackColor,        &DefForeColor,        &BPEnabledBackColor,
                     &BPEnabledForeColor,  &BPDisabledBackColor, &BPDisabledForeColor,
                     &DebugLineBackColor,  &DebugLineForeColor,  &SelectedWordColor};
  if (index < 0 || index > 8) return;
  *slots[index] = value;
  Paint();
}

TColor TSxCustomSyntaxMemo::ColorByIndex(int index) const {
  const TColor slots[] = {DefBackColor,       DefForeColor,        BPEnabledBackColor,
                          BPEnabledForeColor, BPDisabledBackColor, BPDisabledForeColor,
                          DebugLineBackColor, DebugLineForeColor,  SelectedWordColor};
  return index >= 0 && index <= 8 ? slots[index] : DefaultColor;
}

void TSxCustomSyntaxMemo::SetSelColor(TColor value) {
  if (value == SelColor) return;
  SelColor = value;
  if (!Range->IsEmpty()) Paint();
}

void TSxCustomSyntaxMemo::SetGutterWidth(std::int32_t value) {
  if (value == GutterWidth) return;
  GutterWidth = value;
  Paint();
}

void TSxCustomSyntaxMemo::SetSectionIndent(std::int32_t value) {
  SectionIndent = value;
  InvalidateAll();
}

void TSxCustomSyntaxMemo::SetDebugLine(std::int32_t line) {
  const std::int32_t old = DebugLine;
  DebugLine = line;
  Lines->BeginUpdate();
  InvalidateLine(old);
  InvalidateLine(line);
  Lines->EndUpdate();
}

// --- Geometry ---

TRect TSxCustomSyntaxMemo::RowRect(int row, TRowRegion region) const {
  const int w = host_.ClientWidth();
  const int h = host_.ClientHeight();
  const int hh = HorzScrollBar->Thickness();
  TRect r;
  if (row >= 0) {
    r = TRect{0, row * LineHeight, w, row * LineHeight + std::min(LineHeight, h - hh - row * LineHeight)};
  } else {
    r = TRect{0, 0, w, h - hh};
  }
  r.Right -= VertScrollBar->Thickness() + 1;
  if (region == rrRow) return r;
  if (region == rrGutter) {
    r.Right = r.Left + GutterWidth;
    return r;
  }
  int marginRight;
  if (Options().Contains(smoVSNET_SectionsStyle)) {
    marginRight = r.Left + GutterWidth + SectionIndent + 2;
  } else {
    const std::int32_t levels =
        Options().Contains(smoAutoGutterWidth) ? SectionTree->MaxVisibleLevel() : SectionTree->MaxLevel();
    marginRight = r.Left + GutterWidth + levels * SectionIndent + 2;
  }
  if (region == rrMargin) {
    r.Right = marginRight;
  } else {
    r.Left = marginRight;
  }
  return r;
}

int TSxCustomSyntaxMemo::VisibleRows() const {
  const int h = RowRect(-1, rrText).Height();
  return h > 0 ? h / std::max(1, LineHeight) : 0;
}

int TSxCustomSyntaxMemo::RowOfLine(std::int32_t line) {
  if (line < TopLine) return -1;
  const std::int32_t index = VisibleIndexOf(line);
  if (index < 0) return -2;
  const std::int32_t r = index - std::max<std::int32_t>(VisibleIndexOf(TopLine), 0);
  return r >= VisibleRows() ? -3 : r;
}

bool TSxCustomSyntaxMemo::RowOfLine(std::int32_t line, int& row) {
  const int r = RowOfLine(line);
  if (r < 0) return false;
  row = r;
  return true;
}

int TSxCustomSyntaxMemo::TextX(std::int32_t col, std::string_view text, const TSxSyntaxParser& tokens,
                               std::int64_t p0, std::int64_t x0) const {
  const int blank = BlankWidth();
  std::int64_t p = p0;
  std::int64_t w = x0;
  if (col <= 0) return 0;
  for (const TSxSyntaxToken& t : tokens.Tokens()) {
    const std::int64_t gapEnd = std::min<std::int64_t>(col, t.Start);
    if (gapEnd > p) {
      w += (gapEnd - p) * blank;
      p = gapEnd;
    }
    if (p == col) return static_cast<int>(std::min<std::int64_t>(w, MaxInt));
    const auto& table = CharWidths[(SyntaxAttributes->GetTokenStyle(t.Kind) & fsBold) ? 1 : 0];
    const std::int64_t end = std::min<std::int64_t>(col, std::int64_t{t.Start} + t.Len);
    for (; p < end; ++p) {
      w += p < static_cast<std::int64_t>(text.size()) ? table[static_cast<unsigned char>(text[p])] : blank;
    }
    if (p == col) return static_cast<int>(std::min<std::int64_t>(w, MaxInt));
  }
  if (p < col) w += (col - p) * blank;
  return static_cast<int>(std::min<std::int64_t>(w, MaxInt));
}

int TSxCustomSyntaxMemo::LineTextX(std::int32_t col, std::int32_t line) const {
  if (!Lines->IsValidLine(line) || col <= 0) return 0;
  // Walks the stored tokens from the nearest checkpoint, not from the line's start.
  const std::string_view text = Lines->Get(line);
  TLineWalk w = WalkFromColumn(line, col);
  TSxSyntaxToken t;
  while (w.P < col && w.Cursor.Next(t)) {
    if (std::int64_t{t.Start} >= col) {
      w.X += (col - w.P) * BlankWidth();
      w.P = col;
      break;
    }
    if (std::int64_t{t.Start} + t.Len > col) t.Len = static_cast<std::uint32_t>(col - t.Start);
    Advance(w, t, text);
  }
  if (w.P < col) w.X += (col - w.P) * BlankWidth();
  return static_cast<int>(std::min<std::int64_t>(w.X, MaxInt));
}

std::int32_t TSxCustomSyntaxMemo::ColFromX(int x, std::int32_t line, std::int32_t& token) const {
  token = MaxInt;
  if (!Lines->IsValidLine(line)) return 0;
  const std::string_view text = Lines->Get(line);
  const int blank = BlankWidth();
  TLineWalk walk = WalkFromX(line, x);
  std::int64_t p = walk.P;
  std::int64_t w = walk.X;
  TSxSyntaxToken t;
  for (int k = walk.Cursor.Index(); walk.Cursor.Next(t); k = walk.Cursor.Index()) {
    for (; p < t.Start; ++p) {
      w += blank;
      if (w > x) {
        token = -k;
        return static_cast<std::int32_t>(p);
      }
    }
    const auto& table = CharWidths[(SyntaxAttributes->GetTokenStyle(t.Kind) & fsBold) ? 1 : 0];
    for (; p < std::int64_t{t.Start} + t.Len; ++p) {
      w += p < static_cast<std::int64_t>(text.size()) ? table[static_cast<unsigned char>(text[p])] : blank;
      if (w > x) {
        token = k;
        return static_cast<std::int32_t>(p);
      }
    }
  }
  if (w < x) p += (x - w) / blank;
  return static_cast<std::int32_t>(std::min<std::int64_t>(p, MaxInt));
}

std::int32_t TSxCustomSyntaxMemo::ColFromX(int x, std::int32_t line) const {
  std::int32_t token;
  return ColFromX(x, line, token);
}

void TSxCustomSyntaxMemo::PointToText(int x, int y, bool convert, int& pixels, std::int32_t& rowOrLine) {
  const TRect t = RowRect(0, rrText);
  pixels = x - t.Left + LeftOffset;
  const std::int32_t row = (y - t.Top) / std::max(1, LineHeight);
  rowOrLine = convert ? LineAtOffset(TopLine, row, false) : row;
}

bool TSxCustomSyntaxMemo::PosFromPoint(int x, int y, std::int32_t& line, std::int32_t& token) {
  int pixels;
  std::int32_t l;
  PointToText(x, y, true, pixels, l);
  if (!Lines->IsValidLine(l)) return false;
  line = l;
  ColFromX(pixels, l, token);
  return true;
}
