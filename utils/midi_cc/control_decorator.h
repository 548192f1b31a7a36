// Makes any parameter control learnable: the mapping and modulation state the controller map and the
// plug-in push in, the presence dot, the "MIDI CC" context menu and the depth gesture, drawn over the
// wrapped control. Build one with CCMediator::createLearnable. Main thread.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "IGfx/Controls/IVKnobControl.h"
#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControl.h"
#include "IGfx/IGfx.h"
#include "IGfx/IGfxEditorDelegate.h"
#include "IGfx/IPopupMenu.h"
#include "IPlugin/IPluginParameter.h"
#include "utils/midi_cc/cc_context_menu.h"
#include "utils/midi_cc/cc_messages.h"
#include "utils/midi_cc/controllable.h"
#include "utils/midi_cc/depth_gesture.h"
#include "utils/midi_cc/mod_arc_drawing.h"
#include "utils/midi_cc/presence_dot.h"

namespace zarvo::midi_cc {

class CCMediator;

template <class T>
class ControlDecorator : public T, public IControllable
{
  static_assert(std::is_base_of_v<plugkit::gfx::IControl, T>);

public:
  using IRECT = plugkit::gfx::IRECT;
  using IMouseMod = plugkit::gfx::IMouseMod;
  using IColor = plugkit::gfx::IColor;

  // Knobs show modulation as an arc around the dial, everything else as a line along the bottom.
  static constexpr bool kKnobForm = std::is_base_of_v<plugkit::gfx::IVKnobControl, T>;
  static constexpr bool kVectorControl = std::is_base_of_v<plugkit::gfx::IVectorBase, T>;
  static constexpr double kBlinkPeriodMs = 500.0;

  // The arguments go to T's constructor unchanged.
  template <class... Args>
  explicit ControlDecorator(Args&&... args)
    : T(std::forward<Args>(args)...)
  {
    mParamIdx = this->GetParamIdx(0);
  }
  ~ControlDecorator() override = default;

  //---Pointer input
  void OnMouseDown(float x, float y, const IMouseMod& mod) override
  {
    if (this->IsDisabled())
    {
      reportDisabledInteraction();
      return;
    }
    if (mDepthArmed && !mod.R)
    {
      if (mDot.hit(dotAnchor(), x, y))
        mDotPressed = true; // a press on the dot only cancels the arming
      else
      {
        mAuthoringDepth = true;
        mGestureStartValue = this->GetValue(0);
        mGestureDepth = 0.0;
      }
      mDepthArmed = false;
      updateBlink();
      return;
    }
    if (mShowPresenceDot && mModulatable && mCCNumber != -1 && !mod.R && mDot.hit(dotAnchor(), x, y))
    {
      mDotPressed = true;
      if (!mModeLocked)
      {
        mModeDisplay = mModeDisplay == 0 ? 1 : 0;
        sendMidiCCAction(kMsgTagAbsolute + mModeDisplay);
      }
      this->SetDirty(false);
      return;
    }
    T::OnMouseDown(x, y, mod);
  }

  void OnMouseUp(float x, float y, const IMouseMod& mod) override
  {
    if (this->IsDisabled())
    {
      // A gesture the disabling interrupted ends here without a commit: a later unrelated drag must
      // not pick it up.
      if (mAuthoringDepth)
      {
        mAuthoringDepth = false;
        this->SetValue(mGestureStartValue, 0);
        this->SetDirty(false);
      }
      return;
    }
    if (mDotPressed)
    {
      mDotPressed = false;
      this->SetDirty(false);
    }
    if (mAuthoringDepth)
    {
      const float depth = DepthGesture::committedDepth(mGestureStartValue, mGestureDepth);
      struct
      {
        int32_t paramIdx;
        float depth;
      } payload{this->GetParamIdx(0), depth};
      static_assert(sizeof payload == 8);
      if (auto* dlg = this->GetDelegate())
        dlg->SendArbitraryMsgFromUI(kMsgTagDepth, -1, sizeof payload, &payload);
      this->SetValue(mGestureStartValue, 0);
      this->SetDirty(false);
      mAuthoringDepth = false;
      return;
    }
    T::OnMouseUp(x, y, mod);
  }

  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override
  {
    if (this->IsDisabled())
      return;
    if (!mAuthoringDepth)
    {
      T::OnMouseDrag(x, y, dX, dY, mod);
      return;
    }
    mGestureDepth = DepthGesture::accumulate(mGestureDepth, dY, mod.S);
    this->SetValue(DepthGesture::endValue(mGestureStartValue, mGestureDepth), 0);
    this->SetDirty(false);
    if (mShowPitchDepth)
    {
      if (auto* g = this->GetUI())
      {
        const IRECT& r = this->GetRECT();
        g->ShowBubbleControl(this, (r.L + r.R) / 2.f, (r.T + r.B) / 2.f, formatPitchDepth(gestureOctaves()).c_str(),
                             plugkit::gfx::EDirection::Horizontal, IRECT());
      }
    }
  }

  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override
  {
    if (this->IsDisabled())
      reportDisabledInteraction();
    else
      T::OnMouseDblClick(x, y, mod);
  }

  void OnMouseWheel(float x, float y, const IMouseMod& mod, float d) override
  {
    if (this->IsDisabled())
      reportDisabledInteraction();
    else
      T::OnMouseWheel(x, y, mod, d);
  }

  void OnMouseOver(float x, float y, const IMouseMod& mod) override
  {
    const bool onDot = mShowPresenceDot && mCCNumber != -1 && mDot.hit(dotAnchor(), x, y);
    if (onDot != mDotHovered)
    {
      mDotHovered = onDot;
      this->SetDirty(false);
    }
    if (onDot)
    {
      // The wrapped control drops its own hover look while the pointer rests on the dot.
      if (this->GetMouseIsOver())
        T::OnMouseOut();
      return;
    }
    T::OnMouseOver(x, y, mod);
  }

  void OnMouseOut() override
  {
    if (mDotHovered)
    {
      mDotHovered = false;
      this->SetDirty(false);
    }
    T::OnMouseOut();
  }

  void OnResize() override
  {
    T::OnResize();
    if (mShowPresenceDot)
    {
      // The dot overhangs the control a little; keep all of it clickable.
      this->SetTargetRECT(mDot.widenTarget(this->GetTargetRECT(), dotAnchor()));
      this->ClearMouseIsOver();
    }
  }

  //---Context menu
  void CreateContextMenu(plugkit::gfx::IPopupMenu& menu) override
  {
    if (this->IsDisabled())
      return;
    const plugkit::IParam* param = parameter();
    mMenuItemOffset = CCContextMenu::fill(menu, param ? param->GetName() : nullptr, menuState());
  }

  void OnContextSelection(int itemTag) override { tryProcessMidiCCMenuSelection(itemTag - mMenuItemOffset); }

  // Carries out submenu item index; false for separators and anything outside the submenu.
  bool tryProcessMidiCCMenuSelection(int index)
  {
    const CCContextMenu::Action action = CCContextMenu::actionFor(index, menuState());
    if (!action.handled)
      return false;
    using L = CCContextMenu::ELocal;
    switch (action.local)
    {
    case L::None: break;
    case L::Reset: resetMapping(); break;
    case L::SwapRange:
      std::swap(mMinText, mMaxText);
      std::swap(mMin, mMax);
      this->SetDirty(false);
      break;
    case L::TakeMin:
      updateDisplay(mMinText);
      mMin = currentNormalized();
      this->SetDirty(false);
      break;
    case L::TakeMax:
      updateDisplay(mMaxText);
      mMax = currentNormalized();
      this->SetDirty(false);
      break;
    case L::ToggleArmed:
      mDepthArmed = !mDepthArmed;
      updateBlink();
      break;
    case L::ToggleBipolar:
      mModBipolar = !mModBipolar;
      this->SetDirty(false);
      break;
    case L::ShowAbsolute: mModeDisplay = 0; break;
    case L::ShowModulate: mModeDisplay = 1; break;
    }
    if (action.message != 0)
      sendMidiCCAction(action.message);
    return true;
  }

  // The listen message, then msgTag, each carrying the control's parameter index.
  void sendMidiCCAction(int msgTag)
  {
    auto* dlg = this->GetDelegate();
    if (!dlg)
      return;
    const int32_t paramIdx = this->GetParamIdx(0);
    dlg->SendArbitraryMsgFromUI(kMsgTagListen, -1, sizeof paramIdx, &paramIdx);
    dlg->SendArbitraryMsgFromUI(msgTag, -1, sizeof paramIdx, &paramIdx);
  }

  //---Drawing
  void Draw(plugkit::gfx::IGfx& g) override
  {
    T::Draw(g);
    drawModArc(g);
    if (!mShowPresenceDot || (mCCNumber == -1 && !mLearning))
      return;
    if (mBlinking && std::fmod(this->GetAnimationProgress(), 1.0) >= 0.5)
      return; // the hidden half of the blink
    mDot.draw(g, dotAnchor(), mDotColors, mDotPressed, mDotHovered, &this->GetBlend());
  }

  void drawModArc(plugkit::gfx::IGfx& g)
  {
    const ModDisplay d = modDisplay();
    const double value = this->GetValue(0);
    if constexpr (kKnobForm)
      drawModStrokes(g, knobModDrawing(d, value, knobDial()), &this->GetBlend());
    else
      drawModStrokes(g, barModDrawing(d, value, this->GetRECT()), &this->GetBlend());
  }

  //---IControllable
  void setCCNumber(int cc) override
  {
    mCCNumber = cc;
    setMinMaxDisplaysToFullRange();
    this->SetDirty(false);
  }

  void clearCCNumber() override
  {
    mCCNumber = -1;
    mMinText.clear();
    mMaxText.clear();
    mMin = 0.0;
    mMax = 1.0;
    mModeDisplay = 0;
    if (mDepthArmed)
    {
      mDepthArmed = false;
      updateBlink();
    }
    this->SetDirty(false);
  }

  void setParamMinMax(double min, double max) override
  {
    updateDisplay(mMinText, min);
    updateDisplay(mMaxText, max);
    if (min == mMin && max == mMax)
      return;
    mMin = min;
    mMax = max;
    this->SetDirty(false);
  }

  void setModDepth(double depth) override { store(mModDepth, depth); }
  void setModBipolar(bool bipolar) override { store(mModBipolar, bipolar); }
  // NaN never equals itself, so storing NaN always redraws.
  void setModLiveValue(double value) override { store(mModLiveValue, value); }
  void setModeDisplay(int mode) override { store(mModeDisplay, mode); }
  void setModeLocked(bool locked) override { store(mModeLocked, locked); }
  bool isAuthoringDepth() const override { return mAuthoringDepth; }

  void setLearning(bool learning) override
  {
    if (learning == mLearning)
      return;
    mLearning = learning;
    updateBlink();
  }

  // Called while the control is built: no redraw.
  void setPresenceDotOffset(float dx, float dy) override
  {
    mDot.offsetX = dx;
    mDot.offsetY = dy;
  }

  //---Helpers of the operations above
  // Runs whenever learning or the depth arming changes: a pending learn or an armed depth blinks the
  // dot (250 ms on, 250 ms off, on the control's animation clock).
  void updateBlink()
  {
    if (mDepthArmed)
    {
      if (!mBlinking)
        startBlink();
    }
    else if (mBlinking != mLearning)
    {
      mBlinking = mLearning;
      if (mBlinking)
        startBlink();
      else
        this->SetAnimation(nullptr); // no end-of-animation action
    }
    this->SetDirty(false);
  }

  // The display text of the parameter's current value; empty without a parameter.
  void updateDisplay(std::string& text) const
  {
    const plugkit::IParam* param = parameter();
    text = param ? displayOf(*param, param->Value(), false) : std::string();
  }

  void updateDisplay(std::string& text, double normalized) const
  {
    const plugkit::IParam* param = parameter();
    text = param ? displayOf(*param, normalized, true) : std::string();
  }

  void setMinMaxDisplaysToFullRange()
  {
    const plugkit::IParam* param = parameter();
    mMinText = param ? displayOf(*param, param->GetMin(), false) : std::string();
    mMaxText = param ? displayOf(*param, param->GetMax(), false) : std::string();
  }

  double gestureOctaves() const { return DepthGesture::octaves(parameter(), mGestureStartValue, mGestureDepth); }
  static std::string formatPitchDepth(double octaves) { return DepthGesture::formatPitchDepth(octaves); }

  //---Read-only views (editor wiring and tests)
  int ccNumber() const { return mCCNumber; }
  int modeDisplay() const { return mModeDisplay; }
  bool isLearning() const { return mLearning; }
  bool isBlinking() const { return mBlinking; }
  bool isDepthArmed() const { return mDepthArmed; }
  bool isModulatable() const { return mModulatable; }
  bool showsPitchDepth() const { return mShowPitchDepth; }
  double rangeMin() const { return mMin; }
  double rangeMax() const { return mMax; }
  const std::string& minText() const { return mMinText; }
  const std::string& maxText() const { return mMaxText; }
  const IColor& modArcColor() const { return mModArcColor; }
  const PresenceDot& presenceDot() const { return mDot; }
  const PresenceDot::Colors& presenceDotColors() const { return mDotColors; }
  // The rectangle the dot sits in the bottom-right corner of.
  IRECT dotAnchor() const
  {
    if constexpr (kVectorControl)
      return PresenceDot::anchorOf(this->GetWidgetBounds(), this->GetRECT());
    else
      return this->GetRECT();
  }

private:
  friend class CCMediator;

  template <class V>
  void store(V& field, V value)
  {
    if (field == value)
      return;
    field = value;
    this->SetDirty(false);
  }

  const plugkit::IParam* parameter() const
  {
    const auto* dlg = this->GetDelegate();
    return dlg && mParamIdx >= 0 ? dlg->GetParam(mParamIdx) : nullptr;
  }

  static std::string displayOf(const plugkit::IParam& param, double value, bool normalized)
  {
    TextString text;
    param.GetDisplay(value, normalized, text, true);
    return text.Get();
  }

  double currentNormalized() const
  {
    const plugkit::IParam* param = parameter();
    return param ? std::clamp(param->GetNormalized(), 0.0, 1.0) : 0.0;
  }

  void reportDisabledInteraction()
  {
    if (mOnDisabledInteraction)
      mOnDisabledInteraction(mParamIdx);
  }

  void startBlink()
  {
    mBlinking = true;
    this->SetAnimation([](plugkit::gfx::IControl* c) { c->SetDirty(false); }, kBlinkPeriodMs);
  }

  // Learn and Clear forget what the control showed of the mapping; the plug-in's answer follows.
  void resetMapping()
  {
    mCCNumber = -1;
    mMinText.clear();
    mMaxText.clear();
    mMin = 0.0;
    mMax = 1.0;
    mModeDisplay = 0;
    if (mDepthArmed)
    {
      mDepthArmed = false;
      updateBlink();
    }
  }

  CCMenuState menuState() const
  {
    return CCMenuState{mCCNumber,   mMinText,    mMaxText,       mModulatable, mModeDisplay,
                       mModeLocked, mModBipolar, mDepthEditable, mLearning};
  }

  ModDisplay modDisplay() const
  {
    ModDisplay d;
    d.ccNumber = mCCNumber;
    d.modulatable = mModulatable;
    d.modeDisplay = mModeDisplay;
    d.min = mMin;
    d.max = mMax;
    d.depth = mModDepth;
    d.bipolar = mModBipolar;
    d.liveValue = mModLiveValue;
    d.depthArmed = mDepthArmed;
    d.authoringDepth = mAuthoringDepth;
    d.gestureStart = mGestureStartValue;
    d.gestureDepth = mGestureDepth;
    d.arcRadiusFrac = mArcRadiusFrac;
    d.arcThickness = mArcThickness;
    d.dotRadius = mDot.radius;
    d.arcColor = mModArcColor;
    d.liveColor = mLiveDotColor ? *mLiveDotColor : fallbackLiveColor();
    return d;
  }

  IColor fallbackLiveColor() const
  {
    if constexpr (kKnobForm)
      return this->GetColor(plugkit::gfx::EVColor::FR);
    else
      return this->GetText().mFGColor;
  }

  KnobDial knobDial() const requires kKnobForm
  {
    const IRECT& w = this->GetWidgetBounds();
    return KnobDial{(w.L + w.R) / 2.f, (w.T + w.B) / 2.f, this->GetRadius(),
                    this->mAngle1,     this->mAngle2,     this->mPointerThickness};
  }

  std::string mMinText;
  std::string mMaxText;
  double mMin = 0.0;
  double mMax = 1.0;
  int32_t mParamIdx = -1;
  int32_t mCCNumber = -1;
  int32_t mMenuItemOffset = 0;
  bool mModulatable = false;
  int32_t mModeDisplay = 0;
  bool mModeLocked = false;
  bool mShowPresenceDot = false;
  PresenceDot::Colors mDotColors;
  PresenceDot mDot;
  bool mDotHovered = false;
  bool mDotPressed = false;
  double mModDepth = 0.0;
  bool mModBipolar = false;
  double mModLiveValue = std::numeric_limits<double>::quiet_NaN();
  std::optional<IColor> mLiveDotColor;
  bool mDepthEditable = false;
  float mArcRadiusFrac = 0.8f;
  IColor mModArcColor{220, 110, 170, 230};
  float mArcThickness = 2.f;
  bool mDepthArmed = false;
  bool mAuthoringDepth = false;
  bool mLearning = false;
  bool mBlinking = false;
  double mGestureStartValue = 0.0;
  double mGestureDepth = 0.0;
  bool mShowPitchDepth = false;
  std::function<void(int)> mOnDisabledInteraction;
};

} // namespace zarvo::midi_cc
