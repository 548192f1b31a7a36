// The header column: logo, tab switch, MORPH toggle, oversampling, randomize and mutate.
#include "product/editor/layout.h"

#include <algorithm>

#include "IGfx/Controls/ISVGControl.h"
#include "IGfx/Controls/IVButtonControl.h"
#include "IGfx/Controls/IVSwitchControl.h"
#include "IGfx/Controls/IVToggleControl.h"
#include "IGfx/IGfx.h"
#include "product/params/params.h"
#include "product/ui/learnable.h"
#include "product/ui/theme.h"
#include "product/ui/tooltip_tab_switch_control.h"

namespace vemlor::ui {

using namespace plugkit::gfx;

namespace {

constexpr float kLogoWidth = 54.f;
// How far the logo pushes the content area's left edge.
constexpr float kLogoAdvance = 47.f;
constexpr float kColumnWidth = 55.f;
constexpr float kRowHeight = 18.f;
constexpr float kRandMutWidth = 30.f;
// The header column's width plus the gap to the tabs' content.
constexpr float kColumnAdvance = 75.f;

constexpr const char* kRandomizeGlyph = "\U000F01CE";
constexpr const char* kMutateGlyph = "\U000F0684";

IVStyle tabStyle(IVStyle style)
{
  style.showLabel = false;
  style.labelText.mAlign = EAlign::Far;
  style.valueText.mAlign = EAlign::Far;
  style.valueText.mVAlign = EVAlign::Middle;
  return style;
}

IVStyle glyphButtonStyle(IVStyle style)
{
  style.showLabel = true;
  style.labelText = smallIconsLight;
  return style;
}

void attachLogo(LayoutPass& pass)
{
  const ISVG logo = pass.g.LoadSVG("vemlor.svg", "px", 72.f);
  if (logo.IsValid())
  {
    auto* control = new ISVGControl(IRECT(0.f, 0.f, kLogoWidth, pass.band.B), logo);
    control->SetTooltip("Vemlor: say \"VEM-lor\", as in \"gem\" and \"lore\"");
    pass.g.AttachControl(control);
  }
  pass.content.L += kLogoAdvance;
}

void attachTabs(LayoutPass& pass)
{
  const std::vector<const char*> labels = {"ALL ", "FREQS ", "USER "};
  const float x = pass.content.L;
  const float t = pass.content.T;
  const IRECT r(x, t, x + kColumnWidth, t + kRowHeight * static_cast<float>(labels.size()));
  EditorModel& model = pass.model;
  auto* tabs = new TooltipTabSwitchControl(
    r,
    [&model](IControl* c) {
      auto* sw = static_cast<TooltipTabSwitchControl*>(c);
      model.switchTab(static_cast<int>(sw->GetValue() * static_cast<double>(sw->NLabels() - 1) + 0.5));
    },
    labels, "", tabStyle(pass.styles.style3), EVShape::Rectangle, EDirection::Vertical);
  tabs->tabTooltips = {"layout with all the controls", "keytrack the filter cutoffs from midi notes",
                       "customizable layout with what you actually use"};
  pass.g.AttachControl(tabs);
  const double last = static_cast<double>(labels.size() - 1);
  tabs->SetValue(std::clamp(static_cast<double>(model.editorUI().currentTab) / last, 0.0, 1.0));
  tabs->SetDirty(false);

  // The MORPH toggle on the row under the tabs.
  const IRECT morph(x, r.B, x + kColumnWidth, r.B + kRowHeight);
  pass.g.AttachControl(new IVToggleControl(morph, zarvo::par_morph_active, "", pass.styles.style3, "MORPH", "MORPH"));
}

void attachOversamplingAndRandomizers(LayoutPass& pass)
{
  const float x = pass.content.L;
  const IRECT oversampling(x, pass.content.B - kRowHeight, x + kColumnWidth, pass.content.B);
  pass.g.AttachControl(makeLearnable<IVSwitchControl>(pass.model.ccMediator(), oversampling, zarvo::par_oversampling,
                                                      "", pass.styles.style3));

  const IRECT row = oversampling.GetTranslated(0.f, -20.f);
  const IVStyle style = glyphButtonStyle(pass.styles.style3);
  EditorModel& model = pass.model;
  auto* randomize = new IVButtonControl(IRECT(row.L, row.T, row.L + kRandMutWidth, row.B), DefaultClickActionFunc,
                                        kRandomizeGlyph, style, true, true, EVShape::Rectangle);
  randomize->SetAnimationEndActionFunction([&model](IControl*) { model.randomize(); });
  randomize->SetTooltip("randomize all\n\nNB: different patches can have vastly different perceived volume");
  auto* mutate = new IVButtonControl(IRECT(row.R - kRandMutWidth, row.T, row.R, row.B), DefaultClickActionFunc,
                                     kMutateGlyph, style, true, true, EVShape::Rectangle);
  mutate->SetAnimationEndActionFunction([&model](IControl*) { model.mutate(); });
  mutate->SetTooltip("mutate\n\nvaries a few parameters of the current patch;\nrepeated presses explore one baseline");
  pass.g.AttachControl(randomize, kTagRandomize, kGroupRandMut);
  pass.g.AttachControl(mutate, kTagMutate, kGroupRandMut);
  pass.content.L += kColumnAdvance;
}

} // namespace

void attachHeader(LayoutPass& pass)
{
  attachLogo(pass);
  attachTabs(pass);
  attachOversamplingAndRandomizers(pass);
}

} // namespace vemlor::ui
