// The frame time or frame rate over the last 100 frames, as a graph and a readout.
#pragma once

#include <array>

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/ISpecialControls.h"

namespace plugkit::gfx {

// Main thread only.
class IFPSDisplayControl : public IFPSDisplayControlBase, public IVectorBase
{
public:
  enum EStyle
  {
    kFPS = 0,
    kFrameTime = 1,
    kPercentage = 2
  };

  static constexpr int kNumSamples = 100;

  IFPSDisplayControl(const IRECT& bounds, EStyle style = kFPS, const char* label = "Frame Time");

  void Update(float timeDiff) override;
  // Redrawn every frame.
  bool IsDirty() override { return true; }
  // Cycles through the styles.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void Draw(IGfx& g) override;

  EStyle GetStyle() const { return mStyle; }
  // Mean of the last 100 samples, in seconds.
  float GetAverage() const;

private:
  EStyle mStyle;
  TextString mLabel;
  std::array<float, kNumSamples> mSamples{};
  int mReadPos = 0;
  float mMax = 1.f;
  IText mLabelText{14.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular", EAlign::Near, EVAlign::Top};
  IText mMainText{18.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular", EAlign::Far, EVAlign::Top};
  IText mSecondaryText{15.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular", EAlign::Far, EVAlign::Bottom};
};

} // namespace plugkit::gfx
