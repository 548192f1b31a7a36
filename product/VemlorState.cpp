// The state chunk, the workspace part of undo snapshots, and the editor state the plug-in keeps.
#include "product/Vemlor.h"

#include <cmath>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/params/params.h"
#include "utils/morph/stored_values.h"

namespace {

constexpr int kWorkspaceOversamplingEnd = 8;
constexpr int kWorkspaceMorphEnd = 32;

} // namespace

bool Vemlor::SerializeState(plugkit::IByteChunk& chunk) const { return mStateChunk->serializeState(chunk); }

int Vemlor::UnserializeState(const plugkit::IByteChunk& chunk, int startPos)
{
  return mStateChunk->unserializeState(chunk, startPos);
}

void Vemlor::OnRestoreState()
{
  mStateChunk->onRestoreState();
  // A preset or undo step reports once its workspace is read too.
  if (!mPresetManager || !mPresetManager->isApplying())
    reportLatencyAndTail();
}

plugkit::IParam* Vemlor::stateParam(int index)
{
  return index >= 0 && index < zarvo::kNumParams ? GetParam(index) : nullptr;
}

void Vemlor::controllerSectionsRestored()
{
  mMediator.refreshUI();
  readCutoffControllerNumbers();
}

void Vemlor::announceRestoredParam(int index)
{
  mAnnouncingRestore = true;
  OnParamChange(index, plugkit::EParamSource::kPresetRecall, -1);
  mAnnouncingRestore = false;
  OnParamChangeUI(index, plugkit::EParamSource::kPresetRecall);
}

// ---- workspace

void Vemlor::writeWorkspace(plugkit::IByteChunk& chunk) const
{
  chunk.Put(GetParam(zarvo::par_oversampling)->Value());
  chunk.Put(GetParam(zarvo::par_morph_active)->Value());
  chunk.Put(GetParam(zarvo::par_morph_x)->Value());
  chunk.Put(GetParam(zarvo::par_morph_y)->Value());
  mStateCodec->serializeUIState(chunk);
  mMorph->serializeMorphState(chunk);
}

void Vemlor::readWorkspace(const plugkit::IByteChunk& chunk)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (chunk.Size() < kWorkspaceOversamplingEnd)
    return;
  double oversampling = 0.0;
  chunk.Get(oversampling, 0);
  if (std::isfinite(oversampling))
  {
    // The host is not told: the workspace is the user's, not part of the patch's automation.
    plugkit::IParam& p = *GetParam(zarvo::par_oversampling);
    p.Set(oversampling);
    mBlockRecord.store(zarvo::par_oversampling, p.Value());
    mLastParamValue[static_cast<size_t>(zarvo::par_oversampling)].store(p.Value(), std::memory_order_relaxed);
  }
  if (chunk.Size() < kWorkspaceMorphEnd)
    return;

  double active = 0.0;
  double x = 0.0;
  double y = 0.0;
  chunk.Get(active, 8);
  chunk.Get(x, 16);
  chunk.Get(y, 24);
  active = zarvo::morph::storedOr(active, 0.0, 1.0, GetParam(zarvo::par_morph_active)->Value());
  x = zarvo::morph::storedOr(x, 0.0, 1.0, GetParam(zarvo::par_morph_x)->Value());
  y = zarvo::morph::storedOr(y, 0.0, 1.0, GetParam(zarvo::par_morph_y)->Value());
  // The editor's scale is not part of a patch: loading one or stepping through undo leaves it alone.
  const float scale = editorUI().uiScale;
  const bool scalePending = editorUI().uiScalePending;
  const int morphPos = mStateCodec->unserializeUIState(chunk, kWorkspaceMorphEnd);
  editorUI().uiScale = scale;
  editorUI().uiScalePending = scalePending;
  if (active > 0.5)
    return;
  if (morphPos >= 0)
    mMorph->unserializeMorphState(chunk, morphPos);
  mMorph->applyMorphModeParams(active, x, y);
  // The next host change of these is measured against what they hold now.
  for (int param : {zarvo::par_morph_active, zarvo::par_morph_x, zarvo::par_morph_y})
    mLastParamValue[static_cast<size_t>(param)].store(GetParam(param)->Value(), std::memory_order_relaxed);
}

// ---- editor state

zarvo::EditorStateFields Vemlor::editorState() const
{
  zarvo::EditorStateFields fields;
  // The open editor's scale, else the one it will open at.
  fields.scale = GetUI() ? GetUI()->GetDrawScale() : editorUI().uiScale;
  fields.tab = editorUI().currentTab;
  fields.userTabUnlocked = editorUI().userTabEditing;
  fields.stripCollapsed = editorUI().presetStripCollapsed;
  fields.dragValue = mMorph->dragEndValue();
  const zarvo::morph::MorphEngine& engine = mMorph->engine();
  fields.lineBrightness = mMorph->appearance().lineBrightness;
  fields.isoLevels = mMorph->appearance().isoLevels;
  fields.gridStep = mMorph->appearance().gridStep;
  fields.positionLock = engine.padOption();
  fields.soundLock = engine.moving();
  fields.hoverHelp = s_helpTooltipsEnabled;
  fields.editingMode = engine.editing();
  fields.selection = engine.selection();
  fields.focus = engine.editState().focus;
  return fields;
}

void Vemlor::applyEditorState(const zarvo::EditorStateFields& fields)
{
  // A patch applied by the preset manager (a preset, a file, an undo step) keeps the user's scale.
  if (!mPresetManager || !mPresetManager->isApplying())
  {
    editorUI().uiScale = static_cast<float>(fields.scale);
    editorUI().uiScalePending = true;
  }
  editorUI().currentTab = fields.tab;
  editorUI().userTabEditing = fields.userTabUnlocked;
  editorUI().presetStripCollapsed = fields.stripCollapsed;
  mMorph->setDragEndValue(fields.dragValue);
  zarvo::morph::MorphEngine& engine = mMorph->engine();
  zarvo::morph::MorphZarvoAdapter::Appearance appearance = mMorph->appearance();
  appearance.lineBrightness = fields.lineBrightness;
  appearance.isoLevels = fields.isoLevels;
  appearance.gridStep = fields.gridStep;
  mMorph->setAppearance(appearance);
  engine.edit({.focus = fields.focus,
               .padOption = fields.positionLock,
               .moving = fields.soundLock,
               .selection = fields.selection & zarvo::morph::kPointBits});
  // The focus decides which point the blend uses alone.
  mMorph->publish();
  raiseLayoutUpdate();
}

zarvo::UserTabColumns Vemlor::userTabColumns() const { return mUserTabColumns; }

void Vemlor::setUserTabColumns(zarvo::UserTabColumns columns) { mUserTabColumns = std::move(columns); }
