#include "product/ui/hover_help_texts.h"

#include <array>
#include <string_view>

#include "IGfx/IControl.h"
#include "IGfx/IGfx.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/params/params.h"
#include "product/ui/tooltip_bubble_control.h"
#include "utils/ui/ITooltipHost.h"

namespace vemlor::ui {

namespace {

using namespace zarvo;

constexpr std::string_view kSnapHint = "\nhold alt/opt to snap to the nearest note.";
constexpr std::string_view kPrecisionHint = "\nhold shift for precision setting.";
constexpr std::string_view kGritHint = "\nvery useful for controlling chaos and ringing,\nand also for adding grit.";
constexpr std::string_view kMorphPassTypeHint = "\npass types have additional morph contrast slider in morphing menu";
constexpr std::string_view kNoteModeHint = "\nactive only in NOTE mode";

constexpr std::string_view kMainPrefix = "main flt";
constexpr std::string_view kPreAPrefix = "pre flt A";
constexpr std::string_view kPreBPrefix = "pre flt B";

constexpr std::string_view kPreFrequency =
  " frequency\n\nlots of fun can be had by playing with how A and B frequencies relate to each other on high "
  "resonances. you can also control it with midi notes.";
constexpr std::string_view kPreResonance =
  "resonance\n\nhigh resonances, especially adjusted to kick or bass note frequencies, can add lots of juice.";
constexpr std::string_view kDetune =
  " detune\n\ndetunes both L and R channels in opposite directions. the sign picks which channel drifts up and "
  "which down";
constexpr std::string_view kRelativeToNote = "relative to incoming note.";

template <class... Parts>
std::string join(Parts... parts)
{
  std::string s;
  (s.append(parts), ...);
  return s;
}

// The eight note-mode parameters of one cutoff, from its first index, each text after the prefix.
void addNoteModeTexts(HelpTexts& texts, int32_t first, std::string_view prefix)
{
  const std::array<std::string, 8> tails = {
    " midi note\n\noverrides manual setting. if CC is assigned, switches it from absolute to modulate setting",
    join(" note channel\n", kNoteModeHint),
    join(" octave shift\n\n", kRelativeToNote, kNoteModeHint),
    join(" semitone shift\n\n", kRelativeToNote, kNoteModeHint),
    join(" cent shift\n\n", kRelativeToNote, kNoteModeHint),
    join(" glide time\n", kNoteModeHint),
    join(" glide mode (legato / always)\n", kNoteModeHint),
    " cc channel",
  };
  for (int32_t i = 0; i < 8; ++i)
    texts[first + i] = join(prefix, tails[static_cast<size_t>(i)]);
}

struct ButtonText
{
  int tag;
  const char* text;
};

constexpr std::array<ButtonText, 5> kButtonTexts = {{
  {1050, "save cc map to file\n\nthe bindings with their ranges and depth \u2014 no sound"},
  {1051, "load cc map from file\n\nreplaces every binding; the sound stays"},
  {1052, "copy cc map to clipboard"},
  {1053, "paste cc map from clipboard"},
  {1067, "clear cc map"},
}};

} // namespace

void fillParamHelpTexts(HelpTexts& texts)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  texts.clear();
  texts[par_oversampling] = "oversampling";
  texts[par_main_cutoff_hz] =
    join("main filter frequency\n\nyou can also control it with midi notes.", kSnapHint, kPrecisionHint);
  texts[par_main_resonance] = join("main filter resonance\n\nwith noticeable break values and inverted feedbacks the "
                                   "effect of this control can become counterintuitive.",
                                   kPrecisionHint);
  texts[par_main_drive] =
    join("main filter drive\n\nwith noticeable break values and inverted feedbacks can have a stabilizing effect",
         kPrecisionHint);
  texts[par_main_saturation_type] = "saturation type\n\naffects the drive character. depending on the break "
                                    "character one shape can be either softer or harsher than the other";
  texts[par_main_pass_type] =
    join("main filter pass type\n", "\nalso see pt depth and pt tilt params below.", kMorphPassTypeHint);
  texts[par_main_pt_tilt] = "tilts BP and BR: negative adds LP feel, positive adds HP";
  texts[par_main_pt_depth] = "how much of the selected pass type is applied.\n\nat 1 the full canonical shape (e.g. "
                             "LP/HP: 24 db/oct); at 0 it's flat, but still resonating/driving/breaking";
  texts[par_break_intensity] = join("break amount\n\nhow much chaos to introduce into the system. zero amount means "
                                    "clean ladder filter with optional overdrive",
                                    kPrecisionHint);
  texts[par_break_character] = "break character\n\nsame character can have a very different sound based on main "
                               "frequency, resonance, inverted feedback or double break params";
  texts[par_break_param] = "break var\n\neach break character has an internal parameter that affects it to some extent";
  texts[par_break_double] = "double break\n\napplies one more layer of break on top of already broken signal";
  texts[par_break_invert_fb] = "break feedback inversion\n\napplies only to broken signal. on moderate and high break "
                               "values can create short bursts of energy. has no effect when break amount is zero";
  texts[par_damping_release] = join("damping release\n\ntime it takes for a signal to decay after the input goes "
                                    "below threshold. actual time may be longer due to pre flt resonance and routing.",
                                    kGritHint);
  texts[par_damping_thresh] = join("damping threshold db\n\ninput level below which damping becomes active", kGritHint);
  texts[par_damping_hold] = join("damping hold\n\nhow long the damper waits after the input drops before bleeding "
                                 "energy. at 0 the detector is instantaneous.",
                                 kGritHint);
  texts[par_preFlt_A_hz] = join(kPreAPrefix, kPreFrequency, kSnapHint, kPrecisionHint);
  texts[par_preFlt_B_hz] = join(kPreBPrefix, kPreFrequency, kSnapHint, kPrecisionHint);
  texts[par_preFlt_A_res] = join(kPreAPrefix, " ", kPreResonance, kPrecisionHint);
  texts[par_preFlt_B_res] = join(kPreBPrefix, " ", kPreResonance, kPrecisionHint);
  texts[par_preFlt_A_pt] = join("pre flt A pass type\n", kMorphPassTypeHint);
  texts[par_preFlt_B_pt] = join("pre flt B pass type\n", kMorphPassTypeHint);
  texts[par_preFlt_band_mode] =
    "pre flt band mode\n\npre filtering creates two bands: the filtered one, and the original minus the filtered. "
    "processing different bands can have a very different effect. for example, when used on drums with high res and "
    "low freqs this control can sometimes hide the snare drum completely";
  texts[par_preFlt_processing_order] =
    "pre filters processing order\n\nsmooth transition between parallel and sequential";
  texts[par_neg_band_mix] = "negative band mix\n\ndepending on the pre flt band mode setting, adds another band to "
                            "the final mix after the main processing";
  texts[par_dry_wet] = "main mix";
  texts[par_gain_on_dry] = "how much gain affects dry signal\n\n0% \u2014 affects only the filtered signal, mix is a "
                           "clean crossfade\n100% \u2014 gain scales the whole output";
  texts[par_main_gain] =
    "gain\n\ndepending on the \"gain on dry\" param,\ncan affect only the wet signal or both wet and dry";
  texts[par_main_detune] = join(kMainPrefix, kDetune);
  texts[par_preFlt_A_detune] = join(kPreAPrefix, kDetune);
  texts[par_preFlt_B_detune] = join(kPreBPrefix, kDetune);
  texts[par_morph_active] = "explore the landscape between the presets.\neach dot is a full preset of its own";

  addNoteModeTexts(texts, par_main_midi_note_on, kMainPrefix);
  addNoteModeTexts(texts, par_preA_midi_note_on, kPreAPrefix);
  addNoteModeTexts(texts, par_preB_midi_note_on, kPreBPrefix);
}

void setButtonHelpTexts(plugkit::gfx::IGfx& g)
{
  for (const ButtonText& b : kButtonTexts)
    if (plugkit::gfx::IControl* c = g.GetControlWithTag(b.tag))
      c->SetTooltip(b.text);
}

HoverHelp hoverHelpFor(const plugkit::gfx::IControl& control, const HelpTexts& texts)
{
  if (const auto* host = dynamic_cast<const zarvo::ui::ITooltipHost*>(&control))
  {
    const char* text = host->hoveredTooltip();
    if (text && text[0])
      return {text, host->hoveredTooltipRect()};
  }
  if (const char* own = control.GetTooltip(); own && own[0])
    return {own, control.GetRECT()};
  const int idx = control.GetParamIdx(0);
  if (const auto it = texts.find(idx); it != texts.end() && !it->second.empty())
    return {it->second, control.GetRECT()};
  return {};
}

void refreshHoverHelp(plugkit::gfx::IGfx& g, TooltipBubbleControl& bubble, const HelpTexts& texts, bool enabled)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (g.ControlIsCaptured())
    return;
  plugkit::gfx::IControl* hovered = enabled ? g.GetMouseOver() : nullptr;
  const HoverHelp help = hovered ? hoverHelpFor(*hovered, texts) : HoverHelp{};
  if (help.text.empty())
    bubble.hideTooltip();
  else
    bubble.showTooltip(hovered, help.anchor, help.text.c_str());
}

} // namespace vemlor::ui
