// An editor delegate that records what the editor sends the plug-in and hands its edits to a fake
// host; its editor is a HeadlessGfx over the test's platform and recorder.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "IGfx/IGfxEditorDelegate.h"
#include "tests/gfx_harness/draw_recorder.h"
#include "tests/gfx_harness/fake_component_handler.h"
#include "tests/gfx_harness/headless_gfx.h"
#include "tests/gfx_harness/headless_platform.h"

namespace plugkit::gfx::test {

class FakeDelegate : public IGEditorDelegate
{
public:
  // Uninitialised parameters are plain 0..1 values; tests initialise the ones they need.
  explicit FakeDelegate(int nParams);

  // Opening the editor makes a HeadlessGfx of this size over platform and recorder.
  void UseHeadlessEditor(HeadlessPlatform& platform, DrawRecorder& recorder, int w, int h, float scale = 1.f);
  HeadlessGfx* UI() const { return static_cast<HeadlessGfx*>(GetUI()); }

  void BeginInformHostOfParamChangeFromUI(int paramIdx) override;
  void EndInformHostOfParamChangeFromUI(int paramIdx) override;
  void SendParameterValueFromUI(int paramIdx, double normalizedValue) override;
  bool EditorResizeFromUI(int viewWidth, int viewHeight, bool needsPlatformResize) override;
  void SendMidiMsgFromUI(const IMidiMsg& msg) override;
  void SendArbitraryMsgFromUI(int msgTag, int ctrlTag, int dataSize, const void* pData) override;
  // Any thread.
  void OnParamChangeUI(int paramIdx, EParamSource source) override;
  void OnMidiMsgUI(const IMidiMsg& msg) override;
  void OnUIOpen() override;
  void OnUIClose() override;
  Steinberg::Vst::IComponentHandler* GetHostComponentHandler() const override { return handler; }
  Steinberg::IPlugView* GetOpenPlugView() const override { return view; }

  // Main-thread traffic in call order: "begin 5", "send 5 0.5", "end 5", "resize 1410 300",
  // "midi 144 48 127", "msg 3 7 0", "open", "close".
  std::vector<std::string> log;
  std::vector<IMidiMsg> midiUI;
  bool resizeAnswer = true;
  FakeComponentHandler* handler = nullptr;
  Steinberg::IPlugView* view = nullptr;

  // OnParamChangeUI calls, from whatever thread: "5 source 4".
  std::vector<std::string> ParamChangesUI() const;
  int NParamChangesUI() const { return mNParamChangesUI.load(); }

private:
  mutable std::mutex mParamChangeLock; // test-only: the fake is called from a simulated audio thread
  std::vector<std::string> mParamChangesUI;
  std::atomic<int> mNParamChangesUI{0};
};

} // namespace plugkit::gfx::test
