// The block parameter record's conversions, the snapshot's derived filter shapes, and ramp steps.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "product/audio/model_params.h"
#include "tests/product/audio/fake_host.h"

namespace zarvo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(BlockParamRecord, StoresWithTheAudioPathsConversions)
{
  struct Row
  {
    const char* name;
    int param;
    double plain;
    bool stored;
    double expected; // the stored value, or the factor for oversampling
  };
  const Row rows[] = {
    {"OversamplingThreeIsFactorEight", par_oversampling, 3.0, true, 8.0},
    {"OversamplingZeroIsFactorOne", par_oversampling, 0.0, true, 1.0},
    {"GainDecibelsBecomeLinear", par_main_gain, 6.0, true, std::exp(0.1151292546497 * 6.0)},
    {"BreakCharacterMinusOne", par_break_character, 3.5, true, 2.5},
    {"PassTypeTruncatedTowardsZero", par_main_pass_type, 2.9, true, 2.0},
    {"FilterModelTruncated", par_main_filter_model, 1.0, true, 1.0},
    {"SwitchNaNCountsAsOn", par_main_ub_on, kNaN, true, 1.0},
    {"SwitchZeroIsOff", par_preFlt_B_ub_on, 0.0, true, 0.0},
    {"PlainValueAsItIs", par_dry_wet, 0.3, true, 0.3},
    {"NoteParameterNotStored", par_main_glide_ms, 100.0, false, 0.0},
    {"MorphPositionNotStored", par_morph_x, 0.7, false, 0.0},
    {"AnchorSwitchNotStored", par_preA_cutoff_note_anchored, 1.0, false, 0.0},
    {"VariationNotStored", par_main_pt_variation, 0.5, false, 0.0},
  };
  for (const Row& r : rows)
  {
    SCOPED_TRACE(r.name);
    BlockParamRecord record;
    EXPECT_EQ(record.store(r.param, r.plain), r.stored);
    const double got = r.param == par_oversampling ? record.oversamplingFactor() : record.value(r.param);
    EXPECT_DOUBLE_EQ(got, r.expected);
  }
}

TEST(BlockParamRecord, SnapshotDerivesTheFilterShapes)
{
  struct Row
  {
    const char* name;
    std::vector<std::pair<int, double>> plain; // over the defaults
    stage_coeffs mainShape;
    double feedback;
    svf_coeffs preA;
    svf_coeffs preB;
  };
  const stage_coeffs lp = shapeOf(FilterPassType::LP, 1.0, 0.0);
  const Row rows[] = {
    {"Defaults", {}, lp, 1.0, {1, 0, 0}, {0, 1, 0}},
    {"HighPassHasNoFeedbackCut",
     {{par_main_pass_type, 1}},
     shapeOf(FilterPassType::HP, 1.0, 0.0),
     0.0,
     {1, 0, 0},
     {0, 1, 0}},
    {"BandRejectDepthAndTilt",
     {{par_main_pass_type, 4}, {par_main_pt_depth, 0.5}, {par_main_pt_tilt, -0.5}},
     shapeOf(FilterPassType::BR, 0.5, -0.5),
     1.0,
     {1, 0, 0},
     {0, 1, 0}},
    {"MainUserBlend",
     {{par_main_ub_on, 1},
      {par_main_ub_u, 1},
      {par_main_ub_y1, -2},
      {par_main_ub_y2, 3},
      {par_main_ub_y4, 0.5},
      {par_main_ub_fb, 0.25}},
     {1, -2, 3, 0, 0.5},
     0.25,
     {1, 0, 0},
     {0, 1, 0}},
    {"PreFilterIndexTwoIsBandPass", {{par_preFlt_A_pt, 2}}, lp, 1.0, {0, 0, 1}, {0, 1, 0}},
    {"PreFilterIndexThreeIsBandReject", {{par_preFlt_B_pt, 3}}, lp, 1.0, {1, 0, 0}, {1, 1, 0}},
    {"PreFilterIndexFourIsPeak", {{par_preFlt_A_pt, 4}}, lp, 1.0, {1, -1, 0}, {0, 1, 0}},
    {"PreFilterUserBlend",
     {{par_preFlt_B_ub_on, 1}, {par_preFlt_B_ub_lp, 0.5}, {par_preFlt_B_ub_hp, -0.25}, {par_preFlt_B_ub_bp, 2}},
     lp,
     1.0,
     {1, 0, 0},
     {0.5, -0.25, 2}},
  };
  for (const Row& r : rows)
  {
    SCOPED_TRACE(r.name);
    test::FakeHost host;
    BlockParamRecord record;
    host.storeDefaults(record);
    for (const auto& [param, value] : r.plain)
      record.store(param, value);
    ParamSnapshot snap;
    OutputStage out;
    record.buildSnapshot(snap, out, host);
    for (int i = 0; i < 5; ++i)
      EXPECT_DOUBLE_EQ(snap[static_cast<ramp::Index>(ramp::kShape0 + i)], r.mainShape[static_cast<size_t>(i)]) << i;
    EXPECT_DOUBLE_EQ(snap[ramp::kMainFeedback], r.feedback);
    for (int i = 0; i < 3; ++i)
    {
      EXPECT_DOUBLE_EQ(snap[static_cast<ramp::Index>(ramp::kPreALowPass + i)], r.preA[static_cast<size_t>(i)]) << i;
      EXPECT_DOUBLE_EQ(snap[static_cast<ramp::Index>(ramp::kPreBLowPass + i)], r.preB[static_cast<size_t>(i)]) << i;
    }
  }
}

TEST(BlockParamRecord, SnapshotWrapsTheSaturationTypeAndModulatesTheShape)
{
  test::FakeHost host;
  BlockParamRecord record;
  host.storeDefaults(record);
  record.store(par_main_saturation_type, 3.0);
  record.store(par_main_pass_type, 3);
  record.store(par_main_pt_depth, 0.2);
  // Depth 0.2 plus half its range.
  host.modulating[par_main_pt_depth] = true;
  host.slots[par_main_pt_depth] = {1.0, 0.5};
  ParamSnapshot snap;
  OutputStage out;
  record.buildSnapshot(snap, out, host);
  EXPECT_EQ(snap[ramp::kSaturationType], 0.0);
  EXPECT_DOUBLE_EQ(snap.passTypeDepth, 0.2);
  const stage_coeffs expected = shapeOf(FilterPassType::BP, 0.7, 0.0);
  for (int i = 0; i < 5; ++i)
    EXPECT_DOUBLE_EQ(snap[static_cast<ramp::Index>(ramp::kShape0 + i)], expected[static_cast<size_t>(i)]) << i;
}

TEST(CurParams, SaturationTypeRampsTheShortWayRound)
{
  struct Row
  {
    const char* name;
    double from;
    double to;
    double step; // per tick over 10 ticks
  };
  const Row rows[] = {
    {"UpThroughThree", 2.9, 0.1, 0.02},
    {"DownThroughZero", 0.1, 2.9, -0.02},
    {"DirectWithinHalfCycle", 0.5, 1.5, 0.1},
    {"ExactlyHalfCycleGoesDirect", 0.0, 1.5, 0.15},
  };
  for (const Row& r : rows)
  {
    SCOPED_TRACE(r.name);
    CurParams cur;
    ParamSnapshot snap;
    snap[ramp::kSaturationType] = r.from;
    cur.snapAllFrom(snap);
    snap[ramp::kSaturationType] = r.to;
    ParamStep step{};
    cur.computeStepsTo(step, snap, 10.0);
    EXPECT_NEAR(step[ramp::kSaturationType], r.step, 1e-12);
  }
}

} // namespace
} // namespace zarvo
