#include "utils/host_time_info.h"

#include <algorithm>

#include <fmt/format.h>

namespace zarvo {

namespace {

template <typename U>
U truncatedTo(float v)
{
  if (!(v > 0.0f))
    return 0;
  const float top = static_cast<float>(std::numeric_limits<U>::max());
  return v >= top ? std::numeric_limits<U>::max() : static_cast<U>(v);
}

float fraction(float v) { return v - std::trunc(v); }

} // namespace

TimeInfo buildTimeInfo(const plugkit::ITimeInfo& transport, double sampleRate)
{
  TimeInfo t;
  const float p = static_cast<float>(transport.mSamplePos);
  t.samples = truncatedTo<uint64_t>(p);
  t.numerator = static_cast<uint8_t>(transport.mNumerator & 0xFF);
  t.denominator = static_cast<uint8_t>(transport.mDenominator & 0xFF);
  t.bar = 0;

  // The beat within the bar: quarter notes counted in the signature's unit, wrapped by the numerator.
  const double quarters = std::isfinite(transport.mPPQPos) ? transport.mPPQPos : 0.0;
  const double units = std::max(quarters * transport.mDenominator / 4.0, 0.0);
  const uint64_t n = units < 1.8e19 ? static_cast<uint64_t>(units) : 0u;
  const uint64_t perBar = static_cast<uint64_t>(std::max(transport.mNumerator, 1));
  t.beat = static_cast<uint16_t>(n % perBar + 1);
  t.beatHundredths = 0;

  const float seconds = p > 0.0f && sampleRate > 0.0 ? static_cast<float>(p / sampleRate) : 0.0f;
  const float h = seconds / 3600.0f;
  t.hours = truncatedTo<uint32_t>(std::floor(h));
  const float m = fraction(h) * 60.0f;
  t.minutes = truncatedTo<uint8_t>(std::floor(m));
  const float s = fraction(m) * 60.0f;
  t.seconds = truncatedTo<uint8_t>(std::floor(s));
  t.milliseconds = truncatedTo<uint16_t>(fraction(s) * 1000.0f);
  return t;
}

std::string buildTimeString(const TimeInfo& time)
{
  if (time.hours != 0)
    return fmt::format("{} {}h:{}:{}.{}", time.beat, time.hours, time.minutes, time.seconds, time.milliseconds);
  return fmt::format("{} {}:{}.{}", time.beat, time.minutes, time.seconds, time.milliseconds);
}

} // namespace zarvo
