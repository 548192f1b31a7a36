#include "IGfx/IControl.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>

#include "IGfx/IGfx.h"
#include "IGfx/IGfxEditorDelegate.h"
#include "IPlugin/IPluginParameter.h"

namespace plugkit::gfx {

IControl::IControl(const IRECT& bounds, int paramIdx, IActionFunction actionFunc)
  : mRECT(bounds)
  , mTargetRECT(bounds)
  , mActionFunc(std::move(actionFunc))
{
  mVals.push_back({paramIdx, 0.});
}

IControl::IControl(const IRECT& bounds, const std::vector<int>& paramIdxs, IActionFunction actionFunc)
  : mRECT(bounds)
  , mTargetRECT(bounds)
  , mActionFunc(std::move(actionFunc))
{
  for (int idx : paramIdxs)
    mVals.push_back({idx, 0.});
}

IControl::IControl(const IRECT& bounds, IActionFunction actionFunc)
  : IControl(bounds, -1, std::move(actionFunc))
{}

IControl::~IControl() = default;

Steinberg::tresult PLUGIN_API IControl::executeMenuItem(Steinberg::int32 tag)
{
  OnContextSelection(tag);
  return Steinberg::kResultOk;
}

void IControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  if (mod.R)
    PromptUserInput(GetValIdxForPos(x, y));
}

void IControl::OnMouseUp(float, float, const IMouseMod&) {}
void IControl::OnMouseDrag(float, float, float, float, const IMouseMod&) {}

void IControl::OnMouseDblClick(float x, float y, const IMouseMod&) { SetValueToDefault(GetValIdxForPos(x, y)); }

void IControl::OnMouseWheel(float, float, const IMouseMod&, float) {}
bool IControl::OnKeyDown(float, float, const IKeyPress&) { return false; }
bool IControl::OnKeyUp(float, float, const IKeyPress&) { return false; }

void IControl::OnMouseOver(float, float, const IMouseMod&)
{
  const bool wasOver = mMouseIsOver;
  mMouseIsOver = true;
  if (!wasOver)
    SetDirty(false);
}

void IControl::OnMouseOut()
{
  const bool wasOver = mMouseIsOver;
  mMouseIsOver = false;
  if (wasOver)
    SetDirty(false);
}

void IControl::OnTouchCancelled(float, float, const IMouseMod&) {}
void IControl::OnDrop(const char*) {}

void IControl::OnDropMultiple(const std::vector<const char*>& paths)
{
  if (!paths.empty())
    OnDrop(paths.front());
}

void IControl::OnRescale() {}
void IControl::OnResize() {}
void IControl::OnInit() {}
void IControl::OnAttached() {}
void IControl::OnMsgFromDelegate(int, int, const void*) {}
void IControl::OnMidi(const IMidiMsg&) {}

bool IControl::OnGesture(const IGestureInfo& info)
{
  auto it = mGestureFuncs.find(info.type);
  if (it == mGestureFuncs.end())
    return false;
  mLastGesture = info.type;
  it->second(this, info);
  return true;
}

void IControl::CreateContextMenu(IPopupMenu&) {}

void IControl::OnPopupMenuSelection(IPopupMenu* menu, int valIdx)
{
  if (!menu || valIdx < 0 || valIdx >= NVals() || GetParamIdx(valIdx) < 0 || mDisablePrompt)
    return;
  const IParam* param = GetParam(valIdx);
  const int chosen = menu->GetChosenItemIdx();
  if (!param || chosen < 0)
    return;
  SetValueFromUserInput(param->ToNormalized(static_cast<double>(chosen)), valIdx);
}

void IControl::OnDeleteFromPopupMenu(IPopupMenu&, int) {}
void IControl::OnTextEntryCompletion(const char*, int) {}
void IControl::OnContextSelection(int) {}

void IControl::DrawPTHighlight(IGfx& g)
{
  if (mPTisHighlighted)
    g.FillCircle(mPTHighlightColor, mTargetRECT.R - 5.f, mTargetRECT.T + 5.f, 2.f);
}

void IControl::SetParamIdx(int paramIdx, int valIdx)
{
  if (valIdx < 0 || valIdx >= NVals())
    throw std::out_of_range("IControl::SetParamIdx: value index outside the control's values");
  mVals[static_cast<size_t>(valIdx)].idx = paramIdx;
  SetDirty(false);
}

int IControl::GetValIdxForPos(float, float) const { return NVals() == 1 ? 0 : -1; }

void IControl::SetValueFromDelegate(double value, int valIdx)
{
  if (valIdx < 0 || valIdx >= NVals())
    return;
  if (mGraphics && mGraphics->ControlIsCaptured(this))
    return;
  if (value != GetValue(valIdx))
  {
    SetValue(value, valIdx);
    SetDirty(false);
  }
}

void IControl::SetValueFromUserInput(double value, int valIdx)
{
  if (valIdx < 0 || valIdx >= NVals())
    return;
  if (value != GetValue(valIdx))
  {
    SetValue(value, valIdx);
    SetDirty(true, valIdx);
  }
}

void IControl::SetValueToDefault(int valIdx)
{
  if (NVals() == 1)
    valIdx = 0;
  for (int i = 0; i < NVals(); ++i)
  {
    if (valIdx >= 0 && i != valIdx)
      continue;
    if (const IParam* param = GetParam(i))
      SetValue(param->GetDefault(true), i);
  }
  SetDirty(true, valIdx);
}

void IControl::SetValue(double value, int valIdx)
{
  if (valIdx >= 0 && valIdx < NVals())
    mVals[static_cast<size_t>(valIdx)].value = value;
}

void IControl::SetPosition(float x, float y)
{
  x = std::max(x, 0.f);
  y = std::max(y, 0.f);
  const float offsetX = mTargetRECT.L - mRECT.L;
  const float offsetY = mTargetRECT.T - mRECT.T;
  mRECT = IRECT(x, y, x + mRECT.W(), y + mRECT.H());
  mMouseIsOver = false;
  OnResize();
  const float tx = x + offsetX;
  const float ty = y + offsetY;
  mTargetRECT = IRECT(tx, ty, tx + mTargetRECT.W(), ty + mTargetRECT.H());
  mMouseIsOver = false;
}

void IControl::SetSize(float w, float h)
{
  w = std::max(w, 0.f);
  h = std::max(h, 0.f);
  mRECT = mTargetRECT = IRECT(mRECT.L, mRECT.T, mRECT.L + w, mRECT.T + h);
  mMouseIsOver = false;
  OnResize();
}

void IControl::Hide(bool hide)
{
  mHide = hide;
  SetDirty(false);
}

void IControl::SetDisabled(bool disable)
{
  mBlend.mWeight = disable ? mDisabledWeight : 1.f;
  mDisabled = disable;
  SetDirty(false);
}

bool IControl::IsHit(float x, float y) const
{
  return x >= mTargetRECT.L && x < mTargetRECT.R && y >= mTargetRECT.T && y < mTargetRECT.B;
}

void IControl::SetDirty(bool triggerAction, int valIdx)
{
  if (NVals() == 1)
    valIdx = 0;
  for (int i = 0; i < NVals(); ++i)
  {
    if (valIdx >= 0 && i != valIdx)
      continue;
    SetValue(std::clamp(GetValue(i), 0., 1.), i);
  }
  mDirty = true;
  if (!triggerAction)
    return;
  for (int i = 0; i < NVals(); ++i)
  {
    if ((valIdx >= 0 && i != valIdx) || GetParamIdx(i) < 0)
      continue;
    if (mDelegate)
      mDelegate->SendParameterValueFromUI(GetParamIdx(i), GetValue(i));
    if (mGraphics)
      mGraphics->UpdatePeers(this, i);
  }
  if (mActionFunc)
    mActionFunc(this);
}

bool IControl::IsDirty() { return mAnimationFunc ? true : mDirty; }

bool IControl::GetWantsGestures() const { return !mGestureFuncs.empty() && !mAnimationFunc; }

void IControl::SnapToMouse(float x, float y, EDirection direction, const IRECT& bounds, int valIdx, double minClip,
                           double maxClip)
{
  x = std::clamp(x, bounds.L, bounds.R);
  y = std::clamp(y, bounds.T, bounds.B);
  double v = direction == EDirection::Vertical ? 1. - (y - bounds.T) / bounds.H() : (x - bounds.L) / bounds.W();
  v = std::clamp(std::round(v / 0.001) * 0.001, minClip, maxClip);
  for (int i = 0; i < NVals(); ++i)
  {
    if (valIdx < 0 || i == valIdx)
      SetValue(v, i);
  }
  SetDirty(true, valIdx);
}

void IControl::OnEndAnimation()
{
  mAnimationFunc = nullptr;
  SetDirty(false);
  if (mAnimationEndActionFunc)
    mAnimationEndActionFunc(this);
}

int IControl::GetParamIdx(int valIdx) const
{
  if (valIdx < 0 || valIdx >= NVals())
    return -1;
  return mVals[static_cast<size_t>(valIdx)].idx;
}

double IControl::GetValue(int valIdx) const
{
  if (valIdx < 0 || valIdx >= NVals())
    return 0.;
  return mVals[static_cast<size_t>(valIdx)].value;
}

int IControl::LinkedToParam(int paramIdx) const
{
  for (int i = 0; i < NVals(); ++i)
  {
    if (mVals[static_cast<size_t>(i)].idx == paramIdx)
      return i;
  }
  return -1;
}

const IParam* IControl::GetParam(int valIdx) const
{
  const int idx = GetParamIdx(valIdx);
  if (idx < 0 || !mDelegate)
    return nullptr;
  return mDelegate->GetParam(idx);
}

void IControl::PromptUserInput(int valIdx)
{
  if (valIdx < 0 || mDisablePrompt || !mGraphics)
    return;
  const IParam* param = GetParam(valIdx);
  if (!param)
    return;
  if (param->NDisplayTexts() > 0)
    mGraphics->PromptUserInput(*this, mRECT, valIdx);
  else
    mGraphics->PromptUserInput(*this, mRECT.GetCentredInside(40.f, 16.f), valIdx);
  SetDirty(false);
}

void IControl::PromptUserInput(const IRECT& bounds, int valIdx)
{
  if (valIdx < 0 || mDisablePrompt || !mGraphics || !GetParam(valIdx))
    return;
  mGraphics->PromptUserInput(*this, bounds, valIdx);
}

void IControl::SetAnimation(IAnimationFunction func, double durationMs)
{
  mAnimationFunc = std::move(func);
  StartAnimation(durationMs);
}

void IControl::StartAnimation(double durationMs)
{
  mAnimationStartMs = NowMs();
  mAnimationDurationMs = durationMs;
}

double IControl::GetAnimationProgress() const
{
  if (!mAnimationFunc)
    return 0.;
  return (NowMs() - mAnimationStartMs) / mAnimationDurationMs;
}

void IControl::Animate()
{
  if (mAnimationFunc)
    mAnimationFunc(this);
}

IControl* IControl::AttachGestureRecognizer(EGestureType type, IGestureFunc func)
{
  mGestureFuncs.emplace(type, std::move(func));
  if (mGraphics)
    mGraphics->AttachGestureRecognizer(type);
  return this;
}

void IControl::SetPTParameterHighlight(bool isHighlighted, int colour)
{
  switch (colour)
  {
  case 0: mPTHighlightColor = COLOR_RED; break;
  case 1: mPTHighlightColor = COLOR_BLUE; break;
  case 2: mPTHighlightColor = COLOR_GREEN; break;
  case 3: mPTHighlightColor = COLOR_YELLOW; break;
  default: break;
  }
  mPTisHighlighted = isHighlighted;
  SetDirty(false);
}

double IControl::NowMs() const
{
  if (mGraphics)
    return mGraphics->GetTimeMs();
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void DefaultClickActionFunc(IControl* caller)
{
  caller->SetAnimation(DefaultAnimationFunc, DEFAULT_ANIMATION_DURATION);
}

void DefaultAnimationFunc(IControl* caller)
{
  if (caller->GetAnimationProgress() > 1.)
    caller->OnEndAnimation();
}

namespace {

void ShowValueBubble(IControl* caller, float x, float y, EDirection dir)
{
  const IParam* param = caller->GetParam();
  IGfx* g = caller->GetUI();
  if (!param || !g)
    return;
  TextString str;
  param->GetDisplay(caller->GetValue(), true, str, true);
  const char* label = param->GetLabel();
  if (label && label[0])
  {
    str.Append(" ");
    str.Append(label);
  }
  g->ShowBubbleControl(caller, x, y, str.Get(), dir, IRECT(0.f, 0.f, 50.f, 30.f));
}

} // namespace

void ShowBubbleHorizontalActionFunc(IControl* caller)
{
  ShowValueBubble(caller, caller->GetRECT().R, caller->GetRECT().MH(), EDirection::Horizontal);
}

void ShowBubbleVerticalActionFunc(IControl* caller)
{
  ShowValueBubble(caller, caller->GetRECT().MW(), caller->GetRECT().T, EDirection::Vertical);
}

} // namespace plugkit::gfx
