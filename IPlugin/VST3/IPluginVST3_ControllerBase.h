// The controller side of the VST3 plug-in object: parameter objects and units, host reads and writes
// of normalised values, and what the host tells about the track.
#pragma once

#include "IPlugin/IPluginAPIBase.h"
#include "IPlugin/TextString.h"

#include "pluginterfaces/vst/ivstattributes.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

namespace plugkit {

class IPluginVST3BypassParameter;

// Main thread only.
class IPluginVST3ControllerBase
{
public:
  IPluginVST3ControllerBase() = default;
  IPluginVST3ControllerBase(const IPluginVST3ControllerBase&) = delete;
  IPluginVST3ControllerBase& operator=(const IPluginVST3ControllerBase&) = delete;

  // The container of the plug-in object's edit controller; bound once that base is constructed.
  void BindParameters(Steinberg::Vst::ParameterContainer& parameters) { mParameters = &parameters; }

  // Builds the bypass parameter (effects only), the units, one object per framework parameter and,
  // with MIDI input, the MIDI-controller parameters of channel 1.
  void Initialize(IPluginAPIBase& plug, Steinberg::Vst::EditControllerEx1& controller, bool isInstrument, bool midiIn);
  // The parameter objects are gone (terminate).
  void Uninitialize() { mBypassParameter = nullptr; }

  // False, changing nothing, for an unknown id or a value that is not a number. A framework
  // parameter's value, when it differs from the one it had, reaches the plug-in through OnParamChange
  // (offset -1); OnParamChangeUI follows either way.
  bool SetParamNormalized(IPluginAPIBase& plug, Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value);
  // Every object takes its parameter's current value; the bypass object takes the bypass word.
  // Both return how many objects held another value.
  int UpdateParams(IPluginAPIBase& plug, double bypass);
  // Objects of the framework parameters only.
  int UpdateParams(IPluginAPIBase& plug);
  // False when there is no list; keys the list lacks leave their field as it was.
  bool SetChannelContextInfos(Steinberg::Vst::IAttributeList* list);

  IPluginVST3BypassParameter* GetBypassParameter() const { return mBypassParameter; }
  const TextString& GetChannelName() const { return mChannelName; }
  const TextString& GetChannelNamespace() const { return mChannelNamespace; }
  const TextString& GetChannelUID() const { return mChannelUID; }
  int GetChannelNamespaceIndex() const { return mChannelNamespaceIndex; }
  int GetChannelIndex() const { return mChannelIndex; }
  uint32_t GetChannelColor() const { return mChannelColor; }

private:
  Steinberg::Vst::ParameterContainer* mParameters = nullptr;
  IPluginVST3BypassParameter* mBypassParameter = nullptr; // owned by the container
  TextString mChannelName;
  TextString mChannelNamespace;
  TextString mChannelUID;
  int mChannelNamespaceIndex = 0;
  int mChannelIndex = 0;
  uint32_t mChannelColor = 0;
};

} // namespace plugkit
