// One pointer sample with its buttons and modifier keys.
#pragma once

#include <cstdint>

namespace plugkit::gfx {

struct IMouseMod
{
  bool L = false;       // left button
  bool R = false;       // right button
  bool S = false;       // shift
  bool C = false;       // command / control
  bool A = false;       // option / alt
  uint64_t touchID = 0; // 0 for the mouse
  float touchRadius = 0.f;
};

struct IMouseInfo
{
  float x = 0.f;
  float y = 0.f;
  float dX = 0.f;
  float dY = 0.f;
  IMouseMod ms;
};

} // namespace plugkit::gfx
