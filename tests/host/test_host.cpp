#include "tests/host/test_host.h"

#include "tests/host/allocation_counter.h"

#include "pluginterfaces/gui/iplugview.h"
#include "public.sdk/source/common/memorystream.h"

#include <xmmintrin.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace vemlor::testhost {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

template <size_t N>
std::string text(const char8 (&chars)[N])
{
  return std::string(chars, strnlen(chars, N));
}

// Releases an interface pointer the host holds and returns what is left.
template <typename I>
uint32 releaseHeld(I*& pointer)
{
  uint32 left = 0;
  if (pointer)
    left = pointer->release();
  pointer = nullptr;
  return left;
}

} // namespace

// ---- Bundle

std::unique_ptr<Bundle> Bundle::open(const std::string& path, std::string& error)
{
  std::unique_ptr<Bundle> bundle(new Bundle);
  bundle->module = HostModule::load(path, error);
  if (!bundle->module)
    return nullptr;
  IPluginFactory* factory = bundle->module->getFactory();
  PFactoryInfo info;
  if (factory->getFactoryInfo(&info) != kResultOk)
  {
    error = "getFactoryInfo failed";
    return nullptr;
  }
  bundle->factory = {text(info.vendor), text(info.url), text(info.email), info.flags};

  FUnknownPtr<IPluginFactory2> factory2(factory);
  FUnknownPtr<IPluginFactory3> factory3(factory);
  for (int32 i = 0; i < factory->countClasses(); ++i)
  {
    ClassInfo c;
    PClassInfo2 info2;
    if (factory2 && factory2->getClassInfo2(i, &info2) == kResultOk)
    {
      std::memcpy(c.cid.data(), info2.cid, 16);
      c.cardinality = info2.cardinality;
      c.category = text(info2.category);
      c.name = text(info2.name);
      c.classFlags = info2.classFlags;
      c.subCategories = text(info2.subCategories);
      c.vendor = text(info2.vendor);
      c.version = text(info2.version);
      c.sdkVersion = text(info2.sdkVersion);
    }
    else
    {
      PClassInfo info1;
      if (factory->getClassInfo(i, &info1) != kResultOk)
      {
        error = "getClassInfo failed for class " + std::to_string(i);
        return nullptr;
      }
      std::memcpy(c.cid.data(), info1.cid, 16);
      c.cardinality = info1.cardinality;
      c.category = text(info1.category);
      c.name = text(info1.name);
    }
    PClassInfoW infoW;
    if (factory3 && factory3->getClassInfoUnicode(i, &infoW) == kResultOk)
      c.unicodeName = toUtf8(infoW.name, PClassInfo::kNameSize);
    bundle->classList.push_back(c);
  }
  return bundle;
}

const ClassInfo* Bundle::findClass(const std::string& category) const
{
  for (const auto& c : classList)
    if (c.category == category)
      return &c;
  return nullptr;
}

// ---- Plugin

std::unique_ptr<Plugin> Plugin::create(Bundle& bundle, const ClassInfo& info, Host& host, std::string& error)
{
  TUID cid;
  std::memcpy(cid, info.cid.data(), 16);
  void* object = nullptr;
  if (bundle.pluginFactory()->createInstance(cid, IComponent::iid, &object) != kResultOk || object == nullptr)
  {
    error = "createInstance of \"" + info.name + "\" failed";
    return nullptr;
  }
  return adopt(static_cast<IComponent*>(object), host, error);
}

std::unique_ptr<Plugin> Plugin::adopt(IComponent* component, Host& host, std::string& error)
{
  std::unique_ptr<Plugin> plugin(new Plugin(host));
  plugin->componentPtr = component;
  if (plugin->componentPtr->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&plugin->processorPtr)) !=
      kResultOk)
  {
    error = "the component has no IAudioProcessor";
    return nullptr;
  }
  if (plugin->componentPtr->initialize(&host.application()) != kResultOk)
  {
    error = "initialize failed";
    return nullptr;
  }
  plugin->initialized = true;
  if (plugin->componentPtr->queryInterface(IEditController::iid, reinterpret_cast<void**>(&plugin->controllerPtr)) !=
      kResultOk)
  {
    error = "the component is not its own controller (only single-component plug-ins are hosted)";
    return nullptr;
  }
  plugin->controllerPtr->setComponentHandler(&host.handler());
  return plugin;
}

Plugin::~Plugin() { teardown(); }

bool Plugin::startProcessing(const ProcessConfig& config)
{
  stopProcessing();
  error.clear();
  if (config.maxBlockSize <= 0 || config.sampleRate <= 0)
  {
    error = "bad process configuration";
    return false;
  }
  if (processorPtr->canProcessSampleSize(config.sampleSize) != kResultTrue)
  {
    error = "the plug-in cannot process this sample size";
    return false;
  }
  ProcessSetup setup{config.processMode, config.sampleSize, config.maxBlockSize, config.sampleRate};
  if (processorPtr->setupProcessing(setup) != kResultOk)
  {
    error = "setupProcessing failed";
    return false;
  }
  for (MediaType type : {kAudio, kEvent})
    for (BusDirection dir : {kInput, kOutput})
      for (int32 b = 0; b < componentPtr->getBusCount(type, dir); ++b)
        componentPtr->activateBus(type, dir, b, true);
  if (!data.prepare(*componentPtr, config.maxBlockSize, config.sampleSize))
  {
    error = "cannot read the audio buses";
    return false;
  }
  data.processMode = config.processMode;

  auto stage = [&](BusDirection dir, std::vector<std::vector<double>>& audio, std::vector<int32>& offsets) {
    audio.clear();
    offsets.clear();
    for (int32 b = 0; b < data.busCount(dir); ++b)
    {
      offsets.push_back(static_cast<int32>(audio.size()));
      for (int32 c = 0; c < data.channelCount(dir, b); ++c)
        audio.emplace_back(static_cast<size_t>(config.maxBlockSize), 0.0);
    }
  };
  stage(kInput, inputAudio, inputBusOffset);
  stage(kOutput, outputAudio, outputBusOffset);

  const int32 queues = controllerPtr->getParameterCount() + 8;
  inputChanges.reserve(queues, 64);
  outputChanges.reserve(queues, 64);

  context = ProcessContext{};
  context.sampleRate = config.sampleRate;
  context.tempo = 120.0;
  context.timeSigNumerator = 4;
  context.timeSigDenominator = 4;
  context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid |
                  ProcessContext::kProjectTimeMusicValid | ProcessContext::kContTimeValid;

  if (componentPtr->setActive(true) != kResultOk)
  {
    error = "setActive failed";
    return false;
  }
  const tresult started = processorPtr->setProcessing(true);
  if (started != kResultOk && started != kNotImplemented)
  {
    componentPtr->setActive(false);
    error = "setProcessing failed";
    return false;
  }
  if (!audioThread)
    audioThread = std::make_unique<AudioThread>();
  processConfig = config;
  processing = true;
  return true;
}

void Plugin::stopProcessing()
{
  if (!processing)
    return;
  processorPtr->setProcessing(false);
  componentPtr->setActive(false);
  processing = false;
}

double* Plugin::input(int32 bus, int32 channel)
{
  if (bus < 0 || bus >= static_cast<int32>(inputBusOffset.size()) || channel < 0 ||
      channel >= data.channelCount(kInput, bus))
    return nullptr;
  return inputAudio[static_cast<size_t>(inputBusOffset[static_cast<size_t>(bus)] + channel)].data();
}

const double* Plugin::output(int32 bus, int32 channel) const
{
  if (bus < 0 || bus >= static_cast<int32>(outputBusOffset.size()) || channel < 0 ||
      channel >= data.channelCount(kOutput, bus))
    return nullptr;
  return outputAudio[static_cast<size_t>(outputBusOffset[static_cast<size_t>(bus)] + channel)].data();
}

void Plugin::addParameterChange(ParamID id, int32 sampleOffset, ParamValue value)
{
  int32 index = 0;
  IParamValueQueue* queue = inputChanges.addParameterData(id, index);
  if (queue == nullptr)
  {
    inputChanges.reserve(inputChanges.maxQueues() * 2, inputChanges.maxPointsPerQueue());
    queue = inputChanges.addParameterData(id, index);
  }
  if (queue->addPoint(sampleOffset, value, index) != kResultTrue)
  {
    inputChanges.reserve(inputChanges.maxQueues(), inputChanges.maxPointsPerQueue() * 2);
    queue->addPoint(sampleOffset, value, index);
  }
}

void Plugin::addEvent(const Event& event)
{
  Event copy = event;
  if (inEvents.addEvent(copy) != kResultTrue)
  {
    inEvents.reserve(inEvents.capacity() * 2);
    inEvents.addEvent(copy);
  }
}

void Plugin::processOnAudioThread(void* self)
{
  auto& plugin = *static_cast<Plugin*>(self);
  BlockReport& report = plugin.pending;
  report.fpModeBefore = _mm_getcsr();
  const auto start = std::chrono::steady_clock::now();
  beginCountingAllocations();
  report.result = plugin.processorPtr->process(plugin.data);
  report.allocations = endCountingAllocations();
  const auto end = std::chrono::steady_clock::now();
  report.fpModeAfter = _mm_getcsr();
  // Put the mode back so one faulty block does not colour the next.
  if (!report.fpModeKept())
    _mm_setcsr(report.fpModeBefore);
  plugin.processSeconds += std::chrono::duration<double>(end - start).count();
}

BlockReport Plugin::process(int32 numSamples)
{
  if (!processing || numSamples < 0 || numSamples > processConfig.maxBlockSize)
    return {kInvalidArgument};
  const bool is64 = processConfig.sampleSize == kSample64;
  const auto frames = static_cast<size_t>(numSamples);
  for (int32 b = 0; b < data.busCount(kInput); ++b)
  {
    data.inputs[b].silenceFlags = 0;
    for (int32 c = 0; c < data.channelCount(kInput, b); ++c)
    {
      const double* source = input(b, c);
      if (is64)
        std::copy_n(source, frames, data.channel64(kInput, b, c));
      else
        std::transform(source, source + frames, data.channel32(kInput, b, c),
                       [](double x) { return static_cast<float>(x); });
    }
  }
  data.numSamples = numSamples;
  outputChanges.clearQueue();
  outEvents.clear();
  data.inputParameterChanges = &inputChanges;
  data.outputParameterChanges = &outputChanges;
  data.inputEvents = &inEvents;
  data.outputEvents = &outEvents;
  data.processContext = &context;

  pending = BlockReport{};
  audioThread->run(&Plugin::processOnAudioThread, this);

  for (int32 b = 0; b < data.busCount(kOutput); ++b)
  {
    for (int32 c = 0; c < data.channelCount(kOutput, b); ++c)
    {
      double* target = outputAudio[static_cast<size_t>(outputBusOffset[static_cast<size_t>(b)] + c)].data();
      if (is64)
        std::copy_n(data.channel64(kOutput, b, c), frames, target);
      else
        std::copy_n(data.channel32(kOutput, b, c), frames, target);
    }
  }
  inputChanges.clearQueue();
  inEvents.clear();
  advanceTransport(numSamples);
  allocationsTotal += pending.allocations;
  fpModeChangeCount += pending.fpModeKept() ? 0 : 1;
  ++blocks;
  return pending;
}

void Plugin::advanceTransport(int32 numSamples)
{
  context.projectTimeSamples += numSamples;
  context.continousTimeSamples += numSamples;
  context.projectTimeMusic += numSamples / context.sampleRate * context.tempo / 60.0;
}

std::optional<std::vector<uint8_t>> Plugin::getState()
{
  MemoryStream stream;
  if (componentPtr->getState(&stream) != kResultOk)
    return std::nullopt;
  const auto* bytes = reinterpret_cast<const uint8_t*>(stream.getData());
  return std::vector<uint8_t>(bytes, bytes + stream.getSize());
}

bool Plugin::setState(const std::vector<uint8_t>& bytes)
{
  std::vector<uint8_t> copy = bytes;
  MemoryStream stream(copy.data(), static_cast<TSize>(copy.size()));
  if (componentPtr->setState(&stream) != kResultOk)
    return false;
  // As hosts do, the controller sees the component's state too; for a single component it may ignore it.
  stream.seek(0, IBStream::kIBSeekSet, nullptr);
  controllerPtr->setComponentState(&stream);
  return true;
}

IPlugView* Plugin::createView(const char* name) { return controllerPtr ? controllerPtr->createView(name) : nullptr; }

bool Plugin::attachView(IPlugView* view, void* parent)
{
  if (view == nullptr || view->setFrame(&host.frame()) != kResultTrue)
    return false;
  return view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) == kResultTrue &&
         view->attached(parent, kPlatformTypeX11EmbedWindowID) == kResultTrue;
}

bool Plugin::removeView(IPlugView* view)
{
  if (view == nullptr)
    return false;
  const bool removed = view->removed() == kResultTrue;
  view->setFrame(nullptr);
  return removed;
}

uint32 Plugin::releaseView(IPlugView* view) { return view ? view->release() : 0; }

TeardownReport Plugin::teardown()
{
  if (teardownReport)
    return *teardownReport;
  TeardownReport report;
  stopProcessing();
  audioThread.reset();
  if (controllerPtr)
    controllerPtr->setComponentHandler(nullptr);
  if (initialized)
    report.terminateResult = componentPtr->terminate();
  releaseHeld(controllerPtr);
  releaseHeld(processorPtr);
  report.componentReferencesLeft = releaseHeld(componentPtr);
  report.hostReferencesHeld = host.heldReferences();
  // Registrations left behind would call into the module after it is unloaded.
  host.runLoop().dropRegistrations();
  teardownReport = report;
  return report;
}

Event noteOnEvent(int32 sampleOffset, int16 pitch, float velocity, int16 channel)
{
  Event e{};
  e.type = Event::kNoteOnEvent;
  e.sampleOffset = sampleOffset;
  e.noteOn = {channel, pitch, 0.0f, velocity, 0, -1};
  return e;
}

Event noteOffEvent(int32 sampleOffset, int16 pitch, int16 channel)
{
  Event e{};
  e.type = Event::kNoteOffEvent;
  e.sampleOffset = sampleOffset;
  e.noteOff = {channel, pitch, 0.0f, -1, 0.0f};
  return e;
}

} // namespace vemlor::testhost
