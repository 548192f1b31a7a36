// The corner resizer, bitmap, text, bubble, SVG, panel, frame-rate and about-box controls drawn by the
// NanoVG backend at draw scales 1 and 2, written as PNG files for review, with a few pixel checks.
#include <gtest/gtest.h>

#include <stb/stb_image_write.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "IGfx/Controls/IAboutBoxControl.h"
#include "IGfx/Controls/IBitmapControl.h"
#include "IGfx/Controls/IBubbleControl.h"
#include "IGfx/Controls/ICaptionControl.h"
#include "IGfx/Controls/IFPSDisplayControl.h"
#include "IGfx/Controls/IPanelControl.h"
#include "IGfx/Controls/ISVGControl.h"
#include "IGfx/Controls/ITextControl.h"
#include "IGfx/Controls/ITextToggleControl.h"
#include "IGfx/Controls/IURLControl.h"
#include "IGfx/Controls/PlaceHolder.h"
#include "IPlugin/IPluginParameter.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using plugkit::gfx::test::FakeDelegate;

namespace {

constexpr const char* kRing = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="40">
  <path d="M20 2 A18 18 0 1 1 19.99 2 Z M20 10 A10 10 0 1 0 20.01 10 Z" fill="#e0a020"/></svg>)svg";

// Five stacked 24 x 24 frames, each one colour: red, orange, yellow, green, blue.
const RGBA kFrameColours[5] = {
  {220, 40, 40, 255}, {230, 140, 30, 255}, {230, 220, 40, 255}, {50, 180, 70, 255}, {50, 90, 220, 255}};

std::vector<unsigned char> FramesPNG()
{
  const int w = 24, h = 24 * 5;
  std::vector<unsigned char> px(static_cast<size_t>(w * h * 4));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      const RGBA& c = kFrameColours[y / 24];
      const bool border = x < 2 || x >= w - 2 || y % 24 < 2 || y % 24 >= 22;
      unsigned char* p = &px[static_cast<size_t>((y * w + x) * 4)];
      p[0] = static_cast<unsigned char>(border ? 20 : c.r);
      p[1] = static_cast<unsigned char>(border ? 20 : c.g);
      p[2] = static_cast<unsigned char>(border ? 20 : c.b);
      p[3] = 255;
    }
  std::vector<unsigned char> png;
  stbi_write_png_to_func(
    [](void* ctx, void* data, int size) {
      auto* out = static_cast<std::vector<unsigned char>*>(ctx);
      out->insert(out->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    },
    &png, w, h, 4, px.data(), w * 4);
  return png;
}

// The offscreen backend with a clock the test moves.
class ClockedGfx : public OffscreenGfx
{
public:
  using OffscreenGfx::OffscreenGfx;
  double GetTimeMs() const override { return nowMs; }
  // Each layer started or ended switches the drawing target.
  void UpdateLayer() override
  {
    ++layerSwitches;
    OffscreenGfx::UpdateLayer();
  }
  double nowMs = 1000.;
  int layerSwitches = 0;
};

class WidgetGallery : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    delegate.GetParam(0)->InitEnum("mode", 1, {"LP", "HP", "BP"});
    delegate.GetParam(0)->Set(1.);
    delegate.GetParam(1)->InitDouble("cutoff", 440., 20., 20000., 1., "Hz");
    delegate.GetParam(1)->Set(440.);
    g = std::make_unique<ClockedGfx>(delegate, gl, 500, 300, GetParam());
    const std::string roboto = std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf";
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", roboto.c_str()));
  }
  void TearDown() override { g.reset(); }

  // n frames, 12 to 28 ms apart, so the frame-rate graph has something to show.
  void Run(int n)
  {
    for (int i = 0; i < n; ++i)
    {
      g->nowMs += 12. + 4. * ((i * 7) % 5);
      g->Frame();
    }
  }
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  std::string Name(const char* what) { return std::string(what) + "_x" + std::to_string(static_cast<int>(GetParam())); }

  OffscreenGL gl;
  FakeDelegate delegate{4};
  std::unique_ptr<ClockedGfx> g;
};

bool Near(const RGBA& p, const RGBA& want, int tol = 12)
{
  return std::abs(p.r - want.r) <= tol && std::abs(p.g - want.g) <= tol && std::abs(p.b - want.b) <= tol;
}

std::string Str(const RGBA& p)
{
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + "," + std::to_string(p.a) +
         ")";
}

} // namespace

TEST_P(WidgetGallery, EveryControl)
{
  const IColor panelColour = IColor::FromHSLA(0.6f, 0.25f, 0.22f, 1.f);
  g->AttachPanelBackground(IPattern(panelColour));
  const IText label(16.f, COLOR_WHITE, "Roboto-Regular", EAlign::Near, EVAlign::Middle);
  const IText body(14.f, COLOR_BLACK, "Roboto-Regular");

  g->AttachControl(new ITextControl(IRECT(10, 70, 150, 94), "Drive amount", label, IColor(255, 60, 70, 90)));
  g->AttachControl(new IURLControl(IRECT(10, 100, 150, 124), "vemlor.example", "https://vemlor.example/",
                                   IText(14.f, IColor(255, 140, 190, 255), "Roboto-Regular"), COLOR_TRANSPARENT,
                                   COLOR_WHITE, COLOR_BLUE));
  auto* toggle = new ITextToggleControl(IRECT(160, 70, 230, 94), 2, "OFF", "ON", body, COLOR_LIGHT_GRAY);
  g->AttachControl(toggle);
  toggle->SetValueFromDelegate(1.);
  g->AttachControl(new ICaptionControl(IRECT(160, 100, 260, 124), 0, body, COLOR_MID_GRAY, false));
  g->AttachControl(new ICaptionControl(IRECT(160, 130, 260, 154), 1, body, COLOR_MID_GRAY, true));
  g->AttachControl(new PlaceHolder(IRECT(270, 10, 490, 160)));

  g->AttachControl(new IPanelControl(
    IRECT(10, 170, 130, 260), IColor(255, 90, 100, 120), true, [&](IContainerBase* c, const IRECT& r) {
      c->AddChildControl(new ITextControl(r.GetPadded(-10.f), "Panel", label, COLOR_TRANSPARENT));
    }));
  const ISVG ring = g->LoadSVG("gallery_ring.svg", static_cast<const void*>(kRing), 0);
  ASSERT_TRUE(ring.IsValid());
  g->AttachControl(new ISVGControl(IRECT(140, 170, 190, 220), ring, true));
  g->AttachControl(new ISVGControl(IRECT(200, 170, 230, 200), ring, false));

  const std::vector<unsigned char> png = FramesPNG();
  const IBitmap frames = g->LoadBitmap("gallery_frames.png", png.data(), static_cast<int>(png.size()), 5, false);
  ASSERT_TRUE(frames.IsValid());
  float x = 140.f;
  for (double v : {0., 0.5, 1.})
  {
    auto* b = new IBitmapControl(x, 235.f, frames, -1);
    g->AttachControl(b);
    b->SetValue(v);
    x += 30.f;
  }

  auto* fps = new IFPSDisplayControl(IRECT(240, 170, 490, 230), IFPSDisplayControl::kFPS);
  g->AttachFPSDisplay(fps);
  g->AttachCornerResizer(EUIResizerMode::Scale, false, COLOR_TRANSLUCENT, COLOR_LIGHT_GRAY, COLOR_WHITE, 30.f);
  g->AttachBubbleControl(IText(14.f, COLOR_BLACK, "Roboto-Regular"));
  Run(110);

  // The bubble for the cutoff caption, faded in.
  IControl* caption = g->GetControl(5);
  g->ShowBubbleControl(caption, caption->GetRECT().R, caption->GetRECT().MH(), "440 Hz", EDirection::Horizontal,
                       IRECT(0, 0, 50, 30));
  Run(12);
  gl.WritePNG(Name("widgets_gallery"));

  // Frames 1, 3 and 5 of the strip at 0, 0.5 and 1.
  EXPECT_TRUE(Near(At(152, 247), kFrameColours[0])) << Str(At(152, 247));
  EXPECT_TRUE(Near(At(182, 247), kFrameColours[2])) << Str(At(182, 247));
  EXPECT_TRUE(Near(At(212, 247), kFrameColours[4])) << Str(At(212, 247));
  // The bubble's white body beside the caption, past the arrow.
  const IRECT bubble = static_cast<IBubbleControl*>(g->GetBubbleControl())->GetBubbleBounds();
  const RGBA inBubble = At(bubble.L + 22.f, bubble.T + 14.f);
  EXPECT_GT(inBubble.r, 220) << Str(inBubble);
  EXPECT_GT(inBubble.b, 220) << Str(inBubble);
  // The corner resizer covers the last 30 screen pixels: darker than the panel just inside its
  // diagonal, the panel itself just outside it.
  const float s = 30.f / GetParam();
  const RGBA panel = At(500 - s - 4.f, 300 - 4.f);
  const RGBA handle = At(500 - 3.f, 300 - 3.f);
  EXPECT_LT(handle.r + handle.g + handle.b, panel.r + panel.g + panel.b) << Str(handle) << " " << Str(panel);
}

TEST_P(WidgetGallery, AboutBoxOverTheEditor)
{
  g->AttachPanelBackground(IPattern(IColor::FromHSLA(0.6f, 0.25f, 0.22f, 1.f)));
  g->AttachControl(new PlaceHolder(IRECT(20, 20, 200, 140), "Editor"));
  const IText title(22.f, COLOR_BLACK, "Roboto-Regular");
  auto* box = new IAboutBoxControl(
    IRECT(60, 60, 440, 240), IPattern(IColor(240, 250, 250, 250)),
    [&](IContainerBase* c, const IRECT& r) {
      c->AddChildControl(new ITextControl(IRECT(r.L, r.T + 20, r.R, r.T + 60), "Vemlor", title, COLOR_TRANSPARENT));
      c->AddChildControl(new IURLControl(IRECT(r.L, r.T + 80, r.R, r.T + 104), "vemlor.example",
                                         "https://vemlor.example/", IText(14.f, COLOR_BLUE, "Roboto-Regular"),
                                         COLOR_TRANSPARENT, COLOR_BLACK, COLOR_VIOLET));
    },
    nullptr, 300);
  g->AttachControl(box);
  box->Hide(true);
  Run(2);
  box->Show();
  Run(8);
  gl.WritePNG(Name("widgets_about_fading"));
  // Over the dark background, away from the texts.
  const RGBA half = At(420, 230);
  Run(20);
  gl.WritePNG(Name("widgets_about"));
  const RGBA full = At(420, 230);
  EXPECT_GT(full.r, half.r) << "fading in: " << Str(half) << " then " << Str(full);
  EXPECT_GT(full.r, 230) << Str(full);
}

TEST_P(WidgetGallery, LayeredSVGIsDrawnIntoItsLayerOnlyWhenTheLayerIsMissingOrStale)
{
  const ISVG ring = g->LoadSVG("gallery_ring.svg", static_cast<const void*>(kRing), 0);
  ASSERT_TRUE(ring.IsValid());
  g->AttachPanelBackground(IPattern(COLOR_WHITE));
  IControl* svg = g->AttachControl(new ISVGControl(IRECT(10, 10, 50, 50), ring, true));
  struct Step
  {
    const char* name;
    std::function<void()> change;
    bool redrawn;
  };
  const Step steps[] = {
    {"first frame", [] {}, true},
    {"drawn again", [&] { svg->SetDirty(false); }, false},
    {"half transparent",
     [&] {
       svg->SetBlend(IBlend(EBlend::Default, 0.5f));
       svg->SetDirty(false);
     },
     false},
    {"moved", [&] { g->SetControlBounds(svg, IRECT(50, 10, 90, 50)); }, true},
  };
  for (const Step& st : steps)
  {
    st.change();
    g->layerSwitches = 0;
    ASSERT_TRUE(g->Frame()) << st.name;
    EXPECT_EQ(st.redrawn, g->layerSwitches > 0) << st.name;
    // The layer is composited every frame: the ring's colour at its top.
    const RGBA p = At(svg->GetRECT().MW(), svg->GetRECT().T + 4.f);
    EXPECT_GT(p.r, 200) << st.name << " " << Str(p);
    EXPECT_LT(p.b, 200) << st.name << " " << Str(p);
  }
  gl.WritePNG(Name("widgets_svg_layer"));
}

INSTANTIATE_TEST_SUITE_P(DrawScale, WidgetGallery, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });
