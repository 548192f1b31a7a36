// A small plug-in on the framework bases that records every hook the bases call, for the core tests.
#pragma once

#include <fmt/format.h>

#include <string>
#include <vector>

#include "IPlugin/IPluginAPIBase.h"
#include "IPlugin/IPluginThreadRole.h"

namespace plugkit::test {

inline const char* SourceName(EParamSource source)
{
  switch (source)
  {
  case EParamSource::kReset: return "reset";
  case EParamSource::kHost: return "host";
  case EParamSource::kPresetRecall: return "recall";
  case EParamSource::kUI: return "ui";
  case EParamSource::kDelegate: return "delegate";
  }
  return "?";
}

// Three parameters: 0 a double 0..1, 1 an int -10..10, 2 a double 0..100 stepped by 0.5.
inline Config TestConfig(bool stateChunks = true, int nParams = 3, int nPresets = 4)
{
  Config config;
  config.nParams = nParams;
  config.nPresets = nPresets;
  config.channelIOStr = "1-1 2-2";
  config.pluginName = "Vemlor";
  config.productName = "Vemlor";
  config.makerName = "ZarvoAudio";
  config.version = MakeVersion(1, 3, 0);
  config.uniqueId = MakeFourCC("Vmlr");
  config.makerId = MakeFourCC("ZrvA");
  config.stateChunks = stateChunks;
  config.hasEditor = true;
  config.editorWidth = 940;
  config.editorHeight = 200;
  config.minWidth = 470;
  config.maxWidth = 3760;
  config.minHeight = 100;
  config.maxHeight = 2480;
  return config;
}

class RecordingPlugin : public IPluginAPIBase
{
public:
  explicit RecordingPlugin(const Config& config = TestConfig())
    : IPluginAPIBase(config, kAPIVST3)
  {
    if (NParams() > 0)
      GetParam(0)->InitDouble("gain", 0.5, 0.0, 1.0, 0.001);
    if (NParams() > 1)
      GetParam(1)->InitInt("steps", 0, -10, 10);
    if (NParams() > 2)
      GetParam(2)->InitDouble("amount", 10.0, 0.0, 100.0, 0.5, "%", IParam::kFlagStepped);
  }

  void Record(std::string call) { calls.push_back(std::move(call)); }

  using IPluginAPIBase::OnParamChange;
  void OnParamChange(int idx, EParamSource source, int offset) override
  {
    Record(fmt::format("change {} {} {}", idx, SourceName(source), offset));
  }
  void OnParamChangeUI(int idx, EParamSource source) override
  {
    Record(fmt::format("changeUI {} {}", idx, SourceName(source)));
  }
  void OnRestoreState() override { Record("restore"); }
  void OnPresetsModified() override { Record("presetsModified"); }
  void InformHostOfPresetChange() override { Record("presetChange"); }
  void OnIdle() override { Record("idle"); }
  void OnMidiMsgUI(const IMidiMsg& msg) override
  {
    Record(fmt::format("midi {:02X} {} {} @{}", msg.mStatus, msg.mData1, msg.mData2, msg.mOffset));
  }
  void OnSysexMsgUI(const ISysEx& msg) override
  {
    Record(fmt::format("sysex {} bytes @{} first {}", msg.mSize, msg.mOffset, msg.mSize > 0 ? msg.mData[0] : -1));
  }
  bool OnMessage(int msgTag, int ctrlTag, int dataSize, const void*) override
  {
    Record(fmt::format("message {} {} {}", msgTag, ctrlTag, dataSize));
    return true;
  }
  void HostSpecificInit() override { Record(fmt::format("hostInit {}", GetHost())); }
  void OnHostIdentified() override { Record("hostIdentified"); }
  bool EditorResize(int width, int height) override
  {
    Record(fmt::format("editorResize {} {}", width, height));
    return true;
  }
  void BeginInformHostOfParamChange(int idx) override { Record(fmt::format("beginEdit {}", idx)); }
  void EndInformHostOfParamChange(int idx) override { Record(fmt::format("endEdit {}", idx)); }
  void InformHostOfParamChange(int idx, double normalized) override
  {
    Record(fmt::format("performEdit {} {:.4f}", idx, normalized));
  }

  std::vector<std::string> calls;
};

// Records thread-role violations for its lifetime instead of the default reaction.
class ViolationRecorder
{
public:
  ViolationRecorder()
  {
    mPrevious = SetThreadRoleViolationHandler(&Record);
    Violations().clear();
  }
  ~ViolationRecorder() { SetThreadRoleViolationHandler(mPrevious); }

  static std::vector<std::string>& Violations()
  {
    static std::vector<std::string> violations;
    return violations;
  }

private:
  static void Record(const char* operation) { Violations().emplace_back(operation); }

  ThreadRoleViolationHandler mPrevious;
};

} // namespace plugkit::test
