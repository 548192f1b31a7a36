// The layer between the plug-in base and a host binding: identity, host identification, parameter
// traffic to the host, the queues between audio and main thread, and the idle timer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "IPlugin/IMidiMsg.h"
#include "IPlugin/IPluginBase.h"
#include "IPlugin/IPluginConfig.h"
#include "IPlugin/IPluginHosts.h"
#include "IPlugin/IPluginQueue.h"
#include "IPlugin/IPluginTimer.h"
#include "IPlugin/TextString.h"

namespace plugkit {

// A parameter change queued from the processor: index and plain value.
struct ParamTuple
{
  int32_t idx = 0;
  double value = 0.0;
};

class IPluginAPIBase : public IPluginBase
{
public:
  static constexpr int kParamChangeQueueSize = 512;
  static constexpr int kMidiQueueSize = 32;
  static constexpr int kSysExQueueSize = 4;
  static constexpr uint32_t kIdleTimerIntervalMs = 20;
  static constexpr int kMaxNameLength = 128;

  using ParamChangeQueue = IPluginQueue<ParamTuple, kParamChangeQueueSize>;
  using MidiQueue = IPluginQueue<IMidiMsg, kMidiQueueSize>;
  using SysExQueue = IPluginQueue<SysExData, kSysExQueueSize>;

  // Main thread.
  IPluginAPIBase(const Config& config, EAPI plugAPI);
  // Stops the idle timer before anything else goes.
  ~IPluginAPIBase() override;

  // Main thread: whether the current parameter values equal the f64 values stored in data from the
  // startPos-th 8-byte value on (to 32-bit float precision). False when data is too short for them.
  virtual bool CompareState(const uint8_t* data, int dataSize, int startPos) const;
  // Main thread: host requests and queries; the defaults answer neutrally.
  virtual bool OnHostRequestingAboutBox();
  virtual bool OnHostRequestingProductHelp();
  virtual void OnHostIdentified();
  virtual void OnHostRequestingImportantParameters(int count, std::vector<int>& results);
  virtual bool OnHostRequestingSupportedViewConfiguration(int width, int height);
  virtual void OnHostSelectedViewConfiguration(int width, int height);
  virtual bool GetMidiNoteText(int noteNumber, TextString& text) const;
  // Main thread: the open editor's graphics context, if any; none without the graphics layer.
  virtual void* GetAAXViewInterface();
  // Main thread: called by the idle timer after the queues towards the editor are drained.
  virtual void OnIdle();
  // Main thread: what the host said about the track the plug-in sits on.
  virtual void GetTrackColor(int& r, int& g, int& b);
  virtual void GetTrackName(TextString& name);
  virtual int GetTrackIndex();
  virtual void GetTrackNamespace(TextString& name);
  virtual int GetTrackNamespaceIndex();
  // Audio thread: queues a parameter change from the processor (the idle timer does not drain it).
  virtual void SendParameterValueFromAPI(int paramIdx, double value, bool normalized);
  // Main thread.
  virtual void HostSpecificInit();
  // Main thread: asks the host to resize the editor; true when it did.
  virtual bool EditorResize(int width, int height);
  // Main thread: begin edit, perform edit and end edit towards the host.
  virtual void BeginInformHostOfParamChange(int paramIdx);
  virtual void EndInformHostOfParamChange(int paramIdx);
  virtual void InformHostOfParamChange(int paramIdx, double normalizedValue);
  // Audio thread.
  virtual void TransmitMidiMsgFromProcessor(const IMidiMsg& msg);
  virtual void TransmitSysExDataFromProcessor(const SysExData& data);

  // Main thread: an editor change reaches the parameter, the host and the plug-in.
  void SetParameterValue(int paramIdx, double normalizedValue);
  void SendParameterValueFromUI(int paramIdx, double normalizedValue) override;
  void BeginInformHostOfParamChangeFromUI(int paramIdx) override;
  void EndInformHostOfParamChangeFromUI(int paramIdx) override;
  void DirtyParametersFromUI() override;
  bool EditorResizeFromUI(int viewWidth, int viewHeight, bool needsPlatformResize) override;
  void SendMidiMsgFromUI(const IMidiMsg& msg) override;
  void SendSysexMsgFromUI(const ISysEx& msg) override;
  void SendArbitraryMsgFromUI(int msgTag, int ctrlTag = -1, int dataSize = 0, const void* pData = nullptr) override;
  // Main thread: a full queue drops the message; a system-exclusive message over 512 bytes is dropped.
  void DeferMidiMsg(const IMidiMsg& msg) override;
  void DeferSysexMsg(const ISysEx& msg) override;

  // Main thread: stores the host's name and version and identifies it (kHostUnknown when no table
  // text matches); then HostSpecificInit and OnHostIdentified.
  void SetHost(const char* name, int32_t version);
  const char* GetHostName() const { return mHostName.c_str(); }

  // Main thread: (re)creates the 20 ms idle timer, not yet attached to a run loop.
  void CreateTimer();
  Timer* GetTimer() { return mTimer.get(); }
  // Main thread: the idle timer's work.
  void OnTimer(Timer& timer);
  // Main thread: the host binding's own idle work, before the plug-in's OnIdle.
  virtual void OnBindingIdle() {}

  // Any thread.
  const char* GetPluginName() const { return mPluginName.c_str(); }
  const char* GetProductName() const { return mProductName.c_str(); }
  const char* GetMakerName() const { return mMakerName.c_str(); }
  int32_t GetMakerID() const { return mMakerID; }
  EAPI GetAPI() const { return mPlugAPI; }
  // The plug-in format's name ("VST3"); the empty text for an unknown one.
  const char* GetAPIStr() const;
  // The processor architecture the build is for ("x86-64").
  static const char* GetArchStr();
  // Main thread: "v1.3.0 VST3 (x86-64), built on <date> at <hh:mm> " from the build's date and time texts.
  void GetBuildInfoStr(TextString& text, const char* date, const char* time) const;
  bool HasUI() const { return mHasUI; }
  bool GetHostResizeEnabled() const { return mHostResize; }
  const char* GetBundleID() const { return mBundleID.c_str(); }
  const char* GetAppGroupID() const { return mAppGroupID.c_str(); }

  // The queues between the threads. Editor-to-processor queues: main thread pushes, audio thread
  // pops. Processor-to-editor queues: audio thread pushes, the idle timer pops.
  ParamChangeQueue& ParamChangesFromProcessor() { return mParamChangeFromProcessor; }
  MidiQueue& MidiMsgsFromEditor() { return mMidiMsgsFromEditor; }
  MidiQueue& MidiMsgsFromProcessor() { return mMidiMsgsFromProcessor; }
  SysExQueue& SysExDataFromEditor() { return mSysExDataFromEditor; }
  SysExQueue& SysExDataFromProcessor() { return mSysExDataFromProcessor; }

private:
  const std::string mPluginName;
  const std::string mProductName;
  const std::string mMakerName;
  const int32_t mMakerID;
  const EAPI mPlugAPI;
  const bool mHasUI;
  const bool mHostResize;
  const std::string mBundleID;
  const std::string mAppGroupID;
  std::string mHostName;
  std::unique_ptr<Timer> mTimer;

  ParamChangeQueue mParamChangeFromProcessor;
  MidiQueue mMidiMsgsFromEditor;
  MidiQueue mMidiMsgsFromProcessor;
  SysExQueue mSysExDataFromEditor;
  SysExQueue mSysExDataFromProcessor;
};

} // namespace plugkit
