// Undo and patch identity as the morph field reaches them: the preset manager's history and browse
// list, and the plug-in's factory presets.
#pragma once

#include <string>

#include "utils/morph/morph_host.h"

namespace plugkit {
class IPluginBase;
} // namespace plugkit

namespace zarvo {

class PresetManager;

// Main thread. Before a preset manager is attached it reports none, and the morph field calls only
// the operations that serve a plug-in without one.
class PresetPatchHistory final : public morph::IPatchHistory
{
public:
  // The plug-in's preset bank holds the factory presets' chunks.
  explicit PresetPatchHistory(const plugkit::IPluginBase& presets)
    : mPresets(presets)
  {}
  void attach(PresetManager& manager) { mManager = &manager; }

  bool putPatchIdentity(plugkit::IByteChunk& chunk, const morph::PatchIdentity& identity) const override;
  int getPatchIdentity(const plugkit::IByteChunk& chunk, int pos, morph::PatchIdentity& out) const override;
  bool hasPresetManager() const override { return mManager != nullptr; }
  void pushUndo() override;
  void captureBaseline() override;
  void setCurrentListIndex(int listIndex) override;
  morph::PatchIdentity currentIdentity() const override;
  morph::PatchIdentity identityForListIndex(int listIndex) const override;
  int undoDepth() const override;
  void setMorphSessionMark(int depth) override;
  void commitFromState(const plugkit::IByteChunk& before, int depth) override;
  void trimUndoTo(int depth) override;
  void selectIdentity(const morph::PatchIdentity& identity) override;
  bool presetListEntry(int listIndex, std::string& path, plugkit::IByteChunk& chunk) const override;

private:
  const plugkit::IPluginBase& mPresets;
  PresetManager* mManager = nullptr;
};

} // namespace zarvo
