// The latency and the tail the host compensates and keeps, reported as soon as the main thread knows them.
#include "product/Vemlor.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "product/dsp/oversampler.h"
#include "product/dsp/pass_types.h"
#include "product/dsp/tail_bound.h"
#include "product/params/morph_param_table.h"
#include "product/params/params.h"

namespace {

constexpr double kLowestCutoffHz = 1.0;
constexpr double kDampingOffMs = 2000.0;
constexpr double kLongestHoldMs = 10.0;
constexpr double kLargestGainDb = 24.0;
constexpr double kLargestStageWeight = 36.0;
constexpr double kLargestPreWeight = 4.0;
constexpr double kLargestNegBandMix = 4.0;

} // namespace

void Vemlor::OnActivate(bool active)
{
  if (!active)
    return;
  // No block runs while the host activates: the rate and block size it set up are news for the editor.
  mHostInfo.refreshOnReset(GetBlockSize());
  reportLatencyAndTail();
}

bool Vemlor::updateHostInfoView() { return mHostInfoView.update(mHostInfo); }

void Vemlor::OnParamChangeUI(int paramIdx, plugkit::EParamSource source)
{
  // A controller mapping may land here on the audio thread; the idle tick reports for it.
  if (!OnMainThread() || paramIdx < 0 || paramIdx >= zarvo::kNumParams)
    return;
  // Editor changes wait for the idle tick: an open editor always has a run loop.
  if (source != plugkit::EParamSource::kHost)
    return;
  if (paramIdx == zarvo::par_oversampling)
  {
    // The factor a host sets through the controller is the one the next block runs at, so the
    // latency it reads back at once holds for the audio it gets.
    const double value = GetParam(paramIdx)->Value();
    mBlockRecord.store(paramIdx, value);
    mLastParamValue[static_cast<size_t>(paramIdx)].store(value, std::memory_order_relaxed);
  }
  reportLatencyAndTail();
}

void Vemlor::reportLatencyAndTail()
{
  // A host calling from another thread is answered at the next idle tick on the main thread.
  if (!OnMainThread())
    return;
  const int latency = zarvo::Oversampler::latencySamples(static_cast<int>(mBlockRecord.oversamplingFactor()));
  if (latency != mReportedLatency)
  {
    mReportedLatency = latency;
    SetLatency(latency);
  }
  const int tail = zarvo::tailBoundSamples(zarvo::tailBoundSeconds(tailSettings()), GetSampleRate());
  if (tail != GetTailSize())
    SetTailSize(tail);
}

zarvo::TailSettings Vemlor::tailSettings() const
{
  using namespace zarvo;
  // Values that notes, controllers or the morph field move while playing are taken at their worst.
  const auto plain = [this](int param) { return GetParam(param)->Value(); };
  const auto moved = [this](int param) { return hasController(param); };
  const auto anchored = [&](int param) {
    for (const morph::NoteAnchor& anchor : morph::kNoteAnchors)
    {
      if (morph::kMorphParams[static_cast<size_t>(anchor.row)].param == param)
        return plain(anchor.switchParam) > 0.5;
    }
    return false;
  };
  // A cutoff that follows the played note can go as low as any note.
  const auto cutoff = [&](int param, double value) {
    return moved(param) || mNoteMode.isCutoffNoteModeOn(param) || anchored(param) ? kLowestCutoffHz : value;
  };

  // Weights summed as magnitudes: how much louder than a single stage the sum can ring.
  const auto weights = [&](const auto& valueOf, std::initializer_list<EParams> params, double largest) {
    double sum = 0.0;
    for (int param : params)
      sum += moved(param) ? largest : std::fabs(valueOf(param));
    return sum;
  };
  // The gain the ring meets after the filters: user-blend weights, the negative band mix, the output gain.
  const auto outputGain = [&](const auto& valueOf, bool preHeard) {
    const double db = moved(par_main_gain) ? kLargestGainDb : valueOf(par_main_gain);
    double gain = std::pow(10.0, db / 20.0);
    if (moved(par_main_ub_on) || valueOf(par_main_ub_on) > 0.5)
    {
      const auto stages = {par_main_ub_u, par_main_ub_y1, par_main_ub_y2, par_main_ub_y3, par_main_ub_y4};
      gain *= std::max(1.0, weights(valueOf, stages, kLargestStageWeight));
    }
    if (preHeard)
    {
      gain *= std::max(1.0, moved(par_neg_band_mix) ? kLargestNegBandMix : valueOf(par_neg_band_mix));
      const bool blendA = moved(par_preFlt_A_ub_on) || valueOf(par_preFlt_A_ub_on) > 0.5;
      const bool blendB = moved(par_preFlt_B_ub_on) || valueOf(par_preFlt_B_ub_on) > 0.5;
      const auto outputsA = {par_preFlt_A_ub_lp, par_preFlt_A_ub_hp, par_preFlt_A_ub_bp};
      const auto outputsB = {par_preFlt_B_ub_lp, par_preFlt_B_ub_hp, par_preFlt_B_ub_bp};
      const double a = blendA ? weights(valueOf, outputsA, kLargestPreWeight) : 1.0;
      const double b = blendB ? weights(valueOf, outputsB, kLargestPreWeight) : 1.0;
      gain *= std::max({1.0, a, b});
    }
    return gain;
  };

  const auto settingsFrom = [&](const auto& valueOf) {
    TailSettings t;
    t.mainCutoffHz = cutoff(par_main_cutoff_hz, valueOf(par_main_cutoff_hz));
    t.mainResonance = moved(par_main_resonance) ? 1.0 : valueOf(par_main_resonance);
    t.diodeModel = moved(par_main_filter_model) || plain(par_main_filter_model) > 0.5;
    const bool shapeMoved = moved(par_main_pass_type) || moved(par_main_ub_on) || moved(par_main_ub_fb);
    const auto passType = static_cast<FilterPassType>(static_cast<int>(valueOf(par_main_pass_type) + 0.5));
    const double shapeFeedback = valueOf(par_main_ub_on) > 0.5 ? valueOf(par_main_ub_fb) : feedbackOf(passType);
    t.feedbackLowCut = shapeMoved ? 0.0 : shapeFeedback;
    t.breakAmount = moved(par_break_intensity) ? 1.0 : valueOf(par_break_intensity);
    t.preFiltersHeard = moved(par_preFlt_band_mode) || moved(par_neg_band_mix) ||
                        valueOf(par_preFlt_band_mode) != 0.0 || valueOf(par_neg_band_mix) > 0.0;
    t.preCutoffHz = {cutoff(par_preFlt_A_hz, valueOf(par_preFlt_A_hz)),
                     cutoff(par_preFlt_B_hz, valueOf(par_preFlt_B_hz))};
    t.preResonance = {moved(par_preFlt_A_res) ? 1.0 : valueOf(par_preFlt_A_res),
                      moved(par_preFlt_B_res) ? 1.0 : valueOf(par_preFlt_B_res)};
    t.dampingReleaseMs = moved(par_damping_release) ? kDampingOffMs : valueOf(par_damping_release);
    t.dampingHoldMs = moved(par_damping_hold) ? kLongestHoldMs : valueOf(par_damping_hold);
    t.outputGain = outputGain(valueOf, t.preFiltersHeard);
    return t;
  };

  TailSettings worst = settingsFrom(plain);
  // The host's own switch counts as soon as it set it; the field's mirror until the next block.
  if (mMorph && (mMorph->morphOn() || plain(par_morph_active) > 0.5))
  {
    // The field blends its points' values, so the worst of the points bounds whatever it plays.
    for (const morph::MorphPoint& point : mMorph->engine().editState().points)
    {
      if (!point.active)
        continue;
      const auto pointValue = [&](int param) {
        const int row = morph::rowOf(param);
        return row < 0 ? plain(param) : GetParam(param)->FromNormalized(point.values[static_cast<size_t>(row)]);
      };
      TailSettings t = settingsFrom(pointValue);
      if (point.noteMask & (1u << morph::kRowMainCutoff))
        t.mainCutoffHz = kLowestCutoffHz;
      if (point.noteMask & (1u << morph::kRowPreACutoff))
        t.preCutoffHz[0] = kLowestCutoffHz;
      if (point.noteMask & (1u << morph::kRowPreBCutoff))
        t.preCutoffHz[1] = kLowestCutoffHz;
      worst.widen(t);
    }
  }
  return worst;
}
