// The preset browser on the recording backend with synthetic input: the tree's rows and folding,
// revealing the current preset, the panel's height and scroll bar, the wheel, Escape, and clicks on
// presets that vanished from the list.
#include <gtest/gtest.h>

#include "IGfx/Controls/IPanelControl.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/utils/ui/fake_preset_library.h"
#include "tests/support/preset_browser_probe.h"
#include "utils/ui/PresetBrowserControl.h"
#include "utils/ui/PresetStripControl.h"

namespace zarvo::ui::test {
namespace {

using namespace plugkit::gfx;
using plugkit::gfx::test::EditorSession;

constexpr IRECT kAnchor{160.f, 10.f, 384.f, 30.f};
constexpr int kEscape = 0x1B;

IVStyle browserStyle()
{
  IVStyle style;
  style.valueText = IText(14.f, IColor(255, 200, 200, 200), "RobotoMono-Regular"); // 7 px per byte
  return style;
}

std::vector<std::string> numbered(int n)
{
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i)
    names.push_back("p" + std::to_string(i));
  return names;
}

class PresetBrowser : public ::testing::Test
{
protected:
  PresetBrowserControl& make(int height = 200)
  {
    if (height != 200)
      s.emplace(8, 940, height);
    else
      s.emplace();
    s->G().EnableMouseOver(true);
    s->Attach<IPanelControl>(s->G().GetBounds(), COLOR_BLACK);
    browser = s->Attach<PresetBrowserControl>(lib, browserStyle());
    probe().anchor = kAnchor;
    return *browser;
  }
  void openAndDraw()
  {
    browser->open();
    draw();
  }
  std::vector<plugkit::gfx::test::DrawCall> draw()
  {
    s->recorder.Clear();
    browser->Draw(s->G());
    return s->recorder.Calls();
  }
  bool drewText(const std::string& text)
  {
    for (const auto& c : s->recorder.Calls())
      if (c.op == "DoDrawText" && c.text == text)
        return true;
    return false;
  }
  PresetBrowserTestProbe probe() const { return PresetBrowserTestProbe(*browser); }
  // The middle of a row on screen.
  float rowMiddle(int row) const
  {
    const auto& r = probe().rows[static_cast<size_t>(row)];
    return browser->geometry().list.T - probe().scrollY + r.y + r.height / 2.f;
  }

  std::optional<EditorSession> s;
  FakePresetLibrary lib;
  PresetBrowserControl* browser = nullptr;
};

TEST_F(PresetBrowser, RowsNestFoldersUnderFactoryAndUserRoots)
{
  lib.factoryNames = {"A/x", "A/B/y"};
  lib.userNames = {"M/N/z"};
  make(620);
  openAndDraw();
  struct Expected
  {
    bool header;
    std::string text;
    int depth;
    float y;
  };
  const std::vector<Expected> expected = {{true, "FACTORY", 0, 0}, {true, "A", 1, 22},  {false, "x", 2, 44},
                                          {true, "B", 2, 64},      {false, "y", 3, 86}, {true, "USER", 0, 106},
                                          {true, "M", 1, 128},     {true, "N", 2, 150}, {false, "z", 3, 172}};
  ASSERT_EQ(probe().rows.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
  {
    const auto& row = probe().rows[i];
    EXPECT_EQ(row.header, expected[i].header) << i;
    EXPECT_EQ(row.header ? probe().nodes[static_cast<size_t>(row.node)].name : probe().itemLabel(row.entry),
              expected[i].text);
    EXPECT_EQ(row.depth, expected[i].depth) << i;
    EXPECT_EQ(row.y, expected[i].y) << i;
    // Each level is indented by one row height.
    const float indent = browser->geometry().list.L + 20.f * static_cast<float>(expected[i].depth);
    const float textLeft = indent + (row.header ? 18.f + 4.f : 4.f);
    bool found = false;
    for (const auto& c : s->recorder.Calls())
      found |= c.op == "DoDrawText" && c.text == expected[i].text && c.rect.L == textLeft;
    EXPECT_TRUE(found) << expected[i].text;
  }
  EXPECT_EQ(probe().contentHeight, 192.f);
}

TEST_F(PresetBrowser, FoldingAHeaderHidesItsPresetsAndSubfolders)
{
  lib.factoryNames = {"A/x", "A/B/y"};
  lib.userNames = {"M/N/z"};
  make();
  openAndDraw();
  s->Input().Click(200.f, rowMiddle(1));
  EXPECT_TRUE(browser->opened());
  EXPECT_TRUE(probe().nodes[static_cast<size_t>(probe().rows[1].node)].collapsed);
  EXPECT_EQ(probe().rows.size(), 6u);
  EXPECT_EQ(probe().contentHeight, 192.f - (2.f * 20.f + 22.f));
  draw();
  EXPECT_FALSE(drewText("x"));
  EXPECT_TRUE(drewText(">")); // the folded chevron
  s->Input().Click(200.f, rowMiddle(1));
  EXPECT_EQ(probe().rows.size(), 9u);
  EXPECT_TRUE(lib.calls.size() == 1u && lib.calls[0] == "refresh"); // folding loads nothing
}

struct RevealCase
{
  const char* name;
  int current;
  float scrollY;
};

class PresetBrowserReveal : public PresetBrowser, public ::testing::WithParamInterface<RevealCase>
{};

// 100 presets under FACTORY: content 2022 high; the editor leaves a list 134 high.
TEST_P(PresetBrowserReveal, CentresTheCurrentPresetClampedAtTheEnds)
{
  lib.factoryNames = numbered(100);
  lib.current = GetParam().current;
  make();
  probe().scrollY = 500.f;
  openAndDraw();
  EXPECT_EQ(browser->geometry().list.H(), 134.f);
  EXPECT_FLOAT_EQ(probe().scrollY, GetParam().scrollY);
}

INSTANTIATE_TEST_SUITE_P(Cases, PresetBrowserReveal,
                         ::testing::Values(RevealCase{"middle", 50, 22.f + 50.f * 20.f - 67.f + 10.f},
                                           RevealCase{"first", 0, 0.f}, RevealCase{"last", 99, 2022.f - 134.f},
                                           RevealCase{"custom_patch_starts_at_top", -1, 0.f}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PresetBrowser, RevealUnfoldsOnlyThePathToTheCurrentPreset)
{
  lib.factoryNames = {"A/x", "B/C/y", "D/w"};
  lib.current = 1;
  make();
  probe().buildTree();
  for (auto& node : probe().nodes)
    node.collapsed = true;
  probe().revealCurrent();
  std::vector<std::string> open;
  for (const auto& node : probe().nodes)
    if (!node.collapsed)
      open.push_back(node.name);
  EXPECT_EQ(open, (std::vector<std::string>{"FACTORY", "B", "C"}));
  EXPECT_EQ(probe().revealY, 22.f * 4.f); // FACTORY, A, B, C headers above it
}

struct HeightCase
{
  const char* name;
  int presets;
  float listHeight;
  bool scrolls;
};

class PresetBrowserHeight : public PresetBrowser, public ::testing::WithParamInterface<HeightCase>
{};

// Available height: 200 - 30 - 3 - 33 = 134; a list up to one row (20) taller is shown whole.
TEST_P(PresetBrowserHeight, ShowsEverythingUpToOneRowMoreThanFits)
{
  lib.factoryNames = numbered(GetParam().presets);
  make();
  const auto calls = (browser->open(), draw());
  const auto geo = browser->geometry();
  EXPECT_EQ(geo.list.H(), GetParam().listHeight);
  EXPECT_EQ(geo.panel.B, kAnchor.B + 6.f + GetParam().listHeight);
  EXPECT_EQ(drewText("..."), GetParam().scrolls);
  EXPECT_EQ(browser->thumbRect().H() > 0.f, GetParam().scrolls);
  if (GetParam().scrolls)
  {
    s->Input().Wheel(200.f, 100.f, -1000.f);
    draw();
    EXPECT_FALSE(drewText("...")); // scrolled to the end
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PresetBrowserHeight,
                         ::testing::Values(HeightCase{"fits", 5, 122.f, false},
                                           HeightCase{"one_row_more_than_fits", 6, 142.f, false},
                                           HeightCase{"scrolls", 7, 134.f, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PresetBrowser, ThumbIsAtLeast24HighAndStopsAtBothEnds)
{
  lib.factoryNames = numbered(100);
  make();
  openAndDraw();
  IRECT thumb = browser->thumbRect();
  EXPECT_EQ(thumb.H(), 24.f); // 134² / 2022 would be under 9
  EXPECT_EQ(thumb.R, browser->geometry().list.R);
  EXPECT_EQ(thumb.W(), 6.f);

  s->Input().Press(thumb.MW(), thumb.T + 5.f);
  EXPECT_TRUE(probe().draggingThumb);
  s->Input().DragTo(thumb.MW(), 1000.f);
  EXPECT_FLOAT_EQ(probe().scrollY, 2022.f - 134.f);
  EXPECT_EQ(browser->thumbRect().B, browser->geometry().list.B);
  s->Input().DragTo(thumb.MW(), -1000.f);
  EXPECT_FLOAT_EQ(probe().scrollY, 0.f);
  s->Input().Release(thumb.MW(), -1000.f);
  EXPECT_FALSE(probe().draggingThumb);
  EXPECT_TRUE(browser->opened());
  EXPECT_TRUE(lib.calls.size() == 1u); // only the rescan at opening
}

TEST_F(PresetBrowser, WheelStepScrolls20PixelsAndUpIsPositive)
{
  lib.factoryNames = numbered(100);
  make();
  openAndDraw();
  s->Input().Wheel(200.f, 100.f, -1.f);
  EXPECT_FLOAT_EQ(probe().scrollY, 20.f);
  s->Input().Wheel(200.f, 100.f, -2.5f);
  EXPECT_FLOAT_EQ(probe().scrollY, 70.f);
  s->Input().Wheel(200.f, 100.f, 1.f);
  EXPECT_FLOAT_EQ(probe().scrollY, 50.f);
  s->Input().Wheel(200.f, 100.f, 10.f);
  EXPECT_FLOAT_EQ(probe().scrollY, 0.f);
}

TEST_F(PresetBrowser, ClickOnAPresetLoadsItAndCloses)
{
  lib.factoryNames = {"A/x", "A/y"};
  lib.userNames = {"mine"};
  make();
  openAndDraw();
  s->Input().Click(200.f, rowMiddle(5)); // USER / mine
  EXPECT_EQ(lib.calls, (std::vector<std::string>{"refresh", "navigateTo 2"}));
  EXPECT_FALSE(browser->opened());
  EXPECT_TRUE(browser->IsHidden());
}

TEST_F(PresetBrowser, AStaleRowClosesWithoutNavigating)
{
  lib.factoryNames = {"a", "b", "c"};
  make();
  openAndDraw();
  lib.factoryNames = {"a"}; // the list shrank while the panel was open
  s->Input().Click(200.f, rowMiddle(3));
  EXPECT_EQ(lib.calls, std::vector<std::string>{"refresh"});
  EXPECT_FALSE(browser->opened());
}

TEST_F(PresetBrowser, OutsideClickAndEscapeClose)
{
  lib.factoryNames = {"a", "b"};
  make();
  openAndDraw();
  s->Input().Click(800.f, 150.f);
  EXPECT_FALSE(browser->opened());
  EXPECT_TRUE(browser->IsHidden());

  openAndDraw();
  EXPECT_TRUE(s->Input().KeyDown(kEscape, 200.f, 50.f));
  EXPECT_FALSE(browser->opened());
  // Closed, the browser takes no key: Escape is left to others.
  plugkit::IKeyPress escape;
  escape.VK = kEscape;
  EXPECT_FALSE(browser->OnKeyDown(200.f, 50.f, escape));
  EXPECT_EQ(lib.calls, (std::vector<std::string>{"refresh", "refresh"}));
}

TEST_F(PresetBrowser, CurrentRowIsHighlightedAndMarkedHoverFollowsThePointer)
{
  lib.factoryNames = {"a", "b"};
  lib.current = 1;
  make();
  PresetBrowserControl::Appearance look = browser->appearance();
  look.showNumbers = true;
  browser->setAppearance(look);
  openAndDraw();
  const IColor current(255, 95, 55, 200);
  int currentFills = 0;
  for (const auto& c : s->recorder.Calls())
    currentFills += c.op == "PathFill" && c.color == current;
  EXPECT_EQ(currentFills, 1);
  EXPECT_TRUE(drewText("2 : b"));
  EXPECT_TRUE(drewText("*"));

  s->Input().Hover(200.f, rowMiddle(1));
  EXPECT_EQ(probe().hoveredRow, 1);
  s->Input().Hover(800.f, 150.f);
  EXPECT_EQ(probe().hoveredRow, -1);
}

TEST_F(PresetBrowser, EmptyListOpensAnEmptyPanelWiderThanTheAnchor)
{
  make();
  openAndDraw();
  const auto geo = browser->geometry();
  EXPECT_EQ(geo.panel.W(), kAnchor.W() + 6.f + 4.f);
  EXPECT_EQ(geo.list.H(), 0.f);
  EXPECT_TRUE(probe().rows.empty());
}

TEST_F(PresetBrowser, OpensOverTheWholeEditorRedrawnAtAnyHeight)
{
  lib.factoryNames = {"a"};
  make(620);
  browser->SetClean();
  browser->open();
  EXPECT_EQ(browser->GetRECT(), IRECT(0, 0, 940, 620));
  EXPECT_EQ(browser->GetTargetRECT(), IRECT(0, 0, 940, 620));
  EXPECT_FALSE(browser->IsHidden());
  EXPECT_TRUE(browser->IsDirty());
}

TEST_F(PresetBrowser, HangsUnderTheStripsNameZoneAsItIsWhenOpened)
{
  lib.factoryNames = {"a", "b"};
  make();
  auto* strip = s->Attach<PresetStripControl>(IRECT(77, 10, 700, 30), lib, browserStyle());
  strip->collapsedToggleWidth = 55.f;
  strip->buttonWidth = 34.2f;
  strip->showRedo = true;
  strip->collapsed = true;
  browser->connectStrip(*strip);
  EXPECT_EQ(probe().anchor, IRECT(0, 10, 0, 30));

  // Expanded after the editor was built: the name zone moved, and the browser follows it.
  const IRECT toggle = strip->zoneRect(PresetStripControl::kCollapse);
  s->Input().Click(toggle.MW(), toggle.MH());
  const IRECT name = strip->zoneRect(PresetStripControl::kName);
  s->Input().Click(name.MW(), name.MH());
  EXPECT_TRUE(browser->opened());
  EXPECT_EQ(probe().anchor, name);
  EXPECT_EQ(probe().anchor.L, 77.f + 24.f + 36.f);
}

} // namespace
} // namespace zarvo::ui::test
