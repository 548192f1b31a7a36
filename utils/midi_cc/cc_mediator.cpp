#include "utils/midi_cc/cc_mediator.h"

#include <cstdint>
#include <cstring>

#include "IPlugin/IPluginParameter.h"
#include "utils/midi_cc/cc_messages.h"

namespace zarvo::midi_cc {

CCMediator::CCMediator(ICCMapHost& host)
  : mHost(host)
{}

void CCMediator::ProcessMidiCC(const plugkit::IMidiMsg& msg)
{
  ProcessMidiCC(msg, [](int) { return true; });
}

bool CCMediator::OnMessage(int msgTag, int dataSize, const void* pData)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (msgTag < kMsgTagListen || msgTag > kMsgTagCancelLearn || !pData || dataSize < 4)
    return false;
  int32_t paramIdx = 0;
  std::memcpy(&paramIdx, pData, sizeof paramIdx);

  switch (msgTag)
  {
  case kMsgTagListen: mMapper.setListeningParam(paramIdx); return true;
  case kMsgTagLearn:
    // A learn must never complete onto a parameter that does not exist.
    if (!paramAt(paramIdx))
      return false;
    mMapper.setLearningForParam(paramIdx, false);
    refreshUI();
    return true;
  case kMsgTagClear: mMapper.clearMappingForParam(paramIdx); return true;
  case kMsgTagInvertRange: mMapper.invertRangeForListeningParam(); return true;
  case kMsgTagSetMin: mMapper.setMinForListeningParam(normalizedValueOf(paramIdx)); return true;
  case kMsgTagSetMax: mMapper.setMaxForListeningParam(normalizedValueOf(paramIdx)); return true;
  case kMsgTagCancelLearn:
    mMapper.cancelLearning();
    refreshUI();
    return true;
  default: return false;
  }
}

bool CCMediator::OnIdle()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  int paramIdx = 0;
  while (mHostEdits.Pop(paramIdx))
  {
    PendingEdit& edit = mPendingEdits[paramIdx];
    edit.pending.exchange(false, std::memory_order_acq_rel);
    const double normalized = edit.value.load(std::memory_order_relaxed);
    mHost.beginHostEdit(paramIdx);
    mHost.informHostOfEdit(paramIdx, normalized);
    mHost.sendValueToControls(paramIdx, normalized);
    mHost.endHostEdit(paramIdx);
  }
  mMapper.collectRetired();
  if (!mMapper.consumeChanged())
    return false;
  refreshUI();
  return true;
}

void CCMediator::refreshUI()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mHost.isEditorOpen())
    return;
  mHost.forEachControllable([](IControllable& c, int) { c.clearCCNumber(); });
  for (const auto& [cc, list] : mMapper.mappings())
  {
    for (const ParamCCMapping& m : list)
    {
      if (IControllable* c = mHost.firstControllableForParam(m.paramId))
      {
        c->setCCNumber(cc);
        c->setParamMinMax(m.min, m.max);
      }
    }
  }
  const int listening = mMapper.isLearning() ? mMapper.listeningParam() : -1;
  mHost.forEachControllable(
    [listening](IControllable& c, int paramIdx) { c.setLearning(listening != -1 && paramIdx == listening); });
  mHost.redrawMorphPad();
}

plugkit::IParam* CCMediator::paramAt(int paramIdx) const
{
  return paramIdx >= 0 && paramIdx < kMaxParams ? mHost.param(paramIdx) : nullptr;
}

double CCMediator::normalizedValueOf(int paramIdx) const
{
  const plugkit::IParam* param = paramAt(paramIdx);
  return param ? param->GetNormalized() : 0.0;
}

int CCMediator::modSlotOfKnown(int paramIdx) const { return paramAt(paramIdx) ? mHost.modSlotOf(paramIdx) : -1; }

bool CCMediator::modulateOrDrop(const Mapper::ResolvedParam& r, double controllerValue)
{
  if (!paramAt(r.paramId))
    return true; // a map read from a file or chunk may name a parameter that does not exist
  if (mHost.ccModeOf(r.paramId) != 1)
    return false;
  // Modulation takes the raw controller value; the mapping's range does not apply.
  const int slot = mHost.modSlotOf(r.paramId);
  if (slot < 0)
    return false;
  mHost.setModLiveValue(slot, controllerValue);
  return true;
}

void CCMediator::applyAbsolute(const Mapper::ResolvedParam& r, int sampleOffset)
{
  paramAt(r.paramId)->SetNormalized(r.value);
  mHost.onControllerParamChange(r.paramId, sampleOffset);
  // The host and the controls hear of it from the idle tick: their calls belong to the main thread.
  PendingEdit& edit = mPendingEdits[r.paramId];
  edit.value.store(r.value, std::memory_order_relaxed);
  if (!edit.pending.exchange(true, std::memory_order_acq_rel))
    mHostEdits.Push(r.paramId); // a parameter waits at most once, so the queue never overflows
}

} // namespace zarvo::midi_cc
