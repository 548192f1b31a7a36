// The frequencies tab and the user tab (normal and edit mode) with the help and about controls, built by
// the layout's steps over a real plug-in and drawn by the NanoVG backend at draw scales 1 and 2.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "IGfx/IPattern.h"
#include "product/Vemlor.h"
#include "product/editor/layout.h"
#include "product/editor/frequencies_tab.h"
#include "product/ui/plugin_control_registry.h"
#include "product/ui/theme.h"
#include "product/ui/tooltip_bubble_control.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/product/ui/catalogue_session.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using namespace plugkit::gfx;

namespace {

class TabsScreenshot : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    plug = new Vemlor(plugkit::InstanceInfo{});
    ASSERT_EQ(plug->initialize(nullptr), Steinberg::kResultOk);
    // Morph off: the editor of 200 pixels.
    plug->GetParam(zarvo::par_morph_active)->Set(0.0);
    plug->OnParamChange(zarvo::par_morph_active, plugkit::EParamSource::kPresetRecall, -1);
    plug->SetMakeGraphicsFunc([this] { return std::make_unique<OffscreenGfx>(*plug, gl, 940, 200, GetParam()); });
    plug->SetLayoutFunc(nullptr);
  }
  void TearDown() override
  {
    if (plug)
    {
      plug->CloseWindow();
      plug->terminate();
      plug->release();
    }
  }

  IGfx& Build(int tab, bool editing)
  {
    plug->editorUI().currentTab = tab;
    plug->editorUI().userTabEditing = editing;
    plug->editorUI().presetStripCollapsed = editing;
    plug->OpenWindow(nullptr);
    IGfx& g = *plug->GetUI();
    const std::string npm = VEMLOR_NPM_DIR;
    EXPECT_TRUE(g.LoadFont(vemlor::ui::kTextFont,
                           (npm + "/@expo-google-fonts/roboto-mono/400Regular/RobotoMono_400Regular.ttf").c_str()));
    EXPECT_TRUE(g.LoadFont(vemlor::ui::kIconFont, (npm + "/@mdi/font/fonts/" + vemlor::ui::kIconFont).c_str()));
    EXPECT_TRUE(g.LoadFont("Roboto-Regular", (std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf").c_str()));
    g.AttachBubbleControl(new vemlor::ui::TooltipBubbleControl);
    g.AttachPanelBackground(IPattern(vemlor::ui::colDarkGray));
    const vemlor::ui::test::CatalogueLook look;
    pass = std::make_unique<vemlor::ui::LayoutPass>(vemlor::ui::LayoutPass{
      plug->editorModel(), g, vemlor::ui::EditorStyles{look.style1, look.style2, look.style3}, 940.f, 200.f,
      IRECT(0, 0, 940, 200), IRECT(152, 20, 910, 180),
      vemlor::ui::buildControlRegistry(plug->ccMediator(), look.style1, look.style2, look.style3, look.transparent,
                                       look.highlightGray, look.accent, look.modArc, look.darkGray)});
    vemlor::ui::attachFrequenciesTab(*pass);
    vemlor::ui::attachUserTab(*pass);
    vemlor::ui::attachHelpAndAbout(*pass);
    vemlor::ui::applyInitialVisibility(*pass);
    vemlor::ui::finishLayout(*pass);
    return g;
  }

  void Draw(const char* name)
  {
    auto& g = static_cast<OffscreenGfx&>(*plug->GetUI());
    g.SetAllControlsDirty();
    ASSERT_TRUE(g.Frame());
    gl.WritePNG(std::string("editor_tabs_") + name + "_x" + std::to_string(static_cast<int>(GetParam())));
  }

  // Something drawn in the rectangle: a pixel clearly brighter than the background.
  bool Drawn(const IRECT& r)
  {
    const float s = GetParam();
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
  std::unique_ptr<vemlor::ui::LayoutPass> pass;
};

TEST_P(TabsScreenshot, FrequenciesTab)
{
  Build(1, false);
  Draw("frequencies");
  for (const vemlor::ui::CutoffBlockRects& block : vemlor::ui::cutoffBlockRects(IRECT(152, 20, 910, 180)))
  {
    EXPECT_TRUE(Drawn(block.caption));
    EXPECT_TRUE(Drawn(block.notes));
    EXPECT_TRUE(Drawn(block.glide));
    EXPECT_TRUE(Drawn(block.controller));
  }
  EXPECT_TRUE(Drawn(IRECT(920, 82, 940, 118))); // "i" and "?"
}

TEST_P(TabsScreenshot, UserTab)
{
  Build(2, false);
  Draw("user");
  EXPECT_TRUE(Drawn(IRECT(152, 20, 910, 180)));
}

TEST_P(TabsScreenshot, UserTabInEditMode)
{
  Build(2, true);
  Draw("user_edit");
  EXPECT_TRUE(Drawn(IRECT(152, 20, 910, 180)));
}

INSTANTIATE_TEST_SUITE_P(Scales, TabsScreenshot, ::testing::Values(1.f, 2.f));

} // namespace
