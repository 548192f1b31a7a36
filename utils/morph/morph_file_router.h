// Moving sounds between morph points and preset files.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IPluginBase.h"
#include "IPlugin/IPluginConfig.h"
#include "IPlugin/IPluginFiles.h"
#include "utils/morph/morph_engine.h"
#include "utils/morph/morph_host.h"
#include "utils/preset_source.h"

namespace zarvo::morph {

// Where the router writes loaded sounds: the morph controller. Main thread.
class IMorphPointSink
{
public:
  virtual ~IMorphPointSink() = default;
  virtual MorphEngine& engine() = 0;
  virtual const MorphEngine& engine() const = 0;
  virtual bool inPointLoadContext() const = 0;
  // One undo step that writes the sound into the points of mask.
  virtual void commitPointsPreset(uint32_t mask, const MorphValues& values, uint32_t noteMask,
                                  const PatchIdentity& identity) = 0;
};

// Reads preset files and state chunks without applying them; writes a sound through the plug-in's
// own preset-file writer. Keeps no state between calls. Main thread.
class MorphFileRouter
{
public:
  // Preset files larger than this are not read.
  static constexpr int64_t kMaxPresetFileSize = plugkit::IPluginBase::kMaxPresetFileBytes;
  static constexpr int32_t kMaxStoredParams = 4096;
  static constexpr int64_t kModRecordSize = 15;

  // `product` names the plug-in whose preset files are read (its unique identifier).
  // What the router reaches of the plug-in.
  struct Services
  {
    IMorphParams& params;
    IPatchHistory& history;
    IMorphEditor& editor;
    IEditorServices& editorServices;
    IPluginStates& states;
  };

  MorphFileRouter(const Services& services, IMorphPointSink& sink, const plugkit::Config& product,
                  const MorphParamTable& table);

  // A preset chosen while points are selected goes into those points. False when nothing loaded.
  bool loadPresetIntoPoints(const PresetSource& source);
  // The morph values of a preset file of this plug-in; rows it does not name keep what values held.
  // kNotOurs for another plug-in's or a damaged file.
  plugkit::EFileResult readFXPMorphParams(const std::string& path, MorphValues& values, uint32_t& noteMask) const;
  // The morph values of a whole plug-in state chunk beginning at pos.
  bool readChunkMorphParams(const plugkit::IByteChunk& chunk, int pos, MorphValues& values, uint32_t& noteMask) const;
  // A preset file holding the sound, with morphing off; a point's note mask, when given, is written
  // as the note-anchor switches in place of the instance's own.
  bool writeMorphValuesFXP(const MorphValues& values, const std::string& path,
                           std::optional<uint32_t> noteMask = std::nullopt);

  // The morph pad's actions; they do nothing while the editor is closed, and report the chosen
  // file's result through the editor services.
  void promptSaveBlendToFile();
  void promptLoadPointsFromFile(uint32_t mask);
  void promptSavePointToFile(int point);

  // The identity of points loaded from a file.
  static PatchIdentity fileIdentity(const std::string& path);

private:
  // The open or save dialog for a preset file, starting in the preset folder; `chosen` runs only
  // when a file was chosen.
  void promptForPresetFile(bool save, std::function<void(const std::string& path)> chosen);
  void report(plugkit::EFileResult result);

  IMorphParams& mParams;
  IPatchHistory& mHistory;
  IMorphEditor& mEditor;
  IEditorServices& mEditorServices;
  IPluginStates& mStates;
  const int32_t mProductId;
  const MorphParamTable& mTable;
  IMorphPointSink& mSink;
};

} // namespace zarvo::morph
