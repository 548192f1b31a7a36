#include "product/patch/randomizer.h"

#include "tests/product/patch/test_plugin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace zarvo {
namespace {

using test::FakeTarget;
using test::Instance;

double noteFreq(double note) { return 440.0 * std::exp2((note - 69.0) / 12.0); }

Randomizer::Getter valuesOf(const ParamValueMap& patch)
{
  return [&patch](int index) { return patch.at(index); };
}

// The owned parameters that no repair pass touches: a mutation changes them only by choosing them
// (at most six at a time when no resonance sits above 0.999 and the cutoff is below 4 kHz).
constexpr int kPassFree[] = {
  par_main_cutoff_hz,  par_main_saturation_type, par_main_pass_type,  par_main_pt_depth,    par_main_pt_tilt,
  par_break_character, par_break_param,          par_break_double,    par_break_invert_fb,  par_preFlt_A_hz,
  par_preFlt_A_pt,     par_preFlt_B_hz,          par_preFlt_B_pt,     par_preFlt_band_mode, par_preFlt_processing_order,
  par_main_detune,     par_preFlt_A_detune,      par_preFlt_B_detune,
};

int samePassFree(const ParamValueMap& a, const ParamValueMap& b)
{
  int same = 0;
  for (int p : kPassFree)
    same += std::abs(a.at(p) - b.at(p)) <= 1e-9 * std::max(1.0, std::abs(b.at(p))) ? 1 : 0;
  return same;
}

ParamValueMap basePatch()
{
  return {
    {par_main_cutoff_hz, 800},    {par_main_resonance, 0.7},
    {par_main_drive, 0.3},        {par_main_saturation_type, 1},
    {par_main_pass_type, 0},      {par_main_pt_depth, 0.75},
    {par_main_pt_tilt, 0},        {par_break_intensity, 0},
    {par_break_character, 5},     {par_break_param, 0.4},
    {par_break_double, 0},        {par_break_invert_fb, 0},
    {par_preFlt_A_hz, 2000},      {par_preFlt_A_res, 0.6},
    {par_preFlt_A_pt, 0},         {par_preFlt_B_hz, 100},
    {par_preFlt_B_res, 0.6},      {par_preFlt_B_pt, 1},
    {par_preFlt_band_mode, 0.25}, {par_preFlt_processing_order, 1},
    {par_neg_band_mix, 0},        {par_damping_release, 100},
    {par_damping_thresh, -60},    {par_main_detune, 0},
    {par_preFlt_A_detune, 0},     {par_preFlt_B_detune, 0},
  };
}

// Differs from basePatch in every owned parameter.
ParamValueMap farPatch()
{
  return {
    {par_main_cutoff_hz, 1234},  {par_main_resonance, 0.5},
    {par_main_drive, 0.1},       {par_main_saturation_type, 2},
    {par_main_pass_type, 4},     {par_main_pt_depth, 0.5},
    {par_main_pt_tilt, 0.5},     {par_break_intensity, 0.3},
    {par_break_character, 7},    {par_break_param, 0.8},
    {par_break_double, 0.5},     {par_break_invert_fb, 1},
    {par_preFlt_A_hz, 3000},     {par_preFlt_A_res, 0.7},
    {par_preFlt_A_pt, 2},        {par_preFlt_B_hz, 50},
    {par_preFlt_B_res, 0.7},     {par_preFlt_B_pt, 3},
    {par_preFlt_band_mode, 0.6}, {par_preFlt_processing_order, 0.3},
    {par_neg_band_mix, 1},       {par_damping_release, 250},
    {par_damping_thresh, -20},   {par_main_detune, 5},
    {par_preFlt_A_detune, 10},   {par_preFlt_B_detune, 20},
  };
}

// A break-mode result carries the owned parameters only; blend mode adds the make-up gain.
bool isBreakMode(const ParamValueMap& result) { return result.size() == Randomizer::kParams.size(); }

TEST(Generate, EveryPatchKeepsTheRules)
{
  std::set<int> expectedKeys(Randomizer::kParams.begin(), Randomizer::kParams.end());
  expectedKeys.insert({par_main_cutoff_note_anchored, par_preA_cutoff_note_anchored, par_preB_cutoff_note_anchored,
                       par_damping_hold, par_main_gain});
  ASSERT_EQ(expectedKeys.size(), 31u);

  auto preCap = [](double hz) { return hz > 1000.0 ? 0.95 : (hz > 500.0 ? 0.99 : 0.997); };
  auto lowDetune = [](double d) { return d == 0.0 || d == 1.0 || d == 5.0; };
  struct Rule
  {
    const char* name;
    std::function<bool(const ParamValueMap&)> applies;
    std::function<bool(const ParamValueMap&)> holds;
    int seen = 0;
  };
  std::vector<Rule> rules = {
    {"high-pass and band-pass cutoff at most 5 kHz",
     [](const ParamValueMap& m) { return m.at(par_main_pass_type) == 1 || m.at(par_main_pass_type) == 3; },
     [](const ParamValueMap& m) { return m.at(par_main_cutoff_hz) <= 5000.0; }},
    {"other cutoffs at most 16 kHz", [](const ParamValueMap&) { return true; },
     [](const ParamValueMap& m) { return m.at(par_main_cutoff_hz) <= 16000.0; }},
    {"cutoff at least the lowest note less 20 cents", [](const ParamValueMap&) { return true; },
     [](const ParamValueMap& m) { return m.at(par_main_cutoff_hz) >= noteFreq(32) * std::exp2(-20.0 / 1200.0); }},
    {"resonant pair in series never both above 0.95",
     [](const ParamValueMap& m) {
       return m.at(par_preA_cutoff_note_anchored) == 1 && m.at(par_preFlt_processing_order) > 0.7;
     },
     [](const ParamValueMap& m) { return !(m.at(par_preFlt_A_res) > 0.95 && m.at(par_preFlt_B_res) > 0.95); }},
    {"pre-filter A at or below 80 Hz detuned by 0, 1 or 5 only",
     [](const ParamValueMap& m) { return m.at(par_preFlt_A_hz) <= 80.0; },
     [&](const ParamValueMap& m) { return lowDetune(m.at(par_preFlt_A_detune)); }},
    {"pre-filter B at or below 80 Hz detuned by 0, 1 or 5 only",
     [](const ParamValueMap& m) { return m.at(par_preFlt_B_hz) <= 80.0; },
     [&](const ParamValueMap& m) { return lowDetune(m.at(par_preFlt_B_detune)); }},
    {"pre-filter resonances capped by their frequency", [](const ParamValueMap&) { return true; },
     [&](const ParamValueMap& m) {
       return m.at(par_preFlt_A_res) <= preCap(m.at(par_preFlt_A_hz)) &&
              m.at(par_preFlt_B_res) <= preCap(m.at(par_preFlt_B_hz));
     }},
    {"main resonance at most 0.85 above 1 kHz",
     [](const ParamValueMap& m) { return m.at(par_main_cutoff_hz) > 1000.0; },
     [](const ParamValueMap& m) { return m.at(par_main_resonance) <= 0.85; }},
    {"main resonance at most 0.995", [](const ParamValueMap&) { return true; },
     [](const ParamValueMap& m) { return m.at(par_main_resonance) <= 0.995; }},
    {"drive at most 0.85", [](const ParamValueMap&) { return true; },
     [](const ParamValueMap& m) { return m.at(par_main_drive) <= 0.85; }},
    {"make-up gain within -8 and +6 dB", [](const ParamValueMap&) { return true; },
     [](const ParamValueMap& m) { return m.at(par_main_gain) >= -8.0 && m.at(par_main_gain) <= 6.0; }},
    {"no make-up gain for a resonant low-pass between 300 and 500 Hz",
     [](const ParamValueMap& m) {
       const double f = m.at(par_main_cutoff_hz);
       return m.at(par_main_pass_type) == 0 && f >= 300.0 && f < 500.0 && m.at(par_main_resonance) >= 0.85;
     },
     [](const ParamValueMap& m) { return m.at(par_main_gain) == 0.0; }},
  };

  test::TestPlugin plugin; // for the parameter ranges
  Randomizer randomizer(20240611u);
  for (int n = 0; n < 10000; ++n)
  {
    const ParamValueMap patch = randomizer.generate();
    std::set<int> keys;
    for (const auto& [index, value] : patch)
    {
      keys.insert(index);
      const plugkit::IParam* p = plugin.GetParam(index);
      ASSERT_TRUE(std::isfinite(value)) << paramName(index);
      ASSERT_GE(value, p->GetMin()) << paramName(index);
      ASSERT_LE(value, p->GetMax()) << paramName(index);
    }
    ASSERT_EQ(keys, expectedKeys);
    for (Rule& rule : rules)
    {
      if (!rule.applies(patch))
        continue;
      ++rule.seen;
      ASSERT_TRUE(rule.holds(patch)) << rule.name << " (patch " << n << ")";
    }
  }
  for (const Rule& rule : rules)
    EXPECT_GT(rule.seen, 0) << rule.name << " was never put to the test";
}

TEST(Mutate, BreakModeMovesOnlyTheBreak)
{
  Randomizer randomizer(99u);
  const ParamValueMap base = basePatch();
  Randomizer::MutationSession session;
  randomizer.recordRandomized(session, valuesOf(base));

  constexpr int kTrials = 3000;
  int breakModes = 0;
  for (int n = 0; n < kTrials; ++n)
  {
    const ParamValueMap result = randomizer.mutate(session, valuesOf(base));
    if (!isBreakMode(result))
      continue;
    ++breakModes;
    for (int p : Randomizer::kParams)
    {
      if (p != par_break_character && p != par_break_intensity)
      {
        ASSERT_EQ(result.at(p), base.at(p)) << paramName(p);
      }
    }
    ASSERT_GE(std::abs(result.at(par_break_character) - base.at(par_break_character)), 0.4);
    // A silent break gets an audible intensity.
    ASSERT_GE(result.at(par_break_intensity), 0.2);
    ASSERT_LT(result.at(par_break_intensity), 0.5);
  }
  // One mutation in three, within about five standard deviations.
  EXPECT_NEAR(breakModes / double(kTrials), 1.0 / 3.0, 0.043);
}

TEST(Mutate, DerivesFromTheBaseNotFromTheLastResult)
{
  Randomizer randomizer(5u);
  const ParamValueMap base = basePatch();
  const ParamValueMap last = farPatch();
  Randomizer::MutationSession session;
  randomizer.recordRandomized(session, valuesOf(base));
  randomizer.recordMutated(session, valuesOf(last));

  for (int n = 0; n < 300; ++n)
  {
    const ParamValueMap result = randomizer.mutate(session, valuesOf(last));
    ASSERT_GE(samePassFree(result, base), 12) << "mutation " << n;
  }
  EXPECT_EQ(session.base, base);
  EXPECT_EQ(session.history.size(), 2u);
}

TEST(Mutate, BlendModeRepairsAHarshBase)
{
  Randomizer randomizer(8u);
  ParamValueMap base = basePatch();
  base[par_main_drive] = 1.0;
  base[par_main_resonance] = 1.0;
  base[par_preFlt_A_hz] = 3000;
  base[par_preFlt_A_res] = 1.0;
  base[par_preFlt_B_hz] = 700;
  base[par_preFlt_B_res] = 1.0;
  Randomizer::MutationSession session;
  randomizer.recordRandomized(session, valuesOf(base));
  auto preCap = [](double hz) { return hz > 1000.0 ? 0.95 : (hz > 500.0 ? 0.99 : 0.997); };
  for (int n = 0; n < 500; ++n)
  {
    const ParamValueMap result = randomizer.mutate(session, valuesOf(base));
    if (isBreakMode(result))
      continue;
    ASSERT_LE(result.at(par_main_drive), 0.85);
    ASSERT_LE(result.at(par_main_resonance), result.at(par_main_cutoff_hz) > 1000.0 ? 0.85 : 0.995);
    ASSERT_LE(result.at(par_preFlt_A_res), preCap(result.at(par_preFlt_A_hz)));
    ASSERT_LE(result.at(par_preFlt_B_res), preCap(result.at(par_preFlt_B_hz)));
  }
}

TEST(Mutate, SelfOscillatingResonanceMovesInHalfTheBlends)
{
  // A resonance of 0.999 and of 1.0 are both capped to 0.995 at this cutoff, so a mutation leaves
  // 0.995 behind only by taking a fresh value. Expected shares: about 0.20 and 0.54 (3000 blends,
  // bounds about five standard deviations wide).
  struct Row
  {
    const char* what;
    double resonance;
    double lo;
    double hi;
  };
  const Row rows[] = {
    {"just below self-oscillation: chosen by the shuffle only", 0.999, 0.16, 0.25},
    {"self-oscillating: also chosen one time in two", 1.0, 0.49, 0.60},
  };
  for (const Row& row : rows)
  {
    Randomizer randomizer(31u);
    ParamValueMap base = basePatch();
    base[par_main_resonance] = row.resonance;
    Randomizer::MutationSession session;
    randomizer.recordRandomized(session, valuesOf(base));
    int blends = 0;
    int moved = 0;
    while (blends < 3000)
    {
      const ParamValueMap result = randomizer.mutate(session, valuesOf(base));
      if (isBreakMode(result))
        continue;
      ++blends;
      moved += result.at(par_main_resonance) != 0.995 ? 1 : 0;
    }
    const double share = moved / double(blends);
    EXPECT_GE(share, row.lo) << row.what;
    EXPECT_LE(share, row.hi) << row.what;
  }
}

class Apply : public ::testing::Test
{
protected:
  static constexpr int kSteel = 5;

  Randomizer::Getter current() const { return target.current(); }

  Instance instance;
  FakeTarget target{instance.plugin, instance.manager.get()};
  Randomizer randomizer{77u};
  Randomizer::MutationSession session;
};

TEST_F(Apply, IsOneUndoStep)
{
  struct Row
  {
    const char* what;
    bool mutate;
    bool editWaiting;
    size_t undoSteps;
  };
  const Row rows[] = {
    {"randomize", false, false, 1},
    {"mutate", true, false, 1},
    {"randomize after an edit without gesture", false, true, 2},
  };
  for (const Row& row : rows)
  {
    Instance fresh;
    FakeTarget t(fresh.plugin, fresh.manager.get());
    PresetManager& pm = *fresh.manager;
    pm.navigateTo(kSteel);
    const std::vector<double> steel = fresh.plugin.values();
    if (row.editWaiting)
      t.editWithoutGesture(par_main_drive, 0.33);
    const std::vector<double> before = fresh.plugin.values();
    const size_t depth = pm.undoStack().size();

    Randomizer::MutationSession rowSession;
    if (row.mutate)
      mutatePatch(t, randomizer, rowSession);
    else
      randomizePatch(t, randomizer, rowSession);

    EXPECT_NE(fresh.plugin.values(), before) << row.what;
    EXPECT_EQ(pm.undoStack().size(), depth + row.undoSteps) << row.what;
    EXPECT_FALSE(pm.editPending()) << row.what;
    if (row.mutate)
    {
      // Still the preset, marked modified.
      EXPECT_EQ(pm.currentIndex(), kSteel) << row.what;
      EXPECT_EQ(pm.currentName(), "STEEL") << row.what;
      EXPECT_TRUE(pm.isModified()) << row.what;
      EXPECT_TRUE(pm.patchIdentity().modified) << row.what;
    }
    else
    {
      EXPECT_EQ(pm.currentIndex(), -1) << row.what;
      EXPECT_FALSE(pm.isModified()) << row.what;
    }

    pm.undo();
    EXPECT_EQ(fresh.plugin.values(), before) << row.what;
    if (!row.editWaiting)
    {
      EXPECT_EQ(pm.currentIndex(), kSteel) << row.what;
      EXPECT_FALSE(pm.isModified()) << row.what;
    }
    else
    {
      pm.undo();
      EXPECT_EQ(fresh.plugin.values(), steel) << row.what;
    }
  }
}

TEST_F(Apply, HostSeesOneGesturePerParameter)
{
  const ParamValueMap patch = randomizer.generate();
  applyRandomizerParams(target, patch, true);

  ASSERT_EQ(target.log.size(), 3 * patch.size() + kNumParams);
  size_t at = 0;
  for (const auto& [index, plain] : patch)
  {
    const plugkit::IParam* p = instance.plugin.GetParam(index);
    EXPECT_EQ(target.log[at].kind, FakeTarget::Kind::Begin);
    EXPECT_EQ(target.log[at + 1].kind, FakeTarget::Kind::Send);
    EXPECT_EQ(target.log[at + 1].normalized, p->ToNormalized(plain));
    EXPECT_EQ(target.log[at + 2].kind, FakeTarget::Kind::End);
    for (size_t k = at; k < at + 3; ++k)
      EXPECT_EQ(target.log[k].index, index) << paramName(index);
    EXPECT_NEAR(p->Value(), p->Constrain(plain), 1e-9 * std::max(1.0, std::abs(plain))) << paramName(index);
    at += 3;
  }
  // Then every control is shown its value.
  for (int i = 0; i < kNumParams; ++i, ++at)
  {
    EXPECT_EQ(target.log[at].kind, FakeTarget::Kind::ToEditor);
    EXPECT_EQ(target.log[at].index, i);
    EXPECT_EQ(target.log[at].normalized, instance.plugin.GetParam(i)->GetNormalized());
  }
}

TEST_F(Apply, MutationsStartFromTheRandomizedPatchUntilAHandEdit)
{
  randomizePatch(target, randomizer, session);
  const ParamValueMap randomized = randomizer.snapshot(current());
  ASSERT_EQ(session.base, randomized);

  for (size_t n = 1; n <= 3; ++n)
  {
    mutatePatch(target, randomizer, session);
    EXPECT_EQ(session.base, randomized);
    ASSERT_EQ(session.history.size(), n + 1);
    EXPECT_EQ(session.history.back(), randomizer.snapshot(current()));
  }

  // A knob turned by hand: the next mutation starts from what is there now.
  const double drive = instance.plugin.GetParam(par_main_drive)->Value();
  target.turnKnob(par_main_drive, drive > 0.5 ? drive - 0.3 : drive + 0.3);
  const ParamValueMap edited = randomizer.snapshot(current());
  mutatePatch(target, randomizer, session);
  EXPECT_EQ(session.base, edited);
  ASSERT_EQ(session.history.size(), 2u);
  EXPECT_EQ(session.history.front(), edited);
}

TEST_F(Apply, MorphFieldTakesTheButtons)
{
  target.morphOn = true;
  const std::vector<double> before = instance.plugin.values();
  const size_t depth = instance.manager->undoStack().size();
  randomizePatch(target, randomizer, session);
  mutatePatch(target, randomizer, session);
  EXPECT_EQ(target.morphRandomizes, 1);
  EXPECT_EQ(target.morphMutates, 1);
  EXPECT_EQ(instance.plugin.values(), before);
  EXPECT_TRUE(target.log.empty());
  EXPECT_TRUE(session.history.empty());
  EXPECT_EQ(instance.manager->undoStack().size(), depth);
}

TEST_F(Apply, WithoutAPresetManagerOnlyWritesTheValues)
{
  FakeTarget bare(instance.plugin, nullptr);
  const ParamValueMap patch = randomizer.generate();
  applyRandomizerParams(bare, patch, true);
  EXPECT_EQ(bare.log.size(), 3 * patch.size() + kNumParams);
  const plugkit::IParam* cutoff = instance.plugin.GetParam(par_main_cutoff_hz);
  EXPECT_NEAR(cutoff->Value(), patch.at(par_main_cutoff_hz), 1e-9 * patch.at(par_main_cutoff_hz));
}

} // namespace
} // namespace zarvo
