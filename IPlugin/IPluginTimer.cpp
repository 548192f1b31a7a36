#include "IPlugin/IPluginTimer.h"

#include <chrono>
#include <optional>
#include <utility>

#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {

namespace {
class Timer_impl final : public Timer, private IRunLoop::ITimerHandler
{
public:
  Timer_impl(ITimerFunction func, uint32_t intervalMs)
    : mFunc(std::move(func))
    , mIntervalMs(intervalMs)
  {}

  ~Timer_impl() override { Stop(); }

  void Stop() override
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    mRunning = false;
    Detach();
  }

  bool IsRunning() const override { return mRunning; }
  uint32_t GetIntervalMs() const override { return mIntervalMs; }
  bool IsAttached() const override { return mRunLoop != nullptr; }

  bool AttachRunLoop(IRunLoop* runLoop) override
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    if (runLoop == mRunLoop)
      return true;
    Detach();
    if (!mRunning || !runLoop)
      return runLoop == nullptr;
    if (!runLoop->RegisterTimer(this, mIntervalMs))
      return false;
    mRunLoop = runLoop;
    return true;
  }

  void PollIfDue(uint64_t nowMs) override
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    if (!mRunning || mRunLoop)
      return;
    if (mLastPollMs && nowMs - *mLastPollMs < mIntervalMs)
      return;
    mLastPollMs = nowMs;
    Fire();
  }

private:
  void OnTimer() override { Fire(); }

  void Fire()
  {
    if (mRunning && mFunc)
      mFunc(*this); // may stop this timer
  }

  void Detach()
  {
    if (mRunLoop)
      std::exchange(mRunLoop, nullptr)->UnregisterTimer(this);
    mLastPollMs.reset();
  }

  ITimerFunction mFunc;
  uint32_t mIntervalMs;
  bool mRunning = true;
  IRunLoop* mRunLoop = nullptr;
  std::optional<uint64_t> mLastPollMs;
};
} // namespace

std::unique_ptr<Timer> Timer::Create(ITimerFunction func, uint32_t intervalMs)
{
  return std::make_unique<Timer_impl>(std::move(func), intervalMs);
}

uint64_t MonotonicMs()
{
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace plugkit
