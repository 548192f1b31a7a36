// Click counts for a window system that reports single presses only.
#pragma once

#include <cmath>
#include <cstdint>

namespace plugkit::gfx {

// A press of the same button within the double-click time and a few pixels of the previous one
// continues the series; anything else starts a new one. Times are milliseconds of any clock that
// does not run backwards (X event times, or a test's own).
class ClickCounter
{
public:
  static constexpr uint32_t kDefaultDoubleClickMs = 400;
  static constexpr float kSlopPixels = 4.f;

  void SetDoubleClickMs(uint32_t ms) { mDoubleClickMs = ms; }

  // The click count of this press: 1, 2, 3, ...
  int Press(int button, float x, float y, uint64_t timeMs)
  {
    const bool continues = mCount > 0 && button == mButton && timeMs >= mLastMs && timeMs - mLastMs <= mDoubleClickMs &&
                           std::fabs(x - mX) <= kSlopPixels && std::fabs(y - mY) <= kSlopPixels;
    mCount = continues ? mCount + 1 : 1;
    mButton = button;
    mX = x;
    mY = y;
    mLastMs = timeMs;
    return mCount;
  }

  void Reset() { mCount = 0; }

private:
  uint32_t mDoubleClickMs = kDefaultDoubleClickMs;
  int mCount = 0;
  int mButton = 0;
  float mX = 0.f;
  float mY = 0.f;
  uint64_t mLastMs = 0;
};

} // namespace plugkit::gfx
