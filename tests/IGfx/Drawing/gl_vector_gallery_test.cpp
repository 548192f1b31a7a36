// The stock vector controls in every state, drawn by the NanoVG backend at draw
// scales 1 and 2 and written as PNGs for review, with pixel checks of the
// states a user tells apart.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "IGfx/Controls/IVButtonControl.h"
#include "IGfx/Controls/IVKnobControl.h"
#include "IGfx/Controls/IVSwitchControl.h"
#include "IGfx/Controls/IVTabSwitchControl.h"
#include "IGfx/Controls/IVToggleControl.h"
#include "IPlugin/IPluginParameter.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/gfx_harness/input_driver.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using plugkit::IParam;
using plugkit::gfx::test::FakeDelegate;
using plugkit::gfx::test::InputDriver;

namespace {

constexpr IColor kBackdrop(255, 250, 250, 250);

bool Near(const RGBA& p, const IColor& want, int tol = 3)
{
  return std::abs(p.r - want.R) <= tol && std::abs(p.g - want.G) <= tol && std::abs(p.b - want.B) <= tol;
}

std::string Str(const RGBA& p)
{
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + "," + std::to_string(p.a) +
         ")";
}

class GLVectorGallery : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    delegate.GetParam(0)->InitEnum("Mode", 1, {"Low", "Band", "High"});
    delegate.GetParam(1)->InitBool("Bypass", true);
    delegate.GetParam(2)->InitDouble("Cutoff", 1000., 20., 20000., 1., "Hz", 0, "", IParam::ShapeExp());
    delegate.GetParam(3)->InitDouble("Drive", 35., 0., 100., 0.1, "%");
    delegate.GetParam(4)->InitDouble("Pan", 0., -50., 50., 1.);
    delegate.GetParam(5)->InitEnum("Shape", 0, {"Soft", "Hard", "Fold", "Wrap"});
    gfx = std::make_unique<OffscreenGfx>(delegate, gl, kW, kH, GetParam());
    ASSERT_TRUE(gfx->LoadFont("Roboto-Regular", (std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf").c_str()));
    gfx->AttachControl(new LambdaControl(gfx->GetBounds(), [](IGfx& g, const IRECT& r) { g.FillRect(kBackdrop, r); }));
  }
  void TearDown() override { gfx.reset(); }

  template <class C, class... Args>
  C* Add(Args&&... args)
  {
    auto* c = new C(std::forward<Args>(args)...);
    gfx->AttachControl(c);
    for (int i = 0; i < c->NVals(); ++i)
    {
      if (const IParam* p = c->GetParam(i))
        c->SetValueFromDelegate(p->GetNormalized(), i);
    }
    return c;
  }
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  std::string Name(const char* what) { return std::string(what) + "_x" + std::to_string(static_cast<int>(GetParam())); }

  static constexpr int kW = 620;
  static constexpr int kH = 420;
  OffscreenGL gl;
  FakeDelegate delegate{8};
  std::unique_ptr<OffscreenGfx> gfx;
};

} // namespace

TEST_P(GLVectorGallery, EveryStockVectorControlInEveryState)
{
  IVStyle rounded;
  rounded.roundness = 0.5f;
  IVStyle labelLeft;
  labelLeft.labelOrientation = ELabelPosition::Left;

  // Row 1: buttons: normal, held pressed, disabled, rounded, ellipse, triangle.
  auto* normal = Add<IVButtonControl>(IRECT(10, 10, 100, 60), nullptr, "Push");
  auto* pressed = Add<IVButtonControl>(IRECT(110, 10, 200, 60), nullptr, "Held");
  pressed->SetValue(1.);
  auto* disabledButton = Add<IVButtonControl>(IRECT(210, 10, 300, 60), nullptr, "Off");
  disabledButton->SetDisabled(true);
  Add<IVButtonControl>(IRECT(310, 10, 400, 60), nullptr, "Round", rounded);
  Add<IVButtonControl>(IRECT(410, 10, 500, 60), nullptr, "", DEFAULT_STYLE, true, true, EVShape::Ellipse);
  Add<IVButtonControl>(IRECT(510, 10, 600, 60), nullptr, "", DEFAULT_STYLE, true, true, EVShape::Triangle);

  // Row 2: a parameter switch, toggles off, on and disabled, a label on the
  // left.
  Add<IVSwitchControl>(IRECT(10, 75, 120, 145), 0);
  Add<IVToggleControl>(IRECT(130, 75, 230, 145), 1, "", DEFAULT_STYLE, "active", "bypassed");
  Add<IVToggleControl>(IRECT(240, 75, 340, 145), nullptr, "Solo", DEFAULT_STYLE, "off", "on", false);
  auto* disabledToggle = Add<IVToggleControl>(IRECT(350, 75, 450, 145), nullptr, "Mute", rounded, "off", "on", true);
  disabledToggle->SetDisabled(true);
  Add<IVSwitchControl>(IRECT(460, 75, 610, 145), nullptr, "Oct", labelLeft, 3, true);

  // Row 3: tab switches: labels from the parameter, rounded ends with a
  // disabled option, vertical.
  auto* shapeTabs = Add<IVTabSwitchControl>(IRECT(10, 160, 300, 220), 5);
  // The action-function tab switch keeps the style's value alignment: centre it
  // as a caller would.
  IVStyle tabStyle = rounded;
  tabStyle.roundness = 1.f;
  tabStyle.valueText.mVAlign = EVAlign::Middle;
  auto* tabs = Add<IVTabSwitchControl>(IRECT(310, 160, 610, 220), nullptr, std::vector<const char*>{"A", "B", "C"},
                                       "Slot", tabStyle, EVShape::RoundedEnds);
  tabs->SetValue(0.5);
  tabs->SetStateDisabled(2, true);
  Add<IVTabSwitchControl>(IRECT(10, 230, 110, 410), 0, std::vector<const char*>{}, "", DEFAULT_STYLE,
                          EVShape::Rectangle, EDirection::Vertical);

  // Row 4: knobs at 0, mid and 1, a centred one, a disabled one and one being
  // dragged.
  Add<IVKnobControl>(IRECT(120, 230, 200, 330), 3);
  Add<IVKnobControl>(IRECT(210, 230, 290, 330), 2);
  auto* full = Add<IVKnobControl>(IRECT(300, 230, 380, 330), nullptr, "Full");
  full->SetValue(1.);
  Add<IVKnobControl>(IRECT(390, 230, 470, 330), 4, "", DEFAULT_STYLE, false, false, -135.f, 135.f, 0.f);
  auto* disabledKnob = Add<IVKnobControl>(IRECT(480, 230, 560, 330), nullptr, "Off");
  disabledKnob->SetValue(0.3);
  disabledKnob->SetDisabled(true);
  auto* dragged = Add<IVKnobControl>(IRECT(120, 335, 200, 415), nullptr, "Drag", rounded);
  InputDriver input(*gfx);
  gfx->EnableMouseOver(true);
  const IRECT& fold = shapeTabs->GetButtonRect(2);
  input.Hover(fold.MW(), fold.MH());
  input.Press(160, 370);
  input.DragTo(160, 360);

  ASSERT_TRUE(gfx->Frame());
  gl.WritePNG(Name("vector_gallery"));
  input.Release(160, 360);

  // Inside each body, below the label: the body is drawn inside the handle of
  // the widget rectangle.
  auto body = [this](const IVButtonControl* b) {
    return At(b->GetWidgetBounds().L + 8.f, b->GetWidgetBounds().B - 8.f);
  };
  EXPECT_TRUE(Near(body(normal), DEFAULT_FGCOLOR)) << Str(body(normal));
  EXPECT_TRUE(Near(body(pressed), DEFAULT_PRCOLOR)) << Str(body(pressed));
  // Disabled: the body darkened by 63, drawn without the control's faded blend.
  EXPECT_TRUE(Near(body(disabledButton), IColor(255, 137, 137, 137))) << Str(body(disabledButton));
  EXPECT_GT(dragged->GetValue(), 0.);
}

INSTANTIATE_TEST_SUITE_P(DrawScale, GLVectorGallery, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });
