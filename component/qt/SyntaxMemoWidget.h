/** @file SyntaxMemoWidget.h
 ** The Qt window of the editor control: it owns a TSxSyntaxMemo, forwards input to it,
 ** hosts its scroll bars and boxes and shows the backing image the rows are copied to. */
#pragma once

#include <QFrame>
#include <QImage>
#include <QKeySequence>
#include <QPoint>
#include <QTimer>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "../control/SyntaxMemo.h"
#include "../platform/Window.h"
#include "QtSurface.h"

class QMenu;

class TSxSyntaxMemoWidget : public QFrame, public TSxWindowHost {
  Q_OBJECT

 public:
  explicit TSxSyntaxMemoWidget(QWidget* parent = nullptr);
  ~TSxSyntaxMemoWidget() override;

  TSxSyntaxMemo& Memo() { return *memo_; }
  const TSxSyntaxMemo& Memo() const { return *memo_; }

  // Menus shown on a right-button release in the text area and in the breakpoint column.
  void SetPopupMenu(QMenu* menu);
  void SetBreakPointsPopupMenu(QMenu* menu);
  // Recomposes every row and shows the result at once: on return the screen shows the
  // whole client area as composed (the window's invalidate-then-update).
  void RepaintAll();

  // The client area as painted, in device pixels at DevicePixelRatio().
  const QImage& BackingImage() const;
  qreal DevicePixelRatio() const { return backing_.devicePixelRatio(); }
  // Colour of a logical client pixel.
  TColor PixelAt(int x, int y) const;
  // The client area's top-left corner in widget coordinates (inside the frame).
  QPoint ClientOrigin() const { return ClientRect().topLeft(); }
  // Counts the style and screen changes seen: what was measured with the style before
  // the last one is measured again.
  int StyleGeneration() const { return styleGeneration_; }
  bool CaretVisible() const { return caretShown_; }
  // Input methods place their candidate window at the caret.
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  QPoint CaretPosition() const { return caretPos_; }

  // TSxWindowHost
  int ClientWidth() const override;
  int ClientHeight() const override;
  TRect ScreenRect() const override;
  bool HasParent() const override;
  bool IsVisible() const override;
  bool HasFocus() const override;
  void SetFocus() override;
  void RequestRepaint() override;
  void RequestIdleWork() override;
  TSxSurface& RowSurface() override { return row_; }
  void ResizeRowSurface(int width, int height) override;
  void SetFont(const std::string& name, int height) override;
  void CopyRowToWindow(int y, int width, int height) override;
  void FillWindow(TColor color) override;
  void CreateCaret(int width, int height) override;
  void DestroyCaret() override;
  void SetCaretPos(int x, int y) override;
  void ShowCaret() override;
  void HideCaret() override;
  std::unique_ptr<TSxScrollBar> CreateScrollBar(bool vertical) override;
  std::unique_ptr<TSxEditBox> CreateEditBox() override;
  std::unique_ptr<TSxPanel> CreatePanel() override;
  void SetCursorShape(TSxCursorShape shape) override;
  TSxScreenPoint CursorPos() const override;
  void SetCursorPos(TSxScreenPoint p) override;
  void ClipCursor(const TRect& r) override;
  void ReleaseCursorClip() override;
  bool IsCtrlDown() const override;
  void SetHint(std::string_view cp1251) override;
  void SetShowHint(bool show) override;
  void ShowPopupMenu(TSxMenuHandle menu, TSxScreenPoint at) override;
  void SetTabCaption(std::string_view fileName) override;
  void SetFormCaption(std::string_view fileName) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  bool event(QEvent* event) override;

 private:
  // Makes the backing image and the row bitmap match the client size and the screen's
  // device pixel ratio; the control's geometry stays in logical pixels.
  void RebuildBacking();
  void FollowDevicePixelRatio();
  // contentsRect(), which asks the platform window for its margins on every call; rows
  // ask for the client size several times each, so it is kept while size and frame stand.
  QRect ClientRect() const;
  // Fills what no row covered since FillWindow with its colour; damages what changed.
  void FlushFill();
  // Counts a row's device pixels as set since FillWindow.
  void MarkFilled(const QRect& device);
  // Whether every row has been composed during the key event being handled.
  bool RowsComposedInKey() const;
  // Runs the window's enabled action with this shortcut; false when there is none.
  bool TriggerMenuShortcut(const QKeySequence& shortcut);

  TSxQtSurface row_;
  QImage backing_;
  // FillWindow's colour, not yet written: a full repaint copies rows over nearly all of
  // the image, so only the rest is filled, before the image is shown or read.
  std::optional<QRgb> pendingFill_;
  std::vector<int> filledTo_;  // per device scanline: pixels from the left set by rows since
  mutable std::optional<std::pair<QSize, QRect>> clientRect_;  // for the widget size
  // The rows copied to the window while a key event is handled: Enter's own update
  // composes every row, and the window's handler then asks for all of them again.
  struct TCopiedRow {
    int Y, Width, Height;
    QRect Device;
  };
  bool inKey_ = false;
  std::vector<TCopiedRow> keyRows_;
  int styleGeneration_ = 0;
  QTimer blink_;
  QTimer idle_;  // single shot, 0 ms: fires once pending input is handled
  bool caretCreated_ = false;
  bool caretShown_ = false;
  bool caretPhase_ = true;
  QPoint caretPos_;
  QSize caretSize_;
  std::optional<TRect> cursorClip_;
  TSxCursorShape cursorShape_ = TSxCursorShape::IBeam;
  // Declared last: destroyed first, while the window it draws on still exists.
  std::unique_ptr<TSxSyntaxMemo> memo_;
};
