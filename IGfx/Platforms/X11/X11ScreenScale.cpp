#include "IGfx/Platforms/X11/X11ScreenScale.h"

#include <X11/Xresource.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace plugkit::gfx {

float ScreenScaleFromResources(const char* resources)
{
  if (resources == nullptr)
    return 1.f;
  XrmInitialize();
  XrmDatabase db = XrmGetStringDatabase(resources);
  if (db == nullptr)
    return 1.f;
  char* type = nullptr;
  XrmValue value{};
  double dpi = 0.0;
  if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr)
  {
    const std::string text(value.addr, value.size); // strtod stops at the terminator
    char* end = nullptr;
    dpi = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(dpi))
      dpi = 0.0;
  }
  XrmDestroyDatabase(db);
  if (!(dpi > 0.0))
    return 1.f;
  const double quarters = std::round(dpi / 96.0 * 4.0) / 4.0;
  return static_cast<float>(std::clamp(quarters, 1.0, 4.0));
}

float ScreenScaleOfDisplay(Display* display)
{
  return display ? ScreenScaleFromResources(XResourceManagerString(display)) : 1.f;
}

} // namespace plugkit::gfx
