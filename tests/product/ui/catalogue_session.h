// A plug-in instance with its editor open on the headless backend, and the catalogue built for it
// as the editor builds it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "IPlugin/IPluginThreadRole.h"
#include "product/Vemlor.h"
#include "product/editor/layout.h"
#include "product/ui/theme.h"
#include "product/ui/plugin_control_registry.h"
#include "tests/gfx_harness/draw_recorder.h"
#include "tests/gfx_harness/headless_gfx.h"
#include "tests/gfx_harness/headless_platform.h"

namespace vemlor::ui::test {

// The editor's three styles and five colours, as the catalogue receives them.
struct CatalogueLook
{
  EditorStyles styles = makeEditorStyles();
  plugkit::gfx::IVStyle style1 = styles.style1;
  plugkit::gfx::IVStyle style2 = styles.style2;
  plugkit::gfx::IVStyle style3 = styles.style3;
  plugkit::gfx::IColor transparent = plugkit::gfx::COLOR_TRANSPARENT;
  plugkit::gfx::IColor highlightGray = colHighlightGray;
  plugkit::gfx::IColor accent = accentColor;
  plugkit::gfx::IColor modArc = modArcColor;
  plugkit::gfx::IColor darkGray = colDarkGray;
};

class CatalogueSession
{
public:
  explicit CatalogueSession(int w = 940, int h = 620)
    : plug(new Vemlor(plugkit::InstanceInfo{}))
  {
    EXPECT_EQ(plug->initialize(nullptr), Steinberg::kResultOk);
    plug->SetMakeGraphicsFunc(
      [this, w, h] { return std::make_unique<plugkit::gfx::test::HeadlessGfx>(*plug, platform, recorder, w, h); });
    // An empty editor: the tests attach what they examine themselves.
    plug->SetLayoutFunc(nullptr);
    plug->OpenWindow(nullptr);
    registry = buildControlRegistry(plug->ccMediator(), look.style1, look.style2, look.style3, look.transparent,
                                    look.highlightGray, look.accent, look.modArc, look.darkGray);
  }
  ~CatalogueSession()
  {
    plug->CloseWindow();
    plug->terminate();
    plug->release();
  }
  CatalogueSession(const CatalogueSession&) = delete;
  CatalogueSession& operator=(const CatalogueSession&) = delete;

  plugkit::gfx::test::HeadlessGfx& G() { return *static_cast<plugkit::gfx::test::HeadlessGfx*>(plug->GetUI()); }
  plugkit::IParam& param(int index) { return *plug->GetParam(index); }

  plugkit::gfx::test::HeadlessPlatform platform;
  plugkit::gfx::test::DrawRecorder recorder;
  CatalogueLook look;
  Vemlor* plug;
  zarvo::ui::ControlRegistry registry;
};

} // namespace vemlor::ui::test
