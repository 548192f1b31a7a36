// A preset that could not be saved, told in the bubble under the preset strip of the whole editor,
// drawn by the NanoVG backend with the bundle's fonts: a screenshot for review and a probe that the
// message is drawn where it belongs.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "IPlugin/IPluginPaths.h"
#include "product/Vemlor.h"
#include "product/editor/layout.h"
#include "product/ui/tooltip_bubble_control.h"
#include "tests/support/offscreen_gfx.h"

using namespace gfx_gl_test;
using namespace plugkit::gfx;

namespace {

using ClockedGfx = ClockedOffscreenGfx;

TEST(FileFailureMessageGL, APresetThatCouldNotBeSavedIsToldUnderTheStrip)
{
  OffscreenGL gl;
  ASSERT_TRUE(gl.Ok()) << "no surfaceless EGL context";
  plugkit::OverrideBundleRoot(VEMLOR_BUNDLE_PATH);
  Vemlor* plug = new Vemlor(plugkit::InstanceInfo{});
  ASSERT_EQ(plug->initialize(nullptr), Steinberg::kResultOk);
  plug->presetManager()->navigateTo(0);
  plug->OnIdle();
  ClockedGfx* gfx = nullptr;
  plug->SetMakeGraphicsFunc([&] {
    auto g = std::make_unique<ClockedGfx>(*plug, gl, vemlor::ui::kEditorWidth, plug->currentUIHeight(), 1.f);
    gfx = g.get();
    return g;
  });
  plug->OpenWindow(nullptr);
  ASSERT_NE(gfx, nullptr);
  ASSERT_EQ(plug->GetUI(), gfx);
  // The offscreen backend has no platform view to start the layout: it is run here.
  vemlor::ui::layoutEditor(plug->editorModel(), *gfx);
  gfx->ForAllControlsFunc([plug](IControl* c) {
    if (c->GetParamIdx() >= 0)
      c->SetValueFromDelegate(plug->GetParam(c->GetParamIdx())->GetNormalized());
  });
  gfx->SetAllControlsDirty();
  gfx->Frame();

  plug->editorServices().reportFileResult(plugkit::EFileResult::kWriteFailed,
                                          zarvo::IEditorServices::EFileContent::Preset);
  // The fade-in from its start to its end, then one frame of the whole editor.
  gfx->Frame();
  gfx->nowMs += 250.;
  gfx->Frame();
  gfx->SetAllControlsDirty();
  gfx->Frame();
  auto* bubble = dynamic_cast<vemlor::ui::TooltipBubbleControl*>(gfx->GetBubbleControl(0));
  ASSERT_NE(bubble, nullptr);
  ASSERT_EQ(bubble->GetState(), IBubbleControl::kShown);
  gl.WritePNG("editor_preset_not_saved");

  // Under the strip, inside the editor, with light text on its dark fill.
  const IRECT strip = gfx->GetControlWithTag(vemlor::ui::kTagPresetStrip)->GetRECT();
  const IRECT r = bubble->GetBubbleBounds();
  EXPECT_GE(r.T, strip.B);
  EXPECT_TRUE(IRECT(0.f, 0.f, gfx->Width(), gfx->Height()).Contains(r));
  const int light = CountLightPixels(gl, r);
  EXPECT_GT(light, 50) << "no text in the bubble at " << r.L << " " << r.T << " " << r.R << " " << r.B;

  plug->CloseWindow();
  plug->terminate();
  plug->release();
  plugkit::OverrideBundleRoot(nullptr);
}

} // namespace
