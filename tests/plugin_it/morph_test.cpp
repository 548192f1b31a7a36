// The morph field as the audio reveals it: a position on a point plays that point's sound, and a
// path from one point to another blends their values steadily.
#include <cmath>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/plugin_it/support.h"

namespace vemlor::plugin_it {
namespace {

using namespace zarvo;

constexpr int kPoints = 17;

// The field with only the given points active, weighted by one model, nothing selected.
void setField(Chunk& chunk, int model, const std::vector<int>& active)
{
  std::vector<double>& f = chunk.morph.fields;
  f[kModel] = model;
  f[kNeighborOfModel] = f[static_cast<size_t>(kNeighborModel0 + model)];
  f[kFocus] = -1.0;
  f[kSelection] = 0.0;
  f[kShapeContrast] = 0.0;
  f[kCutoffContrast] = 0.0;
  for (MorphPoint& p : chunk.morph.points)
  {
    p.active = 0.0;
    p.noteMask = 0.0;
  }
  for (int k : active)
    chunk.morph.points.at(static_cast<size_t>(k)).active = 1.0;
}

Stereo renderChunk(const Chunk& chunk, const Stereo& input)
{
  Instance instance;
  EXPECT_TRUE(instance) << instance.session.error;
  if (!instance || !instance.setChunk(chunk) || !instance.restart())
  {
    ADD_FAILURE() << "the chunk was not taken";
    return {};
  }
  return render(instance.plugin(), input);
}

struct OnPointCase
{
  const char* name;
  int model;
  int point;
  double x, y;
};

// Two instances: one with morph on at the point's position, one with morph off and the point's
// values as its parameters.
TEST(PluginMorph, APositionOnAPointPlaysThatPointsSound)
{
  const OnPointCase cases[] = {
    {"user point 1, adaptive gaussian", 1, 1, 0.3, 0.7},
    {"user point 3, gaussian", 0, 3, 0.65, 0.2},
    {"user point 4, compact", 2, 4, 0.4, 0.25},
    {"user point 5, compact with tail", 3, 5, 0.35, 0.6},
    {"user point 2, natural neighbour", 4, 2, 0.65, 0.6},
    {"centre point, adaptive gaussian", 1, 0, 0.5, 0.45},
    {"parked point 9, adaptive gaussian", 1, 9, 0.82, 0.32},
  };
  const char* const sounds[kPoints] = {"ARK",      "STEEL",  "SLAG",  "CLAWS", "HANDPAN", "LEMON",
                                       "SUNSET",   "RUBBER", "LOOSE", "MORDA", "DRIFT",   "ASHEN",
                                       "FAT BEES", "RUST",   "SODA",  "ROSIN", "SPRING"};
  Instance source;
  ASSERT_TRUE(source) << source.session.error;
  const Chunk base = source.chunk().chunk;
  const Stereo input = drumSignal(0.5);
  const Patch defaults = paramTable().defaults();

  for (const OnPointCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    Chunk morphing = base;
    setField(morphing, c.model, {1, 2, 3, 4, 5, c.point});
    for (int k = 0; k < kPoints; ++k)
      setPointSound(morphing, k, presetSound(sounds[k]));
    MorphPoint& on = morphing.morph.points.at(static_cast<size_t>(c.point));
    on.x = c.x;
    on.y = c.y;
    Patch patch = defaults;
    patch[par_morph_active] = 1.0;
    patch[par_morph_x] = paramTable().constrain(par_morph_x, c.x);
    patch[par_morph_y] = paramTable().constrain(par_morph_y, c.y);
    setPatch(morphing, patch);

    // The same sound as plain parameters, morph off: the point's values stand for themselves.
    Chunk direct = morphing;
    Patch plain = patch;
    plain[par_morph_active] = 0.0;
    for (const IdValue& entry : on.values)
    {
      const int index = paramIndexFromStableId(entry.stableId);
      plain[static_cast<size_t>(index)] = paramTable().plain(index, entry.value);
    }
    setPatch(direct, plain);

    const Stereo morphed = renderChunk(morphing, input);
    const Stereo expected = renderChunk(direct, input);
    ASSERT_FALSE(morphed[0].empty());
    ASSERT_FALSE(expected[0].empty());
    EXPECT_LE(maxDifference(morphed, expected), 1e-9);
    EXPECT_GT(rms(expected), 1e-3);
  }
}

// Host automation switching morph off takes effect in the same block and bakes nothing into the
// parameters.
TEST(PluginMorph, TheHostSwitchingMorphOffPlaysTheBasePatchAtOnce)
{
  Instance instance;
  ASSERT_TRUE(instance) << instance.session.error;
  Chunk chunk = instance.chunk().chunk;
  setField(chunk, 1, {1, 2, 3});
  for (int k = 1; k <= 3; ++k)
    setPointSound(chunk, k, presetSound(k == 1 ? "SLAG" : k == 2 ? "STEEL" : "LEMON"));
  Patch base = presetSound("ARK");
  base[par_morph_active] = 0.0;
  setPatch(chunk, base);
  const Stereo input = drumSignal(0.5);
  ASSERT_TRUE(instance.setChunk(chunk));
  ASSERT_TRUE(instance.restart());
  const Stereo expected = render(instance.plugin(), input);

  chunk.param(par_morph_active) = 1.0;
  chunk.param(par_morph_x) = 0.45;
  chunk.param(par_morph_y) = 0.55;
  ASSERT_TRUE(instance.setChunk(chunk));
  ASSERT_TRUE(instance.restart());
  const Stereo morphed = render(instance.plugin(), input);
  EXPECT_GT(maxDifference(morphed, expected), 1e-3) << "the blend sounds unlike the base patch";

  ASSERT_TRUE(instance.restart());
  const Stereo switchedOff = render(instance.plugin(), input, [&](int block) {
    if (block == 0)
      instance.plugin().addParameterChange(par_morph_active, 0, 0.0);
  });
  EXPECT_LE(maxDifference(switchedOff, expected), 1e-9);

  instance.session.host.pump(20);
  Chunk after = instance.chunk().chunk;
  after.param(par_morph_active) = 1.0;
  EXPECT_EQ(after.params, chunk.params) << "the base patch is as it was";
}

// Two points that differ only in output gain: the gain the output shows along the path from one
// to the other is the blend of the two values.
TEST(PluginMorph, MovingFromOnePointToAnotherBlendsTheirValuesSteadily)
{
  constexpr double kGainA = -12.0;
  constexpr double kGainB = 6.0;
  constexpr double kXA = 0.25;
  constexpr double kXB = 0.75;
  constexpr double kY = 0.5;

  Instance instance;
  ASSERT_TRUE(instance) << instance.session.error;
  Chunk chunk = instance.chunk().chunk;
  Patch sound = presetSound("CLEAN VOSK");
  sound[par_main_gain] = 0.0;
  sound[par_morph_active] = 0.0;
  setPatch(chunk, sound);
  setField(chunk, 1, {1, 2});
  Patch a = sound;
  a[par_main_gain] = kGainA;
  Patch b = sound;
  b[par_main_gain] = kGainB;
  setPointSound(chunk, 1, a);
  setPointSound(chunk, 2, b);
  chunk.morph.points.at(1).x = kXA;
  chunk.morph.points.at(1).y = kY;
  chunk.morph.points.at(2).x = kXB;
  chunk.morph.points.at(2).y = kY;

  const Stereo input = noiseSignal(0.25, 9);
  ASSERT_TRUE(instance.setChunk(chunk));
  ASSERT_TRUE(instance.restart());
  const double reference = rms(render(instance.plugin(), input));
  ASSERT_GT(reference, 1e-3);

  chunk.param(par_morph_active) = 1.0;
  ASSERT_TRUE(instance.setChunk(chunk));
  std::vector<double> gains;
  for (int step = 0; step <= 10; ++step)
  {
    const double x = kXA + (kXB - kXA) * step / 10.0;
    ASSERT_TRUE(instance.restart());
    // The host moves the pad position in the first block.
    const Stereo out = render(instance.plugin(), input, [&](int block) {
      if (block == 0)
      {
        instance.plugin().addParameterChange(par_morph_x, 0, x);
        instance.plugin().addParameterChange(par_morph_y, 0, kY);
      }
    });
    gains.push_back(20.0 * std::log10(rms(out) / reference));
  }

  EXPECT_NEAR(gains.front(), kGainA, 1e-6) << "on the first point";
  EXPECT_NEAR(gains.back(), kGainB, 1e-6) << "on the second point";
  EXPECT_NEAR(gains[5], 0.5 * (kGainA + kGainB), 1e-6) << "halfway, both weigh the same";
  for (size_t i = 1; i < gains.size(); ++i)
    EXPECT_GE(gains[i], gains[i - 1] - 1e-9) << "step " << i;
  EXPECT_LT(gains[3], gains[7]);
}

} // namespace
} // namespace vemlor::plugin_it
