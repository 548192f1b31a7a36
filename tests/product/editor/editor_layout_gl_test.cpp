// The editor as the layout function builds it, drawn by the NanoVG backend with the bundle's fonts and
// artwork at 940 x 200 and 940 x 620, written as PNG files for review.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>

#include "IPlugin/IPluginPaths.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/Vemlor.h"
#include "product/editor/layout.h"
#include "product/params/params.h"
#include "tests/product/editor/editor_gl_session.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using namespace plugkit::gfx;

namespace {

bool near(const RGBA& p, int r, int g, int b, int tolerance = 24)
{
  return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance && std::abs(p.b - b) <= tolerance;
}

class EditorLayoutGL : public ::testing::TestWithParam<int>, public EditorGLSession
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    MakePlugin(GetParam() == 620);
  }
  void TearDown() override { Close(); }
};

TEST_P(EditorLayoutGL, TheWholeEditorDraws)
{
  Layout(GetParam(), 1.f);
  g->SetAllControlsDirty();
  ASSERT_TRUE(g->Frame());
  gl.WritePNG("editor_layout_940x" + std::to_string(GetParam()));

  // The panel, the logo's V in the accent colour, and the selected user tab.
  EXPECT_TRUE(near(gl.Probe(300, 195), 60, 60, 60));
  EXPECT_TRUE(near(gl.Probe(20, 68), 95, 55, 200));
  EXPECT_TRUE(near(gl.Probe(80, 70), 95, 55, 200));
}

INSTANTIATE_TEST_SUITE_P(Heights, EditorLayoutGL, ::testing::Values(200, 620));

} // namespace

// The all-controls tab and the frequencies tab of the short editor at draw scales 1 and 2.
class EditorTabsGL : public ::testing::TestWithParam<std::tuple<int, float>>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    plugkit::OverrideBundleRoot(VEMLOR_BUNDLE_PATH);
    plug = new Vemlor(plugkit::InstanceInfo{});
    ASSERT_EQ(plug->initialize(nullptr), Steinberg::kResultOk);
    if (zarvo::PresetManager* pm = plug->presetManager())
      pm->navigateTo(0);
    plug->OnIdle();
  }
  void TearDown() override
  {
    g.reset();
    if (plug)
    {
      plug->terminate();
      plug->release();
    }
    plugkit::OverrideBundleRoot(nullptr);
  }

  // Something drawn in the rectangle: a pixel clearly brighter than the panel.
  bool Drawn(const IRECT& r, float s)
  {
    for (float y = r.T; y < r.B; y += 1.f)
    {
      for (float x = r.L; x < r.R; x += 1.f)
      {
        const RGBA p = gl.Probe(static_cast<int>(x * s), static_cast<int>(y * s));
        if (p.r + p.g + p.b > 3 * 120)
          return true;
      }
    }
    return false;
  }

  OffscreenGL gl;
  Vemlor* plug = nullptr;
  std::unique_ptr<OffscreenGfx> g;
};

TEST_P(EditorTabsGL, TabDraws)
{
  const auto [tab, scale] = GetParam();
  plug->editorUI().currentTab = tab;
  g = std::make_unique<OffscreenGfx>(*plug, gl, vemlor::ui::kEditorWidth, 200, scale);
  vemlor::ui::layoutEditor(plug->editorModel(), *g);
  g->ForAllControlsFunc([this](IControl* c) {
    if (c->GetParamIdx() >= 0)
      c->SetValueFromDelegate(plug->GetParam(c->GetParamIdx())->GetNormalized());
  });
  g->SetAllControlsDirty();
  ASSERT_TRUE(g->Frame());
  gl.WritePNG(std::string(tab == 0 ? "editor_all_controls" : "editor_frequencies") + "_x" +
              std::to_string(static_cast<int>(scale)));
  EXPECT_TRUE(Drawn(IRECT(152, 20, 910, 180), scale));
}

INSTANTIATE_TEST_SUITE_P(TabsAndScales, EditorTabsGL,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Values(1.f, 2.f)));
