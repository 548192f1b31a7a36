// One host block through the effect: snapshot, oversampling, 16-sample ticks with MIDI dispatched
// at their own tick, the DSP model, and the smoothed dry/wet mix and gains.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "IPlugin/IMidiMsg.h"
#include "product/dsp/oversampler.h"
#include "product/dsp/vemlor_model.h"
#include "product/audio/model_params.h"
#include "product/audio/note_mode_controller.h"
#include "product/audio/relative_mod.h"
#include "utils/audio_buffer.h"

namespace zarvo {

namespace morph {
class MorphController;
}

// What the audio path asks of its plug-in beyond parameter values and modulation.
class AudioPathHost : public ParamModulator
{
public:
  // Audio thread: lays the morph field over the block snapshot while morph is on (else nothing).
  virtual void applyMorph(ParamSnapshot& snap, OutputStage& out, NoteModeController::Snapshots& notes) = 0;
  // Audio thread: a control-change message at its tick.
  virtual void dispatchController(const plugkit::IMidiMsg& msg) = 0;

protected:
  ~AudioPathHost() = default;
};

// Audio thread, while the controller's morph switch is on: the blend of the morph field at the
// controller's pad position replaces the block snapshot's values (except those a controller holds)
// and its filter shapes. A failed snapshot read keeps the previous block's copy of the field.
void applyMorphField(morph::MorphController& morph, const ParamModulator& modulator, ParamSnapshot& snap,
                     OutputStage& out, NoteModeController::Snapshots& notes);

// Owns the DSP model, the oversampler, the working buffers, the ramps and the output smoothers.
// The host's buffers are only read (inputs) and written (outputs); processing happens in buffers
// of its own, sized by prepare() so that blocks never allocate.
class AudioPath
{
public:
  static constexpr int kTickLength = 16;
  static constexpr size_t kMidiQueueCapacity = 8192;

  AudioPath(const BlockParamRecord& record, NoteModeController& notes, AudioPathHost& host);
  AudioPath(const AudioPath&) = delete;
  AudioPath& operator=(const AudioPath&) = delete;

  // Main thread while no block runs (or the audio thread at a reset): room for blocks of up to
  // maxChannels x maxFrames. Allocates only to grow.
  void prepare(int maxChannels, int maxFrames);
  // The processing reset: values in use and output smoothers unset, oversampler cleared and set to
  // the target factor, the model at the oversampled rate with its running state cleared. Same
  // threads as prepare().
  void reset(double sampleRate);

  // Audio thread, before the block: keeps note-on, note-off and control-change messages for it.
  void queueMidi(const plugkit::IMidiMsg& msg);
  // Audio thread: one host block. numInputs and numOutputs are the connected channel counts; the
  // block works on the smaller. Output channels from there up to numOutputs are silenced. Frames
  // beyond the prepared size are silent.
  void process(const double* const* inputs, int numInputs, double* const* outputs, int numOutputs, int nFrames,
               double sampleRate);

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

  void checkRateAndFactor(double sampleRate);
  // True when a controller message was among them.
  bool dispatchMidi(int from, int to, double osRate, bool sorted, size_t& cursor);
  void rebuildRamp(int nFrames);
  // One smoother step: true with the curve in mGain when the value moves, else false with m constant.
  bool smooth(Smoother& s, double target, double kappa, int nFrames, double& m);
  void applyOutputStage(int nCh, int nFrames, double sampleRate);

  const BlockParamRecord& mRecord;
  NoteModeController& mNotes;
  AudioPathHost& mHost;
  VemlorModel mModel;
  Oversampler mOversampler;
  ModelParamUpdater mUpdater;
  ParamSnapshot mSnapshot;
  OutputStage mOutput;

  int mMaxChannels = 0;
  int mMaxFrames = 0;
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
};

} // namespace zarvo
