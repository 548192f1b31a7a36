// The morph controller's host for tests: the product's real parameter table, the preset manager's
// real identity format, a plug-in state of all parameter values plus the morph section, preset files
// in the real container, and recorders for what the controller asks of the editor, the preset
// manager, the randomizer, the clipboard and the file dialog.
#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "IPlugin/IPluginConfig.h"
#include "product/VemlorConfig.h"
#include "product/dsp/morph_pass_shapes.h"
#include "product/params/param_init.h"
#include "product/params/rig_param_naming.h"
#include "product/patch/preset_manager.h"
#include "product/patch/randomizer.h"
#include "utils/midi_cc/mapper.h"
#include "utils/midi_cc/mapper_serializer.h"
#include "tests/support/distinct_field.h"
#include "utils/morph/morph_controller.h"

namespace morph_test {

using namespace zarvo::morph;
using EFileContent = zarvo::IEditorServices::EFileContent;

// A state chunk as the plug-in writes it, up to the parameters: version word, controller map,
// modulation records, then (stable id, plain value) per parameter.
inline plugkit::IByteChunk stateChunkOfIds(const std::vector<std::pair<uint32_t, double>>& entries)
{
  plugkit::IByteChunk c;
  c.Put(int32_t{0x00010300});
  zarvo::midi_cc::mapper_serializer::serialize(zarvo::midi_cc::Mapper(), c);
  c.Put(int32_t{0});
  c.Put(static_cast<double>(entries.size()));
  for (const auto& [id, value] : entries)
  {
    c.Put(id);
    c.Put(value);
  }
  return c;
}

inline plugkit::IByteChunk stateChunkOf(const std::vector<std::pair<int, double>>& params)
{
  std::vector<std::pair<uint32_t, double>> entries;
  for (const auto& [index, value] : params)
    entries.push_back({zarvo::stableIdOf(index), value});
  return stateChunkOfIds(entries);
}

inline void putBigEndian(plugkit::IByteChunk& c, uint32_t v)
{
  const uint8_t bytes[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
  c.PutBytes(bytes, 4);
}

// A preset file in the program-file container holding a state chunk.
inline plugkit::IByteChunk presetFileOf(const plugkit::IByteChunk& state,
                                        int32_t uniqueId = zarvo::kVemlorConfig.uniqueId)
{
  plugkit::IByteChunk f;
  putBigEndian(f, static_cast<uint32_t>(plugkit::MakeFourCC("CcnK")));
  putBigEndian(f, static_cast<uint32_t>(state.Size() + 68));
  putBigEndian(f, static_cast<uint32_t>(plugkit::MakeFourCC("FPCh")));
  putBigEndian(f, 1);
  putBigEndian(f, static_cast<uint32_t>(uniqueId));
  putBigEndian(f, 10300);
  putBigEndian(f, zarvo::kNumParams);
  const char name[28] = {};
  f.PutBytes(name, 28);
  putBigEndian(f, static_cast<uint32_t>(state.Size() + 8));
  putBigEndian(f, static_cast<uint32_t>(plugkit::MakeFourCC("tffp")));
  f.Put(int32_t{0x00010000});
  f.PutChunk(state);
  return f;
}

class FakeMorphHost : public IMorphParams,
                      public IPatchHistory,
                      public IMorphEditor,
                      public zarvo::IEditorServices,
                      public IPluginStates,
                      public IPatchGenerator
{
public:
  FakeMorphHost()
  {
    for (int i = 0; i < zarvo::kNumParams; ++i)
      zarvo::initParam(mParams[static_cast<size_t>(i)], i);
  }

  plugkit::IParam& param(int index) override { return mParams.at(static_cast<size_t>(index)); }
  const plugkit::IParam& param(int index) const override { return mParams.at(static_cast<size_t>(index)); }

  bool putPatchIdentity(plugkit::IByteChunk& chunk, const PatchIdentity& identity) const override
  {
    return zarvo::PresetManager::putPatchIdentity(chunk, identity);
  }
  int getPatchIdentity(const plugkit::IByteChunk& chunk, int pos, PatchIdentity& out) const override
  {
    return zarvo::PresetManager::getPatchIdentity(chunk, pos, out);
  }

  // ---- editor
  bool editorOpen() const override { return editorIsOpen; }
  void pushParamsToEditor() override { calls.push_back("pushParams"); }
  void markControlsDirty() override { calls.push_back("dirty"); }
  void raiseLayoutUpdate() override { ++layoutUpdates; }
  void driveControls(int index, std::optional<double> normalized, bool disabled) override
  {
    driven[index] = {normalized, disabled};
  }

  // ---- parameters as the editor changes them: the value, then the plug-in's handler
  void editParamFromEditor(int index, double normalized) override
  {
    edits.push_back({index, normalized});
    param(index).SetNormalized(normalized);
    if (onEditorEdit)
      onEditorEdit(index);
  }
  bool heldByController(int index) const override { return held.count(index) > 0; }
  bool cutoffFollowsNotes(int index) const override { return followingNotes.count(index) > 0; }

  // ---- preset manager
  bool hasPresetManager() const override { return withPresetManager; }
  void pushUndo() override { calls.push_back("pushUndo"); }
  void captureBaseline() override { calls.push_back("captureBaseline"); }
  void setCurrentListIndex(int listIndex) override { calls.push_back("listIndex " + std::to_string(listIndex)); }
  PatchIdentity currentIdentity() const override { return current; }
  PatchIdentity identityForListIndex(int listIndex) const override
  {
    return listIndex >= 0 && listIndex < 100 ? PatchIdentity{1, "Preset " + std::to_string(listIndex), listIndex, false}
                                             : PatchIdentity{};
  }
  int undoDepth() const override { return depth; }
  void setMorphSessionMark(int mark) override { calls.push_back("sessionMark " + std::to_string(mark)); }
  void commitFromState(const plugkit::IByteChunk& before, int atDepth) override
  {
    calls.push_back("commitFromState " + std::string(before.Size() > 0 ? "state" : "empty") + " " +
                    std::to_string(atDepth));
  }
  void trimUndoTo(int atDepth) override { calls.push_back("trimUndoTo " + std::to_string(atDepth)); }
  void selectIdentity(const PatchIdentity& identity) override
  {
    calls.push_back("selectIdentity " + identity.name + (identity.modified ? " modified" : ""));
  }
  bool presetListEntry(int listIndex, std::string& path, plugkit::IByteChunk& chunk) const override
  {
    const auto it = listEntries.find(listIndex);
    if (it == listEntries.end())
      return false;
    path = it->second.first;
    chunk = it->second.second;
    return true;
  }

  // ---- whole states: every parameter's plain value, the editor state, then the morph section
  bool serializePluginState(plugkit::IByteChunk& chunk) const override
  {
    for (const plugkit::IParam& p : mParams)
      chunk.Put(p.Value());
    chunk.Put(editorValue);
    return controller && controller->serializeMorphState(chunk);
  }
  int unserializePluginState(const plugkit::IByteChunk& chunk, int pos) override
  {
    for (plugkit::IParam& p : mParams)
    {
      double v = 0.0;
      if ((pos = chunk.Get(v, pos)) < 0)
        return -1;
      p.Set(v);
    }
    if ((pos = chunk.Get(editorValue, pos)) < 0)
      return -1;
    return controller ? controller->unserializeMorphState(chunk, pos) : pos;
  }
  bool serializeEditorState(plugkit::IByteChunk& chunk) const override { return chunk.Put(editorValue) > 0; }
  int unserializeEditorState(const plugkit::IByteChunk& chunk, int pos) override { return chunk.Get(editorValue, pos); }
  bool savePresetFile(const std::string& path) const override;

  // ---- randomizer: patch k sets the drive to k / 100 and the main cutoff anchoring on
  zarvo::ParamValueMap generatePatch() override
  {
    ++generated;
    return {{zarvo::par_main_drive, generated / 100.0}, {zarvo::par_main_cutoff_note_anchored, 1.0}};
  }
  zarvo::ParamValueMap mutatePatch(zarvo::Randomizer::MutationSession&,
                                   const zarvo::Randomizer::Getter& current) override
  {
    ++mutated;
    return {{zarvo::par_main_drive, current(zarvo::par_main_drive) * 0.5}};
  }
  void recordRandomized(zarvo::Randomizer::MutationSession& session, const zarvo::Randomizer::Getter& current) override
  {
    session.base = {{zarvo::par_main_drive, current(zarvo::par_main_drive)}};
  }
  void recordMutated(zarvo::Randomizer::MutationSession& session, const zarvo::Randomizer::Getter& current) override
  {
    session.history.push_back({{zarvo::par_main_drive, current(zarvo::par_main_drive)}});
  }
  StarterPresets starterPresets() const override { return {starterParams, starterIndices}; }

  // ---- clipboard, file dialog and file messages
  bool getClipboardText(std::string& text) override
  {
    if (!clipboard)
      return false;
    text = *clipboard;
    return true;
  }
  bool setClipboardText(const std::string& text) override
  {
    clipboard = text;
    return true;
  }
  // "save <name> .<extension>", with " in <folder>" when the caller names a folder.
  void promptForFile(const std::string& fileName, const std::string& folder, EFileAction action,
                     const std::string& extension, FileCompletion completion) override
  {
    dialogs.push_back((action == EFileAction::Save ? "save " : "open ") + fileName + " ." + extension +
                      (folder.empty() ? "" : " in " + folder));
    pendingChoice = std::move(completion);
  }
  void reportFileResult(plugkit::EFileResult result, EFileContent content) override
  {
    fileResults.push_back(result);
    fileContents.push_back(content);
  }
  // The user picks a file in the open dialog.
  void choose(const std::string& path)
  {
    FileCompletion done = std::move(pendingChoice);
    pendingChoice = nullptr;
    if (done)
      done(path, {});
  }

  MorphController* controller = nullptr;
  bool editorIsOpen = false;
  bool withPresetManager = false;
  int depth = 0;
  PatchIdentity current;
  int layoutUpdates = 0;
  int32_t editorValue = 0;
  int generated = 0;
  int mutated = 0;
  std::set<int> held;
  std::set<int> followingNotes;
  std::vector<std::string> calls;
  std::vector<std::pair<int, double>> edits;
  std::function<void(int)> onEditorEdit;
  std::map<int, std::pair<std::optional<double>, bool>> driven;
  std::map<int, std::pair<std::string, plugkit::IByteChunk>> listEntries;
  std::vector<zarvo::ParamValueMap> starterParams;
  std::vector<int32_t> starterIndices;
  std::optional<std::string> clipboard;
  std::vector<std::string> dialogs;
  std::vector<plugkit::EFileResult> fileResults;
  std::vector<EFileContent> fileContents;
  FileCompletion pendingChoice;
  // The parameters' plain values at the last preset-file write.
  mutable std::vector<double> savedParams;

private:
  std::array<plugkit::IParam, zarvo::kNumParams> mParams;
};

// A preset file of the current parameters, as the plug-in's writer makes it.
inline bool FakeMorphHost::savePresetFile(const std::string& path) const
{
  std::vector<std::pair<int, double>> values;
  savedParams.clear();
  for (int i = 0; i < zarvo::kNumParams; ++i)
  {
    values.push_back({i, param(i).Value()});
    savedParams.push_back(param(i).Value());
  }
  const plugkit::IByteChunk file = presetFileOf(stateChunkOf(values));
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f)
    return false;
  const bool ok =
    std::fwrite(file.GetData(), 1, static_cast<size_t>(file.Size()), f) == static_cast<size_t>(file.Size());
  return std::fclose(f) == 0 && ok;
}

// Every row of every point set to a distinct in-range value, points at distinct spots.
using vemlor_test::fillDistinctField;

} // namespace morph_test
