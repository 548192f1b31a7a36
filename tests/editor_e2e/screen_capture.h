// What the X server shows of a window, as RGB pixels: written as PNG screenshots into the CI
// artefact folder and probed at editor positions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Xlib's display, declared here so that this header brings none of Xlib's macros.
struct _XDisplay;

namespace vemlor::e2e {

struct Rgb
{
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

std::string toString(const Rgb& c);

struct ScreenCapture
{
  int width = 0;
  int height = 0;
  float scale = 1.f;     // window pixels per editor pixel
  int left = 0, top = 0; // the captured part's origin in the window, in window pixels
  std::vector<uint8_t> rgb;

  explicit operator bool() const { return width > 0 && height > 0; }
  // The pixel under editor position (x, y); black outside.
  Rgb at(float x, float y) const;
  // True when some pixel of the editor rectangle has colour c (within tolerance per channel).
  bool contains(float l, float t, float r, float b, const Rgb& c, int tolerance = 2) const;
  // Writes <artefact folder>/<name>.png; false when it could not.
  bool writePng(const std::string& name) const;
};

// The window's pixels as the screen shows them, all of it or the part (l, t, r, b) in editor pixels;
// empty when the window is not on screen.
ScreenCapture captureWindow(_XDisplay* display, unsigned long window, float scale);
ScreenCapture captureWindow(_XDisplay* display, unsigned long window, float scale, float l, float t, float r, float b);

// The folder screenshots go to (created on first use).
std::string screenshotFolder();

} // namespace vemlor::e2e
