// The about box's last line: the sample rate and buffer size the host set up, shown by the idle tick
// and again in an editor opened later.
#include <gtest/gtest.h>

#include <string>

#include "IGfx/Controls/ITextControl.h"
#include "tests/product/editor/tabs_session.h"

namespace vemlor::ui::test {
namespace {

std::string HostLine(TabsSession& s)
{
  auto* line = dynamic_cast<plugkit::gfx::ITextControl*>(s.G().GetControlWithTag(kTagHostInfoLast));
  return line ? std::string(line->GetStr()) : std::string("<no line>");
}

void SetUpAndActivate(TabsSession& s)
{
  Steinberg::Vst::ProcessSetup setup{Steinberg::Vst::kRealtime, Steinberg::Vst::kSample32, 512, 48000.0};
  ASSERT_EQ(s.plug->setupProcessing(setup), Steinberg::kResultOk);
  ASSERT_EQ(s.plug->setActive(true), Steinberg::kResultOk);
}

void Reopen(TabsSession& s)
{
  s.input.reset();
  s.pass.reset();
  s.plug->CloseWindow();
  s.Build();
}

TEST(AboutBoxHostLine, ShowsTheHostsRateAndBufferSizeAfterIdleAndAfterReopening)
{
  TabsSession s;
  s.Build();
  EXPECT_EQ(HostLine(s), "no info");
  s.plug->OnIdle();
  EXPECT_EQ(HostLine(s), "no info") << "nothing to show before the host sets up processing";

  SetUpAndActivate(s);
  s.plug->OnIdle();
  EXPECT_EQ(HostLine(s), "sr 48000 buf size 512");

  Reopen(s);
  s.plug->OnIdle();
  EXPECT_EQ(HostLine(s), "sr 48000 buf size 512") << "a reopened editor shows what the host reported before";
  s.plug->OnIdle();
  EXPECT_EQ(HostLine(s), "sr 48000 buf size 512");
  s.plug->setActive(false);
}

TEST(AboutBoxHostLine, ASetUpWhileTheEditorIsClosedIsShownWhenItOpens)
{
  TabsSession s;
  SetUpAndActivate(s);
  s.plug->OnIdle(); // no editor: the news waits
  s.Build();
  s.plug->OnIdle();
  EXPECT_EQ(HostLine(s), "sr 48000 buf size 512");
  s.plug->setActive(false);
}

} // namespace
} // namespace vemlor::ui::test
