#include "product/audio/audio_path.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

#include "IPlugin/IPluginThreadRole.h"
#include "product/params/morph_param_table.h"
#include "utils/denormal_guard.h"
#include "utils/morph/morph_controller.h"

namespace zarvo {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The status's high nibble; 0 for data bytes and system messages.
int statusNibble(uint8_t status) { return status < 0x80 || (status >> 4) == 0xF ? 0 : status >> 4; }

void layOut(std::vector<double>& store, AudioBuffer::ChannelPtrs& ptrs, int channels, size_t frames)
{
  ptrs.fill(nullptr);
  for (int c = 0; c < channels; ++c)
    ptrs[static_cast<size_t>(c)] = store.data() + static_cast<size_t>(c) * frames;
}

} // namespace

bool updateMorphBlend(morph::MorphController& morph, const ParamModulator& modulator)
{
  morph::MorphEngine& engine = morph.engine();
  if (!engine.blendBlock(morph.morphX(), morph.morphY()))
    return false;
  morph::MorphValues plain{};
  for (size_t row = 0; row < morph::kNumMorphParams; ++row)
    plain[row] = modulator.param(morph::kMorphParams[row].param).FromNormalized(engine.resolved()[row]);

  stage_coeffs shape{};
  std::array<double, 6> mainShape{};
  morph.resolveMainPTShapeInto(shape, mainShape[5]);
  std::copy(shape.begin(), shape.end(), mainShape.begin());
  const morph::Weights shapeWeights = morph.blockShapeWeights();
  engine.setBlockDerived(plain, mainShape, morph.resolvePreFltBlendInto(shapeWeights, zarvo::morph::kPreFltAShape),
                         morph.resolvePreFltBlendInto(shapeWeights, zarvo::morph::kPreFltBShape));
  return true;
}

void applyMorphBlend(const morph::MorphController& morph, const ModulationView& modulation, ParamSnapshot& snap,
                     OutputStage& out, NoteModeController::Snapshots& notes)
{
  const morph::MorphEngine::BlockBlend& blend = morph.engine().blockBlend();
  for (size_t row = 0; row < morph::kNumMorphParams; ++row)
  {
    const int param = morph::kMorphParams[row].param;
    if (!modulation.held(param))
      applyMorphedValue(snap, out, notes, modulation, param, blend.plain[row]);
  }
  snap.setMainShape(
    {blend.mainShape[0], blend.mainShape[1], blend.mainShape[2], blend.mainShape[3], blend.mainShape[4]},
    blend.mainShape[5]);
  snap.setPreFilterMix(VemlorModel::PreFilter::A, blend.preFilterA);
  snap.setPreFilterMix(VemlorModel::PreFilter::B, blend.preFilterB);
}

AudioPath::AudioPath(const BlockParamRecord& record, NoteModeController& notes, AudioPathHost& host)
  : mRecord(record)
  , mNotes(notes)
  , mHost(host)
  , mView(host)
  , mUpdater(mModel, notes, mView)
  , mMix{kNaN}
  , mWetGain{kNaN}
  , mDryGain{kNaN}
{
  mMidiQueue.reserve(kMidiQueueCapacity);
}

void AudioPath::prepare(const ProcessSetup& setup)
{
  mPreparedRate = setup.sampleRate;
  grow(setup.numChannels, setup.maxBlockSize);
  reset();
}

void AudioPath::grow(int maxChannels, int maxFrames)
{
  const int channels = std::clamp(maxChannels, 0, static_cast<int>(AudioBuffer::kMaxChannels));
  const int frames = std::max(maxFrames, 0);
  if (channels <= mMaxChannels && frames <= mMaxFrames)
    return;
  mMaxChannels = std::max(mMaxChannels, channels);
  mMaxFrames = std::max(mMaxFrames, frames);
  const size_t hostFrames = static_cast<size_t>(mMaxFrames);
  const size_t osFrames = hostFrames * Oversampler::kMaxFactor;
  mWetStore.assign(static_cast<size_t>(mMaxChannels) * hostFrames, 0.0);
  mDryStore.assign(static_cast<size_t>(mMaxChannels) * hostFrames, 0.0);
  mOversampledStore.assign(static_cast<size_t>(mMaxChannels) * osFrames, 0.0);
  layOut(mWetStore, mWetPtrs, mMaxChannels, hostFrames);
  layOut(mDryStore, mDryPtrs, mMaxChannels, hostFrames);
  layOut(mOversampledStore, mOversampledPtrs, mMaxChannels, osFrames);
  mRamp.assign(hostFrames, 0.0);
  mGain.assign(hostFrames, 0.0);
  mRampFrames = 0;
  mOversampler.prepare({mPreparedRate, mMaxFrames, mMaxChannels});
  mDryDelay.prepare(mMaxChannels);
}

void AudioPath::reset() noexcept
{
  mSnapshotCurrent = false;
  mView.forget();
  mUpdater.current().markUnset();
  mMix.previous = mWetGain.previous = mDryGain.previous = kNaN;
  mOversampler.reset();
  mDryDelay.reset(0);
  useFactor(static_cast<int>(mRecord.oversamplingFactor()), mPreparedRate);
  mModel.reset();
  mFactorFadeLevel = 1.0;
  mFactorFadeStep = 0.0;
  mPlayed = false;
}

void AudioPath::useFactor(int factor, double sampleRate)
{
  mOversampler.setFactor(factor);
  mModel.setRateKeepingState(sampleRate * mOversampler.factor());
  mDryDelay.setDelay(Oversampler::latencySamples(mOversampler.factor()));
}

void AudioPath::queueMidi(const plugkit::IMidiMsg& msg)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  const int nibble = statusNibble(msg.mStatus);
  if ((nibble == 8 || nibble == 9 || nibble == 11) && mMidiQueue.size() < kMidiQueueCapacity)
    mMidiQueue.push_back(msg);
}

void AudioPath::checkRateAndFactor(double sampleRate, int nFrames)
{
  const int target = Oversampler::supportedFactor(static_cast<int>(mRecord.oversamplingFactor()));
  if (sampleRate == mLastHostRate)
  {
    if (target == mOversampler.factor())
    {
      if (mFactorFadeLevel < 1.0)
        mFactorFadeStep = 1.0 / kFactorFadeFrames; // back to the factor in use before the fade ended
      return;
    }
    if (mPlayed && mFactorFadeLevel > 0.0)
    {
      // This block still runs at the old factor and fades out; the next one changes it.
      if (mFactorFadeStep >= 0.0)
        mFactorFadeStep = -1.0 / std::max(kFactorFadeFrames, nFrames);
      return;
    }
    // Silent or faded out: the wet and dry paths start afresh at the new factor and fade in.
    useFactor(target, sampleRate);
    if (mPlayed)
    {
      mOversampler.reset();
      mFactorFadeStep = 1.0 / kFactorFadeFrames;
    }
    return; // a new factor alone keeps the values in use
  }
  useFactor(target, sampleRate);
  mFactorFadeLevel = 1.0;
  mFactorFadeStep = 0.0;
  mLastHostRate = sampleRate;
  mUpdater.current().markUnset();
  mMix.previous = mWetGain.previous = mDryGain.previous = kNaN;
  mUpdater.clearModulationCache();
  mNotes.clearModulationSmoothers();
}

bool AudioPath::dispatchMidi(int from, int to, double osRate, bool sorted, size_t& cursor)
{
  bool controllers = false;
  const auto dispatch = [&](const plugkit::IMidiMsg& msg) {
    const int nibble = statusNibble(msg.mStatus);
    if (nibble == 8 || nibble == 9)
      mNotes.handleNoteMessage(msg, osRate);
    else if (nibble == 11)
    {
      mHost.dispatchController(msg);
      controllers = true;
    }
  };
  if (sorted)
  {
    // Offsets in ascending order: each message is looked at once over the whole block.
    for (; cursor < mMidiQueue.size() && mMidiQueue[cursor].mOffset < to; ++cursor)
    {
      if (mMidiQueue[cursor].mOffset >= from)
        dispatch(mMidiQueue[cursor]);
    }
    return controllers;
  }
  for (const plugkit::IMidiMsg& msg : mMidiQueue)
  {
    if (msg.mOffset >= from && msg.mOffset < to)
      dispatch(msg);
  }
  return controllers;
}

void AudioPath::rebuildRamp(int nFrames)
{
  if (nFrames == 1)
    mRamp[0] = 1.0;
  for (int i = 0; nFrames > 1 && i < nFrames; ++i)
    mRamp[static_cast<size_t>(i)] = 0.5 * (1.0 - std::cos(std::numbers::pi * i / (nFrames - 1)));
  mRampFrames = nFrames;
}

bool AudioPath::smooth(Smoother& s, double target, double kappa, int nFrames, double& m)
{
  const double p = s.previous;
  if (std::isnan(p))
  {
    m = s.previous = target;
    return false;
  }
  m = p + (target - p) * kappa;
  if (std::abs(target - m) <= 1e-6)
    m = target;
  s.previous = m;
  if (m == p)
    return false;
  for (int i = 0; i < nFrames; ++i)
    mGain[static_cast<size_t>(i)] = p + mRamp[static_cast<size_t>(i)] * (m - p);
  return true;
}

void AudioPath::applyOutputStage(int nCh, int nFrames, double sampleRate)
{
  const auto scale = [nFrames](double* const x, double factor) {
    for (int i = 0; i < nFrames; ++i)
      x[i] *= factor;
  };
  const auto shape = [this, nFrames](double* const x) {
    for (int i = 0; i < nFrames; ++i)
      x[i] *= mGain[static_cast<size_t>(i)];
  };
  const double span = std::max(1.0, 0.01 * sampleRate);
  const double kappa = std::min(1.0, nFrames / span);
  double m = 0.0;

  if (smooth(mMix, mView.composeRelativeCC(par_dry_wet, mOutput.dryWet), kappa, nFrames, m))
  {
    for (int c = 0; c < nCh; ++c)
      shape(mWetPtrs[static_cast<size_t>(c)]);
    for (int i = 0; i < nFrames; ++i)
      mGain[static_cast<size_t>(i)] = 1.0 - mGain[static_cast<size_t>(i)];
    for (int c = 0; c < nCh; ++c)
      shape(mDryPtrs[static_cast<size_t>(c)]);
  }
  else
  {
    for (int c = 0; c < nCh; ++c)
    {
      scale(mWetPtrs[static_cast<size_t>(c)], m);
      scale(mDryPtrs[static_cast<size_t>(c)], 1.0 - m);
    }
  }

  // The logarithm and the exponentials again only for values that moved.
  GainTargets& g = mGainTargets;
  const auto same = [](double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); };
  if (!g.valid || !same(g.gain, mOutput.gain))
  {
    g.gain = mOutput.gain;
    g.gainDb = kLinearToDb * std::log(std::abs(mOutput.gain));
    g.valid = false;
  }
  const double gainDb = mView.composeRelativeCC(par_main_gain, g.gainDb);
  const double dryShare = std::clamp(mOutput.gainOnDry, 0.0, 1.0);
  if (!g.valid || !same(g.modulatedDb, gainDb) || !same(g.dryShare, dryShare))
  {
    g.modulatedDb = gainDb;
    g.dryShare = dryShare;
    g.wet = std::exp(kDbToLinear * gainDb);
    g.dry = std::exp(kDbToLinear * gainDb * dryShare);
    g.valid = true;
  }
  const auto applyGain = [&](Smoother& s, double target, const AudioBuffer::ChannelPtrs& ptrs) {
    if (smooth(s, target, kappa, nFrames, m))
      for (int c = 0; c < nCh; ++c)
        shape(ptrs[static_cast<size_t>(c)]);
    else if (m != 1.0)
      for (int c = 0; c < nCh; ++c)
        scale(ptrs[static_cast<size_t>(c)], m);
  };
  applyGain(mWetGain, g.wet, mWetPtrs);
  applyGain(mDryGain, g.dry, mDryPtrs);
}

void AudioPath::applyFactorFade(int nCh, int nFrames)
{
  if (mFactorFadeStep == 0.0)
    return;
  // A raised cosine of the level, so that the fade starts and ends without a corner.
  double level = mFactorFadeLevel;
  for (int i = 0; i < nFrames; ++i)
  {
    level = std::clamp(level + mFactorFadeStep, 0.0, 1.0);
    mGain[static_cast<size_t>(i)] = 0.5 * (1.0 - std::cos(std::numbers::pi * level));
  }
  mFactorFadeLevel = level;
  if (level == 1.0)
    mFactorFadeStep = 0.0;
  for (int c = 0; c < nCh; ++c)
  {
    double* const x = mWetPtrs[static_cast<size_t>(c)];
    for (int i = 0; i < nFrames; ++i)
      x[i] *= mGain[static_cast<size_t>(i)];
  }
}

void AudioPath::process(const double* const* inputs, int numInputs, double* const* outputs, int numOutputs, int nFrames,
                        double sampleRate) noexcept
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  DenormalGuard denormals;
  mBlockCount.fetch_add(1, std::memory_order_relaxed);
  if (!inputs)
    numInputs = 0;
  if (!outputs)
    numOutputs = 0;
  const int frames = std::clamp(nFrames, 0, mMaxFrames);
  const int nCh = std::clamp(std::min(numInputs, numOutputs), 0, mMaxChannels);
  const size_t n = static_cast<size_t>(frames);

  checkRateAndFactor(sampleRate, frames);

  // The host's input stays untouched: wet and dry are copies of it.
  for (int c = 0; c < nCh; ++c)
  {
    const size_t ch = static_cast<size_t>(c);
    if (inputs[c])
      std::copy_n(inputs[c], n, mWetPtrs[ch]);
    else
      std::fill_n(mWetPtrs[ch], n, 0.0);
    std::copy_n(mWetPtrs[ch], n, mDryPtrs[ch]);
  }
  mDryDelay.process(mDryPtrs.data(), nCh, frames);
  for (int c = 0; c < numOutputs && nFrames > frames; ++c)
  {
    if (outputs[c])
      std::fill(outputs[c] + frames, outputs[c] + nFrames, 0.0);
  }
  AudioBuffer wet(mWetPtrs, static_cast<size_t>(nCh), n);

  // The snapshot is built again only when something it is built from moved. The counts are read
  // before the values, so a change that lands meanwhile is built at the next block.
  const uint64_t recordChanges = mRecord.changes();
  const uint64_t noteChanges = mNotes.changes();
  mView.refresh();
  const bool morphMoved = mHost.refreshMorph(mView);
  if (!mSnapshotCurrent || morphMoved || recordChanges != mSnapshotRecordChanges ||
      noteChanges != mSnapshotNoteChanges || mView.modulationEpoch() != mSnapshotModulation)
  {
    mRecord.buildSnapshot(mSnapshot, mOutput, mView);
    mNotes.takeSnapshots(mView);
    mHost.applyMorph(mView, mSnapshot, mOutput, mNotes.snapshots());
    mSnapshotCurrent = true;
    mSnapshotRecordChanges = recordChanges;
    mSnapshotNoteChanges = noteChanges;
    mSnapshotModulation = mView.modulationEpoch();
  }
  if (mUpdater.current().isUnset())
    mUpdater.initAllParams(mSnapshot);
  const int factor = mOversampler.factor();
  const double osRate = sampleRate * factor;
  mNotes.beginBlock(osRate, mUpdater.stageCutoffs());

  AudioBuffer oversampled(mOversampledPtrs, static_cast<size_t>(nCh), n * static_cast<size_t>(factor));
  if (factor > 1)
    mOversampler.upsample(wet, oversampled);
  AudioBuffer& block = factor > 1 ? oversampled : wet;
  const int total = frames * factor;
  if (total == 0)
    return; // the queued MIDI waits for a block with frames

  const int ticks = (total + kTickLength - 1) / kTickLength;
  const int rampTicks = std::max(1, static_cast<int>(std::lround(0.01 * osRate / kTickLength)));
  mUpdater.computeSteps(mSnapshot, std::max(ticks, rampTicks));

  const bool sorted =
    std::is_sorted(mMidiQueue.begin(), mMidiQueue.end(),
                   [](const plugkit::IMidiMsg& a, const plugkit::IMidiMsg& b) { return a.mOffset < b.mOffset; });
  size_t cursor = 0;
  const int filterModel = mRecord.filterModel();
  const int resonanceCompensation = mRecord.resonanceCompensation();
  for (int pos = 0; pos < total; pos += kTickLength)
  {
    const int len = std::min(kTickLength, total - pos);
    // Modulation that a controller moved takes effect at its own tick.
    if (dispatchMidi(pos / factor, (pos + len) / factor, osRate, sorted, cursor))
      mView.refresh();
    mUpdater.updateModelParams(mSnapshot, filterModel, resonanceCompensation);
    AudioBuffer tick = block.subBuffer(static_cast<size_t>(pos), static_cast<size_t>(len));
    mModel.processBuffer(tick);
  }
  mMidiQueue.clear();
  if (ticks >= rampTicks)
    mUpdater.current().snapContinuousFrom(mSnapshot);
  mNotes.publish();

  if (factor > 1)
    mOversampler.downsample(oversampled, wet);
  if (frames != mRampFrames)
    rebuildRamp(frames);
  applyOutputStage(nCh, frames, sampleRate);

  for (int c = 0; c < nCh; ++c)
  {
    const size_t ch = static_cast<size_t>(c);
    double* const w = mWetPtrs[ch];
    const double* const d = mDryPtrs[ch];
    for (size_t i = 0; i < n; ++i)
      w[i] += d[i];
  }
  applyFactorFade(nCh, frames);
  mPlayed = true;
  for (int c = 0; c < nCh; ++c)
  {
    if (outputs[c])
      std::copy_n(mWetPtrs[static_cast<size_t>(c)], n, outputs[c]);
  }
  // Outputs the block has no input for are silent, not left with what the host buffer held.
  for (int c = nCh; c < numOutputs; ++c)
  {
    if (outputs[c])
      std::fill_n(outputs[c], n, 0.0);
  }
}

} // namespace zarvo
