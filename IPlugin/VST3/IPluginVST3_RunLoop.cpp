#include "IPlugin/VST3/IPluginVST3_RunLoop.h"

#include <algorithm>
#include <atomic>

#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {

using namespace Steinberg;

// What the host calls: forwards onTimer to a framework handler until it is cut off.
class IPluginVST3RunLoop::HostTimer final : public Linux::ITimerHandler
{
public:
  explicit HostTimer(IRunLoop::ITimerHandler* handler)
    : mHandler(handler)
  {}

  IRunLoop::ITimerHandler* Handler() const { return mHandler; }
  void CutOff() { mHandler = nullptr; }

  void PLUGIN_API onTimer() override
  {
    // Unregistering from inside the callback releases this object; keep it alive until the call ends.
    IPtr<HostTimer> keep(this);
    if (mHandler)
      mHandler->OnTimer();
  }

  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
  {
    QUERY_INTERFACE(iid, obj, FUnknown::iid, Linux::ITimerHandler)
    QUERY_INTERFACE(iid, obj, Linux::ITimerHandler::iid, Linux::ITimerHandler)
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

private:
  ~HostTimer() = default;

  std::atomic<uint32> mRefs{1};
  IRunLoop::ITimerHandler* mHandler;
};

IPtr<Linux::IRunLoop> IPluginVST3RunLoop::QueryRunLoop(FUnknown* context)
{
  if (!context)
    return nullptr;
  Linux::IRunLoop* loop = nullptr;
  if (context->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop)) != kResultOk || !loop)
    return nullptr;
  return owned(loop);
}

IPluginVST3RunLoop::IPluginVST3RunLoop(Linux::IRunLoop* hostRunLoop)
  : mHostRunLoop(hostRunLoop)
{}

IPluginVST3RunLoop::~IPluginVST3RunLoop()
{
  for (auto& timer : mTimers)
  {
    timer->CutOff();
    if (mHostRunLoop)
      mHostRunLoop->unregisterTimer(timer);
  }
}

bool IPluginVST3RunLoop::RegisterTimer(ITimerHandler* handler, uint32_t intervalMs)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!handler || !mHostRunLoop)
    return false;
  // Registering again replaces the interval: the host only knows register and unregister.
  UnregisterTimer(handler);
  IPtr<HostTimer> timer = owned(new HostTimer(handler));
  if (mHostRunLoop->registerTimer(timer, std::max<uint32_t>(intervalMs, 1)) != kResultOk)
  {
    timer->CutOff();
    return false;
  }
  mTimers.push_back(timer);
  return true;
}

void IPluginVST3RunLoop::UnregisterTimer(ITimerHandler* handler)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const auto found = std::find_if(mTimers.begin(), mTimers.end(),
                                  [handler](const IPtr<HostTimer>& t) { return t->Handler() == handler; });
  if (found == mTimers.end())
    return;
  IPtr<HostTimer> timer = *found;
  mTimers.erase(found);
  timer->CutOff();
  mHostRunLoop->unregisterTimer(timer);
}

} // namespace plugkit
