// Sends mouse, wheel and key sequences through a graphics context's real dispatch, as the platform
// view would: one pointer, touch id 0, deltas from the previous position.
#pragma once

#include <string>

#include "IGfx/IGfx.h"

namespace plugkit::gfx::test {

class InputDriver
{
public:
  explicit InputDriver(IGfx& g)
    : mG(g)
  {}

  static IMouseMod Left()
  {
    IMouseMod m;
    m.L = true;
    return m;
  }
  static IMouseMod Right()
  {
    IMouseMod m;
    m.R = true;
    return m;
  }

  void Press(float x, float y, const IMouseMod& mod = Left());
  // Moves the pressed pointer to (x, y); the delta is taken from the previous position.
  void DragTo(float x, float y, const IMouseMod& mod = Left());
  void Release(float x, float y, const IMouseMod& mod = Left());
  void Click(float x, float y, const IMouseMod& mod = Left());
  void RightClick(float x, float y) { Click(x, y, Right()); }
  bool DoubleClick(float x, float y, const IMouseMod& mod = Left());
  bool Hover(float x, float y);
  void Leave() { mG.OnMouseOut(); }
  bool Wheel(float x, float y, float delta);
  // Key codes of upper-case letters for letter keys ('A' is 65).
  bool KeyDown(int vk, float x = 0.f, float y = 0.f);
  bool KeyUp(int vk, float x = 0.f, float y = 0.f);
  bool Tap(int vk, float x = 0.f, float y = 0.f);
  // A prepared key press: keypad codes, modifiers, text beyond ASCII.
  bool KeyDown(const IKeyPress& key, float x = 0.f, float y = 0.f);
  // One key press per character of utf8, as a US keyboard sends it: digits, letters (shift for capitals),
  // space, '.', '-' and '+' with their key codes; any other character with code 0 and its text.
  void Type(const char* utf8);

private:
  IGfx& mG;
  float mX = 0.f;
  float mY = 0.f;
};

} // namespace plugkit::gfx::test
