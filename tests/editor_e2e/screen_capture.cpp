#include "tests/editor_e2e/screen_capture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace vemlor::e2e {

std::string toString(const Rgb& c)
{
  return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

Rgb ScreenCapture::at(float x, float y) const
{
  const long col = std::lround(std::floor(x * scale)) - left;
  const long row = std::lround(std::floor(y * scale)) - top;
  if (col < 0 || row < 0 || col >= width || row >= height)
    return {};
  const size_t i = (static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(col)) * 3;
  return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

bool ScreenCapture::contains(float l, float t, float r, float b, const Rgb& c, int tolerance) const
{
  const int c0 = std::max(0, static_cast<int>(l * scale) - left);
  const int c1 = std::min(width, static_cast<int>(r * scale) - left);
  const int r0 = std::max(0, static_cast<int>(t * scale) - top);
  const int r1 = std::min(height, static_cast<int>(b * scale) - top);
  for (int row = r0; row < r1; ++row)
    for (int col = c0; col < c1; ++col)
    {
      const size_t i = (static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(col)) * 3;
      if (std::abs(rgb[i] - c.r) <= tolerance && std::abs(rgb[i + 1] - c.g) <= tolerance &&
          std::abs(rgb[i + 2] - c.b) <= tolerance)
        return true;
    }
  return false;
}

std::string screenshotFolder()
{
  std::filesystem::create_directories(VEMLOR_SCREENSHOT_DIR);
  return VEMLOR_SCREENSHOT_DIR;
}

bool ScreenCapture::writePng(const std::string& name) const
{
  if (!*this)
    return false;
  const std::string path = screenshotFolder() + "/" + name + ".png";
  return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

ScreenCapture captureWindow(_XDisplay* d, unsigned long window, float scale)
{
  return captureWindow(d, window, scale, 0.f, 0.f, 1e6f, 1e6f);
}

ScreenCapture captureWindow(_XDisplay* d, unsigned long window, float scale, float l, float t, float r, float b)
{
  ScreenCapture out;
  if (!window)
    return out;
  XSync(d, False);
  XWindowAttributes attributes{};
  XWindowAttributes rootAttributes{};
  ::Window root = DefaultRootWindow(d), unused = 0;
  int x = 0, y = 0;
  if (!XGetWindowAttributes(d, window, &attributes) || !XGetWindowAttributes(d, root, &rootAttributes) ||
      !XTranslateCoordinates(d, window, root, 0, 0, &x, &y, &unused))
    return out;
  // The root window's pixels: what a user sees, GL content included.
  const int left = std::clamp(static_cast<int>(std::floor(l * scale)), 0, attributes.width);
  const int top = std::clamp(static_cast<int>(std::floor(t * scale)), 0, attributes.height);
  const int right = std::clamp(static_cast<int>(std::ceil(r * scale)), left, attributes.width);
  const int bottom = std::clamp(static_cast<int>(std::ceil(b * scale)), top, attributes.height);
  x += left;
  y += top;
  const int width = std::min(right - left, rootAttributes.width - x);
  const int height = std::min(bottom - top, rootAttributes.height - y);
  if (x < 0 || y < 0 || width <= 0 || height <= 0)
    return out;
  XImage* image =
    XGetImage(d, root, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image)
    return out;
  out.width = width;
  out.height = height;
  out.scale = scale;
  out.left = left;
  out.top = top;
  out.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  size_t i = 0;
  const bool direct = image->bits_per_pixel == 32 && image->red_mask == 0xff0000 && image->green_mask == 0xff00 &&
                      image->blue_mask == 0xff && image->byte_order == LSBFirst;
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col)
    {
      if (direct)
      {
        // B, G, R, pad in memory.
        const auto* p = reinterpret_cast<const uint8_t*>(image->data) + row * image->bytes_per_line + col * 4;
        out.rgb[i++] = p[2];
        out.rgb[i++] = p[1];
        out.rgb[i++] = p[0];
        continue;
      }
      const unsigned long pixel = XGetPixel(image, col, row);
      out.rgb[i++] = static_cast<uint8_t>((pixel & image->red_mask) >> 16);
      out.rgb[i++] = static_cast<uint8_t>((pixel & image->green_mask) >> 8);
      out.rgb[i++] = static_cast<uint8_t>(pixel & image->blue_mask);
    }
  XDestroyImage(image);
  return out;
}

} // namespace vemlor::e2e
