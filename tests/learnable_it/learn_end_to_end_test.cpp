// A right click on a learnable knob, "Learn" in the menu, then a controller message on the plug-in's
// MIDI input: the learn completes on the audio thread, and from the next idle tick on the knob shows
// the mapping and follows the controller.
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "IGfx/Controls/IVKnobControl.h"
#include "IPlugin/VST3/IPluginVST3.h"
#include "IPlugin/VST3/IPluginVST3_ProcessorBase.h"
#include "tests/utils/midi_cc/learnable_fixture.h"
#include "tests/IPlugin/VST3/host_session.h"
#include "utils/midi_cc/cc_mediator.h"

namespace learnable_it {
namespace {

using namespace plugkit::gfx;
using namespace plugkit::gfx::test;
using Knob = zarvo::midi_cc::ControlDecorator<IVKnobControl>;

constexpr plugkit::Config kConfig = {
  .nParams = 2,
  .channelIOStr = "2-2",
  .pluginName = "Learn",
  .makerName = "ZarvoAudio",
  .version = plugkit::MakeVersion(1, 0, 0),
  .uniqueId = plugkit::MakeFourCC("Lrn1"),
  .makerId = plugkit::MakeFourCC("ZrvA"),
  .midiIn = true,
  .hasEditor = true,
  .editorWidth = 300,
  .editorHeight = 200,
  .minWidth = 100,
  .maxWidth = 1000,
  .minHeight = 100,
  .maxHeight = 1000,
};

// Parameter 0 "Drive" (0..10) on a learnable knob; parameter 1 without a control.
class LearnPlug final : public plugkit::IPluginVST3, public zarvo::midi_cc::GfxCCMapHost
{
public:
  using Mediator = zarvo::midi_cc::CCMediator;

  LearnPlug(HeadlessPlatform& platform, DrawRecorder& recorder)
    : plugkit::IPluginVST3(plugkit::InstanceInfo{}, kConfig)
  {
    GetParam(0)->InitDouble("Drive", 0.0, 0.0, 10.0, 0.01);
    GetParam(1)->InitDouble("Mix", 0.5, 0.0, 1.0, 0.01);
    SetMakeGraphicsFunc([this, &platform, &recorder]() -> std::unique_ptr<IGfx> {
      return std::make_unique<HeadlessGfx>(*this, platform, recorder, 300, 200);
    });
    SetLayoutFunc([this](IGfx* g) {
      g->AttachPanelBackground(COLOR_DARK_GRAY);
      g->AttachPopupMenuControl();
      knob = static_cast<Knob*>(mediator.createLearnable<IVKnobControl>(IRECT(20, 20, 120, 120), 0, "", DEFAULT_STYLE));
      g->AttachControl(knob);
      mediator.refreshUI();
    });
  }

  // Audio thread.
  void ProcessMidiMsg(const plugkit::IMidiMsg& msg) override
  {
    if ((msg.mStatus >> 4) == 0xB)
      mediator.ProcessMidiCC(msg);
  }
  void OnIdle() override { mediator.OnIdle(); }
  bool OnMessage(int msgTag, int, int dataSize, const void* pData) override
  {
    return mediator.OnMessage(msgTag, dataSize, pData);
  }

  //---What the mediator and createLearnable need
  plugkit::IParam* param(int idx) override { return GetParam(idx); }
  int ccModeOf(int) const override { return 0; }
  int modSlotOf(int) const override { return -1; }
  bool isFrequencyModSlot(int) const override { return false; }
  void onDisabledControlInteraction(int) override {}
  void setModLiveValue(int, double) override {}
  void onControllerParamChange(int, int) override {}
  void beginHostEdit(int idx) override { BeginInformHostOfParamChange(idx); }
  void informHostOfEdit(int idx, double v) override { InformHostOfParamChange(idx, v); }
  void endHostEdit(int idx) override { EndInformHostOfParamChange(idx); }
  void sendValueToControls(int idx, double v) override { SendParameterValueFromDelegate(idx, v, true); }
  void redrawMorphPad() override {}
  plugkit::gfx::IGfx* editorUI() const override { return GetUI(); }

  Mediator mediator{*this};
  Knob* knob = nullptr;
};

struct LearnSessionIt
{
  LearnSessionIt()
  {
    plug = new LearnPlug(platform, recorder);
    plugin = vemlor::testhost::Plugin::adopt(static_cast<Steinberg::Vst::IComponent*>(plug), host, error);
  }
  ~LearnSessionIt()
  {
    if (plug && plug->GetUI())
      plug->CloseWindow();
    if (plugin)
    {
      EXPECT_TRUE(plugin->teardown().clean());
    }
  }

  // One controller message on channel 1 through the host's MIDI controller parameters, one block,
  // then an idle tick.
  void controller(int cc, int value)
  {
    plugin->addParameterChange(plugkit::IPluginVST3ProcessorBase::kMidiCCParamStartId + static_cast<unsigned>(cc), 0,
                               value / 127.0);
    plugin->process(64);
    host.pump(25);
  }

  HeadlessPlatform platform;
  DrawRecorder recorder;
  vemlor::testhost::Host host{true};
  LearnPlug* plug = nullptr;
  std::unique_ptr<vemlor::testhost::Plugin> plugin;
  std::string error;
};

TEST(MidiLearn, RightClickLearnThenAControllerMapsTheKnobAndItFollows)
{
  LearnSessionIt s;
  ASSERT_TRUE(s.plugin) << s.error;
  ASSERT_TRUE(s.plugin->startProcessing({}));
  s.plug->OpenWindow(nullptr);
  auto& g = static_cast<HeadlessGfx&>(*s.plug->GetUI());
  InputDriver input(g);
  Knob* knob = s.plug->knob;
  ASSERT_NE(knob, nullptr);

  // The test host has no context menu of its own: the editor's menu shows the items.
  ASSERT_TRUE(learnable_test::chooseInEditorMenu(g, input, s.platform, 70, 70, 0));
  EXPECT_TRUE(knob->isLearning());
  EXPECT_TRUE(knob->isBlinking());
  EXPECT_EQ(knob->ccNumber(), -1);

  // The first controller message completes the learn and already drives the parameter.
  s.controller(74, 100);
  EXPECT_FALSE(knob->isLearning());
  EXPECT_EQ(knob->ccNumber(), 74);
  EXPECT_EQ(knob->minText(), "0.00");
  EXPECT_EQ(knob->maxText(), "10.00");
  EXPECT_NEAR(knob->GetValue(), 100 / 127.0, 1e-3);
  EXPECT_NEAR(s.plug->GetParam(0)->Value(), 1000 / 127.0, 0.01);

  // From then on the knob follows that controller, and no other.
  s.controller(74, 30);
  EXPECT_NEAR(knob->GetValue(), 30 / 127.0, 1e-3);
  s.controller(75, 120);
  EXPECT_NEAR(knob->GetValue(), 30 / 127.0, 1e-3);
  s.controller(74, 127);
  EXPECT_NEAR(knob->GetValue(), 1.0, 1e-9);

  // The host heard of every change as a gesture from the main thread.
  int performs = 0;
  for (const auto& call : s.host.handler().calls())
  {
    EXPECT_TRUE(call.onMainThread);
    performs += call.kind == vemlor::testhost::HandlerCall::Kind::PerformEdit && call.id == 0;
  }
  EXPECT_EQ(performs, 3);
}

} // namespace
} // namespace learnable_it
