// Hosts that keep their own float copy of every value and answer a request to re-read values in
// their own way: one saves and restores the whole state and writes every value back, one overwrites
// its copy from the controller. Such a host must be left alone while nothing changes, must keep an
// edit made while it moves the state, and must never lose a value it set.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "product/Vemlor.h"
#include "tests/host/value_keeping_host.h"
#include "tests/plugin_it/support.h"

namespace vemlor::plugin_it {
namespace {

using namespace zarvo;
using Steinberg::Vst::kParamValuesChanged;
using Steinberg::Vst::ParamID;
using testhost::HandlerCall;
using testhost::ValueKeepingHost;
using OnReread = ValueKeepingHost::OnReread;

constexpr uint64_t kIdleTickMs = 20;

ParamID id(int index) { return static_cast<ParamID>(index); }

// A plug-in built in this process, so that the test can act as its editor and drive its idle clock
// (for a host with no run loop, which idle work then waits on).
struct OwnInstance
{
  explicit OwnInstance(bool hostRunLoop)
    : host(hostRunLoop)
  {
    auto* created = new Vemlor(plugkit::InstanceInfo{});
    created->SetIdleClock([this] { return nowMs; });
    plug = created;
    plugin = Plugin::adopt(static_cast<Steinberg::Vst::IComponent*>(created), host, error);
  }
  ~OwnInstance()
  {
    if (plugin)
    {
      EXPECT_TRUE(plugin->teardown().clean());
    }
  }

  Chunk chunk() { return parseChunk(plugin->getState().value_or(std::vector<uint8_t>{})).value().chunk; }
  double controllerValue(int index) { return plugin->controller()->getParamNormalized(id(index)); }
  bool startProcessing() { return plugin->startProcessing({kSampleRate, kBlockSize, Steinberg::Vst::kSample64}); }
  int rereadRequests()
  {
    int n = 0;
    for (const HandlerCall& call : host.handler().calls())
      n += call.kind == HandlerCall::Kind::RestartComponent && (call.flags & kParamValuesChanged) ? 1 : 0;
    return n;
  }
  // Idle time with the host's blocks running: each tick the host sends what changed, then a block.
  void idle(ValueKeepingHost& keeper, int ticks)
  {
    for (int t = 0; t < ticks; ++t)
    {
      nowMs += kIdleTickMs;
      host.pump(kIdleTickMs);
      keeper.queueChanges();
      EXPECT_TRUE(plugin->process(kBlockSize).clean());
    }
  }

  uint64_t nowMs = 0;
  testhost::Host host;
  Vemlor* plug = nullptr; // the hosted plug-in's object
  std::unique_ptr<Plugin> plugin;
  std::string error;
};

// Stepped parameters at steps whose normalised value a float cannot hold (6 of -100..100 is 0.53, which
// reaches the plug-in as 0.52999997).
struct SteppedValue
{
  int index;
  double plain;
};
constexpr SteppedValue kSteppedValues[] = {{par_preFlt_A_detune, 6}, {par_preFlt_B_detune, 2}, {par_main_detune, 20}};

// A state holding the stepped values, with morphing on or off.
std::vector<uint8_t> steppedState(bool morph)
{
  OwnInstance source(true);
  Chunk chunk = source.chunk();
  chunk.param(par_morph_active) = morph ? 1.0 : 0.0;
  for (const SteppedValue& v : kSteppedValues)
    chunk.param(v.index) = v.plain;
  return componentState(chunk);
}

TEST(ValueKeepingHosts, TheControllerHoldsTheStepASteppedParameterPlays)
{
  OwnInstance a(true);
  ASSERT_TRUE(a.plugin) << a.error;
  for (const SteppedValue& v : kSteppedValues)
  {
    SCOPED_TRACE(paramName(v.index));
    const auto asFloat = static_cast<float>(paramTable().normalized(v.index, v.plain));
    ASSERT_EQ(a.plugin->controller()->setParamNormalized(id(v.index), asFloat), Steinberg::kResultOk);
    EXPECT_EQ(a.plug->GetParam(v.index)->Value(), paramTable().constrain(v.index, v.plain));
    EXPECT_EQ(a.controllerValue(v.index), paramTable().normalized(v.index, v.plain));
  }
}

TEST(ValueKeepingHosts, AHostThatMovesTheStateOnEveryRereadIsLeftAloneWhileNothingChanges)
{
  for (const bool morph : {false, true})
  {
    SCOPED_TRACE(morph ? "morphing" : "not morphing");
    const std::vector<uint8_t> state = steppedState(morph);
    OwnInstance a(true);
    ASSERT_TRUE(a.plugin) << a.error;
    ASSERT_TRUE(a.startProcessing());
    ValueKeepingHost keeper(a.host, *a.plugin, kNumParams, OnReread::kRoundTripState);
    a.idle(keeper, 2);
    // The session's state: the host may be asked to read it once, and writes every value back.
    ASSERT_TRUE(a.plugin->setState(state));
    a.idle(keeper, 2);
    ASSERT_LE(keeper.rereads(), 2);

    a.host.handler().clearCalls();
    const int rereadsBefore = keeper.rereads();
    a.idle(keeper, 50);
    EXPECT_EQ(a.rereadRequests(), 0);
    EXPECT_EQ(keeper.rereads(), rereadsBefore);
    for (const SteppedValue& v : kSteppedValues)
    {
      SCOPED_TRACE(paramName(v.index));
      EXPECT_EQ(a.plug->GetParam(v.index)->Value(), paramTable().constrain(v.index, v.plain));
      EXPECT_EQ(a.controllerValue(v.index), paramTable().normalized(v.index, v.plain));
    }
  }
}

TEST(ValueKeepingHosts, AnEditInProgressSurvivesTheHostsStateRoundTrips)
{
  for (const bool morph : {false, true})
  {
    SCOPED_TRACE(morph ? "morphing" : "not morphing");
    const std::vector<uint8_t> state = steppedState(morph);
    OwnInstance a(true);
    ASSERT_TRUE(a.plugin) << a.error;
    ASSERT_TRUE(a.startProcessing());
    ValueKeepingHost keeper(a.host, *a.plugin, kNumParams, OnReread::kRoundTripState);
    ASSERT_TRUE(a.plugin->setState(state));
    a.idle(keeper, 4);
    a.host.handler().clearCalls();

    // A knob drag in the editor, with the host moving the state twice while it lasts.
    const double first = paramTable().normalized(par_main_detune, 22);
    const double last = paramTable().normalized(par_main_detune, -6);
    a.plug->BeginInformHostOfParamChangeFromUI(par_main_detune);
    a.plug->SendParameterValueFromUI(par_main_detune, first);
    a.idle(keeper, 1);
    keeper.reread();
    a.idle(keeper, 1);
    a.plug->SendParameterValueFromUI(par_main_detune, last);
    keeper.reread();
    a.idle(keeper, 1);
    a.plug->EndInformHostOfParamChangeFromUI(par_main_detune);
    a.idle(keeper, 20);

    EXPECT_EQ(a.rereadRequests(), 0);
    EXPECT_EQ(a.plug->GetParam(par_main_detune)->Value(), -6.0);
    EXPECT_EQ(a.controllerValue(par_main_detune), last);
    EXPECT_EQ(keeper.value(id(par_main_detune)), static_cast<float>(last));
    // The rest of the session's stepped values are untouched by the round trips.
    EXPECT_EQ(a.plug->GetParam(par_preFlt_A_detune)->Value(), 6.0);
  }
}

TEST(ValueKeepingHosts, AnEditSurvivesSavingAndReopeningTheSession)
{
  // The session plays at 8x, so a new instance's latency changes when the session opens: a host
  // that moves the state on every restart does so then too.
  for (const OnReread onReread : {OnReread::kRoundTripState, OnReread::kRoundTripStateOnAnyRestart})
  {
    for (const bool morph : {false, true})
    {
      SCOPED_TRACE(onReread == OnReread::kRoundTripState ? "re-read requests" : "any restart");
      SCOPED_TRACE(morph ? "morphing" : "not morphing");
      Chunk session = parseChunk(steppedState(morph)).value().chunk;
      session.param(par_oversampling) = paramTable()[par_oversampling].ReadDisplay("os 8x").value();
      ValueKeepingHost::Session saved;
      {
        OwnInstance a(true);
        ASSERT_TRUE(a.plugin) << a.error;
        ASSERT_TRUE(a.startProcessing());
        ValueKeepingHost keeper(a.host, *a.plugin, kNumParams, onReread);
        ASSERT_TRUE(keeper.open({componentState(session), {}}));
        a.idle(keeper, 4);

        // A knob drag in the editor, then the session is saved.
        a.plug->BeginInformHostOfParamChangeFromUI(par_main_detune);
        a.plug->SendParameterValueFromUI(par_main_detune, paramTable().normalized(par_main_detune, 22));
        a.idle(keeper, 1);
        a.plug->SendParameterValueFromUI(par_main_detune, paramTable().normalized(par_main_detune, -6));
        a.idle(keeper, 1);
        a.plug->EndInformHostOfParamChangeFromUI(par_main_detune);
        a.idle(keeper, 4);
        ASSERT_EQ(a.plug->GetParam(par_main_detune)->Value(), -6.0);
        saved = keeper.save();
      }

      OwnInstance b(true);
      ASSERT_TRUE(b.plugin) << b.error;
      ASSERT_TRUE(b.startProcessing());
      ValueKeepingHost keeper(b.host, *b.plugin, kNumParams, onReread);
      ASSERT_TRUE(keeper.open(saved));
      b.idle(keeper, 4);
      b.host.handler().clearCalls();
      const int rereadsBefore = keeper.rereads();
      b.idle(keeper, 50);

      EXPECT_EQ(b.rereadRequests(), 0);
      EXPECT_EQ(keeper.rereads(), rereadsBefore);
      EXPECT_EQ(b.plug->GetParam(par_main_detune)->Value(), -6.0);
      EXPECT_EQ(b.controllerValue(par_main_detune), paramTable().normalized(par_main_detune, -6));
      EXPECT_EQ(b.plug->GetParam(par_oversampling)->Value(), session.param(par_oversampling));
      for (const SteppedValue& v : kSteppedValues)
      {
        if (v.index == par_main_detune)
          continue;
        SCOPED_TRACE(paramName(v.index));
        EXPECT_EQ(b.plug->GetParam(v.index)->Value(), paramTable().constrain(v.index, v.plain));
      }
    }
  }
}

TEST(ValueKeepingHosts, AValueTheHostSentWithABlockIsNoNewsToIt)
{
  OwnInstance a(true);
  ASSERT_TRUE(a.plugin) << a.error;
  ASSERT_TRUE(a.startProcessing());
  a.host.pump(kIdleTickMs);
  a.host.handler().clearCalls();
  const double value = paramTable().normalized(par_dry_wet, 0.25);
  a.plugin->addParameterChange(id(par_dry_wet), 0, value);
  ASSERT_TRUE(a.plugin->process(kBlockSize).clean());
  // Changes of the plug-in's own that leave the host's values alone.
  (void)a.plug->paramEdits()->run(plugkit::EParamSource::kPresetRecall, [] { return true; });
  EXPECT_EQ(a.rereadRequests(), 0);
  EXPECT_EQ(a.controllerValue(par_dry_wet), value);
}

// Morph off, every filter open, mix 0, 8x oversampling: the values set before the first render.
struct HostSet
{
  int index;
  const char* text; // a value text, or null for the plain value
  double plain;
};
constexpr HostSet kBeforeFirstRender[] = {
  {par_morph_active, nullptr, 0.0}, {par_main_pass_type, "LP", 0.0},     {par_main_cutoff_hz, nullptr, 20000.0},
  {par_preFlt_A_pt, "LP", 0.0},     {par_preFlt_A_hz, nullptr, 20000.0}, {par_preFlt_B_pt, "HP", 0.0},
  {par_preFlt_B_hz, nullptr, 1.0},  {par_main_drive, nullptr, 0.0},      {par_break_intensity, nullptr, 0.0},
  {par_main_gain, nullptr, 0.0},    {par_main_resonance, nullptr, 0.0},  {par_preFlt_A_res, nullptr, 0.0},
  {par_preFlt_B_res, nullptr, 0.0}, {par_dry_wet, nullptr, 0.0},         {par_oversampling, "os 8x", 0.0},
};

Stereo click()
{
  const auto length = static_cast<size_t>(kBlockSize) * 16;
  Stereo signal{std::vector<double>(length), std::vector<double>(length)};
  signal[0][3000] = 1.0;
  signal[1][3000] = 1.0;
  return signal;
}

TEST(ValueKeepingHosts, AValueSetBetweenTwoRendersStaysSetWhateverTheStartingPatch)
{
  // Starting patches whose cutoffs follow played notes and whose morphing is on: the host's first
  // values make the plug-in change others of its own at the next idle work.
  const std::vector<std::vector<int>> switchedOn = {
    {},
    {par_morph_active},
    {par_main_cutoff_note_anchored, par_preA_cutoff_note_anchored, par_preB_cutoff_note_anchored},
    {par_morph_active, par_main_cutoff_note_anchored},
  };
  for (const std::vector<int>& on : switchedOn)
  {
    SCOPED_TRACE(on.size());
    // A host with no run loop: idle work runs from its calls once due.
    OwnInstance a(false);
    ASSERT_TRUE(a.plugin) << a.error;
    Chunk start = a.chunk();
    for (int index : on)
      start.param(index) = 1.0;
    ASSERT_TRUE(a.plugin->setState(componentState(start)));
    ValueKeepingHost keeper(a.host, *a.plugin, kNumParams, OnReread::kReadValues);
    for (const HostSet& set : kBeforeFirstRender)
    {
      const plugkit::IParam& param = paramTable()[set.index];
      const double plain = set.text ? param.ReadDisplay(set.text).value() : set.plain;
      keeper.set(id(set.index), param.ToNormalized(plain));
    }
    ASSERT_TRUE(a.startProcessing());
    const Stereo input = click();
    const auto renderWithTheHostsValues = [&] { return render(*a.plugin, input, [&](int) { keeper.queueChanges(); }); };
    EXPECT_GT(peak(renderWithTheHostsValues()), 0.9) << "mix 0 plays the click dry";

    // The render took the host long enough for idle work to be due at its next call.
    a.nowMs += 1000;
    keeper.set(id(par_dry_wet), 0.5);
    EXPECT_EQ(keeper.value(id(par_dry_wet)), 0.5f);
    EXPECT_EQ(a.controllerValue(par_dry_wet), 0.5);
    EXPECT_LT(peak(renderWithTheHostsValues()), 0.9) << "half the click is wet";
    EXPECT_EQ(a.plug->GetParam(par_dry_wet)->Value(), 0.5);
  }
}

} // namespace
} // namespace vemlor::plugin_it
