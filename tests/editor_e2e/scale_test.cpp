// Scaling the editor with the corner resizer: a drag to 1.5 times the press position scales the
// editor, writes "ui_scale" once the drag has ended, and the next editor opens at that scale.
#include "tests/editor_e2e/e2e_fixture.h"

namespace vemlor::e2e {
namespace {

TEST_F(EditorE2E, TheCornerScalesTheEditorAndItReopensAtThatScale)
{
  ASSERT_EQ(s.width(), 940);
  const float h = s.editorHeight();
  // Pressed inside the 30-pixel corner, released at 1.5 times the press position.
  XdoDriver pointer = s.input();
  ASSERT_TRUE(pointer.press(920.f, h - 20.f));
  s.settle(2);
  ASSERT_TRUE(pointer.move(1100.f, (h - 20.f) * 1.2f));
  s.settle(2);
  ASSERT_TRUE(pointer.move(1380.f, (h - 20.f) * 1.5f));
  ASSERT_TRUE(s.pumpUntil([&] { return s.width() == 1410; })) << "width " << s.width();
  EXPECT_EQ(s.height(), static_cast<int>(h * 1.5f));
  EXPECT_FALSE(EditorSession::preference("ui_scale").has_value()) << "nothing is written during the drag";
  ASSERT_TRUE(pointer.release());
  ASSERT_TRUE(s.pumpUntil([&] { return EditorSession::preference("ui_scale") == "1.500000"; }))
    << EditorSession::preference("ui_scale").value_or("<none>");
  s.settle();
  s.screenshot("editor_scaled_1_5");

  ASSERT_TRUE(s.close());
  ASSERT_TRUE(s.open());
  EXPECT_EQ(s.width(), 1410);
  EXPECT_EQ(s.height(), static_cast<int>(h * 1.5f));
  EXPECT_TRUE(s.pumpUntil([&] {
    return s.capture(kEmptySpot.l, kEmptySpot.t, kEmptySpot.r, kEmptySpot.b).at(kEmptySpot.cx(), kEmptySpot.cy()) ==
           kBackground;
  }));

  // A new instance reads the preference.
  ASSERT_TRUE(s.close());
  EditorSession other;
  ASSERT_TRUE(other.open());
  EXPECT_EQ(other.width(), 1410);
}

} // namespace
} // namespace vemlor::e2e
