#include "IGfx/IGfxEditorDelegate.h"

#include <cmath>
#include <limits>

#include "IGfx/IControl.h"
#include "IGfx/IGfx.h"
#include "IPlugin/IPluginThreadRole.h"

namespace plugkit::gfx {

namespace {

constexpr double kNoPendingValue = std::numeric_limits<double>::quiet_NaN();

} // namespace

IGEditorDelegate::IGEditorDelegate(int nParams)
  : mPendingValues(std::make_unique<std::atomic<double>[]>(static_cast<size_t>(nParams > 0 ? nParams : 0)))
{
  CreateParams(nParams);
  for (int i = 0; i < NParams(); ++i)
    mPendingValues[static_cast<size_t>(i)].store(kNoPendingValue, std::memory_order_relaxed);
}

IGEditorDelegate::~IGEditorDelegate() { mGraphics.reset(); }

std::unique_ptr<IGfx> IGEditorDelegate::CreateGraphics() { return mMakeGraphicsFunc ? mMakeGraphicsFunc() : nullptr; }

void IGEditorDelegate::LayoutUI(IGfx* graphics)
{
  if (mLayoutFunc)
    mLayoutFunc(graphics);
}

void* IGEditorDelegate::OpenWindow(void* parent)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mGraphics)
  {
    mGraphics = CreateGraphics();
    if (mGraphics && mLastWidth != 0 && mLastHeight != 0 && mLastScale != 0.f)
      mGraphics->Resize(mLastWidth, mLastHeight, mLastScale, true);
  }
  if (!mGraphics)
    return nullptr;
  mOpening = true;
  void* view = mGraphics->OpenWindow(parent);
  mOpening = false;
  return view;
}

void IGEditorDelegate::CloseWindow()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  // A host may close from inside an open, or twice in a row.
  if (mOpening || mClosing || !mGraphics)
    return;
  mClosing = true;
  OnUIClose();
  mLastWidth = mGraphics->Width();
  mLastHeight = mGraphics->Height();
  mLastScale = mGraphics->GetDrawScale();
  mGraphics->CloseWindow();
  mGraphics.reset();
  mClosing = false;
}

void IGEditorDelegate::OnParentWindowResize(int width, int height)
{
  if (!mGraphics)
    return;
  // A host confirming the size it was asked for changes nothing.
  const float scale = mGraphics->GetPlatformWindowScale() * mGraphics->GetDrawScale();
  mGraphics->Resize(static_cast<int>(static_cast<float>(width) / scale),
                    static_cast<int>(static_cast<float>(height) / scale), mGraphics->GetDrawScale(), false);
}

void IGEditorDelegate::SetScreenScale(float scale)
{
  if (mGraphics)
    mGraphics->SetScreenScale(scale);
}

bool IGEditorDelegate::OnKeyDown(const IKeyPress& key)
{
  if (!mGraphics)
    return false;
  float x = 0.f;
  float y = 0.f;
  mGraphics->GetMouseLocation(x, y);
  return mGraphics->OnKeyDown(x, y, key);
}

bool IGEditorDelegate::OnKeyUp(const IKeyPress& key)
{
  if (!mGraphics)
    return false;
  float x = 0.f;
  float y = 0.f;
  mGraphics->GetMouseLocation(x, y);
  return mGraphics->OnKeyUp(x, y, key);
}

void IGEditorDelegate::SendControlValueFromDelegate(int ctrlTag, double normalizedValue)
{
  if (!mGraphics)
    return;
  if (IControl* control = mGraphics->GetControlWithTag(ctrlTag))
    control->SetValueFromDelegate(normalizedValue, 0);
}

void IGEditorDelegate::SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* pData)
{
  if (!mGraphics)
    return;
  if (IControl* control = mGraphics->GetControlWithTag(ctrlTag))
    control->OnMsgFromDelegate(msgTag, dataSize, pData);
}

void IGEditorDelegate::SendMidiMsgFromDelegate(const IMidiMsg& msg)
{
  if (mGraphics)
  {
    mGraphics->ForStandardControlsFunc([&msg](IControl* c) {
      if (c->GetWantsMidi())
        c->OnMidi(msg);
    });
  }
  OnMidiMsgUI(msg);
}

void IGEditorDelegate::SendParameterValueFromDelegate(int paramIdx, double value, bool normalized)
{
  const IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  const double normalizedValue = normalized ? value : param->ToNormalized(value);
  if (IsAudioThread())
  {
    // The editor may be built or torn down meanwhile: only post the value for the main thread.
    mPendingValues[static_cast<size_t>(paramIdx)].store(normalizedValue, std::memory_order_release);
    mHasPendingValues.store(true, std::memory_order_release);
  }
  else
  {
    // A newer value supersedes one still waiting from the audio thread.
    mPendingValues[static_cast<size_t>(paramIdx)].store(kNoPendingValue, std::memory_order_relaxed);
    if (mGraphics)
      SendNormalizedValueToControls(paramIdx, normalizedValue);
  }
  OnParamChangeUI(paramIdx, EParamSource::kDelegate);
}

void IGEditorDelegate::ApplyPendingParameterValues()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mHasPendingValues.exchange(false, std::memory_order_acq_rel))
    return;
  for (int i = 0; i < NParams(); ++i)
  {
    const double v = mPendingValues[static_cast<size_t>(i)].exchange(kNoPendingValue, std::memory_order_acq_rel);
    if (!std::isnan(v) && mGraphics)
      SendNormalizedValueToControls(i, v);
  }
}

void IGEditorDelegate::SendNormalizedValueToControls(int paramIdx, double normalized)
{
  mGraphics->ForStandardControlsFunc([paramIdx, normalized](IControl* c) {
    for (int i = 0; i < c->NVals(); ++i)
    {
      if (c->GetParamIdx(i) == paramIdx)
        c->SetValueFromDelegate(normalized, i);
    }
  });
}

bool IGEditorDelegate::SerializeEditorState(IByteChunk& chunk) const
{
  const int32_t w = mGraphics ? mGraphics->Width() : mLastWidth;
  const int32_t h = mGraphics ? mGraphics->Height() : mLastHeight;
  const float scale = mGraphics ? mGraphics->GetDrawScale() : mLastScale;
  bool ok = chunk.Put(w) > 0;
  ok = ok && chunk.Put(h) > 0;
  ok = ok && chunk.Put(scale) > 0;
  return ok;
}

int IGEditorDelegate::UnserializeEditorState(const IByteChunk& chunk, int startPos)
{
  int32_t w = 0;
  int32_t h = 0;
  float scale = 0.f;
  int pos = startPos < 0 ? -1 : chunk.Get(w, startPos);
  if (pos >= 0)
    pos = chunk.Get(h, pos);
  if (pos >= 0)
    pos = chunk.Get(scale, pos);
  // A stored scale that is not a number counts as none.
  if (!std::isfinite(scale))
    scale = 0.f;

  if (pos < 0)
  {
    if (!mGraphics)
    {
      mLastWidth = w;
      mLastHeight = h;
      mLastScale = 0.f;
    }
    return -1;
  }
  if (mGraphics)
  {
    if (w != 0 && h != 0 && scale != 0.f)
      mGraphics->Resize(w, h, scale, true);
  }
  else
  {
    mLastWidth = w;
    mLastHeight = h;
    mLastScale = scale;
  }
  return pos;
}

} // namespace plugkit::gfx
