// What a VST3 validator checks, in the test host: parameter and unit scan rules, buses, state
// transitions, processing at every rate and block size, flush calls, silence, sample-accurate
// automation, clean output, no heap allocation inside process and clean teardown.
#include "tests/host/allocation_counter.h"
#include "tests/IPlugin/VST3/host_session.h"

#include "pluginterfaces/gui/iplugview.h"

#include <gtest/gtest.h>

// After GoogleTest: X11's macros (None, Bool) clash with its names.
#include "tests/host/host_window.h"

#include <bit>
#include <cmath>
#include <functional>
#include <random>
#include <atomic>
#include <thread>
#include <set>

namespace vemlor::testhost {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

struct BundleCase
{
  const char* name;
  const char* path;
};

const BundleCase kBundles[] = {{"Vemlor", VEMLOR_BUNDLE_PATH}, {"echo", ECHO_BUNDLE_PATH}};

TEST(VST3Conformance, ParametersAndUnitsPassTheScanRules)
{
  for (const BundleCase& b : kBundles)
  {
    SCOPED_TRACE(b.name);
    HostSession s(b.path);
    ASSERT_TRUE(s) << s.error;
    std::map<UnitID, UnitID> parentOf;
    {
      FUnknownPtr<IUnitInfo> unitInfo(s.plugin->controller());
      ASSERT_TRUE(unitInfo);
      for (int32 i = 0; i < unitInfo->getUnitCount(); ++i)
      {
        UnitInfo unit{};
        ASSERT_EQ(unitInfo->getUnitInfo(i, unit), kResultTrue);
        EXPECT_TRUE(parentOf.emplace(unit.id, unit.parentUnitId).second) << "unit id " << unit.id << " twice";
      }
    }
    ASSERT_TRUE(parentOf.count(kRootUnitId));
    EXPECT_EQ(parentOf.at(kRootUnitId), kNoParentUnitId);
    for (const auto& [id, parent] : parentOf)
    {
      // Every chain of parents ends at the root.
      UnitID at = id;
      for (int steps = 0; at != kRootUnitId && steps <= static_cast<int>(parentOf.size()); ++steps)
      {
        ASSERT_TRUE(parentOf.count(at)) << "unit " << id;
        at = parentOf.at(at);
      }
      EXPECT_EQ(at, kRootUnitId) << "unit " << id;
    }

    IEditController& controller = s.controller();
    const int32 count = controller.getParameterCount();
    ASSERT_GT(count, 0);
    std::set<ParamID> ids;
    int bypassCount = 0;
    for (int32 i = 0; i < count; ++i)
    {
      ParameterInfo info{};
      ASSERT_EQ(controller.getParameterInfo(i, info), kResultTrue);
      SCOPED_TRACE(toUtf8(info.title, 128));
      EXPECT_TRUE(ids.insert(info.id).second) << "id " << info.id << " twice";
      EXPECT_GE(static_cast<int32>(info.id), 0);
      EXPECT_FALSE(toUtf8(info.title, 128).empty());
      EXPECT_GE(info.defaultNormalizedValue, 0.0);
      EXPECT_LE(info.defaultNormalizedValue, 1.0);
      EXPECT_GE(info.stepCount, 0);
      EXPECT_TRUE(parentOf.count(info.unitId)) << "unit " << info.unitId;
      const ParamValue value = controller.getParamNormalized(info.id);
      EXPECT_TRUE(value >= 0.0 && value <= 1.0);
      for (double v : {0.0, 0.5, 1.0})
      {
        String128 text{};
        EXPECT_EQ(controller.getParamStringByValue(info.id, v, text), kResultTrue);
      }
      if (info.flags & ParameterInfo::kIsBypass)
      {
        ++bypassCount;
        EXPECT_TRUE(info.flags & ParameterInfo::kCanAutomate);
        EXPECT_FALSE(info.flags &
                     (ParameterInfo::kIsReadOnly | ParameterInfo::kIsHidden | ParameterInfo::kIsProgramChange));
        EXPECT_EQ(info.stepCount, 1);
      }
    }
    EXPECT_EQ(bypassCount, 1);
    ParameterInfo outside{};
    EXPECT_NE(controller.getParameterInfo(-1, outside), kResultTrue);
    EXPECT_NE(controller.getParameterInfo(count, outside), kResultTrue);
    EXPECT_TRUE(s.plugin->teardown().clean());
  }
}

TEST(VST3Conformance, BusesAreConsistentAndActivate)
{
  for (const BundleCase& b : kBundles)
  {
    SCOPED_TRACE(b.name);
    HostSession s(b.path);
    ASSERT_TRUE(s) << s.error;
    IComponent* component = s.plugin->component();
    for (MediaType type : {kAudio, kEvent})
    {
      for (BusDirection dir : {kInput, kOutput})
      {
        const int32 n = component->getBusCount(type, dir);
        for (int32 i = 0; i < n; ++i)
        {
          BusInfo info{};
          ASSERT_EQ(component->getBusInfo(type, dir, i, info), kResultTrue);
          EXPECT_EQ(info.mediaType, type);
          EXPECT_EQ(info.direction, dir);
          EXPECT_EQ(info.busType, i == 0 ? kMain : kAux);
          if (type == kAudio)
          {
            SpeakerArrangement arrangement = 0;
            ASSERT_EQ(s.plugin->processor()->getBusArrangement(dir, i, arrangement), kResultTrue);
            EXPECT_EQ(info.channelCount, std::popcount(static_cast<uint64>(arrangement)));
          }
          EXPECT_EQ(component->activateBus(type, dir, i, false), kResultTrue);
          EXPECT_EQ(component->activateBus(type, dir, i, true), kResultTrue);
        }
        BusInfo outside{};
        EXPECT_NE(component->getBusInfo(type, dir, n, outside), kResultTrue);
        EXPECT_NE(component->activateBus(type, dir, n, true), kResultTrue);
      }
    }
    EXPECT_TRUE(s.plugin->teardown().clean());
  }
}

struct TransitionCase
{
  const char* name;
  // Each step returns whether the plug-in took it.
  std::vector<std::function<bool(HostSession&)>> steps;
};

bool reinitialize(HostSession& s)
{
  return s.plugin->component()->terminate() == kResultOk &&
         s.plugin->component()->initialize(&s.host.application()) == kResultOk;
}

bool setup(HostSession& s, int32 sampleSize)
{
  ProcessSetup setup{kRealtime, sampleSize, 512, 48000.0};
  return s.plugin->processor()->setupProcessing(setup) == kResultOk;
}

bool active(HostSession& s, bool on) { return s.plugin->component()->setActive(on) == kResultOk; }

bool processing(HostSession& s, bool on) { return s.plugin->processor()->setProcessing(on) == kResultOk; }

TEST(VST3Conformance, LegalStateTransitionsTwice)
{
  const TransitionCase cases[] = {
    {"terminate and initialize", {reinitialize, reinitialize}},
    {"activate",
     {[](HostSession& s) { return setup(s, kSample32) && active(s, true) && active(s, false); },
      [](HostSession& s) { return active(s, true) && active(s, false); }}},
    {"processing switched on and off inside activation",
     {[](HostSession& s) {
        return setup(s, kSample64) && active(s, true) && processing(s, true) && processing(s, false) &&
               active(s, false);
      },
      [](HostSession& s) {
        return setup(s, kSample32) && active(s, true) && processing(s, true) && processing(s, false) &&
               processing(s, true) && processing(s, false) && active(s, false);
      }}},
    {"set up again after terminate",
     {reinitialize, [](HostSession& s) { return setup(s, kSample64) && active(s, true) && active(s, false); }}},
  };
  for (const TransitionCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    HostSession s(VEMLOR_BUNDLE_PATH);
    ASSERT_TRUE(s) << s.error;
    const int32 parameterCount = s.controller().getParameterCount();
    for (const auto& step : c.steps)
      ASSERT_TRUE(step(s));
    EXPECT_EQ(s.controller().getParameterCount(), parameterCount);
    EXPECT_EQ(s.plugin->component()->getBusCount(kAudio, kInput), 1);
    // Afterwards the plug-in still processes.
    ASSERT_TRUE(s.plugin->startProcessing({}));
    EXPECT_TRUE(s.plugin->process(64).clean());
    EXPECT_TRUE(s.plugin->teardown().clean());
  }
}

// Sound that reaches every sample value range: a chord of sines, noise, and an impulse.
void fillSignal(Plugin& plugin, int32 frames, int64_t start, double rate, std::mt19937& random)
{
  std::uniform_real_distribution<double> noise(-0.25, 0.25);
  for (int32 ch = 0; ch < plugin.channelCount(kInput, 0); ++ch)
  {
    double* in = plugin.input(0, ch);
    for (int32 i = 0; i < frames; ++i)
    {
      const double t = static_cast<double>(start + i) / rate;
      in[i] = 0.3 * std::sin(2 * M_PI * 220 * t) + 0.2 * std::sin(2 * M_PI * 331 * t) + noise(random);
      if (start + i == 0)
        in[i] = 1.0;
    }
  }
}

void expectCleanOutput(Plugin& plugin, int32 frames)
{
  for (int32 ch = 0; ch < plugin.channelCount(kOutput, 0); ++ch)
    for (int32 i = 0; i < frames; ++i)
    {
      const double y = plugin.output(0, ch)[i];
      ASSERT_TRUE(std::isfinite(y)) << "channel " << ch << ", sample " << i;
      ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL) << "channel " << ch << ", sample " << i;
    }
}

struct RunCase
{
  double rate;
  int32 sampleSize;
  int32 maxBlock;
  std::vector<int32> blocks;
};

class VST3ProcessingRun : public ::testing::TestWithParam<RunCase>
{};

TEST_P(VST3ProcessingRun, CleanOutputWithoutAllocationOrModeChange)
{
  const RunCase& c = GetParam();
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  ProcessConfig config;
  config.sampleRate = c.rate;
  config.sampleSize = c.sampleSize;
  config.maxBlockSize = c.maxBlock;
  ASSERT_TRUE(s.plugin->startProcessing(config)) << s.plugin->lastError();
  std::mt19937 random(17);
  int64_t position = 0;
  // A tenth of a second of audio, and never fewer than four blocks.
  const int64_t wanted = static_cast<int64_t>(c.rate / 10.0);
  for (size_t k = 0; position < wanted || k < 4; ++k)
  {
    const int32 frames = c.blocks[k % c.blocks.size()];
    fillSignal(*s.plugin, frames, position, c.rate, random);
    const BlockReport report = s.plugin->process(frames);
    ASSERT_EQ(report.result, kResultOk);
    ASSERT_EQ(report.allocations, 0u) << "block " << k;
    ASSERT_TRUE(report.fpModeKept()) << "block " << k;
    expectCleanOutput(*s.plugin, frames);
    position += std::max(frames, 1);
  }
  EXPECT_TRUE(s.plugin->teardown().clean());
}

std::vector<RunCase> runCases()
{
  std::vector<RunCase> cases;
  for (double rate : {44100.0, 48000.0, 96000.0})
    for (int32 size : {kSample32, kSample64})
    {
      for (int32 block : {1, 64, 512, 4096})
        cases.push_back({rate, size, block, {block}});
      cases.push_back({rate, size, 1024, {1024, 3, 0, 511, 1, 777}});
    }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(RatesAndBlocks, VST3ProcessingRun, ::testing::ValuesIn(runCases()),
                         [](const ::testing::TestParamInfo<RunCase>& info) {
                           const RunCase& c = info.param;
                           return std::to_string(static_cast<int>(c.rate)) +
                                  (c.sampleSize == kSample32 ? "Float" : "Double") +
                                  (c.blocks.size() > 1 ? std::string("Variable") : std::to_string(c.maxBlock));
                         });

TEST(VST3Conformance, FlushCallsWithoutAudioStillTakeParameterChanges)
{
  constexpr ParamID kGain = 30;
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  ASSERT_TRUE(s.plugin->startProcessing({}));
  const auto before = s.plugin->getState();

  for (int32 sampleSize : {kSample32, kSample64})
  {
    ParameterChanges changes(4, 4);
    int32 index = 0;
    changes.addParameterData(kGain, index)->addPoint(0, 0.9, index);
    ProcessData flush{};
    flush.processMode = kRealtime;
    flush.symbolicSampleSize = sampleSize;
    flush.numSamples = 0;
    flush.inputParameterChanges = &changes;
    beginCountingAllocations();
    const tresult result = s.plugin->processor()->process(flush);
    EXPECT_EQ(endCountingAllocations(), 0u);
    EXPECT_EQ(result, kResultOk);
  }
  const auto after = s.plugin->getState();
  EXPECT_NE(after, before);
  EXPECT_TRUE(s.plugin->teardown().clean());
}

TEST(VST3Conformance, SilentInputFlaggedSilentGivesSilence)
{
  for (int32 sampleSize : {kSample32, kSample64})
  {
    HostSession s(VEMLOR_BUNDLE_PATH);
    ASSERT_TRUE(s) << s.error;
    ProcessConfig config;
    config.sampleSize = sampleSize;
    ASSERT_TRUE(s.plugin->startProcessing(config));
    HostProcessData data;
    ASSERT_TRUE(data.prepare(*s.plugin->component(), 256, sampleSize));
    data.numSamples = 256;
    data.inputs[0].silenceFlags = 0x3;
    data.outputs[0].silenceFlags = 0x3; // stale flags the plug-in must not leave claiming silence
    for (int32 ch = 0; ch < 2; ++ch)
      for (int32 i = 0; i < 256; ++i)
      {
        if (sampleSize == kSample32)
          data.channel32(kOutput, 0, ch)[i] = 1.0f;
        else
          data.channel64(kOutput, 0, ch)[i] = 1.0;
      }
    beginCountingAllocations();
    ASSERT_EQ(s.plugin->processor()->process(data), kResultOk);
    EXPECT_EQ(endCountingAllocations(), 0u);
    for (int32 ch = 0; ch < 2; ++ch)
      for (int32 i = 0; i < 256; ++i)
        ASSERT_EQ(sampleSize == kSample32 ? data.channel32(kOutput, 0, ch)[i] : data.channel64(kOutput, 0, ch)[i], 0.0);
    EXPECT_EQ(data.outputs[0].silenceFlags, 0u);
    EXPECT_TRUE(s.plugin->teardown().clean());
  }
}

TEST(VST3Conformance, DenseAutomationEveryFewSamplesProcessesCleanly)
{
  // Gain, mix, main cutoff and the pass type, moved together.
  const ParamID automated[] = {30, 29, 11, 16};
  for (int32 every : {1, 50, 100})
  {
    SCOPED_TRACE("every " + std::to_string(every) + " samples");
    HostSession s(VEMLOR_BUNDLE_PATH);
    ASSERT_TRUE(s) << s.error;
    ProcessConfig config;
    config.maxBlockSize = 512;
    ASSERT_TRUE(s.plugin->startProcessing(config));
    std::mt19937 random(23);
    std::uniform_real_distribution<double> value(0.0, 1.0);
    for (int block = 0; block < 8; ++block)
    {
      for (ParamID id : automated)
        for (int32 offset = 0; offset < 512; offset += every)
          s.plugin->addParameterChange(id, offset, value(random));
      fillSignal(*s.plugin, 512, block * 512, 48000.0, random);
      const BlockReport report = s.plugin->process(512);
      ASSERT_TRUE(report.clean()) << "block " << block;
      expectCleanOutput(*s.plugin, 512);
    }
    EXPECT_TRUE(s.plugin->teardown().clean());
  }
}

// Opens the editor view of s in parent the way a host does and pumps the run loop the frame offers
// for a few frames; closes and releases it again. False at the first refusal.
bool openAndCloseEditor(HostSession& s, HostWindow& parent)
{
  IPlugView* view = s.controller().createView(ViewType::kEditor);
  if (!view)
    return false;
  bool ok = view->setFrame(&s.host.frame()) == kResultTrue &&
            view->attached(parent.parent(), kPlatformTypeX11EmbedWindowID) == kResultOk;
  for (int i = 0; ok && i < 5; ++i)
    s.host.pump(16);
  ok = ok && parent.children().size() == 1;
  ok = view->removed() == kResultOk && ok;
  view->setFrame(nullptr);
  view->release();
  return ok && parent.children().empty();
}

TEST(VST3Conformance, EditorOpensAndClosesTwiceAndWhileProcessing)
{
  HostWindow parent(1200, 400);
  if (!parent.ok())
    GTEST_SKIP() << "no X display (run under xvfb-run)";
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  IPlugView* view = s.controller().createView(ViewType::kEditor);
  ASSERT_NE(view, nullptr);
  for (FIDString type : {kPlatformTypeHWND, kPlatformTypeNSView, kPlatformTypeHIView, "X11EmbedWindow", ""})
    EXPECT_EQ(view->isPlatformTypeSupported(type), kResultFalse) << type;
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
  ViewRect rect;
  EXPECT_EQ(view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.getWidth(), 940);
  EXPECT_EQ(rect.getHeight(), 200);
  view->release();

  EXPECT_TRUE(openAndCloseEditor(s, parent));
  EXPECT_TRUE(openAndCloseEditor(s, parent));

  // The audio thread keeps processing while the editor opens, draws and closes.
  ASSERT_TRUE(s.plugin->startProcessing({}));
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0}, unclean{0};
  std::thread audio([&] {
    while (!stop.load())
    {
      if (!s.plugin->process(64).clean())
        ++unclean;
      ++blocks;
    }
  });
  bool opened = true;
  for (int i = 0; i < 3; ++i)
    opened = openAndCloseEditor(s, parent) && opened;
  stop = true;
  audio.join();
  EXPECT_TRUE(opened);
  EXPECT_GT(blocks.load(), 0);
  EXPECT_EQ(unclean.load(), 0);
  EXPECT_TRUE(s.plugin->teardown().clean());
}

} // namespace
} // namespace vemlor::testhost
