// Construction of the controls a user may learn a MIDI controller for.
#pragma once

#include <utility>

#include "IGfx/IControl.h"
#include "utils/midi_cc/cc_mediator.h"

namespace vemlor::ui {

using Mediator = zarvo::midi_cc::CCMediator;

// Main thread. A new, unattached T made with args, learnable through the controller map; the
// mediator must outlive the control.
template <class T, class... Args>
T* makeLearnable(Mediator& mediator, Args&&... args)
{
  return mediator.createLearnable<T>(std::forward<Args>(args)...);
}

} // namespace vemlor::ui
