#include "IPlugin/VST3/IPluginVST3_Strings.h"

#include "IPlugin/UTF8.h"

#include <cstdint>

namespace plugkit {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at text[i] and advances i; malformed input yields U+FFFD and one byte.
char32_t DecodeUTF8(const unsigned char* text, size_t& i)
{
  const unsigned char lead = text[i];
  if (lead < 0x80)
  {
    ++i;
    return lead;
  }
  int extra = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((lead & 0xE0) == 0xC0)
  {
    extra = 1;
    cp = lead & 0x1F;
    min = 0x80;
  }
  else if ((lead & 0xF0) == 0xE0)
  {
    extra = 2;
    cp = lead & 0x0F;
    min = 0x800;
  }
  else if ((lead & 0xF8) == 0xF0)
  {
    extra = 3;
    cp = lead & 0x07;
    min = 0x10000;
  }
  else
  {
    ++i;
    return kReplacement;
  }
  for (int k = 1; k <= extra; ++k)
  {
    const unsigned char next = text[i + k]; // the terminator stops this before the end
    if ((next & 0xC0) != 0x80)
    {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  i += static_cast<size_t>(extra) + 1;
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    return kReplacement;
  return cp;
}

} // namespace

void UTF8ToUTF16(const char* text, Steinberg::char16* dst, int maxUnits)
{
  if (!dst || maxUnits < 1)
    return;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text ? text : "");
  int n = 0;
  size_t i = 0;
  while (bytes[i] != 0)
  {
    const char32_t cp = DecodeUTF8(bytes, i);
    if (cp < 0x10000)
    {
      if (n + 1 >= maxUnits)
        break;
      dst[n++] = static_cast<Steinberg::char16>(cp);
    }
    else
    {
      if (n + 2 >= maxUnits)
        break;
      const char32_t v = cp - 0x10000;
      dst[n++] = static_cast<Steinberg::char16>(0xD800 + (v >> 10));
      dst[n++] = static_cast<Steinberg::char16>(0xDC00 + (v & 0x3FF));
    }
  }
  dst[n] = 0;
}

std::string UTF16ToUTF8(const Steinberg::char16* text, int maxUnits)
{
  std::string out;
  if (!text)
    return out;
  for (int i = 0; i < maxUnits && text[i] != 0; ++i)
  {
    const char32_t unit = static_cast<char16_t>(text[i]);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < maxUnits)
    {
      const char32_t low = static_cast<char16_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF)
      {
        AppendUTF8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUTF8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
  }
  return out;
}

} // namespace plugkit
