// What a learnable control draws over itself for its controller mapping: range ticks in Absolute
// mode; in Modulate mode the span the controller sweeps, the live value, the span being authored or
// the armed hint. Knobs get an arc, other controls a line along their bottom edge.
#pragma once

#include <array>
#include <cmath>
#include <limits>

#include "IGfx/IBlend.h"
#include "IGfx/IColor.h"
#include "IGfx/IRECT.h"

namespace plugkit::gfx {
class IGfx;
}

namespace zarvo::midi_cc {

// The decorator state the drawing reads.
struct ModDisplay
{
  int ccNumber = -1;
  bool modulatable = false;
  int modeDisplay = 0; // 1 Modulate, anything else Absolute
  double min = 0.0;
  double max = 1.0;
  double depth = 0.0;
  bool bipolar = false;
  double liveValue = std::numeric_limits<double>::quiet_NaN();
  bool depthArmed = false;
  bool authoringDepth = false;
  double gestureStart = 0.0;
  double gestureDepth = 0.0;
  float arcRadiusFrac = 0.8f;
  float arcThickness = 2.f;
  float dotRadius = 2.5f;
  plugkit::gfx::IColor arcColor{220, 110, 170, 230};
  plugkit::gfx::IColor liveColor; // the live mark: the decorator's own colour or the control's fallback
};

// The knob's dial: centre, radius, sweep (degrees, 0 up, clockwise) and pointer width.
struct KnobDial
{
  float cx = 0.f;
  float cy = 0.f;
  float radius = 0.f;
  float a1 = -135.f;
  float a2 = 135.f;
  float pointerThickness = 2.5f;
};

struct ModStroke
{
  enum class EKind
  {
    Arc,    // cx, cy, r, angle from, angle to
    Radial, // cx, cy, angle, r from, r to
    Line,   // x1, y1, x2, y2
    Dot     // cx, cy, r (filled)
  };
  EKind kind = EKind::Line;
  plugkit::gfx::IColor color;
  std::array<float, 5> args{};
  float thickness = 0.f;
};

// At most two strokes: a span and its live mark, or two ticks.
struct ModDrawing
{
  std::array<ModStroke, 2> strokes{};
  int count = 0;

  void add(const ModStroke& s) { strokes[static_cast<size_t>(count++)] = s; }
};

// alpha / 2, the rest dropped: the armed hint's colour.
plugkit::gfx::IColor halfAlpha(const plugkit::gfx::IColor& c);

ModDrawing knobModDrawing(const ModDisplay& d, double value, const KnobDial& dial);
ModDrawing barModDrawing(const ModDisplay& d, double value, const plugkit::gfx::IRECT& rect);
void drawModStrokes(plugkit::gfx::IGfx& g, const ModDrawing& drawing, const plugkit::gfx::IBlend* blend);

} // namespace zarvo::midi_cc
