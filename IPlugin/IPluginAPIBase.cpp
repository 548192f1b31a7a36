#include "IPlugin/IPluginAPIBase.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {

namespace {

std::string CutName(const char* text)
{
  return std::string(text ? text : "").substr(0, IPluginAPIBase::kMaxNameLength);
}

} // namespace

IPluginAPIBase::IPluginAPIBase(const Config& config, EAPI plugAPI)
  : IPluginBase(config)
  , mPluginName(CutName(config.pluginName))
  , mProductName(CutName(config.productName))
  , mMakerName(CutName(config.makerName))
  , mMakerID(config.makerId)
  , mPlugAPI(plugAPI)
  , mHasUI(config.hasEditor)
  , mHostResize(config.hostMayResize)
  , mBundleID(config.bundleId ? config.bundleId : "")
  , mAppGroupID(config.appGroupId ? config.appGroupId : "")
{
  SetEditorSize(config.editorWidth, config.editorHeight);
  SetSizeConstraints(config.minWidth, config.maxWidth, config.minHeight, config.maxHeight);
}

IPluginAPIBase::~IPluginAPIBase()
{
  if (mTimer)
    mTimer->Stop();
  mTimer.reset();
}

bool IPluginAPIBase::CompareState(const uint8_t* data, int dataSize, int startPos) const
{
  if (NParams() == 0)
    return true;
  const int64_t begin = int64_t{startPos} * 8;
  if (!data || startPos < 0 || begin + int64_t{NParams()} * 8 > dataSize)
    return false;
  for (int i = 0; i < NParams(); ++i)
  {
    double stored = 0.0;
    std::memcpy(&stored, data + begin + int64_t{i} * 8, sizeof(stored)); // little-endian, as chunks are
    const float current = static_cast<float>(GetParam(i)->Value());
    if (!(std::fabs(current - static_cast<float>(stored)) < 1e-5f))
      return false;
  }
  return true;
}

bool IPluginAPIBase::OnHostRequestingAboutBox() { return false; }

bool IPluginAPIBase::OnHostRequestingProductHelp() { return false; }

void IPluginAPIBase::OnHostIdentified() {}

void IPluginAPIBase::OnHostRequestingImportantParameters(int count, std::vector<int>& results)
{
  if (count < 1 || count >= NParams())
    return;
  for (int i = 0; i < count; ++i)
    results.push_back(i);
}

bool IPluginAPIBase::OnHostRequestingSupportedViewConfiguration(int width, int height) { return width + height == 0; }

void IPluginAPIBase::OnHostSelectedViewConfiguration(int, int) {}

bool IPluginAPIBase::GetMidiNoteText(int, TextString& text) const
{
  text.Set("");
  return false;
}

void* IPluginAPIBase::GetAAXViewInterface() { return nullptr; }

void IPluginAPIBase::OnIdle() {}

void IPluginAPIBase::GetTrackColor(int& r, int& g, int& b) { r = g = b = 0; }

void IPluginAPIBase::GetTrackName(TextString&) {}

int IPluginAPIBase::GetTrackIndex() { return 0; }

void IPluginAPIBase::GetTrackNamespace(TextString&) {}

int IPluginAPIBase::GetTrackNamespaceIndex() { return 0; }

void IPluginAPIBase::SendParameterValueFromAPI(int paramIdx, double value, bool normalized)
{
  const IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  mParamChangeFromProcessor.Push({paramIdx, normalized ? param->FromNormalized(value) : value});
}

void IPluginAPIBase::HostSpecificInit() {}

bool IPluginAPIBase::EditorResize(int, int) { return false; }

void IPluginAPIBase::BeginInformHostOfParamChange(int) {}

void IPluginAPIBase::EndInformHostOfParamChange(int) {}

void IPluginAPIBase::InformHostOfParamChange(int, double) {}

void IPluginAPIBase::TransmitMidiMsgFromProcessor(const IMidiMsg&) {}

void IPluginAPIBase::TransmitSysExDataFromProcessor(const SysExData&) {}

void IPluginAPIBase::SetParameterValue(int paramIdx, double normalizedValue)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  param->SetNormalized(normalizedValue);
  InformHostOfParamChange(paramIdx, normalizedValue);
  OnParamChange(paramIdx, EParamSource::kUI, -1);
}

void IPluginAPIBase::SendParameterValueFromUI(int paramIdx, double normalizedValue)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!GetParam(paramIdx))
    return;
  SetParameterValue(paramIdx, normalizedValue);
  IEditorDelegate::SendParameterValueFromUI(paramIdx, normalizedValue);
}

void IPluginAPIBase::BeginInformHostOfParamChangeFromUI(int paramIdx)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  BeginInformHostOfParamChange(paramIdx);
}

void IPluginAPIBase::EndInformHostOfParamChangeFromUI(int paramIdx)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  EndInformHostOfParamChange(paramIdx);
}

void IPluginAPIBase::DirtyParametersFromUI()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  for (int i = 0; i < NParams(); ++i)
    InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

bool IPluginAPIBase::EditorResizeFromUI(int viewWidth, int viewHeight, bool needsPlatformResize)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return needsPlatformResize ? EditorResize(viewWidth, viewHeight) : true;
}

void IPluginAPIBase::SendMidiMsgFromUI(const IMidiMsg& msg) { DeferMidiMsg(msg); }

void IPluginAPIBase::SendSysexMsgFromUI(const ISysEx& msg) { DeferSysexMsg(msg); }

void IPluginAPIBase::SendArbitraryMsgFromUI(int msgTag, int ctrlTag, int dataSize, const void* pData)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  OnMessage(msgTag, ctrlTag, dataSize, pData);
}

void IPluginAPIBase::DeferMidiMsg(const IMidiMsg& msg)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mMidiMsgsFromEditor.Push(msg);
}

void IPluginAPIBase::DeferSysexMsg(const ISysEx& msg)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  // A message the cell cannot hold whole is dropped: a cut system-exclusive message is a different one.
  if (msg.mSize < 0 || msg.mSize > SysExData::kMaxSize)
    return;
  SysExData data;
  data.mOffset = msg.mOffset;
  data.mSize = msg.mSize;
  if (msg.mData && msg.mSize > 0)
    std::memcpy(data.mData, msg.mData, static_cast<size_t>(msg.mSize));
  mSysExDataFromEditor.Push(data);
}

void IPluginAPIBase::SetHost(const char* name, int32_t version)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mHostName = name ? name : "";
  SetHostIdentity(LookUpHost(mHostName.c_str()), version);
  HostSpecificInit();
  OnHostIdentified();
}

void IPluginAPIBase::CreateTimer()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mTimer.reset();
  mTimer = Timer::Create([this](Timer& timer) { OnTimer(timer); }, kIdleTimerIntervalMs);
}

void IPluginAPIBase::OnTimer(Timer&)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  // At most one queue's worth each: a producer that keeps pushing cannot hold the main thread here.
  IMidiMsg msg;
  for (int i = 0; i < MidiQueue::kCapacity && mMidiMsgsFromProcessor.Pop(msg); ++i)
    SendMidiMsgFromDelegate(msg);
  SysExData data;
  for (int i = 0; i < SysExQueue::kCapacity && mSysExDataFromProcessor.Pop(data); ++i)
    SendSysexMsgFromDelegate(ISysEx{data.mOffset, data.mData, data.mSize});
  OnBindingIdle();
  OnIdle();
}

const char* IPluginAPIBase::GetAPIStr() const
{
  // Format codes hosts and tools share; 0 is the framework's "unknown".
  static constexpr const char* kNames[] = {"", "VST3", "AU", "AUv3", "AAX", "APP", "WAM", "WEB", "CLAP"};
  const int code = static_cast<int>(mPlugAPI);
  return code >= 0 && code < static_cast<int>(std::size(kNames)) ? kNames[code] : "";
}

const char* IPluginAPIBase::GetArchStr()
{
#if defined(__x86_64__)
  return "x86-64";
#elif defined(__aarch64__)
  return "arm64";
#else
  return "";
#endif
}

void IPluginAPIBase::GetBuildInfoStr(TextString& text, const char* date, const char* time) const
{
  TextString version;
  GetPluginVersionStr(version);
  text.SetFormatted(256, "%s %s (%s), built on %s at %.5s ", version.Get(), GetAPIStr(), GetArchStr(), date ? date : "",
                    time ? time : "");
}

} // namespace plugkit
