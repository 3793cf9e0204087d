/** @file Window.h
 ** What the editor control needs from the window system: its window, the caret, child
 ** scroll bars and boxes, the pointer, hints and popup menus. Toolkit-free; one binding per toolkit. */
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Surface.h"

struct TSxScreenPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TSxScreenPoint&, const TSxScreenPoint&) = default;
};

enum class TSxCursorShape { IBeam, Arrow, Hand, SizeAll };

// An opaque popup menu of the host (a QMenu* in the Qt binding).
using TSxMenuHandle = void*;

// A child scroll bar. Geometry is in client pixels of the control.
class TSxScrollBar {
 public:
  virtual ~TSxScrollBar() = default;
  virtual void SetRange(int min, int max) = 0;
  virtual int Min() const = 0;
  virtual int Max() const = 0;
  // Sets the position without reporting a change.
  virtual void SetPosition(int position) = 0;
  virtual int Position() const = 0;
  virtual void SetSteps(int small, int page) = 0;
  virtual int SmallStep() const = 0;
  virtual int PageStep() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void SetGeometry(const TRect& r) = 0;
  virtual TRect Geometry() const = 0;
  // Width of a vertical bar, height of a horizontal one, as the toolkit draws it.
  virtual int Thickness() const = 0;
  // Called when the user moves the bar; the control detaches it while it sets ranges.
  std::function<void()> OnChange;
};

// The read-only one-line box that shows the caret position.
class TSxEditBox {
 public:
  virtual ~TSxEditBox() = default;
  virtual void SetText(const std::string& utf8) = 0;
  virtual std::string Text() const = 0;
  virtual void SetGeometry(const TRect& r) = 0;
  virtual TRect Geometry() const = 0;
};

// The square below the vertical bar and right of the horizontal one.
class TSxPanel {
 public:
  virtual ~TSxPanel() = default;
  virtual void SetGeometry(const TRect& r) = 0;
  virtual TRect Geometry() const = 0;
};

// The window the control lives in. Client coordinates start at the top-left inner
// corner; rows composed on RowSurface() are copied to a backing image of the client area.
class TSxWindowHost {
 public:
  virtual ~TSxWindowHost() = default;

  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  virtual TRect ScreenRect() const = 0;  // the client area in screen pixels
  virtual bool HasParent() const = 0;
  virtual bool IsVisible() const = 0;
  virtual bool HasFocus() const = 0;
  virtual void SetFocus() = 0;
  virtual void RequestRepaint() = 0;
  // Calls the control's IdleWork once the message loop has no input waiting.
  virtual void RequestIdleWork() = 0;

  // The one-row bitmap and its copy to the window.
  virtual TSxSurface& RowSurface() = 0;
  virtual void ResizeRowSurface(int width, int height) = 0;
  // The font of the row surface: a face name and a height written negative (-13 is a
  // 13-pixel character height).
  virtual void SetFont(const std::string& name, int height) = 0;
  // Copies (0, 0, width, height) of the row surface to (0, y) of the window.
  virtual void CopyRowToWindow(int y, int width, int height) = 0;
  // Fills the whole backing image (a full repaint starts from the background).
  virtual void FillWindow(TColor color) = 0;

  // The caret.
  virtual void CreateCaret(int width, int height) = 0;
  virtual void DestroyCaret() = 0;
  virtual void SetCaretPos(int x, int y) = 0;
  virtual void ShowCaret() = 0;
  virtual void HideCaret() = 0;

  // Children, owned by the caller.
  virtual std::unique_ptr<TSxScrollBar> CreateScrollBar(bool vertical) = 0;
  virtual std::unique_ptr<TSxEditBox> CreateEditBox() = 0;
  virtual std::unique_ptr<TSxPanel> CreatePanel() = 0;

  // Pointer and keyboard state.
  virtual void SetCursorShape(TSxCursorShape shape) = 0;
  virtual TSxScreenPoint CursorPos() const = 0;
  virtual void SetCursorPos(TSxScreenPoint p) = 0;
  // Keeps the pointer inside r (right and bottom exclusive) until ReleaseCursorClip.
  virtual void ClipCursor(const TRect& r) = 0;
  virtual void ReleaseCursorClip() = 0;
  virtual bool IsCtrlDown() const = 0;

  // Hints, menus and captions.
  virtual void SetHint(std::string_view cp1251) = 0;
  virtual void SetShowHint(bool show) = 0;
  virtual void ShowPopupMenu(TSxMenuHandle menu, TSxScreenPoint at) = 0;
  // The file-name options: the tab page holding the control takes the name without its
  // directory; the window shows the application title, "-" and the full name. Hosts
  // without tabs or windows ignore these.
  // File names are the system's own bytes (UTF-8 paths), not document text.
  virtual void SetTabCaption(std::string_view /*fileName*/) {}
  virtual void SetFormCaption(std::string_view /*fileName*/) {}
};
