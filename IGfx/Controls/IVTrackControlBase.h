// The base of multi-value track controls: one straight track per value, side
// by side, with optional step cells, track names, a baseline the bars grow
// from and a peak strip at each bar's value end.
#pragma once

#include <string>
#include <vector>

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControl.h"

namespace plugkit::gfx {

class IVTrackControlBase : public IControl, public IVectorBase
{
public:
  IVTrackControlBase(const IRECT& bounds, const char* label, const IVStyle& style, const std::vector<int>& params,
                     int nSteps = 0, EDirection dir = EDirection::Vertical,
                     const std::vector<const char*>& trackNames = {});

  void DrawWidget(IGfx& g) override;
  void DrawBackground(IGfx& g, const IRECT& r) override;
  virtual void DrawTrack(IGfx& g, const IRECT& r, int chIdx);
  virtual void DrawTrackBackground(IGfx& g, const IRECT& r, int chIdx);
  virtual void DrawTrackName(IGfx& g, const IRECT& r, int chIdx);
  virtual void DrawTrackHandle(IGfx& g, const IRECT& r, int chIdx, bool aboveBaseline);
  virtual void DrawPeak(IGfx& g, const IRECT& r, int chIdx, bool aboveBaseline);
  virtual void MakeTrackRects(const IRECT& bounds);
  virtual void MakeStepRects(const IRECT& bounds, int nSteps);

  void Draw(IGfx& g) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnResize() override;
  int GetValIdxForPos(float x, float y) const override;

  const std::vector<IRECT>& GetTrackRects() const { return mTrackBounds; }
  const std::vector<IRECT>& GetStepRects() const { return mStepBounds; }
  int GetMouseOverTrack() const { return mMouseOverTrack; }
  void SetTrackGap(float gap) { mTrackPadding = gap; }
  void SetPeakSize(float size) { mPeakSize = size; }
  void SetBaseValue(double value) { mBaseValue = value; }
  void SetHighlightedTrack(int idx) { mHighlightedTrack = idx; }
  void SetDrawTrackFrame(bool draw) { mDrawTrackFrame = draw; }
  void SetZeroValueStepHasBounds(bool hasBounds) { mZeroValueStepHasBounds = hasBounds; }

protected:
  EDirection mDirection;
  std::vector<IRECT> mTrackBounds;
  std::vector<IRECT> mStepBounds;
  std::vector<std::string> mTrackNames;
  int mNSteps;
  float mTrackPadding = 0.f;
  float mPeakSize = 1.f;
  int mHighlightedTrack = -1;
  int mMouseOverTrack = -1;
  double mBaseValue = 0.;
  bool mDrawTrackFrame = true;
  bool mZeroValueStepHasBounds = true;
};

} // namespace plugkit::gfx
