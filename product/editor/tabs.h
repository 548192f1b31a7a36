// What the editor's construction and the idle refresh of its displays share about the tabs.
#pragma once

#include <string>

namespace plugkit {
class IEditorDelegate;
} // namespace plugkit

namespace plugkit::gfx {
class IControl;
class IGfx;
} // namespace plugkit::gfx

namespace vemlor::ui {

// Whether the note-mode stage (0 main, 1 pre-filter A, 2 pre-filter B) follows MIDI notes, by its
// note-on parameter. Main thread.
bool cutoffFollowsNoteParam(const plugkit::IEditorDelegate& plugin, int stage);

// Disables or enables the control when its state differs; nothing for no control. Main thread.
void setDisabledIfChanged(plugkit::gfx::IControl* c, bool disabled);

// While a cutoff follows notes its knob cannot be turned: the first control of the stage's cutoff
// is disabled, or enabled again. Nothing without such a control. Main thread.
void lockCutoffControl(plugkit::gfx::IGfx& g, int stage, bool locked);

// The name of the note nearest to hz ("A4" for 440), followed by "+" or "-" when hz lies more than
// thresholdCents above or below it; empty for no frequency. Pure.
std::string cutoffNoteText(double hz, double thresholdCents);

} // namespace vemlor::ui
