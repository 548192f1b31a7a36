// Rectangles on whole device pixels lose their anti-aliasing fringe in the merging GL3 renderer: the
// pixels stay those of NanoVG's own renderer, and such a rectangle costs two triangles.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <string>
#include <vector>

#include "IGfx/Drawing/NanoVGBatchedGL3.h"
#include "tests/IGfx/Drawing/renderer_pair.h"
#include "nanovg.h"
#include "nanovg_gl.h"
#include "tests/support/offscreen_gl.h"

using namespace gfx_gl_test;

namespace {

constexpr int kW = 200, kH = 120;

struct RectCase
{
  float x, y, w, h;
  bool hole;     // the path's winding reversed: a convex fill whose fringe runs inwards
  bool gradient; // a paint in the uniforms rather than on the vertices
};

// In device pixels at ratio 1; divided by the ratio, so whole numbers stay on pixel edges at ratio 2
// and halves fall between them.
const RectCase kRects[] = {
  {2.f, 2.f, 60.f, 40.f, false, false},   // on pixel edges
  {70.f, 2.f, 1.f, 30.f, false, false},   // one pixel wide
  {80.f, 2.5f, 30.f, 20.f, false, false}, // half a pixel off vertically
  {120.f, 2.25f, 30.f, 20.25f, false, false}, {160.f, 2.f, 30.f, 30.f, true, false},
  {2.f, 50.f, 60.f, 30.f, false, true},       {10.f, 60.f, 40.f, 50.f, false, false}, // over the gradient, translucent
  {70.f, 50.f, 50.f, 60.f, false, false},     {100.7f, 70.f, 30.f, 30.f, false, false},
  {140.f, 50.f, 50.f, 60.f, false, false},
};

void drawRects(NVGcontext* vg, float ratio, bool alignedOnly)
{
  nvgBeginFrame(vg, kW / ratio, kH / ratio, ratio);
  const NVGcolor colours[] = {nvgRGBA(220, 40, 40, 255), nvgRGBA(40, 200, 90, 170), nvgRGBA(30, 60, 230, 255),
                              nvgRGBA(250, 250, 250, 100)};
  int i = 0;
  for (const RectCase& r : kRects)
  {
    const bool aligned = r.x == static_cast<int>(r.x) && r.y == static_cast<int>(r.y) && r.w == static_cast<int>(r.w) &&
                         r.h == static_cast<int>(r.h) && r.w > 1.f && !r.hole && !r.gradient;
    if (alignedOnly && !aligned)
      continue;
    if (i == 7)
      nvgScissor(vg, 75.f / ratio, 55.f / ratio, 33.5f / ratio, 40.f / ratio);
    else
      nvgResetScissor(vg);
    nvgBeginPath(vg);
    nvgRect(vg, r.x / ratio, r.y / ratio, r.w / ratio, r.h / ratio);
    if (r.hole)
      nvgPathWinding(vg, NVG_CW);
    if (r.gradient)
      nvgFillPaint(vg, nvgLinearGradient(vg, r.x / ratio, 0.f, (r.x + r.w) / ratio, 0.f, colours[0], colours[2]));
    else
      nvgFillColor(vg, colours[i % 4]);
    nvgFill(vg);
    ++i;
  }
  nvgEndFrame(vg);
}

std::vector<unsigned char> render(OffscreenGL& gl, NVGcontext* vg, float ratio, bool alignedOnly,
                                  GLuint* primitives = nullptr)
{
  const unsigned fbo = gl.WindowFramebuffer(kW, kH);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glViewport(0, 0, kW, kH);
  glClearColor(0.1f, 0.1f, 0.1f, 1.f);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  GLuint query = 0;
  glGenQueries(1, &query);
  glBeginQuery(GL_PRIMITIVES_GENERATED, query);
  drawRects(vg, ratio, alignedOnly);
  glEndQuery(GL_PRIMITIVES_GENERATED);
  GLuint count = 0;
  glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
  glDeleteQueries(1, &query);
  if (primitives)
    *primitives = count;
  glFinish();
  return gl.ReadWindow();
}

TEST(GLPixelRectFringe, RectanglesDrawTheSamePixelsAsNanoVGsRendererAtEitherRatio)
{
  OffscreenGL gl;
  ASSERT_TRUE(gl.Ok()) << "no surfaceless EGL context";
  gl.MakeCurrent();
  for (float ratio : {1.f, 2.f})
  {
    const RendererPair pair = renderWithBoth(gl, "pixel_rect_fringe_x" + std::to_string(static_cast<int>(ratio)),
                                             [&](NVGcontext* vg) { return render(gl, vg, ratio, false); });
    const std::vector<unsigned char>& want = pair.plain;
    const std::vector<unsigned char>& got = pair.batched;
    ASSERT_FALSE(want.empty());
    ASSERT_EQ(got.size(), want.size());
    size_t differing = 0;
    for (size_t i = 0; i < want.size(); ++i)
      differing += want[i] != got[i];
    EXPECT_EQ(differing, 0u) << "ratio " << ratio;
  }
}

TEST(GLPixelRectFringe, ARectangleOnWholePixelsIsTwoTriangles)
{
  OffscreenGL gl;
  ASSERT_TRUE(gl.Ok()) << "no surfaceless EGL context";
  gl.MakeCurrent();
  for (float ratio : {1.f, 2.f})
  {
    NVGcontext* batched = nvgCreateBatchedGL3(NVG_ANTIALIAS);
    ASSERT_NE(batched, nullptr);
    GLuint primitives = 0;
    render(gl, batched, ratio, true, &primitives);
    nvgDeleteGL3(batched);
    // Four rectangles in plain colours on whole pixels, wider than a pixel (NanoVG's inset fill of a one-pixel-wide one
    // has no area; it keeps its fringe).
    EXPECT_EQ(primitives, 4u * 2u) << "ratio " << ratio;
  }
}

} // namespace
