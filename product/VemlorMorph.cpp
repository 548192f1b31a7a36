// What the morph field reaches of the plug-in, and the pass-type snapping of blended shapes.
#include "product/Vemlor.h"

#include <cmath>
#include <limits>
#include <optional>

#include "IPlugin/IPluginThreadRole.h"
#include "product/dsp/shape_match.h"
#include "product/params/morph_param_table.h"
#include "product/params/params.h"

namespace {

using zarvo::morph::MorphController;

constexpr double kAxesAgreement = 0.01;

template <size_t N>
bool withinEach(const std::array<double, N>& a, const std::array<double, N>& b, double tolerance)
{
  for (size_t k = 0; k < N; ++k)
  {
    if (!(std::abs(a[k] - b[k]) <= tolerance))
      return false;
  }
  return true;
}

} // namespace

namespace zarvo {

MorphController::MainPTShapeView mainShapeWithTypeAxes(const MorphController& controller,
                                                       std::array<MorphController::TypeAxes, kNumPassTypes>& axes)
{
  axes = {};
  if (controller.morphOn() && controller.engine().editState().focus < 0)
    return controller.resolveBlendShapeViewPerType(axes, MorphController::kShapeTolerance);

  const MorphController::MainPTShapeView view = controller.resolveMainPTShapeView(MorphController::kShapeTolerance);
  if (!view.userBlend)
    return view;
  std::array<MorphController::TypeAxes, kNumPassTypes> blendAxes{};
  const MorphController::MainPTShapeView blend =
    controller.resolveBlendShapeViewPerType(blendAxes, MorphController::kShapeTolerance);
  if (blend.userBlend && withinEach(blend.coeffs, view.coeffs, kAxesAgreement))
    axes = blendAxes;
  return view;
}

} // namespace zarvo

// ---- randomizer

zarvo::ParamEditResult Vemlor::randomize()
{
  return mParamEdits.run(plugkit::EParamSource::kPresetRecall, [this] {
    zarvo::randomizePatch(mRandomizerBridge, mRandomizer, mMutationSession);
    return true;
  });
}

zarvo::ParamEditResult Vemlor::mutate()
{
  return mParamEdits.run(plugkit::EParamSource::kPresetRecall, [this] {
    zarvo::mutatePatch(mRandomizerBridge, mRandomizer, mMutationSession);
    return true;
  });
}

// ---- pass-type snapping

void Vemlor::snapMainShapeToNearestPassType()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  std::array<MorphController::TypeAxes, zarvo::kNumPassTypes> axes{};
  const MorphController::MainPTShapeView view = zarvo::mainShapeWithTypeAxes(*mMorph, axes);
  if (!view.userBlend)
    return;
  if (mMorph->drivesParams())
  {
    pulseEditAffordance();
    return;
  }

  bool anyWeighted = false;
  for (const MorphController::TypeAxes& a : axes)
    anyWeighted = anyWeighted || a.weight > 0.0;
  std::array<std::optional<zarvo::stage_coeffs>, zarvo::kNumPassTypes> candidates{};
  for (size_t t = 0; t < candidates.size(); ++t)
  {
    const MorphController::TypeAxes& a = axes[t];
    if (anyWeighted && !(a.weight > 0.0))
      continue;
    const bool fromBlend = a.weight > 0.0;
    candidates[t] =
      zarvo::shapeOf(static_cast<zarvo::FilterPassType>(t), fromBlend ? a.depth : 1.0, fromBlend ? a.tilt : 0.0);
  }
  const int type = zarvo::nearestPassType(view.coeffs, candidates);
  const double normalized = GetParam(zarvo::par_main_pass_type)->ToNormalized(type);
  SendParameterValueFromUI(zarvo::par_main_pass_type, normalized);
  SendParameterValueFromDelegate(zarvo::par_main_pass_type, normalized, true);
}

void Vemlor::snapPreFltShapeToNearestPassType(int passTypeParam)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (passTypeParam != zarvo::par_preFlt_A_pt && passTypeParam != zarvo::par_preFlt_B_pt)
    return;
  const MorphController::PreFltShapeIds& ids =
    passTypeParam == zarvo::par_preFlt_A_pt ? zarvo::morph::kPreFltAShape : zarvo::morph::kPreFltBShape;
  constexpr double tolerance = MorphController::kShapeTolerance;

  std::array<double, 5> weights{};
  MorphController::PreFltShapeView view;
  if (mMorph->morphOn() && mMorph->engine().editState().focus < 0)
  {
    view = mMorph->resolvePreFltBlendShapeView(ids, tolerance, &weights);
  }
  else
  {
    view = mMorph->resolvePreFltShapeView(ids, tolerance);
    std::array<double, 5> blendWeights{};
    const MorphController::PreFltShapeView blend = mMorph->resolvePreFltBlendShapeView(ids, tolerance, &blendWeights);
    if (view.userBlend && blend.userBlend && withinEach(view.coeffs, blend.coeffs, kAxesAgreement))
      weights = blendWeights;
  }
  if (!view.userBlend)
    return;
  if (mMorph->drivesParams())
  {
    pulseEditAffordance();
    return;
  }

  static constexpr std::array<zarvo::svf_coeffs, 5> kCandidates = {
    {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}, {1.0, 1.0, 0.0}, {1.0, -1.0, 0.0}}};
  bool anyWeighted = false;
  for (double w : weights)
    anyWeighted = anyWeighted || w > 0.0;
  int winner = 0;
  double best = std::numeric_limits<double>::max();
  for (size_t k = 0; k < kCandidates.size(); ++k)
  {
    if (anyWeighted && !(weights[k] > 0.0))
      continue;
    const double distance = zarvo::shapeDistanceDb(view.coeffs, kCandidates[k]);
    if (distance < best)
    {
      best = distance;
      winner = static_cast<int>(k);
    }
  }
  const double normalized = GetParam(passTypeParam)->ToNormalized(winner);
  SendParameterValueFromUI(passTypeParam, normalized);
  SendParameterValueFromDelegate(passTypeParam, normalized, true);
}

void Vemlor::onDisabledControlInteraction(int paramIdx)
{
  if (mMorph->drivesParams() && zarvo::morph::rowOf(paramIdx) >= 0)
    pulseEditAffordance();
}
