// The block's parameter record and snapshot, the values in use on the audio thread with their
// per-tick ramps, and the per-tick hand-over of changed settings to the DSP model.
#pragma once

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>

#include "product/dsp/pass_types.h"
#include "product/dsp/vemlor_model.h"
#include "product/params/mod_params.h"
#include "product/audio/modulation_view.h"
#include "product/audio/note_mode_controller.h"
#include "product/params/params.h"
#include "product/audio/relative_mod.h"

namespace zarvo {

// Decibels to a linear factor is exp(kDbToLinear dB); back is kLinearToDb ln(factor).
inline constexpr double kDbToLinear = 0.1151292546497;   // ln 10 / 20
inline constexpr double kLinearToDb = 8.685889638065037; // 20 / ln 10

// Dry/wet mix, output gain as a linear factor, and how much of that gain the dry signal gets.
struct OutputStage
{
  double dryWet = 1.0;
  double gain = 1.0;
  double gainOnDry = 0.0;
};

namespace ramp {

// The 30 values that move towards their targets tick by tick.
enum Index : int
{
  kMainCutoff,
  kMainResonance,
  kMainDrive,
  kSaturationType, // cyclic in 0 .. 3
  kShape0,         // five stage-mix coefficients of the main filter
  kShape1,
  kShape2,
  kShape3,
  kShape4,
  kMainFeedback,
  kPreALowPass,
  kPreAHighPass,
  kPreABandPass,
  kPreBLowPass,
  kPreBHighPass,
  kPreBBandPass,
  kBreakIntensity,
  kBreakCharacter, // character - 1
  kBreakParam,
  kBreakDouble,
  kPreAFreq,
  kPreARes,
  kPreBFreq,
  kPreBRes,
  kBandMode,
  kProcessingOrder,
  kNegBandMix,
  kMainDetune, // cents
  kPreADetune,
  kPreBDetune,
  kCount
};

static_assert(kCount == 30);

} // namespace ramp

// The values captured for one block; the morph field may overwrite them field by field.
struct ParamSnapshot
{
  std::array<double, ramp::kCount> ramped{};
  int mainPassType = 0;
  double passTypeDepth = 1.0;
  double passTypeTilt = 0.0;
  int breakInvert = 0;
  double dampingRelease = 0.0;   // ms
  double dampingThreshold = 0.0; // dB
  double dampingHold = 0.0;      // ms
  int preAPassType = 0;          // pre-filter pass-type index 0 .. 4
  int preBPassType = 0;

  double& operator[](ramp::Index i) { return ramped[static_cast<size_t>(i)]; }
  double operator[](ramp::Index i) const { return ramped[static_cast<size_t>(i)]; }
  void setMainShape(const stage_coeffs& coeffs, double feedback);
  void setPreFilterMix(VemlorModel::PreFilter which, const svf_coeffs& mix);
};

using ParamStep = std::array<double, ramp::kCount>;

// The values in use on the audio thread. Unset: NaN in every double, -1 in the integers.
struct CurParams
{
  std::array<double, ramp::kCount> ramped{};
  int breakInvert = -1;
  double dampingRelease = 0.0;
  double dampingThreshold = 0.0;
  double dampingHold = 0.0;
  int preAPassType = -1;
  int preBPassType = -1;

  CurParams() { markUnset(); }

  double& operator[](ramp::Index i) { return ramped[static_cast<size_t>(i)]; }
  double operator[](ramp::Index i) const { return ramped[static_cast<size_t>(i)]; }

  void markUnset();
  bool isUnset() const { return std::isnan((*this)[ramp::kMainCutoff]); }
  // Per-tick increments that reach the snapshot in `ticks` ticks; the saturation type goes the
  // short way round its cycle of 3.
  void computeStepsTo(ParamStep& step, const ParamSnapshot& snap, double ticks) const;
  // The 30 ramped values.
  void snapContinuousFrom(const ParamSnapshot& snap);
  // Everything.
  void snapAllFrom(const ParamSnapshot& snap);
};

// The latest parameter values for the audio path, stored converted by parameter-change handling on
// whichever thread changes a parameter and read by the audio thread without a lock.
class BlockParamRecord
{
public:
  BlockParamRecord();
  BlockParamRecord(const BlockParamRecord&) = delete;
  BlockParamRecord& operator=(const BlockParamRecord&) = delete;

  // Any thread: stores a parameter's plain value; false (nothing stored) for a parameter the audio
  // path does not read from here.
  bool store(int param, double plainValue);
  // Any thread: the stored (converted) value.
  double value(int param) const { return mValues[static_cast<size_t>(param)].load(std::memory_order_relaxed); }
  // Any thread: moves after every store.
  uint64_t changes() const { return mChanges.load(std::memory_order_acquire); }
  // 2 to the power of the oversampling parameter: 1, 2, 4 or 8.
  double oversamplingFactor() const { return mOversampling.load(std::memory_order_relaxed); }
  int filterModel() const { return static_cast<int>(value(par_main_filter_model)); }
  int resonanceCompensation() const { return static_cast<int>(value(par_main_res_comp)); }

  // Audio thread: the block snapshot and output stage, with the main and pre-filter shapes derived.
  void buildSnapshot(ParamSnapshot& snap, OutputStage& out, const ParamModulator& modulator) const;

private:
  std::array<std::atomic<double>, kNumParams> mValues;
  std::atomic<double> mOversampling{1.0};
  std::atomic<uint64_t> mChanges{0};
};

// Moves the values in use towards the block snapshot once per 16-sample tick and hands the DSP
// model what changed. Audio thread only.
class ModelParamUpdater
{
public:
  static constexpr std::array<int, 3> kStageCutoffPid = {par_main_cutoff_hz, par_preFlt_A_hz, par_preFlt_B_hz};
  static constexpr std::array<int, 3> kStageDetunePid = {par_main_detune, par_preFlt_A_detune, par_preFlt_B_detune};

  // modulation: the controller modulation as the block path keeps it read.
  ModelParamUpdater(VemlorModel& model, NoteModeController& notes, const ModulationView& modulation);

  CurParams& current() { return mCur; }
  const CurParams& current() const { return mCur; }
  const ParamStep& steps() const { return mStep; }
  // The value last handed to the model per modulation slot (NaN: hand it again).
  const std::array<double, mod::kNumModSlots>& modApplied() const { return mModApplied; }

  // The current cutoffs of main, A and B, which the note-mode controller reads and writes.
  std::array<double*, 3> stageCutoffs();
  // After a change of host rate: every modulated value is handed to the model again.
  void clearModulationCache();
  // Ramps towards the snapshot over `ticks` ticks.
  void computeSteps(const ParamSnapshot& snap, double ticks);
  // One tick of ramps and model updates.
  void updateModelParams(const ParamSnapshot& snap, int filterModel, int resonanceCompensation);
  // Everything at once, unmodulated, without ramps.
  void initAllParams(const ParamSnapshot& snap);

private:
  // A value with its parameter's modulation, from the slots as last read.
  double composed(int param, double value) const;
  // Composes a ramped value with its parameter's modulation; true when it differs from what the
  // model was last given (which then becomes it).
  bool modulatedChanged(int param, double value, double& composed);
  // Nothing can change in a tick: no value moves, nothing is modulated or follows notes, and the
  // model already holds what the values give.
  bool tickChangesNothing(const ParamSnapshot& snap) const;

  VemlorModel& mModel;
  NoteModeController& mNotes;
  const ModulationView& mModulation;
  CurParams mCur;
  ParamStep mStep{};
  std::array<double, mod::kNumModSlots> mModApplied{};
  int mLastFilterModel = -1;
  int mLastResonanceCompensation = -1;
  bool mStill = false; // this block's steps leave every ramped value as it is
  // What the steps were last computed from: the same values and tick count give the same steps.
  bool mStepsValid = false;
  double mStepsTicks = 0.0;
  std::array<double, ramp::kCount> mStepsTarget{};
  std::array<double, ramp::kCount> mStepsFrom{};
  bool mSettled = false; // the model holds what mSettledCur gives, with no modulation
  CurParams mSettledCur;
};

} // namespace zarvo
