// Vemlor.vst3 as a host sees it: exports, class description, buses, audio, state and teardown.
#include "tests/host/test_host.h"
#include "product/params/params.h"

#include "pluginterfaces/vst/vsttypes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>

namespace vemlor::testhost {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

class VemlorBundle : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string error;
    bundle = Bundle::open(VEMLOR_BUNDLE_PATH, error);
    ASSERT_TRUE(bundle) << error;
  }

  void TearDown() override
  {
    plugin.reset();
    if (bundle)
    {
      EXPECT_TRUE(bundle->close().clean());
    }
  }

  void createPlugin()
  {
    const ClassInfo* info = bundle->findClass(kVstAudioEffectClass);
    ASSERT_NE(info, nullptr);
    std::string error;
    plugin = Plugin::create(*bundle, *info, host, error);
    ASSERT_TRUE(plugin) << error;
  }

  Host host;
  std::unique_ptr<Bundle> bundle;
  std::unique_ptr<Plugin> plugin;
};

TEST(VemlorLibrary, EveryBundledFontHasItsLicenceBesideIt)
{
  const std::filesystem::path resources = std::filesystem::path(VEMLOR_BUNDLE_PATH) / "Contents" / "Resources";
  const struct
  {
    const char* font;
    const char* licence;
    const char* phrase;
  } fonts[] = {
    {"Roboto-Regular.ttf", "Roboto-Regular-LICENSE.txt", "Apache License"},
    {"RobotoMono-Regular.ttf", "RobotoMono-Regular-LICENSE.txt", "SIL OPEN FONT LICENSE Version 1.1"},
    {"materialdesignicons-webfont.ttf", "materialdesignicons-webfont-LICENSE.txt", "Apache 2.0"},
  };
  for (const auto& f : fonts)
  {
    EXPECT_TRUE(std::filesystem::is_regular_file(resources / f.font)) << f.font;
    std::ifstream in(resources / f.licence);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(f.phrase), std::string::npos) << f.licence;
  }
}

TEST(VemlorLibrary, ExportsExactlyTheThreeEntryPoints)
{
  const std::string command = std::string(VEMLOR_NM) + " -D --defined-only '" +
                              Steinberg::Vst::HostModule::libraryPathOf(VEMLOR_BUNDLE_PATH) + "'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> symbols;
  char line[512];
  while (fgets(line, sizeof line, pipe))
  {
    std::istringstream fields(line);
    std::string address, type, name;
    if (fields >> address >> type >> name)
      symbols.insert(name);
  }
  ASSERT_EQ(pclose(pipe), 0);
  EXPECT_EQ(symbols, (std::set<std::string>{"GetPluginFactory", "ModuleEntry", "ModuleExit"}));
}

TEST_F(VemlorBundle, DescribesOneEffectClass)
{
  EXPECT_EQ(bundle->factoryInfo().vendor, "ZarvoAudio");
  EXPECT_EQ(bundle->factoryInfo().flags, PFactoryInfo::kUnicode);
  ASSERT_EQ(bundle->classes().size(), 1u);
  const ClassInfo& c = bundle->classes()[0];
  const std::array<uint8_t, 16> cid{0xF2, 0xAE, 0xE7, 0x0D, 0x00, 0xDE, 0x4F, 0x4E,
                                    'Z',  'r',  'v',  'A',  'V',  'm',  'l',  'r'};
  EXPECT_EQ(c.cid, cid);
  EXPECT_EQ(c.cardinality, 0x7FFFFFFF);
  EXPECT_EQ(c.category, "Audio Module Class");
  EXPECT_EQ(c.name, "Vemlor");
  EXPECT_EQ(c.unicodeName, "Vemlor");
  EXPECT_EQ(c.classFlags, 2u);
  EXPECT_EQ(c.subCategories, "Fx");
  EXPECT_EQ(c.vendor, "");
  EXPECT_EQ(c.version, "1.3.0");
  EXPECT_EQ(c.sdkVersion, kVstVersionString);
}

TEST_F(VemlorBundle, SecondLoadEntersAgainAndSharesTheFactory)
{
  std::string error;
  auto again = Steinberg::Vst::HostModule::load(VEMLOR_BUNDLE_PATH, error);
  ASSERT_TRUE(again) << error;
  EXPECT_EQ(again->getFactory(), bundle->pluginFactory());
  const auto report = again->unload();
  EXPECT_EQ(report.factoryReferencesLeft, 1u); // the first load's reference
  EXPECT_TRUE(report.exited);
  EXPECT_TRUE(report.closed);
}

TEST_F(VemlorBundle, HasStereoBusesAndAMidiInput)
{
  createPlugin();
  IComponent* component = plugin->component();
  struct BusCase
  {
    MediaType type;
    BusDirection dir;
    const char* name;
    int32 channels;
  } cases[] = {
    {kAudio, kInput, "Input", 2},
    {kAudio, kOutput, "Output", 2},
    {kEvent, kInput, "MIDI Input", 1},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(component->getBusCount(c.type, c.dir), 1);
    BusInfo info{};
    ASSERT_EQ(component->getBusInfo(c.type, c.dir, 0, info), kResultTrue);
    EXPECT_EQ(toUtf8(info.name, 128), c.name);
    EXPECT_EQ(info.channelCount, c.channels);
    EXPECT_EQ(info.busType, kMain);
  }
  EXPECT_EQ(component->getBusCount(kEvent, kOutput), 0);
  SpeakerArrangement stereo = SpeakerArr::kStereo, mono = SpeakerArr::kMono;
  EXPECT_EQ(plugin->processor()->setBusArrangements(&stereo, 1, &stereo, 1), kResultTrue);
  EXPECT_NE(plugin->processor()->setBusArrangements(&mono, 1, &stereo, 1), kResultTrue);
  EXPECT_EQ(plugin->processor()->getLatencySamples(), 0u);
}

struct PassThroughCase
{
  const char* name;
  double rate;
  int32 sampleSize;
  int32 maxBlock;
  std::vector<int32> blocks;
};

class VemlorPassThrough : public VemlorBundle, public ::testing::WithParamInterface<PassThroughCase>
{};

TEST_P(VemlorPassThrough, OutputEqualsInputWithoutAllocationOrModeChange)
{
  const PassThroughCase& c = GetParam();
  createPlugin();
  ProcessConfig config;
  config.sampleRate = c.rate;
  config.sampleSize = c.sampleSize;
  config.maxBlockSize = c.maxBlock;
  ASSERT_TRUE(plugin->startProcessing(config)) << plugin->lastError();

  std::mt19937 random(7);
  // Values a float holds exactly, so both sample sizes must pass them through unchanged.
  std::uniform_int_distribution<int> level(-32768, 32767);
  for (int32 frames : c.blocks)
  {
    for (int32 ch = 0; ch < 2; ++ch)
      for (int32 i = 0; i < frames; ++i)
        plugin->input(0, ch)[i] = level(random) / 32768.0;
    // The dry-only mix with the morph field off must leave the input untouched, bit for bit.
    plugin->addParameterChange(zarvo::par_dry_wet, 0, 0.0);
    plugin->addParameterChange(zarvo::par_morph_active, 0, 0.0);
    const BlockReport report = plugin->process(frames);
    ASSERT_EQ(report.result, kResultOk);
    EXPECT_EQ(report.allocations, 0u);
    EXPECT_TRUE(report.fpModeKept());
    for (int32 ch = 0; ch < 2; ++ch)
      for (int32 i = 0; i < frames; ++i)
        ASSERT_EQ(plugin->output(0, ch)[i], plugin->input(0, ch)[i]) << "channel " << ch << ", sample " << i;
  }
  EXPECT_EQ(plugin->blocksProcessed(), static_cast<int64_t>(c.blocks.size()));
  const TeardownReport teardown = plugin->teardown();
  EXPECT_EQ(teardown.componentReferencesLeft, 0u);
  EXPECT_TRUE(teardown.hostReferencesHeld.empty());
  EXPECT_TRUE(teardown.clean());
}

INSTANTIATE_TEST_SUITE_P(
  Rates, VemlorPassThrough,
  ::testing::Values(PassThroughCase{"Rate44k1Float1", 44100, kSample32, 1, {1, 1, 1}},
                    PassThroughCase{"Rate48kFloat512", 48000, kSample32, 512, {512, 512}},
                    PassThroughCase{"Rate96kDouble4096", 96000, kSample64, 4096, {4096, 4096}},
                    PassThroughCase{"Rate48kDoubleVariable", 48000, kSample64, 1024, {1, 17, 1024, 0, 300}},
                    PassThroughCase{"Rate96kFloatVariable", 96000, kSample32, 2048, {2048, 5, 0, 1999}}),
  [](const auto& info) { return std::string(info.param.name); });

TEST_F(VemlorBundle, StateRoundTripsByteForByte)
{
  createPlugin();
  const auto saved = plugin->getState();
  ASSERT_TRUE(saved);
  EXPECT_FALSE(saved->empty());
  EXPECT_TRUE(plugin->setState(*saved));
  EXPECT_EQ(plugin->getState(), saved);
  EXPECT_TRUE(plugin->teardown().clean());
}

} // namespace
} // namespace vemlor::testhost
