#include "tests/gfx_harness/input_driver.h"

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

bool InputDriver::Wheel(float x, float y, float delta) { return mG.OnMouseWheel(x, y, IMouseMod(), delta); }

bool InputDriver::KeyDown(int vk, float x, float y) { return mG.OnKeyDown(x, y, Key(vk)); }

bool InputDriver::KeyUp(int vk, float x, float y) { return mG.OnKeyUp(x, y, Key(vk)); }

bool InputDriver::KeyDown(const IKeyPress& key, float x, float y) { return mG.OnKeyDown(x, y, key); }

void InputDriver::Type(const char* utf8)
{
  for (const char* p = utf8; p && *p;)
  {
    const auto lead = static_cast<unsigned char>(*p);
    const int n = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 4;
    IKeyPress key;
    for (int i = 0; i < n && p[i]; ++i)
      key.utf8[i] = p[i];
    const char c = *p;
    if (c >= '0' && c <= '9')
      key.VK = c;
    else if (c >= 'a' && c <= 'z')
      key.VK = c - 'a' + 'A';
    else if (c >= 'A' && c <= 'Z')
    {
      key.VK = c;
      key.S = true;
    }
    else if (c == ' ')
      key.VK = 32;
    else if (c == '.')
      key.VK = 190;
    else if (c == '-')
      key.VK = 189;
    else if (c == '+')
    {
      key.VK = 187;
      key.S = true;
    }
    mG.OnKeyDown(mX, mY, key);
    mG.OnKeyUp(mX, mY, key);
    p += n;
  }
}

bool InputDriver::Tap(int vk, float x, float y)
{
  const bool handled = KeyDown(vk, x, y);
  KeyUp(vk, x, y);
  return handled;
}

} // namespace plugkit::gfx::test
