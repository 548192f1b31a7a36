// A solid colour or a linear or radial gradient of up to 16 stops, with an extend mode and a transform.
#pragma once

#include <array>

#include "IGfx/IColor.h"
#include "IGfx/IGfxEnums.h"
#include "IGfx/IMatrix.h"

namespace plugkit::gfx {

struct IColorStop
{
  IColor mColor;
  float mOffset = 0.f;

  constexpr bool operator==(const IColorStop&) const = default;
};

struct IPattern
{
  static constexpr int kMaxStops = 16;

  EPatternType mType = EPatternType::Solid;
  EPatternExtend mExtend = EPatternExtend::Pad;
  std::array<IColorStop, kMaxStops> mStops{};
  int mNStops = 0;
  IMatrix mTransform;

  constexpr IPattern() = default;
  explicit constexpr IPattern(EPatternType type)
    : mType(type)
  {}
  // Solid, extend pad, one stop holding the colour at offset 0.
  constexpr IPattern(const IColor& color) { AddStop(color, 0.f); }

  // A stop beyond the 16th is ignored.
  constexpr void AddStop(const IColor& color, float offset)
  {
    if (mNStops < kMaxStops)
      mStops[static_cast<size_t>(mNStops++)] = IColorStop{color, offset};
  }
  constexpr int NStops() const { return mNStops; }
  constexpr const IColorStop& GetStop(int idx) const { return mStops[static_cast<size_t>(idx)]; }
  constexpr void SetTransform(const IMatrix& m) { mTransform = m; }
};

} // namespace plugkit::gfx
