// Where the editor's controls sit, in editor pixels at scale 1 (940 wide; 200 high, or 620 with the
// morph page): the positions a user clicks.
#pragma once

namespace vemlor::e2e {

struct Rect
{
  float l = 0.f, t = 0.f, r = 0.f, b = 0.f;
  float cx() const { return (l + r) / 2.f; }
  float cy() const { return (t + b) / 2.f; }
};

inline constexpr float kW = 940.f;

// The tab switch: 55 wide, 18 per tab, from the top of the content area.
inline constexpr Rect tabButton(int tab)
{
  return {77.f, 20.f + 18.f * static_cast<float>(tab), 132.f, 38.f + 18.f * static_cast<float>(tab)};
}
inline constexpr Rect kMorphToggle{77.f, 74.f, 132.f, 92.f};
inline constexpr Rect kAboutButton{kW - 20.f, 82.f, kW, 100.f};
inline constexpr Rect kHoverHelpToggle{kW - 20.f, 100.f, kW, 118.f};
// The tab column between the tabs' labels and the content: nothing is drawn there.
inline constexpr Rect kEmptySpot{136.f, 100.f, 148.f, 130.f};

// The preset strip and its zones, expanded (toggle 1.2 h, previous and next 1.8 h, the six right-hand
// buttons 34.2 each); collapsed, only the 55-pixel toggle exists.
inline constexpr Rect kStrip{77.f, 0.f, 696.f, 18.f};
enum StripZone
{
  kZoneToggle = 1,
  kZonePrevious,
  kZoneName,
  kZoneNext,
  kZoneUndo,
  kZoneRedo,
  kZoneSave,
  kZoneLoad,
  kZoneOpenFolder,
  kZoneAddFolder
};
Rect stripZone(StripZone zone, bool collapsed = false);

// The all-controls tab: 11 columns of the content area (152, 20, 910, 180), bands in sixteenths.
inline constexpr float kContentL = 152.f, kContentT = 20.f, kContentR = kW - 30.f, kContentB = 180.f;
Rect allControlsCell(int column, float fromFraction, float toFraction, float inset);
// The main cutoff knob (row 19 of the all-controls table).
inline Rect mainCutoffKnob() { return allControlsCell(5, 0.f, 0.75f, 4.f); }

// The morph pad below the band, at editor height 620.
inline constexpr Rect kMorphPad{16.f, 200.f, kW - 16.f, 620.f - 16.f};
// Where the morph marker sits for a morph position (normalised x, y), ignoring the edge clamps.
inline constexpr float padX(double x) { return kMorphPad.l + static_cast<float>(x) * (kMorphPad.r - kMorphPad.l); }
inline constexpr float padY(double y) { return kMorphPad.b - static_cast<float>(y) * (kMorphPad.b - kMorphPad.t); }

// The user tab's lock button at the content area's top-right corner, and its edit-mode toolbar.
inline constexpr Rect kUserLock{kContentR - 18.f, kContentT, kContentR, kContentT + 18.f};
inline constexpr Rect userToolbar(float down)
{
  return {kUserLock.l, kUserLock.t + down, kUserLock.r, kUserLock.b + down};
}
inline constexpr Rect kUserSave = userToolbar(27.f);
inline constexpr Rect kUserLoad = userToolbar(45.f);

} // namespace vemlor::e2e
