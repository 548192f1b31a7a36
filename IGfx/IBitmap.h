// Backend bitmaps (APIBitmap) and the handle the drawing API passes around (IBitmap).
#pragma once

#include "IPlugin/TextString.h"

namespace plugkit::gfx {

// A backend image: its handle, size in device pixels, the image scale it was made for and the draw
// scale it was rendered at. Backends derive from it to own the image.
class APIBitmap
{
public:
  APIBitmap() = default;
  APIBitmap(int bitmap, int width, int height, float scale, float drawScale)
    : mBitmap(bitmap)
    , mWidth(width)
    , mHeight(height)
    , mScale(scale)
    , mDrawScale(drawScale)
  {}
  virtual ~APIBitmap() = default;
  APIBitmap(const APIBitmap&) = delete;
  APIBitmap& operator=(const APIBitmap&) = delete;

  void SetBitmap(int bitmap, int width, int height, float scale, float drawScale)
  {
    mBitmap = bitmap;
    mWidth = width;
    mHeight = height;
    mScale = scale;
    mDrawScale = drawScale;
  }
  int GetBitmap() const { return mBitmap; }
  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  float GetScale() const { return mScale; }
  float GetDrawScale() const { return mDrawScale; }

private:
  int mBitmap = 0;
  int mWidth = 0;
  int mHeight = 0;
  float mScale = 1.f;
  float mDrawScale = 1.f;
};

// Does not own its APIBitmap: a cache or a layer does.
class IBitmap
{
public:
  IBitmap() = default;
  IBitmap(APIBitmap* bitmap, int nFrames, bool framesAreHorizontal, const char* name = "")
    : mAPIBitmap(bitmap)
    , mN(nFrames < 1 ? 1 : nFrames)
    , mFramesAreHorizontal(framesAreHorizontal)
    , mResourceName(name ? name : "")
  {
    if (bitmap && bitmap->GetScale() > 0.f)
    {
      mW = static_cast<int>(static_cast<float>(bitmap->GetWidth()) / bitmap->GetScale());
      mH = static_cast<int>(static_cast<float>(bitmap->GetHeight()) / bitmap->GetScale());
    }
  }

  // In UI units: the whole image, and one frame of it.
  int W() const { return mW; }
  int H() const { return mH; }
  int FW() const { return mFramesAreHorizontal ? mW / mN : mW; }
  int FH() const { return mFramesAreHorizontal ? mH : mH / mN; }
  int N() const { return mN; }
  bool GetFramesAreHorizontal() const { return mFramesAreHorizontal; }
  APIBitmap* GetAPIBitmap() const { return mAPIBitmap; }
  float GetScale() const { return mAPIBitmap ? mAPIBitmap->GetScale() : 1.f; }
  float GetDrawScale() const { return mAPIBitmap ? mAPIBitmap->GetDrawScale() : 1.f; }
  const char* GetResourceName() const { return mResourceName.Get(); }
  bool IsValid() const { return mAPIBitmap != nullptr; }

private:
  APIBitmap* mAPIBitmap = nullptr;
  int mW = 0;
  int mH = 0;
  int mN = 1;
  bool mFramesAreHorizontal = false;
  TextString mResourceName;
};

} // namespace plugkit::gfx
