#include "product/ui/cutoff_midi_blocks.h"

#include <algorithm>

#include "IGfx/Controls/ITextControl.h"
#include "IGfx/Controls/IVKnobControl.h"
#include "IGfx/Controls/IVToggleControl.h"
#include "IGfx/IContainerBase.h"
#include "IGfx/IGfx.h"
#include "IGfx/IGfxEditorDelegate.h"
#include "utils/midi_cc/cc_display_control.h"
#include "utils/ui/FreqModDepthReadout.h"
#include "utils/ui/IntDragControl.h"

namespace vemlor::ui {

using namespace plugkit::gfx;

namespace {

constexpr float kLabelWidth = 50.f;
constexpr float kControlOffset = 55.f; // from the group's left edge to the control column

constexpr IText kBlockText{16.f, COLOR_LIGHT_GRAY, "RobotoMono-Regular.ttf", EAlign::Far, EVAlign::Middle};

float controlWidth(CutoffBlockKind kind, float h)
{
  switch (kind)
  {
  case CutoffBlockKind::Notes: return 3.f * h / 5.f;
  case CutoffBlockKind::Glide: return h;
  case CutoffBlockKind::CC: return h / 2.f;
  }
  return h;
}

IControl* label(const IRECT& r, const char* text)
{
  return new ITextControl(r, text, kBlockText, DEFAULT_BGCOLOR, false);
}

// Adds the child at its parameter's current value, so it shows the right value from its first frame.
void addChild(IContainerBase* container, IControl* child)
{
  IGfx* g = container->GetUI();
  if (g && child->GetParamIdx() >= 0)
  {
    if (const plugkit::IParam* param = g->GetDelegate()->GetParam(child->GetParamIdx()))
      child->SetValue(param->GetNormalized());
  }
  container->AddChildControl(child);
}

// The drag boxes draw their value in the style's foreground colour, which the editor's styles leave
// fully transparent; the value text's own colour shows it instead.
IVStyle dragBoxStyle(IVStyle style)
{
  if (style.colorSpec.GetColor(EVColor::FG).A == 0)
    style.colorSpec.SetColor(EVColor::FG, style.valueText.mFGColor);
  return style;
}

// The glide knob in a style whose frame is clear would show nothing at 0 ms, where its value arc has
// no length: its ring and pointer take the arc's colour so the dial shows at every value.
IVStyle glideKnobStyle(IVStyle style)
{
  if (style.colorSpec.GetColor(EVColor::FR).A == 0)
    style.colorSpec.SetColor(EVColor::FR, style.colorSpec.GetColor(EVColor::X1));
  return style;
}

// An integer box without a label of its own: its label is the block's text beside it.
IControl* intBox(const IRECT& r, int param, const IVStyle& style, Mediator* learnThrough = nullptr)
{
  using zarvo::ui::IntDragControl;
  constexpr float kLabelFraction = 0.4f;
  constexpr double kGearing = 4.0;
  const IVStyle boxStyle = dragBoxStyle(style);
  if (learnThrough)
    return makeLearnable<IntDragControl>(*learnThrough, r, param, boxStyle);
  return new IntDragControl(r, param, boxStyle, "", IntDragControl::LabelPos::None, kLabelFraction, kGearing);
}

void createChildren(IContainerBase* c, CutoffBlockKind kind, const NoteModePIds& p, Mediator& mediator,
                    const IVStyle& style2, const IVStyle& style3)
{
  const IRECT r = c->GetRECT();
  switch (kind)
  {
  case CutoffBlockKind::Notes:
    addChild(c, label(r, "NOTE"));
    addChild(c, makeLearnable<IVToggleControl>(mediator, r, static_cast<int>(p.noteOn), "", style3, "off", "on"));
    addChild(c, label(r, "ch"));
    addChild(c, intBox(r, p.noteChannel, style2));
    addChild(c, label(r, "oct"));
    addChild(c, intBox(r, p.octShift, style2, &mediator));
    addChild(c, label(r, "semi"));
    addChild(c, intBox(r, p.semiShift, style2, &mediator));
    addChild(c, label(r, "cent"));
    addChild(c, intBox(r, p.centShift, style2, &mediator));
    break;
  case CutoffBlockKind::Glide:
    addChild(c, label(r, "glide"));
    addChild(c, makeLearnable<IVKnobControl>(mediator, r, static_cast<int>(p.glideMs), "", glideKnobStyle(style2)));
    addChild(
      c, makeLearnable<IVToggleControl>(mediator, r, static_cast<int>(p.glideAlways), "", style3, "legato", "always"));
    break;
  case CutoffBlockKind::CC:
  {
    IText white = kBlockText;
    white.mFGColor = COLOR_WHITE;
    white.mAlign = EAlign::Center;
    addChild(c, label(r, "CC"));
    addChild(c, makeLearnable<zarvo::midi_cc::CCDisplayControl>(mediator, r, static_cast<int>(p.cutoff), "--", white));
    addChild(c, label(r, "ch"));
    addChild(c, intBox(r, p.ccChannel, style2));
    auto* depth = new zarvo::ui::FreqModDepthReadout(r);
    depth->setParameter(p.cutoff);
    IText values = white;
    values.mAlign = EAlign::Near;
    depth->setTextStyles(kBlockText, values);
    depth->setLayout(55.f, 5.f);
    addChild(c, depth);
    break;
  }
  }
}

} // namespace

std::vector<IRECT> cutoffBlockLayout(CutoffBlockKind kind, const IRECT& b)
{
  const float h = b.H();
  const float c = controlWidth(kind, h);
  const float g = b.L + std::max(0.f, (b.W() - kControlOffset - c) / 2.f);
  const float labelL = g;
  const float labelR = g + kLabelWidth;
  const float ctlL = g + kControlOffset;
  const float ctlR = ctlL + c;
  const auto row = [&](int i, int rows) { return std::pair{b.T + i * h / rows, b.T + (i + 1) * h / rows}; };
  // Labels at even positions, the controls they name at odd ones, two children per row.
  const auto pairs = [&](int n, int rows, std::vector<IRECT>& out) {
    for (int i = 0; i < n; ++i)
    {
      const auto [t, bottom] = row(i / 2, rows);
      out.push_back(i % 2 == 0 ? IRECT(labelL, t, labelR, bottom) : IRECT(ctlL, t, ctlR, bottom));
    }
  };

  std::vector<IRECT> rects;
  switch (kind)
  {
  case CutoffBlockKind::Notes: pairs(10, 5, rects); break;
  case CutoffBlockKind::Glide:
  {
    const auto [t0, b0] = row(0, 3);
    const auto [t1, b1] = row(1, 3);
    rects.emplace_back(labelL, t0, labelR, b0);
    rects.emplace_back(ctlL, b.T, ctlR, b.B);
    rects.emplace_back(labelL, t1, labelR, b1);
    break;
  }
  case CutoffBlockKind::CC:
    pairs(4, 6, rects);
    rects.emplace_back(g, row(2, 6).first, ctlR, row(4, 6).second);
    break;
  }
  return rects;
}

ControlFactory makeCutoffBlockFactory(CutoffBlockKind kind, const NoteModePIds& pids, Mediator& mediator,
                                      const IVStyle& style2, const IVStyle& style3)
{
  return [kind, pids, &mediator, style2, style3](const IRECT& r) -> IControl* {
    return new IContainerBase(
      r,
      [kind, pids, &mediator, style2, style3](IContainerBase* c, const IRECT&) {
        createChildren(c, kind, pids, mediator, style2, style3);
      },
      [kind](IContainerBase* c, const IRECT& bounds) {
        const std::vector<IRECT> rects = cutoffBlockLayout(kind, bounds);
        c->ForAllChildrenFunc([&rects](int i, IControl* child) {
          if (i < static_cast<int>(rects.size()))
          {
            child->SetTargetAndDrawRECTs(rects[static_cast<size_t>(i)]);
            child->OnResize();
          }
        });
      });
  };
}

} // namespace vemlor::ui
