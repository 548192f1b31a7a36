#include "utils/midi_cc/cc_file_orchestrator.h"

#include <optional>
#include <tuple>

#include "IGfx/Controls/IVButtonControl.h"
#include "IPlugin/IPluginThreadRole.h"
#include "utils/midi_cc/cc_mediator.h"
#include "utils/midi_cc/mapper_serializer.h"
#include "utils/ui/GlyphButtonControl.h"
#include "utils/ui/GlyphLabelControl.h"

namespace zarvo::midi_cc {

using plugkit::gfx::IControl;
using plugkit::gfx::IRECT;

CCFileOrchestrator::CCFileOrchestrator(CCMediator& mediator, zarvo::IEditorServices& services, std::string pluginName,
                                       std::string pluginVersion, FolderFunc dialogFolder, ActionFunc onApplied,
                                       std::string defaultFileName)
  : mMediator(&mediator)
  , mServices(&services)
  , mPluginName(std::move(pluginName))
  , mPluginVersion(std::move(pluginVersion))
  , mDialogFolder(std::move(dialogFolder))
  , mOnApplied(std::move(onApplied))
  , mDefaultFileName(std::move(defaultFileName))
{}

void CCFileOrchestrator::promptSave()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mServices->promptForFile(mDefaultFileName, folder(), zarvo::IEditorServices::EFileAction::Save, kFileExtension,
                           [this](const std::string& path, const std::string&) {
                             if (!path.empty())
                               report(_save(path));
                           });
}

void CCFileOrchestrator::promptLoad()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mServices->promptForFile({}, folder(), zarvo::IEditorServices::EFileAction::Open, kFileExtension,
                           [this](const std::string& path, const std::string&) {
                             if (!path.empty())
                               report(_load(path));
                           });
}

void CCFileOrchestrator::setRowStyle(const plugkit::gfx::IVStyle& style, zarvo::ui::GlyphLabel copy,
                                     zarvo::ui::GlyphLabel paste, zarvo::ui::GlyphLabel save,
                                     zarvo::ui::GlyphLabel load)
{
  mStyle = style;
  mCopyGlyph = std::move(copy);
  mPasteGlyph = std::move(paste);
  mSaveGlyph = std::move(save);
  mLoadGlyph = std::move(load);
}

CCFileOrchestrator::Row CCFileOrchestrator::makeRow(const IRECT& r, zarvo::ui::GlyphLabel label, float labelWidth,
                                                    bool withClipboard)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const float n = withClipboard ? 4.f : 2.f;
  const float w = (r.R - r.L - labelWidth) / n;
  Row row;
  auto* caption = new zarvo::ui::GlyphLabelControl(IRECT(r.L, r.T, r.L + labelWidth, r.B), std::move(label), mStyle);
  caption->spacing = mGlyphSpacing;
  caption->SetColor(plugkit::gfx::EVColor::BG, plugkit::gfx::COLOR_TRANSPARENT);
  row.label = caption;
  float x = r.L + labelWidth;
  const auto next = [&] {
    const IRECT slot(x, r.T, x + w, r.B);
    x += w;
    return slot;
  };
  if (withClipboard)
  {
    row.copy = makeButton(next(), mCopyGlyph, "copy cc", [this](IControl* c) {
      c->SetDirty(false);
      _copy();
    });
    row.paste = makeButton(next(), mPasteGlyph, "paste cc", [this](IControl* c) {
      c->SetDirty(false);
      _paste();
    });
    if (auto* paste = dynamic_cast<zarvo::ui::GlyphButtonControl*>(row.paste))
      paste->enabledQuery = [this] { return clipboardHasCC(); };
  }
  const IRECT saveRect = next();
  const IRECT loadRect = next();
  std::tie(row.save, row.load) = makeFileButtons(saveRect, loadRect);
  for (IControl* c : {row.label, row.copy, row.paste, row.save, row.load})
    if (c)
      c->Hide(true);
  return row;
}

IControl* CCFileOrchestrator::makeButton(const IRECT& r, const zarvo::ui::GlyphLabel& face, const char* text,
                                         std::function<void(IControl*)> action) const
{
  if (!face.runs.empty())
  {
    auto* button = new zarvo::ui::GlyphButtonControl(r, face, std::move(action), mStyle);
    button->spacing = mGlyphSpacing;
    return button;
  }
  return new plugkit::gfx::IVButtonControl(r, std::move(action), text, mStyle, true, true,
                                           plugkit::gfx::EVShape::Rectangle);
}

std::pair<IControl*, IControl*> CCFileOrchestrator::makeFileButtons(const IRECT& saveRect, const IRECT& loadRect)
{
  auto* save = makeButton(saveRect, mSaveGlyph, "save cc", [this](IControl* c) {
    c->SetValue(0.);
    c->SetDirty(false);
    promptSave();
  });
  auto* load = makeButton(loadRect, mLoadGlyph, "load cc", [this](IControl* c) {
    c->SetValue(0.);
    c->SetDirty(false);
    promptLoad();
  });
  return {save, load};
}

zarvo::ZarvoFile CCFileOrchestrator::_buildFile() const
{
  zarvo::ZarvoFile file(mPluginName, mPluginVersion);
  MapperZarvoAdapter::writeSection(mMediator->mapper().mappings(), file);
  if (mWriteExtraSections)
    mWriteExtraSections(file);
  return file;
}

plugkit::EFileResult CCFileOrchestrator::_save(const std::string& path) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return _buildFile().toFile(path);
}

plugkit::EFileResult CCFileOrchestrator::_load(const std::string& path)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const zarvo::ZarvoFile::Loaded loaded = zarvo::ZarvoFile::fromFile(path);
  if (!loaded.file)
    return loaded.result;
  return _applyFile(*loaded.file) ? plugkit::EFileResult::kOk : plugkit::EFileResult::kNotOurs;
}

void CCFileOrchestrator::_copy() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mServices->setClipboardText(_buildFile().toString());
}

void CCFileOrchestrator::_paste()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  std::string text;
  if (!mServices->getClipboardText(text) || text.empty())
    return;
  if (std::optional<zarvo::ZarvoFile> file = zarvo::ZarvoFile::fromText(text))
    _applyFile(*file);
}

bool CCFileOrchestrator::clipboardHasCC() const
{
  std::string text;
  if (!mServices->getClipboardText(text) || text.empty())
    return false;
  const std::optional<zarvo::ZarvoFile> file = zarvo::ZarvoFile::fromText(text);
  return file && file->hasSection(MapperZarvoAdapter::kSectionName);
}

bool CCFileOrchestrator::_applyFile(const zarvo::ZarvoFile& file)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!file.hasSection(MapperZarvoAdapter::kSectionName))
    return false;
  MappingTable mappings = MapperZarvoAdapter::fromLines(file.section(MapperZarvoAdapter::kSectionName));
  if (mBeforeChange)
    mBeforeChange();
  mMediator->mapper().replaceMappings(std::move(mappings));
  mMediator->refreshUI();
  if (mReadExtraSections)
    mReadExtraSections(file);
  if (mOnApplied)
    mOnApplied();
  return true;
}

void CCFileOrchestrator::report(plugkit::EFileResult result) const
{
  mServices->reportFileResult(result, zarvo::IEditorServices::EFileContent::ControllerMap);
}

} // namespace zarvo::midi_cc
