// The editor's construction, size, tabs and scale as the plug-in runs them.
#include "product/Vemlor.h"

#include "IGfx/IGfx.h"
#include "product/VemlorUI.h"

// Placeholder until the editor's construction lands: no layout, an editor never reported open.
void Vemlor::initializeLayout() {}

void Vemlor::OnUIOpen() {}

void Vemlor::rebuildMorphLayout() {}

bool Vemlor::setPendingUIScale() { return true; }

void Vemlor::applyPresetStripToggleLock() {}

void Vemlor::persistUIScalePrefIfSettled() {}

bool Vemlor::tryUpdateLayout()
{
  // A turn-off waiting for its bake is committed even while the editor is closed.
  mMorph->commitTurningOffIfPending();
  return true;
}

void Vemlor::redrawMorphPad() {}
