// The process-wide caches of parsed SVG documents and bitmaps, shared by every graphics context.
#pragma once

#include "IGfx/IBitmap.h"
#include "IGfx/ISVG.h"
#include "IGfx/StaticStorage.h"

namespace plugkit::gfx {

// Keyed by resource name at scale 1.
StaticStorage<SVGHolder>& SharedSVGCache();
// Keyed by resource name and integer image scale.
StaticStorage<APIBitmap>& SharedBitmapCache();

} // namespace plugkit::gfx
