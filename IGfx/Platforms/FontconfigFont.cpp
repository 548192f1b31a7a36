#include "IGfx/Platforms/FontconfigFont.h"

#include <atomic>
#include <utility>

#include "IGfx/ResourceFile.h"

namespace plugkit::gfx {

FontconfigFont::FontconfigFont(std::vector<unsigned char> bytes, const char* path, const char* styleName, int faceIdx,
                               bool isSystem)
  : PlatformFont(isSystem)
  , mBytes(std::move(bytes))
  , mPath(path ? path : "")
  , mStyleName(styleName ? styleName : "")
  , mFaceIdx(faceIdx)
{}

namespace {
std::atomic<int> sFileReads{0};
}

int FontconfigFont::FileReads() { return sFileReads.load(); }

std::unique_ptr<IFontData> FontconfigFont::GetFontData()
{
  if (mBytes.empty() && mPath.GetLength())
  {
    mBytes = ReadResourceFile(mPath.Get());
    ++sFileReads;
  }
  const int size = static_cast<int>(mBytes.size());
  int faceIdx = mFaceIdx;
  if (faceIdx < 0)
    faceIdx = mStyleName.GetLength() ? GetFaceIdx(mBytes.data(), size, mStyleName.Get()) : 0;
  return std::make_unique<IFontData>(mBytes.data(), size, faceIdx);
}

} // namespace plugkit::gfx
