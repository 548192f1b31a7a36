#include "product/ui/theme.h"

namespace vemlor::ui {

// FromHSLA truncates each channel, which is what gives these exact values.
const plugkit::gfx::IColor modArcColor = plugkit::gfx::IColor::FromHSLA(0.7126437f, 0.33767125f, 0.68f, 0.85f);

const zarvo::ui::GlyphLabel iconCopy = zarvo::ui::GlyphLabel::glyph("\U000F018F", kIconFont);
const zarvo::ui::GlyphLabel iconPaste = zarvo::ui::GlyphLabel::glyph("\U000F0192", kIconFont);
const zarvo::ui::GlyphLabel iconSave = zarvo::ui::GlyphLabel::glyph("\U000F0818", kIconFont);
const zarvo::ui::GlyphLabel iconLoad = zarvo::ui::GlyphLabel::glyph("\U000F0DCF", kIconFont);

} // namespace vemlor::ui
