// A font found on Linux: its file's bytes, and the face to draw from them.
#pragma once

#include <vector>

#include "IGfx/PlatformFont.h"
#include "IPlugin/TextString.h"

namespace plugkit::gfx {

// Main thread.
class FontconfigFont : public PlatformFont
{
public:
  // faceIdx < 0 picks the face by styleName (the first named face when styleName is empty). Without
  // bytes the file at path is read when the data is first asked for, so a font whose bytes are already
  // held elsewhere is never read again.
  FontconfigFont(std::vector<unsigned char> bytes, const char* path, const char* styleName, int faceIdx, bool isSystem);

  // Font files read by every FontconfigFont of the process.
  static int FileReads();

  // The file path the font came from (empty for fonts from memory).
  const void* GetDescriptor() override { return mPath.Get(); }
  std::unique_ptr<IFontData> GetFontData() override;

  const char* GetPath() const { return mPath.Get(); }

private:
  std::vector<unsigned char> mBytes;
  TextString mPath;
  TextString mStyleName;
  int mFaceIdx;
};

} // namespace plugkit::gfx
