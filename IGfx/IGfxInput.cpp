// Input dispatch: finding and capturing controls, bracketing parameter edits for the host, hover,
// keys, drops and the host's context menu for a parameter.
#include <algorithm>
#include <cstring>

#include "IGfx/IGfx.h"
#include "IGfx/IGfxEditorDelegate.h"
#include "IPlugin/IPluginParameter.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace plugkit::gfx {

namespace {

// UTF-8 to the host's UTF-16, cut to what fits with its terminator; a pair is never split.
void CopyToString128(const char* utf8, Steinberg::Vst::String128 out)
{
  constexpr int kMax = 127;
  int n = 0;
  const auto* s = reinterpret_cast<const unsigned char*>(utf8 ? utf8 : "");
  while (*s)
  {
    uint32_t cp = 0xFFFD;
    int len = 1;
    if (s[0] < 0x80)
      cp = s[0];
    else if ((s[0] & 0xE0) == 0xC0 && (s[1] & 0xC0) == 0x80)
    {
      cp = ((s[0] & 0x1Fu) << 6) | (s[1] & 0x3Fu);
      len = 2;
    }
    else if ((s[0] & 0xF0) == 0xE0 && (s[1] & 0xC0) == 0x80 && (s[2] & 0xC0) == 0x80)
    {
      cp = ((s[0] & 0x0Fu) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
      len = 3;
    }
    else if ((s[0] & 0xF8) == 0xF0 && (s[1] & 0xC0) == 0x80 && (s[2] & 0xC0) == 0x80 && (s[3] & 0xC0) == 0x80)
    {
      cp = ((s[0] & 0x07u) << 18) | ((s[1] & 0x3Fu) << 12) | ((s[2] & 0x3Fu) << 6) | (s[3] & 0x3Fu);
      len = 4;
    }
    if (cp >= 0x10000)
    {
      if (n + 2 > kMax)
        break;
      cp -= 0x10000;
      out[n++] = static_cast<Steinberg::Vst::TChar>(0xD800 + (cp >> 10));
      out[n++] = static_cast<Steinberg::Vst::TChar>(0xDC00 + (cp & 0x3FF));
    }
    else
    {
      if (n + 1 > kMax)
        break;
      out[n++] = static_cast<Steinberg::Vst::TChar>(cp);
    }
    s += len;
  }
  out[n] = 0;
}

void AddHostMenuItems(Steinberg::Vst::IContextMenu& hostMenu, const IPopupMenu& menu,
                      Steinberg::Vst::IContextMenuTarget* target, int& tag)
{
  using Item = Steinberg::Vst::IContextMenuItem;
  for (int i = 0; i < menu.NItems(); ++i)
  {
    const IPopupMenu::Item* src = menu.GetItem(i);
    Item item{};
    CopyToString128(src->GetText(), item.name);
    if (src->GetIsSeparator())
    {
      item.flags = Item::kIsSeparator;
      item.tag = tag++;
      hostMenu.addItem(item, target);
    }
    else if (const IPopupMenu* sub = src->GetSubmenu())
    {
      item.flags = Item::kIsGroupStart;
      item.tag = tag++;
      hostMenu.addItem(item, target);
      AddHostMenuItems(hostMenu, *sub, target, tag);
      item.flags = Item::kIsGroupEnd;
      item.tag = tag++;
      hostMenu.addItem(item, target);
    }
    else
    {
      item.flags = 0;
      if (src->GetChecked())
        item.flags |= Item::kIsChecked;
      if (!src->GetEnabled())
        item.flags |= Item::kIsDisabled;
      item.tag = tag++;
      hostMenu.addItem(item, target);
    }
  }
}

// The host's context menu for the parameter with the menu's items appended; false when the host
// offers none.
bool PopupInHostMenu(IGEditorDelegate& dlg, const IPopupMenu& menu, IControl* control, int paramIdx, float x, float y)
{
  Steinberg::Vst::IComponentHandler* handler = dlg.GetHostComponentHandler();
  Steinberg::IPlugView* view = dlg.GetOpenPlugView();
  if (!handler || !view)
    return false;
  Steinberg::Vst::IComponentHandler3* handler3 = nullptr;
  if (handler->queryInterface(Steinberg::Vst::IComponentHandler3::iid, reinterpret_cast<void**>(&handler3)) !=
        Steinberg::kResultOk ||
      !handler3)
    return false;
  const Steinberg::Vst::ParamID paramID = static_cast<Steinberg::Vst::ParamID>(paramIdx);
  Steinberg::Vst::IContextMenu* hostMenu = handler3->createContextMenu(view, &paramID);
  if (hostMenu)
  {
    int tag = 0;
    AddHostMenuItems(*hostMenu, menu, control, tag);
    hostMenu->popup(static_cast<Steinberg::UCoord>(x), static_cast<Steinberg::UCoord>(y));
    hostMenu->release();
  }
  handler3->release();
  return hostMenu != nullptr;
}

} // namespace

IControl* IGfx::CapturedControl(uint64_t touchId) const
{
  auto it = mCapturedMap.find(touchId);
  return it == mCapturedMap.end() ? nullptr : it->second;
}

bool IGfx::ControlIsCaptured(const IControl* control) const
{
  return std::any_of(mCapturedMap.begin(), mCapturedMap.end(),
                     [control](const auto& e) { return e.second == control; });
}

IControl* IGfx::GetMouseControl(float x, float y, bool capture, bool mouseOver, uint64_t touchId)
{
  if (IControl* captured = CapturedControl(touchId))
    return captured;

  IControl* control = nullptr;
  int idx = -1;
  if (mPopupControl && mPopupControl->GetExpanded())
    control = mPopupControl;
  else if (mTextEntryControl && mTextEntryControl->GetEditing())
    control = mTextEntryControl;
  else if (mCornerResizer && mCornerResizer->GetRECT().Contains(x, y))
    control = mCornerResizer;
  else if (mPerfDisplay && mPerfDisplay->GetRECT().Contains(x, y))
    control = mPerfDisplay;
  else
  {
    idx = GetMouseControlIdx(x, y, mouseOver);
    control = GetControl(idx);
  }

  if (capture && control)
  {
    if (mEnableMultiTouch && !control->GetWantsMultiTouch() && ControlIsCaptured(control))
      return nullptr;
    mCapturedMap.emplace(touchId, control);
  }
  if (mouseOver)
    mMouseOverIdx = idx;
  return control;
}

int IGfx::GetMouseControlIdx(float x, float y, bool mouseOver)
{
  if (mouseOver && !mEnableMouseOver)
    return -1;
  // The background (index 0) is never a hover target.
  const int lowest = mouseOver ? 1 : 0;
  for (int i = NControls() - 1; i >= lowest; --i)
  {
    const IControl* c = mControls[static_cast<size_t>(i)];
    if (c->IsHidden() || c->GetIgnoreMouse())
      continue;
    if (c->IsDisabled() && !(mouseOver ? c->GetMouseOverWhenDisabled() : c->GetMouseEventsWhenDisabled()))
      continue;
    if (c->IsHit(x, y))
      return i;
  }
  return -1;
}

void IGfx::ReleaseMouseCapture()
{
  mCapturedMap.clear();
  if (mCursorHidden)
    HideMouseCursor(false, true);
}

void IGfx::BeginEdits(IControl* control)
{
  for (int i = 0; i < control->NVals(); ++i)
  {
    if (control->GetParamIdx(i) >= 0)
      mDelegate.BeginInformHostOfParamChangeFromUI(control->GetParamIdx(i));
  }
}

void IGfx::OnMouseDown(const std::vector<IMouseInfo>& points)
{
  if (points.size() == 1)
  {
    mMouseDownX = points[0].x;
    mMouseDownY = points[0].y;
  }
  for (const IMouseInfo& p : points)
  {
    IControl* control = GetMouseControl(p.x, p.y, true, false, p.ms.touchID);
    if (!control)
      continue;
    const int valIdx = std::max(control->GetValIdxForPos(p.x, p.y), 0);
    const int paramIdx = control->GetParamIdx(valIdx);
    if (p.ms.R && paramIdx >= 0)
    {
      // The host's menu for the parameter; the control is neither pressed nor edited.
      ReleaseMouseCapture();
      PopupHostContextMenuForParam(control, paramIdx, p.x, p.y);
      return;
    }
    BeginEdits(control);
    control->OnMouseDown(p.x, p.y, p.ms);
  }
}

void IGfx::OnMouseUp(const std::vector<IMouseInfo>& points)
{
  for (const IMouseInfo& p : points)
  {
    IControl* control = CapturedControl(p.ms.touchID);
    if (!control)
      continue;
    // Taken first: the release handler may remove the control, and its edits still end.
    std::vector<int> linkedParams;
    for (int i = 0; i < control->NVals(); ++i)
    {
      if (control->GetParamIdx(i) >= 0)
        linkedParams.push_back(control->GetParamIdx(i));
    }
    control->OnMouseUp(p.x, p.y, p.ms);
    for (int paramIdx : linkedParams)
      mDelegate.EndInformHostOfParamChangeFromUI(paramIdx);
    mCapturedMap.erase(p.ms.touchID);
  }
  if (mResizingInProcess)
    EndDragResize();
  if (points.size() == 1 && points[0].ms.touchID == 0)
    RefreshMouseOver(points[0].x, points[0].y, points[0].ms);
}

void IGfx::RefreshMouseOver(float x, float y, const IMouseMod& mod)
{
  IControl* c = GetMouseControl(x, y, false, true);
  if (c != mMouseOver)
  {
    if (mMouseOver)
      mMouseOver->OnMouseOut();
    mMouseOver = c;
  }
  if (mMouseOver)
    mMouseOver->OnMouseOver(x, y, mod);
}

void IGfx::OnMouseDrag(const std::vector<IMouseInfo>& points)
{
  if (mResizingInProcess && points.size() == 1)
  {
    OnDragResize(points[0].x, points[0].y);
    return;
  }
  if (mCapturedMap.empty())
    return;
  for (const IMouseInfo& p : points)
  {
    IControl* control = CapturedControl(p.ms.touchID);
    if (!control)
      continue;
    // An open text entry takes every drag, or none reaches anything.
    if (mInTextEntry && control != mTextEntryControl)
      continue;
    if (p.dX != 0.f || p.dY != 0.f)
      control->OnMouseDrag(p.x, p.y, p.dX, p.dY, p.ms);
  }
}

void IGfx::OnTouchCancelled(const std::vector<IMouseInfo>& points)
{
  for (const IMouseInfo& p : points)
  {
    if (IControl* control = CapturedControl(p.ms.touchID))
    {
      control->OnTouchCancelled(p.x, p.y, p.ms);
      mCapturedMap.erase(p.ms.touchID);
    }
  }
}

bool IGfx::OnMouseDblClick(float x, float y, const IMouseMod& mod)
{
  IControl* control = GetMouseControl(x, y, true, false);
  if (!control)
    return false;
  if (control->GetDblAsSingleClick())
  {
    OnMouseDown({IMouseInfo{x, y, 0.f, 0.f, mod}});
  }
  else
  {
    control->OnMouseDblClick(x, y, mod);
    ReleaseMouseCapture();
  }
  return true;
}

bool IGfx::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  IControl* c = GetMouseControl(x, y, false, true);
  if (c != mMouseOver)
  {
    if (mMouseOver)
      mMouseOver->OnMouseOut();
    mMouseOver = c;
  }
  if (mMouseOver)
    mMouseOver->OnMouseOver(x, y, mod);
  return c != nullptr;
}

void IGfx::OnMouseOut()
{
  mCursorType = SetMouseCursor(ECursor::ARROW);
  ForAllControlsFunc([](IControl* c) { c->OnMouseOut(); });
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
}

bool IGfx::OnMouseWheel(float x, float y, const IMouseMod& mod, float delta)
{
  IControl* control = GetMouseControl(x, y, false, false);
  if (!control)
    return false;
  control->OnMouseWheel(x, y, mod, delta);
  return true;
}

bool IGfx::OnKeyDown(float x, float y, const IKeyPress& key)
{
  IControl* control = GetMouseControl(x, y, false, false);
  if (control && control != GetControl(0) && control->OnKeyDown(x, y, key))
    return true;
  return mKeyHandlerFunc ? mKeyHandlerFunc(key, false) : false;
}

bool IGfx::OnKeyUp(float x, float y, const IKeyPress& key)
{
  IControl* control = GetMouseControl(x, y, false, false);
  if (control && control != GetControl(0) && control->OnKeyUp(x, y, key))
    return true;
  return mKeyHandlerFunc ? mKeyHandlerFunc(key, true) : false;
}

void IGfx::OnDrop(const char* path, float x, float y)
{
  if (IControl* control = GetMouseControl(x, y, false, false))
    control->OnDrop(path);
}

void IGfx::OnDropMultiple(const std::vector<const char*>& paths, float x, float y)
{
  if (IControl* control = GetMouseControl(x, y, false, false))
    control->OnDropMultiple(paths);
}

void IGfx::PopupHostContextMenuForParam(int controlIdx, int paramIdx, float x, float y)
{
  PopupHostContextMenuForParam(GetControl(controlIdx), paramIdx, x, y);
}

void IGfx::PopupHostContextMenuForParam(IControl* control, int paramIdx, float x, float y)
{
  mPromptPopupMenu.Clear();
  if (control)
    control->CreateContextMenu(mPromptPopupMenu);
  // The host works in the view's pixels, which include the screen scale on this platform.
  const float toView = mDrawScale * mScreenScale;
  if (PopupInHostMenu(mDelegate, mPromptPopupMenu, control, paramIdx, x * toView, y * toView))
    return;
  // A host without context menus: the control's items in the editor's own menu; the choice reaches
  // OnContextSelection with the number the host's menu would have given it.
  if (control && mPromptPopupMenu.NItems() > 0)
    DoCreatePopupMenu(*control, mPromptPopupMenu, IRECT(x, y, x, y), -1, true);
}

int IGfx::GetParamIdxForPTAutomation(float x, float y)
{
  const IControl* control = GetControl(GetMouseControlIdx(x, y, false));
  mLastClickedParam = control ? control->GetParamIdx(0) : -1;
  return mLastClickedParam;
}

int IGfx::GetLastClickedParamForPTAutomation() { return std::exchange(mLastClickedParam, -1); }

void IGfx::SetPTParameterHighlight(int paramIdx, bool isHighlighted, int color)
{
  ForControlWithParam(paramIdx,
                      [isHighlighted, color](IControl* c) { c->SetPTParameterHighlight(isHighlighted, color); });
}

} // namespace plugkit::gfx
