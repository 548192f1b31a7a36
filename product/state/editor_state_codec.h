// The editor-state section of the state chunk, and the parameter section's reader.
#pragma once

#include <cstdint>

#include "product/patch/prefs_access.h"

namespace plugkit {
class IByteChunk;
class IParam;
} // namespace plugkit

namespace zarvo {

class PresetManager;

// The editor state as the plug-in, its morph field and its editor hold it.
struct EditorStateFields
{
  double scale = 1.0; // the open editor's draw scale, else the pending scale
  int tab = 0;
  bool userTabUnlocked = false;
  float lineBrightness = 0.42f;
  int isoLevels = 6;
  float gridStep = 1.0f / 11.0f;
  bool positionLock = false;
  bool soundLock = false;
  bool stripCollapsed = false;
  bool hoverHelp = true;    // written only; hover help comes from the preferences
  float dragValue = 0.0f;   // the morph pad's end-of-drag value
  bool editingMode = false; // read only: decides which point keeps the focus
  uint32_t selection = 0;   // one bit per morph point
  int focus = -1;

  bool operator==(const EditorStateFields&) const = default;
};

// What the codec reaches of the plug-in. Main thread.
class EditorStateHost
{
public:
  virtual ~EditorStateHost() = default;

  // Parameter 0 to 78, or none.
  virtual plugkit::IParam* stateParam(int index) = 0;
  virtual bool editorOpen() const = 0;
  virtual EditorStateFields editorState() const = 0;
  // Values read while no editor is open, morph display settings, locks, selection and focus included:
  // the scale becomes the pending scale (its flag raised), and the layout-update flag is raised.
  virtual void applyEditorState(const EditorStateFields& fields) = 0;
  virtual UserTabColumns userTabColumns() const = 0;
  virtual void setUserTabColumns(UserTabColumns columns) = 0;
  // None while the plug-in is being built.
  virtual PresetManager* presetManager() = 0;
};

// Main thread (state save and restore).
class VemlorStateCodec
{
public:
  static constexpr uint32_t kEditorValueCount = 12;
  static constexpr uint32_t kMaxColumns = 64;
  static constexpr uint32_t kMaxColumnEntries = 32;

  explicit VemlorStateCodec(EditorStateHost& host)
    : mHost(host)
  {}

  // Appends the section; true when every append succeeded.
  bool serializeUIState(plugkit::IByteChunk& chunk) const;
  // The position after the section; a negative pos as it is; -1 when the first count does not fit.
  int unserializeUIState(const plugkit::IByteChunk& chunk, int pos) const;
  // Resets every parameter to its default, then applies up to count (stable id, plain value)
  // entries; returns the position after the last whole entry read.
  int applyParamsFromChunk(const plugkit::IByteChunk& chunk, int pos, int count) const;

private:
  EditorStateHost& mHost;
};

} // namespace zarvo
