// A plug-in instance with its editor open on the headless backend, and one layout pass over it: the
// steps before the tabs as small stand-ins (the help bubble, the preset row, randomize and mutate and
// the all-controls tab's cutoff, pass-type and readout controls), then the real tab, help, visibility
// and closing steps.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "IGfx/Controls/IPanelControl.h"
#include "product/Vemlor.h"
#include "product/editor/layout.h"
#include "product/ui/preset_manager_library.h"
#include "product/ui/stage_coeffs_readout.h"
#include "product/ui/tooltip_bubble_control.h"
#include "tests/gfx_harness/input_driver.h"
#include "tests/product/ui/catalogue_session.h"
#include "utils/ui/PresetStripControl.h"

namespace vemlor::ui::test {

// The folder the tests' preferences and default layout live in.
std::filesystem::path TabsDataHome();

class TabsSession
{
public:
  explicit TabsSession(int h = 200)
    : plug(new Vemlor(plugkit::InstanceInfo{}))
  {
    EXPECT_EQ(plug->initialize(nullptr), Steinberg::kResultOk);
    plug->SetMakeGraphicsFunc(
      [this, h] { return std::make_unique<plugkit::gfx::test::HeadlessGfx>(*plug, platform, recorder, 940, h); });
    // The editor opens empty: the tests run the steps themselves.
    plug->SetLayoutFunc(nullptr);
    // A known patch instead of the random starter: plain pass types, morph off, no note tracking.
    for (int i = 0; i < plug->NParams(); ++i)
    {
      plug->GetParam(i)->Set(plug->GetParam(i)->GetDefault());
      plug->OnParamChange(i, plugkit::EParamSource::kPresetRecall, -1);
    }
    plug->GetParam(zarvo::par_morph_active)->Set(0.0);
    plug->OnParamChange(zarvo::par_morph_active, plugkit::EParamSource::kPresetRecall, -1);
  }
  ~TabsSession()
  {
    input.reset();
    pass.reset();
    plug->CloseWindow();
    plug->terminate();
    plug->release();
  }
  TabsSession(const TabsSession&) = delete;
  TabsSession& operator=(const TabsSession&) = delete;

  // Opens the editor and runs the pass up to the tabs; Build then adds the steps under test.
  void Open()
  {
    using namespace plugkit::gfx;
    plug->OpenWindow(nullptr);
    IGfx& g = G();
    g.EnableMouseOver(true);
    g.AttachBubbleControl(new TooltipBubbleControl);
    const EditorStyles styles{look.style1, look.style2, look.style3};
    pass = std::make_unique<LayoutPass>(
      LayoutPass{plug->editorModel(), g, styles, 940.f, static_cast<float>(g.Height()), IRECT(0, 0, 940, 200),
                 IRECT(152, 20, 910, 180),
                 buildControlRegistry(plug->ccMediator(), look.style1, look.style2, look.style3, look.transparent,
                                      look.highlightGray, look.accent, look.modArc, look.darkGray)});
    input = std::make_unique<plugkit::gfx::test::InputDriver>(g);

    library = std::make_unique<PresetManagerLibrary>(*plug->presetManager());
    auto* strip = new zarvo::ui::PresetStripControl(IRECT(77, 0, 696, 18), *library, look.style1);
    strip->collapsed = plug->editorUI().presetStripCollapsed;
    g.AttachControl(strip, kTagPresetStrip, kGroupPreset);
    for (int tag : {kTagCCCaption, kTagCCSave, kTagCCLoad, kTagCCClear})
      g.AttachControl(new IPanelControl(IRECT(750, 0, 770, 18), COLOR_BLACK), tag, kGroupPreset);
    g.AttachControl(new IPanelControl(IRECT(77, 142, 107, 160), COLOR_BLACK), kTagRandomize, kGroupRandMut);
    g.AttachControl(new IPanelControl(IRECT(102, 142, 132, 160), COLOR_BLACK), kTagMutate, kGroupRandMut);

    // The all-controls tab's controls that the later steps and the refreshers reach.
    const auto place = [&](int id, const IRECT& r, int tag = -1) {
      IControl* c = zarvo::ui::placeControl(g, pass->registry, id, r, tag, kGroupTabAll);
      EXPECT_NE(c, nullptr) << id;
      return c;
    };
    mainCutoff = place(zarvo::par_main_cutoff_hz, IRECT(500.5f, 20, 561.5f, 140));
    place(zarvo::par_preFlt_A_hz, IRECT(290, 20, 350, 100));
    place(zarvo::par_preFlt_B_hz, IRECT(290, 100, 350, 180));
    place(zarvo::par_main_pass_type, IRECT(772, 20, 840, 73));
    place(zarvo::par_main_pt_depth, IRECT(772, 91, 840, 135));
    place(zarvo::par_main_pt_tilt, IRECT(772, 135, 840, 180));
    place(zarvo::par_preFlt_A_pt, IRECT(221, 40, 290, 80));
    place(zarvo::par_preFlt_B_pt, IRECT(221, 120, 290, 160));
    const std::vector<std::pair<int, int>> readouts = {
      {10015, kTagMainStageCoeffs}, {10016, kTagPreAStageCoeffs}, {10017, kTagPreBStageCoeffs}};
    float y = 20.f;
    for (const auto& [id, tag] : readouts)
    {
      if (IControl* c = place(id, IRECT(221, y, 290, y + 20), tag))
      {
        c->Hide(true);
        if (auto* readout = dynamic_cast<StageCoeffsReadout*>(c))
          readout->setShowRows(false);
      }
      y += 40.f;
    }
  }

  // The steps of the layout this helper's code makes, in their order.
  void Build()
  {
    Open();
    attachFrequenciesTab(*pass);
    attachUserTab(*pass);
    attachHelpAndAbout(*pass);
    applyInitialVisibility(*pass);
    finishLayout(*pass);
  }

  plugkit::gfx::test::HeadlessGfx& G() { return *static_cast<plugkit::gfx::test::HeadlessGfx*>(plug->GetUI()); }
  plugkit::IParam& param(int index) { return *plug->GetParam(index); }
  std::vector<plugkit::gfx::IControl*> Group(const char* group)
  {
    std::vector<plugkit::gfx::IControl*> out;
    G().ForControlInGroup(group, [&out](plugkit::gfx::IControl* c) { out.push_back(c); });
    return out;
  }
  TooltipBubbleControl& Bubble() { return *static_cast<TooltipBubbleControl*>(G().GetBubbleControl(0)); }

  plugkit::gfx::test::HeadlessPlatform platform;
  plugkit::gfx::test::DrawRecorder recorder;
  CatalogueLook look;
  Vemlor* plug;
  std::unique_ptr<LayoutPass> pass;
  std::unique_ptr<plugkit::gfx::test::InputDriver> input;
  std::unique_ptr<PresetManagerLibrary> library;
  plugkit::gfx::IControl* mainCutoff = nullptr;
};

} // namespace vemlor::ui::test
