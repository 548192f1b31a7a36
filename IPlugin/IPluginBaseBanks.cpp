// The plug-in base's preset list, bank files (FXB) and the loading of program files (FXP) into a slot.
#include <algorithm>
#include <cstring>
#include <string>

#include "IPlugin/IPluginBase.h"
#include "IPlugin/IPluginFXPFormat.h"
#include "IPlugin/IPluginFiles.h"
#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {

using namespace fxp;

namespace {

// A bank holds every slot's chunk: far more than one preset file, still bounded.
constexpr size_t kMaxBankFileBytes = 64u * 1024 * 1024;

// The 28-byte name field: cut to 28 bytes, zero-filled, with no terminator when it is full.
void PutProgramName(IByteChunk& image, const std::string& name)
{
  char field[kProgramNameSize] = {};
  std::memcpy(field, name.data(), std::min<size_t>(name.size(), kProgramNameSize));
  image.PutBytes(field, kProgramNameSize);
}

// The caller has checked that the field fits.
std::string GetProgramName(const IByteChunk& file, int pos)
{
  const char* field = reinterpret_cast<const char*>(file.GetData() + pos);
  return std::string(field, strnlen(field, kProgramNameSize));
}

// A slot name of the preset list: a 32-bit length, then that many bytes (up to a zero byte). A
// length below 1 is an empty name and the list goes on after it; -1 when the bytes are missing.
int GetSlotName(const IByteChunk& chunk, int pos, std::string& name)
{
  int32_t length = 0;
  pos = chunk.Get(length, pos);
  name.clear();
  if (pos < 0 || length < 1)
    return pos;
  if (!FitsAt(chunk, pos, length))
    return -1;
  const char* bytes = reinterpret_cast<const char*>(chunk.GetData() + pos);
  name.assign(bytes, strnlen(bytes, static_cast<size_t>(length)));
  return pos + length;
}

void PutProgramHeader(IByteChunk& image, int32_t variant, int32_t uniqueID, int32_t version, int32_t nParams,
                      const std::string& name)
{
  PutBE32(image, kMagicCcnK);
  PutBE32(image, 0);
  PutBE32(image, variant);
  PutBE32(image, kProgramVersion);
  PutBE32(image, uniqueID);
  PutBE32(image, version);
  PutBE32(image, nParams);
  PutProgramName(image, name);
}

} // namespace

bool IPluginBase::SerializePresets(IByteChunk& chunk) const
{
  bool ok = true;
  for (const IPreset& preset : mPresets)
  {
    ok = chunk.PutStr(preset.mName.c_str()) > 0 && ok;
    ok = chunk.Put(preset.mInitialized) > 0 && ok;
    if (preset.mInitialized && preset.mChunk.Size() > 0)
      ok = chunk.PutChunk(preset.mChunk) > 0 && ok;
  }
  return ok;
}

int IPluginBase::UnserializePresets(const IByteChunk& chunk, int startPos)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  IByteChunk before;
  const bool saved = SerializeState(before);
  int pos = startPos;
  for (IPreset& preset : mPresets)
  {
    std::string name;
    bool initialized = false;
    pos = GetSlotName(chunk, pos, name);
    pos = chunk.Get(initialized, pos);
    if (pos < 0)
      break;
    if (initialized)
    {
      // Applying the state is how its end is found; the slot then keeps the state as written now.
      pos = UnserializeState(chunk, pos);
      IByteChunk state;
      if (pos < 1 || !SerializeState(state))
      {
        pos = -1;
        break;
      }
      preset.mChunk.Clear();
      preset.mChunk.PutChunk(state);
    }
    preset.mName.assign(name, 0, IPreset::kMaxNameLength);
    preset.mInitialized = initialized;
  }
  // Reading applied each slot's state in turn. A made current slot brings its own back; a fresh one
  // must not be made from whatever slot was read last, so the state from before comes back instead.
  const IPreset* current = GetPreset(mCurrentPresetIdx);
  if (current && current->mInitialized)
    RestorePreset(mCurrentPresetIdx);
  else if (saved)
  {
    UnserializeState(before, 0);
    OnRestoreState();
  }
  return pos;
}

bool IPluginBase::SaveBankAsFXB(const char* path) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!path || !*path)
    return false;

  const int32_t version = GetPluginVersion(true);
  IByteChunk data;
  if (mStateChunks)
  {
    PutBE32(data, kMagicTffp);
    data.Put(kFrameworkVersionWord);
    if (!SerializePresets(data))
      return false;
  }

  IByteChunk image;
  PutBE32(image, kMagicCcnK);
  PutBE32(image, mStateChunks ? data.Size() + kBankDataPos : 0); // the whole file's length, as readers expect
  PutBE32(image, mStateChunks ? kMagicFBCh : kMagicFxBk);
  PutBE32(image, kBankVersion);
  PutBE32(image, mUniqueID);
  PutBE32(image, version);
  PutBE32(image, NPresets());
  PutBE32(image, mCurrentPresetIdx);
  const char reserved[kBankReservedSize] = {};
  image.PutBytes(reserved, kBankReservedSize);

  if (mStateChunks)
  {
    PutBE32(image, data.Size());
    image.PutChunk(data);
  }
  else
  {
    for (const IPreset& preset : mPresets)
    {
      PutProgramHeader(image, kMagicFxCk, mUniqueID, version, NParams(), preset.mName);
      int pos = 0;
      for (int i = 0; i < NParams(); ++i)
      {
        double value = 0.0;
        if (pos >= 0)
          pos = preset.mChunk.Get(value, pos);
        PutBEFloat(image, static_cast<float>(GetParam(i)->ToNormalized(pos >= 0 ? value : 0.0)));
      }
    }
  }
  if (image.Size() == 0)
    return false;
  return WriteFileAtomic(path, image) == EFileResult::kOk;
}

bool IPluginBase::LoadBankFromFXB(const char* path)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  IByteChunk file;
  if (ReadFileCapped(path, kMaxBankFileBytes, file) != EFileResult::kOk || file.Size() < kBankHeaderSize)
    return false;
  if (GetBE32(file, 0) != kMagicCcnK || GetBE32(file, 16) != mUniqueID)
    return false;
  const int32_t variant = GetBE32(file, 8);
  const int32_t nPrograms = GetBE32(file, 24);
  const int32_t currentProgram = GetBE32(file, 28);
  const bool validCurrent = currentProgram >= 0 && currentProgram < NPresets();

  if (variant == kMagicFBCh && mStateChunks)
  {
    if (file.Size() < kBankDataPos)
      return false;
    int pos = kBankDataPos;
    if (FitsAt(file, pos, 4) && GetBE32(file, pos) == kMagicTffp)
      pos += 8;
    // The list reader restores the plug-in's own current slot; the bank's index is not taken over.
    const bool ok = UnserializePresets(file, pos) >= 0;
    InformHostOfPresetChange();
    return ok;
  }
  if (variant != kMagicFxBk)
    return false;

  const int previousPreset = mCurrentPresetIdx;
  const int recordSize = kProgramHeaderSize + 4 * NParams();
  int pos = kBankHeaderSize;
  for (int i = 0; i < std::min(nPrograms, NPresets()); ++i, pos += recordSize)
  {
    const bool valid = FitsAt(file, pos, recordSize) && GetBE32(file, pos) == kMagicCcnK &&
                       GetBE32(file, pos + 8) == kMagicFxCk && GetBE32(file, pos + 12) == kProgramVersion &&
                       GetBE32(file, pos + 24) == NParams();
    if (!valid || !RestorePreset(i))
    {
      RestorePreset(previousPreset);
      return false;
    }
    for (int p = 0; p < NParams(); ++p)
      GetParam(p)->SetNormalized(std::clamp<double>(GetBEFloat(file, pos + kProgramHeaderSize + 4 * p), 0.0, 1.0));
    ModifyCurrentPreset(GetProgramName(file, pos + kProgramNamePos).c_str());
  }
  RestorePreset(validCurrent ? currentProgram : mCurrentPresetIdx);
  InformHostOfPresetChange();
  return true;
}

bool IPluginBase::LoadPresetFromFXP(const char* path)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  IByteChunk file;
  if (ReadFileCapped(path, kMaxBankFileBytes, file) != EFileResult::kOk || file.Size() < kProgramHeaderSize)
    return false;
  if (GetBE32(file, 0) != kMagicCcnK || GetBE32(file, 12) != kProgramVersion || GetBE32(file, 16) != mUniqueID)
    return false;
  const int32_t variant = GetBE32(file, 8);
  const std::string name = GetProgramName(file, kProgramNamePos);

  if (variant == kMagicFPCh && mStateChunks)
  {
    constexpr int kChunkDataPos = kProgramHeaderSize + 4;
    if (!FitsAt(file, kChunkDataPos, 0))
      return false;
    const int statePos =
      FitsAt(file, kChunkDataPos, 4) && GetBE32(file, kChunkDataPos) == kMagicTffp ? kChunkDataPos + 8 : kChunkDataPos;
    IByteChunk before;
    const bool saved = SerializeState(before);
    if (UnserializeState(file, statePos) < 1)
    {
      if (saved)
        UnserializeState(before, 0); // a state the reader gave up on half-way must not stay applied
      return false;
    }
    IByteChunk state;
    if (mCurrentPresetIdx >= 0 && mCurrentPresetIdx < NPresets() && SerializeState(state))
    {
      IPreset& preset = mPresets[static_cast<size_t>(mCurrentPresetIdx)];
      preset.mChunk.Clear();
      preset.mChunk.PutChunk(state);
      preset.mInitialized = true;
      if (!name.empty())
        preset.mName = name;
    }
  }
  else if (variant == kMagicFxCk)
  {
    if (GetBE32(file, 24) != NParams() || !FitsAt(file, kProgramHeaderSize, 4 * NParams()))
      return false;
    for (int p = 0; p < NParams(); ++p)
      GetParam(p)->SetNormalized(std::clamp<double>(GetBEFloat(file, kProgramHeaderSize + 4 * p), 0.0, 1.0));
    ModifyCurrentPreset(name.c_str());
    if (mCurrentPresetIdx >= 0 && mCurrentPresetIdx < NPresets())
      mPresets[static_cast<size_t>(mCurrentPresetIdx)].mInitialized = true;
  }
  else
    return false;

  if (!RestorePreset(mCurrentPresetIdx))
    OnRestoreState();
  InformHostOfPresetChange();
  return true;
}

} // namespace plugkit
