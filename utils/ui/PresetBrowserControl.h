// The preset browser: a drop-down tree of every preset (factory and user roots, folders nested by
// "/") hanging under the strip's name, covering the whole editor while open so that a click outside
// the panel closes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControl.h"
#include "utils/ui/GlyphLabel.h"
#include "utils/ui/PresetLibrary.h"

namespace zarvo::ui {

class PresetStripControl;

// Sizes in pixels; rowHeight is also the indentation per level.
struct PresetBrowserAppearance
{
  float rowHeight = 20.f;
  float headerHeight = 22.f;
  float chevronWidth = 18.f;
  float textGap = 4.f;
  float panelInset = 3.f;
  float scrollBarWidth = 6.f;
  float minThumbHeight = 24.f;
  float chevronSpacing = 0.f;
  float chevronScale = 1.25f;
  plugkit::gfx::IColor panelColor{255, 30, 30, 30};
  plugkit::gfx::IColor borderColor{255, 90, 90, 90};
  plugkit::gfx::IColor backdropColor{0, 0, 0, 0};
  plugkit::gfx::IColor headerColor{255, 50, 50, 50};
  plugkit::gfx::IColor hoverColor{255, 70, 70, 70};
  plugkit::gfx::IColor currentColor{255, 95, 55, 200};
  plugkit::gfx::IColor currentTextColor{255, 255, 255, 255};
  plugkit::gfx::IColor trackColor{0, 0, 0, 0};
  plugkit::gfx::IColor thumbColor{255, 120, 120, 120};
  plugkit::gfx::IText headerText;
  plugkit::gfx::IText itemText;
  GlyphLabel expandedGlyph{"v"};
  GlyphLabel collapsedGlyph{">"};
  bool showNumbers = false;
  std::string numberSeparator = " : ";
  GlyphLabel currentMarker{"*"};
  std::string moreText = "...";
};

// Main thread only. The library must outlive the browser. The appearance is a private base so that
// the drawing code names its fields directly.
class PresetBrowserControl : public plugkit::gfx::IControl,
                             public plugkit::gfx::IVectorBase,
                             private PresetBrowserAppearance
{
public:
  using Appearance = PresetBrowserAppearance;

  struct Node
  {
    std::string name;
    bool collapsed = false;
    std::vector<int32_t> entries;  // into entries, in browse order
    std::vector<int32_t> children; // into nodes, in order of first appearance
  };

  struct Row
  {
    bool header = false;
    int32_t node = -1;
    int32_t entry = -1; // -1 for a header
    int32_t depth = 0;
    float y = 0.f; // top, in list content coordinates
    float height = 0.f;
  };

  // The panel and its list as laid out now.
  struct Geometry
  {
    plugkit::gfx::IRECT panel;
    plugkit::gfx::IRECT list;
  };

  PresetBrowserControl(PresetLibrary& library, const plugkit::gfx::IVStyle& style);
  ~PresetBrowserControl() override;

  void OnMouseDown(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const plugkit::gfx::IMouseMod& mod, float d) override;
  bool OnKeyDown(float x, float y, const plugkit::IKeyPress& key) override;
  void OnMouseOver(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnResize() override;
  void Draw(plugkit::gfx::IGfx& g) override;

  // Hangs the browser under the strip: a click on the strip's name opens it under the name zone
  // as the strip lays it out at that moment.
  void connectStrip(PresetStripControl& strip);
  // Rescans the user folders, rebuilds the tree, reveals the current preset and shows the panel.
  void open();
  void close();
  bool opened() const { return isOpen; }

  // The texts start from the style's value text.
  const Appearance& appearance() const { return *this; }
  void setAppearance(const Appearance& look);

  Geometry geometry() const;
  // The thumb's rectangle; all zero when the list does not scroll.
  plugkit::gfx::IRECT thumbRect() const;

private:
  friend struct PresetBrowserTestProbe;

  void buildTree();
  void revealCurrent();
  bool expandToEntry(int node, int listIndex);
  void emitNode(int node, int depth, float& y);
  int rowAt(float x, float y) const;
  void measureContent(plugkit::gfx::IGfx& g);
  void drawHeader(plugkit::gfx::IGfx& g, const plugkit::gfx::IRECT& rect, int node, int row, int depth);
  void drawItem(plugkit::gfx::IGfx& g, const plugkit::gfx::IRECT& rect, int entry, int row, int depth);
  std::string itemLabel(int entry) const;

  PresetLibrary& presetLibrary;
  plugkit::gfx::IRECT anchor;
  std::vector<PresetLibrary::BrowseEntry> entries;
  std::vector<Node> nodes;
  std::vector<int32_t> roots;
  std::vector<Row> rows;
  bool isOpen = false;
  float scrollY = 0.f;
  float contentHeight = 0.f;
  float contentWidth = 0.f;
  bool measured = false;
  int hoveredRow = -1;
  bool draggingThumb = false;
  float thumbGrabOffset = 0.f;
  float revealY = -1.f;

  plugkit::gfx::IRECT boundsNow() const;
  void layoutRows();
  // Applies a pending reveal, then keeps the scroll inside the content.
  void updateScroll(float listHeight);
  void setHoveredRow(int row);
};

} // namespace zarvo::ui
