// X11 key symbols and modifier state to the framework's key presses.
#include <gtest/gtest.h>

#include "IGfx/Platforms/X11/X11Keys.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <string>

namespace {

struct KeyCase
{
  const char* name;
  KeySym keysym;
  unsigned state;
  int32_t vk;
  std::string text;
  bool S, C, A;
};

class X11KeyTable : public ::testing::TestWithParam<KeyCase>
{};

TEST_P(X11KeyTable, GivesTheVirtualKeyTextAndModifiers)
{
  const KeyCase& c = GetParam();
  plugkit::IKeyPress key;
  ASSERT_TRUE(plugkit::gfx::TranslateX11Key(c.keysym, c.state, 38, key));
  EXPECT_EQ(key.VK, c.vk);
  EXPECT_EQ(std::string(key.utf8), c.text);
  EXPECT_EQ(key.S, c.S);
  EXPECT_EQ(key.C, c.C);
  EXPECT_EQ(key.A, c.A);
}

constexpr unsigned kShift = ShiftMask;
constexpr unsigned kCtrl = ControlMask;
constexpr unsigned kAlt = Mod1Mask;

INSTANTIATE_TEST_SUITE_P(
  Keys, X11KeyTable,
  ::testing::Values(
    KeyCase{"letter", XK_a, 0, 65, "a", false, false, false},
    KeyCase{"shift_letter", XK_A, kShift, 65, "A", true, false, false},
    KeyCase{"ctrl_alt_letter", XK_z, kCtrl | kAlt, 90, "z", false, true, true},
    KeyCase{"digit", XK_7, 0, 55, "7", false, false, false},
    KeyCase{"shift_1_is_text_only", XK_exclam, kShift, 0, "!", false, false, false},
    KeyCase{"punctuation", XK_period, 0, 0, ".", false, false, false},
    KeyCase{"shift_tab_alone_types_back_tab", XK_ISO_Left_Tab, kShift, 0, "\x19", false, false, false},
    KeyCase{"ctrl_shift_tab_is_tab", XK_ISO_Left_Tab, kShift | kCtrl, 9, "\x19", true, true, false},
    KeyCase{"tab", XK_Tab, 0, 9, "\t", false, false, false},
    KeyCase{"return", XK_Return, 0, 13, "\r", false, false, false},
    KeyCase{"escape", XK_Escape, 0, 27, "\x1b", false, false, false},
    KeyCase{"space", XK_space, kShift, 32, " ", true, false, false},
    KeyCase{"backspace", XK_BackSpace, 0, 8, "\b", false, false, false},
    KeyCase{"delete", XK_Delete, 0, 46, "\x7f", false, false, false},
    KeyCase{"page_up", XK_Prior, 0, 33, "", false, false, false},
    KeyCase{"page_down", XK_Next, 0, 34, "", false, false, false},
    KeyCase{"end", XK_End, 0, 35, "", false, false, false}, KeyCase{"home", XK_Home, 0, 36, "", false, false, false},
    KeyCase{"left", XK_Left, kShift, 37, "", true, false, false}, KeyCase{"up", XK_Up, 0, 38, "", false, false, false},
    KeyCase{"right", XK_Right, 0, 39, "", false, false, false},
    KeyCase{"down", XK_Down, 0, 40, "", false, false, false},
    KeyCase{"insert", XK_Insert, 0, 45, "", false, false, false},
    KeyCase{"keypad_0", XK_KP_0, 0, 96, "0", false, false, false},
    KeyCase{"keypad_9", XK_KP_9, 0, 105, "9", false, false, false},
    KeyCase{"keypad_multiply", XK_KP_Multiply, 0, 106, "*", false, false, false},
    KeyCase{"keypad_add", XK_KP_Add, 0, 107, "+", false, false, false},
    KeyCase{"keypad_equal", XK_KP_Equal, 0, 108, "=", false, false, false},
    KeyCase{"keypad_subtract", XK_KP_Subtract, 0, 109, "-", false, false, false},
    KeyCase{"keypad_decimal", XK_KP_Decimal, 0, 110, ".", false, false, false},
    KeyCase{"keypad_divide", XK_KP_Divide, 0, 111, "/", false, false, false},
    KeyCase{"keypad_enter", XK_KP_Enter, 0, 0x800D, "\r", false, false, false},
    KeyCase{"num_lock", XK_Num_Lock, 0, 144, "", false, false, false},
    KeyCase{"f1", XK_F1, 0, 112, "", false, false, false}, KeyCase{"f12", XK_F12, kCtrl, 123, "", false, true, false},
    KeyCase{"f24", XK_F24, 0, 135, "", false, false, false},
    KeyCase{"latin1_letter_is_text_only", XK_eacute, 0, 0, "\xc3\xa9", false, false, false},
    KeyCase{"unicode_keysym_is_text_only", 0x010020AC, kShift, 0, "\xe2\x82\xac", false, false, false},
    KeyCase{"key_without_character_uses_its_code", XK_Menu, 0, 38 + 1024, "", false, false, false}),
  [](const auto& info) { return std::string(info.param.name); });

TEST(X11KeyTable, ModifierKeysAloneAreNotKeyPresses)
{
  plugkit::IKeyPress key;
  for (KeySym sym : {XK_Shift_L, XK_Shift_R, XK_Control_L, XK_Alt_L, XK_Super_L, XK_Caps_Lock, XK_ISO_Level3_Shift})
    EXPECT_FALSE(plugkit::gfx::TranslateX11Key(sym, 0, 50, key)) << sym;
}

// What an input method typed stands in only where the symbol itself types nothing.
struct TypedCase
{
  const char* name;
  KeySym keysym;
  unsigned keycode;
  const char* typed;
  int32_t vk;
  std::string text;
  bool S; // Shift is held: kept for keys, dropped for text alone
};

class X11TypedText : public ::testing::TestWithParam<TypedCase>
{};

TEST_P(X11TypedText, GivesTheMethodsCharacterWhenTheSymbolHasNone)
{
  const TypedCase& c = GetParam();
  plugkit::IKeyPress key;
  ASSERT_TRUE(plugkit::gfx::TranslateX11Key(c.keysym, ShiftMask, c.keycode, key, c.typed));
  EXPECT_EQ(key.VK, c.vk);
  EXPECT_EQ(std::string(key.utf8), c.text);
  EXPECT_EQ(key.S, c.S);
}

INSTANTIATE_TEST_SUITE_P(
  Typed, X11TypedText,
  ::testing::Values(TypedCase{"cyrillic_layout", XK_Cyrillic_ZHE, 47, "\xd0\x96", 0, "\xd0\x96", false},
                    TypedCase{"euro_sign", XK_EuroSign, 26, "\xe2\x82\xac", 0, "\xe2\x82\xac", false},
                    TypedCase{"composed_without_symbol", NoSymbol, 0, "\xc3\xa9", 0, "\xc3\xa9", false},
                    TypedCase{"composed_ascii_letter", NoSymbol, 0, "q", 81, "q", true},
                    TypedCase{"control_character_is_ignored", XK_Cyrillic_ZHE, 47, "\x1b", 47 + 1024, "", true},
                    TypedCase{"symbol_with_a_character_wins", XK_a, 38, "\xd1\x84", 65, "a", true}),
  [](const auto& info) { return std::string(info.param.name); });

} // namespace
