#include <gtest/gtest.h>

#include <string_view>

#include "IPlugin/TextScan.h"

namespace
{

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
