// Host-side event list of fixed capacity, so that a plug-in adding events never makes it allocate.
#pragma once

#include "pluginterfaces/vst/ivstevents.h"

#include <vector>

namespace Steinberg::Vst {

class EventList : public IEventList
{
public:
  explicit EventList(int32 maxEvents);
  virtual ~EventList() = default;

  void clear() { events.clear(); }
  // Grows the capacity (never from the audio thread).
  void reserve(int32 maxEvents);
  int32 capacity() const { return static_cast<int32>(events.capacity()); }
  const Event* eventAt(int32 index) const;

  int32 PLUGIN_API getEventCount() SMTG_OVERRIDE { return static_cast<int32>(events.size()); }
  tresult PLUGIN_API getEvent(int32 index, Event& e) SMTG_OVERRIDE;
  // A full list refuses the event.
  tresult PLUGIN_API addEvent(Event& e) SMTG_OVERRIDE;

  DECLARE_FUNKNOWN_METHODS

private:
  std::vector<Event> events;
};

} // namespace Steinberg::Vst
