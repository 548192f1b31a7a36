// The one-line preset strip: previous and next, the preset's name, undo and redo, save, load, the
// preset folder and adding folders. It keeps no preset state: every frame it reads the library again.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControl.h"
#include "utils/ui/GlyphLabel.h"
#include "utils/ui/ITooltipHost.h"
#include "utils/ui/PresetLibrary.h"

namespace zarvo::ui {

// Main thread only. The library must outlive the strip and any dialog the strip opened.
class PresetStripControl : public plugkit::gfx::IControl, public plugkit::gfx::IVectorBase, public ITooltipHost
{
public:
  struct NameOverride
  {
    std::string name;
    bool modified = false;
  };

  enum Zone : int
  {
    kNone = 0,
    kCollapse,
    kPrevious,
    kName,
    kNext,
    kUndo,
    kRedo,
    kSave,
    kLoad,
    kOpenFolder,
    kAddFolder,
    kNumZones
  };

  PresetStripControl(const plugkit::gfx::IRECT& bounds, PresetLibrary& library, const plugkit::gfx::IVStyle& style);
  ~PresetStripControl() override;

  void OnMouseDown(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseOut() override;
  void Draw(plugkit::gfx::IGfx& g) override;
  // The label and the buttons' states follow the library without notification, so the strip compares
  // what it would show with what it drew last; an idle editor then draws nothing.
  bool IsDirty() override;

  const char* hoveredTooltip() const override;
  plugkit::gfx::IRECT hoveredTooltipRect() const override;

  int hitZone(float x, float y) const;
  // The zone's rectangle as laid out now; all zero for a zone that does not exist.
  plugkit::gfx::IRECT zoneRect(int zone) const;
  // The name zone; (0, top, 0, bottom) while collapsed.
  plugkit::gfx::IRECT nameZoneRect() const;
  std::string presetNumberPrefix(int listIndex) const;
  static std::string fitPathLabel(plugkit::gfx::IGfx& g, const plugkit::gfx::IText& style, const std::string& label,
                                  float maxWidth);
  // The label and its number prefix as the name zone shows them, before fitting.
  std::pair<std::string, std::string> labelAndPrefix() const;

  // The file dialogs. A request while one of them is still open is ignored.
  void promptSave();
  void promptLoad();
  void promptScanFolder();
  bool dialogOpen() const { return mDialogOpen; }

  PresetLibrary& presetLibrary;
  std::function<void(bool)> onCollapseToggled;
  std::function<void()> onNameClicked;
  int hoveredZone = kNone;
  int pressedZone = kNone;
  bool collapsed = true;
  bool collapsible = true;
  GlyphLabel expandGlyph{">>"};
  GlyphLabel collapseGlyph{"<<"};
  GlyphLabel prevGlyph{"<"};
  GlyphLabel nextGlyph{">"};
  GlyphLabel undoGlyph{"undo"};
  GlyphLabel redoGlyph{"redo"};
  GlyphLabel saveGlyph{"save"};
  std::function<std::optional<NameOverride>()> nameOverride;
  bool showNumbers = false;
  std::string numberSeparator = " : ";
  std::string customLabel = "custom preset";
  std::string modifiedMarker = " *";
  GlyphLabel loadGlyph{"load"};
  GlyphLabel folderGlyph{"dir"};
  GlyphLabel scanGlyph{"scan"};
  float glyphSpacing = 0.f;
  float buttonWidthScale = 1.f;
  float buttonWidth = 0.f; // 0 or less: automatic
  bool showSaveLoad = true;
  bool showUndo = true;
  bool showRedo = false;
  bool showOpenFolder = true;
  bool showAddFolder = true;
  float collapsedToggleWidth = 0.f; // 0: automatic
  float expandedToggleWidth = 0.f;  // 0: automatic
  // Collapse, previous, next, undo, redo, save, load, open folder, add folder.
  std::array<std::string, 9> zoneTooltips;

private:
  using Zones = std::array<plugkit::gfx::IRECT, kNumZones>;
  Zones layout() const;
  void press(float x, float y);
  void step(int direction);
  void setHovered(int zone);
  void setPressed(int zone);
  std::string startFolder() const;
  // Runs the dialog unless one is open; the completion reaches the library even after the strip is gone.
  void runDialog(const std::function<void(std::function<void(const std::string&)>)>& open,
                 std::function<void(PresetLibrary&, const std::string&)> use);

  // Everything a frame of the strip shows that can change without the strip being told.
  struct Shown
  {
    bool collapsed = false, collapsible = false, navigation = false, loadLocked = false, canUndo = false,
         canRedo = false;
    int hoveredZone = 0, pressedZone = 0;
    std::pair<std::string, std::string> labelAndPrefix;
    bool operator==(const Shown&) const = default;
  };
  Shown shownNow() const;

  bool mDialogOpen = false;
  std::optional<Shown> mDrawn;
  std::shared_ptr<PresetStripControl*> mSelf;
};

} // namespace zarvo::ui
