/** @file KeyMappingTest.cpp
 ** The key a Qt key event names for the key table on other layouts, and what it types. Ctrl+letters,
 ** Ctrl+Shift+digits and Ctrl+/ on ru and de, Ctrl+Ы as Ctrl+S, Alt and AltGr are pressed as real keys
 ** by the real-input suites; here stay the events those cannot make. */
#include <gtest/gtest.h>

#include <QKeyEvent>

#include "qt/KeyMapping.h"

// X keycodes: 39 US 'S', 87 keypad 1.
TEST(KeyMapping, EventsWithoutAKeycodeOrFromTheKeypadAndTextThatTypesNothing) {
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Slash, Qt::ControlModifier, 0), VK_OEM_2) << "no keycode";
  EXPECT_EQ(VirtualKeyOf(Qt::Key_End, Qt::KeypadModifier, 87), VK_END) << "keypad 1, no Num Lock";
  const QKeyEvent latin(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier, 39, 0, 0, "\x13");
  const QKeyEvent typed(QEvent::KeyPress, 0x42B, Qt::NoModifier, 39, 0, 0, QString::fromUtf8("\xd1\x8b"));
  EXPECT_TRUE(PhysicalShortcut(latin).isEmpty() && PhysicalShortcut(typed).isEmpty()) << "Qt finds a Latin key itself";
  EXPECT_EQ(TypedText("\x7f", {}) + TypedText("x", Qt::MetaModifier), "") << "Delete, Meta";
  EXPECT_EQ(CommittedText(QString::fromUtf8("\xc3\xa9\x7f\xc2\xab\n")), "?\xab") << "é DEL « LF";
}
