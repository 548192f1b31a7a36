// How a drawing call composites: a method and a weight from 0 (invisible) to 1 (opaque).
#pragma once

#include "IGfx/IGfxEnums.h"

namespace plugkit::gfx {

struct IBlend
{
  EBlend mMethod = EBlend::Default;
  float mWeight = 1.f;

  constexpr IBlend() = default;
  constexpr IBlend(EBlend method, float weight)
    : mMethod(method)
    , mWeight(weight)
  {}
  constexpr bool operator==(const IBlend&) const = default;
};

inline constexpr IBlend BLEND_75(EBlend::Default, 0.75f);
inline constexpr IBlend BLEND_50(EBlend::Default, 0.5f);
inline constexpr IBlend BLEND_25(EBlend::Default, 0.25f);
inline constexpr IBlend BLEND_10(EBlend::Default, 0.1f);
inline constexpr IBlend BLEND_05(EBlend::Default, 0.05f);
inline constexpr IBlend BLEND_01(EBlend::Default, 0.01f);
inline constexpr IBlend BLEND_DST_IN(EBlend::DstIn, 1.f);
inline constexpr IBlend BLEND_DST_OVER(EBlend::DstOver, 1.f);

} // namespace plugkit::gfx
