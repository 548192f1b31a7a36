// A plug-in for state chunk tests: the real framework base with the product's 79 parameters, the
// real controller map, modulation settings, editor-state codec, morph controller and preset manager,
// and recorders for what the chunk reader tells the plug-in.
#pragma once

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "IPlugin/IPluginBase.h"
#include "product/state/cc_mod_settings.h"
#include "product/state/editor_state_codec.h"
#include "product/VemlorConfig.h"
#include "product/dsp/morph_pass_shapes.h"
#include "product/params/param_init.h"
#include "product/params/rig_param_naming.h"
#include "product/patch/preset_manager.h"
#include "product/state/state_chunk.h"
#include "tests/support/distinct_field.h"
#include "utils/midi_cc/mapper.h"
#include "utils/midi_cc/mapper_serializer.h"
#include "utils/morph/morph_controller.h"

namespace state_test {

using zarvo::PresetManager;
using Identity = PresetManager::PatchIdentity;

inline plugkit::Config stateConfig()
{
  plugkit::Config config;
  config.nParams = zarvo::kNumParams;
  config.nPresets = 2;
  config.stateChunks = true;
  config.uniqueId = plugkit::MakeFourCC("Vmlr");
  config.version = plugkit::MakeVersion(1, 3, 0);
  return config;
}

// Bytes a chunk holds, for comparisons.
inline std::vector<uint8_t> bytesOf(const plugkit::IByteChunk& chunk)
{
  return {chunk.GetData(), chunk.GetData() + chunk.Size()};
}

inline plugkit::IByteChunk chunkOf(const std::vector<uint8_t>& bytes)
{
  plugkit::IByteChunk chunk;
  chunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
  return chunk;
}

class FakeStateHost : public plugkit::IPluginBase,
                      public zarvo::StateHost,
                      public zarvo::EditorStateHost,
                      public zarvo::CCModHost,
                      public zarvo::morph::IMorphParams,
                      public zarvo::morph::IPatchHistory,
                      public zarvo::morph::IMorphEditor,
                      public zarvo::IEditorServices,
                      public zarvo::morph::IPluginStates,
                      public zarvo::morph::IPatchGenerator
{
public:
  // The two factory presets "Alpha" and "Beta" hold this fresh state, stamped as "Alpha", modified:
  // an identity that loading them as presets must not take over.
  static constexpr const char* kFactoryNames[] = {"Alpha", "Beta"};

  explicit FakeStateHost(bool withPresetManager = true)
    : IPluginBase(stateConfig())
  {
    for (int i = 0; i < zarvo::kNumParams; ++i)
      zarvo::initParam(*GetParam(i), i);
    if (!withPresetManager)
      return;
    const plugkit::IByteChunk stamped = withIdentity(fingerprint(), Identity{1, "Alpha", 0, true});
    for (const char* name : kFactoryNames)
      MakePresetFromChunk(name, stamped);
    manager = std::make_unique<PresetManager>(*this, "Vemlor", "", 10);
  }

  // ---- the plug-in base: its state is the state chunk
  bool SerializeState(plugkit::IByteChunk& chunk) const override { return state.serializeState(chunk); }
  int UnserializeState(const plugkit::IByteChunk& chunk, int pos) override
  {
    return state.unserializeState(chunk, pos);
  }

  // ---- state chunk, editor-state codec and morph controller hosts
  plugkit::IParam* stateParam(int index) override
  {
    return index >= 0 && index < zarvo::kNumParams ? GetParam(index) : nullptr;
  }
  PresetManager* presetManager() override { return manager.get(); }
  void controllerSectionsRestored() override { ++controllerRestores; }
  void announceRestoredParam(int index) override { announced.push_back(index); }
  void sendParamToEditor(int index, double normalized) override { sentToEditor.push_back({index, normalized}); }
  void markEditorDirty() override { ++editorRedraws; }

  bool editorOpen() const override { return false; }
  zarvo::EditorStateFields editorState() const override { return editor; }
  void applyEditorState(const zarvo::EditorStateFields& fields) override { editor = fields; }
  zarvo::UserTabColumns userTabColumns() const override { return columns; }
  void setUserTabColumns(zarvo::UserTabColumns c) override { columns = std::move(c); }

  const plugkit::IParam* ccModParam(int index) const override
  {
    return index >= 0 && index < zarvo::kNumParams ? GetParam(index) : nullptr;
  }
  bool hasController(int index) const override { return mapper.getCCForParam(index) >= 0; }
  bool cutoffFollowsNotes(int index) const override { return notesOn[static_cast<size_t>(index)]; }

  plugkit::IParam& param(int index) override { return *GetParam(index); }
  const plugkit::IParam& param(int index) const override { return *GetParam(index); }
  bool putPatchIdentity(plugkit::IByteChunk& chunk, const Identity& identity) const override
  {
    return PresetManager::putPatchIdentity(chunk, identity);
  }
  int getPatchIdentity(const plugkit::IByteChunk& chunk, int pos, Identity& out) const override
  {
    return PresetManager::getPatchIdentity(chunk, pos, out);
  }
  void pushParamsToEditor() override {}
  void markControlsDirty() override {}
  // The editor services of a closed editor.
  bool getClipboardText(std::string&) override { return false; }
  bool setClipboardText(const std::string&) override { return false; }
  void promptForFile(const std::string&, const std::string&, EFileAction, const std::string&,
                     FileCompletion completion) override
  {
    if (completion)
      completion({}, {});
  }
  void reportFileResult(plugkit::EFileResult, EFileContent) override {}
  bool hasPresetManager() const override { return manager != nullptr; }
  void pushUndo() override {}
  void captureBaseline() override {}
  void setCurrentListIndex(int) override {}

  // ---- helpers

  // The whole state as its chunk: two hosts in the same state give the same bytes.
  plugkit::IByteChunk fingerprint() const
  {
    plugkit::IByteChunk chunk;
    state.serializeState(chunk);
    return chunk;
  }

  // Where each section of this host's chunk starts.
  struct Layout
  {
    int map = 4;
    int ccMod = 0;
    int paramCount = 0;
    int params = 0;
    int editor = 0;
    int morph = 0;
    int marker = 0;
    int identity = 0;
    int end = 0;
  };

  Layout layout() const
  {
    const auto sizeOf = [](auto&& write) {
      plugkit::IByteChunk c;
      write(c);
      return c.Size();
    };
    Layout l;
    l.ccMod = l.map + sizeOf([&](plugkit::IByteChunk& c) { zarvo::midi_cc::mapper_serializer::serialize(mapper, c); });
    l.paramCount = l.map + sizeOf([&](plugkit::IByteChunk& c) { state.serializeControllerPart(c); });
    l.params = l.paramCount + 8;
    l.editor = l.params + zarvo::kNumParams * zarvo::StateChunk::kParamEntrySize;
    l.morph = l.editor + sizeOf([&](plugkit::IByteChunk& c) { codec.serializeUIState(c); });
    l.marker = l.morph + sizeOf([&](plugkit::IByteChunk& c) { morph.serializeMorphState(c); });
    l.identity = l.marker + 4;
    l.end = fingerprint().Size();
    return l;
  }

  // A chunk of this host with its patch identity replaced.
  plugkit::IByteChunk withIdentity(const plugkit::IByteChunk& chunk, const Identity& identity) const
  {
    plugkit::IByteChunk out;
    out.PutBytes(chunk.GetData(), layout().marker);
    out.Put(int32_t{1});
    PresetManager::putPatchIdentity(out, identity);
    return out;
  }

  // A state in which every section differs from a fresh instance's; seeds give different states.
  void fillDistinct(int seed)
  {
    const double shift = 0.173 * seed;
    for (int i = 0; i < zarvo::kNumParams; ++i)
    {
      plugkit::IParam& p = *GetParam(i);
      p.Set(p.FromNormalized(std::fmod(0.11 + shift + 0.618034 * i, 1.0)));
    }

    mapper.replaceMappings({});
    mapper.addMapping(20 + seed, zarvo::par_main_resonance);
    mapper.addMapping(21 + seed, zarvo::par_main_cutoff_hz);
    mapper.addMapping(21 + seed, zarvo::par_dry_wet);
    mapper.setChannelForParam(zarvo::par_dry_wet, 3 + seed);

    zarvo::CCModValues mod;
    mod.mode[zarvo::par_main_cutoff_hz] = 1;
    mod.depth[0] = -2.5 + seed;
    mod.multiply[1] = 1;
    mod.depth[1] = 0.25 * (seed + 1);
    mod.bipolar[4] = true;
    mod.mode[zarvo::par_preB_glide_ms] = 1;
    ccMod.assign(mod);
    ccMod.rederiveHeld();

    editor.scale = 1.5 + seed;
    editor.tab = 2;
    editor.userTabUnlocked = true;
    editor.lineBrightness = 0.25f;
    editor.isoLevels = 9 - seed;
    editor.gridStep = 0.25f;
    editor.stripCollapsed = true;
    editor.dragValue = 0.5f;
    columns = {{zarvo::par_main_drive, zarvo::par_dry_wet}, {10003 + seed}, {}};

    zarvo::morph::MorphEngine& engine = morph.engine();
    zarvo::morph::MorphEngine::RTState s = engine.editState();
    const auto shifted = static_cast<size_t>(seed);
    vemlor_test::fillDistinctField(
      s, {.x0 = 0.0, .offset = shifted, .yStep = -0.04, .valueOffset = shifted * 13, .valueDivisor = 996.0});
    s.sigma = 0.7;
    s.shapeContrast = 0.3;
    s.model = 2;
    s.kernelTail = 0.4;
    s.tailPower = 3.0;
    s.neighborIndex = {1.5, 2.5, 3.5, 4.5, 5.5};
    s.nnSamples = 13;
    s.nnRadius = 2.5;
    s.cutoffContrast = 0.2;
    engine.edit({.field = &s, .pointScale = 1.5, .selection = 0b101});
    morph.setPointIdentity(3, Identity{2, "/presets/three.fxp", -1, true});

    manager->setLoadedEntry(1, true);
  }

  zarvo::midi_cc::Mapper mapper;
  zarvo::CCModSettings ccMod{*this};
  zarvo::VemlorStateCodec codec{*this};
  zarvo::morph::MorphController morph{*this, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes};
  zarvo::StateChunk state{*this, mapper, ccMod, codec, morph, *this};
  std::unique_ptr<PresetManager> manager;

  zarvo::EditorStateFields editor;
  zarvo::UserTabColumns columns;
  std::array<bool, zarvo::kNumParams> notesOn{};

  int controllerRestores = 0;
  std::vector<int> announced;
  std::vector<std::pair<int, double>> sentToEditor;
  int editorRedraws = 0;
};

} // namespace state_test
