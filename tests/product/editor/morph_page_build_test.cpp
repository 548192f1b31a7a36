// The morph page as the layout builds it: when it exists, where the panel and pad lie, what the pad
// is given, and how stored appearance settings reach it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "IGfx/Controls/IPanelControl.h"
#include "tests/product/editor/headless_morph_page.h"
#include "tests/support/morph_pad_probe.h"

namespace vemlor::ui::test {
namespace {

using plugkit::gfx::EVColor;
using plugkit::gfx::IColor;
using plugkit::gfx::IControl;
using plugkit::gfx::IRECT;
using zarvo::morph::MorphPadControl;

std::string Str(const IRECT& r)
{
  return "(" + std::to_string(r.L) + ", " + std::to_string(r.T) + ", " + std::to_string(r.R) + ", " +
         std::to_string(r.B) + ")";
}

int controlsInGroup(plugkit::gfx::IGfx& g, const char* group)
{
  int n = 0;
  g.ForControlInGroup(group, [&n](IControl*) { ++n; });
  return n;
}

TEST(MorphPage, BuiltOnlyWithMorphOnInTheTallEditor)
{
  struct Case
  {
    const char* name;
    int height;
    bool morphOn;
    bool built;
  };
  const Case cases[] = {
    {"morph on, 620 high", 620, true, true},
    {"morph on, 201 high", 201, true, true},
    {"morph on, 200 high", 200, true, false},
    {"morph off, 620 high", 620, false, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    HeadlessMorphPage s(c.height, c.morphOn);
    s.plug->editorUI().layoutMorphActive = !c.morphOn;
    s.buildMorphPage();
    EXPECT_EQ(s.G().GetControlWithTag(kTagMorphPad) != nullptr, c.built);
    EXPECT_EQ(controlsInGroup(s.G(), kGroupMorph), c.built ? 2 : 0);
    // The layout remembers what it was built for, page or not.
    EXPECT_EQ(s.plug->editorUI().layoutMorphActive, c.morphOn);
  }
}

TEST(MorphPage, PanelAndPadCoverTheAreaBelowTheBand)
{
  HeadlessMorphPage s;
  s.buildMorphPage();
  ASSERT_EQ(s.G().NControls(), 2);

  auto* panel = dynamic_cast<plugkit::gfx::IPanelControl*>(s.G().GetControl(0));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->GetRECT(), IRECT(0.f, 200.f, 940.f, 620.f)) << Str(panel->GetRECT());
  EXPECT_STREQ(panel->GetGroup(), kGroupMorph);

  MorphPadControl* pad = s.pad();
  ASSERT_NE(pad, nullptr);
  EXPECT_EQ(s.G().GetControl(1), pad);
  EXPECT_EQ(pad->GetRECT(), IRECT(16.f, 200.f, 924.f, 604.f)) << Str(pad->GetRECT());
  EXPECT_STREQ(pad->GetGroup(), kGroupMorph);
  EXPECT_EQ(pad->GetParamIdx(0), zarvo::par_morph_x);
  EXPECT_EQ(pad->GetParamIdx(1), zarvo::par_morph_y);
  EXPECT_EQ(&padProbe(*pad).engine, &s.morph().engine());
  EXPECT_EQ(pad->GetColor(EVColor::BG), IColor(255, 45, 45, 45));
  // The rest of the first style stays.
  EXPECT_EQ(pad->GetColor(EVColor::PR), accentColor);
  EXPECT_EQ(pad->GetColor(EVColor::FR), IColor(255, 240, 240, 240));
  EXPECT_EQ(pad->appearance().pointGlyphFont, kIconFont);
  EXPECT_EQ(pad->appearance().lockGlyphFont, kIconFont);
  EXPECT_EQ(pad->appearance().lockGlyphs[0], "\U000F033E");
  EXPECT_EQ(pad->appearance().lockGlyphs[3], "\U000F0D38");
  ASSERT_EQ(pad->appearance().editOffLabel.runs.size(), 1u);
  EXPECT_EQ(pad->appearance().editOffLabel.runs[0].text, "\U000F035C");
  EXPECT_EQ(pad->appearance().undoLabel.runs[0].text, "\U000F054C");
  EXPECT_EQ(pad->appearance().copyLabel.runs[0].text, iconCopy.runs[0].text);
}

TEST(MorphPage, EveryCallbackOfThePadIsFilled)
{
  HeadlessMorphPage s;
  s.buildMorphPage();
  MorphPadControl* pad = s.pad();
  ASSERT_NE(pad, nullptr);
  const std::pair<const char*, bool> filled[] = {
    {"selection", bool(pad->callbacks().onSelectionChanged)},
    {"copy sound", bool(pad->callbacks().onCopyPointSound)},
    {"commit sound", bool(pad->callbacks().onCommitPointSound)},
    {"gesture", bool(pad->callbacks().onUserGesture)},
    {"points edit", bool(pad->callbacks().onPointsEdit)},
    {"learn x", bool(pad->callbacks().onLearnX)},
    {"learn y", bool(pad->callbacks().onLearnY)},
    {"swap", bool(pad->callbacks().onSwapXY)},
    {"clear", bool(pad->callbacks().onClearXY)},
    {"learn info", bool(pad->callbacks().learnInfo)},
    {"save blend", bool(pad->callbacks().onSaveBlend)},
    {"load points", bool(pad->callbacks().onLoadPointsFromFile)},
    {"save point", bool(pad->callbacks().onSavePointToFile)},
    {"copy rig", bool(pad->callbacks().onCopyRig)},
    {"paste rig", bool(pad->callbacks().onPasteRig)},
    {"import rig", bool(pad->callbacks().onImportRig)},
    {"export rig", bool(pad->callbacks().onExportRig)},
    {"rig on clipboard", bool(pad->callbacks().clipboardHasRig)},
    {"undo", bool(pad->callbacks().onUndo)},
    {"redo", bool(pad->callbacks().onRedo)},
    {"can undo", bool(pad->callbacks().canUndo)},
    {"can redo", bool(pad->callbacks().canRedo)},
    {"drag end", bool(pad->callbacks().onDragEndValue)},
    {"appearance", bool(pad->callbacks().onAppearanceChanged)},
    {"controller's apply appearance", bool(s.morph().appearanceChanged())},
  };
  for (const auto& [name, ok] : filled)
    EXPECT_TRUE(ok) << name;
}

struct AppearanceCase
{
  const char* name;
  float brightness;
  int iso;
  float grid;
  float wantBrightness;
  int wantIso;
  int wantLines;
  float wantGrid;
};

const AppearanceCase kAppearanceCases[] = {
  {"grid below the minimum, brightness below 0", -1.f, 6, 0.01f, 0.f, 6, 7, 0.02f},
  {"iso above 14, grid above 1", 0.5f, 20, 2.f, 0.5f, 14, 19, 1.f},
  {"no iso lines", 1.5f, 0, 0.25f, 1.f, 0, 0, 0.25f},
  {"negative iso, not-a-number brightness", std::nanf(""), -3, 0.1f, 0.f, 0, 0, 0.1f},
};

void expectAppearance(MorphPadControl& pad, const AppearanceCase& c)
{
  EXPECT_FLOAT_EQ(padProbe(pad).overlay.lineBrightness, c.wantBrightness);
  EXPECT_EQ(padProbe(pad).overlay.isoLevels, c.wantIso);
  EXPECT_EQ(padProbe(pad).overlay.isoLevelCount, c.wantLines);
  EXPECT_FLOAT_EQ(padProbe(pad).overlay.gridStep, c.wantGrid);
  EXPECT_TRUE(std::isnan(padProbe(pad).overlay.signature));
}

TEST(MorphPage, StoredAppearanceReachesThePadClamped)
{
  for (const AppearanceCase& c : kAppearanceCases)
  {
    SCOPED_TRACE(c.name);
    HeadlessMorphPage s;
    s.morph().setAppearance({c.brightness, c.iso, c.grid});
    s.morph().setDragEndValue(3.f);
    s.buildMorphPage();
    MorphPadControl* pad = s.pad();
    ASSERT_NE(pad, nullptr);
    expectAppearance(*pad, c);
    EXPECT_FLOAT_EQ(padProbe(*pad).spreadValue, 1.f);
    EXPECT_FALSE(pad->IsDirty());
  }
}

TEST(MorphPage, AppearanceFromOutsideThePadIsAppliedClampedAndRedrawn)
{
  HeadlessMorphPage s;
  s.buildMorphPage();
  MorphPadControl* pad = s.pad();
  ASSERT_NE(pad, nullptr);
  for (const AppearanceCase& c : kAppearanceCases)
  {
    SCOPED_TRACE(c.name);
    pad->SetClean();
    padProbe(*pad).overlay.signature = 1.0;
    // As a pasted rig reaches it: through the function the morph controller holds.
    s.morph().appearanceChanged()(c.brightness, c.iso, c.grid);
    expectAppearance(*pad, c);
    EXPECT_TRUE(pad->IsDirty());
  }
}

TEST(MorphPage, ApplyingAppearanceWithoutAPadDoesNothing)
{
  HeadlessMorphPage s(200, true);
  s.buildMorphPage();
  ASSERT_EQ(s.pad(), nullptr);
  s.plug->applyMorphAppearance(0.3f, 4, 0.5f);
  EXPECT_EQ(s.G().NControls(), 0);
}

TEST(MorphPage, DragEndValueAndAppearanceAreKeptForTheNextBuild)
{
  HeadlessMorphPage s;
  s.buildMorphPage();
  MorphPadControl* pad = s.pad();
  ASSERT_NE(pad, nullptr);
  pad->callbacks().onDragEndValue(0.35f);
  pad->callbacks().onAppearanceChanged(0.7f, 9, 0.125f);
  EXPECT_FLOAT_EQ(s.morph().dragEndValue(), 0.35f);
  EXPECT_EQ(s.morph().appearance(), (zarvo::morph::MorphZarvoAdapter::Appearance{0.7f, 9, 0.125f}));
  EXPECT_TRUE(s.plug->editorModel().morphFieldPrefsChanged);

  s.G().RemoveAllControls();
  s.buildMorphPage();
  pad = s.pad();
  ASSERT_NE(pad, nullptr);
  EXPECT_FLOAT_EQ(padProbe(*pad).spreadValue, 0.35f);
  EXPECT_FLOAT_EQ(padProbe(*pad).overlay.lineBrightness, 0.7f);
  EXPECT_EQ(padProbe(*pad).overlay.isoLevels, 9);
  EXPECT_EQ(padProbe(*pad).overlay.isoLevelCount, 11);
  EXPECT_FLOAT_EQ(padProbe(*pad).overlay.gridStep, 0.125f);
}

} // namespace
} // namespace vemlor::ui::test
