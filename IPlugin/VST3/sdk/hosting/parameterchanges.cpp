#include "IPlugin/VST3/sdk/hosting/parameterchanges.h"

#include <algorithm>

namespace Steinberg::Vst {

// These objects live inside the host's process data: their reference counts are not used for
// their lifetime, but are kept honest for plug-ins that add and release references.

ParameterValueQueue::ParameterValueQueue(ParamID id, int32 maxPoints)
  : paramId(id)
{
  FUNKNOWN_CTOR
  points.reserve(static_cast<size_t>(std::max(maxPoints, 1)));
}

IMPLEMENT_FUNKNOWN_METHODS(ParameterValueQueue, IParamValueQueue, IParamValueQueue::iid)

void ParameterValueQueue::reset(ParamID id)
{
  paramId = id;
  points.clear();
}

void ParameterValueQueue::reserve(int32 maxPoints) { points.reserve(static_cast<size_t>(std::max(maxPoints, 1))); }

tresult PLUGIN_API ParameterValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
  if (index < 0 || index >= static_cast<int32>(points.size()))
    return kInvalidArgument;
  sampleOffset = points[static_cast<size_t>(index)].offset;
  value = points[static_cast<size_t>(index)].value;
  return kResultTrue;
}

tresult PLUGIN_API ParameterValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
  auto at = std::lower_bound(points.begin(), points.end(), sampleOffset,
                             [](const Point& p, int32 offset) { return p.offset < offset; });
  if (at != points.end() && at->offset == sampleOffset)
  {
    at->value = value;
    index = static_cast<int32>(at - points.begin());
    return kResultTrue;
  }
  if (points.size() == points.capacity())
    return kOutOfMemory;
  index = static_cast<int32>(at - points.begin());
  points.insert(at, {sampleOffset, value});
  return kResultTrue;
}

ParameterChanges::ParameterChanges(int32 maxQueues, int32 maxPointsPerQueue)
  : pointsPerQueue(std::max(maxPointsPerQueue, 1))
{
  FUNKNOWN_CTOR
  reserve(maxQueues, maxPointsPerQueue);
}

IMPLEMENT_FUNKNOWN_METHODS(ParameterChanges, IParameterChanges, IParameterChanges::iid)

void ParameterChanges::clearQueue() { used = 0; }

void ParameterChanges::reserve(int32 maxQueues, int32 maxPointsPerQueue)
{
  pointsPerQueue = std::max(pointsPerQueue, maxPointsPerQueue);
  for (auto& queue : pool)
    queue->reserve(pointsPerQueue);
  while (static_cast<int32>(pool.size()) < maxQueues)
    pool.push_back(std::make_unique<ParameterValueQueue>(0, pointsPerQueue));
}

ParameterValueQueue* ParameterChanges::findQueue(ParamID id)
{
  for (int32 i = 0; i < used; ++i)
    if (pool[static_cast<size_t>(i)]->getParameterId() == id)
      return pool[static_cast<size_t>(i)].get();
  return nullptr;
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
  if (index < 0 || index >= used)
    return nullptr;
  return pool[static_cast<size_t>(index)].get();
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index)
{
  for (int32 i = 0; i < used; ++i)
  {
    if (pool[static_cast<size_t>(i)]->getParameterId() == id)
    {
      index = i;
      return pool[static_cast<size_t>(i)].get();
    }
  }
  if (used == static_cast<int32>(pool.size()))
    return nullptr;
  index = used;
  auto* queue = pool[static_cast<size_t>(used++)].get();
  queue->reset(id);
  return queue;
}

} // namespace Steinberg::Vst
