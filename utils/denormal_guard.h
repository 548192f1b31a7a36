// A scoped floating-point mode for one audio block: denormals flushed to zero, exceptions masked.
#pragma once

#if defined(__SSE2__) || defined(__x86_64__)
#include <xmmintrin.h>
#define ZARVO_HAS_MXCSR 1
#endif

namespace zarvo {

// Audio thread. Sets flush-to-zero, denormals-are-zero and all six exception masks for its scope
// and puts the caller's mode back exactly as it was on exit. Without MXCSR it does nothing.
class DenormalGuard
{
public:
#if defined(ZARVO_HAS_MXCSR)
  static constexpr unsigned kFlushToZero = 0x8000u;
  static constexpr unsigned kDenormalsAreZero = 0x0040u;
  static constexpr unsigned kExceptionMasks = 0x1F80u;
  static constexpr unsigned kBlockMode = kFlushToZero | kDenormalsAreZero | kExceptionMasks;

  DenormalGuard()
    : mSaved(_mm_getcsr())
  {
    if ((mSaved & kBlockMode) != kBlockMode)
      _mm_setcsr(mSaved | kBlockMode);
  }
  ~DenormalGuard() { _mm_setcsr(mSaved); }
#else
  DenormalGuard() = default;
#endif

  DenormalGuard(const DenormalGuard&) = delete;
  DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
#if defined(ZARVO_HAS_MXCSR)
  unsigned mSaved;
#endif
};

} // namespace zarvo
