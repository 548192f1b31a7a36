// The graphics context of one open editor: owns the controls, finds what must be redrawn and draws it,
// dispatches input, resizes and rescales, prompts for values, and offers the drawing API that a
// backend completes with primitive operations and a platform class with its platform operations.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stack>
#include <unordered_map>
#include <vector>

#include "IGfx/IBlend.h"
#include "IGfx/IColor.h"
#include "IGfx/IGestureInfo.h"
#include "IGfx/IGfxEnums.h"
#include "IGfx/IMatrix.h"
#include "IGfx/IMouseInfo.h"
#include "IGfx/IPathOptions.h"
#include "IGfx/IPattern.h"
#include "IGfx/IPopupMenu.h"
#include "IGfx/IRECT.h"
#include "IGfx/IRECTList.h"
#include "IGfx/ISpecialControls.h"
#include "IGfx/IText.h"
#include "IGfx/IVStyle.h"
#include "IPlugin/IKeyPress.h"
#include "IPlugin/IMidiMsg.h"
#include "IPlugin/TextString.h"

namespace plugkit::gfx {

class IGEditorDelegate;
// Defined with the drawing backend, layers and resources.
class APIBitmap;
class IBitmap;
class ISVG;
class ILayer;
struct IShadow;
class PlatformFont;

// Deletes a platform font; defined with PlatformFont, so a null pointer needs no complete type.
struct PlatformFontDeleter
{
  void operator()(PlatformFont* font) const;
};

using ILayerPtr = std::unique_ptr<ILayer>;
using PlatformFontPtr = std::unique_ptr<PlatformFont, PlatformFontDeleter>;
using RawBitmapData = std::vector<uint8_t>;

using IKeyHandlerFunc = std::function<bool(const IKeyPress& key, bool isUp)>;
using IDisplayTickFunc = std::function<void()>;
using IUIAppearanceChangedFunc = std::function<void(EUIAppearance)>;
using IGestureRegionFunc = std::function<void(IControl* control, const IGestureInfo& info)>;
using IControlFunction = std::function<void(IControl* control)>;
using IMsgBoxCompletionHandlerFunc = std::function<void(EMsgBoxResult result)>;
// fileName and path are empty when the dialog was cancelled.
using IFileDialogCompletionHandlerFunc = std::function<void(const TextString& fileName, const TextString& path)>;
using IColorPickerHandlerFunc = std::function<void(const IColor& color)>;
using IMidiFunc = std::function<void(const IMidiMsg& msg)>;

// Main thread only.
class IGfx
{
public:
  static constexpr float kDefaultMinScale = 0.5f;
  static constexpr float kDefaultMaxScale = 4.f;
  // How far a control may draw outside its rectangle (anti-aliased edges) and still be redrawn.
  static constexpr float kControlPadding = 0.75f;

  IGfx(IGEditorDelegate& dlg, int w, int h, int fps = 60, float scale = 1.f);
  virtual ~IGfx();
  IGfx(const IGfx&) = delete;
  IGfx& operator=(const IGfx&) = delete;

  //==============================================================================================
  // Attaching. Each attach connects the control (delegate, context, OnInit, OnResize, OnRescale).

  // Takes ownership, except when tag (0 or more) is already taken: then null and the caller keeps it.
  IControl* AttachControl(IControl* control, int ctrlTag = -1, const char* group = "");
  // These make controls of their own kinds; each is defined beside the control class it makes.
  void AttachBackground(const char* fileName);
  void AttachSVGBackground(const char* fileName);
  void AttachPanelBackground(const IPattern& pattern);
  void AttachCornerResizer(EUIResizerMode mode = EUIResizerMode::Scale, bool layoutOnResize = false,
                           const IColor& color = COLOR_TRANSLUCENT, const IColor& mouseOverColor = COLOR_BLACK,
                           const IColor& dragColor = COLOR_BLACK, float size = 20.f);
  void AttachBubbleControl(const IText& text = DEFAULT_TEXT);
  void AttachPopupMenuControl(const IText& text = DEFAULT_TEXT, const IRECT& bounds = IRECT());
  void AttachTextEntryControl();
  void ShowFPSDisplay(bool enable);
  // Ready-made special controls. A second corner resizer is released, changing nothing.
  void AttachCornerResizer(IControl* control, EUIResizerMode mode = EUIResizerMode::Scale, bool layoutOnResize = false);
  void AttachBubbleControl(IBubbleControlBase* bubble);
  void AttachPopupMenuControl(IPopupMenuControlBase* control);
  void RemovePopupMenuControl();
  void AttachTextEntryControl(ITextEntryControlBase* control);
  void RemoveTextEntryControl();
  void AttachFPSDisplay(IFPSDisplayControlBase* control);
  // Puts an already connected control at index 0 (drawn first, hit last); no tag, no OnAttached.
  void InsertBackgroundControl(IControl* control);

  //==============================================================================================
  // Removing: the control is forgotten everywhere, released, and everything is marked dirty.

  void RemoveControl(IControl* control);
  // idx must be that of a list control.
  void RemoveControl(int idx);
  void RemoveControlWithTag(int ctrlTag);
  // Indices fromIdx and above, last first.
  void RemoveControls(int fromIdx);
  void RemoveAllControls();

  //==============================================================================================
  // Finding and iterating

  int NControls() const { return static_cast<int>(mControls.size()); }
  // Null outside the list.
  IControl* GetControl(int idx) const;
  int GetControlIdx(const IControl* control) const;
  IControl* GetControlWithTag(int ctrlTag) const;
  IControl* GetControlWithParamIdx(int paramIdx) const;
  IControl* GetBackgroundControl() const { return GetControl(0); }
  IControl* GetCornerResizer() const { return mCornerResizer; }
  IPopupMenuControlBase* GetPopupMenuControl() const { return mPopupControl; }
  ITextEntryControlBase* GetTextEntryControl() const { return mTextEntryControl; }
  IFPSDisplayControlBase* GetFPSDisplay() const { return mPerfDisplay; }
  int NBubbles() const { return static_cast<int>(mBubbleControls.size()); }
  IBubbleControlBase* GetBubbleControl(int idx = 0) const;

  void ForStandardControlsFunc(const IControlFunction& func);
  // The list, then frame-rate display, corner resizer, text entry, popup menu, then the bubbles.
  void ForAllControlsFunc(const IControlFunction& func);
  void ForControlWithParam(int paramIdx, const IControlFunction& func);
  // Each control once per matching index, in control order then index order.
  void ForControlWithParam(const std::vector<int>& params, const IControlFunction& func);
  void ForControlInGroup(const char* group, const IControlFunction& func);
  void ForMatchingControls(int paramIdx, const IControlFunction& func) { ForControlWithParam(paramIdx, func); }
  void SetAllControlsDirty();
  void SetAllControlsClean();
  void HideControl(int paramIdx, bool hide);
  void DisableControl(int paramIdx, bool disable);

  //==============================================================================================
  // Arranging

  // Moves the control, and a container's children after it, to the top of the list.
  void BringControlToFront(IControl* control);
  void SetControlPosition(IControl* control, float x, float y);
  void SetControlSize(IControl* control, float w, float h);
  void SetControlBounds(IControl* control, const IRECT& r);
  void EnableTooltips(bool enable);
  bool TooltipsEnabled() const { return mEnableTooltips; }
  void EnableMouseOver(bool enable) { mEnableMouseOver = enable; }
  bool MouseOverEnabled() const { return mEnableMouseOver; }
  void EnableMultiTouch(bool enable) { mEnableMultiTouch = enable; }
  bool MultiTouchEnabled() const { return mEnableMultiTouch; }
  void SetKeyHandlerFunc(IKeyHandlerFunc func) { mKeyHandlerFunc = std::move(func); }
  void SetDisplayTickFunc(IDisplayTickFunc func) { mDisplayTickFunc = std::move(func); }
  void SetUIAppearanceChangedFunc(IUIAppearanceChangedFunc func) { mAppearanceChangedFunc = std::move(func); }
  void AssignParamNameToolTips();
  // Every other list control linked to the caller's parameter at valIdx takes the caller's value.
  void UpdatePeers(IControl* caller, int valIdx);
  void OnGUIIdle();
  void OnAppearanceChanged(EUIAppearance appearance);
  // Gives every vector control the style; defined with the vector base.
  void StyleAllVectorControls(const IVStyle& style);

  //==============================================================================================
  // Prompting for values

  // A menu of the parameter's display texts, or a text field; nothing without a parameter at valIdx.
  void PromptUserInput(IControl& control, const IRECT& bounds, int valIdx = 0);
  void CreatePopupMenu(IControl& control, IPopupMenu& menu, const IRECT& bounds, int valIdx = 0);
  void CreateTextEntry(IControl& control, const IText& text, const IRECT& bounds, const char* str = "", int valIdx = 0);
  // Shows menu for control, and completes it at once when the platform answers at once.
  void DoCreatePopupMenu(IControl& control, IPopupMenu& menu, const IRECT& bounds, int valIdx, bool isContext);
  // Results, from the platform or the in-editor controls.
  void SetControlValueAfterTextEdit(const char* str);
  // menu is null when nothing came back. Ends the host edit of every parameter of the owner.
  void SetControlValueAfterPopupMenu(IPopupMenu* menu);
  void DeleteFromPopupMenu(IPopupMenu& menu, int itemIdx);
  IPopupMenu& GetPromptMenu() { return mPromptPopupMenu; }
  IControl* GetControlInTextEntry() const { return mInTextEntry; }
  // Ends a text entry without a value: the user cancelled it, or no entry control could open.
  void ClearControlInTextEntry() { mInTextEntry = nullptr; }
  IControl* GetControlInPopupMenu() const { return mInPopupMenu; }

  // Does nothing when no bubble is attached.
  void ShowBubbleControl(IControl* caller, float x, float y, const char* str, EDirection dir = EDirection::Horizontal,
                         IRECT minimumContentBounds = IRECT());

  //==============================================================================================
  // Frame loop

  // Collects the padded rectangles of dirty controls into rects (passed empty); true when any.
  // Also applies values the plug-in sent from the audio thread.
  bool IsDirty(IRECTList& rects);
  // One frame for the collected rectangles; nothing at all for an empty list.
  void Draw(IRECTList& rects);
  void SetStrictDrawing(bool strict);
  bool GetStrictDrawing() const { return mStrict; }
  const IRECT& GetClipRECT() const { return mClipRECT; }

  //==============================================================================================
  // Input, in unscaled editor coordinates

  void OnMouseDown(const std::vector<IMouseInfo>& points);
  void OnMouseUp(const std::vector<IMouseInfo>& points);
  void OnMouseDrag(const std::vector<IMouseInfo>& points);
  void OnTouchCancelled(const std::vector<IMouseInfo>& points);
  bool OnMouseDblClick(float x, float y, const IMouseMod& mod);
  bool OnMouseOver(float x, float y, const IMouseMod& mod);
  void OnMouseOut();
  bool OnMouseWheel(float x, float y, const IMouseMod& mod, float delta);
  bool OnKeyDown(float x, float y, const IKeyPress& key);
  bool OnKeyUp(float x, float y, const IKeyPress& key);
  void OnDrop(const char* path, float x, float y);
  void OnDropMultiple(const std::vector<const char*>& paths, float x, float y);
  IControl* GetMouseControl(float x, float y, bool capture, bool mouseOver = false, uint64_t touchId = 0);
  int GetMouseControlIdx(float x, float y, bool mouseOver = false);
  void ReleaseMouseCapture();
  bool ControlIsCaptured() const { return !mCapturedMap.empty(); }
  bool ControlIsCaptured(const IControl* control) const;
  IControl* GetMouseOver() const { return mMouseOver; }
  int GetMouseOverIdx() const { return mMouseOverIdx; }
  void GetMouseDownPoint(float& x, float& y) const
  {
    x = mMouseDownX;
    y = mMouseDownY;
  }
  void PopupHostContextMenuForParam(IControl* control, int paramIdx, float x, float y);
  void PopupHostContextMenuForParam(int controlIdx, int paramIdx, float x, float y);
  int GetParamIdxForPTAutomation(float x, float y);
  int GetLastClickedParamForPTAutomation();
  void SetPTParameterHighlight(int paramIdx, bool isHighlighted, int color);

  //==============================================================================================
  // Gestures and QWERTY keys

  void AttachGestureRecognizer(EGestureType type);
  void AttachGestureRecognizerToRegion(const IRECT& bounds, EGestureType type, IGestureRegionFunc func);
  void ClearGestureRegions();
  const std::vector<EGestureType>& GetRegisteredGestures() const { return mRegisteredGestures; }
  bool RespondsToGesture(float x, float y);
  void OnGestureRecognized(const IGestureInfo& info);
  // Plays notes from the letter keys; every key counts as handled. func receives each message sent.
  void SetQwertyMidiKeyHandlerFunc(IMidiFunc func = nullptr);

  //==============================================================================================
  // Size and scale

  void Resize(int w, int h, float scale, bool needsPlatformResize = true);
  void SetScreenScale(float scale);
  void SetScaleConstraints(float lo, float hi);
  void SetLayoutOnResize(bool layoutOnResize) { mLayoutOnResize = layoutOnResize; }
  void OnDragResize(float x, float y);
  void EndDragResize();
  // Called by the corner resizer's press.
  void StartDragResize() { mResizingInProcess = true; }
  bool GetResizingInProcess() const { return mResizingInProcess; }
  EUIResizerMode GetResizerMode() const { return mGUISizeMode; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int WindowWidth() const { return static_cast<int>(static_cast<float>(mWidth) * mDrawScale); }
  int WindowHeight() const { return static_cast<int>(static_cast<float>(mHeight) * mDrawScale); }
  int FPS() const { return mFPS; }
  float GetDrawScale() const { return mDrawScale; }
  float GetScreenScale() const { return mScreenScale; }
  float GetBackingPixelScale() const { return mScreenScale * mDrawScale; }
  float GetMinScale() const { return mMinScale; }
  float GetMaxScale() const { return mMaxScale; }
  IRECT GetBounds() const { return IRECT(0.f, 0.f, static_cast<float>(mWidth), static_cast<float>(mHeight)); }
  bool IsOpening() const { return mOpening; }
  void SetOpening(bool opening) { mOpening = opening; }

  IGEditorDelegate* GetDelegate() const { return &mDelegate; }
  ECursor GetCursor() const { return mCursorType; }
  bool CursorIsHidden() const { return mCursorHidden; }
  const char* GetSharedResourcesSubPath() const { return mSharedResourcesSubPath.Get(); }
  void SetSharedResourcesSubPath(const char* path) { mSharedResourcesSubPath.Set(path ? path : ""); }
  void SetBundleID(const char* id) { mBundleID.Set(id ? id : ""); }
  void SetAppGroupID(const char* id) { mAppGroupID.Set(id ? id : ""); }
  const char* GetBundleID() const { return mBundleID.Get(); }
  const char* GetAppGroupID() const { return mAppGroupID.Get(); }

  //==============================================================================================
  // Platform operations: what the context and its controls ask of the platform, with their results.

  // Creates the view inside parent (opening flag set meanwhile, screen scale set, layout run, the
  // delegate's OnUIOpen called); returns the platform view, or null.
  virtual void* OpenWindow(void* parent) = 0;
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  // Resizes the view to the editor size times the draw scale.
  virtual void PlatformResize(bool parentHasResized) = 0;
  // Draws every control at once and presents the frame (after a resize, so both show together).
  virtual void DrawNow() {}
  virtual float GetPlatformWindowScale() const { return 1.f; }
  virtual bool PlatformSupportsMultiTouch() const { return false; }
  virtual void ActivateGLContext() {}
  virtual void DeactivateGLContext() {}
  // Pointer position in unscaled editor units.
  virtual void GetMouseLocation(float& x, float& y) const = 0;
  // With lock, a hidden cursor stays in place and drags still report movement.
  virtual void HideMouseCursor(bool hide = true, bool lock = true) = 0;
  virtual void MoveMouseCursor(float x, float y) = 0;
  // Returns the value to remember.
  virtual ECursor SetMouseCursor(ECursor cursor = ECursor::ARROW) = 0;
  // The answer comes back through SetControlValueAfterTextEdit.
  virtual void CreatePlatformTextEntry(int paramIdx, const IText& text, const IRECT& bounds, int length,
                                       const char* str) = 0;
  // Either answers at once (isAsync false; null when dismissed) or sets isAsync, returns null and
  // answers later through SetControlValueAfterPopupMenu.
  virtual IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRECT& bounds, bool& isAsync) = 0;
  virtual EMsgBoxResult ShowMessageBox(const char* str, const char* caption, EMsgBoxType type,
                                       IMsgBoxCompletionHandlerFunc completion = nullptr) = 0;
  // With a completion the answer arrives later through it; without, in fileName and path.
  virtual void PromptForFile(TextString& fileName, TextString& path, EFileAction action = EFileAction::Open,
                             const char* ext = "", IFileDialogCompletionHandlerFunc completion = nullptr) = 0;
  virtual void PromptForDirectory(TextString& dir, IFileDialogCompletionHandlerFunc completion = nullptr) = 0;
  // True when a colour chooser was shown.
  virtual bool PromptForColor(IColor& color, const char* str = "", IColorPickerHandlerFunc func = nullptr) = 0;
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
                       const char* errMsgOnFailure = nullptr) = 0;
  virtual bool RevealPathInExplorerOrFinder(TextString& path, bool select = false) = 0;
  // False, with str emptied, when the clipboard holds no text.
  virtual bool GetTextFromClipboard(TextString& str) = 0;
  virtual bool SetTextInClipboard(const char* str) = 0;
  virtual bool SetFilePathInClipboard(const char* path) = 0;
  virtual bool InitiateExternalFileDragDrop(const char* path, const IRECT& iconBounds) = 0;
  virtual void UpdateTooltips() = 0;
  virtual EUIAppearance GetUIAppearance() const = 0;
  virtual PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileNameOrResID) = 0;
  virtual PlatformFontPtr LoadPlatformFont(const char* fontID, void* pData, int dataSize) = 0;
  virtual PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fontName, ETextStyle style) = 0;
  virtual void CachePlatformFont(const char* fontID, const PlatformFontPtr& font) = 0;
  // Milliseconds of a monotonic clock; animations and the frame-time sample read it.
  virtual double GetTimeMs() const;

  //==============================================================================================
  // Drawing API. Coordinates are unscaled editor units; a null blend draws opaque.

  virtual void DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend = nullptr,
                        float thickness = 1.f);
  virtual void DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                            const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawRect(const IColor& color, const IRECT& bounds, const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawRoundRect(const IColor& color, const IRECT& bounds, float cornerRadius = 5.f,
                             const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawRoundRect(const IColor& color, const IRECT& bounds, float cRTL, float cRTR, float cRBL, float cRBR,
                             const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawConvexPolygon(const IColor& color, float* x, float* y, int nPoints, const IBlend* blend = nullptr,
                                 float thickness = 1.f);
  virtual void DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                       const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend = nullptr,
                          float thickness = 1.f);
  virtual void DrawEllipse(const IColor& color, const IRECT& bounds, const IBlend* blend = nullptr,
                           float thickness = 1.f);
  virtual void DrawEllipse(const IColor& color, float x, float y, float r1, float r2, float angle = 0.f,
                           const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2,
                              const IBlend* blend = nullptr, float thickness = 1.f, float dashLen = 2.f);
  virtual void DrawDottedRect(const IColor& color, const IRECT& bounds, const IBlend* blend = nullptr,
                              float thickness = 1.f, float dashLen = 2.f);
  virtual void DrawGrid(const IColor& color, const IRECT& bounds, float gridSizeH, float gridSizeV,
                        const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawData(const IColor& color, const IRECT& bounds, float* normYPoints, int nPoints,
                        float* normXPoints = nullptr, const IBlend* blend = nullptr, float thickness = 1.f,
                        const IColor* fillColor = nullptr);
  virtual void DrawRadialLine(const IColor& color, float cx, float cy, float angle, float rMin, float rMax,
                              const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawPoint(const IColor& color, float x, float y, const IBlend* blend = nullptr);
  void DrawVerticalLine(const IColor& color, const IRECT& bounds, float x, const IBlend* blend = nullptr,
                        float thickness = 1.f);
  void DrawHorizontalLine(const IColor& color, const IRECT& bounds, float y, const IBlend* blend = nullptr,
                          float thickness = 1.f);
  void DrawVerticalLine(const IColor& color, float xi, float yLo, float yHi, const IBlend* blend = nullptr,
                        float thickness = 1.f);
  void DrawHorizontalLine(const IColor& color, float yi, float xLo, float xHi, const IBlend* blend = nullptr,
                          float thickness = 1.f);
  void DrawLineAcross(const IColor& color, const IRECT& bounds, EDirection dir, float pos,
                      const IBlend* blend = nullptr, float thickness = 1.f);

  virtual void FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                            const IBlend* blend = nullptr);
  virtual void FillRect(const IColor& color, const IRECT& bounds, const IBlend* blend = nullptr);
  virtual void FillRoundRect(const IColor& color, const IRECT& bounds, float cornerRadius = 5.f,
                             const IBlend* blend = nullptr);
  virtual void FillRoundRect(const IColor& color, const IRECT& bounds, float cRTL, float cRTR, float cRBL, float cRBR,
                             const IBlend* blend = nullptr);
  virtual void FillConvexPolygon(const IColor& color, float* x, float* y, int nPoints, const IBlend* blend = nullptr);
  virtual void FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                       const IBlend* blend = nullptr);
  virtual void FillCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend = nullptr);
  virtual void FillEllipse(const IColor& color, const IRECT& bounds, const IBlend* blend = nullptr);
  virtual void FillEllipse(const IColor& color, float x, float y, float r1, float r2, float angle = 0.f,
                           const IBlend* blend = nullptr);

  void PathTriangle(float x1, float y1, float x2, float y2, float x3, float y3);
  void PathRect(const IRECT& bounds);
  void PathRoundRect(const IRECT& bounds, float cornerRadius = 5.f);
  void PathRoundRect(const IRECT& bounds, float cRTL, float cRTR, float cRBL, float cRBR);
  void PathConvexPolygon(float* x, float* y, int nPoints);
  void PathCircle(float cx, float cy, float r);
  void PathEllipse(const IRECT& bounds);
  void PathEllipse(float x, float y, float r1, float r2, float angle = 0.f);
  void PathRadialLine(float cx, float cy, float angle, float rMin, float rMax);

  // Nothing for a null or empty string.
  void DrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend = nullptr);
  void DrawText(const IText& text, const char* str, float x, float y, const IBlend* blend = nullptr);
  // The text's width; bounds become the text's extent. 0 for a null or empty string.
  float MeasureText(const IText& text, const char* str, IRECT& bounds) const;
  virtual void DrawMultiLineText(const IText& text, const char* str, IRECT& bounds, const IBlend* blend = nullptr);
  void DrawBitmapedText(const IBitmap& bitmap, const IRECT& bounds, IText& text, const IBlend* blend, const char* str,
                        bool vCenter = true, bool multiline = false, int charWidth = 6, int charHeight = 12,
                        int charOffset = 0);
  void CalculateTextRotation(const IText& text, const IRECT& bounds, IRECT& rect, double& tx, double& ty) const;
  void DoMeasureTextRotation(const IText& text, const IRECT& bounds, IRECT& rect) const;

  // Frames count from 1 and are clamped to 1..N.
  void DrawBitmap(const IBitmap& bitmap, const IRECT& bounds, int frame = 1, const IBlend* blend = nullptr);
  void DrawFittedBitmap(const IBitmap& bitmap, const IRECT& bounds, const IBlend* blend = nullptr);
  void DrawRotatedBitmap(const IBitmap& bitmap, float destCentreX, float destCentreY, double angle,
                         const IBlend* blend = nullptr);
  void DrawSVG(const ISVG& svg, const IRECT& bounds, const IBlend* blend = nullptr, const IColor* strokeColor = nullptr,
               const IColor* fillColor = nullptr);
  void DrawRotatedSVG(const ISVG& svg, float destCentreX, float destCentreY, float width, float height, double angle,
                      const IBlend* blend = nullptr);
  void DoDrawSVG(const ISVG& svg, const IBlend* blend = nullptr, const IColor* strokeColor = nullptr,
                 const IColor* fillColor = nullptr);

  // Each transform multiplies onto the right of the current one and is sent to the backend.
  void PathTransformReset(bool clearStates = false);
  void PathTransformSave();
  void PathTransformRestore();
  void PathTransformTranslate(float x, float y);
  void PathTransformScale(float x, float y);
  void PathTransformScale(float scale);
  void PathTransformRotate(float angle);
  void PathTransformSkew(float xAngle, float yAngle);
  void PathTransformMatrix(const IMatrix& matrix);
  const IMatrix& GetTransform() const { return mTransform; }
  int NTransformStates() const { return static_cast<int>(mTransformStates.size()); }

  //==============================================================================================
  // Layers and drop shadows

  void StartLayer(IControl* control, const IRECT& r, bool cacheable = false);
  // Null when no layer is active.
  ILayerPtr EndLayer();
  void ResumeLayer(ILayerPtr& layer);
  bool CheckLayer(const ILayerPtr& layer);
  void DrawLayer(const ILayerPtr& layer, const IBlend* blend = nullptr);
  void DrawFittedLayer(const ILayerPtr& layer, const IRECT& bounds, const IBlend* blend = nullptr);
  void DrawRotatedLayer(const ILayerPtr& layer, double angle);
  void ApplyLayerDropShadow(ILayerPtr& layer, const IShadow& shadow);
  // An empty rectangle stands for the whole drawing area.
  void PathClipRegion(const IRECT& r = IRECT());
  int NLayers() const { return static_cast<int>(mLayers.size()); }

  //==============================================================================================
  // Resources

  // The whole file; empty when it is not found or cannot be read.
  RawBitmapData LoadResource(const char* fileNameOrResID, const char* fileType);
  ISVG LoadSVG(const char* fileNameOrResID, const char* units = "px", float dpi = 72.f);
  ISVG LoadSVG(const char* name, const void* pData, int dataSize, const char* units = "px", float dpi = 72.f);
  // targetScale 0 means the screen scale rounded up.
  virtual IBitmap LoadBitmap(const char* fileNameOrResID, int nStates = 1, bool framesAreHorizontal = false,
                             int targetScale = 0);
  IBitmap LoadBitmap(const char* name, const void* pData, int dataSize, int nStates = 1,
                     bool framesAreHorizontal = false, int targetScale = 0);
  EResourceLocation SearchImageResource(const char* name, const char* type, TextString& result, int targetScale,
                                        int& sourceScale);
  APIBitmap* SearchBitmapInCache(const char* name, int targetScale, int& sourceScale);
  IBitmap ScaleBitmap(const IBitmap& inBitmap, const char* cacheName, int targetScale);
  IBitmap GetScaledBitmap(IBitmap& inBitmap);
  virtual void RetainBitmap(const IBitmap& bitmap, const char* cacheName);
  virtual void ReleaseBitmap(const IBitmap& bitmap);
  bool LoadFont(const char* fontID, const char* fileNameOrResID);
  bool LoadFont(const char* fontID, void* pData, int dataSize);
  bool LoadFont(const char* fontID, const char* fontName, ETextStyle style);

  //==============================================================================================
  // Backend operations: the primitives every drawing operation ends in.

  virtual void PathClear() = 0;
  virtual void PathClose() = 0;
  // Angles in degrees, 0 at twelve o'clock, clockwise; joins the previous point with a line.
  virtual void PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding = EWinding::CW) = 0;
  virtual void PathMoveTo(float x, float y) = 0;
  virtual void PathLineTo(float x, float y) = 0;
  // true: the last sub-path winds clockwise, which fills treat as a hole.
  virtual void PathSetWinding(bool /*clockwise*/) {}
  virtual void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) = 0;
  virtual void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) = 0;
  virtual void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options = IStrokeOptions(),
                          const IBlend* blend = nullptr) = 0;
  virtual void PathFill(const IPattern& pattern, const IFillOptions& options = IFillOptions(),
                        const IBlend* blend = nullptr) = 0;
  virtual void PathTransformSetMatrix(const IMatrix& m) = 0;
  virtual void SetClipRegion(const IRECT& r) = 0;
  // Draws the bitmap's pixels from source offset (srcX, srcY) into bounds.
  virtual void DrawBitmap(const IBitmap& bitmap, const IRECT& bounds, int srcX, int srcY,
                          const IBlend* blend = nullptr) = 0;
  virtual void DoDrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend = nullptr) = 0;
  // The text's width; bounds become its extent.
  virtual float DoMeasureText(const IText& text, const char* str, IRECT& bounds) const = 0;
  virtual IColor GetPoint(int x, int y) = 0;
  virtual void* GetDrawContext() = 0;
  virtual const char* GetDrawingAPIStr() = 0;
  virtual bool BitmapExtSupported(const char* ext) = 0;
  virtual APIBitmap* LoadAPIBitmap(const char* fileNameOrResID, int scale, EResourceLocation location,
                                   const char* ext) = 0;
  virtual APIBitmap* LoadAPIBitmap(const char* name, const void* pData, int dataSize, int scale) = 0;
  // Width and height in device pixels.
  virtual APIBitmap* CreateAPIBitmap(int width, int height, float scale, double drawScale, bool cacheable = false) = 0;
  virtual bool LoadAPIFont(const char* fontID, const PlatformFontPtr& font) = 0;
  virtual void GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data) = 0;
  virtual void ApplyShadowMask(ILayerPtr& layer, RawBitmapData& mask, const IShadow& shadow) = 0;
  // The byte of alpha within a pixel, and whether bitmaps are stored bottom row first.
  virtual int AlphaChannel() const = 0;
  virtual bool FlippedBitmap() const = 0;
  // The context's own versions of these do nothing.
  virtual void DrawFastDropShadow(const IRECT& /*innerBounds*/, const IRECT& /*outerBounds*/, float /*xyDrop*/ = 5.f,
                                  float /*roundness*/ = 0.f, float /*blur*/ = 10.f, const IBlend* /*blend*/ = nullptr)
  {}
  virtual void UpdateLayer() {}
  virtual void DrawResize() {}
  virtual void EndFrame() {}
  virtual void OnViewInitialized(void* /*pContext*/) {}
  virtual void OnViewDestroyed() {}
  // After a control drew into a region.
  virtual void CompleteRegion(const IRECT& /*r*/) {}
  // The backend's frame start calls this base part: the frame-time sample.
  virtual void BeginFrame();

protected:
  void Draw(const IRECT& region, float scale);
  void DrawControl(IControl* control, const IRECT& region, float scale);
  void PrepareRegion(const IRECT& r);
  void PushLayer(ILayer* layer);
  ILayer* PopLayer();
  void SetScreenScaleField(float scale) { mScreenScale = scale; }
  // The cached bitmap stored under exactly (name, scale), or null: the process-wide cache, or the
  // backend's own where it keeps its bitmaps.
  virtual APIBitmap* FindCachedBitmap(const char* name, int scale);
  // True when the backend's memory LoadAPIBitmap keeps what it decodes in a cache of its own.
  virtual bool KeepsDecodedBitmaps() const { return false; }
  // Bitmap scaling renders at another scale for a moment, with no resize or rescale.
  void SetDrawScaleField(float scale) { mDrawScale = scale; }
  // The platform records whether it hid the cursor, and where it stored it.
  void SetCursorHiddenState(bool hidden, bool locked, float x = -1.f, float y = -1.f)
  {
    mCursorHidden = hidden;
    mCursorLock = locked;
    mHiddenCursorX = x;
    mHiddenCursorY = y;
  }

  IMatrix mTransform;
  std::stack<IMatrix> mTransformStates;
  std::stack<ILayer*> mLayers;
  IRECT mClipRECT;

private:
  // ForAllControlsFunc's order, without a std::function (the frame check must not allocate).
  template <class F>
  void VisitAllControls(F&& f)
  {
    for (IControl* c : mControls)
      f(c);
    IControl* specials[] = {mPerfDisplay, mCornerResizer, mTextEntryControl, mPopupControl};
    for (IControl* c : specials)
    {
      if (c)
        f(c);
    }
    for (IBubbleControlBase* b : mBubbleControls)
      f(b);
  }

  // Attaching and removing
  void ConnectControl(IControl* control);
  // Forgets a control everywhere (capture, hover, owners, tag, children's parent).
  void ForgetControl(IControl* control);
  void ReleaseControl(IControl* control);
  // The process-wide bitmap and SVG caches count this context in and out.
  static void RetainResourceCaches();
  static void ReleaseResourceCaches();

  // Input
  void BeginEdits(IControl* control);
  void RefreshMouseOver(float x, float y, const IMouseMod& mod);
  IControl* CapturedControl(uint64_t touchId) const;
  bool HandleQwertyKey(const IKeyPress& key, bool isUp);
  void SendQwertyMidi(uint8_t status, int note, uint8_t velocity);

  IGEditorDelegate& mDelegate;
  bool mOpening = false;
  std::vector<IControl*> mControls;
  std::unordered_map<int, IControl*> mCtrlTags;
  IControl* mCornerResizer = nullptr;
  std::vector<IBubbleControlBase*> mBubbleControls;
  IPopupMenuControlBase* mPopupControl = nullptr;
  IFPSDisplayControlBase* mPerfDisplay = nullptr;
  ITextEntryControlBase* mTextEntryControl = nullptr;
  IPopupMenu mPromptPopupMenu;
  IRECT mPerfDisplayBounds;
  TextString mSharedResourcesSubPath;
  TextString mBundleID;
  TextString mAppGroupID;
  ECursor mCursorType = ECursor::ARROW;
  int mWidth;
  int mHeight;
  int mFPS;
  float mScreenScale = 1.f;
  float mDrawScale;
  std::vector<EGestureType> mRegisteredGestures;
  IRECTList mGestureRegions;
  std::unordered_map<int, IGestureRegionFunc> mGestureRegionFuncs;
  std::unordered_map<uint64_t, IControl*> mCapturedMap;
  IControl* mMouseOver = nullptr;
  IControl* mInTextEntry = nullptr;
  IControl* mInPopupMenu = nullptr;
  bool mIsContextMenu = false;
  int mTextEntryValIdx = -1;
  int mPopupMenuValIdx = -1;
  int mMouseOverIdx = -1;
  float mMouseDownX = -1.f;
  float mMouseDownY = -1.f;
  float mMinScale = kDefaultMinScale;
  float mMaxScale = kDefaultMaxScale;
  int mLastClickedParam = -1;
  bool mEnableMouseOver = false;
  bool mStrict = false;
  bool mEnableTooltips = false;
  bool mResizingInProcess = false;
  bool mEnableMultiTouch = false;
  bool mLayoutOnResize = false;
  EUIResizerMode mGUISizeMode = EUIResizerMode::Scale;
  double mPrevTimestamp = 0.;
  IKeyHandlerFunc mKeyHandlerFunc;
  IDisplayTickFunc mDisplayTickFunc;
  IUIAppearanceChangedFunc mAppearanceChangedFunc;
  bool mCursorHidden = false;
  bool mCursorLock = false;
  float mHiddenCursorX = -1.f;
  float mHiddenCursorY = -1.f;
  IMidiFunc mQwertyMidiFunc;
};

} // namespace plugkit::gfx
