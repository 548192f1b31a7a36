// What a host reads of the parameters: the 79 product parameters, bypass, the MIDI-controller
// parameters, units, value texts and the MIDI mapping.
#include "tests/IPlugin/VST3/host_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace vemlor::testhost {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr int32 kAutomate = ParameterInfo::kCanAutomate;
constexpr int32 kList = ParameterInfo::kIsList;

struct ParamRow
{
  const char* title;
  int32 stepCount;
  int32 flags;
  double defaultNormalized;
};

// Index order. Doubles have no steps; ints and bools step by one; enums are lists.
const ParamRow kParams[] = {
  {"preFlt A hz", 0, kAutomate, 1.0},
  {"pre flt A detune", 200, kAutomate, 0.5},
  {"preFlt A res", 0, kAutomate, std::pow(0.5, 8.0)},
  {"preFlt A pass type", 4, kAutomate | kList, 0.0},
  {"preFlt B hz", 0, kAutomate, 0.0},
  {"pre flt B detune", 200, kAutomate, 0.5},
  {"preFlt B res", 0, kAutomate, std::pow(0.5, 8.0)},
  {"preFlt B pass type", 4, kAutomate | kList, 0.25},
  {"preFlt proc order", 0, kAutomate, 1.0},
  {"preFlt band mode", 0, kAutomate, 0.5},
  {"neg band mix", 0, kAutomate, 0.0},
  {"main hz", 0, kAutomate, 1.0},
  {"main flt detune", 200, kAutomate, 0.5},
  {"main res", 0, kAutomate, 0.25},
  {"drive", 0, kAutomate, 0.0},
  {"sat type", 0, kAutomate, 2.0 / 3.0},
  {"main pass type", 5, kAutomate | kList, 0.0},
  {"reserved c", 0, 0, 0.0},
  {"reserved a", 1, kList, 0.0},
  {"reserved b", 2, kList, 0.0},
  {"break", 0, kAutomate, 0.0},
  {"break char", 0, kAutomate, 0.0},
  {"break var", 0, kAutomate, 0.5},
  {"break double", 0, kAutomate, 0.0},
  {"break fb inversion", 1, kAutomate | kList, 0.0},
  {"damping release", 0, kAutomate, std::sqrt(0.05)},
  {"damping thresh", 0, kAutomate, 0.04},
  {"damping hold", 0, kAutomate, 0.2},
  {"oversampling", 3, kAutomate | kList, 0.0},
  {"mix", 0, kAutomate, 1.0},
  {"gain", 0, kAutomate, 0.5},
  {"gain on dry", 0, 0, 0.0},
  {"main hz midi note mode", 1, 0, 0.0},
  {"main hz midi note ch", 16, kList, 0.0},
  {"main hz note oct shift", 16, kAutomate, 0.5},
  {"main hz note semi shift", 24, kAutomate, 0.5},
  {"main hz note cent shift", 200, kAutomate, 0.5},
  {"main hz midi glide ms", 0, kAutomate, 0.0},
  {"main glide mode", 1, kAutomate | kList, 0.0},
  {"main CC ch", 16, kList, 0.0},
  {"pre A hz midi note mode", 1, 0, 0.0},
  {"pre A hz midi note ch", 16, kList, 0.0},
  {"pre A hz note oct shift", 16, kAutomate, 0.5},
  {"pre A hz note semi shift", 24, kAutomate, 0.5},
  {"pre A hz note cent shift", 200, kAutomate, 0.5},
  {"pre A hz midi glide ms", 0, kAutomate, 0.0},
  {"pre A glide mode", 1, kAutomate | kList, 0.0},
  {"pre A CC ch", 16, kList, 0.0},
  {"pre B hz midi note mode", 1, 0, 0.0},
  {"pre B hz midi note ch", 16, kList, 0.0},
  {"pre B hz note oct shift", 16, kAutomate, 0.5},
  {"pre B hz note semi shift", 24, kAutomate, 0.5},
  {"pre B hz note cent shift", 200, kAutomate, 0.5},
  {"pre B hz midi glide ms", 0, kAutomate, 0.0},
  {"pre B glide mode", 1, kAutomate | kList, 0.0},
  {"pre B CC ch", 16, kList, 0.0},
  {"morph active", 1, kAutomate, 1.0},
  {"morph X", 0, kAutomate, 0.5},
  {"morph Y", 0, kAutomate, 46.0 / 101.0},
  {"main UB u", 0, kAutomate, 0.5},
  {"main UB y1", 0, kAutomate, 0.5},
  {"main UB y2", 0, kAutomate, 0.5},
  {"main UB y3", 0, kAutomate, 0.5},
  {"main UB y4", 0, kAutomate, 37.0 / 72.0},
  {"main UB fb", 0, kAutomate, 1.0},
  {"main UB on", 1, kAutomate, 0.0},
  {"preFlt A UB lp", 0, kAutomate, 5.0 / 8.0},
  {"preFlt A UB hp", 0, kAutomate, 0.5},
  {"preFlt A UB bp", 0, kAutomate, 0.5},
  {"preFlt A UB on", 1, kAutomate, 0.0},
  {"preFlt B UB lp", 0, kAutomate, 0.5},
  {"preFlt B UB hp", 0, kAutomate, 5.0 / 8.0},
  {"preFlt B UB bp", 0, kAutomate, 0.5},
  {"preFlt B UB on", 1, kAutomate, 0.0},
  {"main hz note anchored", 1, 0, 0.0},
  {"pre A hz note anchored", 1, 0, 0.0},
  {"pre B hz note anchored", 1, 0, 0.0},
  {"pt depth", 0, kAutomate, 1.0},
  {"pt tilt", 0, kAutomate, 0.5},
};
static_assert(std::size(kParams) == 79);

constexpr ParamID kBypassId = 65536;
constexpr ParamID kFirstControllerId = 65538;

TEST(VemlorParameters, EachProductParameterAsTheTableGivesIt)
{
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  const auto infos = s.parameters();
  // 79 product parameters, bypass, 128 controllers, channel pressure and pitch bend.
  ASSERT_EQ(infos.size(), 79u + 1u + 130u);
  for (ParamID id = 0; id < 79; ++id)
  {
    const ParamRow& row = kParams[id];
    SCOPED_TRACE(row.title);
    ASSERT_TRUE(infos.count(id));
    const ParameterInfo& info = infos.at(id);
    EXPECT_EQ(toUtf8(info.title, 128), row.title);
    EXPECT_EQ(toUtf8(info.shortTitle, 128), "");
    EXPECT_EQ(toUtf8(info.units, 128), "");
    EXPECT_EQ(info.stepCount, row.stepCount);
    EXPECT_EQ(info.flags, row.flags);
    EXPECT_NEAR(info.defaultNormalizedValue, row.defaultNormalized, 1e-12);
    EXPECT_EQ(info.unitId, kRootUnitId);
  }
}

struct TextRow
{
  ParamID id;
  double normalized;
  const char* text;
};

TEST(VemlorParameters, ValueTextsFollowTheDisplayOfEachParameter)
{
  const TextRow rows[] = {
    {0, 0.5, "1.25 kHz"}, // 1 + 19999 * 0.5^4 Hz
    {0, 1.0, "20.0 kHz"},
    {4, 0.0, "1.0 Hz"},
    {11, 0.5, "3.54 kHz"}, // 1 + 19999 * 0.5^2.5 Hz
    {1, 0.0, "-100"},
    {1, 0.75, "50"},
    {3, 0.5, "BP"}, // the pre-filters have no "AP"
    {16, 0.4, "AP"},
    {16, 1.0, "P"},
    {13, 0.25, "0.5000"}, // square-root curve, four decimals for a step of 0.0001
    {15, 0.5, "ASINH>TASSYM 50%"},
    {15, 1.0, "TANH"},
    {24, 1.0, "fb +"},
    {25, 0.5, "R 500 ms"},
    {25, 1.0, "R inf"},
    {26, 0.0, "-100.0 dB"},
    {27, 0.5, "H 5.0 ms"},
    {27, 1.0, "H 10 ms"},
    {28, 1.0, "os 8x"},
    {30, 0.0, "-24.0 dB"},
    {30, 0.5, "0.0 dB"},
    {31, 0.5, "50%"},
    {33, 0.0, "all"},
    {33, 1.0, "16"},
    {37, 0.5, "500 ms"},
    {37, 1.0, "2.00 s"},
    {56, 1.0, "on"},
    {77, 1.0, "1.000"},
    {kBypassId, 0.0, "off"},
    {kBypassId, 1.0, "on"},
    {kBypassId, -3.0, "off"}, // out-of-range values show the nearer end
    {kBypassId, 7.0, "on"},
  };
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  for (const TextRow& row : rows)
    EXPECT_EQ(s.valueText(row.id, row.normalized), row.text) << "id " << row.id << " at " << row.normalized;
}

struct StringRow
{
  ParamID id;
  const char* text;
  double normalized;
};

TEST(VemlorParameters, TextsReadBackAsNormalisedValues)
{
  const StringRow rows[] = {
    {7, "HP", 0.25}, {16, "BP", 0.6}, {28, "os 4x", 2.0 / 3.0}, {30, "-12", 0.25}, {1, "50", 0.75}, {33, "all", 0.0},
  };
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  for (const StringRow& row : rows)
  {
    String128 text{};
    for (size_t i = 0; row.text[i]; ++i)
      text[i] = static_cast<char16>(row.text[i]);
    ParamValue value = -1.0;
    ASSERT_EQ(s.controller().getParamValueByString(row.id, text, value), kResultTrue) << row.text;
    EXPECT_NEAR(value, row.normalized, 1e-12) << row.text;
  }
}

// Every text a host shows reads back to a value that shows the same text: each parameter at points
// across its travel, and stepped parameters at each step.
TEST(VemlorParameters, EveryShownTextReadsBackToTheSameValue)
{
  const double points[] = {0.0, 0.1, 0.37, 0.5, 0.9, 1.0};
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  const auto infos = s.parameters();
  int checked = 0;
  for (ParamID id = 0; id < 79; ++id)
  {
    SCOPED_TRACE(kParams[id].title);
    const int32 steps = infos.at(id).stepCount;
    std::vector<double> values(std::begin(points), std::end(points));
    for (int32 k = 0; k <= steps && steps > 0; ++k)
      values.push_back(static_cast<double>(k) / steps);
    for (const double normalized : values)
    {
      const std::string text = s.valueText(id, normalized);
      ParamValue read = -1.0;
      ASSERT_EQ(s.readText(id, text, read), kResultTrue) << '"' << text << "\" at " << normalized;
      EXPECT_EQ(s.valueText(id, read), text) << "at " << normalized;
      if (steps > 0)
      {
        EXPECT_NEAR(read * steps, std::round(normalized * steps), 1e-9) << '"' << text << '"';
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 79 * 6);
}

struct TypedRow
{
  const char* name;
  ParamID id;
  const char* text;
  bool accepted;
  double plain; // what an accepted text sets
};

// What a user types into a host's value field. A refused text changes nothing.
TEST(VemlorParameters, TypedTextsReadInTheParametersUnits)
{
  const TypedRow rows[] = {
    {"kilo shorthand", 11, "1.5k", true, 1500},
    {"bare number in Hz", 11, "1500", true, 1500},
    {"kilohertz in any case", 0, "1.5 KHZ", true, 1500},
    {"hertz", 4, "440 Hz", true, 440},
    {"percent with a blank", 31, "50 %", true, 0.5},
    {"bare number in percent", 31, "25", true, 0.25},
    {"decibels", 30, "+3.5 dB", true, 3.5},
    {"bare decibels", 26, "-60", true, -60},
    {"seconds of release", 25, "R 1.50 s", true, 1500},
    {"release without its prefix", 25, "250 ms", true, 250},
    {"endless release", 25, "inf", true, 2000},
    {"a number never asks for the endless release", 25, "R 2.00 s", true, 1999.9},
    {"hold", 27, "H 2.5 ms", true, 2.5},
    {"seconds of glide", 45, "1.00 s", true, 1000},
    {"bare milliseconds of glide", 53, "250", true, 250},
    {"curve name in any case", 15, "asinh", true, 1},
    {"blend of curves", 15, "TASSYM>TANH 25%", true, 2.25},
    {"bare curve position", 15, "0.5", true, 0.5},
    {"list entry in any case", 16, " bp ", true, 3},
    {"switch", 56, "OFF", true, 0},
    {"whole number rounds to its step", 12, "3.6", true, 4},
    {"number beyond the range is clamped", 30, "100", true, 24},
    {"plain number", 57, "0.25", true, 0.25},
    {"garbage", 30, "abc", false, 0},
    {"empty", 29, "", false, 0},
    {"number then garbage", 1, "12 apples", false, 0},
    {"another unit", 30, "3 Hz", false, 0},
    {"not a number", 29, "nan", false, 0},
    {"infinite gain", 30, "inf", false, 0},
    {"name of no entry", 3, "AP", false, 0},
    {"number on a list", 28, "2", false, 0},
    {"blend that skips a curve", 15, "TANH>TASSYM 50%", false, 0},
    {"blend beyond its end", 15, "TANH>ASINH 150%", false, 0},
    {"prefix alone", 25, "R", false, 0},
  };
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  for (const TypedRow& row : rows)
  {
    SCOPED_TRACE(row.name);
    const ParamValue before = s.controller().getParamNormalized(row.id);
    ParamValue read = -1.0;
    const tresult result = s.readText(row.id, row.text, read);
    if (row.accepted)
    {
      ASSERT_EQ(result, kResultTrue) << row.text;
      EXPECT_NEAR(s.controller().normalizedParamToPlain(row.id, read), row.plain, 1e-9 * std::max(1.0, row.plain));
    }
    else
    {
      EXPECT_EQ(result, kResultFalse) << row.text;
      EXPECT_EQ(read, -1.0) << row.text;
    }
    EXPECT_EQ(s.controller().getParamNormalized(row.id), before);
  }
}

struct HostParamRow
{
  ParamID id;
  const char* title;
  int32 stepCount;
  int32 flags;
  double defaultNormalized;
  UnitID unit;
};

TEST(VemlorParameters, BypassAndControllerParametersAndTheirUnits)
{
  const HostParamRow rows[] = {
    {kBypassId, "Bypass", 1, 0x10009, 0.0, kRootUnitId},
    {kFirstControllerId + 0, "BankSel.MSB", 0, 0, 0.0, 3},
    {kFirstControllerId + 3, "Contr. 3", 0, 0, 0.0, 3},
    {kFirstControllerId + 7, "MainVolume", 0, 0, 0.0, 3},
    {kFirstControllerId + 66, "Sostenuto ", 0, 0, 0.0, 3},
    {kFirstControllerId + 127, "PolyModeOn", 0, 0, 0.0, 3},
    {kFirstControllerId + 128, "Channel Aftertouch", 0, 0, 0.0, 3},
    {kFirstControllerId + 129, "Pitch Bend", 0, 0, 0.5, 3},
  };
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  const auto infos = s.parameters();
  for (const HostParamRow& row : rows)
  {
    SCOPED_TRACE(row.title);
    ASSERT_TRUE(infos.count(row.id));
    const ParameterInfo& info = infos.at(row.id);
    EXPECT_EQ(toUtf8(info.title, 128), row.title);
    EXPECT_EQ(info.stepCount, row.stepCount);
    EXPECT_EQ(info.flags, row.flags);
    EXPECT_EQ(info.defaultNormalizedValue, row.defaultNormalized);
    EXPECT_EQ(info.unitId, row.unit);
  }
  EXPECT_FALSE(infos.count(0x10001)) << "the preset-list id is reserved";
}

struct UnitRow
{
  UnitID id;
  UnitID parent;
  const char* name;
};

struct UnitCase
{
  const char* name;
  const char* bundle;
  std::vector<UnitRow> units;
  // Parameter id and the unit it lies in.
  std::vector<std::pair<ParamID, UnitID>> membership;
};

TEST(VST3Units, GroupsBecomeUnitsUnderTheRoot)
{
  const UnitCase cases[] = {
    {"Vemlor: no groups",
     VEMLOR_BUNDLE_PATH,
     {{0, kNoParentUnitId, "Root"}, {2, 0, "MIDI CCs"}, {3, 2, "CH1"}},
     {{0, 0}, {78, 0}, {kFirstControllerId, 3}}},
    // Two parameters of one group share its unit; a parameter without a group lies in the root.
    {"Echo: one group",
     ECHO_BUNDLE_PATH,
     {{0, kNoParentUnitId, "Root"}, {1, 0, "Levels"}, {3, 0, "MIDI CCs"}, {4, 3, "CH1"}},
     {{0, 1}, {1, 1}, {2, 0}, {kBypassId, 0}, {kFirstControllerId + 129, 4}}},
  };
  for (const UnitCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    HostSession s(c.bundle);
    ASSERT_TRUE(s) << s.error;
    FUnknownPtr<IUnitInfo> units(s.plugin->controller());
    ASSERT_TRUE(units);
    ASSERT_EQ(units->getUnitCount(), static_cast<int32>(c.units.size()));
    for (int32 i = 0; i < units->getUnitCount(); ++i)
    {
      UnitInfo info{};
      ASSERT_EQ(units->getUnitInfo(i, info), kResultTrue);
      EXPECT_EQ(info.id, c.units[i].id);
      EXPECT_EQ(info.parentUnitId, c.units[i].parent);
      EXPECT_EQ(toUtf8(info.name, 128), c.units[i].name);
      EXPECT_EQ(info.programListId, kNoProgramListId);
    }
    UnitInfo outside{};
    EXPECT_NE(units->getUnitInfo(units->getUnitCount(), outside), kResultTrue);
    const auto infos = s.parameters();
    for (const auto& [id, unit] : c.membership)
      EXPECT_EQ(infos.at(id).unitId, unit) << "parameter " << id;
  }
}

struct MappingRow
{
  const char* name;
  int32 bus;
  int16 channel;
  CtrlNumber controller;
  bool mapped;
  ParamID id;
};

TEST(VemlorParameters, MidiControllersMapOntoTheirParameters)
{
  const MappingRow rows[] = {
    {"main volume", 0, 0, 7, true, 65545},
    {"bank select", 0, 0, 0, true, 65538},
    {"channel pressure", 0, 0, kAfterTouch, true, 65666},
    {"pitch bend", 0, 0, kPitchBend, true, 65667},
    {"second channel", 0, 1, 7, false, 0},
    {"second bus", 1, 0, 7, false, 0},
    {"program change has no parameter", 0, 0, kCtrlProgramChange, false, 0},
  };
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  FUnknownPtr<IMidiMapping> mapping(s.plugin->controller());
  ASSERT_TRUE(mapping);
  const auto infos = s.parameters();
  for (const MappingRow& row : rows)
  {
    SCOPED_TRACE(row.name);
    ParamID id = 0;
    const tresult result = mapping->getMidiControllerAssignment(row.bus, row.channel, row.controller, id);
    EXPECT_EQ(result == kResultOk, row.mapped);
    if (row.mapped)
    {
      EXPECT_EQ(id, row.id);
      EXPECT_TRUE(infos.count(id));
    }
  }
}

struct SetRow
{
  const char* name;
  ParamID id;
  double value;
  bool accepted;
  double readBack;
};

TEST(VemlorParameters, HostWritesOfNormalisedValues)
{
  const SetRow rows[] = {
    {"product parameter", 30, 0.75, true, 0.75},
    {"above the range", 29, 1.5, true, 1.0},
    {"bypass", kBypassId, 1.0, true, 1.0},
    {"controller", kFirstControllerId + 7, 0.25, true, 0.25},
    {"reserved preset-list id", 0x10001, 0.5, false, 0.0},
    {"beyond the parameters", 79, 0.5, false, 0.0},
    {"not a number", 30, std::nan(""), false, 0.75},
  };
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  for (const SetRow& row : rows)
  {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(s.controller().setParamNormalized(row.id, row.value) == kResultOk, row.accepted);
    EXPECT_EQ(s.controller().getParamNormalized(row.id), row.readBack);
  }
}

} // namespace
} // namespace vemlor::testhost
