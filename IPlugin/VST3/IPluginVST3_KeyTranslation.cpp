#include "IPlugin/VST3/IPluginVST3_KeyTranslation.h"

namespace plugkit {

int32_t VSTKeyCodeToVK(Steinberg::int16 keyCode, char character)
{
  switch (keyCode)
  {
  case 0:
  case 57: // equals
    if ((character >= '0' && character <= '9') || (character >= 'A' && character <= 'Z'))
      return character;
    if (character >= 'a' && character <= 'z')
      return character - 32;
    return 0;
  case 1: return 8;
  case 2: return 9;
  case 3: return 12;
  case 4:
  case 19: return 13;
  case 5: return 19;
  case 6: return 27;
  case 7: return 32;
  case 8:
  case 16: return 34;
  case 9: return 35;
  case 10: return 36;
  case 11: return 37;
  case 12: return 38;
  case 13: return 39;
  case 14: return 40;
  case 15: return 33;
  case 17: return 41;
  case 18: return 42;
  case 20: return 44;
  case 21: return 45;
  case 22: return 46;
  case 23: return 47;
  case 34: return 106;
  case 35: return 107;
  case 36: return 108;
  case 37: return 109;
  case 38: return 110;
  case 39: return 111;
  case 52: return 144;
  case 53: return 145;
  case 54: return 16;
  case 55: return 17;
  case 56: return 18;
  default: break;
  }
  if (keyCode >= 24 && keyCode <= 33)
    return 96 + (keyCode - 24);
  if (keyCode >= 40 && keyCode <= 51)
    return 112 + (keyCode - 40);
  if (keyCode >= 128)
    return keyCode - 80;
  return 0;
}

IKeyPress TranslateKeyMessage(Steinberg::char16 key, Steinberg::int16 keyCode, Steinberg::int16 modifiers)
{
  const int code = keyCode & 0xFF;
  Steinberg::char16 c = key;
  if (c == 0)
  {
    if (keyCode == 7)
      c = 32;
    else if (code >= 128)
      c = static_cast<Steinberg::char16>(code - 80);
  }
  IKeyPress press;
  // Only characters that are one UTF-8 byte are carried as text.
  if (c != 0 && c < 0x80)
    press.utf8[0] = static_cast<char>(c);
  press.VK = VSTKeyCodeToVK(keyCode, press.utf8[0]);
  press.S = (modifiers & 1) != 0;
  press.A = (modifiers & 2) != 0;
  press.C = (modifiers & 4) != 0;
  return press;
}

} // namespace plugkit
