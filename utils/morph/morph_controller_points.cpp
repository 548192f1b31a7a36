// The morph points and the parameters they drive: default and fresh points, writing and applying
// point sounds, the controls the field drives, and randomizing and mutating points.
#include "utils/morph/morph_controller.h"

#include <bit>

#include "IPlugin/IPluginThreadRole.h"
#include "utils/morph/flag_scope.h"

namespace zarvo::morph {

namespace {

constexpr double kParkOffset = 4.5 / 101.0;
constexpr double kAnchorWeight = 0.001;
constexpr double kMaxAnchorCents = 25.0;

} // namespace

void MorphController::initDefaultPoints()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const uint32_t mask = noteMaskFromSwitches();
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    MorphPoint p = mEngine.editState().points[i];
    for (size_t r = 0; r < kNumMorphParams; ++r)
      p.values[r] = currentNormalized(mTable.rows[r].param);
    p.noteMask = mask;
    const LayoutRow& place = kDefaultLayout[i];
    p.x = place.x;
    p.y = (i == 0 || place.active) ? place.y - kParkOffset : place.y;
    p.active = place.active;
    mEngine.edit({.point = i, .whole = &p});
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
    MorphPoint p = mEngine.editState().points[point];
    fillPointFromRandomizer(p, starters.params[k]);
    mEngine.edit({.point = point, .whole = &p});
    mGenerator.recordRandomized(mPointSession[point], pointCurrent(mEngine.editState().points[point]));
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
      mEngine.edit({.point = i, .values = &values});
      if (noteMask)
        mEngine.edit({.point = i, .noteMask = *noteMask & mTable.noteMaskBits()});
      mPointIdentity[i] = identity;
    }
    if (std::has_single_bit(mask))
      applyMorphPoint(std::countr_zero(mask));
  });
  publish();
  if (mEditor.editorOpen())
    mEditor.markControlsDirty();
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
    if (anchor != mTable.noteAnchors.end())
    {
      const uint32_t bit = 1u << anchor->row;
      const uint32_t noteMask = mEngine.editState().points[i].noteMask;
      mEngine.edit({.point = i, .noteMask = mParams.param(param).Value() > 0.5 ? (noteMask | bit) : (noteMask & ~bit)});
    }
    else
      mEngine.edit({.point = i, .row = static_cast<size_t>(row), .value = currentNormalized(param)});
    mPointIdentity[i].modified = true;
  }
}

void MorphController::applyMorphPoint(int point)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (point < 0 || point >= static_cast<int>(kNumPoints))
    return;
  mSession.notePointApplied();
  mEngine.edit({.focus = mEngine.pointEditingAllowed() ? point : -1, .selection = 1u << point});
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
  MorphPoint p = mEngine.editState().points[point];
  fillPointFromRandomizer(p, mGenerator.generatePatch());
  mEngine.edit({.point = point, .whole = &p});
  mGenerator.recordRandomized(mPointSession[point], pointCurrent(mEngine.editState().points[point]));
}

void MorphController::mutatePoint(size_t point)
{
  if (point >= kNumPoints)
    return;
  mPointIdentity[point].modified = true;
  MorphPoint p = mEngine.editState().points[point];
  fillPointFromRandomizer(
    p, mGenerator.mutatePatch(mPointSession[point], pointCurrent(mEngine.editState().points[point])));
  mEngine.edit({.point = point, .whole = &p});
  mGenerator.recordMutated(mPointSession[point], pointCurrent(mEngine.editState().points[point]));
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

} // namespace zarvo::morph
