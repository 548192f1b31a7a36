// What every plug-in has regardless of host: parameters, preset slots, state serialisation and
// preset files in the FXP program-file container.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IPluginConfig.h"
#include "IPlugin/IPluginEditorDelegate.h"
#include "IPlugin/IPluginParameter.h"

namespace plugkit {

// One preset slot.
struct IPreset
{
  static constexpr int kMaxNameLength = 255;

  bool mInitialized = false;
  std::string mName = "empty";
  IByteChunk mChunk;
};

class IPluginBase : public virtual IEditorDelegate
{
public:
  // Preset files larger than this are not read: far above any state chunk of a plug-in of this framework.
  static constexpr int kMaxPresetFileBytes = 16 * 1024 * 1024;

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
  int32_t GetHostVersion(bool decimal = false) const;
  // Main thread: "v1.3.0".
  void GetPluginVersionStr(TextString& text) const;
  void GetHostVersionStr(TextString& text) const;

  // Main thread: distinct non-empty group names, in the order the host binding met them.
  std::vector<std::string>& GetParamGroups() { return mParamGroups; }
  const std::vector<std::string>& GetParamGroups() const { return mParamGroups; }

  // Operations over ranges and groups of parameters; main thread. Ranges are inclusive at both ends;
  // indices outside the parameter list are skipped.
  // Names each parameter from nameFmt with an integer that counts up from countStart.
  void InitParamRange(int startIdx, int endIdx, int countStart, const char* nameFmt, double defaultValue, double minVal,
                      double maxVal, double step, const char* label = "", int flags = 0, const char* group = "",
                      const IParam::Shape& shape = IParam::ShapeLinear(), IParam::EParamUnit unit = IParam::kUnitCustom,
                      IParam::DisplayFunc displayFunc = nullptr);
  // Parameters from startIdx on become copies of cloneStartIdx..cloneEndIdx (IParam::Init), values included.
  void CloneParamRange(int cloneStartIdx, int cloneEndIdx, int startIdx, const char* searchStr = "",
                       const char* replaceStr = "", const char* newGroup = "");
  void CopyParamValues(int startSrcIdx, int startDestIdx, int nToCopy);
  // The n-th parameter of outGroup takes the value of the n-th of inGroup, for as many as both have.
  void CopyParamValues(const char* inGroup, const char* outGroup);
  void ForParamInRange(int startIdx, int endIdx, const std::function<void(int, IParam&)>& func);
  void ForParamInGroup(const char* group, const std::function<void(int, IParam&)>& func);
  void DefaultParamValues();
  void DefaultParamValues(int startIdx, int endIdx);
  void DefaultParamValues(const char* group);
  // A value from the unseeded rand(), through the shape, on the step and within the range.
  void RandomiseParamValues();
  void RandomiseParamValues(int startIdx, int endIdx);
  void RandomiseParamValues(const char* group);
  // Visits every parameter with its detail printer, which writes nothing.
  void PrintParamValues();

  // Preset making; main thread. Each fills the first uninitialised slot and does nothing when none is left.
  // Slots named name (null: "Empty") holding the current state, nPresets times.
  void MakeDefaultPreset(const char* name = nullptr, int nPresets = 1);
  // One value per parameter in index order (integers or floating-point numbers); parameters beyond
  // the values given keep their current value.
  template <typename... Values>
  void MakePreset(const char* name, Values... values)
  {
    static_assert((std::is_arithmetic_v<Values> && ...), "preset values are numbers");
    const double list[] = {0.0, static_cast<double>(values)...};
    MakePresetFromValues(name, std::span<const double>(list + 1, sizeof...(values)));
  }
  void MakePresetFromValues(const char* name, std::span<const double> values);
  // nParamsNamed pairs of (parameter index, value); parameters not named keep their current value.
  template <typename... Pairs>
  void MakePresetFromNamedParams(const char* name, int nParamsNamed, Pairs... pairs)
  {
    static_assert(sizeof...(pairs) % 2 == 0, "index and value pairs");
    static_assert((std::is_arithmetic_v<Pairs> && ...), "indices and values are numbers");
    const double list[] = {0.0, static_cast<double>(pairs)...};
    std::vector<std::pair<int, double>> named;
    for (size_t i = 0; i + 1 < sizeof...(pairs) && static_cast<int>(named.size()) < nParamsNamed; i += 2)
      named.emplace_back(static_cast<int>(list[1 + i]), list[2 + i]);
    MakePresetFromNamedValues(name, named);
  }
  void MakePresetFromNamedValues(const char* name, std::span<const std::pair<int, double>> named);
  // The slot's state is blob decoded as Base64 into sizeOfChunk bytes (zero beyond the text).
  void MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  // Every uninitialised slot becomes "Empty" with the current state.
  void EnsureDefaultPreset();
  void PruneUninitializedPresets();
  // Restores the first slot with exactly this name; false for none or an empty name.
  bool RestorePreset(const char* name);
  // The current slot takes the current state, and name when given.
  void ModifyCurrentPreset(const char* name = nullptr);

  // Source text that recreates the current preset; main thread.
  std::string GetPresetSrc() const;
  std::string GetPresetFromNamedParamsSrc(const std::function<std::string(int)>& nameOfIdx) const;
  std::string GetPresetBlobSrc() const;
  // Append the text to the file; false when it cannot be written (the file is then unchanged).
  bool DumpMakePresetSrc(const char* path) const;
  bool DumpMakePresetFromNamedParamsSrc(const char* path, const std::function<std::string(int)>& nameOfIdx) const;
  bool DumpPresetBlob(const char* path) const;

  // Preset banks and program files; main thread. Readers only answer true or false.
  // Per slot: the name, the initialised flag and, for an initialised slot, its state.
  bool SerializePresets(IByteChunk& chunk) const;
  // Reads slots until one fails (the slots before it keep what was read), then restores the current
  // preset; the position after the list, or -1.
  int UnserializePresets(const IByteChunk& chunk, int startPos);
  // A chunk bank when the plug-in does state chunks, else a parameter bank; false when the file
  // could not be written (an existing file is then untouched).
  bool SaveBankAsFXB(const char* path) const;
  // False for a file of another plug-in or form, or a damaged one. A file rejected in its header
  // changes nothing; a later failure keeps the slots read before it.
  bool LoadBankFromFXB(const char* path);
  // Loads a program file into the current slot; a rejected file changes nothing.
  bool LoadPresetFromFXP(const char* path);

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
