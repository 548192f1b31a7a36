// The preset strip and the browser with the real pointer: stepping presets changes the sound to that
// preset's, the browser loads the row clicked, and saving goes through the file chooser (a fake
// zenity first on PATH) into a preset file another instance loads.
#include "tests/editor_e2e/e2e_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "product/patch/factory_presets.h"

namespace vemlor::e2e {
namespace {

using plugin_it::maxDifference;

int currentPreset(EditorSession& s) { return s.chunk().identity.index; }

// The sound of a factory preset as a patch given to a fresh instance in its state. A preset swaps the
// sound only: the morph field stays off as the editor left it.
Stereo renderFactoryPreset(int slot)
{
  plugin_it::Instance other;
  EXPECT_TRUE(other) << other.session.error;
  Chunk chunk = other.chunk().chunk;
  plugin_it::Patch patch = plugin_it::paramTable().preset(zarvo::factoryPresetDefs()[static_cast<size_t>(slot)]);
  patch[zarvo::par_morph_active] = 0.0;
  plugin_it::setPatch(chunk, patch);
  EXPECT_TRUE(other.setChunk(chunk));
  EXPECT_TRUE(other.restart()) << other.plugin().lastError();
  return plugin_it::render(other.plugin(), testSignal());
}

class StripE2E : public EditorE2E
{
protected:
  void SetUp() override
  {
    EditorE2E::SetUp();
    if (HasFatalFailure() || IsSkipped())
      return;
    // Presets step the sound itself, not a morph point's.
    setMorphOf(s, false);
    expandStrip();
    // From a factory preset: one step of next leads from a custom patch to the first.
    if (s.chunk().identity.kind != 1)
    {
      ASSERT_TRUE(click(stripZone(kZoneNext)));
      ASSERT_TRUE(s.pumpUntil([&] { return s.chunk().identity.kind == 1; })) << "next loads a factory preset";
    }
    start = s.chunk().identity.index;
    s.settle();
  }

  void step(StripZone zone, int expected)
  {
    ASSERT_TRUE(click(stripZone(zone)));
    ASSERT_TRUE(s.pumpUntil([&] { return currentPreset(s) == expected; }))
      << "now " << currentPreset(s) << ", expected " << expected;
  }

  int start = -1;
};

TEST_F(StripE2E, NextAndPreviousChangeTheSoundToThatPreset)
{
  const Stereo before = s.render(testSignal());
  const int n = zarvo::kNumFactoryPresets;
  const int next = (start + 1) % n;
  step(kZoneNext, next);
  const Stereo stepped = s.render(testSignal());

  EXPECT_GT(maxDifference(before, stepped), 1e-3) << "the next preset sounds different";
  EXPECT_EQ(maxDifference(stepped, renderFactoryPreset(next)), 0.0) << "it sounds as that preset loaded as state";
  EXPECT_EQ(maxDifference(stepped, renderState(s.state(), testSignal())), 0.0);
  s.screenshot("preset_strip_next");

  step(kZonePrevious, start);
  EXPECT_EQ(maxDifference(s.render(testSignal()), renderFactoryPreset(start)), 0.0);
}

TEST_F(StripE2E, TheBrowserLoadsTheRowClicked)
{
  ASSERT_TRUE(click(stripZone(kZoneName)));
  // The browser opens under the name with the current preset's row in the accent colour.
  const Rect name = stripZone(kZoneName);
  float currentRowY = -1.f;
  ASSERT_TRUE(s.pumpUntil([&] { return (currentRowY = browserCurrentRow(s)) >= 0.f; })) << "no current row";
  s.screenshot("preset_browser");
  // Rows are 20 high: one row further down is the next factory preset, one up the previous.
  const bool last = start == zarvo::kNumFactoryPresets - 1;
  ASSERT_TRUE(s.input().click(name.l + 30.f, currentRowY + 10.f + (last ? -20.f : 20.f)));
  ASSERT_TRUE(s.pumpUntil([&] { return currentPreset(s) != start; })) << "nothing was loaded";
  const int loaded = currentPreset(s);
  EXPECT_EQ(loaded, last ? start - 1 : start + 1) << "the row next to the current one";
  s.settle();
  EXPECT_LT(browserCurrentRow(s), 0.f) << "the browser closed";
  EXPECT_EQ(maxDifference(s.render(testSignal()), renderFactoryPreset(loaded)), 0.0);
}

class FakeChooser
{
public:
  FakeChooser()
  {
    dir = x11test::MakeTempDir("e2e_chooser");
    fifo = dir + "/answer";
    EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (std::string(VEMLOR_FAKE_BIN) + ":" + savedPath).c_str(), 1);
    setenv("VEMLOR_FAKE_CHOOSER_FIFO", fifo.c_str(), 1);
    setenv("VEMLOR_FAKE_CHOOSER_ARGS", (dir + "/args").c_str(), 1);
  }
  ~FakeChooser() { setenv("PATH", savedPath.c_str(), 1); }

  // Waits (pumping) for the chooser to open its end of the FIFO, then answers.
  bool reply(EditorSession& s, const std::string& line)
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

  std::string dir, fifo, savedPath;
};

TEST_F(StripE2E, SaveWritesAPresetFileThatLoadsElsewhere)
{
  FakeChooser chooser;
  ASSERT_TRUE(click(stripZone(kZoneSave)));
  const std::string file = chooser.dir + "/Mine.fxp";
  ASSERT_TRUE(chooser.reply(s, file));
  ASSERT_TRUE(s.pumpUntil([&] { return std::filesystem::exists(file); })) << "no preset file";
  ASSERT_TRUE(s.pumpUntil([&] { return s.chunk().identity.kind == 2; })) << "the saved file is the current patch";
  EXPECT_EQ(s.chunk().identity.name, file);
  s.settle();
  s.screenshot("preset_strip_saved");

  // Another instance loads the file through its own strip: it sounds the same.
  const Stereo here = s.render(testSignal());
  ASSERT_TRUE(s.close());
  EditorSession other;
  ASSERT_TRUE(other.open());
  setMorphOf(other, false);
  expandStripOf(other);
  ASSERT_TRUE(other.input().click(stripZone(kZoneLoad).cx(), stripZone(kZoneLoad).cy()));
  ASSERT_TRUE(chooser.reply(other, file));
  ASSERT_TRUE(other.pumpUntil([&] { return other.chunk().identity.kind == 2; })) << "the file was not loaded";
  EXPECT_EQ(maxDifference(other.render(testSignal()), here), 0.0);
}

} // namespace
} // namespace vemlor::e2e
