#include "product/param_texts.h"

#include <cmath>
#include <cstdio>

#include <fmt/format.h>

namespace zarvo {
namespace params {
namespace {

// Rounded half away from zero; -0 shows as 0, and any magnitude formats safely.
std::string roundedText(double v) {
  return fmt::format("{:.0f}", std::round(v) + 0.0);
}

}  // namespace

std::string segmentedText(std::span<const DisplaySegment> segments, double value) {
  if (segments.empty())
    return {};
  const DisplaySegment* seg = &segments.back();
  for (const DisplaySegment& s : segments) {
    if (s.upperBound > value) {
      seg = &s;
      break;
    }
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.*f %s", static_cast<int>(seg->decimals), value / seg->divisor, seg->unit);
  return text;
}

std::string gainText(double db) {
  if (std::fabs(db) < 0.001)
    db = 0.0;
  return fmt::format("{:.1f} dB", db);
}

std::string percentText(double fraction) {
  return fmt::format("{:.0f}%", fraction * 100.0);
}

std::string holdText(double ms) {
  if (ms >= 10.0)
    return "H " + roundedText(ms) + " ms";
  return fmt::format("H {:.1f} ms", ms);
}

std::string releaseText(double ms) {
  if (ms >= 2000.0)
    return "R inf";
  if (ms >= 1000.0)
    return fmt::format("R {:.2f} s", ms / 1000.0);
  if (ms > 10.0)
    return "R " + roundedText(ms) + " ms";
  return fmt::format("R {:.1f} ms", ms);
}

std::string thresholdText(double db) {
  return fmt::format("{:.1f} dB", db);
}

std::string saturationText(double type) {
  // A non-finite value has no blend position; it shows the first curve.
  const double whole = std::isfinite(type) ? std::trunc(type) : 0.0;
  const double frac = std::isfinite(type) ? type - whole : 0.0;
  int k = static_cast<int>(std::fmod(whole, 3.0));
  if (k < 0)
    k += 3;
  if (frac < 0.005)
    return kSatTypeNames[static_cast<size_t>(k)];
  return fmt::format("{}>{} {:.0f}%", kSatTypeNames[static_cast<size_t>(k)], kSatTypeNames[static_cast<size_t>((k + 1) % 3)],
                     frac * 100.0);
}

std::string glideText(double ms) {
  if (ms < 1000.0)
    return roundedText(ms) + " ms";
  return fmt::format("{:.2f} s", ms / 1000.0);
}

plugkit::IParam::DisplayFunc makeSegmentedDisplay(std::span<const DisplaySegment> segments) {
  return [list = std::vector<DisplaySegment>(segments.begin(), segments.end())](double value, TextString& display) {
    display.Set(segmentedText(list, value).c_str());
  };
}

plugkit::IParam::DisplayFunc makeDisplayFunc(std::function<std::string(double)> f) {
  return [f = std::move(f)](double value, TextString& display) { display.Set(f(value).c_str()); };
}

}  // namespace params

namespace utils {

std::string midiNoteName(int note) {
  static constexpr const char* kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
  // 64-bit so that the octave of the lowest int does not overflow.
  const int64_t n = note;
  int64_t k = n % 12;
  if (k < 0)
    k += 12;
  const int64_t octave = (n - k) / 12 - 1;
  return fmt::format("{}{}", kNames[k], octave);
}

}  // namespace utils
}  // namespace zarvo
