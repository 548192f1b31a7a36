// The CC mediator: joins the controller map to the plug-in's parameters, modulation slots, the host
// and the learnable controls, and carries out the controller map's editor messages.
#pragma once

#include <array>
#include <atomic>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "IPlugin/IMidiMsg.h"
#include "IPlugin/IPluginParameter.h"
#include "IPlugin/IPluginQueue.h"
#include "IGfx/IColor.h"
#include "IPlugin/IPluginThreadRole.h"
#include "utils/midi_cc/cc_messages.h"
#include "utils/midi_cc/control_decorator.h"
#include "utils/midi_cc/controllable.h"
#include "utils/midi_cc/mapper.h"

namespace zarvo::midi_cc {

// What the mediator needs of its plug-in.
template <class P>
concept MediatorPlugin = requires(P& p, const P& cp, int idx, double v, IControllable& c)
{
  // Any thread: the parameter at idx, or null when there is none.
  {
    p.GetParam(idx)
    } -> std::convertible_to<plugkit::IParam*>;
  // Audio thread: CC mode of a parameter (0 Absolute, 1 Modulate), its modulation slot (-1 none),
  // storing a slot's live controller value, and the plug-in's reaction to a value the map set
  // (the parameter-change handler with the delegate source, at the message's sample offset).
  {
    cp.ccModeOf(idx)
    } -> std::convertible_to<int>;
  {
    cp.modSlotOf(idx)
    } -> std::convertible_to<int>;
  p.setModLiveValue(idx, v);
  p.onControllerParamChange(idx, idx);
  // Main thread: one host edit gesture, and the editor's controls bound to a parameter.
  p.BeginInformHostOfParamChange(idx);
  p.InformHostOfParamChange(idx, v);
  p.EndInformHostOfParamChange(idx);
  p.SendParameterValueFromDelegate(idx, v, true);
  // Main thread: the open editor's learnable controls, in control order, with their parameter.
  {
    cp.isEditorOpen()
    } -> std::convertible_to<bool>;
  p.forEachControllable([](IControllable&, int) {});
  // The first control bound to the parameter when it is learnable, else null.
  {
    p.firstControllableForParam(idx)
    } -> std::convertible_to<IControllable*>;
  p.redrawMorphPad();
};

// What making learnable controls needs of the plug-in besides the mediator's own needs.
template <class P>
concept LearnablePlugin = requires(P& p, int idx)
{
  // The parameter's modulation slot (-1 none) and whether that slot modulates a frequency in octaves.
  {
    p.modSlotOf(idx)
    } -> std::convertible_to<int>;
  {
    p.isFrequencyModSlot(idx)
    } -> std::convertible_to<bool>;
  // Main thread: the user pressed a disabled control of the parameter.
  p.onDisabledControlInteraction(idx);
};

template <class Plugin>
class CCMediator
{
public:
  // Parameters from this index on are never driven by the map.
  static constexpr int kMaxParams = 256;

  // Main thread. The plug-in may still be incomplete where it declares its mediator member.
  explicit CCMediator(Plugin& plugin)
    : mPlugin(plugin)
  {
    static_assert(MediatorPlugin<Plugin>);
  }
  CCMediator(const CCMediator&) = delete;
  CCMediator& operator=(const CCMediator&) = delete;

  // Main thread, while the editor is built: a new control of class T (made with args) that is
  // learnable. The caller attaches it to the graphics context, which owns it from then on.
  template <class T, class... Args>
  T* createLearnable(Args&&... args) const requires LearnablePlugin<Plugin>
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    auto* control = new ControlDecorator<T>(std::forward<Args>(args)...);
    const int paramIdx = control->mParamIdx;
    const bool known = paramIdx >= 0 && paramIdx < kMaxParams && mPlugin.GetParam(paramIdx);
    if (const int slot = known ? mPlugin.modSlotOf(paramIdx) : -1; slot >= 0)
    {
      control->mModulatable = true;
      control->mDepthEditable = true;
      if (mArcColorOverride)
        control->mModArcColor = *mArcColorOverride;
      control->mShowPitchDepth = mPlugin.isFrequencyModSlot(slot);
    }
    control->mOnDisabledInteraction = [&plugin = mPlugin](int idx) { plugin.onDisabledControlInteraction(idx); };
    control->SetMouseEventsWhenDisabled(true);
    control->mShowPresenceDot = true;
    if (mDotColorOverride)
      control->mDotColors.pressed = *mDotColorOverride;
    return control;
  }

  // Set by the editor before it builds controls: the pressed presence dot's colour, and the
  // modulation arc's colour of modulatable controls.
  std::optional<plugkit::gfx::IColor> mDotColorOverride;
  std::optional<plugkit::gfx::IColor> mArcColorOverride;

  Mapper& mapper() { return mMapper; }
  const Mapper& mapper() const { return mMapper; }

  // Audio thread, once per controller message at its place in the block. allowAbsolute(paramIdx)
  // may refuse an absolute change; modulation still reaches the parameter's slot.
  template <class AllowAbsolute>
  void ProcessMidiCC(const plugkit::IMidiMsg& msg, AllowAbsolute&& allowAbsolute)
  {
    PLUGKIT_ASSERT_AUDIO_THREAD();
    if ((msg.mStatus >> 4) != 0xB)
      return;
    const double controllerValue = (msg.mData2 & 0x7F) / 127.0;
    const int cc = msg.mData1 & 0x7F;
    const int channel = (msg.mStatus & 0x0F) + 1;
    mMapper.processMidiCC(cc, controllerValue, channel, [&](const Mapper::ResolvedParam& r) {
      apply(r, controllerValue, msg.mOffset, allowAbsolute);
    });
  }

  // Audio thread.
  void ProcessMidiCC(const plugkit::IMidiMsg& msg)
  {
    ProcessMidiCC(msg, [](int) { return true; });
  }

  // Main thread. Handles 7777..7782 and 7788; declines every other tag and a payload too short to
  // hold the parameter index.
  bool OnMessage(int msgTag, int dataSize, const void* pData)
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

  // Main thread, from the idle timer: reports the absolute changes the map made since the last
  // tick to the host and the controls, takes over completed learns, and refreshes the controls when
  // the map changed. Returns whether it changed.
  bool OnIdle()
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    int paramIdx = 0;
    while (mHostEdits.Pop(paramIdx))
    {
      PendingEdit& edit = mPendingEdits[paramIdx];
      edit.pending.exchange(false, std::memory_order_acq_rel);
      const double normalized = edit.value.load(std::memory_order_relaxed);
      mPlugin.BeginInformHostOfParamChange(paramIdx);
      mPlugin.InformHostOfParamChange(paramIdx, normalized);
      mPlugin.SendParameterValueFromDelegate(paramIdx, normalized, true);
      mPlugin.EndInformHostOfParamChange(paramIdx);
    }
    mMapper.collectRetired();
    if (!mMapper.consumeChanged())
      return false;
    refreshUI();
    return true;
  }

  // Main thread. Pushes CC numbers, ranges and the learn state into the learnable controls.
  void refreshUI()
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    if (!mPlugin.isEditorOpen())
      return;
    mPlugin.forEachControllable([](IControllable& c, int) { c.clearCCNumber(); });
    for (const auto& [cc, list] : mMapper.mappings())
    {
      for (const ParamCCMapping& m : list)
      {
        if (IControllable* c = mPlugin.firstControllableForParam(m.paramId))
        {
          c->setCCNumber(cc);
          c->setParamMinMax(m.min, m.max);
        }
      }
    }
    const int listening = mMapper.isLearning() ? mMapper.listeningParam() : -1;
    mPlugin.forEachControllable(
      [listening](IControllable& c, int paramIdx) { c.setLearning(listening != -1 && paramIdx == listening); });
    mPlugin.redrawMorphPad();
  }

private:
  struct PendingEdit
  {
    std::atomic<double> value{0.0};
    std::atomic<bool> pending{false};
  };

  plugkit::IParam* paramAt(int paramIdx)
  {
    return paramIdx >= 0 && paramIdx < kMaxParams ? mPlugin.GetParam(paramIdx) : nullptr;
  }

  double normalizedValueOf(int paramIdx)
  {
    const plugkit::IParam* param = paramAt(paramIdx);
    return param ? param->GetNormalized() : 0.0;
  }

  // Audio thread.
  template <class AllowAbsolute>
  void apply(const Mapper::ResolvedParam& r, double controllerValue, int sampleOffset, AllowAbsolute& allowAbsolute)
  {
    plugkit::IParam* param = paramAt(r.paramId);
    if (!param)
      return; // a map read from a file or chunk may name a parameter that does not exist
    if (mPlugin.ccModeOf(r.paramId) == 1)
    {
      // Modulation takes the raw controller value; the mapping's range does not apply.
      if (const int slot = mPlugin.modSlotOf(r.paramId); slot >= 0)
      {
        mPlugin.setModLiveValue(slot, controllerValue);
        return;
      }
    }
    if (!allowAbsolute(r.paramId))
      return;
    param->SetNormalized(r.value);
    mPlugin.onControllerParamChange(r.paramId, sampleOffset);
    // The host and the controls hear of it from the idle tick: their calls belong to the main thread.
    PendingEdit& edit = mPendingEdits[r.paramId];
    edit.value.store(r.value, std::memory_order_relaxed);
    if (!edit.pending.exchange(true, std::memory_order_acq_rel))
      mHostEdits.Push(r.paramId); // a parameter waits at most once, so the queue never overflows
  }

  Plugin& mPlugin;
  Mapper mMapper;
  std::array<PendingEdit, kMaxParams> mPendingEdits;
  plugkit::IPluginQueue<int, kMaxParams> mHostEdits; // audio to main, in the order of the changes
};

} // namespace zarvo::midi_cc
