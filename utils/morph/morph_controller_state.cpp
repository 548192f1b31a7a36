// The morph field's section of the plug-in state: its writer and its validating reader.
#include "utils/morph/morph_controller.h"

#include <bit>
#include <limits>

#include "IPlugin/IPluginThreadRole.h"
#include "utils/morph/stored_values.h"

namespace zarvo::morph {

bool MorphController::serializeMorphState(plugkit::IByteChunk& chunk) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const MorphEngine::RTState& s = mEngine.editState();
  bool ok = true;
  const auto put = [&](auto v) { ok = chunk.Put(v) > 0 && ok; };

  put(kStateVersion);
  put(kFieldValueCount);
  const std::array<double, kFieldValueCount> fields = {
    s.sigma,
    mEngine.pointScale(),
    static_cast<double>(s.focus),
    s.shapeContrast,
    static_cast<double>(s.model),
    s.kernelTail,
    s.tailPower,
    s.neighborIndex[modelSlot(s.model)],
    static_cast<double>(s.nnSamples),
    s.nnRadius,
    static_cast<double>(mEngine.selection() & kPointBits),
    s.neighborIndex[0],
    s.neighborIndex[1],
    s.neighborIndex[2],
    s.neighborIndex[3],
    s.neighborIndex[4],
    s.cutoffContrast,
  };
  for (const double v : fields)
    put(v);

  put(static_cast<int32_t>(kNumPoints));
  for (const MorphPoint& p : s.points)
  {
    put(kPointHeaderCount);
    put(p.x);
    put(p.y);
    put(p.active ? 1.0 : 0.0);
    put(static_cast<double>(p.noteMask));
    put(static_cast<int32_t>(kNumMorphParams));
    for (size_t r = 0; r < kNumMorphParams; ++r)
    {
      put(mTable.stableIdOf(mTable.rows[r].param));
      put(p.values[r]);
    }
  }

  put(static_cast<int32_t>(kNumPoints));
  for (const PatchIdentity& identity : mPointIdentity)
    ok = mHistory.putPatchIdentity(chunk, identity) && ok;
  return ok;
}

int MorphController::unserializeMorphState(const plugkit::IByteChunk& chunk, int pos)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (pos < 0)
    return pos;
  const int64_t size = chunk.Size();
  if (int64_t{pos} + 4 > size)
    return pos;
  if (int64_t{pos} + 8 > size)
    return -1;

  // A later version's layout is not this one: refused, as the state chunk refuses one.
  int32_t version = 0;
  chunk.Get(version, pos);
  if (version > kStateVersion)
    return -1;

  uint32_t fieldCount = 0;
  chunk.Get(fieldCount, pos + 4);
  int p = pos + 8;
  if (fieldCount > kMaxFieldValues)
    return -1;

  // Everything is read into a copy and taken over only once the whole section has been read.
  MorphEngine::RTState s = mEngine.editState();
  enum Field
  {
    kSigma,
    kPointScale,
    kFocus,
    kShapeContrast,
    kModel,
    kKernelTail,
    kTailPower,
    kNeighborIndex,
    kNNSamples,
    kNNRadius,
    kSelection,
    kNeighborIndex0,
    kCutoffContrast = kNeighborIndex0 + kNumModels,
  };
  std::array<double, kFieldValueCount> f = {};
  f[kSigma] = s.sigma;
  f[kPointScale] = mEngine.pointScale();
  f[kFocus] = -1.0;
  f[kModel] = static_cast<double>(s.model);
  f[kKernelTail] = s.kernelTail;
  f[kTailPower] = s.tailPower;
  f[kNeighborIndex] = s.neighborIndex[modelSlot(s.model)];
  f[kNNSamples] = static_cast<double>(s.nnSamples);
  f[kNNRadius] = s.nnRadius;
  f[kSelection] = -1.0;
  std::array<bool, kNumModels> perModelRead{};

  for (uint32_t i = 0; i < fieldCount; ++i)
  {
    double v = 0.0;
    if ((p = chunk.Get(v, p)) < 0)
      return -1;
    if (i >= f.size() || !std::isfinite(v))
      continue;
    f[i] = v;
    if (i >= kNeighborIndex0 && i < kCutoffContrast)
      perModelRead[i - kNeighborIndex0] = true;
  }

  const double pointScale = std::clamp(f[kPointScale], 1.0, 2.0);
  s.sigma = std::clamp(f[kSigma], 0.02, 2.0);
  s.snapRadius = pointScale * MorphEngine::kSnapRadiusPerScale;
  s.centreSnapRadius = pointScale * MorphEngine::kCentreSnapRadiusPerScale;

  uint32_t selection = 0;
  if (f[kSelection] == -1.0)
  {
    const int64_t focus = truncatedOr(f[kFocus], -1, kNumPoints, -1);
    selection = focus >= 0 && focus < static_cast<int64_t>(kNumPoints) ? 1u << focus : 0u;
  }
  else
    selection = static_cast<uint32_t>(
      truncatedOr(f[kSelection], std::numeric_limits<int32_t>::min(), std::numeric_limits<uint32_t>::max(), 0));
  selection &= kPointBits;

  s.focus = -1;
  if (mEngine.pointEditingAllowed() && std::has_single_bit(selection))
    s.focus = std::countr_zero(selection);

  s.shapeContrast = std::clamp(f[kShapeContrast], 0.0, 1.0);
  s.model = static_cast<uint32_t>(roundedOr(f[kModel], 0, kNumModels - 1, 1));
  s.kernelTail = std::clamp(f[kKernelTail], 0.0, 1.0);
  s.tailPower = std::clamp(f[kTailPower], 0.5, 6.0);
  s.neighborIndex[s.model] = std::clamp(f[kNeighborIndex], 0.5, 17.0);
  for (size_t m = 0; m < perModelRead.size(); ++m)
  {
    if (perModelRead[m])
      s.neighborIndex[m] = std::clamp(f[kNeighborIndex0 + m], 0.5, 17.0);
  }
  s.nnSamples = static_cast<int32_t>(roundedOr(f[kNNSamples], 5, 21, 11));
  s.nnRadius = std::clamp(f[kNNRadius], 1.0, 4.0);
  s.cutoffContrast = std::clamp(f[kCutoffContrast], 0.0, 1.0);

  uint32_t pointCount = 0;
  if ((p = chunk.Get(pointCount, p)) < 0 || pointCount > kNumPoints)
    return -1;
  for (uint32_t k = 0; k < pointCount; ++k)
  {
    uint32_t headerCount = 0;
    if ((p = chunk.Get(headerCount, p)) < 0 || headerCount > kMaxPointHeader)
      return -1;
    std::array<double, 4> header = {0.5, 0.5, 0.0, 0.0};
    for (uint32_t j = 0; j < headerCount; ++j)
    {
      double v = 0.0;
      if ((p = chunk.Get(v, p)) < 0)
        return -1;
      if (j < header.size())
        header[j] = v;
    }
    MorphPoint& point = s.points[k];
    point.x = storedOr(header[0], 0.0, 1.0, 0.5);
    point.y = storedOr(header[1], 0.0, 1.0, 0.5);
    point.active = std::isfinite(header[2]) && header[2] != 0.0;
    point.noteMask =
      static_cast<uint32_t>(truncatedOr(header[3], 0, std::numeric_limits<uint32_t>::max(), 0)) & mTable.noteMaskBits();

    for (size_t r = 0; r < kNumMorphParams; ++r)
      point.values[r] = mParams.param(mTable.rows[r].param).GetDefault(true);

    uint32_t valueCount = 0;
    if ((p = chunk.Get(valueCount, p)) < 0 || valueCount > kMaxPointValues)
      return -1;
    bool hasGainOnDry = false;
    bool hasDepth = false;
    double variation = 0.0;
    for (uint32_t j = 0; j < valueCount; ++j)
    {
      uint32_t id = 0;
      double v = 0.0;
      if ((p = chunk.Get(id, p)) < 0 || (p = chunk.Get(v, p)) < 0)
        return -1;
      const int param = mTable.paramFromStableId(id);
      if (const int r = mTable.rowOf(param); r >= 0)
        point.values[static_cast<size_t>(r)] = storedNormalized(static_cast<size_t>(r), v);
      else if (param == mTable.mainVariation)
        variation = storedOr(v, 0.0, 1.0, 0.0);
      hasGainOnDry = hasGainOnDry || param == mTable.gainOnDry;
      hasDepth = hasDepth || param == mTable.mainDepth;
    }
    if (!hasGainOnDry)
      point.values[row(mTable.gainOnDry)] = normalizedOf(mTable.gainOnDry, 1.0);
    if (!hasDepth)
      completeLegacyDepthTilt(point, variation);
  }

  std::array<PatchIdentity, kNumPoints> identities{};
  uint32_t identityCount = 0;
  const int afterCount = chunk.Get(identityCount, p);
  if (afterCount >= 0 && identityCount <= kNumPoints)
  {
    p = afterCount;
    for (uint32_t k = 0; k < identityCount; ++k)
    {
      const int next = mHistory.getPatchIdentity(chunk, p, identities[k]);
      if (next <= p)
        break;
      p = next;
    }
  }

  mEngine.edit({.field = &s, .pointScale = pointScale, .selection = selection});
  mPointIdentity = identities;
  publish();
  return p;
}

} // namespace zarvo::morph
