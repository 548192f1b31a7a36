// What the editor's construction and the idle refresh of its displays share about the tabs.
#pragma once

class Vemlor;

namespace plugkit::gfx {
class IGfx;
} // namespace plugkit::gfx

namespace vemlor::ui {

// Whether the note-mode stage (0 main, 1 pre-filter A, 2 pre-filter B) follows MIDI notes, by its
// note-on parameter. Main thread.
bool cutoffFollowsNoteParam(const Vemlor& plugin, int stage);

// While a cutoff follows notes its knob cannot be turned: the first control of the stage's cutoff
// is disabled, or enabled again. Nothing without such a control. Main thread.
void lockCutoffControl(plugkit::gfx::IGfx& g, int stage, bool locked);

} // namespace vemlor::ui
