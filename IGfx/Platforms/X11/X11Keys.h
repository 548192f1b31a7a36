// X11 key events to the framework's key presses (virtual-key codes of the common desktop numbering).
#pragma once

#include <X11/X.h>

#include "IPlugin/IKeyPress.h"

namespace plugkit::gfx {

// keysym: the symbol with Shift and Lock applied (as XLookupString gives it); state: the event's
// modifier mask; keycode: the hardware code, used for keys with neither table entry nor character;
// typed: one character of UTF-8 an input method gave for the press (or null), the text when the
// symbol itself types nothing (layouts beyond Latin-1, dead keys, compose). False for keys that are
// modifiers alone, which the editor never sees.
bool TranslateX11Key(KeySym keysym, unsigned state, unsigned keycode, IKeyPress& key, const char* typed = nullptr);

} // namespace plugkit::gfx
