// The "MIDI CC" part of a learnable control's context menu: its items with their texts and states,
// and what choosing each one does.
#pragma once

#include <string>

namespace plugkit::gfx {
class IPopupMenu;
}

namespace zarvo::midi_cc {

// What the menu shows depends on.
struct CCMenuState
{
  int ccNumber = -1; // -1: not mapped
  std::string minText;
  std::string maxText;
  bool modulatable = false;
  int modeDisplay = 0; // 0 Absolute, 1 Modulate
  bool modeLocked = false;
  bool modBipolar = false;
  bool depthEditable = false;
  bool learning = false;

  bool mapped() const { return ccNumber != -1; }
  bool modulating() const { return modulatable && modeDisplay == 1; }
};

class CCContextMenu
{
public:
  // Submenu item indices.
  enum EItem
  {
    kLearn = 0,
    kClear = 1,
    kSeparator1 = 2,
    kInvert = 3,
    kSetMin = 4,
    kSetMax = 5,
    kSetDepth = 6,
    kBipolar = 7,
    kSeparator2 = 8,
    kAbsolute = 9,
    kModulate = 10,
    kNumItems = 11
  };

  // What choosing an item asks of the control besides its message.
  enum class ELocal
  {
    None,
    Reset,     // forget the mapping shown: Learn, Clear
    SwapRange, // Invert in Absolute mode
    TakeMin,   // the parameter's current value becomes the range's minimum
    TakeMax,
    ToggleArmed, // Set Depth
    ToggleBipolar,
    ShowAbsolute,
    ShowModulate,
  };

  struct Action
  {
    bool handled = false; // false for separators and indices outside the submenu
    ELocal local = ELocal::None;
    int message = 0; // the editor message sent after the listen message; 0 for none
  };

  // Adds the parameter's name as a title and a separator (only when there is a name), then the
  // "MIDI CC" submenu. Returns the number the host gives the submenu's first item: the item count
  // before the submenu entry plus one.
  static int fill(plugkit::gfx::IPopupMenu& menu, const char* paramName, const CCMenuState& state);
  // The submenu's items alone.
  static void fillSubmenu(plugkit::gfx::IPopupMenu& submenu, const CCMenuState& state);
  static Action actionFor(int index, const CCMenuState& state);
};

} // namespace zarvo::midi_cc
