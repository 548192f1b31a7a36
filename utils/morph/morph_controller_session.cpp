// The morph session as the controller drives it: switching morph on and off, baking the blend into
// the plug-in's own parameters, and reverting to the sound from before the session.
#include "utils/morph/morph_controller.h"

#include "IPlugin/IPluginThreadRole.h"
#include "utils/morph/flag_scope.h"

namespace zarvo::morph {

namespace {

// A blend this close to one point is that point's sound.
constexpr double kBakeWeight = 0.9;

} // namespace

void MorphController::clearSelectionAndFocus() { mEngine.edit({.focus = -1, .selection = 0}); }

bool MorphController::onMetaParamChanged(int param, double value, plugkit::EParamSource source)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const bool fromEditor = source == plugkit::EParamSource::kUI;
  if (param == mTable.morphX || param == mTable.morphY)
  {
    (param == mTable.morphX ? mMorphX : mMorphY) = value;
    if (fromEditor && mMorphOn)
      mMovedSinceOn = true;
    return true;
  }
  if (param != mTable.morphActive)
    return false;

  if (value != 0.0)
  {
    mTurnOffPending = false;
    mMovedSinceOn = !fromEditor;
    if (fromEditor && !mSession.active())
    {
      clearSelectionAndFocus();
      mSession.open(snapshotPatchMorphOff());
      // The session's history starts with the base sound in the teleport point.
      captureTeleportFromBase();
      mSession.markStart();
    }
    publish();
    mMorphOn = true;
    mEditor.raiseLayoutUpdate();
    return true;
  }

  // Off at once unless the editor turns it off where the sound is a blend worth keeping.
  bool atOnce = !fromEditor;
  if (!atOnce && mEngine.editState().focus < 0 && !mMovedSinceOn)
  {
    atOnce = !resolveBlendShapeView(kShapeTolerance).userBlend &&
             !resolvePreFltBlendShapeView(mTable.preFltA, kShapeTolerance, nullptr).userBlend &&
             !resolvePreFltBlendShapeView(mTable.preFltB, kShapeTolerance, nullptr).userBlend;
  }
  if (atOnce)
    mMorphOn = false;
  else
    mTurnOffPending = true;
  publish();
  mEditor.raiseLayoutUpdate();
  return true;
}

void MorphController::applyMorphModeParams(double on, double x, double y)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const ParamEdits::Scope change(mParams.paramEdits(), plugkit::EParamSource::kPresetRecall);
  mParams.param(mTable.morphActive).Set(on);
  mParams.param(mTable.morphX).Set(x);
  mParams.param(mTable.morphY).Set(y);
  mMorphOn = on > 0.5;
  mMorphX = morphXParam();
  mMorphY = morphYParam();
  publish();
  mEditor.raiseLayoutUpdate();
  pushParamsIfEditorOpen();
}

void MorphController::reconcileSession()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mMorphOn)
  {
    publish();
    if (!mSession.active())
      mSession.adopt();
    return;
  }
  if (!mSession.active() || mTurnOffPending)
    return;

  if (mSession.revertsOnClose())
  {
    revertBaseToPreMorph();
    mSession.closeReverted();
  }
  else
    mSession.closeDiscarded();
  clearSelectionAndFocus();
}

plugkit::IByteChunk MorphController::snapshotPatchMorphOff()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::IParam& active = mParams.param(mTable.morphActive);
  const double was = active.Value();
  active.Set(0.0);
  plugkit::IByteChunk chunk;
  mStates.serializePluginState(chunk);
  active.Set(was);
  return chunk;
}

void MorphController::captureTeleportFromBase()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mHistory.hasPresetManager())
    mPointIdentity[0] = mHistory.currentIdentity();
  MorphPoint p = mEngine.editState().points[0];
  for (size_t r = 0; r < kNumMorphParams; ++r)
    p.values[r] = currentNormalized(mTable.rows[r].param);
  p.noteMask = noteMaskFromSwitches();
  p.x = morphXParam();
  p.y = morphYParam();
  p.active = true;
  mEngine.edit({.point = 0, .whole = &p});
}

void MorphController::bakeMorphIntoBase()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const FlagScope applying(mApplyingPoint);
  if (mEngine.editState().focus >= 0)
  {
    pushParamsIfEditorOpen();
    return;
  }

  const MorphValues resolved = mEngine.resolvedAt(morphXParam(), morphYParam());
  for (size_t r = 0; r < kNumMorphParams; ++r)
    mParams.editParamFromEditor(mTable.rows[r].param, resolved[r]);

  const MainPTShapeView main = resolveBlendShapeView(kShapeTolerance);
  editPlain(mTable.mainUbOn, main.userBlend ? 1.0 : 0.0);
  if (main.userBlend)
  {
    for (size_t k = 0; k < mTable.mainUbCoeffs.size(); ++k)
      editPlain(mTable.mainUbCoeffs[k], main.coeffs[k]);
    editPlain(mTable.mainUbFb, main.fb);
  }
  else
  {
    editPlain(mTable.mainPassType, main.passType);
    editPlain(mTable.mainDepth, main.depth);
    editPlain(mTable.mainTilt, main.tilt);
  }

  for (const PreFltShapeIds& ids : {mTable.preFltA, mTable.preFltB})
  {
    const PreFltShapeView view = resolvePreFltBlendShapeView(ids, kShapeTolerance, nullptr);
    editPlain(ids.on, view.userBlend ? 1.0 : 0.0);
    if (view.userBlend)
    {
      editPlain(ids.lp, view.coeffs[0]);
      editPlain(ids.hp, view.coeffs[1]);
      editPlain(ids.bp, view.coeffs[2]);
    }
  }

  for (const NoteAnchor& a : mTable.noteAnchors)
    editPlain(a.switchParam, morphFreqNoteAnchored(mTable.rows[static_cast<size_t>(a.row)].param) ? 1.0 : 0.0);
  pushParamsIfEditorOpen();
}

void MorphController::commitTurningOffIfPending()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mTurnOffPending.exchange(false))
    return;
  const PatchIdentity identity = bakedPointIdentity();
  const ParamEdits::Scope change(mParams.paramEdits(), plugkit::EParamSource::kPresetRecall);
  bakeMorphIntoBase();
  mMorphOn = false;
  clearSelectionAndFocus();
  // Closed with or without a manager, so that no later revert undoes the bake.
  if (mSession.active())
    mSession.closeBaked(identity);
}

void MorphController::revertBaseToPreMorph()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mSession.record().preMorphValid)
    return;
  const ParamEdits::Scope change(mParams.paramEdits(), plugkit::EParamSource::kPresetRecall);
  plugkit::IByteChunk morphState;
  plugkit::IByteChunk editorState;
  serializeMorphState(morphState);
  const bool hasEditorState = mStates.serializeEditorState(editorState);
  mStates.unserializePluginState(mSession.record().preMorphChunk, 0);
  unserializeMorphState(morphState, 0);
  if (hasEditorState)
    mStates.unserializeEditorState(editorState, 0);
  pushParamsIfEditorOpen();
}

PatchIdentity MorphController::bakedPointIdentity() const
{
  const Weights w = soundWeights();
  const size_t dominant = dominantIndex(w);
  if (!(w[dominant] > kBakeWeight))
    return {};
  PatchIdentity identity = mPointIdentity[dominant];
  if (w[dominant] < 1.0)
    identity.modified = true;
  return identity;
}

std::optional<PatchIdentity> MorphController::stripPresetIdentity() const
{
  if (!mMorphOn)
    return std::nullopt;
  const int32_t focus = mEngine.editState().focus;
  if (focus >= 0 && focus < static_cast<int32_t>(kNumPoints))
    return mPointIdentity[static_cast<size_t>(focus)];
  return bakedPointIdentity();
}

} // namespace zarvo::morph
