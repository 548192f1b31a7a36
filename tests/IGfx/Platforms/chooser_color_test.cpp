// The colour chooser: its argument vectors for zenity and kdialog, and the colour texts they print.
#include <gtest/gtest.h>

#include "IGfx/Platforms/X11/ChooserColor.h"
#include "IGfx/Platforms/X11/ExternalChooser.h"

namespace vemlor::x11test {
namespace {

using plugkit::gfx::ChooserRequest;
using plugkit::gfx::EChooserKind;
using plugkit::gfx::ExternalChooser;
using plugkit::gfx::IColor;

TEST(ChooserColorTest, ArgumentsStartAtTheGivenColour)
{
  ChooserRequest request;
  request.kind = EChooserKind::Color;
  request.title = "Choose a color";
  request.color = plugkit::gfx::ChooserColorText(IColor(128, 10, 171, 255));
  EXPECT_EQ(request.color, "#0aabff");
  EXPECT_EQ(ExternalChooser::Arguments("zenity", request),
            (std::vector<std::string>{"zenity", "--color-selection", "--title=Choose a color", "--color=#0aabff"}));
  EXPECT_EQ(ExternalChooser::Arguments("kdialog", request),
            (std::vector<std::string>{"kdialog", "--getcolor", "--default", "#0aabff", "--title", "Choose a color"}));
  request.title.clear();
  request.color.clear();
  EXPECT_EQ(ExternalChooser::Arguments("zenity", request), (std::vector<std::string>{"zenity", "--color-selection"}));
  EXPECT_EQ(ExternalChooser::Arguments("kdialog", request), (std::vector<std::string>{"kdialog", "--getcolor"}));
}

TEST(ChooserColorTest, ReadsWhatTheChoosersPrint)
{
  struct Case
  {
    const char* text;
    bool ok;
    IColor color;
  };
  const IColor untouched(1, 2, 3, 4);
  const Case cases[] = {
    {"#0aabff", true, IColor(255, 10, 171, 255)},
    {"#0A0B0C", true, IColor(255, 10, 11, 12)},
    {"#ffff80800000", true, IColor(255, 255, 128, 0)},
    {"rgb(10,20,30)", true, IColor(255, 10, 20, 30)},
    {"rgba(10,20,30,0.5)", true, IColor(128, 10, 20, 30)},
    {"rgb(256,0,0)", false, untouched},
    {"rgb(-1,0,0)", false, untouched},
    {"rgba(1,2,3,1.5)", false, untouched},
    {"rgb(1,2)", false, untouched},
    {"rgb(1,2,3", false, untouched},
    {"rgb(1,,3)", false, untouched},
    {"rgb(nan,2,3)", false, untouched},
    {"#12345", false, untouched},
    {"#12345g", false, untouched},
    {"", false, untouched},
    {"/home/u/file", false, untouched},
  };
  for (const Case& c : cases)
  {
    IColor color = untouched;
    EXPECT_EQ(c.ok, plugkit::gfx::ParseChooserColor(c.text, color)) << c.text;
    EXPECT_EQ(c.color, color) << c.text;
  }
}

} // namespace
} // namespace vemlor::x11test
