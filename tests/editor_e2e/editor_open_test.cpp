// Opening the editor from the bundle as a host does: its size, its background and its first frame.
#include "tests/editor_e2e/e2e_fixture.h"

namespace vemlor::e2e {
namespace {

TEST_F(EditorE2E, OpensAtItsSizeWithTheBackgroundColour)
{
  EXPECT_EQ(s.width(), 940);
  EXPECT_EQ(s.height(), s.normalized(zarvo::par_morph_active) > 0.5 ? 620 : 200);
  Steinberg::ViewRect rect;
  ASSERT_EQ(s.view->getSize(&rect), Steinberg::kResultOk);
  EXPECT_EQ(rect.getWidth(), s.width());
  EXPECT_EQ(rect.getHeight(), s.height());
  const auto background = [&] {
    return s.capture(kEmptySpot.l, kEmptySpot.t, kEmptySpot.r, kEmptySpot.b).at(kEmptySpot.cx(), kEmptySpot.cy());
  };
  ASSERT_TRUE(s.pumpUntil([&] { return background() == kBackground; })) << "background " << toString(background());
  s.screenshot("editor_opened");
}

} // namespace
} // namespace vemlor::e2e
