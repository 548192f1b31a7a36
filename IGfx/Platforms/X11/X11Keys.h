// X11 key events to the framework's key presses (virtual-key codes of the common desktop numbering).
#pragma once

#include <X11/X.h>

#include "IPlugin/IKeyPress.h"

namespace plugkit::gfx {

// keysym: the symbol with Shift and Lock applied (as XLookupString gives it); state: the event's
// modifier mask; keycode: the hardware code, used for keys with neither table entry nor character.
// False for keys that are modifiers alone, which the editor never sees.
bool TranslateX11Key(KeySym keysym, unsigned state, unsigned keycode, IKeyPress& key);

} // namespace plugkit::gfx
