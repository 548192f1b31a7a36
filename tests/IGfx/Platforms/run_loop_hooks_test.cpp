// Timers and descriptor watches on the host's run loop: registration, callbacks that end their own
// registration or owner, and calls a host makes after unregistering.
#include "tests/IGfx/Platforms/x11_test_support.h"

#include "IPlugin/VST3/sdk/runloophooks.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <memory>

namespace vemlor::x11test {
namespace {

using plugkit::RunLoopTimer;
using plugkit::RunLoopWatch;

TEST(RunLoopHooks, ATimerFiresEachIntervalUntilStopped)
{
  testhost::Host host;
  RunLoopTimer timer;
  int calls = 0;
  ASSERT_TRUE(timer.Start(&host.runLoop(), 16, [&] { ++calls; }));
  EXPECT_EQ(host.runLoop().timerCount(), 1);
  host.pump(16);
  host.pump(16);
  EXPECT_EQ(calls, 2);
  timer.Stop();
  EXPECT_EQ(host.runLoop().timerCount(), 0);
  host.pump(16);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(timer.Start(nullptr, 16, [] {}));
}

TEST(RunLoopHooks, ACallbackMayDestroyItsOwner)
{
  testhost::Host host;
  auto timer = std::make_unique<RunLoopTimer>();
  int calls = 0;
  ASSERT_TRUE(timer->Start(&host.runLoop(), 10, [&] {
    ++calls;
    timer.reset();
  }));
  host.pump(10);
  host.pump(10);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(timer, nullptr);
  EXPECT_EQ(host.runLoop().timerCount(), 0);
}

TEST(RunLoopHooks, AWatchSeesItsDescriptorReadableAndClosed)
{
  testhost::Host host;
  int fds[2];
  ASSERT_EQ(pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
  RunLoopWatch watch;
  std::string got;
  bool closed = false;
  ASSERT_TRUE(watch.Start(&host.runLoop(), fds[0], [&](int fd) {
    char buffer[16];
    const ssize_t n = read(fd, buffer, sizeof(buffer));
    if (n > 0)
      got.append(buffer, static_cast<size_t>(n));
    if (n == 0)
    {
      closed = true;
      watch.Stop(); // from inside its own call
    }
  }));
  host.pump(1);
  EXPECT_TRUE(got.empty());
  ASSERT_EQ(write(fds[1], "abc", 3), 3);
  host.pump(1);
  EXPECT_EQ(got, "abc");
  close(fds[1]);
  host.pump(1);
  EXPECT_TRUE(closed);
  EXPECT_EQ(host.runLoop().eventHandlerCount(), 0);
  close(fds[0]);
}

// A host whose loop takes timers but never calls them back, while it serves descriptors.
struct DeafToTimers : testhost::RunLoop
{
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler*,
                                              Steinberg::Linux::TimerInterval) override
  {
    return Steinberg::kResultTrue;
  }
  // As such a host's loop does: waits until a watched descriptor is readable, then serves it.
  void waitAndServe()
  {
    std::vector<pollfd> fds;
    for (int fd : descriptors())
      fds.push_back({fd, POLLIN, 0});
    ASSERT_GT(poll(fds.data(), fds.size(), 2000), 0) << "nothing to serve";
    pump(0);
  }
};

TEST(RunLoopHooks, ALoopThatNeverCallsItsTimersIsTickedThroughADescriptor)
{
  DeafToTimers loop;
  RunLoopTimer timer;
  int calls = 0;
  ASSERT_TRUE(timer.Start(
    &loop, 5, [&] { ++calls; }, 1));
  EXPECT_TRUE(timer.StandInRunning());
  EXPECT_EQ(loop.eventHandlerCount(), 1);
  for (int i = 0; i < 3; ++i)
    loop.waitAndServe();
  EXPECT_EQ(calls, 3);
  timer.Stop();
  EXPECT_EQ(loop.eventHandlerCount(), 0);
}

TEST(RunLoopHooks, TheStandInStopsWhenTheHostsTimerFires)
{
  // Both running at once would double the frame rate.
  testhost::Host host;
  RunLoopTimer timer;
  int calls = 0;
  ASSERT_TRUE(timer.Start(&host.runLoop(), 16, [&] { ++calls; }));
  EXPECT_TRUE(timer.StandInRunning());
  host.pump(16);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(timer.StandInRunning());
  EXPECT_EQ(host.runLoop().eventHandlerCount(), 0);
  EXPECT_EQ(host.runLoop().timerCount(), 1);
}

TEST(RunLoopHooks, AStandInCallbackMayDestroyItsOwner)
{
  DeafToTimers loop;
  auto timer = std::make_unique<RunLoopTimer>();
  int calls = 0;
  ASSERT_TRUE(timer->Start(
    &loop, 5,
    [&] {
      ++calls;
      timer.reset();
    },
    1));
  loop.waitAndServe();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(timer, nullptr);
  EXPECT_EQ(loop.eventHandlerCount(), 0);
}

// A host that keeps its reference a little past unregistering and still calls once.
TEST(RunLoopHooks, CallsAfterStoppingReachNobody)
{
  testhost::Host host;
  int calls = 0;
  Steinberg::Linux::ITimerHandler* kept = nullptr;
  struct Spy : testhost::RunLoop
  {
    Steinberg::Linux::ITimerHandler** kept;
    Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* h,
                                                Steinberg::Linux::TimerInterval ms) override
    {
      h->addRef();
      *kept = h;
      return testhost::RunLoop::registerTimer(h, ms);
    }
  } spy;
  spy.kept = &kept;
  {
    RunLoopTimer timer;
    ASSERT_TRUE(timer.Start(&spy, 16, [&] { ++calls; }));
  }
  ASSERT_NE(kept, nullptr);
  kept->onTimer();
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(kept->release(), 0u);
}

} // namespace
} // namespace vemlor::x11test
