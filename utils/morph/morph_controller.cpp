// The morph controller's construction, the switch and position mirrors, and the helpers its
// concerns share: undo steps, editor edits and parameter values.
#include "utils/morph/morph_controller.h"

#include "IPlugin/IPluginThreadRole.h"
#include "utils/morph/stored_values.h"
#include "utils/repeatable_run.h"

namespace zarvo::morph {

const std::array<MorphController::LayoutRow, kNumPoints> MorphController::kDefaultLayout = {{
  {0.5, 0.5, false},
  {0.5, 0.85, true},
  {0.648, 0.608, true},
  {0.591, 0.217, true},
  {0.409, 0.217, true},
  {0.353, 0.608, true},
  {0.82, 0.74, false},
  {0.82, 0.6, false},
  {0.82, 0.46, false},
  {0.82, 0.32, false},
  {0.882, 0.74, false},
  {0.882, 0.6, false},
  {0.882, 0.46, false},
  {0.882, 0.32, false},
  {0.944, 0.74, false},
  {0.944, 0.6, false},
  {0.944, 0.46, false},
}};

MorphController::MorphController(const MorphServices& services, const plugkit::Config& product,
                                 const MorphZarvoAdapter::ParamNaming& naming, const PassShapes& shapes)
  : mParams(services.params)
  , mHistory(services.history)
  , mEditor(services.editor)
  , mEditorServices(services.editorServices)
  , mStates(services.states)
  , mGenerator(services.generator)
  , mProductName(product.pluginName)
  , mVersionText(plugkit::MakeVersionText(product.version))
  , mNaming(naming)
  , mTable(*naming.table)
  , mShapes(shapes)
  , mEngine(mTable.rows)
  , mFileRouter({services.params, services.history, services.editor, services.editorServices, services.states}, *this,
                product, mTable)
  , mSession(services.history)
  , mRng(freshInstanceSeed())
{}

void MorphController::mirrorMorphParams()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mMorphX = morphXParam();
  mMorphY = morphYParam();
  publish();
  mMorphOn = mParams.param(mTable.morphActive).Value() > 0.5;
}

bool MorphController::turnOffPending() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mTurnOffPending.load();
}

bool MorphController::movedSinceOn() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mMovedSinceOn;
}

void MorphController::noteSwitchedOnElsewhere()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mMovedSinceOn = true;
}

uint32_t MorphController::noteMaskFromSwitches() const
{
  uint32_t mask = 0;
  for (const NoteAnchor& a : mTable.noteAnchors)
  {
    if (mParams.param(a.switchParam).Value() > 0.5)
      mask |= 1u << a.row;
  }
  return mask;
}

double MorphController::morphXParam() const { return mParams.param(mTable.morphX).Value(); }
double MorphController::morphYParam() const { return mParams.param(mTable.morphY).Value(); }

Weights MorphController::soundWeights() const
{
  const MorphEngine::RTState& s = mEngine.editState();
  Scales scales{};
  mEngine.computeScales(s, scales);
  Weights w{};
  mEngine.computeWeightsInto(s, morphXParam(), morphYParam(), w, scales, true, 1.0);
  return w;
}

void MorphController::asUndoStep(const std::function<void()>& action)
{
  const ParamEdits::Scope change(mParams.paramEdits(), plugkit::EParamSource::kPresetRecall);
  if (!mHistory.hasPresetManager())
  {
    action();
    return;
  }
  mHistory.pushUndo();
  action();
  mHistory.setCurrentListIndex(-1);
  mHistory.captureBaseline();
}

void MorphController::editPlain(int param, double plain)
{
  mParams.editParamFromEditor(param, normalizedOf(param, plain));
}

void MorphController::pushParamsIfEditorOpen()
{
  if (mEditor.editorOpen())
    mEditor.pushParamsToEditor();
}

double MorphController::currentNormalized(int param) const { return mParams.param(param).GetNormalized(); }

double MorphController::plainOf(int param, double normalized) const
{
  return mParams.param(param).FromNormalized(normalized);
}

double MorphController::normalizedOf(int param, double plain) const { return mParams.param(param).ToNormalized(plain); }

double MorphController::storedNormalized(size_t r, double v) const
{
  return storedOr(v, 0.0, 1.0, mParams.param(mTable.rows[r].param).GetDefault(true));
}

void MorphController::completeLegacyDepthTilt(MorphPoint& p, double variationNormalized) const
{
  const auto passType = std::lround(plainOf(mTable.mainPassType, p.values[row(mTable.mainPassType)]));
  const double variation = plainOf(mTable.mainVariation, variationNormalized);
  const DepthTilt dt = legacyDepthTilt(passType, variation);
  p.values[row(mTable.mainDepth)] = normalizedOf(mTable.mainDepth, dt.depth);
  p.values[row(mTable.mainTilt)] = normalizedOf(mTable.mainTilt, dt.tilt);
}

} // namespace zarvo::morph
