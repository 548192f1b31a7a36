// Appending one Unicode code point to UTF-8 text.
#pragma once

#include <string>

namespace plugkit {

// cp must be a scalar value (at most U+10FFFF, no surrogate); callers replace anything else first.
inline void AppendUTF8(std::string& out, char32_t cp)
{
  if (cp < 0x80)
    out += static_cast<char>(cp);
  else if (cp < 0x800)
  {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  else if (cp < 0x10000)
  {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  else
  {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

} // namespace plugkit
