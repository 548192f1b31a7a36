// The main filter: a four-stage zero-delay-feedback ladder (or the diode model) with drive,
// per-stage saturation, the break stage in the feedback loop and a DC-blocking output.
#pragma once

#include <array>
#include <type_traits>
#include <utility>

#include "product/dsp/break.h"
#include "product/dsp/lanes.h"
#include "product/dsp/pass_types.h"
#include "product/dsp/saturation.h"
#include "utils/process_setup.h"

namespace zarvo {

// T is double for one channel (TransistorFractal) or v2d for a channel pair in lanes; only the
// cutoff may differ between lanes, every other setting applies to both. Every setting takes
// effect at the next sample. Audio thread, except prepare() (set-up time).
// How the break stage runs over a stretch of samples: one character's shape (0..10) inline, a
// character blended with the next (kBreakNeighbours + the first), any two characters blended, other
// functions lane by lane through their pointers, or not at all; kBreakAnyKind decides sample by
// sample.
enum BreakKind : int
{
  kBreakNeighbours = kNumBreakChars,
  kBreakBlended = kBreakNeighbours + kNumBreakChars - 1,
  kBreakByPointer,
  kBreakOff,
  kBreakAnyKind,
};

template <typename T>
class BasicTransistorFractal
{
public:
  struct State
  {
    std::array<T, 4> stages{};
    T feedbackLowPass{}; // the part of the feedback the low-cut removes
    T outputLowPass{};   // the part of the output the DC blocker removes
  };

  BasicTransistorFractal();

  // Set-up time: the rate, then cleared states. Nothing here depends on the block size.
  void prepare(const ProcessSetup& setup)
  {
    setRateKeepingState(setup.sampleRate);
    reset();
  }
  // Recomputes the rate-dependent coefficients and re-applies the requested cutoff; the owner's
  // oversampling factor may change between blocks without a reset.
  void setRateKeepingState(double sampleRate) noexcept;
  // Kept as requested (negative reads as 0); the ladder runs at no more than half the rate.
  void setFreq(T hz);
  // q 0..1: ladder feedback 4q, diode resonance q; above 0.75 the input saturation fades out.
  void setResonance(double q);
  // d 0..1: input gain 1 + 31d, output gain undoing the curve's gain at half the input gain.
  void setDrive(double d);
  void setSaturationType(double type);
  void setStageMix(const stage_coeffs& mix) { mMix = mix; }
  // How much of the feedback's band below 30 Hz is removed (0 keeps the full band).
  void setFeedbackLowCut(double fb) { mFeedbackLowCut = fb; }
  void setBreakIntensity(double amount) { mBreakAmount = amount; }
  // v 0..10: selects one or two break functions and their blend.
  void setBreakCharacter(double v);
  void setBreakFunctions(BreakFunction f1, BreakFunction f2, double blend);
  void setBreakParam(double p)
  {
    mBreakParam = p;
    mWavefold2Weights = break_shapes::wavefold2Weights(p);
  }
  void setBreakDouble(double amount) { mBreakDouble = amount; }
  void setInvertFeedback(bool invert) { mInvertFeedback = invert; }
  void setDiodeModel(bool diode) { mDiodeModel = diode; }
  // 0 none, 1 input boost by the feedback amount, 2 feedback always high-passed at 30 Hz.
  void setResonanceCompensation(int mode) { mResCompMode = mode; }
  // Clears the stage, feedback and output states.
  void reset() noexcept { mState = State{}; }

  // One output sample; feedbackGain scales the resonance feedback (the damping detector's
  // factor, 1 when it is idle).
  T process(T x, T feedbackGain) noexcept { return process(mState, x, feedbackGain); }
  T processDiode(T x, T feedbackGain) noexcept { return processDiode(mState, x, feedbackGain); }
  T processSample(T x, T feedbackGain) noexcept { return processSample(mState, x, feedbackGain); }

  // The same on states the caller holds: a loop over many samples runs on a copy of state(),
  // which stays in registers, and hands it back with setState(). Kind is breakKind() for the
  // settings in force, or kBreakAnyKind.
  template <int Kind = kBreakAnyKind>
  T process(State& s, T x, T feedbackGain) const noexcept;
  template <int Kind = kBreakAnyKind>
  T processDiode(State& s, T x, T feedbackGain) const noexcept;
  template <int Kind = kBreakAnyKind>
  [[gnu::always_inline]] T processSample(State& s, T x, T feedbackGain) const noexcept
  {
    return mDiodeModel ? processDiode<Kind>(s, x, feedbackGain) : process<Kind>(s, x, feedbackGain);
  }

  // How the break stage runs with the settings in force.
  int breakKind() const;
  // Calls body(std::integral_constant<int, breakKind()>()), so that a loop in the body runs the
  // break stage inline without deciding per sample. The settings must not change inside.
  template <typename Body>
  [[gnu::always_inline]] void withBreakKind(Body&& body) const;

  const State& state() const { return mState; }
  void setState(const State& s) { mState = s; }
  // Puts back lane 1 of saved states (a one-channel block leaves lane 1 as it was).
  void restoreLane1(const State& saved);

  bool isDiodeModel() const { return mDiodeModel; }
  double sampleRate() const { return mSampleRate; }
  T requestedCutoff() const { return mRequestedCutoff; }
  T effectiveCutoff() const { return mCutoff; }
  T g() const { return mG; }
  double feedback() const { return mK; }
  double cleanMix() const { return mCleanMix; }
  double inputGain() const { return mInputGain; }
  double outputGain() const { return mOutputGain; }
  T diodeFeedback() const { return mDiodeK; }

private:
  void updateDiodeFeedback();
  T feedbackSignal(T& lowPass, T S) const;
  template <int Kind>
  T saturateInput(T u) const;
  // The break stage on both lanes at once when the functions are the Break functions, else lane by
  // lane through the function pointers.
  template <int Kind>
  T applyBreak(T u) const;
  // Break character Char's shape at x.
  template <int Char>
  T shape(T x) const;
  T applyBreakAnyKind(T u) const;
  T applyBreakByPointer(T u) const;
  template <typename U, typename Shape1, typename Shape2>
  U breakWith(U u, Shape1 shape1, Shape2 shape2) const;
  T output(T& lowPass, T u, T y1, T y2, T y3, T y4) const;

  stage_coeffs mMix{};
  double mSatType = 0.0;
  SatCurves mSat;
  double mFeedbackLowCut = 1.0;
  double mCleanMix = 1.0;
  double mSampleRate = 44100.0;
  T mRequestedCutoff = lanes::splat<T>(22000.0);
  T mCutoff = lanes::splat<T>(22000.0);
  double mOutputHpHz = 5.0;
  double mFeedbackHpHz = 30.0;
  double mK = 0.0; // ladder feedback, 4 x resonance
  State mState;
  // Ladder coefficients: g, 1/(1+g), G = g/(1+g) and its powers, 16 G (the saturation table's
  // scale folded in) and 1 / (1 + k G^4).
  T mG{}, mInv1pG{}, mLadderG{}, mLadderG2{}, mLadderG3{}, mLadderG4{}, mLadderG16{}, mInvLadderDen{};
  double mDrive = 0.0;
  double mInputGain = 1.0;
  double mOutputGain = 1.0;
  double mOutHpCoef = 0.0;
  double mFbHpCoef = 0.0;
  double mFixedFbHpCoef = 0.0;
  double mBreakAmount = 0.0, mBreakBlend = 0.0, mBreakParam = 0.0;
  BreakFunction mBreakF1 = Break::square;
  BreakFunction mBreakF2 = Break::square;
  std::array<double, 4> mWavefold2Weights = break_shapes::wavefold2Weights(0.0);
  int mBreakChar1 = 0; // the characters of f1 and f2, -1 for any other function
  int mBreakChar2 = 0;
  double mBreakDouble = 0.0;
  bool mInvertFeedback = false;
  bool mDiodeModel = false;
  double mDiodeR = 0.0;
  // Diode coefficients a, G1 = a/(1+a), b1..b3, G1/2 and the reciprocals that spare per-sample
  // divisions; K is the diode feedback.
  T mA{}, mDG1{}, mB1{}, mB2{}, mB3{}, mHalfG1{}, mInvA{}, mInv1pA{}, mGamma{}, mDiodeK{}, mInvDiodeDen{};
  int mResCompMode = 0;
};

// Instantiated for double and v2d in transistor_fractal.cpp (the setters live there).
using TransistorFractal = BasicTransistorFractal<double>;

// Per-sample work lives here so the model's loop can inline it.

namespace detail {

// One trapezoidal integrator with its increment saturated; returns the stage output.
template <typename T>
[[gnu::always_inline]] inline T ladderStage(T in, T& s, T gain, const SatCurves& sat)
{
  const T v = saturate((in - s) * gain, sat);
  const T y = s + v;
  s = y + v;
  return y;
}

} // namespace detail

template <typename T>
[[gnu::always_inline]] inline T BasicTransistorFractal<T>::feedbackSignal(T& z, T S) const
{
  const bool fixedCut = mResCompMode == 2;
  const T v = (S - z) * (fixedCut ? mFixedFbHpCoef : mFbHpCoef);
  const T l = z + v;
  z = l + v;
  return S - (fixedCut ? 1.0 : mFeedbackLowCut) * l;
}

namespace detail {

template <typename Body, int... Kinds>
[[gnu::always_inline]] inline void withKind(int kind, Body& body, std::integer_sequence<int, Kinds...>)
{
  (void)((kind == Kinds && (body(std::integral_constant<int, Kinds>()), true)) || ...);
}

} // namespace detail

template <typename T>
template <typename Body>
[[gnu::always_inline]] inline void BasicTransistorFractal<T>::withBreakKind(Body&& body) const
{
  detail::withKind(breakKind(), body, std::make_integer_sequence<int, kBreakOff + 1>());
}

template <typename T>
template <int Char>
[[gnu::always_inline]] inline T BasicTransistorFractal<T>::shape(T x) const
{
  if constexpr (Char == static_cast<int>(BreakChar::Wavefold2))
    return break_shapes::wavefold2With(x, mWavefold2Weights);
  else
    return break_shapes::apply(Char, x, mBreakParam, mSat);
}

template <typename T>
template <typename U, typename Shape1, typename Shape2>
[[gnu::always_inline]] inline U BasicTransistorFractal<T>::breakWith(U u, Shape1 shape1, Shape2 shape2) const
{
  const auto shape = [&](U in) {
    U b = shape1(in);
    if (mBreakBlend > 0.0)
      b = b * (1.0 - mBreakBlend) + shape2(in) * mBreakBlend;
    return b;
  };
  U b = shape(u);
  if (mBreakDouble > 0.0)
    b = b * (1.0 - mBreakDouble) + shape(b) * mBreakDouble;
  if (mInvertFeedback)
    b = saturate(-b, mSat);
  return u * (1.0 - mBreakAmount) + b * mBreakAmount;
}

template <typename T>
template <int Kind>
[[gnu::always_inline]] inline T BasicTransistorFractal<T>::applyBreak(T u) const
{
  if constexpr (Kind < kNumBreakChars)
    // Blend 0: the second function is never asked.
    return breakWith(
      u, [this](T x) { return shape<Kind>(x); }, [](T x) { return x; });
  else if constexpr (Kind < kBreakBlended)
    return breakWith(
      u, [this](T x) { return shape<Kind - kBreakNeighbours>(x); },
      [this](T x) { return shape<Kind - kBreakNeighbours + 1>(x); });
  else if constexpr (Kind == kBreakBlended)
    return breakWith(
      u, [this](T x) { return break_shapes::apply(mBreakChar1, x, mBreakParam, mSat); },
      [this](T x) { return break_shapes::apply(mBreakChar2, x, mBreakParam, mSat); });
  else if constexpr (Kind == kBreakByPointer)
    return applyBreakByPointer(u);
  else
    return applyBreakAnyKind(u);
}

template <typename T>
template <int Kind>
[[gnu::always_inline]] inline T BasicTransistorFractal<T>::saturateInput(T u) const
{
  if (mCleanMix == 0.0)
    u = saturate(u, mSat);
  else if (mCleanMix != 1.0)
    u = u * mCleanMix + saturate(u, mSat) * (1.0 - mCleanMix);
  if constexpr (Kind == kBreakAnyKind)
  {
    if (mBreakAmount > 0.0)
      u = applyBreakAnyKind(u);
  }
  else if constexpr (Kind != kBreakOff)
    u = applyBreak<Kind>(u);
  return u;
}

template <typename T>
[[gnu::always_inline]] inline T BasicTransistorFractal<T>::output(T& z, T u, T y1, T y2, T y3, T y4) const
{
  const T sum = mMix[0] * u + mMix[1] * y1 + mMix[2] * y2 + mMix[3] * y3 + mMix[4] * y4;
  const T o = saturate(0.5 * sum, mSat) * mOutputGain;
  const T v = (o - z) * mOutHpCoef;
  const T l = z + v;
  z = l + v;
  return o - l;
}

template <typename T>
template <int Kind>
[[gnu::always_inline]] inline T BasicTransistorFractal<T>::process(State& state, T x, T feedbackGain) const noexcept
{
  T u0 = x * mInputGain;
  if (mResCompMode == 1)
    u0 *= 1.0 + mK;

  // S = (G^3 s1 + G^2 s2 + G s3 + s4) / (1 + g) is the part of stage 4's output that does not
  // depend on this sample's input. The feedback low-cut gives F = S - w l with the one-pole
  // low-pass l = z + (S - z) c, so F = (1 - w c) S - w (1 - c) z, and the stage input is
  // u = (u0 - gain k F) / (1 + k G^4). Regrouped, the next sample waits on the last stage's state
  // through one multiply and one subtraction instead of the whole feedback path.
  std::array<T, 4>& s = state.stages;
  T& z = state.feedbackLowPass;
  const bool fixedCut = mResCompMode == 2;
  const double c = fixedCut ? mFixedFbHpCoef : mFbHpCoef;
  const double w = fixedCut ? 1.0 : mFeedbackLowCut;
  const double alpha = 1.0 - w * c;
  const T beta = w * (1.0 - c) * z;
  const T sHead = (mLadderG3 * s[0] + mLadderG2 * s[1] + mLadderG * s[2]) * mInv1pG;
  const T kf = feedbackGain * mK * mInvLadderDen;
  const T u = saturateInput<Kind>((u0 * mInvLadderDen - kf * (alpha * sHead - beta)) - (kf * alpha * mInv1pG) * s[3]);
  const T S = sHead + s[3] * mInv1pG;
  const T lv = (S - z) * c;
  z = z + lv + lv;

  // Stage k: v = sat((in - s) G), y = s + v, s = y + v, with `in` the previous stage's output
  // y' = s' + v'. The table position 16 (in - s) G + 2048 is formed as 16 G v' plus a part known
  // before the sample starts, so each stage waits on the one before through one multiply-add.
  const T g16 = mLadderG16;
  const T s1 = s[0], s2 = s[1], s3 = s[2], s4 = s[3];
  const T v1 = saturateAt(u * g16 + (2048.0 - s1 * g16), mSat);
  const T v2 = saturateAt(v1 * g16 + (2048.0 + (s1 - s2) * g16), mSat);
  const T v3 = saturateAt(v2 * g16 + (2048.0 + (s2 - s3) * g16), mSat);
  const T v4 = saturateAt(v3 * g16 + (2048.0 + (s3 - s4) * g16), mSat);
  const T y1 = s1 + v1, y2 = s2 + v2, y3 = s3 + v3, y4 = s4 + v4;
  s[0] = y1 + v1;
  s[1] = y2 + v2;
  s[2] = y3 + v3;
  s[3] = y4 + v4;
  return output(state.outputLowPass, u, y1, y2, y3, y4);
}

template <typename T>
template <int Kind>
[[gnu::always_inline]] inline T BasicTransistorFractal<T>::processDiode(State& state, T x,
                                                                        T feedbackGain) const noexcept
{
  T u0 = x * mInputGain;
  if (mResCompMode == 1)
    u0 *= 1.0 + 17.0 * mDiodeR;
  std::array<T, 4>& s = state.stages;
  const T t4 = s[3] * mInv1pA;
  const T u3 = mB3 * (2.0 * s[2] * mInvA + t4);
  const T u2 = mB2 * (2.0 * s[1] * mInvA + u3);
  const T u1 = mB1 * (s[0] * mInvA + u2);
  const T S = mB2 * mB3 * mHalfG1 * u1 + mB3 * mHalfG1 * u2 + mHalfG1 * u3 + t4;
  const T F = feedbackSignal(state.feedbackLowPass, S);
  const T u = saturateInput<Kind>((u0 - saturate(feedbackGain * F * mDiodeK, mSat)) * mInvDiodeDen);
  const T Y2 = mB2 * (mB1 * u + u1) + u2;
  const T Y3 = mB3 * Y2 + u3;
  const T Y4 = mHalfG1 * Y3 + t4;
  const T y1 = detail::ladderStage(u + Y2, s[0], mDG1, mSat);
  const T y2 = detail::ladderStage((y1 + Y3) * 0.5, s[1], mDG1, mSat);
  const T y3 = detail::ladderStage((y2 + Y4) * 0.5, s[2], mDG1, mSat);
  const T y4 = detail::ladderStage(y3 * 0.5, s[3], mDG1, mSat);
  return output(state.outputLowPass, u, y1, y2, y3, y4);
}

} // namespace zarvo
