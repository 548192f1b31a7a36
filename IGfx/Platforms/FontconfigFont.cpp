#include "IGfx/Platforms/FontconfigFont.h"

#include <utility>

namespace plugkit::gfx
{

FontconfigFont::FontconfigFont(std::vector<unsigned char> bytes, const char* path, const char* styleName, int faceIdx,
                               bool isSystem)
  : PlatformFont(isSystem), mBytes(std::move(bytes)), mPath(path ? path : ""), mStyleName(styleName ? styleName : ""),
    mFaceIdx(faceIdx)
{
}

std::unique_ptr<IFontData> FontconfigFont::GetFontData()
{
  const int size = static_cast<int>(mBytes.size());
  int faceIdx = mFaceIdx;
  if (faceIdx < 0)
    faceIdx = mStyleName.GetLength() ? GetFaceIdx(mBytes.data(), size, mStyleName.Get()) : 0;
  return std::make_unique<IFontData>(mBytes.data(), size, faceIdx);
}

} // namespace plugkit::gfx
