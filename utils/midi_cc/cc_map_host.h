// What the CC mediator and the learnable controls it makes reach of their plug-in.
#pragma once

#include <functional>

#include "utils/midi_cc/controllable.h"

namespace plugkit {
class IParam;
namespace gfx {
class IGfx;
} // namespace gfx
} // namespace plugkit

namespace zarvo::midi_cc {

class ICCMapHost
{
public:
  using ControllableFunc = std::function<void(IControllable&, int)>;

  virtual ~ICCMapHost() = default;

  // Any thread: the parameter at index, or null when there is none.
  virtual plugkit::IParam* param(int index) = 0;

  // Audio thread: a parameter's controller mode (0 Absolute, 1 Modulate) and modulation slot (-1
  // none), storing a slot's live controller value, and the plug-in's reaction to a value the map set
  // (the parameter-change handler with the delegate source, at the message's sample offset).
  virtual int ccModeOf(int param) const = 0;
  virtual int modSlotOf(int param) const = 0;
  virtual void setModLiveValue(int slot, double value) = 0;
  virtual void onControllerParamChange(int param, int sampleOffset) = 0;

  // Main thread: one host edit gesture, and the editor's controls bound to the parameter.
  virtual void beginHostEdit(int param) = 0;
  virtual void informHostOfEdit(int param, double normalized) = 0;
  virtual void endHostEdit(int param) = 0;
  virtual void sendValueToControls(int param, double normalized) = 0;

  // Main thread: the open editor's learnable controls, in control order, with their parameter; the
  // first control bound to the parameter when it is learnable, else null; the morph pad, which shows
  // the map too, drawn again.
  virtual bool isEditorOpen() const = 0;
  virtual void forEachControllable(const ControllableFunc& fn) = 0;
  virtual IControllable* firstControllableForParam(int param) = 0;
  virtual void redrawMorphPad() = 0;

  // Making learnable controls. Any thread: the slot modulates a frequency, in octaves. Main thread:
  // the user pressed a disabled control of the parameter.
  virtual bool isFrequencyModSlot(int slot) const = 0;
  virtual void onDisabledControlInteraction(int param) = 0;
};

// A host whose editor is a graphics context: its learnable controls are the context's controls that
// are learnable. Main thread.
class GfxCCMapHost : public ICCMapHost
{
public:
  bool isEditorOpen() const override { return editorUI() != nullptr; }
  void forEachControllable(const ControllableFunc& fn) override;
  IControllable* firstControllableForParam(int param) override;

protected:
  // The open editor's graphics context, or null.
  virtual plugkit::gfx::IGfx* editorUI() const = 0;
};

} // namespace zarvo::midi_cc
