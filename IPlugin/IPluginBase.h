// What every plug-in has regardless of host: parameters, preset slots, state serialisation and
// preset files in the FXP program-file container.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IPluginConfig.h"
#include "IPlugin/IPluginDelegate.h"

namespace plugkit {

// One preset slot.
struct IPreset
{
  static constexpr int kMaxNameLength = 255;

  bool mInitialized = false;
  std::string mName = "empty";
  IByteChunk mChunk;
};

class IPluginBase : public IPluginDelegate
{
public:
  // Main thread: one parameter per config.nParams, one empty slot per config.nPresets.
  explicit IPluginBase(const Config& config);
  ~IPluginBase() override;

  // Main thread. Hooks a host binding or the product overrides.
  virtual void InformHostOfParameterDetailsChange();
  // Main thread: the plug-in changed parameter values itself; the host's view of every parameter
  // takes the current value and the host is asked to read them again. Returns how many the host
  // held a stale value for (no request when none).
  virtual int InformHostOfParameterValuesChange();
  // Main thread: appends the plug-in's state; the default is SerializeParams.
  virtual bool SerializeState(IByteChunk& chunk) const;
  // Main thread: applies the state read at startPos; returns the position after it, negative on
  // failure. The default is UnserializeParams.
  virtual int UnserializeState(const IByteChunk& chunk, int startPos);
  // Main thread: the host binding's controller-state hooks; the defaults carry nothing.
  virtual bool SerializeVST3CtrlrState(IByteChunk& chunk) const;
  virtual int UnserializeVST3CtrlrState(const IByteChunk& chunk, int startPos);
  virtual void InformHostOfPresetChange();
  virtual void OnPresetsModified();

  // Main thread: each parameter's plain value as a little-endian f64, in index order.
  bool SerializeParams(IByteChunk& chunk) const;
  // Main thread: the position after the values, or -1 when the chunk ends first (the parameters read
  // so far keep their new values). OnParamReset(preset recall) follows in every case.
  int UnserializeParams(const IByteChunk& chunk, int startPos);

  // Main thread: fills the first slot not yet initialised; nothing when every slot is.
  void MakePresetFromChunk(const char* name, const IByteChunk& chunk);
  // Main thread: applies an initialised slot, or fills a fresh one ("user preset N") from the current
  // state; then makes it current. False for an index outside the slots or a failed read or write.
  bool RestorePreset(int idx);
  // Main thread: the slot's name; the empty text for an index outside the slots.
  const char* GetPresetName(int idx) const;
  const IPreset* GetPreset(int idx) const;
  int NPresets() const { return static_cast<int>(mPresets.size()); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }

  // Main thread: writes the current state as an FXP file; true when the whole file was written. An
  // existing file is replaced only by a complete new one.
  bool SavePresetAsFXP(const char* path) const;
  // Main thread: true when a state or a parameter list from the file was applied. A file that is
  // rejected changes nothing.
  bool LoadStateFromFXP(const char* path);

  // Any thread.
  int32_t GetUniqueID() const { return mUniqueID; }
  // Packed 0xMMMMmmpp, or major * 10000 + minor * 100 + patch when decimal.
  int32_t GetPluginVersion(bool decimal) const;
  bool DoesStateChunks() const { return mStateChunks; }
  // -1 until the host is identified.
  int GetHost() const { return mHost; }
  int32_t GetHostVersion() const { return mHostVersion; }

  // Main thread: distinct non-empty group names, in the order the host binding met them.
  std::vector<std::string>& GetParamGroups() { return mParamGroups; }
  const std::vector<std::string>& GetParamGroups() const { return mParamGroups; }

protected:
  // Main thread, by the host-API base once it knows the host.
  void SetHostIdentity(int host, int32_t version)
  {
    mHost = host;
    mHostVersion = version;
  }

private:
  std::vector<IPreset> mPresets;
  int mCurrentPresetIdx = 0;
  const bool mStateChunks;
  const int32_t mUniqueID;
  const int32_t mVersion;
  int mHost = -1;
  int32_t mHostVersion = 0;
  std::vector<std::string> mParamGroups;
};

} // namespace plugkit
