// The about box: the maker's link, product, version and edition, format and architecture, the build's
// branch, revision and date, the framework link and the host's sample rate and buffer size.
#pragma once

#include <string>
#include <vector>

#include "IGfx/Controls/IAboutBoxControl.h"
#include "IGfx/IColor.h"
#include "IGfx/IPattern.h"
#include "IGfx/IRECT.h"
#include "IGfx/IText.h"

namespace plugkit::gfx {
class IGfx;
}

namespace vemlor::ui {

struct BuildInfo
{
  std::string architecture;
  std::string branch;
  std::string revision;
  std::string date;

  // What this binary was built from, as the build system recorded it.
  static BuildInfo current();
};

class AboutBox
{
public:
  static constexpr int kTag = 7;
  static constexpr int kHostLineTag = 1044;
  static constexpr const char* kMakerDomain = "zarvoaudio.example";
  static constexpr const char* kMakerURL = "https://zarvoaudio.example";
  static constexpr const char* kFrameworkURL = "https://plugkit.example";

  // The lines top to bottom as the box first shows them.
  static std::vector<std::string> lines(const BuildInfo& build);

  // The box, hidden until shown; the caller attaches it with kTag. Main thread.
  static plugkit::gfx::IAboutBoxControl* make(const plugkit::gfx::IRECT& bounds,
                                              const plugkit::gfx::IPattern& background, const plugkit::gfx::IText& text,
                                              const plugkit::gfx::IColor& accent,
                                              const BuildInfo& build = BuildInfo::current());

  // The "i" button's action: the box with kTag comes to the front of the editor and fades in.
  static void show(plugkit::gfx::IGfx& g);

  // The i-th of n equal rows of a block n × 1.2 × text size high, centred vertically in bounds.
  static plugkit::gfx::IRECT lineRect(const plugkit::gfx::IRECT& bounds, int i, int n, float textSize);
};

} // namespace vemlor::ui
