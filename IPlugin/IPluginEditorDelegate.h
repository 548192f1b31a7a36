// The bottom of the plug-in's class chain: its parameters and the contract between plug-in and editor.
#pragma once

#include <cstdint>
#include <memory>

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IKeyPress.h"
#include "IPlugin/IMidiMsg.h"
#include "IPlugin/IPluginParameter.h"

namespace plugkit {

// Where a parameter change comes from.
enum class EParamSource : int32_t
{
  kReset = 0,
  kHost = 1,
  kPresetRecall = 2,
  kUI = 3,       // the editor
  kDelegate = 4, // the plug-in pushing a value to the editor
};

// "FromDelegate" operations carry plug-in-to-editor traffic, "FromUI" operations editor-to-plug-in
// traffic. The defaults keep a plug-in without an editor working; the graphics delegate overrides the
// editor-facing ones, the host-API base the "FromUI" ones, the product the notification hooks. The plug-in
// base and the graphics delegate share it as a virtual base: a host binding with an editor derives from
// both.
class IEditorDelegate
{
public:
  // Main thread: creates nParams default parameters, in index order.
  explicit IEditorDelegate(int nParams);
  virtual ~IEditorDelegate();
  IEditorDelegate(const IEditorDelegate&) = delete;
  IEditorDelegate& operator=(const IEditorDelegate&) = delete;

  // Any thread (the list never changes after construction). Null for an index outside the list.
  IParam* GetParam(int paramIdx);
  const IParam* GetParam(int paramIdx) const;
  int NParams() const { return mNParams; }

  // Main thread.
  int GetEditorWidth() const { return mEditorWidth; }
  int GetEditorHeight() const { return mEditorHeight; }
  void SetEditorSize(int width, int height);
  int GetMinWidth() const { return mMinWidth; }
  int GetMaxWidth() const { return mMaxWidth; }
  int GetMinHeight() const { return mMinHeight; }
  int GetMaxHeight() const { return mMaxHeight; }
  // Each pair is stored smaller first, so a swapped pair is repaired.
  void SetSizeConstraints(int minWidth, int maxWidth, int minHeight, int maxHeight);

  // Main thread: opens the editor inside the host's parent view; returns the platform view, if any.
  virtual void* OpenWindow(void* parent);
  virtual void CloseWindow();
  virtual void OnParentWindowResize(int width, int height);
  virtual void OnUIOpen();
  virtual void OnUIClose();

  // Audio thread for host changes within a block (sampleOffset >= 0), main thread otherwise (-1).
  virtual void OnParamChange(int paramIdx, EParamSource source, int sampleOffset);
  virtual void OnParamChange(int paramIdx);
  // Main thread, except that a controller mapping may call it through SendParameterValueFromDelegate
  // on the audio thread.
  virtual void OnParamChangeUI(int paramIdx, EParamSource source);
  // Main thread: every parameter in index order, OnParamChange then OnParamChangeUI.
  virtual void OnParamReset(EParamSource source);

  // Main thread.
  virtual void OnMidiMsgUI(const IMidiMsg& msg);
  virtual void OnSysexMsgUI(const ISysEx& msg);
  // Main thread: an editor message; true when it was handled. The payload is valid during the call.
  virtual bool OnMessage(int msgTag, int ctrlTag, int dataSize, const void* pData);
  // Main thread: after a state restore or preset recall.
  virtual void OnRestoreState();
  // Main thread: true when the key was handled.
  virtual bool OnKeyDown(const IKeyPress& key);
  virtual bool OnKeyUp(const IKeyPress& key);

  // Main thread: plug-in to editor.
  virtual void SendControlValueFromDelegate(int ctrlTag, double normalizedValue);
  virtual void SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* pData);
  virtual void SendArbitraryMsgFromDelegate(int msgTag, int dataSize, const void* pData);
  virtual void SendMidiMsgFromDelegate(const IMidiMsg& msg);
  virtual void SendSysexMsgFromDelegate(const ISysEx& msg);
  // Main thread (a controller mapping may also call it on the audio thread).
  virtual void SendParameterValueFromDelegate(int paramIdx, double value, bool normalized);

  // Main thread: editor to plug-in.
  virtual void DirtyParametersFromUI();
  virtual void BeginInformHostOfParamChangeFromUI(int paramIdx);
  virtual void SendParameterValueFromUI(int paramIdx, double normalizedValue);
  virtual void EndInformHostOfParamChangeFromUI(int paramIdx);
  // True when the platform view must resize itself.
  virtual bool EditorResizeFromUI(int viewWidth, int viewHeight, bool needsPlatformResize);
  virtual void SendMidiMsgFromUI(const IMidiMsg& msg);
  virtual void SendSysexMsgFromUI(const ISysEx& msg);
  virtual void SendArbitraryMsgFromUI(int msgTag, int ctrlTag = -1, int dataSize = 0, const void* pData = nullptr);
  virtual void DeferMidiMsg(const IMidiMsg& msg);
  virtual void DeferSysexMsg(const ISysEx& msg);

  // Main thread: true when the size lies within the limits; otherwise both are clamped into them.
  virtual bool ConstrainEditorResize(int& width, int& height) const;
  // Main thread: the editor's own part of the state; the base writes and reads nothing.
  virtual bool SerializeEditorState(IByteChunk& chunk) const;
  virtual int UnserializeEditorState(const IByteChunk& chunk, int startPos);
  virtual void SetScreenScale(float scale);

protected:
  // A derived class that shares this base (the most derived class constructs it, without a count) asks
  // for the parameters from its own constructor: the first call creates nParams of them, later calls
  // (with the same count, from the same plug-in's configuration) change nothing. Main thread.
  IEditorDelegate() = default;
  void CreateParams(int nParams);

private:
  std::unique_ptr<IParam[]> mParams;
  int mNParams = 0;
  int mEditorWidth = 0;
  int mEditorHeight = 0;
  int mMinWidth = 10;
  int mMaxWidth = 100000;
  int mMinHeight = 10;
  int mMaxHeight = 100000;
};

} // namespace plugkit
