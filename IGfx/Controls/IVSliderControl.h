// The single-value vector slider: a filled track and a round handle at the
// value, with label and value text placed by the style.
#pragma once

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControlBases.h"

namespace plugkit::gfx {

class IVSliderControl : public ISliderControlBase, public IVectorBase
{
public:
  IVSliderControl(const IRECT& bounds, int paramIdx = -1, const char* label = "", const IVStyle& style = DEFAULT_STYLE,
                  bool valueIsEditable = false, EDirection dir = EDirection::Vertical, double gearing = 4.,
                  float handleSize = 8.f, float trackSize = 2.f, bool handleInsideTrack = false,
                  float handleXOffset = 0.f, float handleYOffset = 0.f);
  IVSliderControl(const IRECT& bounds, IActionFunction actionFunc, const char* label = "",
                  const IVStyle& style = DEFAULT_STYLE, bool valueIsEditable = false,
                  EDirection dir = EDirection::Vertical, double gearing = 4., float handleSize = 8.f,
                  float trackSize = 2.f, bool handleInsideTrack = false, float handleXOffset = 0.f,
                  float handleYOffset = 0.f);

  void Draw(IGfx& g) override;
  void DrawWidget(IGfx& g) override;
  virtual void DrawTrack(IGfx& g, const IRECT& filledArea);
  virtual void DrawHandle(IGfx& g, const IRECT& bounds);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnResize() override;
  void OnInit() override;
  bool IsHit(float x, float y) const override;
  // Also refreshes the value text from the parameter.
  void SetDirty(bool push = true, int valIdx = -1) override;

  // Shorten the track at its value-0 and value-1 ends; applied at the next resize.
  void SetTrackInsets(float start, float end)
  {
    mTrackStartInset = start;
    mTrackEndInset = end;
  }
  // The part of the track from its start to the value.
  IRECT GetFilledBounds() const;
  // Where the handle is drawn.
  IRECT GetHandleBounds() const;

private:
  void RefreshValueText();

  bool mHandleInsideTrack;
  bool mValueMouseOver = false;
  float mHandleXOffset;
  float mHandleYOffset;
  float mTrackStartInset = 0.f;
  float mTrackEndInset = 0.f;
};

} // namespace plugkit::gfx
