// Functions of x in 0..1 drawn as lines over a grid, optionally cached in a
// layer that is redrawn only when the graphics context invalidates it.
#pragma once

#include <functional>
#include <vector>

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControl.h"
#include "IGfx/IGfx.h"

namespace plugkit::gfx {

class IVPlotControl : public IControl, public IVectorBase
{
public:
  struct Plot
  {
    IColor color;
    std::function<double(double)> func;
  };

  IVPlotControl(const IRECT& bounds, const std::vector<Plot>& plots, int numPoints, const char* label = "",
                const IVStyle& style = DEFAULT_STYLE, float min = -1.f, float max = 1.f, bool useLayer = false);

  void Draw(IGfx& g) override;
  void OnResize() override;

  void AddPlotFunc(const IColor& color, const std::function<double(double)>& func);
  // The rectangle the functions span: minimum at its bottom, maximum at its top.
  IRECT GetPlotBounds() const;

private:
  void DrawContent(IGfx& g);

  ILayerPtr mLayer;
  std::vector<Plot> mPlots;
  float mMin;
  float mMax;
  bool mUseLayer;
  int mHorizontalDivisions = 10;
  int mVerticalDivisions = 10;
  std::vector<float> mPoints;
};

} // namespace plugkit::gfx
