// Keeps the GL driver a GLX connection loaded in the process after that connection closes.
#pragma once

namespace plugkit::gfx {

// Each editor window opens its own X connection, and closing the last connection to a display
// unloads the driver GLX loaded for it; the next editor then loads, relocates and initialises it
// again (tens of milliseconds for a software rasteriser and its compiler). Called after a context
// is made on the main thread: takes one reference on every GL driver library now loaded, once per
// library for the life of this module.
void HoldLoadedGLDrivers();

// How many driver libraries are held.
int HeldGLDriverCount();

} // namespace plugkit::gfx
