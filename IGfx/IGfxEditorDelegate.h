// The editor delegate of the graphics framework: owns the graphics context while the editor is open,
// makes and lays it out through two stored functions, remembers size and scale while it is closed, and
// routes plug-in-to-editor traffic into the controls.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "IPlugin/IPluginEditorDelegate.h"

namespace Steinberg {
class IPlugView;
namespace Linux {
class IRunLoop;
}
namespace Vst {
class IComponentHandler;
}
} // namespace Steinberg

namespace plugkit::gfx {

class IGfx;
class IGEditorDelegate;

// Makes the platform graphics context; defined by the platform layer.
std::unique_ptr<IGfx> MakeGraphics(IGEditorDelegate& dlg, int w, int h, int fps = 60, float scale = 1.f);

// Main thread, except SendParameterValueFromDelegate (see there). A host binding derives from it and
// from the plug-in base, which share the editor delegate's parameters.
class IGEditorDelegate : public virtual IEditorDelegate
{
public:
  using MakeGraphicsFunc = std::function<std::unique_ptr<IGfx>()>;
  using LayoutFunc = std::function<void(IGfx* graphics)>;

  explicit IGEditorDelegate(int nParams);
  ~IGEditorDelegate() override;

  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  // Keeps the user's draw scale: the host's size is divided by window scale and draw scale.
  void OnParentWindowResize(int width, int height) override;
  bool OnKeyDown(const IKeyPress& key) override;
  bool OnKeyUp(const IKeyPress& key) override;
  void SendControlValueFromDelegate(int ctrlTag, double normalizedValue) override;
  void SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* pData) override;
  void SendMidiMsgFromDelegate(const IMidiMsg& msg) override;
  // Main or audio thread. On the audio thread the value is only posted; the main thread applies it to
  // the controls at its next frame check (ApplyPendingParameterValues). OnParamChangeUI runs either way.
  void SendParameterValueFromDelegate(int paramIdx, double value, bool normalized) override;
  // 12 bytes: width, height (int32) and draw scale (float32) of the open editor, else the remembered ones.
  bool SerializeEditorState(IByteChunk& chunk) const override;
  // The position after the block, or -1 (then an open editor is unchanged).
  int UnserializeEditorState(const IByteChunk& chunk, int startPos) override;
  void SetScreenScale(float scale) override;
  virtual std::unique_ptr<IGfx> CreateGraphics();
  virtual void LayoutUI(IGfx* graphics);

  bool SerializeEditorSize(IByteChunk& chunk) const { return IGEditorDelegate::SerializeEditorState(chunk); }
  int UnserializeEditorSize(const IByteChunk& chunk, int startPos)
  {
    return IGEditorDelegate::UnserializeEditorState(chunk, startPos);
  }

  // Main thread: applies the values posted from the audio thread to the open editor's controls.
  void ApplyPendingParameterValues();

  // The host's component handler and the open plug-in view, which the host's context menu needs; the
  // VST3 binding answers them, other plug-ins have neither.
  virtual Steinberg::Vst::IComponentHandler* GetHostComponentHandler() const { return nullptr; }
  virtual Steinberg::IPlugView* GetOpenPlugView() const { return nullptr; }
  // The host's run loop the editor's timers and window events run on, and the host's screen scale
  // (device pixels per editor pixel at draw scale 1; 0 when the host gave none, and the platform
  // finds its own); a platform context reads both when it opens.
  virtual Steinberg::Linux::IRunLoop* GetHostRunLoop() const { return nullptr; }
  virtual float GetHostScreenScale() const { return 0.f; }

  void SetMakeGraphicsFunc(MakeGraphicsFunc func) { mMakeGraphicsFunc = std::move(func); }
  void SetLayoutFunc(LayoutFunc func) { mLayoutFunc = std::move(func); }
  IGfx* GetUI() const { return mGraphics.get(); }
  int GetLastWidth() const { return mLastWidth; }
  int GetLastHeight() const { return mLastHeight; }
  float GetLastScale() const { return mLastScale; }

private:
  // Main thread: the value pushed to every list control linked to paramIdx.
  void SendNormalizedValueToControls(int paramIdx, double normalized);

  MakeGraphicsFunc mMakeGraphicsFunc;
  LayoutFunc mLayoutFunc;
  std::unique_ptr<IGfx> mGraphics;
  int mLastWidth = 0;
  int mLastHeight = 0;
  float mLastScale = 0.f;
  bool mClosing = false;
  bool mOpening = false;
  // Normalised values posted from the audio thread, NaN for none; one slot per parameter.
  std::unique_ptr<std::atomic<double>[]> mPendingValues;
  std::atomic<bool> mHasPendingValues{false};
};

} // namespace plugkit::gfx
