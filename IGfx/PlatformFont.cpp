#include "IGfx/PlatformFont.h"

#include "IGfx/IGfx.h"

#include <cstring>

namespace plugkit::gfx {

void PlatformFontDeleter::operator()(PlatformFont* font) const { delete font; }

int PlatformFont::GetFaceIdx(const void* data, int dataSize, const char* styleName)
{
  if (!data || dataSize <= 0)
    return -1;
  for (int idx = 0;; ++idx)
  {
    const IFontInfo info(static_cast<const unsigned char*>(data), static_cast<uint32_t>(dataSize), idx);
    if (!info.IsValid())
      return -1;
    const char* style = info.GetStyle().Get();
    if (style[0] && (!styleName || !styleName[0] || std::strcmp(style, styleName) == 0))
      return idx;
  }
}

} // namespace plugkit::gfx
