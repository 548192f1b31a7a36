// A real plug-in instance whose editor opens on the headless backend with the product's own layout
// function and scale choice, with synthetic input, frames and idle ticks driven by the test.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/Vemlor.h"
#include "product/editor/layout.h"
#include "product/params/params.h"
#include "tests/gfx_harness/draw_recorder.h"
#include "tests/gfx_harness/headless_gfx.h"
#include "tests/gfx_harness/headless_platform.h"
#include "tests/gfx_harness/input_driver.h"

namespace vemlor::ui::test {

class VemlorEditorFixture
{
public:
  struct Options
  {
    bool morphOn = false;
    bool open = true;
  };

  VemlorEditorFixture()
    : VemlorEditorFixture(Options{})
  {}
  explicit VemlorEditorFixture(Options options)
    : plug(new Vemlor(plugkit::InstanceInfo{}))
  {
    EXPECT_EQ(plug->initialize(nullptr), Steinberg::kResultOk);
    plug->setClock([this] { return platform.nowMs; });
    // The editor-making function as the product's, on the headless backend.
    plug->SetMakeGraphicsFunc([this] {
      const float scale = plug->takeEditorScale();
      return std::make_unique<plugkit::gfx::test::HeadlessGfx>(*plug, platform, recorder, kEditorWidth,
                                                               plug->currentUIHeight(), 60, scale);
    });
    // The product's layout, counted.
    plug->SetLayoutFunc([this](plugkit::gfx::IGfx* g) {
      ++layoutRuns;
      if (g)
        layoutEditor(plug->editorModel(), *g);
    });
    // The same patch every time: the first factory preset instead of the random starter.
    if (zarvo::PresetManager* pm = plug->presetManager())
      pm->navigateTo(0);
    setMorph(options.morphOn);
    if (options.open)
      open();
  }
  ~VemlorEditorFixture()
  {
    close();
    plug->terminate();
    plug->release();
  }
  VemlorEditorFixture(const VemlorEditorFixture&) = delete;
  VemlorEditorFixture& operator=(const VemlorEditorFixture&) = delete;

  void open()
  {
    plug->OpenWindow(nullptr);
    mInput = std::make_unique<plugkit::gfx::test::InputDriver>(*plug->GetUI());
  }
  void close()
  {
    mInput.reset();
    plug->CloseWindow();
  }

  plugkit::gfx::test::HeadlessGfx& G() { return *static_cast<plugkit::gfx::test::HeadlessGfx*>(plug->GetUI()); }
  plugkit::gfx::test::InputDriver& input() { return *mInput; }
  Vemlor::EditorUIState& ui() { return plug->editorUI(); }

  // One 20 ms idle tick, the clock moved with it.
  void idle(int ticks = 1)
  {
    for (int i = 0; i < ticks; ++i)
    {
      platform.nowMs += 20.0;
      plug->OnIdle();
    }
  }
  // One frame of the open editor.
  bool frame() { return G().Tick(); }

  // The morph field on or off as host automation delivers it, its consequences carried out by idle.
  void setMorph(bool on)
  {
    {
      plugkit::AudioThreadScope audio;
      plug->GetParam(zarvo::par_morph_active)->Set(on ? 1.0 : 0.0);
      plug->OnParamChange(zarvo::par_morph_active, plugkit::EParamSource::kHost, 0);
    }
    idle();
  }

  plugkit::gfx::IControl* tagged(int tag) { return G().GetControlWithTag(tag); }
  // Every list control in the group, in list order.
  std::vector<plugkit::gfx::IControl*> group(const char* name)
  {
    std::vector<plugkit::gfx::IControl*> out;
    G().ForControlInGroup(name, [&out](plugkit::gfx::IControl* c) { out.push_back(c); });
    return out;
  }
  // The first control of the group bound to the parameter.
  plugkit::gfx::IControl* inGroup(const char* name, int param)
  {
    for (plugkit::gfx::IControl* c : group(name))
      if (c->GetParamIdx() == param)
        return c;
    return nullptr;
  }

  plugkit::gfx::test::HeadlessPlatform platform;
  plugkit::gfx::test::DrawRecorder recorder;
  Vemlor* plug;
  int layoutRuns = 0;

private:
  std::unique_ptr<plugkit::gfx::test::InputDriver> mInput;
};

} // namespace vemlor::ui::test
