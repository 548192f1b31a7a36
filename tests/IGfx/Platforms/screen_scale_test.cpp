// The screen scale the X server's resources ask for when the host gives none.
#include <gtest/gtest.h>

#include "IGfx/Platforms/X11/X11ScreenScale.h"

namespace {

TEST(ScreenScaleFromResources, IsXftDpiOver96ToAQuarterWithinOneToFour)
{
  const struct
  {
    const char* resources;
    float scale;
  } cases[] = {
    {nullptr, 1.f},
    {"", 1.f},
    {"Xcursor.size:\t24\n", 1.f},
    {"Xft.dpi:\t96\n", 1.f},
    {"Xft.dpi:\t192\n", 2.f},
    {"Xft.dpi:\t144\n", 1.5f},
    {"Xft.dpi:\t120\n", 1.25f},
    {"Xft.dpi:\t110\n", 1.25f}, // 1.146 to the nearest quarter
    {"Xft.dpi:\t100\n", 1.f},
    {"Xcursor.size:\t48\nXft.dpi:\t168\nXft.antialias:\t1\n", 1.75f},
    {"Xft.dpi:\t72\n", 1.f},    // below 1 is not a scale an editor can be drawn at
    {"Xft.dpi:\t1000\n", 4.f},  // nor beyond 4
    {"Xft.dpi:\tlarge\n", 1.f}, // not a number
    {"Xft.dpi:\t-192\n", 1.f},
  };
  for (const auto& c : cases)
    EXPECT_EQ(plugkit::gfx::ScreenScaleFromResources(c.resources), c.scale) << (c.resources ? c.resources : "null");
}

} // namespace
