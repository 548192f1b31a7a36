// Random bytes as a font file or collection: every face either parses within bounds or is not valid.
#include <cstddef>
#include <cstdint>

#include "IGfx/IFontInfo.h"
#include "IGfx/PlatformFont.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace plugkit::gfx;
  for (int face = 0; face < 4; ++face)
  {
    const IFontInfo info(data, static_cast<uint32_t>(size), face);
    if (info.IsValid())
    {
      (void)info.GetFontString(3, IFontInfo::kMacintosh);
      if (!(info.GetEmRatio() > 0))
        __builtin_trap();
    }
  }
  (void)PlatformFont::GetFaceIdx(data, static_cast<int>(size), "Bold");
  return 0;
}
