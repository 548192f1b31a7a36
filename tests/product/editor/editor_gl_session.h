// A plug-in on its first preset whose editor the tests lay out and draw through the offscreen GL
// backend, with the bundle's fonts and artwork.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "IPlugin/IPluginPaths.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/Vemlor.h"
#include "product/editor/layout.h"
#include "product/params/params.h"
#include "tests/support/offscreen_gfx.h"

namespace gfx_gl_test {

struct EditorGLSession
{
  // The plug-in, with the morph field on (the editor of 620 pixels) or off (200).
  void MakePlugin(bool morph)
  {
    // Fonts and the logo come from the bundle's resources, as in a host.
    plugkit::OverrideBundleRoot(VEMLOR_BUNDLE_PATH);
    plug = new Vemlor(plugkit::InstanceInfo{});
    ASSERT_EQ(plug->initialize(nullptr), Steinberg::kResultOk);
    if (zarvo::PresetManager* pm = plug->presetManager())
      pm->navigateTo(0);
    {
      plugkit::AudioThreadScope audio;
      plug->GetParam(zarvo::par_morph_active)->Set(morph ? 1.0 : 0.0);
      plug->OnParamChange(zarvo::par_morph_active, plugkit::EParamSource::kHost, 0);
    }
    plug->OnIdle();
  }

  // The editor laid out at width x height and draw scale, its controls showing the parameters.
  void Layout(int height, float scale)
  {
    g = std::make_unique<OffscreenGfx>(*plug, gl, vemlor::ui::kEditorWidth, height, scale);
    vemlor::ui::layoutEditor(plug->editorModel(), *g);
    g->ForAllControlsFunc([this](plugkit::gfx::IControl* c) {
      if (c->GetParamIdx() >= 0)
        c->SetValueFromDelegate(plug->GetParam(c->GetParamIdx())->GetNormalized());
    });
  }

  void Close()
  {
    g.reset();
    if (plug)
    {
      plug->terminate();
      plug->release();
      plug = nullptr;
    }
    plugkit::OverrideBundleRoot(nullptr);
  }

  OffscreenGL gl;
  Vemlor* plug = nullptr;
  std::unique_ptr<OffscreenGfx> g;
};

} // namespace gfx_gl_test
