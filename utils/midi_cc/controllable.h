// The interface through which the controller map and the modulation state reach learnable controls.
#pragma once

namespace zarvo::midi_cc {

// Implemented by learnable controls only; callers holding a control reach it with a dynamic cast and
// skip controls that fail it. Every setter may be called with an unchanged value. Main thread.
class IControllable
{
public:
  virtual ~IControllable() = default;

  // The control's parameter is mapped to controller cc (0..127).
  virtual void setCCNumber(int cc) = 0;
  // Not mapped: the range shown returns to the full range and the mode shown to Absolute.
  virtual void clearCCNumber() = 0;
  // The mapped range, normalised; min may exceed max.
  virtual void setParamMinMax(double min, double max) = 0;
  // Normalised and signed.
  virtual void setModDepth(double depth) = 0;
  virtual void setModBipolar(bool bipolar) = 0;
  // Normalised; NaN shows none.
  virtual void setModLiveValue(double value) = 0;
  // 0 Absolute, 1 Modulate.
  virtual void setModeDisplay(int mode) = 0;
  virtual void setModeLocked(bool locked) = 0;
  // A depth gesture is in progress on the control.
  virtual bool isAuthoringDepth() const = 0;
  // A learn for this control's parameter is pending.
  virtual void setLearning(bool learning) = 0;
  // Shifts the presence dot, in dot diameters.
  virtual void setPresenceDotOffset(float dx, float dy) = 0;
};

} // namespace zarvo::midi_cc
