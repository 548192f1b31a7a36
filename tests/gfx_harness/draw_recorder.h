// What a recording backend was asked to draw: every primitive call with its arguments.
#pragma once

#include <string>
#include <vector>

#include "IGfx/IBlend.h"
#include "IGfx/IColor.h"
#include "IGfx/IRECT.h"

namespace plugkit::gfx::test {

struct DrawCall
{
  std::string op;          // "PathMoveTo", "PathFill", "SetClipRegion", "BeginFrame", ...
  std::vector<float> args; // coordinates and numbers in argument order
  IRECT rect;              // clip, region, text or bitmap bounds
  IColor color;            // the first stop of a stroke or fill pattern, the text colour
  float thickness = 0.f;   // strokes
  bool hasBlend = false;
  IBlend blend;
  std::string text; // drawn text
  std::string font; // text font
  float fontSize = 0.f;

  // One line: op(args) with the fields that matter for that op.
  std::string Describe() const;
};

class DrawRecorder
{
public:
  void Record(DrawCall call) { mCalls.push_back(std::move(call)); }
  void Clear() { mCalls.clear(); }
  const std::vector<DrawCall>& Calls() const { return mCalls; }
  DrawCall& Last() { return mCalls.back(); }
  // The calls named op, in order.
  std::vector<DrawCall> Only(const std::string& op) const;
  int Count(const std::string& op) const;
  // Describe() of every call, one per line; for failure messages.
  std::string Dump() const;

private:
  std::vector<DrawCall> mCalls;
};

} // namespace plugkit::gfx::test
