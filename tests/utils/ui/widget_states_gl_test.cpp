// Every widget of the editor in its states (idle, hover, pressed, disabled) drawn by the NanoVG backend
// at draw scales 1 and 2, written as PNG files for review, with a few pixel checks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "IGfx/Controls/ITextControl.h"
#include "IPlugin/IPluginParameter.h"
#include "product/ui/control_value_knob_control.h"
#include "product/ui/control_value_switch_control.h"
#include "product/ui/freq_knob_control.h"
#include "product/ui/section_label_control.h"
#include "product/ui/stage_coeffs_readout.h"
#include "product/ui/theme.h"
#include "tests/utils/ui/widget_learn_host.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "utils/ui/FillSliderControl.h"
#include "utils/ui/FreqModDepthReadout.h"
#include "utils/ui/IntDragControl.h"
#include "utils/ui/SelectControl.h"
#include "utils/ui/WrapKnobControl.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using plugkit::IParam;
using ui_widgets_test::WidgetLearnHost;
using zarvo::midi_cc::IControllable;

namespace {

// The editor's theme and shared styles.
const IColor kDarkGray = vemlor::ui::colDarkGray;
const IColor kHighlightGray = vemlor::ui::colHighlightGray;
const IColor kAccent = vemlor::ui::accentColor;
const IColor kLight = vemlor::ui::colLightGray;
const char* kMono = vemlor::ui::kTextFont;

IVStyle Style(int n)
{
  IVStyle s;
  s.showLabel = n == 1;
  s.drawShadows = false;
  s.frameThickness = 0.5f;
  s.colorSpec.SetColor(EVColor::FG, IColor(0, 0, 0, 0));
  s.colorSpec.SetColor(EVColor::PR, kAccent);
  s.colorSpec.SetColor(EVColor::FR, n == 1 ? kLight : COLOR_TRANSPARENT);
  s.colorSpec.SetColor(EVColor::HL, kHighlightGray);
  s.colorSpec.SetColor(EVColor::X1, n == 3 ? COLOR_TRANSPARENT : kLight);
  s.labelText = s.valueText = IText(16.f, COLOR_WHITE, kMono, EAlign::Center, EVAlign::Bottom);
  return s;
}

IText Text(float size, const IColor& c, EAlign align = EAlign::Center) { return IText(size, c, kMono, align); }

enum Param
{
  kDrive,
  kCutoff,
  kAnchor,
  kSat,
  kChar,
  kDetune,
  kDepth,
  kInvert,
  kPass,
  kVoices,
  kNParams
};

enum class State
{
  Idle,
  Hover,
  Pressed,
  Disabled,
  Learning,
  Mapped,
  Modulating
};
constexpr int kNStates = 7;
constexpr int kNPlainStates = 4; // display-only controls are not learnable
const char* kStateNames[kNStates] = {"idle", "hover", "pressed", "disabled", "learning", "mapped", "modulating"};

struct Row
{
  const char* name;
  float height;
  std::function<IControl*(const IRECT&)> make;
  bool learnable = true;
};

// The offscreen backend on a clock that stands still, so a blinking dot is caught in its visible phase.
class StillGfx : public OffscreenGfx
{
public:
  using OffscreenGfx::OffscreenGfx;
  double GetTimeMs() const override { return 1000.; }
};

class WidgetStates : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    d.mediator.mDotColorOverride = kAccent;
    d.mediator.mArcColorOverride = vemlor::ui::modArcColor;
    d.GetParam(kDrive)->InitDouble("drive", 6., 0., 24., 0.1, "dB");
    d.GetParam(kCutoff)->InitFrequency("cutoff", 440., 20., 20000., 0.);
    d.GetParam(kAnchor)->InitBool("anchored", true);
    d.GetParam(kSat)->InitDouble("sat type", 2., 0., 3., 0.001);
    d.GetParam(kChar)->InitDouble("break char", 5., 1., 11., 0.001);
    d.GetParam(kDetune)->InitDouble("detune", -12., -50., 50., 0.1, "ct");
    d.GetParam(kDepth)->InitDouble("depth", 0.62, 0., 1., 0.01);
    d.GetParam(kInvert)->InitEnum("invert", 1, {"normal", "inverted"});
    d.GetParam(kPass)->InitEnum("pass", 1, {"LP", "BP", "HP", "notch", "peak", "user"});
    d.GetParam(kVoices)->InitInt("voices", 3, 1, 8);
  }
  void TearDown() override { g.reset(); }

  void Open(int w, int h)
  {
    g = std::make_unique<StillGfx>(d, gl, w, h, GetParam());
    const std::string roboto = std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf";
    const std::string mono =
      std::string(VEMLOR_NPM_DIR) + "/@expo-google-fonts/roboto-mono/400Regular/RobotoMono_400Regular.ttf";
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", roboto.c_str()));
    ASSERT_TRUE(g->LoadFont(kMono, mono.c_str()));
    g->AttachPanelBackground(IPattern(kDarkGray));
  }

  // One row per widget, one column per state; returns the controls by row, then state.
  std::vector<std::vector<IControl*>> Page(const std::vector<Row>& rows, float colW)
  {
    const float nameW = 110.f, headH = 24.f;
    for (int st = 0; st < kNStates; ++st)
      g->AttachControl(new ITextControl(IRECT(nameW + st * colW, 0, nameW + (st + 1) * colW, headH), kStateNames[st],
                                        Text(14.f, kLight), COLOR_TRANSPARENT));
    std::vector<std::vector<IControl*>> made;
    float top = headH;
    for (const Row& row : rows)
    {
      g->AttachControl(new ITextControl(IRECT(4, top, nameW, top + row.height), row.name,
                                        Text(13.f, kLight, EAlign::Near), COLOR_TRANSPARENT));
      std::vector<IControl*> states;
      for (int st = 0; st < (row.learnable ? kNStates : kNPlainStates); ++st)
      {
        const IRECT cell(nameW + st * colW + 10.f, top + 6.f, nameW + (st + 1) * colW - 10.f, top + row.height - 6.f);
        IControl* c = g->AttachControl(row.make(cell));
        c->SetValueFromDelegate(c->GetParam() ? c->GetParam()->GetNormalized() : c->GetValue());
        states.push_back(c);
      }
      made.push_back(states);
      top += row.height;
    }
    for (auto& states : made)
    {
      IControl* hover = states[static_cast<int>(State::Hover)];
      IControl* pressed = states[static_cast<int>(State::Pressed)];
      const IRECT t = hover->GetTargetRECT();
      hover->OnMouseOver(t.L + t.W() * 0.7f, t.T + t.H() * 0.4f, IMouseMod());
      const IRECT p = pressed->GetTargetRECT();
      IMouseMod left;
      left.L = true;
      pressed->OnMouseOver(p.L + p.W() * 0.7f, p.T + p.H() * 0.4f, left);
      pressed->OnMouseDown(p.L + p.W() * 0.7f, p.T + p.H() * 0.4f, left);
      states[static_cast<int>(State::Disabled)]->SetDisabled(true);
      if (states.size() < kNStates)
        continue;
      auto learnable = [&](State st) { return dynamic_cast<IControllable*>(states[static_cast<size_t>(st)]); };
      learnable(State::Learning)->setLearning(true);
      learnable(State::Mapped)->setCCNumber(74);
      learnable(State::Mapped)->setParamMinMax(0.2, 0.8);
      IControllable* mod = learnable(State::Modulating);
      mod->setCCNumber(1);
      mod->setModeDisplay(1);
      mod->setModDepth(0.3);
      mod->setModLiveValue(std::min(1., states[static_cast<size_t>(State::Modulating)]->GetValue() + 0.2));
    }
    // A press may step a switch or select a segment: every state shows the starting value again.
    for (auto& states : made)
      for (IControl* c : states)
        if (const IParam* param = c->GetParam())
        {
          c->SetValue(param->GetDefault(true));
          c->SetDirty(false);
        }
    return made;
  }

  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  std::string Name(const char* what) { return std::string(what) + "_x" + std::to_string(static_cast<int>(GetParam())); }

  OffscreenGL gl;
  WidgetLearnHost d{kNParams, {kCutoff}};
  std::unique_ptr<StillGfx> g;
};

bool Near(const RGBA& p, const IColor& want, int tol = 14)
{
  return std::abs(p.r - want.R) <= tol && std::abs(p.g - want.G) <= tol && std::abs(p.b - want.B) <= tol;
}

std::string Str(const RGBA& p)
{
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

} // namespace

TEST_P(WidgetStates, Knobs)
{
  Open(110 + kNStates * 150, 24 + 4 * 150);
  const std::vector<Row> rows = {
    {"value knob", 150.f,
     [this](const IRECT& r) { return d.learnable<vemlor::ui::ControlValueKnobControl>(r, kDrive, "drive", Style(1)); }},
    {"freq knob", 150.f,
     [this](const IRECT& r) {
       auto* k = d.learnable<vemlor::ui::FreqKnobControl>(r, kCutoff, kAnchor, "Main hz", Style(1));
       k->setHighlightColors(vemlor::ui::modArcColor, kDarkGray);
       k->setHighlightEnabled(true);
       k->setHighlighted(true);
       return k;
     }},
    {"position knob", 150.f, zarvo::ui::WrapKnobControl::fitted([this](const IRECT& r) -> IControl* {
       auto* k = d.learnable<zarvo::ui::WrapKnobControl>(
         r, kSat, "drive var", Style(1), std::vector<std::string>{"soft", "hard", "fold"}, 10.f, -180.f, 180.f);
       k->setRotation(120.f);
       k->setSideLabel("d var");
       return k;
     })},
    {"position, gap", 150.f, zarvo::ui::WrapKnobControl::fitted([this](const IRECT& r) -> IControl* {
       IVStyle style = Style(1);
       style.labelText.mSize = 13.f;
       auto* k = d.learnable<zarvo::ui::WrapKnobControl>(
         r, kChar, "b char", style, std::vector<std::string>{"1", "", "3", "", "5", "", "7", "", "9", "", "11"}, 5.f,
         -156.f, 156.f);
       k->setWrap(false);
       k->setSideLabel("b char");
       return k;
     })},
  };
  auto made = Page(rows, 150.f);
  ASSERT_TRUE(g->Frame());
  gl.WritePNG(Name("ui_widgets_knobs"));

  // The highlighted note name sits on an accent fill, in every state.
  const IRECT v = static_cast<vemlor::ui::FreqKnobControl*>(made[1][0])->GetValueBounds();
  const RGBA hl = At(v.L - 5.f, v.MH());
  EXPECT_GT(hl.b, hl.g + 40) << "violet: " << Str(hl);
  EXPECT_STREQ("A4", static_cast<vemlor::ui::FreqKnobControl*>(made[1][0])->GetValueStr());
  EXPECT_STREQ("6.0 dB", static_cast<vemlor::ui::ControlValueKnobControl*>(made[0][0])->GetValueStr());
}

TEST_P(WidgetStates, SlidersSelectorsAndReadouts)
{
  Open(110 + kNStates * 150, 24 + 40 + 50 + 30 + 80 + 30 + 80 + 110 + 34);
  const IText t15w = Text(15.f, COLOR_WHITE);
  const std::vector<Row> rows = {
    {"fill slider", 40.f,
     [this, t15w](const IRECT& r) {
       auto* s = d.learnable<zarvo::ui::FillSliderControl>(r, kDetune, COLOR_TRANSPARENT, kHighlightGray, kAccent, t15w,
                                                           "dtn M");
       s->setShowNumber(true, 0);
       s->setFillOrigin(0.5f);
       return s;
     }},
    {"fill slider, label", 50.f,
     [this](const IRECT& r) {
       auto* s = d.learnable<zarvo::ui::FillSliderControl>(r, kDepth, COLOR_TRANSPARENT, kHighlightGray, kAccent,
                                                           Text(16.f, COLOR_WHITE), "");
       s->setShowNumber(true, 2);
       s->setLabel("pt depth", Text(14.f, COLOR_WHITE));
       return s;
     }},
    {"value switch", 30.f,
     [this](const IRECT& r) { return d.learnable<vemlor::ui::ControlValueSwitchControl>(r, kInvert, "", Style(2)); }},
    {"select grid", 80.f,
     [this](const IRECT& r) {
       auto* s = d.learnable<zarvo::ui::SelectControl>(r, kPass, std::vector<const char*>{}, "", Style(3));
       s->setGrid(2, 3);
       return s;
     }},
    {"drag box", 30.f,
     [this](const IRECT& r) {
       IVStyle style = Style(1);
       style.labelText = Text(14.f, kLight);
       style.valueText = Text(16.f, COLOR_WHITE);
       style.colorSpec.SetColor(EVColor::BG, IColor(255, 45, 45, 45));
       style.colorSpec.SetColor(EVColor::FG, COLOR_WHITE);
       style.colorSpec.SetColor(EVColor::X1, kLight);
       return d.learnable<zarvo::ui::IntDragControl>(r, kVoices, style, "voices",
                                                     zarvo::ui::IntDragControl::LabelPos::Left, 0.55f, 4.);
     }},
    {"depth readout", 80.f,
     [](const IRECT& r) {
       auto* m = new zarvo::ui::FreqModDepthReadout(r);
       m->setTextStyles(Text(14.f, kLight, EAlign::Near), Text(14.f, COLOR_WHITE, EAlign::Near));
       m->setLayout(55.f, 5.f);
       m->setDepth(-1.2534, true);
       return m;
     },
     false},
    {"shape readout", 110.f,
     [](const IRECT& r) {
       auto* s = new vemlor::ui::StageCoeffsReadout(r);
       s->setTextStyles(Text(14.f, COLOR_WHITE, EAlign::Near), Text(16.f, kLight, EAlign::Near),
                        Text(16.f, COLOR_WHITE, EAlign::Near));
       s->setBackground(kAccent);
       const char* names[] = {"lp", "bp", "hp"};
       const double values[] = {0.5, -0.25, 1.};
       for (int i = 0; i < 3; ++i)
         s->setRow(i, names[i], values[i]);
       s->setRowCount(3);
       return s;
     },
     false},
    {"section label", 34.f,
     [](const IRECT& r) {
       auto* s =
         new vemlor::ui::SectionLabelControl(r, "damping", IText(16.f, COLOR_LIGHT_GRAY, kMono), COLOR_TRANSPARENT);
       s->setDisabledAlpha(0.6f);
       return s;
     },
     false},
  };
  auto made = Page(rows, 150.f);
  ASSERT_TRUE(g->Frame());
  gl.WritePNG(Name("ui_widgets_controls"));

  // The selected pass type ("BP", second cell of the first row) is filled with the accent.
  const IRECT bp = static_cast<zarvo::ui::SelectControl*>(made[3][0])->segmentRect(1);
  EXPECT_TRUE(Near(At(bp.L + 4.f, bp.T + 4.f), kAccent)) << Str(At(bp.L + 4.f, bp.T + 4.f));
  // The detune slider fills from the middle leftwards to -12 ct: grey just left of the middle, not right.
  const IRECT sl = made[0][0]->GetRECT();
  EXPECT_TRUE(Near(At(sl.MW() - 3.f, sl.T + 3.f), kHighlightGray)) << Str(At(sl.MW() - 3.f, sl.T + 3.f));
  EXPECT_TRUE(Near(At(sl.MW() + 12.f, sl.T + 3.f), kDarkGray)) << Str(At(sl.MW() + 12.f, sl.T + 3.f));
}

INSTANTIATE_TEST_SUITE_P(DrawScale, WidgetStates, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });
