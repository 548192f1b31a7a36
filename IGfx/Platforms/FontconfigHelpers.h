// The platform half of font loading on Linux: by resource file, by family and style through
// fontconfig, or from memory; and the process-wide cache of what the platform knows of each font.
#pragma once

#include "IGfx/IGfx.h"
#include "IGfx/PlatformFont.h"
#include "IGfx/StaticStorage.h"
#include "IPlugin/TextString.h"

#include <string>
#include <vector>

namespace plugkit::gfx {

// What the platform keeps per loaded font: where it came from and its em ratio.
struct FontconfigFontDescriptor
{
  TextString path;
  double emRatio = 1.0;
};

// Main thread; each returns null on the first missing piece.
class FontconfigHelpers
{
public:
  // A resource file ("ttf") of the bundle or the shared resources folder.
  static PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileNameOrResID, const char* bundleID,
                                          const char* sharedResourcesSubPath);
  // An installed font whose family and style ("Regular", "Bold" or "Italic") both match exactly.
  static PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fontName, ETextStyle style);
  static PlatformFontPtr LoadPlatformFont(const char* fontID, const void* data, int dataSize);

  // Adds (fontID, 1.0) once; a font whose data is not valid is not cached.
  static void CachePlatformFont(const char* fontID, PlatformFont& font, StaticStorage<FontconfigFontDescriptor>& cache);

  static StaticStorage<FontconfigFontDescriptor>& DescriptorCache();

  // Installed faces to draw what a loaded font has no glyph for (names of presets, folders and files
  // in any script): the system's sans-serif choice for Latin, Greek and Cyrillic and for the East
  // Asian scripts, each once, in that order. Found once per process; empty without fontconfig.
  struct FallbackFace
  {
    std::string path;
    int faceIdx = 0;
  };
  static const std::vector<FallbackFace>& FallbackFaces();
};

} // namespace plugkit::gfx
