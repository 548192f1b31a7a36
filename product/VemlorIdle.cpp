// The idle function and the editor messages of the controller map and its modulation settings.
#include "product/Vemlor.h"

#include <cstring>

#include "IPlugin/IPluginThreadRole.h"
#include "product/params/params.h"

namespace {

// The parameter index a message starts with and, for a depth, the depth after it; false when the
// payload is too short for them.
bool readPayload(int msgTag, int dataSize, const void* pData, int32_t& param, float& depth)
{
  const int needed = msgTag == zarvo::midi_cc::kMsgTagDepth ? 8 : 4;
  if (!pData || dataSize < needed)
    return false;
  std::memcpy(&param, pData, sizeof param);
  if (msgTag == zarvo::midi_cc::kMsgTagDepth)
    std::memcpy(&depth, static_cast<const char*>(pData) + sizeof param, sizeof depth);
  return true;
}

} // namespace

void Vemlor::OnIdle()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  replayDeferredWork();

  if (mLayoutUpdate.exchange(false, std::memory_order_acq_rel))
    tryUpdateLayout();
  // Preferences the editor changed: the scale once a corner drag has ended, the morph field's look.
  persistUIScalePrefIfSettled();
  persistMorphFieldPrefsIfChanged();
  // News from the audio thread, and what a reset or a reopened editor left to show.
  if (mHostInfoRefresh.exchange(false, std::memory_order_acq_rel) || mHostInfo.flags() != 0 ||
      mHostInfoView.pendingChanges() != 0)
    updateHostInfoView();

  // Changes that arrive only through process (automation, controllers, the morph field) are reported here.
  reportLatencyAndTail();

  if (mUngesturedEditPending && !mUIGestureActive && nowMs() - mUngesturedEditTimeMs >= kUngesturedCommitMs)
  {
    mUngesturedEditPending = false;
    if (mPresetManager)
      mPresetManager->commitDirtyEdit();
  }

  mMorph->reconcileSession();

  const int learning = mMorph->xyLearnPending();
  if ((learning == 1 && hasController(zarvo::par_morph_x)) || (learning == 2 && hasController(zarvo::par_morph_y)))
  {
    mMorph->setXYLearnPending(0);
    mMorphEditor.markControlsDirty();
  }

  mMorph->syncControls();
  if (mMediator.OnIdle())
    readCutoffControllerNumbers();
  mCCMod.rederiveHeld();
  refreshModDepths();
  refreshEditorDisplays();
  // Last: the help bubble follows whatever this tick changed under the mouse.
  updateHelpTooltip();
}

bool Vemlor::OnMessage(int msgTag, int ctrlTag, int dataSize, const void* pData)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  (void)ctrlTag;
  if (msgTag < zarvo::midi_cc::kMsgTagListen || msgTag > zarvo::midi_cc::kMsgTagCancelLearn)
    return false;
  int32_t param = -1;
  float depth = 0.0f;
  const bool complete = readPayload(msgTag, dataSize, pData, param, depth);
  const bool knownParam = param >= 0 && param < zarvo::kNumParams;

  switch (msgTag)
  {
  case zarvo::midi_cc::kMsgTagAbsolute:
  case zarvo::midi_cc::kMsgTagModulate:
    if (!complete)
      return true;
    if (knownParam && msgTag == zarvo::midi_cc::kMsgTagAbsolute)
      mCCMod.rederiveMode(param);
    else if (knownParam)
    {
      mCCMod.setMode(param, 1);
      mCCMod.setHeld(param, false);
    }
    readCutoffControllerNumbers();
    return true;
  case zarvo::midi_cc::kMsgTagDepth:
    if (complete)
      mCCMod.setCCModDepth(param, static_cast<double>(depth));
    return true;
  case zarvo::midi_cc::kMsgTagInvertDepth:
    if (complete)
      mCCMod.invertCCDepth(param);
    return true;
  case zarvo::midi_cc::kMsgTagBipolar:
    if (complete)
      mCCMod.toggleCCBipolar(param);
    return true;
  default: break;
  }

  if (!complete)
    return false;
  const bool mapChange = msgTag == zarvo::midi_cc::kMsgTagLearn || msgTag == zarvo::midi_cc::kMsgTagClear;
  if (mapChange && mPresetManager)
    mPresetManager->recordCCUndoStep();
  const bool handled = mMediator.OnMessage(msgTag, dataSize, pData);
  if (mapChange && knownParam)
  {
    mCCMod.rederiveMode(param);
    if (msgTag == zarvo::midi_cc::kMsgTagClear)
      mCCMod.resetCCModSettings(param);
  }
  if (!handled)
    return false;
  readCutoffControllerNumbers();
  return true;
}

void Vemlor::clearAllCCMap()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mPresetManager)
    mPresetManager->recordCCUndoStep();
  mMediator.mapper().clearAllMappings();
  mMediator.refreshUI();
  for (const zarvo::mod::ModParam& slot : zarvo::mod::kModParams)
    mCCMod.resetCCModSettings(slot.param);
  readCutoffControllerNumbers();
  raiseLayoutUpdate();
}
