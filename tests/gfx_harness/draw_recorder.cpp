#include "tests/gfx_harness/draw_recorder.h"

#include <algorithm>

#include <fmt/format.h>

namespace plugkit::gfx::test {

std::string DrawCall::Describe() const
{
  std::string s = op + "(";
  for (size_t i = 0; i < args.size(); ++i)
    s += fmt::format("{}{:g}", i ? ", " : "", args[i]);
  s += ")";
  if (!rect.Empty())
    s += fmt::format(" rect=({:g}, {:g}, {:g}, {:g})", rect.L, rect.T, rect.R, rect.B);
  if (op == "PathStroke" || op == "PathFill" || op == "DoDrawText")
    s += fmt::format(" color=({}, {}, {}, {})", color.A, color.R, color.G, color.B);
  if (op == "PathStroke")
    s += fmt::format(" thickness={:g}", thickness);
  if (hasBlend)
    s += fmt::format(" blend=({}, {:g})", static_cast<int>(blend.mMethod), blend.mWeight);
  if (!text.empty())
    s += fmt::format(" text=\"{}\" font={} {:g}", text, font, fontSize);
  return s;
}

std::vector<DrawCall> DrawRecorder::Only(const std::string& op) const
{
  std::vector<DrawCall> out;
  std::copy_if(mCalls.begin(), mCalls.end(), std::back_inserter(out), [&op](const DrawCall& c) { return c.op == op; });
  return out;
}

int DrawRecorder::Count(const std::string& op) const
{
  return static_cast<int>(std::count_if(mCalls.begin(), mCalls.end(), [&op](const DrawCall& c) { return c.op == op; }));
}

std::string DrawRecorder::Dump() const
{
  std::string s;
  for (const DrawCall& c : mCalls)
    s += c.Describe() + "\n";
  return s;
}

} // namespace plugkit::gfx::test
