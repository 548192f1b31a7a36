// Value texts of the product's parameters (the display functions) and MIDI note names.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "IPlugin/IPluginParameter.h"

namespace zarvo {

inline constexpr std::array<const char*, 3> kSatTypeNames = {"TANH", "ASINH", "TASSYM"};

namespace params {

// One range of a segmented display: values below upperBound show value / divisor with the unit.
struct DisplaySegment
{
  double upperBound;
  double divisor;
  const char* unit;
  int32_t decimals;
};

inline constexpr std::array<DisplaySegment, 4> kFrequencySegments = {{
  {100.0, 1.0, "Hz", 1},
  {1000.0, 1.0, "Hz", 1},
  {10000.0, 1000.0, "kHz", 2},
  {1000000000.0, 1000.0, "kHz", 1},
}};

// The texts of the display functions; every value, in range or not, gives a text. Main thread.
std::string segmentedText(std::span<const DisplaySegment> segments, double value);
std::string gainText(double db);
std::string percentText(double fraction);
std::string holdText(double ms);
std::string releaseText(double ms);
std::string thresholdText(double db);
std::string saturationText(double type);
std::string glideText(double ms);

// The plain value a text of the functions above stands for, or nothing when it names none. Each reads
// what its display function writes, and also a bare number in the parameter's own unit (Hz, dB,
// percent, ms, or the curve position of the saturation), in any letter case. Main thread.
std::optional<double> segmentedValue(std::span<const DisplaySegment> segments, std::string_view text);
std::optional<double> decibelValue(std::string_view text);
std::optional<double> percentValue(std::string_view text);
std::optional<double> holdValue(std::string_view text);
std::optional<double> releaseValue(std::string_view text);
std::optional<double> saturationValue(std::string_view text);
std::optional<double> glideValue(std::string_view text);

// A display function that owns a copy of the segments.
plugkit::IParam::DisplayFunc makeSegmentedDisplay(std::span<const DisplaySegment> segments);
// A display function whose text is the whole result of f.
plugkit::IParam::DisplayFunc makeDisplayFunc(std::function<std::string(double)> f);
// The parse function reading the texts of makeSegmentedDisplay(segments) back.
plugkit::IParam::ParseFunc makeSegmentedParse(std::span<const DisplaySegment> segments);

} // namespace params

namespace utils {
// Note name with octave, middle C (60) being "C4". Any thread that may allocate.
std::string midiNoteName(int note);
} // namespace utils

} // namespace zarvo
