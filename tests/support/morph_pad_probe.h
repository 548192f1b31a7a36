// The morph pad's private state as tests read and set it: padProbe(pad).overlay.
#pragma once

#include "utils/morph/morph_pad_control.h"

namespace zarvo::morph {

struct MorphPadTestProbe
{
  using Drag = MorphPadControl::Drag;

  explicit MorphPadTestProbe(MorphPadControl& pad)
    : pad(pad)
    , callbacks(pad)
    , look(pad)
    , engine(pad.engine)
    , drag(pad.drag)
    , overlay(pad.overlay)
    , spreadValue(pad.spreadValue)
    , spreadAtStart(pad.spreadAtStart)
    , spreadCentre(pad.spreadCentre)
    , spreadFill(pad.spreadFill)
    , spreadGroup(pad.spreadGroup)
    , marqueeStart(pad.marqueeStart)
    , marqueeEnd(pad.marqueeEnd)
    , pendingSelectPoint(pad.pendingSelectPoint)
    , pendingSelectAdd(pad.pendingSelectAdd)
    , pendingCollapseMask(pad.pendingCollapseMask)
    , pointsEditOpen(pad.pointsEditOpen)
    , hasCopiedSound(pad.hasCopiedSound)
    , rigOnClipboard(pad.rigOnClipboard)
    , hoveredAction(pad.hoveredAction)
    , flashActionIndex(pad.flashActionIndex)
    , flashAmount(pad.flashAmount)
    , pulseTarget(pad.pulseTarget)
    , pulseAmount(pad.pulseAmount)
  {}

  bool marqueeActive() const { return drag == Drag::marquee; }
  bool userDragActive() const { return drag == Drag::position; }

  MorphPadControl& pad;
  MorphPadControl::Callbacks& callbacks;
  MorphPadControl::Appearance& look;
  MorphEngine& engine;
  Drag& drag;
  MorphFieldOverlay& overlay;
  float& spreadValue;
  float& spreadAtStart;
  std::array<float, 2>& spreadCentre;
  float& spreadFill;
  MorphPadControl::Mask& spreadGroup;
  std::array<float, 2>& marqueeStart;
  std::array<float, 2>& marqueeEnd;
  int& pendingSelectPoint;
  bool& pendingSelectAdd;
  MorphPadControl::Mask& pendingCollapseMask;
  bool& pointsEditOpen;
  bool& hasCopiedSound;
  bool& rigOnClipboard;
  int& hoveredAction;
  int& flashActionIndex;
  float& flashAmount;
  int& pulseTarget;
  float& pulseAmount;
};

inline MorphPadTestProbe padProbe(MorphPadControl& pad) { return MorphPadTestProbe(pad); }

} // namespace zarvo::morph
