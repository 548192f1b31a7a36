// What two open editors share, and what a hundred opened and closed ones leave behind.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "IGfx/ILayer.h"
#include "IGfx/ISVG.h"
#include "IGfx/Platforms/FontconfigFont.h"
#include "IGfx/ResourceCaches.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using plugkit::gfx::test::FakeDelegate;

namespace {
constexpr const char* kDisc = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20">
  <circle cx="10" cy="10" r="8" fill="#00a0ff" stroke="#000" stroke-width="1"/></svg>)svg";
std::string Roboto() { return std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf"; }
} // namespace

TEST(GLCaches, TwoContextsShareOneParsedSVGAndOneCopyOfEachFont)
{
  OffscreenGL gl;
  SKIP_OR_FAIL_WITHOUT_GL(gl);
  FakeDelegate d1(0), d2(0);
  OffscreenGfx::sPlatformFontReads = 0;
  {
    OffscreenGfx a(d1, gl, 50, 50, 1.f);
    OffscreenGfx b(d2, gl, 50, 50, 1.f);
    const ISVG sa = a.LoadSVG("disc.svg", static_cast<const void*>(kDisc), 0);
    const ISVG sb = b.LoadSVG("disc.svg", static_cast<const void*>(kDisc), 0);
    EXPECT_TRUE(sa.IsValid());
    EXPECT_EQ(sa.GetImage(), sb.GetImage());
    EXPECT_EQ(StaticStorage<SVGHolder>::Accessor(SharedSVGCache()).Size(), 1);

    const int readsBefore = FontconfigFont::FileReads();
    EXPECT_TRUE(a.LoadFont("Roboto-Regular", Roboto().c_str()));
    EXPECT_TRUE(b.LoadFont("Roboto-Regular", Roboto().c_str()));
    // Both editors find the font, but its file is read once and its bytes held once in the process.
    EXPECT_EQ(OffscreenGfx::sPlatformFontReads, 2);
    EXPECT_EQ(FontconfigFont::FileReads() - readsBefore, 1);
    EXPECT_EQ(StaticStorage<IFontData>::Accessor(IGfxNanoVG::FontCache()).Size(), 1);
    EXPECT_FALSE(a.LoadFont("Broken", "/no/such/font.ttf"));

    // A document that does not parse caches nothing and is tried again.
    EXPECT_FALSE(a.LoadSVG("bad.svg", static_cast<const void*>("<svg"), 0).IsValid());
    EXPECT_TRUE(a.LoadSVG("bad.svg", static_cast<const void*>(kDisc), 0).IsValid());
    EXPECT_FALSE(a.LoadSVG("missing-file.svg").IsValid());
  }
  EXPECT_EQ(StaticStorage<SVGHolder>::Accessor(SharedSVGCache()).Size(), 0);
  EXPECT_EQ(StaticStorage<IFontData>::Accessor(IGfxNanoVG::FontCache()).Size(), 0);
}

TEST(GLCaches, AHundredEditorsOpenedAndClosedLeaveNothing)
{
  OffscreenGL gl;
  SKIP_OR_FAIL_WITHOUT_GL(gl);
  for (int i = 0; i < 100; ++i)
  {
    FakeDelegate d(0);
    OffscreenGfx g(d, gl, 80, 60, i % 2 ? 2.f : 1.f);
    ASSERT_TRUE(g.LoadFont("Roboto-Regular", Roboto().c_str()));
    const ISVG svg = g.LoadSVG("disc.svg", static_cast<const void*>(kDisc), 0);
    auto* kept = new ILayerPtr;
    g.AttachControl(new LambdaControl(IRECT(0, 0, 80, 60), [&svg, kept](IGfx& gfx, const IRECT& r) {
      gfx.FillRect(COLOR_WHITE, r);
      gfx.StartLayer(nullptr, IRECT(5, 5, 45, 45));
      gfx.DrawSVG(svg, IRECT(5, 5, 45, 45));
      *kept = gfx.EndLayer();
      IShadow shadow;
      gfx.ApplyLayerDropShadow(*kept, shadow);
      gfx.DrawLayer(*kept);
      gfx.DrawText(IText(12.f, COLOR_BLACK, "Roboto-Regular"), "cycle", r);
    }));
    ASSERT_TRUE(g.Frame());
    if (i == 99)
      gl.WritePNG("hundredth_cycle");
    gl.MakeCurrent();
    delete kept; // a control's layer goes before its context
  }
  EXPECT_EQ(StaticStorage<SVGHolder>::Accessor(SharedSVGCache()).Size(), 0);
  EXPECT_EQ(StaticStorage<IFontData>::Accessor(IGfxNanoVG::FontCache()).Size(), 0);
}
