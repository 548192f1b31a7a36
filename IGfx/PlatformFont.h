// A font as the platform found it, before its bytes are handed to the drawing backend.
#pragma once

#include <memory>

#include "IGfx/IFontData.h"

namespace plugkit::gfx {

// Main thread.
class PlatformFont
{
public:
  explicit PlatformFont(bool isSystem)
    : mIsSystem(isSystem)
  {}
  virtual ~PlatformFont() = default;

  // What the platform's text services know the font by; null when it has none.
  virtual const void* GetDescriptor() { return nullptr; }
  // A copy of the font's bytes with the face index to draw.
  virtual std::unique_ptr<IFontData> GetFontData() = 0;

  // True for fonts found by family name.
  bool IsSystem() const { return mIsSystem; }

  // The first face whose style name is not empty and equals styleName (any style when it is
  // empty or null); −1 when no face matches.
  static int GetFaceIdx(const void* data, int dataSize, const char* styleName);

private:
  bool mIsSystem;
};

} // namespace plugkit::gfx
