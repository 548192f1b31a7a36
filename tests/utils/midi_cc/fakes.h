// Test doubles for the controller map: a host plug-in with a few real parameters, recording
// learnable controls and recording editor services (clipboard, file dialog, file messages).
#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <fmt/format.h>

#include "IPlugin/IPluginParameter.h"
#include "utils/editor_services.h"
#include "utils/midi_cc/cc_map_host.h"
#include "utils/midi_cc/controllable.h"
#include "utils/midi_cc/mapper.h"

namespace midi_cc_test {

using zarvo::midi_cc::IControllable;
using zarvo::midi_cc::MappingTable;
using zarvo::midi_cc::ParamCCMapping;

// Groups mappings into a table by their CC number, keeping their order.
inline MappingTable tableOf(std::initializer_list<ParamCCMapping> mappings)
{
  MappingTable table;
  for (const ParamCCMapping& m : mappings)
    table[m.cc].push_back(m);
  return table;
}

struct FakeControl final : IControllable
{
  explicit FakeControl(int param)
    : paramIdx(param)
  {}

  void setCCNumber(int value) override { cc = value; }
  void clearCCNumber() override
  {
    cc = -1;
    min = 0.0;
    max = 1.0;
  }
  void setParamMinMax(double lo, double hi) override
  {
    min = lo;
    max = hi;
  }
  void setModDepth(double) override {}
  void setModBipolar(bool) override {}
  void setModLiveValue(double) override {}
  void setModeDisplay(int) override {}
  void setModeLocked(bool) override {}
  bool isAuthoringDepth() const override { return false; }
  void setLearning(bool value) override { learning = value; }
  void setPresenceDotOffset(float, float) override {}

  int paramIdx;
  int cc = -1;
  double min = 0.0;
  double max = 1.0;
  bool learning = false;
};

// Parameters: 0 a plain 0..1 value, 1 an integer 0..4, 2 a frequency 20..20000 Hz on an
// exponential shape, 3 a 0..10 amount. Parameters 2 and 3 have modulation slots 0 and 1.
class FakePlugin final : public zarvo::midi_cc::ICCMapHost
{
public:
  static constexpr int kNumParams = 4;

  FakePlugin()
  {
    mParams[0].InitDouble("Mix", 0.0, 0.0, 1.0, 0.001);
    mParams[1].InitInt("Stages", 0, 0, 4);
    mParams[2].InitDouble("Cutoff", 1000.0, 20.0, 20000.0, 0.01, "Hz", 0, "", plugkit::IParam::ShapeExp());
    mParams[3].InitDouble("Drive", 0.0, 0.0, 10.0, 0.01);
  }

  plugkit::IParam* GetParam(int idx) { return idx >= 0 && idx < kNumParams ? &mParams[idx] : nullptr; }
  plugkit::IParam* param(int idx) override { return GetParam(idx); }

  int ccModeOf(int idx) const override { return ccMode[idx]; }
  int modSlotOf(int idx) const override { return idx == 2 ? 0 : idx == 3 ? 1 : -1; }
  void setModLiveValue(int slot, double value) override { liveValue[slot] = value; }
  void onControllerParamChange(int idx, int sampleOffset) override
  {
    audioChanges.push_back(fmt::format("{}@{}", idx, sampleOffset));
  }

  void beginHostEdit(int idx) override { hostCalls.push_back(fmt::format("begin {}", idx)); }
  void informHostOfEdit(int idx, double v) override { hostCalls.push_back(fmt::format("perform {} {:.4f}", idx, v)); }
  void endHostEdit(int idx) override { hostCalls.push_back(fmt::format("end {}", idx)); }
  void sendValueToControls(int idx, double v) override
  {
    hostCalls.push_back(fmt::format("controls {} {:.4f}", idx, v));
  }

  bool isEditorOpen() const override { return editorOpen; }
  void forEachControllable(const ControllableFunc& f) override
  {
    for (FakeControl& c : controls)
      f(c, c.paramIdx);
  }
  IControllable* firstControllableForParam(int idx) override
  {
    for (FakeControl& c : controls)
    {
      if (c.paramIdx == idx)
        return &c;
    }
    return nullptr;
  }
  void redrawMorphPad() override { ++morphPadRedraws; }
  bool isFrequencyModSlot(int) const override { return false; }
  void onDisabledControlInteraction(int) override {}

  std::array<int, kNumParams> ccMode{};
  std::array<double, 2> liveValue{-1.0, -1.0};
  std::vector<std::string> audioChanges;
  std::vector<std::string> hostCalls;
  bool editorOpen = true;
  std::vector<FakeControl> controls;
  int morphPadRedraws = 0;

private:
  std::array<plugkit::IParam, kNumParams> mParams;
};

// Clipboard, file dialog and file messages; a dialog completes only when the test says so.
class FakeEditorServices final : public zarvo::IEditorServices
{
public:
  bool getClipboardText(std::string& text) override
  {
    if (!editorOpen || !hasClipboardText)
      return false;
    text = clipboard;
    return true;
  }
  bool setClipboardText(const std::string& text) override
  {
    if (!editorOpen)
      return false;
    clipboard = text;
    hasClipboardText = true;
    return true;
  }
  void promptForFile(const std::string& fileName, const std::string& folder, EFileAction action,
                     const std::string& extension, FileCompletion completion) override
  {
    prompts.push_back(
      fmt::format("{} '{}' in '{}' *.{}", action == EFileAction::Save ? "save" : "open", fileName, folder, extension));
    // A closed editor shows no dialog: cancelled at once.
    if (!editorOpen)
      completion({}, {});
    else
      pending = std::move(completion);
  }
  void reportFileResult(plugkit::EFileResult result, EFileContent content) override
  {
    reports.push_back({result, content});
  }

  void completeDialog(const std::string& path) { pending(path, {}); }

  bool editorOpen = true;
  std::string clipboard;
  bool hasClipboardText = false;
  std::vector<std::string> prompts;
  FileCompletion pending;
  std::vector<std::pair<plugkit::EFileResult, EFileContent>> reports;
};

} // namespace midi_cc_test
