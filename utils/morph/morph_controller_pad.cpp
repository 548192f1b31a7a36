// What the morph controller keeps for the pad and the editor: point identities, the axis learn,
// open point edits and gestures, the last drag value and the field's appearance.
#include "utils/morph/morph_controller.h"

#include <bit>

#include "IPlugin/IPluginThreadRole.h"

namespace zarvo::morph {

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

} // namespace zarvo::morph
