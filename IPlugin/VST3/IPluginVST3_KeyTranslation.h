// Key events a host forwards through IPlugView::onKeyDown/onKeyUp to the framework's key press.
#pragma once

#include "IPlugin/IKeyPress.h"

#include "pluginterfaces/base/ftypes.h"

namespace plugkit {

// The SDK's virtual key code to the framework's virtual key (the common desktop numbering);
// character is the typed ASCII character, used when the key has no code of its own.
int32_t VSTKeyCodeToVK(Steinberg::int16 keyCode, char character);

// key: the UTF-16 character or 0; keyCode: the SDK's virtual key code; modifiers: the SDK's
// modifier bits (shift 1, alternate 2, command 4, control 8; control is not carried).
IKeyPress TranslateKeyMessage(Steinberg::char16 key, Steinberg::int16 keyCode, Steinberg::int16 modifiers);

} // namespace plugkit
