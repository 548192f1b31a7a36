// The arithmetic of the depth gesture: a vertical drag after "Set Depth" authors a controller
// modulation depth, and for a cutoff frequency the depth reads as a pitch interval.
#pragma once

#include <string>

namespace plugkit {
class IParam;
}

namespace zarvo::midi_cc {

struct DepthGesture
{
  // Pixels of vertical movement for the whole normalised range; ten times as many with Shift.
  static constexpr double kPixelsPerRange = 200.0;
  static constexpr double kFineFactor = 0.1;

  // The depth after one drag event: moving up (negative dY) deepens; clamped at every event so that
  // reversing direction takes effect at once.
  static double accumulate(double depth, float dY, bool fine);
  // Where the control shows the gesture: start plus depth, kept in 0..1.
  static double endValue(double start, double depth);
  // What the release commits: the depth that keeps start plus depth within 0..1.
  static float committedDepth(double start, double depth);
  // Octaves between the parameter's plain values at start and at the gesture's end; 0 without a
  // parameter or when either end is not positive.
  static double octaves(const plugkit::IParam* param, double start, double depth);
  // "+1oct 0st 0ct", "+3st 0ct", "-5ct"; "0" below half a cent.
  static std::string formatPitchDepth(double octaves);
};

} // namespace zarvo::midi_cc
