#include "product/audio/model_params.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace zarvo {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using PreFilter = VemlorModel::PreFilter;

// One ramp step: stops at the target instead of passing it.
void rampStep(double& v, double step, double target)
{
  if (step == 0.0)
    return;
  v += step;
  if ((step > 0.0 && v > target) || (step < 0.0 && v < target))
    v = target;
}

// The saturation type runs round its cycle of 3 and is not stopped at the target.
void rampStepCyclic(double& v, double step)
{
  v += step;
  if (v >= 3.0)
    v -= 3.0;
  else if (v < 0.0)
    v += 3.0;
}

bool sameBits(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

int slotOf(int param) { return modSlotOf(param); }

constexpr std::array<ramp::Index, 3> kStageCutoff = {ramp::kMainCutoff, ramp::kPreAFreq, ramp::kPreBFreq};
constexpr std::array<ramp::Index, 3> kStageDetune = {ramp::kMainDetune, ramp::kPreADetune, ramp::kPreBDetune};

// Ramped values read from the record as they are, with their parameters.
struct PlainField
{
  ramp::Index index;
  EParams param;
};

constexpr PlainField kPlainFields[] = {
  {ramp::kMainCutoff, par_main_cutoff_hz},
  {ramp::kMainResonance, par_main_resonance},
  {ramp::kMainDrive, par_main_drive},
  {ramp::kBreakIntensity, par_break_intensity},
  {ramp::kBreakCharacter, par_break_character},
  {ramp::kBreakParam, par_break_param},
  {ramp::kBreakDouble, par_break_double},
  {ramp::kPreAFreq, par_preFlt_A_hz},
  {ramp::kPreARes, par_preFlt_A_res},
  {ramp::kPreBFreq, par_preFlt_B_hz},
  {ramp::kPreBRes, par_preFlt_B_res},
  {ramp::kBandMode, par_preFlt_band_mode},
  {ramp::kProcessingOrder, par_preFlt_processing_order},
  {ramp::kNegBandMix, par_neg_band_mix},
  {ramp::kMainDetune, par_main_detune},
  {ramp::kPreADetune, par_preFlt_A_detune},
  {ramp::kPreBDetune, par_preFlt_B_detune},
};

// Stored with the conversions parameter-change handling applies; every other stored parameter
// keeps its plain value.
enum class Conversion
{
  Plain,
  Truncate,
  MinusOne,
  Switch,
  Decibels,
  None, // not stored here
};

Conversion conversionOf(int param)
{
  if (param >= par_main_midi_note_on && param <= par_preB_midi_cc_channel)
    return Conversion::None;
  switch (param)
  {
  case par_preFlt_A_pt:
  case par_preFlt_B_pt:
  case par_main_pass_type:
  case par_main_filter_model:
  case par_main_res_comp: return Conversion::Truncate;
  case par_break_character: return Conversion::MinusOne;
  case par_break_invert_fb:
  case par_main_ub_on:
  case par_preFlt_A_ub_on:
  case par_preFlt_B_ub_on: return Conversion::Switch;
  case par_main_gain: return Conversion::Decibels;
  case par_main_pt_variation:
  case par_morph_active:
  case par_morph_x:
  case par_morph_y:
  case par_main_cutoff_note_anchored:
  case par_preA_cutoff_note_anchored:
  case par_preB_cutoff_note_anchored: return Conversion::None;
  default: return Conversion::Plain;
  }
}

// A pre-filter's weights: its user blend, or the row of its pass type.
svf_coeffs preFilterWeights(const BlockParamRecord& record, int passTypeIndex, EParams ubOn, EParams ubLp)
{
  if (record.value(ubOn) != 0.0)
    return {record.value(ubLp), record.value(ubLp + 1), record.value(ubLp + 2)};
  if (passTypeIndex < 0 || passTypeIndex >= static_cast<int>(kPreFltPassTypes.size()))
    return {1.0, 0.0, 0.0};
  return preFilterMixOf(kPreFltPassTypes[static_cast<size_t>(passTypeIndex)]);
}

} // namespace

// ---- ParamSnapshot, CurParams

void ParamSnapshot::setMainShape(const stage_coeffs& coeffs, double feedback)
{
  std::copy(coeffs.begin(), coeffs.end(), ramped.begin() + ramp::kShape0);
  (*this)[ramp::kMainFeedback] = feedback;
}

void ParamSnapshot::setPreFilterMix(PreFilter which, const svf_coeffs& mix)
{
  const int first = which == PreFilter::A ? ramp::kPreALowPass : ramp::kPreBLowPass;
  std::copy(mix.begin(), mix.end(), ramped.begin() + first);
}

void CurParams::markUnset()
{
  ramped.fill(kNaN);
  breakInvert = -1;
  dampingRelease = dampingThreshold = dampingHold = kNaN;
  preAPassType = preBPassType = -1;
}

void CurParams::computeStepsTo(ParamStep& step, const ParamSnapshot& snap, double ticks) const
{
  for (size_t i = 0; i < ramped.size(); ++i)
  {
    double d = snap.ramped[i] - ramped[i];
    if (i == ramp::kSaturationType)
      d = d > 1.5 ? d - 3.0 : (d < -1.5 ? d + 3.0 : d);
    // A value at its target needs no division: zero over the tick count is that zero.
    step[i] = d != 0.0 ? d / ticks : d;
  }
}

void CurParams::snapContinuousFrom(const ParamSnapshot& snap) { ramped = snap.ramped; }

void CurParams::snapAllFrom(const ParamSnapshot& snap)
{
  ramped = snap.ramped;
  breakInvert = snap.breakInvert;
  dampingRelease = snap.dampingRelease;
  dampingThreshold = snap.dampingThreshold;
  dampingHold = snap.dampingHold;
  preAPassType = snap.preAPassType;
  preBPassType = snap.preBPassType;
}

// ---- BlockParamRecord

BlockParamRecord::BlockParamRecord()
{
  for (auto& v : mValues)
    v.store(0.0, std::memory_order_relaxed);
}

bool BlockParamRecord::store(int param, double plainValue)
{
  if (param == par_oversampling)
  {
    const double exponent = std::isnan(plainValue) ? 0.0 : std::clamp(std::trunc(plainValue), 0.0, 3.0);
    mOversampling.store(std::exp2(exponent), std::memory_order_relaxed);
    mChanges.fetch_add(1, std::memory_order_release);
    return true;
  }
  if (param < 0 || param >= kNumParams)
    return false;
  double stored = plainValue;
  switch (conversionOf(param))
  {
  case Conversion::None: return false;
  case Conversion::Plain: break;
  case Conversion::Truncate:
    stored = std::isnan(plainValue) ? 0.0 : std::trunc(std::clamp(plainValue, -1e9, 1e9));
    break;
  case Conversion::MinusOne: stored = plainValue - 1.0; break;
  case Conversion::Switch: stored = plainValue != 0.0 ? 1.0 : 0.0; break;
  case Conversion::Decibels: stored = std::exp(kDbToLinear * plainValue); break;
  }
  mValues[static_cast<size_t>(param)].store(stored, std::memory_order_relaxed);
  mChanges.fetch_add(1, std::memory_order_release);
  return true;
}

void BlockParamRecord::buildSnapshot(ParamSnapshot& snap, OutputStage& out, const ParamModulator& modulator) const
{
  for (const PlainField& f : kPlainFields)
    snap[f.index] = value(f.param);
  const double sat = value(par_main_saturation_type);
  snap[ramp::kSaturationType] = sat < 3.0 ? sat : sat - 3.0;
  snap.mainPassType = static_cast<int>(value(par_main_pass_type));
  snap.passTypeDepth = value(par_main_pt_depth);
  snap.passTypeTilt = value(par_main_pt_tilt);
  snap.breakInvert = static_cast<int>(value(par_break_invert_fb));
  snap.dampingRelease = value(par_damping_release);
  snap.dampingThreshold = value(par_damping_thresh);
  snap.dampingHold = value(par_damping_hold);
  snap.preAPassType = static_cast<int>(value(par_preFlt_A_pt));
  snap.preBPassType = static_cast<int>(value(par_preFlt_B_pt));

  if (value(par_main_ub_on) != 0.0)
    snap.setMainShape({value(par_main_ub_u), value(par_main_ub_y1), value(par_main_ub_y2), value(par_main_ub_y3),
                       value(par_main_ub_y4)},
                      value(par_main_ub_fb));
  else
  {
    const auto type = static_cast<FilterPassType>(snap.mainPassType);
    snap.setMainShape(shapeOf(type, modulator.composeRelativeCC(par_main_pt_depth, snap.passTypeDepth),
                              modulator.composeRelativeCC(par_main_pt_tilt, snap.passTypeTilt)),
                      feedbackOf(type));
  }
  snap.setPreFilterMix(PreFilter::A,
                       preFilterWeights(*this, snap.preAPassType, par_preFlt_A_ub_on, par_preFlt_A_ub_lp));
  snap.setPreFilterMix(PreFilter::B,
                       preFilterWeights(*this, snap.preBPassType, par_preFlt_B_ub_on, par_preFlt_B_ub_lp));

  out.dryWet = value(par_dry_wet);
  out.gain = value(par_main_gain);
  out.gainOnDry = value(par_gain_on_dry);
}

// ---- ModelParamUpdater

ModelParamUpdater::ModelParamUpdater(VemlorModel& model, NoteModeController& notes, const ModulationView& modulation)
  : mModel(model)
  , mNotes(notes)
  , mModulation(modulation)
{
  clearModulationCache();
}

std::array<double*, 3> ModelParamUpdater::stageCutoffs()
{
  return {&mCur[ramp::kMainCutoff], &mCur[ramp::kPreAFreq], &mCur[ramp::kPreBFreq]};
}

void ModelParamUpdater::clearModulationCache()
{
  mModApplied.fill(kNaN);
  mSettled = false;
}

void ModelParamUpdater::computeSteps(const ParamSnapshot& snap, double ticks)
{
  // While a patch holds still, block after block asks for the same steps.
  if (mStepsValid && ticks == mStepsTicks &&
      std::memcmp(snap.ramped.data(), mStepsTarget.data(), sizeof(mStepsTarget)) == 0 &&
      std::memcmp(mCur.ramped.data(), mStepsFrom.data(), sizeof(mStepsFrom)) == 0)
    return;
  mStepsValid = true;
  mStepsTicks = ticks;
  mStepsTarget = snap.ramped;
  mStepsFrom = mCur.ramped;
  mCur.computeStepsTo(mStep, snap, ticks);
  // Steps too small to move a value (a ramp that has arrived, or one within its last bits) leave
  // the ticks nothing to do.
  mStill = true;
  for (size_t i = 0; i < mStep.size() && mStill; ++i)
  {
    double v = mCur.ramped[i];
    if (i == ramp::kSaturationType)
      rampStepCyclic(v, mStep[i]);
    else
      rampStep(v, mStep[i], snap.ramped[i]);
    mStill = sameBits(v, mCur.ramped[i]);
  }
}

double ModelParamUpdater::composed(int param, double value) const
{
  const ModulationView::Slot& s = mModulation.slot(static_cast<size_t>(slotOf(param)));
  return s.active ? composeRelativeCC(*s.param, s.frequency, s.settings, value) : value;
}

bool ModelParamUpdater::tickChangesNothing(const ParamSnapshot& snap) const
{
  if (!mStill || !mSettled || mModulation.anyActive())
    return false;
  for (int k = 0; k < 3; ++k)
    if (mNotes.followsNotes(k))
      return false;
  return snap.breakInvert == mCur.breakInvert && sameBits(snap.dampingRelease, mCur.dampingRelease) &&
         sameBits(snap.dampingThreshold, mCur.dampingThreshold) && sameBits(snap.dampingHold, mCur.dampingHold) &&
         std::memcmp(mCur.ramped.data(), mSettledCur.ramped.data(), sizeof(mCur.ramped)) == 0;
}

bool ModelParamUpdater::modulatedChanged(int param, double value, double& composed)
{
  composed = this->composed(param, value);
  double& applied = mModApplied[static_cast<size_t>(slotOf(param))];
  if (composed == applied)
    return false;
  applied = composed;
  return true;
}

void ModelParamUpdater::updateModelParams(const ParamSnapshot& snap, int filterModel, int resonanceCompensation)
{
  using namespace ramp;
  const auto step = [&](Index i) { rampStep(mCur[i], mStep[static_cast<size_t>(i)], snap[i]); };
  double v = 0.0;

  if (filterModel != mLastFilterModel)
  {
    mLastFilterModel = filterModel;
    mModel.setFilterModel(filterModel);
  }
  if (resonanceCompensation != mLastResonanceCompensation)
  {
    mLastResonanceCompensation = resonanceCompensation;
    mModel.setResonanceCompensation(resonanceCompensation);
  }
  if (tickChangesNothing(snap))
    return;

  for (int k = 0; k < 3; ++k)
  {
    const Index cutoffIdx = kStageCutoff[static_cast<size_t>(k)];
    const Index detuneIdx = kStageDetune[static_cast<size_t>(k)];
    const int cutoffPid = kStageCutoffPid[static_cast<size_t>(k)];
    const int detunePid = kStageDetunePid[static_cast<size_t>(k)];
    step(detuneIdx);
    double f = 0.0;
    if (mNotes.followsNotes(k))
      f = mNotes.advanceTick(k);
    else
    {
      step(cutoffIdx);
      f = mCur[cutoffIdx];
    }
    const ModulationView::Slot& cutoffSlot = mModulation.slot(static_cast<size_t>(slotOf(cutoffPid)));
    if (cutoffSlot.active)
    {
      const SlotModulation& m = cutoffSlot.settings;
      const double c = m.bipolar ? 2.0 * (m.controllerValue - 0.5) : m.controllerValue;
      const double octaves = mNotes.smoothCutoffModulation(k, c * m.depth);
      f = std::clamp(f * std::exp2(octaves), 1.0, 20000.0);
    }
    const double dt = composed(detunePid, mCur[detuneIdx]);
    double& fApplied = mModApplied[static_cast<size_t>(slotOf(cutoffPid))];
    double& dtApplied = mModApplied[static_cast<size_t>(slotOf(detunePid))];
    if (f == fApplied && dt == dtApplied)
      continue;
    if (k == 0)
      mModel.setMainCutoff(f, dt);
    else
      mModel.setPreFilterCutoff(k == 1 ? PreFilter::A : PreFilter::B, f, dt);
    fApplied = f;
    dtApplied = dt;
  }

  step(kMainResonance);
  if (modulatedChanged(par_main_resonance, mCur[kMainResonance], v))
    mModel.setMainResonance(v);
  step(kMainDrive);
  if (modulatedChanged(par_main_drive, mCur[kMainDrive], v))
    mModel.setMainDrive(v);
  rampStepCyclic(mCur[kSaturationType], mStep[kSaturationType]);
  if (modulatedChanged(par_main_saturation_type, mCur[kSaturationType], v))
    mModel.setSaturationType(v);

  bool shapeMoves = false;
  for (int i = kShape0; i <= kShape4; ++i)
  {
    step(static_cast<Index>(i));
    shapeMoves = shapeMoves || mStep[static_cast<size_t>(i)] != 0.0;
  }
  if (shapeMoves)
    mModel.setStageMix({mCur[kShape0], mCur[kShape1], mCur[kShape2], mCur[kShape3], mCur[kShape4]});
  if (mStep[kMainFeedback] != 0.0)
  {
    step(kMainFeedback);
    mModel.setFeedbackLowCut(mCur[kMainFeedback]);
  }

  for (const PreFilter which : {PreFilter::A, PreFilter::B})
  {
    const int first = which == PreFilter::A ? kPreALowPass : kPreBLowPass;
    bool moves = false;
    for (int i = first; i < first + 3; ++i)
    {
      step(static_cast<Index>(i));
      moves = moves || mStep[static_cast<size_t>(i)] != 0.0;
    }
    if (moves)
      mModel.setPreFilterMix(which,
                             {mCur.ramped[static_cast<size_t>(first)], mCur.ramped[static_cast<size_t>(first) + 1],
                              mCur.ramped[static_cast<size_t>(first) + 2]});
  }

  step(kBreakIntensity);
  if (modulatedChanged(par_break_intensity, mCur[kBreakIntensity], v))
    mModel.setBreakIntensity(v);
  step(kBreakCharacter);
  if (modulatedChanged(par_break_character, mCur[kBreakCharacter] + 1.0, v))
    mModel.setBreakCharacter(v - 1.0);
  step(kBreakParam);
  if (modulatedChanged(par_break_param, mCur[kBreakParam], v))
    mModel.setBreakParam(v);
  step(kBreakDouble);
  if (modulatedChanged(par_break_double, mCur[kBreakDouble], v))
    mModel.setBreakDouble(v);

  step(kPreARes);
  if (modulatedChanged(par_preFlt_A_res, mCur[kPreARes], v))
    mModel.setPreFilterResonance(PreFilter::A, v);
  step(kPreBRes);
  if (modulatedChanged(par_preFlt_B_res, mCur[kPreBRes], v))
    mModel.setPreFilterResonance(PreFilter::B, v);

  step(kBandMode);
  if (modulatedChanged(par_preFlt_band_mode, mCur[kBandMode], v))
    mModel.bandMode = v;
  step(kProcessingOrder);
  if (modulatedChanged(par_preFlt_processing_order, mCur[kProcessingOrder], v))
    mModel.processingOrder = v;
  step(kNegBandMix);
  if (modulatedChanged(par_neg_band_mix, mCur[kNegBandMix], v))
    mModel.negBandMix = v;

  if (snap.breakInvert != mCur.breakInvert)
  {
    mCur.breakInvert = snap.breakInvert;
    mModel.setInvertFeedback(mCur.breakInvert != 0);
  }
  mCur.dampingRelease = snap.dampingRelease;
  if (modulatedChanged(par_damping_release, mCur.dampingRelease, v))
    mModel.setDampingRelease(v);
  mCur.dampingThreshold = snap.dampingThreshold;
  if (modulatedChanged(par_damping_thresh, mCur.dampingThreshold, v))
    mModel.setDampingThreshold(v);
  mCur.dampingHold = snap.dampingHold;
  if (modulatedChanged(par_damping_hold, mCur.dampingHold, v))
    mModel.setDampingHold(v);

  mSettled = mStill && !mModulation.anyActive();
  for (int k = 0; k < 3 && mSettled; ++k)
    mSettled = !mNotes.followsNotes(k);
  if (mSettled)
    mSettledCur = mCur;
}

void ModelParamUpdater::initAllParams(const ParamSnapshot& snap)
{
  using namespace ramp;
  mCur.snapAllFrom(snap);
  for (int k = 0; k < 3; ++k)
  {
    if (mNotes.followsNotes(k))
      mNotes.restartGlider(k, mCur[kStageCutoff[static_cast<size_t>(k)]]);
  }

  mModel.setMainCutoff(mCur[kMainCutoff], mCur[kMainDetune]);
  mModel.setMainResonance(mCur[kMainResonance]);
  mModel.setMainDrive(mCur[kMainDrive]);
  mModel.setSaturationType(mCur[kSaturationType]);
  mModel.setStageMix({mCur[kShape0], mCur[kShape1], mCur[kShape2], mCur[kShape3], mCur[kShape4]});
  mModel.setFeedbackLowCut(mCur[kMainFeedback]);
  mModel.setBreakIntensity(mCur[kBreakIntensity]);
  mModel.setBreakCharacter(mCur[kBreakCharacter]);
  mModel.setBreakParam(mCur[kBreakParam]);
  mModel.setBreakDouble(mCur[kBreakDouble]);
  mModel.setInvertFeedback(mCur.breakInvert != 0);
  mModel.setDampingRelease(mCur.dampingRelease);
  mModel.setDampingThreshold(mCur.dampingThreshold);
  mModel.setDampingHold(mCur.dampingHold);
  mModel.setPreFilterCutoff(PreFilter::A, mCur[kPreAFreq], mCur[kPreADetune]);
  mModel.setPreFilterCutoff(PreFilter::B, mCur[kPreBFreq], mCur[kPreBDetune]);
  mModel.setPreFilterResonance(PreFilter::A, mCur[kPreARes]);
  mModel.setPreFilterResonance(PreFilter::B, mCur[kPreBRes]);
  mModel.setPreFilterMix(PreFilter::A, {mCur[kPreALowPass], mCur[kPreAHighPass], mCur[kPreABandPass]});
  mModel.setPreFilterMix(PreFilter::B, {mCur[kPreBLowPass], mCur[kPreBHighPass], mCur[kPreBBandPass]});
  mModel.bandMode = mCur[kBandMode];
  mModel.processingOrder = mCur[kProcessingOrder];
  mModel.negBandMix = mCur[kNegBandMix];
  // The model now holds unmodulated values: the next tick hands every modulated one again.
  clearModulationCache();
}

} // namespace zarvo
