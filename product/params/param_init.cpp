#include "product/params/param_init.h"

#include <span>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "product/params/param_texts.h"

namespace zarvo {
namespace {

using plugkit::IParam;

enum class Kind
{
  Double,
  Int,
  Bool,
  Enum
};
enum class Text
{
  Number,
  List,
  Frequency,
  Gain,
  Percent,
  Hold,
  Release,
  Threshold,
  Saturation,
  Glide
};

constexpr int kA = IParam::kFlagCannotAutomate;
constexpr int kM = IParam::kFlagMeta;
constexpr double kLinear = 0.0; // in the power column: no power curve

using TextList = std::span<const char* const>;

constexpr const char* kPreFltPassTypeTexts[] = {"LP", "HP", "BP", "BR", "P"};
constexpr const char* kMainPassTypeTexts[] = {"LP", "HP", "AP", "BP", "BR", "P"};
constexpr const char* kReservedATexts[] = {"0", "1"};
constexpr const char* kReservedBTexts[] = {"0", "1", "2"};
constexpr const char* kInvertFbTexts[] = {"fb -", "fb +"};
constexpr const char* kOversamplingTexts[] = {"os 1x", "os 2x", "os 4x", "os 8x"};
constexpr const char* kGlideModeTexts[] = {"legato", "always"};
constexpr const char* kChannelTexts[] = {"all", "1",  "2",  "3",  "4",  "5",  "6",  "7", "8",
                                         "9",   "10", "11", "12", "13", "14", "15", "16"};

// One parameter's row; a note-block row's host name holds "{}" for the stage label.
struct Row
{
  int index;
  const char* hostName;
  Kind kind;
  double def;
  double min;
  double max;
  double step;
  double power;
  Text text;
  TextList list;
  int flags;
};

constexpr Row kRows[] = {
  {par_preFlt_A_hz, "preFlt A hz", Kind::Double, 20000, 1, 20000, 0.01, 4.0, Text::Frequency, {}, 0},
  {par_preFlt_A_detune, "pre flt A detune", Kind::Int, 0, -100, 100, 1, kLinear, Text::Number, {}, 0},
  {par_preFlt_A_res, "preFlt A res", Kind::Double, 0.5, 0, 1, 0.0001, 0.125, Text::Number, {}, 0},
  {par_preFlt_A_pt, "preFlt A pass type", Kind::Enum, 0, 0, 4, 1, kLinear, Text::List, kPreFltPassTypeTexts, 0},
  {par_preFlt_B_hz, "preFlt B hz", Kind::Double, 1, 1, 20000, 0.01, 4.0, Text::Frequency, {}, 0},
  {par_preFlt_B_detune, "pre flt B detune", Kind::Int, 0, -100, 100, 1, kLinear, Text::Number, {}, 0},
  {par_preFlt_B_res, "preFlt B res", Kind::Double, 0.5, 0, 1, 0.0001, 0.125, Text::Number, {}, 0},
  {par_preFlt_B_pt, "preFlt B pass type", Kind::Enum, 1, 0, 4, 1, kLinear, Text::List, kPreFltPassTypeTexts, 0},
  {par_preFlt_processing_order, "preFlt proc order", Kind::Double, 1, 0, 1, 0.001, kLinear, Text::Number, {}, 0},
  {par_preFlt_band_mode, "preFlt band mode", Kind::Double, 0, -1, 1, 0.001, kLinear, Text::Number, {}, 0},
  {par_neg_band_mix, "neg band mix", Kind::Double, 0, 0, 4, 0.001, kLinear, Text::Number, {}, 0},
  {par_main_cutoff_hz, "main hz", Kind::Double, 20000, 1, 20000, 0.01, 2.5, Text::Frequency, {}, 0},
  {par_main_detune, "main flt detune", Kind::Int, 0, -100, 100, 1, kLinear, Text::Number, {}, 0},
  {par_main_resonance, "main res", Kind::Double, 0.5, 0, 1, 0.0001, 0.5, Text::Number, {}, 0},
  // A power curve of exponent 1 maps linearly but still counts as a non-linear shape.
  {par_main_drive, "drive", Kind::Double, 0, 0, 1, 0.0001, 1.0, Text::Number, {}, 0},
  {par_main_saturation_type, "sat type", Kind::Double, 2, 0, 3, 0.001, kLinear, Text::Saturation, {}, 0},
  {par_main_pass_type, "main pass type", Kind::Enum, 0, 0, 5, 1, kLinear, Text::List, kMainPassTypeTexts, 0},
  {par_main_pt_variation, "reserved c", Kind::Double, 0, 0, 1, 0.001, kLinear, Text::Number, {}, kA},
  {par_main_filter_model, "reserved a", Kind::Enum, 0, 0, 1, 1, kLinear, Text::List, kReservedATexts, kA},
  {par_main_res_comp, "reserved b", Kind::Enum, 0, 0, 2, 1, kLinear, Text::List, kReservedBTexts, kA},
  {par_break_intensity, "break", Kind::Double, 0, 0, 1, 0.0001, 0.5, Text::Number, {}, 0},
  {par_break_character, "break char", Kind::Double, 1, 1, 11, 0.001, kLinear, Text::Number, {}, 0},
  {par_break_param, "break var", Kind::Double, 0.5, 0, 1, 0.001, kLinear, Text::Number, {}, 0},
  {par_break_double, "break double", Kind::Double, 0, 0, 1, 0.001, kLinear, Text::Number, {}, 0},
  {par_break_invert_fb, "break fb inversion", Kind::Enum, 0, 0, 1, 1, kLinear, Text::List, kInvertFbTexts, 0},
  {par_damping_release, "damping release", Kind::Double, 100, 0, 2000, 0.1, 2.0, Text::Release, {}, 0},
  {par_damping_thresh, "damping thresh", Kind::Double, -80, -100, 0, 0.1, 0.5, Text::Threshold, {}, 0},
  {par_damping_hold, "damping hold", Kind::Double, 2, 0, 10, 0.1, kLinear, Text::Hold, {}, 0},
  {par_oversampling, "oversampling", Kind::Enum, 0, 0, 3, 1, kLinear, Text::List, kOversamplingTexts, 0},
  {par_dry_wet, "mix", Kind::Double, 1, 0, 1, 0.001, kLinear, Text::Number, {}, 0},
  {par_main_gain, "gain", Kind::Double, 0, -24, 24, 0.1, kLinear, Text::Gain, {}, 0},
  {par_gain_on_dry, "gain on dry", Kind::Double, 0, 0, 1, 0.001, kLinear, Text::Percent, {}, kA},
  {par_morph_active, "morph active", Kind::Bool, 1, 0, 1, 1, kLinear, Text::List, {}, 0},
  {par_morph_x, "morph X", Kind::Double, 0.5, 0, 1, 0.0001, kLinear, Text::Number, {}, 0},
  {par_morph_y, "morph Y", Kind::Double, 46.0 / 101.0, 0, 1, 0.0001, kLinear, Text::Number, {}, 0},
  {par_main_ub_u, "main UB u", Kind::Double, 0, -36, 36, 0.0001, kLinear, Text::Number, {}, 0},
  {par_main_ub_y1, "main UB y1", Kind::Double, 0, -36, 36, 0.0001, kLinear, Text::Number, {}, 0},
  {par_main_ub_y2, "main UB y2", Kind::Double, 0, -36, 36, 0.0001, kLinear, Text::Number, {}, 0},
  {par_main_ub_y3, "main UB y3", Kind::Double, 0, -36, 36, 0.0001, kLinear, Text::Number, {}, 0},
  {par_main_ub_y4, "main UB y4", Kind::Double, 1, -36, 36, 0.0001, kLinear, Text::Number, {}, 0},
  {par_main_ub_fb, "main UB fb", Kind::Double, 1, 0, 1, 0.0001, kLinear, Text::Number, {}, 0},
  {par_main_ub_on, "main UB on", Kind::Bool, 0, 0, 1, 1, kLinear, Text::List, {}, 0},
  {par_preFlt_A_ub_lp, "preFlt A UB lp", Kind::Double, 1, -4, 4, 0.0001, kLinear, Text::Number, {}, 0},
  {par_preFlt_A_ub_hp, "preFlt A UB hp", Kind::Double, 0, -4, 4, 0.0001, kLinear, Text::Number, {}, 0},
  {par_preFlt_A_ub_bp, "preFlt A UB bp", Kind::Double, 0, -4, 4, 0.0001, kLinear, Text::Number, {}, 0},
  {par_preFlt_A_ub_on, "preFlt A UB on", Kind::Bool, 0, 0, 1, 1, kLinear, Text::List, {}, 0},
  {par_preFlt_B_ub_lp, "preFlt B UB lp", Kind::Double, 0, -4, 4, 0.0001, kLinear, Text::Number, {}, 0},
  {par_preFlt_B_ub_hp, "preFlt B UB hp", Kind::Double, 1, -4, 4, 0.0001, kLinear, Text::Number, {}, 0},
  {par_preFlt_B_ub_bp, "preFlt B UB bp", Kind::Double, 0, -4, 4, 0.0001, kLinear, Text::Number, {}, 0},
  {par_preFlt_B_ub_on, "preFlt B UB on", Kind::Bool, 0, 0, 1, 1, kLinear, Text::List, {}, 0},
  {par_main_cutoff_note_anchored, "main hz note anchored", Kind::Bool, 0, 0, 1, 1, kLinear, Text::List, {}, kA | kM},
  {par_preA_cutoff_note_anchored, "pre A hz note anchored", Kind::Bool, 0, 0, 1, 1, kLinear, Text::List, {}, kA | kM},
  {par_preB_cutoff_note_anchored, "pre B hz note anchored", Kind::Bool, 0, 0, 1, 1, kLinear, Text::List, {}, kA | kM},
  {par_main_pt_depth, "pt depth", Kind::Double, 1, 0, 1, 0.001, kLinear, Text::Number, {}, 0},
  {par_main_pt_tilt, "pt tilt", Kind::Double, 0, -1, 1, 0.001, kLinear, Text::Number, {}, 0},
};

// The note-tracking block: one group of eight per filter stage; index holds the member offset.
constexpr Row kNoteGroup[] = {
  {0, "{} hz midi note mode", Kind::Bool, 0, 0, 1, 1, kLinear, Text::List, {}, kA},
  {1, "{} hz midi note ch", Kind::Enum, 0, 0, 16, 1, kLinear, Text::List, kChannelTexts, kA},
  {2, "{} hz note oct shift", Kind::Int, 0, -8, 8, 1, kLinear, Text::Number, {}, 0},
  {3, "{} hz note semi shift", Kind::Int, 0, -12, 12, 1, kLinear, Text::Number, {}, 0},
  {4, "{} hz note cent shift", Kind::Int, 0, -100, 100, 1, kLinear, Text::Number, {}, 0},
  {5, "{} hz midi glide ms", Kind::Double, 0, 0, 2000, 1, 2.0, Text::Glide, {}, 0},
  {6, "{} glide mode", Kind::Enum, 0, 0, 1, 1, kLinear, Text::List, kGlideModeTexts, 0},
  {7, "{} CC ch", Kind::Enum, 0, 0, 16, 1, kLinear, Text::List, kChannelTexts, kA},
};

struct NoteStage
{
  int base;
  const char* label;
};
constexpr NoteStage kNoteStages[] = {
  {par_main_midi_note_on, "main"}, {par_preA_midi_note_on, "pre A"}, {par_preB_midi_note_on, "pre B"}};

static_assert(std::size(kRows) + std::size(kNoteGroup) * std::size(kNoteStages) == kNumParams);

IParam::DisplayFunc displayFuncOf(Text text)
{
  switch (text)
  {
  case Text::Frequency: return params::makeSegmentedDisplay(params::kFrequencySegments);
  case Text::Gain: return params::makeDisplayFunc(params::gainText);
  case Text::Percent: return params::makeDisplayFunc(params::percentText);
  case Text::Hold: return params::makeDisplayFunc(params::holdText);
  case Text::Release: return params::makeDisplayFunc(params::releaseText);
  case Text::Threshold: return params::makeDisplayFunc(params::thresholdText);
  case Text::Saturation: return params::makeDisplayFunc(params::saturationText);
  case Text::Glide: return params::makeDisplayFunc(params::glideText);
  case Text::Number:
  case Text::List: break;
  }
  return nullptr;
}

IParam::ParseFunc parseFuncOf(Text text)
{
  switch (text)
  {
  case Text::Frequency: return params::makeSegmentedParse(params::kFrequencySegments);
  case Text::Gain:
  case Text::Threshold: return params::decibelValue;
  case Text::Percent: return params::percentValue;
  case Text::Hold: return params::holdValue;
  case Text::Release: return params::releaseValue;
  case Text::Saturation: return params::saturationValue;
  case Text::Glide: return params::glideValue;
  case Text::Number:
  case Text::List: break;
  }
  return nullptr;
}

void applyRow(IParam& param, const Row& row, const char* hostName)
{
  switch (row.kind)
  {
  case Kind::Double:
  {
    const IParam::ShapeLinear linear;
    const IParam::ShapePowCurve power(row.power);
    const IParam::Shape& shape = row.power == kLinear ? static_cast<const IParam::Shape&>(linear) : power;
    param.InitDouble(hostName, row.def, row.min, row.max, row.step, "", row.flags, "", shape, IParam::kUnitCustom,
                     displayFuncOf(row.text));
    param.SetParseFunc(parseFuncOf(row.text));
    break;
  }
  case Kind::Int:
    param.InitInt(hostName, static_cast<int>(row.def), static_cast<int>(row.min), static_cast<int>(row.max), "",
                  row.flags, "");
    break;
  case Kind::Bool: param.InitBool(hostName, row.def != 0.0, "", row.flags, "", "off", "on"); break;
  case Kind::Enum:
    param.InitEnum(hostName, static_cast<int>(row.def), std::vector<std::string>(row.list.begin(), row.list.end()),
                   row.flags, "");
    break;
  }
}

} // namespace

void initParam(IParam& param, int index)
{
  for (const Row& row : kRows)
  {
    if (row.index == index)
      return applyRow(param, row, row.hostName);
  }
  for (const NoteStage& stage : kNoteStages)
  {
    const int member = index - stage.base;
    if (member >= 0 && member < static_cast<int>(std::size(kNoteGroup)))
    {
      const Row& row = kNoteGroup[member];
      return applyRow(param, row, fmt::format(fmt::runtime(row.hostName), stage.label).c_str());
    }
  }
}

std::array<bool, mod::kNumModSlots> modShapedFlags(const std::function<const IParam&(int)>& getParam)
{
  std::array<bool, mod::kNumModSlots> shaped{};
  for (int slot = 0; slot < mod::kNumModSlots; ++slot)
    shaped[static_cast<size_t>(slot)] =
      getParam(mod::kModParams[static_cast<size_t>(slot)].param).GetShapeID() != IParam::kShapeLinear;
  return shaped;
}

} // namespace zarvo
