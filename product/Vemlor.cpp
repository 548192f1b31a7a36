#include "product/Vemlor.h"

#include <cmath>

#include "IPlugin/IPluginThreadRole.h"
#include "product/config.h"
#include "product/param_init.h"
#include "product/params.h"

namespace {

constexpr uint32_t kStateVersion = static_cast<uint32_t>(zarvo::kVemlorConfig.version);
// A chunk of a later major version has a layout this reader does not know.
constexpr uint32_t kMaxStateMajorVersion = 1;
constexpr int kMaxStoredParams = 1024;

} // namespace

Vemlor::Vemlor(const plugkit::InstanceInfo& info)
  : plugkit::IPluginVST3(info, zarvo::kVemlorConfig)
{
  createEngine();
  readHoverHelpPreference();
  initializeParams();
  loadUserLayout();
  createNoteModeController();
  createMorphController();
  readMorphFieldPreferences();
  createStateCodec();
  installEditorFunctions();
  initPresets();
  createPresetManager();
  createControllerMapFiles();
  seedFreshInstancePoints();
  applyRandomStarterPreset();
}

Vemlor::~Vemlor() = default;

// The DSP model, the randomizer, the oversampler, the working buffers and the controller map with
// its mediator are made here when the audio engine, the patch library and the MIDI CC mapping land.
void Vemlor::createEngine() {}

// Hover help follows the "hover_help" preference once the preferences access lands.
void Vemlor::readHoverHelpPreference() {}

void Vemlor::initializeParams()
{
  for (int i = 0; i < zarvo::kNumParams; ++i)
    zarvo::initParam(*GetParam(i), i);
  mModShaped = zarvo::modShapedFlags([this](int i) -> const plugkit::IParam& { return *GetParam(i); });
}

// The user tab's slots come from the default layout file once the preferences access lands.
void Vemlor::loadUserLayout() {}

// The note-mode controller is made here when MIDI note tracking lands.
void Vemlor::createNoteModeController() {}

// The morph controller with its default points is made and published here when the morph field lands.
void Vemlor::createMorphController() {}

// The morph field's display preferences are read here when the morph field lands.
void Vemlor::readMorphFieldPreferences() {}

void Vemlor::createStateCodec() { mStateCodec = std::make_unique<zarvo::VemlorStateCodec>(*this); }

// The editor-creation and layout functions are installed here when the editor lands.
void Vemlor::installEditorFunctions() {}

// The audio path's MIDI queue gets room for 64 messages and the factory presets are defined here
// when the audio path and the patch library land.
void Vemlor::initPresets() {}

// The preset manager with its hooks and the "preset_dir" folder is made here when the patch library lands.
void Vemlor::createPresetManager() {}

// The controller-map file orchestrator is made here when the MIDI CC mapping lands.
void Vemlor::createControllerMapFiles() {}

// A fresh instance's morph points are placed here when the morph field lands.
void Vemlor::seedFreshInstancePoints() {}

// A random starter preset becomes the patch here when the factory presets land.
void Vemlor::applyRandomStarterPreset() {}

int Vemlor::currentUIHeight() const
{
  // The morph panel opens with the morph controller, which is still to come.
  return 200;
}

void Vemlor::ProcessBlock(double** inputs, double** outputs, int nFrames)
{
  plugkit::IPluginVST3::ProcessBlock(inputs, outputs, nFrames);
}

bool Vemlor::SerializeState(plugkit::IByteChunk& chunk) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  bool ok = chunk.Put(kStateVersion) > 0;
  ok = serializeControllerSections(chunk) && ok;
  ok = chunk.Put(static_cast<double>(zarvo::kNumParams)) > 0 && ok;
  for (int i = 0; i < zarvo::kNumParams; ++i)
  {
    ok = chunk.Put(zarvo::kStableParamIds[static_cast<size_t>(i)]) > 0 && ok;
    ok = chunk.Put(GetParam(i)->Value()) > 0 && ok;
  }
  ok = mStateCodec->serializeUIState(chunk) && ok;
  ok = serializeMorphAndIdentity(chunk) && ok;
  return ok && chunk.Size() > 0;
}

int Vemlor::UnserializeState(const plugkit::IByteChunk& chunk, int startPos)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  uint32_t version = 0;
  int pos = chunk.Get(version, startPos);
  if (pos < 0 || (version >> 16) > kMaxStateMajorVersion)
    return -1;

  pos = unserializeControllerSections(chunk, pos, version);
  double storedCount = 0.0;
  if (pos < 0 || chunk.Get(storedCount, pos) < 0 || !std::isfinite(storedCount))
    return -1;
  const double count = std::trunc(storedCount);
  if (count < 0.0 || count > kMaxStoredParams)
    return -1;

  pos = mStateCodec->applyParamsFromChunk(chunk, pos + 8, static_cast<int>(count));
  for (int i = 0; i < NParams(); ++i)
  {
    OnParamChange(i, plugkit::EParamSource::kPresetRecall, -1);
    OnParamChangeUI(i, plugkit::EParamSource::kPresetRecall);
  }
  if (pos < 0)
    return pos;
  pos = mStateCodec->unserializeUIState(chunk, pos);
  if (pos < 0)
    return pos;
  return unserializeMorphAndIdentity(chunk, pos);
}

// The controller map and the controller modulation settings are written here when the MIDI CC mapping lands.
bool Vemlor::serializeControllerSections(plugkit::IByteChunk&) const { return true; }

int Vemlor::unserializeControllerSections(const plugkit::IByteChunk&, int pos, uint32_t) { return pos; }

// The morph field, the identity marker and the patch identity are written here when they land.
bool Vemlor::serializeMorphAndIdentity(plugkit::IByteChunk&) const { return true; }

int Vemlor::unserializeMorphAndIdentity(const plugkit::IByteChunk&, int pos) { return pos; }

plugkit::IParam* Vemlor::stateParam(int index) { return index >= 0 && index < zarvo::kNumParams ? GetParam(index) : nullptr; }

// The editor comes with the graphics layer; until then it is never open.
bool Vemlor::editorOpen() const { return false; }

zarvo::EditorStateFields Vemlor::editorState() const { return mEditorState; }

void Vemlor::applyEditorState(const zarvo::EditorStateFields& fields) { mEditorState = fields; }

zarvo::UserTabColumns Vemlor::userTabColumns() const { return mUserTabColumns; }

void Vemlor::setUserTabColumns(zarvo::UserTabColumns columns) { mUserTabColumns = std::move(columns); }

zarvo::PresetManager* Vemlor::presetManager() { return nullptr; }
