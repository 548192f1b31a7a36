#include "product/params/param_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <fmt/format.h>

#include "IPlugin/TextScan.h"

namespace zarvo {
namespace params {
namespace {

using plugkit::AtEnd;
using plugkit::ReadNumber;
using plugkit::ReadWord;

// A release this long or longer holds forever.
constexpr double kEndlessRelease = 2000.0;
// The longest release a number can ask for: only "inf" holds forever.
constexpr double kLongestFiniteRelease = kEndlessRelease - 0.1;

// Rounded half away from zero; -0 shows as 0, and any magnitude formats safely.
std::string roundedText(double v) { return fmt::format("{:.0f}", std::round(v) + 0.0); }

struct Unit
{
  const char* name;
  double factor;
};

constexpr Unit kDecibels[] = {{"dB", 1.0}};
constexpr Unit kPercent[] = {{"%", 0.01}};
// "ms" before "s", which it would otherwise leave unread.
constexpr Unit kTimes[] = {{"ms", 1.0}, {"s", 1000.0}};

// A number, then at most one of the units, then nothing; a bare number is taken times bareFactor.
std::optional<double> scaledValue(std::string_view rest, std::span<const Unit> units, double bareFactor)
{
  double v = 0.0;
  if (!ReadNumber(rest, v))
    return std::nullopt;
  double factor = bareFactor;
  for (const Unit& unit : units)
  {
    if (ReadWord(rest, unit.name))
    {
      factor = unit.factor;
      break;
    }
  }
  if (!AtEnd(rest))
    return std::nullopt;
  return v * factor;
}

// A curve name's position in kSatTypeNames, read from the front of rest.
std::optional<int> readSatName(std::string_view& rest)
{
  for (size_t k = 0; k < kSatTypeNames.size(); ++k)
    if (ReadWord(rest, kSatTypeNames[k]))
      return static_cast<int>(k);
  return std::nullopt;
}

} // namespace

std::string segmentedText(std::span<const DisplaySegment> segments, double value)
{
  if (segments.empty())
    return {};
  const DisplaySegment* seg = &segments.back();
  for (const DisplaySegment& s : segments)
  {
    if (s.upperBound > value)
    {
      seg = &s;
      break;
    }
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.*f %s", static_cast<int>(seg->decimals), value / seg->divisor, seg->unit);
  return text;
}

std::string gainText(double db)
{
  if (std::fabs(db) < 0.001)
    db = 0.0;
  return fmt::format("{:.1f} dB", db);
}

std::string percentText(double fraction) { return fmt::format("{:.0f}%", fraction * 100.0); }

std::string holdText(double ms)
{
  if (ms >= 10.0)
    return "H " + roundedText(ms) + " ms";
  return fmt::format("H {:.1f} ms", ms);
}

std::string releaseText(double ms)
{
  if (ms >= kEndlessRelease)
    return "R inf";
  if (ms >= 1000.0)
    return fmt::format("R {:.2f} s", ms / 1000.0);
  if (ms > 10.0)
    return "R " + roundedText(ms) + " ms";
  return fmt::format("R {:.1f} ms", ms);
}

std::string thresholdText(double db) { return fmt::format("{:.1f} dB", db); }

std::string saturationText(double type)
{
  // A non-finite value has no blend position; it shows the first curve.
  const double whole = std::isfinite(type) ? std::trunc(type) : 0.0;
  const double frac = std::isfinite(type) ? type - whole : 0.0;
  int k = static_cast<int>(std::fmod(whole, 3.0));
  if (k < 0)
    k += 3;
  if (frac < 0.005)
    return kSatTypeNames[static_cast<size_t>(k)];
  return fmt::format("{}>{} {:.0f}%", kSatTypeNames[static_cast<size_t>(k)],
                     kSatTypeNames[static_cast<size_t>((k + 1) % 3)], frac * 100.0);
}

std::string glideText(double ms)
{
  if (ms < 1000.0)
    return roundedText(ms) + " ms";
  return fmt::format("{:.2f} s", ms / 1000.0);
}

std::optional<double> segmentedValue(std::span<const DisplaySegment> segments, std::string_view text)
{
  double v = 0.0;
  if (!ReadNumber(text, v))
    return std::nullopt;
  double factor = 1.0;
  bool hasUnit = false;
  std::string_view afterUnit = text;
  for (const DisplaySegment& s : segments)
  {
    std::string_view rest = text;
    // The longest unit that matches wins.
    if (ReadWord(rest, s.unit) && rest.size() < afterUnit.size())
    {
      factor = s.divisor;
      afterUnit = rest;
      hasUnit = true;
    }
  }
  if (!hasUnit && ReadWord(afterUnit, "k"))
    factor = 1000.0; // "1.5k"
  if (!AtEnd(afterUnit))
    return std::nullopt;
  return v * factor;
}

std::optional<double> decibelValue(std::string_view text) { return scaledValue(text, kDecibels, 1.0); }

std::optional<double> percentValue(std::string_view text) { return scaledValue(text, kPercent, 0.01); }

std::optional<double> holdValue(std::string_view text)
{
  ReadWord(text, "H");
  return scaledValue(text, kTimes, 1.0);
}

std::optional<double> releaseValue(std::string_view text)
{
  ReadWord(text, "R");
  std::string_view rest = text;
  if (ReadWord(rest, "inf") && AtEnd(rest))
    return kEndlessRelease;
  const std::optional<double> ms = scaledValue(text, kTimes, 1.0);
  if (!ms)
    return std::nullopt;
  return std::min(*ms, kLongestFiniteRelease);
}

std::optional<double> saturationValue(std::string_view text)
{
  if (const std::optional<double> position = scaledValue(text, {}, 1.0))
    return position;
  const std::optional<int> from = readSatName(text);
  if (!from)
    return std::nullopt;
  if (AtEnd(text))
    return *from;
  // A blend only goes to the next curve: "TASSYM>TANH 50%".
  double percent = 0.0;
  if (!ReadWord(text, ">") || readSatName(text) != (*from + 1) % 3 || !ReadNumber(text, percent))
    return std::nullopt;
  ReadWord(text, "%");
  if (!AtEnd(text) || percent < 0.0 || percent > 100.0)
    return std::nullopt;
  return *from + percent / 100.0;
}

std::optional<double> glideValue(std::string_view text) { return scaledValue(text, kTimes, 1.0); }

plugkit::IParam::DisplayFunc makeSegmentedDisplay(std::span<const DisplaySegment> segments)
{
  return [list = std::vector<DisplaySegment>(segments.begin(), segments.end())](double value, TextString& display) {
    display.Set(segmentedText(list, value).c_str());
  };
}

plugkit::IParam::DisplayFunc makeDisplayFunc(std::function<std::string(double)> f)
{
  return [f = std::move(f)](double value, TextString& display) { display.Set(f(value).c_str()); };
}

plugkit::IParam::ParseFunc makeSegmentedParse(std::span<const DisplaySegment> segments)
{
  return [list = std::vector<DisplaySegment>(segments.begin(), segments.end())](std::string_view text) {
    return segmentedValue(list, text);
  };
}

} // namespace params

namespace utils {

std::string midiNoteName(int note)
{
  static constexpr const char* kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
  // 64-bit so that the octave of the lowest int does not overflow.
  const int64_t n = note;
  int64_t k = n % 12;
  if (k < 0)
    k += 12;
  const int64_t octave = (n - k) / 12 - 1;
  return fmt::format("{}{}", kNames[k], octave);
}

} // namespace utils
} // namespace zarvo
