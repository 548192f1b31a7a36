#include "IPlugin/VST3/IPluginVST3_Parameter.h"

#include <algorithm>
#include <cmath>

#include "IPlugin/VST3/IPluginVST3_ProcessorBase.h"
#include "IPlugin/VST3/IPluginVST3_Strings.h"

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

IPluginVST3Parameter::IPluginVST3Parameter(IParam& param, ParamID id, UnitID unitId)
  : mParam(param)
{
  UTF8ToUTF16(param.GetName(), info.title, 128);
  info.shortTitle[0] = 0;
  UTF8ToUTF16(param.GetLabel(), info.units, 128);
  info.id = id;
  info.stepCount = param.Type() == IParam::kTypeDouble ? 0 : static_cast<int32>(param.GetRange());
  info.defaultNormalizedValue = param.GetDefault(true);
  info.unitId = unitId;
  info.flags = param.GetCanAutomate() ? ParameterInfo::kCanAutomate : ParameterInfo::kNoFlags;
  if (param.Type() == IParam::kTypeEnum)
    info.flags |= ParameterInfo::kIsList;
  precision = param.GetDisplayPrecision();
  // The plug-in may already play other values than the defaults (a patch set while it was built).
  valueNormalized = param.GetNormalized();
}

void IPluginVST3Parameter::toString(ParamValue valueNormalized, String128 string) const
{
  TextString display;
  mParam.GetDisplay(valueNormalized, true, display, true);
  UTF8ToUTF16(display.Get(), string, 128);
}

bool IPluginVST3Parameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
  const std::optional<double> plain = mParam.ReadDisplay(UTF16ToUTF8(string, 128));
  if (!plain)
    return false;
  valueNormalized = mParam.ToNormalized(*plain);
  return true;
}

ParamValue IPluginVST3Parameter::toPlain(ParamValue valueNormalized) const
{
  return mParam.FromNormalized(valueNormalized);
}

ParamValue IPluginVST3Parameter::toNormalized(ParamValue plainValue) const { return mParam.ToNormalized(plainValue); }

IPluginVST3BypassParameter::IPluginVST3BypassParameter()
  : StringListParameter(STR16("Bypass"), IPluginVST3ProcessorBase::kBypassParamId, nullptr,
                        ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass, kRootUnitId)
{
  appendString(STR16("off"));
  appendString(STR16("on"));
}

void IPluginVST3BypassParameter::toString(ParamValue valueNormalized, String128 string) const
{
  StringListParameter::toString(std::isnan(valueNormalized) ? 0.0 : std::clamp(valueNormalized, 0.0, 1.0), string);
}

} // namespace plugkit
