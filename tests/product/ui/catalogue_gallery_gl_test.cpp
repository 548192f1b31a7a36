// Every catalogue entry placed in a grid of cells of its own height share, at its parameter's value,
// drawn by the NanoVG backend at draw scales 1 and 2 and written as PNG files for review.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "IGfx/Controls/ITextControl.h"
#include "IGfx/IPattern.h"
#include "product/Vemlor.h"
#include "product/ui/plugin_control_registry.h"
#include "utils/ui/WrapKnobControl.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/product/ui/catalogue_session.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using namespace plugkit::gfx;

namespace {

constexpr int kColumns = 8;
constexpr float kCellW = 150.f;
constexpr float kColumnH = 160.f; // a user-tab column's height
constexpr float kSlotH = 130.f;   // room for the tallest cell and its caption
constexpr float kGap = 12.f;

class CatalogueGallery : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    plug = new Vemlor(plugkit::InstanceInfo{});
    ASSERT_EQ(plug->initialize(nullptr), Steinberg::kResultOk);
    g = std::make_unique<OffscreenGfx>(*plug, gl, static_cast<int>(kGap + kColumns * (kCellW + kGap)), 7 * 140 + 12,
                                       GetParam());
    const std::string mono =
      std::string(VEMLOR_NPM_DIR) + "/@expo-google-fonts/roboto-mono/400Regular/RobotoMono_400Regular.ttf";
    ASSERT_TRUE(g->LoadFont("RobotoMono-Regular.ttf", mono.c_str()));
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", (std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf").c_str()));
  }
  void TearDown() override
  {
    g.reset();
    if (plug)
    {
      plug->terminate();
      plug->release();
    }
  }

  OffscreenGL gl;
  Vemlor* plug = nullptr;
  std::unique_ptr<OffscreenGfx> g;
};

TEST_P(CatalogueGallery, EveryEntryInItsCell)
{
  const vemlor::ui::test::CatalogueLook look;
  zarvo::ui::ControlRegistry registry =
    vemlor::ui::buildControlRegistry(plug->ccMediator(), look.style1, look.style2, look.style3, look.transparent,
                                     look.highlightGray, look.accent, look.modArc, look.darkGray);
  // As the editor hands the catalogue to the user tab: named-position knobs fitted to their cells.
  for (auto& entry : registry.entries)
    entry.desc.factory = zarvo::ui::WrapKnobControl::fitted(entry.desc.factory);
  g->AttachPanelBackground(IPattern(look.darkGray));
  const IText caption{11.f, IColor(255, 170, 170, 170), "RobotoMono-Regular.ttf", EAlign::Near, EVAlign::Top};

  int placed = 0;
  for (size_t i = 0; i < registry.entries.size(); ++i)
  {
    const auto& entry = registry.entries[i];
    const float x = kGap + static_cast<float>(i % kColumns) * (kCellW + kGap);
    const float y = kGap + static_cast<float>(i / kColumns) * (kSlotH + kGap);
    const IRECT cell(x, y, x + kCellW, y + entry.desc.size * kColumnH);
    g->AttachControl(new LambdaControl(
      cell, [](IGfx& gfx, const IRECT& r) { gfx.DrawRect(IColor(255, 90, 90, 90), r, nullptr, 1.f); }));
    if (zarvo::ui::placeControl(*g, registry, entry.id, cell))
      ++placed;
    const std::string text = std::to_string(entry.id) + " " + entry.desc.label;
    g->AttachControl(
      new ITextControl(IRECT(x, cell.B + 2.f, x + kCellW, cell.B + 16.f), text.c_str(), caption, COLOR_TRANSPARENT));
  }
  EXPECT_EQ(placed, 52);

  // What the user tab does after placing: every control shows its parameter's current value.
  g->ForAllControlsFunc([this](IControl* c) {
    if (c->GetParamIdx() >= 0)
      c->SetValueFromDelegate(plug->GetParam(c->GetParamIdx())->GetNormalized());
  });
  g->SetAllControlsDirty();
  ASSERT_TRUE(g->Frame());
  gl.WritePNG("catalogue_gallery_x" + std::to_string(static_cast<int>(GetParam())));
}

INSTANTIATE_TEST_SUITE_P(Scales, CatalogueGallery, ::testing::Values(1.f, 2.f));

} // namespace
