// The plug-in's state chunk: the version word, then the controller map, the controller modulation
// settings, the parameters by stable id, the editor state, the morph field and the patch identity.
#pragma once

#include <cstdint>

#include "IPlugin/IPluginConfig.h"
#include "utils/morph/morph_host.h"

namespace plugkit {
class IByteChunk;
class IParam;
} // namespace plugkit

namespace zarvo {

class CCModSettings;
class PresetManager;
class VemlorStateCodec;

namespace midi_cc {
class Mapper;
} // namespace midi_cc

namespace morph {
class MorphController;
} // namespace morph

// What the state chunk reaches of the plug-in beyond the sections' owners. Main thread.
class StateHost
{
public:
  virtual ~StateHost() = default;

  // Parameter 0 to 78, or none.
  virtual plugkit::IParam* stateParam(int index) = 0;
  // None while the plug-in is being built.
  virtual PresetManager* presetManager() = 0;
  // The controller map and the modulation settings were replaced: the learnable controls and the
  // note-mode controller's controller numbers follow the map.
  virtual void controllerSectionsRestored() = 0;
  // A parameter holds its restored value: the parameter-change handlers, with the preset-recall source.
  virtual void announceRestoredParam(int index) = 0;

  // ---- after a host restore
  // The normalised value to the editor's controls.
  virtual void sendParamToEditor(int index, double normalized) = 0;
  // Every control of an open editor is redrawn; nothing without one.
  virtual void markEditorDirty() = 0;
};

// Main thread. Reading validates the whole chunk before it applies anything, so a chunk that fails
// to read changes nothing.
class StateChunk
{
public:
  static constexpr uint32_t kVersion = static_cast<uint32_t>(plugkit::MakeVersion(1, 3, 0));
  // Chunks of a later major version have a layout this reader does not know.
  static constexpr uint32_t kMaxMajorVersion = 1;
  static constexpr int kMaxStoredParams = 1024;
  static constexpr int kParamEntrySize = 4 + 8;

  // morphServices are those the morph controller was made with; the reader checks morph sections
  // with a scratch controller on them.
  StateChunk(StateHost& host, midi_cc::Mapper& mapper, CCModSettings& ccMod, VemlorStateCodec& codec,
             morph::MorphController& morph, const morph::MorphServices& morphServices);
  StateChunk(const StateChunk&) = delete;
  StateChunk& operator=(const StateChunk&) = delete;

  // Appends the whole chunk. True when every section was written; bytes appended stay either way.
  bool serializeState(plugkit::IByteChunk& chunk) const;
  // Reads a chunk that begins at pos: the position after the last byte consumed, or a negative value
  // (then nothing changed). A chunk may end after the editor state or after the morph field.
  int unserializeState(const plugkit::IByteChunk& chunk, int pos);

  // After the binding restored the host's state: the editor, the undo history and the morph session
  // follow the restored parameters.
  void onRestoreState();

  // The controller part of undo snapshots: the map's section, then the modulation section.
  void serializeControllerPart(plugkit::IByteChunk& chunk) const;
  // Reads both from the chunk's start; false (nothing changed) when either does not read.
  bool unserializeControllerPart(const plugkit::IByteChunk& chunk);

private:
  StateHost& mHost;
  midi_cc::Mapper& mMapper;
  CCModSettings& mCCMod;
  VemlorStateCodec& mCodec;
  morph::MorphController& mMorph;
  const morph::MorphServices mMorphServices;
};

} // namespace zarvo
