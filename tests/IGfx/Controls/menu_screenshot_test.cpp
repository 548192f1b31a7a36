// The open popup menu and the text entry drawn by the NanoVG backend through an offscreen GL
// context at draw scales 1 and 2, written as PNG files for review, with a few pixel checks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "IGfx/Controls/IPopupMenuControl.h"
#include "IGfx/Controls/ITextEntryControl.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/gfx_harness/input_driver.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using plugkit::gfx::test::FakeDelegate;
using plugkit::gfx::test::InputDriver;

namespace {

using ClockedGfx = ClockedOffscreenGfx;

bool Near(const RGBA& p, const RGBA& want, int tol = 12)
{
  return std::abs(p.r - want.r) <= tol && std::abs(p.g - want.g) <= tol && std::abs(p.b - want.b) <= tol;
}

std::string Str(const RGBA& p)
{
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

class MenuScreenshots : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    gfx = std::make_unique<ClockedGfx>(delegate, gl, 400, 200, GetParam());
    ASSERT_TRUE(gfx->LoadFont("Roboto-Regular", (std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf").c_str()));
    gfx->AttachControl(new LambdaControl(IRECT(0, 0, 400, 200), [](IGfx& g, const IRECT& r) {
      g.FillRect(IColor(255, 60, 64, 72), r);
      g.FillRoundRect(IColor(255, 110, 118, 130), IRECT(20, 20, 100, 40), 3.f);
      g.DrawText(IText(13.f, COLOR_WHITE), "Mode", IRECT(20, 20, 100, 40));
    }));
    owner = gfx->AttachControl(new LambdaControl(IRECT(20, 20, 100, 40), [](IGfx&, const IRECT&) {}));
    input = std::make_unique<InputDriver>(*gfx);
  }
  void TearDown() override
  {
    input.reset();
    gfx.reset();
  }
  void Advance(double ms)
  {
    gfx->nowMs += ms;
    gfx->Frame();
  }
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  std::string Name(const char* what) { return std::string(what) + "_x" + std::to_string(static_cast<int>(GetParam())); }
  IPopupMenuControl* Popup() { return static_cast<IPopupMenuControl*>(gfx->GetPopupMenuControl()); }

  OffscreenGL gl;
  FakeDelegate delegate{0};
  std::unique_ptr<ClockedGfx> gfx;
  std::unique_ptr<InputDriver> input;
  IControl* owner = nullptr;
};

} // namespace

TEST_P(MenuScreenshots, MenuWithSubmenuChecksAndDisabledItem)
{
  gfx->AttachPopupMenuControl();
  IPopupMenu menu;
  menu.AddItem("Filter type", IPopupMenu::kAppend, IPopupMenu::Item::kTitle);
  menu.AddItem("Low pass", IPopupMenu::kAppend, IPopupMenu::Item::kChecked);
  menu.AddItem("High pass");
  menu.AddItem("Band pass (locked)", IPopupMenu::kAppend, IPopupMenu::Item::kDisabled);
  menu.AddSeparator();
  auto* sub = new IPopupMenu("", {"Soft", "Hard", "Fold"}, nullptr);
  sub->GetItem(1)->SetChecked(true);
  menu.AddItem("Saturation", sub);
  gfx->CreatePopupMenu(*owner, menu, owner->GetRECT());
  Advance(0);
  Advance(101);
  const auto* root = Popup()->GetPanel(0);
  const IRECT subCell = *root->mCells[5];
  input->Hover(subCell.MW(), subCell.MH());
  Advance(0);
  Advance(201);
  ASSERT_EQ(2, Popup()->NPanels());
  const IRECT soft = *Popup()->GetPanel(1)->mCells[0];
  input->Hover(soft.MW(), soft.MH());
  Advance(16);
  gl.WritePNG(Name("popup_menu_submenu"));

  // Panel white, the submenu's hovered row and the row that opened it blue.
  const IRECT plain = *root->mCells[2];
  EXPECT_TRUE(Near(At(plain.R - 2.f, plain.MH()), {242, 242, 242, 255})) << Str(At(plain.R - 2.f, plain.MH()));
  EXPECT_TRUE(Near(At(subCell.L + 3.f, subCell.T + 2.f), {0, 0, 242, 255}))
    << Str(At(subCell.L + 3.f, subCell.T + 2.f));
  EXPECT_TRUE(Near(At(soft.R - 3.f, soft.T + 2.f), {0, 0, 242, 255})) << Str(At(soft.R - 3.f, soft.T + 2.f));
}

TEST_P(MenuScreenshots, ScrolledMenu)
{
  gfx->AttachPopupMenuControl();
  IPopupMenu menu;
  for (int i = 1; i <= 30; ++i)
    menu.AddItem(("Preset " + std::to_string(i)).c_str());
  menu.GetItem(12)->SetChecked(true);
  gfx->CreatePopupMenu(*owner, menu, owner->GetRECT());
  Advance(0);
  Advance(101);
  const auto* panel = Popup()->GetPanel(0);
  ASSERT_TRUE(panel->mScroller);
  const IRECT down = *panel->mCells.back();
  for (int i = 0; i < 6; ++i)
    input->Hover(down.MW(), down.MH());
  Advance(16);
  EXPECT_EQ(6, panel->mScrollItemOffset);
  gl.WritePNG(Name("popup_menu_scrolled"));
  // The hovered down arrow: a white triangle on blue.
  EXPECT_TRUE(Near(At(down.L + 3.f, down.T + 2.f), {0, 0, 242, 255})) << Str(At(down.L + 3.f, down.T + 2.f));
  EXPECT_TRUE(Near(At(down.MW(), down.MH()), {255, 255, 255, 255}, 30)) << Str(At(down.MW(), down.MH()));
}

TEST_P(MenuScreenshots, LongMenuScrolledByTheWheel)
{
  gfx->AttachPopupMenuControl();
  IPopupMenu menu;
  const int n = 40; // a picker listing every control, far taller than the editor
  for (int i = 1; i <= n; ++i)
    menu.AddItem(("Control " + std::to_string(i)).c_str());
  gfx->CreatePopupMenu(*owner, menu, owner->GetRECT());
  Advance(0);
  Advance(101);
  const auto* panel = Popup()->GetPanel(0);
  ASSERT_TRUE(panel->mScroller);
  const int cells = panel->NCells();
  const IRECT middle = *panel->mCells[static_cast<size_t>(cells / 2)];
  input->Hover(middle.MW(), middle.MH());
  EXPECT_EQ(0, panel->mScrollItemOffset) << "resting on an item does not scroll";

  struct Step
  {
    float delta;
    int offset;
  };
  // Down shows later items, up earlier ones, never past either end.
  for (const Step& step : {Step{-1.f, 1}, Step{-1.f, 2}, Step{-3.f, 5}, Step{1.f, 4}, Step{5.f, 0}, Step{1.f, 0},
                           Step{-100.f, n - cells}, Step{-1.f, n - cells}, Step{2.f, n - cells - 2}})
  {
    input->Wheel(middle.MW(), middle.MH(), step.delta);
    EXPECT_EQ(step.offset, panel->mScrollItemOffset) << step.delta;
  }
  EXPECT_EQ(IPopupMenuControl::kExpanded, Popup()->GetState()) << "the wheel keeps the menu open";
  EXPECT_EQ(Popup()->GetHoveredCell(), panel->mCells[static_cast<size_t>(cells / 2)].get());

  // The item now under the pointer is the one a click chooses.
  input->Wheel(middle.MW(), middle.MH(), 100.f);
  input->Wheel(middle.MW(), middle.MH(), -7.f);
  Advance(16);
  gl.WritePNG(Name("popup_menu_wheel_scrolled"));
  EXPECT_TRUE(Near(At(middle.L + 3.f, middle.T + 2.f), {0, 0, 242, 255})) << Str(At(middle.L + 3.f, middle.T + 2.f));
  input->Click(middle.MW(), middle.MH());
  Advance(0);
  Advance(500);
  ASSERT_NE(nullptr, menu.GetChosenItem());
  EXPECT_EQ(menu.GetChosenItemIdx(), 7 + cells / 2);
}

TEST_P(MenuScreenshots, TextEntryWithSelectionAndWithCaret)
{
  gfx->AttachTextEntryControl();
  auto* entry = static_cast<ITextEntryControl*>(gfx->GetTextEntryControl());
  const IRECT field(120, 80, 220, 100);
  const IText style(14.f, COLOR_BLACK, "Roboto-Regular", EAlign::Center, EVAlign::Middle, 0.f, COLOR_WHITE,
                    COLOR_BLACK);
  gfx->CreateTextEntry(*owner, style, field, "-12.5 dB", 0);
  Advance(0);
  gl.WritePNG(Name("text_entry_selection"));
  // Everything is selected: a light grey band behind the text, white at the field's ends.
  EXPECT_TRUE(Near(At(field.L + 2.f, field.MH()), {255, 255, 255, 255})) << Str(At(field.L + 2.f, field.MH()));
  IRECT extent;
  const float textLeft = field.MW() - gfx->MeasureText(style, "-12.5 dB", extent) / 2.f;
  const float bandY = field.T + 5.5f; // inside the band, above the minus sign
  EXPECT_TRUE(Near(At(textLeft + 1.f, bandY), {204, 204, 204, 255}, 20)) << Str(At(textLeft + 1.f, bandY));
  EXPECT_TRUE(Near(At(textLeft - 2.f, bandY), {255, 255, 255, 255})) << Str(At(textLeft - 2.f, bandY));

  input->Tap(35); // end: the selection goes, the caret shows after the text
  ASSERT_EQ(entry->GetSelectionStart(), entry->GetSelectionEnd());
  Advance(16);
  ASSERT_TRUE(entry->GetDrawCursor());
  gl.WritePNG(Name("text_entry_caret"));
  EXPECT_TRUE(Near(At(textLeft + 1.f, bandY), {255, 255, 255, 255})) << Str(At(textLeft + 1.f, bandY));
}

INSTANTIATE_TEST_SUITE_P(Scales, MenuScreenshots, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });
