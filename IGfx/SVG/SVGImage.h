// A parsed SVG document: shapes of cubic Bézier paths with their fill and stroke paints.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace plugkit::gfx::svg {

enum EPaintType
{
  kPaintNone = 0,
  kPaintColor = 1,
  kPaintLinearGradient = 2,
  kPaintRadialGradient = 3
};

enum ESpread
{
  kSpreadPad = 0,
  kSpreadReflect = 1,
  kSpreadRepeat = 2
};

enum EShapeFlags
{
  kFlagVisible = 1
};

// Colours are packed with red in the lowest byte, then green, blue and alpha.
struct GradientStop
{
  uint32_t color = 0xFF000000;
  float offset = 0.0f;
};

struct Gradient
{
  // Maps drawing coordinates into gradient space (xx, yx, xy, yy, tx, ty), where a linear gradient
  // runs along y from 0 to 1 and a radial one is the unit circle.
  float xform[6] = {1, 0, 0, 1, 0, 0};
  int spread = kSpreadPad;
  std::vector<GradientStop> stops;
};

struct Paint
{
  int type = kPaintNone;
  uint32_t color = 0;
  Gradient gradient; // for the gradient types
};

// First point, then three points (two control points and the end) per cubic segment.
struct Path
{
  std::vector<float> pts; // x, y pairs
  int npts = 0;
  bool closed = false;
  float bounds[4] = {0, 0, 0, 0}; // min x, min y, max x, max y
};

struct Shape
{
  Paint fill;
  Paint stroke;
  float opacity = 1.0f;
  float strokeWidth = 1.0f;
  float strokeDashOffset = 0.0f;
  float strokeDashArray[8] = {};
  int strokeDashCount = 0;
  int strokeLineJoin = 0; // miter, round, bevel
  int strokeLineCap = 0;  // butt, round, square
  float miterLimit = 4.0f;
  unsigned flags = kFlagVisible;
  std::vector<Path> paths;
};

struct Image
{
  float width = 0.0f;
  float height = 0.0f;
  std::vector<Shape> shapes;
};

// Main thread. A document in user units (units such as "px", "pt" or "mm" at dpi for lengths given
// in absolute units); null for text that is not a well-formed SVG document. Never throws.
std::unique_ptr<Image> ParseSVG(const char* text, const char* units, float dpi);

} // namespace plugkit::gfx::svg
