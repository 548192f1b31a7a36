// The tab switch clicked with the real pointer: the plug-in's current tab follows, the selected tab
// is drawn in the accent colour, each tab shows its own controls, and the randomize and mutate
// buttons are hidden on the frequencies tab only.
#include "tests/editor_e2e/e2e_fixture.h"

namespace vemlor::e2e {
namespace {

constexpr Rect kRandomizeMutate{77.f, 142.f, 132.f, 160.f};
constexpr Rect kContent{kContentL, kContentT, kContentR, kContentB};

// The content area's pixels, to tell one tab's controls from another's.
std::vector<Rgb> contentPixels(const ScreenCapture& shot)
{
  std::vector<Rgb> pixels;
  for (float y = kContent.t; y < kContent.b; y += 2.f)
    for (float x = kContent.l; x < kContent.r; x += 2.f)
      pixels.push_back(shot.at(x, y));
  return pixels;
}

TEST_F(EditorE2E, TabButtonsSwitchTheTabAndItsControls)
{
  struct Row
  {
    int tab;
    const char* name;
    bool randomizeShown;
  };
  const Row rows[] = {{1, "freqs", false}, {0, "all", true}, {2, "user", true}, {1, "freqs", false}, {0, "all", true}};
  std::map<int, std::vector<Rgb>> seen;
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.name);
    selectTab(row.tab);
    ASSERT_TRUE(s.pumpUntil([&] {
      const Rect selected = tabButton(row.tab);
      return s.capture(selected.l, selected.t, selected.r, selected.b)
        .contains(selected.l, selected.t, selected.r, selected.b, kAccent);
    }))
      << "the selected tab is drawn in the accent colour";
    // The pointer off the tabs, so no hover bubble drawn over the content is compared with it.
    ASSERT_TRUE(s.input().move(kEmptySpot.l + 6.f, kEmptySpot.t + 15.f));
    s.settle(40);
    const ScreenCapture shot = s.capture();
    for (int other = 0; other < 3; ++other)
    {
      if (other == row.tab)
        continue;
      {
        const Rect r = tabButton(other);
        EXPECT_FALSE(shot.contains(r.l + 2.f, r.t + 2.f, r.r - 2.f, r.b - 2.f, kAccent)) << "tab " << other;
      }
    }
    EXPECT_EQ(!onlyBackground(shot, kRandomizeMutate), row.randomizeShown);
    const std::vector<Rgb> pixels = contentPixels(shot);
    if (seen.count(row.tab))
    {
      EXPECT_EQ(pixels, seen[row.tab]) << "the tab shows what it showed before";
    }
    for (const auto& [tab, before] : seen)
    {
      if (tab != row.tab)
      {
        EXPECT_NE(pixels, before) << "tab " << row.tab << " shows other controls than tab " << tab;
      }
    }
    seen[row.tab] = pixels;
  }
}

TEST_F(EditorE2E, TheTabSurvivesReopening)
{
  selectTab(1);
  ASSERT_TRUE(s.close());
  ASSERT_TRUE(s.open());
  EXPECT_EQ(editorValue(kValueTab), 1.0);
  const Rect r = tabButton(1);
  EXPECT_TRUE(s.pumpUntil([&] { return s.capture(r.l, r.t, r.r, r.b).contains(r.l, r.t, r.r, r.b, kAccent); }));
}

} // namespace
} // namespace vemlor::e2e
