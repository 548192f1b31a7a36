#include "IGfx/Platforms/X11/RunLoopHooks.h"

#include <atomic>

namespace plugkit::gfx {

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

RunLoopTimer::RunLoopTimer() = default;

RunLoopTimer::~RunLoopTimer() { Stop(); }

bool RunLoopTimer::Start(Linux::IRunLoop* loop, uint32_t intervalMs, std::function<void()> fn)
{
  Stop();
  if (loop == nullptr)
    return false;
  auto handler = owned(new Handler(std::move(fn)));
  if (loop->registerTimer(handler, intervalMs) != kResultTrue)
    return false;
  mLoop = loop;
  mHandler = handler;
  return true;
}

void RunLoopTimer::Stop()
{
  if (!mHandler)
    return;
  auto handler = mHandler;
  auto loop = mLoop;
  mHandler = nullptr;
  mLoop = nullptr;
  handler->CutOff();
  loop->unregisterTimer(handler);
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

void RunLoopWatch::Stop()
{
  if (!mHandler)
    return;
  auto handler = mHandler;
  auto loop = mLoop;
  mHandler = nullptr;
  mLoop = nullptr;
  handler->CutOff();
  loop->unregisterEventHandler(handler);
}

} // namespace plugkit::gfx
