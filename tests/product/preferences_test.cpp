// What a new instance takes from the preferences: hover help and the morph field's appearance.
#include "tests/product/plugin_fixture.h"

#include <sys/stat.h>

#include <filesystem>

#include "product/patch/prefs_access.h"
#include "product/patch/settings_store.h"
#include "tests/support/bounded_child.h"

namespace vemlor::plugintest {
namespace {

struct PreferenceCase
{
  const char* key;
  const char* text;
  float lineBrightness;
  int isoLevels;
  float gridStep;
  bool hoverHelp;
};

TEST(PluginPreferences, ANewInstanceReadsHoverHelpAndTheMorphFieldAppearance)
{
  constexpr float kBrightness = 0.42f;
  constexpr int kIso = 6;
  constexpr float kGrid = 1.0f / 11.0f;
  const PreferenceCase cases[] = {
    {"morph_field_line_brightness", "-3", 0.0f, kIso, kGrid, true},
    {"morph_field_line_brightness", "7", 1.0f, kIso, kGrid, true},
    {"morph_field_line_brightness", "0.25 ", 0.25f, kIso, kGrid, true},
    {"iso_levels", "99", kBrightness, 14, kGrid, true},
    {"iso_levels", "0", kBrightness, 0, kGrid, true},
    {"iso_levels", "abc", kBrightness, kIso, kGrid, true},
    {"grid_step", "0.001", kBrightness, kIso, 0.02f, true},
    {"grid_step", "1", kBrightness, kIso, 1.0f, true},
    {"hover_help", "0", kBrightness, kIso, kGrid, false},
  };
  for (const PreferenceCase& c : cases)
  {
    SCOPED_TRACE(std::string(c.key) + " = " + c.text);
    zarvo::SettingsStore& store = Vemlor::prefs();
    for (const char* key : {"morph_field_line_brightness", "iso_levels", "grid_step"})
      store.put(key, "");
    store.put("hover_help", "1");
    store.put(c.key, c.text);
    PluginInstance p;
    const auto& appearance = p->morphController().appearance();
    EXPECT_FLOAT_EQ(appearance.lineBrightness, c.lineBrightness);
    EXPECT_EQ(appearance.isoLevels, c.isoLevels);
    EXPECT_FLOAT_EQ(appearance.gridStep, c.gridStep);
    EXPECT_EQ(Vemlor::s_helpTooltipsEnabled, c.hoverHelp);
  }
  Vemlor::prefs().put("hover_help", "1");
}

// A named pipe in place of the default layout does not hold a new instance up: it is not read, and
// the tab starts as the built-in one. A child process that an alarm ends fails the test instead of
// hanging it.
TEST(PluginPreferences, ANewInstanceDoesNotWaitOnANamedPipeForItsDefaultLayout)
{
  const std::filesystem::path layout = zarvo::vemlorPrefsFilePath(zarvo::kDefaultLayoutFileName);
  ASSERT_FALSE(layout.empty());
  std::filesystem::create_directories(layout.parent_path());
  std::filesystem::remove(layout);
  ASSERT_EQ(::mkfifo(layout.c_str(), 0666), 0);
  const int result = vemlor::test_support::exitCodeWithin(10, [] {
    PluginInstance p;
    return 0;
  });
  EXPECT_EQ(result, 0) << "-1: the instance waited for a writer";
  EXPECT_TRUE(std::filesystem::is_fifo(layout));
  std::filesystem::remove(layout);
}

} // namespace
} // namespace vemlor::plugintest
