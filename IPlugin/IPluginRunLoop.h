// The main-thread run loop that drives periodic timers: the interface a host binding adapts, and a
// manual pump with a fake clock for tests and headless drivers.
#pragma once

#include <cstdint>
#include <vector>

namespace plugkit {

// Main thread. A handler may unregister itself, or others, from inside its own callback.
class IRunLoop
{
public:
  class ITimerHandler
  {
  public:
    virtual void OnTimer() = 0;

  protected:
    ~ITimerHandler() = default;
  };

  virtual ~IRunLoop() = default;

  // Calls handler->OnTimer() every intervalMs, the first time one interval after registering.
  // Registering a handler again replaces its interval. False when the loop refuses it.
  virtual bool RegisterTimer(ITimerHandler* handler, uint32_t intervalMs) = 0;
  // Unknown handlers are ignored.
  virtual void UnregisterTimer(ITimerHandler* handler) = 0;
};

// Fires registered timers as the caller advances a fake clock. Main thread.
class ManualRunLoop final : public IRunLoop
{
public:
  bool RegisterTimer(ITimerHandler* handler, uint32_t intervalMs) override;
  void UnregisterTimer(ITimerHandler* handler) override;

  // Moves the clock forward by ms, firing every due timer at its due time, earliest first.
  void Advance(uint64_t ms);

  uint64_t NowMs() const { return mNowMs; }
  int NTimers() const;

private:
  struct Entry
  {
    ITimerHandler* handler;
    uint32_t intervalMs;
    uint64_t dueMs;
    bool active;
  };

  uint64_t mNowMs = 0;
  std::vector<Entry> mEntries;
};

} // namespace plugkit
