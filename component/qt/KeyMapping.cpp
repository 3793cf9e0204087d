/** @file KeyMapping.cpp
 ** Which key the key table sees, which keys it owns, and what a key event types. */
#include "KeyMapping.h"

#include <QKeyEvent>

#include <utility>

#include "../base/Cp1251.h"

namespace {

// Physical keys by X11 keycode. Linux names a key by its evdev code; X and Wayland add 8.
// Each key stands for its US engraving, which is what the key table's and the menus'
// letters and digits mean on every layout.
constexpr std::pair<std::uint32_t, std::uint16_t> kPhysicalKeys[] = {
    {10, '1'}, {11, '2'}, {12, '3'}, {13, '4'}, {14, '5'}, {15, '6'}, {16, '7'}, {17, '8'},
    {18, '9'}, {19, '0'}, {24, 'Q'}, {25, 'W'}, {26, 'E'}, {27, 'R'}, {28, 'T'}, {29, 'Y'},
    {30, 'U'}, {31, 'I'}, {32, 'O'}, {33, 'P'}, {38, 'A'}, {39, 'S'}, {40, 'D'}, {41, 'F'},
    {42, 'G'}, {43, 'H'}, {44, 'J'}, {45, 'K'}, {46, 'L'}, {52, 'Z'}, {53, 'X'}, {54, 'C'},
    {55, 'V'}, {56, 'B'}, {57, 'N'}, {58, 'M'}, {61, VK_OEM_2},
    {79, VK_NUMPAD0 + 7}, {80, VK_NUMPAD0 + 8}, {81, VK_NUMPAD0 + 9}, {82, VK_SUBTRACT},
    {83, VK_NUMPAD0 + 4}, {84, VK_NUMPAD0 + 5}, {85, VK_NUMPAD0 + 6}, {86, VK_ADD},
    {87, VK_NUMPAD0 + 1}, {88, VK_NUMPAD0 + 2}, {89, VK_NUMPAD0 + 3}, {90, VK_NUMPAD0 + 0}};

// C0 controls, DEL and C1 controls: keys produce them for Enter, Delete, Escape and Ctrl
// combinations, never as text a person means to type.
bool IsControl(char32_t u) { return u < 0x20 || (u >= 0x7F && u < 0xA0); }

}  // namespace

std::uint16_t VirtualKeyOfKeycode(std::uint32_t keycode) {
  for (const auto& [code, key] : kPhysicalKeys) {
    if (code == keycode) return key;
  }
  return 0;
}

std::uint16_t VirtualKeyOf(int k, Qt::KeyboardModifiers modifiers, std::uint32_t keycode) {
  if (modifiers & Qt::KeypadModifier) {
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return static_cast<std::uint16_t>(VK_NUMPAD0 + (k - Qt::Key_0));
    if (k == Qt::Key_Plus) return VK_ADD;
    if (k == Qt::Key_Minus) return VK_SUBTRACT;
  }
  switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: break;
  }
  if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return static_cast<std::uint16_t>(112 + (k - Qt::Key_F1));
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return static_cast<std::uint16_t>('A' + (k - Qt::Key_A));
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return static_cast<std::uint16_t>('0' + (k - Qt::Key_0));
  // Any other character: Cyrillic letters, a digit key's shifted symbol, the '/' key's
  // symbol on layouts that engrave it otherwise. The physical key decides.
  if (const std::uint16_t physical = VirtualKeyOfKeycode(keycode)) return physical;
  if ((k == Qt::Key_Slash || k == Qt::Key_Question) && !(modifiers & Qt::KeypadModifier)) return VK_OEM_2;
  return 0;
}

std::uint16_t VirtualKeyOf(const QKeyEvent& e) { return VirtualKeyOf(e.key(), e.modifiers(), e.nativeScanCode()); }

TShiftState ShiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
  TShiftState s;
  if (m & Qt::ShiftModifier) s += ssShift;
  if (m & Qt::AltModifier) s += ssAlt;
  if (m & Qt::ControlModifier) s += ssCtrl;
  if (b & Qt::LeftButton) s += ssLeft;
  if (b & Qt::RightButton) s += ssRight;
  if (b & Qt::MiddleButton) s += ssMiddle;
  return s;
}

bool KeyTableOwns(std::uint16_t key, TShiftState shift) {
  const bool ctrl = shift.Contains(ssCtrl);
  const bool exactlyCtrl = shift == TShiftState{ssCtrl};
  switch (key) {
    case VK_BACK: case VK_TAB: case VK_RETURN: case VK_PRIOR: case VK_NEXT: case VK_END:
    case VK_HOME: case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_DELETE:
    case VK_F5: case VK_F6:
      return true;
    case VK_INSERT: return shift == TShiftState{} || exactlyCtrl || shift == TShiftState{ssShift};
    case 'A': case 'V': case 'X': case VK_OEM_2: return exactlyCtrl;
    case 'C': case 'Z': case VK_ADD: case VK_SUBTRACT: return ctrl;
    case 'I': case 'U': return shift == TShiftState{ssCtrl, ssShift};
    default:
      return ctrl && ((key >= '0' && key <= '9') || (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9));
  }
}

QKeySequence PhysicalShortcut(const QKeyEvent& e) {
  const Qt::KeyboardModifiers mods = e.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  // Qt matches menu shortcuts itself when the key is Latin, also through a layout's Latin
  // group; only a key of a layout without one needs its place on the keyboard.
  const bool latin = e.key() < 0x80 || e.key() >= Qt::Key_Escape;
  if (latin || !(mods & (Qt::ControlModifier | Qt::AltModifier))) return {};
  const std::uint16_t key = VirtualKeyOfKeycode(e.nativeScanCode());
  const bool letterOrDigit = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
  return letterOrDigit ? QKeySequence(QKeyCombination(mods, static_cast<Qt::Key>(key))) : QKeySequence();
}

std::string TypedText(const QString& text, Qt::KeyboardModifiers modifiers) {
  if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return {};
  std::string typed;
  for (char32_t u : text.toStdU32String()) {
    if (IsControl(u)) return {};
    typed += cp1251::FromUnicode(u);
  }
  return typed;
}

std::string CommittedText(const QString& text) {
  std::string typed;
  for (char32_t u : text.toStdU32String()) {
    if (!IsControl(u)) typed += cp1251::FromUnicode(u);
  }
  return typed;
}
