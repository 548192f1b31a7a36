// The preset browser's private state as tests read and set it.
#pragma once

#include "utils/ui/PresetBrowserControl.h"

namespace zarvo::ui {

struct PresetBrowserTestProbe
{
  explicit PresetBrowserTestProbe(PresetBrowserControl& browser)
    : b(browser)
    , presetLibrary(browser.presetLibrary)
    , anchor(browser.anchor)
    , entries(browser.entries)
    , nodes(browser.nodes)
    , rows(browser.rows)
    , isOpen(browser.isOpen)
    , scrollY(browser.scrollY)
    , contentHeight(browser.contentHeight)
    , hoveredRow(browser.hoveredRow)
    , draggingThumb(browser.draggingThumb)
    , revealY(browser.revealY)
  {}

  void buildTree() { b.buildTree(); }
  void revealCurrent() { b.revealCurrent(); }
  std::string itemLabel(int entry) const { return b.itemLabel(entry); }

  PresetBrowserControl& b;
  PresetLibrary& presetLibrary;
  plugkit::gfx::IRECT& anchor;
  std::vector<PresetLibrary::BrowseEntry>& entries;
  std::vector<PresetBrowserControl::Node>& nodes;
  std::vector<PresetBrowserControl::Row>& rows;
  bool& isOpen;
  float& scrollY;
  float& contentHeight;
  int& hoveredRow;
  bool& draggingThumb;
  float& revealY;
};

} // namespace zarvo::ui
