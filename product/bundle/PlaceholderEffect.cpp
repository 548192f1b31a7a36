// A stereo pass-through effect that stands in for the plug-in class until it exists.
#include "IPlugin/VST3/sdk/moduleentry.h"
#include "IPlugin/VST3/sdk/pluginfactory.h"
#include "IPlugin/VST3/sdk/singlecomponenteffect.h"

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/vsttypes.h"

#include <cstring>
#include <mutex>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

class PlaceholderEffect : public SingleComponentEffect
{
public:
  static FUnknown* create(void* /*context*/)
  {
    return static_cast<IAudioProcessor*>(new PlaceholderEffect);
  }

  // Main thread.
  tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE
  {
    const tresult result = SingleComponentEffect::initialize(context);
    if (result != kResultOk)
      return result;
    addAudioInput(STR16("Input"), SpeakerArr::kStereo);
    addAudioOutput(STR16("Output"), SpeakerArr::kStereo);
    addEventInput(STR16("MIDI Input"), 1);
    return kResultOk;
  }

  tresult PLUGIN_API canProcessSampleSize(int32 size) SMTG_OVERRIDE
  {
    return size == kSample32 || size == kSample64 ? kResultTrue : kResultFalse;
  }

  // The state is an empty chunk.
  tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE
  {
    return state ? kResultOk : kInvalidArgument;
  }
  tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE
  {
    return state ? kResultOk : kInvalidArgument;
  }

  // Audio thread.
  tresult PLUGIN_API process(ProcessData& data) SMTG_OVERRIDE
  {
    if (data.numOutputs < 1 || data.numSamples <= 0)
      return kResultOk;
    const AudioBusBuffers* in = data.numInputs > 0 ? &data.inputs[0] : nullptr;
    AudioBusBuffers& out = data.outputs[0];
    if (data.symbolicSampleSize == kSample64)
      copyChannels(in ? in->channelBuffers64 : nullptr, in ? in->numChannels : 0,
                   out.channelBuffers64, out.numChannels, data.numSamples);
    else
      copyChannels(in ? in->channelBuffers32 : nullptr, in ? in->numChannels : 0,
                   out.channelBuffers32, out.numChannels, data.numSamples);
    out.silenceFlags = in ? in->silenceFlags : ~uint64(0);
    return kResultOk;
  }

private:
  template <typename Sample>
  static void copyChannels(Sample** in, int32 inChannels, Sample** out, int32 outChannels,
                           int32 frames)
  {
    if (out == nullptr)
      return;
    const auto bytes = static_cast<size_t>(frames) * sizeof(Sample);
    for (int32 c = 0; c < outChannels; ++c)
    {
      if (out[c] == nullptr)
        continue;
      if (in != nullptr && c < inChannels && in[c] != nullptr)
      {
        if (in[c] != out[c])
          std::memmove(out[c], in[c], bytes);
      }
      else
      {
        std::memset(out[c], 0, bytes);
      }
    }
  }
};

} // namespace

bool InitModule()
{
  return true;
}

bool DeinitModule()
{
  return true;
}

extern "C" SMTG_EXPORT_SYMBOL Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory()
{
  using namespace Steinberg;
  static std::mutex factoryMutex;
  std::lock_guard<std::mutex> lock(factoryMutex);
  if (gPluginFactory)
  {
    gPluginFactory->addRef();
    return gPluginFactory;
  }
  static const PFactoryInfo factoryInfo("ZarvoAudio", "", "", PFactoryInfo::kUnicode);
  static const TUID cid = INLINE_UID(0xF2AEE70D, 0x00DE4F4E, 0x5A727641 /* ZrvA */,
                                     0x566D6C72 /* Vmlr */);
  static const PClassInfo2 classInfo(cid, PClassInfo::kManyInstances, kVstAudioEffectClass,
                                     "Vemlor", Vst::kSimpleModeSupported, "Fx", nullptr, "1.3.0",
                                     kVstVersionString);
  auto* factory = new CPluginFactory(factoryInfo);
  factory->registerClass(classInfo, &PlaceholderEffect::create);
  gPluginFactory = factory;
  return factory;
}
