// The editor's colour theme: named colours, text styles and icon glyphs, made once when the module
// loads and never written afterwards.
#pragma once

#include "IGfx/IColor.h"
#include "IGfx/IText.h"
#include "utils/ui/GlyphLabel.h"

namespace vemlor::ui {

inline constexpr plugkit::gfx::IColor colDarkGray{255, 60, 60, 60};
inline constexpr plugkit::gfx::IColor colLightGray{255, 240, 240, 240};
inline constexpr plugkit::gfx::IColor colMidLightGray{255, 200, 200, 200};
inline constexpr plugkit::gfx::IColor colHighlightGray{255, 100, 100, 100};
inline constexpr plugkit::gfx::IColor accentColor{255, 95, 55, 200};
// The accent's hue, paler and 85 % opaque: (216, 161, 145, 200). Computed at load, so not constexpr.
extern const plugkit::gfx::IColor modArcColor;

// Font ids: the font files' names, under which the editor loads them.
inline constexpr const char* kTextFont = "RobotoMono-Regular.ttf";
inline constexpr const char* kIconFont = "materialdesignicons-webfont.ttf";

inline constexpr plugkit::gfx::IText smallTxtLight{16.f, plugkit::gfx::COLOR_LIGHT_GRAY, kTextFont,
                                                   plugkit::gfx::EAlign::Near, plugkit::gfx::EVAlign::Bottom};
inline constexpr plugkit::gfx::IText smallTxtWhite{16.f, plugkit::gfx::COLOR_WHITE, kTextFont,
                                                   plugkit::gfx::EAlign::Center, plugkit::gfx::EVAlign::Bottom};
inline constexpr plugkit::gfx::IText smallIconsLight{18.f, plugkit::gfx::COLOR_LIGHT_GRAY, kIconFont,
                                                     plugkit::gfx::EAlign::Center, plugkit::gfx::EVAlign::Middle};

// One icon-font glyph each.
extern const zarvo::ui::GlyphLabel iconCopy;
extern const zarvo::ui::GlyphLabel iconPaste;
extern const zarvo::ui::GlyphLabel iconSave;
extern const zarvo::ui::GlyphLabel iconLoad;

} // namespace vemlor::ui
