#include "IGfx/Platforms/X11/IGfxLinux.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "IGfx/Controls/ITextEntryControl.h"
#include "IGfx/IGfxEditorDelegate.h"
#include "IGfx/Platforms/FontconfigHelpers.h"
#include "IGfx/Platforms/X11/ChooserColor.h"
#include "IGfx/Platforms/X11/OpenURL.h"
#include "IGfx/Platforms/X11/X11ScreenScale.h"
#include "IPlugin/IPluginThreadRole.h"

#include "nanovg.h"
#include "nanovg_gl_utils.h"

namespace plugkit::gfx {

namespace {

int Trunc(float v) { return static_cast<int>(v); }

IMouseInfo ToMouseInfo(const PlatformMouse& m)
{
  IMouseInfo info;
  info.x = m.x;
  info.y = m.y;
  info.dX = m.dX;
  info.dY = m.dY;
  info.ms.L = m.ms.L;
  info.ms.R = m.ms.R;
  info.ms.S = m.ms.S;
  info.ms.C = m.ms.C;
  info.ms.A = m.ms.A;
  return info;
}

} // namespace

class IGfxLinux::WindowListener final : public IX11WindowListener
{
public:
  explicit WindowListener(IGfxLinux& owner)
    : mOwner(owner)
  {}

  void OnFrameTimer() override { mOwner.OnFrameTimer(); }
  void OnExpose() override { mOwner.OnExpose(); }
  void OnWindowResized(int, int) override
  {
    // The host sized our window itself; the editor keeps its own size until the host says so
    // through the view (onSize), so only the drawing is refreshed.
    mOwner.SetAllControlsDirty();
  }
  void OnWindowLost() override { mOwner.OnWindowLost(); }

  void OnKeyboardFocusLost() override { mOwner.OnKeyboardFocusLost(); }

  void OnMouseDown(const PlatformMouse& m) override
  {
    mOwner.OnMouseDown({ToMouseInfo(m)});
    // A click that opened a text entry takes the keyboard before the next key arrives.
    mOwner.SyncKeyboardFocus();
  }
  void OnMouseUp(const PlatformMouse& m) override { mOwner.OnMouseUp({ToMouseInfo(m)}); }
  void OnMouseDrag(const PlatformMouse& m) override { mOwner.OnMouseDrag({ToMouseInfo(m)}); }
  void OnMouseDblClick(const PlatformMouse& m) override
  {
    const IMouseInfo info = ToMouseInfo(m);
    mOwner.OnMouseDblClick(info.x, info.y, info.ms);
  }
  void OnMouseOver(const PlatformMouse& m) override
  {
    const IMouseInfo info = ToMouseInfo(m);
    mOwner.OnMouseOver(info.x, info.y, info.ms);
  }
  void OnMouseOut() override { mOwner.OnMouseOut(); }
  void OnMouseWheel(const PlatformMouse& m, float delta) override
  {
    // Scrolling ends an open text entry without applying what was typed.
    if (auto* entry = mOwner.OpenTextEntry())
      entry->DismissEdit();
    const IMouseInfo info = ToMouseInfo(m);
    mOwner.OnMouseWheel(info.x, info.y, info.ms, delta);
  }
  bool OnKeyDown(float x, float y, const IKeyPress& key) override { return mOwner.OnKeyDown(x, y, key); }
  bool OnKeyUp(float x, float y, const IKeyPress& key) override { return mOwner.OnKeyUp(x, y, key); }
  void OnDrop(const std::string& path, float x, float y) override { mOwner.OnDrop(path.c_str(), x, y); }
  void OnDropMultiple(const std::vector<std::string>& paths, float x, float y) override
  {
    std::vector<const char*> list;
    list.reserve(paths.size());
    for (const std::string& p : paths)
      list.push_back(p.c_str());
    mOwner.OnDropMultiple(list, x, y);
  }
  bool MouseIsCaptured() const override { return mOwner.ControlIsCaptured(); }
  void OnMouseEntered() override { mOwner.SetMouseCursor(mOwner.GetCursor()); }

private:
  IGfxLinux& mOwner;
};

IGfxLinux::IGfxLinux(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
  : IGfxNanoVG(dlg, w, h, fps, scale)
  , mListener(std::make_unique<WindowListener>(*this))
  , mWindow(*mListener)
{
  StaticStorage<FontconfigFontDescriptor>::Accessor(FontconfigHelpers::DescriptorCache()).Retain();
}

IGfxLinux::~IGfxLinux()
{
  // Every editor of the process shares the cache; the last one to go empties it.
  StaticStorage<FontconfigFontDescriptor>::Accessor cache(FontconfigHelpers::DescriptorCache());
  cache.Release();
  CloseWindow();
}

int IGfxLinux::PixelWidth() const { return Trunc(GetScreenScale() * static_cast<float>(WindowWidth())); }

int IGfxLinux::PixelHeight() const { return Trunc(GetScreenScale() * static_cast<float>(WindowHeight())); }

void* IGfxLinux::OpenWindow(void* parent)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  CloseWindow();
  IGEditorDelegate& dlg = *GetDelegate();
  const bool hostGaveScale = dlg.GetHostScreenScale() > 0.f;
  float screenScale = hostGaveScale ? dlg.GetHostScreenScale() : 1.f;
  if (!mWindow.Open(reinterpret_cast<unsigned long>(parent), Trunc(screenScale * static_cast<float>(WindowWidth())),
                    Trunc(screenScale * static_cast<float>(WindowHeight())), dlg.GetHostRunLoop()))
    return nullptr;
  if (!hostGaveScale)
  {
    // Without a factor from the host, the desktop's own setting (the one its toolkits follow).
    screenScale = ScreenScaleOfDisplay(mWindow.Window().GetDisplay());
    mWindow.Window().Resize(Trunc(screenScale * static_cast<float>(WindowWidth())),
                            Trunc(screenScale * static_cast<float>(WindowHeight())));
  }
  mChooser = std::make_unique<ExternalChooser>(mWindow.RunLoop());
  mMessageBox = std::make_unique<ExternalChooser>(mWindow.RunLoop());

  SetOpening(true);
  ActivateGLContext();
  OnViewInitialized(nullptr);
  SetScreenScale(screenScale);
  dlg.LayoutUI(this);
  // X11 has no menus or text fields of its own: the editor's stand in unless the layout attached its own.
  AttachPopupMenuControl();
  AttachTextEntryControl();
  UpdateTooltips();
  dlg.OnUIOpen();
  DeactivateGLContext();
  SetOpening(false);
  SetAllControlsDirty();
  mFirstFramePending = true;
  return GetWindow();
}

void IGfxLinux::CloseWindow()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mClosing || !mWindow.IsOpen())
    return;
  mClosing = true;
  mChooser.reset();
  mMessageBox.reset();
  mWindow.ReturnKeyboard();
  mKeyboardWanted = false;
  ActivateGLContext();
  OnViewDestroyed();
  mGLDepth = 1;
  DeactivateGLContext();
  mWindow.Close();
  mClosing = false;
}

void* IGfxLinux::GetWindow()
{
  return mWindow.IsOpen() ? reinterpret_cast<void*>(static_cast<uintptr_t>(mWindow.Window().GetWindow())) : nullptr;
}

void IGfxLinux::PlatformResize(bool)
{
  mWindow.SetScale(GetDrawScale(), GetScreenScale());
  if (!mWindow.IsOpen())
    return;
  if (PixelWidth() != mWindow.Window().Width() || PixelHeight() != mWindow.Window().Height())
    mWindow.Window().Resize(PixelWidth(), PixelHeight());
  UpdateTooltips();
}

void IGfxLinux::ActivateGLContext()
{
  // Nested: the backend brackets its own GL work, sometimes inside ours.
  if (mGLDepth++ == 0 && mWindow.IsOpen())
    mWindow.Window().ActivateGLContext();
}

void IGfxLinux::DeactivateGLContext()
{
  if (mGLDepth > 0 && --mGLDepth == 0 && mWindow.IsOpen())
    mWindow.Window().DeactivateGLContext();
}

void IGfxLinux::DrawResize()
{
  if (mWindow.IsOpen())
    IGfxNanoVG::DrawResize();
}

void IGfxLinux::DrawNow()
{
  if (!mWindow.IsOpen())
    return;
  // A resize asked for just before must reach the server first; the new frame follows at once
  // (X has no way to show both together, so one frame may still show the old size).
  XSync(mWindow.Window().GetDisplay(), False);
  SetAllControlsDirty();
  OnFrameTimer();
}

void IGfxLinux::OnFrameTimer()
{
  SyncKeyboardFocus();
  IRECTList rects;
  if (!IsDirty(rects))
  {
    // An editor without controls still shows its (empty) picture once.
    if (std::exchange(mFirstFramePending, false) && GetMainFramebuffer())
    {
      ActivateGLContext();
      PresentMainFramebuffer();
      DeactivateGLContext();
      ++mFramesDrawn;
    }
    return;
  }
  mFirstFramePending = false;
  SetAllControlsClean();
  ActivateGLContext();
  struct Release
  {
    IGfxLinux& g;
    ~Release() { g.DeactivateGLContext(); }
  } release{*this};
  Draw(rects);
  // A frame of a few controls reaches the window as their pixels alone, not as the whole picture.
  const int regions = PresentsChangedPixelsOnly() ? NLastFrameRegions() : 0;
  for (int i = 0; i < regions; ++i)
  {
    int x = 0, y = 0, w = 0, h = 0;
    LastFrameRegion(i, x, y, w, h);
    mWindow.Window().PresentRegion(x, y, w, h);
  }
  if (regions == 0)
    mWindow.Window().SwapBuffers();
  ++mFramesDrawn;
}

bool IGfxLinux::PresentsChangedPixelsOnly() const { return mWindow.IsOpen() && mWindow.Window().CanPresentRegions(); }

void IGfxLinux::OnExpose()
{
  if (!GetMainFramebuffer())
    return;
  ActivateGLContext();
  PresentMainFramebuffer();
  DeactivateGLContext();
  ++mExposeBlits;
}

void IGfxLinux::PresentMainFramebuffer()
{
  const int w = PixelWidth(), h = PixelHeight();
  glBindFramebuffer(GL_READ_FRAMEBUFFER, GetMainFramebuffer()->fbo);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glViewport(0, 0, w, h);
  glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  mWindow.Window().SwapBuffers();
}

void IGfxLinux::OnWindowLost()
{
  // The host destroyed our window (or an ancestor): nothing is left to draw into. The context itself
  // stays until the host removes the view, as it must.
  CloseWindow();
}

void IGfxLinux::SyncKeyboardFocus()
{
  // The text entry needs the keys, and an open menu takes them as a native menu does. Taken when
  // the need begins and given back when it ends, so a menu that lost the focus to the host does not
  // take it back.
  const IPopupMenuControlBase* menu = GetPopupMenuControl();
  const bool wanted =
    (GetControlInTextEntry() != nullptr && GetTextEntryControl() != nullptr) || (menu && menu->GetExpanded());
  if (wanted == std::exchange(mKeyboardWanted, wanted))
    return;
  if (wanted)
    mWindow.TakeKeyboard();
  else
    mWindow.ReturnKeyboard();
}

ITextEntryControl* IGfxLinux::OpenTextEntry() const
{
  auto* entry = dynamic_cast<ITextEntryControl*>(GetTextEntryControl());
  return entry && entry->GetEditing() ? entry : nullptr;
}

void IGfxLinux::OnKeyboardFocusLost()
{
  // Focus moving elsewhere ends the entry the way Return does; a click on a field opens a new one,
  // which takes the keyboard again.
  if (ITextEntryControl* entry = OpenTextEntry())
    entry->CommitEdit();
  SyncKeyboardFocus();
}

void IGfxLinux::GetMouseLocation(float& x, float& y) const
{
  if (!const_cast<X11EditorWindow&>(mWindow).Input().GetMouseLocation(x, y))
    x = y = -1.f;
}

void IGfxLinux::HideMouseCursor(bool hide, bool lock)
{
  if (hide == CursorIsHidden())
    return;
  float x = -1.f, y = -1.f;
  GetMouseLocation(x, y);
  mWindow.HideMouseCursor(hide, lock);
  SetCursorHiddenState(hide, hide && lock, x, y);
}

void IGfxLinux::MoveMouseCursor(float x, float y) { mWindow.Input().MoveMouseCursor(x, y); }

ECursor IGfxLinux::SetMouseCursor(ECursor cursor)
{
  return static_cast<ECursor>(mWindow.SetMouseCursor(static_cast<int>(cursor)));
}

void IGfxLinux::CreatePlatformTextEntry(int, const IText&, const IRECT&, int, const char*)
{
  // Only reached when no in-editor text entry is attached: the prompt ends as cancelled.
  ClearControlInTextEntry();
}

IPopupMenu* IGfxLinux::CreatePlatformPopupMenu(IPopupMenu&, const IRECT&, bool& isAsync)
{
  // Likewise menus: only reached without the in-editor menu, and the prompt ends as dismissed.
  isAsync = false;
  return nullptr;
}

EMsgBoxResult IGfxLinux::ShowMessageBox(const char* str, const char* caption, EMsgBoxType type,
                                        IMsgBoxCompletionHandlerFunc completion)
{
  ReleaseMouseCapture();
  // The safe answer, so nothing destructive follows a box nobody saw or answered.
  EMsgBoxResult unanswered = EMsgBoxResult::Cancel;
  switch (type)
  {
  case EMsgBoxType::OK: unanswered = EMsgBoxResult::OK; break;
  case EMsgBoxType::YesNo: unanswered = EMsgBoxResult::No; break;
  case EMsgBoxType::AbortRetryIgnore: unanswered = EMsgBoxResult::Abort; break;
  default: break;
  }
  // The box is another program and the main thread never waits for it: its answer can only come
  // through the completion. Without one, only a plain notice is worth showing.
  const bool show = mMessageBox && !mMessageBox->IsOpen() && !ExternalChooser::FindProgram().empty() &&
                    (completion || type == EMsgBoxType::OK);
  if (show)
  {
    ChooserRequest request;
    request.kind = EChooserKind::Message;
    request.title = caption ? caption : "";
    request.text = str ? str : "";
    switch (type)
    {
    case EMsgBoxType::OKCancel: request.buttons = EMessageButtons::OKCancel; break;
    case EMsgBoxType::YesNoCancel: request.buttons = EMessageButtons::YesNoCancel; break;
    case EMsgBoxType::YesNo: request.buttons = EMessageButtons::YesNo; break;
    case EMsgBoxType::RetryCancel: request.buttons = EMessageButtons::RetryCancel; break;
    default: request.buttons = EMessageButtons::OK; break;
    }
    auto answered = [type, unanswered, completion](const ChooserAnswer& answer) {
      if (!completion)
        return;
      const bool first = answer.button == 0, second = answer.button == 1;
      switch (type)
      {
      case EMsgBoxType::OK: completion(EMsgBoxResult::OK); break;
      case EMsgBoxType::OKCancel: completion(first ? EMsgBoxResult::OK : EMsgBoxResult::Cancel); break;
      case EMsgBoxType::YesNoCancel:
        completion(first ? EMsgBoxResult::Yes : second ? EMsgBoxResult::No : EMsgBoxResult::Cancel);
        break;
      case EMsgBoxType::YesNo: completion(first ? EMsgBoxResult::Yes : EMsgBoxResult::No); break;
      case EMsgBoxType::RetryCancel: completion(first ? EMsgBoxResult::Retry : EMsgBoxResult::Cancel); break;
      default: completion(unanswered); break;
      }
    };
    // With a completion the answer is still to come: Null says so.
    if (mMessageBox->Start(request, answered))
      return completion ? EMsgBoxResult::Null : unanswered;
  }
  if (completion)
    completion(unanswered);
  return unanswered;
}

void IGfxLinux::StartChooser(const ChooserRequest& request, IFileDialogCompletionHandlerFunc completion)
{
  const bool directory = request.kind == EChooserKind::Directory;
  auto deliver = [completion, directory](const ChooserAnswer& answer) {
    TextString fileName, path;
    if (!answer.cancelled)
    {
      if (directory)
        path.Set(answer.path.c_str());
      else
      {
        fileName.Set(answer.path.c_str());
        path.Set(std::filesystem::path(answer.path).parent_path().c_str());
      }
    }
    if (completion)
      completion(fileName, path);
  };
  if (!mChooser || !mChooser->Start(request, deliver))
    deliver(ChooserAnswer{});
}

void IGfxLinux::PromptForFile(TextString& fileName, TextString& path, EFileAction action, const char* ext,
                              IFileDialogCompletionHandlerFunc completion)
{
  ReleaseMouseCapture();
  ChooserRequest request;
  request.kind = action == EFileAction::Save ? EChooserKind::SaveFile : EChooserKind::OpenFile;
  request.directory = path.Get();
  request.fileName = fileName.Get();
  request.extensions = ext ? ext : "";
  // The answer can only come later: a caller without a completion sees a cancelled prompt.
  fileName.Set("");
  path.Set("");
  StartChooser(request, std::move(completion));
}

void IGfxLinux::PromptForDirectory(TextString& dir, IFileDialogCompletionHandlerFunc completion)
{
  ReleaseMouseCapture();
  ChooserRequest request;
  request.kind = EChooserKind::Directory;
  request.directory = dir.Get();
  dir.Set("");
  StartChooser(request, std::move(completion));
}

bool IGfxLinux::PromptForColor(IColor& color, const char* str, IColorPickerHandlerFunc func)
{
  if (!mChooser || mChooser->IsOpen())
    return false;
  ReleaseMouseCapture();
  ChooserRequest request;
  request.kind = EChooserKind::Color;
  request.title = str ? str : "";
  request.color = ChooserColorText(color);
  // The pick arrives later, through func; a cancelled or unreadable answer reports nothing.
  return mChooser->Start(request, [func](const ChooserAnswer& answer) {
    IColor picked;
    if (!answer.cancelled && func && ParseChooserColor(answer.path, picked))
      func(picked);
  });
}

bool IGfxLinux::OpenURL(const char* url, const char*, const char*, const char*)
{
  return url && OpenURLExternally(url);
}

bool IGfxLinux::RevealPathInExplorerOrFinder(TextString& path, bool select)
{
  return RevealPathExternally(path.Get(), select);
}

bool IGfxLinux::GetTextFromClipboard(TextString& str)
{
  std::string text;
  const bool ok = mWindow.IsOpen() && mWindow.Clipboard().GetText(text);
  str.Set(ok ? text.c_str() : "");
  return ok;
}

bool IGfxLinux::SetTextInClipboard(const char* str)
{
  return mWindow.IsOpen() && mWindow.Clipboard().SetText(str ? str : "");
}

bool IGfxLinux::SetFilePathInClipboard(const char* path) { return SetTextInClipboard(path); }

bool IGfxLinux::InitiateExternalFileDragDrop(const char*, const IRECT&) { return false; }

PlatformFontPtr IGfxLinux::LoadPlatformFont(const char* fontID, const char* fileNameOrResID)
{
  return FontconfigHelpers::LoadPlatformFont(fontID, fileNameOrResID, GetBundleID(), GetSharedResourcesSubPath());
}

PlatformFontPtr IGfxLinux::LoadPlatformFont(const char* fontID, void* pData, int dataSize)
{
  return FontconfigHelpers::LoadPlatformFont(fontID, pData, dataSize);
}

PlatformFontPtr IGfxLinux::LoadPlatformFont(const char* fontID, const char* fontName, ETextStyle style)
{
  return FontconfigHelpers::LoadPlatformFont(fontID, fontName, style);
}

void IGfxLinux::CachePlatformFont(const char* fontID, const PlatformFontPtr& font)
{
  if (font)
    FontconfigHelpers::CachePlatformFont(fontID, *font, FontconfigHelpers::DescriptorCache());
}

std::unique_ptr<IGfx> MakeGraphics(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
{
  return std::make_unique<IGfxLinux>(dlg, w, h, fps, scale);
}

} // namespace plugkit::gfx
