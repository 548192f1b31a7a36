#include "IGfx/Platforms/X11/ChooserColor.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace plugkit::gfx {

namespace {

bool HexDigits(const std::string& s, size_t from, size_t n, int& value)
{
  value = 0;
  for (size_t i = from; i < from + n; ++i)
  {
    const char c = s[i];
    const int d = (c >= '0' && c <= '9')   ? c - '0'
                  : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                  : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                           : -1;
    if (d < 0)
      return false;
    value = value * 16 + d;
  }
  return true;
}

// Comma-separated numbers between the parentheses of "name(...)"; false when the text is not that.
bool Numbers(const std::string& s, const std::string& name, std::vector<double>& out)
{
  if (s.compare(0, name.size() + 1, name + "(") != 0 || s.back() != ')')
    return false;
  size_t pos = name.size() + 1;
  while (pos < s.size())
  {
    const size_t end = s.find_first_of(",)", pos);
    const std::string field = s.substr(pos, end - pos);
    char* stop = nullptr;
    const double v = std::strtod(field.c_str(), &stop);
    if (field.empty() || *stop != 0 || !std::isfinite(v))
      return false;
    out.push_back(v);
    pos = end + 1;
  }
  return true;
}

int Channel(double v) { return v >= 0. && v <= 255. ? static_cast<int>(std::lround(v)) : -1; }

} // namespace

std::string ChooserColorText(const IColor& color)
{
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", color.R & 0xff, color.G & 0xff, color.B & 0xff);
  return text;
}

bool ParseChooserColor(const std::string& text, IColor& color)
{
  if (text.empty())
    return false;
  if (text[0] == '#' && (text.size() == 7 || text.size() == 13))
  {
    const size_t w = (text.size() - 1) / 3;
    int r, g, b;
    if (!HexDigits(text, 1, w, r) || !HexDigits(text, 1 + w, w, g) || !HexDigits(text, 1 + 2 * w, w, b))
      return false;
    if (w == 4)
    {
      r >>= 8;
      g >>= 8;
      b >>= 8;
    }
    color = IColor(255, r, g, b);
    return true;
  }
  std::vector<double> v;
  const bool rgb = Numbers(text, "rgb", v) && v.size() == 3;
  const bool rgba = !rgb && (v.clear(), Numbers(text, "rgba", v)) && v.size() == 4;
  if (!rgb && !rgba)
    return false;
  const int r = Channel(v[0]), g = Channel(v[1]), b = Channel(v[2]);
  const int a = rgba ? (v[3] >= 0. && v[3] <= 1. ? static_cast<int>(std::lround(v[3] * 255.)) : -1) : 255;
  if (r < 0 || g < 0 || b < 0 || a < 0)
    return false;
  color = IColor(a, r, g, b);
  return true;
}

} // namespace plugkit::gfx
