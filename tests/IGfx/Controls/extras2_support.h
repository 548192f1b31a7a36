// Shared pieces of the SVG, bitmap, group, swatch and label control tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>

#include "IGfx/IBitmap.h"
#include "IGfx/ISVG.h"
#include "tests/IGfx/Controls/shape_log.h"
#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx::test {

// A document parsed from text; the context keeps it by name.
inline ISVG TextSVG(IGfx& g, const char* name, const char* text)
{
  return g.LoadSVG(name, static_cast<const void*>(text), 0);
}

// A w x h document filled with one colour and, when given, stroked with another.
inline std::string RectSVG(int w, int h, const char* fill = "#ff0000", const char* stroke = nullptr)
{
  std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(w) + "\" height=\"" +
                  std::to_string(h) + "\"><rect width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) +
                  "\" fill=\"" + fill + "\"";
  if (stroke)
    s += std::string(" stroke=\"") + stroke + "\"";
  return s + "/></svg>";
}

// A bitmap the context finds by name: put into the shared cache, which owns and frees it.
inline IBitmap CachedBitmap(IGfx& g, const char* name, int w, int h, int nFrames, bool horizontal)
{
  g.RetainBitmap(IBitmap(new APIBitmap(1, w, h, 1.f, 1.f), nFrames, horizontal, name), name);
  return g.LoadBitmap(name, nFrames, horizontal);
}

// The box around the points a rectangle-like path moved and drew to.
inline IRECT BoxOf(const PaintedShape& shape)
{
  IRECT box;
  bool first = true;
  for (const DrawCall& c : shape.path)
    if ((c.op == "PathMoveTo" || c.op == "PathLineTo") && c.args.size() == 2)
    {
      const IRECT p(c.args[0], c.args[1], c.args[0], c.args[1]);
      box = first ? p : IRECT(std::min(box.L, p.L), std::min(box.T, p.T), std::max(box.R, p.R), std::max(box.B, p.B));
      first = false;
    }
  return box;
}

// Clears the record and draws one frame.
inline void DrawFrame(EditorSession& s)
{
  s.recorder.Clear();
  s.G().SetAllControlsDirty();
  s.G().Tick();
}

// The transform in force at the first call named op; empty when none.
inline std::vector<float> MatrixAt(const DrawRecorder& recorder, const std::string& op)
{
  std::vector<float> m;
  for (const DrawCall& c : recorder.Calls())
  {
    if (c.op == "PathTransformSetMatrix" && c.args.size() == 6)
      m = c.args;
    if (c.op == op)
      return m;
  }
  return {};
}

// The rotation, in degrees, of the transform in force at the first call named op; NAN when none.
inline double RotationAt(const DrawRecorder& recorder, const std::string& op)
{
  double angle = NAN;
  for (const DrawCall& c : recorder.Calls())
  {
    if (c.op == "PathTransformSetMatrix" && c.args.size() == 6)
      angle = std::atan2(c.args[1], c.args[0]) * 180. / M_PI;
    if (c.op == op)
      return angle;
  }
  return NAN;
}

} // namespace plugkit::gfx::test
