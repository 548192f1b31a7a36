#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "IPlugin/IPluginParameter.h"

namespace {
using plugkit::IParam;

template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info)
{
  return info.param.name;
}

// The convenience initialisers.

struct InitialiserCase
{
  const char* name;
  void (*init)(IParam&);
  IParam::EParamUnit unit;
  const char* label;
  IParam::EShapeID shape;
  double step;
};

const InitialiserCase kInitialiserCases[] = {
  {"Frequency", [](IParam& p) { p.InitFrequency("f", 1000, 20, 20000, 0.1); }, IParam::kUnitFrequency, "Hz",
   IParam::kShapeExponential, 0.1},
  {"Seconds", [](IParam& p) { p.InitSeconds("s", 1, 0, 10, 0.01); }, IParam::kUnitSeconds, "Seconds",
   IParam::kShapeLinear, 0.01},
  {"Milliseconds", [](IParam& p) { p.InitMilliseconds("ms", 10, 0, 500); }, IParam::kUnitMilliseconds, "ms",
   IParam::kShapeLinear, 1},
  {"Gain", [](IParam& p) { p.InitGain("g", 0, -70, 12, 0.5); }, IParam::kUnitDB, "dB", IParam::kShapeLinear, 0.5},
  {"Percentage", [](IParam& p) { p.InitPercentage("p", 50, 0, 100); }, IParam::kUnitPercentage, "%",
   IParam::kShapeLinear, 1},
  {"AngleDegrees", [](IParam& p) { p.InitAngleDegrees("a", 0, 0, 360); }, IParam::kUnitDegrees, "degrees",
   IParam::kShapeLinear, 1},
};

class ParamInitialiser : public testing::TestWithParam<InitialiserCase>
{};

TEST_P(ParamInitialiser, SetsUnitLabelShapeAndStep)
{
  const InitialiserCase& c = GetParam();
  IParam p;
  c.init(p);
  EXPECT_EQ(p.Type(), IParam::kTypeDouble);
  EXPECT_EQ(p.Unit(), c.unit);
  EXPECT_STREQ(p.GetLabel(), c.label);
  EXPECT_EQ(p.GetShapeID(), c.shape);
  EXPECT_DOUBLE_EQ(p.GetStep(), c.step);
  EXPECT_EQ(p.NDisplayTexts(), 0);
}

INSTANTIATE_TEST_SUITE_P(Initialisers, ParamInitialiser, testing::ValuesIn(kInitialiserCases),
                         CaseName<InitialiserCase>);

TEST(ParamExtras, EnumFromArgumentsNamesItsValues)
{
  IParam named;
  named.InitEnum("mode", 1, 3, "", 0, "group", "Low", "Mid", "High");
  EXPECT_EQ(named.Type(), IParam::kTypeEnum);
  EXPECT_TRUE(named.GetStepped());
  EXPECT_DOUBLE_EQ(named.GetMax(), 2);
  ASSERT_EQ(named.NDisplayTexts(), 3);
  EXPECT_STREQ(named.GetDisplayText(2), "High");

  IParam unnamed; // a null first text adds no texts; values show as numbers
  unnamed.InitEnum("mode", 1, 3, "", 0, "", nullptr);
  EXPECT_EQ(unnamed.Type(), IParam::kTypeEnum);
  EXPECT_EQ(unnamed.NDisplayTexts(), 0);
  TextString display;
  unnamed.GetDisplay(2, false, display);
  EXPECT_STREQ(display.Get(), "2");

  IParam extra; // texts beyond the count are ignored
  extra.InitEnum("mode", 0, 2, "", 0, "", "A", "B", "C");
  EXPECT_EQ(extra.NDisplayTexts(), 2);
}

struct PitchCase
{
  const char* name;
  int lowest, highest;
  bool middleCIsC4;
  std::vector<std::string> texts; // first, second, last
};

const PitchCase kPitchCases[] = {
  {"MiddleCIsC4", 60, 72, true, {"C 4", "C#4", "C 5"}},
  {"MiddleCIsC3", 60, 72, false, {"C 3", "C#3", "C 4"}},
  {"BelowZeroCountsDown", -2, 0, true, {"A#-2", "B -2", "C -1"}},
  {"TopOfTheRange", 126, 127, false, {"F#8", "G 8", "G 8"}},
};

class ParamPitch : public testing::TestWithParam<PitchCase>
{};

TEST_P(ParamPitch, NamesNotesWithTheirOctave)
{
  const PitchCase& c = GetParam();
  IParam p;
  p.InitPitch("note", 0, c.lowest, c.highest, 0, "", c.middleCIsC4);
  EXPECT_EQ(p.Type(), IParam::kTypeEnum);
  ASSERT_EQ(p.NDisplayTexts(), c.highest - c.lowest + 1);
  EXPECT_DOUBLE_EQ(p.GetMax(), c.highest - c.lowest);
  EXPECT_EQ(p.GetDisplayTextAtIdx(0), c.texts[0]);
  EXPECT_EQ(p.GetDisplayTextAtIdx(1), c.texts[1]);
  EXPECT_EQ(p.GetDisplayTextAtIdx(p.NDisplayTexts() - 1), c.texts[2]);
}

INSTANTIATE_TEST_SUITE_P(Pitch, ParamPitch, testing::ValuesIn(kPitchCases), CaseName<PitchCase>);

struct CopyCase
{
  const char* name;
  const char* search;
  const char* replace;
  const char* newGroup;
  const char* expectedName;
  const char* expectedGroup;
};

const CopyCase kCopyCases[] = {
  {"ReplacesFirstOccurrence", "1", "2", "", "Osc 2 level 1", "osc"},
  {"AbsentSearchKeepsName", "9", "2", "", "Osc 1 level 1", "osc"},
  {"EmptySearchNeverReplaces", "", "2", nullptr, "Osc 1 level 1", "osc"},
  {"NullReplaceDeletes", " level", nullptr, "copies", "Osc 1 1", "copies"},
};

class ParamCopy : public testing::TestWithParam<CopyCase>
{};

TEST_P(ParamCopy, CopiesUnderTheChangedName)
{
  const CopyCase& c = GetParam();
  IParam source;
  source.InitEnum("Osc 1 level 1", 1, 3, "st", IParam::kFlagCannotAutomate, "osc", "off", "half", "full");
  IParam copy;
  copy.Init(source, c.search, c.replace, c.newGroup);
  EXPECT_STREQ(copy.GetName(), c.expectedName);
  EXPECT_STREQ(copy.GetGroup(), c.expectedGroup);
  EXPECT_EQ(copy.Type(), IParam::kTypeEnum);
  EXPECT_DOUBLE_EQ(copy.GetMax(), 2);
  EXPECT_DOUBLE_EQ(copy.GetDefault(), 1);
  EXPECT_EQ(copy.GetFlags(), source.GetFlags());
  ASSERT_EQ(copy.NDisplayTexts(), 3);
  EXPECT_STREQ(copy.GetDisplayText(1), "half");
}

INSTANTIATE_TEST_SUITE_P(Copy, ParamCopy, testing::ValuesIn(kCopyCases), CaseName<CopyCase>);

// A parameter may be re-initialised from itself: its own name, label and texts are read before they change.
TEST(ParamExtras, CopyOfItselfKeepsItsTexts)
{
  IParam p;
  p.InitEnum("mode", 0, 2, "", 0, "", "A", "B");
  p.Init(p, "mode", "type");
  EXPECT_STREQ(p.GetName(), "type");
  EXPECT_EQ(p.NDisplayTexts(), 4); // the texts are appended, as for any copy
}

TEST(ParamExtras, DisplayTextLookups)
{
  IParam p;
  p.InitInt("n", 0, 0, 5);
  p.SetDisplayText(1, "one");
  p.SetDisplayText(2, "two");
  p.SetDisplayText(3, "one");

  double value = -1;
  EXPECT_TRUE(p.MapDisplayText("one", &value));
  EXPECT_DOUBLE_EQ(value, 1) << "a duplicate maps to the first";
  value = -1;
  EXPECT_FALSE(p.MapDisplayText("One", &value));
  EXPECT_FALSE(p.MapDisplayText(nullptr, &value));
  EXPECT_DOUBLE_EQ(value, -1);

  EXPECT_STREQ(p.GetDisplayTextAtIdx(1, &value), "two");
  EXPECT_DOUBLE_EQ(value, 2);
  value = -1;
  EXPECT_STREQ(p.GetDisplayTextAtIdx(3, &value), "");
  EXPECT_STREQ(p.GetDisplayTextAtIdx(-1, &value), "");
  EXPECT_DOUBLE_EQ(value, -1);
}

TEST(ParamExtras, LongTextsAreCutOnACharacterBoundary)
{
  std::string umlauts;
  for (int i = 0; i < 20; ++i)
    umlauts += "\xC3\xA4"; // U+00E4, two bytes each
  IParam p;
  p.InitInt("n", 0, 0, 1);
  p.SetDisplayText(0, umlauts.c_str());
  p.SetDisplayText(1, std::string(40, 'x').c_str());
  EXPECT_EQ(std::string(p.GetDisplayTextAtIdx(0)), umlauts.substr(0, 30));
  EXPECT_EQ(std::string(p.GetDisplayTextAtIdx(1)), std::string(31, 'x'));
}

TEST(ParamExtras, BoundsPrecisionAndShapeValue)
{
  IParam curve;
  curve.InitDouble("c", 0, -2, 8, 0.01, "", 0, "", IParam::ShapePowCurve(3.0));
  double lo = 0, hi = 0;
  curve.GetBounds(lo, hi);
  EXPECT_DOUBLE_EQ(lo, -2);
  EXPECT_DOUBLE_EQ(hi, 8);
  EXPECT_DOUBLE_EQ(curve.GetShapeValue(), 3.0);

  IParam linear, exponential;
  linear.InitGain("g", 0, -10, 10, 0.1);
  exponential.InitFrequency("f", 100, 20, 20000, 1);
  EXPECT_DOUBLE_EQ(linear.GetShapeValue(), 0);
  EXPECT_DOUBLE_EQ(exponential.GetShapeValue(), 0);

  linear.SetDisplayPrecision(3);
  TextString display;
  linear.GetDisplay(1.25, false, display);
  EXPECT_STREQ(display.Get(), "1.250");
}

// The JSON description.

// A small strict JSON checker: one value and nothing after it.
class JsonChecker
{
public:
  explicit JsonChecker(const std::string& text)
    : mText(text)
  {}

  bool Valid() { return Value() && (Blank(), mPos == mText.size()); }

private:
  void Blank()
  {
    while (mPos < mText.size() && std::strchr(" \t\r\n", mText[mPos]))
      ++mPos;
  }
  bool Eat(char c)
  {
    Blank();
    if (mPos < mText.size() && mText[mPos] == c)
      return ++mPos, true;
    return false;
  }
  bool Value()
  {
    Blank();
    if (mPos >= mText.size())
      return false;
    const char c = mText[mPos];
    if (c == '{')
      return Object();
    if (c == '"')
      return String();
    if (c == '-' || std::isdigit(static_cast<unsigned char>(c)))
      return Number();
    for (const char* word : {"null", "true", "false"})
      if (mText.compare(mPos, std::strlen(word), word) == 0)
        return mPos += std::strlen(word), true;
    return false;
  }
  bool Object()
  {
    Eat('{');
    if (Eat('}'))
      return true;
    do
    {
      Blank();
      if (!String() || !Eat(':') || !Value())
        return false;
    } while (Eat(','));
    return Eat('}');
  }
  bool String()
  {
    if (mText[mPos] != '"')
      return false;
    for (++mPos; mPos < mText.size(); ++mPos)
    {
      const unsigned char c = static_cast<unsigned char>(mText[mPos]);
      if (c == '"')
        return ++mPos, true;
      if (c < 0x20)
        return false;
      if (c == '\\')
      {
        if (++mPos >= mText.size() || !std::strchr("\"\\/bfnrtu", mText[mPos]))
          return false;
        if (mText[mPos] == 'u')
          for (int i = 0; i < 4; ++i)
            if (++mPos >= mText.size() || !std::isxdigit(static_cast<unsigned char>(mText[mPos])))
              return false;
      }
    }
    return false;
  }
  bool Number()
  {
    const size_t start = mPos;
    if (mText[mPos] == '-')
      ++mPos;
    while (mPos < mText.size() && (std::isdigit(static_cast<unsigned char>(mText[mPos])) || mText[mPos] == '.'))
      ++mPos;
    return mPos > start && std::isdigit(static_cast<unsigned char>(mText[mPos - 1]));
  }

  const std::string& mText;
  size_t mPos = 0;
};

TEST(ParamExtras, JsonDescriptionOfADouble)
{
  IParam p;
  p.InitDouble("cutoff", 0.5, 0, 1, 0.001, "", 0, "", IParam::ShapePowCurve(3.0));
  TextString json("[");
  p.GetJSON(json, 3);
  EXPECT_STREQ(json.Get(), "[{\"id\":3, \"name\":\"cutoff\", \"type\":\"float\", \"min\":0.000000, "
                           "\"max\":1.000000, \"default\":0.500000, \"display_type\":6, \"rate\":\"control\"}");
}

struct JsonCase
{
  const char* name;
  void (*init)(IParam&);
  const char* type; // null: no "type" key
};

const JsonCase kJsonCases[] = {
  {"Bool", [](IParam& p) { p.InitBool("on", true); }, "bool"},
  {"Int", [](IParam& p) { p.InitInt("n", 0, -3, 3); }, "int"},
  {"Enum", [](IParam& p) { p.InitEnum("e", 0, 2, "", 0, "", "a", "b"); }, "enum"},
  {"NoType", [](IParam&) {}, nullptr},
  {"QuotesAndBackslashes", [](IParam& p) { p.InitGain("say \"hi\" \\o/", 0, -1, 1, 0.1); }, "float"},
  {"ControlCharacters", [](IParam& p) { p.InitGain("tab\there\nnew", 0, -1, 1, 0.1); }, "float"},
  {"Infinite", [](IParam& p) { p.InitDouble("far", 0, 0, std::numeric_limits<double>::infinity(), 1); }, "float"},
};

class ParamJson : public testing::TestWithParam<JsonCase>
{};

TEST_P(ParamJson, ParsesAsJson)
{
  const JsonCase& c = GetParam();
  IParam p;
  c.init(p);
  TextString json;
  p.GetJSON(json, 7);
  const std::string text = json.Get();
  EXPECT_TRUE(JsonChecker(text).Valid()) << text;
  if (c.type)
    EXPECT_NE(text.find(std::string("\"type\":\"") + c.type + "\""), std::string::npos) << text;
  else
    EXPECT_EQ(text.find("\"type\""), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Json, ParamJson, testing::ValuesIn(kJsonCases), CaseName<JsonCase>);

TEST(ParamExtras, JsonCheckerRefusesBrokenText)
{
  for (const char* broken :
       {"{\"a\":1,}", "{\"a\" 1}", "{\"a\":\"x\"\"}", "{\"a\":inf}", "{\"a\":1} x", "{\"a\":\"\t\"}"})
    EXPECT_FALSE(JsonChecker(broken).Valid()) << broken;
}

} // namespace
