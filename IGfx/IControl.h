// The base of every editor control: rectangles, linked parameters with normalised values, state flags,
// text style, blend, action and animation functions, tooltip, group and gesture handlers.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

#include "IGfx/IBlend.h"
#include "IGfx/IColor.h"
#include "IGfx/IGestureInfo.h"
#include "IGfx/IGfxEnums.h"
#include "IGfx/IMouseInfo.h"
#include "IGfx/IRECT.h"
#include "IGfx/IText.h"
#include "IPlugin/IKeyPress.h"
#include "IPlugin/IMidiMsg.h"
#include "IPlugin/TextString.h"

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"

namespace plugkit {
class IParam;
}

namespace plugkit::gfx {

class IControl;
class IGfx;
class IGEditorDelegate;
class IPopupMenu;

using IActionFunction = std::function<void(IControl*)>;
using IAnimationFunction = std::function<void(IControl*)>;
using IGestureFunc = std::function<void(IControl*, const IGestureInfo&)>;

// Every control is made with new and handed to the graphics context, which drops its reference with
// release() on removal: a host still holding the control as its context-menu target keeps it alive.
// Main thread only.
class IControl : public Steinberg::Vst::IContextMenuTarget, public Steinberg::FObject
{
public:
  IControl(const IRECT& bounds, int paramIdx = -1, IActionFunction actionFunc = nullptr);
  IControl(const IRECT& bounds, const std::vector<int>& paramIdxs, IActionFunction actionFunc = nullptr);
  IControl(const IRECT& bounds, IActionFunction actionFunc);
  ~IControl() override;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  //---IContextMenuTarget: an item this control added to the host's context menu was chosen.
  Steinberg::tresult PLUGIN_API executeMenuItem(Steinberg::int32 tag) override;

  //---Events; the base behaviour is that of a control with nothing to do.
  // A right click prompts for the value under the pointer.
  virtual void OnMouseDown(float x, float y, const IMouseMod& mod);
  virtual void OnMouseUp(float x, float y, const IMouseMod& mod);
  virtual void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod);
  // Resets the value under the pointer to its default.
  virtual void OnMouseDblClick(float x, float y, const IMouseMod& mod);
  virtual void OnMouseWheel(float x, float y, const IMouseMod& mod, float d);
  // True when the key was handled.
  virtual bool OnKeyDown(float x, float y, const IKeyPress& key);
  virtual bool OnKeyUp(float x, float y, const IKeyPress& key);
  virtual void OnMouseOver(float x, float y, const IMouseMod& mod);
  virtual void OnMouseOut();
  virtual void OnTouchCancelled(float x, float y, const IMouseMod& mod);
  virtual void OnDrop(const char* path);
  // Hands the first path to OnDrop.
  virtual void OnDropMultiple(const std::vector<const char*>& paths);
  virtual void OnRescale();
  virtual void OnResize();
  virtual void OnInit();
  virtual void OnAttached();
  virtual void OnMsgFromDelegate(int msgTag, int dataSize, const void* pData);
  virtual void OnMidi(const IMidiMsg& msg);
  // True when a gesture function of that type ran.
  virtual bool OnGesture(const IGestureInfo& info);
  // Adds this control's own items to a context menu.
  virtual void CreateContextMenu(IPopupMenu& menu);
  // menu is null when nothing was chosen.
  virtual void OnPopupMenuSelection(IPopupMenu* menu, int valIdx);
  virtual void OnDeleteFromPopupMenu(IPopupMenu& menu, int itemIdx);
  virtual void OnTextEntryCompletion(const char* str, int valIdx);
  // itemTag is -1 when nothing was chosen.
  virtual void OnContextSelection(int itemTag);
  virtual void Draw(IGfx& g) = 0;
  // The automation dot.
  virtual void DrawPTHighlight(IGfx& g);

  //---Values and parameters. valIdx -1 means every value where an operation accepts it.
  // Throws std::out_of_range for a value index outside the list.
  virtual void SetParamIdx(int paramIdx, int valIdx = 0);
  // 0 for a single-value control, else -1; multi-value controls override it.
  virtual int GetValIdxForPos(float x, float y) const;
  // From the plug-in: ignored while this control is captured; a changed value marks it dirty.
  virtual void SetValueFromDelegate(double value, int valIdx = 0);
  // From the user: a changed value is sent (SetDirty(true)).
  virtual void SetValueFromUserInput(double value, int valIdx = 0);
  virtual void SetValueToDefault(int valIdx = -1);
  // Stores the value as given: no clamping, no redraw.
  virtual void SetValue(double value, int valIdx = 0);
  virtual void SetText(const IText& text) { mText = text; }
  // Moves the rectangle to (x, y), negative coordinates becoming 0; the target keeps its offset.
  virtual void SetPosition(float x, float y);
  virtual void SetSize(float w, float h);
  virtual void Hide(bool hide);
  virtual void SetDisabled(bool disable);
  virtual void SetIgnoreMouse(bool ignore) { mIgnoreMouse = ignore; }
  // Left and top edges of the target rectangle inclusive, right and bottom exclusive.
  virtual bool IsHit(float x, float y) const;
  // Clamps the addressed values to 0..1 and marks the control dirty; with triggerAction also sends
  // each linked value to the plug-in, updates peers and runs the action function once.
  virtual void SetDirty(bool triggerAction = true, int valIdx = -1);
  virtual void SetClean() { mDirty = false; }
  // True while an animation runs.
  virtual bool IsDirty();
  virtual void OnGUIIdle() {}
  virtual bool GetWantsGestures() const;
  // Sets the value from a pointer position within bounds, to 0.001, clipped to minClip..maxClip.
  virtual void SnapToMouse(float x, float y, EDirection direction, const IRECT& bounds, int valIdx = -1,
                           double minClip = 0., double maxClip = 1.);
  // Clears the animation, marks dirty, then runs the animation-end action.
  virtual void OnEndAnimation();

  int NVals() const { return static_cast<int>(mVals.size()); }
  int GetParamIdx(int valIdx = 0) const;
  double GetValue(int valIdx = 0) const;
  // The first value index linked to paramIdx, else -1.
  int LinkedToParam(int paramIdx) const;
  // The delegate's parameter for the value, or null.
  const IParam* GetParam(int valIdx = 0) const;

  //---Prompts
  // Nothing without a parameter or while prompts are disabled; a menu over the whole rectangle for a
  // parameter with display texts, else a 40 x 16 text field centred on it.
  void PromptUserInput(int valIdx = 0);
  void PromptUserInput(const IRECT& bounds, int valIdx = 0);

  //---Animation
  void SetAnimation(IAnimationFunction func, double durationMs);
  void SetAnimation(IAnimationFunction func) { mAnimationFunc = std::move(func); }
  IAnimationFunction GetAnimationFunction() const { return mAnimationFunc; }
  void SetAnimationEndActionFunction(IActionFunction func) { mAnimationEndActionFunc = std::move(func); }
  IActionFunction GetAnimationEndActionFunction() const { return mAnimationEndActionFunc; }
  void StartAnimation(double durationMs);
  // 0 without an animation; passes 1 once the duration has elapsed.
  double GetAnimationProgress() const;
  void Animate();

  //---Gestures
  IControl* AttachGestureRecognizer(EGestureType type, IGestureFunc func);
  EGestureType GetLastGesture() const { return mLastGesture; }

  //---Automation highlight: colour code 0 red, 1 blue, 2 green, 3 yellow; others keep the colour.
  void SetPTParameterHighlight(bool isHighlighted, int colour);
  bool GetPTParameterHighlighted() const { return mPTisHighlighted; }
  const IColor& GetPTHighlightColor() const { return mPTHighlightColor; }

  //---Plain state
  const IRECT& GetRECT() const { return mRECT; }
  void SetRECT(const IRECT& r) { mRECT = r; }
  const IRECT& GetTargetRECT() const { return mTargetRECT; }
  void SetTargetRECT(const IRECT& r) { mTargetRECT = r; }
  void SetTargetAndDrawRECTs(const IRECT& r) { mRECT = mTargetRECT = r; }
  const char* GetGroup() const { return mGroup.Get(); }
  void SetGroup(const char* group) { mGroup.Set(group ? group : ""); }
  const IText& GetText() const { return mText; }
  const IBlend& GetBlend() const { return mBlend; }
  void SetBlend(const IBlend& blend) { mBlend = blend; }
  float GetDisabledWeight() const { return mDisabledWeight; }
  void SetDisabledWeight(float w) { mDisabledWeight = w; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int len) { mTextEntryLength = len; }
  bool IsHidden() const { return mHide; }
  bool IsDisabled() const { return mDisabled; }
  bool GetPromptDisabled() const { return mDisablePrompt; }
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }
  bool GetDblAsSingleClick() const { return mDblAsSingleClick; }
  void SetDblAsSingleClick(bool v) { mDblAsSingleClick = v; }
  bool GetMouseOverWhenDisabled() const { return mMouseOverWhenDisabled; }
  void SetMouseOverWhenDisabled(bool v) { mMouseOverWhenDisabled = v; }
  bool GetMouseEventsWhenDisabled() const { return mMouseEventsWhenDisabled; }
  void SetMouseEventsWhenDisabled(bool v) { mMouseEventsWhenDisabled = v; }
  bool GetIgnoreMouse() const { return mIgnoreMouse; }
  bool GetWantsMidi() const { return mWantsMidi; }
  void SetWantsMidi(bool v) { mWantsMidi = v; }
  bool GetWantsMultiTouch() const { return mWantsMultiTouch; }
  void SetWantsMultiTouch(bool v) { mWantsMultiTouch = v; }
  bool GetPromptShowsParamLabel() const { return mPromptShowsParamLabel; }
  void SetPromptShowsParamLabel(bool v) { mPromptShowsParamLabel = v; }
  bool GetMouseIsOver() const { return mMouseIsOver; }
  // Cleared by the context when it moves or resizes the control.
  void ClearMouseIsOver() { mMouseIsOver = false; }
  const char* GetTooltip() const { return mTooltip.Get(); }
  void SetTooltip(const char* str) { mTooltip.Set(str ? str : ""); }
  IControl* GetParent() const { return mParent; }
  void SetParent(IControl* parent) { mParent = parent; }
  IGEditorDelegate* GetDelegate() const { return mDelegate; }
  void SetDelegate(IGEditorDelegate& dlg) { mDelegate = &dlg; }
  IGfx* GetUI() const { return mGraphics; }
  void SetGraphics(IGfx* g) { mGraphics = g; }
  IActionFunction GetActionFunction() const { return mActionFunc; }
  void SetActionFunction(IActionFunction func) { mActionFunc = std::move(func); }

  OBJ_METHODS(IControl, Steinberg::FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IContextMenuTarget)
  END_DEFINE_INTERFACES(Steinberg::FObject)
  REFCOUNT_METHODS(Steinberg::FObject)

protected:
  // Milliseconds of the context's monotonic clock (the steady clock while unattached).
  double NowMs() const;

  IRECT mRECT;
  IRECT mTargetRECT;
  TextString mGroup;
  IText mText = DEFAULT_TEXT;
  IBlend mBlend;
  float mDisabledWeight = 0.25f;
  int mTextEntryLength = 7;
  bool mDirty = true;
  bool mHide = false;
  bool mDisabled = false;
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMouseOverWhenDisabled = false;
  bool mMouseEventsWhenDisabled = false;
  bool mIgnoreMouse = false;
  bool mWantsMidi = false;
  bool mWantsMultiTouch = false;
  bool mPromptShowsParamLabel = false;
  bool mMouseIsOver = false;
  TextString mTooltip;
  IColor mPTHighlightColor = COLOR_RED;
  bool mPTisHighlighted = false;
  IControl* mParent = nullptr;
  IGEditorDelegate* mDelegate = nullptr;
  IGfx* mGraphics = nullptr;
  IActionFunction mActionFunc;
  IActionFunction mAnimationEndActionFunc;
  IAnimationFunction mAnimationFunc;
  double mAnimationStartMs = 0.;
  double mAnimationDurationMs = 0.;

private:
  struct Val
  {
    int idx;
    double value;
  };

  std::vector<Val> mVals;
  std::map<EGestureType, IGestureFunc> mGestureFuncs;
  EGestureType mLastGesture = EGestureType::Unknown;
};

// Action and animation functions controls take or call.
void DefaultClickActionFunc(IControl* caller);
// Needs the vector base; defined with it.
void SplashClickActionFunc(IControl* caller);
void ShowBubbleHorizontalActionFunc(IControl* caller);
void ShowBubbleVerticalActionFunc(IControl* caller);
void DefaultAnimationFunc(IControl* caller);
// Needs the vector base; defined with it.
void SplashAnimationFunc(IControl* caller);

inline constexpr double DEFAULT_ANIMATION_DURATION = 100.;

} // namespace plugkit::gfx
