#include "product/ui/plugin_control_registry.h"

#include <string>
#include <vector>

#include "product/params/param_texts.h"
#include "product/params/params.h"
#include "product/ui/control_value_knob_control.h"
#include "product/ui/control_value_switch_control.h"
#include "product/ui/cutoff_midi_blocks.h"
#include "product/ui/freq_knob_control.h"
#include "product/ui/section_label_control.h"
#include "product/ui/stage_coeffs_readout.h"
#include "utils/ui/FillSliderControl.h"
#include "utils/ui/SelectControl.h"
#include "utils/ui/WrapKnobControl.h"

namespace vemlor::ui {

using namespace plugkit::gfx;
using zarvo::ui::ControlDesc;

namespace {

constexpr const char* kMono = "RobotoMono-Regular.ttf";
constexpr IText kT16W{16.f, COLOR_WHITE, kMono};
constexpr IText kT15W{15.f, COLOR_WHITE, kMono};
constexpr IText kT14W{14.f, COLOR_WHITE, kMono};
constexpr IText kT16G{16.f, COLOR_LIGHT_GRAY, kMono};
constexpr IText kT14R{14.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular"};

constexpr float kThird = 0.33f;
constexpr float kEighth = 0.125f;
constexpr float kQuarter = 0.25f;
constexpr float kCaptionSize = 1.f / 9.f;
// The break-character dial is open by 48 degrees at the bottom.
constexpr float kCharacterHalfArc = (360.f - 48.f) / 2.f;

// How a fill slider shows its value.
struct FillSliderLook
{
  IText text = DEFAULT_TEXT;
  const char* sliderLabel = "";
  bool displayText = false; // the parameter's display text
  int decimals = -1;        // else a number with this many decimals; -1 shows no number
  const char* caption = nullptr;
  IText captionText = DEFAULT_TEXT;
  float origin = 0.f; // 0.5 fills from the middle
  bool vertical = false;
};

FillSliderLook detuneSlider(const char* sliderLabel)
{
  return {.text = kT15W, .sliderLabel = sliderLabel, .decimals = 0, .origin = 0.5f};
}

FillSliderLook captionedSlider(const char* caption, float origin)
{
  return {.text = kT16W, .decimals = 2, .caption = caption, .captionText = kT14W, .origin = origin};
}

// Makes the descriptors; everything a factory needs is copied in, the mediator excepted.
class Catalogue
{
public:
  Catalogue(Mediator& mediator, const IVStyle& s1, const IVStyle& s2, const IVStyle& s3, const IColor& c1,
            const IColor& c2, const IColor& c3, const IColor& c4, const IColor& c5)
    : mMediator(mediator)
    , mStyle1(s1)
    , mStyle2(s2)
    , mStyle3(s3)
    , mColours{c1, c2, c3, c4, c5}
  {}

  // fineFactor above 0 replaces the knob's fine-drag factor.
  ControlDesc valueKnob(int param, const char* label, float size, double fineFactor = 0.0) const
  {
    return desc(size, label,
                [&m = mMediator, param, text = std::string(label), style = mStyle1, fineFactor](const IRECT& r) {
                  auto* knob = makeLearnable<ControlValueKnobControl>(m, r, param, text.c_str(), style);
                  if (fineFactor > 0.0)
                    knob->setFineFactor(fineFactor);
                  return knob;
                });
  }

  ControlDesc freqKnob(int param, int anchoredParam, const char* label) const
  {
    return desc(kThird, label,
                [&m = mMediator, param, anchoredParam, text = std::string(label), style = mStyle1, fill = mColours[3],
                 textColour = mColours[4]](const IRECT& r) {
                  auto* knob = makeLearnable<FreqKnobControl>(m, r, param, anchoredParam, text.c_str(), style);
                  knob->setHighlightColors(fill, textColour);
                  knob->setHighlightEnabled(true);
                  return knob;
                });
  }

  ControlDesc valueSwitch(int param, const char* label, const IVStyle& style) const
  {
    return desc(kEighth, label, [&m = mMediator, param, style](const IRECT& r) {
      return makeLearnable<ControlValueSwitchControl>(m, r, param, "", style);
    });
  }

  // The saturation type: a full circle of names turned by 120 degrees, wrapping past its ends.
  ControlDesc saturationKnob(int param, const char* label, const char* caption) const
  {
    std::vector<std::string> names(zarvo::kSatTypeNames.begin(), zarvo::kSatTypeNames.end());
    return desc(kThird, label,
                [&m = mMediator, param, text = std::string(label), style = mStyle1, names,
                 side = std::string(caption)](const IRECT& r) {
                  auto* knob = makeLearnable<zarvo::ui::WrapKnobControl>(m, r, param, text.c_str(), style, names);
                  knob->setRotation(120.f);
                  knob->setSideLabel(side);
                  return knob;
                });
  }

  // The break character: odd positions 1 to 11 named on a dial open by 48 degrees at the bottom,
  // stopping at its ends; its presence dot moves aside, clear of the names.
  ControlDesc characterKnob(int param, const char* label) const
  {
    IVStyle style = mStyle1;
    style.labelText.mSize = 13.f;
    return desc(kThird, label, [&m = mMediator, param, text = std::string(label), style](const IRECT& r) {
      const std::vector<std::string> names = {"1", "", "3", "", "5", "", "7", "", "9", "", "11"};
      auto* knob = makeLearnable<zarvo::ui::WrapKnobControl>(m, r, param, text.c_str(), style, names, 5.f,
                                                             -kCharacterHalfArc, kCharacterHalfArc);
      knob->setWrap(false);
      knob->setSideLabel(text);
      if (auto* learnable = dynamic_cast<zarvo::midi_cc::IControllable*>(knob))
        learnable->setPresenceDotOffset(1.5f, 0.f);
      return knob;
    });
  }

  ControlDesc selectGrid(int param, const char* label, float size, int columns, int rows) const
  {
    return desc(size, label, [&m = mMediator, param, style = mStyle3, columns, rows](const IRECT& r) {
      auto* select = makeLearnable<zarvo::ui::SelectControl>(m, r, param, std::vector<const char*>{}, "", style);
      select->setGrid(columns, rows);
      return select;
    });
  }

  ControlDesc fillSlider(int param, const char* label, float size, const FillSliderLook& look) const
  {
    return desc(
      size, label,
      [&m = mMediator, param, look, track = mColours[0], fill = mColours[1], hover = mColours[2]](const IRECT& r) {
        auto* slider =
          look.vertical
            ? makeLearnable<zarvo::ui::FillSliderControl>(m, r, param, track, fill, hover, look.text, look.sliderLabel,
                                                          DEFAULT_GEARING, EDirection::Vertical)
            : makeLearnable<zarvo::ui::FillSliderControl>(m, r, param, track, fill, hover, look.text, look.sliderLabel);
        if (look.displayText)
          slider->setShowDisplayText(true);
        else if (look.decimals >= 0)
          slider->setShowNumber(true, look.decimals);
        if (look.caption)
          slider->setLabel(look.caption, look.captionText);
        slider->setFillOrigin(look.origin);
        return slider;
      });
  }

  ControlDesc shapeReadout(StageCoeffsReadout::ShapeKind kind, const char* label, float size) const
  {
    return desc(size, label, [kind, accent = mStyle3.colorSpec.GetColor(EVColor::PR)](const IRECT& r) -> IControl* {
      auto* readout = new StageCoeffsReadout(r);
      readout->setShapeKind(kind);
      readout->setTextStyles(nearAligned(kT14W), nearAligned(kT16G), nearAligned(kT16W));
      readout->setBackground(accent);
      return readout;
    });
  }

  static ControlDesc caption(const char* text)
  {
    return desc(kCaptionSize, text, [str = std::string(text)](const IRECT& r) -> IControl* {
      auto* label = new SectionLabelControl(r, str.c_str(), kT16G, DEFAULT_BGCOLOR, false);
      label->setDisabledAlpha(0.6f);
      return label;
    });
  }

  ControlDesc block(CutoffBlockKind kind, const NoteModePIds& pids, const char* label, float size) const
  {
    return {makeCutoffBlockFactory(kind, pids, mMediator, mStyle2, mStyle3), size, label};
  }

  const IVStyle& style2() const { return mStyle2; }
  const IVStyle& style3() const { return mStyle3; }

private:
  template <class F>
  static ControlDesc desc(float size, const char* label, F&& factory)
  {
    return {std::forward<F>(factory), size, label};
  }

  static IText nearAligned(IText text)
  {
    text.mAlign = EAlign::Near;
    return text;
  }

  Mediator& mMediator;
  IVStyle mStyle1;
  IVStyle mStyle2;
  IVStyle mStyle3;
  IColor mColours[5];
};

} // namespace

zarvo::ui::ControlRegistry buildControlRegistry(Mediator& mediator, const IVStyle& style1, const IVStyle& style2,
                                                const IVStyle& style3, const IColor& c1, const IColor& c2,
                                                const IColor& c3, const IColor& c4, const IColor& c5)
{
  using namespace zarvo;
  const Catalogue cat(mediator, style1, style2, style3, c1, c2, c3, c4, c5);
  zarvo::ui::ControlRegistry reg;

  reg.group("main filter", [&] {
    reg.add(par_main_cutoff_hz, cat.freqKnob(par_main_cutoff_hz, par_main_cutoff_note_anchored, "Main hz"));
    reg.add(par_main_resonance, cat.valueKnob(par_main_resonance, "Main res", kThird));
    reg.add(par_main_drive, cat.valueKnob(par_main_drive, "drive", kThird));
    reg.add(par_main_detune, cat.fillSlider(par_main_detune, "detune", kEighth, detuneSlider("dtn M")));
    reg.add(par_main_saturation_type, cat.saturationKnob(par_main_saturation_type, "drive var", "d var"));
    reg.add(par_main_pass_type, cat.selectGrid(par_main_pass_type, "pass type", kThird, 2, 3));
    reg.add(par_main_pt_depth,
            cat.fillSlider(par_main_pt_depth, "pt depth", kQuarter, captionedSlider("pt depth", 0.f)));
    reg.add(par_main_pt_tilt, cat.fillSlider(par_main_pt_tilt, "pt tilt", kQuarter, captionedSlider("pt tilt", 0.5f)));
    reg.addAlt(10015, cat.shapeReadout(StageCoeffsReadout::ShapeKind::Main, "user blend", 0.67f), par_main_pass_type);
  });

  reg.group("break", [&] {
    reg.add(par_break_intensity, cat.valueKnob(par_break_intensity, "break", kThird));
    reg.add(par_break_invert_fb, cat.valueSwitch(par_break_invert_fb, "feedback invertion", cat.style2()));
    reg.add(par_break_double,
            cat.fillSlider(par_break_double, "break x2", kEighth, {.text = kT16W, .sliderLabel = "2x"}));
    reg.add(par_break_character, cat.characterKnob(par_break_character, "b char"));
    reg.add(par_break_param, cat.valueKnob(par_break_param, "b var", kThird));
  });

  reg.group("pre-filters", [&] {
    reg.add(par_preFlt_processing_order, cat.valueKnob(par_preFlt_processing_order, "A+B A*B", kThird));
    reg.add(par_preFlt_band_mode,
            cat.fillSlider(par_preFlt_band_mode, "band mode", kQuarter, captionedSlider("band mode", 0.f)));
    reg.add(par_neg_band_mix, cat.fillSlider(par_neg_band_mix, "neg mix", kQuarter, captionedSlider("neg mix", 0.f)));
    reg.add(par_preFlt_A_pt, cat.selectGrid(par_preFlt_A_pt, "A pt", 0.5f, 3, 2));
    reg.add(par_preFlt_B_pt, cat.selectGrid(par_preFlt_B_pt, "B pt", 0.5f, 3, 2));
    reg.addAlt(10016, cat.shapeReadout(StageCoeffsReadout::ShapeKind::PreA, "A user blend", 0.5f), par_preFlt_A_pt);
    reg.addAlt(10017, cat.shapeReadout(StageCoeffsReadout::ShapeKind::PreB, "B user blend", 0.5f), par_preFlt_B_pt);
    reg.add(par_preFlt_A_hz, cat.freqKnob(par_preFlt_A_hz, par_preA_cutoff_note_anchored, "A hz"));
    reg.add(par_preFlt_B_hz, cat.freqKnob(par_preFlt_B_hz, par_preB_cutoff_note_anchored, "B hz"));
    reg.add(par_preFlt_A_detune, cat.fillSlider(par_preFlt_A_detune, "A detune", kEighth, detuneSlider("dtn A")));
    reg.add(par_preFlt_B_detune, cat.fillSlider(par_preFlt_B_detune, "B detune", kEighth, detuneSlider("dtn B")));
    reg.add(par_preFlt_A_res, cat.valueKnob(par_preFlt_A_res, "A res", kThird, 100.0));
    reg.add(par_preFlt_B_res, cat.valueKnob(par_preFlt_B_res, "B res", kThird, 100.0));
  });

  reg.group("damping", [&] {
    const FillSliderLook timeSlider{.text = kT16W, .displayText = true};
    reg.add(par_damping_hold, cat.fillSlider(par_damping_hold, "damp hold", kEighth, timeSlider));
    reg.add(par_damping_release, cat.fillSlider(par_damping_release, "damp release", kEighth, timeSlider));
    reg.add(par_damping_thresh,
            cat.fillSlider(par_damping_thresh, "damp thresh", kEighth, {.text = kT16W, .decimals = 1}));
  });

  reg.group("labels", [&] {
    const std::pair<int, const char*> captions[] = {
      {10102, "MAIN"},    {10103, "PRE A"},     {10104, "PRE B"},      {10101, "RESONANCE"},  {10100, "FREQUENCY"},
      {10108, "DAMPING"}, {10105, "MAIN FREQ"}, {10106, "PRE A FREQ"}, {10107, "PRE B FREQ"},
    };
    for (const auto& [id, text] : captions)
      reg.addAlt(id, Catalogue::caption(text), id);
  });

  reg.group("MIDI", [&] {
    struct Cutoff
    {
      int firstId;
      const char* name;
      NoteModePIds pids;
    };
    const Cutoff cutoffs[] = {
      {10004, "main", kMainCutoffNoteModePIds},
      {10008, "pre A", kPreACutoffNoteModePIds},
      {10012, "pre B", kPreBCutoffNoteModePIds},
    };
    for (const Cutoff& c : cutoffs)
    {
      const std::string name = c.name;
      reg.addAlt(c.firstId, cat.block(CutoffBlockKind::Notes, c.pids, (name + " cutoff midi notes").c_str(), 5.f / 9.f),
                 c.pids.cutoff);
      reg.addAlt(c.firstId + 1,
                 cat.block(CutoffBlockKind::Glide, c.pids, (name + " cutoff midi glide").c_str(), 1.f / 3.f),
                 c.pids.cutoff);
      reg.addAlt(c.firstId + 2, cat.block(CutoffBlockKind::CC, c.pids, (name + " cutoff cc").c_str(), 2.f / 3.f),
                 c.pids.cutoff);
    }
  });

  reg.add(par_oversampling, cat.valueSwitch(par_oversampling, "oversample", cat.style3()));
  reg.add(par_dry_wet, cat.valueKnob(par_dry_wet, "mix", kThird));
  reg.add(par_main_gain, cat.valueKnob(par_main_gain, "gain", kThird));
  const FillSliderLook gainOnDry{.text = kT14R, .vertical = true};
  reg.add(par_gain_on_dry, cat.fillSlider(par_gain_on_dry, "gain on dry", kThird, gainOnDry));
  return reg;
}

} // namespace vemlor::ui
