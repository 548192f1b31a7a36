// The open editor's displays: readouts, disabled states, modulation depths and hover help.
#include "product/Vemlor.h"

#include <algorithm>
#include <cmath>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/editor/editor_model.h"
#include "product/editor/layout.h"
#include "product/editor/tabs.h"
#include "product/dsp/pass_types.h"
#include "product/params/morph_param_table.h"
#include "product/params/params.h"
#include "product/ui/freq_knob_control.h"
#include "product/ui/hover_help_texts.h"
#include "product/ui/section_label_control.h"
#include "product/ui/stage_coeffs_readout.h"
#include "product/ui/tooltip_bubble_control.h"
#include "utils/midi_cc/cc_display_control.h"
#include "utils/midi_cc/controllable.h"
#include "utils/ui/FreqModDepthReadout.h"
#include "utils/ui/SelectControl.h"

using plugkit::gfx::IControl;
using plugkit::gfx::IGfx;
using vemlor::ui::setDisabledIfChanged;
using vemlor::ui::StageCoeffsReadout;
using zarvo::NoteModeController;
using zarvo::morph::MorphController;

namespace {

constexpr std::array<const char*, 5> kMainRowNames = {"u", "y1", "y2", "y3", "y4"};
constexpr std::array<const char*, 3> kPreFltRowNames = {"lp", "hp", "bp"};

// The pass-type readout tags and selector parameters per filter: main, pre-filter A, pre-filter B.
constexpr std::array<int, 3> kShapeReadoutTags = {vemlor::ui::kTagMainStageCoeffs, vemlor::ui::kTagPreAStageCoeffs,
                                                  vemlor::ui::kTagPreBStageCoeffs};
constexpr std::array<int, 3> kPassTypeParams = {zarvo::par_main_pass_type, zarvo::par_preFlt_A_pt,
                                                zarvo::par_preFlt_B_pt};

void showIfChanged(IControl* c, bool shown)
{
  if (c && c->IsHidden() == shown)
    c->Hide(!shown);
}

} // namespace

namespace vemlor::ui {

std::string cutoffNoteText(double hz, double thresholdCents)
{
  if (!(hz > 0.0) || !std::isfinite(hz))
    return {};
  const double m = 12.0 * std::log2(hz / 440.0) + 69.0;
  const double n = std::round(m);
  const double cents = (m - n) * 100.0;
  std::string text = FreqKnobControl::noteName(static_cast<int>(n));
  if (cents > thresholdCents)
    text += '+';
  else if (cents < -thresholdCents)
    text += '-';
  return text;
}

void setDisabledIfChanged(IControl* c, bool disabled)
{
  if (c && c->IsDisabled() != disabled)
    c->SetDisabled(disabled);
}

bool cutoffFollowsNoteParam(const plugkit::IEditorDelegate& plugin, int stage)
{
  const plugkit::IParam* noteOn = plugin.GetParam(NoteModeController::kStageFirstParam[static_cast<size_t>(stage)]);
  return noteOn && noteOn->Value() > 0.5;
}

void lockCutoffControl(IGfx& g, int stage, bool locked)
{
  if (IControl* c = g.GetControlWithParamIdx(NoteModeController::kStageCutoffParam[static_cast<size_t>(stage)]))
    c->SetDisabled(locked);
}

} // namespace vemlor::ui

void Vemlor::refreshEditorDisplays()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  IGfx* g = GetUI();
  if (!g)
    return;
  mNoteMode.syncUI(
    {*g,
     {GetParam(zarvo::par_main_cutoff_hz), GetParam(zarvo::par_preFlt_A_hz), GetParam(zarvo::par_preFlt_B_hz)},
     mMediator.mapper(),
     mCCMod});
  refreshFreqNoteDisplays();
  refreshMainPTShapeUI();
  refreshPreFltPTShapeUI();

  // A cutoff that starts or stops following notes locks or frees its knob; between changes the
  // morph field may grey the same knob, so only a change of the note switch writes here.
  for (int s = 0; s < NoteModeController::kNumStages; ++s)
  {
    const int8_t locked = vemlor::ui::cutoffFollowsNoteParam(*this, s) ? 1 : 0;
    if (editorModel().displayMemo.cutoffLocked[static_cast<size_t>(s)] == locked)
      continue;
    editorModel().displayMemo.cutoffLocked[static_cast<size_t>(s)] = locked;
    vemlor::ui::lockCutoffControl(*g, s, locked != 0 || mMorph->drivesParams());
  }

  // Randomize and mutate act on points while morphing; with point editing not allowed they cannot.
  const bool randMutOff = mMorph->morphOn() && !mMorph->engine().pointEditingAllowed();
  setDisabledIfChanged(g->GetControlWithTag(vemlor::ui::kTagRandomize), randMutOff);
  setDisabledIfChanged(g->GetControlWithTag(vemlor::ui::kTagMutate), randMutOff);
  const bool driven = mMorph->drivesParams();
  g->ForStandardControlsFunc([driven](IControl* c) {
    if (dynamic_cast<vemlor::ui::SectionLabelControl*>(c))
      setDisabledIfChanged(c, driven);
  });
}

void Vemlor::updateHelpTooltip()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  IGfx* g = GetUI();
  if (!g)
    return;
  auto* bubble = dynamic_cast<vemlor::ui::TooltipBubbleControl*>(g->GetBubbleControl(0));
  if (!bubble)
    return;
  if (IControl* toggle = g->GetControlWithTag(vemlor::ui::kTagHoverHelp))
  {
    const double shown = s_helpTooltipsEnabled ? 1.0 : 0.0;
    if (toggle->GetValue() != shown)
    {
      toggle->SetValue(shown);
      toggle->SetDirty(false);
    }
  }
  // A file message keeps the bubble for a while, whatever the pointer hovers; help takes it back then.
  if (mEditorServices.holdsFileMessage())
    return;
  if (!s_helpTooltipsEnabled)
  {
    bubble->hideTooltip();
    return;
  }
  vemlor::ui::refreshHoverHelp(*g, *bubble, editorModel().paramHelpTexts, true);
}

void Vemlor::refreshModDepths()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  IGfx* g = GetUI();
  if (!g)
    return;
  g->ForStandardControlsFunc([this](IControl* c) {
    if (auto* readout = dynamic_cast<zarvo::ui::FreqModDepthReadout*>(c))
    {
      const int param = readout->parameter();
      const int slot = zarvo::modSlotOf(param);
      if (slot < 0)
        return;
      const bool valid = hasController(param) && mCCMod.mode(param) == 1;
      readout->setDepth(valid ? mCCMod.depth(slot) : readout->depth(), valid);
      return;
    }
    auto* learnable = dynamic_cast<zarvo::midi_cc::IControllable*>(c);
    if (!learnable)
      return;
    const int param = c->GetParamIdx();
    const int slot = zarvo::modSlotOf(param);
    if (slot < 0)
      return;
    const plugkit::IParam& p = *GetParam(param);
    const int mode = static_cast<int>(mCCMod.mode(param));
    const double value = p.Value();
    double depth = mCCMod.depth(slot);
    if (isFrequencyModSlot(slot))
      depth = p.ToNormalized(p.Constrain(value * std::exp2(depth))) - p.ToNormalized(value);
    learnable->setModeDisplay(mode);
    learnable->setModeLocked(mNoteMode.isCutoffNoteModeOn(param));
    learnable->setModDepth(depth);
    learnable->setModBipolar(mCCMod.bipolar(slot));
    if (mode == 1)
      learnable->setModLiveValue(std::clamp(p.ToNormalized(composeRelativeCC(param, value)), 0.0, 1.0));
  });
}

void Vemlor::refreshFreqNoteDisplays()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  IGfx* g = GetUI();
  if (!g)
    return;
  const bool blend = mMorph->morphOn() && mMorph->engine().editState().focus < 0;
  for (int s = 0; s < NoteModeController::kNumStages; ++s)
  {
    const int cutoff = NoteModeController::kStageCutoffParam[static_cast<size_t>(s)];
    const bool following = mNoteMode.isCutoffNoteModeOn(cutoff);
    const bool anchored = !following && blend && mMorph->morphFreqNoteAnchored(cutoff);
    g->ForControlWithParam(cutoff, [&](IControl* c) {
      auto* knob = dynamic_cast<vemlor::ui::FreqKnobControl*>(c);
      if (!knob)
        return;
      int mode = vemlor::ui::FreqKnobControl::kDisplayFrequency;
      std::string text;
      if (following && mNoteMode.noteHeld(s))
      {
        mode = vemlor::ui::FreqKnobControl::kDisplayFixed;
        text = vemlor::ui::cutoffNoteText(mNoteMode.publishedFrequency(s), 20.0);
      }
      else if (anchored)
      {
        mode = vemlor::ui::FreqKnobControl::kDisplayFixed;
        text = vemlor::ui::cutoffNoteText(GetParam(cutoff)->FromNormalized(knob->GetValue()), 5.0);
      }
      else if (!following && blend)
        mode = vemlor::ui::FreqKnobControl::kDisplayParam;
      const bool changed = knob->highlighted() != following || knob->displayMode() != mode ||
                           (mode == vemlor::ui::FreqKnobControl::kDisplayFixed && text != knob->GetValueStr());
      if (!changed)
        return;
      knob->setHighlighted(following);
      knob->setDisplayMode(mode);
      knob->setFixedText(text);
      knob->refreshValueStr();
      knob->SetDirty(false);
    });
  }
}

void Vemlor::refreshMainPTShapeUI()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  IGfx* g = GetUI();
  if (!g)
    return;
  const MorphController::MainPTShapeView view = mMorph->resolveMainPTShapeView(MorphController::kShapeTolerance);
  g->ForStandardControlsFunc([&view](IControl* c) {
    auto* readout = dynamic_cast<StageCoeffsReadout*>(c);
    if (!readout || readout->shapeKind() != StageCoeffsReadout::ShapeKind::Main)
      return;
    for (size_t i = 0; i < kMainRowNames.size(); ++i)
      readout->setRow(static_cast<int>(i), kMainRowNames[i], view.coeffs[i]);
    readout->setRowCount(static_cast<int>(kMainRowNames.size()));
  });

  if (editorUI().currentTab != 0)
    return;
  bool depthOff = view.userBlend || mMorph->drivesParams();
  bool tiltOff = depthOff;
  if (!depthOff)
  {
    const size_t type = static_cast<size_t>(std::clamp(view.passType, 0, zarvo::kNumPassTypes - 1));
    depthOff = zarvo::pt_depth_shapes[type].size() < 2;
    tiltOff = zarvo::pt_tilt_shapes[type].empty();
  }
  g->ForControlWithParam(zarvo::par_main_pt_depth, [depthOff](IControl* c) { setDisabledIfChanged(c, depthOff); });
  g->ForControlWithParam(zarvo::par_main_pt_tilt, [tiltOff](IControl* c) { setDisabledIfChanged(c, tiltOff); });
  showIfChanged(g->GetControlWithTag(kShapeReadoutTags[0]), view.userBlend);
  showBlendedSelectors(0, view.userBlend);
}

void Vemlor::refreshPreFltPTShapeUI()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  IGfx* g = GetUI();
  if (!g)
    return;
  const std::array<MorphController::PreFltShapeView, 2> views = {
    mMorph->resolvePreFltShapeView(zarvo::morph::kPreFltAShape, MorphController::kShapeTolerance),
    mMorph->resolvePreFltShapeView(zarvo::morph::kPreFltBShape, MorphController::kShapeTolerance)};
  g->ForStandardControlsFunc([&views](IControl* c) {
    auto* readout = dynamic_cast<StageCoeffsReadout*>(c);
    if (!readout || readout->shapeKind() == StageCoeffsReadout::ShapeKind::Main)
      return;
    const MorphController::PreFltShapeView& view =
      views[readout->shapeKind() == StageCoeffsReadout::ShapeKind::PreA ? 0 : 1];
    for (size_t i = 0; i < kPreFltRowNames.size(); ++i)
      readout->setRow(static_cast<int>(i), kPreFltRowNames[i], view.coeffs[i]);
    readout->setRowCount(static_cast<int>(kPreFltRowNames.size()));
  });

  if (editorUI().currentTab != 0)
    return;
  for (size_t k = 0; k < views.size(); ++k)
  {
    showIfChanged(g->GetControlWithTag(kShapeReadoutTags[k + 1]), views[k].userBlend);
    showBlendedSelectors(static_cast<int>(k + 1), views[k].userBlend);
  }
}

void Vemlor::showBlendedSelectors(int filter, bool blended)
{
  IGfx* g = GetUI();
  if (!g)
    return;
  const size_t f = static_cast<size_t>(filter);
  const void* last = nullptr;
  g->ForControlWithParam(kPassTypeParams[f], [&](IControl* c) {
    if (auto* select = dynamic_cast<zarvo::ui::SelectControl*>(c))
    {
      select->setNoSelectionFill(blended);
      last = c;
    }
  });
  // The flag has no reader; a new selector, or a new value, is drawn again.
  const int8_t memo = blended ? 1 : 0;
  if (editorModel().displayMemo.blended[f] == memo && editorModel().displayMemo.lastSelector[f] == last)
    return;
  editorModel().displayMemo.blended[f] = memo;
  editorModel().displayMemo.lastSelector[f] = last;
  g->ForControlWithParam(kPassTypeParams[f], [](IControl* c) {
    if (dynamic_cast<zarvo::ui::SelectControl*>(c))
      c->SetDirty(false);
  });
}
