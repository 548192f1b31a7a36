// The morph page's side of the plug-in: the pad's edit affordance and the field's appearance.
#include "product/Vemlor.h"

#include "IGfx/IGfx.h"
#include "product/VemlorUI.h"

void Vemlor::pulseEditAffordance() {}

void Vemlor::applyMorphAppearance(float, int, float) {}

void Vemlor::persistMorphFieldPrefsIfChanged() {}
