// The message of a morph-field file that failed to load, drawn over the morph page by the NanoVG
// backend: a screenshot for review and a probe that its text is there.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "product/ui/tooltip_bubble_control.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/product/editor/morph_page_session.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using namespace plugkit::gfx;

namespace vemlor::ui::test {
namespace {

using ClockedGfx = ClockedOffscreenGfx;

TEST(MorphFileMessageGL, ARigThatIsNotOursIsToldOverThePad)
{
  OffscreenGL gl;
  SKIP_OR_FAIL_WITHOUT_GL(gl);
  ClockedGfx* gfx = nullptr;
  MorphPageSession session(
    [&](Vemlor& plugin, int w, int h) {
      auto g = std::make_unique<ClockedGfx>(plugin, gl, w, h, 1.f);
      gfx = g.get();
      return g;
    },
    620, true);
  ASSERT_NE(gfx, nullptr);
  IGfx& g = session.G();
  ASSERT_TRUE(g.LoadFont("Roboto-Regular", (std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf").c_str()));
  ASSERT_TRUE(g.LoadFont(kIconFont, (std::string(VEMLOR_NPM_DIR) + "/@mdi/font/fonts/" + kIconFont).c_str()));
  ASSERT_TRUE(g.LoadFont(
    kTextFont,
    (std::string(VEMLOR_NPM_DIR) + "/@expo-google-fonts/roboto-mono/400Regular/RobotoMono_400Regular.ttf").c_str()));
  g.AttachPanelBackground(IPattern(colDarkGray));
  auto* bubble = new TooltipBubbleControl(smallTxtWhite, colDarkGray, colLightGray, 5.f);
  g.AttachBubbleControl(bubble);
  session.buildMorphPage();
  for (int i = 0; i < session.plug->NParams(); ++i)
    session.plug->SendParameterValueFromDelegate(i, session.plug->GetParam(i)->GetNormalized(), true);
  g.SetAllControlsDirty();
  gfx->Frame();

  session.plug->editorServices().reportFileResult(plugkit::EFileResult::kNotOurs,
                                                  zarvo::IEditorServices::EFileContent::MorphField);
  // The fade-in from its start to its end, then one frame of the whole editor.
  gfx->Frame();
  gfx->nowMs += 250.;
  gfx->Frame();
  g.SetAllControlsDirty();
  gfx->Frame();
  ASSERT_EQ(bubble->GetState(), IBubbleControl::kShown);
  gl.WritePNG("editor_morph_file_message");

  // Light text on the bubble's dark fill somewhere inside it.
  const IRECT r = bubble->GetBubbleBounds();
  const int light = CountLightPixels(gl, r);
  EXPECT_GT(light, 50) << "no text in the bubble at " << r.L << " " << r.T << " " << r.R << " " << r.B;
}

} // namespace
} // namespace vemlor::ui::test
