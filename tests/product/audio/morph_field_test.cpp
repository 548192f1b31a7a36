// The morph field's blend laid over the block snapshot on the audio thread.
#include <gtest/gtest.h>

#include "IPlugin/IPluginThreadRole.h"
#include "product/audio/audio_path.h"
#include "product/params/morph_param_table.h"
#include "tests/product/audio/fake_host.h"
#include "tests/utils/morph/fake_morph_host.h"

namespace zarvo {
namespace {

TEST(MorphField, PositionOnAPointLaysItsSoundOverTheSnapshot)
{
  morph_test::FakeMorphHost morphHost;
  morph::MorphController ctrl{morphHost, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes};
  morph::MorphEngine& engine = ctrl.engine();
  const auto setPlain = [&](int param, double plain) {
    engine.edit(
      {.point = 5, .row = static_cast<size_t>(morph::rowOf(param)), .value = ctrl.normalizedOf(param, plain)});
  };
  engine.edit({.point = 5, .active = true});
  engine.edit({.point = 5, .x = 0.3, .y = 0.6});
  setPlain(par_main_cutoff_hz, 500.0);
  setPlain(par_main_resonance, 0.8);
  setPlain(par_dry_wet, 0.4);
  setPlain(par_main_pass_type, 3.0);
  setPlain(par_main_pt_depth, 0.5);
  setPlain(par_main_pt_tilt, 0.0);
  setPlain(par_preFlt_A_pt, 2.0);
  setPlain(par_main_note_oct_shift, 2.0);
  ctrl.publish();
  ctrl.mirrorMorphX(0.3);
  ctrl.mirrorMorphY(0.6);

  test::FakeHost host;
  host.held[par_main_resonance] = true; // a controller holds it in absolute mode
  ParamSnapshot snap;
  snap.ramped.fill(7.0);
  OutputStage out;
  NoteModeController::Snapshots notes{};
  {
    plugkit::AudioThreadScope audio;
    ModulationView modulation(host);
    modulation.refresh();
    EXPECT_TRUE(updateMorphBlend(ctrl, modulation));
    applyMorphBlend(ctrl, modulation, snap, out, notes);
    // The same position and field again: the blend made for the last block stays.
    EXPECT_FALSE(updateMorphBlend(ctrl, modulation));
  }

  EXPECT_NEAR(snap[ramp::kMainCutoff], 500.0, 1e-6);
  EXPECT_EQ(snap[ramp::kMainResonance], 7.0);
  EXPECT_NEAR(out.dryWet, 0.4, 1e-9);
  EXPECT_EQ(snap.mainPassType, 3);
  EXPECT_EQ(notes[0].octave, 2);
  const stage_coeffs bandPass = shapeOf(FilterPassType::BP, 0.5, 0.0);
  for (int i = 0; i < 5; ++i)
    EXPECT_NEAR(snap[static_cast<ramp::Index>(ramp::kShape0 + i)], bandPass[static_cast<size_t>(i)], 1e-9) << i;
  EXPECT_EQ(snap[ramp::kMainFeedback], 0.0);
  EXPECT_EQ(snap[ramp::kPreALowPass], 0.0);
  EXPECT_EQ(snap[ramp::kPreAHighPass], 0.0);
  EXPECT_EQ(snap[ramp::kPreABandPass], 1.0);
  EXPECT_EQ(ctrl.engine().positionX(), 0.3);
  EXPECT_EQ(ctrl.engine().positionY(), 0.6);
}

} // namespace
} // namespace zarvo
