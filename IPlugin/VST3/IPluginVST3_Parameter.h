// The host's view of the parameters: one VST3 parameter object per framework parameter, and bypass.
#pragma once

#include "IPlugin/IPluginParameter.h"

#include "public.sdk/source/vst/vstparameters.h"

namespace plugkit {

// Wraps a framework parameter it does not own; every conversion goes through that parameter. Main thread.
class IPluginVST3Parameter : public Steinberg::Vst::Parameter
{
public:
  IPluginVST3Parameter(IParam& param, Steinberg::Vst::ParamID id, Steinberg::Vst::UnitID unitId);

  void toString(Steinberg::Vst::ParamValue valueNormalized, Steinberg::Vst::String128 string) const override;
  // Reads every text toString gives, and a number in the parameter's unit; false, leaving
  // valueNormalized as it was, for a text that names no value.
  bool fromString(const Steinberg::Vst::TChar* string, Steinberg::Vst::ParamValue& valueNormalized) const override;
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue valueNormalized) const override;
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plainValue) const override;

  OBJ_METHODS(IPluginVST3Parameter, Parameter)

private:
  IParam& mParam;
};

// "Bypass", "off" / "on", the host's bypass switch. Main thread.
class IPluginVST3BypassParameter : public Steinberg::Vst::StringListParameter
{
public:
  IPluginVST3BypassParameter();

  // A value outside 0..1 (or NaN) shows the nearer end instead of indexing outside the list.
  void toString(Steinberg::Vst::ParamValue valueNormalized, Steinberg::Vst::String128 string) const override;

  OBJ_METHODS(IPluginVST3BypassParameter, StringListParameter)
};

} // namespace plugkit
