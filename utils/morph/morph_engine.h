// The morph field's points and settings, and the maths that turns a pad position into point
// weights, weights into one sound, and the field into what the pad draws.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "IPlugin/IPluginThreadRole.h"
#include "utils/morph/morph_params.h"
#include "utils/rt_snapshot.h"

namespace zarvo::morph {

using Weights = std::array<double, kNumPoints>;
using Scales = std::array<double, kNumPoints>;
using MorphValues = std::array<double, kNumMorphParams>;

struct MorphPoint
{
  double x = 0.5; // pad units, 0 left .. 1 right
  double y = 0.5;
  bool active = false;
  uint32_t noteMask = 0; // bit r: row r is a cutoff read as the played note (bits 1, 11, 13 only)
  MorphValues values{};  // normalised, one per parameter row

  bool operator==(const MorphPoint&) const = default;
};

inline constexpr int kNumModels = 5;

// The per-model slot of a model number; numbers above 4 use the last slot.
constexpr size_t modelSlot(uint32_t model) { return model < kNumModels ? model : kNumModels - 1; }

class MorphEngine
{
public:
  static constexpr MorphParamRows kPlainRows{};

  // Everything the audio thread needs of the field; trivially copyable for the snapshot.
  struct RTState
  {
    std::array<MorphPoint, kNumPoints> points{};
    double sigma = 1.0;
    double shapeContrast = 0.0;
    double cutoffContrast = 0.0;
    double kernelTail = 0.5;
    double tailPower = 5.0;
    std::array<double, kNumModels> neighborIndex = {2.0, 2.0, 2.0, 1.0, 2.0};
    double nnRadius = 2.0;
    double aspect = 227.0 / 101.0;   // pad width / pad height
    double snapRadius = 4.5 / 101.0; // pad-height units
    double centreSnapRadius = 3.75 / 101.0;
    double snapFeather = 1.75; // multiple of the snap radius
    double snapCurve = 2.0;
    int32_t nnSamples = 11;
    int32_t focus = -1;
    uint32_t model = 1;

    bool operator==(const RTState&) const = default;
  };

  struct FieldSample
  {
    size_t point = 0;
    double weight = 0.0;
  };

  // Per unit of point scale.
  static constexpr double kSnapRadiusPerScale = 4.5 / 101.0;
  static constexpr double kCentreSnapRadiusPerScale = 3.75 / 101.0;

  // Both states default, published once: the snapshot's sequence is 2.
  // `rows` say how each row blends; without them every row is a weighted sum of model weights.
  explicit MorphEngine(const MorphParamRows& rows = kPlainRows);
  MorphEngine(const MorphEngine&) = delete;
  MorphEngine& operator=(const MorphEngine&) = delete;

  // Audio thread: what the block function made of the last blend, and the position it was made
  // at. The blend depends on nothing but the field and the position, so a block that finds both
  // unchanged reuses it.
  struct BlockBlend
  {
    bool valid = false;
    double x = 0.0;
    double y = 0.0;
    MorphValues plain{};                // the blended values as the parameters' plain values
    std::array<double, 6> mainShape{};  // five stage-mix coefficients and the feedback value
    std::array<double, 3> preFilterA{}; // low-pass, high-pass and band-pass weights
    std::array<double, 3> preFilterB{};
  };

  // ---- state

  // Main thread: the field as it is edited, and how the pad edits it.
  const RTState& editState() const
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    return mEditState;
  }
  double pointScale() const // 1..2
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    return mPointScale;
  }
  bool editing() const
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    return mEditing;
  }
  bool padOption() const
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    return mPadOption;
  }
  bool moving() const
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    return mMoving;
  }
  uint32_t selection() const // bit i: point i selected
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    return mSelection;
  }

  // ---- editing (main thread; the audio thread hears a field edit once it is published)

  // One edit: what it names changes, the rest stays. The whole field goes first, then the point
  // edits, then the settings; point edits without a point, or past the last point, are ignored.
  struct Edit
  {
    // The whole field at once, e.g. a state read in full before it is taken over.
    const RTState* field = nullptr;

    std::optional<size_t> point{};
    const MorphPoint* whole = nullptr;
    std::optional<double> x{}; // pad units
    std::optional<double> y{};
    std::optional<bool> active{};
    const MorphValues* values = nullptr;
    // The value of one row; a row past the last is ignored.
    std::optional<size_t> row{};
    std::optional<double> value{};
    std::optional<uint32_t> noteMask{};

    // The point whose sound is heard regardless of the position; -1: none.
    std::optional<int32_t> focus{};
    std::optional<uint32_t> model{};
    std::optional<double> sigma{};
    std::optional<double> shapeContrast{};
    std::optional<double> cutoffContrast{};
    std::optional<double> aspect{};     // pad width / pad height
    std::optional<double> snapRadius{}; // pad-height units
    std::optional<double> centreSnapRadius{};

    // How the pad edits the field; never published.
    std::optional<double> pointScale{}; // 1..2
    std::optional<bool> editing{};
    std::optional<bool> padOption{};
    std::optional<bool> moving{};
    std::optional<uint32_t> selection{}; // bit i: point i selected
  };
  void edit(const Edit& e);

  // Audio thread: the field as the last block copied it, that block's weights, and what the
  // block function made of them.
  const RTState& audioState() const
  {
    PLUGKIT_ASSERT_AUDIO_THREAD();
    return mAudioState;
  }
  const Weights& weights() const
  {
    PLUGKIT_ASSERT_AUDIO_THREAD();
    return mWeights;
  }
  const MorphValues& resolved() const
  {
    PLUGKIT_ASSERT_AUDIO_THREAD();
    return mResolved;
  }
  const BlockBlend& blockBlend() const
  {
    PLUGKIT_ASSERT_AUDIO_THREAD();
    return mBlockBlend;
  }

  // Audio thread, once per block: takes over a newer published field, records the position, and
  // when the field or the position changed since the last blend, blends anew: true then, and the
  // caller hands what it derives from resolved() to setBlockDerived.
  bool blendBlock(double x, double y);
  // Audio thread: blends the audio state with the given weights instead of a position's.
  void blendWeights(const Weights& w);
  // Audio thread: the parameters' plain values and the shapes derived from the latest blend.
  void setBlockDerived(const MorphValues& plain, const std::array<double, 6>& mainShape,
                       const std::array<double, 3>& preFilterA, const std::array<double, 3>& preFilterB);

  // Any thread: the record handed from the main thread to the audio thread.
  const RTSnapshot<RTState>& snapshot() const { return mSnapshot; }

  // The pad position of the sound: written by the audio thread each block, read by the main thread.
  void setPosition(double x, double y);
  double positionX() const { return mPosX.load(std::memory_order_relaxed); }
  double positionY() const { return mPosY.load(std::memory_order_relaxed); }

  // Main thread: hands the edit state to the audio thread.
  void publish()
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    mSnapshot.publish(mEditState);
  }
  // Audio thread: refreshes the audio state; false keeps the previous block's copy.
  bool loadAudioState()
  {
    PLUGKIT_ASSERT_AUDIO_THREAD();
    return mSnapshot.load(mAudioState, mAudioSequence);
  }
  // Audio thread: refreshes the audio state only when a record was published since the last
  // copy; true when it was refreshed. Copying the whole field every block costs more than blocks
  // of a few samples can afford.
  bool loadNewerAudioState()
  {
    if (mSnapshot.sequence() == mAudioSequence)
      return false;
    return loadAudioState();
  }

  // Point editing is allowed: the pad is editing, or it is not moving points.
  bool pointEditingAllowed() const { return mEditing || !mMoving; }

  // ---- weighting (any thread, each on its own state; no allocation)

  // True when at least one point is active.
  bool computeScales(const RTState& s, Scales& scales) const;
  // The weights for sound: focus, model, then the soft snaps.
  void computeWeightsInto(const RTState& s, double x, double y, Weights& w, const Scales& scales, bool useFocus,
                          double widthScale) const;
  // The model's weights alone; a model above 4 leaves w untouched.
  void computeBlendInto(const RTState& s, double x, double y, Weights& w, const Scales& scales,
                        double widthScale) const;
  // True when the position lies within point p's snap reach (w then eased towards p).
  bool softSnap(const RTState& s, size_t p, double x, double y, double radius, Weights& w) const;
  void computeGaussianInto(const RTState& s, double x, double y, Weights& w, bool adaptive, const Scales& scales,
                           double widthScale) const;
  void computeCompactTailInto(const RTState& s, double x, double y, Weights& w, double tail, const Scales& scales,
                              double widthScale, double width) const;
  void computeNaturalNeighborInto(const RTState& s, double x, double y, Weights& w, double widthScale) const;
  // Sharpens w towards its largest entry; g <= 1 or no positive weight leaves it unchanged.
  static void applyGamma(Weights& w, double gamma);
  // The gamma of a contrast setting: stronger outside the natural-neighbour model.
  static double contrastGamma(double contrast, uint32_t model);

  // ---- resolving

  // Any thread: the 60 blended values of a weight vector.
  void resolveInto(const RTState& s, const Weights& w, MorphValues& out) const;
  // Main thread: the edit state's sound at a position, without focus.
  MorphValues resolvedAt(double x, double y) const;

  // ---- field analysis for the pad (main thread, edit state, focus never honoured)

  double dominanceAt(double x, double y, const Scales& scales) const;
  double dominanceForRidgesAt(double x, double y, const Scales& scales) const;
  FieldSample fieldSampleAt(double x, double y, const Scales& scales) const;

private:
  // Model weights and snapping, without focus.
  void unfocusedWeightsInto(const RTState& s, double x, double y, Weights& w, const Scales& scales,
                            double widthScale) const;

  RTState mEditState;
  RTState mAudioState; // audio thread
  RTSnapshot<RTState> mSnapshot;
  double mPointScale = 1.0;
  bool mEditing = false;
  bool mPadOption = false;
  bool mMoving = false;
  uint32_t mSelection = 0;
  Weights mWeights{};      // audio thread
  MorphValues mResolved{}; // audio thread
  BlockBlend mBlockBlend;  // audio thread

  std::atomic<double> mPosX{0.5};
  std::atomic<double> mPosY{0.5};
  const MorphParamRows& mRows;
  uint32_t mAudioSequence = 1; // the sequence audioState was copied at; odd: none yet
};

// Index of the largest weight: ties and all-zero weights keep the lowest index.
size_t dominantIndex(const Weights& w);

} // namespace zarvo::morph
