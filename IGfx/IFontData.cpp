#include "IGfx/IFontData.h"

#include <cstring>

namespace plugkit::gfx {

IFontData::IFontData(const void* data, int size, int faceIdx)
  : mFaceIdx(faceIdx)
{
  if (data && size > 0 && mBytes.Resize(size) && mBytes.GetSize() == size)
    std::memcpy(mBytes.Get(), data, static_cast<size_t>(size));
  else
    mBytes.Resize(0);
  Parse(Get(), static_cast<uint32_t>(GetSize()), faceIdx);
}

} // namespace plugkit::gfx
