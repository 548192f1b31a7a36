// The editor view a VST3 host embeds: the editor opens inside the host's X11 window, sized in device
// pixels (editor size × draw scale × the host's content scale), with the host's keys forwarded to it.
#pragma once

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"

namespace plugkit {

class IPluginVST3;

// Main thread. Holds one reference to its plug-in while it lives.
class IPluginVST3View final : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport
{
public:
  static constexpr const char* kPlatformType = "X11EmbedWindowID";

  explicit IPluginVST3View(IPluginVST3& owner);
  ~IPluginVST3View() override;

  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API removed() override;
  Steinberg::tresult PLUGIN_API onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                          Steinberg::int16 modifiers) override;
  Steinberg::tresult PLUGIN_API onKeyUp(Steinberg::char16 key, Steinberg::int16 keyCode,
                                        Steinberg::int16 modifiers) override;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
  Steinberg::tresult PLUGIN_API canResize() override;
  Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* rect) override;
  Steinberg::tresult PLUGIN_API setFrame(Steinberg::IPlugFrame* frame) override;
  Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

  // The host's content scale (1 until it gives one) and the run loop its frame offers (null without).
  float ScreenScale() const { return mScreenScale; }
  // Whether the host has set a content scale at all (else the platform finds the screen's own).
  bool HostGaveScale() const { return mHostGaveScale; }
  Steinberg::Linux::IRunLoop* FrameRunLoop() const { return mFrameRunLoop; }
  // Asks the host frame to take the editor's current size; false without a frame or when refused.
  bool ResizeHostFrame();

  OBJ_METHODS(IPluginVST3View, CPluginView)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::IPlugViewContentScaleSupport)
  END_DEFINE_INTERFACES(CPluginView)
  REFCOUNT_METHODS(CPluginView)

private:
  // The editor's size in device pixels: the open editor's, else the last known one.
  void CurrentSize(int& width, int& height) const;
  Steinberg::tresult Key(bool down, Steinberg::char16 key, Steinberg::int16 keyCode, Steinberg::int16 modifiers);

  IPluginVST3& mOwner;
  Steinberg::IPtr<Steinberg::Linux::IRunLoop> mFrameRunLoop;
  float mScreenScale = 1.f;
  bool mHostGaveScale = false;
};

} // namespace plugkit
