// The field overlay's appearance settings as the pad's sliders, their resets and the overlay itself
// use them: ranges, reset values, the iso level count and the line greys.
#pragma once

#include <algorithm>
#include <cmath>

namespace zarvo::morph::appearance {

// Line brightness 0..1; at or below kHiddenBrightness nothing of the overlay is drawn.
constexpr float kDefaultLineBrightness = 0.42f;
constexpr float kHiddenBrightness = 0.001f;
// The guide grid's share of the line brightness.
constexpr float kGridBrightness = 0.5476191f;

// The iso setting 0..14; 0 switches the overlay off.
constexpr int kMaxIsoLevels = 14;
constexpr int kDefaultIsoLevels = 6;

// Grid step as a fraction of the field width: 0.02 (50 cells across) to 1.
constexpr float kMinGridStep = 0.02f;
constexpr float kMaxGridStep = 1.f;
constexpr float kDefaultGridStep = 1.f / 11.f;
constexpr float kMaxGridCells = 50.f;

// The contrast slider's sigma range: 2 at the left end, 0.02 at the right.
constexpr double kMaxSigma = 2.0;
constexpr double kMinSigma = 0.02;

// Number of iso levels of an iso setting: 0 for n <= 0, else one less than the n-th integer from 2 up
// that 2, 3 or 5 divides (1, 2, 3, 4, 5, 7, 8, 9, 11, 13, 14, 15, 17, 19 for 1..14), so that the
// labelled levels fall on halves, thirds, quarters or fifths.
constexpr int isoLevelCountFor(int n)
{
  if (n <= 0)
    return 0;
  int found = 0;
  for (int k = 2;; ++k)
  {
    if (k % 2 == 0 || k % 3 == 0 || k % 5 == 0)
    {
      if (++found == n)
        return k - 1;
    }
  }
}

constexpr int clampIsoLevels(int n) { return std::clamp(n, 0, kMaxIsoLevels); }

constexpr float clampGridStep(float step)
{
  step = std::min(kMaxGridStep, step);
  if (step < kMinGridStep)
    step = kMinGridStep;
  return step;
}

constexpr double clampSigma(double sigma)
{
  sigma = std::min(sigma, kMaxSigma);
  if (sigma < kMinSigma)
    sigma = kMinSigma;
  return sigma;
}

// Where a sigma sits on the contrast slider, 0..1 (0 at sigma 2).
inline float contrastOf(double sigma)
{
  return std::clamp(static_cast<float>((kMaxSigma - sigma) / (kMaxSigma - kMinSigma)), 0.f, 1.f);
}

// The grey between grayMin (brightness 0) and grayMax (brightness 1).
inline int grayAt(float brightness, int grayMin, int grayMax)
{
  return static_cast<int>(
    std::lround(static_cast<float>(grayMax - grayMin) * brightness + static_cast<float>(grayMin)));
}

} // namespace zarvo::morph::appearance
