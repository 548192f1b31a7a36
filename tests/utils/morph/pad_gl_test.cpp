// The morph pad drawn by the NanoVG backend at draw scales 1 and 2: the accent colour of active
// points and the marker probed as pixels, and screenshots of its states written for review.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/offscreen_gfx.h"
#include "product/ui/theme.h"
#include "product/ui/tooltip_bubble_control.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "utils/morph/morph_pad_control.h"
#include "tests/support/field_edit.h"
#include "tests/support/gl_required.h"
#include "tests/support/morph_pad_probe.h"

using namespace gfx_gl_test;
using namespace plugkit::gfx;
using plugkit::gfx::test::FakeDelegate;
using zarvo::morph::MorphEngine;
using zarvo::morph::MorphPadControl;
using zarvo::ui::GlyphLabel;

namespace {

using vemlor::ui::kIconFont;
const IColor kAccent = vemlor::ui::accentColor;
const IColor kLight = vemlor::ui::colLightGray;
constexpr IRECT kPad(16.f, 8.f, 924.f, 412.f);

std::string glyph(char32_t cp)
{
  std::string s;
  s += static_cast<char>(0xF0 | (cp >> 18));
  s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  s += static_cast<char>(0x80 | (cp & 0x3F));
  return s;
}

GlyphLabel icon(char32_t cp) { return GlyphLabel::glyph(glyph(cp), kIconFont); }

bool Near(const RGBA& p, const IColor& want, int tol = 10)
{
  return std::abs(p.r - want.R) <= tol && std::abs(p.g - want.G) <= tol && std::abs(p.b - want.B) <= tol;
}

std::string Str(const RGBA& p)
{
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

// The editor's clock, moved by the test.
class ClockedGfx : public OffscreenGfx
{
public:
  using OffscreenGfx::OffscreenGfx;
  double GetTimeMs() const override { return nowMs; }
  double nowMs = 1000.;
};

class PadGL : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    g = std::make_unique<ClockedGfx>(delegate, gl, 940, 420, GetParam());
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", (std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf").c_str()));
    ASSERT_TRUE(g->LoadFont(kIconFont, (std::string(VEMLOR_NPM_DIR) + "/@mdi/font/fonts/" + kIconFont).c_str()));
    ASSERT_TRUE(g->LoadFont(
      vemlor::ui::kTextFont,
      (std::string(VEMLOR_NPM_DIR) + "/@expo-google-fonts/roboto-mono/400Regular/RobotoMono_400Regular.ttf").c_str()));
    g->AttachPanelBackground(IPattern(IColor(255, 60, 60, 60)));
    g->EnableMouseOver(true);

    IVStyle style = DEFAULT_STYLE;
    style.colorSpec.SetColor(EVColor::BG, IColor(255, 45, 45, 45));
    style.colorSpec.SetColor(EVColor::FR, IColor(255, 220, 220, 220));
    style.colorSpec.SetColor(EVColor::HL, IColor(255, 100, 100, 100));
    style.valueText = IText(14.f, IColor(255, 230, 230, 230), "Roboto-Regular");
    pad = new MorphPadControl(kPad, {0, 1}, engine, style);
    // What the editor sets.
    MorphPadControl::Appearance look = pad->appearance();
    look.accentColor = vemlor::ui::accentColor;
    look.hasAccentColor = true;
    look.highlightColor = vemlor::ui::colHighlightGray;
    look.hasHighlightColor = true;
    look.lightColor = vemlor::ui::colLightGray;
    look.hasLightColor = true;
    look.darkColor = vemlor::ui::colDarkGray;
    look.hasDarkColor = true;
    look.highlightColor2 = vemlor::ui::colHighlightGray;
    look.hasHighlightColor2 = true;
    look.pointGlyph = glyph(0xF0795);
    look.pointGlyphFont = kIconFont;
    look.editOffLabel = icon(0xF035C);
    look.editOnLabel = icon(0xF0BAB);
    look.lockGlyphs = {glyph(0xF033E), glyph(0xF0FC6), glyph(0xF0E33), glyph(0xF0D38)};
    look.lockGlyphFont = kIconFont;
    look.rigRowLabel = icon(0xF0A01);
    look.blendRowLabel = icon(0xF0352);
    look.bakeLabel = icon(0xF0054);
    look.undoLabel = icon(0xF054C);
    look.redoLabel = icon(0xF044E);
    look.contrastLabel = icon(0xF0197);
    look.linesLabel = icon(0xF05A8);
    look.copyLabel = vemlor::ui::iconCopy;
    look.pasteLabel = vemlor::ui::iconPaste;
    look.saveLabel = vemlor::ui::iconSave;
    look.loadLabel = vemlor::ui::iconLoad;
    look.glyphRunGap = 2.f;
    pad->setAppearance(look);
    g->AttachControl(pad);
    pad->SetValue(0.62, 0);
    pad->SetValue(0.35, 1);

    // Five active points, the other eleven parked along the bottom clear of the left column, the
    // teleport point active.
    const float pos[][2] = {{0.18f, 0.7f}, {0.32f, 0.4f}, {0.5f, 0.75f}, {0.7f, 0.55f}, {0.85f, 0.25f}};
    for (size_t i = 1; i < 17; ++i)
    {
      engine.edit({.point = i, .active = i <= 5});
      engine.edit({.point = i,
                   .x = i <= 5 ? pos[i - 1][0] : 0.3 + 0.055 * static_cast<double>(i - 6),
                   .y = i <= 5 ? pos[i - 1][1] : 0.0});
    }
    engine.edit({.point = 0, .active = true});
    engine.edit({.point = 0, .x = 0.95, .y = 0.9});
  }
  void TearDown() override { g.reset(); }

  void Frame()
  {
    pad->SetDirty(false);
    g->Frame();
  }
  void Run(double ms)
  {
    for (double t = 0.; t < ms; t += 20.)
    {
      g->nowMs += 20.;
      g->Frame();
    }
  }
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  std::string Name(const char* what) { return std::string(what) + "_x" + std::to_string(static_cast<int>(GetParam())); }

  OffscreenGL gl;
  FakeDelegate delegate{8};
  MorphEngine engine;
  std::unique_ptr<ClockedGfx> g;
  MorphPadControl* pad = nullptr;
};

TEST_P(PadGL, PointsSelectionMarqueeAndHover)
{
  pad->applySelection((1u << 2) | (1u << 3));
  g->OnMouseOver(kPad.L + 20.f, kPad.T + 14.f, IMouseMod()); // over the edit button
  padProbe(*pad).drag = zarvo::morph::MorphPadTestProbe::Drag::marquee;
  padProbe(*pad).marqueeStart = {kPad.L + 600.f, kPad.T + 120.f};
  padProbe(*pad).marqueeEnd = {kPad.L + 820.f, kPad.T + 330.f};
  Frame();
  gl.WritePNG(Name("morph_pad_points"));

  // An active point's disc in the accent colour, beside its number.
  float cx = 0.f;
  float cy = 0.f;
  pad->modeCenter(engine.editState().points[1], cx, cy);
  EXPECT_TRUE(Near(At(cx + 11.f, cy - 11.f), kAccent)) << Str(At(cx + 11.f, cy - 11.f));
  // The marker's light fill at its centre.
  pad->markerCenter(cx, cy);
  EXPECT_TRUE(Near(At(cx, cy), kLight)) << Str(At(cx, cy));
  // The field between points shows the pad's background.
  EXPECT_TRUE(Near(At(kPad.L + 300.f, kPad.T + 330.f), IColor(255, 45, 45, 45), 30));
}

TEST_P(PadGL, SettingsModeWithBarHistogramAndLearnBox)
{
  engine.edit({.editing = true});
  pad->applySelection(1u << 3);
  padProbe(*pad).callbacks.onSaveBlend = [] {};
  padProbe(*pad).callbacks.onCopyRig = [] {};
  padProbe(*pad).callbacks.onImportRig = [] {};
  padProbe(*pad).callbacks.onExportRig = [] {};
  padProbe(*pad).callbacks.canUndo = [] { return true; };
  padProbe(*pad).callbacks.learnInfo = [] { return MorphPadControl::XYLearnInfo{0, 7, -1}; };
  const IRECT bake = pad->actionBtnRect(4);
  g->OnMouseOver(bake.MW(), bake.MH(), IMouseMod());
  Frame();
  gl.WritePNG(Name("morph_pad_settings"));
  // The edit button is filled with the accent colour in this mode.
  EXPECT_TRUE(Near(At(kPad.L + 9.f, kPad.T + 9.f), kAccent)) << Str(At(kPad.L + 9.f, kPad.T + 9.f));
}

// The point-size, shape-contrast and cutoff-contrast sliders along the bottom, with the inactive
// points where a new field keeps them (the right-hand side).
TEST_P(PadGL, FieldSlidersAlongTheBottomInTheSettingsMode)
{
  for (size_t i = 6; i < 17; ++i)
    engine.edit({.point = i,
                 .x = 0.82 + 0.062 * static_cast<double>((i - 6) / 4),
                 .y = 0.74 - 0.14 * static_cast<double>((i - 6) % 4)});
  engine.edit({.editing = true});
  engine.edit({.pointScale = 1.4});
  engine.edit({.shapeContrast = 0.5});
  engine.edit({.cutoffContrast = 0.25});
  pad->OnResize();
  const IRECT shape = pad->fieldSliderRect(1);
  const IRECT cutoff = pad->fieldSliderRect(2);
  g->OnMouseOver(shape.L + 0.75f * shape.W(), shape.MH(), IMouseMod());
  Frame();
  gl.WritePNG(Name("morph_pad_field_sliders"));
  // The hovered slider fills up to its value in the accent colour, the others in the hover grey; past
  // the value each shows its dark track.
  EXPECT_TRUE(Near(At(shape.L + 4.f, shape.T + 3.f), kAccent)) << Str(At(shape.L + 4.f, shape.T + 3.f));
  EXPECT_TRUE(Near(At(shape.R - 4.f, shape.T + 3.f), vemlor::ui::colDarkGray)) << Str(At(shape.R - 4.f, shape.T + 3.f));
  EXPECT_FALSE(Near(At(cutoff.L + 4.f, cutoff.T + 3.f), kAccent)) << Str(At(cutoff.L + 4.f, cutoff.T + 3.f));
  EXPECT_TRUE(Near(At(cutoff.R - 4.f, cutoff.T + 3.f), vemlor::ui::colDarkGray))
    << Str(At(cutoff.R - 4.f, cutoff.T + 3.f));
}

TEST_P(PadGL, PointScaleTwoAndBothLocks)
{
  engine.edit({.pointScale = 2.0});
  engine.edit({.moving = true});
  engine.edit({.padOption = true});
  pad->OnResize();
  pad->relaxAllPoints(0);
  padProbe(*pad).pulseTarget = 3;
  padProbe(*pad).pulseAmount = 0.6f;
  Frame();
  gl.WritePNG(Name("morph_pad_scale2_locks"));
  float cx = 0.f;
  float cy = 0.f;
  pad->modeCenter(engine.editState().points[4], cx, cy);
  EXPECT_TRUE(Near(At(cx + 24.f, cy - 24.f), kAccent)) << Str(At(cx + 24.f, cy - 24.f));
}

TEST_P(PadGL, HoverHelpInTheEditorsBubble)
{
  engine.edit({.editing = true});
  pad->applySelection((1u << 2) | (1u << 3));
  auto* bubble = new vemlor::ui::TooltipBubbleControl();
  g->AttachBubbleControl(bubble);
  const IRECT copy = pad->actionBtnRect(0);
  g->OnMouseOver(copy.MW(), copy.MH(), IMouseMod());
  ASSERT_STRNE("", pad->hoveredTooltip());
  // What the editor's idle routine does with the hovered control.
  bubble->showTooltip(pad, pad->hoveredTooltipRect(), pad->hoveredTooltip());
  pad->SetDirty(false);
  Run(300);
  gl.WritePNG(Name("morph_pad_hover_help"));
  EXPECT_EQ(copy, pad->hoveredTooltipRect());
}

// The field (background, grid, overlay lines, level labels) is drawn into a layer once and reused:
// redrawn when the overlay rebuilds or the field's look or rectangle changes, not on other frames,
// and a reused frame shows the same pixels as the frame that drew it.
TEST_P(PadGL, FieldLayerIsRedrawnOnlyWhenTheFieldChanges)
{
  engine.edit({.editing = true});
  Frame();
  const std::vector<unsigned char> drawn = gl.ReadWindow();
  const uint64_t rebuilds = padProbe(*pad).overlay.rebuildCount();
  const uint64_t draws = pad->fieldLayerDraws();
  ASSERT_GE(draws, 1u);
  Frame();
  EXPECT_EQ(draws, pad->fieldLayerDraws());
  EXPECT_TRUE(gl.ReadWindow() == drawn) << "a reused field differs from the one drawn";

  struct Case
  {
    const char* what;
    std::function<void()> change;
    bool redraws;
  };
  const Case cases[] = {
    {"plain frame", [] {}, false},
    {"morph position", [this] { pad->SetValue(0.2, 0); }, false},
    {"selection", [this] { pad->applySelection(1u << 4); }, false},
    {"hover", [this] { g->OnMouseOver(kPad.L + 400.f, kPad.T + 200.f, IMouseMod()); }, false},
    {"point moved", [this] { vemlor_test::editPoint(engine, 2, [&](auto& point) { point.x = 0.4; }); }, true},
    {"point deactivated", [this] { engine.edit({.point = 5, .active = false}); }, true},
    {"line brightness", [this] { padProbe(*pad).overlay.lineBrightness = 0.8f; }, true},
    {"grid step", [this] { padProbe(*pad).overlay.gridStep = 0.05f; }, true},
    {"iso levels", [this] { padProbe(*pad).overlay.setIsoLevels(3); }, true},
    {"resized, same aspect", [this] { pad->SetTargetAndDrawRECTs(IRECT(16.f, 8.f, 470.f, 210.f)); }, true},
    {"resized back", [this] { pad->SetTargetAndDrawRECTs(kPad); }, true},
    {"background colour", [this] { pad->SetColor(EVColor::BG, IColor(255, 30, 30, 30)); }, true},
    {"plain frame after all", [] {}, false},
  };
  for (const Case& c : cases)
  {
    const uint64_t before = pad->fieldLayerDraws();
    c.change();
    Frame();
    EXPECT_EQ(before + (c.redraws ? 1u : 0u), pad->fieldLayerDraws()) << c.what;
  }
  // An aspect-keeping resize redraws the layer without rebuilding the overlay's geometry.
  EXPECT_EQ(rebuilds + 3u, padProbe(*pad).overlay.rebuildCount());
  gl.WritePNG(Name("morph_pad_field_layer"));
}

// A point dragged with all 17 points active: every step while the button is held rebuilds a coarse
// overlay; the release draws the full one, the same pixels as a rebuild from scratch of the same
// field, for the default weighting and for the natural neighbour.
TEST_P(PadGL, DragShowsACoarseOverlayAndTheReleaseTheFullOne)
{
  for (size_t i = 1; i < 17; ++i)
  {
    engine.edit({.point = i, .active = true});
    engine.edit({.point = i,
                 .x = 0.2 + 0.6 * static_cast<double>((i - 1) % 4) / 3.0,
                 .y = 0.2 + 0.6 * static_cast<double>((i - 1) / 4) / 3.0});
  }
  for (const uint32_t model : {0u, 4u})
  {
    engine.edit({.model = model});
    Frame();
    EXPECT_FALSE(padProbe(*pad).overlay.coarse());
    float x = -1.f, y = -1.f;
    for (float py = kPad.T; py < kPad.B && x < 0.f; py += 1.f)
      for (float px = kPad.L; px < kPad.R; px += 1.f)
        if (pad->pointAt(px, py) == 6)
        {
          x = px;
          y = py;
          break;
        }
    ASSERT_GE(x, 0.f);
    const IMouseMod mod;
    pad->OnMouseDown(x, y, mod);
    Frame();
    const uint64_t rebuilds = padProbe(*pad).overlay.rebuildCount();
    for (int step = 0; step < 8; ++step)
    {
      x += 6.f;
      y += 3.f;
      pad->OnMouseDrag(x, y, 6.f, 3.f, mod);
      g->Frame();
      EXPECT_TRUE(padProbe(*pad).overlay.coarse()) << "model " << model << " step " << step;
    }
    EXPECT_GE(padProbe(*pad).overlay.rebuildCount(), rebuilds + 6u) << "model " << model;
    gl.WritePNG(Name(("morph_pad_drag_held_model" + std::to_string(model)).c_str()));
    pad->OnMouseUp(x, y, mod);
    g->Frame();
    EXPECT_FALSE(padProbe(*pad).overlay.coarse());
    gl.WritePNG(Name(("morph_pad_drag_released_model" + std::to_string(model)).c_str()));
    const std::vector<unsigned char> released = gl.ReadWindow();

    padProbe(*pad).overlay.signature = std::numeric_limits<double>::quiet_NaN();
    Frame();
    EXPECT_TRUE(gl.ReadWindow() == released) << "model " << model;
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, PadGL, ::testing::Values(1.f, 2.f));

} // namespace
