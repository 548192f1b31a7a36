// One scene drawn by NanoVG's own GL3 renderer and by the merging one, for tests that require both
// to give the same pixels.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IGfx/Drawing/NanoVGBatchedGL3.h"
#include "nanovg.h"
#include "nanovg_gl.h"
#include "tests/support/offscreen_gl.h"

namespace gfx_gl_test {

struct RendererPair
{
  std::vector<unsigned char> plain;
  std::vector<unsigned char> batched;
};

// `render(vg)` draws the scene and returns the window's pixels; the merging renderer's picture is
// written as pngName. A renderer that cannot be made fails the test and leaves its pixels empty.
template <typename Render>
RendererPair renderWithBoth(OffscreenGL& gl, const std::string& pngName, Render&& render)
{
  RendererPair out;
  if (NVGcontext* plain = nvgCreateGL3(NVG_ANTIALIAS))
  {
    out.plain = render(plain);
    nvgDeleteGL3(plain);
  }
  else
    ADD_FAILURE() << "NanoVG's GL3 renderer could not be made";
  if (NVGcontext* batched = nvgCreateBatchedGL3(NVG_ANTIALIAS))
  {
    out.batched = render(batched);
    gl.WritePNG(pngName);
    nvgDeleteGL3(batched);
  }
  else
    ADD_FAILURE() << "the merging GL3 renderer could not be made";
  return out;
}

} // namespace gfx_gl_test
