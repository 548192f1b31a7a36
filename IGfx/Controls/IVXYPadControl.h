// One handle moved in two dimensions: value 0 is x (rightwards), value 1 is y
// (upwards), both set by one drag.
#pragma once

#include <vector>

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControl.h"

namespace plugkit::gfx {

class IVXYPadControl : public IControl, public IVectorBase
{
public:
  IVXYPadControl(const IRECT& bounds, const std::vector<int>& params, const char* label = "",
                 const IVStyle& style = DEFAULT_STYLE, float handleRadius = 10.f, bool trackClipsHandle = true,
                 bool drawCross = true);

  void Draw(IGfx& g) override;
  void DrawWidget(IGfx& g) override;
  virtual void DrawHandle(IGfx& g, const IRECT& trackBounds, const IRECT& handleBounds);
  virtual void DrawTrack(IGfx& g);
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnResize() override;

  // Where the handle is drawn: the square around the values' point in the handle area.
  IRECT GetHandleBounds() const;
  bool GetMouseDown() const { return mMouseDown; }

private:
  float mHandleRadius;
  bool mMouseDown = false;
  bool mTrackClipsHandle;
  bool mDrawCross;
};

} // namespace plugkit::gfx
