#include "utils/midi_cc/cc_context_menu.h"

#include "IGfx/IPopupMenu.h"
#include "utils/midi_cc/cc_messages.h"

namespace zarvo::midi_cc {

using plugkit::gfx::IPopupMenu;
using Item = IPopupMenu::Item;

namespace {

std::string withSuffix(const char* text, bool mapped, const std::string& value)
{
  return mapped ? std::string(text) + " (" + value + ")" : std::string(text);
}

int flags(bool disabled, bool checked = false)
{
  return (disabled ? Item::kDisabled : 0) | (checked ? Item::kChecked : 0);
}

} // namespace

void CCContextMenu::fillSubmenu(IPopupMenu& sub, const CCMenuState& s)
{
  const bool mapped = s.mapped();
  const bool modulating = s.modulating();
  sub.AddItem(s.learning ? "Learning" : "Learn", IPopupMenu::kAppend, flags(false));
  sub.AddItem(withSuffix("Clear", mapped, std::to_string(s.ccNumber)).c_str(), IPopupMenu::kAppend, flags(!mapped));
  sub.AddSeparator();
  sub.AddItem("Invert", IPopupMenu::kAppend, flags(!mapped));
  sub.AddItem(withSuffix("Set Min", mapped, s.minText).c_str(), IPopupMenu::kAppend, flags(!mapped || modulating));
  sub.AddItem(withSuffix("Set Max", mapped, s.maxText).c_str(), IPopupMenu::kAppend, flags(!mapped || modulating));
  if (!mapped || !s.modulatable)
    return;
  sub.AddItem("Set Depth", IPopupMenu::kAppend, flags(!modulating || !s.depthEditable));
  sub.AddItem("Bipolar", IPopupMenu::kAppend, flags(!modulating, s.modBipolar));
  sub.AddSeparator();
  sub.AddItem("Absolute", IPopupMenu::kAppend, flags(s.modeLocked, s.modeDisplay == 0));
  sub.AddItem("Modulate", IPopupMenu::kAppend, flags(false, s.modeDisplay == 1));
}

int CCContextMenu::fill(IPopupMenu& menu, const char* paramName, const CCMenuState& state)
{
  auto* sub = new IPopupMenu();
  fillSubmenu(*sub, state);
  // Without a parameter there is no name to title the menu with.
  if (paramName)
  {
    menu.AddItem(paramName, IPopupMenu::kAppend, Item::kTitle);
    menu.AddSeparator();
  }
  const int offset = menu.NItems() + 1;
  menu.AddItem("MIDI CC", sub);
  return offset;
}

CCContextMenu::Action CCContextMenu::actionFor(int index, const CCMenuState& s)
{
  switch (index)
  {
  case kLearn:
    return s.learning ? Action{true, ELocal::None, kMsgTagCancelLearn} : Action{true, ELocal::Reset, kMsgTagLearn};
  case kClear: return {true, ELocal::Reset, kMsgTagClear};
  case kInvert:
    return s.modulating() ? Action{true, ELocal::None, kMsgTagInvertDepth}
                          : Action{true, ELocal::SwapRange, kMsgTagInvertRange};
  case kSetMin: return {true, ELocal::TakeMin, kMsgTagSetMin};
  case kSetMax: return {true, ELocal::TakeMax, kMsgTagSetMax};
  case kSetDepth: return {true, ELocal::ToggleArmed, 0};
  case kBipolar: return {true, ELocal::ToggleBipolar, kMsgTagBipolar};
  case kAbsolute: return {true, ELocal::ShowAbsolute, kMsgTagAbsolute};
  case kModulate: return {true, ELocal::ShowModulate, kMsgTagModulate};
  default: return {};
  }
}

} // namespace zarvo::midi_cc
