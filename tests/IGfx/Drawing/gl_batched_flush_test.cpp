// The GL3 renderer that merges draws of one paint draws exactly the pixels NanoVG's own renderer draws.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <string>
#include <vector>

#include "IGfx/Drawing/NanoVGBatchedGL3.h"
#include "tests/IGfx/Drawing/renderer_pair.h"
#include "nanovg.h"
#include "nanovg_gl.h"
#include "tests/support/offscreen_gl.h"

using namespace gfx_gl_test;

namespace {

constexpr int kW = 240, kH = 160;

// Shapes and texts of alternating colours under changing clips, the mix the editor's controls make:
// convex fills, strokes, concave fills (through the stencil), gradients, an image paint and text.
void drawScene(NVGcontext* vg, int font, int image, float ratio)
{
  nvgBeginFrame(vg, kW / ratio, kH / ratio, ratio);
  const NVGcolor colours[] = {nvgRGBA(220, 40, 40, 255), nvgRGBA(40, 200, 90, 200), nvgRGBA(30, 60, 230, 255),
                              nvgRGBA(250, 250, 250, 128)};
  for (int i = 0; i < 24; ++i)
  {
    const float x = 4.f + static_cast<float>(i % 8) * (kW / ratio - 8.f) / 8.f,
                y = 4.f + static_cast<float>(i / 8) * 22.f;
    if (i % 5 == 4)
      nvgScissor(vg, x, y, 14.f, 12.f);
    else if (i % 5 == 0)
      nvgResetScissor(vg);
    nvgBeginPath(vg);
    nvgRoundedRect(vg, x, y, 20.f, 16.f, 3.f);
    nvgFillColor(vg, colours[i % 4]);
    nvgFill(vg);
    nvgBeginPath(vg);
    nvgArc(vg, x + 10.f, y + 8.f, 6.f, 0.3f, 4.f, NVG_CW);
    nvgStrokeColor(vg, colours[(i + 1) % 4]);
    nvgStrokeWidth(vg, 1.f + static_cast<float>(i % 3));
    nvgStroke(vg);
    nvgFontFaceId(vg, font);
    nvgFontSize(vg, 9.f + static_cast<float>(i % 4));
    nvgFillColor(vg, colours[(i + 2) % 4]);
    nvgText(vg, x, y + 14.f, "Ag5", nullptr);
  }
  nvgResetScissor(vg);
  // A star: a concave fill through the stencil.
  nvgBeginPath(vg);
  for (int k = 0; k < 10; ++k)
  {
    const float r = k % 2 ? 8.f : 20.f, a = static_cast<float>(k) * 0.6283f;
    const float px = 40.f + r * std::sin(a), py = 110.f / ratio - r * std::cos(a);
    k == 0 ? nvgMoveTo(vg, px, py) : nvgLineTo(vg, px, py);
  }
  nvgClosePath(vg);
  nvgFillColor(vg, colours[0]);
  nvgFill(vg);
  nvgBeginPath(vg);
  nvgRect(vg, 70.f, 80.f / ratio, 50.f, 30.f);
  nvgFillPaint(vg, nvgLinearGradient(vg, 70.f, 0.f, 120.f, 0.f, colours[1], colours[2]));
  nvgFill(vg);
  nvgBeginPath(vg);
  nvgRect(vg, 130.f / ratio, 80.f / ratio, 30.f, 30.f);
  nvgFillPaint(vg, nvgImagePattern(vg, 130.f / ratio, 80.f / ratio, 30.f, 30.f, 0.f, image, 1.f));
  nvgFill(vg);
  // Dashes of one colour: many strokes that merge.
  nvgStrokeColor(vg, colours[3]);
  nvgStrokeWidth(vg, 1.f);
  for (int k = 0; k < 20; ++k)
  {
    nvgBeginPath(vg);
    nvgMoveTo(vg, 10.f + 5.f * static_cast<float>(k), 150.f / ratio);
    nvgLineTo(vg, 12.f + 5.f * static_cast<float>(k), 152.f / ratio);
    nvgStroke(vg);
  }
  // A panel, a disc on it and an opaque rectangle on whole pixels over most of both, under a clip: the
  // flush leaves out what the rectangle covers and draws the panel only around it.
  nvgScissor(vg, 150.f / ratio, 84.f / ratio, 86.f / ratio, 72.f / ratio);
  nvgBeginPath(vg);
  nvgRect(vg, 0.f, 0.f, kW / ratio, kH / ratio);
  nvgFillColor(vg, nvgRGBA(60, 60, 60, 255));
  nvgFill(vg);
  nvgBeginPath(vg);
  nvgCircle(vg, 190.f / ratio, 120.f / ratio, 10.f / ratio);
  nvgFillColor(vg, colours[0]);
  nvgFill(vg);
  nvgBeginPath(vg);
  nvgRect(vg, 154.f / ratio, 88.f / ratio, 76.f / ratio, 62.f / ratio);
  nvgFillColor(vg, nvgRGBA(45, 131, 203, 255));
  nvgFill(vg);
  nvgBeginPath(vg);
  nvgCircle(vg, 160.f / ratio, 100.f / ratio, 8.f / ratio);
  nvgFillColor(vg, colours[3]);
  nvgFill(vg);
  nvgResetScissor(vg);
  nvgEndFrame(vg);
}

std::vector<unsigned char> render(OffscreenGL& gl, NVGcontext* vg, float ratio)
{
  const unsigned fbo = gl.WindowFramebuffer(kW, kH);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glViewport(0, 0, kW, kH);
  glClearColor(0.1f, 0.1f, 0.1f, 1.f);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  const int font = nvgCreateFont(vg, "regular", (std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf").c_str());
  std::vector<unsigned char> texels(8 * 8 * 4);
  for (size_t i = 0; i < texels.size(); ++i)
    texels[i] = static_cast<unsigned char>(i * 37);
  const int image = nvgCreateImageRGBA(vg, 8, 8, 0, texels.data());
  drawScene(vg, font, image, ratio);
  glFinish();
  return gl.ReadWindow();
}

TEST(GLBatchedFlush, DrawsTheSamePixelsAsNanoVGsRendererAtEitherRatio)
{
  OffscreenGL gl;
  ASSERT_TRUE(gl.Ok()) << "no surfaceless EGL context";
  gl.MakeCurrent();
  for (float ratio : {1.f, 2.f})
  {
    const RendererPair pair = renderWithBoth(gl, "batched_flush_x" + std::to_string(static_cast<int>(ratio)),
                                             [&](NVGcontext* vg) { return render(gl, vg, ratio); });
    const std::vector<unsigned char>& want = pair.plain;
    const std::vector<unsigned char>& got = pair.batched;
    ASSERT_FALSE(want.empty());
    ASSERT_EQ(got.size(), want.size());
    // The top left pixel lies outside every shape: the background.
    size_t differing = 0, drawn = 0;
    for (size_t i = 0; i < want.size(); i += 4)
    {
      differing +=
        want[i] != got[i] || want[i + 1] != got[i + 1] || want[i + 2] != got[i + 2] || want[i + 3] != got[i + 3];
      drawn += want[i] != want[0] || want[i + 1] != want[1] || want[i + 2] != want[2];
    }
    EXPECT_EQ(differing, 0u) << "ratio " << ratio;
    EXPECT_GT(drawn, want.size() / 4 / 5) << "the scene drew next to nothing at ratio " << ratio;
  }
}

} // namespace
