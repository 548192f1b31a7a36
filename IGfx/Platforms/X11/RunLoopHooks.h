// A timer and a descriptor watch on the host's Linux run loop, each undone when its owner goes away.
#pragma once

#include <cstdint>
#include <functional>

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"

namespace plugkit::gfx {

// Main thread. Calls fn every intervalMs while registered. The callback may destroy this object.
class RunLoopTimer
{
public:
  RunLoopTimer();
  ~RunLoopTimer();
  RunLoopTimer(const RunLoopTimer&) = delete;
  RunLoopTimer& operator=(const RunLoopTimer&) = delete;

  // False when there is no loop or it refuses the timer.
  bool Start(Steinberg::Linux::IRunLoop* loop, uint32_t intervalMs, std::function<void()> fn);
  void Stop();
  bool IsRunning() const { return mHandler != nullptr; }

private:
  class Handler;
  Steinberg::IPtr<Steinberg::Linux::IRunLoop> mLoop;
  Steinberg::IPtr<Handler> mHandler;
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

} // namespace plugkit::gfx
