#include "IPlugin/VST3/IPluginVST3View.h"

#include <cstring>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginHosts.h"
#include "IPlugin/IPluginThreadRole.h"
#include "IPlugin/VST3/IPluginVST3.h"
#include "IPlugin/VST3/IPluginVST3_KeyTranslation.h"
#include "IPlugin/VST3/IPluginVST3_RunLoop.h"

using namespace Steinberg;

namespace plugkit {

namespace {

constexpr int16 kSpaceKeyCode = 7;

int Trunc(float v) { return static_cast<int>(v); }

} // namespace

IPluginVST3View::IPluginVST3View(IPluginVST3& owner)
  : mOwner(owner)
{
  mOwner.addRef();
}

IPluginVST3View::~IPluginVST3View()
{
  // A host that releases the view without removing it first still gets its window back.
  if (isAttached() && mOwner.HasUI())
  {
    mOwner.CloseWindow();
    mOwner.OnViewRemoved(*this);
  }
  mOwner.OnViewDestroyed(this);
  mOwner.release();
}

tresult PLUGIN_API IPluginVST3View::isPlatformTypeSupported(FIDString type)
{
  return mOwner.HasUI() && type && std::strcmp(type, kPlatformType) == 0 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPluginVST3View::attached(void* parent, FIDString type)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (isPlatformTypeSupported(type) != kResultTrue || !parent)
    return kResultFalse;
  mOwner.OnViewAttached(*this);
  if (!mOwner.OpenWindow(parent))
  {
    mOwner.OnViewRemoved(*this);
    return kResultFalse;
  }
  systemWindow = parent;
  // The host asked for our size before it knew the draw scale the editor chose.
  ResizeHostFrame();
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3View::removed()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mOwner.HasUI())
    mOwner.CloseWindow();
  mOwner.OnViewRemoved(*this);
  return CPluginView::removed();
}

tresult IPluginVST3View::Key(bool down, char16 key, int16 keyCode, int16 modifiers)
{
  IKeyPress press;
  if (mOwner.GetHost() == kHostReaper)
  {
    // That host sends every key here even while its own windows have focus: take only space.
    if (keyCode != kSpaceKeyCode)
      return kResultFalse;
    press = TranslateKeyMessage(0, kSpaceKeyCode, modifiers);
  }
  else
    press = TranslateKeyMessage(key, keyCode, modifiers);
  const bool handled = down ? mOwner.OnKeyDown(press) : mOwner.OnKeyUp(press);
  return handled ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPluginVST3View::onKeyDown(char16 key, int16 keyCode, int16 modifiers)
{
  return Key(true, key, keyCode, modifiers);
}

tresult PLUGIN_API IPluginVST3View::onKeyUp(char16 key, int16 keyCode, int16 modifiers)
{
  return Key(false, key, keyCode, modifiers);
}

void IPluginVST3View::CurrentSize(int& width, int& height) const
{
  if (const gfx::IGfx* ui = mOwner.GetUI())
  {
    width = Trunc(ui->GetScreenScale() * static_cast<float>(ui->WindowWidth()));
    height = Trunc(ui->GetScreenScale() * static_cast<float>(ui->WindowHeight()));
  }
  else if (mOwner.GetLastWidth() > 0 && mOwner.GetLastScale() > 0.f)
  {
    width = Trunc(mScreenScale *
                  static_cast<float>(Trunc(static_cast<float>(mOwner.GetLastWidth()) * mOwner.GetLastScale())));
    height = Trunc(mScreenScale *
                   static_cast<float>(Trunc(static_cast<float>(mOwner.GetLastHeight()) * mOwner.GetLastScale())));
  }
  else
  {
    width = Trunc(mScreenScale * static_cast<float>(mOwner.GetEditorWidth()));
    height = Trunc(mScreenScale * static_cast<float>(mOwner.GetEditorHeight()));
  }
}

tresult PLUGIN_API IPluginVST3View::getSize(ViewRect* size)
{
  if (!size || !mOwner.HasUI())
    return kResultFalse;
  int width = 0, height = 0;
  CurrentSize(width, height);
  *size = ViewRect(0, 0, width, height);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3View::onSize(ViewRect* newSize)
{
  if (!newSize || !mOwner.HasUI())
    return kResultFalse;
  int width = 0, height = 0;
  CurrentSize(width, height);
  // A host confirming the size we have is no resize, and needs no permission.
  if (newSize->getWidth() == width && newSize->getHeight() == height)
  {
    rect = *newSize;
    return kResultOk;
  }
  if (!mOwner.GetHostResizeEnabled())
    return kResultFalse;
  rect = *newSize;
  mOwner.OnParentWindowResize(newSize->getWidth(), newSize->getHeight());
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3View::canResize()
{
  return mOwner.HasUI() && mOwner.GetHostResizeEnabled() ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPluginVST3View::checkSizeConstraint(ViewRect* r)
{
  if (!r)
    return kInvalidArgument;
  int width = r->getWidth(), height = r->getHeight();
  if (!mOwner.ConstrainEditorResize(width, height))
  {
    r->right = r->left + width;
    r->bottom = r->top + height;
  }
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3View::setFrame(IPlugFrame* frame)
{
  mFrameRunLoop = frame ? IPluginVST3RunLoop::QueryRunLoop(frame) : nullptr;
  return CPluginView::setFrame(frame);
}

tresult PLUGIN_API IPluginVST3View::setContentScaleFactor(ScaleFactor factor)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!(factor > 0.f) || factor > 20.f)
    return kResultFalse;
  mHostGaveScale = true;
  mScreenScale = factor;
  // The open editor may run at a scale it found itself; the host's factor replaces it.
  if (gfx::IGfx* ui = mOwner.GetUI(); ui && ui->WindowIsOpen() && ui->GetScreenScale() != factor)
  {
    ui->SetScreenScale(factor);
    ResizeHostFrame();
  }
  return kResultOk;
}

bool IPluginVST3View::ResizeHostFrame()
{
  if (!plugFrame)
    return false;
  int width = 0, height = 0;
  CurrentSize(width, height);
  if (width == rect.getWidth() && height == rect.getHeight())
    return true;
  ViewRect wanted(0, 0, width, height);
  rect = wanted;
  return plugFrame->resizeView(this, &wanted) == kResultTrue;
}

} // namespace plugkit
