#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "IPlugin/IPluginTaskQueue.h"
#include "IPlugin/IPluginTimer.h"

namespace {
using plugkit::IRunLoop;
using plugkit::MainThreadTaskQueue;
using plugkit::ManualRunLoop;
using plugkit::Timer;

// A host run loop that turns every timer down.
class RefusingRunLoop final : public IRunLoop
{
public:
  bool RegisterTimer(ITimerHandler*, uint32_t) override { return false; }
  void UnregisterTimer(ITimerHandler*) override {}
};

// A 20 ms timer counting its calls, a manual run loop, and the call that stops it from inside.
struct Harness
{
  ManualRunLoop loop;
  int calls = 0;
  int stopOnCall = 0; // 0: never
  std::unique_ptr<Timer> timer = Timer::Create(
    [this](Timer& t) {
      ++calls;
      if (calls == stopOnCall)
        t.Stop();
    },
    20);
};

struct TimerCase
{
  const char* name;
  void (*script)(Harness&);
  int expectedCalls;
  int expectedLoopTimers;
};

const TimerCase kTimerCases[] = {
  {"FiresEveryInterval",
   [](Harness& h) {
     h.timer->AttachRunLoop(&h.loop);
     h.loop.Advance(19);
     EXPECT_EQ(h.calls, 0);
     h.loop.Advance(81);
   },
   5, 1},
  {"StopInsideOwnCallback",
   [](Harness& h) {
     h.stopOnCall = 3;
     h.timer->AttachRunLoop(&h.loop);
     h.loop.Advance(200);
   },
   3, 0},
  {"StopTwiceIsHarmless",
   [](Harness& h) {
     h.timer->AttachRunLoop(&h.loop);
     h.loop.Advance(40);
     h.timer->Stop();
     h.timer->Stop();
     h.loop.Advance(100);
     h.timer->PollIfDue(1000);
   },
   2, 0},
  {"DestroyingStops",
   [](Harness& h) {
     h.timer->AttachRunLoop(&h.loop);
     h.loop.Advance(20);
     h.timer.reset();
     h.loop.Advance(100);
   },
   1, 0},
  {"AttachedLaterStartsThen",
   [](Harness& h) {
     h.loop.Advance(100);
     h.timer->AttachRunLoop(&h.loop);
     h.loop.Advance(19);
     EXPECT_EQ(h.calls, 0);
     h.loop.Advance(1);
   },
   1, 1},
  {"PollFiresWhenIntervalPassed",
   [](Harness& h) {
     for (uint64_t now : {1000, 1010, 1019, 1020, 1025, 1045})
       h.timer->PollIfDue(now);
   },
   3, 0},
  {"PollIgnoredWhileAttached",
   [](Harness& h) {
     h.timer->AttachRunLoop(&h.loop);
     h.timer->PollIfDue(1000);
     h.timer->PollIfDue(2000);
   },
   0, 1},
  {"DetachingReturnsToPolling",
   [](Harness& h) {
     h.timer->AttachRunLoop(&h.loop);
     h.loop.Advance(20);
     h.timer->AttachRunLoop(nullptr);
     h.loop.Advance(100);
     h.timer->PollIfDue(5);
   },
   2, 0},
  {"StoppedTimerStaysStopped",
   [](Harness& h) {
     h.timer->Stop();
     EXPECT_FALSE(h.timer->AttachRunLoop(&h.loop));
     h.loop.Advance(100);
     h.timer->PollIfDue(0);
   },
   0, 0},
  {"RefusedByHostLoopKeepsPolling",
   [](Harness& h) {
     RefusingRunLoop refusing;
     EXPECT_FALSE(h.timer->AttachRunLoop(&refusing));
     EXPECT_FALSE(h.timer->IsAttached());
     h.timer->PollIfDue(0);
   },
   1, 0},
  {"StopInsidePolledCallback",
   [](Harness& h) {
     h.stopOnCall = 1;
     h.timer->PollIfDue(0);
     h.timer->PollIfDue(100);
   },
   1, 0},
};

class TimerStop : public testing::TestWithParam<TimerCase>
{};

TEST_P(TimerStop, CallsStopWhenExpected)
{
  const TimerCase& c = GetParam();
  Harness h;
  c.script(h);
  EXPECT_EQ(h.calls, c.expectedCalls);
  EXPECT_EQ(h.loop.NTimers(), c.expectedLoopTimers);
}

INSTANTIATE_TEST_SUITE_P(ManualPump, TimerStop, testing::ValuesIn(kTimerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ManualRunLoop, HandlerMayStopAnotherTimerDueAtTheSameTime)
{
  ManualRunLoop loop;
  std::vector<std::string> fired;
  std::unique_ptr<Timer> second;
  auto first = Timer::Create(
    [&](Timer&) {
      fired.push_back("first");
      second->Stop();
    },
    10);
  second = Timer::Create([&](Timer&) { fired.push_back("second"); }, 10);
  first->AttachRunLoop(&loop);
  second->AttachRunLoop(&loop);
  loop.Advance(20);
  EXPECT_EQ(fired, (std::vector<std::string>{"first", "first"}));
}

TEST(MainThreadTaskQueue, DrainRunsEarlierPostsInOrderAndDefersNewOnes)
{
  MainThreadTaskQueue queue;
  std::vector<int> ran;
  queue.Post([&] { ran.push_back(1); });
  queue.Post([&] {
    ran.push_back(2);
    queue.Post([&] { ran.push_back(3); });
  });

  EXPECT_EQ(queue.Drain(), 2);
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  EXPECT_EQ(queue.NPending(), 1);
  EXPECT_EQ(queue.Drain(), 1);
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(queue.Drain(), 0);
}

} // namespace
