// What the morph page's construction shares with the plug-in's morph-page operations.
#pragma once

namespace zarvo::morph {
class MorphPadControl;
} // namespace zarvo::morph

namespace vemlor::ui {

class EditorModel;

// Main thread. The field's appearance on the pad, clamped as stored settings may need: brightness
// 0..1, iso setting 0..14 with its line count, grid step 0.02..1; the overlay is rebuilt at the
// next draw.
void applyPadAppearance(zarvo::morph::MorphPadControl& pad, float lineBrightness, int isoLevels, float gridStep);

// Main thread. Fills the pad's callbacks with what they do to the plug-in (its morph controller,
// controller map and preset manager) and the pad's glyphs; the plug-in outlives the pad.
void wireMorphPad(EditorModel& model, zarvo::morph::MorphPadControl& pad);

} // namespace vemlor::ui
