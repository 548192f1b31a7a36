#include "IPlugin/VST3/sdk/singlecomponenteffect.h"

namespace Steinberg::Vst {

namespace {

// The bus at index in list, or none when the index is out of range.
Bus* busAt(BusList* list, int32 index)
{
  if (list == nullptr || index < 0 || index >= static_cast<int32>(list->size()))
    return nullptr;
  return list->at(static_cast<size_t>(index));
}

} // namespace

SingleComponentEffect::SingleComponentEffect()
  : audioInputs(kAudio, kInput)
  , audioOutputs(kAudio, kOutput)
  , eventInputs(kEvent, kInput)
  , eventOutputs(kEvent, kOutput)
  , processSetup{kRealtime, kSample32, 1024, 44100.0}
{}

SingleComponentEffect::~SingleComponentEffect() = default;

AudioBus* SingleComponentEffect::addAudioInput(const TChar* name, SpeakerArrangement arrangement, BusType type,
                                               int32 flags)
{
  auto* bus = new AudioBus(name, type, flags, arrangement);
  audioInputs.emplace_back(bus, false);
  return bus;
}

AudioBus* SingleComponentEffect::addAudioOutput(const TChar* name, SpeakerArrangement arrangement, BusType type,
                                                int32 flags)
{
  auto* bus = new AudioBus(name, type, flags, arrangement);
  audioOutputs.emplace_back(bus, false);
  return bus;
}

EventBus* SingleComponentEffect::addEventInput(const TChar* name, int32 channels, BusType type, int32 flags)
{
  auto* bus = new EventBus(name, type, flags, channels);
  eventInputs.emplace_back(bus, false);
  return bus;
}

EventBus* SingleComponentEffect::addEventOutput(const TChar* name, int32 channels, BusType type, int32 flags)
{
  auto* bus = new EventBus(name, type, flags, channels);
  eventOutputs.emplace_back(bus, false);
  return bus;
}

tresult SingleComponentEffect::removeAudioBusses()
{
  audioInputs.clear();
  audioOutputs.clear();
  return kResultOk;
}

tresult SingleComponentEffect::removeEventBusses()
{
  eventInputs.clear();
  eventOutputs.clear();
  return kResultOk;
}

tresult SingleComponentEffect::removeAllBusses()
{
  removeAudioBusses();
  return removeEventBusses();
}

BusList* SingleComponentEffect::getBusList(MediaType type, BusDirection dir)
{
  if (type == kAudio)
    return dir == kInput ? &audioInputs : &audioOutputs;
  if (type == kEvent)
    return dir == kInput ? &eventInputs : &eventOutputs;
  return nullptr;
}

tresult PLUGIN_API SingleComponentEffect::initialize(FUnknown* context)
{
  return EditControllerEx1::initialize(context);
}

tresult PLUGIN_API SingleComponentEffect::terminate()
{
  removeAllBusses();
  return EditControllerEx1::terminate();
}

tresult PLUGIN_API SingleComponentEffect::getControllerClassId(TUID /*classId*/)
{
  // The controller is this object: there is no class to name.
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::setIoMode(IoMode /*mode*/) { return kNotImplemented; }

int32 PLUGIN_API SingleComponentEffect::getBusCount(MediaType type, BusDirection dir)
{
  BusList* list = getBusList(type, dir);
  return list ? static_cast<int32>(list->size()) : 0;
}

tresult PLUGIN_API SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info)
{
  Bus* bus = busAt(getBusList(type, dir), index);
  if (bus == nullptr)
    return kInvalidArgument;
  info.mediaType = type;
  info.direction = dir;
  return bus->getInfo(info) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::getRoutingInfo(RoutingInfo& /*inInfo*/, RoutingInfo& /*outInfo*/)
{
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index, TBool state)
{
  Bus* bus = busAt(getBusList(type, dir), index);
  if (bus == nullptr)
    return kInvalidArgument;
  bus->setActive(state);
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::setActive(TBool /*state*/) { return kResultOk; }

tresult PLUGIN_API SingleComponentEffect::setState(IBStream* /*state*/) { return kNotImplemented; }

tresult PLUGIN_API SingleComponentEffect::getState(IBStream* /*state*/) { return kNotImplemented; }

tresult PLUGIN_API SingleComponentEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                             SpeakerArrangement* outputs, int32 numOuts)
{
  // Without an override the buses are fixed: only the current arrangement is accepted.
  if (numIns != static_cast<int32>(audioInputs.size()) || numOuts != static_cast<int32>(audioOutputs.size()))
    return kResultFalse;
  if ((numIns > 0 && inputs == nullptr) || (numOuts > 0 && outputs == nullptr))
    return kInvalidArgument;
  for (int32 i = 0; i < numIns; ++i)
  {
    auto* bus = FCast<AudioBus>(audioInputs.at(static_cast<size_t>(i)).get());
    if (bus == nullptr || bus->getArrangement() != inputs[i])
      return kResultFalse;
  }
  for (int32 i = 0; i < numOuts; ++i)
  {
    auto* bus = FCast<AudioBus>(audioOutputs.at(static_cast<size_t>(i)).get());
    if (bus == nullptr || bus->getArrangement() != outputs[i])
      return kResultFalse;
  }
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index,
                                                            SpeakerArrangement& arrangement)
{
  auto* bus = FCast<AudioBus>(busAt(getBusList(kAudio, dir), index));
  if (bus == nullptr)
    return kInvalidArgument;
  arrangement = bus->getArrangement();
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize(int32 symbolicSampleSize)
{
  return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API SingleComponentEffect::getLatencySamples() { return 0; }

tresult PLUGIN_API SingleComponentEffect::setupProcessing(ProcessSetup& setup)
{
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue)
    return kResultFalse;
  processSetup = setup;
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::setProcessing(TBool /*state*/) { return kResultOk; }

tresult PLUGIN_API SingleComponentEffect::process(ProcessData& /*data*/) { return kNotImplemented; }

uint32 PLUGIN_API SingleComponentEffect::getTailSamples() { return kNoTail; }

} // namespace Steinberg::Vst
