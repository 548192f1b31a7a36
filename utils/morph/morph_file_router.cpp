#include "utils/morph/morph_file_router.h"

#include <array>
#include <bit>
#include <cstdio>
#include <limits>
#include <optional>
#include <vector>

#include "IPlugin/IPluginFiles.h"
#include "IPlugin/IPluginThreadRole.h"
#include "utils/midi_cc/mapper.h"
#include "utils/midi_cc/mapper_serializer.h"
#include "utils/morph/stored_values.h"

namespace zarvo::morph {

namespace {

constexpr int kHeaderSize = 56;
constexpr int kChunkPos = 60;
constexpr int kChunkAfterMarkerPos = 68;

uint32_t bigEndian32(const plugkit::IByteChunk& data, int pos)
{
  const uint8_t* p = data.GetData() + pos;
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

uint32_t fourCC(const char (&code)[5]) { return static_cast<uint32_t>(plugkit::MakeFourCC(code)); }

// The whole file: kUnreadable when it is missing, empty or unreadable, kNotOurs when it is too large.
plugkit::EFileResult readWholeFile(const std::string& path, plugkit::IByteChunk& out)
{
  std::string bytes;
  const plugkit::EFileResult result =
    plugkit::ReadFileCapped(path, static_cast<size_t>(MorphFileRouter::kMaxPresetFileSize), bytes);
  if (result != plugkit::EFileResult::kOk)
    return result;
  out.Clear();
  out.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
  return bytes.empty() || out.Size() != static_cast<int>(bytes.size()) ? plugkit::EFileResult::kUnreadable
                                                                       : plugkit::EFileResult::kOk;
}

size_t lowestPoint(uint32_t mask) { return static_cast<size_t>(std::countr_zero(mask & kPointBits)); }

} // namespace

MorphFileRouter::MorphFileRouter(const Services& services, IMorphPointSink& sink, const plugkit::Config& product,
                                 const MorphParamTable& table)
  : mParams(services.params)
  , mHistory(services.history)
  , mEditor(services.editor)
  , mEditorServices(services.editorServices)
  , mStates(services.states)
  , mProductId(product.uniqueId)
  , mTable(table)
  , mSink(sink)
{}

PatchIdentity MorphFileRouter::fileIdentity(const std::string& path)
{
  return path.empty() ? PatchIdentity{} : PatchIdentity{2, path, -1, false};
}

bool MorphFileRouter::loadPresetIntoPoints(const PresetSource& source)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mSink.inPointLoadContext() || !mHistory.hasPresetManager())
    return false;
  const uint32_t mask = mSink.engine().selection() & kPointBits;
  if (mask == 0)
    return false;
  const MorphPoint& start = mSink.engine().editState().points[lowestPoint(mask)];
  MorphValues values = start.values;
  uint32_t noteMask = start.noteMask;

  PatchIdentity identity;
  if (source.kind == 0)
  {
    std::string path;
    plugkit::IByteChunk chunk;
    if (!mHistory.presetListEntry(source.index, path, chunk))
      return false;
    const bool read = path.empty() ? readChunkMorphParams(chunk, 0, values, noteMask)
                                   : readFXPMorphParams(path, values, noteMask) == plugkit::EFileResult::kOk;
    if (!read)
      return false;
    identity = mHistory.identityForListIndex(source.index);
  }
  else
  {
    if (readFXPMorphParams(source.path, values, noteMask) != plugkit::EFileResult::kOk)
      return false;
    identity = fileIdentity(source.path);
  }

  mSink.commitPointsPreset(mask, values, noteMask, identity);
  if (mEditor.editorOpen())
    mEditor.markControlsDirty();
  return true;
}

plugkit::EFileResult MorphFileRouter::readFXPMorphParams(const std::string& path, MorphValues& values,
                                                         uint32_t& noteMask) const
{
  plugkit::IByteChunk file;
  if (const plugkit::EFileResult read = readWholeFile(path, file); read != plugkit::EFileResult::kOk)
    return read;
  if (file.Size() < kHeaderSize || bigEndian32(file, 0) != fourCC("CcnK") || bigEndian32(file, 8) != fourCC("FPCh") ||
      bigEndian32(file, 16) != static_cast<uint32_t>(mProductId))
    return plugkit::EFileResult::kNotOurs;

  int start = kChunkPos;
  if (file.Size() >= kChunkPos + 4 && bigEndian32(file, kChunkPos) == fourCC("tffp"))
    start = file.Size() >= kChunkAfterMarkerPos ? kChunkAfterMarkerPos : -1;
  return readChunkMorphParams(file, start, values, noteMask) ? plugkit::EFileResult::kOk
                                                             : plugkit::EFileResult::kNotOurs;
}

bool MorphFileRouter::readChunkMorphParams(const plugkit::IByteChunk& chunk, int pos, MorphValues& values,
                                           uint32_t& noteMask) const
{
  int32_t version = 0;
  if (pos < 0 || (pos = chunk.Get(version, pos)) < 0)
    return false;

  // The controller map is parsed into a scratch map only to find where it ends.
  midi_cc::Mapper scratch;
  if ((pos = midi_cc::mapper_serializer::unserialize(scratch, chunk, pos, version)) < 0)
    return false;

  int32_t modCount = 0;
  if ((pos = chunk.Get(modCount, pos)) < 0 || modCount < 0 ||
      int64_t{modCount} * kModRecordSize > int64_t{chunk.Size()} - pos)
    return false;
  pos += static_cast<int>(int64_t{modCount} * kModRecordSize);

  double storedCount = 0.0;
  if ((pos = chunk.Get(storedCount, pos)) < 0)
    return false;
  const int64_t count = truncatedOr(storedCount, 0, kMaxStoredParams + 1, kMaxStoredParams + 1);
  if (count > kMaxStoredParams)
    return false;

  std::vector<std::optional<double>> stored(static_cast<size_t>(mTable.numParams));
  for (int64_t i = 0; i < count; ++i)
  {
    uint32_t id = 0;
    double value = 0.0;
    int next = chunk.Get(id, pos);
    if (next < 0 || (next = chunk.Get(value, next)) < 0)
      break;
    pos = next;
    const int param = mTable.paramFromStableId(id);
    if (param >= 0 && std::isfinite(value))
      stored[static_cast<size_t>(param)] = value;
  }

  for (size_t r = 0; r < kNumMorphParams; ++r)
  {
    const int param = mTable.rows[r].param;
    if (const std::optional<double>& v = stored[static_cast<size_t>(param)])
      values[r] = mParams.param(param).ToNormalized(*v);
    else if (param == mTable.gainOnDry)
      values[r] = mParams.param(param).ToNormalized(1.0);
  }

  if (!stored[static_cast<size_t>(mTable.mainDepth)])
  {
    const plugkit::IParam& passTypeParam = mParams.param(mTable.mainPassType);
    const double passType = stored[static_cast<size_t>(mTable.mainPassType)].value_or(passTypeParam.GetDefault());
    const int64_t t = roundedOr(passType, -1, 1 << 20, 0);
    const DepthTilt dt = legacyDepthTilt(t, stored[static_cast<size_t>(mTable.mainVariation)].value_or(0.0));
    values[static_cast<size_t>(mTable.rowOf(mTable.mainDepth))] =
      mParams.param(mTable.mainDepth).ToNormalized(dt.depth);
    values[static_cast<size_t>(mTable.rowOf(mTable.mainTilt))] = mParams.param(mTable.mainTilt).ToNormalized(dt.tilt);
  }

  for (const NoteAnchor& a : mTable.noteAnchors)
  {
    const uint32_t bit = 1u << a.row;
    const std::optional<double>& v = stored[static_cast<size_t>(a.switchParam)];
    noteMask = v && *v > 0.5 ? (noteMask | bit) : (noteMask & ~bit);
  }
  return true;
}

bool MorphFileRouter::writeMorphValuesFXP(const MorphValues& values, const std::string& path,
                                          std::optional<uint32_t> noteMask)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  std::array<double, kNumMorphParams> saved{};
  for (size_t r = 0; r < kNumMorphParams; ++r)
  {
    plugkit::IParam& p = mParams.param(mTable.rows[r].param);
    saved[r] = p.Value();
    p.Set(p.FromNormalized(values[r]));
  }
  plugkit::IParam& active = mParams.param(mTable.morphActive);
  const double savedActive = active.Value();
  active.Set(0.0);
  std::array<double, std::tuple_size_v<decltype(MorphParamTable::noteAnchors)>> savedAnchors{};
  for (size_t k = 0; k < mTable.noteAnchors.size(); ++k)
  {
    plugkit::IParam& anchor = mParams.param(mTable.noteAnchors[k].switchParam);
    savedAnchors[k] = anchor.Value();
    if (noteMask)
      anchor.Set((*noteMask & (1u << mTable.noteAnchors[k].row)) ? 1.0 : 0.0);
  }

  const bool written = mStates.savePresetFile(path);

  for (size_t r = 0; r < kNumMorphParams; ++r)
    mParams.param(mTable.rows[r].param).Set(saved[r]);
  active.Set(savedActive);
  for (size_t k = 0; k < mTable.noteAnchors.size(); ++k)
    mParams.param(mTable.noteAnchors[k].switchParam).Set(savedAnchors[k]);
  if (mEditor.editorOpen())
    mEditor.pushParamsToEditor();
  return written;
}

void MorphFileRouter::promptSaveBlendToFile()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mEditor.editorOpen())
    return;
  promptForPresetFile(true, [this](const std::string& path) {
    const MorphValues blend =
      mSink.engine().resolvedAt(mParams.param(mTable.morphX).Value(), mParams.param(mTable.morphY).Value());
    report(writeMorphValuesFXP(blend, path) ? plugkit::EFileResult::kOk : plugkit::EFileResult::kWriteFailed);
  });
}

void MorphFileRouter::promptLoadPointsFromFile(uint32_t mask)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mask &= kPointBits;
  if (mask == 0 || !mEditor.editorOpen())
    return;
  promptForPresetFile(false, [this, mask](const std::string& path) {
    const MorphPoint& start = mSink.engine().editState().points[lowestPoint(mask)];
    MorphValues values = start.values;
    uint32_t noteMask = start.noteMask;
    const plugkit::EFileResult result = readFXPMorphParams(path, values, noteMask);
    if (result == plugkit::EFileResult::kOk)
      mSink.commitPointsPreset(mask, values, noteMask, fileIdentity(path));
    report(result);
  });
}

void MorphFileRouter::promptSavePointToFile(int point)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (point < 0 || point >= static_cast<int>(kNumPoints) || !mEditor.editorOpen())
    return;
  const MorphPoint& p = mSink.engine().editState().points[static_cast<size_t>(point)];
  promptForPresetFile(true, [this, values = p.values, noteMask = p.noteMask](const std::string& path) {
    report(writeMorphValuesFXP(values, path, noteMask) ? plugkit::EFileResult::kOk
                                                       : plugkit::EFileResult::kWriteFailed);
  });
}

void MorphFileRouter::promptForPresetFile(bool save, std::function<void(const std::string& path)> chosen)
{
  mEditorServices.promptForFile({}, {}, save ? IEditorServices::EFileAction::Save : IEditorServices::EFileAction::Open,
                                "fxp", [chosen = std::move(chosen)](const std::string& path, const std::string&) {
                                  if (!path.empty())
                                    chosen(path);
                                });
}

void MorphFileRouter::report(plugkit::EFileResult result)
{
  mEditorServices.reportFileResult(result, IEditorServices::EFileContent::MorphField);
}

} // namespace zarvo::morph
