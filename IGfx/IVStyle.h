// The colour set and style of vector controls, with the framework's defaults.
#pragma once

#include <array>
#include <initializer_list>

#include "IGfx/IColor.h"
#include "IGfx/IGfxEnums.h"
#include "IGfx/IText.h"

namespace plugkit::gfx {

inline constexpr IColor DEFAULT_BGCOLOR = COLOR_TRANSPARENT;
inline constexpr IColor DEFAULT_FGCOLOR = COLOR_MID_GRAY;
inline constexpr IColor DEFAULT_PRCOLOR = COLOR_LIGHT_GRAY;
inline constexpr IColor DEFAULT_FRCOLOR = COLOR_DARK_GRAY;
inline constexpr IColor DEFAULT_HLCOLOR = COLOR_TRANSLUCENT;
inline constexpr IColor DEFAULT_SHCOLOR(60, 0, 0, 0);
inline constexpr IColor DEFAULT_X1COLOR = COLOR_BLACK;
inline constexpr IColor DEFAULT_X2COLOR = COLOR_GREEN;
inline constexpr IColor DEFAULT_X3COLOR = COLOR_BLUE;

// Nine colours indexed by EVColor.
struct IVColorSpec
{
  std::array<IColor, kNumVColors> mColors{DEFAULT_BGCOLOR, DEFAULT_FGCOLOR, DEFAULT_PRCOLOR,
                                          DEFAULT_FRCOLOR, DEFAULT_HLCOLOR, DEFAULT_SHCOLOR,
                                          DEFAULT_X1COLOR, DEFAULT_X2COLOR, DEFAULT_X3COLOR};

  constexpr IVColorSpec() = default;
  // The listed colours fill the slots from the first; the rest keep their defaults; colours past the
  // ninth are ignored.
  constexpr IVColorSpec(std::initializer_list<IColor> colors)
  {
    size_t i = 0;
    for (const IColor& c : colors)
    {
      if (i == mColors.size())
        break;
      mColors[i++] = c;
    }
  }

  constexpr const IColor& GetColor(EVColor c) const { return mColors[static_cast<size_t>(c)]; }
  constexpr const IColor& operator[](EVColor c) const { return GetColor(c); }
  constexpr void SetColor(EVColor c, const IColor& color) { mColors[static_cast<size_t>(c)] = color; }
  constexpr bool operator==(const IVColorSpec&) const = default;
};

inline constexpr IVColorSpec DEFAULT_COLOR_SPEC{};

struct IVStyle
{
  bool hideCursor = true;
  bool showLabel = true;
  bool showValue = true;
  bool drawFrame = true;
  bool drawShadows = true;
  bool emboss = false;
  float roundness = 0.f;
  float frameThickness = 1.f;
  float shadowOffset = 3.f;
  float widgetFrac = 1.f;
  float angle = 0.f;
  IVColorSpec colorSpec = DEFAULT_COLOR_SPEC;
  IText labelText = DEFAULT_LABEL_TEXT;
  IText valueText = DEFAULT_VALUE_TEXT;
  ELabelPosition labelOrientation = ELabelPosition::Top;
};

inline constexpr IVStyle DEFAULT_STYLE{};

} // namespace plugkit::gfx
