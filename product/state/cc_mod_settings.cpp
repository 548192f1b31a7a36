#include "product/state/cc_mod_settings.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <fmt/format.h>

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IPluginParameter.h"
#include "IPlugin/IPluginThreadRole.h"
#include "IPlugin/TextScan.h"
#include "utils/zarvo_file.h"

namespace zarvo {

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

// Reads the next blank-separated value at the front of `rest` as an input stream would (leading white
// space skipped, then the longest value); `rest` then starts after it. A depth that is not finite is
// read and left to the depth's own rule.
template <class T>
bool readNext(std::string_view& rest, T& out)
{
  if constexpr (std::is_same_v<T, std::string_view>)
  {
    const size_t start = rest.find_first_not_of(plugkit::kStreamBlanks);
    if (start == std::string_view::npos)
      return false;
    rest.remove_prefix(start);
    const size_t end = std::min(rest.find_first_of(plugkit::kStreamBlanks), rest.size());
    out = rest.substr(0, end);
    rest.remove_prefix(end);
    return true;
  }
  else
    return plugkit::ReadNumber(rest, out, {.blanks = plugkit::kStreamBlanks, .plusThenMinus = true, .finite = false});
}

} // namespace

uint32_t CCModSettings::mode(int param) const
{
  return validParam(param) ? mMode[static_cast<size_t>(param)].load(kRelaxed) : 0;
}

bool CCModSettings::held(int param) const
{
  return validParam(param) && mHeld[static_cast<size_t>(param)].load(kRelaxed);
}

int32_t CCModSettings::multiply(int slot) const
{
  return slot >= 0 && slot < mod::kNumModSlots ? mMultiply[static_cast<size_t>(slot)].load(kRelaxed) : 0;
}

double CCModSettings::depth(int slot) const
{
  return slot >= 0 && slot < mod::kNumModSlots ? mDepth[static_cast<size_t>(slot)].load(kRelaxed) : 0.0;
}

bool CCModSettings::bipolar(int slot) const
{
  return slot >= 0 && slot < mod::kNumModSlots && mBipolar[static_cast<size_t>(slot)].load(kRelaxed);
}

void CCModSettings::setMode(int param, uint32_t mode)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (validParam(param))
  {
    mMode[static_cast<size_t>(param)].store(mode, kRelaxed);
    changed();
  }
}

void CCModSettings::setHeld(int param, bool held)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (validParam(param))
  {
    mHeld[static_cast<size_t>(param)].store(held, kRelaxed);
    changed();
  }
}

CCModValues CCModSettings::values() const
{
  CCModValues v;
  for (size_t p = 0; p < v.mode.size(); ++p)
    v.mode[p] = mMode[p].load(kRelaxed);
  for (size_t s = 0; s < v.depth.size(); ++s)
  {
    v.multiply[s] = mMultiply[s].load(kRelaxed);
    v.depth[s] = mDepth[s].load(kRelaxed);
    v.bipolar[s] = mBipolar[s].load(kRelaxed);
  }
  return v;
}

void CCModSettings::assign(const CCModValues& values)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  for (size_t p = 0; p < values.mode.size(); ++p)
    mMode[p].store(values.mode[p], kRelaxed);
  for (size_t s = 0; s < values.depth.size(); ++s)
  {
    mMultiply[s].store(values.multiply[s], kRelaxed);
    mDepth[s].store(values.depth[s], kRelaxed);
    mBipolar[s].store(values.bipolar[s], kRelaxed);
  }
  changed();
}

bool CCModSettings::isFrequencySlot(int slot)
{
  return slot >= 0 && slot < mod::kNumModSlots &&
         mod::kModParams[static_cast<size_t>(slot)].kind == mod::kKindFrequency;
}

double CCModSettings::depthLimit(int slot) const
{
  if (!isFrequencySlot(slot))
    return 1.0;
  const plugkit::IParam* p = mHost.ccModParam(mod::kModParams[static_cast<size_t>(slot)].param);
  if (!p || !(p->GetMin() > 0.0) || !(p->GetMax() > p->GetMin()))
    return 0.0;
  return finiteOr(std::log2(p->GetMax() / p->GetMin()), 0.0);
}

double CCModSettings::storedDepth(int slot, double depth) const
{
  const double limit = depthLimit(slot);
  return std::clamp(finiteOr(depth, 0.0), -limit, limit);
}

void CCModSettings::rederiveMode(int param)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!validParam(param))
    return;
  const uint32_t fallback = isFrequencySlot(slotOf(param)) && mHost.cutoffFollowsNotes(param) ? 1u : 0u;
  mMode[static_cast<size_t>(param)].store(fallback, kRelaxed);
  mHeld[static_cast<size_t>(param)].store(fallback == 0 && mHost.hasController(param), kRelaxed);
  changed();
}

void CCModSettings::rederiveHeld()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  for (int p = 0; p < kNumParams; ++p)
    mHeld[static_cast<size_t>(p)].store(mode(p) == 0 && mHost.hasController(p), kRelaxed);
  changed();
}

void CCModSettings::setCCModDepth(int param, double depth)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const int slot = slotOf(param);
  if (slot < 0)
    return;
  depth = finiteOr(depth, 0.0);

  double stored = 0.0;
  if (isFrequencySlot(slot))
  {
    if (const plugkit::IParam* p = mHost.ccModParam(param))
    {
      const double v = p->Value();
      const double target = p->FromNormalized(std::clamp(p->GetNormalized() + depth, 0.0, 1.0));
      if (v > 0.0 && target > 0.0)
        stored = std::log2(target / v);
    }
  }
  else
    stored = depth;

  mDepth[static_cast<size_t>(slot)].store(storedDepth(slot, stored), kRelaxed);
  mBipolar[static_cast<size_t>(slot)].store(false, kRelaxed);
  changed();
}

int CCModSettings::invertCCDepth(int param)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const int slot = slotOf(param);
  if (slot >= 0 && !bipolar(slot))
  {
    mDepth[static_cast<size_t>(slot)].store(-depth(slot), kRelaxed);
    changed();
  }
  return slot;
}

int CCModSettings::toggleCCBipolar(int param)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const int slot = slotOf(param);
  if (slot >= 0)
  {
    mBipolar[static_cast<size_t>(slot)].store(!bipolar(slot), kRelaxed);
    changed();
  }
  return slot;
}

int CCModSettings::resetCCModSettings(int param)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const int slot = slotOf(param);
  if (slot < 0)
    return -1;
  rederiveMode(param);
  mDepth[static_cast<size_t>(slot)].store(0.0, kRelaxed);
  mMultiply[static_cast<size_t>(slot)].store(0, kRelaxed);
  mBipolar[static_cast<size_t>(slot)].store(false, kRelaxed);
  changed();
  return slot;
}

void CCModSettings::serializeCCMod(plugkit::IByteChunk& chunk) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const CCModValues v = values();
  const auto differs = [&v](size_t s) {
    const size_t param = static_cast<size_t>(mod::kModParams[s].param);
    return v.mode[param] != 0 || v.multiply[s] != 0 || v.depth[s] != 0.0 || v.bipolar[s];
  };

  uint32_t count = 0;
  for (size_t s = 0; s < v.depth.size(); ++s)
    count += differs(s) ? 1u : 0u;
  chunk.Put(count);

  for (size_t s = 0; s < v.depth.size(); ++s)
  {
    if (!differs(s))
      continue;
    const int param = mod::kModParams[s].param;
    chunk.Put(stableIdOf(param));
    chunk.Put(static_cast<uint8_t>(v.mode[static_cast<size_t>(param)] & 0xFF));
    chunk.Put(static_cast<uint8_t>(static_cast<uint32_t>(v.multiply[s]) & 0xFF));
    chunk.Put(v.depth[s]);
    chunk.Put(static_cast<uint8_t>(v.bipolar[s] ? 1 : 0));
  }
}

int CCModSettings::skipCCMod(const plugkit::IByteChunk& chunk, int pos)
{
  if (pos < 0)
    return pos;
  int32_t count = 0;
  if (chunk.Get(count, pos) < 0 || count < 0)
    return -1;
  const int64_t end = int64_t{pos} + 4 + int64_t{kRecordSize} * count;
  return end <= chunk.Size() ? static_cast<int>(end) : -1;
}

int CCModSettings::parseCCMod(const plugkit::IByteChunk& chunk, int pos, CCModValues& out) const
{
  out = CCModValues{};
  const int end = skipCCMod(chunk, pos);
  if (end < 0)
    return end;

  int32_t count = 0;
  pos = chunk.Get(count, pos);
  for (int32_t r = 0; r < count; ++r)
  {
    uint32_t id = 0;
    uint8_t modeByte = 0;
    uint8_t multiplyByte = 0;
    double depth = 0.0;
    uint8_t bipolarByte = 0;
    pos = chunk.Get(bipolarByte, chunk.Get(depth, chunk.Get(multiplyByte, chunk.Get(modeByte, chunk.Get(id, pos)))));

    const int param = paramIndexFromStableId(id);
    const int slot = slotOf(param);
    if (slot < 0)
      continue;
    // Modes other than 0 and 1 would read as neither absolute nor modulating.
    out.mode[static_cast<size_t>(param)] = modeByte != 0 ? 1 : 0;
    out.multiply[static_cast<size_t>(slot)] = multiplyByte;
    out.depth[static_cast<size_t>(slot)] = storedDepth(slot, depth);
    out.bipolar[static_cast<size_t>(slot)] = bipolarByte != 0;
  }
  return end;
}

int CCModSettings::unserializeCCMod(const plugkit::IByteChunk& chunk, int pos)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  CCModValues staged;
  const int end = parseCCMod(chunk, pos, staged);
  if (end >= 0)
    assign(staged);
  return end;
}

void CCModSettings::writeCCModConfig(ZarvoFile& file) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const CCModValues v = values();
  std::vector<std::string> lines;
  lines.reserve(mod::kNumModSlots);
  for (size_t s = 0; s < mod::kModParams.size(); ++s)
  {
    const int param = mod::kModParams[s].param;
    lines.push_back(fmt::format("{} {} {} {:.10g} {}", paramName(param),
                                v.mode[static_cast<size_t>(param)] == 1 ? 1 : 0, v.multiply[s], v.depth[s],
                                v.bipolar[s] ? 1 : 0));
  }
  file.setSection(kSectionName, std::move(lines));
}

void CCModSettings::readCCModConfig(const ZarvoFile& file)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  CCModValues staged;
  for (const std::string& line : file.section(kSectionName))
  {
    std::string_view rest = line;
    std::string_view name;
    int mode = 0;
    if (!readNext(rest, name) || !readNext(rest, mode))
      continue;
    const int param = paramIndexFromName(name);
    const int slot = slotOf(param);
    if (slot < 0)
      continue;
    staged.mode[static_cast<size_t>(param)] = mode != 0 ? 1 : 0;

    int32_t multiply = 0;
    double depth = 0.0;
    int bipolar = 0;
    if (!readNext(rest, multiply) || !readNext(rest, depth) || !readNext(rest, bipolar))
      continue;
    staged.multiply[static_cast<size_t>(slot)] = multiply;
    staged.depth[static_cast<size_t>(slot)] = storedDepth(slot, depth);
    staged.bipolar[static_cast<size_t>(slot)] = bipolar != 0;
  }
  assign(staged);
  rederiveHeld();
}

} // namespace zarvo
