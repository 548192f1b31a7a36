#include "tests/host/host_services.h"

#include "pluginterfaces/vst/ivstmessage.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <poll.h>

#include <algorithm>
#include <cstring>

namespace vemlor::testhost {

using namespace Steinberg;

namespace {

// Answers FUnknown and each listed interface with this object.
template <typename First, typename... Rest, typename Self>
tresult answer(Self* self, const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, First::iid))
  {
    self->addRef();
    *obj = static_cast<First*>(self);
    return kResultOk;
  }
  if constexpr (sizeof...(Rest) > 0)
    return answer<Rest...>(self, iid, obj);
  *obj = nullptr;
  return kNoInterface;
}

} // namespace

std::string toUtf8(const char16* text, size_t max)
{
  std::string out;
  for (size_t i = 0; text != nullptr && i < max && text[i] != 0; ++i)
  {
    uint32 c = static_cast<uint16>(text[i]);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < max && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16>(text[++i]) - 0xDC00);
    if (c < 0x80)
    {
      out += static_cast<char>(c);
    }
    else if (c < 0x800)
    {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// ---- RunLoop

RunLoop::~RunLoop() { dropRegistrations(); }

int RunLoop::dropRegistrations()
{
  const int count = timerCount() + eventHandlerCount();
  for (auto& t : timers)
    t.handler->release();
  for (auto& h : handlers)
    h.handler->release();
  timers.clear();
  handlers.clear();
  return count;
}

tresult PLUGIN_API RunLoop::queryInterface(const TUID iid, void** obj)
{
  return answer<Linux::IRunLoop>(this, iid, obj);
}

tresult PLUGIN_API RunLoop::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd)
{
  if (handler == nullptr || fd < 0)
    return kInvalidArgument;
  handler->addRef();
  handlers.push_back({handler, fd, nextSerial++});
  return kResultTrue;
}

tresult PLUGIN_API RunLoop::unregisterEventHandler(Linux::IEventHandler* handler)
{
  auto gone = std::stable_partition(handlers.begin(), handlers.end(),
                                    [handler](const Handler& h) { return h.handler != handler; });
  if (gone == handlers.end())
    return kResultFalse;
  for (auto it = gone; it != handlers.end(); ++it)
    it->handler->release();
  handlers.erase(gone, handlers.end());
  return kResultTrue;
}

tresult PLUGIN_API RunLoop::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds)
{
  if (handler == nullptr || milliseconds == 0)
    return kInvalidArgument;
  handler->addRef();
  timers.push_back({handler, milliseconds, 0, nextSerial++});
  return kResultTrue;
}

tresult PLUGIN_API RunLoop::unregisterTimer(Linux::ITimerHandler* handler)
{
  auto gone =
    std::stable_partition(timers.begin(), timers.end(), [handler](const Timer& t) { return t.handler != handler; });
  if (gone == timers.end())
    return kResultFalse;
  for (auto it = gone; it != timers.end(); ++it)
    it->handler->release();
  timers.erase(gone, timers.end());
  return kResultTrue;
}

std::vector<int> RunLoop::descriptors() const
{
  std::vector<int> fds;
  for (const Handler& h : handlers)
    fds.push_back(h.fd);
  return fds;
}

int RunLoop::pump(uint64 elapsedMs)
{
  int calls = 0;
  // Callbacks may change the lists: work from a snapshot, holding a reference to each handler, and
  // skip any entry unregistered by an earlier callback of this pump.
  std::vector<Timer> dueTimers;
  for (auto& t : timers)
  {
    t.elapsedMs += elapsedMs;
    if (callsTimers && t.elapsedMs >= t.intervalMs)
    {
      t.elapsedMs = 0;
      dueTimers.push_back(t);
    }
  }
  for (auto& t : dueTimers)
    t.handler->addRef();
  for (auto& t : dueTimers)
  {
    bool live = std::any_of(timers.begin(), timers.end(), [&](const Timer& x) { return x.serial == t.serial; });
    if (live)
    {
      t.handler->onTimer();
      ++calls;
    }
    t.handler->release();
  }

  std::vector<pollfd> fds;
  for (auto& h : handlers)
    fds.push_back({h.fd, POLLIN, 0});
  if (!fds.empty() && poll(fds.data(), fds.size(), 0) > 0)
  {
    std::vector<Handler> ready;
    for (size_t i = 0; i < fds.size(); ++i)
      if (fds[i].revents & (POLLIN | POLLHUP | POLLERR))
        ready.push_back(handlers[i]);
    for (auto& h : ready)
      h.handler->addRef();
    for (auto& h : ready)
    {
      bool live = std::any_of(handlers.begin(), handlers.end(), [&](const Handler& x) { return x.serial == h.serial; });
      if (live)
      {
        h.handler->onFDIsSet(h.fd);
        ++calls;
      }
      h.handler->release();
    }
  }
  return calls;
}

// ---- ComponentHandler

ComponentHandler::ComponentHandler(std::thread::id mainThread)
  : mainThread(mainThread)
{
  // Recording must not allocate in the common case: a call from the audio thread is a fault to
  // report, not an allocation to blame on the plug-in.
  recorded.reserve(4096);
}

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID iid, void** obj)
{
  return answer<Vst::IComponentHandler, Vst::IComponentHandler2>(this, iid, obj);
}

tresult ComponentHandler::record(HandlerCall call)
{
  call.onMainThread = std::this_thread::get_id() == mainThread;
  recorded.push_back(call);
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::beginEdit(Vst::ParamID id) { return record({HandlerCall::Kind::BeginEdit, id}); }

tresult PLUGIN_API ComponentHandler::performEdit(Vst::ParamID id, Vst::ParamValue value)
{
  return record({HandlerCall::Kind::PerformEdit, id, value});
}

tresult PLUGIN_API ComponentHandler::endEdit(Vst::ParamID id) { return record({HandlerCall::Kind::EndEdit, id}); }

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags)
{
  if (restarting)
    ++reentered;
  const tresult result = record({HandlerCall::Kind::RestartComponent, 0, 0, flags});
  if (whileRestarting && !restarting)
  {
    restarting = true;
    whileRestarting(flags);
    restarting = false;
  }
  return result;
}

tresult PLUGIN_API ComponentHandler::setDirty(TBool state)
{
  return record({HandlerCall::Kind::SetDirty, 0, 0, state ? 1 : 0});
}

tresult PLUGIN_API ComponentHandler::requestOpenEditor(FIDString /*name*/)
{
  return record({HandlerCall::Kind::RequestOpenEditor});
}

tresult PLUGIN_API ComponentHandler::startGroupEdit() { return record({HandlerCall::Kind::StartGroupEdit}); }

tresult PLUGIN_API ComponentHandler::finishGroupEdit() { return record({HandlerCall::Kind::FinishGroupEdit}); }

// ---- PlugFrame

tresult PLUGIN_API PlugFrame::queryInterface(const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid))
    return runLoop.queryInterface(iid, obj);
  return answer<IPlugFrame>(this, iid, obj);
}

tresult PLUGIN_API PlugFrame::resizeView(IPlugView* view, ViewRect* newSize)
{
  if (view == nullptr || newSize == nullptr)
    return kInvalidArgument;
  requests.push_back(*newSize);
  // As a host window would: take the size and tell the view.
  return view->onSize(newSize);
}

// ---- HostApplication

tresult PLUGIN_API HostApplication::queryInterface(const TUID iid, void** obj)
{
  if (offerRunLoop && FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid))
    return runLoop.queryInterface(iid, obj);
  return answer<Vst::IHostApplication>(this, iid, obj);
}

tresult PLUGIN_API HostApplication::getName(Vst::String128 name)
{
  size_t i = 0;
  for (; kName[i] != 0 && i < 127; ++i)
    name[i] = static_cast<char16>(kName[i]);
  name[i] = 0;
  return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance(TUID cid, TUID iid, void** obj)
{
  if (obj == nullptr)
    return kInvalidArgument;
  *obj = nullptr;
  if (FUnknownPrivate::iidEqual(cid, Vst::IMessage::iid) && FUnknownPrivate::iidEqual(iid, Vst::IMessage::iid))
  {
    *obj = static_cast<Vst::IMessage*>(new Vst::HostMessage);
    return kResultTrue;
  }
  if (FUnknownPrivate::iidEqual(cid, Vst::IAttributeList::iid) &&
      FUnknownPrivate::iidEqual(iid, Vst::IAttributeList::iid))
  {
    *obj = static_cast<Vst::IAttributeList*>(new Vst::HostAttributeList);
    return kResultTrue;
  }
  return kResultFalse;
}

// ---- Host

Host::Host(bool offerRunLoopOnContext)
  : mainThreadId(std::this_thread::get_id())
  , componentHandler(mainThreadId)
  , plugFrame(loop)
  , hostApplication(loop, offerRunLoopOnContext)
{}

std::vector<std::string> Host::heldReferences() const
{
  std::vector<std::string> held;
  if (hostApplication.referenceCount() > 1)
    held.push_back("host application");
  if (componentHandler.referenceCount() > 1)
    held.push_back("component handler");
  if (plugFrame.referenceCount() > 1)
    held.push_back("plug frame");
  if (loop.referenceCount() > 1)
    held.push_back("run loop");
  if (loop.timerCount() > 0)
    held.push_back("run loop timer");
  if (loop.eventHandlerCount() > 0)
    held.push_back("run loop event handler");
  return held;
}

} // namespace vemlor::testhost
