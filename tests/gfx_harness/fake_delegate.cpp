#include "tests/gfx_harness/fake_delegate.h"

#include <fmt/format.h>

#include "IPlugin/IPluginParameter.h"

namespace plugkit::gfx::test {

FakeDelegate::FakeDelegate(int nParams)
  : IGEditorDelegate(nParams)
{}

void FakeDelegate::UseHeadlessEditor(HeadlessPlatform& platform, DrawRecorder& recorder, int w, int h, float scale)
{
  SetMakeGraphicsFunc([this, &platform, &recorder, w, h, scale]() -> std::unique_ptr<IGfx> {
    return std::make_unique<HeadlessGfx>(*this, platform, recorder, w, h, 60, scale);
  });
}

void FakeDelegate::BeginInformHostOfParamChangeFromUI(int paramIdx)
{
  log.push_back(fmt::format("begin {}", paramIdx));
  if (handler)
    handler->beginEdit(static_cast<Steinberg::Vst::ParamID>(paramIdx));
}

void FakeDelegate::EndInformHostOfParamChangeFromUI(int paramIdx)
{
  log.push_back(fmt::format("end {}", paramIdx));
  if (handler)
    handler->endEdit(static_cast<Steinberg::Vst::ParamID>(paramIdx));
}

void FakeDelegate::SendParameterValueFromUI(int paramIdx, double normalizedValue)
{
  log.push_back(fmt::format("send {} {:g}", paramIdx, normalizedValue));
  if (IParam* param = GetParam(paramIdx))
    param->SetNormalized(normalizedValue);
  if (handler)
    handler->performEdit(static_cast<Steinberg::Vst::ParamID>(paramIdx), normalizedValue);
}

bool FakeDelegate::EditorResizeFromUI(int viewWidth, int viewHeight, bool)
{
  log.push_back(fmt::format("resize {} {}", viewWidth, viewHeight));
  return resizeAnswer;
}

void FakeDelegate::SendMidiMsgFromUI(const IMidiMsg& msg)
{
  log.push_back(fmt::format("midi {} {} {}", msg.mStatus, msg.mData1, msg.mData2));
}

void FakeDelegate::SendArbitraryMsgFromUI(int msgTag, int ctrlTag, int dataSize, const void*)
{
  log.push_back(fmt::format("msg {} {} {}", msgTag, ctrlTag, dataSize));
}

void FakeDelegate::OnParamChangeUI(int paramIdx, EParamSource source)
{
  std::lock_guard<std::mutex> lock(mParamChangeLock);
  mParamChangesUI.push_back(fmt::format("{} source {}", paramIdx, static_cast<int>(source)));
  ++mNParamChangesUI;
}

std::vector<std::string> FakeDelegate::ParamChangesUI() const
{
  std::lock_guard<std::mutex> lock(mParamChangeLock);
  return mParamChangesUI;
}

void FakeDelegate::OnMidiMsgUI(const IMidiMsg& msg) { midiUI.push_back(msg); }

void FakeDelegate::OnUIOpen() { log.push_back("open"); }

void FakeDelegate::OnUIClose() { log.push_back("close"); }

} // namespace plugkit::gfx::test
