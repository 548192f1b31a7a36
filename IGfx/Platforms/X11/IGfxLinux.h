// The Linux graphics context: the NanoVG backend drawing into an X11 child window of the host's
// window through GLX, with its frame timer and window events on the host's run loop.
#pragma once

#include <memory>

#include "IGfx/Drawing/IGfxNanoVG.h"
#include "IGfx/Platforms/X11/ExternalChooser.h"
#include "IGfx/Platforms/X11/X11EditorWindow.h"

namespace plugkit::gfx {

class ITextEntryControl;

// Main thread. The window's size in device pixels is ⌊screen scale × ⌊UI size × draw scale⌋⌋; the
// screen scale is the host's (the delegate's GetHostScreenScale when the window opens, then
// SetScreenScale), else the X server's Xft.dpi / 96. Frames are drawn only when a control is dirty; a window that lost its content is
// given the last frame again without drawing any control.
class IGfxLinux final : public IGfxNanoVG
{
public:
  IGfxLinux(IGEditorDelegate& dlg, int w, int h, int fps = 60, float scale = 1.f);
  ~IGfxLinux() override;

  // parent: the host's X11 window id. Null when there is no run loop or the window cannot open.
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void* GetWindow() override;
  void PlatformResize(bool parentHasResized) override;
  float GetPlatformWindowScale() const override { return GetScreenScale(); }
  void ActivateGLContext() override;
  void DeactivateGLContext() override;
  void DrawResize() override;
  // Draws every control and presents the frame before returning.
  void DrawNow() override;

  void GetMouseLocation(float& x, float& y) const override;
  void HideMouseCursor(bool hide = true, bool lock = true) override;
  void MoveMouseCursor(float x, float y) override;
  ECursor SetMouseCursor(ECursor cursor = ECursor::ARROW) override;
  void CreatePlatformTextEntry(int paramIdx, const IText& text, const IRECT& bounds, int length,
                               const char* str) override;
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRECT& bounds, bool& isAsync) override;
  // Shown through zenity or kdialog when either is installed. With a completion the answer arrives
  // later through it and the result is Null; without, only an OK box is shown and the result is the
  // answer that commits to nothing (also when no box can be shown).
  EMsgBoxResult ShowMessageBox(const char* str, const char* caption, EMsgBoxType type,
                               IMsgBoxCompletionHandlerFunc completion = nullptr) override;
  void PromptForFile(TextString& fileName, TextString& path, EFileAction action = EFileAction::Open,
                     const char* ext = "", IFileDialogCompletionHandlerFunc completion = nullptr) override;
  void PromptForDirectory(TextString& dir, IFileDialogCompletionHandlerFunc completion = nullptr) override;
  bool PromptForColor(IColor& color, const char* str = "", IColorPickerHandlerFunc func = nullptr) override;
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  bool RevealPathInExplorerOrFinder(TextString& path, bool select = false) override;
  bool GetTextFromClipboard(TextString& str) override;
  bool SetTextInClipboard(const char* str) override;
  bool SetFilePathInClipboard(const char* path) override;
  bool InitiateExternalFileDragDrop(const char* path, const IRECT& iconBounds) override;
  void UpdateTooltips() override {}
  EUIAppearance GetUIAppearance() const override { return EUIAppearance::Light; }
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override;
  PlatformFontPtr LoadPlatformFont(const char* fontID, void* pData, int dataSize) override;
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fontName, ETextStyle style) override;
  void CachePlatformFont(const char* fontID, const PlatformFontPtr& font) override;

  const char* GetPlatformAPIStr() const { return "X11"; }
  // The window's size in device pixels for the current size and scales.
  int PixelWidth() const;
  int PixelHeight() const;

  // What tests and benchmarks watch: frames drawn, and frames shown again after an Expose.
  int NFramesDrawn() const { return mFramesDrawn; }
  int NExposeBlits() const { return mExposeBlits; }
  X11EditorWindow& EditorWindow() { return mWindow; }

protected:
  bool PresentsChangedPixelsOnly() const override;

private:
  // The window's events, turned into the context's calls.
  class WindowListener;
  friend class WindowListener;

  void OnFrameTimer();
  void OnExpose();
  void OnWindowLost();
  // Copies the last drawn frame to the window and presents it; the context must be current.
  void PresentMainFramebuffer();
  // Keyboard focus follows the in-editor text entry and menus: held while one is open, given back after.
  void SyncKeyboardFocus();
  void OnKeyboardFocusLost();
  // The in-editor text entry while it is open, else null.
  ITextEntryControl* OpenTextEntry() const;
  void StartChooser(const ChooserRequest& request, IFileDialogCompletionHandlerFunc completion);

  std::unique_ptr<WindowListener> mListener;
  X11EditorWindow mWindow;
  std::unique_ptr<ExternalChooser> mChooser;
  std::unique_ptr<ExternalChooser> mMessageBox;
  int mGLDepth = 0;
  int mFramesDrawn = 0;
  int mExposeBlits = 0;
  bool mClosing = false;
  bool mFirstFramePending = false;
  bool mKeyboardWanted = false;
};

} // namespace plugkit::gfx
