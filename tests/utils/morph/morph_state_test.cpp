// The morph field's section of the state chunk: exact round trips, legacy completion, clamping and
// rejection of truncated or oversized sections.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "fake_morph_host.h"
#include "product/params/morph_param_table.h"
#include "utils/morph/stored_values.h"
#include "tests/support/field_edit.h"

namespace {

using namespace morph_test;
using plugkit::IByteChunk;
using State = MorphEngine::RTState;

constexpr int kSectionWithoutIdentities = 13072; // 148 bytes of fields, 17 points of 760, the identity count
constexpr int kEmptyIdentity = 20;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A hand-made section: the fields, then points given as (header values, (id, value) entries).
struct PointRecord
{
  std::vector<double> header;
  std::vector<std::pair<uint32_t, double>> values;
};

IByteChunk sectionOf(const std::vector<double>& fields, const std::vector<PointRecord>& points,
                     std::optional<int32_t> identityCount = 0)
{
  IByteChunk c;
  c.Put(int32_t{2});
  c.Put(static_cast<int32_t>(fields.size()));
  for (double v : fields)
    c.Put(v);
  c.Put(static_cast<int32_t>(points.size()));
  for (const PointRecord& p : points)
  {
    c.Put(static_cast<int32_t>(p.header.size()));
    for (double v : p.header)
      c.Put(v);
    c.Put(static_cast<int32_t>(p.values.size()));
    for (const auto& [id, v] : p.values)
    {
      c.Put(id);
      c.Put(v);
    }
  }
  if (identityCount)
    c.Put(*identityCount);
  return c;
}

uint32_t idOf(int param) { return zarvo::stableIdOf(param); }

// Fields 0..16 of a section that keeps everything at its default.
std::vector<double> defaultFields()
{
  return {1.0, 1.0, -1.0, 0.0, 1.0, 0.5, 5.0, 2.0, 11.0, 2.0, 0.0, 2.0, 2.0, 2.0, 1.0, 2.0, 0.0};
}

class MorphState : public testing::Test
{
protected:
  double valueOf(size_t point, int param) const
  {
    return ctrl.engine().editState().points[point].values[static_cast<size_t>(rowOf(param))];
  }

  FakeMorphHost host;
  MorphController ctrl{host, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes};
};

TEST_F(MorphState, RoundTripRestoresEveryFieldExactly)
{
  vemlor_test::editField(ctrl.engine(), [](auto& f) {
    fillDistinctField(f);
    f.sigma = 0.7;
    f.model = 3;
    f.kernelTail = 0.3;
    f.tailPower = 2.5;
    f.neighborIndex = {1.5, 3.0, 4.5, 0.75, 2.25};
    f.nnSamples = 15;
    f.nnRadius = 2.5;
    f.shapeContrast = 0.4;
    f.cutoffContrast = 0.6;
    f.snapRadius = 1.5 * MorphEngine::kSnapRadiusPerScale;
    f.centreSnapRadius = 1.5 * MorphEngine::kCentreSnapRadiusPerScale;
    f.focus = 5;
  });
  ctrl.engine().edit({.pointScale = 1.5});
  ctrl.engine().edit({.selection = 1u << 5});
  ctrl.setPointIdentity(0, {1, "Warm Pad", 12, false});
  ctrl.setPointIdentity(16, {2, "/presets/a b.fxp", -1, true});
  const State& s = ctrl.engine().editState();

  IByteChunk chunk;
  chunk.Put(uint8_t{0xAB}); // the section starts anywhere in a chunk
  ASSERT_TRUE(ctrl.serializeMorphState(chunk));
  EXPECT_EQ(chunk.Size(), 1 + kSectionWithoutIdentities + 17 * kEmptyIdentity + 8 + 16);

  FakeMorphHost otherHost;
  MorphController other(otherHost, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes);
  const uint32_t sequenceBefore = other.engine().snapshot().sequence();
  EXPECT_EQ(other.unserializeMorphState(chunk, 1), chunk.Size());
  EXPECT_EQ(other.engine().editState(), s);
  EXPECT_EQ(other.engine().pointScale(), 1.5);
  EXPECT_EQ(other.engine().selection(), 1u << 5);
  EXPECT_EQ(other.pointIdentity(), ctrl.pointIdentity());
  EXPECT_EQ(other.engine().snapshot().sequence(), sequenceBefore + 2);
  State published;
  ASSERT_TRUE(other.engine().snapshot().load(published));
  EXPECT_EQ(published, s);
}

TEST_F(MorphState, SelectionAndFocus)
{
  struct Case
  {
    const char* name;
    double selection;
    double focus;
    bool moving;
    uint32_t expectedSelection;
    int32_t expectedFocus;
  };
  const Case cases[] = {
    {"two points selected: no focus", 3.0, -1.0, false, 0b11, -1},
    {"one point selected: focused", 4.0, -1.0, false, 0b100, 2},
    {"while moving points nothing is focused", 4.0, -1.0, true, 0b100, -1},
    {"-1 takes the selection from the focus", -1.0, 5.0, false, 1u << 5, 5},
    {"-1 with a focus out of range selects nothing", -1.0, 40.0, false, 0, -1},
    {"negative values keep their low 17 bits", -2.0, -1.0, false, 0x1FFFE, -1},
    {"bits above point 16 are dropped", static_cast<double>(1u << 20 | 1u << 16), -1.0, false, 1u << 16, 16},
    {"a non-finite selection reads as -1", kNaN, 7.0, false, 1u << 7, 7},
  };
  for (const Case& c : cases)
  {
    std::vector<double> fields = defaultFields();
    fields[10] = c.selection;
    fields[2] = c.focus;
    ctrl.engine().edit({.moving = c.moving});
    const IByteChunk chunk = sectionOf(fields, {});
    EXPECT_EQ(ctrl.unserializeMorphState(chunk, 0), chunk.Size()) << c.name;
    EXPECT_EQ(ctrl.engine().selection(), c.expectedSelection) << c.name;
    EXPECT_EQ(ctrl.engine().editState().focus, c.expectedFocus) << c.name;
  }
}

TEST_F(MorphState, ShortFieldListKeepsTheEngineSettings)
{
  vemlor_test::editField(ctrl.engine(), [](auto& f) {
    f.sigma = 0.5;
    f.model = 2;
    f.kernelTail = 0.25;
    f.tailPower = 3.0;
    f.nnSamples = 7;
    f.nnRadius = 3.5;
    f.shapeContrast = 0.9;
    f.cutoffContrast = 0.8;
  });
  ctrl.engine().edit({.pointScale = 1.25});
  ctrl.engine().edit({.selection = 0b1010});
  const State& s = ctrl.engine().editState();
  const State before = s;

  const IByteChunk chunk = sectionOf({}, {});
  EXPECT_EQ(ctrl.unserializeMorphState(chunk, 0), chunk.Size());
  EXPECT_EQ(s.sigma, before.sigma);
  EXPECT_EQ(s.model, before.model);
  EXPECT_EQ(s.kernelTail, before.kernelTail);
  EXPECT_EQ(s.tailPower, before.tailPower);
  EXPECT_EQ(s.nnSamples, before.nnSamples);
  EXPECT_EQ(s.nnRadius, before.nnRadius);
  EXPECT_EQ(ctrl.engine().pointScale(), 1.25);
  EXPECT_EQ(s.shapeContrast, 0.0);
  EXPECT_EQ(s.cutoffContrast, 0.0);
  EXPECT_EQ(ctrl.engine().selection(), 0u);
}

TEST_F(MorphState, ShortPointRecordsAndLegacyValues)
{
  const uint32_t passType = idOf(zarvo::par_main_pass_type);
  const uint32_t variation = idOf(zarvo::par_main_pt_variation);
  const IByteChunk chunk = sectionOf(
    defaultFields(), {
                       {{0.25, 0.75}, {}},
                       {{0.5, 0.5, 1.0, 0.0}, {{passType, 1.0}, {variation, 0.3}, {idOf(zarvo::par_gain_on_dry), 0.2}}},
                       {{0.5, 0.5, 1.0, 0.0}, {{passType, 0.6}, {variation, 0.64}, {0xDEADBEEF, 0.5}}},
                       {{0.5, 0.5, 1.0, 0.0, 9.0, 9.0}, {{idOf(zarvo::par_main_pt_depth), 0.4}}},
                     });
  EXPECT_EQ(ctrl.unserializeMorphState(chunk, 0), chunk.Size());
  const State& s = ctrl.engine().editState();

  // A header of two values: position only.
  EXPECT_EQ(s.points[0].x, 0.25);
  EXPECT_EQ(s.points[0].y, 0.75);
  EXPECT_FALSE(s.points[0].active);
  EXPECT_EQ(s.points[0].noteMask, 0u);
  for (size_t r = 0; r < kNumMorphParams; ++r)
  {
    const int param = kMorphParams[r].param;
    if (param == zarvo::par_gain_on_dry || param == zarvo::par_main_pt_depth || param == zarvo::par_main_pt_tilt)
      continue;
    EXPECT_EQ(s.points[0].values[r], host.param(kMorphParams[r].param).GetDefault(true)) << "row " << r;
  }

  struct Case
  {
    const char* name;
    size_t point;
    double depth; // plain
    double tilt;
    double gainOnDry;
  };
  const Case cases[] = {
    {"no depth, no values: pass type 0 and variation 0", 0, 1.0, 0.0, 1.0},
    {"no depth, pass type P: the variation", 1, 0.3, 0.0, 0.2},
    {"no depth, band-pass at variation 0.64", 2, 0.5, -1.0, 1.0},
    {"a stored depth stays", 3, 0.4, 0.0, 1.0},
  };
  for (const Case& c : cases)
  {
    EXPECT_NEAR(valueOf(c.point, zarvo::par_main_pt_depth), ctrl.normalizedOf(zarvo::par_main_pt_depth, c.depth), 1e-12)
      << c.name;
    EXPECT_NEAR(valueOf(c.point, zarvo::par_main_pt_tilt), ctrl.normalizedOf(zarvo::par_main_pt_tilt, c.tilt), 1e-12)
      << c.name;
    EXPECT_NEAR(valueOf(c.point, zarvo::par_gain_on_dry), c.gainOnDry, 1e-12) << c.name;
  }
}

TEST(MorphLegacyDepthTilt, Rule)
{
  struct Case
  {
    const char* name;
    int64_t passType;
    double variation;
    double depth;
    double tilt;
  };
  const Case cases[] = {
    {"low-pass", 0, 0.3, 0.7, 0.0},
    {"high-pass", 1, 0.1, 0.9, 0.0},
    {"all-pass", 2, 0.4, 1.0, 0.0},
    {"band-pass, first fifth", 3, 0.1, 0.75, 0.0},
    {"band-reject, first fifth", 4, 0.1, 0.75, 0.0},
    {"band-pass, falling tilt", 3, 0.4, 0.5, -0.5},
    {"band-reject at x = 3", 4, 0.6, 0.5, -1.0},
    {"band-pass, x just above 3", 3, 0.64, 0.5, -1.0},
    {"band-pass, x in 3.5..4", 3, 0.74, 0.5, 0.5},
    {"band-reject, rising tilt", 4, 0.88, 0.5, 0.7},
    {"P", 5, 0.3, 0.3, 0.0},
    {"unknown type", 9, 0.3, 1.0, 0.0},
  };
  for (const Case& c : cases)
  {
    const DepthTilt dt = legacyDepthTilt(c.passType, c.variation);
    EXPECT_NEAR(dt.depth, c.depth, 1e-12) << c.name;
    EXPECT_NEAR(dt.tilt, c.tilt, 1e-12) << c.name;
  }
}

TEST_F(MorphState, StoredValuesEndInRange)
{
  std::vector<double> fields = {kNaN, 7.0,   3.0, -4.0, 1e300, 2.0, -1e300, 100.0, -1e300,
                                kNaN, 1e300, 0.1, kNaN, 30.0,  1.0, 1.0,    5.0};
  const double huge = std::numeric_limits<double>::max();
  const IByteChunk chunk = sectionOf(
    fields,
    {
      {{kNaN, -3.0, kNaN, 1e300}, {{idOf(zarvo::par_main_resonance), kNaN}, {idOf(zarvo::par_main_drive), 7.0}}},
      {{huge, 0.5, 2.0, -5.0}, {{idOf(zarvo::par_main_resonance), -1.0}, {idOf(zarvo::par_main_pt_depth), huge}}},
    });
  const double sigmaBefore = ctrl.engine().editState().sigma;
  EXPECT_EQ(ctrl.unserializeMorphState(chunk, 0), chunk.Size());
  const State& s = ctrl.engine().editState();

  EXPECT_EQ(s.sigma, sigmaBefore);
  EXPECT_EQ(ctrl.engine().pointScale(), 2.0);
  EXPECT_EQ(s.shapeContrast, 0.0);
  EXPECT_EQ(s.model, 4u);
  EXPECT_EQ(s.kernelTail, 1.0);
  EXPECT_EQ(s.tailPower, 0.5);
  EXPECT_EQ(s.nnSamples, 5);
  EXPECT_EQ(s.nnRadius, 2.0);
  EXPECT_EQ(ctrl.engine().selection(), kPointBits);
  EXPECT_EQ(s.neighborIndex[0], 0.5);
  EXPECT_EQ(s.neighborIndex[1], 2.0) << "a non-finite per-model index is not read";
  EXPECT_EQ(s.neighborIndex[2], 17.0);
  EXPECT_EQ(s.neighborIndex[4], 1.0) << "per-model values override value 7";
  EXPECT_EQ(s.cutoffContrast, 1.0);

  EXPECT_EQ(s.points[0].x, 0.5);
  EXPECT_EQ(s.points[0].y, 0.0);
  EXPECT_FALSE(s.points[0].active);
  EXPECT_EQ(s.points[0].noteMask, kNoteMaskBits);
  EXPECT_EQ(valueOf(0, zarvo::par_main_resonance), host.param(zarvo::par_main_resonance).GetDefault(true));
  EXPECT_EQ(valueOf(0, zarvo::par_main_drive), 1.0);
  EXPECT_EQ(s.points[1].x, 1.0);
  EXPECT_TRUE(s.points[1].active);
  EXPECT_EQ(s.points[1].noteMask, 0u);
  EXPECT_EQ(valueOf(1, zarvo::par_main_resonance), 0.0);
  EXPECT_EQ(valueOf(1, zarvo::par_main_pt_depth), 1.0);
}

TEST_F(MorphState, IdentityList)
{
  struct Case
  {
    const char* name;
    std::optional<int32_t> count;
    int identities;        // written after the count
    int extraBytes;        // then this many stray bytes
    int expectedEndOffset; // from the end of the points; -1 means the chunk's end
    int identitiesRead;
  };
  const Case cases[] = {
    {"two of two", 2, 2, 0, -1, 2},
    {"none", 0, 0, 0, 4, 0},
    {"count missing", std::nullopt, 0, 0, 0, 0},
    {"count above 17", 18, 0, 0, 0, 0},
    {"a broken identity ends the list", 3, 1, 3, 4 + kEmptyIdentity + 2, 1},
  };
  for (const Case& c : cases)
  {
    for (size_t k = 0; k < zarvo::morph::kNumPoints; ++k)
      ctrl.setPointIdentity(k, {1, "stale", 3, true});
    IByteChunk chunk = sectionOf(defaultFields(), {}, c.count);
    const int pointsEnd = c.count ? chunk.Size() - 4 : chunk.Size();
    for (int i = 0; i < c.identities; ++i)
      zarvo::PresetManager::putPatchIdentity(chunk, {2, "f" + std::to_string(i), -1, false});
    for (int i = 0; i < c.extraBytes; ++i)
      chunk.Put(uint8_t{1});
    const int expected = c.expectedEndOffset < 0 ? chunk.Size() : pointsEnd + c.expectedEndOffset;
    EXPECT_EQ(ctrl.unserializeMorphState(chunk, 0), expected) << c.name;
    for (size_t k = 0; k < kNumPoints; ++k)
    {
      const PatchIdentity want =
        static_cast<int>(k) < c.identitiesRead ? PatchIdentity{2, "f" + std::to_string(k), -1, false} : PatchIdentity{};
      EXPECT_EQ(ctrl.pointIdentity()[k], want) << c.name << " point " << k;
    }
  }
}

TEST_F(MorphState, RejectedSectionsChangeNothing)
{
  vemlor_test::editField(ctrl.engine(), [](auto& f) { fillDistinctField(f); });
  ctrl.engine().edit({.selection = 0b101});
  ctrl.setPointIdentity(4, {1, "Keep", 4, false});
  const State& s = ctrl.engine().editState();
  ctrl.publish();

  IByteChunk valid;
  FakeMorphHost sourceHost;
  MorphController source(sourceHost, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes);
  ASSERT_TRUE(source.serializeMorphState(valid));

  struct Case
  {
    const char* name;
    IByteChunk chunk;
  };
  std::vector<Case> cases;
  cases.push_back({"more than 256 field values", sectionOf(std::vector<double>(257, 1.0), {})});
  cases.push_back(
    {"more than 17 points", sectionOf(defaultFields(), std::vector<PointRecord>(18, PointRecord{{0.5}, {}}))});
  cases.push_back({"a point header above 256", sectionOf(defaultFields(), {{std::vector<double>(257, 0.5), {}}})});
  {
    IByteChunk c = sectionOf(defaultFields(), {});
    c.Resize(c.Size() - 4 - 4); // drop the identity count and the point count
    c.Put(int32_t{1});
    c.Put(int32_t{4});
    for (int i = 0; i < 4; ++i)
      c.Put(0.5);
    c.Put(int32_t{4097});
    cases.push_back({"more than 4096 values", std::move(c)});
  }
  {
    IByteChunk c = valid;
    const int32_t later = 3;
    std::memcpy(c.GetData(), &later, sizeof later);
    cases.push_back({"a later section version", std::move(c)});
  }
  cases.push_back({"only the version", sectionOf({}, {})});
  cases.back().chunk.Resize(6);

  // Every cut inside the fields and the points.
  for (int cut = 8; cut < kSectionWithoutIdentities - 4; cut += 7)
  {
    IByteChunk c = valid;
    c.Resize(cut);
    cases.push_back({"truncated", std::move(c)});
  }

  const State before = s;
  const uint32_t sequence = ctrl.engine().snapshot().sequence();
  for (const Case& c : cases)
  {
    ASSERT_EQ(ctrl.unserializeMorphState(c.chunk, 0), -1) << c.name << " at size " << c.chunk.Size();
    ASSERT_EQ(s, before) << c.name;
    ASSERT_EQ(ctrl.engine().selection(), 0b101u) << c.name;
    ASSERT_EQ(ctrl.pointIdentity()[4].name, "Keep") << c.name;
    ASSERT_EQ(ctrl.engine().snapshot().sequence(), sequence) << c.name;
  }

  // No section at all.
  EXPECT_EQ(ctrl.unserializeMorphState(valid, valid.Size()), valid.Size());
  EXPECT_EQ(ctrl.unserializeMorphState(valid, -1), -1);
  EXPECT_EQ(s, before);
  EXPECT_EQ(ctrl.engine().snapshot().sequence(), sequence);
}

} // namespace
