// The about box's last line in the real host: "no info" until the host sets up processing, then the
// sample rate and buffer size, which a reopened editor shows again.
#include "tests/editor_e2e/e2e_fixture.h"

namespace vemlor::e2e {
namespace {

// The band of the about box's last line (seven centred lines over the 200 px band).
constexpr Rect kHostLine{300.f, 146.f, 640.f, 170.f};

class AboutHostLineE2E : public EditorE2E
{
protected:
  // Opens the about box and returns its last line's pixels once the box covers the tabs.
  ScreenCapture hostLine(const std::string& shot)
  {
    EXPECT_TRUE(click(kAboutButton));
    const Rect tab = tabButton(2);
    EXPECT_TRUE(s.pumpUntil(
      [&] { return !s.capture(tab.l, tab.t, tab.r, tab.b).contains(tab.l, tab.t, tab.r, tab.b, kAccent); }, 100))
      << "the about box covers the tabs";
    EXPECT_TRUE(s.input().move(kEmptySpot.cx(), kEmptySpot.cy()));
    s.settle(30);
    s.screenshot(shot);
    return s.capture(kHostLine.l, kHostLine.t, kHostLine.r, kHostLine.b);
  }

  void closeAboutBox()
  {
    EXPECT_TRUE(s.input().click(470.f, 100.f));
    s.settle(20);
  }
};

TEST_F(AboutHostLineE2E, ShowsTheHostsSetUpAndKeepsItAcrossReopening)
{
  const ScreenCapture before = hostLine("about_box_before_processing");
  closeAboutBox();

  // The host sets up processing at 48000 Hz with blocks of 512 and activates the plug-in.
  ASSERT_TRUE(s.restartProcessing()) << s.session.plugin->lastError();
  s.settle(20);
  const ScreenCapture processing = hostLine("about_box_processing");
  EXPECT_NE(processing.rgb, before.rgb) << "the line changed from its build text";
  closeAboutBox();

  ASSERT_TRUE(s.close());
  ASSERT_TRUE(s.open());
  const ScreenCapture reopened = hostLine("about_box_reopened");
  EXPECT_EQ(reopened.rgb, processing.rgb) << "the reopened editor shows the same line";
}

} // namespace
} // namespace vemlor::e2e
