// The graphics context's control list, prompts and their results.
#include "IGfx/IGfx.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "IGfx/IControl.h"
#include "IGfx/IGfxEditorDelegate.h"
#include "IGfx/ISpecialControls.h"
#include "IPlugin/IPluginParameter.h"

namespace plugkit::gfx {

namespace {

// Counts items depth first up to the chosen one of level, as a host's context menu numbers them: one
// for each item, and one more for the end of each submenu passed.
bool CountContextItems(const IPopupMenu& menu, const IPopupMenu& level, int chosen, int& tag)
{
  for (int i = 0; i < menu.NItems(); ++i)
  {
    if (&menu == &level && i == chosen)
      return true;
    ++tag;
    if (const IPopupMenu* sub = menu.GetItem(i)->GetSubmenu())
    {
      if (CountContextItems(*sub, level, chosen, tag))
        return true;
      ++tag;
    }
  }
  return false;
}

// The number of the item chosen in level (root or one of its submenus); -1 when none was chosen.
int ContextMenuTag(const IPopupMenu& root, const IPopupMenu& level)
{
  const int chosen = level.GetChosenItemIdx();
  if (chosen < 0)
    return -1;
  int tag = 0;
  return CountContextItems(root, level, chosen, tag) ? tag : chosen;
}

} // namespace

IGfx::IGfx(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
  : mDelegate(dlg)
  , mWidth(w)
  , mHeight(h)
  , mFPS(fps)
  , mDrawScale(scale)
{
  RetainResourceCaches();
}

IGfx::~IGfx()
{
  // No platform call while tearing down.
  mCursorHidden = false;
  RemoveAllControls();
  ReleaseResourceCaches();
}

double IGfx::GetTimeMs() const
{
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

//------------------------------------------------------------------------------------------------
// Attaching

void IGfx::ConnectControl(IControl* control)
{
  control->SetDelegate(mDelegate);
  control->SetGraphics(this);
  control->OnInit();
  control->OnResize();
  control->OnRescale();
}

IControl* IGfx::AttachControl(IControl* control, int ctrlTag, const char* group)
{
  if (!control)
    return nullptr;
  if (ctrlTag >= 0 && !mCtrlTags.emplace(ctrlTag, control).second)
    return nullptr;
  ConnectControl(control);
  control->SetGroup(group);
  mControls.push_back(control);
  control->OnAttached();
  return control;
}

void IGfx::InsertBackgroundControl(IControl* control) { mControls.insert(mControls.begin(), control); }

void IGfx::AttachCornerResizer(IControl* control, EUIResizerMode mode, bool layoutOnResize)
{
  if (!control)
    return;
  if (mCornerResizer)
  {
    control->release();
    return;
  }
  mCornerResizer = control;
  mGUISizeMode = mode;
  mLayoutOnResize = layoutOnResize;
  ConnectControl(control);
  control->OnRescale();
}

void IGfx::AttachBubbleControl(IBubbleControlBase* bubble)
{
  if (!bubble)
    return;
  ConnectControl(bubble);
  mBubbleControls.push_back(bubble);
}

void IGfx::AttachPopupMenuControl(IPopupMenuControlBase* control)
{
  if (!control)
    return;
  if (mPopupControl)
  {
    control->release();
    return;
  }
  mPopupControl = control;
  ConnectControl(control);
}

void IGfx::RemovePopupMenuControl()
{
  if (mPopupControl)
  {
    ForgetControl(mPopupControl);
    ReleaseControl(std::exchange(mPopupControl, nullptr));
  }
}

void IGfx::AttachTextEntryControl(ITextEntryControlBase* control)
{
  if (!control)
    return;
  if (mTextEntryControl)
  {
    control->release();
    return;
  }
  mTextEntryControl = control;
  ConnectControl(control);
}

void IGfx::RemoveTextEntryControl()
{
  if (mTextEntryControl)
  {
    ForgetControl(mTextEntryControl);
    ReleaseControl(std::exchange(mTextEntryControl, nullptr));
  }
}

void IGfx::AttachFPSDisplay(IFPSDisplayControlBase* control)
{
  if (!control)
    return;
  if (mPerfDisplay)
    control->release();
  else
  {
    if (mPerfDisplayBounds.Empty())
      mPerfDisplayBounds = IRECT(10.f, 10.f, 210.f, 60.f);
    mPerfDisplay = control;
    ConnectControl(control);
  }
  SetAllControlsDirty();
}

//------------------------------------------------------------------------------------------------
// Removing

void IGfx::ReleaseControl(IControl* control)
{
  // A host holding the control as its menu target keeps it alive until it lets go.
  control->release();
}

void IGfx::ForgetControl(IControl* control)
{
  if (ControlIsCaptured(control))
    ReleaseMouseCapture();
  if (control == mMouseOver)
  {
    mMouseOver = nullptr;
    mMouseOverIdx = -1;
  }
  if (control == mInTextEntry)
    mInTextEntry = nullptr;
  if (control == mInPopupMenu)
    mInPopupMenu = nullptr;
  std::erase_if(mCtrlTags, [control](const auto& entry) { return entry.second == control; });
  // Children must not point at a deleted container.
  for (IControl* c : mControls)
  {
    if (c->GetParent() == control)
      c->SetParent(nullptr);
  }
}

void IGfx::RemoveControl(IControl* control)
{
  if (!control)
    return;
  ForgetControl(control);
  auto it = std::find(mControls.begin(), mControls.end(), control);
  if (it != mControls.end())
  {
    mControls.erase(it);
    ReleaseControl(control);
  }
  if (mMouseOver)
    mMouseOverIdx = GetControlIdx(mMouseOver);
  SetAllControlsDirty();
}

void IGfx::RemoveControl(int idx) { RemoveControl(GetControl(idx)); }

void IGfx::RemoveControlWithTag(int ctrlTag) { RemoveControl(GetControlWithTag(ctrlTag)); }

void IGfx::RemoveControls(int fromIdx)
{
  for (int i = NControls() - 1; i >= std::max(fromIdx, 0); --i)
    RemoveControl(i);
}

void IGfx::RemoveAllControls()
{
  ReleaseMouseCapture();
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
  mInTextEntry = nullptr;
  mInPopupMenu = nullptr;
  if (mPopupControl)
    ReleaseControl(std::exchange(mPopupControl, nullptr));
  if (mTextEntryControl)
    ReleaseControl(std::exchange(mTextEntryControl, nullptr));
  if (mCornerResizer)
    ReleaseControl(std::exchange(mCornerResizer, nullptr));
  if (mPerfDisplay)
    ReleaseControl(std::exchange(mPerfDisplay, nullptr));
  while (!mBubbleControls.empty())
  {
    ReleaseControl(mBubbleControls.back());
    mBubbleControls.pop_back();
  }
  mCtrlTags.clear();
  while (!mControls.empty())
  {
    IControl* c = mControls.back();
    mControls.pop_back();
    ReleaseControl(c);
  }
}

//------------------------------------------------------------------------------------------------
// Finding and iterating

IControl* IGfx::GetControl(int idx) const
{
  if (idx < 0 || idx >= NControls())
    return nullptr;
  return mControls[static_cast<size_t>(idx)];
}

int IGfx::GetControlIdx(const IControl* control) const
{
  auto it = std::find(mControls.begin(), mControls.end(), control);
  return it == mControls.end() ? -1 : static_cast<int>(it - mControls.begin());
}

IControl* IGfx::GetControlWithTag(int ctrlTag) const
{
  auto it = mCtrlTags.find(ctrlTag);
  return it == mCtrlTags.end() ? nullptr : it->second;
}

IControl* IGfx::GetControlWithParamIdx(int paramIdx) const
{
  for (IControl* c : mControls)
  {
    if (c->LinkedToParam(paramIdx) > -1)
      return c;
  }
  return nullptr;
}

IBubbleControlBase* IGfx::GetBubbleControl(int idx) const
{
  if (idx < 0 || idx >= NBubbles())
    return nullptr;
  return mBubbleControls[static_cast<size_t>(idx)];
}

void IGfx::ForStandardControlsFunc(const IControlFunction& func)
{
  for (IControl* c : mControls)
    func(c);
}

void IGfx::ForAllControlsFunc(const IControlFunction& func)
{
  for (IControl* c : mControls)
    func(c);
  if (mPerfDisplay)
    func(mPerfDisplay);
  if (mCornerResizer)
    func(mCornerResizer);
  if (mTextEntryControl)
    func(mTextEntryControl);
  if (mPopupControl)
    func(mPopupControl);
  for (IBubbleControlBase* b : mBubbleControls)
    func(b);
}

void IGfx::ForControlWithParam(int paramIdx, const IControlFunction& func)
{
  for (IControl* c : mControls)
  {
    if (c->LinkedToParam(paramIdx) > -1)
      func(c);
  }
}

void IGfx::ForControlWithParam(const std::vector<int>& params, const IControlFunction& func)
{
  for (IControl* c : mControls)
  {
    for (int p : params)
    {
      if (c->LinkedToParam(p) > -1)
        func(c);
    }
  }
}

void IGfx::ForControlInGroup(const char* group, const IControlFunction& func)
{
  for (IControl* c : mControls)
  {
    if (c->GetGroup()[0] && std::strcmp(c->GetGroup(), group) == 0)
      func(c);
  }
}

void IGfx::SetAllControlsDirty()
{
  ForAllControlsFunc([](IControl* c) { c->SetDirty(false); });
}

void IGfx::SetAllControlsClean()
{
  ForAllControlsFunc([](IControl* c) { c->SetClean(); });
}

void IGfx::HideControl(int paramIdx, bool hide)
{
  ForMatchingControls(paramIdx, [hide](IControl* c) { c->Hide(hide); });
}

void IGfx::DisableControl(int paramIdx, bool disable)
{
  ForMatchingControls(paramIdx, [disable](IControl* c) { c->SetDisabled(disable); });
}

//------------------------------------------------------------------------------------------------
// Arranging

void IGfx::BringControlToFront(IControl* control)
{
  if (!control)
    return;
  auto moveToEnd = [this](IControl* c) {
    auto it = std::find(mControls.begin(), mControls.end(), c);
    if (it != mControls.end() && it + 1 != mControls.end())
    {
      mControls.erase(it);
      mControls.push_back(c);
    }
  };
  moveToEnd(control);
  std::vector<IControl*> children;
  for (IControl* c : mControls)
  {
    if (c->GetParent() == control)
      children.push_back(c);
  }
  for (IControl* c : children)
    moveToEnd(c);
  if (mMouseOver)
    mMouseOverIdx = GetControlIdx(mMouseOver);
}

void IGfx::SetControlPosition(IControl* control, float x, float y)
{
  control->SetPosition(x, y);
  if (!control->IsHidden())
    SetAllControlsDirty();
}

void IGfx::SetControlSize(IControl* control, float w, float h)
{
  control->SetSize(w, h);
  if (!control->IsHidden())
    SetAllControlsDirty();
}

void IGfx::SetControlBounds(IControl* control, const IRECT& r)
{
  control->SetTargetAndDrawRECTs(r);
  control->ClearMouseIsOver();
  control->OnResize();
  if (!control->IsHidden())
    SetAllControlsDirty();
}

void IGfx::EnableTooltips(bool enable)
{
  mEnableTooltips = enable;
  if (enable)
    mEnableMouseOver = true;
}

void IGfx::AssignParamNameToolTips()
{
  for (IControl* c : mControls)
  {
    if (const IParam* param = c->GetParam(0))
      c->SetTooltip(param->GetName());
  }
}

void IGfx::UpdatePeers(IControl* caller, int valIdx)
{
  const int paramIdx = caller->GetParamIdx(valIdx);
  if (paramIdx < 0)
    return;
  const double value = caller->GetValue(valIdx);
  for (IControl* c : mControls)
  {
    if (c == caller)
      continue;
    const int peerValIdx = c->LinkedToParam(paramIdx);
    if (peerValIdx > -1)
      c->SetValueFromDelegate(value, peerValIdx);
  }
}

void IGfx::OnGUIIdle()
{
  ForAllControlsFunc([](IControl* c) { c->OnGUIIdle(); });
}

void IGfx::OnAppearanceChanged(EUIAppearance appearance)
{
  if (mAppearanceChangedFunc)
    mAppearanceChangedFunc(appearance);
}

//------------------------------------------------------------------------------------------------
// Prompts and their results

void IGfx::PromptUserInput(IControl& control, const IRECT& bounds, int valIdx)
{
  const int paramIdx = control.GetParamIdx(valIdx);
  const IParam* param = paramIdx >= 0 ? mDelegate.GetParam(paramIdx) : nullptr;
  if (!param)
    return;

  const bool isEnum = param->Type() == IParam::kTypeEnum;
  const bool isBoolWithTexts = param->Type() == IParam::kTypeBool && param->NDisplayTexts() > 0;
  if (isEnum || isBoolWithTexts)
  {
    TextString current;
    param->GetDisplay(param->Value(), false, current, true);
    mPromptPopupMenu.Clear();
    for (int i = 0; i < param->NDisplayTexts(); ++i)
    {
      const char* text = param->GetDisplayText(static_cast<double>(i));
      IPopupMenu::Item* item = mPromptPopupMenu.AddItem(text);
      if (std::strcmp(text, current.Get()) == 0)
        item->SetChecked(true);
    }
    mPromptPopupMenu.SetRootTitle(param->GetName());
    DoCreatePopupMenu(control, mPromptPopupMenu, bounds, valIdx, false);
    return;
  }

  TextString current;
  param->GetDisplay(param->Value(), false, current, false);
  if (control.GetPromptShowsParamLabel())
  {
    current.Append(" ");
    current.Append(param->GetLabel());
  }
  CreateTextEntry(control, control.GetText(), bounds, current.Get(), valIdx);
}

void IGfx::CreatePopupMenu(IControl& control, IPopupMenu& menu, const IRECT& bounds, int valIdx)
{
  DoCreatePopupMenu(control, menu, bounds, valIdx, false);
}

void IGfx::CreateTextEntry(IControl& control, const IText& text, const IRECT& bounds, const char* str, int valIdx)
{
  mInTextEntry = &control;
  mTextEntryValIdx = valIdx;
  const int paramIdx = valIdx >= 0 ? control.GetParamIdx(valIdx) : -1;
  if (mTextEntryControl)
    mTextEntryControl->CreateTextEntry(paramIdx, text, bounds, control.GetTextEntryLength(), str);
  else
    CreatePlatformTextEntry(paramIdx, text, bounds, control.GetTextEntryLength(), str);
  control.SetDirty(false);
}

void IGfx::DoCreatePopupMenu(IControl& control, IPopupMenu& menu, const IRECT& bounds, int valIdx, bool isContext)
{
  ReleaseMouseCapture();
  if (mPopupControl && mPopupControl->IsOpenOrClosing())
  {
    // Refused while the in-editor menu is open or closing: the open menu keeps its owner, and this
    // requester hears "no choice" at once, which also ends the edit its click began.
    IControl* openOwner = std::exchange(mInPopupMenu, &control);
    const int openValIdx = std::exchange(mPopupMenuValIdx, valIdx);
    const bool openIsContext = std::exchange(mIsContextMenu, isContext);
    SetControlValueAfterPopupMenu(nullptr);
    mInPopupMenu = openOwner;
    mPopupMenuValIdx = openValIdx;
    mIsContextMenu = openIsContext;
    return;
  }
  mInPopupMenu = &control;
  mPopupMenuValIdx = valIdx;
  mIsContextMenu = isContext;
  if (mPopupControl)
  {
    mPopupControl->CreatePopupMenu(menu, bounds);
    return;
  }
  bool isAsync = false;
  IPopupMenu* result = CreatePlatformPopupMenu(menu, bounds, isAsync);
  if (!isAsync)
    SetControlValueAfterPopupMenu(result);
}

void IGfx::SetControlValueAfterTextEdit(const char* str)
{
  IControl* owner = std::exchange(mInTextEntry, nullptr);
  if (!owner)
    return;
  const int valIdx = mTextEntryValIdx;
  const int paramIdx = valIdx >= 0 ? owner->GetParamIdx(valIdx) : -1;
  if (const IParam* param = paramIdx >= 0 ? mDelegate.GetParam(paramIdx) : nullptr)
  {
    // Parse, round to the step, clamp, then normalise.
    owner->SetValueFromUserInput(param->ToNormalized(param->StringToValue(str ? str : "")), valIdx);
  }
  else
    owner->OnTextEntryCompletion(str ? str : "", valIdx);
}

void IGfx::SetControlValueAfterPopupMenu(IPopupMenu* menu)
{
  IControl* owner = mInPopupMenu;
  if (!owner)
    return;
  // Taken first: the owner's handler may remove it.
  std::vector<int> linkedParams;
  for (int i = 0; i < owner->NVals(); ++i)
  {
    if (owner->GetParamIdx(i) >= 0)
      linkedParams.push_back(owner->GetParamIdx(i));
  }
  if (mIsContextMenu)
  {
    // A context menu began no edit (the right click opened it instead); its choice is numbered as in
    // the host's menu, which counts submenu entries and their ends.
    owner->OnContextSelection(menu ? ContextMenuTag(mPromptPopupMenu, *menu) : -1);
    mInPopupMenu = nullptr;
    return;
  }
  owner->OnPopupMenuSelection(menu && menu->GetChosenItemIdx() > -1 ? menu : nullptr, mPopupMenuValIdx);
  // The click that opened the menu began an edit of every linked parameter.
  for (int paramIdx : linkedParams)
    mDelegate.EndInformHostOfParamChangeFromUI(paramIdx);
  mInPopupMenu = nullptr;
}

void IGfx::DeleteFromPopupMenu(IPopupMenu& menu, int itemIdx)
{
  if (mInPopupMenu)
    mInPopupMenu->OnDeleteFromPopupMenu(menu, itemIdx);
}

void IGfx::ShowBubbleControl(IControl* caller, float x, float y, const char* str, EDirection dir,
                             IRECT minimumContentBounds)
{
  if (mBubbleControls.empty())
    return;
  mBubbleControls.front()->ShowBubble(caller, x, y, str, dir, minimumContentBounds, 0);
}

} // namespace plugkit::gfx
