// Keys a host forwards through IPlugView::onKeyDown/onKeyUp to the framework's key presses.
#include "IPlugin/VST3/IPluginVST3_KeyTranslation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct HostKeyCase
{
  const char* name;
  Steinberg::char16 key;
  Steinberg::int16 keyCode;
  Steinberg::int16 modifiers;
  int32_t vk;
  std::string text;
  bool S, C, A;
};

class HostKeyTranslation : public ::testing::TestWithParam<HostKeyCase>
{};

TEST_P(HostKeyTranslation, GivesTheVirtualKeyTextAndModifiers)
{
  const HostKeyCase& c = GetParam();
  const plugkit::IKeyPress key = plugkit::TranslateKeyMessage(c.key, c.keyCode, c.modifiers);
  EXPECT_EQ(key.VK, c.vk);
  EXPECT_EQ(std::string(key.utf8), c.text);
  EXPECT_EQ(key.S, c.S);
  EXPECT_EQ(key.C, c.C);
  EXPECT_EQ(key.A, c.A);
}

// Modifier bits of the host: shift 1, alternate 2, command 4, control 8 (not carried).
INSTANTIATE_TEST_SUITE_P(
  Keys, HostKeyTranslation,
  ::testing::Values(HostKeyCase{"letter", 'a', 0, 0, 65, "a", false, false, false},
                    HostKeyCase{"upper_letter_with_shift", 'A', 0, 1, 65, "A", true, false, false},
                    HostKeyCase{"digit", '5', 0, 0, 53, "5", false, false, false},
                    HostKeyCase{"space_from_code_alone", 0, 7, 0, 32, " ", false, false, false},
                    HostKeyCase{"f1_has_no_text", 0, 40, 0, 112, "", false, false, false},
                    HostKeyCase{"f12", 0, 51, 0, 123, "", false, false, false},
                    HostKeyCase{"non_ascii_has_no_text_or_key", 0xE9, 0, 0, 0, "", false, false, false},
                    HostKeyCase{"punctuation_is_text_only", '!', 0, 1, 0, "!", true, false, false},
                    HostKeyCase{"back", 0, 1, 0, 8, "", false, false, false},
                    HostKeyCase{"tab_with_shift", 0, 2, 1, 9, "", true, false, false},
                    HostKeyCase{"clear", 0, 3, 0, 12, "", false, false, false},
                    HostKeyCase{"return", 0, 4, 0, 13, "", false, false, false},
                    HostKeyCase{"enter", 0, 19, 0, 13, "", false, false, false},
                    HostKeyCase{"pause", 0, 5, 0, 19, "", false, false, false},
                    HostKeyCase{"escape", 0, 6, 0, 27, "", false, false, false},
                    HostKeyCase{"next", 0, 8, 0, 34, "", false, false, false},
                    HostKeyCase{"page_down", 0, 16, 0, 34, "", false, false, false},
                    HostKeyCase{"page_up", 0, 15, 0, 33, "", false, false, false},
                    HostKeyCase{"end", 0, 9, 0, 35, "", false, false, false},
                    HostKeyCase{"home", 0, 10, 0, 36, "", false, false, false},
                    HostKeyCase{"left_with_command", 0, 11, 4, 37, "", false, true, false},
                    HostKeyCase{"up_with_alternate", 0, 12, 2, 38, "", false, false, true},
                    HostKeyCase{"right_with_control_only", 0, 13, 8, 39, "", false, false, false},
                    HostKeyCase{"down", 0, 14, 0, 40, "", false, false, false},
                    HostKeyCase{"select", 0, 17, 0, 41, "", false, false, false},
                    HostKeyCase{"print", 0, 18, 0, 42, "", false, false, false},
                    HostKeyCase{"snapshot", 0, 20, 0, 44, "", false, false, false},
                    HostKeyCase{"insert", 0, 21, 0, 45, "", false, false, false},
                    HostKeyCase{"delete", 0, 22, 0, 46, "", false, false, false},
                    HostKeyCase{"help", 0, 23, 0, 47, "", false, false, false},
                    HostKeyCase{"numpad_0", 0, 24, 0, 96, "", false, false, false},
                    HostKeyCase{"numpad_9", 0, 33, 0, 105, "", false, false, false},
                    HostKeyCase{"multiply", 0, 34, 0, 106, "", false, false, false},
                    HostKeyCase{"add", 0, 35, 0, 107, "", false, false, false},
                    HostKeyCase{"separator", 0, 36, 0, 108, "", false, false, false},
                    HostKeyCase{"subtract", 0, 37, 0, 109, "", false, false, false},
                    HostKeyCase{"decimal", 0, 38, 0, 110, "", false, false, false},
                    HostKeyCase{"divide", 0, 39, 0, 111, "", false, false, false},
                    HostKeyCase{"num_lock", 0, 52, 0, 144, "", false, false, false},
                    HostKeyCase{"scroll_lock", 0, 53, 0, 145, "", false, false, false},
                    HostKeyCase{"shift_key", 0, 54, 1, 16, "", true, false, false},
                    HostKeyCase{"control_key", 0, 55, 0, 17, "", false, false, false},
                    HostKeyCase{"alt_key", 0, 56, 0, 18, "", false, false, false},
                    HostKeyCase{"equals_with_character", '=', 57, 0, 0, "=", false, false, false},
                    HostKeyCase{"equals_with_letter", 'q', 57, 0, 81, "q", false, false, false},
                    HostKeyCase{"code_above_128_gives_its_character", 0, 140, 0, 60, "<", false, false, false},
                    HostKeyCase{"unknown_code", 0, 70, 0, 0, "", false, false, false}),
  [](const auto& info) { return std::string(info.param.name); });

} // namespace
