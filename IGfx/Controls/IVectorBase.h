// The vector look shared by the stock vector controls: a style, label and value
// texts, the split of the control's rectangle into label, widget and value
// areas, and pressable shapes with frame, shadow, emboss, mouse-over, disabled
// and click-splash looks. Not a control: it draws through the control that
// derives from it. Main thread only.
#pragma once

#include "IGfx/IControl.h"
#include "IGfx/IVStyle.h"
#include "IPlugin/TextString.h"

namespace plugkit::gfx {

class IVectorBase
{
public:
  explicit IVectorBase(const IVStyle& style, bool labelInWidget = false, bool valueInWidget = false);
  virtual ~IVectorBase() = default;
  IVectorBase(const IVectorBase&) = delete;
  IVectorBase& operator=(const IVectorBase&) = delete;

  // Called by the deriving control's constructor with itself.
  void AttachIControl(IControl* control, const char* label);

  virtual void OnStyleChanged() {}
  // Takes effect in the geometry at the next resize.
  virtual void SetStyle(const IVStyle& style);
  virtual void DrawBackground(IGfx& g, const IRECT& rect);
  virtual void DrawWidget(IGfx& /*g*/) {}
  virtual void DrawLabel(IGfx& g);
  virtual void DrawValue(IGfx& g, bool mouseOver);
  virtual void DrawPressableShape(IGfx& g, EVShape shape, const IRECT& bounds, bool pressed, bool mouseOver,
                                  bool disabled);

  // Each draws in the handle rectangle of bounds and returns it.
  IRECT DrawPressableRectangle(IGfx& g, const IRECT& bounds, bool pressed, bool mouseOver, bool disabled,
                               bool rTL = true, bool rTR = true, bool rBL = true, bool rBR = true);
  void DrawPressableEllipse(IGfx& g, const IRECT& bounds, bool pressed, bool mouseOver, bool disabled);
  IRECT DrawPressableTriangle(IGfx& g, const IRECT& bounds, bool pressed, bool mouseOver, float angle, bool disabled);
  // An empty clip means the whole drawing area.
  void DrawSplash(IGfx& g, const IRECT& clip = IRECT());

  // Fills the widget, label and value rectangles from rect; returns the
  // clickable area.
  IRECT MakeRects(const IRECT& rect, bool hasHandle = false);
  // rect less the frame and shadow.
  IRECT GetAdjustedHandleBounds(const IRECT& rect) const;
  float GetRoundedCornerRadius(const IRECT& handle) const;
  // The style's colour in that slot, darkened by the disabled contrast when disabled.
  IColor GetAdjustedColor(EVColor c, bool disabled) const;

  const IVStyle& GetStyle() const { return mStyle; }
  const IColor& GetColor(EVColor c) const { return mStyle.colorSpec.GetColor(c); }
  void SetColor(EVColor c, const IColor& color) { mStyle.colorSpec.SetColor(c, color); }
  const IRECT& GetWidgetBounds() const { return mWidgetBounds; }
  const IRECT& GetLabelBounds() const { return mLabelBounds; }
  const IRECT& GetValueBounds() const { return mValueBounds; }
  const char* GetLabelStr() const { return mLabelStr.Get(); }
  void SetLabelStr(const char* str) { mLabelStr.Set(str ? str : ""); }
  const char* GetValueStr() const { return mValueStr.Get(); }
  void SetValueStr(const char* str) { mValueStr.Set(str ? str : ""); }
  EVShape GetShape() const { return mShape; }
  void SetShape(EVShape shape) { mShape = shape; }
  float GetTrackSize() const { return mTrackSize; }
  void SetDisabledContrast(float contrast) { mDisabledContrast = contrast; }

  // Written by the splash click action and its animation.
  void SetSplashPoint(float x, float y)
  {
    mSplashX = x;
    mSplashY = y;
  }
  void SetSplashRadius(float r) { mSplashRadius = r; }
  float GetSplashRadius() const { return mSplashRadius; }
  float GetMaxSplashRadius() const { return mMaxSplashRadius; }

protected:
  IControl* mControl = nullptr;
  IVStyle mStyle;
  float mDisabledContrast = 0.25f;
  bool mLabelInWidget;
  bool mValueInWidget;
  float mSplashRadius = 0.f;
  float mSplashX = 0.f;
  float mSplashY = 0.f;
  float mMaxSplashRadius = 50.f;
  float mTrackSize = 2.f;
  float mValueDisplayFrac = 0.66f;
  IRECT mWidgetBounds;
  IRECT mLabelBounds;
  IRECT mValueBounds;
  TextString mLabelStr;
  TextString mValueStr;
  EVShape mShape = EVShape::Rectangle;
};

} // namespace plugkit::gfx
