// The editor's control registry and the all-controls tab.
#include "product/editor/layout.h"

#include <initializer_list>

#include "IGfx/IGfx.h"
#include "product/params/params.h"
#include "product/ui/plugin_control_registry.h"
#include "product/ui/section_label_control.h"
#include "product/ui/stage_coeffs_readout.h"
#include "product/ui/theme.h"

namespace vemlor::ui {

using namespace plugkit::gfx;

namespace {

constexpr int kMainStageCoeffs = 10015;
constexpr int kPreAStageCoeffs = 10016;
constexpr int kPreBStageCoeffs = 10017;
constexpr int kColumns = 11;
constexpr float kNarrowInset = 4.f;
constexpr float kWideInset = 10.5f;
constexpr float kDisabledCaptionWeight = 0.6f;
constexpr const char* kReadoutTooltip = "a filter shape with no single name\n\nclick to snap to the nearest pass type";

// The shape readout's click snaps its filter to the nearest named pass type.
void wrapReadoutFactory(zarvo::ui::ControlRegistry& registry, int id, std::function<void()> click)
{
  for (zarvo::ui::ControlRegistry::Entry& entry : registry.entries)
  {
    if (entry.id != id || !entry.desc.factory)
      continue;
    entry.desc.factory = [inner = entry.desc.factory, click](const IRECT& r) -> IControl* {
      IControl* c = inner(r);
      if (auto* readout = dynamic_cast<StageCoeffsReadout*>(c))
        readout->setClickCallback(click);
      return c;
    };
  }
}

// The readouts show only for a shape without a single name, and then just their title.
void prepareReadout(IControl* c)
{
  if (!c)
    return;
  c->Hide(true);
  c->SetTooltip(kReadoutTooltip);
  if (auto* readout = dynamic_cast<StageCoeffsReadout*>(c))
  {
    readout->setShowRows(false);
    readout->SetClean();
  }
}

class AllControlsTab
{
public:
  explicit AllControlsTab(LayoutPass& pass)
    : mPass(pass)
    , mColumnWidth((pass.content.R - pass.content.L) / static_cast<float>(kColumns))
  {}

  // The column's slice from fraction a to b of the content height, less inset on both sides.
  IRECT cell(int column, float a, float b, float inset) const
  {
    const IRECT& c = mPass.content;
    const float h = c.B - c.T;
    const float l = c.L + static_cast<float>(column) * mColumnWidth;
    return IRECT(l + inset, c.T + a * h, l + mColumnWidth - inset, c.T + b * h);
  }

  IControl* place(int id, const IRECT& r, int tag = -1) const
  {
    return zarvo::ui::placeControl(mPass.g, mPass.registry, id, r, tag, kGroupTabAll);
  }

  // A selector, its pass-type control and its shape readout in four quarters of r.
  void placePreFilter(const IRECT& r, int first, int second, int readoutId, int readoutTag) const
  {
    const float q = (r.B - r.T) / 4.f;
    place(first, IRECT(r.L, r.T, r.R, r.T + q));
    place(second, IRECT(r.L, r.T + q, r.R, r.T + 3.f * q));
    prepareReadout(place(readoutId, IRECT(r.L, r.T + 3.f * q, r.R, r.B), readoutTag));
  }

  void placeDampingCaption(const IRECT& r) const
  {
    auto* caption = new SectionLabelControl(r, "damping", smallTxtLight, DEFAULT_BGCOLOR, false);
    caption->SetBlend(IBlend(EBlend::Default, kDisabledCaptionWeight));
    caption->SetDisabledWeight(kDisabledCaptionWeight);
    mPass.g.AttachControl(caption, -1, kGroupTabAll);
    caption->SetClean();
  }

  // The main filter's pass type, depth, tilt and readout, computed in double precision.
  void placeMainPassType() const
  {
    const IRECT& c = mPass.content;
    const double cw = (static_cast<double>(c.R) - c.L) / kColumns;
    const double l = c.L + 9.0 * cw;
    const double r = c.L + 10.0 * cw;
    const double top = c.T;
    const double bottom = c.B;
    const double t = (bottom - top) / 3.0;
    const double n = t / 3.0;
    const double y = top + (t + n);
    const double mid = y + (bottom - y) / 2.0;
    const auto rect = [l, r](double t0, double b0) {
      return IRECT(static_cast<float>(l), static_cast<float>(t0), static_cast<float>(r), static_cast<float>(b0));
    };
    place(zarvo::par_main_pass_type, rect(top, top + t));
    place(zarvo::par_main_pt_depth, rect(y, mid));
    place(zarvo::par_main_pt_tilt, rect(mid, bottom));
    prepareReadout(place(kMainStageCoeffs, rect(y - n, y), kTagMainStageCoeffs));
  }

  // Gain on the dry signal: a thin slider just right of the gain control.
  void placeGainOnDry(const IRECT& gain) const
  {
    float w = gain.R - gain.L - 2.5f;
    if (w <= 0.f)
      w = 8.f;
    const float cx = gain.R + 8.f;
    const float cy = (gain.T + gain.B) / 2.f;
    place(zarvo::par_gain_on_dry, IRECT(cx - 4.f, cy - w / 2.f, cx + 4.f, cy + w / 2.f));
  }

private:
  LayoutPass& mPass;
  float mColumnWidth;
};

} // namespace

void buildEditorRegistry(LayoutPass& pass)
{
  EditorModel& model = pass.model;
  const EditorStyles& s = pass.styles;
  pass.registry = buildControlRegistry(model.ccMediator(), s.style1, s.style2, s.style3, COLOR_TRANSPARENT,
                                       colHighlightGray, accentColor, modArcColor, colDarkGray);
  wrapReadoutFactory(pass.registry, kMainStageCoeffs, [&model] { model.snapMainShapeToNearestPassType(); });
  wrapReadoutFactory(pass.registry, kPreAStageCoeffs,
                     [&model] { model.snapPreFltShapeToNearestPassType(zarvo::par_preFlt_A_pt); });
  wrapReadoutFactory(pass.registry, kPreBStageCoeffs,
                     [&model] { model.snapPreFltShapeToNearestPassType(zarvo::par_preFlt_B_pt); });
}

void attachAllControlsTab(LayoutPass& pass)
{
  using namespace zarvo;
  const AllControlsTab tab(pass);
  const auto place = [&tab](int id, int column, float a, float b, float inset = 0.f) {
    tab.place(id, tab.cell(column, a, b, inset));
  };

  place(par_preFlt_processing_order, 0, 0.f, 1.f / 2.f, kNarrowInset);
  place(par_preFlt_band_mode, 0, 1.f / 2.f, 3.f / 4.f);
  place(par_neg_band_mix, 0, 3.f / 4.f, 1.f);
  tab.placePreFilter(tab.cell(1, 0.f, 1.f / 2.f, 0.f), par_preFlt_A_detune, par_preFlt_A_pt, kPreAStageCoeffs,
                     kTagPreAStageCoeffs);
  tab.placePreFilter(tab.cell(1, 1.f / 2.f, 1.f, 0.f), par_preFlt_B_detune, par_preFlt_B_pt, kPreBStageCoeffs,
                     kTagPreBStageCoeffs);
  place(par_preFlt_A_hz, 2, 0.f, 1.f / 2.f);
  place(par_preFlt_B_hz, 2, 1.f / 2.f, 1.f);
  place(par_preFlt_A_res, 3, 0.f, 1.f / 2.f);
  place(par_preFlt_B_res, 3, 1.f / 2.f, 1.f);
  place(par_main_resonance, 4, 0.f, 1.f / 2.f, kNarrowInset);
  tab.placeDampingCaption(tab.cell(4, 1.f / 2.f, 5.f / 8.f, 0.f));
  place(par_damping_thresh, 4, 5.f / 8.f, 3.f / 4.f);
  place(par_damping_hold, 4, 3.f / 4.f, 7.f / 8.f);
  place(par_damping_release, 4, 7.f / 8.f, 1.f);
  place(par_main_cutoff_hz, 5, 0.f, 3.f / 4.f, kNarrowInset);
  place(par_main_detune, 5, 3.f / 4.f, 7.f / 8.f);
  place(par_main_drive, 6, 0.f, 1.f / 2.f, kNarrowInset);
  place(par_main_saturation_type, 6, 1.f / 2.f, 1.f, kWideInset);
  place(par_break_intensity, 7, 0.f, 3.f / 4.f, kNarrowInset);
  place(par_break_invert_fb, 7, 7.f / 8.f, 1.f);
  place(par_break_double, 7, 3.f / 4.f, 7.f / 8.f);
  place(par_break_character, 8, 0.f, 1.f / 2.f, kWideInset);
  place(par_break_param, 8, 1.f / 2.f, 1.f);
  tab.placeMainPassType();
  place(par_dry_wet, 10, 0.f, 1.f / 2.f, kNarrowInset);
  const IRECT gain = tab.cell(10, 1.f / 2.f, 1.f, kNarrowInset);
  tab.place(par_main_gain, gain);
  tab.placeGainOnDry(gain);
}

} // namespace vemlor::ui
