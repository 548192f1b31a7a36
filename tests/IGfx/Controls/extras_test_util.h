// Small helpers for the extra stock controls' tests: a style without label,
// value or shadows, and the rectangles a control filled in one colour.
#pragma once

#include <algorithm>
#include <ostream>
#include <vector>

#include "IGfx/Controls/PlaceHolder.h"
#include "IGfx/IVStyle.h"
#include "tests/IGfx/Controls/shape_log.h"
#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx {

inline void PrintTo(const IRECT& r, std::ostream* os)
{
  *os << "(" << r.L << ", " << r.T << ", " << r.R << ", " << r.B << ")";
}

} // namespace plugkit::gfx

namespace plugkit::gfx::test {

// Call before attaching: the first control is the background, which never hovers.
inline void EnableHover(EditorSession& s)
{
  s.G().EnableMouseOver(true);
  s.Attach<PlaceHolder>(IRECT(900, 190, 901, 191));
}

inline IVStyle PlainStyle()
{
  IVStyle style;
  style.showLabel = false;
  style.showValue = false;
  style.drawShadows = false;
  return style;
}

// The bounding box of a shape's path points.
inline IRECT PathBounds(const PaintedShape& shape)
{
  bool any = false;
  IRECT r;
  for (const DrawCall& c : shape.path)
  {
    if (c.op != "PathMoveTo" && c.op != "PathLineTo")
      continue;
    const float x = c.args[0];
    const float y = c.args[1];
    if (!any)
      r = IRECT(x, y, x, y);
    r = IRECT(std::min(r.L, x), std::min(r.T, y), std::max(r.R, x), std::max(r.B, y));
    any = true;
  }
  return r;
}

inline std::vector<IRECT> FilledRects(const DrawRecorder& recorder, const IColor& color)
{
  std::vector<IRECT> rects;
  for (const PaintedShape& s : PaintedShapes(recorder))
    if (s.fill && s.color == color)
      rects.push_back(PathBounds(s));
  return rects;
}

} // namespace plugkit::gfx::test
