// Filter shapes of the morph blend: each point's main and pre-filter shape, and their blend over
// the edit state (for the editor) and the audio state (for the block).
#include "utils/morph/morph_controller.h"

#include "IPlugin/IPluginThreadRole.h"

namespace zarvo::morph {

namespace {

// A pre-filter parameter's entry of a point; the shape ids all name morph rows.
double entryOf(const MorphParamTable& table, const MorphPoint& p, int param)
{
  const int r = table.rowOf(param);
  return r >= 0 ? p.values[static_cast<size_t>(r)] : 0.0;
}

} // namespace

bool MorphController::pointShape(const MorphPoint& p, stage_coeffs& coeffs, double& fb, int& passType, double& depth,
                                 double& tilt) const
{
  if (p.values[row(mTable.mainUbOn)] > 0.5)
  {
    for (size_t k = 0; k < coeffs.size(); ++k)
      coeffs[k] = plainOf(mTable.mainUbCoeffs[k], p.values[row(mTable.mainUbCoeffs[k])]);
    fb = plainOf(mTable.mainUbFb, p.values[row(mTable.mainUbFb)]);
    passType = 0;
    depth = 0.0;
    tilt = 0.0;
    return true;
  }
  passType = static_cast<int>(std::lround(plainOf(mTable.mainPassType, p.values[row(mTable.mainPassType)])));
  depth = plainOf(mTable.mainDepth, p.values[row(mTable.mainDepth)]);
  tilt = plainOf(mTable.mainTilt, p.values[row(mTable.mainTilt)]);
  coeffs = mShapes.mainShape(passType, depth, tilt);
  fb = mShapes.mainFeedback(passType);
  return false;
}

bool MorphController::pointShapePreFlt(const MorphPoint& p, const PreFltShapeIds& ids, svf_coeffs& coeffs,
                                       int& typeIndex) const
{
  if (entryOf(mTable, p, ids.on) > 0.5)
  {
    coeffs = {plainOf(ids.lp, entryOf(mTable, p, ids.lp)), plainOf(ids.hp, entryOf(mTable, p, ids.hp)),
              plainOf(ids.bp, entryOf(mTable, p, ids.bp))};
    typeIndex = 0;
    return true;
  }
  const long t = std::lround(plainOf(ids.passType, entryOf(mTable, p, ids.passType)));
  typeIndex = static_cast<int>(std::clamp(t, 0L, static_cast<long>(mShapes.preFilterTypes - 1)));
  coeffs = mShapes.preFilterMix(typeIndex);
  return false;
}

Weights MorphController::blockShapeWeights() const
{
  const MorphEngine::RTState& s = mEngine.audioState();
  Weights w = mEngine.weights();
  MorphEngine::applyGamma(w, MorphEngine::contrastGamma(s.shapeContrast, s.model));
  return w;
}

void MorphController::resolveMainPTShapeInto(stage_coeffs& coeffs, double& fb) const
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  const auto& points = mEngine.audioState().points;
  const MainPTShapeView view = resolveShapeGrouped(
    blockShapeWeights(), [&](size_t i) -> const MorphPoint& { return points[i]; }, kShapeTolerance, nullptr);
  coeffs = view.coeffs;
  fb = view.fb;
}

svf_coeffs MorphController::resolvePreFltBlendInto(const Weights& shapeWeights, const PreFltShapeIds& ids) const
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  svf_coeffs blend{};
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    if (!(shapeWeights[i] > 0.0))
      continue;
    svf_coeffs c{};
    int typeIndex = 0;
    pointShapePreFlt(mEngine.audioState().points[i], ids, c, typeIndex);
    for (size_t k = 0; k < c.size(); ++k)
      blend[k] += shapeWeights[i] * c[k];
  }
  return blend;
}

Weights MorphController::shapeWeights() const
{
  const MorphEngine::RTState& s = mEngine.editState();
  Scales scales{};
  mEngine.computeScales(s, scales);
  Weights w{};
  mEngine.computeWeightsInto(s, mParams.param(mTable.morphX).Value(), mParams.param(mTable.morphY).Value(), w, scales,
                             true, 1.0);
  MorphEngine::applyGamma(w, MorphEngine::contrastGamma(s.shapeContrast, s.model));
  return w;
}

MorphController::MainPTShapeView MorphController::resolveBlendShapeView(double tolerance) const
{
  const auto& points = mEngine.editState().points;
  return resolveShapeGrouped(
    shapeWeights(), [&](size_t i) -> const MorphPoint& { return points[i]; }, tolerance, nullptr);
}

MorphController::MainPTShapeView
MorphController::resolveBlendShapeViewPerType(std::array<TypeAxes, kMainPassTypes>& axes, double tolerance) const
{
  const auto& points = mEngine.editState().points;
  return resolveShapeGrouped(
    shapeWeights(), [&](size_t i) -> const MorphPoint& { return points[i]; }, tolerance, &axes);
}

MorphController::MainPTShapeView MorphController::resolveMainPTShapeView(double tolerance) const
{
  if (mMorphOn && mEngine.editState().focus < 0)
    return resolveBlendShapeView(tolerance);

  MainPTShapeView view;
  if (mParams.param(mTable.mainUbOn).Value() > 0.5)
  {
    for (size_t k = 0; k < view.coeffs.size(); ++k)
      view.coeffs[k] = mParams.param(mTable.mainUbCoeffs[k]).Value();
    view.fb = mParams.param(mTable.mainUbFb).Value();
    view.userBlend = true;
    return view;
  }
  view.passType = static_cast<int32_t>(mParams.param(mTable.mainPassType).Value());
  view.depth = mParams.param(mTable.mainDepth).Value();
  view.tilt = mParams.param(mTable.mainTilt).Value();
  view.coeffs = mShapes.mainShape(view.passType, view.depth, view.tilt);
  view.fb = mShapes.mainFeedback(view.passType);
  return view;
}

MorphController::PreFltShapeView MorphController::resolvePreFltShapeView(const PreFltShapeIds& ids,
                                                                         double tolerance) const
{
  if (mMorphOn && mEngine.editState().focus < 0)
    return resolvePreFltBlendShapeView(ids, tolerance, nullptr);

  PreFltShapeView view;
  if (mParams.param(ids.on).Value() > 0.5)
  {
    view.coeffs = {mParams.param(ids.lp).Value(), mParams.param(ids.hp).Value(), mParams.param(ids.bp).Value()};
    view.userBlend = true;
    return view;
  }
  view.typeIndex = std::clamp(static_cast<int32_t>(mParams.param(ids.passType).Value()), 0,
                              static_cast<int32_t>(mShapes.preFilterTypes - 1));
  view.coeffs = mShapes.preFilterMix(view.typeIndex);
  return view;
}

MorphController::PreFltShapeView MorphController::resolvePreFltBlendShapeView(const PreFltShapeIds& ids,
                                                                              double tolerance,
                                                                              std::array<double, 5>* typeWeights) const
{
  const Weights w = shapeWeights();
  const auto& points = mEngine.editState().points;
  PreFltShapeView view;
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    if (!(w[i] > 0.0))
      continue;
    svf_coeffs c{};
    int typeIndex = 0;
    const bool blend = pointShapePreFlt(points[i], ids, c, typeIndex);
    for (size_t k = 0; k < c.size(); ++k)
      view.coeffs[k] += w[i] * c[k];
    if (typeWeights && !blend)
      (*typeWeights)[static_cast<size_t>(typeIndex)] += w[i];
  }

  svf_coeffs own{};
  int typeIndex = 0;
  const bool dominantIsBlend = pointShapePreFlt(points[dominantIndex(w)], ids, own, typeIndex);
  view.typeIndex = typeIndex;
  double maxDiff = 0.0;
  for (size_t k = 0; k < own.size(); ++k)
    maxDiff = std::max(maxDiff, std::abs(view.coeffs[k] - own[k]));
  view.userBlend = dominantIsBlend || maxDiff > tolerance;
  return view;
}

} // namespace zarvo::morph
