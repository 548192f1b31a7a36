// The plug-in's owner of the morph field: sessions, points and the parameters they drive, filter
// shapes of a blend, rig texts and the state section, each in morph_controller_<concern>.cpp.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IPluginConfig.h"
#include "IPlugin/IPluginEditorDelegate.h"
#include "IPlugin/IPluginThreadRole.h"
#include "utils/morph/morph_engine.h"
#include "utils/morph/morph_file_router.h"
#include "utils/morph/morph_host.h"
#include "utils/morph/morph_session.h"
#include "utils/morph/morph_zarvo_adapter.h"
#include "utils/morph/pass_shapes.h"
#include "utils/zarvo_file.h"

namespace zarvo::morph {

// Main thread unless an operation says otherwise.
class MorphController final : public IMorphPointSink
{
public:
  struct MainPTShapeView
  {
    stage_coeffs coeffs{};
    double fb = 0.0;
    bool userBlend = false; // not a plain pass type
    int32_t passType = 0;
    double depth = 0.0;
    double tilt = 0.0;
  };

  struct PreFltShapeView
  {
    svf_coeffs coeffs{};
    bool userBlend = false;
    int32_t typeIndex = 0; // 0..PassShapes::preFilterTypes-1
  };

  using PreFltShapeIds = morph::PreFltShapeIds;

  // Per main pass type: the summed shape weight of its points and their weighted mean depth and tilt.
  struct TypeAxes
  {
    double weight = 0.0;
    double depth = 0.0;
    double tilt = 0.0;
  };

  using AppearanceCallback = std::function<void(float lineBrightness, int32_t isoLevels, float gridStep)>;

  static constexpr const char* kRigSection = "morph-rig";
  static constexpr double kShapeTolerance = 0.001;

  // Default layout of the points: x, y (pad units) and activity.
  struct LayoutRow
  {
    double x;
    double y;
    bool active;
  };
  static const std::array<LayoutRow, kNumPoints> kDefaultLayout;

  // `product` is the owning plug-in's configuration: its name and version head the rig texts, its
  // identifier marks its own preset files. `naming` names its parameters in rig texts; `shapes` are
  // its filters' pass-type shapes.
  MorphController(const MorphServices& services, const plugkit::Config& product,
                  const MorphZarvoAdapter::ParamNaming& naming, const PassShapes& shapes);
  MorphController(const MorphController&) = delete;
  MorphController& operator=(const MorphController&) = delete;

  MorphEngine& engine() override { return mEngine; }
  const MorphEngine& engine() const override { return mEngine; }
  MorphFileRouter& fileRouter() { return mFileRouter; }

  // Hands the edit state to the audio thread.
  void publish() { mEngine.publish(); }

  // ---- the morph switch and position

  // Any thread: the mirrors of the three morph parameters; the audio thread reads them every block.
  bool morphOn() const { return mMorphOn.load(std::memory_order_relaxed); }
  double morphX() const { return mMorphX.load(std::memory_order_relaxed); }
  double morphY() const { return mMorphY.load(std::memory_order_relaxed); }
  // Any thread: a mirror follows its parameter (on the audio thread, host automation).
  void mirrorMorphSwitch(bool on) { mMorphOn.store(on, std::memory_order_relaxed); }
  void mirrorMorphX(double x) { mMorphX.store(x, std::memory_order_relaxed); }
  void mirrorMorphY(double y) { mMorphY.store(y, std::memory_order_relaxed); }
  // Main thread: the mirrors take the morph parameters' values; the edit state is published before
  // the switch's mirror turns morphing on.
  void mirrorMorphParams();
  // Main thread: a turn-off from the editor waits for the bake.
  bool turnOffPending() const;
  // Main thread: the position moved in the editor while morphing, or morphing was switched on
  // elsewhere.
  bool movedSinceOn() const;
  // Main thread: morphing was switched on elsewhere (a host restore).
  void noteSwitchedOnElsewhere();

  // ---- what the points hold beyond their values (main thread)

  // The preset each point's sound came from, if any.
  const std::array<PatchIdentity, kNumPoints>& pointIdentity() const;
  // The point's sound is now known as identity.
  void setPointIdentity(size_t point, const PatchIdentity& identity);
  // The randomizer's record of each point's mutations.
  const MutationSession& pointSession(size_t point) const;
  // The pad copied the point's sound: a paste gives its identity to the points it fills.
  void copyPointIdentity(size_t point);
  const PatchIdentity& copiedPointIdentity() const;

  // The morph session: from switching morph on to the bake or the revert. Only the controller
  // changes it.
  using Session = MorphSession::Record;
  const Session& session() const { return mSession.record(); }

  // ---- the pad's edits (main thread)

  // 1 or 2 while the editor waits for a controller to be learned for the pad's x or y; 0 when none.
  int32_t xyLearnPending() const;
  void setXYLearnPending(int32_t axis);

  // A move or spread of points on the pad, open from its first change to its mouse-up: the plug-in
  // state from before it (written by `snapshot`) makes the whole edit one undo step. False when one
  // is open already.
  bool beginPointsEdit(const std::function<void(plugkit::IByteChunk&)>& snapshot);
  bool pointsEditOpen() const;
  // Closes an open edit: its snapshot, or nothing when none was open.
  std::optional<plugkit::IByteChunk> endPointsEdit();
  const plugkit::IByteChunk& pointsEditSnapshot() const;

  // The value the pad reported at the end of its last slider drag (0..1).
  float dragEndValue() const;
  void setDragEndValue(float value);

  // True while the controller itself sends parameter values.
  bool applyingPoint() const;

  // An editor gesture on a parameter of the selected points: several selected points keep the
  // plug-in state from before it (written by `snapshot`) so that the gesture is one undo step.
  // Opened only while morphing with points selected that take edits, none open and no point being
  // applied.
  void beginPointEditGesture(const std::function<void(plugkit::IByteChunk&)>& snapshot);
  struct PointEditGesture
  {
    bool single = false;
    plugkit::IByteChunk before; // empty for a single point
  };
  // Closes an open gesture: what it was, or nothing when none was open.
  std::optional<PointEditGesture> endPointEditGesture();
  bool pointEditGestureOpen() const;

  // The pad's appearance as last reported or restored.
  const MorphZarvoAdapter::Appearance& appearance() const;
  void setAppearance(const MorphZarvoAdapter::Appearance& appearance);
  // What shows settings that arrive from elsewhere (a rig) on the open pad.
  const AppearanceCallback& appearanceChanged() const;
  void setAppearanceChanged(AppearanceCallback callback);

  // ---- points and the parameters they drive

  // Every point takes the current parameters and its place in the default layout.
  void initDefaultPoints();
  // A new instance: points 1 to 5 from starter presets and random sounds, the parked ones random.
  void seedFreshInstancePoints();
  // Presets load into points only while morphing with points selected and point editing allowed.
  bool inPointLoadContext() const override;
  void commitPointsPreset(uint32_t mask, const MorphValues& values, uint32_t noteMask,
                          const PatchIdentity& identity) override;
  // Writes a sound into the points of mask, as one undo step; one point is also applied.
  void writePoints(uint32_t mask, const MorphValues& values, std::optional<uint32_t> noteMask,
                   const PatchIdentity& identity);
  // True when the parameter is one of the three morph parameters.
  bool onMetaParamChanged(int param, double value, plugkit::EParamSource source);
  // A preset's morph switch and position, without informing the host.
  void applyMorphModeParams(double on, double x, double y);
  // An editor edit of a parameter goes into the selected points too.
  void mirrorParamEditIntoPoint(int param, plugkit::EParamSource source);
  // The point's sound becomes the parameters, as editor edits.
  void applyMorphPoint(int point);
  // Whether the blended cutoff of this parameter is a note and the points behind it anchor it.
  bool morphFreqNoteAnchored(int param) const;
  // Every idle tick: republishes while morphing and closes a session whose morph went off.
  void reconcileSession();
  // Every idle tick while the editor is open: the parameters and controls the field drives.
  void syncControls();
  // The field drives the parameters: morphing, and no point to edit.
  bool drivesParams() const;

  // ---- randomizing and mutating points

  void randomize();
  void mutate();
  void randomizeMorphPoints(uint32_t mask);
  void mutateMorphPoints(uint32_t mask);
  void randomizePoint(size_t point);
  void mutatePoint(size_t point);
  void fillPointFromRandomizer(MorphPoint& point, const ParamValueMap& values) const;
  // A parameter's plain value as the point holds it (the parameter's own value for others).
  ParamGetter pointCurrent(const MorphPoint& point) const;

  // ---- baking and reverting

  // The plug-in state with morph off.
  plugkit::IByteChunk snapshotPatchMorphOff();
  // Point 0 becomes the current sound at the current position.
  void captureTeleportFromBase();
  void bakeMorphIntoBase();
  // Called by the editor's layout step before it resizes.
  void commitTurningOffIfPending();
  void revertBaseToPreMorph();
  PatchIdentity bakedPointIdentity() const;
  // What the preset strip shows; nothing while morph is off.
  std::optional<PatchIdentity> stripPresetIdentity() const;

  // ---- parameter values

  // The parameter's current value, constrained and normalised.
  double currentNormalized(int param) const;
  // A point's normalised entry as the parameter's plain value (shaped, stepped, clamped). Any thread.
  double plainOf(int param, double normalized) const;
  // A plain value constrained and normalised.
  double normalizedOf(int param, double plain) const;

  // ---- filter shapes

  // True when the point's main shape is a user blend. Any thread (reads constant parameter data).
  bool pointShape(const MorphPoint& p, stage_coeffs& coeffs, double& fb, int& passType, double& depth,
                  double& tilt) const;
  // True when the point's pre-filter shape is a user blend. Any thread.
  bool pointShapePreFlt(const MorphPoint& p, const PreFltShapeIds& ids, svf_coeffs& coeffs, int& typeIndex) const;

  // Points of one pass type are merged before their shape is made. Any thread.
  template <typename PointOf>
  MainPTShapeView resolveShapeGrouped(const Weights& w, PointOf&& pointOf, double tolerance,
                                      std::array<TypeAxes, kMainPassTypes>* perType) const;

  // Audio thread: the block's sound weights (the engine's last weights) sharpened for shapes.
  Weights blockShapeWeights() const;
  // Audio thread: the main shape of the block's blend over the audio state.
  void resolveMainPTShapeInto(stage_coeffs& coeffs, double& fb) const;
  // Audio thread: a pre-filter's blended mix over the audio state.
  svf_coeffs resolvePreFltBlendInto(const Weights& shapeWeights, const PreFltShapeIds& ids) const;

  // The edit state's sound weights at the morph parameters' position, sharpened for shapes.
  Weights shapeWeights() const;
  MainPTShapeView resolveBlendShapeView(double tolerance) const;
  MainPTShapeView resolveBlendShapeViewPerType(std::array<TypeAxes, kMainPassTypes>& axes, double tolerance) const;
  // The blend while morphing without focus, else the plug-in's own shape.
  MainPTShapeView resolveMainPTShapeView(double tolerance) const;
  PreFltShapeView resolvePreFltShapeView(const PreFltShapeIds& ids, double tolerance) const;
  PreFltShapeView resolvePreFltBlendShapeView(const PreFltShapeIds& ids, double tolerance,
                                              std::array<double, 5>* typeWeights) const;

  // ---- rig text (clipboard and files only while the editor is open)

  ZarvoFile buildRigFile() const;
  void copyRigToClipboard();
  bool pasteRigFromClipboard();
  bool clipboardHasRig() const;
  // Both report the file's result through the editor services.
  void promptImportRig();
  void promptExportRig();
  // kNotOurs when the file holds no usable rig; otherwise it is applied as one undo step.
  plugkit::EFileResult importRigFile(const std::string& path);
  plugkit::EFileResult exportRigFile(const std::string& path) const;
  // False when the file holds no usable rig; otherwise applied as one undo step and published.
  bool applyRigFile(const ZarvoFile& file);
  void applyRig(const MorphZarvoAdapter::RigData& rig);

  // ---- state section

  bool serializeMorphState(plugkit::IByteChunk& chunk) const;
  // The position after the section, pos when there is none, -1 when it is truncated or a count is
  // out of bounds (then nothing changes). Publishes on success.
  int unserializeMorphState(const plugkit::IByteChunk& chunk, int pos);

  static constexpr int32_t kStateVersion = 2;
  static constexpr int32_t kFieldValueCount = 17;
  static constexpr int32_t kPointHeaderCount = 4;
  static constexpr uint32_t kMaxFieldValues = 256;
  static constexpr uint32_t kMaxPointHeader = 256;
  static constexpr uint32_t kMaxPointValues = 4096;

private:
  // Main thread: the focused point through onFocus, else the selected points through onSelection.
  void changeFocusOrSelection(void (MorphController::*onFocus)(size_t), void (MorphController::*onSelection)(uint32_t));

  // A stored normalised value of a row's parameter: clamped, non-finite gives its default.
  double storedNormalized(size_t row, double v) const;
  // Depth and tilt rows of a point rebuilt from its pass type and a legacy variation (normalised).
  void completeLegacyDepthTilt(MorphPoint& p, double variationNormalized) const;
  // The note-mask bits of the three anchoring switches as the parameters hold them.
  uint32_t noteMaskFromSwitches() const;
  double morphXParam() const;
  double morphYParam() const;
  // The sound weights at the morph parameters' position.
  Weights soundWeights() const;
  // An action as one undo step (when there is a preset manager).
  void asUndoStep(const std::function<void()>& action);
  // An editor edit of a plain value (stepped, clamped, normalised).
  void editPlain(int param, double plain);
  void pushParamsIfEditorOpen();
  void clearSelectionAndFocus();
  // The row of a parameter that has one.
  size_t row(int param) const { return static_cast<size_t>(mTable.rowOf(param)); }

  IMorphParams& mParams;
  IPatchHistory& mHistory;
  IMorphEditor& mEditor;
  IEditorServices& mEditorServices;
  IPluginStates& mStates;
  IPatchGenerator& mGenerator;
  const char* const mProductName;
  const plugkit::VersionText mVersionText;
  const MorphZarvoAdapter::ParamNaming mNaming;
  const MorphParamTable& mTable;
  const PassShapes mShapes;
  MorphEngine mEngine;
  MorphFileRouter mFileRouter;
  MorphSession mSession;
  std::mt19937 mRng;

  // Written by the audio thread too.
  std::atomic<bool> mMorphOn{false};
  std::atomic<double> mMorphX{0.5};
  std::atomic<double> mMorphY{0.5};
  std::atomic<bool> mTurnOffPending{false};
  // Main thread.
  bool mMovedSinceOn = false;
  std::array<MutationSession, kNumPoints> mPointSession{};
  std::array<PatchIdentity, kNumPoints> mPointIdentity{};
  int32_t mXYLearnPending = 0;
  PatchIdentity mCopiedPointIdentity{};
  bool mPointsEditOpen = false;
  plugkit::IByteChunk mPointsEditSnapshot;
  float mDragEndValue = 0.f;
  bool mApplyingPoint = false;
  bool mPointEditGestureOpen = false;
  PointEditGesture mPointEditGesture;
  MorphZarvoAdapter::Appearance mAppearance{};
  AppearanceCallback mAppearanceChanged;
};

template <typename PointOf>
MorphController::MainPTShapeView
MorphController::resolveShapeGrouped(const Weights& w, PointOf&& pointOf, double tolerance,
                                     std::array<TypeAxes, kMainPassTypes>* perType) const
{
  MainPTShapeView view;
  double userWeight = 0.0;
  std::array<TypeAxes, kMainPassTypes> sums{};
  const size_t dominant = dominantIndex(w);

  for (size_t i = 0; i < kNumPoints; ++i)
  {
    if (!(w[i] > 0.0))
      continue;
    stage_coeffs c{};
    double fb = 0.0;
    int passType = 0;
    double depth = 0.0;
    double tilt = 0.0;
    if (pointShape(pointOf(i), c, fb, passType, depth, tilt))
    {
      for (size_t k = 0; k < c.size(); ++k)
        view.coeffs[k] += w[i] * c[k];
      view.fb += w[i] * fb;
      userWeight += w[i];
    }
    else
    {
      TypeAxes& t = sums[static_cast<size_t>(std::clamp(passType, 0, kMainPassTypes - 1))];
      t.weight += w[i];
      t.depth += w[i] * depth;
      t.tilt += w[i] * tilt;
    }
  }

  int groups = 0;
  int lastType = 0;
  TypeAxes lastMeans;
  for (size_t t = 0; t < sums.size(); ++t)
  {
    if (!(sums[t].weight > 0.0))
      continue;
    const TypeAxes means{sums[t].weight, sums[t].depth / sums[t].weight, sums[t].tilt / sums[t].weight};
    if (perType)
      (*perType)[t] = means;
    const int type = static_cast<int>(t);
    const stage_coeffs c = mShapes.mainShape(type, means.depth, means.tilt);
    for (size_t k = 0; k < c.size(); ++k)
      view.coeffs[k] += means.weight * c[k];
    view.fb += means.weight * mShapes.mainFeedback(type);
    ++groups;
    lastType = static_cast<int>(t);
    lastMeans = means;
  }

  if (groups == 1 && userWeight <= 0.0)
  {
    view.userBlend = false;
    view.passType = lastType;
    view.depth = lastMeans.depth;
    view.tilt = lastMeans.tilt;
    return view;
  }

  stage_coeffs own{};
  double ownFb = 0.0;
  int passType = 0;
  const bool dominantIsBlend = pointShape(pointOf(dominant), own, ownFb, passType, view.depth, view.tilt);
  view.passType = passType;
  double maxDiff = 0.0;
  for (size_t k = 0; k < own.size(); ++k)
    maxDiff = std::max(maxDiff, std::abs(view.coeffs[k] - own[k]));
  view.userBlend = dominantIsBlend || maxDiff > tolerance;
  return view;
}

} // namespace zarvo::morph
