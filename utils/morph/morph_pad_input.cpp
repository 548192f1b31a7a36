// The pad's mouse, keyboard, hover and context-menu handling: one press at a time.
#include <algorithm>
#include <bit>
#include <cstring>

#include <fmt/format.h>

#include "IGfx/IPopupMenu.h"
#include "utils/morph/morph_pad_control.h"

namespace zarvo::morph {

using namespace plugkit::gfx;

namespace {

int onlyBit(uint32_t mask) { return std::popcount(mask) == 1 ? std::countr_zero(mask) : -1; }

constexpr int kKeyA = 65;
constexpr int kKeyEscape = 27;
constexpr const char* kCyrillicEf = "\xD0\xA4"; // U+0424, the A key of a Russian layout with shift

} // namespace

void MorphPadControl::applyModeSelection(bool clearSelection, bool focusFollowsSelection)
{
  const Mask oldMask = engine.selection();
  const int oldFocus = engine.editState().focus;
  if (clearSelection)
    engine.edit({.selection = 0});
  engine.edit({.focus = focusFollowsSelection ? onlyBit(engine.selection()) : -1});
  if (engine.selection() != oldMask || engine.editState().focus != oldFocus)
  {
    if (onSelectionChanged)
      onSelectionChanged(engine.selection());
    else
      storeSelection(engine.selection());
  }
  SetDirty(false);
}

void MorphPadControl::beginUserDrag(float x, float y, const IMouseMod& mod)
{
  drag = Drag::position;
  pressedPoint = -1;
  pointDragStarted = false;
  if (onUserGesture)
    onUserGesture(true);
  float cx = 0.f;
  float cy = 0.f;
  markerCenter(cx, cy);
  const float reach = 6.f * ps();
  if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= reach * reach)
    dragGrabOffset = {cx - x, cy - y};
  else
    dragGrabOffset = {0.f, 0.f};
  OnMouseDrag(x, y, 0.f, 0.f, mod);
}

void MorphPadControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  if (!mouseInside || mousePos[0] != x || mousePos[1] != y)
  {
    mouseInside = true;
    mousePos = {x, y};
    SetDirty(false);
  }
  cancelPendingSelect();
  pendingCollapseMask = 0;

  if (editButtonRect().Contains(x, y))
  {
    drag = Drag::editButton;
    return;
  }
  if (lockButtonRect(0).Contains(x, y))
  {
    engine.edit({.padOption = !engine.padOption()});
    if (!engine.editing() && engine.moving())
      applyModeSelection(engine.padOption(), false);
    else
      applyModeSelection(false, true);
    return;
  }
  if (lockButtonRect(1).Contains(x, y))
  {
    if (engine.editing())
      return;
    engine.edit({.moving = !engine.moving()});
    if (engine.moving())
      applyModeSelection(engine.padOption(), false);
    else
      applyModeSelection(false, true);
    return;
  }

  float cx = 0.f;
  float cy = 0.f;
  markerCenter(cx, cy);
  const float markerReach = 6.f * ps();
  if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= markerReach * markerReach)
  {
    beginUserDrag(x, y, mod);
    return;
  }

  const int point = pointAt(x, y);
  if (point >= 0)
  {
    drag = Drag::point;
    pressedPoint = point;
    pointDragStarted = false;
    pressWithShift = mod.S;
    pressPos = {x, y};
    if (engine.padOption())
      return;
    if (point == 0)
      teleportCenter(cx, cy);
    else
      modeCenter(engine.editState().points[static_cast<size_t>(point)], cx, cy);
    dragGrabOffset = {cx - x, cy - y};
    capturePreDragPositions();
    return;
  }

  if (engine.editing())
  {
    sliderLastX = x;
    if (contrastSliderRect().Contains(x, y))
    {
      drag = Drag::contrastSlider;
      setContrastFromX(x, mod.S);
      return;
    }
    for (int i = 0; i < 3; ++i)
    {
      if (apprSliderRect(i).Contains(x, y))
      {
        drag = Drag::apprSlider;
        dragSlider = i;
        setApprFromX(i, x, mod.S);
        return;
      }
    }
    for (int i = 0; i < kNumFieldSliders; ++i)
    {
      if (fieldSliderRect(i).Contains(x, y))
      {
        drag = Drag::fieldSlider;
        dragSlider = i;
        dragFieldSlider(i, x, mod.S);
        return;
      }
    }
    for (int i = 0; i < kNumActions; ++i)
    {
      if (actionBtnRect(i).Contains(x, y))
      {
        doAction(i);
        return;
      }
    }
  }
  else if (spreadSliderShown() && spreadSliderRect().Contains(x, y))
  {
    // The press moves no point: the slider takes the pointer's place (with shift it stays), and
    // the drag scales the group by its value against that start.
    sliderLastX = x;
    if (!mod.S)
      spreadValue = (x - (GetRECT().L + 6.f)) / 168.f;
    beginSpread();
    drag = Drag::spreadSlider;
    SetDirty(false);
    return;
  }

  const bool bothLocks = !engine.editing() && engine.moving() && engine.padOption();
  // Shift on the empty field draws a rubber band instead of moving the morph position.
  if (mod.S && !bothLocks)
  {
    const IRECT& r = GetRECT();
    drag = Drag::marquee;
    marqueeStart = {std::clamp(x, r.L, r.R), std::clamp(y, r.T, r.B)};
    marqueeEnd = marqueeStart;
    SetDirty(false);
    return;
  }
  if (!bothLocks)
    applySelection(0);
  beginUserDrag(x, y, mod);
}

void MorphPadControl::OnMouseDrag(float x, float y, float, float, const IMouseMod& mod)
{
  const IRECT& r = GetRECT();
  if (drag == Drag::marquee)
  {
    marqueeEnd = {std::clamp(x, r.L, r.R), std::clamp(y, r.T, r.B)};
    SetDirty(false);
    return;
  }
  if (drag == Drag::editButton)
    return;
  if (drag == Drag::fieldSlider)
  {
    dragFieldSlider(dragSlider, x, mod.S);
    return;
  }
  if (drag == Drag::spreadSlider)
  {
    float t = mod.S ? spreadValue + (x - sliderLastX) / 168.f * 0.18f : (x - (r.L + 6)) / 168.f;
    sliderLastX = x;
    spreadValue = std::clamp(t, 0.f, 1.f);
    scaleSpreadGroup(spreadValue / std::max(0.01f, spreadAtStart));
    SetDirty(false);
    return;
  }
  if (drag == Drag::contrastSlider)
  {
    setContrastFromX(x, mod.S);
    return;
  }
  if (drag == Drag::apprSlider)
  {
    setApprFromX(dragSlider, x, mod.S);
    return;
  }
  if (drag == Drag::position)
  {
    if (r.W() <= 0.f || r.H() <= 0.f)
      return;
    const float m = 6.f * ps();
    float px = x + dragGrabOffset[0];
    float py = y + dragGrabOffset[1];
    px = px < r.L + m ? r.L + m : std::min(px, r.R - m);
    py = py < r.T + m ? r.T + m : std::min(py, r.B - m);
    const double nx = (px - r.L) / r.W();
    const double ny = 1.0 - (py - r.T) / r.H();
    if (nx != GetValue(0) || ny != GetValue(1))
      openPointsEdit();
    SetValue(nx, 0);
    SetValue(ny, 1);
    SetDirty(true);
    return;
  }
  if (drag == Drag::point)
  {
    if (!pointDragStarted)
    {
      const float dx = x - pressPos[0];
      const float dy = y - pressPos[1];
      if (dx * dx + dy * dy < 16.f)
        return;
      pointDragStarted = true;
      if (engine.padOption())
      {
        pulseTarget = 2;
        startPulseAnimation();
        beginUserDrag(x, y, mod);
        return;
      }
    }
    openPointsEdit();
    moveDraggedPoints(pressedPoint, x + dragGrabOffset[0], y + dragGrabOffset[1]);
    SetDirty(false);
  }
}

void MorphPadControl::OnMouseUp(float x, float y, const IMouseMod&)
{
  if (drag == Drag::editButton)
  {
    drag = Drag::none;
    engine.edit({.editing = !engine.editing()});
    if (!engine.editing() && engine.moving())
      applyModeSelection(engine.padOption(), false);
    else
      applyModeSelection(false, true);
    return;
  }
  if (drag == Drag::marquee)
  {
    drag = Drag::none;
    reportSelection(marqueeMask());
    return;
  }

  closePointsEdit();
  if (drag == Drag::point)
  {
    const bool moved = pointDragStarted && !engine.padOption();
    if (!moved)
    {
      if (!engine.editing() && engine.moving() && engine.padOption())
      {
        moveUserPointTo(x, y);
      }
      else if (!pressWithShift && engine.selection() == (1u << pressedPoint))
      {
        cancelPendingSelect();
        applySelection(0);
      }
      else
      {
        armPendingSelect(pressedPoint, pressWithShift);
      }
    }
    pressedPoint = -1;
    pointDragStarted = false;
  }
  if (drag == Drag::position && onUserGesture)
    onUserGesture(false);
  if (drag == Drag::spreadSlider && onDragEndValue)
    onDragEndValue(spreadValue);
  drag = Drag::none;
  dragSlider = -1;
  SetDirty(false);
}

void MorphPadControl::OnMouseDblClick(float x, float y, const IMouseMod&)
{
  const int point = pointAt(x, y);
  if (point >= 0)
  {
    toggleActivation(point);
    return;
  }
  if (!engine.editing())
    return;
  if (contrastSliderRect().Contains(x, y))
  {
    engine.edit({.sigma = 1.0});
    SetDirty(true);
    return;
  }
  for (int i = 0; i < 3; ++i)
  {
    if (apprSliderRect(i).Contains(x, y))
    {
      resetApprSlider(i);
      return;
    }
  }
}

bool MorphPadControl::OnKeyDown(float, float, const plugkit::IKeyPress& key)
{
  if (key.C || key.A)
    return false;
  if ((key.S && key.VK == kKeyA) || std::strcmp(key.utf8, kCyrillicEf) == 0)
    return toggleSelectAllPoints();
  if (key.VK == kKeyEscape)
  {
    if (engine.selection() == 0 && pendingSelectPoint < 0)
      return false;
    cancelPendingSelect();
    if (onSelectionChanged)
    {
      onSelectionChanged(0);
    }
    else
    {
      engine.edit({.focus = -1, .selection = 0});
    }
    SetDirty(false);
    return true;
  }
  return false;
}

void MorphPadControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  if (!mouseInside || mousePos[0] != x || mousePos[1] != y)
  {
    mouseInside = true;
    mousePos = {x, y};
    SetDirty(false);
  }
  const bool overEdit = editButtonRect().Contains(x, y);
  if (overEdit != editButtonHovered)
  {
    editButtonHovered = overEdit;
    SetDirty(false);
  }
  const int lock = lockButtonRect(0).Contains(x, y) ? 0 : (lockButtonRect(1).Contains(x, y) ? 1 : -1);
  if (lock != hoveredLockButton)
  {
    hoveredLockButton = lock;
    SetDirty(false);
  }
  int action = -1;
  if (engine.editing())
  {
    for (int i = 0; i < kNumActions && action < 0; ++i)
      if (actionBtnRect(i).Contains(x, y))
        action = i;
  }
  if (action != hoveredAction)
  {
    hoveredAction = action;
    SetDirty(false);
  }
  resolveHoverTooltip(x, y);
  IControl::OnMouseOver(x, y, mod);
}

void MorphPadControl::OnMouseOut()
{
  if (mouseInside)
  {
    mouseInside = false;
    SetDirty(false);
  }
  if (editButtonHovered)
  {
    editButtonHovered = false;
    SetDirty(false);
  }
  if (hoveredLockButton != -1)
  {
    hoveredLockButton = -1;
    SetDirty(false);
  }
  if (hoveredAction != -1)
  {
    hoveredAction = -1;
    SetDirty(false);
  }
  hoverTooltip.clear();
  IControl::OnMouseOut();
}

void MorphPadControl::CreateContextMenu(IPopupMenu& menu)
{
  if (!onLearnX)
    return;
  const XYLearnInfo info = learnInfo ? learnInfo() : XYLearnInfo{};
  const bool anyCC = info.ccX >= 0 || info.ccY >= 0;
  auto learnText = [](int pending, int axis, int cc, const char* name) {
    if (pending == axis)
      return fmt::format("Cancel learn {}", name);
    if (cc >= 0)
      return fmt::format("Learn {} (CC {})", name, cc);
    return fmt::format("Learn {}", name);
  };
  auto ccText = [](int cc) { return cc >= 0 ? std::to_string(cc) : std::string("-"); };
  using Item = IPopupMenu::Item;
  menu.AddItem(new Item(learnText(info.pending, 1, info.ccX, "X").c_str(), Item::kNoFlags, 0));
  menu.AddItem(
    new Item(learnText(info.pending, 2, info.ccY, "Y").c_str(), onLearnY ? Item::kNoFlags : Item::kDisabled, 0));
  menu.AddItem(new Item("Swap X/Y", anyCC && onSwapXY ? Item::kNoFlags : Item::kDisabled, 0));
  const std::string clear =
    anyCC ? fmt::format("Clear X/Y CC ({}/{})", ccText(info.ccX), ccText(info.ccY)) : std::string("Clear X/Y CC");
  menu.AddItem(new Item(clear.c_str(), anyCC && onClearXY ? Item::kNoFlags : Item::kDisabled, 0));
}

void MorphPadControl::OnContextSelection(int itemTag)
{
  switch (itemTag)
  {
  case 0:
    if (onLearnX)
      onLearnX();
    break;
  case 1:
    if (onLearnY)
      onLearnY();
    break;
  case 2:
    if (onSwapXY)
      onSwapXY();
    break;
  case 3:
    if (onClearXY)
      onClearXY();
    break;
  default: break;
  }
  SetDirty(false);
}

} // namespace zarvo::morph
