// Real pointer and keyboard input through the X server: xdotool run as a child process against the
// editor's window, positions given in editor pixels and multiplied by the editor's scale.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vemlor::e2e {

class XdoDriver
{
public:
  // pump runs between the steps of a drag so that the editor sees every motion.
  XdoDriver(unsigned long window, float scale, std::function<void()> pump)
    : window(window)
    , scale(scale)
    , pump(std::move(pump))
  {}

  bool move(float x, float y);
  bool click(float x, float y, int button = 1);
  bool press(float x, float y, int button = 1);
  bool release(int button = 1);
  // Press at from, move in steps to to, release; pumping after each step.
  bool drag(float fromX, float fromY, float toX, float toY, int steps = 8, int button = 1);
  // Key names as xdotool takes them ("Escape", "Down", "Return", "ctrl+z"), to the focused window:
  // with no window manager the focus follows the pointer, so the pointer must be over the editor.
  bool key(const std::string& keys);

private:
  bool run(std::vector<std::string> args);
  std::vector<std::string> moveArgs(float x, float y) const;

  unsigned long window; // an X11 window id
  float scale;
  std::function<void()> pump;
};

} // namespace vemlor::e2e
