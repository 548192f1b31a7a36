#include "IGfx/Controls/IFPSDisplayControl.h"

#include <algorithm>
#include <numeric>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IFPSDisplayControl::IFPSDisplayControl(const IRECT& bounds, EStyle style, const char* label)
  : IFPSDisplayControlBase(bounds)
  , IVectorBase(DEFAULT_STYLE)
  , mStyle(style)
  , mLabel(label ? label : "")
{
  AttachIControl(this, mLabel.Get());
  SetColor(EVColor::FG, COLOR_WHITE);
  mText = IText(14.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular", EAlign::Center, EVAlign::Bottom);
  SetDirty(false);
}

void IFPSDisplayControl::Update(float timeDiff)
{
  mReadPos = (mReadPos + 1) % kNumSamples;
  mSamples[static_cast<size_t>(mReadPos)] = timeDiff;
}

float IFPSDisplayControl::GetAverage() const
{
  return std::accumulate(mSamples.begin(), mSamples.end(), 0.f) / static_cast<float>(kNumSamples);
}

void IFPSDisplayControl::OnMouseDown(float, float, const IMouseMod&) { mStyle = static_cast<EStyle>((mStyle + 1) % 3); }

void IFPSDisplayControl::Draw(IGfx& g)
{
  const float average = GetAverage();
  g.FillRect(GetColor(EVColor::BG), mRECT, &mBlend);
  g.DrawRect(COLOR_BLACK, mRECT, &mBlend, 1.f);

  // Oldest sample on the left. The top of the graph is twice the longest frame shown, never more than
  // the maximum: against a whole second, frames of a few milliseconds would draw a flat line, and the
  // upper half stays clear for the readouts.
  const float longest = *std::max_element(mSamples.begin(), mSamples.end());
  const float top = longest > 0.f ? std::min(2.f * longest, mMax) : mMax;
  std::array<float, kNumSamples> heights{};
  for (int i = 0; i < kNumSamples; ++i)
  {
    const float v = mSamples[static_cast<size_t>((mReadPos + 1 + i) % kNumSamples)];
    heights[static_cast<size_t>(i)] = std::clamp(v, 0.f, top) / top;
  }
  g.DrawData(GetColor(EVColor::FG), mRECT, heights.data(), kNumSamples, nullptr, &mBlend, 1.f);

  const IRECT inner = mRECT.GetPadded(-2.f);
  g.DrawText(mLabelText, mLabel.Get(), inner, &mBlend);
  TextString main;
  TextString secondary;
  switch (mStyle)
  {
  case kFPS:
    // No rate before the first frame has been timed.
    main.SetFormatted(32, "%.2f FPS", average > 0.f ? 1.f / average : 0.f);
    secondary.SetFormatted(32, "%.2f ms", average * 1000.f);
    break;
  case kFrameTime: main.SetFormatted(32, "%.2f ms", average * 1000.f); break;
  case kPercentage: main.SetFormatted(32, "%.1f %%", average); break;
  }
  g.DrawText(mMainText, main.Get(), inner, &mBlend);
  g.DrawText(mSecondaryText, secondary.Get(), inner, &mBlend);
}

//------------------------------------------------------------------------------------------------
// The context's making form

void IGfx::ShowFPSDisplay(bool enable)
{
  if (!enable)
  {
    if (mPerfDisplay)
    {
      ForgetControl(mPerfDisplay);
      ReleaseControl(std::exchange(mPerfDisplay, nullptr));
    }
    mMouseOver = nullptr;
    mMouseOverIdx = -1;
  }
  else if (!mPerfDisplay)
  {
    if (mPerfDisplayBounds.Empty())
      mPerfDisplayBounds = IRECT(10.f, 10.f, 210.f, 60.f);
    AttachFPSDisplay(new IFPSDisplayControl(mPerfDisplayBounds, IFPSDisplayControl::kFPS, "Frame Time"));
  }
  SetAllControlsDirty();
}

} // namespace plugkit::gfx
