// Weighting models, resolving the blend and the field analysis of the morph engine.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>
#include <optional>
#include <random>
#include <string>

#include "product/params/morph_param_table.h"
#include "tests/support/distinct_field.h"
#include "utils/morph/morph_engine.h"

namespace {

using namespace zarvo::morph;
using State = MorphEngine::RTState;

double sumOf(const Weights& w) { return std::accumulate(w.begin(), w.end(), 0.0); }

Weights weightsAt(const MorphEngine& engine, const State& s, double x, double y)
{
  Scales scales{};
  engine.computeScales(s, scales);
  Weights w{};
  engine.computeWeightsInto(s, x, y, w, scales, true, 1.0);
  return w;
}

void place(State& s, size_t i, double x, double y, bool active = true)
{
  s.points[i].x = x;
  s.points[i].y = y;
  s.points[i].active = active;
}

TEST(MorphEngine, StartsWithDefaultFieldPublishedOnce)
{
  const MorphEngine engine(kMorphParams);
  for (const MorphPoint& p : engine.editState().points)
    EXPECT_EQ(p, MorphPoint{});
  EXPECT_EQ(engine.editState().model, 1u);
  EXPECT_EQ(engine.editState().focus, -1);
  EXPECT_EQ(engine.snapshot().sequence(), 2u);
  State published;
  published.model = 99;
  ASSERT_TRUE(engine.snapshot().load(published));
  EXPECT_EQ(published, engine.editState());
}

TEST(MorphWeights, RandomFieldsGiveNonNegativeWeightsSummingToOne)
{
  const MorphEngine engine(kMorphParams);
  std::mt19937_64 rng(20240611);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto between = [&](double lo, double hi) { return lo + (hi - lo) * unit(rng); };

  for (int trial = 0; trial < 3000; ++trial)
  {
    State s;
    s.model = static_cast<uint32_t>(trial % kNumModels);
    s.sigma = between(0.02, 2.0);
    s.kernelTail = between(0.0, 1.0);
    s.tailPower = between(0.5, 6.0);
    for (double& k : s.neighborIndex)
      k = between(0.5, 17.0);
    s.nnSamples = static_cast<int32_t>(between(5.0, 21.99));
    s.nnRadius = between(1.0, 4.0);
    const double activeShare = (trial / kNumModels) % 4 == 0 ? 0.08 : 0.6;
    bool anyActive = false;
    for (size_t i = 0; i < kNumPoints; ++i)
    {
      place(s, i, unit(rng), unit(rng), unit(rng) < activeShare);
      anyActive = anyActive || s.points[i].active;
    }
    s.focus = trial % 17 == 0 ? static_cast<int32_t>(trial % kNumPoints) : -1;

    // Anywhere on the pad and a little beyond, and exactly on a point.
    const size_t on = static_cast<size_t>(trial) % kNumPoints;
    const double x = trial % 7 == 0 ? s.points[on].x : between(-0.2, 1.2);
    const double y = trial % 7 == 0 ? s.points[on].y : between(-0.2, 1.2);
    const Weights w = weightsAt(engine, s, x, y);

    SCOPED_TRACE("trial " + std::to_string(trial) + " model " + std::to_string(s.model));
    for (double v : w)
      ASSERT_GE(v, 0.0);
    if (anyActive || s.focus >= 0)
      ASSERT_NEAR(sumOf(w), 1.0, 1e-12);
    else
      ASSERT_EQ(sumOf(w), 0.0);
  }
}

TEST(MorphWeights, SingleActivePointTakesAllWeightEverywhere)
{
  const MorphEngine engine(kMorphParams);
  const std::array<std::array<double, 2>, 5> positions = {
    {{0.0, 0.0}, {1.0, 1.0}, {0.3, 0.71}, {0.5, 0.5}, {0.9, 0.1}}};
  for (size_t point : {size_t{0}, size_t{7}})
  {
    for (uint32_t model = 0; model < kNumModels; ++model)
    {
      State s;
      s.model = model;
      place(s, point, 0.4, 0.6);
      for (const auto& pos : positions)
      {
        const Weights w = weightsAt(engine, s, pos[0], pos[1]);
        EXPECT_NEAR(w[point], 1.0, 1e-12)
          << "point " << point << " model " << model << " at " << pos[0] << "," << pos[1];
      }
    }
  }
}

TEST(MorphWeights, EdgeCases)
{
  struct Case
  {
    const char* name;
    std::function<void(State&)> setup;
    double x;
    double y;
    size_t point; // expected to carry the given weight
    double weight;
  };
  const auto fourPoints = [](State& s) {
    place(s, 1, 0.2, 0.2);
    place(s, 2, 0.8, 0.2);
    place(s, 3, 0.8, 0.8, false);
    place(s, 4, 0.2, 0.8);
  };
  const Case cases[] = {
    {"focus on an inactive point",
     [&](State& s) {
       fourPoints(s);
       s.focus = 3;
     },
     0.2, 0.2, 3, 1.0},
    {"exactly on a user point, gaussian",
     [&](State& s) {
       fourPoints(s);
       s.model = 0;
     },
     0.8, 0.2, 2, 1.0},
    {"exactly on a user point, adaptive",
     [&](State& s) {
       fourPoints(s);
       s.model = 1;
     },
     0.8, 0.2, 2, 1.0},
    {"exactly on a user point, compact",
     [&](State& s) {
       fourPoints(s);
       s.model = 2;
     },
     0.8, 0.2, 2, 1.0},
    {"exactly on a user point, tail",
     [&](State& s) {
       fourPoints(s);
       s.model = 3;
     },
     0.8, 0.2, 2, 1.0},
    {"exactly on a user point, natural",
     [&](State& s) {
       fourPoints(s);
       s.model = 4;
     },
     0.8, 0.2, 2, 1.0},
    {"equal distances snap to the lower index",
     [&](State& s) {
       place(s, 5, 0.5, 0.52);
       place(s, 2, 0.5, 0.48);
     },
     0.5, 0.5, 2, 1.0},
    {"centre point snaps first",
     [&](State& s) {
       fourPoints(s);
       place(s, 0, 0.5, 0.5);
       place(s, 6, 0.5, 0.51);
     },
     0.5, 0.505, 0, 1.0},
    {"model 2 far from every point leans fully to the nearest",
     [&](State& s) {
       s.model = 2;
       s.sigma = 0.02;
       place(s, 1, 0.0, 0.0);
       place(s, 2, 0.05, 0.0);
       place(s, 3, 0.0, 0.05);
     },
     1.0, 0.03, 2, 1.0},
  };
  const MorphEngine engine(kMorphParams);
  for (const Case& c : cases)
  {
    State s;
    c.setup(s);
    const Weights w = weightsAt(engine, s, c.x, c.y);
    EXPECT_NEAR(w[c.point], c.weight, 1e-12) << c.name;
    EXPECT_NEAR(sumOf(w), 1.0, 1e-12) << c.name;
  }
}

TEST(MorphWeights, NaturalNeighbourSharpeningFollowsSigma)
{
  struct Case
  {
    const char* name;
    double sigma;
    double exponent;
  };
  const Case cases[] = {
    {"sigma 2 leaves the sampled shares", 2.0, 1.0},
    {"sigma above 2 leaves them too", 2.4, 1.0},
    {"sigma 1.01 squares half the range", 1.01, 1.0 + 7.0 * 0.25},
    {"sigma 0.02 gives exponent 8", 0.02, 8.0},
  };
  const MorphEngine engine(kMorphParams);
  State s;
  s.model = 4;
  place(s, 1, 0.3, 0.3);
  place(s, 2, 0.7, 0.35);
  place(s, 3, 0.5, 0.8);
  s.sigma = 2.0;
  Weights sampled{};
  engine.computeNaturalNeighborInto(s, 0.45, 0.45, sampled, 1.0);
  ASSERT_GT(sampled[2], 0.0);
  ASSERT_LT(sampled[1], 1.0);

  for (const Case& c : cases)
  {
    s.sigma = c.sigma;
    Weights w{};
    engine.computeNaturalNeighborInto(s, 0.45, 0.45, w, 1.0);
    Weights expected = sampled;
    MorphEngine::applyGamma(expected, c.exponent);
    for (size_t i = 0; i < kNumPoints; ++i)
      EXPECT_NEAR(w[i], expected[i], 1e-12) << c.name << " point " << i;
  }
}

TEST(MorphWeights, GammaOfOneOrOfZeroWeightsChangesNothing)
{
  Weights some{};
  some[1] = 0.25;
  some[4] = 0.75;
  Weights w = some;
  MorphEngine::applyGamma(w, 1.0);
  EXPECT_EQ(w, some);
  Weights zeros{};
  MorphEngine::applyGamma(zeros, 8.0);
  EXPECT_EQ(zeros, Weights{});
  MorphEngine::applyGamma(w, 3.0);
  EXPECT_NEAR(w[4] / w[1], 27.0, 1e-9);
}

// ---- resolving

constexpr size_t kSaturationRow = 4;
constexpr size_t kUbOnRow = 35;
constexpr size_t kResonanceRow = 2;

TEST(MorphResolve, BlendKinds)
{
  struct Case
  {
    const char* name;
    size_t row;
    std::array<size_t, 2> points;
    std::array<double, 2> values;
    std::array<double, 2> weights;
    double expected;
  };
  const Case cases[] = {
    {"circular mean wraps round", kSaturationRow, {1, 2}, {0.95, 0.15}, {0.5, 0.5}, 0.05},
    {"opposite angles fall back to the lower index", kSaturationRow, {3, 6}, {0.25, 0.75}, {0.5, 0.5}, 0.25},
    {"dominant point, tie keeps the lower index", kUbOnRow, {2, 5}, {0.0, 1.0}, {0.5, 0.5}, 0.0},
    {"dominant point, heavier wins", kUbOnRow, {2, 5}, {0.0, 1.0}, {0.4, 0.6}, 1.0},
    {"weighted sum", kResonanceRow, {2, 5}, {0.2, 0.8}, {0.25, 0.75}, 0.65},
    {"no weight: weighted sum is zero", kResonanceRow, {2, 5}, {0.2, 0.8}, {0.0, 0.0}, 0.0},
    {"no weight: dominant row takes point 0", kUbOnRow, {0, 5}, {0.7, 1.0}, {0.0, 0.0}, 0.7},
    {"no weight: circular row takes point 0", kSaturationRow, {0, 5}, {0.3, 0.9}, {0.0, 0.0}, 0.3},
  };
  const MorphEngine engine(kMorphParams);
  for (const Case& c : cases)
  {
    State s;
    Weights w{};
    for (size_t k = 0; k < 2; ++k)
    {
      s.points[c.points[k]].values[c.row] = c.values[k];
      w[c.points[k]] = c.weights[k];
    }
    MorphValues out{};
    engine.resolveInto(s, w, out);
    EXPECT_NEAR(out[c.row], c.expected, 1e-12) << c.name;
  }
}

TEST(MorphResolve, CutoffContrastMakesCutoffsFollowTheHeaviestPoint)
{
  const MorphEngine engine(kMorphParams);
  State s;
  s.model = 0;
  s.cutoffContrast = 1.0;
  for (size_t r = 0; r < kNumMorphParams; ++r)
  {
    s.points[3].values[r] = 0.2;
    s.points[8].values[r] = 0.9;
  }
  Weights w{};
  w[3] = 0.6;
  w[8] = 0.4;
  MorphValues out{};
  engine.resolveInto(s, w, out);
  for (size_t r : {kRowMainCutoff, kRowPreACutoff, kRowPreBCutoff})
    EXPECT_NEAR(out[static_cast<size_t>(r)], 0.2, 1e-12) << "row " << r;
  EXPECT_NEAR(out[kResonanceRow], 0.6 * 0.2 + 0.4 * 0.9, 1e-12);
}

State distinctField()
{
  State s;
  vemlor_test::fillDistinctField(s, {.x0 = 0.1,
                                     .y0 = 0.15,
                                     .yStep = 0.04,
                                     .yStride = 7,
                                     .activePeriod = 4,
                                     .firstInactive = true,
                                     .pointStride = 37,
                                     .rowStride = 11,
                                     .valueModulus = 101,
                                     .valueDivisor = 100.0,
                                     .noteMasks = std::nullopt});
  return s;
}

TEST(MorphResolve, PositionOnAPointReproducesItsSound)
{
  MorphEngine engine(kMorphParams);
  for (uint32_t model = 0; model < kNumModels; ++model)
  {
    const State field = distinctField();
    engine.edit({.field = &field});
    engine.edit({.model = model});
    for (size_t k : {size_t{1}, size_t{6}, size_t{16}})
    {
      const MorphPoint& p = engine.editState().points[k];
      const MorphValues out = engine.resolvedAt(p.x, p.y);
      for (size_t r = 0; r < kNumMorphParams; ++r)
        ASSERT_NEAR(out[r], p.values[r], 1e-12) << "model " << model << " point " << k << " row " << r;
    }
  }
}

// The natural-neighbour model counts grid samples, so its shares step rather than glide; the
// continuous models are checked here.
TEST(MorphResolve, MovingBetweenTwoPointsBlendsMonotonically)
{
  MorphEngine engine(kMorphParams);
  for (uint32_t model = 0; model < 4; ++model)
  {
    State s = distinctField();
    for (MorphPoint& p : s.points)
      p.active = false;
    place(s, 3, 0.2, 0.3);
    place(s, 9, 0.8, 0.7);
    s.model = model;
    engine.edit({.field = &s});

    constexpr int kSteps = 200;
    MorphValues previous = engine.resolvedAt(0.2, 0.3);
    for (int step = 1; step <= kSteps; ++step)
    {
      const double t = static_cast<double>(step) / kSteps;
      const MorphValues now = engine.resolvedAt(0.2 + 0.6 * t, 0.3 + 0.4 * t);
      for (size_t r = 0; r < kNumMorphParams; ++r)
      {
        if (kMorphParams[r].kind != kBlendWeightedSum)
          continue;
        const double direction = s.points[9].values[r] - s.points[3].values[r];
        ASSERT_GE((now[r] - previous[r]) * direction, -1e-12) << "model " << model << " step " << step << " row " << r;
      }
      previous = now;
    }
    for (size_t r = 0; r < kNumMorphParams; ++r)
      EXPECT_NEAR(previous[r], s.points[9].values[r], 1e-12) << "model " << model << " row " << r;
  }
}

TEST(MorphResolve, ResolvedAtIgnoresFocus)
{
  MorphEngine engine(kMorphParams);
  const State field = distinctField();
  engine.edit({.field = &field});
  const MorphValues free = engine.resolvedAt(0.42, 0.37);
  engine.edit({.focus = 5});
  EXPECT_EQ(engine.resolvedAt(0.42, 0.37), free);
}

// ---- field analysis

TEST(MorphFieldAnalysis, Cases)
{
  MorphEngine engine(kMorphParams);
  Scales scales{};

  // No active point.
  engine.computeScales(engine.editState(), scales);
  EXPECT_EQ(engine.dominanceAt(0.3, 0.3, scales), 0.0);
  const MorphEngine::FieldSample none = engine.fieldSampleAt(0.3, 0.3, scales);
  EXPECT_EQ(none.point, 0u);
  EXPECT_EQ(none.weight, 0.0);

  for (uint32_t model = 0; model < kNumModels; ++model)
  {
    const State field = distinctField();
    engine.edit({.field = &field});
    engine.edit({.model = model});
    engine.computeScales(engine.editState(), scales);
    const MorphPoint& p = engine.editState().points[6];
    EXPECT_NEAR(engine.dominanceAt(p.x, p.y, scales), 1.0, 1e-12) << "model " << model;
    EXPECT_NEAR(engine.dominanceForRidgesAt(p.x, p.y, scales), 1.0, 1e-12) << "model " << model;
    EXPECT_EQ(engine.fieldSampleAt(p.x, p.y, scales).point, 6u) << "model " << model;

    const double free = engine.dominanceAt(0.47, 0.52, scales);
    engine.edit({.focus = 2});
    EXPECT_EQ(engine.dominanceAt(0.47, 0.52, scales), free) << "model " << model;
    engine.edit({.focus = -1});
  }

  const State field = distinctField();
  engine.edit({.field = &field});
  engine.edit({.model = 0});
  engine.computeScales(engine.editState(), scales);
  EXPECT_EQ(engine.dominanceForRidgesAt(0.47, 0.52, scales), engine.dominanceAt(0.47, 0.52, scales));

  engine.edit({.model = 1});
  engine.computeScales(engine.editState(), scales);
  Scales wide = scales;
  for (double& v : wide)
    v *= 2.5;
  EXPECT_NEAR(engine.dominanceForRidgesAt(0.47, 0.52, scales), engine.dominanceAt(0.47, 0.52, wide), 1e-12);
}

TEST(MorphEngine, AnEditChangesWhatItNamesAndNothingElse)
{
  static const State other = [] {
    State s = distinctField();
    s.sigma = 0.3;
    return s;
  }();
  static const MorphPoint loud = [] {
    MorphPoint p;
    p.active = true;
    p.values.fill(0.9);
    return p;
  }();
  struct Case
  {
    const char* name;
    MorphEngine::Edit edit;
    std::function<void(State&)> expect;
  };
  const Case cases[] = {
    {"a point moves",
     {.point = 3, .x = 0.2, .y = 0.8},
     [](State& s) {
       s.points[3].x = 0.2;
       s.points[3].y = 0.8;
     }},
    {"a whole point", {.point = 7, .whole = &loud}, [](State& s) { s.points[7] = loud; }},
    {"one row of a point", {.point = 2, .row = 5, .value = 0.7}, [](State& s) { s.points[2].values[5] = 0.7; }},
    {"a point past the last", {.point = kNumPoints, .active = true}, [](State&) {}},
    {"a row past the last", {.point = 2, .row = kNumMorphParams, .value = 0.7}, [](State&) {}},
    {"point fields without a point", {.x = 0.2, .active = true}, [](State&) {}},
    {"the field, then the settings",
     {.field = &other, .focus = 4, .sigma = 2.5},
     [](State& s) {
       s = other;
       s.focus = 4;
       s.sigma = 2.5;
     }},
    {"how the pad edits is not the field", {.pointScale = 1.5, .editing = true, .selection = 0b110}, [](State&) {}},
  };
  for (const Case& c : cases)
  {
    MorphEngine engine(kMorphParams);
    State expected = engine.editState();
    c.expect(expected);
    engine.edit(c.edit);
    EXPECT_EQ(engine.editState(), expected) << c.name;
  }
  MorphEngine engine(kMorphParams);
  engine.edit({.pointScale = 1.5, .editing = true, .padOption = true, .moving = true, .selection = 0b110});
  EXPECT_EQ(engine.pointScale(), 1.5);
  EXPECT_TRUE(engine.editing() && engine.padOption() && engine.moving());
  EXPECT_EQ(engine.selection(), 0b110u);
}

} // namespace
