#include "product/state/state_chunk.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IPluginParameter.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/VemlorConfig.h"
#include "product/dsp/morph_pass_shapes.h"
#include "product/state/cc_mod_settings.h"
#include "product/state/editor_state_codec.h"
#include "product/params/params.h"
#include "product/params/rig_param_naming.h"
#include "product/patch/preset_manager.h"
#include "utils/midi_cc/mapper.h"
#include "utils/midi_cc/mapper_serializer.h"
#include "utils/morph/morph_controller.h"

namespace zarvo {

namespace {

constexpr int kMinProbePadding = 64;

// The chunk followed by zero bytes, as many as it holds and at least a few: more than the rest of any
// item cut short. A reader that stopped because the bytes ran out reads on into them; a reader that
// stopped at the end of its section stops at the same place.
plugkit::IByteChunk paddedCopy(const plugkit::IByteChunk& chunk)
{
  plugkit::IByteChunk probe;
  probe.PutChunk(chunk);
  const int64_t padded = int64_t{chunk.Size()} + std::max(chunk.Size(), kMinProbePadding);
  probe.Resize(static_cast<int>(std::min<int64_t>(padded, std::numeric_limits<int>::max())));
  return probe;
}

// Where a lenient reader ends its section, or -1 when the section is cut short.
template <class Reader>
int completeSectionEnd(const plugkit::IByteChunk& chunk, const plugkit::IByteChunk& probe, Reader&& read)
{
  const int end = read(chunk);
  if (end < 0)
    return end;
  return read(probe) == end ? end : -1;
}

// Lets the editor-state reader run without taking anything over: an open editor keeps its own state,
// and there is no preset manager to tell.
class DetachedEditorStateHost : public EditorStateHost
{
public:
  plugkit::IParam* stateParam(int) override { return nullptr; }
  bool editorOpen() const override { return true; }
  EditorStateFields editorState() const override { return {}; }
  void applyEditorState(const EditorStateFields&) override {}
  UserTabColumns userTabColumns() const override { return {}; }
  void setUserTabColumns(UserTabColumns) override {}
  PresetManager* presetManager() override { return nullptr; }
};

} // namespace

StateChunk::StateChunk(StateHost& host, midi_cc::Mapper& mapper, CCModSettings& ccMod, VemlorStateCodec& codec,
                       morph::MorphController& morph, const morph::MorphServices& morphServices)
  : mHost(host)
  , mMapper(mapper)
  , mCCMod(ccMod)
  , mCodec(codec)
  , mMorph(morph)
  , mMorphServices(morphServices)
{}

bool StateChunk::serializeState(plugkit::IByteChunk& chunk) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  bool ok = chunk.Put(kVersion) > 0;
  serializeControllerPart(chunk);

  ok = chunk.Put(static_cast<double>(kNumParams)) > 0 && ok;
  for (int i = 0; i < kNumParams; ++i)
  {
    const plugkit::IParam* p = mHost.stateParam(i);
    ok = chunk.Put(stableIdOf(i)) > 0 && ok;
    ok = chunk.Put(p ? p->Value() : 0.0) > 0 && ok;
  }

  ok = mCodec.serializeUIState(chunk) && ok;
  ok = mMorph.serializeMorphState(chunk) && ok;

  const PresetManager* pm = mHost.presetManager();
  const PresetManager::PatchIdentity identity = pm ? pm->patchIdentity() : PresetManager::PatchIdentity{};
  ok = chunk.Put(int32_t{1}) > 0 && ok;
  ok = PresetManager::putPatchIdentity(chunk, identity) && ok;
  return ok && chunk.Size() > 0;
}

int StateChunk::unserializeState(const plugkit::IByteChunk& chunk, int pos)
{
  PLUGKIT_ASSERT_MAIN_THREAD();

  // ---- Every section is read and checked first; nothing changes before the whole chunk has passed.
  uint32_t version = 0;
  if (pos < 0 || chunk.Get(version, pos) < 0 || (version >> 16) > kMaxMajorVersion)
    return -1;
  pos += 4;

  midi_cc::Mapper storedMap;
  pos = midi_cc::mapper_serializer::unserialize(storedMap, chunk, pos, static_cast<int>(version));
  CCModValues storedCCMod;
  pos = mCCMod.parseCCMod(chunk, pos, storedCCMod);
  if (pos < 0)
    return -1;

  double storedCount = 0.0;
  if (chunk.Get(storedCount, pos) < 0 || !std::isfinite(storedCount))
    return -1;
  const double count = std::trunc(storedCount);
  if (count < 0.0 || count > kMaxStoredParams)
    return -1;
  const int paramCount = static_cast<int>(count);
  const int paramsPos = pos + 8;
  const int64_t paramsEnd = int64_t{paramsPos} + int64_t{kParamEntrySize} * paramCount;
  if (paramsEnd > chunk.Size())
    return -1;

  const plugkit::IByteChunk probe = paddedCopy(chunk);
  const int editorPos = static_cast<int>(paramsEnd);
  DetachedEditorStateHost detachedEditor;
  const VemlorStateCodec detachedCodec(detachedEditor);
  pos = completeSectionEnd(
    chunk, probe, [&](const plugkit::IByteChunk& c) { return detachedCodec.unserializeUIState(c, editorPos); });
  if (pos < 0)
    return pos;

  // A chunk may end before the morph field; a started one must be whole.
  const int morphPos = pos;
  const bool hasMorph = morphPos < chunk.Size();
  if (hasMorph)
  {
    const auto detachedMorph =
      std::make_unique<morph::MorphController>(mMorphServices, kVemlorConfig, kRigParamNaming, kMorphPassShapes);
    pos = completeSectionEnd(
      chunk, probe, [&](const plugkit::IByteChunk& c) { return detachedMorph->unserializeMorphState(c, morphPos); });
    if (pos < 0)
      return pos;
  }

  // A marker of 0 or less ends the chunk before it; an identity that does not read is skipped, one
  // cut short fails the chunk.
  int end = pos;
  bool hasIdentity = false;
  PresetManager::PatchIdentity identity;
  if (pos < chunk.Size())
  {
    int32_t marker = 0;
    if (chunk.Get(marker, pos) < 0)
      return -1;
    if (marker > 0)
    {
      const int identityPos = pos + 4;
      end = PresetManager::getPatchIdentity(chunk, identityPos, identity);
      PresetManager::PatchIdentity probed;
      if (PresetManager::getPatchIdentity(probe, identityPos, probed) != end)
        return -1;
      hasIdentity = end > identityPos;
    }
  }

  // ---- Apply, in the order of the sections.
  mMapper.replaceMappings(storedMap.mappings());
  mCCMod.assign(storedCCMod);
  mCCMod.rederiveHeld();
  mHost.controllerSectionsRestored();

  mCodec.applyParamsFromChunk(chunk, paramsPos, paramCount);
  for (int i = 0; i < kNumParams; ++i)
    mHost.announceRestoredParam(i);

  mCodec.unserializeUIState(chunk, editorPos);

  mMorph.engine().edit({.focus = -1, .selection = 0});
  if (hasMorph)
    mMorph.unserializeMorphState(chunk, morphPos);

  if (PresetManager* pm = mHost.presetManager(); hasIdentity && pm && !pm->isApplying())
    pm->setLoadedEntry(pm->resolveIdentity(identity), identity.modified);
  return end;
}

void StateChunk::onRestoreState()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  for (int i = 0; i < kNumParams; ++i)
  {
    if (const plugkit::IParam* p = mHost.stateParam(i))
      mHost.sendParamToEditor(i, p->GetNormalized());
  }

  PresetManager* pm = mHost.presetManager();
  if (pm)
    pm->onHostStateRestored();

  if (!pm || !pm->isApplying())
  {
    morph::MorphEngine& engine = mMorph.engine();
    if (!engine.editing())
    {
      engine.edit({.focus = -1, .selection = 0});
    }
    const auto valueOf = [this](int index, double fallback) {
      const plugkit::IParam* p = mHost.stateParam(index);
      return p ? p->Value() : fallback;
    };
    const bool active = valueOf(par_morph_active, 0.0) > 0.5;
    if (active)
      mMorph.noteSwitchedOnElsewhere();
    mMorph.mirrorMorphX(valueOf(par_morph_x, mMorph.morphX()));
    mMorph.mirrorMorphY(valueOf(par_morph_y, mMorph.morphY()));
    mMorph.publish();
    mMorph.mirrorMorphSwitch(active);
  }
  mHost.markEditorDirty();
}

void StateChunk::serializeControllerPart(plugkit::IByteChunk& chunk) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  midi_cc::mapper_serializer::serialize(mMapper, chunk);
  mCCMod.serializeCCMod(chunk);
}

bool StateChunk::unserializeControllerPart(const plugkit::IByteChunk& chunk)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  midi_cc::Mapper storedMap;
  CCModValues storedCCMod;
  const int pos = midi_cc::mapper_serializer::unserialize(storedMap, chunk, 0, static_cast<int>(kVersion));
  if (mCCMod.parseCCMod(chunk, pos, storedCCMod) < 0)
    return false;

  mMapper.replaceMappings(storedMap.mappings());
  mCCMod.assign(storedCCMod);
  mCCMod.rederiveHeld();
  mHost.controllerSectionsRestored();
  return true;
}

} // namespace zarvo
