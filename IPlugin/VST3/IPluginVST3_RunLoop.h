// The host's Linux run loop seen as the framework's run loop, so framework timers run on it.
#pragma once

#include <memory>
#include <vector>

#include "IPlugin/IPluginRunLoop.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"

namespace plugkit {

class RunLoopTimer;

// Main thread. Holds one reference to the host's loop and unregisters whatever is still registered
// when destroyed. Its timers keep running in a host that never calls back the timers it accepts
// (see RunLoopTimer).
class IPluginVST3RunLoop final : public IRunLoop
{
public:
  // The run loop the host offers on context, or none.
  static Steinberg::IPtr<Steinberg::Linux::IRunLoop> QueryRunLoop(Steinberg::FUnknown* context);

  explicit IPluginVST3RunLoop(Steinberg::Linux::IRunLoop* hostRunLoop);
  ~IPluginVST3RunLoop() override;
  IPluginVST3RunLoop(const IPluginVST3RunLoop&) = delete;
  IPluginVST3RunLoop& operator=(const IPluginVST3RunLoop&) = delete;

  Steinberg::Linux::IRunLoop* HostRunLoop() const { return mHostRunLoop; }

  bool RegisterTimer(ITimerHandler* handler, uint32_t intervalMs) override;
  void UnregisterTimer(ITimerHandler* handler) override;

private:
  struct Registration
  {
    ITimerHandler* handler;
    std::unique_ptr<RunLoopTimer> timer;
  };

  Steinberg::IPtr<Steinberg::Linux::IRunLoop> mHostRunLoop;
  std::vector<Registration> mTimers;
};

} // namespace plugkit
