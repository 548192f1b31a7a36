// Parameter changes from host, editor and preset recall, and the editor's gestures.
#include "product/Vemlor.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "IPlugin/IPluginThreadRole.h"
#include "product/params/morph_param_table.h"
#include "product/params/params.h"

namespace {

using plugkit::EParamSource;
using zarvo::morph::MorphController;

constexpr bool isMorphMeta(int param)
{
  return param == zarvo::par_morph_active || param == zarvo::par_morph_x || param == zarvo::par_morph_y;
}

constexpr uint32_t metaBit(int param) { return 1u << (param - zarvo::par_morph_active); }

constexpr bool isMorphRow(int param) { return zarvo::morph::rowOf(param) >= 0; }

// The user-blend switch of the filter whose pass type this is, or -1.
constexpr int blendSwitchOf(int passTypeParam)
{
  switch (passTypeParam)
  {
  case zarvo::par_preFlt_A_pt: return zarvo::par_preFlt_A_ub_on;
  case zarvo::par_preFlt_B_pt: return zarvo::par_preFlt_B_ub_on;
  case zarvo::par_main_pass_type: return zarvo::par_main_ub_on;
  default: return -1;
  }
}

} // namespace

void Vemlor::OnParamChange(int paramIdx, EParamSource source, int)
{
  if (paramIdx < 0 || paramIdx >= zarvo::kNumParams)
    return;
  const double value = GetParam(paramIdx)->Value();
  const bool audioThread = plugkit::IsAudioThread();
  const bool pick = !audioThread && picksOutOfBlend(paramIdx, source);
  if (mLastParamValue[static_cast<size_t>(paramIdx)].exchange(value, std::memory_order_relaxed) == value && !pick)
    return;

  const bool meta = isMorphMeta(paramIdx);
  if (!meta && !audioThread && mPresetManager)
    mPresetManager->onParamChanged(source);

  // A host automating a cutoff takes it off the played note.
  if (source == EParamSource::kHost)
  {
    for (const zarvo::morph::NoteAnchor& anchor : zarvo::morph::kNoteAnchors)
    {
      const int cutoff = zarvo::morph::kMorphParams[static_cast<size_t>(anchor.row)].param;
      if (paramIdx == cutoff && GetParam(anchor.switchParam)->Value() > 0.5)
      {
        GetParam(anchor.switchParam)->Exchange(0.0);
        mDeferredAnchorRelease.store(true, std::memory_order_release);
      }
    }
  }

  if (mNoteMode.onParamChanged(paramIdx, value))
  {
    if (!audioThread && mMorph)
      mMorph->mirrorParamEditIntoPoint(paramIdx, source);
    return;
  }

  mBlockRecord.store(paramIdx, value);
  if (meta && mMorph)
  {
    if (audioThread)
      deferMetaParam(paramIdx, value);
    else
      mMorph->onMetaParamChanged(paramIdx, value, source);
  }

  if (audioThread || !mMorph)
    return;
  if (source != EParamSource::kUI)
  {
    mMorph->mirrorParamEditIntoPoint(paramIdx, source);
    return;
  }

  // ---- an editor change, on the main thread
  const bool mainShapeParam = paramIdx == zarvo::par_main_pass_type || paramIdx == zarvo::par_main_pt_depth ||
                              paramIdx == zarvo::par_main_pt_tilt;
  if (mainShapeParam && !mMorph->applyingPoint())
  {
    std::array<MorphController::TypeAxes, zarvo::kNumPassTypes> axes{};
    const MorphController::MainPTShapeView view = zarvo::mainShapeWithTypeAxes(*mMorph, axes);
    mMorph->mirrorParamEditIntoPoint(paramIdx, source);
    if (view.userBlend)
    {
      sendPlainFromUI(zarvo::par_main_ub_on, 0.0);
      if (paramIdx == zarvo::par_main_pass_type)
      {
        const auto type =
          static_cast<size_t>(std::clamp(static_cast<int>(std::trunc(value)), 0, zarvo::kNumPassTypes - 1));
        const MorphController::TypeAxes& a = axes[type];
        const double depth = a.weight > 0.0 ? a.depth : 1.0;
        const double tilt = a.weight > 0.0 ? a.tilt : 0.0;
        sendPlainFromUI(zarvo::par_main_pt_depth, depth);
        sendPlainFromUI(zarvo::par_main_pt_tilt, tilt);
        SendParameterValueFromDelegate(zarvo::par_main_pt_depth, GetParam(zarvo::par_main_pt_depth)->Value(), false);
        SendParameterValueFromDelegate(zarvo::par_main_pt_tilt, GetParam(zarvo::par_main_pt_tilt)->Value(), false);
      }
    }
  }
  else
  {
    mMorph->mirrorParamEditIntoPoint(paramIdx, source);
  }

  if ((paramIdx == zarvo::par_preFlt_A_pt || paramIdx == zarvo::par_preFlt_B_pt) && !mMorph->applyingPoint())
  {
    const int blendSwitch = blendSwitchOf(paramIdx);
    if (mMorph->morphOn() || GetParam(blendSwitch)->Value() > 0.5)
      sendPlainFromUI(blendSwitch, 0.0);
  }

  if (!mUIGestureActive && !meta && !mRandomizerApply && mPresetManager)
  {
    mUngesturedEditPending = true;
    mUngesturedEditTimeMs = nowMs();
  }
}

bool Vemlor::picksOutOfBlend(int paramIdx, EParamSource source) const
{
  if (source != EParamSource::kUI || !mMorph || mMorph->applyingPoint())
    return false;
  const int blendSwitch = blendSwitchOf(paramIdx);
  return blendSwitch >= 0 && (mMorph->morphOn() || GetParam(blendSwitch)->Value() > 0.5);
}

void Vemlor::sendPlainFromUI(int paramIdx, double plain)
{
  SendParameterValueFromUI(paramIdx, GetParam(paramIdx)->ToNormalized(plain));
}

void Vemlor::deferMetaParam(int paramIdx, double value)
{
  // The audio path reads the mirrors at once; publishing and the session wait for the main thread.
  if (paramIdx == zarvo::par_morph_active)
    mMorph->mirrorMorphSwitch(value != 0.0);
  else if (paramIdx == zarvo::par_morph_x)
    mMorph->mirrorMorphX(value);
  else
    mMorph->mirrorMorphY(value);
  mDeferredMetaParams.fetch_or(metaBit(paramIdx), std::memory_order_acq_rel);
}

void Vemlor::replayDeferredWork()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const uint32_t switchedOn = mDeferredNoteModeOn.exchange(0u, std::memory_order_acq_rel);
  for (int stage = 0; stage < zarvo::NoteModeController::kNumStages; ++stage)
  {
    const int cutoff = zarvo::NoteModeController::kStageCutoffParam[static_cast<size_t>(stage)];
    if (switchedOn & (1u << stage))
      noteModeSwitchedOn(cutoff);
    const int channel = mDeferredControllerChannel[static_cast<size_t>(stage)].exchange(-1, std::memory_order_acq_rel);
    if (channel >= 0)
      applyControllerChannel(cutoff, channel);
  }

  if (mDeferredAnchorRelease.exchange(false, std::memory_order_acq_rel))
  {
    // The handlers and the host learn the switch's new value.
    mParamEdits.run(EParamSource::kHost, [this] {
      for (const zarvo::morph::NoteAnchor& anchor : zarvo::morph::kNoteAnchors)
        OnParamChange(anchor.switchParam, EParamSource::kHost, -1);
      return true;
    });
  }

  const uint32_t meta = mDeferredMetaParams.exchange(0u, std::memory_order_acq_rel);
  for (int param : {zarvo::par_morph_active, zarvo::par_morph_x, zarvo::par_morph_y})
  {
    if (meta & metaBit(param))
      mMorph->onMetaParamChanged(param, GetParam(param)->Value(), EParamSource::kHost);
  }
}

void Vemlor::BeginInformHostOfParamChangeFromUI(int paramIdx)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (paramIdx == zarvo::par_morph_x || paramIdx == zarvo::par_morph_y)
    return;
  if (mMorph->drivesParams() && isMorphRow(paramIdx))
    return;
  flushPendingUngesturedEdit();
  mUIGestureActive = true;

  MorphController& morph = *mMorph;
  if (isMorphRow(paramIdx))
    morph.beginPointEditGesture([this](plugkit::IByteChunk& chunk) { SerializeState(chunk); });
  BeginInformHostOfParamChange(paramIdx);
}

void Vemlor::EndInformHostOfParamChangeFromUI(int paramIdx)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (paramIdx == zarvo::par_morph_x || paramIdx == zarvo::par_morph_y)
    return;
  if (mMorph->drivesParams() && isMorphRow(paramIdx))
    return;
  mUIGestureActive = false;
  EndInformHostOfParamChange(paramIdx);

  MorphController& morph = *mMorph;
  zarvo::PresetManager* pm = mPresetManager.get();
  if (const std::optional<MorphController::PointEditGesture> gesture = morph.endPointEditGesture())
  {
    if (pm && pm->editPending())
    {
      if (gesture->single)
        pm->commitDirtyEdit();
      else
        pm->commitFromState(gesture->before, static_cast<int>(pm->undoStack().size()));
    }
  }
  if (pm && !mRandomizerApply && paramIdx != zarvo::par_morph_active && !morph.morphOn())
    pm->commitDirtyEdit();
}

void Vemlor::beginMorphUserGestureFromUI()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  BeginInformHostOfParamChange(zarvo::par_morph_x);
  BeginInformHostOfParamChange(zarvo::par_morph_y);
}

void Vemlor::endMorphUserGestureFromUI()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  EndInformHostOfParamChange(zarvo::par_morph_x);
  EndInformHostOfParamChange(zarvo::par_morph_y);
}

void Vemlor::flushPendingUngesturedEdit()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mUngesturedEditPending)
    return;
  mUngesturedEditPending = false;
  if (mPresetManager)
    mPresetManager->commitDirtyEdit();
}
