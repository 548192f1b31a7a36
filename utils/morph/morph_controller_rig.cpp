// Rig texts of the morph field: building and applying them, through the clipboard and files.
#include "utils/morph/morph_controller.h"

#include "IPlugin/IPluginThreadRole.h"
#include "utils/morph/stored_values.h"

namespace zarvo::morph {

ZarvoFile MorphController::buildRigFile() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  ZarvoFile file(mProductName, mVersionText.c_str());
  file.setSection(kRigSection, MorphZarvoAdapter::toLines(mEngine, mParams.param(mTable.morphX).Value(),
                                                          mParams.param(mTable.morphY).Value(), mAppearance, mNaming));
  return file;
}

void MorphController::copyRigToClipboard()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mEditor.editorOpen())
    mEditorServices.setClipboardText(buildRigFile().toString());
}

bool MorphController::pasteRigFromClipboard()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  std::string text;
  if (!mEditor.editorOpen() || !mEditorServices.getClipboardText(text) || text.empty())
    return false;
  const std::optional<ZarvoFile> file = ZarvoFile::fromText(text);
  return file && applyRigFile(*file);
}

bool MorphController::clipboardHasRig() const
{
  std::string text;
  if (!mEditor.editorOpen() || !mEditorServices.getClipboardText(text) || text.empty())
    return false;
  const std::optional<ZarvoFile> file = ZarvoFile::fromText(text);
  return file && file->hasSection(kRigSection);
}

void MorphController::promptImportRig()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mEditor.editorOpen())
    return;
  mEditorServices.promptForFile(
    {}, {}, IEditorServices::EFileAction::Open, "zarvo", [this](const std::string& path, const std::string&) {
      if (!path.empty())
        mEditorServices.reportFileResult(importRigFile(path), IEditorServices::EFileContent::MorphField);
    });
}

void MorphController::promptExportRig()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mEditor.editorOpen())
    return;
  mEditorServices.promptForFile("morph.zarvo", {}, IEditorServices::EFileAction::Save, "zarvo",
                                [this](const std::string& path, const std::string&) {
                                  if (!path.empty())
                                    mEditorServices.reportFileResult(exportRigFile(path),
                                                                     IEditorServices::EFileContent::MorphField);
                                });
}

plugkit::EFileResult MorphController::importRigFile(const std::string& path)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const ZarvoFile::Loaded loaded = ZarvoFile::fromFile(path);
  if (!loaded.file)
    return loaded.result;
  return applyRigFile(*loaded.file) ? plugkit::EFileResult::kOk : plugkit::EFileResult::kNotOurs;
}

plugkit::EFileResult MorphController::exportRigFile(const std::string& path) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return buildRigFile().toFile(path);
}

bool MorphController::applyRigFile(const ZarvoFile& file)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!file.hasSection(kRigSection))
    return false;
  const std::optional<MorphZarvoAdapter::RigData> rig =
    MorphZarvoAdapter::fromLines(file.section(kRigSection), mNaming);
  if (!rig)
    return false;

  asUndoStep([&] { applyRig(*rig); });
  publish();
  if (mEditor.editorOpen())
  {
    mEditor.pushParamsToEditor();
    mEditor.markControlsDirty();
  }
  return true;
}

void MorphController::applyRig(const MorphZarvoAdapter::RigData& rig)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  // The field is edited in a copy and taken over whole.
  MorphEngine::RTState s = mEngine.editState();
  mPointIdentity.fill(PatchIdentity{});

  if (rig.hasField)
  {
    mEngine.edit({.pointScale = std::clamp(rig.pointScale, 1.0, 2.0)});
    s.snapRadius = mEngine.pointScale() * MorphEngine::kSnapRadiusPerScale;
    s.centreSnapRadius = mEngine.pointScale() * MorphEngine::kCentreSnapRadiusPerScale;
    s.sigma = std::clamp(rig.sigma, 0.02, 2.0);
    s.shapeContrast = std::clamp(rig.shapeContrast, 0.0, 1.0);
    s.cutoffContrast = std::clamp(rig.cutoffContrast, 0.0, 1.0);
  }

  if (rig.hasModel)
  {
    s.model = static_cast<uint32_t>(std::clamp(rig.model, 0, kNumModels - 1));
    s.kernelTail = std::clamp(rig.kernelTail, 0.0, 1.0);
    s.tailPower = std::clamp(rig.tailPower, 0.5, 6.0);
    s.neighborIndex[s.model] = std::clamp(rig.neighborIndex, 0.5, 17.0);
    if (rig.hasPerModelNeighbors)
    {
      for (size_t m = 0; m < s.neighborIndex.size(); ++m)
        s.neighborIndex[m] = std::clamp(rig.neighborIndices[m], 0.5, 17.0);
    }
    s.nnSamples = std::clamp(rig.nnSamples, 5, 21);
    s.nnRadius = std::clamp(rig.nnRadius, 1.0, 4.0);
  }

  if (rig.hasAppearance)
  {
    mAppearance = rig.appearance;
    if (mAppearanceChanged)
      mAppearanceChanged(mAppearance.lineBrightness, mAppearance.isoLevels, mAppearance.gridStep);
  }

  for (size_t i = 0; i < kNumPoints; ++i)
  {
    MorphPoint& p = s.points[i];
    if (!rig.seen[i])
    {
      if (i != 0)
        p.active = false;
      continue;
    }
    const MorphPoint& in = rig.points[i];
    p.x = storedOr(in.x, 0.0, 1.0, 0.5);
    p.y = storedOr(in.y, 0.0, 1.0, 0.5);
    p.active = in.active;
    p.noteMask = in.noteMask & mTable.noteMaskBits();
    for (size_t r = 0; r < kNumMorphParams; ++r)
      p.values[r] = storedNormalized(r, in.values[r]);
    if (!rig.depthSeen[i])
      completeLegacyDepthTilt(p, storedOr(rig.legacyVariation[i], 0.0, 1.0, 0.0));
  }

  s.focus = -1;
  mEngine.edit({.field = &s, .selection = 0});

  if (rig.hasUser)
  {
    mParams.param(mTable.morphX).Set(rig.userX);
    mParams.param(mTable.morphY).Set(rig.userY);
    mMorphX = mParams.param(mTable.morphX).Value();
    mMorphY = mParams.param(mTable.morphY).Value();
  }
}

} // namespace zarvo::morph
