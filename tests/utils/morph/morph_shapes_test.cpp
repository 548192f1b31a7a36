// Filter shapes of a morph blend: grouping by pass type, user blends, pre-filters and the views.
#include <gtest/gtest.h>

#include "IPlugin/IPluginThreadRole.h"
#include "fake_morph_host.h"
#include "product/params/morph_param_table.h"

namespace {

using namespace morph_test;
using zarvo::FilterPassType;
using zarvo::shapeOf;
using zarvo::stage_coeffs;
using zarvo::svf_coeffs;
using View = MorphController::MainPTShapeView;

class MorphShapes : public testing::Test
{
protected:
  void setPlain(size_t point, int param, double plain)
  {
    ctrl.engine().edit(
      {.point = point, .row = static_cast<size_t>(rowOf(param)), .value = ctrl.normalizedOf(param, plain)});
  }
  void passTypePoint(size_t point, int type, double depth, double tilt)
  {
    setPlain(point, zarvo::par_main_pass_type, type);
    setPlain(point, zarvo::par_main_pt_depth, depth);
    setPlain(point, zarvo::par_main_pt_tilt, tilt);
  }
  void userBlendPoint(size_t point, const stage_coeffs& c, double fb)
  {
    setPlain(point, zarvo::par_main_ub_on, 1.0);
    const int ids[] = {zarvo::par_main_ub_u, zarvo::par_main_ub_y1, zarvo::par_main_ub_y2, zarvo::par_main_ub_y3,
                       zarvo::par_main_ub_y4};
    for (size_t k = 0; k < c.size(); ++k)
      setPlain(point, ids[k], c[k]);
    setPlain(point, zarvo::par_main_ub_fb, fb);
  }
  View grouped(const Weights& w, std::array<MorphController::TypeAxes, zarvo::kNumPassTypes>* axes = nullptr)
  {
    const auto& points = ctrl.engine().editState().points;
    return ctrl.resolveShapeGrouped(
      w, [&](size_t i) -> const MorphPoint& { return points[i]; }, MorphController::kShapeTolerance, axes);
  }

  FakeMorphHost host;
  MorphController ctrl{host, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes};
};

void expectCoeffs(const stage_coeffs& actual, const stage_coeffs& expected, const char* name)
{
  for (size_t k = 0; k < expected.size(); ++k)
    EXPECT_NEAR(actual[k], expected[k], 1e-9) << name << " coefficient " << k;
}

Weights weightsOf(std::initializer_list<std::pair<size_t, double>> entries)
{
  Weights w{};
  for (const auto& [i, v] : entries)
    w[i] = v;
  return w;
}

TEST_F(MorphShapes, OnePassTypePointGivesItsOwnShape)
{
  passTypePoint(4, 3, 0.7, -0.3);
  const View v = grouped(weightsOf({{4, 1.0}}));
  expectCoeffs(v.coeffs, shapeOf(FilterPassType::BP, 0.7, -0.3), "single point");
  EXPECT_EQ(v.fb, 0.0);
  EXPECT_FALSE(v.userBlend);
  EXPECT_EQ(v.passType, 3);
  EXPECT_NEAR(v.depth, 0.7, 1e-12);
  EXPECT_NEAR(v.tilt, -0.3, 1e-12);
}

TEST_F(MorphShapes, PointsOfOneTypeMergeBeforeTheirShapeIsMade)
{
  passTypePoint(2, 3, 0.2, 0.1);
  passTypePoint(5, 3, 0.6, 0.5);
  passTypePoint(7, 0, 0.9, 0.0);
  std::array<MorphController::TypeAxes, zarvo::kNumPassTypes> axes{};
  axes[1] = {-1.0, -1.0, -1.0};

  const View same = grouped(weightsOf({{2, 0.5}, {5, 0.5}}), &axes);
  expectCoeffs(same.coeffs, shapeOf(FilterPassType::BP, 0.4, 0.3), "mean depth and tilt");
  EXPECT_FALSE(same.userBlend);
  EXPECT_NEAR(same.depth, 0.4, 1e-12);
  EXPECT_NEAR(axes[3].weight, 1.0, 1e-12);
  EXPECT_NEAR(axes[3].tilt, 0.3, 1e-12);
  EXPECT_EQ(axes[1].weight, -1.0) << "types without weight are left alone";

  const View mixed = grouped(weightsOf({{2, 0.25}, {5, 0.25}, {7, 0.5}}), &axes);
  EXPECT_NEAR(axes[0].weight, 0.5, 1e-12);
  EXPECT_NEAR(axes[0].depth, 0.9, 1e-12);
  EXPECT_TRUE(mixed.userBlend);
}

TEST_F(MorphShapes, DominantPointDecidesWhenShapesDiffer)
{
  struct Case
  {
    const char* name;
    Weights w;
    int passType;
    bool userBlend;
  };
  passTypePoint(1, 0, 1.0, 0.0);
  passTypePoint(3, 1, 0.5, 0.0);
  userBlendPoint(6, {0.5, 0.0, 0.0, 0.0, 0.5}, 0.3);
  passTypePoint(0, 4, 0.25, 0.0);
  const Case cases[] = {
    {"two pass types at equal weight: the lower index", weightsOf({{1, 0.5}, {3, 0.5}}), 0, true},
    {"the heavier pass type", weightsOf({{1, 0.3}, {3, 0.7}}), 1, true},
    {"a light user blend still prevents the single-type result", weightsOf({{1, 0.99}, {6, 0.01}}), 0, true},
    {"a dominant user blend", weightsOf({{1, 0.2}, {6, 0.8}}), 0, true},
    {"no weight: point 0's type", Weights{}, 4, true},
  };
  for (const Case& c : cases)
  {
    const View v = grouped(c.w);
    EXPECT_EQ(v.passType, c.passType) << c.name;
    EXPECT_EQ(v.userBlend, c.userBlend) << c.name;
  }

  const View none = grouped(Weights{});
  expectCoeffs(none.coeffs, stage_coeffs{}, "no weight");

  const View blend = grouped(weightsOf({{1, 0.2}, {6, 0.8}}));
  const stage_coeffs lp = shapeOf(FilterPassType::LP, 1.0, 0.0);
  stage_coeffs expected{};
  const stage_coeffs ub = {0.5, 0.0, 0.0, 0.0, 0.5};
  for (size_t k = 0; k < expected.size(); ++k)
    expected[k] = 0.2 * lp[k] + 0.8 * ub[k];
  expectCoeffs(blend.coeffs, expected, "user blend mix");
  EXPECT_NEAR(blend.fb, 0.2 * 1.0 + 0.8 * 0.3, 1e-9);
}

TEST_F(MorphShapes, PreFilterPointShapes)
{
  struct Case
  {
    const char* name;
    double passTypeIndex;
    bool userBlend;
    svf_coeffs expected;
    int typeIndex;
  };
  const Case cases[] = {
    {"index 0 is low-pass", 0, false, {1, 0, 0}, 0},  {"index 1 is high-pass", 1, false, {0, 1, 0}, 1},
    {"index 2 is band-pass", 2, false, {0, 0, 1}, 2}, {"index 3 is band-reject", 3, false, {1, 1, 0}, 3},
    {"index 4 is P", 4, false, {1, -1, 0}, 4},        {"user blend mixes", 4, true, {0.5, -2.0, 3.25}, 0},
  };
  const auto& ids = kPreFltBShape;
  for (const Case& c : cases)
  {
    setPlain(9, ids.passType, c.passTypeIndex);
    setPlain(9, ids.on, c.userBlend ? 1.0 : 0.0);
    setPlain(9, ids.lp, 0.5);
    setPlain(9, ids.hp, -2.0);
    setPlain(9, ids.bp, 3.25);
    svf_coeffs coeffs{};
    int typeIndex = -1;
    EXPECT_EQ(ctrl.pointShapePreFlt(ctrl.engine().editState().points[9], ids, coeffs, typeIndex), c.userBlend)
      << c.name;
    EXPECT_EQ(typeIndex, c.typeIndex) << c.name;
    for (size_t k = 0; k < 3; ++k)
      EXPECT_NEAR(coeffs[k], c.expected[k], 1e-9) << c.name;
  }
}

TEST_F(MorphShapes, ViewsShowTheBlendOnlyWhileMorphingWithoutFocus)
{
  MorphEngine& engine = ctrl.engine();
  engine.edit({.point = 3, .active = true});
  engine.edit({.point = 3, .x = 0.3, .y = 0.6});
  passTypePoint(3, 5, 0.8, 0.0);
  setPlain(3, zarvo::par_preFlt_A_pt, 3);
  host.param(zarvo::par_morph_x).Set(0.9);
  host.param(zarvo::par_morph_y).Set(0.1);
  host.param(zarvo::par_main_pass_type).Set(1);
  host.param(zarvo::par_main_pt_depth).Set(0.25);
  host.param(zarvo::par_preFlt_A_pt).Set(2);

  struct Case
  {
    const char* name;
    bool morphOn;
    int32_t focus;
    int mainType;
    int preATypeIndex;
  };
  const Case cases[] = {
    {"morph off shows the parameters", false, -1, 1, 2},
    {"morphing shows the blend", true, -1, 5, 3},
    {"a focused point shows the parameters", true, 3, 1, 2},
  };
  for (const Case& c : cases)
  {
    ctrl.mirrorMorphSwitch(c.morphOn);
    engine.edit({.focus = c.focus});
    const View main = ctrl.resolveMainPTShapeView(MorphController::kShapeTolerance);
    const MorphController::PreFltShapeView preA =
      ctrl.resolvePreFltShapeView(kPreFltAShape, MorphController::kShapeTolerance);
    EXPECT_EQ(main.passType, c.mainType) << c.name;
    EXPECT_FALSE(main.userBlend) << c.name;
    EXPECT_EQ(preA.typeIndex, c.preATypeIndex) << c.name;
    EXPECT_FALSE(preA.userBlend) << c.name;
  }
}

TEST_F(MorphShapes, AudioPathBlendsTheAudioState)
{
  passTypePoint(2, 3, 0.2, 0.0);
  passTypePoint(8, 3, 0.6, 0.0);
  setPlain(2, zarvo::par_preFlt_A_pt, 0);
  setPlain(8, zarvo::par_preFlt_A_pt, 1);
  ctrl.publish();

  plugkit::AudioThreadScope audio;
  MorphEngine& engine = ctrl.engine();
  ASSERT_TRUE(engine.loadAudioState());
  engine.blendWeights(weightsOf({{2, 0.5}, {8, 0.5}}));
  stage_coeffs coeffs{};
  double fb = -1.0;
  ctrl.resolveMainPTShapeInto(coeffs, fb);
  expectCoeffs(coeffs, shapeOf(FilterPassType::BP, 0.4, 0.0), "audio main shape");
  EXPECT_EQ(fb, 0.0);

  const svf_coeffs preA = ctrl.resolvePreFltBlendInto(ctrl.blockShapeWeights(), kPreFltAShape);
  EXPECT_NEAR(preA[0], 0.5, 1e-12);
  EXPECT_NEAR(preA[1], 0.5, 1e-12);
  EXPECT_NEAR(preA[2], 0.0, 1e-12);
}

} // namespace
