// The open editor's displays: readouts, disabled states, modulation depths, hover help, and the
// user tab's layout-file codec.
#include "product/Vemlor.h"

#include "IGfx/IGfx.h"
#include "product/VemlorUI.h"

void Vemlor::refreshEditorDisplays() {}

void Vemlor::setTooltips(plugkit::gfx::IGfx&) {}

void Vemlor::updateHelpTooltip() {}

void Vemlor::refreshModDepths() {}

void Vemlor::refreshFreqNoteDisplays() {}

void Vemlor::refreshMainPTShapeUI() {}

void Vemlor::refreshPreFltPTShapeUI() {}

std::string Vemlor::layoutTokenFromId(int) { return {}; }

int Vemlor::layoutIdFromToken(std::string_view) { return -1; }

void Vemlor::saveDefaultUserLayout(const std::vector<std::vector<int>>&) const {}
