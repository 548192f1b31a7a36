// Resources: locating and reading files, the process-wide SVG and bitmap caches, scaled image search,
// bitmap scaling and font loading.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>

#include "IGfx/IBitmap.h"
#include "IGfx/IGfx.h"
#include "IGfx/ILayer.h"
#include "IGfx/ISVG.h"
#include "IGfx/ImageScaleSearch.h"
#include "IGfx/PlatformFont.h"
#include "IGfx/ResourceCaches.h"
#include "IGfx/ResourceFile.h"
#include "IPlugin/IPluginPaths.h"

namespace plugkit::gfx {

StaticStorage<SVGHolder>& SharedSVGCache()
{
  static StaticStorage<SVGHolder> cache;
  return cache;
}

StaticStorage<APIBitmap>& SharedBitmapCache()
{
  static StaticStorage<APIBitmap> cache;
  return cache;
}

namespace {
// The extension after the last "." of the name, or the whole name without one.
std::string Extension(const char* name)
{
  const char* dot = std::strrchr(name, '.');
  return dot ? std::string(dot + 1) : std::string(name);
}

EResourceLocation Locate(const IGfx& g, const char* name, const char* type, TextString& path)
{
  return plugkit::LocateResource(name, type, path, g.GetBundleID(), nullptr, g.GetSharedResourcesSubPath()) ==
             plugkit::kNotFound
           ? EResourceLocation::NotFound
           : EResourceLocation::AbsolutePath;
}
} // namespace

void IGfx::RetainResourceCaches()
{
  StaticStorage<APIBitmap>::Accessor bitmaps(SharedBitmapCache());
  StaticStorage<SVGHolder>::Accessor svgs(SharedSVGCache());
  bitmaps.Retain();
  svgs.Retain();
}

void IGfx::ReleaseResourceCaches()
{
  StaticStorage<APIBitmap>::Accessor bitmaps(SharedBitmapCache());
  StaticStorage<SVGHolder>::Accessor svgs(SharedSVGCache());
  bitmaps.Release();
  svgs.Release();
}

RawBitmapData IGfx::LoadResource(const char* fileNameOrResID, const char* fileType)
{
  TextString path;
  if (!fileNameOrResID || Locate(*this, fileNameOrResID, fileType, path) == EResourceLocation::NotFound)
    return {};
  return ReadResourceFile(path.Get());
}

ISVG IGfx::LoadSVG(const char* fileNameOrResID, const char* units, float dpi)
{
  StaticStorage<SVGHolder>::Accessor cache(SharedSVGCache());
  if (SVGHolder* held = cache.Find(fileNameOrResID, 1.0))
    return ISVG(held->Get());
  const RawBitmapData data = LoadResource(fileNameOrResID, "svg");
  if (data.empty())
    return ISVG();
  return LoadSVG(fileNameOrResID, data.data(), static_cast<int>(data.size()), units, dpi);
}

ISVG IGfx::LoadSVG(const char* name, const void* pData, int dataSize, const char* units, float dpi)
{
  StaticStorage<SVGHolder>::Accessor cache(SharedSVGCache());
  if (SVGHolder* held = cache.Find(name, 1.0))
    return ISVG(held->Get());
  if (!pData)
    return ISVG();
  const char* bytes = static_cast<const char*>(pData);
  // The text ends at the first zero byte or after dataSize bytes.
  const size_t length = dataSize > 0 ? strnlen(bytes, static_cast<size_t>(dataSize)) : std::strlen(bytes);
  const std::string text(bytes, length);
  std::unique_ptr<svg::Image> image = svg::ParseSVG(text.c_str(), units, dpi);
  if (!image)
    return ISVG();
  auto* holder = new SVGHolder(std::move(image));
  cache.Add(holder, name, 1.0);
  return ISVG(holder->Get());
}

EResourceLocation IGfx::SearchImageResource(const char* name, const char* type, TextString& result, int targetScale,
                                            int& sourceScale)
{
  for (int s : ImageScaleSearchOrder(targetScale))
  {
    const std::string file = ScaledImageName(name, s);
    const EResourceLocation found = Locate(*this, file.c_str(), type, result);
    if (found != EResourceLocation::NotFound)
    {
      sourceScale = s;
      return found;
    }
  }
  return EResourceLocation::NotFound;
}

APIBitmap* IGfx::FindCachedBitmap(const char* name, int scale)
{
  return StaticStorage<APIBitmap>::Accessor(SharedBitmapCache()).Find(name, scale);
}

APIBitmap* IGfx::SearchBitmapInCache(const char* name, int targetScale, int& sourceScale)
{
  StaticStorage<APIBitmap>::Accessor cache(SharedBitmapCache());
  for (int s : ImageScaleSearchOrder(targetScale))
    if (APIBitmap* bitmap = FindCachedBitmap(name, s))
    {
      sourceScale = s;
      return bitmap;
    }
  return nullptr;
}

IBitmap IGfx::LoadBitmap(const char* name, int nStates, bool framesAreHorizontal, int targetScale)
{
  if (targetScale == 0)
    targetScale = static_cast<int>(std::ceil(GetScreenScale()));
  StaticStorage<APIBitmap>::Accessor cache(SharedBitmapCache());
  if (APIBitmap* cached = cache.Find(name, targetScale))
    return IBitmap(cached, nStates, framesAreHorizontal, name);

  const std::string ext = Extension(name);
  if (!BitmapExtSupported(ext.c_str()))
    return IBitmap();

  int sourceScale = 0;
  TextString path;
  APIBitmap* bitmap = nullptr;
  bool loaded = false;
  const EResourceLocation found = SearchImageResource(name, ext.c_str(), path, targetScale, sourceScale);
  if (found != EResourceLocation::NotFound)
  {
    bitmap = sourceScale != targetScale ? cache.Find(name, sourceScale) : nullptr;
    if (!bitmap)
    {
      bitmap = LoadAPIBitmap(path.Get(), sourceScale, found, ext.c_str());
      loaded = bitmap != nullptr;
    }
  }
  else
    bitmap = SearchBitmapInCache(name, targetScale, sourceScale);
  if (!bitmap)
    return IBitmap();

  if (sourceScale == targetScale)
  {
    if (loaded)
      cache.Add(bitmap, name, sourceScale);
    return IBitmap(bitmap, nStates, framesAreHorizontal, name);
  }
  const IBitmap scaled = ScaleBitmap(IBitmap(bitmap, nStates, framesAreHorizontal, name), name, targetScale);
  if (loaded)
    delete bitmap;
  return scaled;
}

IBitmap IGfx::LoadBitmap(const char* name, const void* pData, int dataSize, int nStates, bool framesAreHorizontal,
                         int targetScale)
{
  if (targetScale == 0)
    targetScale = static_cast<int>(std::ceil(GetScreenScale()));
  StaticStorage<APIBitmap>::Accessor cache(SharedBitmapCache());
  const std::string ext = Extension(name);
  if (!BitmapExtSupported(ext.c_str()))
    return IBitmap();
  int sourceScale = 0;
  APIBitmap* bitmap = SearchBitmapInCache(name, targetScale, sourceScale);
  if (bitmap && sourceScale == targetScale)
    return IBitmap(bitmap, nStates, framesAreHorizontal, name);
  bool decoded = false;
  if (!bitmap)
  {
    bitmap = LoadAPIBitmap(name, pData, dataSize, 1);
    sourceScale = 1;
    decoded = bitmap != nullptr;
  }
  if (!bitmap)
    return IBitmap();
  if (sourceScale == targetScale)
  {
    // A backend that keeps what it decodes owns it already; the shared cache must not delete it too.
    if (decoded && !KeepsDecodedBitmaps() && !cache.Find(name, sourceScale))
      cache.Add(bitmap, name, sourceScale);
    return IBitmap(bitmap, nStates, framesAreHorizontal, name);
  }
  const IBitmap scaled = ScaleBitmap(IBitmap(bitmap, nStates, framesAreHorizontal, name), name, targetScale);
  if (decoded && !KeepsDecodedBitmaps())
    delete bitmap;
  return scaled;
}

IBitmap IGfx::ScaleBitmap(const IBitmap& inBitmap, const char* cacheName, int targetScale)
{
  const float screenScale = GetScreenScale(), drawScale = GetDrawScale();
  SetScreenScaleField(static_cast<float>(targetScale));
  SetDrawScaleField(inBitmap.GetDrawScale());
  const float ds = inBitmap.GetDrawScale();
  const IRECT bounds(0.f, 0.f, static_cast<float>(inBitmap.GetAPIBitmap()->GetWidth()) / ds,
                     static_cast<float>(inBitmap.GetAPIBitmap()->GetHeight()) / ds);
  StartLayer(nullptr, bounds, true);
  DrawBitmap(inBitmap, bounds, 0, 0, nullptr);
  ILayerPtr layer = EndLayer();
  IBitmap result;
  if (layer)
  {
    result = IBitmap(layer->ReleaseAPIBitmap(), inBitmap.N(), inBitmap.GetFramesAreHorizontal(), cacheName);
    RetainBitmap(result, cacheName);
  }
  SetScreenScaleField(screenScale);
  SetDrawScaleField(drawScale);
  return result;
}

IBitmap IGfx::GetScaledBitmap(IBitmap& inBitmap)
{
  return LoadBitmap(inBitmap.GetResourceName(), inBitmap.N(), inBitmap.GetFramesAreHorizontal(),
                    static_cast<int>(std::ceil(GetScreenScale())));
}

void IGfx::RetainBitmap(const IBitmap& bitmap, const char* cacheName)
{
  if (APIBitmap* b = bitmap.GetAPIBitmap())
    StaticStorage<APIBitmap>::Accessor(SharedBitmapCache()).Add(b, cacheName, b->GetScale());
}

void IGfx::ReleaseBitmap(const IBitmap& bitmap)
{
  if (APIBitmap* b = bitmap.GetAPIBitmap())
    StaticStorage<APIBitmap>::Accessor(SharedBitmapCache()).Remove(b);
}

namespace {
bool RegisterFont(IGfx& g, const char* fontID, const PlatformFontPtr& font)
{
  if (!font)
    return false;
  const bool ok = g.LoadAPIFont(fontID, font);
  if (ok)
    g.CachePlatformFont(fontID, font);
  return ok;
}
} // namespace

bool IGfx::LoadFont(const char* fontID, const char* fileNameOrResID)
{
  return RegisterFont(*this, fontID, LoadPlatformFont(fontID, fileNameOrResID));
}

bool IGfx::LoadFont(const char* fontID, void* pData, int dataSize)
{
  return RegisterFont(*this, fontID, LoadPlatformFont(fontID, pData, dataSize));
}

bool IGfx::LoadFont(const char* fontID, const char* fontName, ETextStyle style)
{
  return RegisterFont(*this, fontID, LoadPlatformFont(fontID, fontName, style));
}

} // namespace plugkit::gfx
