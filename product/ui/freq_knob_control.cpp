#include "product/ui/freq_knob_control.h"

#include <cmath>

#include "IGfx/IGfx.h"
#include "IGfx/IGfxEditorDelegate.h"
#include "IPlugin/IPluginParameter.h"

namespace vemlor::ui {

using namespace plugkit::gfx;
using plugkit::IParam;

namespace {

constexpr const char* kPitchClasses[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

double NoteNumber(double hz) { return 12. * std::log2(hz / 440.) + 69.; }

} // namespace

FreqKnobControl::FreqKnobControl(const IRECT& bounds, int paramIdx, int anchoredParamIdx, const char* label,
                                 const IVStyle& style)
  : IVKnobControl(bounds, paramIdx, label, style, false, false, -135.f, 135.f, -135.f, EDirection::Vertical, 4., 2.f)
  , mNoteAnchorParam(anchoredParamIdx)
{
  mFineGearingFactor = 40.;
}

std::string FreqKnobControl::noteName(int note)
{
  const int pc = ((note % 12) + 12) % 12;
  const int octave = static_cast<int>(std::floor(static_cast<double>(note) / 12.)) - 1;
  return std::string(kPitchClasses[pc]) + std::to_string(octave);
}

std::string FreqKnobControl::noteText(double hz)
{
  if (!(hz > 0.) || !std::isfinite(hz))
    return {};
  const double n = NoteNumber(hz);
  const double k = std::round(n);
  const double cents = (n - k) * 100.;
  std::string text = noteName(static_cast<int>(k));
  if (cents > 1.)
    text += "+";
  else if (cents < -1.)
    text += "-";
  return text;
}

void FreqKnobControl::setHighlightColors(const IColor& fill, const IColor& text)
{
  mHighlightFill = fill;
  mHighlightText = text;
}

bool FreqKnobControl::anchored() const
{
  const IGEditorDelegate* dlg = GetDelegate();
  const IParam* anchor = dlg && mNoteAnchorParam >= 0 ? dlg->GetParam(mNoteAnchorParam) : nullptr;
  return anchor && anchor->GetNormalized() > 0.5;
}

void FreqKnobControl::sendAnchor(double value)
{
  IGEditorDelegate* dlg = GetDelegate();
  if (!dlg || mNoteAnchorParam < 0 || !dlg->GetParam(mNoteAnchorParam))
    return;
  dlg->BeginInformHostOfParamChangeFromUI(mNoteAnchorParam);
  dlg->SendParameterValueFromUI(mNoteAnchorParam, value);
  dlg->EndInformHostOfParamChangeFromUI(mNoteAnchorParam);
}

void FreqKnobControl::OnInit()
{
  IVKnobControl::OnInit();
  refreshValueStr();
}

void FreqKnobControl::SetDirty(bool push, int valIdx)
{
  IVKnobControl::SetDirty(push, valIdx);
  refreshValueStr();
}

void FreqKnobControl::refreshValueStr()
{
  const IParam* param = GetParam();
  if (!param)
    return;
  if (mDisplayMode == kDisplayFixed)
  {
    SetValueStr(mFixedText.c_str());
    return;
  }
  if (mDisplayMode == kDisplayParam || !anchored())
  {
    TextString str;
    param->GetDisplay(GetValue(), true, str, true);
    SetValueStr(str.Get());
    return;
  }
  SetValueStr(noteText(param->FromNormalized(GetValue())).c_str());
}

void FreqKnobControl::DrawValue(IGfx& g, bool mouseOver)
{
  if (mHighlighted && mHighlightEnabled && mStyle.showValue)
  {
    g.FillRect(mHighlightFill, mValueBounds.GetPadded(-10.f, 0.f, 10.f, 0.f), &GetBlend());
    IText text = mStyle.valueText;
    text.mFGColor = mHighlightText;
    g.DrawText(text, GetValueStr(), mValueBounds, &GetBlend());
    return;
  }
  if (mouseOver)
    g.FillRect(COLOR_TRANSLUCENT, mValueBounds, &GetBlend());
  if (mStyle.showValue)
    g.DrawText(mStyle.valueText, GetValueStr(), mValueBounds, &GetBlend());
}

void FreqKnobControl::snapToNote()
{
  const IParam* param = GetParam();
  if (!param)
    return;
  const double f = param->FromNormalized(GetValue());
  if (!(f > 0.) || !std::isfinite(f))
    return;
  const double k = std::round(NoteNumber(f));
  const double snapped = param->Constrain(440. * std::pow(2., (k - 69.) / 12.));
  SetValue(std::clamp(param->ToNormalized(snapped), 0., 1.));
  if (mNoteAnchorParam >= 0 && !anchored())
    sendAnchor(1.);
  SetDirty(true);
}

void FreqKnobControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  IVKnobControl::OnMouseDown(x, y, mod);
  if (mod.A)
    snapToNote();
}

void FreqKnobControl::OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod)
{
  if (mod.A)
  {
    IVKnobControl::OnMouseDrag(x, y, dX, dY, mod);
    snapToNote();
    return;
  }
  if (anchored())
    sendAnchor(0.);
  IVKnobControl::OnMouseDrag(x, y, dX, dY, mod);
}

void FreqKnobControl::OnMouseWheel(float x, float y, const IMouseMod& mod, float d)
{
  if (mod.A)
  {
    IVKnobControl::OnMouseWheel(x, y, mod, d);
    snapToNote();
    return;
  }
  if (anchored())
    sendAnchor(0.);
  IVKnobControl::OnMouseWheel(x, y, mod, d);
}

void FreqKnobControl::OnMouseDblClick(float x, float y, const IMouseMod& mod)
{
  if (anchored())
    sendAnchor(0.);
  IVKnobControl::OnMouseDblClick(x, y, mod);
}

} // namespace vemlor::ui
