/** @file SyntaxMemoWidget.cpp
 ** The Qt binding of the editor control: child widgets, caret, pointer, hints and menus,
 ** and the translation of Qt input events into the control's input entry points. */
#include "SyntaxMemoWidget.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTabWidget>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "../base/Cp1251.h"
#include "KeyMapping.h"

namespace {

QString FromCp1251(std::string_view text) { return QString::fromStdString(cp1251::ToUtf8(text)); }

// A file name as the system spells it (its own bytes, not cp1251 document text).
QString FileNameText(std::string_view name) {
  return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

// Child widgets are placed in client coordinates, inside the frame.
QRect ToWidgetRect(const TRect& r, QPoint origin) {
  return QRect(r.Left + origin.x(), r.Top + origin.y(), std::max(0, r.Width()), std::max(0, r.Height()));
}

// A scroll bar that is not painted again for a change it does not show: a line added to
// or scrolled in a long document leaves the slider where it was.
class TSxQScrollBar : public QScrollBar {
 public:
  TSxQScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {}

 protected:
  void sliderChange(SliderChange change) override {
    // Skipping is sound while the screen shows this look: every other change repaints.
    if (painted_ && *painted_ == Look()) return;
    QScrollBar::sliderChange(change);
  }
  void paintEvent(QPaintEvent* event) override {
    painted_ = Look();
    QScrollBar::paintEvent(event);
  }
  void changeEvent(QEvent* event) override {
    painted_.reset();
    QScrollBar::changeEvent(event);
  }

 private:
  // What a range, value or step change can alter on screen: the slider's place and size,
  // and the arrows a style greys out at either end.
  struct TLook {
    QRect Slider;
    bool AtMinimum = false;
    bool AtMaximum = false;
    friend bool operator==(const TLook&, const TLook&) = default;
  };
  TLook Look() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return TLook{style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
                 value() == minimum(), value() == maximum()};
  }
  std::optional<TLook> painted_;
};

class QtScrollBarChild : public TSxScrollBar {
 public:
  QtScrollBarChild(TSxSyntaxMemoWidget& owner, bool vertical)
      : owner_(owner), bar_(new TSxQScrollBar(vertical ? Qt::Vertical : Qt::Horizontal, &owner)) {
    // The bar never keeps the focus: the editor's caret stays.
    bar_->setFocusPolicy(Qt::NoFocus);
    bar_->setCursor(Qt::ArrowCursor);
    bar_->setRange(0, 0);
    QObject::connect(bar_, &QScrollBar::valueChanged, bar_, [this](int) {
      if (OnChange) OnChange();
    });
  }
  ~QtScrollBarChild() override { delete bar_; }

  void SetRange(int min, int max) override {
    const QSignalBlocker block(bar_);
    bar_->setRange(min, max);
  }
  int Min() const override { return bar_->minimum(); }
  int Max() const override { return bar_->maximum(); }
  void SetPosition(int position) override {
    const QSignalBlocker block(bar_);
    bar_->setValue(position);
  }
  int Position() const override { return bar_->value(); }
  void SetSteps(int small, int page) override {
    bar_->setSingleStep(small);
    bar_->setPageStep(page);
  }
  int SmallStep() const override { return bar_->singleStep(); }
  int PageStep() const override { return bar_->pageStep(); }
  void SetEnabled(bool enabled) override { bar_->setEnabled(enabled); }
  bool Enabled() const override { return bar_->isEnabled(); }
  void SetVisible(bool visible) override { bar_->setVisible(visible); }
  void SetGeometry(const TRect& r) override {
    geometry_ = r;
    bar_->setGeometry(ToWidgetRect(r, owner_.ClientOrigin()));
  }
  TRect Geometry() const override { return geometry_; }
  // Rows ask for it several times each; the style is asked again once the owner has seen
  // a style or screen change.
  int Thickness() const override {
    if (thicknessStyle_ != owner_.StyleGeneration()) {
      thickness_ = bar_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bar_);
      thicknessStyle_ = owner_.StyleGeneration();
    }
    return thickness_;
  }

  QScrollBar* Bar() const { return bar_; }

 private:
  TSxSyntaxMemoWidget& owner_;
  QScrollBar* bar_;  // child of owner_, deleted with this wrapper
  TRect geometry_;
  mutable int thickness_ = 0;
  mutable int thicknessStyle_ = -1;
};

class QtEditBoxChild : public TSxEditBox {
 public:
  explicit QtEditBoxChild(TSxSyntaxMemoWidget& owner) : owner_(owner), edit_(new QLineEdit(&owner)) {
    edit_->setReadOnly(true);
    edit_->setFocusPolicy(Qt::NoFocus);
    edit_->setCursor(Qt::ArrowCursor);
    edit_->show();
  }
  ~QtEditBoxChild() override { delete edit_; }
  void SetText(const std::string& utf8) override { edit_->setText(QString::fromStdString(utf8)); }
  std::string Text() const override { return edit_->text().toStdString(); }
  void SetGeometry(const TRect& r) override {
    geometry_ = r;
    edit_->setGeometry(ToWidgetRect(r, owner_.ClientOrigin()));
  }
  TRect Geometry() const override { return geometry_; }

 private:
  TSxSyntaxMemoWidget& owner_;
  QLineEdit* edit_;
  TRect geometry_;
};

class QtPanelChild : public TSxPanel {
 public:
  explicit QtPanelChild(TSxSyntaxMemoWidget& owner) : owner_(owner), frame_(new QFrame(&owner)) {
    frame_->setFrameStyle(QFrame::NoFrame);
    frame_->setAutoFillBackground(true);
    frame_->setBackgroundRole(QPalette::Button);
    frame_->show();
  }
  ~QtPanelChild() override { delete frame_; }
  void SetGeometry(const TRect& r) override {
    geometry_ = r;
    frame_->setGeometry(ToWidgetRect(r, owner_.ClientOrigin()));
  }
  TRect Geometry() const override { return geometry_; }

 private:
  TSxSyntaxMemoWidget& owner_;
  QFrame* frame_;
  TRect geometry_;
};

std::optional<TMouseButton> ButtonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return TMouseButton::mbLeft;
    case Qt::RightButton: return TMouseButton::mbRight;
    case Qt::MiddleButton: return TMouseButton::mbMiddle;
    default: return std::nullopt;
  }
}

}  // namespace

TSxSyntaxMemoWidget::TSxSyntaxMemoWidget(QWidget* parent) : QFrame(parent), row_(1, 1) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(2);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled);
  row_.SetPalette(palette());
  blink_.setTimerType(Qt::CoarseTimer);
  connect(&blink_, &QTimer::timeout, this, [this] {
    caretPhase_ = !caretPhase_;
    update(QRect(ClientOrigin() + caretPos_, caretSize_));
  });
  idle_.setSingleShot(true);
  idle_.setInterval(0);
  connect(&idle_, &QTimer::timeout, this, [this] { memo_->IdleWork(); });
  memo_ = std::make_unique<TSxSyntaxMemo>(*this);
  resize(249, 145);
}

TSxSyntaxMemoWidget::~TSxSyntaxMemoWidget() { memo_.reset(); }

void TSxSyntaxMemoWidget::SetPopupMenu(QMenu* menu) { memo_->PopupMenu = menu; }

void TSxSyntaxMemoWidget::SetBreakPointsPopupMenu(QMenu* menu) { memo_->SetBreakPointsPopupMenu(menu); }

void TSxSyntaxMemoWidget::RepaintAll() {
  if (!RowsComposedInKey()) {
    memo_->Paint();
  } else if (!backing_.isNull()) {
    // This key's update has composed every row and nothing has marked one since, so
    // composing them again would copy the same pixels: only the window's colour is laid
    // again where no row reaches.
    FillWindow(memo_->Color());
    for (const TCopiedRow& row : keyRows_) MarkFilled(row.Device);
  }
  FlushFill();
  // The window's pending paint runs now: what differs from the screen, rows damaged since
  // the last paint included, is painted and shown before this returns. The frame and the
  // children did not change with the rows and are left alone.
  if (!isVisible()) return;
  QEvent request(QEvent::UpdateRequest);
  QCoreApplication::sendEvent(window(), &request);
}

const QImage& TSxSyntaxMemoWidget::BackingImage() const {
  const_cast<TSxSyntaxMemoWidget*>(this)->FlushFill();
  return backing_;
}

TColor TSxSyntaxMemoWidget::PixelAt(int x, int y) const {
  if (x < 0 || y < 0) return 0;
  const_cast<TSxSyntaxMemoWidget*>(this)->FlushFill();
  const qreal ratio = backing_.devicePixelRatio();
  const int dx = ToDevicePixels(x, ratio), dy = ToDevicePixels(y, ratio);
  if (!backing_.valid(dx, dy)) return 0;
  return FromQColor(QColor(backing_.pixel(dx, dy)));
}

// --- TSxWindowHost ---

QRect TSxSyntaxMemoWidget::ClientRect() const {
  if (!clientRect_ || clientRect_->first != size()) clientRect_.emplace(size(), contentsRect());
  return clientRect_->second;
}

int TSxSyntaxMemoWidget::ClientWidth() const { return ClientRect().width(); }
int TSxSyntaxMemoWidget::ClientHeight() const { return ClientRect().height(); }

TRect TSxSyntaxMemoWidget::ScreenRect() const {
  const QPoint tl = mapToGlobal(ClientOrigin());
  return TRect{tl.x(), tl.y(), tl.x() + ClientWidth(), tl.y() + ClientHeight()};
}

bool TSxSyntaxMemoWidget::HasParent() const { return parentWidget() != nullptr; }
bool TSxSyntaxMemoWidget::IsVisible() const { return !isHidden(); }
bool TSxSyntaxMemoWidget::HasFocus() const { return hasFocus(); }
void TSxSyntaxMemoWidget::SetFocus() { setFocus(Qt::MouseFocusReason); }
void TSxSyntaxMemoWidget::RequestRepaint() { update(); }
void TSxSyntaxMemoWidget::RequestIdleWork() {
  if (!idle_.isActive()) idle_.start();
}

void TSxSyntaxMemoWidget::ResizeRowSurface(int width, int height) {
  row_.SetDevicePixelRatio(devicePixelRatio());
  if (width != row_.Width() || height != row_.Height()) row_.SetSize(width, height);
}

void TSxSyntaxMemoWidget::SetFont(const std::string& name, int height) {
  TSxFont f = row_.Font();
  f.Name = name;
  f.Height = height;
  row_.SetFont(f);
}

void TSxSyntaxMemoWidget::CopyRowToWindow(int y, int width, int height) {
  if (backing_.isNull()) return;
  const TSxQtSurface::TCopied copied = row_.CopyTo(backing_, TRect{0, 0, width, height}, 0, y);
  MarkFilled(copied.Device);
  if (inKey_) keyRows_.push_back(TCopiedRow{y, width, height, copied.Device});
  if (copied.Changed) update(QRect(ClientOrigin() + QPoint(0, y), QSize(width, height)));
}

void TSxSyntaxMemoWidget::MarkFilled(const QRect& device) {
  if (!pendingFill_) return;
  // Rows start at the left edge, so what a line has set since the fill is a prefix.
  for (int line = device.top(); line <= device.bottom(); ++line) {
    int& to = filledTo_[static_cast<std::size_t>(line)];
    to = std::max(to, device.right() + 1);
  }
}

bool TSxSyntaxMemoWidget::RowsComposedInKey() const {
  if (!inKey_ || memo_->Lines->UpdateCount() > 0) return false;
  for (int row = 0; row < memo_->VisibleRows(); ++row) {
    const TRect r = memo_->RowRect(row, rrRow);
    const auto same = [&r](const TCopiedRow& c) { return c.Y == r.Top && c.Width == r.Width() && c.Height == r.Height(); };
    if (std::none_of(keyRows_.begin(), keyRows_.end(), same)) return false;
  }
  return true;
}

void TSxSyntaxMemoWidget::FillWindow(TColor color) {
  if (backing_.isNull()) return;
  // The window is not damaged here: rows report their own changes, and the fill's
  // changes are found when it is written. A whole-window update would also repaint the
  // child scroll bars.
  pendingFill_ = ResolveColor(color, palette()).rgb();
  filledTo_.assign(static_cast<std::size_t>(backing_.height()), 0);
}

void TSxSyntaxMemoWidget::FlushFill() {
  if (!pendingFill_) return;
  const QRgb rgb = *pendingFill_;
  pendingFill_.reset();
  QRect changed;
  for (int line = 0; line < backing_.height(); ++line) {
    const auto* row = reinterpret_cast<const QRgb*>(backing_.constScanLine(line));
    const int from = filledTo_[static_cast<std::size_t>(line)];
    const auto first = std::find_if(row + from, row + backing_.width(), [rgb](QRgb p) { return p != rgb; });
    if (first == row + backing_.width()) continue;
    const int x = static_cast<int>(first - row);
    auto* out = reinterpret_cast<QRgb*>(backing_.scanLine(line));
    std::fill(out + x, out + backing_.width(), rgb);
    changed |= QRect(x, line, backing_.width() - x, 1);
  }
  if (changed.isEmpty()) return;
  // Device pixels to logical ones, rounded outwards.
  const qreal ratio = backing_.devicePixelRatio();
  const int left = static_cast<int>(changed.left() / ratio), top = static_cast<int>(changed.top() / ratio);
  const int right = static_cast<int>(std::ceil((changed.right() + 1) / ratio));
  const int bottom = static_cast<int>(std::ceil((changed.bottom() + 1) / ratio));
  update(QRect(ClientOrigin() + QPoint(left, top), QSize(right - left, bottom - top)));
}

void TSxSyntaxMemoWidget::CreateCaret(int width, int height) {
  caretCreated_ = true;
  caretShown_ = false;
  caretSize_ = QSize(width, height);
  const int flash = QApplication::cursorFlashTime();
  if (flash > 0) blink_.start(flash / 2);
}

void TSxSyntaxMemoWidget::DestroyCaret() {
  blink_.stop();
  caretCreated_ = false;
  caretShown_ = false;
  update(QRect(ClientOrigin() + caretPos_, caretSize_));
}

void TSxSyntaxMemoWidget::SetCaretPos(int x, int y) {
  update(QRect(ClientOrigin() + caretPos_, caretSize_));
  caretPos_ = QPoint(x, y);
  update(QRect(ClientOrigin() + caretPos_, caretSize_));
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

void TSxSyntaxMemoWidget::ShowCaret() {
  caretShown_ = true;
  caretPhase_ = true;
  if (blink_.isActive()) blink_.start();
  update(QRect(ClientOrigin() + caretPos_, caretSize_));
}

void TSxSyntaxMemoWidget::HideCaret() {
  caretShown_ = false;
  update(QRect(ClientOrigin() + caretPos_, caretSize_));
}

std::unique_ptr<TSxScrollBar> TSxSyntaxMemoWidget::CreateScrollBar(bool vertical) {
  return std::make_unique<QtScrollBarChild>(*this, vertical);
}

std::unique_ptr<TSxEditBox> TSxSyntaxMemoWidget::CreateEditBox() { return std::make_unique<QtEditBoxChild>(*this); }

std::unique_ptr<TSxPanel> TSxSyntaxMemoWidget::CreatePanel() { return std::make_unique<QtPanelChild>(*this); }

void TSxSyntaxMemoWidget::SetCursorShape(TSxCursorShape shape) {
  cursorShape_ = shape;
  switch (shape) {
    case TSxCursorShape::IBeam: setCursor(Qt::IBeamCursor); break;
    case TSxCursorShape::Arrow: setCursor(Qt::ArrowCursor); break;
    case TSxCursorShape::Hand: setCursor(Qt::PointingHandCursor); break;
    case TSxCursorShape::SizeAll: setCursor(Qt::SizeAllCursor); break;
  }
}

TSxScreenPoint TSxSyntaxMemoWidget::CursorPos() const {
  const QPoint p = QCursor::pos();
  return TSxScreenPoint{p.x(), p.y()};
}

void TSxSyntaxMemoWidget::SetCursorPos(TSxScreenPoint p) { QCursor::setPos(p.X, p.Y); }

void TSxSyntaxMemoWidget::ClipCursor(const TRect& r) { cursorClip_ = r; }

void TSxSyntaxMemoWidget::ReleaseCursorClip() { cursorClip_.reset(); }

bool TSxSyntaxMemoWidget::IsCtrlDown() const {
  return QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
}

void TSxSyntaxMemoWidget::SetHint(std::string_view cp1251) {
  setToolTip(FromCp1251(cp1251));
  if (memo_ && memo_->ShowHint && !cp1251.empty()) QToolTip::showText(QCursor::pos(), toolTip(), this);
}

void TSxSyntaxMemoWidget::SetShowHint(bool show) {
  if (!show) QToolTip::hideText();
}

void TSxSyntaxMemoWidget::ShowPopupMenu(TSxMenuHandle menu, TSxScreenPoint at) {
  if (menu) static_cast<QMenu*>(menu)->popup(QPoint(at.X, at.Y));
}

void TSxSyntaxMemoWidget::SetTabCaption(std::string_view fileName) {
  // The page is the ancestor that sits directly in a tab widget's stack.
  QWidget* page = this;
  while (page && page->parentWidget()) {
    auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
    if (stack) {
      if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget())) {
        const int index = tabs->indexOf(page);
        if (index >= 0) tabs->setTabText(index, FileNameText(fileName));
        return;
      }
    }
    page = page->parentWidget();
  }
}

void TSxSyntaxMemoWidget::SetFormCaption(std::string_view fileName) {
  window()->setWindowTitle(QApplication::applicationName() + "-" + FileNameText(fileName));
}

// --- Qt events ---

void TSxSyntaxMemoWidget::FollowDevicePixelRatio() {
  if (backing_.devicePixelRatio() == devicePixelRatio() || !memo_) return;
  // Another screen scale: every row is composed again at the new resolution.
  RebuildBacking();
  memo_->Resized();
}

void TSxSyntaxMemoWidget::paintEvent(QPaintEvent* event) {
  FollowDevicePixelRatio();
  FlushFill();
  QPainter painter(this);
  const QPoint origin = ClientOrigin();
  if (!backing_.isNull()) {
    // Only the damaged rectangles are copied: a keystroke's row, not the whole image.
    const qreal ratio = backing_.devicePixelRatio();
    const QRect client(QPoint(0, 0), backing_.deviceIndependentSize().toSize());
    for (const QRect& damaged : event->region()) {
      const QRect r = damaged.translated(-origin) & client;
      if (r.isEmpty()) continue;
      painter.drawImage(QRectF(r.translated(origin)), backing_,
                        QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
    }
  }
  if (caretCreated_ && caretShown_ && caretPhase_) {
    painter.fillRect(QRect(origin + caretPos_, caretSize_), palette().color(QPalette::Text));
  }
  // The frame lies outside the client area: damage inside it would clip all of it away.
  if (!ClientRect().contains(event->region().boundingRect())) drawFrame(&painter);
}

void TSxSyntaxMemoWidget::RebuildBacking() {
  const QSize size = ClientRect().size();
  const qreal ratio = devicePixelRatio();
  backing_ = QImage(static_cast<int>(std::ceil(std::max(1, size.width()) * ratio)),
                    static_cast<int>(std::ceil(std::max(1, size.height()) * ratio)),
                    QImage::Format_RGB32);
  backing_.setDevicePixelRatio(ratio);
  backing_.fill(ResolveColor(memo_ ? memo_->Color() : SystemColor(5), palette()));
  pendingFill_.reset();
  keyRows_.clear();  // copied to the image this one replaces
  row_.SetDevicePixelRatio(ratio);
}

void TSxSyntaxMemoWidget::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  RebuildBacking();
  if (memo_) memo_->Resized();
}

void TSxSyntaxMemoWidget::keyPressEvent(QKeyEvent* event) {
  inKey_ = true;
  const auto done = qScopeGuard([this] {
    inKey_ = false;
    keyRows_.clear();
  });
  memo_->KeyDown(VirtualKeyOf(*event), ShiftOf(event->modifiers()));
  const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    // Enter's own character: the control ignores it, the application's handler watches for it.
    memo_->KeyPress('\r');
  } else {
    for (char c : TypedText(event->text(), event->modifiers())) memo_->KeyPress(c);
  }
  event->accept();
}

void TSxSyntaxMemoWidget::inputMethodEvent(QInputMethodEvent* event) {
  const std::string text = CommittedText(event->commitString());
  if (!text.empty()) memo_->TypeText(text);
  event->accept();
}

QVariant TSxSyntaxMemoWidget::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled: return true;
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
      // The candidate window opens at the caret, a line high even before the caret exists.
      return QRect(ClientOrigin() + caretPos_, QSize(1, std::max(caretSize_.height(), memo_->LineHeight)));
    case Qt::ImFont: return font();
    case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
    default: return QFrame::inputMethodQuery(query);
  }
}

void TSxSyntaxMemoWidget::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  memo_->KeyUp(VirtualKeyOf(*event), ShiftOf(event->modifiers()));
}

void TSxSyntaxMemoWidget::mousePressEvent(QMouseEvent* event) {
  const auto button = ButtonOf(event->button());
  if (!button) return;
  const QPoint p = event->position().toPoint() - ClientOrigin();
  memo_->MouseDown(*button, ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TSxSyntaxMemoWidget::mouseMoveEvent(QMouseEvent* event) {
  QPoint p = event->position().toPoint() - ClientOrigin();
  if (cursorClip_) {
    // Confinement is emulated: the pointer is pulled back inside on every move.
    const QPoint global = QCursor::pos();
    const QPoint inside(std::clamp(global.x(), cursorClip_->Left, cursorClip_->Right - 1),
                        std::clamp(global.y(), cursorClip_->Top, cursorClip_->Bottom - 1));
    if (inside != global) {
      QCursor::setPos(inside);
      p += inside - global;
    }
  }
  memo_->MouseMove(ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TSxSyntaxMemoWidget::mouseReleaseEvent(QMouseEvent* event) {
  const auto button = ButtonOf(event->button());
  if (!button) return;
  const QPoint p = event->position().toPoint() - ClientOrigin();
  memo_->MouseUp(*button, ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TSxSyntaxMemoWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  const auto button = ButtonOf(event->button());
  if (!button) return;
  const QPoint p = event->position().toPoint() - ClientOrigin();
  // The second press of a double click is a press with the double-click flag, then the double click.
  TShiftState shift = ShiftOf(event->modifiers(), event->buttons());
  memo_->MouseDown(*button, shift + TShiftState{ssDouble}, p.x(), p.y());
  if (*button == TMouseButton::mbLeft) memo_->DblClick(shift, p.x(), p.y());
}

void TSxSyntaxMemoWidget::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) return;
  memo_->MouseWheel(delta, ShiftOf(event->modifiers()));
  event->accept();
}

void TSxSyntaxMemoWidget::focusInEvent(QFocusEvent* event) {
  QFrame::focusInEvent(event);
  memo_->FocusGained(false);
}

void TSxSyntaxMemoWidget::focusOutEvent(QFocusEvent* event) {
  QFrame::focusOutEvent(event);
  memo_->FocusLost(false);
}

bool TSxSyntaxMemoWidget::TriggerMenuShortcut(const QKeySequence& shortcut) {
  if (shortcut.isEmpty()) return false;
  for (QAction* action : window()->findChildren<QAction*>()) {
    if (action->isEnabled() && action->shortcuts().contains(shortcut)) {
      action->trigger();
      return true;
    }
  }
  return false;
}

bool TSxSyntaxMemoWidget::focusNextPrevChild(bool /*next*/) { return false; }

bool TSxSyntaxMemoWidget::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    // The keys of the key table are the editor's before they are a menu's: Delete or Ctrl+C
    // in the editor then runs once, through the table, whatever the actions' state.
    auto* key = static_cast<QKeyEvent*>(event);
    if (KeyTableOwns(VirtualKeyOf(*key), ShiftOf(key->modifiers())) || TriggerMenuShortcut(PhysicalShortcut(*key))) {
      event->accept();
      return true;
    }
  }
  if (event->type() == QEvent::ScreenChangeInternal) FollowDevicePixelRatio();
  if (event->type() == QEvent::StyleChange || event->type() == QEvent::ScreenChangeInternal) ++styleGeneration_;
  if (event->type() == QEvent::ContentsRectChange) clientRect_.reset();
  if (event->type() == QEvent::ToolTip && !(memo_ && memo_->ShowHint)) {
    // Hints show only in word-info mode.
    event->ignore();
    return true;
  }
  return QFrame::event(event);
}
