// The factory presets: their definitions, how a preset slot is made from one, the starter list and
// the random starter choice of a new instance.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "IPlugin/IByteChunk.h"
#include "product/patch/randomizer.h"

namespace zarvo {

class PresetManager;

// One value of a factory preset.
struct PresetParamValue
{
  uint32_t index; // EParams
  double value;   // plain, in the parameter's own unit
};

// Parameters a preset does not list keep their default.
struct FactoryPresetDef
{
  const char* name;
  bool starter;
  std::span<const PresetParamValue> values;
};

inline constexpr int kNumFactoryPresets = 73;

// The factory presets in slot order. Any thread (constant data).
std::span<const FactoryPresetDef> factoryPresetDefs();

// Fills the plug-in's next free preset slot with its state after applying the values to its
// current parameters (stepped values rounded, all clamped, indices beyond the parameters ignored),
// then puts every parameter back. Returns whether the state serialised. Main thread.
template <class Plugin>
bool makeChunkPreset(Plugin& plugin, const char* name, std::span<const PresetParamValue> values)
{
  const int count = plugin.NParams();
  std::vector<double> saved(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    saved[static_cast<size_t>(i)] = plugin.GetParam(i)->Value();
  for (const PresetParamValue& entry : values)
    if (entry.index < static_cast<uint32_t>(count))
      plugin.GetParam(static_cast<int>(entry.index))->Set(entry.value);
  plugkit::IByteChunk chunk;
  const bool serialized = plugin.SerializeState(chunk);
  plugin.MakePresetFromChunk(name, chunk);
  for (int i = 0; i < count; ++i)
    plugin.GetParam(i)->Set(saved[static_cast<size_t>(i)]);
  return serialized;
}

// The plug-in's factory presets as defined: slot count and the starter presets. Main thread,
// inside the plug-in's constructor (the presets are made from the defaults).
class FactoryPresets
{
public:
  template <class Plugin>
  void preset(Plugin& plugin, const char* name, std::span<const PresetParamValue> values)
  {
    makeChunkPreset(plugin, name, values);
    ++mPresetCount;
  }

  template <class Plugin>
  void starterPreset(Plugin& plugin, const char* name, std::span<const PresetParamValue> values)
  {
    mStarterIndices.push_back(mPresetCount);
    ParamValueMap params;
    for (const PresetParamValue& entry : values)
      params.emplace(static_cast<int>(entry.index), entry.value); // a repeated index keeps its first value
    mStarterParams.push_back(std::move(params));
    preset(plugin, name, values);
  }

  // Defines every factory preset, in slot order.
  template <class Plugin>
  void initPresets(Plugin& plugin)
  {
    for (const FactoryPresetDef& def : factoryPresetDefs())
    {
      if (def.starter)
        starterPreset(plugin, def.name, def.values);
      else
        preset(plugin, def.name, def.values);
    }
  }

  // Steps the manager to a starter preset chosen at random (an undo step from the patch before);
  // nothing without starters or without a manager.
  void applyRandomStarterPreset(PresetManager* manager) const;

  int presetCount() const { return mPresetCount; }
  // Slot index of each starter, in definition order.
  const std::vector<int32_t>& starterIndices() const { return mStarterIndices; }
  // Parallel to starterIndices: each starter's values.
  const std::vector<ParamValueMap>& starterParams() const { return mStarterParams; }

private:
  int32_t mPresetCount = 0;
  std::vector<int32_t> mStarterIndices;
  std::vector<ParamValueMap> mStarterParams;
};

} // namespace zarvo
