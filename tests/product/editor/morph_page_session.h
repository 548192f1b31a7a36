// A plug-in instance with its editor open on a given graphics context, emptied, and the morph page and
// preset browser steps run on it as the layout runs them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "IGfx/IGfx.h"
#include "product/Vemlor.h"
#include "product/editor/layout.h"
#include "product/params/params.h"
#include "product/ui/theme.h"
#include "utils/morph/morph_pad_control.h"
#include "utils/ui/PresetBrowserControl.h"
#include "utils/ui/PresetStripControl.h"

namespace vemlor::ui::test {

// The editor's first style: white text in the monospaced font, frame and highlight greys, the accent.
inline plugkit::gfx::IVStyle morphPageStyle1()
{
  using namespace plugkit::gfx;
  const IText text{16.f, COLOR_WHITE, kTextFont, EAlign::Center, EVAlign::Bottom};
  IVStyle s;
  s.drawShadows = false;
  s.frameThickness = 0.5f;
  s.colorSpec.SetColor(EVColor::FG, IColor(0, 0, 0, 0));
  s.colorSpec.SetColor(EVColor::PR, accentColor);
  s.colorSpec.SetColor(EVColor::FR, IColor(255, 240, 240, 240));
  s.colorSpec.SetColor(EVColor::HL, colHighlightGray);
  s.colorSpec.SetColor(EVColor::X1, IColor(255, 240, 240, 240));
  s.labelText = text;
  s.valueText = text;
  return s;
}

class MorphPageSession
{
public:
  using MakeGfx = std::function<std::unique_ptr<plugkit::gfx::IGfx>(Vemlor&, int w, int h)>;

  MorphPageSession(const MakeGfx& makeGfx, int h, bool morphOn)
    : plug(new Vemlor(plugkit::InstanceInfo{}))
    , height(h)
  {
    EXPECT_EQ(plug->initialize(nullptr), Steinberg::kResultOk);
    setMorph(morphOn);
    plug->SetMakeGraphicsFunc([this, makeGfx] { return makeGfx(*plug, 940, height); });
    plug->OpenWindow(nullptr);
    // Whatever the layout built, at whatever height the morph state asked for: these tests build
    // their own steps at the height they name.
    G().RemoveAllControls();
    if (G().Height() != height)
      G().Resize(940, height, G().GetDrawScale(), false);
  }
  ~MorphPageSession()
  {
    plug->CloseWindow();
    plug->terminate();
    plug->release();
  }
  MorphPageSession(const MorphPageSession&) = delete;
  MorphPageSession& operator=(const MorphPageSession&) = delete;

  plugkit::gfx::IGfx& G() { return *plug->GetUI(); }
  zarvo::morph::MorphController& morph() { return plug->morphController(); }
  zarvo::PresetManager& presets() { return *plug->presetManager(); }

  // The MORPH switch, as the editor turns it; a turn-off that waits for its bake is committed.
  void setMorph(bool on)
  {
    plug->morphParams().editParamFromEditor(zarvo::par_morph_active, on ? 1.0 : 0.0);
    if (!on)
      morph().commitTurningOffIfPending();
    EXPECT_EQ(morph().morphOn(), on);
  }

  LayoutPass pass()
  {
    const float w = static_cast<float>(G().Width());
    const float h = static_cast<float>(G().Height());
    EditorStyles styles{morphPageStyle1(), morphPageStyle1(), morphPageStyle1()};
    return LayoutPass{plug->editorModel(),
                      G(),
                      styles,
                      w,
                      h,
                      plugkit::gfx::IRECT(0.f, 0.f, w, kBandHeight),
                      plugkit::gfx::IRECT(152.f, 20.f, w - 30.f, 180.f),
                      {}};
  }

  void buildMorphPage()
  {
    LayoutPass p = pass();
    attachMorphPage(p);
  }

  // The strip as the preset row leaves it, at W = 940 (77, 0, 696, 18), built by the preset row
  // itself; under another tag, a plain strip there.
  zarvo::ui::PresetStripControl* attachStrip(bool collapsed, int tag = kTagPresetStrip)
  {
    plug->editorUI().presetStripCollapsed = collapsed;
    if (tag == kTagPresetStrip)
    {
      LayoutPass p = pass();
      attachPresetRow(p);
      return dynamic_cast<zarvo::ui::PresetStripControl*>(G().GetControlWithTag(kTagPresetStrip));
    }
    auto* strip = new zarvo::ui::PresetStripControl(plugkit::gfx::IRECT(77.f, 0.f, 696.f, 18.f), *plug->presetLibrary(),
                                                    morphPageStyle1());
    strip->collapsed = collapsed;
    G().AttachControl(strip, tag, kGroupPreset);
    return strip;
  }

  zarvo::ui::PresetBrowserControl* buildBrowser()
  {
    LayoutPass p = pass();
    attachPresetBrowser(p);
    return browser();
  }

  zarvo::morph::MorphPadControl* pad()
  {
    return dynamic_cast<zarvo::morph::MorphPadControl*>(G().GetControlWithTag(kTagMorphPad));
  }
  zarvo::ui::PresetBrowserControl* browser()
  {
    return dynamic_cast<zarvo::ui::PresetBrowserControl*>(G().GetControlWithTag(kTagPresetBrowser));
  }

  Vemlor* plug;
  int height;
};

} // namespace vemlor::ui::test
