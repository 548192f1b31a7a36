// What the editor keeps across rebuilds and closing, and what its displays last wrote.
#pragma once

#include <array>
#include <cstdint>

#include "product/audio/note_mode_controller.h"

namespace vemlor::ui {

// The tab, the preset strip and the scale, kept across rebuilds and closing. Main thread.
struct EditorUIState
{
  int currentTab = 2; // 0 all controls, 1 frequencies, 2 user
  bool userTabEditing = false;
  bool presetStripCollapsed = false;
  bool presetStripCollapsedBeforeEdit = false;
  float presetRowRightInset = 34.f;
  float uiScale = 1.f;
  bool uiScalePending = false;   // a restored scale the open editor has not taken yet
  bool uiScalePrefDirty = false; // "ui_scale" must be written once no drag is in progress
  bool layoutMorphActive = false;
};

// What the displays last wrote where a control cannot tell; each layout pass starts it afresh.
struct DisplayMemo
{
  // Per note-mode stage: -1 unknown, else whether its cutoff control was last locked.
  std::array<int8_t, zarvo::NoteModeController::kNumStages> cutoffLocked{-1, -1, -1};
  // Per filter (main, pre-filter A, pre-filter B): the blended indication last given to the
  // pass-type selectors, and the last selector given it.
  std::array<int8_t, 3> blended{-1, -1, -1};
  std::array<const void*, 3> lastSelector{};
};

} // namespace vemlor::ui
