// The CC mediator: joins the controller map to the plug-in's parameters, modulation slots, the host
// and the learnable controls, and carries out the controller map's editor messages.
#pragma once

#include <array>
#include <atomic>
#include <optional>
#include <utility>

#include "IGfx/IColor.h"
#include "IPlugin/IMidiMsg.h"
#include "IPlugin/IPluginQueue.h"
#include "IPlugin/IPluginThreadRole.h"
#include "utils/midi_cc/cc_map_host.h"
#include "utils/midi_cc/control_decorator.h"
#include "utils/midi_cc/mapper.h"

namespace zarvo::midi_cc {

class CCMediator
{
public:
  // Parameters from this index on are never driven by the map.
  static constexpr int kMaxParams = 256;

  // Main thread. The host need not be complete yet; it must outlive the mediator.
  explicit CCMediator(ICCMapHost& host);
  CCMediator(const CCMediator&) = delete;
  CCMediator& operator=(const CCMediator&) = delete;

  // Main thread, while the editor is built: a new control of class T (made with args) that is
  // learnable. The caller attaches it to the graphics context, which owns it from then on.
  template <class T, class... Args>
  T* createLearnable(Args&&... args) const
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    auto* control = new ControlDecorator<T>(std::forward<Args>(args)...);
    const int paramIdx = control->mParamIdx;
    if (const int slot = modSlotOfKnown(paramIdx); slot >= 0)
    {
      control->mModulatable = true;
      control->mDepthEditable = true;
      if (mArcColorOverride)
        control->mModArcColor = *mArcColorOverride;
      control->mShowPitchDepth = mHost.isFrequencyModSlot(slot);
    }
    control->mOnDisabledInteraction = [&host = mHost](int idx) { host.onDisabledControlInteraction(idx); };
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
      if (!modulateOrDrop(r, controllerValue) && allowAbsolute(r.paramId))
        applyAbsolute(r, msg.mOffset);
    });
  }

  // Audio thread.
  void ProcessMidiCC(const plugkit::IMidiMsg& msg);

  // Main thread. Handles 7777..7782 and 7788; declines every other tag and a payload too short to
  // hold the parameter index.
  bool OnMessage(int msgTag, int dataSize, const void* pData);

  // Main thread, from the idle timer: reports the absolute changes the map made since the last
  // tick to the host and the controls, takes over completed learns, and refreshes the controls when
  // the map changed. Returns whether it changed.
  bool OnIdle();

  // Main thread. Pushes CC numbers, ranges and the learn state into the learnable controls.
  void refreshUI();

private:
  struct PendingEdit
  {
    std::atomic<double> value{0.0};
    std::atomic<bool> pending{false};
  };

  plugkit::IParam* paramAt(int paramIdx) const;
  double normalizedValueOf(int paramIdx) const;
  // The modulation slot of an existing parameter the map may drive, else -1.
  int modSlotOfKnown(int paramIdx) const;

  // Audio thread. A change the map resolved: true when it is done with, because its parameter does
  // not exist or it went to the parameter's modulation slot; else it is an absolute change.
  bool modulateOrDrop(const Mapper::ResolvedParam& r, double controllerValue);
  // Audio thread. Sets the parameter and leaves the host's and the controls' news to the idle tick.
  void applyAbsolute(const Mapper::ResolvedParam& r, int sampleOffset);

  ICCMapHost& mHost;
  Mapper mMapper;
  std::array<PendingEdit, kMaxParams> mPendingEdits;
  plugkit::IPluginQueue<int, kMaxParams> mHostEdits; // audio to main, in the order of the changes
};

} // namespace zarvo::midi_cc
