// Host-side parameter change lists: queues of (sample offset, normalised value) points per parameter.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <memory>
#include <vector>

namespace Steinberg::Vst {

// Points stay sorted by offset; a point at an offset already queued replaces it. Capacity is fixed
// between calls to reserve, so a plug-in writing into the queue never makes it allocate.
class ParameterValueQueue : public IParamValueQueue
{
public:
  ParameterValueQueue(ParamID id, int32 maxPoints);
  virtual ~ParameterValueQueue() = default;

  void reset(ParamID id);
  void reserve(int32 maxPoints);
  int32 capacity() const { return static_cast<int32>(points.capacity()); }

  ParamID PLUGIN_API getParameterId() SMTG_OVERRIDE { return paramId; }
  int32 PLUGIN_API getPointCount() SMTG_OVERRIDE { return static_cast<int32>(points.size()); }
  tresult PLUGIN_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) SMTG_OVERRIDE;
  tresult PLUGIN_API addPoint(int32 sampleOffset, ParamValue value, int32& index) SMTG_OVERRIDE;

  DECLARE_FUNKNOWN_METHODS

private:
  struct Point
  {
    int32 offset;
    ParamValue value;
  };
  ParamID paramId;
  std::vector<Point> points;
};

class ParameterChanges : public IParameterChanges
{
public:
  ParameterChanges(int32 maxQueues, int32 maxPointsPerQueue);
  virtual ~ParameterChanges() = default;

  // Empties the list; queues and their capacity are kept for the next block.
  void clearQueue();
  // Grows the capacity (never from the audio thread).
  void reserve(int32 maxQueues, int32 maxPointsPerQueue);
  int32 maxQueues() const { return static_cast<int32>(pool.size()); }
  int32 maxPointsPerQueue() const { return pointsPerQueue; }
  // The queue of a parameter, or none.
  ParameterValueQueue* findQueue(ParamID id);

  int32 PLUGIN_API getParameterCount() SMTG_OVERRIDE { return used; }
  IParamValueQueue* PLUGIN_API getParameterData(int32 index) SMTG_OVERRIDE;
  IParamValueQueue* PLUGIN_API addParameterData(const ParamID& id, int32& index) SMTG_OVERRIDE;

  DECLARE_FUNKNOWN_METHODS

private:
  std::vector<std::unique_ptr<ParameterValueQueue>> pool;
  int32 used = 0;
  int32 pointsPerQueue;
};

} // namespace Steinberg::Vst
