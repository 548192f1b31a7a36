#include "product/ui/default_user_tab.h"

#include "product/params/params.h"

namespace vemlor::ui {

namespace {

constexpr int kSpacerEighth = -1;    // a horizontal spacer of 1/8 of the column's height
constexpr int kQuarterWidth = -8;    // the column is 1/4 as wide
constexpr int kEighthWidth = -9;     // the column is 1/8 as wide
constexpr int kLabelDamping = 10108; // caption "DAMPING"

} // namespace

std::vector<std::vector<int>> defaultUserTabSlots()
{
  using namespace zarvo;
  return {
    {par_preFlt_A_hz, par_preFlt_A_res},
    {par_preFlt_B_hz, par_preFlt_B_res},
    {par_preFlt_band_mode, kSpacerEighth, kLabelDamping, par_damping_thresh, par_damping_release},
    {kQuarterWidth},
    {par_main_cutoff_hz},
    {kEighthWidth},
    {par_main_resonance, par_main_drive},
    {par_break_intensity, par_break_character},
    {kEighthWidth},
    {par_dry_wet},
    {kEighthWidth},
  };
}

} // namespace vemlor::ui
