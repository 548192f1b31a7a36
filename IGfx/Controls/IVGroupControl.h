// A titled frame drawn around other controls; it can size itself to the controls of a named group.
#pragma once

#include <string>

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IContainerBase.h"

namespace plugkit::gfx {

// Main thread only. Ignores the mouse.
class IVGroupControl : public IContainerBase, public IVectorBase
{
public:
  // A frame with fixed bounds.
  IVGroupControl(const IRECT& bounds, const char* label = "", float labelOffset = 10.f,
                 const IVStyle& style = DEFAULT_STYLE, IContainerFunction attachFunc = nullptr,
                 IContainerFunction resizeFunc = nullptr);
  // A frame around the controls of groupName, grown by the pads, once the editor is initialised.
  IVGroupControl(const char* label, const char* groupName, float padL = 0.f, float padT = 0.f, float padR = 0.f,
                 float padB = 0.f, const IVStyle& style = DEFAULT_STYLE);

  void OnInit() override;
  void OnResize() override;
  void Draw(IGfx& g) override;
  void DrawWidget(IGfx& g) override;

  // The union of the group's non-empty control rectangles, grown by the pads, becomes the bounds.
  // Later moves of those controls do not move the frame.
  void SetBoundsBasedOnGroup(const char* groupName, float padL, float padT, float padR, float padB);

private:
  std::string mGroupName;
  float mPadL = 0.f;
  float mPadT = 0.f;
  float mPadR = 0.f;
  float mPadB = 0.f;
  float mLabelOffset = 10.f;
  float mLabelPadding = 10.f; // free space each side of the title in the frame line
};

} // namespace plugkit::gfx
