// An invisible control that reports every resize or rescale of the editor once it has been drawn.
#pragma once

#include <cstdint>
#include <functional>

#include "IGfx/IControl.h"

namespace zarvo::ui {

// Main thread only.
class UIResizeNotifier : public plugkit::gfx::IControl
{
public:
  // (width, height) in unscaled editor pixels, the draw scale, and whether a corner drag is running.
  using Callback = std::function<void(int width, int height, float scale, bool dragResizing)>;

  explicit UIResizeNotifier(Callback callback);
  ~UIResizeNotifier() override;

  // Silent until the first draw, so sizing while the editor is built is never reported.
  void OnResize() override;
  // Draws nothing; counts the draws.
  void Draw(plugkit::gfx::IGfx& g) override;

  Callback callback;
  uint64_t drawCount = 0;
};

} // namespace zarvo::ui
