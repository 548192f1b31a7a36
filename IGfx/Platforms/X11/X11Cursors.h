// The editor's cursor shapes as X cursors: the theme's cursor by name, else the core cursor font's.
#pragma once

#include <array>

#include <X11/Xlib.h>

namespace plugkit::gfx {

// Main thread. Shapes are the framework's cursor values 0..13 (arrow, text, wait, cross, up arrow,
// four resize directions, move, not allowed, hand, busy with arrow, help); any other value is the
// arrow. Cursors are made on first use and freed on Detach.
class X11Cursors
{
public:
  static constexpr int kShapes = 14;

  X11Cursors() = default;
  ~X11Cursors() { Detach(); }
  X11Cursors(const X11Cursors&) = delete;
  X11Cursors& operator=(const X11Cursors&) = delete;

  void Attach(Display* display, ::Window window);
  void Detach();

  // Shows shape over the window; returns the cursor used (0 without a window).
  Cursor Set(int shape);
  Cursor Get(int shape);

private:
  Display* mDisplay = nullptr;
  ::Window mWindow = 0;
  std::array<Cursor, kShapes> mCursors{};
};

} // namespace plugkit::gfx
