// What the X11 input and drop translation delivers: pointer samples in editor units and key presses,
// in the shape the graphics context's event calls take.
#pragma once

#include <string>
#include <vector>

#include "IPlugin/IKeyPress.h"

namespace plugkit::gfx {

struct PlatformMouseMod
{
  bool L = false; // left button record (also every hover and wheel record)
  bool R = false; // right button record
  bool S = false; // shift
  bool C = false; // control
  bool A = false; // alt
};

// Positions and deltas in editor units: device pixels ÷ (draw scale × screen scale).
struct PlatformMouse
{
  float x = 0.f;
  float y = 0.f;
  float dX = 0.f;
  float dY = 0.f;
  PlatformMouseMod ms;
};

// Main thread. Implemented by the graphics context, or by a recorder in tests.
class IX11EventSink
{
public:
  virtual void OnMouseDown(const PlatformMouse& m) = 0;
  virtual void OnMouseUp(const PlatformMouse& m) = 0;
  virtual void OnMouseDrag(const PlatformMouse& m) = 0;
  virtual void OnMouseDblClick(const PlatformMouse& m) = 0;
  virtual void OnMouseOver(const PlatformMouse& m) = 0;
  virtual void OnMouseOut() = 0;
  // delta: +1 a step up (away from the user), −1 down.
  virtual void OnMouseWheel(const PlatformMouse& m, float delta) = 0;
  // Whether a control took the key; keys nobody takes go back to the host.
  virtual bool OnKeyDown(float x, float y, const IKeyPress& key) = 0;
  virtual bool OnKeyUp(float x, float y, const IKeyPress& key) = 0;
  virtual void OnDrop(const std::string& path, float x, float y) = 0;
  // Two or more paths, in the order the source gave them.
  virtual void OnDropMultiple(const std::vector<std::string>& paths, float x, float y) = 0;
  // Whether a control holds the mouse capture (a drag in progress).
  virtual bool MouseIsCaptured() const = 0;
  // The pointer came back into the window: show the editor's cursor shape again.
  virtual void OnMouseEntered() {}

protected:
  ~IX11EventSink() = default;
};

} // namespace plugkit::gfx
