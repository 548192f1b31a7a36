// Patches between instances: a saved state sounds the same elsewhere, every factory preset renders
// sanely, and new instances start on starter presets.
#include <cctype>
#include <cmath>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "tests/plugin_it/support.h"
#include "tests/support/users_run.h"

namespace vemlor::plugin_it {
namespace {

using namespace zarvo;

constexpr Steinberg::Vst::ProgramListID kPresetList = 0x10001;

// Preset files are written and read only by the editor's preset actions, so the state stream
// carries the patch from one instance to the other here.
TEST(PluginPresets, AStateSavedByOneInstanceSoundsTheSameInAnother)
{
  Instance first;
  ASSERT_TRUE(first) << first.session.error;
  ASSERT_TRUE(first.setChunk(richChunk(first.chunk().chunk)));
  // The host automates the saving instance before it saves.
  ASSERT_TRUE(first.restart());
  const Stereo noise = noiseSignal(0.1, 3);
  render(first.plugin(), noise, [&](int block) {
    first.plugin().addParameterChange(par_main_drive, 0, 0.1 * block);
    first.plugin().addParameterChange(par_break_intensity, 0, 0.05 * block);
  });
  const std::vector<uint8_t> saved = first.state();

  Instance second;
  ASSERT_TRUE(second) << second.session.error;
  ASSERT_TRUE(second.setState(saved));
  Instance fresh;
  ASSERT_TRUE(fresh) << fresh.session.error;

  const Stereo drums = drumSignal(1.0);
  Stereo rendered[3];
  Instance* instances[] = {&first, &second, &fresh};
  for (int i = 0; i < 3; ++i)
  {
    ASSERT_TRUE(instances[i]->restart());
    rendered[i] = render(instances[i]->plugin(), drums);
  }
  EXPECT_EQ(maxDifference(rendered[0], rendered[1]), 0.0);
  EXPECT_GT(maxDifference(rendered[0], rendered[2]), 1e-3) << "a new instance has a sound of its own";
}

std::string testName(int slot)
{
  std::string name = "slot" + std::to_string(slot) + "_";
  for (const char* c = factoryPresetDefs()[static_cast<size_t>(slot)].name; *c; ++c)
    name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return name;
}

// One instance renders every preset: each gets its own chunk, the instance is set up afresh.
class FactoryPreset : public ::testing::TestWithParam<int>
{
protected:
  static void SetUpTestSuite()
  {
    instance = std::make_unique<Instance>();
    if (*instance)
      base = instance->chunk().chunk;
  }
  static void TearDownTestSuite()
  {
    base.reset();
    instance.reset();
  }

  struct Signal
  {
    const char* name;
    Stereo audio;
  };
  static const std::array<Signal, 2>& signals()
  {
    static const std::array<Signal, 2> both = {{{"drums", drumSignal(1.0)}, {"sweep", sweepSignal(1.0)}}};
    return both;
  }

  static inline std::unique_ptr<Instance> instance;
  static inline std::optional<Chunk> base;
};

TEST_P(FactoryPreset, RendersFiniteAudibleAndBelowFullScale)
{
  ASSERT_TRUE(base.has_value()) << instance->session.error;
  const int slot = GetParam();
  const FactoryPresetDef& def = factoryPresetDefs()[static_cast<size_t>(slot)];

  Steinberg::FUnknownPtr<Steinberg::Vst::IUnitInfo> units(&instance->session.controller());
  ASSERT_TRUE(units);
  Steinberg::Vst::String128 name{};
  ASSERT_EQ(units->getProgramName(kPresetList, slot, name), Steinberg::kResultOk);
  EXPECT_EQ(testhost::toUtf8(name, 128), def.name) << "the plug-in's preset slot holds this preset";

  // The preset's own sound: loading a preset keeps the workspace, whose morph switch is off here
  // and whose oversampling is the one the preset's name suggests.
  Chunk chunk = *base;
  Patch patch = paramTable().preset(def);
  patch[par_morph_active] = 0.0;
  if (std::string_view(def.name).ends_with(" os4x"))
    patch[par_oversampling] = 2.0;
  setPatch(chunk, patch);
  ASSERT_TRUE(instance->setChunk(chunk));

  for (const Signal& signal : signals())
  {
    SCOPED_TRACE(signal.name);
    ASSERT_TRUE(instance->restart());
    const Stereo out = render(instance->plugin(), signal.audio);
    bool finite = true;
    for (const auto& channel : out)
      for (double x : channel)
        finite = finite && std::isfinite(x);
    ASSERT_TRUE(finite);
    EXPECT_LT(peak(out), 1.0) << "peak " << 20.0 * std::log10(peak(out)) << " dBFS";
    EXPECT_GT(peak(out), 1e-3) << "peak " << 20.0 * std::log10(peak(out)) << " dBFS";
  }
}

INSTANTIATE_TEST_SUITE_P(AllSlots, FactoryPreset, ::testing::Range(0, kNumFactoryPresets),
                         [](const ::testing::TestParamInfo<int>& info) { return testName(info.param); });

TEST(PluginPresets, NewInstancesStartOnARandomStarterPreset)
{
  struct Starter
  {
    int slot;
    const char* name;
    std::array<double, kNumParams> normalized;
  };
  std::vector<Starter> starters;
  for (int slot = 0; slot < kNumFactoryPresets; ++slot)
  {
    const FactoryPresetDef& def = factoryPresetDefs()[static_cast<size_t>(slot)];
    if (!def.starter)
      continue;
    const Patch patch = paramTable().preset(def);
    Starter& s = starters.emplace_back(Starter{slot, def.name, {}});
    for (int i = 0; i < kNumParams; ++i)
      s.normalized[static_cast<size_t>(i)] = paramTable().normalized(i, patch[static_cast<size_t>(i)]);
  }
  ASSERT_EQ(starters.size(), 36u);

  // The random choice itself, not the tests' fixed seed.
  const vemlor::test::UsersRun usersRun;
  std::set<int> seen;
  for (int n = 0; n < 20; ++n)
  {
    SCOPED_TRACE("instance " + std::to_string(n));
    Instance instance;
    ASSERT_TRUE(instance) << instance.session.error;
    const auto host = instance.hostValues();
    const Starter* match = nullptr;
    for (const Starter& s : starters)
    {
      bool same = true;
      for (size_t i = 0; i < host.size(); ++i)
        same = same && std::abs(host[i] - s.normalized[i]) <= 1e-12;
      if (same)
        match = &s;
    }
    ASSERT_NE(match, nullptr) << "the host's parameters are those of a starter preset";
    seen.insert(match->slot);
    const Identity identity = instance.chunk().chunk.identity;
    EXPECT_EQ(identity, (Identity{1, match->slot, 0, match->name}));
  }
  EXPECT_GE(seen.size(), 2u);
}

} // namespace
} // namespace vemlor::plugin_it
