#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include "IPlugin/IPluginParameter.h"
#include "IPlugin/TextScan.h"

namespace {
using plugkit::IParam;

template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info)
{
  return info.param.name;
}

// Initialisation: range repair, precision from the step, the constrained default, and the type.

struct InitCase
{
  const char* name;
  void (*init)(IParam&);
  IParam::EParamType type;
  double min, max, value;
  int precision;
};

const InitCase kInitCases[] = {
  {"MaxRaisedToMinPlusStep", [](IParam& p) { p.InitDouble("a", 0, 0, 0, 1); }, IParam::kTypeDouble, 0, 1, 0, 0},
  {"QuarterStepHasTwoDecimals", [](IParam& p) { p.InitDouble("a", 0.3, 0, 1, 0.25); }, IParam::kTypeDouble, 0, 1, 0.3,
   2},
  {"HundredthStep", [](IParam& p) { p.InitDouble("a", 0, -1, 1, 0.01); }, IParam::kTypeDouble, -1, 1, 0, 2},
  {"InexactDecimalStep", [](IParam& p) { p.InitDouble("a", 0, 0, 1, 0.07); }, IParam::kTypeDouble, 0, 1, 0, 2},
  {"TinyStepCapsAtSix", [](IParam& p) { p.InitDouble("a", 0, 0, 1, 0.0000001); }, IParam::kTypeDouble, 0, 1, 0, 6},
  {"SteppedDefaultIsRounded", [](IParam& p) { p.InitDouble("a", 0.74, -2, 2, 0.5, "", IParam::kFlagStepped); },
   IParam::kTypeDouble, -2, 2, 0.5, 1},
  {"DefaultClamped", [](IParam& p) { p.InitInt("a", 50, 0, 10); }, IParam::kTypeInt, 0, 10, 10, 0},
  {"BoolIsSteppedZeroToOne", [](IParam& p) { p.InitBool("a", true); }, IParam::kTypeBool, 0, 1, 1, 0},
  {"EnumSpansItsTexts",
   [](IParam& p) {
     p.InitEnum("a", 2, {"x", "y", "z", "w"});
   },
   IParam::kTypeEnum, 0, 3, 2, 0},
  {"OuterTypeSurvives",
   [](IParam& p) {
     p.InitEnum("a", 0, {"x", "y"});
     p.InitDouble("a", 0, 0, 5, 1);
   },
   IParam::kTypeEnum, 0, 5, 0, 0},
};

class IParamInit : public testing::TestWithParam<InitCase>
{};

TEST_P(IParamInit, SetsRangeValueAndPrecision)
{
  const InitCase& c = GetParam();
  IParam p;
  c.init(p);
  EXPECT_EQ(p.Type(), c.type);
  EXPECT_DOUBLE_EQ(p.GetMin(), c.min);
  EXPECT_DOUBLE_EQ(p.GetMax(), c.max);
  EXPECT_DOUBLE_EQ(p.Value(), c.value);
  EXPECT_EQ(p.GetDisplayPrecision(), c.precision);
}

INSTANTIATE_TEST_SUITE_P(Init, IParamInit, testing::ValuesIn(kInitCases), CaseName<InitCase>);

// Setting a plain value: stepped rounding with halves away from zero, then the clamp.

struct ConstrainCase
{
  const char* name;
  bool stepped;
  double input, expected;
};

const ConstrainCase kConstrainCases[] = {
  {"RoundsDownToStep", true, 0.74, 0.5},
  {"HalfStepAwayFromZeroNegative", true, -0.75, -1.0},
  {"HalfStepAwayFromZeroPositive", true, 0.75, 1.0},
  {"HalfStepAwayFromZeroNotToEven", true, 1.25, 1.5},
  {"ClampsAboveMax", true, 7.3, 2.0},
  {"ClampsBelowMin", false, -9.0, -2.0},
  {"UnsteppedKeepsValue", false, 0.74, 0.74},
  {"NaNGivesDefault", true, std::numeric_limits<double>::quiet_NaN(), 1.5},
  {"InfinityClamps", false, std::numeric_limits<double>::infinity(), 2.0},
};

class IParamConstrain : public testing::TestWithParam<ConstrainCase>
{};

TEST_P(IParamConstrain, StoresConstrainedValue)
{
  const ConstrainCase& c = GetParam();
  IParam p;
  p.InitDouble("a", 1.5, -2, 2, 0.5, "", c.stepped ? IParam::kFlagStepped : 0);
  p.Set(c.input);
  EXPECT_DOUBLE_EQ(p.Value(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Set, IParamConstrain, testing::ValuesIn(kConstrainCases), CaseName<ConstrainCase>);

// Shapes: normalised to plain and back, display type and shape id.

struct ShapeCase
{
  const char* name;
  std::shared_ptr<IParam::Shape> shape;
  double min, max, normalized, plain;
  int displayType;
  IParam::EShapeID id;
};

const ShapeCase kShapeCases[] = {
  {"Linear", std::make_shared<IParam::ShapeLinear>(), 0, 10, 0.3, 3, 0, IParam::kShapeLinear},
  {"SquareCurve", std::make_shared<IParam::ShapePowCurve>(2.0), 0, 100, 0.5, 25, 4, IParam::kShapePowCurve},
  {"CubeCurve", std::make_shared<IParam::ShapePowCurve>(3.0), 0, 8, 0.5, 1, 6, IParam::kShapePowCurve},
  {"SquareRootCurve", std::make_shared<IParam::ShapePowCurve>(0.5), 0, 100, 0.25, 50, 3, IParam::kShapePowCurve},
  {"ThirdRootCurve", std::make_shared<IParam::ShapePowCurve>(0.3), 0, 1, 1, 1, 5, IParam::kShapePowCurve},
  {"NearLinearCurve", std::make_shared<IParam::ShapePowCurve>(1.2), 0, 1, 1, 1, 0, IParam::kShapePowCurve},
  {"ExpMidpointIsGeometricMean", std::make_shared<IParam::ShapeExp>(), 20, 20000, 0.5, std::sqrt(20.0 * 20000.0), 1,
   IParam::kShapeExponential},
  {"ExpFromZeroStartsAtTinyValue", std::make_shared<IParam::ShapeExp>(), 0, 1000, 0, 1e-8, 1,
   IParam::kShapeExponential},
};

class IParamShape : public testing::TestWithParam<ShapeCase>
{};

TEST_P(IParamShape, MapsBothWays)
{
  const ShapeCase& c = GetParam();
  IParam p;
  p.InitDouble("a", c.min, c.min, c.max, 1e-9, "", 0, "", *c.shape);
  EXPECT_NEAR(p.FromNormalized(c.normalized), c.plain, 1e-9 * std::max(1.0, c.plain));
  EXPECT_NEAR(p.ToNormalized(c.plain), c.normalized, 1e-9);
  EXPECT_EQ(p.GetShape()->GetDisplayType(), c.displayType);
  EXPECT_EQ(p.GetShapeID(), c.id);

  p.SetNormalized(c.normalized);
  EXPECT_NEAR(p.GetNormalized(), c.normalized, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Shapes, IParamShape, testing::ValuesIn(kShapeCases), CaseName<ShapeCase>);

// Display texts.

struct DisplayCase
{
  const char* name;
  void (*init)(IParam&);
  double value;
  bool normalized;
  bool withDisplayText;
  const char* expected;
};

void InitOnOff(IParam& p) { p.InitBool("power", false, "", 0, "", "Off", "On"); }

const DisplayCase kDisplayCases[] = {
  {"BoolOffText", InitOnOff, 0, false, true, "Off"},
  {"BoolOnText", InitOnOff, 1, false, true, "On"},
  {"BoolWithoutDisplayTexts", InitOnOff, 1, false, false, "1"},
  {"EnumFromNormalized",
   [](IParam& p) {
     p.InitEnum("m", 0, {"LP", "HP", "BP"});
   },
   0.6, true, true, "HP"},
  {"IntegerRoundsHalfAwayFromZero", [](IParam& p) { p.InitDouble("a", 0, -10, 10, 1); }, -2.5, false, true, "-3"},
  {"Decimals", [](IParam& p) { p.InitDouble("a", 0, -10, 10, 0.01); }, 3.14159, false, true, "3.14"},
  {"NegateDisplay", [](IParam& p) { p.InitDouble("a", 0, -10, 10, 1, "", IParam::kFlagNegateDisplay); }, -3, false,
   true, "3"},
  {"NegateDisplayZeroHasNoSign", [](IParam& p) { p.InitDouble("a", 0, -10, 10, 0.1, "", IParam::kFlagNegateDisplay); },
   0, false, true, "0.0"},
  {"SignDisplayPositive", [](IParam& p) { p.InitDouble("a", 0, -10, 10, 0.1, "", IParam::kFlagSignDisplay); }, 2.5,
   false, true, "+2.5"},
  {"SignDisplayZero", [](IParam& p) { p.InitDouble("a", 0, -10, 10, 0.1, "", IParam::kFlagSignDisplay); }, 0, false,
   true, "0.0"},
  {"SignDisplayNegative", [](IParam& p) { p.InitDouble("a", 0, -10, 10, 0.1, "", IParam::kFlagSignDisplay); }, -1.5,
   false, true, "-1.5"},
  {"DisplayFunctionWins",
   [](IParam& p) {
     p.InitDouble("a", 0, 0, 10, 1, "", 0, "", IParam::ShapeLinear(), IParam::kUnitCustom,
                  [](double v, TextString& s) { s.SetFormatted(32, "<%g>", v); });
     p.SetDisplayText(4, "four");
   },
   4, false, true, "<4>"},
  {"EmptyDisplayTextFallsBackToNumber",
   [](IParam& p) {
     p.InitDouble("a", 0, 0, 10, 1);
     p.SetDisplayText(4, "");
   },
   4, false, true, "4"},
};

class IParamDisplay : public testing::TestWithParam<DisplayCase>
{};

TEST_P(IParamDisplay, FormatsValue)
{
  const DisplayCase& c = GetParam();
  IParam p;
  c.init(p);
  TextString text("stale");
  p.GetDisplay(c.value, c.normalized, text, c.withDisplayText);
  EXPECT_STREQ(text.Get(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Display, IParamDisplay, testing::ValuesIn(kDisplayCases), CaseName<DisplayCase>);

TEST(IParam, LabelIsHiddenWhileTheValueHasAText)
{
  IParam power;
  power.InitBool("power", true, "state", 0, "", "Off", "On");
  EXPECT_STREQ(power.GetLabel(), "");
  TextString text;
  power.GetDisplayWithLabel(text);
  EXPECT_STREQ(text.Get(), "On");

  IParam freq;
  freq.InitDouble("freq", 440, 20, 20000, 1, "Hz");
  freq.SetDisplayText(20, "lowest");
  EXPECT_STREQ(freq.GetLabel(), "Hz");
  freq.GetDisplayWithLabel(text);
  EXPECT_STREQ(text.Get(), "440 Hz");
  freq.Set(20);
  EXPECT_STREQ(freq.GetLabel(), "");
}

// Text to value.

struct ParseCase
{
  const char* name;
  void (*init)(IParam&);
  const char* text;
  double expected;
};

const ParseCase kParseCases[] = {
  {"BoolOnText", InitOnOff, "On", 1},
  {"BoolUnknownText", InitOnOff, "maybe", 0},
  {"BoolTextIsCaseSensitive", InitOnOff, "on", 0},
  {"EnumText",
   [](IParam& p) {
     p.InitEnum("m", 0, {"LP", "HP", "BP"});
   },
   "BP", 2},
  {"EnumNumberIsNotRead",
   [](IParam& p) {
     p.InitEnum("m", 0, {"LP", "HP", "BP"});
   },
   "2", 0},
  {"NumberWithUnit", [](IParam& p) { p.InitDouble("a", 0, 0, 100, 0.1); }, "12.5 Hz", 12.5},
  {"LeadingBlanksAndPlus", [](IParam& p) { p.InitDouble("a", 0, -100, 100, 0.1); }, "  +7.25", 7.25},
  {"NoNumberIsZeroClamped", [](IParam& p) { p.InitDouble("a", 5, 1, 100, 1); }, "abc", 1},
  {"NotANumberIsZero", [](IParam& p) { p.InitDouble("a", 5, -1, 100, 1); }, "nan", 0},
  {"SteppedRounds", [](IParam& p) { p.InitInt("a", 0, 0, 10); }, "3.5", 4},
  {"ClampedToMax", [](IParam& p) { p.InitDouble("a", 0, 0, 10, 0.1); }, "1e6", 10},
  {"NegateDisplay", [](IParam& p) { p.InitDouble("a", 0, -10, 10, 1, "", IParam::kFlagNegateDisplay); }, "3", -3},
  {"DisplayTextOfDouble",
   [](IParam& p) {
     p.InitDouble("a", 0, 0, 10, 0.5);
     p.SetDisplayText(2.5, "mid");
   },
   "mid", 2.5},
};

class IParamParse : public testing::TestWithParam<ParseCase>
{};

TEST_P(IParamParse, GivesPlainValue)
{
  const ParseCase& c = GetParam();
  IParam p;
  c.init(p);
  EXPECT_DOUBLE_EQ(p.StringToValue(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(StringToValue, IParamParse, testing::ValuesIn(kParseCases), CaseName<ParseCase>);

// Reading a shown or typed text, refusing one that names no value.

struct ReadCase
{
  const char* name;
  void (*init)(IParam&);
  const char* text;
  std::optional<double> expected;
};

void InitMilliseconds(IParam& p) { p.InitDouble("t", 5, 0, 100, 0.1, "ms"); }

// Reads "<n> s" as n seconds of a millisecond parameter, and nothing else.
void InitSecondsParse(IParam& p)
{
  p.InitDouble("t", 5, 0, 100000, 1);
  p.SetParseFunc([](std::string_view text) -> std::optional<double> {
    std::string_view rest = text;
    double v = 0;
    return plugkit::ReadNumber(rest, v) && plugkit::ReadWord(rest, "s") && plugkit::AtEnd(rest)
             ? std::optional<double>(v * 1000.0)
             : std::nullopt;
  });
}

const ReadCase kReadCases[] = {
  {"ExactText", InitOnOff, "On", 1},
  {"TextInAnyCaseAndBlanks", InitOnOff, "  oFF ", 0},
  {"UnknownTextOnBoolRefused", InitOnOff, "maybe", std::nullopt},
  {"NumberOnEnumRefused",
   [](IParam& p) {
     p.InitEnum("m", 0, {"LP", "HP", "BP"});
   },
   "2", std::nullopt},
  {"NumberWithTheLabel", InitMilliseconds, "12.5 MS", 12.5},
  {"BareNumber", InitMilliseconds, " +7.25 ", 7.25},
  {"OtherUnitRefused", InitMilliseconds, "12.5 Hz", std::nullopt},
  {"GarbageRefused", InitMilliseconds, "abc", std::nullopt},
  {"EmptyRefused", InitMilliseconds, "", std::nullopt},
  {"NotANumberRefused", InitMilliseconds, "nan", std::nullopt},
  {"InfinityRefused", InitMilliseconds, "inf", std::nullopt},
  {"OverflowRefused", InitMilliseconds, "1e999", std::nullopt},
  {"DoubleSignRefused", InitMilliseconds, "+-3", std::nullopt},
  {"ClampedToMax", InitMilliseconds, "1e6", 100},
  {"SteppedRounds", [](IParam& p) { p.InitInt("a", 0, 0, 10); }, "3.5", 4},
  {"NegateDisplay", [](IParam& p) { p.InitDouble("a", 0, -10, 10, 1, "", IParam::kFlagNegateDisplay); }, "3", -3},
  {"ParseFuncReads", InitSecondsParse, "1.5 s", 1500},
  {"ParseFuncRefusal", InitSecondsParse, "1500", std::nullopt},
  {"EmptyDisplayTextNamesNothing", [](IParam& p) { p.InitBool("b", false, "", 0, "", "", "on"); }, "", std::nullopt},
};

class IParamRead : public testing::TestWithParam<ReadCase>
{};

TEST_P(IParamRead, GivesConstrainedValueOrNothing)
{
  const ReadCase& c = GetParam();
  IParam p;
  c.init(p);
  EXPECT_EQ(p.ReadDisplay(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(ReadDisplay, IParamRead, testing::ValuesIn(kReadCases), CaseName<ReadCase>);

} // namespace
