// The plug-in's parameters as the morph field reaches them.
#include "product/VemlorMorphParams.h"

#include "IPlugin/IPluginEditorDelegate.h"
#include "product/audio/note_mode_controller.h"
#include "product/state/cc_mod_settings.h"

plugkit::IParam& VemlorMorphParams::param(int index) { return *mDelegate.GetParam(index); }

const plugkit::IParam& VemlorMorphParams::param(int index) const { return *mDelegate.GetParam(index); }

void VemlorMorphParams::editParamFromEditor(int index, double normalized)
{
  mDelegate.BeginInformHostOfParamChangeFromUI(index);
  mDelegate.SendParameterValueFromUI(index, normalized);
  mDelegate.EndInformHostOfParamChangeFromUI(index);
}

bool VemlorMorphParams::heldByController(int index) const { return mCCMod.held(index); }

bool VemlorMorphParams::cutoffFollowsNotes(int index) const { return mNoteMode.isCutoffNoteModeOn(index); }
