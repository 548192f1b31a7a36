// Several handles on one shared track, the range between neighbouring handles
// filled; a handle is dragged only as far as its neighbours.
#pragma once

#include "IGfx/Controls/IVTrackControlBase.h"

namespace plugkit::gfx {

class IVRangeSliderControl : public IVTrackControlBase
{
public:
  IVRangeSliderControl(const IRECT& bounds, const std::vector<int>& params, const char* label = "",
                       const IVStyle& style = DEFAULT_STYLE, EDirection dir = EDirection::Vertical,
                       bool onlyHandle = false, float handleSize = 8.f, float trackSize = 2.f);

  void Draw(IGfx& g) override;
  void DrawWidget(IGfx& g) override;
  void DrawTrack(IGfx& g, const IRECT& r, int chIdx) override;
  void MakeTrackRects(const IRECT& bounds) override;

  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;

  IRECT GetHandleBounds(int chIdx) const;
  int GetMouseOverHandle() const { return mMouseOverHandle; }

private:
  int mMouseOverHandle = -1;
  float mHandleSize;
  bool mDragging = false;
};

} // namespace plugkit::gfx
