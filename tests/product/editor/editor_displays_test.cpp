// The plug-in's refreshers of the open editor: hover help, pass-type readouts, modulation depths and
// note displays of the cutoff knobs.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "IGfx/Controls/IPanelControl.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/editor/tabs.h"
#include "product/params/morph_param_table.h"
#include "product/ui/freq_knob_control.h"
#include "tests/product/editor/tabs_session.h"
#include "utils/midi_cc/controllable.h"
#include "utils/ui/FreqModDepthReadout.h"
#include "utils/ui/ITooltipHost.h"

namespace vemlor::ui::test {
namespace {

using namespace plugkit::gfx;

// A control that offers its own hover texts in the ways a control can.
class HelpfulControl : public IControl, public zarvo::ui::ITooltipHost
{
public:
  HelpfulControl(const IRECT& r, int param, const char* hosted, const char* own)
    : IControl(r, param)
    , mHosted(hosted)
  {
    SetTooltip(own);
  }
  void Draw(IGfx&) override {}
  const char* hoveredTooltip() const override { return mHosted; }
  IRECT hoveredTooltipRect() const override { return GetRECT().GetPadded(-2.f); }

private:
  const char* mHosted;
};

// A learnable control as the controller map and the modulation settings see it, recording what it is told.
class RecordingLearnable : public IControl, public zarvo::midi_cc::IControllable
{
public:
  RecordingLearnable(const IRECT& r, int param)
    : IControl(r, param)
  {}
  void Draw(IGfx&) override {}
  void setCCNumber(int) override {}
  void clearCCNumber() override {}
  void setParamMinMax(double, double) override {}
  void setModDepth(double depth) override { this->depth = depth; }
  void setModBipolar(bool bipolar) override { this->bipolar = bipolar; }
  void setModLiveValue(double value) override { live = value; }
  void setModeDisplay(int mode) override { this->mode = mode; }
  void setModeLocked(bool locked) override { this->locked = locked; }
  bool isAuthoringDepth() const override { return authoring; }
  void setLearning(bool) override {}
  void setPresenceDotOffset(float, float) override {}

  double depth = -99.;
  bool bipolar = false;
  double live = std::numeric_limits<double>::quiet_NaN();
  int mode = -1;
  bool locked = false;
  bool authoring = false;
};

TEST(HoverHelp, TheBubbleShowsTheFirstTextOfHostOwnTooltipAndParameter)
{
  struct Case
  {
    const char* name;
    int param;
    const char* hosted;
    const char* own;
    std::string expected; // empty: no bubble
  };
  TabsSession probe;
  probe.Build();
  const std::string resonance = probe.plug->editorModel().paramHelpTexts.at(zarvo::par_main_resonance);
  const Case cases[] = {
    {"the part under the mouse first", zarvo::par_main_resonance, "zone text", "own text", "zone text"},
    {"then the control's own tooltip", zarvo::par_main_resonance, "", "own text", "own text"},
    {"then its parameter's help", zarvo::par_main_resonance, "", "", resonance},
    {"a parameter without help: no bubble", zarvo::par_morph_x, "", "", ""},
    {"no parameter: no bubble", -1, "", "", ""},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    TabsSession s;
    s.Build();
    auto* control = new HelpfulControl(IRECT(400, 185, 440, 199), c.param, c.hosted, c.own);
    s.G().AttachControl(control);
    s.input->Hover(420, 192);
    ASSERT_EQ(s.G().GetMouseOver(), control);
    s.plug->updateHelpTooltip();
    EXPECT_EQ(s.Bubble().helpWanted, !c.expected.empty());
    if (!c.expected.empty())
    {
      EXPECT_EQ(std::string(s.Bubble().GetStr()), c.expected);
    }
  }
}

TEST(HoverHelp, HelpOffHidesTheBubbleAndTheToggleFollowsTheFlag)
{
  TabsSession s;
  s.Build();
  auto* control = new HelpfulControl(IRECT(400, 185, 440, 199), zarvo::par_main_resonance, "", "");
  s.G().AttachControl(control);
  s.input->Hover(420, 192);
  s.plug->updateHelpTooltip();
  ASSERT_TRUE(s.Bubble().helpWanted);

  Vemlor::s_helpTooltipsEnabled = false; // another instance's toggle
  s.plug->updateHelpTooltip();
  EXPECT_FALSE(s.Bubble().helpWanted);
  EXPECT_EQ(s.G().GetControlWithTag(kTagHoverHelp)->GetValue(), 0.0);
  Vemlor::s_helpTooltipsEnabled = true;
  s.plug->updateHelpTooltip();
  EXPECT_TRUE(s.Bubble().helpWanted);
  EXPECT_EQ(s.G().GetControlWithTag(kTagHoverHelp)->GetValue(), 1.0);
}

TEST(HoverHelp, NothingChangesWhileAControlHoldsTheMouse)
{
  TabsSession s;
  s.Build();
  auto* held = new HelpfulControl(IRECT(400, 185, 440, 199), -1, "held text", "");
  auto* other = new HelpfulControl(IRECT(450, 185, 490, 199), -1, "other text", "");
  s.G().AttachControl(held);
  s.G().AttachControl(other);
  s.input->Hover(420, 192);
  s.plug->updateHelpTooltip();
  ASSERT_EQ(std::string(s.Bubble().GetStr()), "held text");

  s.input->Press(420, 192);
  s.input->DragTo(470, 192);
  s.plug->updateHelpTooltip();
  EXPECT_EQ(std::string(s.Bubble().GetStr()), "held text");
  EXPECT_TRUE(s.Bubble().helpWanted);
  s.input->Release(470, 192);
  s.input->Hover(471, 192);
  s.plug->updateHelpTooltip();
  EXPECT_EQ(std::string(s.Bubble().GetStr()), "other text");
}

TEST(HoverHelp, NoEditorNoWork)
{
  TabsSession s;
  // Never opened: every refresher returns at once.
  s.plug->updateHelpTooltip();
  s.plug->refreshModDepths();
  s.plug->refreshFreqNoteDisplays();
  s.plug->refreshMainPTShapeUI();
  s.plug->refreshPreFltPTShapeUI();
  s.plug->OnIdle();
  EXPECT_EQ(s.plug->GetUI(), nullptr);
}

TEST(ShapeReadouts, AReadoutShowsOnTheFirstTabExactlyWhileItsFilterIsAUserBlend)
{
  struct Case
  {
    const char* name;
    int userBlendSwitch;
    int tag;
  };
  const Case cases[] = {
    {"main filter", zarvo::par_main_ub_on, kTagMainStageCoeffs},
    {"pre-filter A", zarvo::par_preFlt_A_ub_on, kTagPreAStageCoeffs},
    {"pre-filter B", zarvo::par_preFlt_B_ub_on, kTagPreBStageCoeffs},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    TabsSession s;
    s.param(c.userBlendSwitch).Set(1.0);
    s.plug->editorUI().currentTab = 0;
    s.Build();
    IControl* readout = s.G().GetControlWithTag(c.tag);
    ASSERT_NE(readout, nullptr);
    EXPECT_FALSE(readout->IsHidden());
    for (int other : {kTagMainStageCoeffs, kTagPreAStageCoeffs, kTagPreBStageCoeffs})
    {
      if (other != c.tag)
      {
        EXPECT_TRUE(s.G().GetControlWithTag(other)->IsHidden()) << other;
      }
    }
    const bool mainBlend = c.tag == kTagMainStageCoeffs;
    EXPECT_EQ(s.G().GetControlWithParamIdx(zarvo::par_main_pt_depth)->IsDisabled(), mainBlend);

    s.param(c.userBlendSwitch).Set(0.0);
    s.plug->refreshMainPTShapeUI();
    s.plug->refreshPreFltPTShapeUI();
    EXPECT_TRUE(readout->IsHidden());
  }
}

TEST(ShapeReadouts, DepthAndTiltFollowWhatThePassTypeOffers)
{
  struct Case
  {
    const char* name;
    int passType; // LP HP AP BP BR P
    bool depthOff, tiltOff;
  };
  const Case cases[] = {
    {"LP: depth only", 0, false, true},
    {"AP: neither", 2, true, true},
    {"BP: both", 3, false, false},
    {"P: depth only", 5, false, true},
  };
  TabsSession s;
  s.plug->editorUI().currentTab = 0;
  s.Build();
  for (const Case& c : cases)
  {
    s.param(zarvo::par_main_pass_type).Set(c.passType);
    s.plug->refreshMainPTShapeUI();
    EXPECT_EQ(s.G().GetControlWithParamIdx(zarvo::par_main_pt_depth)->IsDisabled(), c.depthOff) << c.name;
    EXPECT_EQ(s.G().GetControlWithParamIdx(zarvo::par_main_pt_tilt)->IsDisabled(), c.tiltOff) << c.name;
  }
}

TEST(ShapeReadouts, OtherTabsLeaveTheReadoutsHidden)
{
  TabsSession s;
  s.param(zarvo::par_main_ub_on).Set(1.0);
  s.plug->editorUI().currentTab = 2;
  s.Build();
  EXPECT_TRUE(s.G().GetControlWithTag(kTagMainStageCoeffs)->IsHidden());
}

TEST(ModDepths, LearnableControlsGetModeDepthLockAndLiveValue)
{
  TabsSession s;
  s.Build();
  auto* resonance = new RecordingLearnable(IRECT(400, 185, 440, 199), zarvo::par_main_resonance);
  auto* cutoffA = new RecordingLearnable(IRECT(450, 185, 490, 199), zarvo::par_preFlt_A_hz);
  auto* plain = new RecordingLearnable(IRECT(500, 185, 540, 199), zarvo::par_morph_active);
  s.G().AttachControl(resonance);
  s.G().AttachControl(cutoffA);
  s.G().AttachControl(plain);

  zarvo::CCModSettings& cc = s.plug->ccModSettings();
  cc.setMode(zarvo::par_main_resonance, 1);
  cc.setCCModDepth(zarvo::par_main_resonance, -0.25);
  cc.toggleCCBipolar(zarvo::par_main_resonance);
  s.param(zarvo::par_preFlt_A_hz).SetNormalized(0.5);
  // Pre-filter A follows notes: its controller modulates, locked to that mode.
  s.param(zarvo::par_preA_midi_note_on).Set(1.0);
  s.plug->OnParamChange(zarvo::par_preA_midi_note_on, plugkit::EParamSource::kUI, -1);
  cc.setCCModDepth(zarvo::par_preFlt_A_hz, 0.1);
  s.plug->refreshModDepths();

  EXPECT_EQ(resonance->mode, 1);
  EXPECT_DOUBLE_EQ(resonance->depth, -0.25);
  EXPECT_TRUE(resonance->bipolar);
  EXPECT_FALSE(resonance->locked);
  EXPECT_GE(resonance->live, 0.0);
  EXPECT_LE(resonance->live, 1.0);

  const plugkit::IParam& a = s.param(zarvo::par_preFlt_A_hz);
  EXPECT_EQ(cutoffA->mode, 1);
  EXPECT_TRUE(cutoffA->locked);
  // Octaves back to a normalised distance from the current value.
  const double octaves = cc.depth(zarvo::modSlotOf(zarvo::par_preFlt_A_hz));
  EXPECT_NEAR(cutoffA->depth, a.ToNormalized(a.Constrain(a.Value() * std::exp2(octaves))) - a.GetNormalized(), 1e-12);
  EXPECT_NEAR(cutoffA->depth, 0.1, 1e-3);

  // A parameter without a modulation slot is left alone.
  EXPECT_EQ(plain->mode, -1);
  EXPECT_EQ(plain->depth, -99.);

  // Absolute mode: no live value is pushed.
  cc.setMode(zarvo::par_main_resonance, 0);
  resonance->live = std::numeric_limits<double>::quiet_NaN();
  s.plug->refreshModDepths();
  EXPECT_EQ(resonance->mode, 0);
  EXPECT_TRUE(std::isnan(resonance->live));
}

TEST(ModDepths, TheControllerBlockSpellsOutTheDepthOnlyWhileItsControllerModulates)
{
  TabsSession s;
  s.plug->editorUI().currentTab = 1;
  s.Build();
  zarvo::ui::FreqModDepthReadout* readout = nullptr;
  s.G().ForStandardControlsFunc([&](IControl* c) {
    auto* r = dynamic_cast<zarvo::ui::FreqModDepthReadout*>(c);
    if (r && r->parameter() == zarvo::par_preFlt_A_hz)
      readout = r;
  });
  ASSERT_NE(readout, nullptr);
  s.param(zarvo::par_preFlt_A_hz).SetNormalized(0.5);
  zarvo::CCModSettings& cc = s.plug->ccModSettings();
  cc.setMode(zarvo::par_preFlt_A_hz, 1);
  cc.setCCModDepth(zarvo::par_preFlt_A_hz, -0.1);
  const double octaves = cc.depth(zarvo::modSlotOf(zarvo::par_preFlt_A_hz));
  ASSERT_LT(octaves, 0.0);

  s.plug->refreshModDepths();
  EXPECT_FALSE(readout->valid()); // no controller yet

  s.plug->ccMediator().mapper().addMapping(30, zarvo::par_preFlt_A_hz);
  s.plug->refreshModDepths();
  EXPECT_TRUE(readout->valid());
  EXPECT_DOUBLE_EQ(readout->depth(), octaves);

  cc.setMode(zarvo::par_preFlt_A_hz, 0);
  s.plug->refreshModDepths();
  EXPECT_FALSE(readout->valid());
}

TEST(FreqNoteDisplays, WhileMorphingTheKnobsShowTheBlendsFrequency)
{
  TabsSession s;
  s.plug->editorUI().currentTab = 0;
  s.Build();
  auto* knob = dynamic_cast<FreqKnobControl*>(s.mainCutoff);
  ASSERT_NE(knob, nullptr);
  s.param(zarvo::par_morph_active).Set(1.0);
  s.plug->OnParamChange(zarvo::par_morph_active, plugkit::EParamSource::kPresetRecall, -1);
  ASSERT_TRUE(s.plug->morphController().morphOn());
  s.plug->refreshFreqNoteDisplays();
  const bool anchored = s.plug->morphController().morphFreqNoteAnchored(zarvo::par_main_cutoff_hz);
  EXPECT_EQ(knob->displayMode(), anchored ? FreqKnobControl::kDisplayFixed : FreqKnobControl::kDisplayParam);
  EXPECT_FALSE(knob->highlighted());

  s.param(zarvo::par_morph_active).Set(0.0);
  s.plug->OnParamChange(zarvo::par_morph_active, plugkit::EParamSource::kPresetRecall, -1);
  s.plug->refreshFreqNoteDisplays();
  EXPECT_EQ(knob->displayMode(), FreqKnobControl::kDisplayFrequency);
}

TEST(FreqNoteDisplays, FollowingNotesMarksTheKnobsWhichShowTheFrequencyUntilANotePlays)
{
  TabsSession s;
  s.plug->editorUI().currentTab = 0;
  s.Build();
  auto* knob = dynamic_cast<FreqKnobControl*>(s.mainCutoff);
  ASSERT_NE(knob, nullptr);
  s.plug->refreshFreqNoteDisplays();
  EXPECT_FALSE(knob->highlighted());
  EXPECT_EQ(knob->displayMode(), FreqKnobControl::kDisplayFrequency);

  // Following notes without a note held: marked, still showing the frequency.
  s.param(zarvo::par_main_midi_note_on).Set(1.0);
  s.plug->OnParamChange(zarvo::par_main_midi_note_on, plugkit::EParamSource::kUI, -1);
  s.plug->refreshFreqNoteDisplays();
  EXPECT_TRUE(knob->highlighted());
  EXPECT_EQ(knob->displayMode(), FreqKnobControl::kDisplayFrequency);
}

TEST(FreqNoteDisplays, APlayedNoteReachesTheCutoffControlsButNotOneInADepthGesture)
{
  TabsSession s;
  s.plug->editorUI().currentTab = 0;
  s.Build();
  auto* knob = dynamic_cast<FreqKnobControl*>(s.mainCutoff);
  ASSERT_NE(knob, nullptr);
  auto* gesture = new RecordingLearnable(IRECT(400, 185, 440, 199), zarvo::par_main_cutoff_hz);
  gesture->authoring = true;
  s.G().AttachControl(gesture);
  gesture->SetValue(0.123);

  s.param(zarvo::par_main_midi_note_on).Set(1.0);
  s.plug->OnParamChange(zarvo::par_main_midi_note_on, plugkit::EParamSource::kUI, -1);
  s.plug->SetSampleRate(48000.0);
  s.plug->SetBlockSize(256);
  s.plug->SetChannelConnections(plugkit::kInput, 0, 2, true);
  s.plug->SetChannelConnections(plugkit::kOutput, 0, 2, true);
  s.plug->OnReset();
  std::vector<double> in[2] = {std::vector<double>(256), std::vector<double>(256)};
  std::vector<double> out[2] = {std::vector<double>(256), std::vector<double>(256)};
  double* ins[2] = {in[0].data(), in[1].data()};
  double* outs[2] = {out[0].data(), out[1].data()};
  {
    plugkit::AudioThreadScope audio;
    s.plug->ProcessBlock(ins, outs, 256);
    s.plug->ProcessMidiMsg(plugkit::IMidiMsg{0, 0x90, 60, 100});
    s.plug->ProcessBlock(ins, outs, 256);
  }
  s.plug->OnIdle();

  const double c4 = 440.0 * std::exp2((60.0 - 69.0) / 12.0);
  const plugkit::IParam& cutoff = s.param(zarvo::par_main_cutoff_hz);
  EXPECT_NEAR(cutoff.Value(), c4, 0.5);
  EXPECT_DOUBLE_EQ(knob->GetValue(), cutoff.GetNormalized());
  EXPECT_EQ(gesture->GetValue(), 0.123);
  EXPECT_TRUE(knob->highlighted());
  EXPECT_EQ(knob->displayMode(), FreqKnobControl::kDisplayFixed);
  EXPECT_STREQ(knob->GetValueStr(), "C4");
}

TEST(FreqNoteDisplays, ANoteTextMarksAPitchOffItsNoteByMoreThanTheThreshold)
{
  const auto cents = [](double note, double c) { return 440.0 * std::exp2((note - 69.0 + c / 100.0) / 12.0); };
  struct Case
  {
    const char* name;
    double hz;
    double threshold;
    const char* text;
  };
  const Case cases[] = {
    {"on the note", 440.0, 20.0, "A4"},
    {"19.6 cents above: the name alone", cents(60, 19.6), 20.0, "C4"},
    {"25 cents above", cents(60, 25.0), 20.0, "C4+"},
    {"25 cents below the next semitone", cents(61, -25.0), 20.0, "C#4-"},
    {"6 cents above with the blend's threshold", cents(69, 6.0), 5.0, "A4+"},
    {"4 cents below with the blend's threshold", cents(69, -4.0), 5.0, "A4"},
    {"no frequency", 0.0, 20.0, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(cutoffNoteText(c.hz, c.threshold), c.text) << c.name;
}

} // namespace
} // namespace vemlor::ui::test

namespace vemlor::ui::test {
namespace {

void setMorph(TabsSession& s, bool on)
{
  s.param(zarvo::par_morph_active).Set(on ? 1.0 : 0.0);
  s.plug->OnParamChange(zarvo::par_morph_active, plugkit::EParamSource::kPresetRecall, -1);
  s.plug->OnIdle();
}

void dragUp(TabsSession& s, IControl* c)
{
  const IRECT r = c->GetRECT();
  s.input->Press(r.MW(), r.MH());
  s.input->DragTo(r.MW(), r.MH() - 40.f);
  s.input->Release(r.MW(), r.MH() - 40.f);
}

// While the morph field drives the parameters, the knob of a blended parameter shows the blend and
// takes no edit, so what the editor shows is what the state keeps; with a point selected an edit
// goes into that point.
TEST(MorphDrivenControls, ADrivenKnobShowsTheBlendAndRefusesEditsASelectedPointTakesThem)
{
  TabsSession s;
  s.plug->editorUI().currentTab = 0;
  s.Build();
  zarvo::morph::MorphController& morph = s.plug->morphController();
  constexpr size_t row = zarvo::morph::kRowMainCutoff;
  plugkit::IParam& cutoff = s.param(zarvo::par_main_cutoff_hz);
  // The patch's own cutoff far from every point's, so that a shown blend cannot pass for it.
  cutoff.SetNormalized(0.999);
  s.plug->OnParamChange(zarvo::par_main_cutoff_hz, plugkit::EParamSource::kPresetRecall, -1);

  setMorph(s, true);
  ASSERT_TRUE(morph.drivesParams());
  const double blend =
    morph.engine().resolvedAt(s.param(zarvo::par_morph_x).Value(), s.param(zarvo::par_morph_y).Value())[row];
  EXPECT_TRUE(s.mainCutoff->IsDisabled());
  EXPECT_EQ(s.mainCutoff->GetDisabledWeight(), 0.6f);
  EXPECT_NEAR(s.mainCutoff->GetValue(), blend, 1e-9);
  EXPECT_NEAR(cutoff.GetNormalized(), blend, 1e-9);

  dragUp(s, s.mainCutoff);
  s.plug->OnIdle();
  EXPECT_NEAR(cutoff.GetNormalized(), blend, 1e-9);
  EXPECT_NEAR(s.mainCutoff->GetValue(), cutoff.GetNormalized(), 1e-9);

  // One point selected: the knob is free and its edit is the point's.
  morph.engine().edit({.selection = 1u << 1});
  s.plug->OnIdle();
  ASSERT_FALSE(morph.drivesParams());
  EXPECT_FALSE(s.mainCutoff->IsDisabled());
  const double pointBefore = morph.engine().editState().points[1].values[row];
  dragUp(s, s.mainCutoff);
  const double edited = cutoff.GetNormalized();
  EXPECT_GT(edited, pointBefore);
  EXPECT_NEAR(morph.engine().editState().points[1].values[row], edited, 1e-9);

  setMorph(s, false);
  EXPECT_FALSE(s.mainCutoff->IsDisabled());
}

TEST(MorphDrivenControls, ACutoffThatFollowsNotesStaysLockedWhenTheFieldLetsGo)
{
  TabsSession s;
  s.plug->editorUI().currentTab = 0;
  s.Build();
  s.param(zarvo::par_main_midi_note_on).Set(1.0);
  s.plug->OnIdle();
  ASSERT_TRUE(s.mainCutoff->IsDisabled());
  setMorph(s, true);
  EXPECT_TRUE(s.mainCutoff->IsDisabled());
  setMorph(s, false);
  EXPECT_TRUE(s.mainCutoff->IsDisabled());
  s.param(zarvo::par_main_midi_note_on).Set(0.0);
  s.plug->OnIdle();
  EXPECT_FALSE(s.mainCutoff->IsDisabled());
}

} // namespace
} // namespace vemlor::ui::test
