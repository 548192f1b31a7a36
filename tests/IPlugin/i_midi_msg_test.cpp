#include <gtest/gtest.h>

#include "IPlugin/IMidiMsg.h"

namespace plugkit {
namespace {

TEST(IMidiMsgTest, ControllerNames)
{
  struct Case
  {
    int controller;
    const char* expected;
  };
  const Case cases[] = {
    {0, "BankSel.MSB"}, {3, "Contr. 3"},     {7, "MainVolume"},   {9, "Contr. 9"},
    {14, "Contr. 14"},  {66, "Sostenuto "},  {70, "SoundCont 1"}, {79, "SoundCont 10"},
    {91, "FX 1 Depth"}, {102, "Contr. 102"}, {127, "PolyModeOn"}, {128, ""},
    {-1, ""},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(IMidiMsg::CCNameStr(c.controller), c.expected) << c.controller;
}

} // namespace
} // namespace plugkit
