// The morph pad's callbacks: what selecting, copying and committing point sounds, moving points,
// learning the axes' controllers, rig files and undo do to the plug-in.
#include <bit>
#include <optional>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/editor/editor_model.h"
#include "product/editor/morph_page.h"
#include "product/params/params.h"
#include "product/ui/theme.h"
#include "utils/morph/morph_pad_control.h"

namespace vemlor::ui {

namespace {

using zarvo::morph::MorphController;
using zarvo::morph::MorphEngine;
using zarvo::morph::MorphPadControl;
using zarvo::ui::GlyphLabel;

GlyphLabel icon(const char* utf8) { return GlyphLabel::glyph(utf8, kIconFont); }

void markAllDirty(EditorModel& plugin)
{
  if (plugkit::gfx::IGfx* g = plugin.GetUI())
    g->SetAllControlsDirty();
}

void selectionChanged(EditorModel& plugin, uint32_t mask)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  MorphController& morph = plugin.morphController();
  MorphEngine& engine = morph.engine();
  mask &= zarvo::morph::kPointBits;
  if (!engine.editing() && engine.moving())
  {
    // Points locked in place: the position lock refuses a new selection, an empty one still clears.
    if (mask != 0 && engine.padOption())
      return;
    engine.edit({.selection = mask});
  }
  else
  {
    engine.edit({.selection = mask});
    if (std::popcount(mask) == 1)
    {
      const int point = std::countr_zero(mask);
      engine.edit({.focus = point});
      morph.applyMorphPoint(point);
      // The point's sound is what is loaded now, not an edit of it.
      if (zarvo::PresetManager* pm = plugin.presetManager())
        pm->captureBaseline();
      return;
    }
  }
  engine.edit({.focus = -1});
  morph.publish();
  markAllDirty(plugin);
}

void copyPointSound(EditorModel& plugin, int point)
{
  MorphController& morph = plugin.morphController();
  if (point >= 0 && point < static_cast<int>(zarvo::morph::kNumPoints))
    morph.copyPointIdentity(static_cast<size_t>(point));
}

void commitPointSound(EditorModel& plugin, uint32_t mask, const zarvo::morph::MorphValues& values,
                      MorphPadControl::PointSoundSource source)
{
  MorphController& morph = plugin.morphController();
  // A baked blend is no preset's sound.
  const zarvo::PatchIdentity identity =
    source == MorphPadControl::PointSoundSource::Paste ? morph.copiedPointIdentity() : zarvo::PatchIdentity{};
  morph.writePoints(mask, values, std::nullopt, identity);
}

void pointsEdit(EditorModel& plugin, bool begin)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  MorphController& morph = plugin.morphController();
  zarvo::PresetManager* pm = plugin.presetManager();
  if (begin)
  {
    if (pm)
      morph.beginPointsEdit([&plugin](plugkit::IByteChunk& chunk) { plugin.serializeState(chunk); });
    return;
  }
  const std::optional<plugkit::IByteChunk> before = morph.endPointsEdit();
  if (!before)
    return;
  if (pm)
    pm->commitFromState(*before, static_cast<int>(pm->undoStack().size()));
  morph.publish();
}

// state: 1 for the X axis, 2 for Y. Pressing the axis being learned cancels; the other switches.
void learnAxis(EditorModel& plugin, int param, int32_t state)
{
  MorphController& morph = plugin.morphController();
  zarvo::midi_cc::Mapper& mapper = plugin.ccMediator().mapper();
  if (morph.xyLearnPending() != state)
  {
    mapper.setLearningForParam(param, true);
    morph.setXYLearnPending(state);
  }
  else
  {
    mapper.cancelLearning();
    morph.setXYLearnPending(0);
  }
  markAllDirty(plugin);
}

void swapAxes(EditorModel& plugin)
{
  plugin.ccMediator().mapper().swapParamMappings(zarvo::par_morph_x, zarvo::par_morph_y);
  plugin.ccMediator().refreshUI();
  markAllDirty(plugin);
}

void clearAxes(EditorModel& plugin)
{
  zarvo::midi_cc::Mapper& mapper = plugin.ccMediator().mapper();
  mapper.cancelLearning();
  for (int param : {static_cast<int>(zarvo::par_morph_x), static_cast<int>(zarvo::par_morph_y)})
  {
    // One mapping per controller at most, so this ends.
    for (int n = 0; n < zarvo::midi_cc::Mapper::kNumCCs && mapper.getCCForParam(param) >= 0; ++n)
      mapper.clearMappingForParam(param);
  }
  plugin.morphController().setXYLearnPending(0);
  markAllDirty(plugin);
}

MorphPadControl::XYLearnInfo learnInfo(EditorModel& plugin)
{
  const zarvo::midi_cc::Mapper& mapper = plugin.ccMediator().mapper();
  return {plugin.morphController().xyLearnPending(), mapper.getCCForParam(zarvo::par_morph_x),
          mapper.getCCForParam(zarvo::par_morph_y)};
}

void stepHistory(EditorModel& plugin, void (zarvo::PresetManager::*step)())
{
  zarvo::PresetManager* pm = plugin.presetManager();
  if (!pm)
    return;
  (pm->*step)();
  markAllDirty(plugin);
}

bool canUndo(EditorModel& plugin)
{
  const zarvo::PresetManager* pm = plugin.presetManager();
  return pm && (pm->editPending() || static_cast<int>(pm->undoStack().size()) > pm->undoFloor());
}

bool canRedo(EditorModel& plugin)
{
  const zarvo::PresetManager* pm = plugin.presetManager();
  return pm && !pm->redoStack().empty();
}

void setActionGlyphs(MorphPadControl::Appearance& look)
{
  look.copyLabel = iconCopy;
  look.pasteLabel = iconPaste;
  look.saveLabel = iconSave;
  look.loadLabel = iconLoad;
  look.rigRowLabel = icon("\U000F0A01");
  look.blendRowLabel = icon("\U000F0352");
  look.contrastLabel = icon("\U000F0197");
  look.linesLabel = icon("\U000F05A8");
  look.bakeLabel = icon("\U000F0054");
  look.undoLabel = icon("\U000F054C");
  look.redoLabel = icon("\U000F044E");
  look.spreadLabel = icon("\U000F004C");
  look.glyphRunGap = 2.f;
}

} // namespace

void wireMorphPad(EditorModel& plugin, MorphPadControl& pad)
{
  MorphPadControl::Appearance look = pad.appearance();
  look.pointGlyph = "\U000F0795";
  look.pointGlyphFont = kIconFont;
  look.lockGlyphs = {"\U000F033E", "\U000F0FC6", "\U000F0E33", "\U000F0D38"};
  look.lockGlyphFont = kIconFont;
  look.editOffLabel = icon("\U000F035C");
  look.editOnLabel = icon("\U000F0BAB");
  look.accentColor = accentColor;
  look.hasAccentColor = true;
  look.highlightColor = colHighlightGray;
  look.hasHighlightColor = true;
  look.lightColor = colLightGray;
  look.hasLightColor = true;
  look.darkColor = colDarkGray;
  look.hasDarkColor = true;
  setActionGlyphs(look);
  pad.setAppearance(look);

  EditorModel* p = &plugin;
  MorphController& morph = plugin.morphController();
  MorphPadControl::Callbacks callbacks;
  callbacks.onSelectionChanged = [p](uint32_t mask) { selectionChanged(*p, mask); };
  callbacks.onCopyPointSound = [p](int point) { copyPointSound(*p, point); };
  callbacks.onCommitPointSound = [p](uint32_t mask, const zarvo::morph::MorphValues& values,
                                     MorphPadControl::PointSoundSource source) {
    commitPointSound(*p, mask, values, source);
  };
  callbacks.onUserGesture = [p](bool begin) {
    if (begin)
      p->beginMorphUserGestureFromUI();
    else
      p->endMorphUserGestureFromUI();
  };
  callbacks.onPointsEdit = [p](bool begin) { pointsEdit(*p, begin); };
  callbacks.onLearnX = [p] { learnAxis(*p, zarvo::par_morph_x, 1); };
  callbacks.onLearnY = [p] { learnAxis(*p, zarvo::par_morph_y, 2); };
  callbacks.onSwapXY = [p] { swapAxes(*p); };
  callbacks.onClearXY = [p] { clearAxes(*p); };
  callbacks.learnInfo = [p] { return learnInfo(*p); };
  callbacks.onSaveBlend = [&morph] { morph.fileRouter().promptSaveBlendToFile(); };
  callbacks.onLoadPointsFromFile = [&morph](uint32_t mask) { morph.fileRouter().promptLoadPointsFromFile(mask); };
  callbacks.onSavePointToFile = [&morph](int point) { morph.fileRouter().promptSavePointToFile(point); };
  callbacks.onCopyRig = [&morph] { morph.copyRigToClipboard(); };
  callbacks.onPasteRig = [&morph] { morph.pasteRigFromClipboard(); };
  callbacks.onImportRig = [&morph] { morph.promptImportRig(); };
  callbacks.onExportRig = [&morph] { morph.promptExportRig(); };
  callbacks.clipboardHasRig = [&morph] { return morph.clipboardHasRig(); };
  callbacks.onUndo = [p] { stepHistory(*p, &zarvo::PresetManager::undo); };
  callbacks.onRedo = [p] { stepHistory(*p, &zarvo::PresetManager::redo); };
  callbacks.canUndo = [p] { return canUndo(*p); };
  callbacks.canRedo = [p] { return canRedo(*p); };
  pad.setCallbacks(std::move(callbacks));
}

} // namespace vemlor::ui
