// The 60 parameter rows a morph point carries, how each is blended, and the table through which
// the owning plug-in names its parameters to the morph field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zarvo::morph {

inline constexpr size_t kNumPoints = 17;
inline constexpr size_t kNumMorphParams = 60;

// Blend kinds.
inline constexpr int32_t kBlendWeightedSum = 0;
inline constexpr int32_t kBlendDominant = 1;
inline constexpr int32_t kBlendCircular = 2;

// Weight sets.
inline constexpr int32_t kWeightsModel = 0;
inline constexpr int32_t kWeightsCutoff = 1;

struct MorphParamRow
{
  int32_t param; // the plug-in's parameter index
  int32_t kind;
  int32_t reserved;
  int32_t weightSet;
};

using MorphParamRows = std::array<MorphParamRow, kNumMorphParams>;

// The row of a parameter (the first match), or -1 when the parameter is never morphed. Any thread.
constexpr int rowOf(const MorphParamRows& rows, int param)
{
  for (size_t r = 0; r < rows.size(); ++r)
  {
    if (rows[r].param == param)
      return static_cast<int>(r);
  }
  return -1;
}

// A row whose value can be read as a played note, and the switch parameter that anchors it.
struct NoteAnchor
{
  int row;
  int switchParam;
};

// One pre-filter's user-blend low-pass, high-pass and band-pass mixes, its user-blend switch and
// its pass type.
struct PreFltShapeIds
{
  int32_t lp;
  int32_t hp;
  int32_t bp;
  int32_t on;
  int32_t passType;
};

// The owning plug-in's parameters as the morph field sees them: the rows a point carries and the
// parameters the field reads or drives by their role. The plug-in defines one at compile time.
struct MorphParamTable
{
  MorphParamRows rows{};
  std::array<NoteAnchor, 3> noteAnchors{}; // the cutoff rows
  int32_t numParams = 0;
  int32_t morphActive = -1;
  int32_t morphX = -1;
  int32_t morphY = -1;
  int32_t mainPassType = -1;
  int32_t mainDepth = -1;
  int32_t mainTilt = -1;
  int32_t mainVariation = -1; // the older control that stood for depth and tilt; no row
  int32_t mainUbOn = -1;
  int32_t mainUbFb = -1;
  std::array<int32_t, 5> mainUbCoeffs{};
  int32_t gainOnDry = -1;
  PreFltShapeIds preFltA{};
  PreFltShapeIds preFltB{};
  // A parameter's identifier in stored data (0 for none), and back (-1 for none).
  uint32_t (*stableIdOf)(int param) = nullptr;
  int (*paramFromStableId)(uint32_t id) = nullptr;

  // The row of a parameter (the first match), or -1 when the parameter is never morphed.
  constexpr int rowOf(int param) const { return morph::rowOf(rows, param); }

  // The only bits a point's note mask may hold.
  constexpr uint32_t noteMaskBits() const
  {
    uint32_t bits = 0;
    for (const NoteAnchor& a : noteAnchors)
      bits |= 1u << a.row;
    return bits;
  }

  constexpr bool isCutoffRow(size_t row) const
  {
    for (const NoteAnchor& a : noteAnchors)
    {
      if (static_cast<size_t>(a.row) == row)
        return true;
    }
    return false;
  }
};

// The 17 point bits of a selection mask.
inline constexpr uint32_t kPointBits = (1u << kNumPoints) - 1u;

} // namespace zarvo::morph
