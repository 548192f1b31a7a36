// Value texts of the product's parameters (the display functions) and MIDI note names.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "IPlugin/IPluginParameter.h"

namespace zarvo {

inline constexpr std::array<const char*, 3> kSatTypeNames = {"TANH", "ASINH", "TASSYM"};

namespace params {

// One range of a segmented display: values below upperBound show value / divisor with the unit.
struct DisplaySegment {
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

// A display function that owns a copy of the segments.
plugkit::IParam::DisplayFunc makeSegmentedDisplay(std::span<const DisplaySegment> segments);
// A display function whose text is the whole result of f.
plugkit::IParam::DisplayFunc makeDisplayFunc(std::function<std::string(double)> f);

}  // namespace params

namespace utils {
// Note name with octave, middle C (60) being "C4". Any thread that may allocate.
std::string midiNoteName(int note);
}  // namespace utils

}  // namespace zarvo
