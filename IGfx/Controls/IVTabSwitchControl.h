// The options of a switch as a row or column of adjacent pressable buttons,
// each with its text; a click selects the option under the mouse.
#pragma once

#include <vector>

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControlBases.h"

namespace plugkit::gfx {

class IVTabSwitchControl : public ISwitchControlBase, public IVectorBase
{
public:
  enum class ETabSegment
  {
    First = 0,
    Middle,
    Last
  };

  // With no options the labels come from the parameter's display texts once
  // attached.
  IVTabSwitchControl(const IRECT& bounds, int paramIdx = -1, const std::vector<const char*>& options = {},
                     const char* label = "", const IVStyle& style = DEFAULT_STYLE, EVShape shape = EVShape::Rectangle,
                     EDirection direction = EDirection::Horizontal);
  IVTabSwitchControl(const IRECT& bounds, IActionFunction actionFunc, const std::vector<const char*>& options,
                     const char* label = "", const IVStyle& style = DEFAULT_STYLE, EVShape shape = EVShape::Rectangle,
                     EDirection direction = EDirection::Horizontal);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnResize() override;
  void OnInit() override;
  void Draw(IGfx& g) override;
  bool IsHit(float x, float y) const override;
  void DrawWidget(IGfx& g) override;
  virtual void DrawButton(IGfx& g, const IRECT& r, bool pressed, bool mouseOver, ETabSegment segment, bool disabled);
  virtual void DrawButtonText(IGfx& g, const IRECT& r, bool pressed, bool mouseOver, ETabSegment segment, bool disabled,
                              const char* str);
  // The first button containing the point, else -1.
  virtual int GetButtonForPoint(float x, float y) const;

  int GetSelectedIdx() const;
  const char* GetSelectedLabelStr() const;
  int NLabels() const { return static_cast<int>(mTabLabels.size()); }
  // "" outside the list.
  const char* GetTabLabel(int idx) const;
  // The empty rectangle outside the list.
  IRECT GetButtonRect(int idx) const;
  int GetHoveredButton() const { return mMouseOverButton; }

private:
  int mMouseOverButton = -1;
  std::vector<IRECT> mButtons;
  std::vector<TextString> mTabLabels;
  EDirection mDirection;
};

} // namespace plugkit::gfx
