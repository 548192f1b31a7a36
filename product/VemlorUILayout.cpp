// The layout function and its first steps: the frame, the styles, the header, the preset row, the
// registry and the all-controls tab.
#include "product/VemlorUI.h"

#include "IGfx/IGfx.h"
#include "product/Vemlor.h"

namespace vemlor::ui {

void layoutEditor(Vemlor&, plugkit::gfx::IGfx&) {}

EditorStyles makeEditorStyles() { return {}; }

void attachEditorFrame(LayoutPass&) {}

void attachHeader(LayoutPass&) {}

void attachPresetRow(LayoutPass&) {}

void buildEditorRegistry(LayoutPass&) {}

void attachAllControlsTab(LayoutPass&) {}

} // namespace vemlor::ui
