// One headless editor holding one morph pad over a real engine, with every callback logged into the
// delegate's traffic log so that callbacks and parameter sends appear in one order.
#pragma once

#include <bit>
#include <string>
#include <vector>

#include "IGfx/IVStyle.h"
#include "tests/gfx_harness/editor_session.h"
#include "utils/morph/morph_pad_control.h"
#include "tests/support/morph_pad_probe.h"

namespace zarvo::morph::test {

using plugkit::gfx::IRECT;
using plugkit::gfx::test::EditorSession;
using Pad = MorphPadControl;

// The editor's morph pad rectangle: 908 x 404.
inline constexpr IRECT kPadRect{16.f, 200.f, 924.f, 604.f};

struct PadSession
{
  explicit PadSession(const IRECT& r = kPadRect, double pointScale = 1.0)
  {
    engine.edit({.pointScale = pointScale});
    parkAll();
    // The editor's background is control 0, which never receives hover.
    s.G().AttachPanelBackground(plugkit::gfx::IPattern(plugkit::gfx::COLOR_GRAY));
    pad = new Pad(r, {0, 1}, engine, plugkit::gfx::DEFAULT_STYLE);
    s.G().AttachControl(pad);
    s.G().EnableMouseOver(true);
    pad->SetValue(0.5, 0);
    pad->SetValue(0.5, 1);
  }

  // User points inactive along the bottom edge, 54 px apart; the teleport point top right.
  void parkAll()
  {
    for (size_t i = 0; i < kNumPoints; ++i)
      engine.edit({.point = i, .active = false});
    for (size_t i = 1; i < kNumPoints; ++i)
    {
      engine.edit({.point = i, .x = (40.0 + 54.0 * static_cast<double>(i - 1)) / 908.0, .y = 0.0});
    }
    engine.edit({.point = 0, .x = 0.97, .y = 0.9});
  }

  // Puts point i at a pixel position of the pad.
  void place(size_t i, float px, float py, bool active = true)
  {
    const IRECT& r = pad ? pad->GetRECT() : kPadRect;
    engine.edit({.point = i, .x = (px - r.L) / r.W(), .y = 1.0 - (py - r.T) / r.H(), .active = active});
  }

  void centre(int i, float& x, float& y) const
  {
    if (i == 0)
      pad->teleportCenter(x, y);
    else
      pad->modeCenter(engine.editState().points[static_cast<size_t>(i)], x, y);
  }

  // Every callback writes a line into the delegate's log.
  void logCallbacks()
  {
    auto& log = s.dlg.log;
    log.clear();
    padProbe(*pad).callbacks.onSelectionChanged = [&log, this](uint32_t m) {
      log.push_back("selection " + std::to_string(m));
      engine.edit({.focus = std::popcount(m) == 1 ? std::countr_zero(m) : -1, .selection = m});
    };
    padProbe(*pad).callbacks.onCommitPointSound = [&log](uint32_t m, const MorphValues& v, Pad::PointSoundSource src) {
      log.push_back("commit " + std::to_string(m) + " " + std::to_string(v[0]) + " " +
                    std::to_string(static_cast<int>(src)));
    };
    padProbe(*pad).callbacks.onCopyPointSound = [&log](int p) { log.push_back("copy " + std::to_string(p)); };
    padProbe(*pad).callbacks.onUserGesture = [&log](bool b) { log.push_back(b ? "gesture begin" : "gesture end"); };
    padProbe(*pad).callbacks.onPointsEdit = [&log](bool b) { log.push_back(b ? "edit begin" : "edit end"); };
  }

  // The log without the framework's own begin/end edit lines.
  std::vector<std::string> padLog() const
  {
    std::vector<std::string> out;
    for (const std::string& l : s.dlg.log)
      if (l.rfind("begin ", 0) != 0 && l.rfind("end ", 0) != 0)
        out.push_back(l);
    return out;
  }

  void advance(double ms)
  {
    s.platform.nowMs += ms;
    s.G().Tick();
  }

  MorphEngine engine;
  EditorSession s{8, 940, 620};
  Pad* pad = nullptr;
};

inline plugkit::gfx::IMouseMod shiftLeft()
{
  plugkit::gfx::IMouseMod m;
  m.L = true;
  m.S = true;
  return m;
}

} // namespace zarvo::morph::test
