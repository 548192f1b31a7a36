// Partial redraws of the whole editor through the NanoVG backend: after any sequence of frames that
// redraw only some controls, the window holds exactly the picture one full frame draws; and a frame
// after one knob changes rasterises about that knob's pixels, not the window's.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>
#include <nanovg.h>
#include <nanovg_gl_utils.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/product/editor/editor_gl_session.h"

using namespace gfx_gl_test;
using namespace plugkit::gfx;

namespace {

// The editor of one page (tab, height) at one draw scale, laid out over a plug-in on its first preset.
class PartialRedrawGL : public ::testing::Test, public EditorGLSession
{
protected:
  void Open(int tab, int height, float scale)
  {
    ASSERT_TRUE(gl.Ok()) << "no surfaceless EGL context";
    MakePlugin(height == 620);
    plug->editorUI().currentTab = tab;
    Layout(height, scale);
  }
  void TearDown() override { Close(); }

  void FullFrame()
  {
    g->SetAllControlsDirty();
    ASSERT_TRUE(g->Frame());
  }
};

class PartialRedrawPages : public PartialRedrawGL, public ::testing::WithParamInterface<std::tuple<int, int, float>>
{};

// Every control redrawn on its own, then pairs far apart in one frame (two regions), starting from a
// window that holds something else: each pixel must come out as the full frame drew it.
TEST_P(PartialRedrawPages, PartialFramesLeaveTheFullFramesPixels)
{
  const auto [tab, height, scale] = GetParam();
  Open(tab, height, scale);
  FullFrame();
  const std::string name = "partial_redraw_tab" + std::to_string(tab) + "_" + std::to_string(height) + "_x" +
                           std::to_string(static_cast<int>(scale));
  gl.WritePNG(name + "_full");
  const std::vector<unsigned char> full = gl.ReadWindow();

  // Scribble over the whole picture so that a pixel no partial frame reaches shows up below.
  g->ActivateGLContext();
  glBindFramebuffer(GL_FRAMEBUFFER, g->GetMainFramebuffer()->fbo);
  glClearColor(1.f, 0.f, 1.f, 1.f);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);

  const int n = g->NControls();
  for (int i = 0; i < n; ++i)
  {
    g->GetControl(i)->SetDirty(false);
    g->Frame();
  }
  for (int i = 0; i < n; ++i)
  {
    g->GetControl(i)->SetDirty(false);
    g->GetControl((i * 7 + n / 2) % n)->SetDirty(false);
    g->Frame();
  }
  gl.WritePNG(name + "_partial");
  const std::vector<unsigned char> partial = gl.ReadWindow();
  ASSERT_EQ(partial.size(), full.size());
  int differing = 0, first = -1;
  for (size_t k = 0; k < full.size(); ++k)
    if (full[k] != partial[k] && differing++ == 0)
      first = static_cast<int>(k / 4);
  EXPECT_EQ(differing, 0) << "first at pixel (" << first % gl.Width() << ", " << first / gl.Width() << ")";
}

INSTANTIATE_TEST_SUITE_P(TabsHeightsScales, PartialRedrawPages,
                         ::testing::Combine(::testing::Values(0, 1, 2), ::testing::Values(200, 620),
                                            ::testing::Values(1.f, 2.f)));

class OneKnobFrame : public PartialRedrawGL, public ::testing::WithParamInterface<float>
{};

// The frame that shows a new value of one knob: the fragments the rasteriser produced (every layer
// of every shape drawn under the knob's clip) stay within twice the knob's padded area in pixels.
TEST_P(OneKnobFrame, RasterisesAboutTheKnobsPixels)
{
  const float scale = GetParam();
  Open(2, 620, scale);
  FullFrame();
  IControl* knob = nullptr;
  g->ForAllControlsFunc([&knob](IControl* c) {
    if (!knob && c->GetParamIdx() == zarvo::par_main_drive && !c->IsHidden())
      knob = c;
  });
  ASSERT_NE(knob, nullptr);
  knob->SetValueFromDelegate(knob->GetValue() < 0.5 ? 0.8 : 0.2);

  g->ActivateGLContext();
  GLuint query = 0;
  glGenQueries(1, &query);
  glBeginQuery(GL_SAMPLES_PASSED, query);
  ASSERT_TRUE(g->Frame());
  glEndQuery(GL_SAMPLES_PASSED);
  GLuint64 samples = 0;
  glGetQueryObjectui64v(query, GL_QUERY_RESULT, &samples);
  glDeleteQueries(1, &query);

  const IRECT r = knob->GetRECT().GetPadded(0.75f).GetPixelAligned(scale);
  const double area = static_cast<double>(r.W() * scale) * static_cast<double>(r.H() * scale);
  // The frame's copy to the window is a blit, which counts no samples.
  RecordProperty("samples", static_cast<int>(samples));
  RecordProperty("knob_pixels", static_cast<int>(area));
  EXPECT_GT(samples, 0u);
  EXPECT_LE(static_cast<double>(samples), 2.0 * area)
    << samples << " samples for a knob of " << area << " pixels (" << r.W() << " x " << r.H() << ")";
  gl.WritePNG("partial_redraw_one_knob_x" + std::to_string(static_cast<int>(scale)));
}

INSTANTIATE_TEST_SUITE_P(Scales, OneKnobFrame, ::testing::Values(1.f, 2.f));

} // namespace
