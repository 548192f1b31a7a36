#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string_view>

#include "IPlugin/TextScan.h"

namespace {

struct NumberCase
{
  const char* name;
  std::string_view text;
  bool read;
  double value;
  std::string_view rest; // what is left after reading; the whole text when nothing was read
};

TEST(TextScan, ReadNumberConsumesOnlyWhatItReads)
{
  const NumberCase cases[] = {
    {"number then unit", " 1.5 kHz", true, 1.5, " kHz"},
    {"plus sign", "+7", true, 7, ""},
    {"exponent", "-2e3ms", true, -2000, "ms"},
    {"no digits", "kHz", false, 0, "kHz"},
    {"infinity", "inf", false, 0, "inf"},
    {"out of range", "1e999", false, 0, "1e999"},
    {"two signs", "+-3", false, 0, "+-3"},
  };
  for (const NumberCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::string_view rest = c.text;
    double value = -1.0;
    EXPECT_EQ(plugkit::ReadNumber(rest, value), c.read);
    EXPECT_EQ(value, c.read ? c.value : -1.0);
    EXPECT_EQ(rest, c.rest);
  }
}

// The rules each stored format is read with, and the cases where they part ways.
constexpr plugkit::NumberRules kTyped = {};
constexpr plugkit::NumberRules kStream = {.blanks = plugkit::kStreamBlanks, .plusThenMinus = true};
constexpr plugkit::NumberRules kToken = {.blanks = "", .plusThenMinus = true, .whole = true, .finite = false};
constexpr plugkit::NumberRules kBusCount = {.blanks = "", .plus = false};
constexpr plugkit::NumberRules kLayoutId = {.blanks = "", .plus = false, .whole = true};

struct RuleCase
{
  const char* name;
  const plugkit::NumberRules& rules;
  std::string_view text;
  bool read;
  double value;
  std::string_view rest;
};

TEST(TextScan, EachFormatReadsNumbersByItsOwnRules)
{
  const RuleCase cases[] = {
    {"typed: plus then minus refused", kTyped, "+-2", false, 0, "+-2"},
    {"typed: a newline is no blank", kTyped, "\n2", false, 0, "\n2"},
    {"stream: plus then minus", kStream, "+-2 x", true, -2, " x"},
    {"stream: any white space first", kStream, "\r\n\v\f 3.5 7", true, 3.5, " 7"},
    {"stream: infinity refused", kStream, " inf", false, 0, " inf"},
    {"stream: blanks only", kStream, " \t ", false, 0, " \t "},
    {"token: whole", kToken, "+0.25", true, 0.25, ""},
    {"token: plus then minus", kToken, "+-1e2", true, -100, ""},
    {"token: infinity read", kToken, "inf", true, HUGE_VAL, ""},
    {"token: trailing text", kToken, "0.5x", false, 0, "0.5x"},
    {"token: blank first", kToken, " 1", false, 0, " 1"},
    {"bus count: leading digits", kBusCount, "2x", true, 2, "x"},
    {"bus count: no plus", kBusCount, "+2", false, 0, "+2"},
    {"layout id: negative", kLayoutId, "-12", true, -12, ""},
    {"layout id: name", kLayoutId, "12b", false, 0, "12b"},
  };
  for (const RuleCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::string_view rest = c.text;
    double value = -1.0;
    EXPECT_EQ(plugkit::ReadNumber(rest, value, c.rules), c.read);
    EXPECT_EQ(value, c.read ? c.value : -1.0);
    EXPECT_EQ(rest, c.rest);
  }
}

TEST(TextScan, IntegersFailOutsideTheirType)
{
  struct Case
  {
    std::string_view text;
    bool read;
    int32_t value;
  } const cases[] = {
    {"2147483647", true, 2147483647},
    {"2147483648", false, 0},
    {"-2147483648", true, -2147483647 - 1},
    {"+12 ", true, 12},
    {"1.9", true, 1},
    {"-", false, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.text);
    std::string_view rest = c.text;
    int32_t value = 0;
    EXPECT_EQ(plugkit::ReadNumber(rest, value), c.read);
    EXPECT_EQ(value, c.value);
  }
}

TEST(TextScan, TrimTakesOnlyTheGivenBlanks)
{
  EXPECT_EQ(plugkit::Trim(" \tkey = v\r", plugkit::kLineBlanks), "key = v");
  EXPECT_EQ(plugkit::Trim(" \tkey\r ", plugkit::kBlanks), "key\r");
  EXPECT_EQ(plugkit::Trim(" \r\t", plugkit::kLineBlanks), "");
  EXPECT_EQ(plugkit::Trim("", plugkit::kLineBlanks), "");
  EXPECT_EQ(plugkit::Trim("a", plugkit::kLineBlanks), "a");
}

TEST(TextScan, WordsInAnyCase)
{
  std::string_view rest = " KhZ rest";
  EXPECT_FALSE(plugkit::ReadWord(rest, "Hz"));
  EXPECT_EQ(rest, " KhZ rest");
  EXPECT_TRUE(plugkit::ReadWord(rest, "kHz"));
  EXPECT_FALSE(plugkit::AtEnd(rest));
  EXPECT_TRUE(plugkit::ReadWord(rest, "REST"));
  EXPECT_TRUE(plugkit::AtEnd(rest));
  EXPECT_FALSE(plugkit::ReadWord(rest, "x"));

  EXPECT_TRUE(plugkit::SameText(" os 4X\t", "OS 4x"));
  EXPECT_FALSE(plugkit::SameText("os 4", "os 4x"));
  EXPECT_TRUE(plugkit::SameText("", "  "));
}

} // namespace
