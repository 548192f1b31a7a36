#include "IPlugin/VST3/IPluginVST3_ControllerBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "IPlugin/IPluginThreadRole.h"
#include "IPlugin/VST3/IPluginVST3_Parameter.h"
#include "IPlugin/VST3/IPluginVST3_ProcessorBase.h"
#include "IPlugin/VST3/IPluginVST3_Strings.h"

#include "pluginterfaces/vst/ivstchannelcontextinfo.h"

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// A text key read with room for the length its companion key gives (a bounded default without one).
bool ReadContextString(IAttributeList& list, IAttributeList::AttrID lengthKey, IAttributeList::AttrID key,
                       TextString& field)
{
  constexpr int64 kDefaultLength = 127;
  constexpr int64 kMaxLength = 4095;
  int64 length = kDefaultLength;
  if (list.getInt(lengthKey, length) != kResultTrue)
    length = kDefaultLength;
  length = std::clamp<int64>(length, 0, kMaxLength);
  // Some hosts take the size as a count of UTF-16 characters, not bytes: room for twice as much
  // keeps their write inside the buffer.
  const size_t chars = static_cast<size_t>(length) + 1;
  std::vector<TChar> text(2 * chars, 0);
  if (list.getString(key, text.data(), static_cast<uint32>(chars * sizeof(TChar))) != kResultTrue)
    return false;
  text[static_cast<size_t>(length)] = 0;
  field.Set(UTF16ToUTF8(text.data(), static_cast<int>(chars)).c_str());
  return true;
}

void AddUnit(EditControllerEx1& controller, const char* name, UnitID id, UnitID parent)
{
  String128 name16{};
  UTF8ToUTF16(name, name16, 128);
  controller.addUnit(new Unit(name16, id, parent, kNoProgramListId));
}

} // namespace

void IPluginVST3ControllerBase::Initialize(IPluginAPIBase& plug, EditControllerEx1& controller, bool isInstrument,
                                           bool midiIn)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!isInstrument)
  {
    mBypassParameter = new IPluginVST3BypassParameter();
    mParameters->addParameter(mBypassParameter);
  }

  AddUnit(controller, "Root", kRootUnitId, kNoParentUnitId);
  int nUnits = 1;
  // Units made by this call: after a terminate the group list survives but the units do not.
  std::vector<UnitID> groupUnits;
  std::vector<std::string>& groups = plug.GetParamGroups();
  for (int i = 0; i < plug.NParams(); ++i)
  {
    IParam* param = plug.GetParam(i);
    const char* group = param->GetGroup();
    UnitID unitId = kRootUnitId;
    if (group[0] != 0)
    {
      auto found = std::find(groups.begin(), groups.end(), group);
      if (found == groups.end())
        found = groups.insert(groups.end(), group);
      unitId = static_cast<UnitID>(found - groups.begin()) + 1;
      if (std::find(groupUnits.begin(), groupUnits.end(), unitId) == groupUnits.end())
      {
        AddUnit(controller, group, unitId, kRootUnitId);
        groupUnits.push_back(unitId);
        ++nUnits;
      }
    }
    mParameters->addParameter(new IPluginVST3Parameter(*param, static_cast<ParamID>(i), unitId));
  }

  if (!midiIn)
    return;
  const UnitID ccUnit = ++nUnits;
  AddUnit(controller, "MIDI CCs", ccUnit, kRootUnitId);
  const UnitID channelUnit = ++nUnits;
  char channelName[32];
  std::snprintf(channelName, sizeof(channelName), "CH%i", 1);
  AddUnit(controller, channelName, channelUnit, ccUnit);

  const auto addControllerParam = [&](const char* title, int cc, ParamValue defaultValue) {
    String128 title16{};
    UTF8ToUTF16(title, title16, 128);
    auto* param = new Parameter(title16, IPluginVST3ProcessorBase::kMidiCCParamStartId + static_cast<ParamID>(cc),
                                nullptr, defaultValue, 0, ParameterInfo::kNoFlags, channelUnit);
    mParameters->addParameter(param);
  };
  for (int cc = 0; cc < 128; ++cc)
    addControllerParam(IMidiMsg::CCNameStr(cc), cc, 0.0);
  addControllerParam("Channel Aftertouch", IPluginVST3ProcessorBase::kChannelPressureCC, 0.0);
  addControllerParam("Pitch Bend", IPluginVST3ProcessorBase::kPitchBendCC, 0.5);
}

bool IPluginVST3ControllerBase::SetParamNormalized(IPluginAPIBase& plug, ParamID id, ParamValue value)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  Parameter* object = mParameters->getParameter(id);
  if (!object || std::isnan(value))
    return false;
  value = std::clamp(value, 0.0, 1.0);
  if (id >= static_cast<ParamID>(plug.NParams()))
  {
    object->setNormalized(value);
    return true;
  }
  const int idx = static_cast<int>(id);
  IParam* param = plug.GetParam(idx);
  // A host writing back what it read (some do after every restart) tells the plug-in nothing new.
  const double before = param->Value();
  param->SetNormalized(value);
  // The object holds the value in use, the step of a stepped parameter rather than the host's float
  // near it: what the host reads back then matches what a later refresh from the parameter gives.
  const double inUse = param->GetNormalized();
  object->setNormalized(inUse);
  // A new value is the plug-in's news as one within a block is: a host that automates only through
  // the controller (or before the next block) changes what depends on it.
  if (param->Value() != before)
    plug.OnParamChange(idx, EParamSource::kHost, -1);
  plug.OnParamChangeUI(idx, EParamSource::kHost);
  plug.SendParameterValueFromDelegate(idx, inUse, true);
  return true;
}

namespace {

// The object takes the value; true when it held another one.
bool TakeValue(Parameter& object, ParamValue value)
{
  if (object.getNormalized() == value)
    return false;
  object.setNormalized(value);
  return true;
}

} // namespace

int IPluginVST3ControllerBase::UpdateParams(IPluginAPIBase& plug)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  int changed = 0;
  for (int i = 0; i < plug.NParams(); ++i)
  {
    if (Parameter* object = mParameters->getParameter(static_cast<ParamID>(i)))
      changed += TakeValue(*object, plug.GetParam(i)->GetNormalized()) ? 1 : 0;
  }
  return changed;
}

int IPluginVST3ControllerBase::UpdateParams(IPluginAPIBase& plug, double bypass)
{
  int changed = UpdateParams(plug);
  if (mBypassParameter)
    changed += TakeValue(*mBypassParameter, bypass) ? 1 : 0;
  return changed;
}

bool IPluginVST3ControllerBase::SetChannelContextInfos(IAttributeList* list)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!list)
    return false;
  ReadContextString(*list, ChannelContext::kChannelNameLengthKey, ChannelContext::kChannelNameKey, mChannelName);
  ReadContextString(*list, ChannelContext::kChannelUIDLengthKey, ChannelContext::kChannelUIDKey, mChannelUID);
  int64 value = 0;
  if (list->getInt(ChannelContext::kChannelIndexKey, value) == kResultTrue)
    mChannelIndex = static_cast<int>(value);
  if (list->getInt(ChannelContext::kChannelColorKey, value) == kResultTrue)
    mChannelColor = static_cast<uint32_t>(value);
  if (list->getInt(ChannelContext::kChannelIndexNamespaceOrderKey, value) == kResultTrue)
    mChannelNamespaceIndex = static_cast<int>(value);
  ReadContextString(*list, ChannelContext::kChannelIndexNamespaceLengthKey, ChannelContext::kChannelIndexNamespaceKey,
                    mChannelNamespace);
  return true;
}

} // namespace plugkit
