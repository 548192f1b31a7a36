// The editor model's own work: the hover help texts and the user tab's layout files.
#include "product/editor/editor_model.h"

#include "IPlugin/IPluginThreadRole.h"
#include "product/patch/prefs_access.h"
#include "product/ui/hover_help_texts.h"
#include "product/ui/vemlor_layout_format.h"

namespace vemlor::ui {

void EditorModel::setTooltips(plugkit::gfx::IGfx& g)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  fillParamHelpTexts(paramHelpTexts);
  setButtonHelpTexts(g);
}

std::string EditorModel::layoutTokenFromId(int id) { return zarvo::layoutTokenFromId(VemlorLayoutFormat(), id); }

int EditorModel::layoutIdFromToken(std::string_view token)
{
  return zarvo::layoutIdFromToken(VemlorLayoutFormat(), token);
}

void EditorModel::saveDefaultUserLayout(const zarvo::UserTabColumns& slots)
{
  // A failed write is not reported: the next end of editing writes again.
  zarvo::saveDefaultUserLayout(VemlorLayoutFormat(), zarvo::vemlorPrefsFilePath(zarvo::kDefaultLayoutFileName), slots);
}

} // namespace vemlor::ui
