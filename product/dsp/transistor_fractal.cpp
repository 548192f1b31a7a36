#include "product/dsp/transistor_fractal.h"

#include <algorithm>
#include <cmath>

namespace zarvo {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kSqrt2 = 1.4142135623730951;

} // namespace

template <typename T>
BasicTransistorFractal<T>::BasicTransistorFractal()
{
  mMix = pt_depth_shapes[static_cast<int>(FilterPassType::LP)].back();
  setRateKeepingState(44100.0);
}

template <typename T>
void BasicTransistorFractal<T>::setRateKeepingState(double sampleRate) noexcept
{
  mSampleRate = sampleRate;
  const double w = kPi * mFeedbackHpHz / sampleRate;
  mFbHpCoef = w / (1.0 + w);
  const double w2 = 94.24777960769379 / sampleRate;
  mFixedFbHpCoef = w2 / (1.0 + w2);
  const double t = std::tan(kPi * mOutputHpHz / sampleRate);
  mOutHpCoef = t / (1.0 + t);
  setFreq(mRequestedCutoff);
}

template <typename T>
void BasicTransistorFractal<T>::setFreq(T hz)
{
  const double rate = mSampleRate;
  mRequestedCutoff = lanes::map(hz, [](double f) { return std::max(f, 0.0); });
  mCutoff = lanes::map(mRequestedCutoff, [=](double f) { return std::min(rate * 0.5, f); });

  mG = lanes::map(mCutoff, [=](double fc) { return std::tan(kPi * fc / rate); });
  mInv1pG = 1.0 / (1.0 + mG);
  mLadderG = mG / (1.0 + mG);
  mLadderG2 = mLadderG * mLadderG;
  mLadderG3 = mLadderG2 * mLadderG;
  mLadderG4 = mLadderG3 * mLadderG;
  mLadderG16 = mLadderG * SaturationBank::kScale;

  mA = lanes::map(mG, [](double g) { return std::min(kTwoPi, kSqrt2 * g); });
  mDG1 = mA / (1.0 + mA);
  mHalfG1 = mDG1 / 2.0;
  const T halfA = mA / 2.0;
  mB3 = halfA / ((1.0 + mA) - halfA * mHalfG1);
  mB2 = halfA / ((1.0 + mA) - mB3 * halfA);
  mB1 = mA / ((1.0 + mA) - mB2 * mA);
  // At a = 0 the stages hold still; a zero reciprocal gives that limit instead of 0 x inf.
  mInvA = lanes::map(mA, [](double a) { return a > 0.0 ? 1.0 / a : 0.0; });
  mInv1pA = 1.0 / (1.0 + mA);
  mGamma = mB1 * mB2 * mB3 * mHalfG1;
  updateDiodeFeedback();
}

template <typename T>
void BasicTransistorFractal<T>::setResonance(double q)
{
  mK = 4.0 * q;
  mCleanMix = q > 0.75 ? 4.0 * (q - 0.75) : 0.0;
  mDiodeR = q;
  updateDiodeFeedback();
}

template <typename T>
void BasicTransistorFractal<T>::updateDiodeFeedback()
{
  const double rate = mSampleRate, r17 = 17.0 * mDiodeR;
  mDiodeK = lanes::map(mCutoff, [=](double fc) {
    const double x = 2.0 * fc / rate;
    return (1.0 - 0.14 * x * x) * r17 * (1.4 - 0.6 * std::sqrt(x));
  });
  mInvLadderDen = 1.0 / (1.0 + mK * mLadderG4);
  mInvDiodeDen = 1.0 / (1.0 + mDiodeK * mGamma);
}

template <typename T>
void BasicTransistorFractal<T>::setDrive(double d)
{
  mDrive = d;
  mInputGain = 1.0 + 31.0 * d;
  mOutputGain = 1.0 / saturate(0.5 * mInputGain, mSat);
}

template <typename T>
void BasicTransistorFractal<T>::setSaturationType(double type)
{
  mSatType = type;
  mSat = SatCurves::of(type);
  mOutputGain = 1.0 / saturate(0.5 * mInputGain, mSat);
}

template <typename T>
void BasicTransistorFractal<T>::setBreakCharacter(double v)
{
  const BreakSelection s = BreakSelection::of(v);
  setBreakFunctions(s.f1, s.f2, s.blend);
}

template <typename T>
void BasicTransistorFractal<T>::setBreakFunctions(BreakFunction f1, BreakFunction f2, double blend)
{
  mBreakF1 = f1;
  mBreakF2 = f2;
  mBreakChar1 = break_shapes::indexOf(f1);
  mBreakChar2 = break_shapes::indexOf(f2);
  mBreakBlend = blend;
}

template <typename T>
void BasicTransistorFractal<T>::restoreLane1(const State& saved)
{
  for (std::size_t k = 0; k < 4; ++k)
    lanes::keepLane1(mState.stages[k], saved.stages[k]);
  lanes::keepLane1(mState.feedbackLowPass, saved.feedbackLowPass);
  lanes::keepLane1(mState.outputLowPass, saved.outputLowPass);
}

template <typename T>
int BasicTransistorFractal<T>::breakKind() const
{
  if (!(mBreakAmount > 0.0))
    return kBreakOff;
  if (mBreakChar1 < 0 || mBreakChar2 < 0)
    return kBreakByPointer;
  if (!(mBreakBlend > 0.0))
    return mBreakChar1;
  return mBreakChar2 == mBreakChar1 + 1 ? kBreakNeighbours + mBreakChar1 : kBreakBlended;
}

template <typename T>
T BasicTransistorFractal<T>::applyBreakAnyKind(T u) const
{
  if (mBreakChar1 < 0 || mBreakChar2 < 0)
    return applyBreakByPointer(u);
  return applyBreak<kBreakBlended>(u);
}

template <typename T>
T BasicTransistorFractal<T>::applyBreakByPointer(T u) const
{
  return lanes::map(u, [this](double x) {
    return breakWith(
      x, [this](double v) { return mBreakF1(v, mBreakParam, mSatType); },
      [this](double v) { return mBreakF2(v, mBreakParam, mSatType); });
  });
}

template class BasicTransistorFractal<double>;
template class BasicTransistorFractal<v2d>;

} // namespace zarvo
