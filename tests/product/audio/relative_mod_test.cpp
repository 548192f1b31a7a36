// Controller modulation over parameter values, and morphed values landing in the block snapshot.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "product/audio/model_params.h"
#include "product/audio/relative_mod.h"
#include "tests/product/audio/fake_host.h"

namespace zarvo {
namespace {

struct ComposeCase
{
  const char* name;
  int param;
  bool modulating;
  SlotModulation slot;
  double value;
  double expected;
};

// main resonance has the power-curve shape value = n^0.5; damping hold is linear 0..10 ms.
const ComposeCase kComposeCases[] = {
  {"NoSlotComesBackUnchanged", par_main_pt_tilt, true, {1.0, 1.0}, 0.3, 0.3},
  {"ModeZeroComesBackUnchanged", par_main_drive, false, {1.0, 0.5}, 0.3, 0.3},
  {"FrequencyDepthOneDoubles", par_main_cutoff_hz, true, {1.0, 1.0}, 1000.0, 2000.0},
  {"FrequencyStopsAtMaximum", par_preFlt_A_hz, true, {1.0, 1.0}, 15000.0, 20000.0},
  {"FrequencyStopsAtMinimum", par_preFlt_B_hz, true, {1.0, -3.0}, 4.0, 1.0},
  {"FrequencyBipolarCentreUnchanged", par_main_cutoff_hz, true, {0.5, 4.0, true}, 1234.5, 1234.5},
  {"FrequencyBipolarBottomGoesDown", par_main_cutoff_hz, true, {0.0, 1.0, true}, 1000.0, 500.0},
  {"LinearAdditiveSpansTheRange", par_damping_hold, true, {0.5, 0.5}, 2.0, 4.5},
  {"LinearAdditiveLimitedToMaximum", par_damping_hold, true, {1.0, 1.0}, 2.0, 10.0},
  {"LinearBipolarCentreUnchanged", par_damping_hold, true, {0.5, 1.0, true}, 3.3, 3.3},
  {"ProportionalHalfDepth", par_neg_band_mix, true, {1.0, 0.5, false, true}, 2.0, 3.0},
  {"ProportionalMinusOneGivesZero", par_neg_band_mix, true, {1.0, -1.0, false, true}, 2.0, 0.0},
  {"ShapedAdditiveMovesAlongTheTravel", par_main_resonance, true, {1.0, 0.5, false, false, true}, 0.25, 0.75},
  {"ShapedAdditiveLimitedToTop", par_main_resonance, true, {1.0, 1.0, false, false, true}, 0.25, 1.0},
  {"ShapedProportional", par_main_resonance, true, {1.0, 1.0, false, true, true}, 0.25, std::sqrt(0.125)},
  {"ShapedBipolarCentreUnchanged", par_main_resonance, true, {0.5, 1.0, true, false, true}, 0.49, 0.49},
};

class ComposeTest : public testing::TestWithParam<ComposeCase>
{};

TEST_P(ComposeTest, AppliesTheSlot)
{
  const ComposeCase& c = GetParam();
  test::FakeHost host;
  host.modulating[static_cast<size_t>(c.param)] = c.modulating;
  host.slots[static_cast<size_t>(c.param)] = c.slot;
  EXPECT_NEAR(host.composeRelativeCC(c.param, c.value), c.expected, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Cases, ComposeTest, testing::ValuesIn(kComposeCases),
                         [](const testing::TestParamInfo<ComposeCase>& info) { return std::string(info.param.name); });

// Where one morphed value lands, read back as a number.
struct MorphCase
{
  const char* name;
  int param;
  double normalized;
  double (*read)(const ParamSnapshot&, const OutputStage&, const NoteModeController::Snapshots&);
  double expected;
};

const MorphCase kMorphCases[] = {
  {"MainCutoffThroughItsShape", par_main_cutoff_hz, 0.5,
   [](const ParamSnapshot& s, const OutputStage&, const NoteModeController::Snapshots&) {
     return s[ramp::kMainCutoff];
   },
   1.0 + 19999.0 * std::pow(0.5, 2.5)},
  {"SaturationTypeIsNotWrapped", par_main_saturation_type, 1.0,
   [](const ParamSnapshot& s, const OutputStage&, const NoteModeController::Snapshots&) {
     return s[ramp::kSaturationType];
   },
   3.0},
  {"BreakCharacterStoredMinusOne", par_break_character, 0.0,
   [](const ParamSnapshot& s, const OutputStage&, const NoteModeController::Snapshots&) {
     return s[ramp::kBreakCharacter];
   },
   0.0},
  {"MainPassTypeSnappedToStep", par_main_pass_type, 0.5,
   [](const ParamSnapshot& s, const OutputStage&, const NoteModeController::Snapshots&) {
     return double(s.mainPassType);
   },
   3.0},
  {"BreakInversionIsASwitch", par_break_invert_fb, 1.0,
   [](const ParamSnapshot& s, const OutputStage&, const NoteModeController::Snapshots&) {
     return double(s.breakInvert);
   },
   1.0},
  {"GainBecomesLinear", par_main_gain, 0.75,
   [](const ParamSnapshot&, const OutputStage& o, const NoteModeController::Snapshots&) { return o.gain; },
   std::exp(0.1151292546497 * 12.0)},
  {"DryWetToOutputStage", par_dry_wet, 0.25,
   [](const ParamSnapshot&, const OutputStage& o, const NoteModeController::Snapshots&) { return o.dryWet; }, 0.25},
  {"OctaveShiftRounded", par_preA_note_oct_shift, 0.75,
   [](const ParamSnapshot&, const OutputStage&, const NoteModeController::Snapshots& n) { return double(n[1].octave); },
   4.0},
  {"GlideAlwaysClearsLegato", par_preB_glide_always, 1.0,
   [](const ParamSnapshot&, const OutputStage&, const NoteModeController::Snapshots& n) {
     return double(n[2].legatoOnly);
   },
   0.0},
  {"GlideModulatedByItsSlot", par_main_glide_ms, 0.5,
   [](const ParamSnapshot&, const OutputStage&, const NoteModeController::Snapshots& n) { return n[0].glideMs; },
   1000.0},
  {"UserBlendValueHasNoDestination", par_main_ub_u, 1.0,
   [](const ParamSnapshot& s, const OutputStage&, const NoteModeController::Snapshots&) { return s[ramp::kShape0]; },
   7.0},
};

class MorphApplyTest : public testing::TestWithParam<MorphCase>
{};

TEST_P(MorphApplyTest, WritesTheDestination)
{
  const MorphCase& c = GetParam();
  test::FakeHost host;
  // The glide slot doubles its value: proportional with depth 1 at full controller value.
  host.modulating[par_main_glide_ms] = true;
  host.slots[par_main_glide_ms] = {1.0, 1.0, false, true, false};
  // Every destination starts away from what the rows expect.
  ParamSnapshot snap;
  snap.ramped.fill(7.0);
  OutputStage out{7.0, 7.0, 7.0};
  NoteModeController::Snapshots notes;
  notes.fill({true, 7, 7, 7, 7, 7.0, true, 7});
  applyMorphedNormalized(snap, out, notes, host, c.param, c.normalized);
  EXPECT_NEAR(c.read(snap, out, notes), c.expected, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Cases, MorphApplyTest, testing::ValuesIn(kMorphCases),
                         [](const testing::TestParamInfo<MorphCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace zarvo
