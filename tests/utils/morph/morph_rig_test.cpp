// Morph rig texts: round trips, clamping, model suffixes, legacy values and hostile pastes.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "fake_morph_host.h"
#include "product/params/morph_param_table.h"
#include "tests/support/field_edit.h"

namespace {

using namespace morph_test;
using State = MorphEngine::RTState;

zarvo::ZarvoFile rigFileOf(const std::vector<std::string>& lines)
{
  zarvo::ZarvoFile file("Vemlor", "1.3.0");
  file.setSection(MorphController::kRigSection, lines);
  return file;
}

class MorphRig : public testing::Test
{
protected:
  FakeMorphHost host;
  MorphController ctrl{host, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes};
};

TEST_F(MorphRig, WrittenAndReadBackToSixDecimals)
{
  FakeMorphHost sourceHost;
  MorphController source(sourceHost, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes);
  vemlor_test::editField(source.engine(), [](State& f) {
    fillDistinctField(f);
    f.sigma = 0.731234;
    f.shapeContrast = 0.25;
    f.cutoffContrast = 0.5;
    f.model = 2;
    f.kernelTail = 0.125;
    f.tailPower = 3.5;
    f.neighborIndex = {1.5, 3.0, 4.5, 0.75, 2.25};
    f.nnSamples = 13;
    f.nnRadius = 3.25;
  });
  const State& s = source.engine().editState();
  source.engine().edit({.pointScale = 1.75});
  source.setAppearance({0.6f, 9, 0.125f});
  sourceHost.param(zarvo::par_morph_x).Set(0.3125);
  sourceHost.param(zarvo::par_morph_y).Set(0.6875);

  const std::optional<zarvo::ZarvoFile> file = zarvo::ZarvoFile::fromText(source.buildRigFile().toString());
  ASSERT_TRUE(file);
  std::vector<float> appearanceSeen;
  ctrl.setAppearanceChanged([&](float brightness, int32_t levels, float grid) {
    appearanceSeen = {brightness, static_cast<float>(levels), grid};
  });
  ASSERT_TRUE(ctrl.applyRigFile(*file));

  const State& r = ctrl.engine().editState();
  EXPECT_NEAR(r.sigma, s.sigma, 5e-7);
  EXPECT_EQ(ctrl.engine().pointScale(), 1.75);
  EXPECT_EQ(r.snapRadius, 1.75 * MorphEngine::kSnapRadiusPerScale);
  EXPECT_EQ(r.centreSnapRadius, 1.75 * MorphEngine::kCentreSnapRadiusPerScale);
  EXPECT_EQ(r.shapeContrast, s.shapeContrast);
  EXPECT_EQ(r.cutoffContrast, s.cutoffContrast);
  EXPECT_EQ(r.model, s.model);
  EXPECT_EQ(r.kernelTail, s.kernelTail);
  EXPECT_EQ(r.tailPower, s.tailPower);
  EXPECT_EQ(r.neighborIndex, s.neighborIndex);
  EXPECT_EQ(r.nnSamples, s.nnSamples);
  EXPECT_EQ(r.nnRadius, s.nnRadius);
  EXPECT_EQ(ctrl.appearance(), source.appearance());
  EXPECT_EQ(appearanceSeen, (std::vector<float>{0.6f, 9.0f, 0.125f}));
  EXPECT_EQ(host.param(zarvo::par_morph_x).Value(), 0.3125);
  EXPECT_EQ(ctrl.morphY(), 0.6875);
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    const MorphPoint& want = s.points[i];
    const MorphPoint& got = r.points[i];
    EXPECT_NEAR(got.x, want.x, 5e-7) << "point " << i;
    EXPECT_NEAR(got.y, want.y, 5e-7) << "point " << i;
    EXPECT_EQ(got.active, want.active) << "point " << i;
    EXPECT_EQ(got.noteMask, want.noteMask) << "point " << i;
    for (size_t row = 0; row < kNumMorphParams; ++row)
      ASSERT_NEAR(got.values[row], want.values[row], 5e-7) << "point " << i << " row " << row;
  }
}

TEST_F(MorphRig, SettingsAreClamped)
{
  struct Case
  {
    const char* name;
    const char* line;
    std::function<bool(const MorphController&)> holds;
  };
  const auto& s = [](const MorphController& c) -> const State& { return c.engine().editState(); };
  const Case cases[] = {
    {"nnSamples 40", "field nnSamples 40", [&](auto& c) { return s(c).nnSamples == 21; }},
    {"nnSamples 1", "field nnSamples 1", [&](auto& c) { return s(c).nnSamples == 5; }},
    {"model 9", "field model 9", [&](auto& c) { return s(c).model == 4; }},
    {"model -2", "field model -2", [&](auto& c) { return s(c).model == 0; }},
    {"sigma 5", "field sigma 5", [&](auto& c) { return s(c).sigma == 2.0; }},
    {"sigma 0", "field sigma 0", [&](auto& c) { return s(c).sigma == 0.02; }},
    {"pointScale 3", "field pointScale 3",
     [&](auto& c) { return c.engine().pointScale() == 2.0 && s(c).snapRadius == 2.0 * 4.5 / 101.0; }},
    {"shapeContrast -1", "field shapeContrast -1", [&](auto& c) { return s(c).shapeContrast == 0.0; }},
    {"cutoffContrast 2", "field cutoffContrast 2", [&](auto& c) { return s(c).cutoffContrast == 1.0; }},
    {"kernelTail 3", "field kernelTail 3", [&](auto& c) { return s(c).kernelTail == 1.0; }},
    {"tailPower 10", "field tailPower 10", [&](auto& c) { return s(c).tailPower == 6.0; }},
    {"nnRadius 0", "field nnRadius 0", [&](auto& c) { return s(c).nnRadius == 1.0; }},
    {"neighborIndex 100 for the current model", "field neighborIndex 100",
     [&](auto& c) { return s(c).neighborIndex[1] == 17.0; }},
    {"neighborIndex3 0.1", "field neighborIndex3 0.1", [&](auto& c) { return s(c).neighborIndex[3] == 0.5; }},
    {"isoLevels 99", "field isoLevels 99", [&](auto& c) { return c.appearance().isoLevels == 14; }},
    {"gridStep 0", "field gridStep 0", [&](auto& c) { return c.appearance().gridStep == 0.02f; }},
    {"old isoBrightness key", "field isoBrightness 0.75",
     [&](auto& c) { return c.appearance().lineBrightness == 0.75f; }},
  };
  for (const Case& c : cases)
  {
    FakeMorphHost h;
    MorphController fresh(h, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes);
    ASSERT_TRUE(fresh.applyRigFile(rigFileOf({c.line}))) << c.name;
    EXPECT_TRUE(c.holds(fresh)) << c.name;
  }
}

TEST(MorphRigSuffix, ModelNumbers)
{
  struct Case
  {
    const char* key;
    int32_t model;
  };
  const Case cases[] = {
    {"neighborIndex", -1},   {"neighborIndex0", 0},  {"neighborIndex4", 4},  {"neighborIndex04", 4},
    {"neighborIndex5", -1},  {"neighborIndex7", -1}, {"neighborIndexA", -1}, {"neighborIndex2x", -1},
    {"neighborIndex-1", -1}, {"neighbor", -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MorphZarvoAdapter::parseModelSuffix(c.key), c.model) << c.key;
}

TEST_F(MorphRig, ForeignModelSuffixesChangeNothing)
{
  const State before = ctrl.engine().editState();
  ASSERT_TRUE(ctrl.applyRigFile(rigFileOf({"field neighborIndex7 9", "field neighborIndexQ 9", "point 0"})));
  EXPECT_EQ(ctrl.engine().editState().neighborIndex, before.neighborIndex);
  ASSERT_TRUE(ctrl.applyRigFile(rigFileOf({"field neighborIndex04 3.5"})));
  EXPECT_EQ(ctrl.engine().editState().neighborIndex[4], 3.5);
  EXPECT_EQ(ctrl.engine().editState().neighborIndex[1], before.neighborIndex[1]);
}

TEST_F(MorphRig, UserLineAloneMovesThePadAndParksTheUserPoints)
{
  vemlor_test::editField(ctrl.engine(), [](State& f) {
    fillDistinctField(f);
    f.points[0].active = true;
    f.focus = 2;
  });
  const State& s = ctrl.engine().editState();
  const MorphPoint centre = s.points[0];
  ctrl.engine().edit({.selection = 0b110});
  ctrl.setPointIdentity(3, {1, "Old", 3, false});

  ASSERT_TRUE(ctrl.applyRigFile(rigFileOf({"user 0.25 0.75"})));
  EXPECT_EQ(host.param(zarvo::par_morph_x).Value(), 0.25);
  EXPECT_EQ(host.param(zarvo::par_morph_y).Value(), 0.75);
  EXPECT_EQ(ctrl.morphX(), 0.25);
  EXPECT_EQ(s.points[0], centre);
  for (size_t i = 1; i < kNumPoints; ++i)
    EXPECT_FALSE(s.points[i].active) << "point " << i;
  EXPECT_EQ(ctrl.engine().selection(), 0u);
  EXPECT_EQ(s.focus, -1);
  EXPECT_EQ(ctrl.pointIdentity()[3], PatchIdentity{});
}

TEST_F(MorphRig, PointWithoutDepthTakesItFromItsVariation)
{
  const double passTypeBandReject = ctrl.normalizedOf(zarvo::par_main_pass_type, 4);
  ASSERT_TRUE(ctrl.applyRigFile(rigFileOf({
    "point 2 x 0.1 y 0.2 active 1 mask 2",
    "val 2 par_main_pass_type " + std::to_string(passTypeBandReject),
    "val 2 par_main_pt_variation 0.88",
    "point 3 active 1",
    "val 3 par_main_pt_depth 0.25",
    "val 3 par_main_pt_variation 0.88",
  })));
  const auto valueOf = [&](size_t point, int param) {
    return ctrl.engine().editState().points[point].values[static_cast<size_t>(rowOf(param))];
  };
  EXPECT_NEAR(valueOf(2, zarvo::par_main_pt_depth), ctrl.normalizedOf(zarvo::par_main_pt_depth, 0.5), 1e-12);
  EXPECT_NEAR(valueOf(2, zarvo::par_main_pt_tilt), ctrl.normalizedOf(zarvo::par_main_pt_tilt, 0.7), 1e-12);
  EXPECT_EQ(valueOf(3, zarvo::par_main_pt_depth), 0.25);
  EXPECT_EQ(ctrl.engine().editState().points[2].noteMask, 2u);
}

TEST_F(MorphRig, HostilePasteEndsInRange)
{
  ASSERT_TRUE(ctrl.applyRigFile(rigFileOf({
    "field sigma nan",
    "field pointScale inf",
    "field model 1e300",
    "field nnSamples -1e300",
    "field kernelTail -inf",
    "field isoLevels 1e300",
    "field gridStep nan",
    "field morphFieldLineBrightness -4",
    "user nan 1e308",
    "point 1 x -5 y 1e308 active 1 mask 4294967295",
    "point 2 x nan y inf active -7 mask 99999999999999999999",
    "val 1 par_main_cutoff_hz nan",
    "val 1 par_main_resonance -3",
    "val 1 par_main_drive 1e300",
    "val 2 par_main_pass_type inf",
    "val 2 par_main_pt_variation nan",
    "val 99 par_main_drive 0.5",
    "val 1 par_not_a_parameter 0.5",
  })));
  const State& s = ctrl.engine().editState();
  const auto inRange = [](double v, double lo, double hi) { return std::isfinite(v) && v >= lo && v <= hi; };
  EXPECT_TRUE(inRange(s.sigma, 0.02, 2.0));
  EXPECT_TRUE(inRange(ctrl.engine().pointScale(), 1.0, 2.0));
  EXPECT_LE(s.model, 4u);
  EXPECT_TRUE(s.nnSamples >= 5 && s.nnSamples <= 21);
  EXPECT_TRUE(inRange(s.kernelTail, 0.0, 1.0));
  EXPECT_TRUE(ctrl.appearance().isoLevels >= 0 && ctrl.appearance().isoLevels <= 14);
  EXPECT_TRUE(inRange(ctrl.appearance().gridStep, 0.02, 1.0));
  EXPECT_TRUE(inRange(ctrl.appearance().lineBrightness, 0.0, 1.0));
  EXPECT_TRUE(inRange(host.param(zarvo::par_morph_x).Value(), 0.0, 1.0));
  EXPECT_TRUE(inRange(host.param(zarvo::par_morph_y).Value(), 0.0, 1.0));
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    const MorphPoint& p = s.points[i];
    EXPECT_TRUE(inRange(p.x, 0.0, 1.0)) << "point " << i;
    EXPECT_TRUE(inRange(p.y, 0.0, 1.0)) << "point " << i;
    EXPECT_EQ(p.noteMask & ~kNoteMaskBits, 0u) << "point " << i;
    for (size_t r = 0; r < kNumMorphParams; ++r)
      ASSERT_TRUE(inRange(p.values[r], 0.0, 1.0)) << "point " << i << " row " << r;
  }
  EXPECT_EQ(s.points[1].values[static_cast<size_t>(kRowMainCutoff)],
            host.param(zarvo::par_main_cutoff_hz).GetDefault(true));
}

TEST_F(MorphRig, UnusableTextsAreRejectedWholeAndOneStepIsRecorded)
{
  host.withPresetManager = true;
  host.editorIsOpen = true;
  vemlor_test::editField(ctrl.engine(), [](auto& f) { fillDistinctField(f); });
  const State before = ctrl.engine().editState();
  const uint32_t sequence = ctrl.engine().snapshot().sequence();

  zarvo::ZarvoFile noSection("Vemlor", "1.3.0");
  noSection.setSection("user-tab", {"user 0.1 0.1"});
  EXPECT_FALSE(ctrl.applyRigFile(noSection));
  EXPECT_FALSE(ctrl.applyRigFile(
    rigFileOf({"", "# comment", "field sigma", "point 17 x 0.1", "val 3 par_main_drive", "user 0.5", "banana 1 2"})));
  EXPECT_EQ(ctrl.engine().editState(), before);
  EXPECT_EQ(ctrl.engine().snapshot().sequence(), sequence);
  EXPECT_TRUE(host.calls.empty());

  ASSERT_TRUE(ctrl.applyRigFile(rigFileOf({"field sigma 0.5"})));
  EXPECT_EQ(host.calls,
            (std::vector<std::string>{"pushUndo", "listIndex -1", "captureBaseline", "pushParams", "dirty"}));
  EXPECT_EQ(ctrl.engine().snapshot().sequence(), sequence + 2);
}

} // namespace
