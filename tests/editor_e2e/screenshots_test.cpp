// Screenshots of every page of the editor at scale 1 and 2, written as CI artefacts, with the pixel
// probes a user's eye would make: the background colour at an empty spot and the accent colour on
// the selected tab.
#include "tests/editor_e2e/e2e_fixture.h"

namespace vemlor::e2e {
namespace {

class ScreenshotsE2E : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    REQUIRE_X_DISPLAY();
    ASSERT_TRUE(s) << s.session.error;
    ASSERT_TRUE(s.open(GetParam()));
    ASSERT_EQ(s.scale(), GetParam());
  }

  std::string name(const std::string& page) const
  {
    return page + "_scale" + std::to_string(static_cast<int>(GetParam()));
  }

  bool click(const Rect& r) { return s.input().click(r.cx(), r.cy()); }

  // The pointer to a spot over no control, and time for the hover bubble to go.
  void pointerAway()
  {
    ASSERT_TRUE(s.input().move(kEmptySpot.cx(), kEmptySpot.cy()));
    s.settle(30);
  }

  EditorSession s;
};

TEST_P(ScreenshotsE2E, EveryPage)
{
  // The band alone first: with the morph field on, the strip does not navigate or browse.
  setMorphOf(s, false);
  expandStripOf(s);
  // On a factory preset, which the browser shows as its current row.
  if (s.chunk().identity.kind != 1)
  {
    ASSERT_TRUE(click(stripZone(kZoneNext)));
    ASSERT_TRUE(s.pumpUntil([&] { return s.chunk().identity.kind == 1; }));
  }
  const char* tabNames[] = {"tab_all", "tab_freqs", "tab_user"};
  for (int tab : {0, 1, 2})
  {
    SCOPED_TRACE(tabNames[tab]);
    ASSERT_TRUE(click(tabButton(tab)));
    ASSERT_TRUE(s.pumpUntil([&] { return s.chunk().editorValues.at(kValueTab) == tab; }));
    const Rect r = tabButton(tab);
    EXPECT_TRUE(s.pumpUntil([&] { return s.capture(r.l, r.t, r.r, r.b).contains(r.l, r.t, r.r, r.b, kAccent); }))
      << "the selected tab in the accent colour";
    pointerAway();
    const ScreenCapture shot = s.screenshot(name(tabNames[tab]));
    EXPECT_EQ(shot.at(kEmptySpot.cx(), kEmptySpot.cy()), kBackground)
      << toString(shot.at(kEmptySpot.cx(), kEmptySpot.cy()));
  }

  // The browser under the strip's name, closed again with Escape.
  const Rect nameZone = stripZone(kZoneName);
  ASSERT_TRUE(click(nameZone));
  ASSERT_TRUE(s.pumpUntil([&] { return browserCurrentRow(s) >= 0.f; })) << "the browser shows the current preset";
  pointerAway();
  s.screenshot(name("preset_browser"));
  ASSERT_TRUE(s.input().key("Escape"));
  ASSERT_TRUE(s.pumpUntil([&] { return browserCurrentRow(s) < 0.f; })) << "Escape closes the browser";

  // The about box over the band: the background colour over the tab column once it is open.
  ASSERT_TRUE(click(kAboutButton));
  const Rect tab = tabButton(2);
  ASSERT_TRUE(s.pumpUntil(
    [&] { return !s.capture(tab.l, tab.t, tab.r, tab.b).contains(tab.l, tab.t, tab.r, tab.b, kAccent); }, 100))
    << "the about box covers the tabs";
  pointerAway();
  s.screenshot(name("about_box"));
  ASSERT_TRUE(s.input().click(470.f, 100.f));
  s.settle(20);

  // The morph page.
  setMorphOf(s, true);
  pointerAway();
  const ScreenCapture morph = s.screenshot(name("morph_page"));
  EXPECT_EQ(morph.at(kEmptySpot.cx(), kEmptySpot.cy()), kBackground);
}

INSTANTIATE_TEST_SUITE_P(Scale, ScreenshotsE2E, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });

} // namespace
} // namespace vemlor::e2e
