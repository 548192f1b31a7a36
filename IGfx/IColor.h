// A colour as alpha, red, green and blue, 0 to 255 each, and the framework's named colours.
#pragma once

namespace plugkit::gfx {

struct IColor
{
  int A = 255;
  int R = 0;
  int G = 0;
  int B = 0;

  constexpr IColor() = default;
  constexpr IColor(int a, int r, int g, int b)
    : A(a)
    , R(r)
    , G(g)
    , B(b)
  {}
  constexpr bool operator==(const IColor&) const = default;

  // Hue, saturation, lightness and alpha as fractions. The hue wraps around; saturation and
  // lightness are clamped to 0..1; alpha is taken as it is, unclamped.
  static IColor FromHSLA(float h, float s, float l, float a = 1.f);
};

inline constexpr IColor COLOR_TRANSPARENT(0, 0, 0, 0);
inline constexpr IColor COLOR_TRANSLUCENT(10, 0, 0, 0);
inline constexpr IColor COLOR_BLACK(255, 0, 0, 0);
inline constexpr IColor COLOR_BLACK_DROP_SHADOW(128, 0, 0, 0);
inline constexpr IColor COLOR_GRAY(255, 127, 127, 127);
inline constexpr IColor COLOR_LIGHT_GRAY(255, 240, 240, 240);
inline constexpr IColor COLOR_MID_GRAY(255, 200, 200, 200);
inline constexpr IColor COLOR_DARK_GRAY(255, 70, 70, 70);
inline constexpr IColor COLOR_WHITE(255, 255, 255, 255);
inline constexpr IColor COLOR_RED(255, 255, 0, 0);
inline constexpr IColor COLOR_GREEN(255, 0, 255, 0);
inline constexpr IColor COLOR_BLUE(255, 0, 0, 255);
inline constexpr IColor COLOR_YELLOW(255, 255, 255, 0);
inline constexpr IColor COLOR_ORANGE(255, 255, 127, 0);
inline constexpr IColor COLOR_INDIGO(255, 75, 0, 130);
inline constexpr IColor COLOR_VIOLET(255, 148, 0, 211);

inline constexpr IColor DEFAULT_TEXT_FGCOLOR = COLOR_BLACK;
inline constexpr IColor DEFAULT_TEXTENTRY_BGCOLOR = COLOR_WHITE;
inline constexpr IColor DEFAULT_TEXTENTRY_FGCOLOR = COLOR_BLACK;

} // namespace plugkit::gfx
