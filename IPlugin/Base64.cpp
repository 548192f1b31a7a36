#include "IPlugin/Base64.h"

namespace plugkit {

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c)
{
  if (c >= 'A' && c <= 'Z')
    return c - 'A';
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 26;
  if (c >= '0' && c <= '9')
    return c - '0' + 52;
  if (c == '+')
    return 62;
  if (c == '/')
    return 63;
  return -1;
}
} // namespace

std::string Base64Encode(const uint8_t* data, int size)
{
  std::string out;
  if (!data || size <= 0)
    return out;
  out.reserve(static_cast<size_t>(size + 2) / 3 * 4);
  for (int i = 0; i < size; i += 3)
  {
    const int n = size - i < 3 ? size - i : 3;
    const uint32_t group =
      (uint32_t{data[i]} << 16) | (n > 1 ? uint32_t{data[i + 1]} << 8 : 0u) | (n > 2 ? uint32_t{data[i + 2]} : 0u);
    out += kAlphabet[(group >> 18) & 63];
    out += kAlphabet[(group >> 12) & 63];
    out += n > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    out += n > 2 ? kAlphabet[group & 63] : '=';
  }
  return out;
}

int Base64Decode(const char* text, uint8_t* out, int size)
{
  if (!text || !out)
    return 0;
  int written = 0;
  uint32_t bits = 0;
  int nBits = 0;
  for (const char* p = text; written < size; ++p)
  {
    const int sextet = SextetOf(*p);
    if (sextet < 0)
      break;
    bits = (bits << 6) | static_cast<uint32_t>(sextet);
    nBits += 6;
    if (nBits >= 8)
    {
      nBits -= 8;
      out[written++] = static_cast<uint8_t>(bits >> nBits);
      bits &= (1u << nBits) - 1;
    }
  }
  return written;
}

} // namespace plugkit
