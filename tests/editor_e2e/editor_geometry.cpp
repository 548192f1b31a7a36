#include "tests/editor_e2e/editor_geometry.h"

namespace vemlor::e2e {

Rect stripZone(StripZone zone, bool collapsed)
{
  const float h = kStrip.b - kStrip.t;
  const float toggle = collapsed ? 55.f : 1.2f * h;
  if (zone == kZoneToggle)
    return {kStrip.l, kStrip.t, kStrip.l + toggle, kStrip.b};
  constexpr float button = 34.2f;
  // Right-hand buttons from the right edge: add folder, open folder, load, save, redo, undo.
  const StripZone fromRight[] = {kZoneAddFolder, kZoneOpenFolder, kZoneLoad, kZoneSave, kZoneRedo, kZoneUndo};
  float right = kStrip.r;
  for (StripZone z : fromRight)
  {
    if (z == zone)
      return {right - button, kStrip.t, right, kStrip.b};
    right -= button;
  }
  const float previousL = kStrip.l + toggle, previousR = previousL + 1.8f * h;
  const float nextL = right - 1.8f * h;
  if (zone == kZonePrevious)
    return {previousL, kStrip.t, previousR, kStrip.b};
  if (zone == kZoneNext)
    return {nextL, kStrip.t, right, kStrip.b};
  return {previousR, kStrip.t, nextL, kStrip.b};
}

Rect allControlsCell(int column, float fromFraction, float toFraction, float inset)
{
  const float cw = (kContentR - kContentL) / 11.f;
  const float hc = kContentB - kContentT;
  const float l = kContentL + static_cast<float>(column) * cw;
  return {l + inset, kContentT + fromFraction * hc, l + cw - inset, kContentT + toFraction * hc};
}

} // namespace vemlor::e2e
