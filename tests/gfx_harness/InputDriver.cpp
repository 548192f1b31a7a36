#include "tests/gfx_harness/InputDriver.h"

namespace plugkit::gfx::test {

namespace {

IKeyPress Key(int vk)
{
  IKeyPress key;
  key.VK = vk;
  if (vk >= 32 && vk < 127)
    key.utf8[0] = static_cast<char>(vk);
  return key;
}

} // namespace

void InputDriver::Press(float x, float y, const IMouseMod& mod)
{
  mX = x;
  mY = y;
  mG.OnMouseDown({IMouseInfo{x, y, 0.f, 0.f, mod}});
}

void InputDriver::DragTo(float x, float y, const IMouseMod& mod)
{
  const IMouseInfo info{x, y, x - mX, y - mY, mod};
  mX = x;
  mY = y;
  mG.OnMouseDrag({info});
}

void InputDriver::Release(float x, float y, const IMouseMod& mod)
{
  mX = x;
  mY = y;
  mG.OnMouseUp({IMouseInfo{x, y, 0.f, 0.f, mod}});
}

void InputDriver::Click(float x, float y, const IMouseMod& mod)
{
  Press(x, y, mod);
  Release(x, y, mod);
}

bool InputDriver::DoubleClick(float x, float y, const IMouseMod& mod)
{
  mX = x;
  mY = y;
  return mG.OnMouseDblClick(x, y, mod);
}

bool InputDriver::Hover(float x, float y)
{
  mX = x;
  mY = y;
  return mG.OnMouseOver(x, y, IMouseMod());
}

bool InputDriver::Wheel(float x, float y, float delta)
{
  return mG.OnMouseWheel(x, y, IMouseMod(), delta);
}

bool InputDriver::KeyDown(int vk, float x, float y)
{
  return mG.OnKeyDown(x, y, Key(vk));
}

bool InputDriver::KeyUp(int vk, float x, float y)
{
  return mG.OnKeyUp(x, y, Key(vk));
}

bool InputDriver::Tap(int vk, float x, float y)
{
  const bool handled = KeyDown(vk, x, y);
  KeyUp(vk, x, y);
  return handled;
}

} // namespace plugkit::gfx::test
