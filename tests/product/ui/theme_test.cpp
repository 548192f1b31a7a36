#include <gtest/gtest.h>

#include "product/ui/theme.h"

namespace vemlor::ui {
namespace {

using plugkit::gfx::EAlign;
using plugkit::gfx::EVAlign;
using plugkit::gfx::IColor;

TEST(Theme, ModulationArcColourIsTheTruncatedConversion) { EXPECT_EQ(IColor(216, 161, 145, 200), modArcColor); }

TEST(Theme, Colours)
{
  EXPECT_EQ(IColor(255, 60, 60, 60), colDarkGray);
  EXPECT_EQ(IColor(255, 240, 240, 240), colLightGray);
  EXPECT_EQ(IColor(255, 200, 200, 200), colMidLightGray);
  EXPECT_EQ(IColor(255, 100, 100, 100), colHighlightGray);
  EXPECT_EQ(IColor(255, 95, 55, 200), accentColor);
}

TEST(Theme, TextStyles)
{
  struct Case
  {
    const char* name;
    const plugkit::gfx::IText& text;
    const char* font;
    float size;
    IColor colour;
    EAlign align;
    EVAlign valign;
  };
  const Case cases[] = {
    {"smallTxtLight", smallTxtLight, "RobotoMono-Regular.ttf", 16.f, plugkit::gfx::COLOR_LIGHT_GRAY, EAlign::Near,
     EVAlign::Bottom},
    {"smallTxtWhite", smallTxtWhite, "RobotoMono-Regular.ttf", 16.f, plugkit::gfx::COLOR_WHITE, EAlign::Center,
     EVAlign::Bottom},
    {"smallIconsLight", smallIconsLight, "materialdesignicons-webfont.ttf", 18.f, plugkit::gfx::COLOR_LIGHT_GRAY,
     EAlign::Center, EVAlign::Middle},
  };
  for (const Case& c : cases)
  {
    EXPECT_STREQ(c.font, c.text.mFont) << c.name;
    EXPECT_EQ(c.size, c.text.mSize) << c.name;
    EXPECT_EQ(c.colour, c.text.mFGColor) << c.name;
    EXPECT_EQ(c.align, c.text.mAlign) << c.name;
    EXPECT_EQ(c.valign, c.text.mVAlign) << c.name;
    EXPECT_EQ(plugkit::gfx::COLOR_WHITE, c.text.mTextEntryBGColor) << c.name;
    EXPECT_EQ(plugkit::gfx::COLOR_BLACK, c.text.mTextEntryFGColor) << c.name;
    EXPECT_EQ(0.f, c.text.mAngle) << c.name;
  }
}

TEST(Theme, IconGlyphsAreOneIconFontRunOfFourUtf8Bytes)
{
  struct Case
  {
    const char* name;
    const zarvo::ui::GlyphLabel& label;
    const char* utf8;
  };
  const Case cases[] = {
    {"copy U+F018F", iconCopy, "\xF3\xB0\x86\x8F"},
    {"paste U+F0192", iconPaste, "\xF3\xB0\x86\x92"},
    {"save U+F0818", iconSave, "\xF3\xB0\xA0\x98"},
    {"load U+F0DCF", iconLoad, "\xF3\xB0\xB7\x8F"},
  };
  for (const Case& c : cases)
  {
    ASSERT_EQ(1u, c.label.runs.size()) << c.name;
    EXPECT_EQ(c.utf8, c.label.runs[0].text) << c.name;
    EXPECT_EQ("materialdesignicons-webfont.ttf", c.label.runs[0].font) << c.name;
  }
}

} // namespace
} // namespace vemlor::ui
