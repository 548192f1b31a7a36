#include "utils/soft_limiter.h"

#include <cmath>

namespace zarvo {

SoftLimiter::SoftLimiter(double thresholdDb, double softnessDb)
{
  mThreshold = std::pow(10.0, thresholdDb / 20.0);
  mSoftness = 1.0 - std::pow(10.0, -softnessDb / 20.0);
  update();
}

void SoftLimiter::setThreshold(double dB)
{
  mThreshold = std::pow(10.0, dB / 20.0);
  update();
}

void SoftLimiter::setSoftness(double dB)
{
  mSoftness = 1.0 - std::pow(10.0, -dB / 20.0);
  update();
}

void SoftLimiter::update()
{
  mKneeStart = (1.0 - mSoftness) * mThreshold;
  if (mSoftness == 0.0)
  {
    mCurve = 0.0;
    mKneeEnd = 0.0;
    return;
  }
  mCurve = -0.25 / (mSoftness * mThreshold);
  mKneeEnd = mKneeStart - 0.5 / mCurve;
}

void SoftLimiter::processBuffer(AudioBuffer& buffer) const noexcept
{
  processBuffer(buffer.channels().data(), buffer.numChannels(), buffer.numFrames());
}

void SoftLimiter::processBuffer(double* const* channels, std::size_t numChannels, std::size_t numFrames) const noexcept
{
  for (std::size_t c = 0; c < numChannels; ++c)
    for (double *s = channels[c], *end = s + numFrames; s != end; ++s)
      *s = process(*s);
}

} // namespace zarvo
