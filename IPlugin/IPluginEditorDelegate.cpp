#include "IPlugin/IPluginEditorDelegate.h"

#include <algorithm>
#include <utility>

namespace plugkit {

IEditorDelegate::IEditorDelegate(int nParams) { CreateParams(nParams); }

void IEditorDelegate::CreateParams(int nParams)
{
  if (mParams)
    return;
  mNParams = std::max(nParams, 0);
  mParams = std::make_unique<IParam[]>(static_cast<size_t>(mNParams));
}

IEditorDelegate::~IEditorDelegate() = default;

IParam* IEditorDelegate::GetParam(int paramIdx)
{
  return paramIdx >= 0 && paramIdx < mNParams ? &mParams[paramIdx] : nullptr;
}

const IParam* IEditorDelegate::GetParam(int paramIdx) const
{
  return paramIdx >= 0 && paramIdx < mNParams ? &mParams[paramIdx] : nullptr;
}

void IEditorDelegate::SetEditorSize(int width, int height)
{
  mEditorWidth = width;
  mEditorHeight = height;
}

void IEditorDelegate::SetSizeConstraints(int minWidth, int maxWidth, int minHeight, int maxHeight)
{
  mMinWidth = std::min(minWidth, maxWidth);
  mMaxWidth = std::max(minWidth, maxWidth);
  mMinHeight = std::min(minHeight, maxHeight);
  mMaxHeight = std::max(minHeight, maxHeight);
}

void* IEditorDelegate::OpenWindow(void*)
{
  OnUIOpen();
  return nullptr;
}

void IEditorDelegate::CloseWindow() { OnUIClose(); }

void IEditorDelegate::OnParentWindowResize(int, int) {}

void IEditorDelegate::OnUIOpen()
{
  for (int i = 0; i < mNParams; ++i)
    SendParameterValueFromDelegate(i, mParams[i].GetNormalized(), true);
}

void IEditorDelegate::OnUIClose() {}

void IEditorDelegate::OnParamChange(int paramIdx, EParamSource, int) { OnParamChange(paramIdx); }

void IEditorDelegate::OnParamChange(int) {}

void IEditorDelegate::OnParamChangeUI(int, EParamSource) {}

void IEditorDelegate::OnParamReset(EParamSource source)
{
  for (int i = 0; i < mNParams; ++i)
  {
    OnParamChange(i, source, -1);
    OnParamChangeUI(i, source);
  }
}

void IEditorDelegate::OnMidiMsgUI(const IMidiMsg&) {}

void IEditorDelegate::OnSysexMsgUI(const ISysEx&) {}

bool IEditorDelegate::OnMessage(int, int, int, const void*) { return false; }

void IEditorDelegate::OnRestoreState()
{
  for (int i = 0; i < mNParams; ++i)
    SendParameterValueFromDelegate(i, mParams[i].GetNormalized(), true);
}

bool IEditorDelegate::OnKeyDown(const IKeyPress&) { return false; }

bool IEditorDelegate::OnKeyUp(const IKeyPress&) { return false; }

void IEditorDelegate::SendControlValueFromDelegate(int, double) {}

void IEditorDelegate::SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* pData)
{
  OnMessage(msgTag, ctrlTag, dataSize, pData);
}

void IEditorDelegate::SendArbitraryMsgFromDelegate(int msgTag, int dataSize, const void* pData)
{
  OnMessage(msgTag, -1, dataSize, pData);
}

void IEditorDelegate::SendMidiMsgFromDelegate(const IMidiMsg& msg) { OnMidiMsgUI(msg); }

void IEditorDelegate::SendSysexMsgFromDelegate(const ISysEx& msg) { OnSysexMsgUI(msg); }

void IEditorDelegate::SendParameterValueFromDelegate(int paramIdx, double, bool)
{
  OnParamChangeUI(paramIdx, EParamSource::kDelegate);
}

void IEditorDelegate::DirtyParametersFromUI() {}

void IEditorDelegate::BeginInformHostOfParamChangeFromUI(int) {}

void IEditorDelegate::SendParameterValueFromUI(int paramIdx, double normalizedValue)
{
  if (IParam* param = GetParam(paramIdx))
    param->SetNormalized(normalizedValue);
  OnParamChangeUI(paramIdx, EParamSource::kUI);
}

void IEditorDelegate::EndInformHostOfParamChangeFromUI(int) {}

bool IEditorDelegate::EditorResizeFromUI(int, int, bool) { return false; }

void IEditorDelegate::SendMidiMsgFromUI(const IMidiMsg&) {}

void IEditorDelegate::SendSysexMsgFromUI(const ISysEx&) {}

void IEditorDelegate::SendArbitraryMsgFromUI(int, int, int, const void*) {}

void IEditorDelegate::DeferMidiMsg(const IMidiMsg&) {}

void IEditorDelegate::DeferSysexMsg(const ISysEx&) {}

bool IEditorDelegate::ConstrainEditorResize(int& width, int& height) const
{
  if (width >= mMinWidth && width <= mMaxWidth && height >= mMinHeight && height <= mMaxHeight)
    return true;
  width = std::clamp(width, mMinWidth, mMaxWidth);
  height = std::clamp(height, mMinHeight, mMaxHeight);
  return false;
}

bool IEditorDelegate::SerializeEditorState(IByteChunk&) const { return true; }

int IEditorDelegate::UnserializeEditorState(const IByteChunk&, int startPos) { return startPos; }

void IEditorDelegate::SetScreenScale(float) {}

} // namespace plugkit
