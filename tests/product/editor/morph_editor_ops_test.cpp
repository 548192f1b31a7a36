// The plug-in's morph-page operations: writing the field's appearance preferences once they changed,
// and showing the pad's edit affordance when the user touches a control the field drives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include <unistd.h>

#include "product/patch/prefs_access.h"
#include "product/patch/settings_store.h"
#include "tests/product/editor/headless_morph_page.h"
#include "tests/gfx_harness/input_driver.h"
#include "tests/support/morph_pad_probe.h"

namespace vemlor::ui::test {
namespace {

std::string fileText(const std::string& path)
{
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(MorphEditorOps, ChangedAppearanceIsWrittenToThePreferencesOnce)
{
  HeadlessMorphPage s;
  s.buildMorphPage();
  const std::string path = Vemlor::prefs().path();
  ASSERT_FALSE(path.empty());

  s.pad()->callbacks().onAppearanceChanged(0.25f, 11, 0.0625f);
  ASSERT_TRUE(s.plug->editorModel().morphFieldPrefsChanged);
  std::filesystem::remove(path);
  s.plug->persistMorphFieldPrefsIfChanged();
  EXPECT_FALSE(s.plug->editorModel().morphFieldPrefsChanged);

  const std::string text = fileText(path);
  EXPECT_NE(text.find("morph_field_line_brightness=0.250000"), std::string::npos) << text;
  EXPECT_NE(text.find("iso_levels=11"), std::string::npos) << text;
  EXPECT_NE(text.find("grid_step=0.062500"), std::string::npos) << text;

  // Nothing changed since: nothing is written.
  std::filesystem::remove(path);
  s.plug->persistMorphFieldPrefsIfChanged();
  EXPECT_FALSE(std::filesystem::exists(path));

  // A new instance starts from what was written.
  HeadlessMorphPage next(200, false);
  EXPECT_EQ(next.morph().appearance(), (zarvo::morph::MorphZarvoAdapter::Appearance{0.25f, 11, 0.0625f}));
}

TEST(MorphEditorOps, PreferencesWaitWhileASliderIsHeld)
{
  HeadlessMorphPage s;
  s.buildMorphPage();
  zarvo::morph::MorphPadControl* pad = s.pad();
  const std::string path = Vemlor::prefs().path();
  s.morph().engine().edit({.editing = true});
  const plugkit::gfx::IRECT lines = pad->apprSliderRect(0);
  plugkit::gfx::test::InputDriver input(s.G());
  input.Press(lines.L + 10.f, lines.MH());
  input.DragTo(lines.L + 60.f, lines.MH());
  ASSERT_TRUE(s.plug->editorModel().morphFieldPrefsChanged);
  std::filesystem::remove(path);
  s.plug->persistMorphFieldPrefsIfChanged();
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(s.plug->editorModel().morphFieldPrefsChanged);

  input.Release(lines.L + 60.f, lines.MH());
  s.plug->persistMorphFieldPrefsIfChanged();
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_FALSE(s.plug->editorModel().morphFieldPrefsChanged);
  EXPECT_NE(fileText(path).find("morph_field_line_brightness="), std::string::npos);
}

TEST(MorphEditorOps, TouchingADisabledControlPulsesThePadOnlyWhereTheFieldGoverns)
{
  struct Case
  {
    const char* name;
    bool morphOn;
    uint32_t selection;
    int param;
    bool pulses;
  };
  const Case cases[] = {
    {"morphing, no point selected, a morph parameter", true, 0u, zarvo::par_main_drive, true},
    {"morphing, a point selected for editing", true, 1u << 2, zarvo::par_main_drive, false},
    {"morphing, a parameter the field does not carry", true, 0u, zarvo::par_oversampling, false},
    {"morphing, a parameter index out of range", true, 0u, 999, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    HeadlessMorphPage s(620, c.morphOn);
    s.buildMorphPage();
    zarvo::morph::MorphPadControl* pad = s.pad();
    ASSERT_NE(pad, nullptr);
    s.morph().engine().edit({.editing = false});
    s.morph().engine().edit({.moving = false});
    s.morph().engine().edit({.selection = c.selection});
    s.plug->onDisabledControlInteraction(c.param);
    EXPECT_EQ(padProbe(*pad).pulseTarget != 0, c.pulses);
  }

  // Without the page (the short editor) nothing is there to pulse, and nothing fails.
  HeadlessMorphPage flat(200, true);
  flat.buildMorphPage();
  flat.plug->onDisabledControlInteraction(zarvo::par_main_drive);
  EXPECT_EQ(flat.G().NControls(), 0);
}

TEST(MorphEditorOps, RigTextsAndFilesGoThroughTheOpenEditor)
{
  HeadlessMorphPage s;
  EXPECT_TRUE(s.plug->editorServices().setClipboardText("# zarvo v1\n"));
  ASSERT_TRUE(s.Platform().clipboard.has_value());
  EXPECT_EQ(*s.Platform().clipboard, "# zarvo v1\n");
  std::string text;
  EXPECT_TRUE(s.plug->editorServices().getClipboardText(text));
  EXPECT_EQ(text, "# zarvo v1\n");

  // The preset manager's last-used folder, gone since it was used.
  const std::filesystem::path lastUsed =
    std::filesystem::temp_directory_path() / ("vemlor_editor_ops_" + std::to_string(::getpid())) / "last";
  std::filesystem::create_directories(lastUsed);
  ASSERT_NE(s.plug->presetManager(), nullptr);
  s.plug->presetManager()->restoreLastUsedDir(lastUsed.string());
  std::filesystem::remove_all(lastUsed.parent_path());

  using Action = zarvo::IEditorServices::EFileAction;
  struct Case
  {
    const char* name;
    Action action;
    std::string folder;
    std::optional<plugkit::gfx::test::HeadlessPlatform::FileAnswer> answer;
    std::string wantStart; // the folder the dialog starts in
    bool wantCreated;      // the start folder exists afterwards
    std::string want;
  };
  const Case cases[] = {
    {"open in the default folder, cancelled", Action::Open, "", std::nullopt, lastUsed.string(), false, ""},
    {"save in the default folder, chosen", Action::Save, "",
     plugkit::gfx::test::HeadlessPlatform::FileAnswer{"/tmp/rig.zarvo", "/tmp"}, lastUsed.string(), true,
     "/tmp/rig.zarvo"},
    {"open in a named folder", Action::Open, "/tmp", plugkit::gfx::test::HeadlessPlatform::FileAnswer{"/tmp/a", "/tmp"},
     "/tmp", true, "/tmp/a"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    s.Platform().fileAnswers.push_back(c.answer);
    const size_t asked = s.Platform().fileDialogExtensions.size();
    std::optional<std::string> chosen;
    s.plug->editorServices().promptForFile("morph.zarvo", c.folder, c.action, "zarvo",
                                           [&chosen](const std::string& path, const std::string&) { chosen = path; });
    ASSERT_EQ(s.Platform().fileDialogExtensions.size(), asked + 1);
    EXPECT_EQ(s.Platform().fileDialogExtensions.back(), "zarvo");
    EXPECT_EQ(s.Platform().fileDialogFolders.back(), c.wantStart);
    EXPECT_EQ(std::filesystem::exists(c.wantStart), c.wantCreated);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, c.want);
  }
  std::filesystem::remove_all(lastUsed.parent_path());
}

TEST(MorphEditorOps, WithoutAnEditorTheFileChooserAnswersCancelled)
{
  HeadlessMorphPage s;
  s.plug->CloseWindow();
  std::string text = "left";
  EXPECT_FALSE(s.plug->editorServices().getClipboardText(text));
  EXPECT_FALSE(s.plug->editorServices().setClipboardText("# zarvo v1\n"));
  std::optional<std::string> chosen;
  s.plug->editorServices().promptForFile("", "", zarvo::IEditorServices::EFileAction::Open, "fxp",
                                         [&chosen](const std::string& path, const std::string&) { chosen = path; });
  EXPECT_EQ(chosen, std::optional<std::string>(""));
  s.plug->OpenWindow(nullptr);
}

} // namespace
} // namespace vemlor::ui::test
