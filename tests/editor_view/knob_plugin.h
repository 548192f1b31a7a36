// A framework plug-in with an editor holding one knob on its first parameter, built in the test's own
// process so the test reaches its graphics context directly.
#pragma once

#include <functional>
#include <vector>

#include "IGfx/IControl.h"
#include "IGfx/IGfx.h"
#include "IPlugin/VST3/IPluginVST3.h"

namespace vemlor::viewtest {

// A vertical drag turns it (100 px for the whole range); it takes the key "k".
class KnobControl final : public plugkit::gfx::IControl
{
public:
  KnobControl(const plugkit::gfx::IRECT& bounds, int paramIdx)
    : IControl(bounds, paramIdx)
  {}

  void Draw(plugkit::gfx::IGfx& g) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const plugkit::gfx::IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const plugkit::IKeyPress& key) override;

  int draws = 0;
  int keys = 0;              // keys taken
  std::vector<int> keysSeen; // the virtual key of every key press that reached it
};

class KnobPlugin final : public plugkit::IPluginVST3
{
public:
  static constexpr int kWidth = 940;
  static constexpr int kHeight = 200;
  static constexpr plugkit::gfx::IRECT kKnobBounds{20.f, 20.f, 180.f, 180.f};

  explicit KnobPlugin(float drawScale = 1.f);

  KnobControl* Knob() const;

  // Runs after the knob is attached, at each opening.
  std::function<void(plugkit::gfx::IGfx*)> extraLayout;
};

} // namespace vemlor::viewtest
