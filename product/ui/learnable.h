// Construction of the controls a user may learn a MIDI controller for.
#pragma once

#include <utility>

#include "IGfx/IControl.h"
#include "utils/midi_cc/cc_mediator.h"

class Vemlor;

namespace vemlor::ui {

using Mediator = zarvo::midi_cc::CCMediator<Vemlor>;

// Main thread. A new, unattached T made with args and joined to the controller map through the
// mediator, which must outlive the control.
template <class T, class... Args>
plugkit::gfx::IControl* makeLearnable(Mediator& mediator, Args&&... args)
{
  // The learnable decorator is not part of this build yet: the plain control stands in for it.
  (void)mediator;
  return new T(std::forward<Args>(args)...);
}

} // namespace vemlor::ui
