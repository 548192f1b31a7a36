// The plug-in base's version texts, operations over parameter ranges and groups, preset making and
// preset source texts.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "IPlugin/Base64.h"
#include "IPlugin/IPluginBase.h"
#include "IPlugin/IPluginFiles.h"
#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {

namespace {
// Parameter and preset dumps are text of a few lines per parameter or preset.
constexpr size_t kMaxDumpFileBytes = 64u * 1024 * 1024;

constexpr int kMaxVersionStr = 32;

int32_t DecimalVersion(int32_t packed)
{
  return ((packed >> 16) & 0xFFFF) * 10000 + ((packed >> 8) & 0xFF) * 100 + (packed & 0xFF);
}

void VersionStr(int32_t packed, TextString& text)
{
  text.SetFormatted(kMaxVersionStr, "v%d.%d.%d", (packed >> 16) & 0xFFFF, (packed >> 8) & 0xFF, packed & 0xFF);
}

bool InGroup(const IParam& param, const char* group) { return group && std::strcmp(param.GetGroup(), group) == 0; }

// How a preset source text shows a parameter's value.
std::string ValueSrc(const IParam& param)
{
  char text[64];
  switch (param.Type())
  {
  case IParam::kTypeBool: return param.Value() >= 0.5 ? "true" : "false";
  case IParam::kTypeInt:
  case IParam::kTypeEnum: std::snprintf(text, sizeof(text), "%d", static_cast<int>(param.Value())); break;
  default: std::snprintf(text, sizeof(text), "%.6f", param.Value()); break;
  }
  return text;
}

// Appends text to the file's current content and writes the whole beside it.
bool AppendToFile(const char* path, const std::string& text)
{
  IByteChunk content;
  std::error_code ec;
  if (path && *path && std::filesystem::exists(path, ec) &&
      ReadFileCapped(path, kMaxDumpFileBytes, content) != EFileResult::kOk)
    return false;
  if (content.PutBytes(text.data(), static_cast<int>(text.size())) == 0 && !text.empty())
    return false;
  return WriteFileAtomic(path, content) == EFileResult::kOk;
}

} // namespace

int32_t IPluginBase::GetHostVersion(bool decimal) const
{
  return decimal ? DecimalVersion(mHostVersion) : mHostVersion;
}

void IPluginBase::GetPluginVersionStr(TextString& text) const { VersionStr(mVersion, text); }

void IPluginBase::GetHostVersionStr(TextString& text) const { VersionStr(mHostVersion, text); }

void IPluginBase::InitParamRange(int startIdx, int endIdx, int countStart, const char* nameFmt, double defaultValue,
                                 double minVal, double maxVal, double step, const char* label, int flags,
                                 const char* group, const IParam::Shape& shape, IParam::EParamUnit unit,
                                 IParam::DisplayFunc displayFunc)
{
  ForParamInRange(startIdx, endIdx, [&](int idx, IParam& param) {
    TextString name;
    name.SetFormatted(IParam::kMaxTextLength - 1, nameFmt ? nameFmt : "", countStart + (idx - startIdx));
    param.InitDouble(name.Get(), defaultValue, minVal, maxVal, step, label, flags, group, shape, unit, displayFunc);
  });
}

void IPluginBase::CloneParamRange(int cloneStartIdx, int cloneEndIdx, int startIdx, const char* searchStr,
                                  const char* replaceStr, const char* newGroup)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  for (int i = cloneStartIdx; i <= cloneEndIdx; ++i)
  {
    const int dest = startIdx + (i - cloneStartIdx);
    const IParam* source = GetParam(i);
    IParam* target = GetParam(dest);
    if (!source || !target)
      continue;
    const double value = source->Value();
    target->Init(*source, searchStr, replaceStr, newGroup);
    target->Set(value);
  }
}

void IPluginBase::CopyParamValues(int startSrcIdx, int startDestIdx, int nToCopy)
{
  for (int k = 0; k < nToCopy; ++k)
  {
    const IParam* source = GetParam(startSrcIdx + k);
    IParam* target = GetParam(startDestIdx + k);
    if (source && target)
      target->Set(source->Value());
  }
}

void IPluginBase::CopyParamValues(const char* inGroup, const char* outGroup)
{
  std::vector<int> in, out;
  ForParamInGroup(inGroup, [&](int idx, IParam&) { in.push_back(idx); });
  ForParamInGroup(outGroup, [&](int idx, IParam&) { out.push_back(idx); });
  for (size_t n = 0; n < std::min(in.size(), out.size()); ++n)
    GetParam(out[n])->Set(GetParam(in[n])->Value());
}

void IPluginBase::ForParamInRange(int startIdx, int endIdx, const std::function<void(int, IParam&)>& func)
{
  for (int i = std::max(startIdx, 0); i <= std::min(endIdx, NParams() - 1); ++i)
    func(i, *GetParam(i));
}

void IPluginBase::ForParamInGroup(const char* group, const std::function<void(int, IParam&)>& func)
{
  for (int i = 0; i < NParams(); ++i)
    if (InGroup(*GetParam(i), group))
      func(i, *GetParam(i));
}

void IPluginBase::DefaultParamValues() { DefaultParamValues(0, NParams() - 1); }

void IPluginBase::DefaultParamValues(int startIdx, int endIdx)
{
  ForParamInRange(startIdx, endIdx, [](int, IParam& param) { param.Set(param.GetDefault()); });
}

void IPluginBase::DefaultParamValues(const char* group)
{
  ForParamInGroup(group, [](int, IParam& param) { param.Set(param.GetDefault()); });
}

namespace {
void Randomise(int, IParam& param)
{
  // r in 0..RAND_MAX, scaled in single precision as the framework always has, so the largest r give 1.
  const float normalized = static_cast<float>(std::rand()) * 0x1p-31f;
  param.Set(param.FromNormalized(normalized));
}
} // namespace

void IPluginBase::RandomiseParamValues() { RandomiseParamValues(0, NParams() - 1); }

void IPluginBase::RandomiseParamValues(int startIdx, int endIdx) { ForParamInRange(startIdx, endIdx, Randomise); }

void IPluginBase::RandomiseParamValues(const char* group) { ForParamInGroup(group, Randomise); }

void IPluginBase::PrintParamValues()
{
  ForParamInRange(0, NParams() - 1, [](int, IParam&) {});
}

void IPluginBase::MakeDefaultPreset(const char* name, int nPresets)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  for (int i = 0; i < nPresets; ++i)
  {
    IByteChunk state;
    SerializeState(state);
    MakePresetFromChunk(name ? name : "Empty", state);
  }
}

void IPluginBase::MakePresetFromValues(const char* name, std::span<const double> values)
{
  IByteChunk chunk;
  for (int i = 0; i < NParams(); ++i)
    chunk.Put(static_cast<size_t>(i) < values.size() ? values[static_cast<size_t>(i)] : GetParam(i)->Value());
  MakePresetFromChunk(name, chunk);
}

void IPluginBase::MakePresetFromNamedValues(const char* name, std::span<const std::pair<int, double>> named)
{
  std::vector<double> values(static_cast<size_t>(NParams()));
  for (int i = 0; i < NParams(); ++i)
    values[static_cast<size_t>(i)] = GetParam(i)->Value();
  for (const auto& [idx, value] : named)
    if (idx >= 0 && idx < NParams())
      values[static_cast<size_t>(idx)] = value;
  MakePresetFromValues(name, values);
}

void IPluginBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk)
{
  IByteChunk chunk;
  if (sizeOfChunk > 0 && chunk.Resize(sizeOfChunk) == sizeOfChunk)
    Base64Decode(blob, chunk.GetData(), sizeOfChunk);
  MakePresetFromChunk(name, chunk);
}

void IPluginBase::EnsureDefaultPreset()
{
  const auto nFree = std::count_if(mPresets.begin(), mPresets.end(), [](const IPreset& p) { return !p.mInitialized; });
  MakeDefaultPreset("Empty", static_cast<int>(nFree));
}

void IPluginBase::PruneUninitializedPresets()
{
  std::erase_if(mPresets, [](const IPreset& p) { return !p.mInitialized; });
}

bool IPluginBase::RestorePreset(const char* name)
{
  if (!name || !*name)
    return false;
  for (int i = 0; i < NPresets(); ++i)
    if (mPresets[static_cast<size_t>(i)].mName == name)
      return RestorePreset(i);
  return false;
}

void IPluginBase::ModifyCurrentPreset(const char* name)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mCurrentPresetIdx < 0 || mCurrentPresetIdx >= NPresets())
    return;
  IPreset& preset = mPresets[static_cast<size_t>(mCurrentPresetIdx)];
  IByteChunk state;
  if (!SerializeState(state))
    return; // the slot keeps a whole state rather than a partial one
  preset.mChunk.Clear();
  preset.mChunk.PutChunk(state);
  if (name && *name)
    preset.mName.assign(name, 0, IPreset::kMaxNameLength);
}

std::string IPluginBase::GetPresetSrc() const
{
  std::string src = "MakePreset(\"" + std::string(GetPresetName(mCurrentPresetIdx)) + "\"";
  for (int i = 0; i < NParams(); ++i)
    src += ", " + ValueSrc(*GetParam(i));
  return src + ");\n";
}

std::string IPluginBase::GetPresetFromNamedParamsSrc(const std::function<std::string(int)>& nameOfIdx) const
{
  std::string src =
    "MakePresetFromNamedParams(\"" + std::string(GetPresetName(mCurrentPresetIdx)) + "\", " + std::to_string(NParams());
  for (int i = 0; i < NParams(); ++i)
    src += ",\n  " + (nameOfIdx ? nameOfIdx(i) : std::to_string(i)) + ", " + ValueSrc(*GetParam(i));
  return src + ");\n";
}

std::string IPluginBase::GetPresetBlobSrc() const
{
  const IPreset* preset = GetPreset(mCurrentPresetIdx);
  const std::string blob = preset ? Base64Encode(preset->mChunk.GetData(), preset->mChunk.Size()) : std::string();
  return "MakePresetFromBlob(\"" + std::string(GetPresetName(mCurrentPresetIdx)) + "\", \"" + blob + "\", " +
         std::to_string(preset ? preset->mChunk.Size() : 0) + ");\n";
}

bool IPluginBase::DumpMakePresetSrc(const char* path) const { return AppendToFile(path, GetPresetSrc()); }

bool IPluginBase::DumpMakePresetFromNamedParamsSrc(const char* path,
                                                   const std::function<std::string(int)>& nameOfIdx) const
{
  return AppendToFile(path, GetPresetFromNamedParamsSrc(nameOfIdx));
}

bool IPluginBase::DumpPresetBlob(const char* path) const { return AppendToFile(path, GetPresetBlobSrc()); }

} // namespace plugkit
