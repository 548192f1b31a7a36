// What the graphics context asks of the controls it holds outside its list. The in-editor popup menu,
// text entry, bubble and frame-rate display derive from these.
#pragma once

#include <cstdint>

#include "IGfx/IControl.h"

namespace plugkit::gfx {

class IPopupMenuControlBase : public IControl
{
public:
  using IControl::IControl;
  // True while a menu is showing (expanding, expanded or a submenu appearing): input goes to it.
  virtual bool GetExpanded() const = 0;
  // True from opening until the menu has fully closed; the context refuses new requests meanwhile.
  virtual bool IsOpenOrClosing() const { return GetExpanded(); }
  // Shows menu over bounds; the control completes it later through the context.
  virtual void CreatePopupMenu(IPopupMenu& menu, const IRECT& bounds) = 0;
};

class ITextEntryControlBase : public IControl
{
public:
  using IControl::IControl;
  virtual bool GetEditing() const = 0;
  virtual void CreateTextEntry(int paramIdx, const IText& text, const IRECT& bounds, int length, const char* str) = 0;
};

class IBubbleControlBase : public IControl
{
public:
  using IControl::IControl;
  virtual void ShowBubble(IControl* caller, float x, float y, const char* str, EDirection dir,
                          const IRECT& minimumContentBounds, uint64_t touchId = 0) = 0;
};

class IFPSDisplayControlBase : public IControl
{
public:
  using IControl::IControl;
  // Seconds since the previous frame.
  virtual void Update(float timeDiff) = 0;
};

} // namespace plugkit::gfx
