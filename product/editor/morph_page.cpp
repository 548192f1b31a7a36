// The layout's morph page below the band and the preset browser over the whole editor.
#include "product/editor/morph_page.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "IGfx/Controls/IPanelControl.h"
#include "IGfx/IGfx.h"
#include "product/editor/layout.h"
#include "product/params/params.h"
#include "product/ui/theme.h"
#include "utils/morph/morph_pad_control.h"
#include "utils/ui/PresetBrowserControl.h"
#include "utils/ui/PresetStripControl.h"

namespace vemlor::ui {

using namespace plugkit::gfx;

namespace {

using zarvo::morph::MorphController;
using zarvo::morph::MorphPadControl;

// The page exists only in the tall editor.
constexpr float kMinMorphPageHeight = 201.f;
constexpr float kPadInset = 16.f;
constexpr IColor kPadBackground(255, 45, 45, 45);

float clampUnit(float v) { return std::isfinite(v) ? std::clamp(v, 0.f, 1.f) : 0.f; }

void setBrowserAppearance(zarvo::ui::PresetBrowserControl& browser)
{
  zarvo::ui::PresetBrowserControl::Appearance look = browser.appearance();
  look.panelColor = kPadBackground;
  look.borderColor = colHighlightGray;
  look.headerColor = IColor(255, 58, 58, 58);
  IText text = smallTxtLight;
  text.mAlign = EAlign::Center;
  look.headerText = text;
  look.itemText = text;
  look.hoverColor = colHighlightGray;
  look.currentColor = accentColor;
  look.currentTextColor = COLOR_WHITE;
  look.trackColor = IColor(255, 40, 40, 40);
  look.thumbColor = colHighlightGray;
  look.expandedGlyph = zarvo::ui::GlyphLabel::glyph("\U000F035D", kIconFont);
  look.collapsedGlyph = zarvo::ui::GlyphLabel::glyph("\U000F035F", kIconFont);
  look.currentMarker = zarvo::ui::GlyphLabel::glyph("\U000F09DF", kIconFont);
  look.showNumbers = true;
  look.numberSeparator = " : ";
  browser.setAppearance(look);
}

} // namespace

void applyPadAppearance(MorphPadControl& pad, float lineBrightness, int isoLevels, float gridStep)
{
  pad.setFieldAppearance(clampUnit(lineBrightness),
                         std::clamp(isoLevels, 0, zarvo::morph::MorphFieldOverlay::kMaxIsoLevels),
                         gridStep >= 0.02f ? std::min(gridStep, 1.f) : 0.02f);
}

void attachMorphPage(LayoutPass& pass)
{
  EditorModel& model = pass.model;
  MorphController& morph = model.morphController();
  const bool morphActive = morph.morphOn();
  // What the editor was last built for, whether or not the page is built now.
  model.editorUI().layoutMorphActive = morphActive;
  if (!morphActive || pass.H < kMinMorphPageHeight)
    return;

  IGfx& g = pass.g;
  g.AttachControl(new IPanelControl(IRECT(0.f, kBandHeight, pass.W, pass.H), COLOR_TRANSLUCENT), -1, kGroupMorph);

  IVStyle style = pass.styles.style1;
  style.colorSpec.SetColor(EVColor::BG, kPadBackground);
  auto* pad = new MorphPadControl(IRECT(kPadInset, kBandHeight, pass.W - kPadInset, pass.H - kPadInset),
                                  {zarvo::par_morph_x, zarvo::par_morph_y}, morph.engine(), style);
  wireMorphPad(model, *pad);

  const zarvo::morph::MorphZarvoAdapter::Appearance& a = morph.appearance();
  applyPadAppearance(*pad, a.lineBrightness, a.isoLevels, a.gridStep);
  pad->setSpreadValue(clampUnit(morph.dragEndValue()));
  pad->SetClean();

  EditorModel* p = &model;
  MorphPadControl::Callbacks callbacks = pad->callbacks();
  callbacks.onDragEndValue = [&morph](float value) { morph.setDragEndValue(value); };
  callbacks.onAppearanceChanged = [p, &morph](float lineBrightness, int isoLevels, float gridStep) {
    morph.setAppearance({lineBrightness, isoLevels, gridStep});
    p->morphFieldPrefsChanged = true;
  };
  pad->setCallbacks(std::move(callbacks));
  morph.setAppearanceChanged([p](float lineBrightness, int32_t isoLevels, float gridStep) {
    p->applyMorphAppearance(lineBrightness, isoLevels, gridStep);
  });

  g.AttachControl(pad, kTagMorphPad, kGroupMorph);
}

void attachPresetBrowser(LayoutPass& pass)
{
  zarvo::ui::PresetLibrary* library = pass.model.presetLibrary();
  if (!library)
    return;
  auto* browser = new zarvo::ui::PresetBrowserControl(*library, pass.styles.style1);
  setBrowserAppearance(*browser);
  // connectStrip takes the name zone as the initial anchor and again at every opening: the strip
  // may have been expanded since the editor was built.
  if (auto* strip = dynamic_cast<zarvo::ui::PresetStripControl*>(pass.g.GetControlWithTag(kTagPresetStrip)))
    browser->connectStrip(*strip);
  pass.g.AttachControl(browser, kTagPresetBrowser, "");
  browser->Hide(true);
}

} // namespace vemlor::ui
