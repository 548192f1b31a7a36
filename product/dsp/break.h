// The break stage's eleven shaping functions and how a character value picks and blends them.
#pragma once

namespace zarvo {

enum class BreakChar : int
{
  Square = 0,
  BitCrush,
  NSquare,
  NegFiveSat,
  DblCubeSat,
  SinCrest,
  TrigNoise,
  Wavefold,
  Wavefold2,
  TransBird,
  Clicks,
};

inline constexpr int kNumBreakChars = 11;

// x the signal, parameter the break parameter (0 to 1), saturationType the main filter's.
using BreakFunction = double (*)(double x, double parameter, double saturationType);

// Pure functions; any thread.
struct Break
{
  static double square(double x, double p, double s);
  static double bitCrush(double x, double p, double s);
  static double nSquare(double x, double p, double s);
  static double negFiveSat(double x, double p, double s);
  static double dblCubeSat(double x, double p, double s);
  static double sinCrest(double x, double p, double s);
  static double trigNoise(double x, double p, double s);
  static double wavefold(double x, double p, double s);
  static double wavefold2(double x, double p, double s);
  static double transBird(double x, double p, double s);
  static double clicks(double x, double p, double s);

  // Characters outside 0..10 are clamped into it.
  static BreakFunction getFunction(BreakChar c);
};

// The two functions a break character value v (0 to 10) selects and the blend between them.
struct BreakSelection
{
  BreakFunction f1 = Break::square;
  BreakFunction f2 = Break::square;
  double blend = 0.0;

  // Within 0.1 of an integer one function alone; otherwise the neighbours cross-fade from
  // floor(v) + 0.1 to floor(v) + 0.9. Values outside 0..10 (NaN too) are clamped into it.
  static BreakSelection of(double v);
};

} // namespace zarvo
