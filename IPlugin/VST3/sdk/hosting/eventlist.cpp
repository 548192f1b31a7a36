#include "IPlugin/VST3/sdk/hosting/eventlist.h"

#include <algorithm>

namespace Steinberg::Vst {

EventList::EventList(int32 maxEvents)
{
  FUNKNOWN_CTOR
  reserve(maxEvents);
}

IMPLEMENT_FUNKNOWN_METHODS(EventList, IEventList, IEventList::iid)

void EventList::reserve(int32 maxEvents) { events.reserve(static_cast<size_t>(std::max(maxEvents, 1))); }

const Event* EventList::eventAt(int32 index) const
{
  if (index < 0 || index >= static_cast<int32>(events.size()))
    return nullptr;
  return &events[static_cast<size_t>(index)];
}

tresult PLUGIN_API EventList::getEvent(int32 index, Event& e)
{
  const Event* event = eventAt(index);
  if (event == nullptr)
    return kInvalidArgument;
  e = *event;
  return kResultTrue;
}

tresult PLUGIN_API EventList::addEvent(Event& e)
{
  if (events.size() == events.capacity())
    return kOutOfMemory;
  events.push_back(e);
  return kResultTrue;
}

} // namespace Steinberg::Vst
