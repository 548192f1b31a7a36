// Controller map files ("ccmap.zarvo") and the controller map's clipboard text.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "IGfx/IVStyle.h"
#include "IPlugin/IPluginFiles.h"
#include "utils/editor_services.h"
#include "utils/ui/GlyphLabel.h"
#include "utils/zarvo_file.h"

namespace plugkit::gfx {
class IControl;
} // namespace plugkit::gfx

namespace zarvo::midi_cc {

class CCMediator;

// Saves, loads, copies and pastes the mediator's map as a sectioned text file: the "midi-cc"
// section plus whatever sections the owner adds through its hooks. The clipboard text is the file
// text. The clipboard, the dialogs and the messages about chosen files go through the editor
// services. Lives as long as the plug-in; main thread.
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
  CCFileOrchestrator(CCMediator& mediator, zarvo::IEditorServices& services, std::string pluginName,
                     std::string pluginVersion, FolderFunc dialogFolder, ActionFunc onApplied,
                     std::string defaultFileName);

  void setExtraSectionIO(WriteSectionsFunc writer, ReadSectionsFunc reader)
  {
    mWriteExtraSections = std::move(writer);
    mReadExtraSections = std::move(reader);
  }

  // Runs before an applied file replaces the map (the owner records an undo step).
  void setBeforeChange(ActionFunc beforeChange) { mBeforeChange = std::move(beforeChange); }

  // The save button's action: the save dialog, then the file is written to the chosen name and the
  // result reported.
  void promptSave();

  // The load button's action: the open dialog, then the chosen file is applied and the result
  // reported.
  void promptLoad();

  // The look of the row's label and buttons; a button with an empty glyph label shows its text.
  void setRowStyle(const plugkit::gfx::IVStyle& style, zarvo::ui::GlyphLabel copy, zarvo::ui::GlyphLabel paste,
                   zarvo::ui::GlyphLabel save, zarvo::ui::GlyphLabel load);
  // Pixels between the runs of the row's label and glyph buttons.
  void setGlyphSpacing(float spacing) { mGlyphSpacing = spacing; }

  // Main thread, while the editor is built: the label over labelWidth pixels on the left, then the
  // buttons sharing the rest equally. The caller attaches the controls and decides when they show.
  Row makeRow(const plugkit::gfx::IRECT& r, zarvo::ui::GlyphLabel label, float labelWidth, bool withClipboard);

  // A glyph button when face has runs, else a rectangular vector button showing text.
  plugkit::gfx::IControl* makeButton(const plugkit::gfx::IRECT& r, const zarvo::ui::GlyphLabel& face, const char* text,
                                     std::function<void(plugkit::gfx::IControl*)> action) const;

  // The save and load buttons: each opens its dialog.
  std::pair<plugkit::gfx::IControl*, plugkit::gfx::IControl*> makeFileButtons(const plugkit::gfx::IRECT& saveRect,
                                                                              const plugkit::gfx::IRECT& loadRect);

  zarvo::ZarvoFile _buildFile() const;

  // kOk, or kWriteFailed with any previous file left as it was.
  plugkit::EFileResult _save(const std::string& path) const;

  // kNotOurs for a file without a controller map; then nothing changes.
  plugkit::EFileResult _load(const std::string& path);

  void _copy() const;
  void _paste();

  // Whether the clipboard holds a controller map; false without an editor.
  bool clipboardHasCC() const;

  // Replaces the map with the file's "midi-cc" section; a file without one changes nothing (false).
  // The learn state stays.
  bool _applyFile(const zarvo::ZarvoFile& file);

private:
  std::string folder() const { return mDialogFolder ? mDialogFolder() : std::string(); }
  void report(plugkit::EFileResult result) const;

  CCMediator* mMediator;
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
