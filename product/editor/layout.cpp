// The layout function, its frame and the shared styles.
#include "product/editor/layout.h"

#include "IGfx/IGfx.h"
#include "product/ui/theme.h"
#include "product/ui/tooltip_bubble_control.h"
#include "utils/ui/UIResizeNotifier.h"

namespace vemlor::ui {

using namespace plugkit::gfx;

namespace {

// The content area: the band less 30 pixels left and right and 20 at top and bottom.
constexpr float kContentInsetX = 30.f;
constexpr float kContentInsetY = 20.f;
constexpr float kCornerResizerSize = 30.f;
constexpr float kBubbleRoundness = 5.f;

IVStyle editorStyle(bool showLabel, const IColor& frame, const IColor& extra1)
{
  IVStyle s;
  s.hideCursor = true;
  s.showLabel = showLabel;
  s.showValue = true;
  s.drawFrame = true;
  s.drawShadows = false;
  s.emboss = false;
  s.roundness = 0.f;
  s.frameThickness = 0.5f;
  s.shadowOffset = 3.f;
  s.widgetFrac = 1.f;
  s.angle = 0.f;
  s.colorSpec.SetColor(EVColor::FG, IColor(0, 0, 0, 0));
  s.colorSpec.SetColor(EVColor::PR, accentColor);
  s.colorSpec.SetColor(EVColor::FR, frame);
  s.colorSpec.SetColor(EVColor::HL, colHighlightGray);
  s.colorSpec.SetColor(EVColor::X1, extra1);
  s.labelText = smallTxtWhite;
  s.valueText = smallTxtWhite;
  return s;
}

} // namespace

EditorStyles makeEditorStyles()
{
  return {editorStyle(true, colLightGray, colLightGray), editorStyle(false, COLOR_TRANSPARENT, colLightGray),
          editorStyle(false, COLOR_TRANSPARENT, COLOR_TRANSPARENT)};
}

void layoutEditor(EditorModel& model, IGfx& g)
{
  const float w = static_cast<float>(g.Width());
  const IRECT band(0.f, 0.f, w, kBandHeight);
  LayoutPass pass{model,
                  g,
                  makeEditorStyles(),
                  w,
                  static_cast<float>(g.Height()),
                  band,
                  band.GetPadded(kContentInsetX, kContentInsetY, -kContentInsetX, -kContentInsetY),
                  zarvo::ui::ControlRegistry()};

  attachEditorFrame(pass);
  attachHeader(pass);
  attachPresetRow(pass);
  buildEditorRegistry(pass);
  attachAllControlsTab(pass);
  attachFrequenciesTab(pass);
  attachUserTab(pass);
  attachHelpAndAbout(pass);
  applyInitialVisibility(pass);
  attachMorphPage(pass);
  // The morph state this layout was built for, pad or not: an unchanged state then rebuilds nothing.
  model.editorUI().layoutMorphActive = model.morphController().morphOn();
  attachPresetBrowser(pass);
  finishLayout(pass);
}

void attachEditorFrame(LayoutPass& pass)
{
  IGfx& g = pass.g;
  EditorModel& model = pass.model;
  // The platform's stand-ins for menus and text fields go with the other controls; a rebuild keeps them.
  const bool hadPopupMenu = g.GetPopupMenuControl() != nullptr;
  const bool hadTextEntry = g.GetTextEntryControl() != nullptr;
  g.RemoveAllControls();
  if (hadPopupMenu)
    g.AttachPopupMenuControl();
  if (hadTextEntry)
    g.AttachTextEntryControl();

  g.LoadFont(kTextFont, kTextFont);
  g.LoadFont(kIconFont, kIconFont);
  // The framework's default text style names this font; without it such text would not draw.
  g.LoadFont(DEFAULT_TEXT.mFont, "Roboto-Regular.ttf");

  auto* bubble = new TooltipBubbleControl(smallTxtWhite, colDarkGray, colLightGray, kBubbleRoundness);
  g.AttachBubbleControl(bubble);

  Mediator& mediator = model.ccMediator();
  mediator.mDotColorOverride = accentColor;
  mediator.mArcColorOverride = modArcColor;

  g.AttachCornerResizer(EUIResizerMode::Scale, false, COLOR_TRANSLUCENT, COLOR_LIGHT_GRAY, COLOR_WHITE,
                        kCornerResizerSize);
  g.AttachPanelBackground(IPattern(colDarkGray));
  g.EnableTooltips(false);
  // Hover help follows the pointer.
  g.EnableMouseOver(true);
  g.AttachControl(new zarvo::ui::UIResizeNotifier([&model](int, int, float scale, bool) {
    EditorUIState& ui = model.editorUI();
    if (scale != ui.uiScale)
      ui.uiScalePrefDirty = true;
    ui.uiScale = scale;
  }));
  g.SetStrictDrawing(true);
}

} // namespace vemlor::ui
