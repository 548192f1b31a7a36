// The layout's morph page below the band and the preset browser over the whole editor.
#include "product/VemlorUI.h"

#include "IGfx/IGfx.h"
#include "product/Vemlor.h"

namespace vemlor::ui {

void attachMorphPage(LayoutPass&) {}

void attachPresetBrowser(LayoutPass&) {}

} // namespace vemlor::ui
