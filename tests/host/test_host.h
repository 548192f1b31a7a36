// The test host: loads a VST3 bundle, creates its single-component plug-in, processes blocks on
// an audio thread while counting allocations and watching the floating-point mode, moves state
// through memory streams, opens views, and tears everything down checking reference counts.
#pragma once

#include "IPlugin/VST3/sdk/hosting/eventlist.h"
#include "IPlugin/VST3/sdk/hosting/module.h"
#include "IPlugin/VST3/sdk/hosting/parameterchanges.h"
#include "IPlugin/VST3/sdk/hosting/processdata.h"
#include "tests/host/audio_thread.h"
#include "tests/host/host_services.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vemlor::testhost {

struct FactoryInfo
{
  std::string vendor;
  std::string url;
  std::string email;
  int32 flags = 0;
};

struct ClassInfo
{
  std::array<uint8_t, 16> cid{};
  int32 cardinality = 0;
  std::string category;
  std::string name;
  uint32 classFlags = 0;
  std::string subCategories;
  std::string vendor;
  std::string version;
  std::string sdkVersion;
  std::string unicodeName; // the name as the Unicode class info gives it, when the factory has one
};

// A loaded module and what its factory describes. Plug-ins made from it must be gone before it is.
class Bundle
{
public:
  static std::unique_ptr<Bundle> open(const std::string& path, std::string& error);

  const FactoryInfo& factoryInfo() const { return factory; }
  const std::vector<ClassInfo>& classes() const { return classList; }
  // The first class of a category ("Audio Module Class"), or none.
  const ClassInfo* findClass(const std::string& category) const;
  Steinberg::IPluginFactory* pluginFactory() const { return module->getFactory(); }
  const std::string& libraryPath() const { return module->getLibraryPath(); }

  // Releases the factory, exits and closes the module.
  Steinberg::Vst::HostModule::UnloadReport close() { return module->unload(); }

private:
  std::unique_ptr<Steinberg::Vst::HostModule> module;
  FactoryInfo factory;
  std::vector<ClassInfo> classList;
};

struct ProcessConfig
{
  double sampleRate = 48000.0;
  int32 maxBlockSize = 512;
  int32 sampleSize = Steinberg::Vst::kSample32;
  int32 processMode = Steinberg::Vst::kRealtime;
};

// What one process call did.
struct BlockReport
{
  tresult result = Steinberg::kResultOk;
  std::size_t allocations = 0; // heap allocations on the audio thread inside process
  uint32 fpModeBefore = 0;     // MXCSR before and after process
  uint32 fpModeAfter = 0;
  bool fpModeKept() const { return fpModeBefore == fpModeAfter; }
  bool clean() const { return result == Steinberg::kResultOk && allocations == 0 && fpModeKept(); }
};

// What teardown found; clean when the plug-in gave back every reference it was given or took.
struct TeardownReport
{
  tresult terminateResult = Steinberg::kResultOk;
  uint32 componentReferencesLeft = 0; // after the host's last release: 0 when destroyed
  std::vector<std::string> hostReferencesHeld;
  bool clean() const
  {
    return terminateResult == Steinberg::kResultOk && componentReferencesLeft == 0 && hostReferencesHeld.empty();
  }
};

// One plug-in instance. The controller is the component itself (single component).
class Plugin
{
public:
  // Creates the class, initialises it with the host's context and gives it the component handler.
  static std::unique_ptr<Plugin> create(Bundle& bundle, const ClassInfo& info, Host& host, std::string& error);
  // The same for a component built in this process; takes over the caller's one reference.
  static std::unique_ptr<Plugin> adopt(Steinberg::Vst::IComponent* component, Host& host, std::string& error);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  Steinberg::Vst::IComponent* component() { return componentPtr; }
  Steinberg::Vst::IAudioProcessor* processor() { return processorPtr; }
  Steinberg::Vst::IEditController* controller() { return controllerPtr; }

  // Main thread: set-up, bus activation, setActive and setProcessing; false names no error itself,
  // lastError() does.
  bool startProcessing(const ProcessConfig& config);
  void stopProcessing();
  bool isProcessing() const { return processing; }
  const ProcessConfig& config() const { return processConfig; }
  const std::string& lastError() const { return error; }

  // Audio of the audio buses in 64-bit samples whatever the processing sample size; valid while
  // processing, maxBlockSize samples per channel.
  int32 busCount(Steinberg::Vst::BusDirection dir) const { return data.busCount(dir); }
  int32 channelCount(Steinberg::Vst::BusDirection dir, int32 bus) const { return data.channelCount(dir, bus); }
  double* input(int32 bus, int32 channel);
  const double* output(int32 bus, int32 channel) const;

  // Changes and events for the next block (main thread).
  void addParameterChange(Steinberg::Vst::ParamID id, int32 sampleOffset, Steinberg::Vst::ParamValue value);
  void addEvent(const Steinberg::Vst::Event& event);
  Steinberg::Vst::ProcessContext& processContext() { return context; }

  // Processes numSamples (up to maxBlockSize) on the audio thread; then clears the input changes
  // and events and advances the transport.
  BlockReport process(int32 numSamples);
  Steinberg::Vst::ParameterChanges& outputParameterChanges() { return outputChanges; }
  Steinberg::Vst::EventList& outputEvents() { return outEvents; }

  // Totals over every block since creation.
  std::size_t totalAllocations() const { return allocationsTotal; }
  int32 fpModeChanges() const { return fpModeChangeCount; }
  int64_t blocksProcessed() const { return blocks; }
  double secondsInProcess() const { return processSeconds; }

  // Component state through memory streams (main thread).
  std::optional<std::vector<uint8_t>> getState();
  bool setState(const std::vector<uint8_t>& bytes);

  // The controller's view by name with one reference for the caller, or none.
  Steinberg::IPlugView* createView(const char* name = "editor");
  // Gives the view the host frame and attaches it to an X11 parent window.
  bool attachView(Steinberg::IPlugView* view, void* parent);
  bool removeView(Steinberg::IPlugView* view);
  // The host's release of a view; returns what is left (0 when destroyed).
  uint32 releaseView(Steinberg::IPlugView* view);

  // Stops processing, terminates and releases the plug-in (main thread); later calls report the same.
  TeardownReport teardown();

private:
  Plugin(Host& host)
    : host(host)
  {}
  static void processOnAudioThread(void* self);
  void advanceTransport(int32 numSamples);

  Host& host;
  Steinberg::Vst::IComponent* componentPtr = nullptr;
  Steinberg::Vst::IAudioProcessor* processorPtr = nullptr;
  Steinberg::Vst::IEditController* controllerPtr = nullptr;
  bool initialized = false;
  bool processing = false;
  std::optional<TeardownReport> teardownReport;
  std::string error;

  ProcessConfig processConfig;
  Steinberg::Vst::HostProcessData data;
  Steinberg::Vst::ParameterChanges inputChanges{64, 64};
  Steinberg::Vst::ParameterChanges outputChanges{64, 64};
  Steinberg::Vst::EventList inEvents{512};
  Steinberg::Vst::EventList outEvents{512};
  Steinberg::Vst::ProcessContext context{};
  std::vector<std::vector<double>> inputAudio; // flattened per bus: bus offset + channel
  std::vector<std::vector<double>> outputAudio;
  std::vector<int32> inputBusOffset;
  std::vector<int32> outputBusOffset;
  std::unique_ptr<AudioThread> audioThread;
  BlockReport pending;

  std::size_t allocationsTotal = 0;
  int32 fpModeChangeCount = 0;
  int64_t blocks = 0;
  double processSeconds = 0;
};

// Events for addEvent.
Steinberg::Vst::Event noteOnEvent(int32 sampleOffset, Steinberg::int16 pitch, float velocity,
                                  Steinberg::int16 channel = 0);
Steinberg::Vst::Event noteOffEvent(int32 sampleOffset, Steinberg::int16 pitch, Steinberg::int16 channel = 0);

} // namespace vemlor::testhost
