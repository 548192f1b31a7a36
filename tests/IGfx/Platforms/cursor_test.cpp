// Cursor shapes over the editor's window.
#include "tests/IGfx/Platforms/editor_fixture.h"

#include "IGfx/Platforms/X11/X11ErrorTrap.h"

namespace vemlor::x11test {
namespace {

using plugkit::gfx::X11Cursors;
using plugkit::gfx::X11ErrorTrap;

using Cursors = EditorFixture;

TEST_F(Cursors, EveryShapeHasACursorMadeOnceAndUnknownValuesAreTheArrow)
{
  const long errorsBefore = X11ErrorTrap::TotalErrors();
  X11Cursors& cursors = editor.Cursors();
  std::vector<Cursor> made;
  for (int shape = 0; shape < X11Cursors::kShapes; ++shape)
  {
    const Cursor c = cursors.Set(shape);
    EXPECT_NE(c, 0u) << shape;
    EXPECT_EQ(cursors.Get(shape), c) << "made once: " << shape;
    made.push_back(c);
  }
  for (int unknown : {-1, 14, 1000})
    EXPECT_EQ(cursors.Set(unknown), made[0]) << unknown;
  editor.Close(); // frees them
  EXPECT_EQ(X11ErrorTrap::TotalErrors(), errorsBefore);
}

TEST_F(Cursors, TheShapeIsRememberedWhileHiddenAndShownAgainAfter)
{
  EXPECT_EQ(editor.SetMouseCursor(11), 0);
  editor.HideMouseCursor(true, false);
  EXPECT_TRUE(editor.Input().CursorHidden());
  EXPECT_EQ(editor.SetMouseCursor(7), 11);
  editor.HideMouseCursor(false, false);
  EXPECT_FALSE(editor.Input().CursorHidden());
  EXPECT_EQ(editor.SetMouseCursor(99), 7);
  EXPECT_EQ(editor.SetMouseCursor(0), 0) << "an unknown shape is kept as the arrow";
}

} // namespace
} // namespace vemlor::x11test
