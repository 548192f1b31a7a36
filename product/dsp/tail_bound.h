// How long the effect can ring after its input falls silent, from the settings that decide it.
#pragma once

#include <array>

namespace zarvo {

// Settings in plain units. Any thread; pure.
struct TailSettings
{
  double mainCutoffHz = 20000.0;
  double mainResonance = 0.5; // 0..1
  bool diodeModel = false;
  // 1 keeps the low band out of the resonance feedback (LP, BR, P); below 1 some of it stays.
  double feedbackLowCut = 1.0;
  double breakAmount = 0.0;
  // Whether the pre-filters reach the output: band mode not 0, or a negative band mix.
  bool preFiltersHeard = false;
  std::array<double, 2> preCutoffHz = {20000.0, 20000.0};
  std::array<double, 2> preResonance = {0.5, 0.5};
  double dampingReleaseMs = 100.0; // 2000 and above switch the damping detector off ("R inf")
  double dampingHoldMs = 2.0;
  // Linear gain the ring meets beyond the measured chain (stage weights above the built-in shapes',
  // the negative band mix, the output gain); 1 or less adds nothing.
  double outputGain = 1.0;

  // Takes the worse of each setting, so the result covers what either could ring out.
  void widen(const TailSettings& other);
};

// Seconds after the input stops until the output stays below -90 dBFS, bounded from above; infinity
// where the settings let the effect sustain itself.
double tailBoundSeconds(const TailSettings& settings);

// The tail a host is told, in samples at the host rate: the bound rounded up to a step of 1/8 s
// times a power of two, so that small setting changes do not change it; INT_MAX (the framework's
// infinite tail) for an infinite bound or one beyond a minute.
int tailBoundSamples(double seconds, double hostRate);

} // namespace zarvo
