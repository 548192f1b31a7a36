// A font's bytes, owned, with the face index to use and the face's parsed information.
#pragma once

#include <cstdint>

#include "IGfx/IFontInfo.h"
#include "IPlugin/HeapBuf.h"

namespace plugkit::gfx {

class IFontData : public IFontInfo
{
public:
  IFontData() = default;
  // Copies size bytes of data; the information is parsed from the copy.
  IFontData(const void* data, int size, int faceIdx);

  IFontData(const IFontData&) = delete;
  IFontData& operator=(const IFontData&) = delete;

  // Usable for drawing: bytes present, a face index of 0 or more, and the face's tables valid.
  bool IsValid() const { return GetSize() > 0 && mFaceIdx >= 0 && IFontInfo::IsValid(); }

  const unsigned char* Get() const { return static_cast<const unsigned char*>(mBytes.Get()); }
  int GetSize() const { return mBytes.GetSize(); }
  int GetFaceIdx() const { return mFaceIdx; }

private:
  HeapBuf mBytes{4096};
  int mFaceIdx = -1;
};

} // namespace plugkit::gfx
