// Which image files stand for a resource at each scale of a high-density screen.
#pragma once

#include <string>
#include <vector>

namespace plugkit::gfx {

// The scales to try for a target scale t: t, then 3, then down by one to 1, each once
// (t = 2 gives 2, 3, 1; t = 5 gives 5, 3, 2, 1). Nothing for t ≤ 0.
std::vector<int> ImageScaleSearchOrder(int targetScale);

// The file name of a resource at a scale: the name itself at 1, else "@<s>x" inserted before the
// extension of the last path component ("knob.png" at 2 is "knob@2x.png"; "a.b/knob" is "a.b/knob@2x").
std::string ScaledImageName(const char* name, int scale);

} // namespace plugkit::gfx
