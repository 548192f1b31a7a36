// The preset browser as the layout attaches it: hidden, tagged, in the editor's look, hung under the
// strip's name zone as the strip lays it out when it opens, and covering the whole editor while open.
#include <gtest/gtest.h>

#include <string>

#include "IGfx/Controls/IPanelControl.h"
#include "tests/product/editor/headless_morph_page.h"
#include "tests/gfx_harness/input_driver.h"
#include "tests/support/preset_browser_probe.h"

namespace vemlor::ui::test {
namespace {

using zarvo::ui::PresetBrowserTestProbe;

using plugkit::gfx::IColor;
using plugkit::gfx::IRECT;

std::string Str(const IRECT& r)
{
  return "(" + std::to_string(r.L) + ", " + std::to_string(r.T) + ", " + std::to_string(r.R) + ", " +
         std::to_string(r.B) + ")";
}

TEST(PresetBrowserStep, AttachedHiddenWithItsTagAndTheEditorsLook)
{
  HeadlessMorphPage s(200, false);
  s.attachStrip(false);
  zarvo::ui::PresetBrowserControl* browser = s.buildBrowser();
  ASSERT_NE(browser, nullptr);
  const PresetBrowserTestProbe probe(*browser);
  EXPECT_TRUE(browser->IsHidden());
  EXPECT_FALSE(browser->opened());
  EXPECT_STREQ(browser->GetGroup(), "");
  EXPECT_EQ(&probe.presetLibrary, s.plug->presetLibrary());

  EXPECT_EQ(browser->appearance().panelColor, IColor(255, 45, 45, 45));
  EXPECT_EQ(browser->appearance().borderColor, colHighlightGray);
  EXPECT_EQ(browser->appearance().headerColor, IColor(255, 58, 58, 58));
  EXPECT_EQ(browser->appearance().hoverColor, colHighlightGray);
  EXPECT_EQ(browser->appearance().currentColor, accentColor);
  EXPECT_EQ(browser->appearance().currentTextColor, plugkit::gfx::COLOR_WHITE);
  EXPECT_EQ(browser->appearance().trackColor, IColor(255, 40, 40, 40));
  EXPECT_EQ(browser->appearance().thumbColor, colHighlightGray);
  EXPECT_EQ(browser->appearance().backdropColor.A, 0);
  for (const plugkit::gfx::IText* text : {&browser->appearance().headerText, &browser->appearance().itemText})
  {
    EXPECT_EQ(text->mAlign, plugkit::gfx::EAlign::Center);
    EXPECT_EQ(text->mSize, smallTxtLight.mSize);
    EXPECT_EQ(text->mFGColor, smallTxtLight.mFGColor);
    EXPECT_STREQ(text->mFont, kTextFont);
  }
  ASSERT_EQ(browser->appearance().expandedGlyph.runs.size(), 1u);
  EXPECT_EQ(browser->appearance().expandedGlyph.runs[0].text, "\U000F035D");
  EXPECT_EQ(browser->appearance().collapsedGlyph.runs[0].text, "\U000F035F");
  EXPECT_EQ(browser->appearance().currentMarker.runs[0].text, "\U000F09DF");
  EXPECT_EQ(browser->appearance().currentMarker.runs[0].font, kIconFont);
  EXPECT_TRUE(browser->appearance().showNumbers);
  EXPECT_EQ(browser->appearance().numberSeparator, " : ");
}

TEST(PresetBrowserStep, AnchorIsTheStripsNameZoneWhenBuilt)
{
  for (bool collapsed : {false, true})
  {
    SCOPED_TRACE(collapsed ? "collapsed" : "expanded");
    HeadlessMorphPage s(200, false);
    zarvo::ui::PresetStripControl* strip = s.attachStrip(collapsed);
    zarvo::ui::PresetBrowserControl* browser = s.buildBrowser();
    ASSERT_NE(browser, nullptr);
    const PresetBrowserTestProbe probe(*browser);
    const IRECT want = collapsed ? IRECT(0.f, 0.f, 0.f, 18.f) : strip->nameZoneRect();
    EXPECT_EQ(probe.anchor, want) << Str(probe.anchor);
    if (!collapsed)
    {
      EXPECT_GT(probe.anchor.W(), 100.f) << Str(probe.anchor);
    }
  }
}

TEST(PresetBrowserStep, OpeningFromTheStripCoversTheEditorUnderTheNameAsItIsNow)
{
  for (int height : {200, 620})
  {
    SCOPED_TRACE(height);
    // Morph off: while the field governs the patch the strip does not browse.
    HeadlessMorphPage s(height, false);
    // Built collapsed, expanded later without a rebuild.
    zarvo::ui::PresetStripControl* strip = s.attachStrip(true);
    zarvo::ui::PresetBrowserControl* browser = s.buildBrowser();
    ASSERT_NE(browser, nullptr);
    const PresetBrowserTestProbe probe(*browser);
    strip->collapsed = false;
    const IRECT name = strip->nameZoneRect();
    ASSERT_GT(name.W(), 0.f);

    s.G().SetAllControlsClean();
    plugkit::gfx::test::InputDriver(s.G()).Click(name.MW(), name.MH());
    EXPECT_TRUE(browser->opened());
    EXPECT_FALSE(browser->IsHidden());
    EXPECT_EQ(probe.anchor, name) << Str(probe.anchor);
    EXPECT_EQ(browser->GetRECT(), IRECT(0.f, 0.f, 940.f, static_cast<float>(height))) << Str(browser->GetRECT());
    EXPECT_TRUE(browser->IsDirty());
    EXPECT_FALSE(probe.rows.empty());

    // Escape closes it.
    EXPECT_TRUE(plugkit::gfx::test::InputDriver(s.G()).KeyDown(0x1B, 400.f, 100.f));
    EXPECT_FALSE(browser->opened());
  }
}

TEST(PresetBrowserStep, WithoutAPresetStripUnderItsTagTheBrowserCannotOpen)
{
  struct Case
  {
    const char* name;
    bool strip;
    int stripTag;
    bool panelWithStripTag;
  };
  const Case cases[] = {
    {"no strip", false, -1, false},
    {"a strip without the tag", true, -1, false},
    {"another control under the tag", true, -1, true},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    HeadlessMorphPage s(200, false);
    zarvo::ui::PresetStripControl* strip = c.strip ? s.attachStrip(false, c.stripTag) : nullptr;
    if (c.panelWithStripTag)
      s.G().AttachControl(new plugkit::gfx::IPanelControl(IRECT(0.f, 0.f, 10.f, 10.f), plugkit::gfx::COLOR_BLACK),
                          kTagPresetStrip);
    zarvo::ui::PresetBrowserControl* browser = s.buildBrowser();
    ASSERT_NE(browser, nullptr);
    const PresetBrowserTestProbe probe(*browser);
    EXPECT_TRUE(browser->IsHidden());
    EXPECT_EQ(probe.anchor, IRECT());
    if (strip)
    {
      EXPECT_FALSE(strip->onNameClicked);
      const IRECT name = strip->nameZoneRect();
      plugkit::gfx::test::InputDriver(s.G()).Click(name.MW(), name.MH());
      EXPECT_FALSE(browser->opened());
    }
  }
}

} // namespace
} // namespace vemlor::ui::test
