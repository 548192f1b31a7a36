// Controller map files ("ccmap.zarvo") and the controller map's clipboard text.
#pragma once

#include <functional>
#include <optional>
#include <tuple>
#include <string>
#include <utility>

#include "IGfx/Controls/IVButtonControl.h"
#include "IGfx/IVStyle.h"
#include "IPlugin/IPluginThreadRole.h"
#include "utils/editor_services.h"
#include "utils/midi_cc/mapper_serializer.h"
#include "utils/ui/GlyphButtonControl.h"
#include "utils/ui/GlyphLabel.h"
#include "utils/ui/GlyphLabelControl.h"
#include "utils/zarvo_file.h"

namespace zarvo::midi_cc {

// Saves, loads, copies and pastes the mediator's map as a sectioned text file: the "midi-cc"
// section plus whatever sections the owner adds through its hooks. The clipboard text is the file
// text. The clipboard, the dialogs and the messages about chosen files go through the editor
// services. Lives as long as the plug-in; main thread.
template <class Mediator>
class CCFileOrchestrator
{
public:
  using FolderFunc = std::function<std::string()>;
  using ActionFunc = std::function<void()>;
  using WriteSectionsFunc = std::function<void(zarvo::ZarvoFile&)>;
  using ReadSectionsFunc = std::function<void(const zarvo::ZarvoFile&)>;

  static constexpr const char* kFileExtension = "zarvo";

  // The editor's row of controller-map controls, unattached and hidden; copy and paste are null in a
  // row without clipboard buttons.
  struct Row
  {
    plugkit::gfx::IControl* label = nullptr;
    plugkit::gfx::IControl* copy = nullptr;
    plugkit::gfx::IControl* paste = nullptr;
    plugkit::gfx::IControl* save = nullptr;
    plugkit::gfx::IControl* load = nullptr;
  };

  // dialogFolder gives the folder the dialogs start in (none: the services' default); onApplied runs
  // after a file or text replaced the map.
  CCFileOrchestrator(Mediator& mediator, zarvo::IEditorServices& services, std::string pluginName,
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

  void setExtraSectionIO(WriteSectionsFunc writer, ReadSectionsFunc reader)
  {
    mWriteExtraSections = std::move(writer);
    mReadExtraSections = std::move(reader);
  }

  // Runs before an applied file replaces the map (the owner records an undo step).
  void setBeforeChange(ActionFunc beforeChange) { mBeforeChange = std::move(beforeChange); }

  // The save button's action: the save dialog, then the file is written to the chosen name and the
  // result reported.
  void promptSave()
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    mServices->promptForFile(mDefaultFileName, folder(), zarvo::IEditorServices::EFileAction::Save, kFileExtension,
                             [this](const std::string& path, const std::string&) {
                               if (!path.empty())
                                 report(_save(path));
                             });
  }

  // The load button's action: the open dialog, then the chosen file is applied and the result
  // reported.
  void promptLoad()
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    mServices->promptForFile({}, folder(), zarvo::IEditorServices::EFileAction::Open, kFileExtension,
                             [this](const std::string& path, const std::string&) {
                               if (!path.empty())
                                 report(_load(path));
                             });
  }

  // The look of the row's label and buttons; a button with an empty glyph label shows its text.
  void setRowStyle(const plugkit::gfx::IVStyle& style, zarvo::ui::GlyphLabel copy, zarvo::ui::GlyphLabel paste,
                   zarvo::ui::GlyphLabel save, zarvo::ui::GlyphLabel load)
  {
    mStyle = style;
    mCopyGlyph = std::move(copy);
    mPasteGlyph = std::move(paste);
    mSaveGlyph = std::move(save);
    mLoadGlyph = std::move(load);
  }
  // Pixels between the runs of the row's label and glyph buttons.
  void setGlyphSpacing(float spacing) { mGlyphSpacing = spacing; }

  // Main thread, while the editor is built: the label over labelWidth pixels on the left, then the
  // buttons sharing the rest equally. The caller attaches the controls and decides when they show.
  Row makeRow(const plugkit::gfx::IRECT& r, zarvo::ui::GlyphLabel label, float labelWidth, bool withClipboard)
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    const float n = withClipboard ? 4.f : 2.f;
    const float w = (r.R - r.L - labelWidth) / n;
    Row row;
    auto* caption =
      new zarvo::ui::GlyphLabelControl(plugkit::gfx::IRECT(r.L, r.T, r.L + labelWidth, r.B), std::move(label), mStyle);
    caption->spacing = mGlyphSpacing;
    caption->SetColor(plugkit::gfx::EVColor::BG, plugkit::gfx::COLOR_TRANSPARENT);
    row.label = caption;
    float x = r.L + labelWidth;
    const auto next = [&] {
      const plugkit::gfx::IRECT slot(x, r.T, x + w, r.B);
      x += w;
      return slot;
    };
    if (withClipboard)
    {
      row.copy = makeButton(next(), mCopyGlyph, "copy cc", [this](plugkit::gfx::IControl* c) {
        c->SetDirty(false);
        _copy();
      });
      row.paste = makeButton(next(), mPasteGlyph, "paste cc", [this](plugkit::gfx::IControl* c) {
        c->SetDirty(false);
        _paste();
      });
      if (auto* paste = dynamic_cast<zarvo::ui::GlyphButtonControl*>(row.paste))
        paste->enabledQuery = [this] { return clipboardHasCC(); };
    }
    const plugkit::gfx::IRECT saveRect = next();
    const plugkit::gfx::IRECT loadRect = next();
    std::tie(row.save, row.load) = makeFileButtons(saveRect, loadRect);
    for (plugkit::gfx::IControl* c : {row.label, row.copy, row.paste, row.save, row.load})
      if (c)
        c->Hide(true);
    return row;
  }

  // A glyph button when face has runs, else a rectangular vector button showing text.
  plugkit::gfx::IControl* makeButton(const plugkit::gfx::IRECT& r, const zarvo::ui::GlyphLabel& face, const char* text,
                                     std::function<void(plugkit::gfx::IControl*)> action) const
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

  // The save and load buttons: each opens its dialog.
  std::pair<plugkit::gfx::IControl*, plugkit::gfx::IControl*> makeFileButtons(const plugkit::gfx::IRECT& saveRect,
                                                                              const plugkit::gfx::IRECT& loadRect)
  {
    auto* save = makeButton(saveRect, mSaveGlyph, "save cc", [this](plugkit::gfx::IControl* c) {
      c->SetValue(0.);
      c->SetDirty(false);
      promptSave();
    });
    auto* load = makeButton(loadRect, mLoadGlyph, "load cc", [this](plugkit::gfx::IControl* c) {
      c->SetValue(0.);
      c->SetDirty(false);
      promptLoad();
    });
    return {save, load};
  }

  zarvo::ZarvoFile _buildFile() const
  {
    zarvo::ZarvoFile file(mPluginName, mPluginVersion);
    MapperZarvoAdapter::writeSection(mMediator->mapper().mappings(), file);
    if (mWriteExtraSections)
      mWriteExtraSections(file);
    return file;
  }

  // kOk, or kWriteFailed with any previous file left as it was.
  plugkit::EFileResult _save(const std::string& path) const
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    return _buildFile().toFile(path);
  }

  // kNotOurs for a file without a controller map; then nothing changes.
  plugkit::EFileResult _load(const std::string& path)
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    const zarvo::ZarvoFile::Loaded loaded = zarvo::ZarvoFile::fromFile(path);
    if (!loaded.file)
      return loaded.result;
    return _applyFile(*loaded.file) ? plugkit::EFileResult::kOk : plugkit::EFileResult::kNotOurs;
  }

  void _copy() const
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    mServices->setClipboardText(_buildFile().toString());
  }

  void _paste()
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    std::string text;
    if (!mServices->getClipboardText(text) || text.empty())
      return;
    if (std::optional<zarvo::ZarvoFile> file = zarvo::ZarvoFile::fromText(text))
      _applyFile(*file);
  }

  // Whether the clipboard holds a controller map; false without an editor.
  bool clipboardHasCC() const
  {
    std::string text;
    if (!mServices->getClipboardText(text) || text.empty())
      return false;
    const std::optional<zarvo::ZarvoFile> file = zarvo::ZarvoFile::fromText(text);
    return file && file->hasSection(MapperZarvoAdapter::kSectionName);
  }

  // Replaces the map with the file's "midi-cc" section; a file without one changes nothing (false).
  // The learn state stays.
  bool _applyFile(const zarvo::ZarvoFile& file)
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

private:
  std::string folder() const { return mDialogFolder ? mDialogFolder() : std::string(); }
  void report(plugkit::EFileResult result) const
  {
    mServices->reportFileResult(result, zarvo::IEditorServices::EFileContent::ControllerMap);
  }

  Mediator* mMediator;
  zarvo::IEditorServices* mServices;
  std::string mPluginName;
  std::string mPluginVersion;
  FolderFunc mDialogFolder;
  ActionFunc mOnApplied;
  WriteSectionsFunc mWriteExtraSections;
  ReadSectionsFunc mReadExtraSections;
  ActionFunc mBeforeChange;
  plugkit::gfx::IVStyle mStyle = plugkit::gfx::DEFAULT_STYLE;
  std::string mDefaultFileName;
  zarvo::ui::GlyphLabel mSaveGlyph, mLoadGlyph, mCopyGlyph, mPasteGlyph;
  float mGlyphSpacing = 0.f;
};

} // namespace zarvo::midi_cc
