// The platform side of a headless editor: scripted answers for dialogs and menus, an in-memory
// clipboard, recorded URL opens and cursor changes, and a clock the test moves by hand.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "IGfx/IColor.h"
#include "IGfx/IGfxEnums.h"
#include "IGfx/IRECT.h"
#include "IGfx/IText.h"
#include "IPlugin/IPluginTaskQueue.h"

namespace plugkit::gfx::test {

struct HeadlessPlatform
{
  // A menu as the platform was asked to show it.
  struct MenuRequest
  {
    std::string title;
    std::vector<std::string> items;
    std::vector<int> flags;
    IRECT bounds;
  };

  // How the next native menu answers: the chosen index (-1 dismisses it), at once or later.
  struct PopupAnswer
  {
    int chosen = -1;
    bool async = false;
  };

  struct TextEntryRequest
  {
    int paramIdx = -1;
    IRECT bounds;
    int length = 0;
    std::string text;
  };

  // A file or folder dialog's answer; nullopt cancels.
  struct FileAnswer
  {
    std::string fileName;
    std::string path;
  };

  //---The clock, in milliseconds; tests move it.
  double nowMs = 1000.;

  //---Window and screen
  float screenScale = 1.f;
  float windowScale = 1.f;
  float mouseX = 0.f;
  float mouseY = 0.f;
  std::vector<bool> platformResizes; // the argument of each PlatformResize
  int drawResizes = 0;

  //---Cursor
  std::vector<ECursor> cursorsSet;
  std::vector<std::pair<bool, bool>> cursorHides; // (hide, lock)

  //---Menus and text entry
  std::deque<PopupAnswer> popupAnswers; // an empty queue dismisses at once
  std::vector<MenuRequest> menusShown;
  std::vector<TextEntryRequest> textEntries;
  std::deque<std::string> textEntryAnswers; // delivered at once when present

  //---Dialogs. With deferDialogs, completions wait in tasks until the test drains them.
  bool deferDialogs = false;
  MainThreadTaskQueue tasks;
  std::deque<std::optional<FileAnswer>> fileAnswers; // an empty queue cancels
  std::vector<std::string> fileDialogExtensions;
  std::vector<std::string> fileDialogFolders; // the folder each file dialog starts in
  std::deque<EMsgBoxResult> msgBoxAnswers;    // an empty queue answers OK
  std::vector<std::string> msgBoxes;          // "caption: text"
  std::optional<IColor> colorAnswer;

  //---Clipboard, URLs, tooltips, appearance
  std::optional<std::string> clipboard;
  std::vector<std::string> openedURLs;
  bool openURLResult = true;
  int tooltipUpdates = 0;
  EUIAppearance appearance = EUIAppearance::Light;
};

} // namespace plugkit::gfx::test
