// The screen scale an X server asks for when the host gives none: its Xft.dpi resource over 96.
#pragma once

#include <X11/Xlib.h>

namespace plugkit::gfx {

// From a resource-manager string (as xrdb stores it): Xft.dpi / 96 rounded to a quarter and kept
// within 1 to 4; 1 when the string is null or holds no usable Xft.dpi.
float ScreenScaleFromResources(const char* resources);
// The same from the server's resources as read when display was opened.
float ScreenScaleOfDisplay(Display* display);

} // namespace plugkit::gfx
