// A morph point's sound through a preset file: saved from one instance's point, loaded into another
// instance's selected point, and a file that is not this plug-in's refused without touching anything.
#include "product/params/morph_param_table.h"
#include "tests/product/file_helpers.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vemlor::plugintest {
namespace {

using namespace zarvo;
namespace fs = std::filesystem;

constexpr size_t kSavedPoint = 3;
constexpr size_t kLoadedPoint = 5;

const morph::MorphEngine::RTState& fieldOf(PluginInstance& p) { return p->morphController().engine().editState(); }

// Point 3 of a fresh instance, given a sound no starter preset seeds, written to a preset file, and
// the values a reader should get back: each row through its parameter's plain value, as the file
// stores it.
morph::MorphValues savePoint(PluginInstance& a, const fs::path& file)
{
  morph::MorphValues values{};
  for (size_t r = 0; r < morph::kNumMorphParams; ++r)
    values[r] = 0.05 + 0.9 * static_cast<double>((r * 37) % morph::kNumMorphParams) / (morph::kNumMorphParams - 1);
  a->morphController().engine().edit({.point = kSavedPoint, .values = &values});
  EXPECT_TRUE(a->morphController().fileRouter().writeMorphValuesFXP(values, file.string()));
  morph::MorphValues expected{};
  for (size_t r = 0; r < morph::kNumMorphParams; ++r)
  {
    const plugkit::IParam& q = a.param(morph::kMorphParams[r].param);
    expected[r] = q.ToNormalized(q.FromNormalized(values[r]));
  }
  return expected;
}

// Point 5 alone selected while morphing: presets chosen now go into it.
void selectLoadedPoint(PluginInstance& b)
{
  morph::MorphController& morph = b->morphController();
  ASSERT_TRUE(morph.morphOn());
  morph.engine().edit({.selection = 1u << kLoadedPoint});
  ASSERT_TRUE(morph.inPointLoadContext());
}

bool loadIntoSelection(PluginInstance& b, const fs::path& file)
{
  return b->morphController().fileRouter().loadPresetIntoPoints(PresetManager::PresetSource{1, -1, file.string()});
}

TEST(PluginMorphPointFile, APointSavedToAFileLoadsIntoAnotherInstancesSelectedPoint)
{
  const fs::path file = testFileFolder("morph_point_file_test", "round_trip") / "point3.fxp";
  PluginInstance a;
  const morph::MorphValues expected = savePoint(a, file);

  PluginInstance b;
  selectLoadedPoint(b);
  const morph::MorphEngine::RTState before = fieldOf(b);
  double largestDifference = 0.0;
  for (size_t r = 0; r < morph::kNumMorphParams; ++r)
    largestDifference = std::max(largestDifference, std::abs(before.points[kLoadedPoint].values[r] - expected[r]));
  ASSERT_GT(largestDifference, 1e-3) << "point 5 already holds point 3's sound";
  const size_t steps = b.undoSteps();

  ASSERT_TRUE(loadIntoSelection(b, file));

  const morph::MorphEngine::RTState& after = fieldOf(b);
  const morph::MorphPoint& loaded = after.points[kLoadedPoint];
  for (size_t r = 0; r < morph::kNumMorphParams; ++r)
    EXPECT_NEAR(loaded.values[r], expected[r], 1e-9) << "row " << r << ", parameter " << morph::kMorphParams[r].param;
  EXPECT_EQ(loaded.x, before.points[kLoadedPoint].x);
  EXPECT_EQ(loaded.y, before.points[kLoadedPoint].y);
  EXPECT_EQ(loaded.active, before.points[kLoadedPoint].active);
  for (size_t i = 0; i < morph::kNumPoints; ++i)
  {
    if (i != kLoadedPoint)
    {
      EXPECT_EQ(after.points[i], before.points[i]) << "point " << i;
    }
  }
  // The field's own settings stay; a single loaded point is focused, which is the pad's business.
  morph::MorphEngine::RTState settings = after;
  settings.points = before.points;
  settings.focus = before.focus;
  EXPECT_EQ(settings, before);

  EXPECT_EQ(b.undoSteps(), steps + 1);
  b.presets().undo();
  EXPECT_EQ(fieldOf(b).points[kLoadedPoint].values, before.points[kLoadedPoint].values);
}

TEST(PluginMorphPointFile, AnotherPluginsFileIsRefusedAndChangesNothing)
{
  const fs::path folder = testFileFolder("morph_point_file_test", "refused");
  PluginInstance a;
  const fs::path saved = folder / "point3.fxp";
  savePoint(a, saved);
  std::vector<char> bytes = readBytes(saved);
  ASSERT_GT(bytes.size(), 60u);
  std::memcpy(bytes.data() + 16, "Othr", 4);
  const fs::path foreign = folder / "foreign.fxp";
  writeBytes(foreign, bytes);

  PluginInstance b;
  selectLoadedPoint(b);
  const morph::MorphEngine::RTState field = fieldOf(b);
  const plugkit::IByteChunk state = stateOf(b);
  const size_t steps = b.undoSteps();

  EXPECT_FALSE(loadIntoSelection(b, foreign));
  EXPECT_EQ(fieldOf(b), field);
  EXPECT_TRUE(stateOf(b).IsEqual(state));
  EXPECT_EQ(b.undoSteps(), steps);
  // The same file with this plug-in's id is taken.
  EXPECT_TRUE(loadIntoSelection(b, saved));
}

} // namespace
} // namespace vemlor::plugintest
