// The about button, the hover-help toggle and the about box at the band's right edge.
#include "IGfx/Controls/IVButtonControl.h"
#include "IGfx/Controls/IVToggleControl.h"
#include "IGfx/IGfx.h"
#include "product/editor/layout.h"
#include "product/patch/prefs_access.h"
#include "product/ui/about_box.h"
#include "product/ui/theme.h"

namespace vemlor::ui {

using namespace plugkit::gfx;

namespace {

constexpr float kButtonWidth = 20.f;
constexpr float kButtonHeight = 18.f;
constexpr float kAboutTop = 82.f; // the button ends on the band's middle line

void onHoverHelpToggled(EditorModel& model, IControl* toggle)
{
  const bool on = toggle->GetValue() > 0.5;
  model.showHoverHelp(on);
  // Written at once, so that an editor opened next, in any instance, starts with it.
  model.writePreference(zarvo::prefkey::kHoverHelp, on ? "1" : "0");
}

} // namespace

void attachHelpAndAbout(LayoutPass& pass)
{
  IVStyle style = pass.styles.style1;
  style.colorSpec.SetColor(EVColor::FR, COLOR_TRANSPARENT);
  const IRECT aboutRect(pass.W - kButtonWidth, kAboutTop, pass.W, kAboutTop + kButtonHeight);
  const IRECT helpRect = aboutRect.GetTranslated(0.f, kButtonHeight);

  // About button: the box opens once the click's splash has played.
  auto* about = new IVButtonControl(aboutRect, SplashClickActionFunc, "i", style, true, true, EVShape::Rectangle);
  about->SetAnimationEndActionFunction([](IControl* caller) {
    if (IGfx* g = caller->GetUI())
      AboutBox::show(*g);
  });
  pass.g.AttachControl(about);

  EditorModel& model = pass.model;
  auto* help = new IVToggleControl(
    helpRect, [&model](IControl* toggle) { onHoverHelpToggled(model, toggle); }, "", style, "?", "?",
    model.hoverHelpShown());
  help->SetTooltip("hover help\n\nwhen on, hovering a control shows its description");
  pass.g.AttachControl(help, kTagHoverHelp);

  IAboutBoxControl* box = AboutBox::make(pass.band, IPattern(colDarkGray), smallTxtLight, accentColor);
  box->Hide(true);
  pass.g.AttachControl(box, kTagAboutBox);
}

} // namespace vemlor::ui
