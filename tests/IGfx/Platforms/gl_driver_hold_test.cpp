// The GL driver stays loaded in the process after the last editor window closes its connection.
#include "tests/IGfx/Platforms/editor_fixture.h"
#include "IGfx/Platforms/X11/GLDriverHold.h"

#include <GL/gl.h>
#include <link.h>

#include <string>

namespace vemlor::x11test {
namespace {

using plugkit::gfx::X11EditorWindow;

int LoadedDriverLibraries()
{
  int count = 0;
  dl_iterate_phdr(
    [](dl_phdr_info* info, size_t, void* out) {
      const std::string name = info->dlpi_name ? info->dlpi_name : "";
      if (name.find("_dri.so") != std::string::npos)
        ++*static_cast<int*>(out);
      return 0;
    },
    &count);
  return count;
}

TEST(GLDriverHold, TheDriverOutlivesEveryWindowAndIsHeldOnceAcrossReopens)
{
  REQUIRE_X_DISPLAY();
  testhost::Host host;
  testhost::HostWindow parent(1000, 300);
  auto loop = RunLoopFromFrame(host);
  RecordingListener listener;
  int heldAfterFirst = 0;
  for (int round = 0; round < 3; ++round)
  {
    X11EditorWindow editor(listener);
    ASSERT_TRUE(editor.Open(parent.id(), 940, 200, loop)) << editor.Window().LastError();
    ASSERT_TRUE(editor.Window().ActivateGLContext());
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
    editor.Window().DeactivateGLContext();
    editor.Close();
    if (round == 0)
      heldAfterFirst = plugkit::gfx::HeldGLDriverCount();
    // Every connection of this process is closed here, yet the driver is still mapped.
    EXPECT_GE(LoadedDriverLibraries(), 1) << "round " << round;
  }
  EXPECT_GE(heldAfterFirst, 1);
  // Reopening takes no second reference on a library already held.
  EXPECT_EQ(plugkit::gfx::HeldGLDriverCount(), heldAfterFirst);
}

} // namespace
} // namespace vemlor::x11test
