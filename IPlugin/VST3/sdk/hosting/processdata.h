// Host-side process data with channel buffers for every audio bus of a component.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <vector>

namespace Steinberg::Vst {

class HostProcessData : public ProcessData
{
public:
  HostProcessData() = default;
  HostProcessData(const HostProcessData&) = delete;
  HostProcessData& operator=(const HostProcessData&) = delete;

  // Reads the component's audio buses and gives each channel a zeroed buffer of maxSamples samples
  // of the given symbolic sample size (main thread).
  bool prepare(IComponent& component, int32 maxSamples, int32 symbolicSampleSize);
  void unprepare();

  int32 getMaxSamples() const { return maxSamples; }
  int32 busCount(BusDirection dir) const;
  int32 channelCount(BusDirection dir, int32 bus) const;
  // The channel's buffer in the prepared sample size, or none.
  Sample32* channel32(BusDirection dir, int32 bus, int32 channel);
  Sample64* channel64(BusDirection dir, int32 bus, int32 channel);

private:
  struct BusStorage
  {
    std::vector<std::vector<Sample32>> samples32;
    std::vector<std::vector<Sample64>> samples64;
    std::vector<void*> channels;
  };
  bool prepareBuses(IComponent& component, BusDirection dir, std::vector<AudioBusBuffers>& buffers,
                    std::vector<BusStorage>& storage);
  void* channel(BusDirection dir, int32 bus, int32 channel);

  int32 maxSamples = 0;
  std::vector<AudioBusBuffers> inputBuffers;
  std::vector<AudioBusBuffers> outputBuffers;
  std::vector<BusStorage> inputStorage;
  std::vector<BusStorage> outputStorage;
};

} // namespace Steinberg::Vst
