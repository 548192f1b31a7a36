// How a path is stroked (IStrokeOptions) and filled (IFillOptions).
#pragma once

#include <array>

#include "IGfx/IGfxEnums.h"

namespace plugkit::gfx {

struct IStrokeOptions
{
  struct DashOptions
  {
    static constexpr int kMaxDashes = 8;

    std::array<float, kMaxDashes> mArray{};
    float mOffset = 0.f;
    int mCount = 0;

    // At most eight lengths are kept.
    void SetDash(const float* lengths, float offset, int count)
    {
      mCount = count < 0 ? 0 : (count > kMaxDashes ? kMaxDashes : count);
      for (int i = 0; i < mCount; ++i)
        mArray[static_cast<size_t>(i)] = lengths[i];
      mOffset = offset;
    }
  };

  float mMiterLimit = 10.f;
  bool mPreserve = false;
  ELineCap mCapOption = ELineCap::Butt;
  ELineJoin mJoinOption = ELineJoin::Miter;
  DashOptions mDash;
};

struct IFillOptions
{
  EFillRule mFillRule = EFillRule::Winding;
  bool mPreserve = false;

  constexpr IFillOptions() = default;
  constexpr IFillOptions(EFillRule rule, bool preserve)
    : mFillRule(rule)
    , mPreserve(preserve)
  {}
};

} // namespace plugkit::gfx
