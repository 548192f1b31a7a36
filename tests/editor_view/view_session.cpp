#include "tests/editor_view/view_session.h"

#include <X11/Xutil.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace vemlor::viewtest {

using namespace Steinberg;

ViewSession::ViewSession(float drawScale, bool offerRunLoopOnContext, int parentWidth, int parentHeight)
  : host(offerRunLoopOnContext)
  , parent(parentWidth, parentHeight)
  , plug(new KnobPlugin(drawScale))
{
  initialized = plug->initialize(&host.application()) == kResultOk;
  plug->setComponentHandler(&host.handler());
}

ViewSession::~ViewSession()
{
  close();
  plug->setComponentHandler(nullptr);
  plug->terminate();
  plug->release();
}

bool ViewSession::open(float screenScale)
{
  view = plug->createView(Vst::ViewType::kEditor);
  if (!view || view->setFrame(&host.frame()) != kResultTrue)
    return false;
  if (screenScale != 1.f)
  {
    IPlugViewContentScaleSupport* scaling = nullptr;
    if (view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)) != kResultOk)
      return false;
    const bool ok = scaling->setContentScaleFactor(screenScale) == kResultOk;
    scaling->release();
    if (!ok)
      return false;
  }
  return view->attached(parent.parent(), kPlatformTypeX11EmbedWindowID) == kResultOk;
}

bool ViewSession::close()
{
  if (!view)
    return true;
  const bool removed = view->removed() == kResultOk;
  view->setFrame(nullptr);
  view->release();
  view = nullptr;
  return removed;
}

bool ViewSession::pumpUntil(const std::function<bool()>& done, int deadlineMs)
{
  const int fd = ui() ? ui()->EditorWindow().Window().ConnectionFD() : -1;
  return x11test::PumpUntil(host.runLoop(), done, {fd, ConnectionNumber(parent.display())}, deadlineMs);
}

bool ViewSession::waitForFirstFrame()
{
  return pumpUntil([&] {
    const auto children = parent.children();
    return ui() && ui()->NFramesDrawn() > 0 && !children.empty() && children.front().mapped;
  });
}

::Window ViewSession::childWindow() const { return ui() ? ui()->EditorWindow().Window().GetWindow() : 0; }

bool ViewSession::screenshot(const std::string& name) const
{
  return Screenshot(parent.display(), childWindow(), name);
}

bool Capture(Display* d, ::Window child, std::vector<unsigned char>& rgb, int& width, int& height)
{
  if (!child)
    return false;
  XWindowAttributes attributes{};
  XWindowAttributes rootAttributes{};
  ::Window root = DefaultRootWindow(d), unused = 0;
  int x = 0, y = 0;
  if (!XGetWindowAttributes(d, child, &attributes) || !XGetWindowAttributes(d, root, &rootAttributes) ||
      !XTranslateCoordinates(d, child, root, 0, 0, &x, &y, &unused))
    return false;
  // What the screen shows of the window: a window wider than the screen is cut at its edge.
  width = std::min(attributes.width, rootAttributes.width - x);
  height = std::min(attributes.height, rootAttributes.height - y);
  if (x < 0 || y < 0 || width <= 0 || height <= 0)
    return false;
  XImage* image =
    XGetImage(d, root, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image)
    return false;
  rgb.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
  size_t i = 0;
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col)
    {
      const unsigned long pixel = XGetPixel(image, col, row);
      rgb[i++] = static_cast<unsigned char>((pixel & image->red_mask) >> 16);
      rgb[i++] = static_cast<unsigned char>((pixel & image->green_mask) >> 8);
      rgb[i++] = static_cast<unsigned char>(pixel & image->blue_mask);
    }
  XDestroyImage(image);
  return true;
}

bool WritePNG(const std::vector<unsigned char>& rgb, int width, int height, const std::string& name)
{
  std::filesystem::create_directories(VEMLOR_TEST_ARTIFACTS);
  const std::string path = std::string(VEMLOR_TEST_ARTIFACTS) + "/" + name + ".png";
  return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

bool Screenshot(Display* d, ::Window child, const std::string& name)
{
  std::vector<unsigned char> rgb;
  int width = 0, height = 0;
  return Capture(d, child, rgb, width, height) && WritePNG(rgb, width, height, name);
}

} // namespace vemlor::viewtest
