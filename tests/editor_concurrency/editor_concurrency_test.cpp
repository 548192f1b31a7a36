// The product's editor open in the test host while a host thread automates every parameter every
// block, and the main thread meanwhile steps presets, opens the browser, undoes and redoes, switches
// the morph field, drags on the pad, restores a state and closes and reopens the editor, with real
// pointer and key input. Built and run under ThreadSanitizer (build-tsan), where any data race
// between the threads fails the program; VEMLOR_CONCURRENCY_SECONDS bounds the run.
#include "tests/editor_e2e/e2e_fixture.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace vemlor::e2e {
namespace {

namespace fs = std::filesystem;
using Steinberg::Vst::ParamID;

double runSeconds()
{
  const char* text = std::getenv("VEMLOR_CONCURRENCY_SECONDS");
  const double seconds = text ? std::atof(text) : 0.0;
  return seconds > 0.0 ? seconds : 30.0;
}

// The host's side: every block, a change for every parameter (each sweeping at a rate of its own,
// so switches and stepped parameters change now and then), then the block on the audio thread.
class Automation
{
public:
  Automation(testhost::Plugin& plugin, std::vector<ParamID> ids)
    : mPlugin(plugin)
    , mIds(std::move(ids))
    , mThread([this] { run(); })
  {}
  ~Automation() { stop(); }
  Automation(const Automation&) = delete;
  Automation& operator=(const Automation&) = delete;

  void stop()
  {
    mQuit = true;
    if (mThread.joinable())
      mThread.join();
  }
  int64_t blocks() const { return mBlocks.load(); }

private:
  static constexpr int kBlock = 128;

  void run()
  {
    for (int64_t block = 0; !mQuit; ++block)
    {
      for (size_t i = 0; i < mIds.size(); ++i)
      {
        const double rate = 0.002 * static_cast<double>(i % 7 + 1);
        const double value = 0.5 + 0.5 * std::sin(rate * static_cast<double>(block) + static_cast<double>(i));
        mPlugin.addParameterChange(mIds[i], static_cast<int>(i) % kBlock, value);
      }
      mPlugin.process(kBlock);
      mBlocks = block + 1;
    }
  }

  testhost::Plugin& mPlugin;
  std::vector<ParamID> mIds;
  std::atomic<bool> mQuit{false};
  std::atomic<int64_t> mBlocks{0};
  std::thread mThread;
};

// A data folder of the test's own, with a few user presets for the browser to list.
class DataFolder
{
public:
  DataFolder()
  {
    mRoot = x11test::MakeTempDir("editor_concurrency");
    const fs::path presets = fs::path(mRoot) / "Vemlor" / "Presets";
    for (const char* name : {"Bass/Round", "Bass/Deep", "Lead/Saw", "Init"})
    {
      fs::create_directories((presets / name).parent_path());
      std::ofstream(presets / (std::string(name) + ".fxp"), std::ios::binary) << "CcnK";
    }
    const char* saved = std::getenv("XDG_DATA_HOME");
    mSaved = saved ? std::optional<std::string>(saved) : std::nullopt;
    ::setenv("XDG_DATA_HOME", mRoot.c_str(), 1);
  }
  ~DataFolder()
  {
    if (mSaved)
      ::setenv("XDG_DATA_HOME", mSaved->c_str(), 1);
    else
      ::unsetenv("XDG_DATA_HOME");
    std::error_code ec;
    fs::remove_all(mRoot, ec);
  }
  DataFolder(const DataFolder&) = delete;
  DataFolder& operator=(const DataFolder&) = delete;

private:
  std::string mRoot;
  std::optional<std::string> mSaved;
};

TEST(EditorConcurrency, MainThreadWorksTheEditorWhileTheHostAutomatesEveryParameter)
{
  REQUIRE_X_DISPLAY();
  const DataFolder data;
  EditorSession s;
  ASSERT_TRUE(s) << s.session.error;
  ASSERT_TRUE(s.restartProcessing()) << s.session.plugin->lastError();
  ASSERT_TRUE(s.open());
  expandStripOf(s);
  const std::vector<uint8_t> saved = s.state();
  ASSERT_FALSE(saved.empty());

  std::vector<ParamID> ids;
  for (const auto& [id, info] : s.session.parameters())
    ids.push_back(id);
  ASSERT_GE(ids.size(), static_cast<size_t>(zarvo::kNumParams)); // with the controller's MIDI parameters

  std::mt19937 random(7);
  auto at = [&](float from, float to) { return std::uniform_real_distribution<float>(from, to)(random); };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(runSeconds());
  int actions = 0, reopened = 0;
  {
    Automation host(*s.session.plugin, ids);
    for (; std::chrono::steady_clock::now() < deadline; ++actions)
    {
      const auto click = [&](const Rect& r) { return s.input().click(r.cx(), r.cy()); };
      switch (actions % 9)
      {
      case 0: EXPECT_TRUE(click(stripZone(kZoneNext))); break;
      case 1: EXPECT_TRUE(click(stripZone(kZonePrevious))); break;
      case 2: EXPECT_TRUE(click(stripZone(kZoneUndo))); break;
      case 3: EXPECT_TRUE(click(stripZone(kZoneRedo))); break;
      case 4: EXPECT_TRUE(click(kMorphToggle)); break;
      case 5:
        // On the pad when the morph page shows; elsewhere it drags whatever lies there.
        EXPECT_TRUE(
          s.input().drag(at(kMorphPad.l + 20.f, kMorphPad.r - 20.f), at(kMorphPad.t + 20.f, kMorphPad.b - 20.f),
                         at(kMorphPad.l + 20.f, kMorphPad.r - 20.f), at(kMorphPad.t + 20.f, kMorphPad.b - 20.f), 4));
        break;
      case 6:
        // The browser opens (reading the preset folders again) and closes.
        EXPECT_TRUE(click(stripZone(kZoneName)));
        s.settle(2);
        EXPECT_TRUE(s.input().key("Escape"));
        break;
      case 7: EXPECT_TRUE(s.setState(saved)); break;
      case 8:
        ASSERT_TRUE(s.close());
        s.settle(2);
        ASSERT_TRUE(s.open());
        ++reopened;
        break;
      }
      s.settle(1);
    }
    host.stop();
    EXPECT_GT(host.blocks(), actions) << "the host thread kept processing";
    std::printf("%d actions on the main thread (%d reopenings), %lld blocks on the host's\n", actions, reopened,
                static_cast<long long>(host.blocks()));
  }
  EXPECT_GE(actions, 9) << "every kind of action ran at least once";
  EXPECT_GE(reopened, 1);
  // Still a working instance: its state reads back and restores.
  EXPECT_TRUE(s.setState(s.state()));
  s.screenshot("editor_concurrency_end");
}

} // namespace
} // namespace vemlor::e2e
