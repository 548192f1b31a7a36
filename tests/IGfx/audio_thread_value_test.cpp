// Values the plug-in sends to the editor from the audio thread while the main thread draws.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "IPlugin/IPluginThreadRole.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

TEST(AudioThreadValueTest, PostedValueReachesTheControlAtTheNextFrame)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 3);
  s.G().Tick();

  std::thread audio([&s] {
    AudioThreadScope scope;
    s.dlg.SendParameterValueFromDelegate(3, 0.7, true);
  });
  audio.join();

  EXPECT_DOUBLE_EQ(0., c->GetValue()); // not touched from the audio thread
  EXPECT_EQ(1, s.dlg.NParamChangesUI());
  IRECTList rects;
  ASSERT_TRUE(s.G().IsDirty(rects));
  EXPECT_DOUBLE_EQ(0.7, c->GetValue());
}

TEST(AudioThreadValueTest, ConcurrentPostsWhileTheEditorDrawsAndReopens)
{
  EditorSession s(8, 940, 200, 1.f, [](IGfx* g) {
    for (int i = 0; i < 8; ++i)
      g->AttachControl(new RecordingControl(
        IRECT(10.f + 30.f * static_cast<float>(i), 10, 35.f + 30.f * static_cast<float>(i), 30), i));
  });
  std::atomic<bool> stop{false};
  std::thread audio([&s, &stop] {
    AudioThreadScope scope;
    int n = 0;
    while (!stop.load(std::memory_order_relaxed))
    {
      s.dlg.SendParameterValueFromDelegate(n % 8, static_cast<double>(n % 100) / 100., true);
      ++n;
    }
  });
  for (int frame = 0; frame < 400; ++frame)
  {
    s.G().Tick();
    if (frame % 100 == 99)
      s.Reopen();
  }
  stop = true;
  audio.join();
  s.G().Tick();
  // The last value posted for a parameter is the one its control shows.
  for (int i = 0; i < 8; ++i)
  {
    const double v = s.G().GetControl(i)->GetValue();
    EXPECT_GE(v, 0.);
    EXPECT_LE(v, 0.99);
  }
}

} // namespace
} // namespace plugkit::gfx::test
