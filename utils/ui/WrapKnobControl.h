// A knob for a parameter with a few named positions: the names stand around the dial, the knob rests on
// each position and, with wrapping on, turns past the end back to the start.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "IGfx/Controls/IVKnobControl.h"

namespace zarvo::ui {

// Main thread only.
class WrapKnobControl : public plugkit::gfx::IVKnobControl
{
public:
  struct Anchor
  {
    float x = 0.f;
    float y = 0.f;
    int32_t hAlign = 1; // near 0, centre 1, far 2
    int32_t vAlign = 1; // top 0, middle 1, bottom 2
  };

  using Factory = std::function<plugkit::gfx::IControl*(const plugkit::gfx::IRECT&)>;

  // Angles in degrees, 0 at twelve o'clock, clockwise; value 0 sits at firstAngle. The control's
  // rectangle is widened around bounds, but the dial, its names and its caption are laid out inside
  // bounds, so that nothing drawn spills onto the neighbours of a fixed cell.
  WrapKnobControl(const plugkit::gfx::IRECT& bounds, int paramIdx, const char* label,
                  const plugkit::gfx::IVStyle& style, std::vector<std::string> positionNames,
                  float tickHalfWidth = 10.f, float firstAngle = -180.f, float lastAngle = 180.f);

  // The factory's control, fitted into the cell it was made for when it is a named-position knob; any
  // other control is returned as it is.
  static Factory fitted(Factory factory);

  void DrawWidget(plugkit::gfx::IGfx& g) override;
  void DrawIndicatorTrack(plugkit::gfx::IGfx& g, float angle, float cx, float cy, float radius) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const plugkit::gfx::IMouseMod& mod, float d) override;
  void OnResize() override;

  // Lays the dial, its names and its caption out again inside the knob's cell: the names around the
  // dial at the largest size (down to a floor) that leaves the dial a fair share of the cell; when
  // no size does, the names go in a row above and a row below the dial, shrunk to the cell's width.
  void computeAnchors();
  // Makes the control's rectangle the cell given at construction.
  void fitToKnobRect();

  // Turns the whole dial clockwise: added to the first, last and anchor angles.
  void setRotation(float degrees);
  void setWrap(bool wrap);
  // A caption above the dial (below when below is not 0).
  void setSideLabel(const std::string& label, int below = 0);
  void setTickThickness(float thickness) { mTickThickness = thickness; }

  bool isFitted() const { return mFitted; }
  bool wrap() const { return mWrap; }
  int divisions() const;
  const std::vector<Anchor>& anchors() const { return mAnchors; }
  const std::vector<std::string>& positionNames() const { return mPositionNames; }
  float knobWidth() const { return mKnobW; }
  float knobHeight() const { return mKnobH; }
  const plugkit::gfx::IRECT& knobRect() const { return mKnobRect; }
  // Where the dial, names and caption go: the knob's cell, following the control's moves.
  plugkit::gfx::IRECT layoutArea() const;
  // The size the names are drawn at, at most the label size of the style.
  float nameSize() const { return mNameSize; }
  // The names' text boxes as last laid out, in name order (empty rectangles for empty names).
  const std::vector<plugkit::gfx::IRECT>& nameBoxes() const { return mNameBoxes; }
  const plugkit::gfx::IRECT& captionRect() const { return mCaptionRect; }
  float startAngle() const { return mAngle1; }
  float endAngle() const { return mAngle2; }

private:
  void drawTicks(plugkit::gfx::IGfx& g) const;
  void drawSideLabel(plugkit::gfx::IGfx& g) const;
  float nameTextSize() const { return mNameText.mSize; }
  size_t longestName() const;
  float nameAngle(size_t i) const;
  // Anchors and boxes of the names around a dial of radius r (its widget half-size) at name size s;
  // false when a name or the dial leaves body.
  bool placeAround(const plugkit::gfx::IRECT& body, float s, float r, std::vector<Anchor>& anchors,
                   std::vector<plugkit::gfx::IRECT>& boxes) const;
  void placeInRows(const plugkit::gfx::IRECT& body);

  float mKnobW = 0.f;
  float mKnobH = 0.f;
  plugkit::gfx::IRECT mKnobRect;
  // The cell's distances inside the widened rectangle: left, top, right, bottom.
  float mInset[4] = {0.f, 0.f, 0.f, 0.f};
  float mNameSize = 0.f;
  std::vector<plugkit::gfx::IRECT> mNameBoxes;
  plugkit::gfx::IRECT mCaptionRect;
  bool mFitted = false;
  std::vector<std::string> mPositionNames;
  float mTickHalfWidth;
  float mFirstAngle;
  float mLastAngle;
  float mTickThickness = 4.f;
  bool mWrap = true;
  std::vector<Anchor> mAnchors;
  std::string mSideLabel;
  int32_t mSideLabelBelow = 0;
  plugkit::gfx::IText mNameText;
};

} // namespace zarvo::ui
