// Groups recorded primitives into the shapes that were filled or stroked, for
// tests that ask which colours a control painted and with which path.
#pragma once

#include <vector>

#include "tests/gfx_harness/draw_recorder.h"

namespace plugkit::gfx::test {

struct PaintedShape
{
  bool fill = false;
  IColor color;
  bool hasBlend = false;
  std::vector<DrawCall> path; // the path calls since the previous PathClear
};

inline std::vector<PaintedShape> PaintedShapes(const DrawRecorder& recorder)
{
  std::vector<PaintedShape> shapes;
  std::vector<DrawCall> path;
  for (const DrawCall& call : recorder.Calls())
  {
    if (call.op == "PathClear")
      path.clear();
    else if (call.op == "PathFill" || call.op == "PathStroke")
      shapes.push_back({call.op == "PathFill", call.color, call.hasBlend, path});
    else if (call.op.rfind("Path", 0) == 0 && call.op != "PathTransformSetMatrix")
      path.push_back(call);
  }
  return shapes;
}

inline int CountPainted(const std::vector<PaintedShape>& shapes, const IColor& color, bool fill)
{
  int n = 0;
  for (const PaintedShape& s : shapes)
    n += (s.fill == fill && s.color == color) ? 1 : 0;
  return n;
}

} // namespace plugkit::gfx::test
