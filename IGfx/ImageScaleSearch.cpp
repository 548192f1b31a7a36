#include "IGfx/ImageScaleSearch.h"

namespace plugkit::gfx {

std::vector<int> ImageScaleSearchOrder(int targetScale)
{
  std::vector<int> order;
  if (targetScale <= 0)
    return order;
  order.push_back(targetScale);
  if (targetScale != 3)
    order.push_back(3);
  for (int s = 2; s >= 1; --s)
    if (s != targetScale)
      order.push_back(s);
  return order;
}

std::string ScaledImageName(const char* name, int scale)
{
  std::string file(name ? name : "");
  if (scale == 1)
    return file;
  const size_t slash = file.find_last_of("/\\");
  const size_t dot = file.find_last_of('.');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string tag = "@" + std::to_string(scale) + "x";
  if (hasExt)
    file.insert(dot, tag);
  else
    file += tag;
  return file;
}

} // namespace plugkit::gfx
