// A morph engine with a few points placed by the test, on the pad's default 908 x 404 rectangle.
#pragma once

#include <initializer_list>
#include <utility>

#include "IGfx/IRECT.h"
#include "utils/morph/morph_engine.h"
#include "utils/morph/morph_field_overlay.h"

namespace morph_overlay_test {

using zarvo::morph::MorphEngine;
using zarvo::morph::MorphFieldOverlay;
using zarvo::morph::Scales;

inline constexpr plugkit::gfx::IRECT kPad{0.f, 0.f, 908.f, 404.f};

// Activates points 1, 2, ... at the given positions; everything else inactive.
inline void placePoints(MorphEngine& engine, std::initializer_list<std::pair<double, double>> at)
{
  for (size_t i = 0; i < zarvo::morph::kNumPoints; ++i)
    engine.edit({.point = i, .active = false});
  size_t i = 1;
  for (const auto& [x, y] : at)
  {
    engine.edit({.point = i, .x = x, .y = y});
    engine.edit({.point = i, .active = true});
    ++i;
  }
}

// Sixteen points on a jittered 4 x 4 lattice.
inline void spreadSixteen(MorphEngine& engine)
{
  for (size_t i = 0; i < zarvo::morph::kNumPoints; ++i)
    engine.edit({.point = i, .active = false});
  for (size_t i = 1; i <= 16; ++i)
  {
    const int k = static_cast<int>(i);
    const double jx = 0.02 * ((k * 7) % 5 - 2);
    const double jy = 0.02 * ((k * 3) % 5 - 2);
    engine.edit({.point = i,
                 .x = 0.125 + 0.25 * static_cast<double>((i - 1) % 4) + jx,
                 .y = 0.125 + 0.25 * static_cast<double>((i - 1) / 4) + jy});
    engine.edit({.point = i, .active = true});
  }
}

inline Scales scalesOf(const MorphEngine& engine)
{
  Scales s{};
  engine.computeScales(engine.editState(), s);
  return s;
}

} // namespace morph_overlay_test
