// The plug-in's parameters as the morph field reads and changes them.
#pragma once

#include "utils/morph/morph_host.h"

namespace plugkit {
class IEditorDelegate;
} // namespace plugkit

namespace zarvo {
class CCModSettings;
class NoteModeController;
} // namespace zarvo

// Main thread, except `param`, whose constant data the audio thread reads.
class VemlorMorphParams final : public zarvo::morph::IMorphParams
{
public:
  // The delegate holds the parameters and takes the editor's gestures; every change the plug-in makes
  // to its own parameters goes through `edits`; the controller settings and the note mode tell which
  // parameters the field leaves alone.
  VemlorMorphParams(plugkit::IEditorDelegate& delegate, zarvo::ParamEdits& edits, const zarvo::CCModSettings& ccMod,
                    const zarvo::NoteModeController& noteMode)
    : mDelegate(delegate)
    , mEdits(edits)
    , mCCMod(ccMod)
    , mNoteMode(noteMode)
  {}

  plugkit::IParam& param(int index) override;
  const plugkit::IParam& param(int index) const override;
  zarvo::ParamEdits* paramEdits() override { return &mEdits; }
  void editParamFromEditor(int index, double normalized) override;
  bool heldByController(int index) const override;
  bool cutoffFollowsNotes(int index) const override;

private:
  plugkit::IEditorDelegate& mDelegate;
  zarvo::ParamEdits& mEdits;
  const zarvo::CCModSettings& mCCMod;
  const zarvo::NoteModeController& mNoteMode;
};
