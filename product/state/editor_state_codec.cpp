#include "product/state/editor_state_codec.h"
#include "utils/morph/morph_zarvo_adapter.h"
#include "utils/morph/stored_values.h"

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IPluginParameter.h"
#include "product/params/params.h"
#include "product/patch/preset_manager.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace zarvo {

namespace {

enum EditorValue
{
  kScale = 0,
  kTab,
  kUserTabUnlocked,
  kLineBrightness,
  kIsoLevels,
  kGridStep,
  kPositionLock,
  kSoundLock,
  kStripCollapsed,
  kFactoryPreset,
  kHoverHelp,
  kDragValue
};

constexpr std::array<double, VemlorStateCodec::kEditorValueCount> kDefaults = {
  1.0, 0.0, 0.0, static_cast<double>(0.42f), 6.0, static_cast<double>(1.0f / 11.0f), 0.0, 0.0, 0.0, -1.0, 1.0, 0.0};

constexpr double kMaxScale = 20.0;
constexpr int kMaxTab = 16;
using Appearance = morph::MorphZarvoAdapter::Appearance;

bool on(double v) { return v > 0.5; }

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

// The focus follows a single selected point unless the sound lock holds it outside editing mode.
void applySelectionRule(EditorStateFields& f)
{
  if (f.editingMode || !f.soundLock)
  {
    f.focus = std::popcount(f.selection) == 1 ? std::countr_zero(f.selection) : -1;
  }
  else
  {
    f.focus = -1;
    if (f.positionLock)
      f.selection = 0;
  }
}

} // namespace

bool VemlorStateCodec::serializeUIState(plugkit::IByteChunk& chunk) const
{
  const EditorStateFields f = mHost.editorState();

  double factoryPreset = -1.0;
  if (const PresetManager* pm = mHost.presetManager())
  {
    const int current = pm->currentIndex();
    if (!pm->editPending() && !pm->isModified() && current >= 0 && current < pm->factoryCount())
      factoryPreset = current;
  }

  const std::array<double, kEditorValueCount> values = {f.scale,
                                                        static_cast<double>(f.tab),
                                                        f.userTabUnlocked ? 1.0 : 0.0,
                                                        static_cast<double>(f.lineBrightness),
                                                        static_cast<double>(f.isoLevels),
                                                        static_cast<double>(f.gridStep),
                                                        f.positionLock ? 1.0 : 0.0,
                                                        f.soundLock ? 1.0 : 0.0,
                                                        f.stripCollapsed ? 1.0 : 0.0,
                                                        factoryPreset,
                                                        f.hoverHelp ? 1.0 : 0.0,
                                                        static_cast<double>(f.dragValue)};
  bool ok = chunk.Put(kEditorValueCount) > 0;
  for (double v : values)
    ok = chunk.Put(v) > 0 && ok;

  // Kept within the limits the reader accepts, so a saved layout always reads back.
  const UserTabColumns columns = mHost.userTabColumns();
  const size_t nColumns = std::min<size_t>(columns.size(), kMaxColumns);
  ok = chunk.Put(static_cast<uint32_t>(nColumns)) > 0 && ok;
  for (size_t c = 0; c < nColumns; ++c)
  {
    const size_t nEntries = std::min<size_t>(columns[c].size(), kMaxColumnEntries);
    ok = chunk.Put(static_cast<uint32_t>(nEntries)) > 0 && ok;
    for (size_t e = 0; e < nEntries; ++e)
    {
      const int id = columns[c][e];
      const bool isParam = id >= 0 && id < kNumParams;
      ok = chunk.Put(isParam ? 0u : 1u) > 0 && ok;
      ok = chunk.Put(isParam ? stableIdOf(id) : static_cast<uint32_t>(id)) > 0 && ok;
    }
  }
  return ok;
}

int VemlorStateCodec::unserializeUIState(const plugkit::IByteChunk& chunk, int pos) const
{
  if (pos < 0)
    return pos;
  uint32_t count = 0;
  pos = chunk.Get(count, pos);
  if (pos < 0)
    return -1;

  std::array<double, kEditorValueCount> v = kDefaults;
  const uint32_t known = std::min(count, kEditorValueCount);
  for (uint32_t i = 0; i < known; ++i)
  {
    double x = 0.0;
    const int next = chunk.Get(x, pos);
    if (next < 0)
      break;
    pos = next;
    v[i] = std::isfinite(x) ? x : kDefaults[i];
  }
  if (count > kEditorValueCount)
  {
    const int64_t skip = std::min<int64_t>(count - kEditorValueCount, (chunk.Size() - pos) / 8);
    pos += static_cast<int>(skip * 8);
  }

  const bool editorOpen = mHost.editorOpen();
  if (!editorOpen)
  {
    EditorStateFields f = mHost.editorState();
    f.scale = v[kScale] > 0.0 && v[kScale] <= kMaxScale ? v[kScale] : 1.0;
    f.tab = v[kTab] > -1.0 && v[kTab] < kMaxTab + 1 ? static_cast<int>(v[kTab]) : 0;
    f.userTabUnlocked = on(v[kUserTabUnlocked]);
    f.lineBrightness = static_cast<float>(clamp01(v[kLineBrightness]));
    f.isoLevels = static_cast<int>(std::lround(std::clamp(v[kIsoLevels], 0.0, double(Appearance::kMaxIsoLevels))));
    f.gridStep = static_cast<float>(std::clamp(v[kGridStep], Appearance::kMinGridStep, Appearance::kMaxGridStep));
    f.positionLock = on(v[kPositionLock]);
    applySelectionRule(f);
    f.soundLock = on(v[kSoundLock]);
    applySelectionRule(f);
    f.stripCollapsed = on(v[kStripCollapsed]);
    f.dragValue = static_cast<float>(clamp01(v[kDragValue]));
    mHost.applyEditorState(f);
  }

  if (PresetManager* pm = mHost.presetManager(); pm && !pm->isApplying())
  {
    const double r = std::round(v[kFactoryPreset]);
    pm->setLoadedEntry(r >= 0.0 && r < pm->factoryCount() ? static_cast<int>(r) : -1, false);
  }

  const int beforeColumns = pos;
  uint32_t nColumns = 0;
  if (const int next = chunk.Get(nColumns, pos); next < 0 || nColumns > kMaxColumns)
    return beforeColumns;
  pos += 4;

  UserTabColumns columns;
  columns.reserve(nColumns);
  for (uint32_t c = 0; c < nColumns; ++c)
  {
    uint32_t nEntries = 0;
    const int next = chunk.Get(nEntries, pos);
    if (next < 0 || nEntries > kMaxColumnEntries)
      break;
    pos = next;
    std::vector<int> column;
    bool complete = true;
    for (uint32_t e = 0; e < nEntries; ++e)
    {
      uint32_t kind = 0;
      uint32_t value = 0;
      if (chunk.Size() - pos < 8)
      {
        complete = false;
        break;
      }
      pos = chunk.Get(value, chunk.Get(kind, pos));
      int id = static_cast<int32_t>(value);
      if (kind == 0)
      {
        id = paramIndexFromStableId(value);
        if (id < 0)
          continue;
      }
      column.push_back(id == par_main_pt_variation ? par_main_pt_depth : id);
    }
    if (!complete)
      break;
    columns.push_back(std::move(column));
  }

  if (!editorOpen)
    mHost.setUserTabColumns(std::move(columns));
  return pos;
}

int VemlorStateCodec::applyParamsFromChunk(const plugkit::IByteChunk& chunk, int pos, int count) const
{
  for (int i = 0; i < kNumParams; ++i)
    if (plugkit::IParam* p = mHost.stateParam(i))
      p->Set(p->GetDefault());

  bool gainOnDrySeen = false;
  bool depthSeen = false;
  for (int n = 0; n < count && pos >= 0 && chunk.Size() - pos >= 12; ++n)
  {
    uint32_t id = 0;
    double value = 0.0;
    pos = chunk.Get(value, chunk.Get(id, pos));
    const int index = paramIndexFromStableId(id);
    plugkit::IParam* p = index >= 0 ? mHost.stateParam(index) : nullptr;
    if (!p || !std::isfinite(value))
      continue;
    p->Set(value);
    gainOnDrySeen = gainOnDrySeen || index == par_gain_on_dry;
    depthSeen = depthSeen || index == par_main_pt_depth;
  }

  if (plugkit::IParam* gainOnDry = mHost.stateParam(par_gain_on_dry); gainOnDry && !gainOnDrySeen)
    gainOnDry->Set(1.0);

  plugkit::IParam* depth = mHost.stateParam(par_main_pt_depth);
  plugkit::IParam* tilt = mHost.stateParam(par_main_pt_tilt);
  const plugkit::IParam* passType = mHost.stateParam(par_main_pass_type);
  const plugkit::IParam* variation = mHost.stateParam(par_main_pt_variation);
  if (!depthSeen && depth && tilt && passType && variation)
  {
    const morph::DepthTilt dt = morph::legacyDepthTilt(std::lround(passType->Value()), variation->Value());
    depth->Set(dt.depth);
    tilt->Set(dt.tilt);
  }
  return pos;
}

} // namespace zarvo
