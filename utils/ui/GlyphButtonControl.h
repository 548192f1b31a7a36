// A push button whose face is a glyph label; it can poll whether it is enabled (a paste button asks
// the clipboard), and hovering can recolour its text instead of filling it.
#pragma once

#include <cstdint>
#include <functional>

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControl.h"
#include "utils/ui/GlyphLabel.h"

namespace zarvo::ui {

// Main thread only.
class GlyphButtonControl : public plugkit::gfx::IControl, public plugkit::gfx::IVectorBase
{
public:
  // Bound to no parameter; the framework's action function stays empty, the button calls its own.
  GlyphButtonControl(const plugkit::gfx::IRECT& bounds, GlyphLabel label,
                     std::function<void(plugkit::gfx::IControl*)> action, const plugkit::gfx::IVStyle& style);
  ~GlyphButtonControl() override;

  void OnMouseDown(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void Draw(plugkit::gfx::IGfx& g) override;
  // Always true while an enabled query is set, so that the button polls on every frame.
  bool IsDirty() override;

  GlyphLabel label;
  // Called with the button when a click is released inside the enabled button.
  std::function<void(plugkit::gfx::IControl*)> action;
  // Pixels between runs.
  float spacing = 0.f;
  bool pressed = false;
  plugkit::gfx::IColor hoverTextColor{255, 0, 0, 0};
  bool useHoverTextColor = false;
  // Asked at the first draw and then every 20th draw.
  std::function<bool()> enabledQuery;
  bool enabled = true;
  int32_t enabledPollCountdown = 0;
};

} // namespace zarvo::ui
