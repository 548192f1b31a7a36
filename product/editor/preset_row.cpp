// The preset row: the preset strip, the controller-map row and its clear button.
#include "product/editor/layout.h"

#include <optional>
#include <string_view>

#include "IGfx/IGfx.h"
#include "product/ui/theme.h"
#include "utils/ui/GlyphButtonControl.h"
#include "utils/ui/PresetStripControl.h"

namespace vemlor::ui {

using namespace plugkit::gfx;
using zarvo::ui::GlyphLabel;

namespace {

constexpr float kRowHeight = 18.f;
// The strip's collapse toggle spans the tab column.
constexpr float kCollapsedToggleWidth = 55.f;
constexpr float kGlyphSpacing = 3.f;

GlyphLabel icon(std::string_view utf8) { return GlyphLabel::glyph(utf8, kIconFont); }

IVStyle withTransparent(IVStyle style, bool background)
{
  style.colorSpec.SetColor(EVColor::FR, COLOR_TRANSPARENT);
  if (background)
    style.colorSpec.SetColor(EVColor::BG, COLOR_TRANSPARENT);
  return style;
}

// The row's parts from the right: clear button, controller-map row, a gap, then the strip.
struct PresetRowGeometry
{
  IRECT strip, ccRow, clear;
  float buttonWidth, captionWidth;
};

PresetRowGeometry presetRowGeometry(const LayoutPass& pass)
{
  const float h = kRowHeight;
  const float u = 1.9f * h;
  const float v = 1.4f * h;
  const float gw = 2.f * u + v;
  const float top = pass.content.T - 20.f;
  const float bottom = pass.content.T - 2.f;
  const float r0 = (pass.W - 30.f) - pass.model.editorUI().presetRowRightInset;
  // The strip starts at the tab column, which the content area has since left behind.
  const float stripLeft = pass.content.L - 75.f;
  return {IRECT(stripLeft, top, r0 - h - 2.f * u - gw, bottom), IRECT(r0 - u - gw, top, r0 - u, bottom),
          IRECT(r0 - u, top, r0, bottom), u, v};
}

zarvo::ui::PresetStripControl* makeStrip(LayoutPass& pass, const PresetRowGeometry& geo)
{
  EditorModel& plugin = pass.model;
  zarvo::ui::PresetLibrary* library = plugin.presetLibrary();
  if (!library)
    return nullptr;
  auto* strip = new zarvo::ui::PresetStripControl(geo.strip, *library, withTransparent(pass.styles.style1, true));
  strip->collapsedToggleWidth = kCollapsedToggleWidth;
  strip->collapsed = plugin.editorUI().presetStripCollapsed;
  strip->showNumbers = true;
  strip->showRedo = true;
  strip->buttonWidth = geo.buttonWidth;
  strip->expandGlyph = icon("\U000F013E");
  strip->collapseGlyph = icon("\U000F013D");
  strip->prevGlyph = icon("\U000F0141");
  strip->nextGlyph = icon("\U000F0142");
  strip->undoGlyph = icon("\U000F054C");
  strip->redoGlyph = icon("\U000F044E");
  strip->saveGlyph = iconSave;
  strip->loadGlyph = iconLoad;
  strip->folderGlyph = icon("\U000F0969");
  strip->scanGlyph = icon("\U000F0B9D");
  strip->zoneTooltips = {
    "collapse/expand the strip",
    "load previous preset\n\nswaps the sound only \u2014 morph field, user layout and cc map stay",
    "load next preset\n\nswaps the sound only \u2014 morph field, user layout and cc map stay",
    "undo",
    "redo",
    "save preset to file\n\nstores everything: sound, morph field, user layout, cc map",
    "load preset from file\n\nthe whole patch: sound + morph field + user layout (your cc map stays)\nwhile morphing: "
    "goes into the selected point instead",
    "open preset folder",
    "add all presets from a folder to the strip",
  };
  // While morphing, the strip names the preset the blend is dominated by.
  strip->nameOverride = [&plugin]() -> std::optional<zarvo::ui::PresetStripControl::NameOverride> {
    const zarvo::PresetManager* manager = plugin.presetManager();
    const std::optional<zarvo::PatchIdentity> identity = plugin.morphController().stripPresetIdentity();
    if (!manager || !identity)
      return std::nullopt;
    return zarvo::ui::PresetStripControl::NameOverride{manager->displayName(*identity), identity->modified};
  };
  return strip;
}

} // namespace

void attachPresetRow(LayoutPass& pass)
{
  IGfx& g = pass.g;
  EditorModel& plugin = pass.model;
  const PresetRowGeometry geo = presetRowGeometry(pass);
  const IVStyle rowStyle = withTransparent(pass.styles.style1, false);

  zarvo::ui::PresetStripControl* strip = makeStrip(pass, geo);

  CCFiles& files = plugin.ccFiles();
  files.setRowStyle(rowStyle, iconCopy, iconPaste, iconSave, iconLoad);
  files.setGlyphSpacing(kGlyphSpacing);
  const GlyphLabel caption = icon("\U000F08F2") + GlyphLabel(":");
  const CCFiles::Row row = files.makeRow(geo.ccRow, caption, geo.captionWidth, false);

  auto* clear = new zarvo::ui::GlyphButtonControl(
    geo.clear, icon("\U000F062A"), [&plugin](IControl*) { plugin.clearAllCCMap(); }, rowStyle);
  clear->spacing = kGlyphSpacing;

  if (strip)
  {
    strip->onCollapseToggled = [&plugin, &g](bool collapsed) {
      plugin.editorUI().presetStripCollapsed = collapsed;
      for (int tag : kPresetRowTags)
        if (IControl* c = g.GetControlWithTag(tag))
          c->Hide(collapsed);
    };
    g.AttachControl(strip, kTagPresetStrip, kGroupPreset);
  }
  const std::pair<IControl*, int> attached[] = {{row.label, kTagCCCaption}, {row.copy, kTagCCCopy},
                                                {row.paste, kTagCCPaste},   {row.save, kTagCCSave},
                                                {row.load, kTagCCLoad},     {clear, kTagCCClear}};
  const bool collapsed = plugin.editorUI().presetStripCollapsed;
  for (const auto& [control, tag] : attached)
  {
    if (!control)
      continue;
    control->Hide(collapsed);
    g.AttachControl(control, tag, kGroupPreset);
  }
}

} // namespace vemlor::ui
