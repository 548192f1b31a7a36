// The layout's frequencies tab, user tab, help and about controls, initial visibility and closing steps.
#include "product/VemlorUI.h"

#include "IGfx/IGfx.h"
#include "product/Vemlor.h"

namespace vemlor::ui {

void attachFrequenciesTab(LayoutPass&) {}

void attachUserTab(LayoutPass&) {}

void attachHelpAndAbout(LayoutPass&) {}

void applyInitialVisibility(LayoutPass&) {}

void finishLayout(LayoutPass&) {}

} // namespace vemlor::ui
