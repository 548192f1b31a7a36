// A text style: font, size, colours of the text and of its text entry, angle and alignment.
#pragma once

#include "IGfx/IColor.h"
#include "IGfx/IGfxEnums.h"

namespace plugkit::gfx {

struct IText
{
  static constexpr int kMaxFontNameLength = 64;
  static constexpr float kDefaultSize = 14.f;

  char mFont[kMaxFontNameLength] = "Roboto-Regular";
  float mSize = kDefaultSize;
  IColor mFGColor = DEFAULT_TEXT_FGCOLOR;
  IColor mTextEntryBGColor = DEFAULT_TEXTENTRY_BGCOLOR;
  IColor mTextEntryFGColor = DEFAULT_TEXTENTRY_FGCOLOR;
  float mAngle = 0.f;
  EAlign mAlign = EAlign::Center;
  EVAlign mVAlign = EVAlign::Middle;

  constexpr IText() = default;
  // A longer font name is cut to 63 bytes.
  constexpr IText(float size, const IColor& color, const char* font = nullptr, EAlign align = EAlign::Center,
                  EVAlign valign = EVAlign::Middle, float angle = 0.f,
                  const IColor& entryBG = DEFAULT_TEXTENTRY_BGCOLOR, const IColor& entryFG = DEFAULT_TEXTENTRY_FGCOLOR)
    : mSize(size)
    , mFGColor(color)
    , mTextEntryBGColor(entryBG)
    , mTextEntryFGColor(entryFG)
    , mAngle(angle)
    , mAlign(align)
    , mVAlign(valign)
  {
    if (font)
      SetFont(font);
  }

  constexpr void SetFont(const char* font)
  {
    int i = 0;
    for (; i < kMaxFontNameLength - 1 && font[i]; ++i)
      mFont[i] = font[i];
    for (; i < kMaxFontNameLength; ++i)
      mFont[i] = '\0';
  }
};

inline constexpr IText DEFAULT_TEXT{14.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular", EAlign::Center, EVAlign::Middle};
inline constexpr IText DEFAULT_LABEL_TEXT{19.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular", EAlign::Center, EVAlign::Top};
inline constexpr IText DEFAULT_VALUE_TEXT{14.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular", EAlign::Center,
                                          EVAlign::Bottom};

} // namespace plugkit::gfx
