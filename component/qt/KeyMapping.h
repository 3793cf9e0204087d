/** @file KeyMapping.h
 ** Qt key events onto the control's keyboard: the virtual key the key table sees (by the
 ** physical key where the layout's own key is not the table's), the keys the table owns
 ** before any menu shortcut, and the characters a key event types. */
#pragma once

#include <QKeySequence>
#include <QString>
#include <Qt>

#include <cstdint>
#include <string>

#include "../control/SyntaxMemo.h"

class QKeyEvent;

// Virtual key of a physical key (a letter, the digit row, the '/' key, the keypad digits,
// + and -) by its X11 keycode (evdev code + 8, the same on every layout); 0 for others.
std::uint16_t VirtualKeyOfKeycode(std::uint32_t keycode);

// The virtual key of a Qt key event; 0 for keys the key table lacks. Latin letters and
// digits keep the layout's meaning; other characters (Cyrillic letters, shifted digits,
// the '/' key's own symbol on other layouts) are named by the physical key.
std::uint16_t VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, std::uint32_t keycode);
std::uint16_t VirtualKeyOf(const QKeyEvent& event);

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);

// True when the key table acts on this key with these modifiers: the editor then takes
// the key before a menu shortcut, so one press runs one command.
bool KeyTableOwns(std::uint16_t key, TShiftState shift);

// The menu shortcut a Ctrl or Alt combination means by its physical key when the layout
// has no Latin group (Ctrl+Ы is Ctrl+S); empty when Qt matches the key itself.
QKeySequence PhysicalShortcut(const QKeyEvent& event);

// cp1251 characters a key press types: the event's text when it is all printable (no C0
// control, no DEL, no C1 control) and neither Ctrl, Alt nor Meta is held; AltGr and the
// level-3 shift reach Qt as the group switch modifier and type. Empty otherwise.
std::string TypedText(const QString& text, Qt::KeyboardModifiers modifiers);

// Text committed by an input method in cp1251, '?' for what the code page lacks;
// control characters are dropped.
std::string CommittedText(const QString& text);
