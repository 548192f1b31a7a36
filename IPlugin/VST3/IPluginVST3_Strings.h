// Conversions between the framework's UTF-8 texts and the UTF-16 texts of the VST3 interfaces.
#pragma once

#include <string>

#include "pluginterfaces/base/ftypes.h"

namespace plugkit {

// Any thread. Writes text as UTF-16 into dst, at most maxUnits units including the terminator, never
// splitting a surrogate pair; malformed UTF-8 becomes U+FFFD. Nothing is written when maxUnits < 1.
void UTF8ToUTF16(const char* text, Steinberg::char16* dst, int maxUnits);

// Main thread (allocates). UTF-16 up to the first zero or maxUnits units, as UTF-8; unpaired
// surrogates become U+FFFD.
std::string UTF16ToUTF8(const Steinberg::char16* text, int maxUnits);

} // namespace plugkit
