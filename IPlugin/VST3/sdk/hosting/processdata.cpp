#include "IPlugin/VST3/sdk/hosting/processdata.h"

namespace Steinberg::Vst {

bool HostProcessData::prepareBuses(IComponent& component, BusDirection dir, std::vector<AudioBusBuffers>& buffers,
                                   std::vector<BusStorage>& storage)
{
  const int32 count = component.getBusCount(kAudio, dir);
  if (count < 0)
    return false;
  buffers.assign(static_cast<size_t>(count), AudioBusBuffers());
  storage.assign(static_cast<size_t>(count), BusStorage());
  for (int32 b = 0; b < count; ++b)
  {
    BusInfo info{};
    if (component.getBusInfo(kAudio, dir, b, info) != kResultTrue || info.channelCount < 0)
      return false;
    auto& bus = storage[static_cast<size_t>(b)];
    const auto channels = static_cast<size_t>(info.channelCount);
    const auto frames = static_cast<size_t>(maxSamples);
    if (symbolicSampleSize == kSample64)
      bus.samples64.assign(channels, std::vector<Sample64>(frames, 0.0));
    else
      bus.samples32.assign(channels, std::vector<Sample32>(frames, 0.0f));
    bus.channels.resize(channels);
    for (size_t c = 0; c < channels; ++c)
      bus.channels[c] = symbolicSampleSize == kSample64 ? static_cast<void*>(bus.samples64[c].data())
                                                        : static_cast<void*>(bus.samples32[c].data());
    auto& buffer = buffers[static_cast<size_t>(b)];
    buffer.numChannels = info.channelCount;
    buffer.silenceFlags = 0;
    buffer.channelBuffers32 = reinterpret_cast<Sample32**>(bus.channels.data());
  }
  return true;
}

bool HostProcessData::prepare(IComponent& component, int32 frames, int32 sampleSize)
{
  unprepare();
  if (frames <= 0 || (sampleSize != kSample32 && sampleSize != kSample64))
    return false;
  maxSamples = frames;
  symbolicSampleSize = sampleSize;
  if (!prepareBuses(component, kInput, inputBuffers, inputStorage) ||
      !prepareBuses(component, kOutput, outputBuffers, outputStorage))
  {
    unprepare();
    return false;
  }
  numInputs = static_cast<int32>(inputBuffers.size());
  numOutputs = static_cast<int32>(outputBuffers.size());
  inputs = inputBuffers.empty() ? nullptr : inputBuffers.data();
  outputs = outputBuffers.empty() ? nullptr : outputBuffers.data();
  return true;
}

void HostProcessData::unprepare()
{
  maxSamples = 0;
  numSamples = 0;
  numInputs = 0;
  numOutputs = 0;
  inputs = nullptr;
  outputs = nullptr;
  inputBuffers.clear();
  outputBuffers.clear();
  inputStorage.clear();
  outputStorage.clear();
}

int32 HostProcessData::busCount(BusDirection dir) const { return dir == kInput ? numInputs : numOutputs; }

int32 HostProcessData::channelCount(BusDirection dir, int32 bus) const
{
  const auto& buffers = dir == kInput ? inputBuffers : outputBuffers;
  if (bus < 0 || bus >= static_cast<int32>(buffers.size()))
    return 0;
  return buffers[static_cast<size_t>(bus)].numChannels;
}

void* HostProcessData::channel(BusDirection dir, int32 bus, int32 channel)
{
  auto& storage = dir == kInput ? inputStorage : outputStorage;
  if (bus < 0 || bus >= static_cast<int32>(storage.size()))
    return nullptr;
  auto& channels = storage[static_cast<size_t>(bus)].channels;
  if (channel < 0 || channel >= static_cast<int32>(channels.size()))
    return nullptr;
  return channels[static_cast<size_t>(channel)];
}

Sample32* HostProcessData::channel32(BusDirection dir, int32 bus, int32 channel)
{
  return symbolicSampleSize == kSample32 ? static_cast<Sample32*>(this->channel(dir, bus, channel)) : nullptr;
}

Sample64* HostProcessData::channel64(BusDirection dir, int32 bus, int32 channel)
{
  return symbolicSampleSize == kSample64 ? static_cast<Sample64*>(this->channel(dir, bus, channel)) : nullptr;
}

} // namespace Steinberg::Vst
