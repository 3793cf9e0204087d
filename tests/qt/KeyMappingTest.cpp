/** @file KeyMappingTest.cpp
 ** Which virtual key a Qt key event names on other layouts, what it types, which keys the
 ** key table takes before a menu shortcut. */
#include <gtest/gtest.h>

#include "qt/KeyMapping.h"

namespace {
constexpr auto Ctrl = Qt::ControlModifier;
constexpr auto Shift = Qt::ShiftModifier;
constexpr auto Keypad = Qt::KeypadModifier;
}  // namespace

// X keycodes: 10 the '1' key, 16 '7', 29 US 'Y', 39 US 'S', 52 US 'Z', 61 '/', 84 keypad 5,
// 87 keypad 1, 82 keypad minus.
TEST(KeyMapping, TheKeyTableSeesThePhysicalKeyWhereTheLayoutsKeyIsNotItsOwn) {
  struct Case {
    int key;
    Qt::KeyboardModifiers mods;
    std::uint32_t keycode;
    std::uint16_t vk;
  } cases[] = {
      {0x42F, Ctrl, 52, 'Z'},                    // ru: Ctrl+Я undoes
      {0x42B, Ctrl, 39, 0},                      // ru: Ctrl+Ы is no key-table key
      {Qt::Key_Z, Ctrl, 29, 'Z'},                // de: the key engraved Z keeps its meaning
      {Qt::Key_Y, Ctrl, 52, 'Y'},
      {Qt::Key_Exclam, Ctrl | Shift, 10, '1'},   // Ctrl+Shift+1
      {Qt::Key_Slash, Ctrl | Shift, 16, '7'},    // de: Shift+7 is '/'
      {Qt::Key_Minus, Ctrl, 61, VK_OEM_2},       // de: the '/' key engraves '-'
      {Qt::Key_Period, Ctrl, 61, VK_OEM_2},      // ru: ... and '.'
      {Qt::Key_Slash, Ctrl, 0, VK_OEM_2},        // no keycode from the platform
      {Qt::Key_5, Keypad | Ctrl, 84, VK_NUMPAD0 + 5},
      {Qt::Key_End, Keypad, 87, VK_END},         // keypad 1 without Num Lock
      {Qt::Key_Minus, Keypad | Ctrl, 82, VK_SUBTRACT},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VirtualKeyOf(c.key, c.mods, c.keycode), c.vk) << "Qt key " << std::hex << c.key;
  }
}

TEST(KeyMapping, OnlyPrintableTextWithoutCtrlAltOrMetaTypes) {
  struct Case {
    const char* utf8;
    Qt::KeyboardModifiers mods;
    std::string typed;
  } cases[] = {
      {"\x7f", {}, ""},                               // Delete
      {"\x1b", {}, ""},                               // Escape
      {"x", Qt::AltModifier, ""},
      {"\x18", Ctrl | Qt::AltModifier, ""},
      {"x", Qt::MetaModifier, ""},
      {"\xd1\x8f", Shift, "\xff"},                    // я
      {"@", Qt::GroupSwitchModifier, "@"},            // AltGr+Q on de
      {"\xe2\x82\xac", Qt::GroupSwitchModifier, "\x88"},  // AltGr+E on de: the euro sign
      {"\xe4\xb8\xad", {}, "?"},                      // not in cp1251
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TypedText(QString::fromUtf8(c.utf8), c.mods), c.typed) << c.utf8;
  }
  EXPECT_EQ(CommittedText(QString::fromUtf8("\xc3\xa9\x7f\xc2\xab\n")), "?\xab") << "é DEL « LF";
}

TEST(KeyMapping, TheKeyTableOwnsItsKeysAndLeavesTheOthersToTheMenus) {
  EXPECT_TRUE(KeyTableOwns(VK_DELETE, {}));
  EXPECT_TRUE(KeyTableOwns(VK_DELETE, {ssShift}));
  EXPECT_TRUE(KeyTableOwns('C', {ssCtrl}));
  EXPECT_TRUE(KeyTableOwns('3', {ssCtrl, ssShift}));
  EXPECT_FALSE(KeyTableOwns('S', {ssCtrl}));           // Save
  EXPECT_FALSE(KeyTableOwns('I', {ssCtrl}));           // only Ctrl+Shift+I indents
  EXPECT_FALSE(KeyTableOwns('B', {ssCtrl, ssAlt}));    // Select from start
  EXPECT_FALSE(KeyTableOwns(114, {}));                 // F3
}
