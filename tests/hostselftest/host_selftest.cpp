// The test host against a fixture plug-in that misbehaves on request.
#include "tests/hostselftest/fixtures/fixture_ids.h"
#include "tests/host/test_host.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace vemlor::testhost {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
namespace fx = vemlor::fixture;

class FixtureTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string error;
    bundle = Bundle::open(VEMLOR_FIXTURE_BUNDLE, error);
    ASSERT_TRUE(bundle) << error;
    const ClassInfo* info = bundle->findClass("Audio Module Class");
    ASSERT_NE(info, nullptr);
    plugin = Plugin::create(*bundle, *info, host, error);
    ASSERT_TRUE(plugin) << error;
  }

  void TearDown() override
  {
    plugin.reset();
    if (bundle)
    {
      EXPECT_TRUE(bundle->close().clean());
    }
  }

  void start(int32 sampleSize, int32 block)
  {
    ProcessConfig config;
    config.sampleSize = sampleSize;
    config.maxBlockSize = block;
    ASSERT_TRUE(plugin->startProcessing(config)) << plugin->lastError();
  }

  void fillInputs(int32 frames, double value)
  {
    for (int32 c = 0; c < plugin->channelCount(kInput, 0); ++c)
      std::fill_n(plugin->input(0, c), frames, value);
  }

  Host host;
  std::unique_ptr<Bundle> bundle;
  std::unique_ptr<Plugin> plugin;
};

// ---- The checks the host makes on every block and at teardown

struct MisbehaviourCase
{
  const char* name;
  int32 sampleSize;
  int paramId; // switched on in the first block; -1 for none
  bool expectAllocations;
  bool expectFpModeChange;
};

class HostCatches : public FixtureTest, public ::testing::WithParamInterface<MisbehaviourCase>
{};

TEST_P(HostCatches, MisbehaviourInsideProcess)
{
  const MisbehaviourCase& c = GetParam();
  start(c.sampleSize, 64);
  std::vector<BlockReport> reports;
  for (int block = 0; block < 3; ++block)
  {
    fillInputs(64, 0.25);
    if (block == 0 && c.paramId >= 0)
      plugin->addParameterChange(static_cast<ParamID>(c.paramId), 0, 1.0);
    reports.push_back(plugin->process(64));
  }
  for (const BlockReport& r : reports)
  {
    EXPECT_EQ(r.result, kResultOk);
    EXPECT_EQ(r.allocations > 0, c.expectAllocations);
    EXPECT_EQ(!r.fpModeKept(), c.expectFpModeChange);
    // The host restores the audio thread's mode after a leak, so every block starts alike.
    EXPECT_EQ(r.fpModeBefore, reports.front().fpModeBefore);
    EXPECT_EQ(r.clean(), !c.expectAllocations && !c.expectFpModeChange);
  }
  EXPECT_EQ(plugin->totalAllocations() > 0, c.expectAllocations);
  EXPECT_EQ(plugin->fpModeChanges(), c.expectFpModeChange ? 3 : 0);
  EXPECT_TRUE(plugin->teardown().clean());
}

INSTANTIATE_TEST_SUITE_P(Fixture, HostCatches,
                         ::testing::Values(MisbehaviourCase{"WellBehaved32", kSample32, -1, false, false},
                                           MisbehaviourCase{"WellBehaved64", kSample64, -1, false, false},
                                           MisbehaviourCase{"Allocates32", kSample32, fx::kAllocate, true, false},
                                           MisbehaviourCase{"Allocates64", kSample64, fx::kAllocate, true, false},
                                           MisbehaviourCase{"LeaksFpMode32", kSample32, fx::kLeakFpMode, false, true},
                                           MisbehaviourCase{"LeaksFpMode64", kSample64, fx::kLeakFpMode, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FixtureTest, TeardownReportsAReferenceThePluginKept)
{
  plugin->controller()->setParamNormalized(fx::kKeepReference, 1.0);
  const TeardownReport report = plugin->teardown();
  EXPECT_EQ(report.componentReferencesLeft, 1u);
  EXPECT_TRUE(report.hostReferencesHeld.empty());
  EXPECT_FALSE(report.clean());
}

// ---- What the host delivers: sample-accurate changes and events, in both sample sizes

struct DeliveryCase
{
  const char* name;
  int32 sampleSize;
  int32 block;
  std::vector<std::pair<int32, double>> gainPoints;
  int32 noteOffset; // -1: no note
  float velocity;
};

class HostDelivers : public FixtureTest, public ::testing::WithParamInterface<DeliveryCase>
{};

TEST_P(HostDelivers, ChangesAndEventsAtTheirSampleOffsets)
{
  const DeliveryCase& c = GetParam();
  start(c.sampleSize, c.block);
  constexpr double kInput = 0.5;
  fillInputs(c.block, kInput);
  for (auto [offset, value] : c.gainPoints)
    plugin->addParameterChange(fx::kGain, offset, value);
  if (c.noteOffset >= 0)
    plugin->addEvent(noteOnEvent(c.noteOffset, 60, c.velocity));
  ASSERT_TRUE(plugin->process(c.block).clean());

  const double tolerance = c.sampleSize == kSample32 ? 1e-6 : 1e-12;
  auto points = c.gainPoints;
  std::sort(points.begin(), points.end());
  for (int32 ch = 0; ch < 2; ++ch)
  {
    double gain = 1.0;
    size_t next = 0;
    for (int32 i = 0; i < c.block; ++i)
    {
      while (next < points.size() && points[next].first <= i)
        gain = points[next++].second;
      const double expected = kInput * gain + (i == c.noteOffset ? c.velocity : 0.0);
      ASSERT_NEAR(plugin->output(0, ch)[i], expected, tolerance) << "channel " << ch << ", sample " << i;
    }
  }
  // Changes and events belong to one block: the next one carries none.
  fillInputs(c.block, kInput);
  ASSERT_TRUE(plugin->process(c.block).clean());
  const double lastGain = points.empty() ? 1.0 : points.back().second;
  EXPECT_NEAR(plugin->output(0, 1)[c.block - 1], kInput * lastGain, tolerance);
}

INSTANTIATE_TEST_SUITE_P(
  Fixture, HostDelivers,
  ::testing::Values(DeliveryCase{"NothingQueued32", kSample32, 32, {}, -1, 0.0f},
                    DeliveryCase{"OneChangeMidBlock32", kSample32, 64, {{20, 0.25}}, -1, 0.0f},
                    DeliveryCase{
                      "PointsAddedOutOfOrder64", kSample64, 128, {{100, 0.1}, {0, 0.75}, {37, 0.5}}, 63, 0.5f},
                    DeliveryCase{"ChangeAndNoteOnLastSample64", kSample64, 256, {{255, 0.0}}, 255, 1.0f},
                    DeliveryCase{"BlockOfOne32", kSample32, 1, {{0, 0.5}}, 0, 0.25f}),
  [](const auto& info) { return std::string(info.param.name); });

// ---- State through memory streams

TEST_F(FixtureTest, StateMovesBetweenInstancesThroughMemoryStreams)
{
  start(kSample32, 16);
  fillInputs(16, 0.0);
  plugin->addParameterChange(fx::kGain, 0, 0.25);
  ASSERT_TRUE(plugin->process(16).clean());
  const auto saved = plugin->getState();
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->size(), sizeof(double));

  // A host per instance: its reference check and call record then belong to that instance alone.
  Host secondHost;
  std::string error;
  auto second = Plugin::create(*bundle, bundle->classes().front(), secondHost, error);
  ASSERT_TRUE(second) << error;
  ASSERT_TRUE(second->setState(*saved));
  EXPECT_EQ(second->getState(), saved);
  EXPECT_DOUBLE_EQ(second->controller()->getParamNormalized(fx::kGain), 0.25);
  const auto& calls = secondHost.handler().calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].kind, HandlerCall::Kind::RestartComponent);
  EXPECT_EQ(calls[0].flags, kParamValuesChanged);
  EXPECT_TRUE(calls[0].onMainThread);

  EXPECT_FALSE(second->setState({1, 2, 3})); // too short to hold the gain
  EXPECT_TRUE(second->teardown().clean());
}

// ---- The view, its frame and the frame's run loop

TEST_F(FixtureTest, ViewRunsOnTheFrameRunLoopAndIsReleased)
{
  EXPECT_EQ(plugin->createView("another"), nullptr);
  IPlugView* view = plugin->createView();
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(plugin->attachView(view, nullptr));
  EXPECT_EQ(host.runLoop().timerCount(), 1);

  EXPECT_EQ(host.pump(fx::kViewTimerMs - 1), 0);
  EXPECT_EQ(host.pump(1), 1);
  ASSERT_EQ(host.frame().resizeRequests().size(), 1u);
  ViewRect size;
  ASSERT_EQ(view->getSize(&size), kResultTrue);
  EXPECT_EQ(size.getWidth(), fx::kResizedWidth);
  EXPECT_EQ(size.getHeight(), fx::kResizedHeight);

  EXPECT_TRUE(plugin->removeView(view));
  EXPECT_EQ(host.runLoop().timerCount(), 0);
  EXPECT_EQ(plugin->releaseView(view), 0u);
  EXPECT_TRUE(plugin->teardown().clean());
}

TEST_F(FixtureTest, TeardownReportsARunLoopRegistrationLeftBehind)
{
  IPlugView* view = plugin->createView();
  ASSERT_TRUE(plugin->attachView(view, nullptr));
  const TeardownReport report = plugin->teardown();
  EXPECT_EQ(report.hostReferencesHeld, (std::vector<std::string>{"run loop", "run loop timer"}));
  EXPECT_EQ(host.runLoop().timerCount(), 0); // dropped, so nothing calls into the module after it goes
  plugin->removeView(view);
  plugin->releaseView(view);
}

// ---- The run loop's manual pump

class CountingTimer : public HostObject<Linux::ITimerHandler>
{
public:
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override
  {
    *obj = nullptr;
    return kNoInterface;
  }
  void PLUGIN_API onTimer() override { ++fired; }
  int fired = 0;
};

struct PumpCase
{
  const char* name;
  uint64 intervalMs;
  std::vector<uint64> pumps;
  int expectedFires;
};

class RunLoopPump : public ::testing::TestWithParam<PumpCase>
{};

TEST_P(RunLoopPump, FiresATimerOncePerPumpAfterItsInterval)
{
  const PumpCase& c = GetParam();
  RunLoop loop;
  CountingTimer timer;
  ASSERT_EQ(loop.registerTimer(&timer, c.intervalMs), kResultTrue);
  for (uint64 ms : c.pumps)
    loop.pump(ms);
  EXPECT_EQ(timer.fired, c.expectedFires);
  EXPECT_EQ(loop.unregisterTimer(&timer), kResultTrue);
  EXPECT_EQ(timer.referenceCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Manual, RunLoopPump,
                         ::testing::Values(PumpCase{"NotBeforeTheInterval", 20, {19}, 0},
                                           PumpCase{"AfterTheIntervalInSteps", 20, {10, 10}, 1},
                                           PumpCase{"OnceHoweverManyIntervalsPassed", 20, {100}, 1},
                                           PumpCase{"EveryInterval", 10, {10, 10, 10}, 3},
                                           PumpCase{"NotWithoutTime", 10, {0, 0}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// Reads one byte per call and unregisters itself when asked to.
class PipeReader : public HostObject<Linux::IEventHandler>
{
public:
  PipeReader(RunLoop& loop, bool unregisterWhenCalled)
    : loop(loop)
    , unregisterWhenCalled(unregisterWhenCalled)
  {}
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override
  {
    *obj = nullptr;
    return kNoInterface;
  }
  void PLUGIN_API onFDIsSet(Linux::FileDescriptor fd) override
  {
    char byte;
    if (read(fd, &byte, 1) == 1)
      ++calls;
    if (unregisterWhenCalled)
      loop.unregisterEventHandler(this);
  }
  RunLoop& loop;
  bool unregisterWhenCalled;
  int calls = 0;
};

TEST(RunLoopEvents, CallsHandlersOfReadableDescriptorsEvenWhenOneUnregistersItself)
{
  RunLoop loop;
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  PipeReader once(loop, true), always(loop, false);
  loop.registerEventHandler(&once, fds[0]);
  loop.registerEventHandler(&always, fds[0]);

  EXPECT_EQ(loop.pump(0), 0); // nothing to read yet
  ASSERT_EQ(write(fds[1], "ab", 2), 2);
  EXPECT_EQ(loop.pump(0), 2);
  EXPECT_EQ(loop.eventHandlerCount(), 1);
  ASSERT_EQ(write(fds[1], "c", 1), 1);
  EXPECT_EQ(loop.pump(0), 1);
  EXPECT_EQ(once.calls + always.calls, 3);
  EXPECT_EQ(once.referenceCount(), 1u);
  loop.unregisterEventHandler(&always);
  EXPECT_EQ(always.referenceCount(), 1u);
  close(fds[0]);
  close(fds[1]);
}

// ---- Module entry counting

TEST(ModuleEntry, RunsInitialisationOnceAndRefusesAnUnbalancedExit)
{
  void* library =
    dlopen(Steinberg::Vst::HostModule::libraryPathOf(VEMLOR_FIXTURE_BUNDLE).c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto entry = reinterpret_cast<bool (*)(void*)>(dlsym(library, "ModuleEntry"));
  auto exit = reinterpret_cast<bool (*)()>(dlsym(library, "ModuleExit"));
  ASSERT_TRUE(entry && exit);
  EXPECT_FALSE(exit());
  EXPECT_TRUE(entry(library));
  EXPECT_TRUE(entry(library));
  EXPECT_TRUE(exit());
  EXPECT_TRUE(exit());
  EXPECT_FALSE(exit());
  EXPECT_EQ(dlclose(library), 0);
}

} // namespace
} // namespace vemlor::testhost
