// The user tab in a 940 x 200 editor as the product places it, drawn by the NanoVG backend at draw
// scales 1 and 2: normal mode, edit mode with a hovered cell, a drag with its drop indicator and the
// open picker. The PNGs are for review; a few pixel checks guard the furniture.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "IGfx/Controls/IPopupMenuControl.h"
#include "IGfx/Controls/ITextControl.h"
#include "IGfx/Controls/IVKnobControl.h"
#include "IGfx/Controls/IVSliderControl.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/utils/user_tab/user_tab_fixture.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/gfx_harness/input_driver.h"
#include "utils/user_tab/user_tab_panel.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using plugkit::gfx::test::FakeDelegate;
using plugkit::gfx::test::InputDriver;
using zarvo::ui::GlyphLabel;
using zarvo::ui::UserTabPanel;

namespace {

constexpr const char* kIconFont = "materialdesignicons-webfont.ttf";

std::string utf8(char32_t cp)
{
  std::string s;
  s += static_cast<char>(0xF0 | (cp >> 18));
  s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  s += static_cast<char>(0x80 | (cp & 0x3F));
  return s;
}

GlyphLabel icon(char32_t cp) { return GlyphLabel::glyph(utf8(cp), kIconFont); }

// The registry's shape, filled with stock knobs, sliders and captions.
using Registry = zarvo::ui::test::FakeRegistry;

Registry makeRegistry(const IVStyle& style)
{
  Registry r;
  const auto knob = [style](int param, const char* label) {
    return [=](const IRECT& rect) -> IControl* { return new IVKnobControl(rect, param, label, style); };
  };
  const auto slider = [style](int param, const char* label) {
    return [=](const IRECT& rect) -> IControl* {
      IVStyle s = style;
      s.showLabel = false;
      auto* c = new IVSliderControl(rect, param, label, s, true, EDirection::Horizontal);
      return c;
    };
  };
  const auto caption = [](const char* text) {
    return [=](const IRECT& rect) -> IControl* {
      return new ITextControl(rect, text, IText(16.f, COLOR_LIGHT_GRAY, "Roboto-Regular"), COLOR_TRANSPARENT);
    };
  };
  Registry::Node& main = *r.group("main filter");
  r.add(main, 11, 0.33f, "Main hz", knob(0, "Main hz"));
  r.add(main, 13, 0.33f, "Main res", knob(1, "Main res"));
  r.add(main, 14, 0.33f, "drive", knob(2, "drive"));
  r.add(main, 12, 0.125f, "detune", slider(3, "detune"));
  Registry::Node& pre = *r.group("pre-filters");
  r.add(pre, 9, 0.25f, "band mode", slider(4, "band mode"));
  r.add(pre, 0, 0.33f, "A hz", knob(5, "A hz"));
  r.add(pre, 2, 0.33f, "A res", knob(6, "A res"));
  r.add(pre, 4, 0.33f, "B hz", knob(7, "B hz"));
  r.add(pre, 6, 0.33f, "B res", knob(0, "B res"));
  Registry::Node& damping = *r.group("damping");
  r.add(damping, 26, 0.125f, "damp thresh", slider(1, "damp thresh"));
  r.add(damping, 25, 0.125f, "damp release", slider(2, "damp release"));
  Registry::Node& labels = *r.group("labels");
  r.add(labels, 10108, 1.f / 9.f, "DAMPING", caption("DAMPING"));
  Registry::Node& brk = *r.group("break");
  r.add(brk, 20, 0.33f, "break", knob(3, "break"));
  r.add(brk, 21, 0.33f, "b char", knob(4, "b char"));
  r.add(r.root, 29, 0.33f, "mix", knob(5, "mix"));
  return r;
}

// The offscreen backend with a clock the test moves (the picker opens with an animation).
class ClockedGfx : public OffscreenGfx
{
public:
  using OffscreenGfx::OffscreenGfx;
  double GetTimeMs() const override { return nowMs; }
  double nowMs = 1000.;
};

class UserTabScreenshot : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    g = std::make_unique<ClockedGfx>(delegate, gl, 940, 200, GetParam());
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", (std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf").c_str()));
    ASSERT_TRUE(g->LoadFont(kIconFont, (std::string(VEMLOR_NPM_DIR) + "/@mdi/font/fonts/" + kIconFont).c_str()));
    g->EnableMouseOver(true);
    g->AttachPanelBackground(IPattern(IColor(255, 38, 38, 44)));
    g->AttachPopupMenuControl(IText(14.f, COLOR_BLACK, "Roboto-Regular"));
    input = std::make_unique<InputDriver>(*g);
  }
  void TearDown() override
  {
    input.reset();
    g.reset();
  }

  // The panel as the editor builds it, over the content area.
  UserTabPanel* Build(bool unlocked)
  {
    IVStyle style;
    style.labelText = IText(13.f, COLOR_LIGHT_GRAY, "Roboto-Regular", EAlign::Center, EVAlign::Top);
    style.valueText = IText(12.f, COLOR_LIGHT_GRAY, "Roboto-Regular", EAlign::Center, EVAlign::Bottom);
    style.colorSpec.SetColor(EVColor::FR, COLOR_TRANSPARENT);
    style.colorSpec.SetColor(EVColor::X1, IColor(255, 95, 55, 200));
    style.drawShadows = false;
    auto* p =
      new UserTabPanel(IRECT(152, 20, 910, 180), makeRegistry(style),
                       {{0, 2}, {4, 6}, {9, -1, 10108, 26, 25}, {-8}, {11}, {-9}, {13, 14}, {20, 21}, {-9}, {29}, {-9}},
                       unlocked, style, IColor(255, 95, 55, 200), {}, "Vemlor", "1.3.0", "zarvo", nullptr, nullptr);
    UserTabPanel::Appearance look = p->appearance();
    look.plusGlyph = icon(0xF0416);
    look.removeGlyph = icon(0xF0157);
    look.widthGlyph = icon(0xF0E5E);
    look.moveGlyph = icon(0xF01BE);
    look.lockedGlyph = icon(0xF090C);
    look.unlockedGlyph = icon(0xF0135);
    look.clearGlyph = icon(0xF062A);
    look.undoGlyph = icon(0xF054C);
    // The editor hands in save and load glyphs of its own.
    look.saveGlyph = icon(0xF0193);
    look.loadGlyph = icon(0xF0770);
    look.dragHint = "hold shift to move whole column";
    look.highlightColor = IColor(255, 200, 200, 200);
    look.hasHighlight = true;
    look.addColumnWidth = 50.f;
    look.toolbarButtonSize = 18.f;
    look.showClipboardButtons = false;
    look.topBand = 20.f;
    look.bottomBand = 18.f;
    p->setAppearance(look);
    g->AttachControl(p, 1068, "TAB_USER");
    return p;
  }

  void Frames(int n = 3, double stepMs = 20.)
  {
    for (int i = 0; i < n; ++i)
    {
      g->nowMs += stepMs;
      g->SetAllControlsDirty();
      g->Frame();
    }
  }
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  std::string Name(const char* what)
  {
    return std::string("user_tab_") + what + "_x" + std::to_string(static_cast<int>(GetParam()));
  }

  OffscreenGL gl;
  FakeDelegate delegate{8};
  std::unique_ptr<ClockedGfx> g;
  std::unique_ptr<InputDriver> input;
};

bool Bright(const RGBA& p) { return p.r + p.g + p.b > 3 * 150; }

std::string Str(const RGBA& p)
{
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

} // namespace

TEST_P(UserTabScreenshot, NormalMode)
{
  Build(false);
  Frames();
  gl.WritePNG(Name("normal"));
  // Nothing of the edit furniture above the tab.
  EXPECT_FALSE(Bright(At(300, 10))) << Str(At(300, 10));
}

TEST_P(UserTabScreenshot, EditModeWithAHoveredCell)
{
  UserTabPanel* p = Build(true);
  const IRECT cell = p->cellRects()[6][0].second;
  input->Hover(cell.MW(), cell.MH());
  Frames();
  gl.WritePNG(Name("edit"));
  // The white outline of the hovered cell.
  EXPECT_TRUE(Bright(At(cell.MW(), cell.T))) << Str(At(cell.MW(), cell.T));
}

TEST_P(UserTabScreenshot, MidDragWithTheDropIndicator)
{
  UserTabPanel* p = Build(true);
  const IRECT from = p->cellRects()[0][0].second;
  const IRECT to = p->cellRects()[7][0].second;
  input->Press(from.MW(), from.MH());
  input->DragTo(from.MW() + 20.f, from.MH());
  input->DragTo(to.MW(), to.B - 5.f);
  Frames();
  gl.WritePNG(Name("drag"));
  UserTabPanel::DropMark mark;
  ASSERT_TRUE(p->dropMark(mark));
  EXPECT_TRUE(Bright(At(to.MW(), mark.y1))) << Str(At(to.MW(), mark.y1));
  input->Release(to.MW(), to.B - 5.f);
}

TEST_P(UserTabScreenshot, PickerOpen)
{
  UserTabPanel* p = Build(true);
  const IRECT col = p->columnRects()[0];
  input->Click(col.MW(), 10.f);
  Frames(10, 30.);
  EXPECT_EQ(p->pickerColumn(), 0);
  auto* popup = static_cast<IPopupMenuControl*>(g->GetPopupMenuControl());
  ASSERT_TRUE(popup->GetExpanded());
  // "pre-filters": the column's own controls disabled, the ones that fit enabled.
  const IRECT& group = *popup->GetPanel(0)->mCells[1];
  input->Hover(group.MW(), group.MH());
  Frames(20, 30.);
  gl.WritePNG(Name("picker"));
  EXPECT_FALSE(p->pickerMenu().GetItem(1)->GetSubmenu()->GetItem(2)->GetEnabled()); // "A hz"
  EXPECT_TRUE(p->pickerMenu().GetItem(1)->GetSubmenu()->GetItem(0)->GetEnabled());  // "band mode"
}

INSTANTIATE_TEST_SUITE_P(Scales, UserTabScreenshot, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });
