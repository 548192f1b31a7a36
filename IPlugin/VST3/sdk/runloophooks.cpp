#include "IPlugin/VST3/sdk/runloophooks.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <utility>

namespace plugkit {

using namespace Steinberg;

namespace {

// The object the host holds: forwards to a callback until cut off. Hosts may keep a reference a
// little past unregistering, so the callback is dropped rather than the object.
template <typename Interface, typename Fn>
class Forwarder : public Interface
{
public:
  explicit Forwarder(Fn fn)
    : mFn(std::move(fn))
  {}
  void CutOff() { mFn = nullptr; }

  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
  {
    QUERY_INTERFACE(iid, obj, FUnknown::iid, Interface)
    QUERY_INTERFACE(iid, obj, Interface::iid, Interface)
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return ++mRefs; }
  uint32 PLUGIN_API release() override
  {
    const uint32 refs = --mRefs;
    if (refs == 0)
      delete this;
    return refs;
  }

protected:
  // The callback may stop its owner, which cuts this object off and drops the host's reference:
  // keep both the object and the callable alive until the call returns.
  template <typename... Args>
  void Call(Args... args)
  {
    IPtr<Forwarder> keep(this);
    if (Fn fn = mFn)
      fn(args...);
  }

  virtual ~Forwarder() = default;

private:
  Fn mFn;
  std::atomic<uint32> mRefs{1};
};

// Takes a forwarder off its loop. Both members are cleared first, so a stop nested in the
// unregistering finds nothing to stop.
template <typename Handler, typename Unregister>
void Detach(IPtr<Linux::IRunLoop>& loop, IPtr<Handler>& handler, Unregister unregister)
{
  if (!handler)
    return;
  const IPtr<Handler> cut = std::exchange(handler, nullptr);
  const IPtr<Linux::IRunLoop> from = std::exchange(loop, nullptr);
  cut->CutOff();
  std::invoke(unregister, from.get(), cut.get());
}

} // namespace

class RunLoopTimer::Handler final : public Forwarder<Linux::ITimerHandler, std::function<void()>>
{
public:
  using Forwarder::Forwarder;
  void PLUGIN_API onTimer() override { Call(); }
};

class RunLoopWatch::Handler final : public Forwarder<Linux::IEventHandler, std::function<void(int)>>
{
public:
  using Forwarder::Forwarder;
  void PLUGIN_API onFDIsSet(Linux::FileDescriptor fd) override { Call(static_cast<int>(fd)); }
};

// A monotonic clock descriptor that turns readable every interval after a first delay, watched on
// the host's loop.
class RunLoopTimer::StandIn
{
public:
  ~StandIn()
  {
    mWatch.Stop();
    if (mFd >= 0)
      close(mFd);
  }

  bool Start(Linux::IRunLoop* loop, uint32_t delayMs, uint32_t intervalMs, std::function<void()> fn)
  {
    mFd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (mFd < 0)
      return false;
    const auto after = [](uint32_t ms) {
      return timespec{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    };
    const itimerspec times{after(std::max<uint32_t>(intervalMs, 1)), after(std::max<uint32_t>(delayMs, 1))};
    if (timerfd_settime(mFd, 0, &times, nullptr) != 0)
      return false;
    return mWatch.Start(loop, mFd, [fn = std::move(fn)](int fd) {
      uint64_t expirations = 0;
      if (read(fd, &expirations, sizeof expirations) == sizeof expirations)
        fn(); // once, however many intervals passed
    });
  }

private:
  int mFd = -1;
  RunLoopWatch mWatch;
};

RunLoopTimer::RunLoopTimer() = default;

RunLoopTimer::~RunLoopTimer() { Stop(); }

bool RunLoopTimer::Start(Linux::IRunLoop* loop, uint32_t intervalMs, std::function<void()> fn, uint32_t standInDelayMs)
{
  Stop();
  if (loop == nullptr)
    return false;
  mFn = std::move(fn);
  auto handler = owned(new Handler([this] { OnHostTimer(); }));
  if (loop->registerTimer(handler, intervalMs) == kResultTrue)
  {
    mLoop = loop;
    mHandler = handler;
  }
  auto standIn = std::make_unique<StandIn>();
  // The callback may destroy this object: the stand-in's watch keeps itself alive through the call.
  if (standIn->Start(loop, std::max(standInDelayMs, 2 * intervalMs), intervalMs, [this] {
        if (std::function<void()> fn = mFn)
          fn();
      }))
    mStandIn = std::move(standIn);
  if (!IsRunning())
  {
    mFn = nullptr;
    return false;
  }
  return true;
}

void RunLoopTimer::OnHostTimer()
{
  // The host's timers work: the stand-in is no longer needed.
  StopStandIn();
  if (std::function<void()> fn = mFn)
    fn();
}

void RunLoopTimer::StopStandIn()
{
  // Destroyed after the pointer is cleared, so a nested Stop() finds nothing to stop.
  std::unique_ptr<StandIn> standIn = std::move(mStandIn);
}

void RunLoopTimer::Stop()
{
  StopStandIn();
  mFn = nullptr;
  Detach(mLoop, mHandler, &Linux::IRunLoop::unregisterTimer);
}

RunLoopWatch::RunLoopWatch() = default;

RunLoopWatch::~RunLoopWatch() { Stop(); }

bool RunLoopWatch::Start(Linux::IRunLoop* loop, int fd, std::function<void(int)> fn)
{
  Stop();
  if (loop == nullptr || fd < 0)
    return false;
  auto handler = owned(new Handler(std::move(fn)));
  if (loop->registerEventHandler(handler, fd) != kResultTrue)
    return false;
  mLoop = loop;
  mHandler = handler;
  return true;
}

void RunLoopWatch::Stop() { Detach(mLoop, mHandler, &Linux::IRunLoop::unregisterEventHandler); }

} // namespace plugkit
