#include "IPlugin/VST3/IPluginVST3_Module.h"

#include <cstdio>
#include <mutex>

#include "IPlugin/VST3/sdk/moduleentry.h"
#include "IPlugin/VST3/sdk/pluginfactory.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace plugkit {

namespace {

constexpr uint32_t kClassIDPrefix[2] = {0xF2AEE70D, 0x00DE4F4E};

std::recursive_mutex& CreationMutex()
{
  static std::recursive_mutex mutex; // destroyed when the module is unloaded
  return mutex;
}

void PutWord(uint32_t word, Steinberg::char8* dst)
{
  for (int i = 0; i < 4; ++i)
    dst[i] = static_cast<Steinberg::char8>((word >> (24 - 8 * i)) & 0xFF);
}

Steinberg::FUnknown* CreateInstance(void*)
{
  IPluginVST3* plug = MakePlug(InstanceInfo{});
  return plug ? static_cast<Steinberg::Vst::IAudioProcessor*>(plug) : nullptr;
}

Steinberg::IPluginFactory* BuildFactory()
{
  using namespace Steinberg;
  const Config& config = GetPlugConfig();
  static const PFactoryInfo factoryInfo(config.makerName, "", "", PFactoryInfo::kUnicode);
  static const PClassInfo2 classInfo = [&config] {
    TUID cid;
    MakeClassID(config, cid);
    char version[32];
    std::snprintf(version, sizeof(version), "%d.%d.%d", (config.version >> 16) & 0xFFFF, (config.version >> 8) & 0xFF,
                  config.version & 0xFF);
    const char* subCategories = config.plugType == kPlugTypeInstrument ? "Instrument" : "Fx";
    return PClassInfo2(cid, PClassInfo::kManyInstances, kVstAudioEffectClass, config.pluginName,
                       Vst::kSimpleModeSupported, subCategories, "", version, kVstVersionString);
  }();
  auto* factory = new CPluginFactory(factoryInfo);
  factory->registerClass(classInfo, &CreateInstance);
  return factory;
}

} // namespace

void MakeClassID(const Config& config, Steinberg::TUID cid)
{
  PutWord(kClassIDPrefix[0], cid);
  PutWord(kClassIDPrefix[1], cid + 4);
  PutWord(static_cast<uint32_t>(config.makerId), cid + 8);
  PutWord(static_cast<uint32_t>(config.uniqueId), cid + 12);
}

IPluginVST3* MakePlug(const InstanceInfo& info)
{
  std::lock_guard<std::recursive_mutex> lock(CreationMutex());
  // Nothing thrown here may cross into the host.
  try
  {
    return ConstructPlug(info);
  }
  catch (...)
  {
    return nullptr;
  }
}

} // namespace plugkit

bool InitModule() { return true; }

bool DeinitModule() { return true; }

extern "C" SMTG_EXPORT_SYMBOL Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory()
{
  static std::mutex factoryMutex;
  std::lock_guard<std::mutex> lock(factoryMutex);
  if (Steinberg::gPluginFactory)
  {
    Steinberg::gPluginFactory->addRef();
    return Steinberg::gPluginFactory;
  }
  Steinberg::gPluginFactory = plugkit::BuildFactory();
  return Steinberg::gPluginFactory;
}
