// The product's editor from its bundle, opened in the test host's window the way a host opens it.
#include "tests/editor_view/view_session.h"

#if defined(VEMLOR_BUNDLE_PATH)
#include "tests/IPlugin/VST3/host_session.h"

namespace vemlor::viewtest {
namespace {

using namespace Steinberg;

TEST(VemlorEditor, OpensAtItsSizeDrawsAndCloses)
{
  REQUIRE_X_DISPLAY();
  testhost::HostWindow parent(1200, 700);
  testhost::HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  IPlugView* view = s.controller().createView(Vst::ViewType::kEditor);
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->setFrame(&s.host.frame()), kResultTrue);
  ASSERT_EQ(view->attached(parent.parent(), kPlatformTypeX11EmbedWindowID), kResultOk);
  ASSERT_TRUE(x11test::PumpUntil(s.host.runLoop(),
                                 [&] {
                                   const auto children = parent.children();
                                   return children.size() == 1 && children[0].mapped;
                                 },
                                 {ConnectionNumber(parent.display())}));
  for (int i = 0; i < 5; ++i)
    s.host.pump(16);
  const auto children = parent.children();
  // 940 wide; 200 high, or 620 with the morph panel shown.
  EXPECT_EQ(children[0].width, 940);
  EXPECT_TRUE(children[0].height == 200 || children[0].height == 620) << children[0].height;
  ViewRect rect;
  ASSERT_EQ(view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.getWidth(), children[0].width);
  EXPECT_EQ(rect.getHeight(), children[0].height);
  EXPECT_TRUE(Screenshot(parent.display(), children[0].id, "vemlor_editor"));
  EXPECT_EQ(view->removed(), kResultOk);
  view->setFrame(nullptr);
  view->release();
  EXPECT_TRUE(parent.children().empty());
  EXPECT_TRUE(s.plugin->teardown().clean());
}

} // namespace
} // namespace vemlor::viewtest
#endif
