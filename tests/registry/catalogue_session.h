// A plug-in instance with its editor open on the headless backend, and the catalogue built for it
// as the editor builds it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "IPlugin/IPluginThreadRole.h"
#include "product/Vemlor.h"
#include "product/ui/plugin_control_registry.h"
#include "tests/gfx_harness/DrawRecorder.h"
#include "tests/gfx_harness/HeadlessGfx.h"
#include "tests/gfx_harness/HeadlessPlatform.h"

namespace vemlor::ui::test {

// The editor's three styles and five colours, as the catalogue receives them.
inline plugkit::gfx::IVStyle editorStyle(int n)
{
  using namespace plugkit::gfx;
  const IText text{16.f, COLOR_WHITE, "RobotoMono-Regular.ttf", EAlign::Center, EVAlign::Bottom};
  IVStyle s;
  s.showLabel = n == 1;
  s.drawShadows = false;
  s.frameThickness = 0.5f;
  s.colorSpec.SetColor(EVColor::FG, IColor(0, 0, 0, 0));
  s.colorSpec.SetColor(EVColor::PR, IColor(255, 95, 55, 200));
  s.colorSpec.SetColor(EVColor::FR, n == 1 ? IColor(255, 240, 240, 240) : COLOR_TRANSPARENT);
  s.colorSpec.SetColor(EVColor::HL, IColor(255, 100, 100, 100));
  s.colorSpec.SetColor(EVColor::X1, n == 3 ? COLOR_TRANSPARENT : IColor(255, 240, 240, 240));
  s.labelText = text;
  s.valueText = text;
  return s;
}

struct CatalogueLook
{
  plugkit::gfx::IVStyle style1 = editorStyle(1);
  plugkit::gfx::IVStyle style2 = editorStyle(2);
  plugkit::gfx::IVStyle style3 = editorStyle(3);
  plugkit::gfx::IColor transparent = plugkit::gfx::COLOR_TRANSPARENT;
  plugkit::gfx::IColor highlightGray{255, 100, 100, 100};
  plugkit::gfx::IColor accent{255, 95, 55, 200};
  plugkit::gfx::IColor modArc{216, 161, 145, 200};
  plugkit::gfx::IColor darkGray{255, 60, 60, 60};
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
