#include "utils/morph/morph_controller.h"

#include <bit>
#include <chrono>
#include <limits>

#include <fmt/format.h>

#include "IPlugin/IPluginThreadRole.h"
#include "utils/morph/stored_values.h"

namespace zarvo::morph {

namespace {

// A pre-filter parameter's entry of a point; the shape ids all name morph rows.
double entryOf(const MorphParamTable& table, const MorphPoint& p, int param)
{
  const int r = table.rowOf(param);
  return r >= 0 ? p.values[static_cast<size_t>(r)] : 0.0;
}

uint32_t systemSeed()
{
  try
  {
    std::random_device device("/dev/urandom");
    return device();
  }
  catch (...)
  {
    return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  }
}

constexpr double kParkOffset = 4.5 / 101.0;
constexpr double kBakeWeight = 0.9;
constexpr double kAnchorWeight = 0.001;
constexpr double kMaxAnchorCents = 25.0;

// Restores a flag when the scope ends, also on an early return.
class FlagScope
{
public:
  explicit FlagScope(bool& flag)
    : mFlag(flag)
    , mWas(flag)
  {
    flag = true;
  }
  ~FlagScope() { mFlag = mWas; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

private:
  bool& mFlag;
  bool mWas;
};

} // namespace

const std::array<MorphController::LayoutRow, kNumPoints> MorphController::kDefaultLayout = {{
  {0.5, 0.5, false},
  {0.5, 0.85, true},
  {0.648, 0.608, true},
  {0.591, 0.217, true},
  {0.409, 0.217, true},
  {0.353, 0.608, true},
  {0.82, 0.74, false},
  {0.82, 0.6, false},
  {0.82, 0.46, false},
  {0.82, 0.32, false},
  {0.882, 0.74, false},
  {0.882, 0.6, false},
  {0.882, 0.46, false},
  {0.882, 0.32, false},
  {0.944, 0.74, false},
  {0.944, 0.6, false},
  {0.944, 0.46, false},
}};

MorphController::MorphController(const MorphServices& services, const plugkit::Config& product,
                                 const MorphZarvoAdapter::ParamNaming& naming, const PassShapes& shapes)
  : mParams(services.params)
  , mHistory(services.history)
  , mEditor(services.editor)
  , mStates(services.states)
  , mGenerator(services.generator)
  , mProductName(product.pluginName)
  , mVersionText(plugkit::MakeVersionText(product.version))
  , mNaming(naming)
  , mTable(*naming.table)
  , mShapes(shapes)
  , mEngine(mTable.rows)
  , mFileRouter({services.params, services.history, services.editor, services.states}, *this, product, mTable)
  , mRng(systemSeed())
{}

// ---- the switch, the position and what the pad keeps

void MorphController::mirrorMorphParams()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mMorphX = morphXParam();
  mMorphY = morphYParam();
  publish();
  mMorphOn = mParams.param(mTable.morphActive).Value() > 0.5;
}

bool MorphController::turnOffPending() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mTurnOffPending.load();
}

bool MorphController::movedSinceOn() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mMovedSinceOn;
}

void MorphController::noteSwitchedOnElsewhere()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mMovedSinceOn = true;
}

const std::array<PatchIdentity, kNumPoints>& MorphController::pointIdentity() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mPointIdentity;
}

void MorphController::setPointIdentity(size_t point, const PatchIdentity& identity)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (point < kNumPoints)
    mPointIdentity[point] = identity;
}

const MutationSession& MorphController::pointSession(size_t point) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mPointSession[std::min(point, kNumPoints - 1)];
}

void MorphController::copyPointIdentity(size_t point)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (point < kNumPoints)
    mCopiedPointIdentity = mPointIdentity[point];
}

const PatchIdentity& MorphController::copiedPointIdentity() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mCopiedPointIdentity;
}

int32_t MorphController::xyLearnPending() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mXYLearnPending;
}

void MorphController::setXYLearnPending(int32_t axis)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mXYLearnPending = axis;
}

bool MorphController::beginPointsEdit(const std::function<void(plugkit::IByteChunk&)>& snapshot)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mPointsEditOpen)
    return false;
  mPointsEditSnapshot.Clear();
  snapshot(mPointsEditSnapshot);
  mPointsEditOpen = true;
  return true;
}

bool MorphController::pointsEditOpen() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mPointsEditOpen;
}

std::optional<plugkit::IByteChunk> MorphController::endPointsEdit()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mPointsEditOpen)
    return std::nullopt;
  mPointsEditOpen = false;
  return mPointsEditSnapshot;
}

const plugkit::IByteChunk& MorphController::pointsEditSnapshot() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mPointsEditSnapshot;
}

float MorphController::dragEndValue() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mDragEndValue;
}

void MorphController::setDragEndValue(float value)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mDragEndValue = value;
}

bool MorphController::applyingPoint() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mApplyingPoint;
}

void MorphController::beginPointEditGesture(const std::function<void(plugkit::IByteChunk&)>& snapshot)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const uint32_t selected = mEngine.selection() & kPointBits;
  if (mApplyingPoint || mPointEditGestureOpen || !mMorphOn || !mEngine.pointEditingAllowed() || selected == 0)
    return;
  mPointEditGesture.single = std::popcount(selected) == 1;
  if (!mPointEditGesture.single)
  {
    mPointEditGesture.before.Clear();
    snapshot(mPointEditGesture.before);
  }
  mPointEditGestureOpen = true;
}

std::optional<MorphController::PointEditGesture> MorphController::endPointEditGesture()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mPointEditGestureOpen)
    return std::nullopt;
  mPointEditGestureOpen = false;
  return mPointEditGesture;
}

bool MorphController::pointEditGestureOpen() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mPointEditGestureOpen;
}

const MorphZarvoAdapter::Appearance& MorphController::appearance() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mAppearance;
}

void MorphController::setAppearance(const MorphZarvoAdapter::Appearance& appearance)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mAppearance = appearance;
}

const MorphController::AppearanceCallback& MorphController::appearanceChanged() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mAppearanceChanged;
}

void MorphController::setAppearanceChanged(AppearanceCallback callback)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mAppearanceChanged = std::move(callback);
}

// ---- helpers

uint32_t MorphController::noteMaskFromSwitches() const
{
  uint32_t mask = 0;
  for (const NoteAnchor& a : mTable.noteAnchors)
  {
    if (mParams.param(a.switchParam).Value() > 0.5)
      mask |= 1u << a.row;
  }
  return mask;
}

double MorphController::morphXParam() const { return mParams.param(mTable.morphX).Value(); }
double MorphController::morphYParam() const { return mParams.param(mTable.morphY).Value(); }

Weights MorphController::soundWeights() const
{
  const MorphEngine::RTState& s = mEngine.editState();
  Scales scales{};
  mEngine.computeScales(s, scales);
  Weights w{};
  mEngine.computeWeightsInto(s, morphXParam(), morphYParam(), w, scales, true, 1.0);
  return w;
}

void MorphController::asUndoStep(const std::function<void()>& action)
{
  const ParamEdits::Scope change(mParams.paramEdits(), plugkit::EParamSource::kPresetRecall);
  if (!mHistory.hasPresetManager())
  {
    action();
    return;
  }
  mHistory.pushUndo();
  action();
  mHistory.setCurrentListIndex(-1);
  mHistory.captureBaseline();
}

void MorphController::editPlain(int param, double plain)
{
  mParams.editParamFromEditor(param, normalizedOf(param, plain));
}

void MorphController::pushParamsIfEditorOpen()
{
  if (mEditor.editorOpen())
    mEditor.pushParamsToEditor();
}

void MorphController::closeSession()
{
  mEngine.selection() = 0;
  mEngine.editState().focus = -1;
  mHistory.setMorphSessionMark(0);
  mSession.active = false;
  mSession.preMorphValid = false;
  mSession.pointApplied = false;
}

// ---- points and the parameters they drive

void MorphController::initDefaultPoints()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const uint32_t mask = noteMaskFromSwitches();
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    MorphPoint& p = mEngine.editState().points[i];
    for (size_t r = 0; r < kNumMorphParams; ++r)
      p.values[r] = currentNormalized(mTable.rows[r].param);
    p.noteMask = mask;
    const LayoutRow& place = kDefaultLayout[i];
    p.x = place.x;
    p.y = (i == 0 || place.active) ? place.y - kParkOffset : place.y;
    p.active = place.active;
  }
}

void MorphController::seedFreshInstancePoints()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  enum class Seed
  {
    Starter,
    Random
  };
  const auto shuffle = [this](auto& items) {
    for (size_t i = 0; i + 1 < items.size(); ++i)
    {
      std::uniform_int_distribution<size_t> pick(i, items.size() - 1);
      std::swap(items[i], items[pick(mRng)]);
    }
  };
  std::array<Seed, 5> seeds = {Seed::Starter, Seed::Starter, Seed::Starter, Seed::Random, Seed::Random};
  shuffle(seeds);

  const IPatchGenerator::StarterPresets starters = mGenerator.starterPresets();
  const size_t n = std::min(starters.params.size(), starters.listIndices.size());
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i)
    order[i] = i;
  shuffle(order);

  size_t c = 0;
  for (size_t point = 1; point <= seeds.size(); ++point)
  {
    if (seeds[point - 1] == Seed::Random || n == 0)
    {
      randomizePoint(point);
      continue;
    }
    const size_t k = order[c % n];
    MorphPoint& p = mEngine.editState().points[point];
    fillPointFromRandomizer(p, starters.params[k]);
    mGenerator.recordRandomized(mPointSession[point], pointCurrent(p));
    mPointIdentity[point] =
      mHistory.hasPresetManager() ? mHistory.identityForListIndex(starters.listIndices[k]) : PatchIdentity{};
    ++c;
  }
  for (size_t point = seeds.size() + 1; point < kNumPoints; ++point)
    randomizePoint(point);
  publish();
}

bool MorphController::inPointLoadContext() const
{
  return mMorphOn && (mEngine.selection() & kPointBits) != 0 && mEngine.pointEditingAllowed();
}

void MorphController::commitPointsPreset(uint32_t mask, const MorphValues& values, uint32_t noteMask,
                                         const PatchIdentity& identity)
{
  writePoints(mask, values, noteMask, identity);
}

void MorphController::writePoints(uint32_t mask, const MorphValues& values, std::optional<uint32_t> noteMask,
                                  const PatchIdentity& identity)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mask &= kPointBits;
  if (mask == 0)
    return;
  asUndoStep([&] {
    for (size_t i = 0; i < kNumPoints; ++i)
    {
      if (!(mask & (1u << i)))
        continue;
      MorphPoint& p = mEngine.editState().points[i];
      p.values = values;
      if (noteMask)
        p.noteMask = *noteMask & mTable.noteMaskBits();
      mPointIdentity[i] = identity;
    }
    if (std::has_single_bit(mask))
      applyMorphPoint(std::countr_zero(mask));
  });
  publish();
  if (mEditor.editorOpen())
    mEditor.markControlsDirty();
}

bool MorphController::onMetaParamChanged(int param, double value, plugkit::EParamSource source)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const bool fromEditor = source == plugkit::EParamSource::kUI;
  if (param == mTable.morphX || param == mTable.morphY)
  {
    (param == mTable.morphX ? mMorphX : mMorphY) = value;
    if (fromEditor && mMorphOn)
      mMovedSinceOn = true;
    return true;
  }
  if (param != mTable.morphActive)
    return false;

  if (value != 0.0)
  {
    mTurnOffPending = false;
    mMovedSinceOn = !fromEditor;
    if (fromEditor && !mSession.active)
    {
      mEngine.selection() = 0;
      mEngine.editState().focus = -1;
      mSession.active = true;
      mSession.preMorphChunk = snapshotPatchMorphOff();
      mSession.preMorphValid = true;
      mSession.preMorphIdentity = mHistory.hasPresetManager() ? mHistory.currentIdentity() : PatchIdentity{};
      mSession.pointApplied = false;
      captureTeleportFromBase();
      mSession.undoDepthAtStart = 0;
      if (mHistory.hasPresetManager())
      {
        mHistory.captureBaseline();
        mSession.undoDepthAtStart = mHistory.undoDepth();
        mHistory.setMorphSessionMark(mSession.undoDepthAtStart);
      }
    }
    publish();
    mMorphOn = true;
    mEditor.raiseLayoutUpdate();
    return true;
  }

  // Off at once unless the editor turns it off where the sound is a blend worth keeping.
  bool atOnce = !fromEditor;
  if (!atOnce && mEngine.editState().focus < 0 && !mMovedSinceOn)
  {
    atOnce = !resolveBlendShapeView(kShapeTolerance).userBlend &&
             !resolvePreFltBlendShapeView(mTable.preFltA, kShapeTolerance, nullptr).userBlend &&
             !resolvePreFltBlendShapeView(mTable.preFltB, kShapeTolerance, nullptr).userBlend;
  }
  if (atOnce)
    mMorphOn = false;
  else
    mTurnOffPending = true;
  publish();
  mEditor.raiseLayoutUpdate();
  return true;
}

void MorphController::applyMorphModeParams(double on, double x, double y)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const ParamEdits::Scope change(mParams.paramEdits(), plugkit::EParamSource::kPresetRecall);
  mParams.param(mTable.morphActive).Set(on);
  mParams.param(mTable.morphX).Set(x);
  mParams.param(mTable.morphY).Set(y);
  mMorphOn = on > 0.5;
  mMorphX = morphXParam();
  mMorphY = morphYParam();
  publish();
  mEditor.raiseLayoutUpdate();
  pushParamsIfEditorOpen();
}

void MorphController::mirrorParamEditIntoPoint(int param, plugkit::EParamSource source)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (source != plugkit::EParamSource::kUI || !mMorphOn || !mEngine.pointEditingAllowed() || mApplyingPoint ||
      (mEngine.selection() & kPointBits) == 0)
    return;

  const auto anchor = std::find_if(mTable.noteAnchors.begin(), mTable.noteAnchors.end(),
                                   [param](const NoteAnchor& a) { return a.switchParam == param; });
  const int row = mTable.rowOf(param);
  if (anchor == mTable.noteAnchors.end() && row < 0)
    return;
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    if (!(mEngine.selection() & (1u << i)))
      continue;
    MorphPoint& p = mEngine.editState().points[i];
    if (anchor != mTable.noteAnchors.end())
    {
      const uint32_t bit = 1u << anchor->row;
      p.noteMask = mParams.param(param).Value() > 0.5 ? (p.noteMask | bit) : (p.noteMask & ~bit);
    }
    else
      p.values[static_cast<size_t>(row)] = currentNormalized(param);
    mPointIdentity[i].modified = true;
  }
}

void MorphController::applyMorphPoint(int point)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (point < 0 || point >= static_cast<int>(kNumPoints))
    return;
  mSession.pointApplied = true;
  mEngine.selection() = 1u << point;
  mEngine.editState().focus = mEngine.pointEditingAllowed() ? point : -1;
  const FlagScope applying(mApplyingPoint);

  // A copy: the edits reach the plug-in's handlers, which may touch the points.
  const MorphPoint p = mEngine.editState().points[static_cast<size_t>(point)];
  for (size_t r = 0; r < kNumMorphParams; ++r)
  {
    const int param = mTable.rows[r].param;
    if (!mParams.heldByController(param))
      mParams.editParamFromEditor(param, p.values[r]);
  }
  for (const NoteAnchor& a : mTable.noteAnchors)
    mParams.editParamFromEditor(a.switchParam, (p.noteMask & (1u << a.row)) ? 1.0 : 0.0);
  pushParamsIfEditorOpen();
}

bool MorphController::morphFreqNoteAnchored(int param) const
{
  const int row = mTable.rowOf(param);
  if (row < 0)
    return false;
  const size_t r = static_cast<size_t>(row);
  const uint32_t bit = 1u << r;
  const auto noteOf = [&](double normalized) { return 12.0 * std::log2(plainOf(param, normalized) / 440.0) + 69.0; };

  const double x = morphXParam();
  const double y = morphYParam();
  const double n = noteOf(mEngine.resolvedAt(x, y)[r]);
  const double nearest = std::round(n);
  if (!std::isfinite(n) || std::abs(n - nearest) * 100.0 > kMaxAnchorCents)
    return false;

  const MorphEngine::RTState& s = mEngine.editState();
  Scales scales{};
  mEngine.computeScales(s, scales);
  Weights w{};
  mEngine.computeWeightsInto(s, x, y, w, scales, false, 1.0);
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    const MorphPoint& p = s.points[i];
    if (w[i] > kAnchorWeight && (p.noteMask & bit) && std::round(noteOf(p.values[r])) == nearest)
      return true;
  }
  return false;
}

void MorphController::reconcileSession()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const bool manager = mHistory.hasPresetManager();
  if (mMorphOn)
  {
    publish();
    if (!mSession.active)
    {
      mSession.active = true;
      mSession.preMorphValid = false;
      mSession.pointApplied = false;
      mSession.undoDepthAtStart = manager ? mHistory.undoDepth() : 0;
      if (manager)
        mHistory.setMorphSessionMark(mSession.undoDepthAtStart);
    }
    return;
  }
  if (!mSession.active || mTurnOffPending)
    return;

  if (mSession.pointApplied && mSession.preMorphValid)
  {
    revertBaseToPreMorph();
    if (manager)
    {
      mHistory.commitFromState(plugkit::IByteChunk(), mSession.undoDepthAtStart);
      mHistory.selectIdentity(mSession.preMorphIdentity);
    }
  }
  else if (manager)
  {
    mHistory.trimUndoTo(mSession.undoDepthAtStart);
    mHistory.captureBaseline();
  }
  closeSession();
}

bool MorphController::drivesParams() const
{
  return mMorphOn && (!mEngine.pointEditingAllowed() || (mEngine.selection() & kPointBits) == 0);
}

void MorphController::syncControls()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mEditor.editorOpen())
    return;
  const bool drive = drivesParams();
  std::optional<MorphValues> resolved;
  if (mMorphOn && mEngine.editState().focus < 0 && !mPointEditGestureOpen)
    resolved = mEngine.resolvedAt(morphXParam(), morphYParam());

  for (size_t r = 0; r < kNumMorphParams; ++r)
  {
    const int param = mTable.rows[r].param;
    const bool held = mParams.heldByController(param);
    const bool cutoff = mTable.isCutoffRow(r);
    std::optional<double> shown;
    if (resolved && !held && !(cutoff && mParams.cutoffFollowsNotes(param)))
    {
      mParams.param(param).Set(plainOf(param, (*resolved)[r]));
      shown = (*resolved)[r];
    }
    mEditor.driveControls(param, shown, !held && drive);
  }
}

// ---- randomizing and mutating points

void MorphController::randomize()
{
  changeFocusOrSelection(&MorphController::randomizePoint, &MorphController::randomizeMorphPoints);
}

void MorphController::mutate()
{
  changeFocusOrSelection(&MorphController::mutatePoint, &MorphController::mutateMorphPoints);
}

void MorphController::changeFocusOrSelection(void (MorphController::*onFocus)(size_t),
                                             void (MorphController::*onSelection)(uint32_t))
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mEngine.pointEditingAllowed())
    return;
  const int32_t focus = mEngine.editState().focus;
  if (focus < 0 || focus >= static_cast<int32_t>(kNumPoints))
  {
    (this->*onSelection)(mEngine.selection());
    return;
  }
  // The focused point changes and is heard at once, as one undo step.
  asUndoStep([&] {
    (this->*onFocus)(static_cast<size_t>(focus));
    applyMorphPoint(focus);
  });
  publish();
}

void MorphController::randomizeMorphPoints(uint32_t mask)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  asUndoStep([&] {
    for (size_t i = 0; i < kNumPoints; ++i)
    {
      if (mEngine.editState().points[i].active && (mask == 0 || (mask & (1u << i))))
        randomizePoint(i);
    }
  });
  publish();
  if (mEditor.editorOpen())
    mEditor.markControlsDirty();
}

void MorphController::mutateMorphPoints(uint32_t mask)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  std::array<size_t, kNumPoints> chosen{};
  size_t count = 0;
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    if (mEngine.editState().points[i].active && (mask == 0 || (mask & (1u << i))))
      chosen[count++] = i;
  }
  asUndoStep([&] {
    for (size_t k = 0; k < count; ++k)
      mutatePoint(chosen[k]);
  });
  publish();
  if (mEditor.editorOpen())
    mEditor.markControlsDirty();
}

void MorphController::randomizePoint(size_t point)
{
  if (point >= kNumPoints)
    return;
  mPointIdentity[point] = PatchIdentity{};
  MorphPoint& p = mEngine.editState().points[point];
  fillPointFromRandomizer(p, mGenerator.generatePatch());
  mGenerator.recordRandomized(mPointSession[point], pointCurrent(p));
}

void MorphController::mutatePoint(size_t point)
{
  if (point >= kNumPoints)
    return;
  mPointIdentity[point].modified = true;
  MorphPoint& p = mEngine.editState().points[point];
  fillPointFromRandomizer(p, mGenerator.mutatePatch(mPointSession[point], pointCurrent(p)));
  mGenerator.recordMutated(mPointSession[point], pointCurrent(p));
}

void MorphController::fillPointFromRandomizer(MorphPoint& point, const ParamValueMap& values) const
{
  for (size_t r = 0; r < kNumMorphParams; ++r)
  {
    const int param = mTable.rows[r].param;
    if (const auto it = values.find(param); it != values.end())
      point.values[r] = normalizedOf(param, it->second);
  }
  for (const NoteAnchor& a : mTable.noteAnchors)
  {
    if (const auto it = values.find(a.switchParam); it != values.end())
    {
      const uint32_t bit = 1u << a.row;
      point.noteMask = it->second > 0.5 ? (point.noteMask | bit) : (point.noteMask & ~bit);
    }
  }
}

ParamGetter MorphController::pointCurrent(const MorphPoint& point) const
{
  return [this, &point](int param) {
    const int r = mTable.rowOf(param);
    return r >= 0 ? plainOf(param, point.values[static_cast<size_t>(r)]) : mParams.param(param).Value();
  };
}

// ---- baking and reverting

plugkit::IByteChunk MorphController::snapshotPatchMorphOff()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::IParam& active = mParams.param(mTable.morphActive);
  const double was = active.Value();
  active.Set(0.0);
  plugkit::IByteChunk chunk;
  mStates.serializePluginState(chunk);
  active.Set(was);
  return chunk;
}

void MorphController::captureTeleportFromBase()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mHistory.hasPresetManager())
    mPointIdentity[0] = mHistory.currentIdentity();
  MorphPoint& p = mEngine.editState().points[0];
  for (size_t r = 0; r < kNumMorphParams; ++r)
    p.values[r] = currentNormalized(mTable.rows[r].param);
  p.noteMask = noteMaskFromSwitches();
  p.x = morphXParam();
  p.y = morphYParam();
  p.active = true;
}

void MorphController::bakeMorphIntoBase()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const FlagScope applying(mApplyingPoint);
  if (mEngine.editState().focus >= 0)
  {
    pushParamsIfEditorOpen();
    return;
  }

  const MorphValues resolved = mEngine.resolvedAt(morphXParam(), morphYParam());
  for (size_t r = 0; r < kNumMorphParams; ++r)
    mParams.editParamFromEditor(mTable.rows[r].param, resolved[r]);

  const MainPTShapeView main = resolveBlendShapeView(kShapeTolerance);
  editPlain(mTable.mainUbOn, main.userBlend ? 1.0 : 0.0);
  if (main.userBlend)
  {
    for (size_t k = 0; k < mTable.mainUbCoeffs.size(); ++k)
      editPlain(mTable.mainUbCoeffs[k], main.coeffs[k]);
    editPlain(mTable.mainUbFb, main.fb);
  }
  else
  {
    editPlain(mTable.mainPassType, main.passType);
    editPlain(mTable.mainDepth, main.depth);
    editPlain(mTable.mainTilt, main.tilt);
  }

  for (const PreFltShapeIds& ids : {mTable.preFltA, mTable.preFltB})
  {
    const PreFltShapeView view = resolvePreFltBlendShapeView(ids, kShapeTolerance, nullptr);
    editPlain(ids.on, view.userBlend ? 1.0 : 0.0);
    if (view.userBlend)
    {
      editPlain(ids.lp, view.coeffs[0]);
      editPlain(ids.hp, view.coeffs[1]);
      editPlain(ids.bp, view.coeffs[2]);
    }
  }

  for (const NoteAnchor& a : mTable.noteAnchors)
    editPlain(a.switchParam, morphFreqNoteAnchored(mTable.rows[static_cast<size_t>(a.row)].param) ? 1.0 : 0.0);
  pushParamsIfEditorOpen();
}

void MorphController::commitTurningOffIfPending()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mTurnOffPending.exchange(false))
    return;
  const PatchIdentity identity = bakedPointIdentity();
  const ParamEdits::Scope change(mParams.paramEdits(), plugkit::EParamSource::kPresetRecall);
  bakeMorphIntoBase();
  mMorphOn = false;
  mEngine.selection() = 0;
  mEngine.editState().focus = -1;
  if (!mSession.active)
    return;
  if (mHistory.hasPresetManager())
  {
    mHistory.commitFromState(mSession.preMorphValid ? mSession.preMorphChunk : plugkit::IByteChunk(),
                             mSession.undoDepthAtStart);
    mHistory.selectIdentity(identity);
  }
  // Closed with or without a manager, so that no later revert undoes the bake.
  closeSession();
}

void MorphController::revertBaseToPreMorph()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mSession.preMorphValid)
    return;
  const ParamEdits::Scope change(mParams.paramEdits(), plugkit::EParamSource::kPresetRecall);
  plugkit::IByteChunk morphState;
  plugkit::IByteChunk editorState;
  serializeMorphState(morphState);
  const bool hasEditorState = mStates.serializeEditorState(editorState);
  mStates.unserializePluginState(mSession.preMorphChunk, 0);
  unserializeMorphState(morphState, 0);
  if (hasEditorState)
    mStates.unserializeEditorState(editorState, 0);
  pushParamsIfEditorOpen();
}

PatchIdentity MorphController::bakedPointIdentity() const
{
  const Weights w = soundWeights();
  const size_t dominant = dominantIndex(w);
  if (!(w[dominant] > kBakeWeight))
    return {};
  PatchIdentity identity = mPointIdentity[dominant];
  if (w[dominant] < 1.0)
    identity.modified = true;
  return identity;
}

std::optional<PatchIdentity> MorphController::stripPresetIdentity() const
{
  if (!mMorphOn)
    return std::nullopt;
  const int32_t focus = mEngine.editState().focus;
  if (focus >= 0 && focus < static_cast<int32_t>(kNumPoints))
    return mPointIdentity[static_cast<size_t>(focus)];
  return bakedPointIdentity();
}

// ---- parameter values

double MorphController::currentNormalized(int param) const { return mParams.param(param).GetNormalized(); }

double MorphController::plainOf(int param, double normalized) const
{
  return mParams.param(param).FromNormalized(normalized);
}

double MorphController::normalizedOf(int param, double plain) const { return mParams.param(param).ToNormalized(plain); }

double MorphController::storedNormalized(size_t r, double v) const
{
  return storedOr(v, 0.0, 1.0, mParams.param(mTable.rows[r].param).GetDefault(true));
}

void MorphController::completeLegacyDepthTilt(MorphPoint& p, double variationNormalized) const
{
  const auto passType = std::lround(plainOf(mTable.mainPassType, p.values[row(mTable.mainPassType)]));
  const double variation = plainOf(mTable.mainVariation, variationNormalized);
  const DepthTilt dt = legacyDepthTilt(passType, variation);
  p.values[row(mTable.mainDepth)] = normalizedOf(mTable.mainDepth, dt.depth);
  p.values[row(mTable.mainTilt)] = normalizedOf(mTable.mainTilt, dt.tilt);
}

// ---- filter shapes

bool MorphController::pointShape(const MorphPoint& p, stage_coeffs& coeffs, double& fb, int& passType, double& depth,
                                 double& tilt) const
{
  if (p.values[row(mTable.mainUbOn)] > 0.5)
  {
    for (size_t k = 0; k < coeffs.size(); ++k)
      coeffs[k] = plainOf(mTable.mainUbCoeffs[k], p.values[row(mTable.mainUbCoeffs[k])]);
    fb = plainOf(mTable.mainUbFb, p.values[row(mTable.mainUbFb)]);
    passType = 0;
    depth = 0.0;
    tilt = 0.0;
    return true;
  }
  passType = static_cast<int>(std::lround(plainOf(mTable.mainPassType, p.values[row(mTable.mainPassType)])));
  depth = plainOf(mTable.mainDepth, p.values[row(mTable.mainDepth)]);
  tilt = plainOf(mTable.mainTilt, p.values[row(mTable.mainTilt)]);
  coeffs = mShapes.mainShape(passType, depth, tilt);
  fb = mShapes.mainFeedback(passType);
  return false;
}

bool MorphController::pointShapePreFlt(const MorphPoint& p, const PreFltShapeIds& ids, svf_coeffs& coeffs,
                                       int& typeIndex) const
{
  if (entryOf(mTable, p, ids.on) > 0.5)
  {
    coeffs = {plainOf(ids.lp, entryOf(mTable, p, ids.lp)), plainOf(ids.hp, entryOf(mTable, p, ids.hp)),
              plainOf(ids.bp, entryOf(mTable, p, ids.bp))};
    typeIndex = 0;
    return true;
  }
  const long t = std::lround(plainOf(ids.passType, entryOf(mTable, p, ids.passType)));
  typeIndex = static_cast<int>(std::clamp(t, 0L, static_cast<long>(mShapes.preFilterTypes - 1)));
  coeffs = mShapes.preFilterMix(typeIndex);
  return false;
}

Weights MorphController::blockShapeWeights() const
{
  const MorphEngine::RTState& s = mEngine.audioState();
  Weights w = mEngine.weights();
  MorphEngine::applyGamma(w, MorphEngine::contrastGamma(s.shapeContrast, s.model));
  return w;
}

void MorphController::resolveMainPTShapeInto(stage_coeffs& coeffs, double& fb) const
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  const auto& points = mEngine.audioState().points;
  const MainPTShapeView view = resolveShapeGrouped(
    blockShapeWeights(), [&](size_t i) -> const MorphPoint& { return points[i]; }, kShapeTolerance, nullptr);
  coeffs = view.coeffs;
  fb = view.fb;
}

svf_coeffs MorphController::resolvePreFltBlendInto(const Weights& shapeWeights, const PreFltShapeIds& ids) const
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  svf_coeffs blend{};
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    if (!(shapeWeights[i] > 0.0))
      continue;
    svf_coeffs c{};
    int typeIndex = 0;
    pointShapePreFlt(mEngine.audioState().points[i], ids, c, typeIndex);
    for (size_t k = 0; k < c.size(); ++k)
      blend[k] += shapeWeights[i] * c[k];
  }
  return blend;
}

Weights MorphController::shapeWeights() const
{
  const MorphEngine::RTState& s = mEngine.editState();
  Scales scales{};
  mEngine.computeScales(s, scales);
  Weights w{};
  mEngine.computeWeightsInto(s, mParams.param(mTable.morphX).Value(), mParams.param(mTable.morphY).Value(), w, scales,
                             true, 1.0);
  MorphEngine::applyGamma(w, MorphEngine::contrastGamma(s.shapeContrast, s.model));
  return w;
}

MorphController::MainPTShapeView MorphController::resolveBlendShapeView(double tolerance) const
{
  const auto& points = mEngine.editState().points;
  return resolveShapeGrouped(
    shapeWeights(), [&](size_t i) -> const MorphPoint& { return points[i]; }, tolerance, nullptr);
}

MorphController::MainPTShapeView
MorphController::resolveBlendShapeViewPerType(std::array<TypeAxes, kMainPassTypes>& axes, double tolerance) const
{
  const auto& points = mEngine.editState().points;
  return resolveShapeGrouped(
    shapeWeights(), [&](size_t i) -> const MorphPoint& { return points[i]; }, tolerance, &axes);
}

MorphController::MainPTShapeView MorphController::resolveMainPTShapeView(double tolerance) const
{
  if (mMorphOn && mEngine.editState().focus < 0)
    return resolveBlendShapeView(tolerance);

  MainPTShapeView view;
  if (mParams.param(mTable.mainUbOn).Value() > 0.5)
  {
    for (size_t k = 0; k < view.coeffs.size(); ++k)
      view.coeffs[k] = mParams.param(mTable.mainUbCoeffs[k]).Value();
    view.fb = mParams.param(mTable.mainUbFb).Value();
    view.userBlend = true;
    return view;
  }
  view.passType = static_cast<int32_t>(mParams.param(mTable.mainPassType).Value());
  view.depth = mParams.param(mTable.mainDepth).Value();
  view.tilt = mParams.param(mTable.mainTilt).Value();
  view.coeffs = mShapes.mainShape(view.passType, view.depth, view.tilt);
  view.fb = mShapes.mainFeedback(view.passType);
  return view;
}

MorphController::PreFltShapeView MorphController::resolvePreFltShapeView(const PreFltShapeIds& ids,
                                                                         double tolerance) const
{
  if (mMorphOn && mEngine.editState().focus < 0)
    return resolvePreFltBlendShapeView(ids, tolerance, nullptr);

  PreFltShapeView view;
  if (mParams.param(ids.on).Value() > 0.5)
  {
    view.coeffs = {mParams.param(ids.lp).Value(), mParams.param(ids.hp).Value(), mParams.param(ids.bp).Value()};
    view.userBlend = true;
    return view;
  }
  view.typeIndex = std::clamp(static_cast<int32_t>(mParams.param(ids.passType).Value()), 0,
                              static_cast<int32_t>(mShapes.preFilterTypes - 1));
  view.coeffs = mShapes.preFilterMix(view.typeIndex);
  return view;
}

MorphController::PreFltShapeView MorphController::resolvePreFltBlendShapeView(const PreFltShapeIds& ids,
                                                                              double tolerance,
                                                                              std::array<double, 5>* typeWeights) const
{
  const Weights w = shapeWeights();
  const auto& points = mEngine.editState().points;
  PreFltShapeView view;
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    if (!(w[i] > 0.0))
      continue;
    svf_coeffs c{};
    int typeIndex = 0;
    const bool blend = pointShapePreFlt(points[i], ids, c, typeIndex);
    for (size_t k = 0; k < c.size(); ++k)
      view.coeffs[k] += w[i] * c[k];
    if (typeWeights && !blend)
      (*typeWeights)[static_cast<size_t>(typeIndex)] += w[i];
  }

  svf_coeffs own{};
  int typeIndex = 0;
  const bool dominantIsBlend = pointShapePreFlt(points[dominantIndex(w)], ids, own, typeIndex);
  view.typeIndex = typeIndex;
  double maxDiff = 0.0;
  for (size_t k = 0; k < own.size(); ++k)
    maxDiff = std::max(maxDiff, std::abs(view.coeffs[k] - own[k]));
  view.userBlend = dominantIsBlend || maxDiff > tolerance;
  return view;
}

// ---- rig text

ZarvoFile MorphController::buildRigFile() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  ZarvoFile file(mProductName, mVersionText.c_str());
  file.setSection(kRigSection, MorphZarvoAdapter::toLines(mEngine, mParams.param(mTable.morphX).Value(),
                                                          mParams.param(mTable.morphY).Value(), mAppearance, mNaming));
  return file;
}

void MorphController::copyRigToClipboard()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mEditor.editorOpen())
    mEditor.setClipboardText(buildRigFile().toString());
}

bool MorphController::pasteRigFromClipboard()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mEditor.editorOpen())
    return false;
  const std::optional<std::string> text = mEditor.clipboardText();
  if (!text || text->empty())
    return false;
  const std::optional<ZarvoFile> file = ZarvoFile::fromText(*text);
  return file && applyRigFile(*file);
}

bool MorphController::clipboardHasRig() const
{
  if (!mEditor.editorOpen())
    return false;
  const std::optional<std::string> text = mEditor.clipboardText();
  if (!text || text->empty())
    return false;
  const std::optional<ZarvoFile> file = ZarvoFile::fromText(*text);
  return file && file->hasSection(kRigSection);
}

void MorphController::promptImportRig()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mEditor.editorOpen())
    return;
  mEditor.chooseFile(false, "", "zarvo", [this](const std::string& path) {
    if (!path.empty())
      mEditor.reportFileResult(importRigFile(path));
  });
}

void MorphController::promptExportRig()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mEditor.editorOpen())
    return;
  mEditor.chooseFile(true, "morph.zarvo", "zarvo", [this](const std::string& path) {
    if (!path.empty())
      mEditor.reportFileResult(exportRigFile(path));
  });
}

plugkit::EFileResult MorphController::importRigFile(const std::string& path)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const ZarvoFile::Loaded loaded = ZarvoFile::fromFile(path);
  if (!loaded.file)
    return loaded.result;
  return applyRigFile(*loaded.file) ? plugkit::EFileResult::kOk : plugkit::EFileResult::kNotOurs;
}

plugkit::EFileResult MorphController::exportRigFile(const std::string& path) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return buildRigFile().toFile(path);
}

bool MorphController::applyRigFile(const ZarvoFile& file)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!file.hasSection(kRigSection))
    return false;
  const std::optional<MorphZarvoAdapter::RigData> rig =
    MorphZarvoAdapter::fromLines(file.section(kRigSection), mNaming);
  if (!rig)
    return false;

  asUndoStep([&] { applyRig(*rig); });
  publish();
  if (mEditor.editorOpen())
  {
    mEditor.pushParamsToEditor();
    mEditor.markControlsDirty();
  }
  return true;
}

void MorphController::applyRig(const MorphZarvoAdapter::RigData& rig)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  MorphEngine::RTState& s = mEngine.editState();
  mPointIdentity.fill(PatchIdentity{});

  if (rig.hasField)
  {
    mEngine.pointScale() = std::clamp(rig.pointScale, 1.0, 2.0);
    s.snapRadius = mEngine.pointScale() * MorphEngine::kSnapRadiusPerScale;
    s.centreSnapRadius = mEngine.pointScale() * MorphEngine::kCentreSnapRadiusPerScale;
    s.sigma = std::clamp(rig.sigma, 0.02, 2.0);
    s.shapeContrast = std::clamp(rig.shapeContrast, 0.0, 1.0);
    s.cutoffContrast = std::clamp(rig.cutoffContrast, 0.0, 1.0);
  }

  if (rig.hasModel)
  {
    s.model = static_cast<uint32_t>(std::clamp(rig.model, 0, kNumModels - 1));
    s.kernelTail = std::clamp(rig.kernelTail, 0.0, 1.0);
    s.tailPower = std::clamp(rig.tailPower, 0.5, 6.0);
    s.neighborIndex[s.model] = std::clamp(rig.neighborIndex, 0.5, 17.0);
    if (rig.hasPerModelNeighbors)
    {
      for (size_t m = 0; m < s.neighborIndex.size(); ++m)
        s.neighborIndex[m] = std::clamp(rig.neighborIndices[m], 0.5, 17.0);
    }
    s.nnSamples = std::clamp(rig.nnSamples, 5, 21);
    s.nnRadius = std::clamp(rig.nnRadius, 1.0, 4.0);
  }

  if (rig.hasAppearance)
  {
    mAppearance = rig.appearance;
    if (mAppearanceChanged)
      mAppearanceChanged(mAppearance.lineBrightness, mAppearance.isoLevels, mAppearance.gridStep);
  }

  for (size_t i = 0; i < kNumPoints; ++i)
  {
    MorphPoint& p = s.points[i];
    if (!rig.seen[i])
    {
      if (i != 0)
        p.active = false;
      continue;
    }
    const MorphPoint& in = rig.points[i];
    p.x = storedOr(in.x, 0.0, 1.0, 0.5);
    p.y = storedOr(in.y, 0.0, 1.0, 0.5);
    p.active = in.active;
    p.noteMask = in.noteMask & mTable.noteMaskBits();
    for (size_t r = 0; r < kNumMorphParams; ++r)
      p.values[r] = storedNormalized(r, in.values[r]);
    if (!rig.depthSeen[i])
      completeLegacyDepthTilt(p, storedOr(rig.legacyVariation[i], 0.0, 1.0, 0.0));
  }

  mEngine.selection() = 0;
  s.focus = -1;

  if (rig.hasUser)
  {
    mParams.param(mTable.morphX).Set(rig.userX);
    mParams.param(mTable.morphY).Set(rig.userY);
    mMorphX = mParams.param(mTable.morphX).Value();
    mMorphY = mParams.param(mTable.morphY).Value();
  }
}

// ---- state section

bool MorphController::serializeMorphState(plugkit::IByteChunk& chunk) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const MorphEngine::RTState& s = mEngine.editState();
  bool ok = true;
  const auto put = [&](auto v) { ok = chunk.Put(v) > 0 && ok; };

  put(kStateVersion);
  put(kFieldValueCount);
  const std::array<double, kFieldValueCount> fields = {
    s.sigma,
    mEngine.pointScale(),
    static_cast<double>(s.focus),
    s.shapeContrast,
    static_cast<double>(s.model),
    s.kernelTail,
    s.tailPower,
    s.neighborIndex[modelSlot(s.model)],
    static_cast<double>(s.nnSamples),
    s.nnRadius,
    static_cast<double>(mEngine.selection() & kPointBits),
    s.neighborIndex[0],
    s.neighborIndex[1],
    s.neighborIndex[2],
    s.neighborIndex[3],
    s.neighborIndex[4],
    s.cutoffContrast,
  };
  for (const double v : fields)
    put(v);

  put(static_cast<int32_t>(kNumPoints));
  for (const MorphPoint& p : s.points)
  {
    put(kPointHeaderCount);
    put(p.x);
    put(p.y);
    put(p.active ? 1.0 : 0.0);
    put(static_cast<double>(p.noteMask));
    put(static_cast<int32_t>(kNumMorphParams));
    for (size_t r = 0; r < kNumMorphParams; ++r)
    {
      put(mTable.stableIdOf(mTable.rows[r].param));
      put(p.values[r]);
    }
  }

  put(static_cast<int32_t>(kNumPoints));
  for (const PatchIdentity& identity : mPointIdentity)
    ok = mHistory.putPatchIdentity(chunk, identity) && ok;
  return ok;
}

int MorphController::unserializeMorphState(const plugkit::IByteChunk& chunk, int pos)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (pos < 0)
    return pos;
  const int64_t size = chunk.Size();
  if (int64_t{pos} + 4 > size)
    return pos;
  if (int64_t{pos} + 8 > size)
    return -1;

  // A later version's layout is not this one: refused, as the state chunk refuses one.
  int32_t version = 0;
  chunk.Get(version, pos);
  if (version > kStateVersion)
    return -1;

  uint32_t fieldCount = 0;
  chunk.Get(fieldCount, pos + 4);
  int p = pos + 8;
  if (fieldCount > kMaxFieldValues)
    return -1;

  // Everything is read into a copy and taken over only once the whole section has been read.
  MorphEngine::RTState s = mEngine.editState();
  enum Field
  {
    kSigma,
    kPointScale,
    kFocus,
    kShapeContrast,
    kModel,
    kKernelTail,
    kTailPower,
    kNeighborIndex,
    kNNSamples,
    kNNRadius,
    kSelection,
    kNeighborIndex0,
    kCutoffContrast = kNeighborIndex0 + kNumModels,
  };
  std::array<double, kFieldValueCount> f = {};
  f[kSigma] = s.sigma;
  f[kPointScale] = mEngine.pointScale();
  f[kFocus] = -1.0;
  f[kModel] = static_cast<double>(s.model);
  f[kKernelTail] = s.kernelTail;
  f[kTailPower] = s.tailPower;
  f[kNeighborIndex] = s.neighborIndex[modelSlot(s.model)];
  f[kNNSamples] = static_cast<double>(s.nnSamples);
  f[kNNRadius] = s.nnRadius;
  f[kSelection] = -1.0;
  std::array<bool, kNumModels> perModelRead{};

  for (uint32_t i = 0; i < fieldCount; ++i)
  {
    double v = 0.0;
    if ((p = chunk.Get(v, p)) < 0)
      return -1;
    if (i >= f.size() || !std::isfinite(v))
      continue;
    f[i] = v;
    if (i >= kNeighborIndex0 && i < kCutoffContrast)
      perModelRead[i - kNeighborIndex0] = true;
  }

  const double pointScale = std::clamp(f[kPointScale], 1.0, 2.0);
  s.sigma = std::clamp(f[kSigma], 0.02, 2.0);
  s.snapRadius = pointScale * MorphEngine::kSnapRadiusPerScale;
  s.centreSnapRadius = pointScale * MorphEngine::kCentreSnapRadiusPerScale;

  uint32_t selection = 0;
  if (f[kSelection] == -1.0)
  {
    const int64_t focus = truncatedOr(f[kFocus], -1, kNumPoints, -1);
    selection = focus >= 0 && focus < static_cast<int64_t>(kNumPoints) ? 1u << focus : 0u;
  }
  else
    selection = static_cast<uint32_t>(
      truncatedOr(f[kSelection], std::numeric_limits<int32_t>::min(), std::numeric_limits<uint32_t>::max(), 0));
  selection &= kPointBits;

  s.focus = -1;
  if (mEngine.pointEditingAllowed() && std::has_single_bit(selection))
    s.focus = std::countr_zero(selection);

  s.shapeContrast = std::clamp(f[kShapeContrast], 0.0, 1.0);
  s.model = static_cast<uint32_t>(roundedOr(f[kModel], 0, kNumModels - 1, 1));
  s.kernelTail = std::clamp(f[kKernelTail], 0.0, 1.0);
  s.tailPower = std::clamp(f[kTailPower], 0.5, 6.0);
  s.neighborIndex[s.model] = std::clamp(f[kNeighborIndex], 0.5, 17.0);
  for (size_t m = 0; m < perModelRead.size(); ++m)
  {
    if (perModelRead[m])
      s.neighborIndex[m] = std::clamp(f[kNeighborIndex0 + m], 0.5, 17.0);
  }
  s.nnSamples = static_cast<int32_t>(roundedOr(f[kNNSamples], 5, 21, 11));
  s.nnRadius = std::clamp(f[kNNRadius], 1.0, 4.0);
  s.cutoffContrast = std::clamp(f[kCutoffContrast], 0.0, 1.0);

  uint32_t pointCount = 0;
  if ((p = chunk.Get(pointCount, p)) < 0 || pointCount > kNumPoints)
    return -1;
  for (uint32_t k = 0; k < pointCount; ++k)
  {
    uint32_t headerCount = 0;
    if ((p = chunk.Get(headerCount, p)) < 0 || headerCount > kMaxPointHeader)
      return -1;
    std::array<double, 4> header = {0.5, 0.5, 0.0, 0.0};
    for (uint32_t j = 0; j < headerCount; ++j)
    {
      double v = 0.0;
      if ((p = chunk.Get(v, p)) < 0)
        return -1;
      if (j < header.size())
        header[j] = v;
    }
    MorphPoint& point = s.points[k];
    point.x = storedOr(header[0], 0.0, 1.0, 0.5);
    point.y = storedOr(header[1], 0.0, 1.0, 0.5);
    point.active = std::isfinite(header[2]) && header[2] != 0.0;
    point.noteMask =
      static_cast<uint32_t>(truncatedOr(header[3], 0, std::numeric_limits<uint32_t>::max(), 0)) & mTable.noteMaskBits();

    for (size_t r = 0; r < kNumMorphParams; ++r)
      point.values[r] = mParams.param(mTable.rows[r].param).GetDefault(true);

    uint32_t valueCount = 0;
    if ((p = chunk.Get(valueCount, p)) < 0 || valueCount > kMaxPointValues)
      return -1;
    bool hasGainOnDry = false;
    bool hasDepth = false;
    double variation = 0.0;
    for (uint32_t j = 0; j < valueCount; ++j)
    {
      uint32_t id = 0;
      double v = 0.0;
      if ((p = chunk.Get(id, p)) < 0 || (p = chunk.Get(v, p)) < 0)
        return -1;
      const int param = mTable.paramFromStableId(id);
      if (const int r = mTable.rowOf(param); r >= 0)
        point.values[static_cast<size_t>(r)] = storedNormalized(static_cast<size_t>(r), v);
      else if (param == mTable.mainVariation)
        variation = storedOr(v, 0.0, 1.0, 0.0);
      hasGainOnDry = hasGainOnDry || param == mTable.gainOnDry;
      hasDepth = hasDepth || param == mTable.mainDepth;
    }
    if (!hasGainOnDry)
      point.values[row(mTable.gainOnDry)] = normalizedOf(mTable.gainOnDry, 1.0);
    if (!hasDepth)
      completeLegacyDepthTilt(point, variation);
  }

  std::array<PatchIdentity, kNumPoints> identities{};
  uint32_t identityCount = 0;
  const int afterCount = chunk.Get(identityCount, p);
  if (afterCount >= 0 && identityCount <= kNumPoints)
  {
    p = afterCount;
    for (uint32_t k = 0; k < identityCount; ++k)
    {
      const int next = mHistory.getPatchIdentity(chunk, p, identities[k]);
      if (next <= p)
        break;
      p = next;
    }
  }

  mEngine.editState() = s;
  mEngine.pointScale() = pointScale;
  mEngine.selection() = selection;
  mPointIdentity = identities;
  publish();
  return p;
}

} // namespace zarvo::morph
