// A key press as the host delivers it to the editor.
#pragma once

#include <cstdint>

namespace plugkit {

struct IKeyPress
{
  int32_t VK = 0;    // virtual key code, 0 for none
  char utf8[5] = {}; // the typed character, up to 4 UTF-8 bytes and a terminator
  bool S = false;    // shift
  bool C = false;    // command / control
  bool A = false;    // option / alt
};

} // namespace plugkit
