#include "tests/editor_view/knob_plugin.h"

#include <algorithm>

namespace vemlor::viewtest {

using namespace plugkit::gfx;

namespace {

constexpr plugkit::Config kConfig = {
  .nParams = 1,
  .channelIOStr = "2-2",
  .pluginName = "Knob Fixture",
  .makerName = "ZarvoAudio",
  .version = plugkit::MakeVersion(1, 0, 0),
  .uniqueId = plugkit::MakeFourCC("Knob"),
  .makerId = plugkit::MakeFourCC("ZrvA"),
  .hasEditor = true,
  .editorWidth = KnobPlugin::kWidth,
  .editorHeight = KnobPlugin::kHeight,
  .minWidth = 470,
  .maxWidth = 3760,
  .minHeight = 100,
  .maxHeight = 2480,
};

constexpr int kKnobTag = 1;

// Paints the whole editor, so the window never shows what was under it.
class PanelControl final : public IControl
{
public:
  explicit PanelControl(const IRECT& bounds)
    : IControl(bounds)
  {}
  void Draw(IGfx& g) override { g.FillRect(IColor(255, 40, 44, 52), GetRECT()); }
};

} // namespace

void KnobControl::Draw(IGfx& g)
{
  ++draws;
  const IRECT r = GetRECT();
  g.FillCircle(IColor(255, 90, 90, 100), r.MW(), r.MH(), r.W() * 0.45f);
  const float angle = static_cast<float>(-135.0 + 270.0 * GetValue());
  g.DrawRadialLine(IColor(255, 250, 200, 60), r.MW(), r.MH(), angle, 0.f, r.W() * 0.45f, nullptr, 4.f);
}

void KnobControl::OnMouseDrag(float, float, float, float dY, const IMouseMod&)
{
  SetValue(std::clamp(GetValue() - static_cast<double>(dY) / 100.0, 0.0, 1.0));
  SetDirty(true);
}

bool KnobControl::OnKeyDown(float, float, const plugkit::IKeyPress& key)
{
  keysSeen.push_back(key.VK);
  if (key.VK != 'K')
    return false;
  ++keys;
  return true;
}

KnobPlugin::KnobPlugin(float drawScale)
  : plugkit::IPluginVST3(plugkit::InstanceInfo{}, kConfig)
{
  GetParam(0)->InitDouble("gain", 0.5, 0.0, 1.0, 0.001);
  SetMakeGraphicsFunc([this, drawScale] { return MakeGraphics(*this, kWidth, kHeight, 60, drawScale); });
  SetLayoutFunc([this](IGfx* g) {
    g->AttachControl(new PanelControl(g->GetBounds()));
    g->AttachControl(new KnobControl(kKnobBounds, 0), kKnobTag);
    if (extraLayout)
      extraLayout(g);
  });
}

KnobControl* KnobPlugin::Knob() const
{
  return GetUI() ? static_cast<KnobControl*>(GetUI()->GetControlWithTag(kKnobTag)) : nullptr;
}

} // namespace vemlor::viewtest
