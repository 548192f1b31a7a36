// Delayed selection, the marquee, dragging points and the morph position, activation, select-all,
// storing sounds into points and the appearance resets.
#include <algorithm>
#include <bit>
#include <cmath>

#include "utils/morph/morph_pad_control.h"

namespace zarvo::morph {

using namespace plugkit::gfx;

namespace {

constexpr MorphPadControl::Mask kUserBits = kPointBits & ~1u;

} // namespace

void MorphPadControl::openPointsEdit()
{
  if (pointsEditOpen)
    return;
  pointsEditOpen = true;
  if (onPointsEdit)
    onPointsEdit(true);
}

void MorphPadControl::closePointsEdit()
{
  if (!pointsEditOpen)
    return;
  pointsEditOpen = false;
  if (onPointsEdit)
    onPointsEdit(false);
}

void MorphPadControl::armPendingSelect(int point, bool add)
{
  const Mask sel = engine.selection();
  pendingCollapseMask = (!add && ((sel >> point) & 1u) && std::popcount(sel) >= 2) ? sel : 0u;
  pulseTarget = 0;
  pulseAmount = 0.f;
  pendingSelectPoint = point;
  pendingSelectAdd = add;
  SetAnimationEndActionFunction([this](IControl*) {
    if (pendingSelectPoint < 0)
      return;
    Mask mask = drag == Drag::marquee ? marqueeMask() : (1u << pendingSelectPoint);
    if (pendingSelectAdd)
      mask ^= engine.selection();
    pendingSelectPoint = -1;
    reportSelection(mask);
  });
  SetAnimation(DefaultAnimationFunc, 150.);
  SetDirty(false);
}

MorphPadControl::Mask MorphPadControl::marqueeMask() const
{
  const float l = std::min(marqueeStart[0], marqueeEnd[0]);
  const float r = std::max(marqueeStart[0], marqueeEnd[0]);
  const float t = std::min(marqueeStart[1], marqueeEnd[1]);
  const float b = std::max(marqueeStart[1], marqueeEnd[1]);
  if (l == 0.f && r == 0.f && t == 0.f && b == 0.f)
    return 0;
  Mask mask = 0;
  for (int i = 0; i < static_cast<int>(kNumPoints); ++i)
  {
    float px = 0.f;
    float py = 0.f;
    clampedPixel(i, px, py);
    if (px >= l && px < r && py >= t && py < b)
      mask |= 1u << i;
  }
  return mask;
}

void MorphPadControl::moveDraggedPoints(int grabbed, float px, float py)
{
  if (grabbed < 0 || grabbed >= static_cast<int>(kNumPoints))
    return;
  const Mask sel = engine.selection() & kPointBits;
  const Mask movers = ((sel >> grabbed) & 1u) ? sel : (1u << grabbed);

  std::array<float, kNumPoints> prevX{};
  std::array<float, kNumPoints> prevY{};
  for (int i = 0; i < static_cast<int>(kNumPoints); ++i)
    if ((movers >> i) & 1u)
      clampedPixel(i, prevX[static_cast<size_t>(i)], prevY[static_cast<size_t>(i)]);

  float gx = 0.f;
  float gy = 0.f;
  clampedPixel(grabbed, gx, gy, true);
  const float dx = px - gx;
  const float dy = py - gy;
  for (int i = 0; i < static_cast<int>(kNumPoints); ++i)
  {
    if (!((movers >> i) & 1u))
      continue;
    float x = 0.f;
    float y = 0.f;
    clampedPixel(i, x, y, true);
    x += dx;
    y += dy;
    clampToInset(i, x, y);
    writeBack(i, x, y);
  }
  if (std::popcount(movers) >= 2)
    separateMovers(movers, grabbed);
  shoveNeighboursAside(movers, grabbed);
  settleMovers(movers, grabbed, prevX, prevY);
}

void MorphPadControl::moveUserPointTo(float x, float y)
{
  const IRECT& r = GetRECT();
  if (r.W() <= 0.f || r.H() <= 0.f)
    return;
  const float m = 6.f * ps();
  const float cx = x < r.L + m ? r.L + m : std::min(x, r.R - m);
  const float cy = y < r.T + m ? r.T + m : std::min(y, r.B - m);
  const double nx = (cx - r.L) / r.W();
  const double ny = 1.0 - (cy - r.T) / r.H();
  if (GetValue(0) == nx && GetValue(1) == ny)
    return;
  if (onUserGesture)
    onUserGesture(true);
  openPointsEdit();
  SetValue(nx, 0);
  SetValue(ny, 1);
  SetDirty(true);
  closePointsEdit();
  if (onUserGesture)
    onUserGesture(false);
}

void MorphPadControl::toggleActivation(int point)
{
  if (point < 0 || point >= static_cast<int>(kNumPoints))
    return;
  cancelPendingSelect();
  const auto& pts = engine.editState().points;
  const bool activate = !pts[static_cast<size_t>(point)].active;
  const Mask bit = 1u << point;
  const Mask sel = engine.selection() & kPointBits;
  const Mask targets = (pendingCollapseMask & bit) ? pendingCollapseMask : ((sel & bit) ? sel : bit);

  Mask changes = 0;
  int activeCount = 0;
  for (int i = 0; i < static_cast<int>(kNumPoints); ++i)
  {
    if (pts[static_cast<size_t>(i)].active)
      ++activeCount;
    if (((targets >> i) & 1u) && pts[static_cast<size_t>(i)].active != activate)
      changes |= 1u << i;
  }
  if (!activate && activeCount <= std::popcount(changes))
    changes &= ~bit;

  if (changes != 0)
  {
    for (int i = 0; i < static_cast<int>(kNumPoints); ++i)
      if ((changes >> i) & 1u)
        engine.edit({.point = static_cast<size_t>(i), .active = activate});
    if (activate && (changes & kUserBits))
      relaxAllPoints(changes & kUserBits);
    if (std::popcount(targets) == 1)
    {
      if (sel & targets)
        storeSelection(sel & ~targets);
    }
    else if (targets != sel)
    {
      reportSelection(targets);
    }
    // Activity changes the sound: the controller re-resolves and republishes.
    SetDirty(true);
    return;
  }
  SetDirty(false);
}

bool MorphPadControl::toggleSelectAllPoints()
{
  if (!engine.editing() && engine.moving() && engine.padOption())
    return false;
  Mask active = 0;
  for (int i = 1; i < static_cast<int>(kNumPoints); ++i)
    if (engine.editState().points[static_cast<size_t>(i)].active)
      active |= 1u << i;
  if (active == 0)
    return false;
  cancelPendingSelect();
  reportSelection((active & ~engine.selection()) ? active : 0u);
  return true;
}

void MorphPadControl::commitPointSound(Mask mask, const MorphValues& values, PointSoundSource source)
{
  if (onCommitPointSound)
  {
    onCommitPointSound(mask, values, source);
    return;
  }
  for (int i = 0; i < static_cast<int>(kNumPoints); ++i)
    if ((mask >> i) & 1u)
      engine.edit({.point = static_cast<size_t>(i), .values = &values});
  reportSelection(mask);
}

void MorphPadControl::resetApprSlider(int index)
{
  if (index == 0)
    overlay.lineBrightness = appearance::kDefaultLineBrightness;
  else if (index == 1)
    overlay.setIsoLevels(appearance::kDefaultIsoLevels);
  else
    overlay.gridStep = appearance::kDefaultGridStep;
  if (onAppearanceChanged)
    onAppearanceChanged(overlay.lineBrightness, overlay.isoLevels, overlay.gridStep);
  SetDirty(true);
}

} // namespace zarvo::morph
