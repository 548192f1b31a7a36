#include "IPlugin/IPluginBase.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "IPlugin/IPluginFiles.h"
#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {

namespace {

// The FXP program-file container: big-endian fields, a 56-byte header, then the variant's data.
constexpr int32_t kMagicCcnK = MakeFourCC("CcnK");
constexpr int32_t kMagicFPCh = MakeFourCC("FPCh"); // opaque state chunk
constexpr int32_t kMagicFxCk = MakeFourCC("FxCk"); // normalised parameter values
constexpr int32_t kMagicTffp = MakeFourCC("tffp"); // leads the state inside an FPCh chunk
constexpr int32_t kFXPVersion = 1;
constexpr int32_t kFrameworkVersionWord = 0x00010000;
constexpr int kHeaderSize = 56;
constexpr int kPrgNameSize = 28;
constexpr int kChunkDataPos = 60;
constexpr int kStateAfterTffpPos = 68;
constexpr int kMinFileSize = 20;

void PutBE32(IByteChunk& chunk, int32_t value)
{
  const uint32_t v = static_cast<uint32_t>(value);
  const uint8_t bytes[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                            static_cast<uint8_t>(v)};
  chunk.PutBytes(bytes, 4);
}

// Reads a big-endian 32-bit field at pos; the caller has checked that it fits.
uint32_t GetBE32(const IByteChunk& chunk, int pos)
{
  const uint8_t* p = chunk.GetData() + pos;
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

bool FitsAt(const IByteChunk& chunk, int pos, int size) { return pos >= 0 && size <= chunk.Size() - pos; }

void PutHeader(IByteChunk& image, int32_t byteSize, int32_t variant, int32_t fxID, int32_t fxVersion, int32_t numParams,
               const char* prgName)
{
  PutBE32(image, kMagicCcnK);
  PutBE32(image, byteSize);
  PutBE32(image, variant);
  PutBE32(image, kFXPVersion);
  PutBE32(image, fxID);
  PutBE32(image, fxVersion);
  PutBE32(image, numParams);
  char name[kPrgNameSize] = {};
  std::strncpy(name, prgName, kPrgNameSize - 1);
  image.PutBytes(name, kPrgNameSize);
}

} // namespace

IPluginBase::IPluginBase(const Config& config)
  : mPresets(static_cast<size_t>(std::max(config.nPresets, 0)))
  , mStateChunks(config.stateChunks)
  , mUniqueID(config.uniqueId)
  , mVersion(config.version)
{
  CreateParams(config.nParams);
}

IPluginBase::~IPluginBase() = default;

void IPluginBase::InformHostOfParameterDetailsChange() {}

int IPluginBase::InformHostOfParameterValuesChange() { return 0; }

bool IPluginBase::SerializeState(IByteChunk& chunk) const { return SerializeParams(chunk); }

int IPluginBase::UnserializeState(const IByteChunk& chunk, int startPos) { return UnserializeParams(chunk, startPos); }

bool IPluginBase::SerializeVST3CtrlrState(IByteChunk&) const { return true; }

int IPluginBase::UnserializeVST3CtrlrState(const IByteChunk&, int startPos) { return startPos; }

void IPluginBase::InformHostOfPresetChange() {}

void IPluginBase::OnPresetsModified() {}

bool IPluginBase::SerializeParams(IByteChunk& chunk) const
{
  bool ok = true;
  for (int i = 0; i < NParams(); ++i)
    ok = chunk.Put(GetParam(i)->Value()) > 0 && ok;
  return ok;
}

int IPluginBase::UnserializeParams(const IByteChunk& chunk, int startPos)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  int pos = startPos;
  if (NParams() > 0 && startPos >= 0)
  {
    for (int i = 0; i < NParams(); ++i)
    {
      double value = 0.0;
      pos = chunk.Get(value, pos);
      if (pos < 0)
        break;
      GetParam(i)->Set(value);
    }
  }
  OnParamReset(EParamSource::kPresetRecall);
  return pos;
}

void IPluginBase::MakePresetFromChunk(const char* name, const IByteChunk& chunk)
{
  for (IPreset& preset : mPresets)
  {
    if (preset.mInitialized)
      continue;
    preset.mInitialized = true;
    preset.mName.assign(name ? name : "", 0, IPreset::kMaxNameLength);
    preset.mChunk.PutChunk(chunk);
    return;
  }
}

bool IPluginBase::RestorePreset(int idx)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (idx < 0 || idx >= NPresets())
    return false;

  IPreset& preset = mPresets[idx];
  if (!preset.mInitialized)
  {
    const auto nUserPresets = std::count_if(mPresets.begin(), mPresets.end(), [](const IPreset& p) {
      return p.mName.find("user preset") != std::string::npos;
    });
    IByteChunk state;
    if (!SerializeState(state))
      return false; // the slot stays fresh rather than holding a partial state
    preset.mInitialized = true;
    preset.mName = "user preset " + std::to_string(nUserPresets + 1);
    preset.mName.resize(std::min<size_t>(preset.mName.size(), IPreset::kMaxNameLength));
    preset.mChunk.Clear();
    preset.mChunk.PutChunk(state);
  }
  else if (UnserializeState(preset.mChunk, 0) < 1)
    return false;

  mCurrentPresetIdx = idx;
  OnPresetsModified();
  OnRestoreState();
  return true;
}

const char* IPluginBase::GetPresetName(int idx) const
{
  const IPreset* preset = GetPreset(idx);
  return preset ? preset->mName.c_str() : "";
}

const IPreset* IPluginBase::GetPreset(int idx) const { return idx >= 0 && idx < NPresets() ? &mPresets[idx] : nullptr; }

int32_t IPluginBase::GetPluginVersion(bool decimal) const
{
  if (!decimal)
    return mVersion;
  const int major = (mVersion >> 16) & 0xFFFF;
  const int minor = (mVersion >> 8) & 0xFF;
  const int patch = mVersion & 0xFF;
  return major * 10000 + minor * 100 + patch;
}

bool IPluginBase::SavePresetAsFXP(const char* path) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!path || !*path)
    return false;

  IByteChunk image;
  if (mStateChunks)
  {
    IByteChunk inner;
    PutBE32(inner, kMagicTffp);
    inner.Put(kFrameworkVersionWord);
    if (!SerializeState(inner))
      return false;
    PutHeader(image, inner.Size() + kChunkDataPos, kMagicFPCh, mUniqueID, GetPluginVersion(true), NParams(),
              GetPresetName(mCurrentPresetIdx));
    PutBE32(image, inner.Size());
    image.PutChunk(inner);
    if (image.Size() != inner.Size() + kChunkDataPos)
      return false;
  }
  else
  {
    PutHeader(image, 0, kMagicFxCk, mUniqueID, GetPluginVersion(true), NParams(), GetPresetName(mCurrentPresetIdx));
    for (int i = 0; i < NParams(); ++i)
      PutBE32(image, static_cast<int32_t>(std::bit_cast<uint32_t>(static_cast<float>(GetParam(i)->GetNormalized()))));
    if (image.Size() != kHeaderSize + 4 * NParams())
      return false;
  }
  return WriteFileAtomic(path, image) == EFileResult::kOk;
}

bool IPluginBase::LoadStateFromFXP(const char* path)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!path || !*path)
    return false;
  IByteChunk file;
  if (ReadFileCapped(path, kMaxPresetFileBytes, file) != EFileResult::kOk || file.Size() < kMinFileSize)
    return false;

  const int32_t magic = static_cast<int32_t>(GetBE32(file, 0));
  const int32_t variant = static_cast<int32_t>(GetBE32(file, 8));
  const int32_t version = static_cast<int32_t>(GetBE32(file, 12));
  const int32_t fxID = static_cast<int32_t>(GetBE32(file, 16));
  if (magic != kMagicCcnK || version != kFXPVersion || fxID != mUniqueID)
    return false;
  // Too short for the whole header: nothing after it can be read.
  if (file.Size() < kHeaderSize)
    return false;

  if (variant == kMagicFPCh && mStateChunks)
  {
    int statePos = -1;
    const bool hasTffp = FitsAt(file, kChunkDataPos, 4) && GetBE32(file, kChunkDataPos) == uint32_t(kMagicTffp);
    if (hasTffp && file.Size() >= kStateAfterTffpPos)
      statePos = kStateAfterTffpPos;
    else if (!hasTffp && file.Size() >= kChunkDataPos)
      statePos = kChunkDataPos;
    if (statePos < 0 || UnserializeState(file, statePos) < 1)
      return false;
  }
  else if (variant == kMagicFxCk)
  {
    int pos = kHeaderSize;
    for (int i = 0; i < NParams() && FitsAt(file, pos, 4); ++i, pos += 4)
      GetParam(i)->SetNormalized(std::clamp<double>(std::bit_cast<float>(GetBE32(file, pos)), 0.0, 1.0));
    // The values reach the plug-in's change handlers as a state chunk's do.
    OnParamReset(EParamSource::kPresetRecall);
  }
  else
    return false;

  OnRestoreState();
  InformHostOfPresetChange();
  return true;
}

} // namespace plugkit
