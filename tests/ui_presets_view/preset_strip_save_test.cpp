// Saving and loading a preset with the strip's buttons in a real editor window: real clicks through
// the X server, the chooser a fake zenity first on PATH, the preset manager the real one.
#include "tests/editor_view/view_session.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "product/patch/preset_manager.h"
#include "product/ui/preset_manager_library.h"
#include "utils/ui/PresetStripControl.h"

namespace vemlor::viewtest {
namespace {

using zarvo::ui::PresetStripControl;

constexpr plugkit::gfx::IRECT kStripRect{77.f, 0.f, 696.f, 18.f};

class PresetStripSave : public ::testing::Test
{
protected:
  void SetUp() override
  {
    REQUIRE_X_DISPLAY();
    dir = x11test::MakeTempDir("strip_save");
    userDir = dir + "/Presets/Vemlor"; // not there yet: saving makes it
    fifo = dir + "/answer";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (std::string(VEMLOR_FAKE_BIN) + ":" + savedPath).c_str(), 1);
    setenv("VEMLOR_FAKE_CHOOSER_FIFO", fifo.c_str(), 1);
    setenv("VEMLOR_FAKE_CHOOSER_ARGS", (dir + "/args").c_str(), 1);

    manager = std::make_unique<zarvo::PresetManager>(*s.plug, "Knob Fixture", userDir, 8);
    library = std::make_unique<vemlor::ui::PresetManagerLibrary>(*manager);
    s.plug->extraLayout = [this](plugkit::gfx::IGfx* g) {
      strip = new PresetStripControl(kStripRect, *library, plugkit::gfx::DEFAULT_STYLE);
      strip->collapsed = false;
      strip->showRedo = true;
      strip->buttonWidth = 34.2f;
      g->AttachControl(strip, 1066, "PRESET");
    };
    ASSERT_TRUE(s.open());
    ASSERT_TRUE(s.waitForFirstFrame());
  }

  void TearDown() override
  {
    if (!savedPath.empty())
      setenv("PATH", savedPath.c_str(), 1);
  }

  void clickZone(int zone)
  {
    const plugkit::gfx::IRECT r = strip->zoneRect(zone);
    const std::vector<std::string> argv{"xdotool",
                                        "mousemove",
                                        "--window",
                                        std::to_string(s.childWindow()),
                                        std::to_string(static_cast<int>(r.MW())),
                                        std::to_string(static_cast<int>(r.MH())),
                                        "click",
                                        "1"};
    int status = 0;
    for (int attempt = 0; attempt < 3 && (status = x11test::RunTool(argv)) == 1; ++attempt)
    {}
    ASSERT_EQ(status, 0);
  }

  // Waits for the chooser to read its answer, then gives it.
  bool reply(const std::string& line)
  {
    int fd = -1;
    s.pumpUntil([&] { return (fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) >= 0 || errno != ENXIO; });
    if (fd < 0)
      return false;
    const std::string text = line + "\n";
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return written;
  }

  std::string chooserArgs()
  {
    std::ifstream in(dir + "/args");
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  ViewSession s;
  std::unique_ptr<zarvo::PresetManager> manager;
  std::unique_ptr<vemlor::ui::PresetManagerLibrary> library;
  PresetStripControl* strip = nullptr;
  std::string dir, userDir, fifo, savedPath;
};

TEST_F(PresetStripSave, SaveThenLoadThroughTheChooser)
{
  s.plug->GetParam(0)->Set(0.25);
  clickZone(PresetStripControl::kSave);
  ASSERT_TRUE(s.pumpUntil([&] { return strip->dialogOpen(); }));
  EXPECT_TRUE(std::filesystem::is_directory(userDir));
  const std::string file = userDir + "/Warm Pad.fxp";
  ASSERT_TRUE(reply(file));
  ASSERT_TRUE(s.pumpUntil([&] { return !strip->dialogOpen(); }));

  const std::string args = chooserArgs();
  EXPECT_NE(args.find("--save"), std::string::npos) << args;
  EXPECT_NE(args.find("--filename=" + userDir + "/"), std::string::npos) << args;
  EXPECT_NE(args.find("--file-filter=*.fxp"), std::string::npos) << args;

  ASSERT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(manager->userPresets().size(), 1u);
  EXPECT_EQ(manager->currentIndex(), manager->factoryCount());
  EXPECT_EQ(manager->lastUsedDir(), userDir);
  EXPECT_EQ(strip->labelAndPrefix().first, "Warm Pad");

  // The saved file loads back through the load button, starting in the folder just used.
  s.plug->GetParam(0)->Set(0.9);
  clickZone(PresetStripControl::kLoad);
  ASSERT_TRUE(s.pumpUntil([&] { return strip->dialogOpen(); }));
  ASSERT_TRUE(reply(file));
  ASSERT_TRUE(s.pumpUntil([&] { return !strip->dialogOpen(); }));
  EXPECT_EQ(chooserArgs().find("--save"), std::string::npos);
  EXPECT_DOUBLE_EQ(s.plug->GetParam(0)->Value(), 0.25);
}

TEST_F(PresetStripSave, CancelledChooserSavesNothing)
{
  clickZone(PresetStripControl::kSave);
  ASSERT_TRUE(s.pumpUntil([&] { return strip->dialogOpen(); }));
  ASSERT_TRUE(reply("cancel"));
  ASSERT_TRUE(s.pumpUntil([&] { return !strip->dialogOpen(); }));
  EXPECT_TRUE(manager->userPresets().empty());
  EXPECT_EQ(manager->currentIndex(), -1);
  EXPECT_EQ(strip->labelAndPrefix().first, "custom preset");
}

} // namespace
} // namespace vemlor::viewtest
