// What a widget painted, read back from the recording backend: filled rectangles and drawn texts.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "tests/gfx_harness/draw_recorder.h"

namespace ui_widgets_test {

using plugkit::gfx::IColor;
using plugkit::gfx::IRECT;
using plugkit::gfx::test::DrawCall;
using plugkit::gfx::test::DrawRecorder;

struct Fill
{
  IRECT rect; // bounding box of the filled path
  IColor color;
  float weight = 1.f;
};

inline std::vector<Fill> Fills(const DrawRecorder& r)
{
  std::vector<Fill> fills;
  std::vector<const DrawCall*> path;
  for (const DrawCall& call : r.Calls())
  {
    if (call.op == "PathClear")
      path.clear();
    else if (call.op == "PathMoveTo" || call.op == "PathLineTo")
      path.push_back(&call);
    else if (call.op == "PathFill" && !path.empty())
    {
      IRECT box(path[0]->args[0], path[0]->args[1], path[0]->args[0], path[0]->args[1]);
      for (const DrawCall* p : path)
      {
        box.L = std::min(box.L, p->args[0]);
        box.R = std::max(box.R, p->args[0]);
        box.T = std::min(box.T, p->args[1]);
        box.B = std::max(box.B, p->args[1]);
      }
      fills.push_back({box, call.color, call.hasBlend ? call.blend.mWeight : 1.f});
    }
  }
  return fills;
}

inline std::vector<DrawCall> Texts(const DrawRecorder& r) { return r.Only("DoDrawText"); }

inline std::vector<std::string> TextStrings(const DrawRecorder& r)
{
  std::vector<std::string> out;
  for (const DrawCall& c : Texts(r))
    out.push_back(c.text);
  return out;
}

} // namespace ui_widgets_test
