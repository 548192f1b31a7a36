// Cutoffs that follow incoming MIDI notes: per filter stage the live settings, the block snapshot,
// the note stack with its glide, and the values published to the main thread.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <string>

#include "IPlugin/IMidiMsg.h"
#include "product/params/params.h"
#include "product/audio/relative_mod.h"

namespace plugkit {
class IParam;
} // namespace plugkit

namespace plugkit::gfx {
class IGfx;
} // namespace plugkit::gfx

namespace zarvo {

namespace midi_cc {
class Mapper;
} // namespace midi_cc

class CCModSettings;

// One stage's note settings as one block uses them.
struct NoteModeSnapshot
{
  bool on = false;
  int noteChannel = 0; // 0 any, else 1..16
  int octave = 0;
  int semitone = 0;
  int cent = 0;
  double glideMs = 0.0; // after controller modulation
  bool legatoOnly = false;
  int ccChannel = 0;

  bool operator==(const NoteModeSnapshot&) const = default;
};

// A cutoff's pitch in MIDI note units, gliding linearly (in semitones) towards the newest held note.
// A tick is 16 samples at the oversampled rate. Audio thread only.
template <typename T>
class NoteGlider
{
public:
  static constexpr int kMaxHeld = 128;

  // 440 Hz 2^((note - 69) / 12), limited to 1 .. 20000 Hz.
  static T frequencyOf(T note) { return std::clamp<T>(T(440) * std::exp2((note - T(69)) / T(12)), T(1), T(20000)); }
  static T noteOf(T hz) { return hz > T(0) && std::isfinite(hz) ? T(12) * std::log2(hz / T(440)) + T(69) : T(69); }

  // Idle at the pitch of a cutoff, nothing held.
  void restartAt(T hz)
  {
    mCurrent = mTarget = noteOf(hz);
    mBaseNote = static_cast<int>(std::lround(mCurrent));
    mHeldCount = 0;
    mTickFlag = false;
    mLength = mElapsed = T(0);
  }

  // New shifts move the target; an idle pitch jumps there, a glide in progress keeps going.
  void changeShifts(int octave, int semitone, int cent)
  {
    mOctave = octave;
    mSemitone = semitone;
    mCent = cent;
    mTarget = shifted(mBaseNote);
    if (mLength <= T(0))
      mCurrent = mTarget;
  }

  // A new glide time rescales a glide in progress, or ends it when it has already run that long.
  void changeGlideTime(T ms, T rate, T tickLength)
  {
    mGlideMs = ms;
    mRate = rate;
    mTickLength = tickLength;
    if (mLength <= T(0))
      return;
    const T length = ms / T(1000) * rate / tickLength;
    if (mElapsed >= length)
      stopAtTarget();
    else
      mLength = length;
  }

  void noteOn(int note, const NoteModeSnapshot& settings, T rate, T tickLength)
  {
    mOctave = settings.octave;
    mSemitone = settings.semitone;
    mCent = settings.cent;
    mGlideMs = static_cast<T>(settings.glideMs);
    mRate = rate;
    mTickLength = tickLength;
    if (isHeld(note))
      return;
    const bool wasEmpty = mHeldCount == 0;
    if (mHeldCount < kMaxHeld)
      mHeld[static_cast<size_t>(mHeldCount++)] = static_cast<uint8_t>(note);
    const T target = shifted(note);
    const bool jump = mGlideMs <= T(0) || (wasEmpty && settings.legatoOnly);
    if (!mTickFlag)
      mTickFlag = true;
    // A chord within one tick: a later note wins only when its pitch lies strictly nearer.
    else if (!(std::abs(target - mCurrent) < std::abs(mCurrent - mTarget)))
      return;
    mBaseNote = note;
    retarget(target, jump);
  }

  void noteOff(int note)
  {
    const auto end = mHeld.begin() + mHeldCount;
    const auto it = std::find(mHeld.begin(), end, static_cast<uint8_t>(note));
    if (it != end)
    {
      std::copy(it + 1, end, it);
      --mHeldCount;
    }
    if (mHeldCount == 0)
    {
      mTarget = mCurrent;
      mLength = mElapsed = T(0);
      return;
    }
    mBaseNote = mHeld[static_cast<size_t>(mHeldCount - 1)];
    mTarget = shifted(mBaseNote);
    if (mGlideMs > T(0))
      mLength = mGlideMs / T(1000) * mRate / mTickLength;
    else
    {
      mCurrent = mTarget;
      mLength = T(0);
    }
    mElapsed = T(0);
  }

  // One tick of the glide.
  void advance()
  {
    if (mLength > T(0))
    {
      if (mLength > mElapsed)
      {
        mCurrent += (mTarget - mCurrent) / (mLength - mElapsed);
        mElapsed += T(1);
      }
      if (mElapsed >= mLength || std::abs(mCurrent - mTarget) < T(1e-5))
        stopAtTarget();
    }
    mTickFlag = false;
  }

  T current() const { return mCurrent; }
  T target() const { return mTarget; }
  int baseNote() const { return mBaseNote; }
  T length() const { return mLength; }
  T elapsed() const { return mElapsed; }
  int heldCount() const { return mHeldCount; }
  T frequency() const { return frequencyOf(mCurrent); }

private:
  T shifted(int note) const { return T(note) + T(12 * mOctave + mSemitone) + T(mCent) / T(100); }

  bool isHeld(int note) const
  {
    return std::find(mHeld.begin(), mHeld.begin() + mHeldCount, static_cast<uint8_t>(note)) !=
           mHeld.begin() + mHeldCount;
  }

  void retarget(T target, bool jump)
  {
    mTarget = target;
    if (jump)
    {
      mCurrent = target;
      mLength = T(0);
    }
    else
      mLength = mGlideMs / T(1000) * mRate / mTickLength;
    mElapsed = T(0);
  }

  void stopAtTarget()
  {
    mCurrent = mTarget;
    mLength = mElapsed = T(0);
  }

  T mCurrent = T(69);
  T mTarget = T(69);
  int mBaseNote = 69;
  T mLength = T(0);  // ticks; 0 when idle
  T mElapsed = T(0); // ticks
  std::array<uint8_t, kMaxHeld> mHeld{};
  int mHeldCount = 0;
  int mOctave = 0;
  int mSemitone = 0;
  int mCent = 0;
  T mGlideMs = T(0);
  T mRate = T(0);
  T mTickLength = T(1);
  bool mTickFlag = false; // a note-on took effect in the current tick
};

// What the note-mode controller asks of its plug-in when a note parameter changes.
class NoteModeListener
{
public:
  // A stage's note mode was switched on: its cutoff's controller modulates from now on.
  virtual void noteModeSwitchedOn(int cutoffParam) = 0;
  // A stage's controller channel changed; the controller map follows on the main thread.
  virtual void controllerChannelChanged(int cutoffParam, int channel) = 0;

protected:
  ~NoteModeListener() = default;
};

class NoteModeController
{
public:
  static constexpr int kNumStages = 3; // main filter, pre-filter A, pre-filter B
  static constexpr std::array<int, kNumStages> kStageCutoffParam = {par_main_cutoff_hz, par_preFlt_A_hz,
                                                                    par_preFlt_B_hz};
  static constexpr std::array<int, kNumStages> kStageGlidePid = {par_main_glide_ms, par_preA_glide_ms,
                                                                 par_preB_glide_ms};
  static constexpr std::array<int, kNumStages> kStageFirstParam = {par_main_midi_note_on, par_preA_midi_note_on,
                                                                   par_preB_midi_note_on};
  static constexpr int kParamsPerStage = 8;
  static constexpr double kTickLength = 16.0;

  using Snapshots = std::array<NoteModeSnapshot, kNumStages>;

  // Main thread. The listener may be null (nothing to tell).
  explicit NoteModeController(NoteModeListener* listener = nullptr)
    : mListener(listener)
  {}
  NoteModeController(const NoteModeController&) = delete;
  NoteModeController& operator=(const NoteModeController&) = delete;

  // Any thread (the thread that changes the parameter): true exactly for the 24 note parameters,
  // whose value it takes into the stage's live settings.
  bool onParamChanged(int param, double value);
  // Any thread: moves after every change of a live setting.
  uint64_t changes() const { return mChanges.load(std::memory_order_acquire); }

  // Any thread: the cutoff parameter's stage follows notes now (live setting).
  bool isCutoffNoteModeOn(int param) const;
  // Audio thread, asked by the controller map for every mapped parameter: a cutoff whose stage
  // follows notes takes no absolute controller value.
  bool allowsAbsoluteCC(int param) const { return !isCutoffNoteModeOn(param); }

  // ---- audio thread, in the order the block runs them

  // The live settings become the block snapshots; glide times pass through controller modulation.
  void takeSnapshots(const ParamModulator& modulator);
  Snapshots& snapshots() { return mSnapshots; }
  const Snapshots& snapshots() const { return mSnapshots; }
  // Switching on and off, changed shifts and glide times against the previous block. cutoffs are
  // the stages' current cutoffs (Hz): read when a stage switches on, written when it switches off.
  void beginBlock(double osRate, const std::array<double*, kNumStages>& cutoffs);
  // A note-on or note-off message, for every stage whose block snapshot is on.
  void handleNoteMessage(const plugkit::IMidiMsg& msg, double osRate);
  // The stage's block snapshot is on.
  bool followsNotes(int stage) const { return mSnapshots[static_cast<size_t>(stage)].on; }
  // One tick of the stage's glide; returns its cutoff in Hz.
  double advanceTick(int stage);
  // One tick of the stage's cutoff-modulation smoother towards depthOctaves; returns its value.
  double smoothCutoffModulation(int stage, double depthOctaves);
  void clearModulationSmoothers();
  // The stage's glide restarts idle at a cutoff (Hz).
  void restartGlider(int stage, double cutoffHz) { mStages[static_cast<size_t>(stage)].glider.restartAt(cutoffHz); }
  // After the block's ticks: played frequency and note-held flag of every stage that follows notes.
  void publish();
  double smootherTicks() const { return mSmootherTicks; }
  const NoteGlider<double>& glider(int stage) const { return mStages[static_cast<size_t>(stage)].glider; }

  // ---- main thread readers

  // The last played frequency of the stage (Hz), or -1 before any.
  double publishedFrequency(int stage) const { return stageAt(stage).published.load(std::memory_order_relaxed); }
  bool noteHeld(int stage) const { return stageAt(stage).noteHeld.load(std::memory_order_relaxed); }
  int controllerNumber(int stage) const { return stageAt(stage).ccNumber.load(std::memory_order_relaxed); }
  void setControllerNumber(int stage, int number)
  {
    mStages[static_cast<size_t>(stage)].ccNumber.store(number, std::memory_order_relaxed);
  }

  // Stage index of a cutoff parameter, or -1.
  static int stageOfCutoff(int param);

  // What syncUI reaches: the open editor, the stages' cutoff parameters, the controller map and the
  // controller modes.
  struct EditorView
  {
    plugkit::gfx::IGfx& g;
    std::array<plugkit::IParam*, kNumStages> cutoffs;
    const midi_cc::Mapper& map;
    const CCModSettings& ccMod;
  };
  // Main thread, while the editor is open: a stage that follows notes shows the pitch it plays in its
  // cutoff's controls (a control in a depth gesture keeps its value), and every stage its controller
  // number in its controller displays. Controls are marked dirty only when what they show changed.
  void syncUI(const EditorView& view);
  // The label of a cutoff's controller display: "--" without a controller, "#cc abs" while the
  // controller sets the value, "#cc" while it modulates.
  static std::string controllerLabel(int cc, bool held);

private:
  struct LiveSettings
  {
    std::atomic<bool> on{false};
    std::atomic<int> noteChannel{0};
    std::atomic<int> octave{0};
    std::atomic<int> semitone{0};
    std::atomic<int> cent{0};
    std::atomic<double> glideMs{0.0};
    std::atomic<bool> glideAlways{false};
    std::atomic<int> ccChannel{0};
  };

  struct ModSmoother
  {
    double current = 0.0; // octaves
    double target = 0.0;
    double remaining = 0.0; // ticks
  };

  struct Stage
  {
    LiveSettings live;
    NoteModeSnapshot previous;
    NoteGlider<double> glider;
    ModSmoother smoother;
    std::atomic<double> published{-1.0};
    std::atomic<bool> noteHeld{false};
    std::atomic<int> ccNumber{-1};
  };

  const Stage& stageAt(int stage) const { return mStages[static_cast<size_t>(std::clamp(stage, 0, kNumStages - 1))]; }

  NoteModeListener* mListener;
  std::array<Stage, kNumStages> mStages;
  Snapshots mSnapshots{};
  std::atomic<uint64_t> mChanges{0};
  double mSmootherTicks = 8.0;
};

} // namespace zarvo
