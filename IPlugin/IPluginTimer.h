// Repeating main-thread timer. It runs on the host's run loop once one is attached; until then (or
// after detaching) its owner polls it from main-thread calls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "IPlugin/IPluginRunLoop.h"

namespace plugkit {

// Main thread: created, attached, polled, fired and stopped there.
class Timer
{
public:
  using ITimerFunction = std::function<void(Timer& timer)>;

  // A running timer, not yet attached to a run loop: its first poll fires at once.
  static std::unique_ptr<Timer> Create(ITimerFunction func, uint32_t intervalMs);

  // Destroying a timer stops it first.
  virtual ~Timer() = default;

  // No further calls after it returns; also from inside the timer's own function; twice is harmless.
  virtual void Stop() = 0;
  virtual bool IsRunning() const = 0;
  virtual uint32_t GetIntervalMs() const = 0;

  // Moves the timer onto runLoop (null detaches it). False when the timer is stopped (it stays so) or
  // the loop refuses it; a running timer is then detached and keeps running by polling.
  // The run loop must outlive the attachment: detach before the host takes its loop away.
  virtual bool AttachRunLoop(IRunLoop* runLoop) = 0;
  virtual bool IsAttached() const = 0;

  // While running and detached: fires when it never fired by polling or when at least the interval
  // has passed since its last polled firing. nowMs is any monotonic millisecond clock.
  virtual void PollIfDue(uint64_t nowMs) = 0;
};

// Milliseconds of the monotonic clock, for PollIfDue.
uint64_t MonotonicMs();

} // namespace plugkit
