// One host block through the effect: snapshot, oversampling, 16-sample ticks with MIDI dispatched
// at their own tick, the DSP model, and the smoothed dry/wet mix and gains.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "IPlugin/IMidiMsg.h"
#include "product/dsp/latency_delay.h"
#include "product/dsp/oversampler.h"
#include "product/dsp/vemlor_model.h"
#include "product/audio/model_params.h"
#include "product/audio/modulation_view.h"
#include "product/audio/note_mode_controller.h"
#include "product/audio/relative_mod.h"
#include "utils/audio_buffer.h"
#include "utils/process_setup.h"

namespace zarvo {

namespace morph {
class MorphController;
}

// What the audio path asks of its plug-in beyond parameter values and modulation.
class AudioPathHost : public ParamModulator
{
public:
  // Audio thread, at the start of each block: brings the morph field's blend up to date. True when
  // what applyMorph lays over the snapshot may differ from what it laid over the last block's.
  virtual bool refreshMorph(const ParamModulator& modulation) = 0;
  // Audio thread: lays the morph field over the block snapshot while morph is on (else nothing);
  // the field leaves what modulation has held by a controller.
  virtual void applyMorph(const ModulationView& modulation, ParamSnapshot& snap, OutputStage& out,
                          NoteModeController::Snapshots& notes) = 0;
  // Audio thread: a control-change message at its tick.
  virtual void dispatchController(const plugkit::IMidiMsg& msg) = 0;

protected:
  ~AudioPathHost() = default;
};

// Audio thread, while the controller's morph switch is on: the blend of the morph field at the
// controller's pad position, made again only when the position moved or a newer field was
// published (true then). A failed snapshot read keeps the previous block's copy of the field.
bool updateMorphBlend(morph::MorphController& morph, const ParamModulator& modulator);
// Audio thread: the blend replaces the block snapshot's values (except those a controller holds)
// and its filter shapes.
void applyMorphBlend(const morph::MorphController& morph, const ModulationView& modulation, ParamSnapshot& snap,
                     OutputStage& out, NoteModeController::Snapshots& notes);

// Owns the DSP model, the oversampler, the working buffers, the ramps and the output smoothers.
// The host's buffers are only read (inputs) and written (outputs); processing happens in buffers
// of its own, sized by prepare() so that reset() and blocks never allocate. The dry signal is held
// back by the oversampler's latency, so that it lines up with the wet one. A new oversampling
// factor while sound is playing moves both by a few samples: the output fades out at the old
// factor, the factor changes while it is silent, and it fades in again.
class AudioPath
{
public:
  static constexpr int kTickLength = 16;
  static constexpr size_t kMidiQueueCapacity = 8192;
  // Host samples of the fade in after a change of oversampling factor; the fade out before it lasts
  // at least this long and at most the rest of its block.
  static constexpr int kFactorFadeFrames = 64;

  AudioPath(const BlockParamRecord& record, NoteModeController& notes, AudioPathHost& host);
  AudioPath(const AudioPath&) = delete;
  AudioPath& operator=(const AudioPath&) = delete;

  // Main thread while no block runs (or the audio thread at a reset): room for blocks of up to
  // the set-up's channels x frames at its host rate (allocates only to grow), then reset().
  void prepare(const ProcessSetup& setup);
  // The processing reset: values in use and output smoothers unset, oversampler cleared and set to
  // the target factor, the model at the oversampled prepared rate with its running state cleared.
  // Same threads as prepare().
  void reset() noexcept;

  // Audio thread, before the block: keeps note-on, note-off and control-change messages for it.
  void queueMidi(const plugkit::IMidiMsg& msg);
  // Audio thread: one host block. numInputs and numOutputs are the connected channel counts; the
  // block works on the smaller. Output channels from there up to numOutputs are silenced. Frames
  // beyond the prepared size are silent.
  void process(const double* const* inputs, int numInputs, double* const* outputs, int numOutputs, int nFrames,
               double sampleRate) noexcept;

  // Any thread.
  uint64_t blockCount() const { return mBlockCount.load(std::memory_order_relaxed); }

  // Audio thread (and tests).
  VemlorModel& model() { return mModel; }
  const ModelParamUpdater& updater() const { return mUpdater; }
  const ParamSnapshot& snapshot() const { return mSnapshot; }
  int oversamplingFactor() const { return mOversampler.factor(); }
  size_t queuedMidi() const { return mMidiQueue.size(); }

private:
  struct Smoother
  {
    double previous; // NaN: unset
  };

  // Buffers for up to maxChannels x maxFrames; allocates only to grow.
  void grow(int maxChannels, int maxFrames);
  void checkRateAndFactor(double sampleRate, int nFrames);
  // The oversampler, the model's rate and the dry path's delay at `factor`.
  void useFactor(int factor, double sampleRate);
  // The fade around a factor change over the block's output.
  void applyFactorFade(int nCh, int nFrames);
  // True when a controller message was among them.
  bool dispatchMidi(int from, int to, double osRate, bool sorted, size_t& cursor);
  void rebuildRamp(int nFrames);
  // One smoother step: true with the curve in mGain when the value moves, else false with m constant.
  bool smooth(Smoother& s, double target, double kappa, int nFrames, double& m);
  void applyOutputStage(int nCh, int nFrames, double sampleRate);

  const BlockParamRecord& mRecord;
  NoteModeController& mNotes;
  AudioPathHost& mHost;
  ModulationView mView;
  VemlorModel mModel;
  Oversampler mOversampler;
  ModelParamUpdater mUpdater;
  ParamSnapshot mSnapshot;
  OutputStage mOutput;
  // What the snapshot and the output stage were built from; they are built again when any moved.
  bool mSnapshotCurrent = false;
  uint64_t mSnapshotRecordChanges = 0;
  uint64_t mSnapshotNoteChanges = 0;
  uint64_t mSnapshotModulation = 0;
  // The output gain in decibels and the wet and dry gains' targets, kept with the values they came
  // from (compared bit for bit) while those stay.
  struct GainTargets
  {
    bool valid = false;
    double gain = 0.0;
    double gainDb = 0.0; // unmodulated
    double modulatedDb = 0.0;
    double dryShare = 0.0;
    double wet = 0.0;
    double dry = 0.0;
  };
  GainTargets mGainTargets;

  int mMaxChannels = 0;
  int mMaxFrames = 0;
  double mPreparedRate = 44100.0;
  std::vector<double> mWetStore;
  std::vector<double> mDryStore;
  std::vector<double> mOversampledStore;
  std::vector<double> mRamp;
  std::vector<double> mGain; // the smoothers' per-sample curve
  int mRampFrames = 0;
  AudioBuffer::ChannelPtrs mWetPtrs{};
  AudioBuffer::ChannelPtrs mDryPtrs{};
  AudioBuffer::ChannelPtrs mOversampledPtrs{};

  std::vector<plugkit::IMidiMsg> mMidiQueue;
  std::atomic<uint64_t> mBlockCount{0};
  double mLastHostRate = 0.0;
  Smoother mMix{};
  Smoother mWetGain{};
  Smoother mDryGain{};

  LatencyDelay mDryDelay;
  // Output level of the fade around a factor change (1 when none is under way) and its step per
  // sample; the factor changes once the level reached 0.
  double mFactorFadeLevel = 1.0;
  double mFactorFadeStep = 0.0;
  // Something was output since the last reset: a factor change before then needs no fade.
  bool mPlayed = false;
};

} // namespace zarvo
