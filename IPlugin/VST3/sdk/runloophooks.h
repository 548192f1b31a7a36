// A timer and a descriptor watch on the host's Linux run loop, each undone when its owner goes away.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"

namespace plugkit {

// Main thread. Calls fn every intervalMs while registered. The callback may destroy this object.
// Some hosts accept timers on their loop but never call them back (their own timer service is not
// running), while they do serve descriptors. So a clock descriptor on the same loop stands in
// until the host's timer is first heard from; from then on the host's timer alone drives fn.
class RunLoopTimer
{
public:
  // How long the host's timer has to fire once before the stand-in starts ticking (at least two of
  // its intervals).
  static constexpr uint32_t kStandInDelayMs = 250;

  RunLoopTimer();
  ~RunLoopTimer();
  RunLoopTimer(const RunLoopTimer&) = delete;
  RunLoopTimer& operator=(const RunLoopTimer&) = delete;

  // False when there is no loop or it takes neither the timer nor the stand-in.
  bool Start(Steinberg::Linux::IRunLoop* loop, uint32_t intervalMs, std::function<void()> fn,
             uint32_t standInDelayMs = kStandInDelayMs);
  void Stop();
  bool IsRunning() const { return mHandler != nullptr || mStandIn != nullptr; }
  // True while the stand-in drives fn (the host's timer has not fired yet).
  bool StandInRunning() const { return mStandIn != nullptr; }

private:
  class Handler;
  class StandIn;
  void OnHostTimer();
  void StopStandIn();

  Steinberg::IPtr<Steinberg::Linux::IRunLoop> mLoop;
  Steinberg::IPtr<Handler> mHandler;
  std::unique_ptr<StandIn> mStandIn;
  std::function<void()> mFn;
};

// Main thread. Calls fn(fd) whenever the loop sees fd readable (or closed). The callback may destroy
// this object.
class RunLoopWatch
{
public:
  RunLoopWatch();
  ~RunLoopWatch();
  RunLoopWatch(const RunLoopWatch&) = delete;
  RunLoopWatch& operator=(const RunLoopWatch&) = delete;

  bool Start(Steinberg::Linux::IRunLoop* loop, int fd, std::function<void(int)> fn);
  void Stop();
  bool IsRunning() const { return mHandler != nullptr; }

private:
  class Handler;
  Steinberg::IPtr<Steinberg::Linux::IRunLoop> mLoop;
  Steinberg::IPtr<Handler> mHandler;
};

} // namespace plugkit
