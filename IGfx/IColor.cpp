#include "IGfx/IColor.h"

#include <algorithm>
#include <cmath>

namespace plugkit::gfx {

namespace {

float HueToChannel(float m1, float m2, float t)
{
  if (t < 0.f)
    t += 1.f;
  if (t > 1.f)
    t -= 1.f;
  if (t < 1.f / 6.f)
    return m1 + (m2 - m1) * t * 6.f;
  if (t < 1.f / 2.f)
    return m2;
  if (t < 2.f / 3.f)
    return m1 + (m2 - m1) * (2.f / 3.f - t) * 6.f;
  return m1;
}

int ToByte(float channel) { return static_cast<int>(std::clamp(channel, 0.f, 1.f) * 255.f); }

} // namespace

IColor IColor::FromHSLA(float h, float s, float l, float a)
{
  h = std::fmod(h, 1.f);
  if (h < 0.f)
    h += 1.f;
  s = std::clamp(s, 0.f, 1.f);
  l = std::clamp(l, 0.f, 1.f);
  // l + s(1 - l) is l + s - ls, written so that lightness 1 gives exactly 1.
  const float m2 = l <= 0.5f ? l * (1.f + s) : l + s * (1.f - l);
  const float m1 = 2.f * l - m2;
  return IColor(static_cast<int>(a * 255.f), ToByte(HueToChannel(m1, m2, h + 1.f / 3.f)),
                ToByte(HueToChannel(m1, m2, h)), ToByte(HueToChannel(m1, m2, h - 1.f / 3.f)));
}

} // namespace plugkit::gfx
