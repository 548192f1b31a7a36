// The frequencies tab: one block per filter cutoff for following MIDI notes.
#include "product/editor/frequencies_tab.h"

#include <algorithm>

#include "IGfx/IGfx.h"
#include "product/editor/layout.h"
#include "utils/ui/ControlRegistry.h"

namespace vemlor::ui {

using plugkit::gfx::IRECT;

namespace {

// The registry ids of one block, in the order the tab builds them.
struct CutoffBlockIds
{
  int caption, notes, glide, controller;
};

// Alternative ids (their layout names in product/ui/alt_control_ids.h): kAlt_LabelPreAFreq and the
// pre-filter A blocks, the same for pre-filter B, then the main filter's.
constexpr std::array<CutoffBlockIds, 3> kBlockIds = {{
  {10106, 10008, 10009, 10010},
  {10107, 10012, 10013, 10014},
  {10105, 10004, 10005, 10006},
}};

// Nine rows: the caption, then notes and glide on the left, the controller block on the right.
constexpr float kRows = 9.f;
constexpr float kColumnGap = 4.f;
constexpr float kMinBlockGap = 10.f;

} // namespace

std::array<CutoffBlockRects, 3> cutoffBlockRects(const IRECT& content)
{
  const float L = content.L, T = content.T, R = content.R;
  const float r = content.H() / kRows;
  const float wc = 3.f * r + 55.f;
  const float bw = 2.f * wc + kColumnGap;
  const float gp = std::max((R - L - 3.f * bw) / 3.f, kMinBlockGap);
  std::array<CutoffBlockRects, 3> blocks{};
  float x = L + gp / 2.f;
  for (CutoffBlockRects& b : blocks)
  {
    b.caption = IRECT(x, T, x + bw, T + r);
    b.notes = IRECT(x, T + r, x + wc, T + 6.f * r);
    b.glide = IRECT(x, T + 6.f * r, x + wc, T + 9.f * r);
    b.controller = IRECT(x + wc + kColumnGap, T + r, x + bw, T + 7.f * r);
    x += bw + gp;
  }
  return blocks;
}

void attachFrequenciesTab(LayoutPass& pass)
{
  const std::array<CutoffBlockRects, 3> rects = cutoffBlockRects(pass.content);
  for (size_t k = 0; k < rects.size(); ++k)
  {
    const auto place = [&](int id, const IRECT& r) {
      zarvo::ui::placeControl(pass.g, pass.registry, id, r, -1, kGroupTabFreqs);
    };
    place(kBlockIds[k].caption, rects[k].caption);
    place(kBlockIds[k].notes, rects[k].notes);
    place(kBlockIds[k].glide, rects[k].glide);
    place(kBlockIds[k].controller, rects[k].controller);
  }
}

} // namespace vemlor::ui
