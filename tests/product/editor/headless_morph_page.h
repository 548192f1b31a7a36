// The morph page session on the headless graphics context with its recording backend.
#pragma once

#include <memory>

#include "tests/product/editor/morph_page_session.h"
#include "tests/gfx_harness/draw_recorder.h"
#include "tests/gfx_harness/headless_gfx.h"
#include "tests/gfx_harness/headless_platform.h"

namespace vemlor::ui::test {

struct HeadlessParts
{
  plugkit::gfx::test::HeadlessPlatform platform;
  plugkit::gfx::test::DrawRecorder recorder;
};

class HeadlessMorphPage : private HeadlessParts, public MorphPageSession
{
public:
  explicit HeadlessMorphPage(int h = 620, bool morphOn = true)
    : MorphPageSession(
        [this](Vemlor& plugin, int w, int hh) {
          return std::make_unique<plugkit::gfx::test::HeadlessGfx>(plugin, platform, recorder, w, hh);
        },
        h, morphOn)
  {}

  plugkit::gfx::test::HeadlessPlatform& Platform() { return platform; }
};

} // namespace vemlor::ui::test
