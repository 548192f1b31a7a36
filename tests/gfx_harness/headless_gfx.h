// A graphics context without a window: primitives go to a DrawRecorder, platform operations to a
// HeadlessPlatform. Both belong to the test, so they outlive an editor's close and reopen.
#pragma once

#include "IGfx/IGfx.h"
#include "tests/gfx_harness/draw_recorder.h"
#include "tests/gfx_harness/headless_platform.h"

namespace plugkit::gfx::test {

class HeadlessGfx : public IGfx
{
public:
  HeadlessGfx(IGEditorDelegate& dlg, HeadlessPlatform& platform, DrawRecorder& recorder, int w, int h, int fps = 60,
              float scale = 1.f);
  ~HeadlessGfx() override;

  HeadlessPlatform& Platform() { return mPlatform; }
  DrawRecorder& Recorder() { return mRecorder; }
  // The frame a platform view would draw on a timer tick; true when one was drawn.
  bool Tick();
  // Completes a menu the platform answered asynchronously; false when none waits.
  bool CompletePendingPopup();

  //---Platform
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void* GetWindow() override { return mWindowOpen ? this : nullptr; }
  void PlatformResize(bool parentHasResized) override;
  float GetPlatformWindowScale() const override { return mPlatform.windowScale; }
  void GetMouseLocation(float& x, float& y) const override;
  void HideMouseCursor(bool hide, bool lock) override;
  void MoveMouseCursor(float x, float y) override;
  ECursor SetMouseCursor(ECursor cursor) override;
  void CreatePlatformTextEntry(int paramIdx, const IText& text, const IRECT& bounds, int length,
                               const char* str) override;
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRECT& bounds, bool& isAsync) override;
  EMsgBoxResult ShowMessageBox(const char* str, const char* caption, EMsgBoxType type,
                               IMsgBoxCompletionHandlerFunc completion) override;
  void PromptForFile(TextString& fileName, TextString& path, EFileAction action, const char* ext,
                     IFileDialogCompletionHandlerFunc completion) override;
  void PromptForDirectory(TextString& dir, IFileDialogCompletionHandlerFunc completion) override;
  bool PromptForColor(IColor& color, const char* str, IColorPickerHandlerFunc func) override;
  bool OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
               const char* errMsgOnFailure) override;
  bool RevealPathInExplorerOrFinder(TextString& path, bool select) override;
  bool GetTextFromClipboard(TextString& str) override;
  bool SetTextInClipboard(const char* str) override;
  bool SetFilePathInClipboard(const char* path) override;
  bool InitiateExternalFileDragDrop(const char* path, const IRECT& iconBounds) override;
  void UpdateTooltips() override { ++mPlatform.tooltipUpdates; }
  EUIAppearance GetUIAppearance() const override { return mPlatform.appearance; }
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override;
  PlatformFontPtr LoadPlatformFont(const char* fontID, void* pData, int dataSize) override;
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fontName, ETextStyle style) override;
  void CachePlatformFont(const char* fontID, const PlatformFontPtr& font) override;
  double GetTimeMs() const override { return mPlatform.nowMs; }

  //---Recording backend
  void PathClear() override;
  void PathClose() override;
  void PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding) override;
  void PathMoveTo(float x, float y) override;
  void PathLineTo(float x, float y) override;
  void PathSetWinding(bool clockwise) override;
  void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) override;
  void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) override;
  void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options,
                  const IBlend* blend) override;
  void PathFill(const IPattern& pattern, const IFillOptions& options, const IBlend* blend) override;
  void PathTransformSetMatrix(const IMatrix& m) override;
  void SetClipRegion(const IRECT& r) override;
  void DrawBitmap(const IBitmap& bitmap, const IRECT& bounds, int srcX, int srcY, const IBlend* blend) override;
  void DoDrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend) override;
  // A fixed-pitch stand-in: half the font size per byte, one font size high.
  float DoMeasureText(const IText& text, const char* str, IRECT& bounds) const override;
  IColor GetPoint(int, int) override { return COLOR_BLACK; }
  void* GetDrawContext() override { return nullptr; }
  const char* GetDrawingAPIStr() override { return "Recording"; }
  bool BitmapExtSupported(const char* ext) override;
  APIBitmap* LoadAPIBitmap(const char*, int, EResourceLocation, const char*) override { return nullptr; }
  APIBitmap* LoadAPIBitmap(const char*, const void*, int, int) override { return nullptr; }
  APIBitmap* CreateAPIBitmap(int, int, float, double, bool) override { return nullptr; }
  bool LoadAPIFont(const char*, const PlatformFontPtr&) override { return false; }
  void GetLayerBitmapData(const ILayerPtr&, RawBitmapData& data) override { data.clear(); }
  void ApplyShadowMask(ILayerPtr&, RawBitmapData&, const IShadow&) override {}
  int AlphaChannel() const override { return 3; }
  bool FlippedBitmap() const override { return false; }
  void UpdateLayer() override;
  void DrawResize() override;
  void EndFrame() override;
  void CompleteRegion(const IRECT& r) override;
  void BeginFrame() override;

private:
  void Record(const char* op, std::vector<float> args = {}, const IRECT& rect = IRECT(), const IBlend* blend = nullptr);

  HeadlessPlatform& mPlatform;
  DrawRecorder& mRecorder;
  bool mWindowOpen = false;
  IPopupMenu* mPendingPopup = nullptr;
};

} // namespace plugkit::gfx::test
