#include "IGfx/Platforms/X11/X11Cursors.h"

#include <X11/Xcursor/Xcursor.h>
#include <X11/cursorfont.h>

#include "IGfx/Platforms/X11/X11ErrorTrap.h"

namespace plugkit::gfx {

namespace {

struct Shape
{
  const char* names[2]; // theme names, in order of preference
  unsigned fontShape;   // the core cursor font's glyph when the theme has none
};

constexpr Shape kShapeTable[X11Cursors::kShapes] = {
  {{"default", "left_ptr"}, XC_left_ptr},
  {{"text", "xterm"}, XC_xterm},
  {{"wait", "watch"}, XC_watch},
  {{"crosshair", "cross"}, XC_crosshair},
  {{"up-arrow", "sb_up_arrow"}, XC_sb_up_arrow},
  {{"nwse-resize", "bottom_right_corner"}, XC_bottom_right_corner},
  {{"nesw-resize", "bottom_left_corner"}, XC_bottom_left_corner},
  {{"ew-resize", "sb_h_double_arrow"}, XC_sb_h_double_arrow},
  {{"ns-resize", "sb_v_double_arrow"}, XC_sb_v_double_arrow},
  {{"move", "fleur"}, XC_fleur},
  {{"not-allowed", "crossed_circle"}, XC_X_cursor},
  {{"pointer", "hand2"}, XC_hand2},
  {{"progress", "left_ptr_watch"}, XC_watch},
  {{"help", "question_arrow"}, XC_question_arrow},
};

} // namespace

void X11Cursors::Attach(Display* display, ::Window window)
{
  Detach();
  mDisplay = display;
  mWindow = window;
}

void X11Cursors::Detach()
{
  if (mDisplay != nullptr)
  {
    X11ErrorTrap trap(mDisplay);
    for (Cursor& c : mCursors)
      if (c != 0)
        XFreeCursor(mDisplay, c);
  }
  mCursors.fill(0);
  mDisplay = nullptr;
  mWindow = 0;
}

Cursor X11Cursors::Get(int shape)
{
  if (mDisplay == nullptr)
    return 0;
  if (shape < 0 || shape >= kShapes)
    shape = 0;
  Cursor& cursor = mCursors[static_cast<size_t>(shape)];
  if (cursor == 0)
  {
    const Shape& s = kShapeTable[shape];
    for (const char* name : s.names)
      if (cursor == 0)
        cursor = XcursorLibraryLoadCursor(mDisplay, name);
    if (cursor == 0)
      cursor = XCreateFontCursor(mDisplay, s.fontShape);
  }
  return cursor;
}

Cursor X11Cursors::Set(int shape)
{
  const Cursor cursor = Get(shape);
  if (cursor != 0 && mWindow != 0)
  {
    X11ErrorTrap trap(mDisplay);
    XDefineCursor(mDisplay, mWindow, cursor);
    XFlush(mDisplay);
  }
  return cursor;
}

} // namespace plugkit::gfx
