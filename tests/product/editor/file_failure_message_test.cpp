// What the open editor tells when a preset file chosen with the strip's save or load button could not
// be written or read: a message of its own in the bubble, and the patch, its name and the undo history
// stay as they were; and, once, that the preferences file could not be read and so is not replaced.
// Root writes into read-only folders, so the failures are made of things no one can write or read:
// a "Presets" that is a plain file, a link to a named pipe, a missing file, a file over the size cap.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "product/patch/prefs_access.h"
#include "product/patch/preset_manager.h"
#include "product/patch/settings_store.h"
#include "product/ui/tooltip_bubble_control.h"
#include "tests/product/editor/vemlor_editor_fixture.h"
#include "utils/ui/PresetStripControl.h"

namespace vemlor::ui::test {
namespace {

namespace fs = std::filesystem;
using plugkit::gfx::IBubbleControl;

constexpr const char* kNotSavedText = "the preset could not be saved.\nnothing was written.";
constexpr const char* kUnreadableText = "the preset could not be read.\nnothing was changed.";
constexpr const char* kNotOursText = "not a preset of this plug-in, or damaged.\nnothing was changed.";

std::vector<uint8_t> stateOf(Vemlor& plug)
{
  plugkit::IByteChunk chunk;
  EXPECT_TRUE(plug.SerializeState(chunk));
  return {chunk.GetData(), chunk.GetData() + chunk.Size()};
}

void writeFile(const fs::path& path, std::string_view bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PresetFileMessage, AFailedSaveOrLoadFromTheStripIsToldAndChangesNothing)
{
  const fs::path folder = fs::temp_directory_path() / ("vemlor_preset_file_message_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  writeFile(folder / "Presets", "a file where the preset folder should be");
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0666), 0);
  fs::create_symlink(folder / "pipe", folder / "linked.fxp");
  writeFile(folder / "notes.fxp", "not a preset\n");

  struct Row
  {
    const char* name;
    bool save;
    fs::path path;
    const char* text;
  };
  const Row rows[] = {
    {"save into a Presets that is a file", true, folder / "Presets" / "Mine.fxp", kNotSavedText},
    {"save through a link to a pipe", true, folder / "linked.fxp", kNotSavedText},
    {"load a missing file", false, folder / "gone.fxp", kUnreadableText},
    {"load a pipe", false, folder / "pipe", kUnreadableText},
    {"load a file of no preset format", false, folder / "notes.fxp", kNotOursText},
  };
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.name);
    VemlorEditorFixture f;
    f.idle();
    f.frame();
    auto* strip = dynamic_cast<zarvo::ui::PresetStripControl*>(f.tagged(kTagPresetStrip));
    ASSERT_NE(strip, nullptr);
    auto* bubble = dynamic_cast<TooltipBubbleControl*>(f.G().GetBubbleControl(0));
    ASSERT_NE(bubble, nullptr);
    zarvo::PresetManager& pm = *f.plug->presetManager();
    const std::vector<uint8_t> before = stateOf(*f.plug);
    const zarvo::PatchIdentity identity = pm.patchIdentity();
    const size_t undoDepth = pm.undoStack().size();

    f.platform.fileAnswers.push_back(
      plugkit::gfx::test::HeadlessPlatform::FileAnswer{row.path.string(), row.path.parent_path().string()});
    if (row.save)
      strip->promptSave();
    else
      strip->promptLoad();
    f.idle();
    f.frame();

    EXPECT_TRUE(f.platform.fileAnswers.empty()) << "the dialog was asked";
    EXPECT_EQ(stateOf(*f.plug), before);
    EXPECT_EQ(pm.patchIdentity(), identity);
    EXPECT_EQ(pm.undoStack().size(), undoDepth);
    ASSERT_TRUE(bubble->GetState() == IBubbleControl::kExpanding || bubble->GetState() == IBubbleControl::kShown);
    EXPECT_STREQ(bubble->GetStr(), row.text);
    // Inside the editor, whole.
    const plugkit::gfx::IRECT r = bubble->GetBubbleBounds();
    EXPECT_TRUE(plugkit::gfx::IRECT(0.f, 0.f, f.G().Width(), f.G().Height()).Contains(r));
  }
  EXPECT_EQ(readFile(folder / "Presets"), "a file where the preset folder should be");
  EXPECT_TRUE(fs::is_fifo(folder / "pipe"));
  fs::remove_all(folder);
}

TEST(PreferencesFileMessage, AFileThatCannotBeReadIsKeptAndToldOnce)
{
  const fs::path path = zarvo::prefs().path();
  ASSERT_FALSE(path.empty());
  fs::create_directories(path.parent_path());
  const std::string handWritten = "my_own=line\n" + std::string(zarvo::SettingsStore::kMaxFileBytes, '#');
  writeFile(path, handWritten);

  VemlorEditorFixture f;
  f.idle();
  f.frame();
  auto* bubble = dynamic_cast<TooltipBubbleControl*>(f.G().GetBubbleControl(0));
  ASSERT_NE(bubble, nullptr);
  const auto shown = [&] {
    return bubble->GetState() == IBubbleControl::kExpanding || bubble->GetState() == IBubbleControl::kShown;
  };
  f.plug->writePreference(zarvo::prefkey::kHoverHelp, "0");
  f.frame();
  EXPECT_EQ(readFile(path), handWritten);
  EXPECT_EQ(zarvo::prefs().getString(zarvo::prefkey::kHoverHelp, ""), "0");
  ASSERT_TRUE(shown());
  EXPECT_STREQ(bubble->GetStr(),
               "preferences.ini could not be read, so it is not replaced.\nsettings last until the host quits.");

  // The message holds a while and goes; the next save is held back too, silently.
  f.idle(210);
  ASSERT_FALSE(shown());
  f.plug->writePreference(zarvo::prefkey::kHoverHelp, "1");
  f.frame();
  EXPECT_FALSE(shown());
  EXPECT_EQ(readFile(path), handWritten);

  fs::remove(path);
  EXPECT_EQ(zarvo::prefs().save(), plugkit::EFileResult::kOk);
}

} // namespace
} // namespace vemlor::ui::test
