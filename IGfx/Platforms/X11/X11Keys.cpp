#include "IGfx/Platforms/X11/X11Keys.h"

#include <cstring>

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace plugkit::gfx {

namespace {

struct KeyRow
{
  KeySym sym;
  int32_t vk;
  char32_t text; // what the key types, 0 for nothing
};

constexpr KeyRow kKeys[] = {
  {XK_BackSpace, 8, 8},       {XK_Tab, 9, 9},           {XK_Return, 13, 13},     {XK_Escape, 27, 27},
  {XK_space, 32, ' '},        {XK_Prior, 33, 0},        {XK_Next, 34, 0},        {XK_End, 35, 0},
  {XK_Home, 36, 0},           {XK_Left, 37, 0},         {XK_Up, 38, 0},          {XK_Right, 39, 0},
  {XK_Down, 40, 0},           {XK_Insert, 45, 0},       {XK_Help, 45, 0},        {XK_Delete, 46, 127},
  {XK_KP_Multiply, 106, '*'}, {XK_KP_Add, 107, '+'},    {XK_KP_Equal, 108, '='}, {XK_KP_Subtract, 109, '-'},
  {XK_KP_Decimal, 110, '.'},  {XK_KP_Divide, 111, '/'}, {XK_Num_Lock, 144, 0},   {XK_Clear, 144, 0},
  {XK_KP_Enter, 0x800D, 13},  {XK_KP_Home, 36, 0},      {XK_KP_End, 35, 0},      {XK_KP_Prior, 33, 0},
  {XK_KP_Next, 34, 0},        {XK_KP_Left, 37, 0},      {XK_KP_Up, 38, 0},       {XK_KP_Right, 39, 0},
  {XK_KP_Down, 40, 0},        {XK_KP_Insert, 45, 0},    {XK_KP_Delete, 46, 0},   {XK_KP_Space, 32, ' '},
  {XK_KP_Tab, 9, 9},
};

// The character a keysym types, 0 for none.
char32_t KeysymChar(KeySym sym)
{
  if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF))
    return static_cast<char32_t>(sym);
  if ((sym & 0xFF000000) == 0x01000000)
    return static_cast<char32_t>(sym & 0x00FFFFFF);
  return 0;
}

void PutUtf8(char32_t c, char (&out)[5])
{
  out[0] = out[1] = out[2] = out[3] = out[4] = 0;
  if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
    return;
  if (c < 0x80)
  {
    out[0] = static_cast<char>(c);
  }
  else if (c < 0x800)
  {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
  }
  else if (c < 0x10000)
  {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
  }
  else
  {
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsAsciiAlnum(char32_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

} // namespace

bool TranslateX11Key(KeySym keysym, unsigned state, unsigned keycode, IKeyPress& key, const char* typed)
{
  key = IKeyPress{};
  // Num Lock stands where the keypad's Clear key is on other keyboards, and is passed on as that.
  if ((IsModifierKey(keysym) && keysym != XK_Num_Lock) || keysym == XK_Mode_switch || keysym == XK_ISO_Level3_Shift)
    return false;
  key.S = (state & ShiftMask) != 0;
  key.C = (state & ControlMask) != 0;
  key.A = (state & Mod1Mask) != 0;

  int32_t vk = 0;
  bool isVirtual = false;
  char32_t text = 0;

  // Shift+Tab: with Control it is Tab with Shift; alone it types the back-tab character 25 and no key.
  if (keysym == XK_ISO_Left_Tab)
  {
    text = 25;
    if (key.C)
    {
      vk = 9;
      isVirtual = true;
    }
  }
  else if (keysym >= XK_F1 && keysym <= XK_F24)
  {
    vk = static_cast<int32_t>(112 + (keysym - XK_F1));
    isVirtual = true;
  }
  else if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
  {
    vk = static_cast<int32_t>(96 + (keysym - XK_KP_0));
    text = static_cast<char32_t>('0' + (keysym - XK_KP_0));
    isVirtual = true;
  }
  else
  {
    for (const KeyRow& row : kKeys)
    {
      if (row.sym == keysym)
      {
        vk = row.vk;
        text = row.text;
        isVirtual = true;
        break;
      }
    }
    if (!isVirtual)
    {
      text = KeysymChar(keysym);
      const bool printable = typed != nullptr && static_cast<unsigned char>(typed[0]) >= 0x20 && typed[0] != 0x7F;
      if (text == 0 && printable && typed[1] != '\0')
      {
        // Beyond ASCII: the method's character as it came, and no key code.
        key.VK = 0;
        key.S = false;
        std::strncpy(key.utf8, typed, sizeof(key.utf8) - 1);
        return true;
      }
      if (text == 0 && printable)
        text = static_cast<char32_t>(typed[0]);
      if (text == 0)
      {
        vk = static_cast<int32_t>(keycode) + 1024;
        isVirtual = true;
      }
      else
      {
        const char32_t upper = (text >= 'a' && text <= 'z') ? text - 32 : text;
        if (IsAsciiAlnum(upper))
        {
          vk = static_cast<int32_t>(upper);
          isVirtual = true;
        }
      }
    }
  }

  if (!isVirtual)
  {
    vk = 0;
    key.S = false; // a shifted punctuation character arrives as its text alone
  }
  key.VK = vk;
  PutUtf8(text, key.utf8);
  return true;
}

} // namespace plugkit::gfx
