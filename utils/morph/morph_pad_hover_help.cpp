// Hover help for the part of the pad under the mouse.
#include <bit>

#include "utils/morph/morph_pad_control.h"

namespace zarvo::morph {

using namespace plugkit::gfx;

void MorphPadControl::resolveHoverTooltip(float x, float y)
{
  auto hit = [&](const IRECT& r, std::string text) {
    if (!r.Contains(x, y))
      return false;
    hoverTooltip = std::move(text);
    hoverTooltipRect = r;
    return true;
  };
  if (hit(editButtonRect(), engine.editing() ? "exit morph settings" : "enter morph settings") ||
      hit(lockButtonRect(0), "lock points position") || hit(lockButtonRect(1), "lock points sound"))
    return;
  if (engine.editing())
  {
    if (hit(contrastSliderRect(), "morph field contrast\n\nactually affects the morphing"))
      return;
    for (int i = 0; i < 3; ++i)
      if (hit(apprSliderRect(i), "does not affect the sound"))
        return;
    static constexpr const char* kFieldSliderHelp[kNumFieldSliders] = {
      "point size\n\nhow large the points are and how near the position must come to snap onto one",
      "shape contrast\n\nhow sharply the filter shapes change from point to point",
      "cutoff contrast\n\nhow sharply the cutoffs change from point to point"};
    for (int i = 0; i < kNumFieldSliders; ++i)
      if (hit(fieldSliderRect(i), kFieldSliderHelp[i]))
        return;
    for (int i = 0; i < kNumActions; ++i)
      if (hit(actionBtnRect(i), actionTooltip(i)))
        return;
  }
  hoverTooltip.clear();
}

std::string MorphPadControl::actionTooltip(int action) const
{
  const bool several = std::popcount(engine.selection()) > 1;
  switch (action)
  {
  case 0:
    return several ? "copy a point's sound to the clipboard\n\none point at a time \xE2\x80\x94 deselect down to a "
                     "single point"
                   : "copy this point's sound to the clipboard\n\neverything but oversampling and the midi settings";
  case 1:
    return several ? "paste the clipboard sound into every selected point\n\neverything but oversampling and the "
                     "midi settings"
                   : "paste the clipboard sound into this point\n\neverything but oversampling and the midi settings";
  case 2:
    return several ? "load a sound from a file into every selected point\n\ntakes only the sound out of the file; "
                     "nothing else in it is applied"
                   : "load a sound from a file into this point\n\ntakes only the sound out of the file; nothing "
                     "else in it is applied";
  case 3:
    return several ? "save a point's sound to a file\n\none point at a time \xE2\x80\x94 deselect down to a single "
                     "point"
                   : "save this point's sound to a file\n\nan ordinary preset \xE2\x80\x94 it opens with morph off, "
                     "sounding like this point";
  case 4:
    return several ? "bake the current blend into every selected point\n\noverwrites them with the sound you hear "
                     "right now"
                   : "bake the current blend into a point\n\noverwrites the selected point with the sound you hear "
                     "right now";
  case 5:
    return "save the current blend to a file\n\nan ordinary preset \xE2\x80\x94 it opens with morph off, sounding "
           "like the blend does now";
  case 6:
    return "copy the whole morph field to the clipboard\n\nevery point's sound and position, the field settings and "
           "look";
  case 7:
    return "paste a morph field from the clipboard\n\nreplaces every point and the field settings; your base patch "
           "stays";
  case 8: return "load a morph field from a file\n\nreplaces every point and the field settings; your base patch stays";
  case 9:
    return "save the whole morph field to a file\n\nevery point's sound and position, the field settings and look";
  case 10: return "undo";
  case 11: return "redo";
  default: return {};
  }
}

} // namespace zarvo::morph
