// The open editor's controls as the morph field drives them.
#include "product/editor/morph_editor.h"

#include "IGfx/IGfx.h"
#include "IGfx/IGfxEditorDelegate.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/audio/note_mode_controller.h"
#include "product/editor/tabs.h"
#include "product/params/params.h"
#include "utils/midi_cc/cc_display_control.h"

using plugkit::gfx::IControl;
using plugkit::gfx::IGfx;
using zarvo::NoteModeController;

namespace {

// How visible a control the morph field drives (or otherwise locks) stays.
constexpr float kDrivenControlAlpha = 0.6f;

} // namespace

namespace vemlor::ui {

bool MorphEditor::editorOpen() const { return mDelegate.GetUI() != nullptr; }

void MorphEditor::pushParamsToEditor()
{
  if (!editorOpen())
    return;
  for (int i = 0; i < mDelegate.NParams(); ++i)
    mDelegate.SendParameterValueFromDelegate(i, mDelegate.GetParam(i)->GetNormalized(), true);
}

void MorphEditor::markControlsDirty()
{
  if (IGfx* g = mDelegate.GetUI())
    g->SetAllControlsDirty();
}

void MorphEditor::driveControls(int index, std::optional<double> normalized, bool disabled)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  IGfx* g = mDelegate.GetUI();
  if (!g)
    return;
  for (int s = 0; s < NoteModeController::kNumStages; ++s)
  {
    if (NoteModeController::kStageCutoffParam[static_cast<size_t>(s)] == index)
      disabled = disabled || cutoffFollowsNoteParam(mDelegate, s);
  }
  g->ForControlWithParam(index, [&](IControl* c) {
    if (dynamic_cast<zarvo::midi_cc::CCDisplayControl*>(c))
      return;
    if (c->GetDisabledWeight() != kDrivenControlAlpha)
    {
      c->SetDisabledWeight(kDrivenControlAlpha);
      if (c->IsDisabled())
        c->SetDisabled(true);
    }
    if (normalized)
      c->SetValueFromDelegate(*normalized, c->LinkedToParam(index));
    // The depth and tilt knobs' state follows the main filter's shape, whose refresher owns it.
    if (index != zarvo::par_main_pt_depth && index != zarvo::par_main_pt_tilt)
      setDisabledIfChanged(c, disabled);
  });
}

} // namespace vemlor::ui
