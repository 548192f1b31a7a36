// The 79 parameters as the plug-in initialises them: names, kinds, ranges, shapes, flags, lists.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "IPlugin/IPluginParameter.h"
#include "product/params/mod_params.h"
#include "product/params/param_init.h"
#include "product/params/params.h"

namespace zarvo {
namespace {

using plugkit::IParam;

class ParamTable : public ::testing::Test
{
protected:
  void SetUp() override
  {
    for (int i = 0; i < kNumParams; ++i)
      initParam(params[static_cast<size_t>(i)], i);
  }
  const IParam& param(int index) const { return params[static_cast<size_t>(index)]; }

  std::array<IParam, kNumParams> params;
};

constexpr auto kD = IParam::kTypeDouble;
constexpr auto kI = IParam::kTypeInt;
constexpr auto kB = IParam::kTypeBool;
constexpr auto kE = IParam::kTypeEnum;
constexpr double kLin = 0.0; // expected shape: linear

struct Expected
{
  int index;
  const char* hostName;
  IParam::EParamType type;
  double def;
  double min;
  double max;
  double step;
  double power; // exponent of the power curve, kLin for linear
  int flags;    // 1 cannot automate, 2 stepped, 16 meta
  int nTexts;
};

// clang-format off
const Expected kExpected[] = {
    {0, "preFlt A hz", kD, 20000, 1, 20000, 0.01, 4.0, 0, 0},
    {1, "pre flt A detune", kI, 0, -100, 100, 1, kLin, 2, 0},
    {2, "preFlt A res", kD, 0.5, 0, 1, 0.0001, 0.125, 0, 0},
    {3, "preFlt A pass type", kE, 0, 0, 4, 1, kLin, 2, 5},
    {4, "preFlt B hz", kD, 1, 1, 20000, 0.01, 4.0, 0, 0},
    {5, "pre flt B detune", kI, 0, -100, 100, 1, kLin, 2, 0},
    {6, "preFlt B res", kD, 0.5, 0, 1, 0.0001, 0.125, 0, 0},
    {7, "preFlt B pass type", kE, 1, 0, 4, 1, kLin, 2, 5},
    {8, "preFlt proc order", kD, 1, 0, 1, 0.001, kLin, 0, 0},
    {9, "preFlt band mode", kD, 0, -1, 1, 0.001, kLin, 0, 0},
    {10, "neg band mix", kD, 0, 0, 4, 0.001, kLin, 0, 0},
    {11, "main hz", kD, 20000, 1, 20000, 0.01, 2.5, 0, 0},
    {12, "main flt detune", kI, 0, -100, 100, 1, kLin, 2, 0},
    {13, "main res", kD, 0.5, 0, 1, 0.0001, 0.5, 0, 0},
    {14, "drive", kD, 0, 0, 1, 0.0001, 1.0, 0, 0},
    {15, "sat type", kD, 2, 0, 3, 0.001, kLin, 0, 0},
    {16, "main pass type", kE, 0, 0, 5, 1, kLin, 2, 6},
    {17, "reserved c", kD, 0, 0, 1, 0.001, kLin, 1, 0},
    {18, "reserved a", kE, 0, 0, 1, 1, kLin, 3, 2},
    {19, "reserved b", kE, 0, 0, 2, 1, kLin, 3, 3},
    {20, "break", kD, 0, 0, 1, 0.0001, 0.5, 0, 0},
    {21, "break char", kD, 1, 1, 11, 0.001, kLin, 0, 0},
    {22, "break var", kD, 0.5, 0, 1, 0.001, kLin, 0, 0},
    {23, "break double", kD, 0, 0, 1, 0.001, kLin, 0, 0},
    {24, "break fb inversion", kE, 0, 0, 1, 1, kLin, 2, 2},
    {25, "damping release", kD, 100, 0, 2000, 0.1, 2.0, 0, 0},
    {26, "damping thresh", kD, -80, -100, 0, 0.1, 0.5, 0, 0},
    {27, "damping hold", kD, 2, 0, 10, 0.1, kLin, 0, 0},
    {28, "oversampling", kE, 0, 0, 3, 1, kLin, 2, 4},
    {29, "mix", kD, 1, 0, 1, 0.001, kLin, 0, 0},
    {30, "gain", kD, 0, -24, 24, 0.1, kLin, 0, 0},
    {31, "gain on dry", kD, 0, 0, 1, 0.001, kLin, 1, 0},
    {32, "main hz midi note mode", kB, 0, 0, 1, 1, kLin, 3, 2},
    {33, "main hz midi note ch", kE, 0, 0, 16, 1, kLin, 3, 17},
    {34, "main hz note oct shift", kI, 0, -8, 8, 1, kLin, 2, 0},
    {35, "main hz note semi shift", kI, 0, -12, 12, 1, kLin, 2, 0},
    {36, "main hz note cent shift", kI, 0, -100, 100, 1, kLin, 2, 0},
    {37, "main hz midi glide ms", kD, 0, 0, 2000, 1, 2.0, 0, 0},
    {38, "main glide mode", kE, 0, 0, 1, 1, kLin, 2, 2},
    {39, "main CC ch", kE, 0, 0, 16, 1, kLin, 3, 17},
    {40, "pre A hz midi note mode", kB, 0, 0, 1, 1, kLin, 3, 2},
    {41, "pre A hz midi note ch", kE, 0, 0, 16, 1, kLin, 3, 17},
    {42, "pre A hz note oct shift", kI, 0, -8, 8, 1, kLin, 2, 0},
    {43, "pre A hz note semi shift", kI, 0, -12, 12, 1, kLin, 2, 0},
    {44, "pre A hz note cent shift", kI, 0, -100, 100, 1, kLin, 2, 0},
    {45, "pre A hz midi glide ms", kD, 0, 0, 2000, 1, 2.0, 0, 0},
    {46, "pre A glide mode", kE, 0, 0, 1, 1, kLin, 2, 2},
    {47, "pre A CC ch", kE, 0, 0, 16, 1, kLin, 3, 17},
    {48, "pre B hz midi note mode", kB, 0, 0, 1, 1, kLin, 3, 2},
    {49, "pre B hz midi note ch", kE, 0, 0, 16, 1, kLin, 3, 17},
    {50, "pre B hz note oct shift", kI, 0, -8, 8, 1, kLin, 2, 0},
    {51, "pre B hz note semi shift", kI, 0, -12, 12, 1, kLin, 2, 0},
    {52, "pre B hz note cent shift", kI, 0, -100, 100, 1, kLin, 2, 0},
    {53, "pre B hz midi glide ms", kD, 0, 0, 2000, 1, 2.0, 0, 0},
    {54, "pre B glide mode", kE, 0, 0, 1, 1, kLin, 2, 2},
    {55, "pre B CC ch", kE, 0, 0, 16, 1, kLin, 3, 17},
    {56, "morph active", kB, 1, 0, 1, 1, kLin, 2, 2},
    {57, "morph X", kD, 0.5, 0, 1, 0.0001, kLin, 0, 0},
    {58, "morph Y", kD, 0.45544554455445546, 0, 1, 0.0001, kLin, 0, 0},
    {59, "main UB u", kD, 0, -36, 36, 0.0001, kLin, 0, 0},
    {60, "main UB y1", kD, 0, -36, 36, 0.0001, kLin, 0, 0},
    {61, "main UB y2", kD, 0, -36, 36, 0.0001, kLin, 0, 0},
    {62, "main UB y3", kD, 0, -36, 36, 0.0001, kLin, 0, 0},
    {63, "main UB y4", kD, 1, -36, 36, 0.0001, kLin, 0, 0},
    {64, "main UB fb", kD, 1, 0, 1, 0.0001, kLin, 0, 0},
    {65, "main UB on", kB, 0, 0, 1, 1, kLin, 2, 2},
    {66, "preFlt A UB lp", kD, 1, -4, 4, 0.0001, kLin, 0, 0},
    {67, "preFlt A UB hp", kD, 0, -4, 4, 0.0001, kLin, 0, 0},
    {68, "preFlt A UB bp", kD, 0, -4, 4, 0.0001, kLin, 0, 0},
    {69, "preFlt A UB on", kB, 0, 0, 1, 1, kLin, 2, 2},
    {70, "preFlt B UB lp", kD, 0, -4, 4, 0.0001, kLin, 0, 0},
    {71, "preFlt B UB hp", kD, 1, -4, 4, 0.0001, kLin, 0, 0},
    {72, "preFlt B UB bp", kD, 0, -4, 4, 0.0001, kLin, 0, 0},
    {73, "preFlt B UB on", kB, 0, 0, 1, 1, kLin, 2, 2},
    {74, "main hz note anchored", kB, 0, 0, 1, 1, kLin, 19, 2},
    {75, "pre A hz note anchored", kB, 0, 0, 1, 1, kLin, 19, 2},
    {76, "pre B hz note anchored", kB, 0, 0, 1, 1, kLin, 19, 2},
    {77, "pt depth", kD, 1, 0, 1, 0.001, kLin, 0, 0},
    {78, "pt tilt", kD, 0, -1, 1, 0.001, kLin, 0, 0},
};
// clang-format on

TEST_F(ParamTable, EveryRowAsInitialised)
{
  ASSERT_EQ(std::size(kExpected), static_cast<size_t>(kNumParams));
  for (int i = 0; i < kNumParams; ++i)
  {
    const Expected& e = kExpected[i];
    const IParam& p = param(i);
    SCOPED_TRACE(testing::Message() << i << " " << paramName(i));
    ASSERT_EQ(e.index, i);
    EXPECT_STREQ(p.GetName(), e.hostName);
    EXPECT_EQ(p.Type(), e.type);
    EXPECT_EQ(p.GetDefault(), e.def);
    EXPECT_EQ(p.Value(), e.def);
    EXPECT_EQ(p.GetMin(), e.min);
    EXPECT_EQ(p.GetMax(), e.max);
    EXPECT_EQ(p.GetStep(), e.step);
    EXPECT_EQ(p.GetFlags(), e.flags);
    EXPECT_EQ(p.Unit(), IParam::kUnitCustom);
    EXPECT_STREQ(p.GetLabel(), "");
    EXPECT_STREQ(p.GetGroup(), "");
    EXPECT_EQ(p.NDisplayTexts(), e.nTexts);
    if (e.power == kLin)
    {
      EXPECT_EQ(p.GetShapeID(), IParam::kShapeLinear);
    }
    else
    {
      ASSERT_EQ(p.GetShapeID(), IParam::kShapePowCurve);
      EXPECT_EQ(static_cast<const IParam::ShapePowCurve*>(p.GetShape())->GetExponent(), e.power);
    }
  }
}

TEST_F(ParamTable, ListTextsInValueOrder)
{
  const std::vector<std::string> preFlt = {"LP", "HP", "BP", "BR", "P"};
  const std::vector<std::string> offOn = {"off", "on"};
  std::vector<std::string> channels = {"all"};
  for (int c = 1; c <= 16; ++c)
    channels.push_back(std::to_string(c));
  struct Case
  {
    int index;
    std::vector<std::string> texts;
  };
  const Case cases[] = {
    {par_preFlt_A_pt, preFlt},
    {par_preFlt_B_pt, preFlt},
    {par_main_pass_type, {"LP", "HP", "AP", "BP", "BR", "P"}},
    {par_main_filter_model, {"0", "1"}},
    {par_main_res_comp, {"0", "1", "2"}},
    {par_break_invert_fb, {"fb -", "fb +"}},
    {par_oversampling, {"os 1x", "os 2x", "os 4x", "os 8x"}},
    {par_main_glide_always, {"legato", "always"}},
    {par_preB_glide_always, {"legato", "always"}},
    {par_main_midi_note_channel, channels},
    {par_preA_midi_cc_channel, channels},
    {par_preB_midi_note_channel, channels},
    {par_preA_midi_note_on, offOn},
    {par_morph_active, offOn},
    {par_preFlt_B_ub_on, offOn},
    {par_preB_cutoff_note_anchored, offOn},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(paramName(c.index));
    const IParam& p = param(c.index);
    ASSERT_EQ(p.NDisplayTexts(), static_cast<int>(c.texts.size()));
    for (size_t v = 0; v < c.texts.size(); ++v)
    {
      double value = -1;
      EXPECT_EQ(p.GetDisplayTextAtIdx(static_cast<int>(v), &value), c.texts[v]);
      EXPECT_EQ(value, static_cast<double>(v));
      EXPECT_EQ(p.StringToValue(c.texts[v].c_str()), static_cast<double>(v));
    }
  }
}

TEST_F(ParamTable, ShapesMapNormalisedValues)
{
  struct Case
  {
    const char* name;
    int index;
    double normalized;
    double plain;
  };
  const Case cases[] = {
    {"main cutoff, power 2.5", par_main_cutoff_hz, 0.5, 1.0 + 19999.0 * std::pow(0.5, 2.5)},
    {"pre A frequency, power 4", par_preFlt_A_hz, 0.5, 1250.9375},
    {"pre B frequency, power 4", par_preFlt_B_hz, 0.25, 1.0 + 19999.0 / 256.0},
    {"drive, power 1 is the identity", par_main_drive, 0.3, 0.3},
    {"release, power 2", par_damping_release, 0.5, 500.0},
    {"threshold, power 0.5 on a negative range", par_damping_thresh, 0.25, -50.0},
    {"glide, power 2", par_preA_glide_ms, 0.5, 500.0},
    {"linear gain", par_main_gain, 0.75, 12.0},
    {"stepped int rounds to whole steps", par_main_note_oct_shift, 0.53, 0.0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const IParam& p = param(c.index);
    EXPECT_NEAR(p.FromNormalized(c.normalized), c.plain, 1e-9);
  }
  EXPECT_NEAR(param(par_main_cutoff_hz).FromNormalized(0.5), 3536.36, 0.01);
}

TEST_F(ParamTable, NonLinearFlagOfModulationSlots)
{
  const std::set<int> shaped = {11, 13, 0, 4, 14, 20, 2, 6, 25, 26, 37, 45, 53};
  const auto flags = modShapedFlags([this](int index) -> const IParam& { return param(index); });
  for (int slot = 0; slot < mod::kNumModSlots; ++slot)
  {
    const int index = mod::kModParams[static_cast<size_t>(slot)].param;
    EXPECT_EQ(flags[static_cast<size_t>(slot)], shaped.count(index) == 1) << paramName(index);
  }
}

TEST(ModParams, SlotsOfParameters)
{
  struct Case
  {
    EParams param;
    int slot;
    int kind;
  };
  const Case cases[] = {
    {par_main_cutoff_hz, 0, mod::kKindFrequency},
    {par_preFlt_A_hz, 2, mod::kKindFrequency},
    {par_preFlt_B_hz, 3, mod::kKindFrequency},
    {par_main_resonance, 1, mod::kKindOther},
    {par_main_pt_depth, 23, mod::kKindOther},
    {par_preB_glide_ms, 26, mod::kKindOther},
    {par_main_pt_tilt, -1, 0},
    {par_oversampling, -1, 0},
    {par_morph_x, -1, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(paramName(c.param));
    EXPECT_EQ(mod::indexOf(c.param), c.slot);
    if (c.slot >= 0)
    {
      EXPECT_EQ(mod::kModParams[static_cast<size_t>(c.slot)].kind, c.kind);
    }
  }
  int frequencySlots = 0;
  for (const mod::ModParam& row : mod::kModParams)
    frequencySlots += row.kind == mod::kKindFrequency;
  EXPECT_EQ(frequencySlots, 3);
}

TEST(ParamInit, IndexOutsideTheTableLeavesTheParameterAlone)
{
  for (int index : {-1, static_cast<int>(kNumParams)})
  {
    IParam p;
    initParam(p, index);
    EXPECT_EQ(p.Type(), IParam::kTypeNone) << index;
    EXPECT_STREQ(p.GetName(), "") << index;
  }
}

} // namespace
} // namespace zarvo
