/** @file KeyMappingTest.cpp
 ** The key a Qt key event names for the key table on other layouts, and what it types. */
#include <gtest/gtest.h>

#include <QKeyEvent>

#include "qt/KeyMapping.h"

// X keycodes: 10 the '1' key, 16 '7', 39 US 'S', 52 US 'Z', 61 '/', 87 keypad 1.
TEST(KeyMapping, LatinKeysKeepTheLayoutsMeaningOthersArePhysical) {
  const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, ctrlShift = ctrl | Qt::ShiftModifier;
  EXPECT_EQ(VirtualKeyOf(0x42F, ctrl, 52), 'Z') << "ru: Ctrl+Я";
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Y, ctrl, 52), 'Y') << "de: the key engraved Y";
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Exclam, ctrlShift, 10), '1');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Slash, ctrlShift, 16), '7') << "de: Shift+7 is '/'";
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Minus, ctrl, 61), VK_OEM_2) << "de: the '/' key";
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Slash, ctrl, 0), VK_OEM_2) << "no keycode";
  EXPECT_EQ(VirtualKeyOf(Qt::Key_End, Qt::KeypadModifier, 87), VK_END) << "keypad 1, no Num Lock";
}

// Qt finds a menu shortcut itself for a Latin key; Ctrl+Ы of a Russian-only layout is Ctrl+S.
TEST(KeyMapping, MenuShortcutsByPhysicalKeyOnlyWithoutALatinKey) {
  const QKeyEvent cyrillic(QEvent::KeyPress, 0x42B, Qt::ControlModifier, 39, 0, 0, "\x13");
  const QKeyEvent latin(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier, 39, 0, 0, "\x13");
  const QKeyEvent typed(QEvent::KeyPress, 0x42B, Qt::NoModifier, 39, 0, 0, QString::fromUtf8("\xd1\x8b"));
  EXPECT_EQ(PhysicalShortcut(cyrillic), QKeySequence("Ctrl+S"));
  EXPECT_TRUE(PhysicalShortcut(latin).isEmpty() && PhysicalShortcut(typed).isEmpty());
}

TEST(KeyMapping, OnlyPrintableTextWithoutCtrlAltOrMetaTypes) {
  EXPECT_EQ(TypedText("\x7f", {}), "") << "Delete";
  EXPECT_EQ(TypedText("x", Qt::AltModifier) + TypedText("x", Qt::MetaModifier), "");
  EXPECT_EQ(TypedText(QString::fromUtf8("\xe2\x82\xac"), Qt::GroupSwitchModifier), "\x88") << "AltGr+E";
  EXPECT_EQ(CommittedText(QString::fromUtf8("\xc3\xa9\x7f\xc2\xab\n")), "?\xab") << "é DEL « LF";
}
