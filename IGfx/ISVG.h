// A parsed SVG document as the caches own it (SVGHolder) and as drawing code sees it (ISVG).
#pragma once

#include <memory>

#include "IGfx/IPattern.h"
#include "IGfx/SVG/SVGImage.h"

namespace plugkit::gfx {

class SVGHolder
{
public:
  explicit SVGHolder(std::unique_ptr<svg::Image> image)
    : mImage(std::move(image))
  {}
  svg::Image* Get() const { return mImage.get(); }

private:
  std::unique_ptr<svg::Image> mImage;
};

// Non-owning; null when loading failed.
class ISVG
{
public:
  ISVG() = default;
  explicit ISVG(svg::Image* image)
    : mImage(image)
  {}

  float W() const { return mImage ? mImage->width : 0.f; }
  float H() const { return mImage ? mImage->height : 0.f; }
  bool IsValid() const { return mImage != nullptr; }
  svg::Image* GetImage() const { return mImage; }

private:
  svg::Image* mImage = nullptr;
};

// The pattern of an SVG paint: only the shape's opacity sets alpha; gradient stops stay opaque.
IPattern GetSVGPattern(const svg::Paint& paint, float opacity);

} // namespace plugkit::gfx
