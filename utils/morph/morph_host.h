// What the morph field needs of the plug-in that builds it, as narrow services.
#pragma once

#include <concepts>
#include <optional>
#include <span>
#include <string>

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IPluginParameter.h"
#include "utils/editor_services.h"
#include "utils/mutation_session.h"
#include "utils/param_edits.h"
#include "utils/patch_identity.h"

namespace zarvo::morph {

using PatchIdentity = zarvo::PatchIdentity;

// The services the morph field needs of the plug-in, each small enough to hand to a part (a widget,
// a controller) on its own. Main thread, except `param`, whose constant data (shape, step,
// range) the audio thread reads. Operations with defaults serve a plug-in without that part (no
// editor, no preset manager, no randomizer): they do nothing, return false, empty or nothing found.

// The plug-in's parameters: reading them, and changing them as the plug-in and the editor do.
class IMorphParams
{
public:
  virtual ~IMorphParams() = default;

  // Index 0..78.
  virtual plugkit::IParam& param(int index) = 0;
  virtual const plugkit::IParam& param(int index) const = 0;

  // The plug-in's parameters as the plug-in changes them itself; none for a part used alone.
  virtual ParamEdits* paramEdits() { return nullptr; }
  // One editor edit: begin the gesture, send the normalised value (host informed, parameter-change
  // handler called), end it.
  virtual void editParamFromEditor(int /*index*/, double /*normalized*/) {}
  // A MIDI controller holds the parameter in absolute mode, so the field does not drive it.
  virtual bool heldByController(int /*index*/) const { return false; }
  // The filter of this cutoff parameter follows MIDI notes.
  virtual bool cutoffFollowsNotes(int /*index*/) const { return false; }
};

// Undo and patch identity: the preset manager's history and browse list.
class IPatchHistory
{
public:
  virtual ~IPatchHistory() = default;

  // A patch identity in its chunk form (the preset manager's writer and reader).
  virtual bool putPatchIdentity(plugkit::IByteChunk& chunk, const PatchIdentity& identity) const = 0;
  // The position after the record, or pos itself when nothing was read.
  virtual int getPatchIdentity(const plugkit::IByteChunk& chunk, int pos, PatchIdentity& out) const = 0;

  // When absent the other operations are never called.
  virtual bool hasPresetManager() const = 0;
  virtual void pushUndo() = 0;
  virtual void captureBaseline() = 0;
  virtual void setCurrentListIndex(int listIndex) = 0;

  virtual PatchIdentity currentIdentity() const { return {}; }
  // The identity of a browse-list entry; the empty identity for an index outside the list.
  virtual PatchIdentity identityForListIndex(int /*listIndex*/) const { return {}; }
  // Entries on the undo stack.
  virtual int undoDepth() const { return 0; }
  // The undo depth at which the morph session opened; 0 when none is open.
  virtual void setMorphSessionMark(int /*depth*/) {}
  // Drops undo entries above depth, pushes `before` (when not empty) as one step, clears redo,
  // unselects the list entry, clears modified and takes the current state as the baseline.
  virtual void commitFromState(const plugkit::IByteChunk& /*before*/, int /*depth*/) {}
  // Drops undo entries above depth.
  virtual void trimUndoTo(int /*depth*/) {}
  // The list entry an identity names becomes current, modified as the identity says; none found:
  // no entry, not modified.
  virtual void selectIdentity(const PatchIdentity& /*identity*/) {}
  // What a list entry holds: a user preset's file (path set) or a factory preset's state chunk
  // (path empty). False when the index names nothing.
  virtual bool presetListEntry(int /*listIndex*/, std::string& /*path*/, plugkit::IByteChunk& /*chunk*/) const
  {
    return false;
  }
};

// The open editor's controls. The clipboard, file dialogs and messages are the editor services.
class IMorphEditor
{
public:
  virtual ~IMorphEditor() = default;

  virtual bool editorOpen() const = 0;
  // Every parameter's current normalised value to the editor's controls (only while it is open).
  virtual void pushParamsToEditor() = 0;
  virtual void markControlsDirty() = 0;
  // Raises the flag that makes the idle function lay the editor out again.
  virtual void raiseLayoutUpdate() {}
  // The editor's controls of a parameter: the value to show (normalised; none keeps theirs) and
  // whether they are disabled because the field drives them (shown at alpha 0.6). Controller
  // readouts are left alone, and the depth control keeps its own enabled state. Only while the
  // editor is open.
  virtual void driveControls(int /*index*/, std::optional<double> /*normalized*/, bool /*disabled*/) {}
};

// The plug-in's whole states and its preset file.
class IPluginStates
{
public:
  virtual ~IPluginStates() = default;

  virtual bool serializePluginState(plugkit::IByteChunk& /*chunk*/) const { return false; }
  virtual int unserializePluginState(const plugkit::IByteChunk& /*chunk*/, int /*pos*/) { return -1; }
  virtual bool serializeEditorState(plugkit::IByteChunk& /*chunk*/) const { return false; }
  virtual int unserializeEditorState(const plugkit::IByteChunk& /*chunk*/, int /*pos*/) { return -1; }
  // Writes the plug-in's preset file (its state chunk in the preset container).
  virtual bool savePresetFile(const std::string& /*path*/) const { return false; }
};

// New patches: the randomizer and the starter presets.
class IPatchGenerator
{
public:
  virtual ~IPatchGenerator() = default;

  struct StarterPresets
  {
    std::span<const ParamValueMap> params;
    std::span<const int32_t> listIndices; // parallel to params
  };
  virtual ParamValueMap generatePatch() { return {}; }
  virtual ParamValueMap mutatePatch(MutationSession& /*session*/, const ParamGetter& /*current*/) { return {}; }
  virtual void recordRandomized(MutationSession& /*session*/, const ParamGetter& /*current*/) {}
  virtual void recordMutated(MutationSession& /*session*/, const ParamGetter& /*current*/) {}
  virtual StarterPresets starterPresets() const { return {}; }
};

// The services a part of the morph field is handed by the plug-in that builds it.
struct MorphServices
{
  MorphServices(IMorphParams& params_, IPatchHistory& history_, IMorphEditor& editor_, IEditorServices& editorServices_,
                IPluginStates& states_, IPatchGenerator& generator_)
    : params(params_)
    , history(history_)
    , editor(editor_)
    , editorServices(editorServices_)
    , states(states_)
    , generator(generator_)
  {}
  // One object that provides all of them, as a test's fake does.
  template <typename All>
  requires std::derived_from<All, IMorphParams> && std::derived_from<All, IPatchHistory> &&
    std::derived_from<All, IMorphEditor> && std::derived_from<All, IEditorServices> &&
    std::derived_from<All, IPluginStates> && std::derived_from<All, IPatchGenerator>
    MorphServices(All& all)
    : MorphServices(all, all, all, all, all, all)
  {}

  IMorphParams& params;
  IPatchHistory& history;
  IMorphEditor& editor;
  IEditorServices& editorServices;
  IPluginStates& states;
  IPatchGenerator& generator;
};

} // namespace zarvo::morph
