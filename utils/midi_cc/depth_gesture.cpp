#include "utils/midi_cc/depth_gesture.h"

#include <algorithm>
#include <cmath>

#include "IPlugin/IPluginParameter.h"

namespace zarvo::midi_cc {

double DepthGesture::accumulate(double depth, float dY, bool fine)
{
  double step = static_cast<double>(dY) / -kPixelsPerRange;
  if (fine)
    step *= kFineFactor;
  return std::clamp(depth + step, -1.0, 1.0);
}

double DepthGesture::endValue(double start, double depth) { return std::clamp(start + depth, 0.0, 1.0); }

float DepthGesture::committedDepth(double start, double depth)
{
  return static_cast<float>(endValue(start, depth) - start);
}

double DepthGesture::octaves(const plugkit::IParam* param, double start, double depth)
{
  if (!param)
    return 0.0;
  const double a = param->FromNormalized(start);
  const double b = param->FromNormalized(endValue(start, depth));
  if (a > 0.0 && b > 0.0)
    return std::log2(b / a);
  return 0.0;
}

std::string DepthGesture::formatPitchDepth(double octaves)
{
  const long cents = std::lround(std::fabs(octaves) * 1200.0);
  if (cents == 0)
    return "0";
  std::string text = octaves < 0.0 ? "-" : "+";
  const long o = cents / 1200;
  const long s = (cents % 1200) / 100;
  const long c = cents % 100;
  if (o != 0)
    text += std::to_string(o) + "oct ";
  if (o != 0 || s != 0)
    text += std::to_string(s) + "st ";
  text += std::to_string(c) + "ct";
  return text;
}

} // namespace zarvo::midi_cc
