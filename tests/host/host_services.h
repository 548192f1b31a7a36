// What the test host offers a plug-in: host application, component handler that records every
// call, plug frame, and a Linux run loop pumped by hand.
#pragma once

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace vemlor::testhost {

using Steinberg::int32;
using Steinberg::tresult;
using Steinberg::uint32;
using Steinberg::uint64;

// Reference counting for objects the host owns: it keeps one reference itself and never deletes on
// release, so a count above one after teardown names a reference a plug-in kept.
template <typename... Interfaces>
class HostObject : public Interfaces...
{
public:
  uint32 PLUGIN_API addRef() override { return ++refs; }
  uint32 PLUGIN_API release() override { return --refs; }
  uint32 referenceCount() const { return refs.load(); }

protected:
  std::atomic<uint32> refs{1};
};

// Timers and file-descriptor handlers registered by the plug-in, run only by pump() on the main
// thread against a clock the caller advances. A handler may unregister itself or others while called.
class RunLoop : public HostObject<Steinberg::Linux::IRunLoop>
{
public:
  ~RunLoop();

  // Advances the clock by elapsedMs, then fires each timer whose interval has passed (once, however
  // many intervals passed) and each handler whose descriptor is readable. Returns the callbacks made.
  int pump(uint64 elapsedMs);
  int timerCount() const { return static_cast<int>(timers.size()); }
  int eventHandlerCount() const { return static_cast<int>(handlers.size()); }
  // The descriptors the registered handlers watch, for a caller that waits on them between pumps.
  std::vector<int> descriptors() const;
  // Releases every registration a plug-in left behind; returns how many there were.
  int dropRegistrations();
  // False: timers are accepted but never called back, as in a host whose timer service does not
  // run while its loop still serves descriptors.
  bool callsTimers = true;

  tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                          Steinberg::Linux::FileDescriptor fd) override;
  tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
  tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                   Steinberg::Linux::TimerInterval milliseconds) override;
  tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;
  tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

private:
  struct Timer
  {
    Steinberg::Linux::ITimerHandler* handler;
    uint64 intervalMs;
    uint64 elapsedMs;
    uint64 serial;
  };
  struct Handler
  {
    Steinberg::Linux::IEventHandler* handler;
    Steinberg::Linux::FileDescriptor fd;
    uint64 serial;
  };
  std::vector<Timer> timers;
  std::vector<Handler> handlers;
  uint64 nextSerial = 1;
};

// One recorded call of the plug-in into the component handler.
struct HandlerCall
{
  enum class Kind
  {
    BeginEdit,
    PerformEdit,
    EndEdit,
    RestartComponent,
    SetDirty,
    RequestOpenEditor,
    StartGroupEdit,
    FinishGroupEdit,
  };
  Kind kind;
  Steinberg::Vst::ParamID id = 0;
  Steinberg::Vst::ParamValue value = 0;
  int32 flags = 0;          // restart flags, or the dirty state
  bool onMainThread = true; // false: called from another thread, which VST3 does not allow
};

class ComponentHandler : public HostObject<Steinberg::Vst::IComponentHandler, Steinberg::Vst::IComponentHandler2>
{
public:
  explicit ComponentHandler(std::thread::id mainThread);

  const std::vector<HandlerCall>& calls() const { return recorded; }
  void clearCalls() { recorded.clear(); }

  // Runs inside each restart call, as a host that calls back into the controller while it handles
  // one (with a lock of its own held) would.
  std::function<void(int32 flags)> whileRestarting;
  // Restart calls that arrived while one was still under way: such a host would deadlock.
  int reenteredRestarts() const { return reentered; }

  tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override;
  tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
  tresult PLUGIN_API restartComponent(int32 flags) override;
  tresult PLUGIN_API setDirty(Steinberg::TBool state) override;
  tresult PLUGIN_API requestOpenEditor(Steinberg::FIDString name) override;
  tresult PLUGIN_API startGroupEdit() override;
  tresult PLUGIN_API finishGroupEdit() override;
  tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

private:
  tresult record(HandlerCall call);

  std::thread::id mainThread;
  std::vector<HandlerCall> recorded;
  bool restarting = false;
  int reentered = 0;
};

// The frame of an open view: it resizes the view when asked and records each request.
class PlugFrame : public HostObject<Steinberg::IPlugFrame>
{
public:
  explicit PlugFrame(RunLoop& runLoop)
    : runLoop(runLoop)
  {}

  const std::vector<Steinberg::ViewRect>& resizeRequests() const { return requests; }

  tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;
  tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

private:
  RunLoop& runLoop;
  std::vector<Steinberg::ViewRect> requests;
};

// The context given to initialize; it answers the run loop too when asked to offer it there.
class HostApplication : public HostObject<Steinberg::Vst::IHostApplication>
{
public:
  HostApplication(RunLoop& runLoop, bool offerRunLoop)
    : runLoop(runLoop)
    , offerRunLoop(offerRunLoop)
  {}

  static constexpr const char* kName = "vemlor-host";

  tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid, void** obj) override;
  tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

private:
  RunLoop& runLoop;
  bool offerRunLoop;
};

// Everything a plug-in instance sees of its host; the thread that builds it is the main thread.
// One instance per host: the reference check at teardown and the call record are host-wide.
class Host
{
public:
  explicit Host(bool offerRunLoopOnContext = false);

  HostApplication& application() { return hostApplication; }
  ComponentHandler& handler() { return componentHandler; }
  RunLoop& runLoop() { return loop; }
  PlugFrame& frame() { return plugFrame; }
  std::thread::id mainThread() const { return mainThreadId; }

  // Main thread: see RunLoop::pump.
  int pump(uint64 elapsedMs) { return loop.pump(elapsedMs); }
  // Names of host objects that someone other than the host still holds a reference to.
  std::vector<std::string> heldReferences() const;

private:
  std::thread::id mainThreadId;
  RunLoop loop;
  ComponentHandler componentHandler;
  PlugFrame plugFrame;
  HostApplication hostApplication;
};

// UTF-16 text to UTF-8, up to the first zero or max units.
std::string toUtf8(const Steinberg::char16* text, size_t max);

} // namespace vemlor::testhost
