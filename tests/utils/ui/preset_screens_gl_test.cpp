// Screenshots of the preset strip (expanded, hovered, collapsed, locked, with a fitted path), the
// preset browser (unfolded with the current row, folded, scrolled) and the about box, at draw scales
// 1 and 2, in the editor's fonts and colours; pixel probes check what must be where.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "IGfx/Controls/IPanelControl.h"
#include "product/ui/about_box.h"
#include "product/ui/theme.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/utils/ui/fake_preset_library.h"
#include "tests/support/preset_browser_probe.h"
#include "utils/ui/PresetBrowserControl.h"
#include "utils/ui/PresetStripControl.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using namespace plugkit::gfx;
using plugkit::gfx::test::FakeDelegate;
using zarvo::ui::GlyphLabel;
using zarvo::ui::PresetBrowserControl;
using zarvo::ui::PresetStripControl;
using zarvo::ui::test::FakePresetLibrary;

namespace {

using zarvo::ui::PresetBrowserTestProbe;

using vemlor::ui::accentColor;
using vemlor::ui::colHighlightGray;
constexpr const char* kMono = vemlor::ui::kTextFont;
constexpr const char* kIcons = vemlor::ui::kIconFont;
// The editor's background.
const IColor kBackground(255, 60, 60, 60);

std::string utf8(char32_t cp)
{
  std::string s;
  s += static_cast<char>(0xF0 | (cp >> 18));
  s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  s += static_cast<char>(0x80 | (cp & 0x3F));
  return s;
}

GlyphLabel icon(char32_t cp) { return GlyphLabel::glyph(utf8(cp), kIcons); }

// The editor's first style, as the strip gets it: transparent background and frame.
IVStyle editorStyle()
{
  IVStyle style;
  style.labelText = style.valueText = IText(16.f, COLOR_WHITE, kMono, EAlign::Center, EVAlign::Bottom);
  style.colorSpec.SetColor(EVColor::BG, COLOR_TRANSPARENT);
  style.colorSpec.SetColor(EVColor::FR, COLOR_TRANSPARENT);
  style.colorSpec.SetColor(EVColor::PR, accentColor);
  style.colorSpec.SetColor(EVColor::HL, colHighlightGray);
  return style;
}

void configureStrip(PresetStripControl& strip, bool collapsed)
{
  strip.expandGlyph = icon(0xF013E);
  strip.collapseGlyph = icon(0xF013D);
  strip.prevGlyph = icon(0xF0141);
  strip.nextGlyph = icon(0xF0142);
  strip.undoGlyph = icon(0xF054C);
  strip.redoGlyph = icon(0xF044E);
  strip.saveGlyph = vemlor::ui::iconSave;
  strip.loadGlyph = vemlor::ui::iconLoad;
  strip.folderGlyph = icon(0xF0969);
  strip.scanGlyph = icon(0xF0B9D);
  strip.showNumbers = true;
  strip.showRedo = true;
  strip.collapsedToggleWidth = 55.f;
  strip.buttonWidth = 34.2f;
  strip.collapsed = collapsed;
}

void configureBrowser(PresetBrowserControl& browser)
{
  PresetBrowserControl::Appearance look = browser.appearance();
  look.panelColor = IColor(255, 45, 45, 45);
  look.borderColor = colHighlightGray;
  look.headerColor = IColor(255, 58, 58, 58);
  IText small = vemlor::ui::smallTxtLight;
  small.mAlign = EAlign::Center;
  look.headerText = small;
  look.itemText = small;
  look.hoverColor = colHighlightGray;
  look.currentColor = accentColor;
  look.currentTextColor = COLOR_WHITE;
  look.trackColor = IColor(255, 40, 40, 40);
  look.thumbColor = colHighlightGray;
  look.expandedGlyph = icon(0xF035D);
  look.collapsedGlyph = icon(0xF035F);
  look.currentMarker = icon(0xF09DF);
  look.showNumbers = true;
  browser.setAppearance(look);
}

bool Near(const RGBA& p, const IColor& want, int tol = 6)
{
  return std::abs(p.r - want.R) <= tol && std::abs(p.g - want.G) <= tol && std::abs(p.b - want.B) <= tol;
}

std::string Str(const RGBA& p)
{
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

class PresetScreens : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override { SKIP_OR_FAIL_WITHOUT_GL(gl); }
  void open(int w, int h)
  {
    g = std::make_unique<OffscreenGfx>(delegate, gl, w, h, GetParam());
    const std::string npm = VEMLOR_NPM_DIR;
    ASSERT_TRUE(
      g->LoadFont(kMono, (npm + "/@expo-google-fonts/roboto-mono/400Regular/RobotoMono_400Regular.ttf").c_str()));
    ASSERT_TRUE(g->LoadFont(kIcons, (npm + "/@mdi/font/fonts/materialdesignicons-webfont.ttf").c_str()));
    g->EnableMouseOver(true);
    g->AttachPanelBackground(IPattern(kBackground));
  }
  void TearDown() override { g.reset(); }
  void frame()
  {
    g->SetAllControlsDirty();
    g->Frame();
  }
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  std::string Name(const char* what) { return std::string(what) + "_x" + std::to_string(static_cast<int>(GetParam())); }
  PresetStripControl* strip(const IRECT& r, FakePresetLibrary& library, bool collapsed)
  {
    auto* s = new PresetStripControl(r, library, editorStyle());
    configureStrip(*s, collapsed);
    g->AttachControl(s, -1, "PRESET");
    return s;
  }

  OffscreenGL gl;
  FakeDelegate delegate{8};
  std::unique_ptr<OffscreenGfx> g;
};

TEST_P(PresetScreens, StripStates)
{
  open(940, 200);
  FakePresetLibrary factory({"a", "b", "c", "d", "e", "f", "BASS/DEEP SUB"}, {"Pads/Warm/Evening glow"});
  factory.current = 6;
  factory.edited = true;
  factory.undoable = true;
  FakePresetLibrary user = factory;
  user.current = 7;
  FakePresetLibrary locked = factory;
  locked.navLocked = locked.loadLocked = true;
  locked.undoable = false;

  strip(IRECT(77, 0, 696, 18), factory, false);
  auto* hovered = strip(IRECT(77, 30, 696, 48), factory, false);
  strip(IRECT(77, 60, 696, 78), factory, true);
  strip(IRECT(77, 90, 696, 108), locked, false);
  strip(IRECT(77, 120, 500, 138), user, false); // a narrow strip: the path is fitted
  const IRECT next = hovered->zoneRect(PresetStripControl::kNext);
  g->OnMouseOver(next.MW(), next.MH(), IMouseMod());
  frame();
  gl.WritePNG(Name("preset_strip_states"));

  EXPECT_TRUE(Near(At(20, 150), kBackground)) << Str(At(20, 150));
  EXPECT_TRUE(Near(At(next.L + 2, next.T + 2), colHighlightGray)) << Str(At(next.L + 2, next.T + 2));
  // The collapsed strip draws its toggle only: its name zone shows the editor's background.
  EXPECT_TRUE(Near(At(400, 69), kBackground)) << Str(At(400, 69));
}

TEST_P(PresetScreens, Browser)
{
  open(940, 200);
  FakePresetLibrary library({"BASS/DEEP SUB", "BASS/Reese", "BASS/Sub/Round", "BASS/Sub/Square", "LEAD/Saw",
                             "LEAD/Screamer", "PAD/Glass", "PAD/Strings", "FX/Riser", "FX/Sweep", "Init"},
                            {"mine/Evening", "mine/Night", "Loose"});
  library.current = 3;
  auto* s = strip(IRECT(77, 0, 696, 18), library, false);
  auto* browser = new PresetBrowserControl(library, editorStyle());
  configureBrowser(*browser);
  g->AttachControl(browser, 1071);
  browser->Hide(true);
  browser->connectStrip(*s);
  PresetBrowserTestProbe probe(*browser);
  s->onNameClicked();
  frame();
  gl.WritePNG(Name("preset_browser_current"));
  const auto geo = browser->geometry();
  // The current row (BASS/Sub/Square) is revealed in the middle of the list, in the accent colour.
  const float currentMid = geo.list.MH();
  EXPECT_TRUE(Near(At(geo.list.L + 4, currentMid), accentColor)) << Str(At(geo.list.L + 4, currentMid));
  EXPECT_TRUE(Near(At(900, 150), kBackground));

  // Scrolled to the end.
  g->OnMouseWheel(geo.list.MW(), geo.list.MH(), IMouseMod(), -100.f);
  frame();
  gl.WritePNG(Name("preset_browser_scrolled"));

  // Scrolled to the top and BASS folded.
  g->OnMouseWheel(geo.list.MW(), geo.list.MH(), IMouseMod(), 100.f);
  size_t bass = 0;
  while (bass < probe.rows.size() &&
         !(probe.rows[bass].header && probe.nodes[static_cast<size_t>(probe.rows[bass].node)].name == "BASS"))
    ++bass;
  ASSERT_LT(bass, probe.rows.size());
  const float bassRow = geo.list.T + probe.rows[bass].y + 5.f;
  IMouseInfo click;
  click.x = geo.list.MW();
  click.y = bassRow;
  click.ms.L = true;
  g->OnMouseDown({click});
  g->OnMouseUp({click});
  g->OnMouseOver(geo.list.MW(), geo.list.T + probe.rows[bass + 1].y + 5.f, IMouseMod());
  frame();
  gl.WritePNG(Name("preset_browser_folded"));
  EXPECT_TRUE(browser->opened());
  EXPECT_TRUE(probe.nodes[static_cast<size_t>(probe.rows[bass].node)].collapsed);
}

TEST_P(PresetScreens, NamesInOtherScriptsDrawFromAFallbackFont)
{
  open(940, 200);
  // The editor's own font has Latin only: these come from the fonts the system offers.
  FakePresetLibrary chinese({"Init", "温暖的夜晚"}, {"我的预设/明亮的钢琴"});
  chinese.current = 1;
  FakePresetLibrary userChinese = chinese;
  userChinese.current = 2;
  FakePresetLibrary cyrillic({"Тёплый вечер"});
  cyrillic.current = 0;
  FakePresetLibrary greek({"Ζεστό βράδυ"});
  greek.current = 0;
  strip(IRECT(77, 0, 696, 18), chinese, false);
  strip(IRECT(77, 30, 696, 48), userChinese, false);
  strip(IRECT(77, 60, 696, 78), cyrillic, false);
  strip(IRECT(77, 90, 696, 108), greek, false);
  // One large ideograph whose strokes cross at its centre: lit there only when its glyph is drawn.
  const IRECT probe(760, 110, 860, 190);
  g->AttachControl(new LambdaControl(probe, [](IGfx& gfx, const IRECT& r) {
    gfx.DrawText(IText(60.f, COLOR_WHITE, kMono, EAlign::Center, EVAlign::Middle), "田", r);
  }));
  frame();
  gl.WritePNG(Name("preset_strip_other_scripts"));

  int lit = 0;
  for (float y = probe.MH() - 8.f; y <= probe.MH() + 8.f; y += 1.f)
    lit += Near(At(probe.MW(), y), kBackground, 40) ? 0 : 1;
  EXPECT_GT(lit, 0) << "the ideograph's vertical stroke";
  IRECT bounds;
  const float one = g->MeasureText(IText(16.f, COLOR_WHITE, kMono), "田", bounds);
  const float two = g->MeasureText(IText(16.f, COLOR_WHITE, kMono), "田田", bounds);
  EXPECT_GT(one, 12.f) << "an ideograph is about an em wide";
  EXPECT_NEAR(two, 2.f * one, 1.f);
}

TEST_P(PresetScreens, AboutBox)
{
  open(940, 200);
  FakePresetLibrary library({"Init"});
  strip(IRECT(77, 0, 696, 18), library, false);
  const IText text(14.f, COLOR_WHITE, kMono, EAlign::Center, EVAlign::Middle);
  const vemlor::ui::BuildInfo build{"x86_64", "main", "abc1234", "2026-12-10"};
  IAboutBoxControl* box =
    vemlor::ui::AboutBox::make(g->GetBounds(), IPattern(IColor(245, 30, 30, 30)), text, accentColor, build);
  g->AttachControl(box, vemlor::ui::AboutBox::kTag);
  box->Hide(false);
  // Hovered, the maker's link takes the accent colour.
  const IRECT link = box->GetChild(0)->GetTargetRECT();
  g->OnMouseOver(link.MW(), link.MH(), IMouseMod());
  frame();
  gl.WritePNG(Name("about_box"));
  EXPECT_TRUE(Near(At(20, 20), IColor(255, 31, 31, 31), 8)) << Str(At(20, 20));
}

INSTANTIATE_TEST_SUITE_P(Scales, PresetScreens, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });

} // namespace
