// The knob of a filter cutoff: shows the frequency or the nearest note's name, snaps to notes while Alt is
// held and keeps the cutoff's note-anchor parameter in step with what the user does.
#pragma once

#include <cstdint>
#include <string>

#include "IGfx/Controls/IVKnobControl.h"

namespace vemlor::ui {

// Main thread only.
class FreqKnobControl : public plugkit::gfx::IVKnobControl
{
public:
  enum DisplayMode : int32_t
  {
    kDisplayFrequency = 0, // the note name while anchored
    kDisplayParam = 1,
    kDisplayFixed = 2
  };

  // anchoredParamIdx: the boolean "cutoff anchored to a note" parameter, or -1.
  FreqKnobControl(const plugkit::gfx::IRECT& bounds, int paramIdx, int anchoredParamIdx, const char* label,
                  const plugkit::gfx::IVStyle& style);

  void OnInit() override;
  void SetDirty(bool push = true, int valIdx = -1) override;
  void DrawValue(plugkit::gfx::IGfx& g, bool mouseOver) override;
  void OnMouseDown(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const plugkit::gfx::IMouseMod& mod, float d) override;

  void refreshValueStr();
  // Moves the value to the nearest equal-tempered note (A4 = 440 Hz) and anchors the cutoff.
  void snapToNote();

  void setDisplayMode(int mode) { mDisplayMode = mode; }
  void setFixedText(const std::string& text) { mFixedText = text; }
  void setHighlighted(bool highlighted) { mHighlighted = highlighted; }
  void setHighlightEnabled(bool enabled) { mHighlightEnabled = enabled; }
  void setHighlightColors(const plugkit::gfx::IColor& fill, const plugkit::gfx::IColor& text);

  int noteAnchorParam() const { return mNoteAnchorParam; }
  int displayMode() const { return mDisplayMode; }
  bool highlighted() const { return mHighlighted; }

  // "C4" for 60, "A4" for 69, "C-1" for 0.
  static std::string noteName(int note);
  // The nearest note's name, with "+" or "-" when the frequency is more than a cent above or below it.
  static std::string noteText(double hz);

private:
  bool anchored() const;
  void sendAnchor(double value);

  int32_t mNoteAnchorParam;
  int32_t mDisplayMode = kDisplayFrequency;
  std::string mFixedText;
  bool mHighlighted = false;
  bool mHighlightEnabled = false;
  plugkit::gfx::IColor mHighlightFill{255, 0, 0, 0};
  plugkit::gfx::IColor mHighlightText = plugkit::gfx::COLOR_DARK_GRAY;
};

} // namespace vemlor::ui
