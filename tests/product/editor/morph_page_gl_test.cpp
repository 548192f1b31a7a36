// The morph page under the band and the preset browser opened from the strip, as a real instance
// builds them, drawn by the NanoVG backend at draw scales 1 and 2: screenshots for review and pixel
// probes of what must be where.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/offscreen_gfx.h"
#include "tests/product/editor/morph_page_session.h"
#include "tests/support/gl_required.h"
#include "tests/support/preset_browser_probe.h"
#include "tests/support/morph_pad_probe.h"

using namespace gfx_gl_test;
using namespace plugkit::gfx;

namespace vemlor::ui::test {
namespace {

using zarvo::ui::PresetBrowserTestProbe;

bool Near(const RGBA& p, const IColor& want, int tol = 8)
{
  return std::abs(p.r - want.R) <= tol && std::abs(p.g - want.G) <= tol && std::abs(p.b - want.B) <= tol;
}

std::string Str(const RGBA& p)
{
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

class MorphPageGL : public ::testing::TestWithParam<float>
{
protected:
  void open(int height, bool morphOn)
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    const float scale = GetParam();
    session = std::make_unique<MorphPageSession>(
      [this, scale](Vemlor& plugin, int w, int h) { return std::make_unique<OffscreenGfx>(plugin, gl, w, h, scale); },
      height, morphOn);
    IGfx& g = session->G();
    ASSERT_TRUE(g.LoadFont("Roboto-Regular", (std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf").c_str()));
    ASSERT_TRUE(g.LoadFont(kIconFont, (std::string(VEMLOR_NPM_DIR) + "/@mdi/font/fonts/" + kIconFont).c_str()));
    ASSERT_TRUE(g.LoadFont(
      kTextFont,
      (std::string(VEMLOR_NPM_DIR) + "/@expo-google-fonts/roboto-mono/400Regular/RobotoMono_400Regular.ttf").c_str()));
    g.AttachPanelBackground(IPattern(colDarkGray));
    g.EnableMouseOver(true);
    strip = session->attachStrip(false);
    session->buildMorphPage();
    browser = session->buildBrowser();
    ASSERT_NE(browser, nullptr);
    // The values an opening editor shows.
    for (int i = 0; i < session->plug->NParams(); ++i)
      session->plug->SendParameterValueFromDelegate(i, session->plug->GetParam(i)->GetNormalized(), true);
  }

  void Frame()
  {
    session->G().SetAllControlsDirty();
    static_cast<OffscreenGfx&>(session->G()).Frame();
  }
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  std::string Name(const char* what) { return std::string(what) + "_x" + std::to_string(static_cast<int>(GetParam())); }

  OffscreenGL gl;
  std::unique_ptr<MorphPageSession> session;
  zarvo::ui::PresetStripControl* strip = nullptr;
  zarvo::ui::PresetBrowserControl* browser = nullptr;
};

TEST_P(MorphPageGL, MorphPageUnderTheBand)
{
  open(620, true);
  if (IsSkipped() || HasFatalFailure())
    return;
  zarvo::morph::MorphPadControl* pad = session->pad();
  ASSERT_NE(pad, nullptr);
  Frame();
  gl.WritePNG(Name("editor_morph_page"));

  // The pad's own background inside it, the editor's background in the margin left of it.
  EXPECT_TRUE(Near(At(470.f, 596.f), IColor(255, 45, 45, 45), 20)) << Str(At(470.f, 596.f));
  EXPECT_TRUE(Near(At(6.f, 500.f), colDarkGray)) << Str(At(6.f, 500.f));
  EXPECT_TRUE(Near(At(470.f, 612.f), colDarkGray)) << Str(At(470.f, 612.f));
  // The morph position's marker in the light grey.
  float cx = 0.f;
  float cy = 0.f;
  pad->markerCenter(cx, cy);
  EXPECT_TRUE(Near(At(cx, cy), colLightGray)) << Str(At(cx, cy));
}

TEST_P(MorphPageGL, BrowserOpenOverTheTallEditor)
{
  open(620, true);
  if (IsSkipped() || HasFatalFailure())
    return;
  strip->onNameClicked();
  ASSERT_TRUE(browser->opened());
  Frame();
  gl.WritePNG(Name("editor_morph_browser_open"));
  const zarvo::ui::PresetBrowserControl::Geometry geo = browser->geometry();
  // The panel hangs under the strip's name and reaches into the morph page.
  EXPECT_EQ(geo.panel.L, strip->nameZoneRect().L);
  EXPECT_EQ(geo.panel.T, strip->nameZoneRect().B);
  EXPECT_GT(geo.panel.B, 300.f);
  EXPECT_TRUE(Near(At(geo.panel.R - 2.f, geo.panel.MH()), IColor(255, 45, 45, 45), 12))
    << Str(At(geo.panel.R - 2.f, geo.panel.MH()));
}

TEST_P(MorphPageGL, BrowserOpenOverTheShortEditor)
{
  open(200, false);
  if (IsSkipped() || HasFatalFailure())
    return;
  EXPECT_EQ(session->pad(), nullptr);
  strip->onNameClicked();
  ASSERT_TRUE(browser->opened());
  Frame();
  gl.WritePNG(Name("editor_morph_browser_short"));
  const zarvo::ui::PresetBrowserControl::Geometry geo = browser->geometry();
  EXPECT_LE(geo.panel.B, 200.f);
  // The current preset's row, revealed in the middle of the list, in the accent colour.
  const int current = session->plug->presetLibrary()->currentIndex();
  ASSERT_GE(current, 0);
  float rowMiddle = -1.f;
  const PresetBrowserTestProbe probe(*browser);
  for (const auto& row : probe.rows)
    if (!row.header && probe.entries[static_cast<size_t>(row.entry)].index == current)
      rowMiddle = geo.list.T - probe.scrollY + row.y + row.height / 2.f;
  ASSERT_GT(rowMiddle, geo.list.T);
  ASSERT_LT(rowMiddle, geo.list.B);
  EXPECT_TRUE(Near(At(geo.list.L + 6.f, rowMiddle), accentColor)) << Str(At(geo.list.L + 6.f, rowMiddle));
}

TEST_P(MorphPageGL, MorphPageInSettingsModeWithItsActionGlyphs)
{
  open(620, true);
  if (IsSkipped() || HasFatalFailure())
    return;
  zarvo::morph::MorphPadControl* pad = session->pad();
  ASSERT_NE(pad, nullptr);
  session->morph().engine().edit({.editing = true});
  pad->callbacks().onSelectionChanged(1u << 2);
  pad->callbacks().onCopyPointSound(2);
  padProbe(*pad).hasCopiedSound = true;
  const IRECT bake = pad->actionBtnRect(4);
  session->G().OnMouseOver(bake.MW(), bake.MH(), IMouseMod());
  Frame();
  gl.WritePNG(Name("editor_morph_page_settings"));
  // The edit button in the accent colour while the settings are shown.
  const IRECT edit = pad->editButtonRect();
  EXPECT_TRUE(Near(At(edit.L + 2.f, edit.T + 2.f), accentColor)) << Str(At(edit.L + 2.f, edit.T + 2.f));
}

INSTANTIATE_TEST_SUITE_P(Scales, MorphPageGL, ::testing::Values(1.f, 2.f),
                         [](const ::testing::TestParamInfo<float>& info) {
                           return "x" + std::to_string(static_cast<int>(info.param));
                         });

} // namespace
} // namespace vemlor::ui::test
