#include "IPlugin/VST3/IPluginVST3_RunLoop.h"

#include <algorithm>

#include "IPlugin/VST3/sdk/runloophooks.h"
#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {

using namespace Steinberg;

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

IPluginVST3RunLoop::~IPluginVST3RunLoop() = default;

bool IPluginVST3RunLoop::RegisterTimer(ITimerHandler* handler, uint32_t intervalMs)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!handler || !mHostRunLoop)
    return false;
  // Registering again replaces the interval: the host only knows register and unregister.
  UnregisterTimer(handler);
  auto timer = std::make_unique<RunLoopTimer>();
  if (!timer->Start(mHostRunLoop, std::max<uint32_t>(intervalMs, 1), [handler] { handler->OnTimer(); }))
    return false;
  mTimers.push_back({handler, std::move(timer)});
  return true;
}

void IPluginVST3RunLoop::UnregisterTimer(ITimerHandler* handler)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const auto found =
    std::find_if(mTimers.begin(), mTimers.end(), [handler](const Registration& r) { return r.handler == handler; });
  if (found == mTimers.end())
    return;
  // Out of the list before it stops: the handler may be unregistering from inside its own call.
  std::unique_ptr<RunLoopTimer> timer = std::move(found->timer);
  mTimers.erase(found);
}

} // namespace plugkit
