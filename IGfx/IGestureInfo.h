// A recognised touch gesture; the fields after the position pass through untouched.
#pragma once

#include "IGfx/IGfxEnums.h"

namespace plugkit::gfx {

struct IGestureInfo
{
  float x = 0.f; // editor units
  float y = 0.f;
  float scale = 0.f;
  float velocity = 0.f;
  float angle = 0.f;
  EGestureType type = EGestureType::Unknown;
};

} // namespace plugkit::gfx
