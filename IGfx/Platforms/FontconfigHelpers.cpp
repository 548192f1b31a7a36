#include "IGfx/Platforms/FontconfigHelpers.h"

#include <fontconfig/fontconfig.h>

#include <climits>
#include <cstring>
#include <string>
#include <utility>

#include "IGfx/Platforms/FontconfigFont.h"
#include "IGfx/ResourceFile.h"
#include "IPlugin/IPluginPaths.h"

namespace plugkit::gfx {

PlatformFontPtr FontconfigHelpers::LoadPlatformFont(const char*, const char* fileNameOrResID, const char* bundleID,
                                                    const char* sharedResourcesSubPath)
{
  TextString path;
  if (LocateResource(fileNameOrResID, "ttf", path, bundleID, nullptr, sharedResourcesSubPath) == plugkit::kNotFound)
    return nullptr;
  return PlatformFontPtr(new FontconfigFont({}, path.Get(), "", 0, false));
}

namespace {
// Position of value among the pattern's values of that object, or −1.
int ValueIndex(FcPattern* pattern, const char* object, const char* value)
{
  FcChar8* s = nullptr;
  for (int i = 0; FcPatternGetString(pattern, object, i, &s) == FcResultMatch; ++i)
    if (std::strcmp(reinterpret_cast<const char*>(s), value) == 0)
      return i;
  return -1;
}
} // namespace

PlatformFontPtr FontconfigHelpers::LoadPlatformFont(const char*, const char* fontName, ETextStyle style)
{
  if (!fontName || !fontName[0] || !FcInit())
    return nullptr;
  const char* styleName = style == ETextStyle::Bold ? "Bold" : style == ETextStyle::Italic ? "Italic" : "Regular";

  // Listing (not matching) keeps both names mandatory: a match would always offer some font.
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(fontName));
  FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(styleName));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, FC_INDEX, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  if (!set)
    return nullptr;

  // A family or style named first is the face's own; later names are aliases ("Roboto Thin" is also
  // "Roboto", "Regular"). The best face names both earliest; the path breaks ties so the choice is stable.
  std::string bestPath;
  int bestIndex = -1, bestScore = INT_MAX;
  for (int i = 0; i < set->nfont; ++i)
  {
    FcPattern* font = set->fonts[i];
    FcChar8* file = nullptr;
    int index = 0;
    const int familyAt = ValueIndex(font, FC_FAMILY, fontName);
    const int styleAt = ValueIndex(font, FC_STYLE, styleName);
    if (familyAt < 0 || styleAt < 0 || FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch)
      continue;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    const int score = familyAt + styleAt;
    const std::string path(reinterpret_cast<const char*>(file));
    if (score < bestScore || (score == bestScore && path < bestPath))
    {
      bestScore = score;
      bestPath = path;
      bestIndex = index & 0xFFFF; // the upper bits name a variable-font instance
    }
  }
  FcFontSetDestroy(set);
  if (bestPath.empty())
    return nullptr;

  // fontconfig knows which face of a collection it listed; two faces may share a style name.
  return PlatformFontPtr(new FontconfigFont({}, bestPath.c_str(), styleName, bestIndex, true));
}

PlatformFontPtr FontconfigHelpers::LoadPlatformFont(const char*, const void* data, int dataSize)
{
  if (!data || dataSize <= 0)
    return nullptr;
  const auto* begin = static_cast<const unsigned char*>(data);
  return PlatformFontPtr(new FontconfigFont(std::vector<unsigned char>(begin, begin + dataSize), "", "", 0, false));
}

void FontconfigHelpers::CachePlatformFont(const char* fontID, PlatformFont& font,
                                          StaticStorage<FontconfigFontDescriptor>& cache)
{
  StaticStorage<FontconfigFontDescriptor>::Accessor storage(cache);
  if (storage.Find(fontID, 1.0))
    return;
  const std::unique_ptr<IFontData> data = font.GetFontData();
  if (!data || !data->IsValid())
    return;
  auto* descriptor = new FontconfigFontDescriptor;
  descriptor->path.Set(static_cast<const char*>(font.GetDescriptor()));
  descriptor->emRatio = data->GetEmRatio();
  storage.Add(descriptor, fontID, 1.0);
}

StaticStorage<FontconfigFontDescriptor>& FontconfigHelpers::DescriptorCache()
{
  static StaticStorage<FontconfigFontDescriptor> cache;
  return cache;
}

const std::vector<FontconfigHelpers::FallbackFace>& FontconfigHelpers::FallbackFaces()
{
  static const std::vector<FallbackFace> faces = [] {
    std::vector<FallbackFace> found;
    if (!FcInit())
      return found;
    for (const char* lang : {"en", "ru", "el", "zh-cn", "ja", "ko"})
    {
      FcPattern* pattern = FcPatternCreate();
      FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
      FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(lang));
      FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
      FcDefaultSubstitute(pattern);
      FcResult result = FcResultNoMatch;
      FcPattern* match = FcFontMatch(nullptr, pattern, &result);
      FcPatternDestroy(pattern);
      FcChar8* file = nullptr;
      int index = 0;
      if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
      {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FallbackFace face{reinterpret_cast<const char*>(file), index & 0xFFFF};
        bool known = false;
        for (const FallbackFace& f : found)
          known = known || (f.path == face.path && f.faceIdx == face.faceIdx);
        if (!known)
          found.push_back(std::move(face));
      }
      if (match)
        FcPatternDestroy(match);
    }
    return found;
  }();
  return faces;
}

} // namespace plugkit::gfx
