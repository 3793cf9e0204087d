/** @file SyntaxMemo.h
 ** The editor control: TSxCustomSyntaxMemo turns the document model into rows of pixels
 ** and input into editing operations; TSxSyntaxMemo publishes its properties. */
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../document/MemoModel.h"
#include "../platform/Window.h"

// Virtual-key codes of the key table.
enum : std::uint16_t {
  VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18,
  VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38,
  VK_RIGHT = 39, VK_DOWN = 40, VK_INSERT = 45, VK_DELETE = 46, VK_NUMPAD0 = 96,
  VK_ADD = 107, VK_SUBTRACT = 109, VK_F5 = 116, VK_F6 = 117, VK_OEM_2 = 191
};

// Modifier keys and mouse buttons held during an input event.
enum TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSmallSet<TShiftStateItem, std::uint8_t>;

enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Regions of a row, left to right: gutter, section column (with the gutter: margin), text.
enum TRowRegion : std::uint8_t { rrRow, rrGutter, rrMargin, rrText };

class TSxCustomSyntaxMemo;

using TNotifyEvent = std::function<void(TSxCustomSyntaxMemo& sender)>;
using TKeyEvent = std::function<void(TSxCustomSyntaxMemo& sender, std::uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TSxCustomSyntaxMemo& sender, char& key)>;
using TMouseEvent =
    std::function<void(TSxCustomSyntaxMemo& sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TSxCustomSyntaxMemo& sender, TShiftState shift, int x, int y)>;
// Sender, X, Y of the mouse, WordIndex (token), Row (line), Showing.
using TWordInfoEvent =
    std::function<void(TSxCustomSyntaxMemo& sender, int x, int y, int wordIndex, int row, bool showing)>;
using TLogEvent = std::function<void(TSxCustomSyntaxMemo& sender, const std::string& logStr)>;
using TContextPopupEvent =
    std::function<void(TSxCustomSyntaxMemo& sender, TSxScreenPoint mousePos, bool& handled)>;

class TSxCustomSyntaxMemo : public TSxMemoModel {
 public:
  // The host outlives the control and provides its window.
  explicit TSxCustomSyntaxMemo(TSxWindowHost& host);
  ~TSxCustomSyntaxMemo() override;

  TSxWindowHost& Host() { return host_; }

  // --- Core and geometry ---
  void ResetView() override;
  void ComputeCharWidths();
  void FontChanged();
  void LayoutChildren();
  void CreatePageScrollBar();
  void CreateCursorPosBox();
  void ShowCursorPos(const TTextPos& p);
  // The window's size changed (also the first layout).
  void Resized();

  TRect RowRect(int row, TRowRegion region) const;
  int VisibleRows() const;
  // -1 above the view, -2 hidden, -3 below the view, else the row.
  int RowOfLine(std::int32_t line);
  // The row of a line when it lies in 0..VisibleRows() - 1.
  bool RowOfLine(std::int32_t line, int& row);
  // x of a column over tokens that begin after column p0, whose pixel is x0.
  int TextX(std::int32_t col, std::string_view text, const TSxSyntaxParser& tokens, std::int64_t p0 = 0,
            std::int64_t x0 = 0) const;
  int LineTextX(std::int32_t col, std::int32_t line) const;
  std::int32_t ColFromX(int x, std::int32_t line, std::int32_t& token) const;
  std::int32_t ColFromX(int x, std::int32_t line) const;
  // Pixels into the line and the row, or the line under the point when convert is set.
  void PointToText(int x, int y, bool convert, int& pixels, std::int32_t& rowOrLine);
  bool PosFromPoint(int x, int y, std::int32_t& line, std::int32_t& token);

  // --- Rendering ---
  void InvalidateLine(std::int32_t line) override;
  void InvalidateFromLine(std::int32_t line) override;
  void InvalidateRows(std::int32_t line, bool toEnd);
  void InvalidateAll() override;
  void PaintDirtyRows() override;
  void PaintRow(int row, std::int32_t line);
  // The window asks for a full repaint.
  void Paint();
  TRect SectionBoxRect(int row, std::int32_t level) const;

  // --- Keyboard and caret ---
  // Input entry points: they run the host's handlers in their documented order.
  void KeyDown(std::uint16_t key, TShiftState shift);
  void KeyPress(char key);
  // Text an input method commits (cp1251): every character is offered to OnKeyPress like a
  // typed one; what the handler leaves is inserted as one ukTyping edit.
  void TypeText(std::string_view text);
  void KeyUp(std::uint16_t key, TShiftState shift);
  void FocusGained(bool fromOwnScrollBar);
  void FocusLost(bool toOwnScrollBar);
  void UpdateCaret();
  void HideCaretIfShown() override;
  std::int32_t TokenIndexAt(std::int32_t col, std::int32_t line) const;
  bool NextWordPos(TTextPos& target);
  bool PrevWordPos(TTextPos& target);

  // --- Mouse and scrolling ---
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void MouseMove(TShiftState shift, int x, int y);
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void DblClick(TShiftState shift, int x, int y);
  // Wheel: delta <= 0 is towards the user.
  void MouseWheel(int delta, TShiftState shift);
  void ScrollTo(int x, std::int32_t y);
  void ScrollAxis(int axis, std::int32_t value);
  void ScrollIntoView(std::int32_t col, std::int32_t line, std::int32_t len) override;
  void GotoLine(std::int32_t col, std::int32_t line);
  void UpdateScrollBars() override;
  void ScrollBarChanged(TSxScrollBar* sender);
  void PageScrollChanged();
  void SetHoverWord(TTextPos pt);
  void BeginPanning(int x, int y);

  // --- Writers ---
  // The font by face name and height (negative: character height in pixels).
  void SetFont(const std::string& name, int height);
  const std::string& FontName() const { return fontName_; }
  int FontHeight() const { return fontHeight_; }
  void SetColor(TColor color);
  TColor Color() const { return color_; }
  void SetColorByIndex(int index, TColor value);
  TColor ColorByIndex(int index) const;
  void SetSelColor(TColor value);
  void SetGutterWidth(std::int32_t value);
  void SetSectionIndent(std::int32_t value);
  void SetDebugLine(std::int32_t line);

  // Row bitmap and measurements.
  std::int32_t LineHeight = 16;
  std::array<std::array<std::uint8_t, 256>, 2> CharWidths{};  // [0] regular, [1] bold
  bool WidthsReady = false;

  TContextPopupEvent OnContextPopup;
  TContextPopupEvent OnBreakPointPopup;
  TSxMenuHandle PopupMenu = nullptr;

  // The view: LeftOffset in pixels, TopLine a visible line (0 for an empty document).
  std::int32_t LeftOffset = 0;
  std::int32_t TopLine = 0;
  bool Selecting = false;
  bool Panning = false;
  bool WordInfoMode = false;
  TSxScreenPoint PanLast;

  std::unique_ptr<TSxScrollBar> VertScrollBar;
  std::unique_ptr<TSxScrollBar> HorzScrollBar;
  std::unique_ptr<TSxPanel> CornerPanel;
  std::unique_ptr<TSxScrollBar> PageScrollBar;  // present while smoShowPageScroll
  std::unique_ptr<TSxEditBox> CursorPosBox;     // present while smoShowCursorPos

  TColor SelColor = RGBColor(166, 202, 240);
  TColor DefBackColor = SystemColor(5);
  TColor DefForeColor = RGBColor(0, 0, 0);
  TColor BPEnabledBackColor = RGBColor(255, 0, 0);
  TColor BPEnabledForeColor = RGBColor(255, 255, 255);
  TColor BPDisabledBackColor = RGBColor(128, 0, 0);
  TColor BPDisabledForeColor = RGBColor(255, 255, 255);
  TColor SelectedWordColor = RGBColor(255, 128, 0);
  TColor DebugLineBackColor = RGBColor(0, 0, 128);
  TColor DebugLineForeColor = RGBColor(255, 255, 255);

  TTextPos HoverWord{-1, -1};  // (token index, line)
  bool CaretShown = false;
  std::vector<std::uint8_t> DirtyRows;
  std::int32_t GutterWidth = 32;
  std::int32_t SectionIndent = 16;
  std::int32_t DebugLine = -1;

  TWordInfoEvent OnWordInfo;
  TLogEvent OnLog;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  // The hint text of word-info mode (cp1251) and whether hints show.
  std::string Hint;
  bool ShowHint = false;

 protected:
  void OptionsChanged(TSxSynMemoOptions oldOptions) override;
  void FileNameChanged(const std::string& name) override;
  // Tokens must be current down to the last visible line; the rest waits for idle time.
  std::int32_t RetokenizeHorizon() override;
  void RequestIdleWork() override { host_.RequestIdleWork(); }
  // The control's own handling behind the entry points.
  virtual void DoKeyDown(std::uint16_t key, TShiftState shift);
  virtual void DoKeyPress(char key);
  virtual void DoKeyUp();

 private:
  void DrawGutter(TSxSurface& s, std::int32_t line, int row);
  void DrawSectionMark(TSxSurface& s, std::int32_t line, int row);
  void DrawLineText(TSxSurface& s, std::string_view text, std::int64_t e, std::int64_t sel, int xo,
                    std::int32_t line, const TSxSyntaxParser& tokens, std::int64_t p0, std::int64_t x0);
  // --- Long lines: walks over the stored tokens that start at a checkpoint ---
  struct TLineWalk {
    TSxTokenCursor Cursor;
    std::int64_t P = 0;  // the column where the previous token ended
    std::int64_t X = 0;  // its pixel, from the line's start
  };
  // A key of the widths and bold styles that pixel positions depend on.
  std::uint64_t MetricsKey() const;
  // Pixels of a line's checkpoints, measured once per line and font (empty: no checkpoints).
  const std::vector<std::int64_t>& CheckpointXs(std::int32_t line) const;
  // From the last checkpoint at or before a column, or at or before a pixel.
  TLineWalk WalkFromColumn(std::int32_t line, std::int64_t col) const;
  TLineWalk WalkFromX(std::int32_t line, std::int64_t x) const;
  // Moves a walk over the gap before token t and over t.
  void Advance(TLineWalk& w, const TSxSyntaxToken& t, std::string_view text) const;
  // The stored tokens a row shows between pixels left and right of the line, from a
  // checkpoint on, whole merged runs at the right end; p0 and x0 as for TextX.
  void VisibleTokens(std::int32_t line, std::int64_t left, std::int64_t right, TSxSyntaxParser& out,
                     std::int64_t& p0, std::int64_t& x0) const;
  TSxSyntaxToken StoredToken(std::int32_t line, int index) const;
  void DrawCollapsedMark(TSxSurface& s);
  int BlankWidth() const { return CharWidths[0][32] > 0 ? CharWidths[0][32] : 1; }
  bool LineSpecial(std::int32_t line) const;
  // Moves TopLine onto a visible line after folds or deletions hid or removed it.
  void KeepTopLineVisible();
  // Scroll ranges, computed from the document whether or not the bars were updated.
  std::int32_t VertScrollMax();
  std::int32_t HorzScrollMax() const;
  std::int32_t LineLength(std::int32_t line) const;
  void PanStep(int x, int y);
  void KeyBackspace();
  void KeyEnter();
  void SmartHome();
  void VerticalMove(int delta);
  void EnterWordInfoMode();
  void SetCursor(TSxCursorShape shape);

  TSxWindowHost& host_;
  std::string fontName_ = "Arial";
  int fontHeight_ = -12;
  TColor color_ = SystemColor(5);
  bool caretCreated_ = false;
  bool scrollHandlersAttached_ = true;
  mutable std::vector<std::int64_t> checkpointX_;
};

// The control with its properties published for hosts.
class TSxSyntaxMemo : public TSxCustomSyntaxMemo {
 public:
  using TSxCustomSyntaxMemo::TSxCustomSyntaxMemo;

  // anyThread: the handler may be called on several threads at once (see
  // TSxSyntaxAttributes::ParseWordOnAnyThread).
  void SetOnParseWord(TUserTokenEvent handler, bool anyThread = false) {
    SyntaxAttributes->OnParseWord = std::move(handler);
    SyntaxAttributes->ParseWordOnAnyThread = anyThread;
  }
  const TUserTokenEvent& GetOnParseWord() const { return SyntaxAttributes->OnParseWord; }
  void SetOnBeforeBreakPointChanged(TOnBeforeBreakPointChangedNotify h) {
    BreakPoints->OnBeforeBreakPointChanged = std::move(h);
  }
  void SetBreakPointsPopupMenu(TSxMenuHandle menu) { BreakPoints->PopupMenu = menu; }
  TSxMenuHandle BreakPointsPopupMenu() const { return BreakPoints->PopupMenu; }

  void SetDefBackColor(TColor c) { SetColorByIndex(0, c); }
  void SetDefForeColor(TColor c) { SetColorByIndex(1, c); }
  void SetBPEnabledBackColor(TColor c) { SetColorByIndex(2, c); }
  void SetBPEnabledForeColor(TColor c) { SetColorByIndex(3, c); }
  void SetBPDisabledBackColor(TColor c) { SetColorByIndex(4, c); }
  void SetBPDisabledForeColor(TColor c) { SetColorByIndex(5, c); }
  void SetDebugLineBackColor(TColor c) { SetColorByIndex(6, c); }
  void SetDebugLineForeColor(TColor c) { SetColorByIndex(7, c); }
  void SetSelectedWordColor(TColor c) { SetColorByIndex(8, c); }
};
