#include "product/audio/note_mode_controller.h"

#include <fmt/format.h>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginParameter.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/state/cc_mod_settings.h"
#include "utils/midi_cc/cc_display_control.h"
#include "utils/midi_cc/control_decorator.h"
#include "utils/midi_cc/controllable.h"
#include "utils/midi_cc/mapper.h"

namespace zarvo {

namespace {

// A stored plain value as an integer setting; NaN reads as 0.
int truncated(double v)
{
  if (std::isnan(v))
    return 0;
  return static_cast<int>(std::clamp(v, -1e9, 1e9));
}

} // namespace

int NoteModeController::stageOfCutoff(int param)
{
  for (int s = 0; s < kNumStages; ++s)
  {
    if (kStageCutoffParam[static_cast<size_t>(s)] == param)
      return s;
  }
  return -1;
}

bool NoteModeController::onParamChanged(int param, double value)
{
  const int first = kStageFirstParam[0];
  if (param < first || param >= first + kNumStages * kParamsPerStage)
    return false;
  const int stage = (param - first) / kParamsPerStage;
  LiveSettings& live = mStages[static_cast<size_t>(stage)].live;
  const int cutoff = kStageCutoffParam[static_cast<size_t>(stage)];
  constexpr auto relaxed = std::memory_order_relaxed;
  switch ((param - first) % kParamsPerStage)
  {
  case 0:
    live.on.store(value != 0.0, relaxed);
    if (value != 0.0 && mListener)
      mListener->noteModeSwitchedOn(cutoff);
    break;
  case 1: live.noteChannel.store(truncated(value), relaxed); break;
  case 2: live.octave.store(truncated(value), relaxed); break;
  case 3: live.semitone.store(truncated(value), relaxed); break;
  case 4: live.cent.store(truncated(value), relaxed); break;
  case 5: live.glideMs.store(value, relaxed); break;
  case 6: live.glideAlways.store(value != 0.0, relaxed); break;
  default:
    live.ccChannel.store(truncated(value), relaxed);
    if (mListener)
      mListener->controllerChannelChanged(cutoff, truncated(value));
    break;
  }
  mChanges.fetch_add(1, std::memory_order_release);
  return true;
}

bool NoteModeController::isCutoffNoteModeOn(int param) const
{
  const int stage = stageOfCutoff(param);
  return stage >= 0 && mStages[static_cast<size_t>(stage)].live.on.load(std::memory_order_relaxed);
}

void NoteModeController::takeSnapshots(const ParamModulator& modulator)
{
  constexpr auto relaxed = std::memory_order_relaxed;
  for (int s = 0; s < kNumStages; ++s)
  {
    const LiveSettings& live = mStages[static_cast<size_t>(s)].live;
    NoteModeSnapshot& snap = mSnapshots[static_cast<size_t>(s)];
    snap.on = live.on.load(relaxed);
    snap.noteChannel = live.noteChannel.load(relaxed);
    snap.octave = live.octave.load(relaxed);
    snap.semitone = live.semitone.load(relaxed);
    snap.cent = live.cent.load(relaxed);
    snap.glideMs = modulator.composeRelativeCC(kStageGlidePid[static_cast<size_t>(s)], live.glideMs.load(relaxed));
    snap.legatoOnly = !live.glideAlways.load(relaxed);
    snap.ccChannel = live.ccChannel.load(relaxed);
  }
}

void NoteModeController::beginBlock(double osRate, const std::array<double*, kNumStages>& cutoffs)
{
  mSmootherTicks = 0.006 * osRate * 0.0625;
  for (int s = 0; s < kNumStages; ++s)
  {
    Stage& stage = mStages[static_cast<size_t>(s)];
    const NoteModeSnapshot& snap = mSnapshots[static_cast<size_t>(s)];
    const NoteModeSnapshot& prev = stage.previous;
    double& cutoff = *cutoffs[static_cast<size_t>(s)];
    if (snap.on && !prev.on)
      stage.glider.restartAt(cutoff);
    else if (!snap.on && prev.on)
      cutoff = stage.glider.frequency(); // later ramps start from the last played pitch
    if (snap.on)
    {
      if (snap.octave != prev.octave || snap.semitone != prev.semitone || snap.cent != prev.cent)
        stage.glider.changeShifts(snap.octave, snap.semitone, snap.cent);
      if (snap.glideMs != prev.glideMs)
        stage.glider.changeGlideTime(snap.glideMs, osRate, kTickLength);
    }
    stage.previous = snap;
  }
}

void NoteModeController::handleNoteMessage(const plugkit::IMidiMsg& msg, double osRate)
{
  const int nibble = msg.mStatus >> 4;
  if (nibble != 8 && nibble != 9)
    return;
  const int channel = (msg.mStatus & 0x0F) + 1;
  const bool noteOn = nibble == 9 && msg.mData2 != 0;
  const int note = msg.mData1;
  for (int s = 0; s < kNumStages; ++s)
  {
    const NoteModeSnapshot& snap = mSnapshots[static_cast<size_t>(s)];
    if (!snap.on || (snap.noteChannel != 0 && snap.noteChannel != channel))
      continue;
    NoteGlider<double>& glider = mStages[static_cast<size_t>(s)].glider;
    if (noteOn)
      glider.noteOn(note, snap, osRate, kTickLength);
    else
      glider.noteOff(note);
  }
}

double NoteModeController::advanceTick(int stage)
{
  NoteGlider<double>& glider = mStages[static_cast<size_t>(stage)].glider;
  glider.advance();
  return glider.frequency();
}

double NoteModeController::smoothCutoffModulation(int stage, double depthOctaves)
{
  ModSmoother& m = mStages[static_cast<size_t>(stage)].smoother;
  if (depthOctaves != m.target)
  {
    m.target = depthOctaves;
    m.remaining = mSmootherTicks;
  }
  if (m.remaining > 0.0)
  {
    m.current += (depthOctaves - m.current) / m.remaining;
    m.remaining -= 1.0;
  }
  else
    m.current = depthOctaves;
  return m.current;
}

void NoteModeController::clearModulationSmoothers()
{
  for (Stage& stage : mStages)
    stage.smoother = ModSmoother{};
}

void NoteModeController::publish()
{
  for (int s = 0; s < kNumStages; ++s)
  {
    if (!mSnapshots[static_cast<size_t>(s)].on)
      continue;
    Stage& stage = mStages[static_cast<size_t>(s)];
    stage.published.store(stage.glider.frequency(), std::memory_order_relaxed);
    stage.noteHeld.store(stage.glider.heldCount() > 0, std::memory_order_relaxed);
  }
}

// ---- the editor

std::string NoteModeController::controllerLabel(int cc, bool held)
{
  if (cc < 0)
    return "--";
  return held ? fmt::format("#{} abs", cc) : fmt::format("#{}", cc);
}

void NoteModeController::syncUI(const EditorView& view)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  for (int s = 0; s < kNumStages; ++s)
  {
    const Stage& stage = mStages[static_cast<size_t>(s)];
    plugkit::IParam* cutoff = view.cutoffs[static_cast<size_t>(s)];
    const double played = stage.published.load(std::memory_order_relaxed);
    if (!cutoff || !stage.live.on.load(std::memory_order_relaxed) || !(played > 0.0))
      continue;
    // The host hears nothing of it: the played pitch is not an edit.
    cutoff->Set(played);
    const double normalized = std::clamp(cutoff->GetNormalized(), 0.0, 1.0);
    view.g.ForControlWithParam(kStageCutoffParam[static_cast<size_t>(s)], [&](plugkit::gfx::IControl* c) {
      const auto* learnable = dynamic_cast<const midi_cc::IControllable*>(c);
      if (learnable && learnable->isAuthoringDepth())
        return;
      const int valIdx = std::max(c->LinkedToParam(kStageCutoffParam[static_cast<size_t>(s)]), 0);
      if (c->GetValue(valIdx) == normalized)
        return;
      c->SetValue(normalized, valIdx);
      c->SetDirty(false, valIdx);
    });
  }

  for (int s = 0; s < kNumStages; ++s)
  {
    const int param = kStageCutoffParam[static_cast<size_t>(s)];
    const int cc = view.map.getCCForParam(param);
    setControllerNumber(s, cc);
    const std::string label = controllerLabel(cc, view.ccMod.held(param));
    view.g.ForControlWithParam(param, [&](plugkit::gfx::IControl* c) {
      auto* display = dynamic_cast<midi_cc::CCDisplayControl*>(c);
      if (!display)
        return;
      if (label != display->mStr.Get())
      {
        display->mStr.Set(label.c_str());
        display->SetDirty(false);
      }
      // This runs on every idle tick and setting the number always redraws: only a change is set.
      const auto* shown = dynamic_cast<const midi_cc::ControlDecorator<midi_cc::CCDisplayControl>*>(c);
      auto* learnable = dynamic_cast<midi_cc::IControllable*>(c);
      if (learnable && (!shown || shown->ccNumber() != cc))
      {
        if (cc >= 0)
          learnable->setCCNumber(cc);
        else
          learnable->clearCCNumber();
      }
    });
  }
}

} // namespace zarvo
