#include "product/patch/factory_presets.h"

#include <iterator>
#include <random>

#include "IPlugin/IPluginThreadRole.h"
#include "product/patch/preset_manager.h"
#include "utils/repeatable_run.h"

namespace zarvo {
namespace {

// Plain values; everything a preset leaves out stays at its default. Pass-type numbers are list
// positions: main 0 LP, 1 HP, 2 AP, 3 BP, 4 BR, 5 P; pre-filters 0 LP, 1 HP, 2 BP, 3 BR, 4 P.
// Band mode 0 feeds the main filter the whole input, so presets that shape with the pre-filters set
// one. Gains are set so that a drum loop or a sine sweep peaking at -6 dBFS stays below -1 dBFS.

constexpr PresetParamValue kCleanVosk[] = {
  {par_main_cutoff_hz, 20000.0}, {par_main_resonance, 0.5},   {par_main_drive, 0.0},  {par_main_pt_depth, 1.0},
  {par_break_intensity, 0.0},    {par_break_character, 1.0},  {par_break_param, 0.5}, {par_break_double, 0.0},
  {par_break_invert_fb, 0.0},    {par_preFlt_band_mode, 0.0}, {par_dry_wet, 1.0},     {par_main_detune, 0.0},
  {par_main_gain, 8.0},
};
constexpr PresetParamValue kSlag[] = {
  {par_main_cutoff_hz, 741.573207}, {par_main_resonance, 1.0},
  {par_main_drive, 0.500638},       {par_main_pass_type, 5.0},
  {par_main_pt_depth, 0.0},         {par_break_intensity, 0.707389},
  {par_break_character, 5.253444},  {par_preFlt_A_hz, 8.053931},
  {par_preFlt_A_res, 0.995045},     {par_preFlt_A_pt, 4.0},
  {par_preFlt_B_hz, 27.699232},     {par_preFlt_B_res, 0.992168},
  {par_preFlt_B_pt, 4.0},           {par_preFlt_band_mode, 0.581466},
  {par_preFlt_A_detune, 1.0},       {par_preA_note_cent_shift, -26.0},
  {par_damping_release, 1500.0},    {par_main_gain, -6.0},
  {par_main_saturation_type, 0.0},
};
// A low band (20-180 Hz) into a resonant low-pass; the highs come back untouched.
constexpr PresetParamValue kArk[] = {
  {par_main_cutoff_hz, 420.0}, {par_main_resonance, 0.82},      {par_main_pt_depth, 0.75},
  {par_main_drive, 0.35},      {par_main_saturation_type, 0.0}, {par_break_character, 1.0},
  {par_preFlt_A_hz, 180.0},    {par_preFlt_A_res, 0.6},         {par_preFlt_A_pt, 0.0},
  {par_preFlt_B_hz, 20.0},     {par_preFlt_B_res, 0.5},         {par_preFlt_processing_order, 1.0},
  {par_preFlt_band_mode, 0.7}, {par_neg_band_mix, 0.8},         {par_damping_release, 250.0},
  {par_damping_thresh, -50.0}, {par_main_gain, -2.0},
};
// Two coloured pre-filters half in series, a light blend of the two wavefolders.
constexpr PresetParamValue kSerendipity[] = {
  {par_main_cutoff_hz, 3200.0}, {par_main_resonance, 0.62},
  {par_main_drive, 0.2},        {par_main_saturation_type, 1.0},
  {par_main_detune, 10.0},      {par_break_intensity, 0.35},
  {par_break_character, 8.5},   {par_break_param, 0.4},
  {par_break_double, 0.25},     {par_preFlt_A_hz, 1400.0},
  {par_preFlt_A_res, 0.7},      {par_preFlt_A_pt, 2.0},
  {par_preFlt_B_hz, 520.0},     {par_preFlt_B_res, 0.6},
  {par_preFlt_B_pt, 4.0},       {par_preFlt_processing_order, 0.5},
  {par_preFlt_band_mode, 0.25}, {par_dry_wet, 0.85},
  {par_main_gain, 7.0},
};
// Two-pole high-pass with the bit crusher scratching inside the feedback.
constexpr PresetParamValue kClaws[] = {
  {par_main_cutoff_hz, 900.0}, {par_main_resonance, 0.72},   {par_main_pass_type, 1.0},
  {par_main_pt_depth, 0.5},    {par_main_drive, 0.4},        {par_main_saturation_type, 1.0},
  {par_break_intensity, 0.55}, {par_break_character, 2.0},   {par_break_param, 0.6},
  {par_preFlt_A_hz, 6500.0},   {par_preFlt_A_res, 0.7},      {par_preFlt_B_hz, 140.0},
  {par_preFlt_B_res, 0.55},    {par_damping_release, 100.0}, {par_damping_thresh, -60.0},
  {par_preFlt_band_mode, 0.7}, {par_main_gain, 4.5},
};
// Two inharmonic band-pass resonators in parallel, slightly detuned: struck metal.
constexpr PresetParamValue kSteel[] = {
  {par_main_cutoff_hz, 9000.0}, {par_main_resonance, 0.4},
  {par_main_drive, 0.15},       {par_main_saturation_type, 1.0},
  {par_break_character, 1.0},   {par_preFlt_A_hz, 1870.0},
  {par_preFlt_A_res, 0.95},     {par_preFlt_A_pt, 2.0},
  {par_preFlt_A_detune, 5.0},   {par_preFlt_B_hz, 2960.0},
  {par_preFlt_B_res, 0.95},     {par_preFlt_B_pt, 2.0},
  {par_preFlt_B_detune, 10.0},  {par_preFlt_processing_order, 0.0},
  {par_preFlt_band_mode, 0.85}, {par_neg_band_mix, 0.4},
  {par_damping_release, 150.0}, {par_damping_thresh, -45.0},
  {par_main_gain, 6.5},
};
// Resonators tuned to D4 and A4 that ring out and die away through the damping.
constexpr PresetParamValue kHandpan[] = {
  {par_main_cutoff_hz, 2600.0},
  {par_main_resonance, 0.45},
  {par_main_drive, 0.1},
  {par_main_saturation_type, 0.0},
  {par_break_character, 1.0},
  {par_preFlt_A_hz, 293.664768},
  {par_preFlt_A_res, 0.995},
  {par_preFlt_A_pt, 2.0},
  {par_preA_cutoff_note_anchored, 1.0},
  {par_preFlt_B_hz, 440.0},
  {par_preFlt_B_res, 0.99},
  {par_preFlt_B_pt, 2.0},
  {par_preB_cutoff_note_anchored, 1.0},
  {par_preFlt_processing_order, 0.0},
  {par_preFlt_band_mode, 0.8},
  {par_neg_band_mix, 0.3},
  {par_damping_release, 400.0},
  {par_damping_thresh, -36.0},
  {par_damping_hold, 5.0},
  {par_main_gain, 0.0},
};
// Three-pole high-pass with a presence peak at 3.2 kHz.
constexpr PresetParamValue kLemon[] = {
  {par_main_cutoff_hz, 650.0}, {par_main_resonance, 0.55}, {par_main_pass_type, 1.0},
  {par_main_pt_depth, 0.75},   {par_main_drive, 0.12},     {par_main_saturation_type, 1.0},
  {par_break_character, 1.0},  {par_preFlt_A_hz, 3200.0},  {par_preFlt_A_res, 0.8},
  {par_preFlt_A_pt, 4.0},      {par_preFlt_B_hz, 1.0},     {par_preFlt_B_res, 0.5},
  {par_preFlt_band_mode, 0.6}, {par_main_gain, 3.0},
};
// Two-pole low-pass at 1.4 kHz, sub and air trimmed by the pre-filters.
constexpr PresetParamValue kSunset[] = {
  {par_main_cutoff_hz, 1400.0},    {par_main_resonance, 0.35}, {par_main_pt_depth, 0.5},    {par_main_drive, 0.15},
  {par_main_saturation_type, 0.0}, {par_break_character, 1.0}, {par_preFlt_A_hz, 9000.0},   {par_preFlt_A_res, 0.5},
  {par_preFlt_B_hz, 35.0},         {par_preFlt_B_res, 0.5},    {par_preFlt_band_mode, 0.8}, {par_main_gain, 0.5},
};
// Hard asymmetric drive into a resonant low-pass, a touch of the bird function.
constexpr PresetParamValue kTransistorTears[] = {
  {par_main_cutoff_hz, 2800.0}, {par_main_resonance, 0.7},       {par_main_pt_depth, 1.0},
  {par_main_drive, 0.78},       {par_main_saturation_type, 2.0}, {par_main_detune, 8.0},
  {par_break_intensity, 0.25},  {par_break_character, 10.0},     {par_break_param, 0.35},
  {par_preFlt_A_hz, 7000.0},    {par_preFlt_A_res, 0.6},         {par_preFlt_B_hz, 90.0},
  {par_preFlt_B_res, 0.65},     {par_damping_release, 100.0},    {par_damping_thresh, -50.0},
  {par_preFlt_band_mode, 0.7},  {par_main_gain, -5.0},
};
// Three detuned stages: two band-pass pre-filters and a tilted band-pass main filter.
constexpr PresetParamValue kTripolar[] = {
  {par_main_cutoff_hz, 1200.0},
  {par_main_resonance, 0.6},
  {par_main_pass_type, 3.0},
  {par_main_pt_depth, 1.0},
  {par_main_pt_tilt, 0.5},
  {par_main_drive, 0.25},
  {par_main_detune, 30.0},
  {par_break_character, 1.0},
  {par_preFlt_A_hz, 600.0},
  {par_preFlt_A_res, 0.8},
  {par_preFlt_A_pt, 2.0},
  {par_preFlt_A_detune, 20.0},
  {par_preFlt_B_hz, 2400.0},
  {par_preFlt_B_res, 0.8},
  {par_preFlt_B_pt, 2.0},
  {par_preFlt_B_detune, -20.0},
  {par_preFlt_processing_order, 0.0},
  {par_preFlt_band_mode, 0.6},
  {par_neg_band_mix, 0.5},
  {par_main_gain, 2.0},
};
// Low resonant low-pass that bounces on every transient.
constexpr PresetParamValue kRubber[] = {
  {par_main_cutoff_hz, 380.0}, {par_main_resonance, 0.9},       {par_main_pt_depth, 1.0},
  {par_main_drive, 0.3},       {par_main_saturation_type, 1.0}, {par_break_character, 1.0},
  {par_preFlt_A_hz, 5000.0},   {par_preFlt_A_res, 0.5},         {par_preFlt_B_hz, 40.0},
  {par_preFlt_B_res, 0.5},     {par_damping_release, 150.0},    {par_damping_thresh, -40.0},
  {par_damping_hold, 2.0},     {par_preFlt_band_mode, 0.5},     {par_main_gain, 4.0},
};
// Notch filter with a wobbly blend of the two cubic break functions.
constexpr PresetParamValue kLoose[] = {
  {par_main_cutoff_hz, 1100.0}, {par_main_resonance, 0.5},  {par_main_pass_type, 4.0},
  {par_main_pt_depth, 0.6},     {par_main_drive, 0.25},     {par_main_saturation_type, 2.0},
  {par_break_intensity, 0.4},   {par_break_character, 4.5}, {par_break_param, 0.3},
  {par_break_double, 0.25},     {par_preFlt_A_hz, 8000.0},  {par_preFlt_A_res, 0.6},
  {par_preFlt_B_hz, 60.0},      {par_preFlt_B_res, 0.5},    {par_preFlt_band_mode, 0.5},
  {par_main_gain, 0.5},
};
// Heavy asinh drive behind a mid push, square-root break for grit.
constexpr PresetParamValue kMorda[] = {
  {par_main_cutoff_hz, 1600.0},    {par_main_resonance, 0.6},    {par_main_drive, 0.82},
  {par_main_saturation_type, 1.0}, {par_main_detune, 12.0},      {par_break_intensity, 0.3},
  {par_break_character, 1.0},      {par_break_param, 0.5},       {par_preFlt_A_hz, 900.0},
  {par_preFlt_A_res, 0.7},         {par_preFlt_A_pt, 4.0},       {par_preFlt_B_hz, 70.0},
  {par_preFlt_B_res, 0.6},         {par_damping_release, 100.0}, {par_damping_thresh, -45.0},
  {par_preFlt_band_mode, 0.6},     {par_main_gain, 3.0},
};
// Wide stereo detune on the main and pre-filters around a resonant low-pass.
constexpr PresetParamValue kDrift[] = {
  {par_main_cutoff_hz, 1800.0},    {par_main_resonance, 0.78},   {par_main_pt_depth, 0.75},   {par_main_drive, 0.2},
  {par_main_saturation_type, 0.0}, {par_main_detune, 40.0},      {par_break_character, 1.0},  {par_preFlt_A_hz, 6000.0},
  {par_preFlt_A_res, 0.65},        {par_preFlt_A_detune, 25.0},  {par_preFlt_B_hz, 60.0},     {par_preFlt_B_res, 0.5},
  {par_preFlt_B_detune, -15.0},    {par_damping_release, 400.0}, {par_damping_thresh, -50.0}, {par_dry_wet, 0.9},
  {par_preFlt_band_mode, 0.6},     {par_main_gain, 4.0},
};
// Driven band-pass on the remainder around 1 kHz, lightly crushed, part dry.
constexpr PresetParamValue kAshen[] = {
  {par_main_cutoff_hz, 1500.0}, {par_main_resonance, 0.5},  {par_main_pass_type, 3.0},
  {par_main_pt_depth, 0.5},     {par_main_drive, 0.6},      {par_main_saturation_type, 0.0},
  {par_break_intensity, 0.2},   {par_break_character, 2.0}, {par_break_param, 0.2},
  {par_preFlt_A_hz, 1000.0},    {par_preFlt_A_res, 0.6},    {par_preFlt_A_pt, 2.0},
  {par_preFlt_B_hz, 1.0},       {par_preFlt_B_res, 0.5},    {par_preFlt_band_mode, -0.5},
  {par_dry_wet, 0.8},           {par_main_gain, 4.5},
};
// Detuned driven band-pass buzzing with the rectifying break function.
constexpr PresetParamValue kFatBees[] = {
  {par_main_cutoff_hz, 720.0}, {par_main_resonance, 0.8},       {par_main_pass_type, 3.0}, {par_main_pt_depth, 0.75},
  {par_main_drive, 0.72},      {par_main_saturation_type, 2.0}, {par_main_detune, 25.0},   {par_break_intensity, 0.35},
  {par_break_character, 3.0},  {par_break_param, 0.3},          {par_preFlt_A_hz, 1100.0}, {par_preFlt_A_res, 0.75},
  {par_preFlt_A_pt, 2.0},      {par_preFlt_A_detune, 15.0},     {par_preFlt_B_hz, 150.0},  {par_preFlt_B_res, 0.5},
  {par_preFlt_band_mode, 0.4}, {par_main_gain, -2.0},
};
// Bit crusher at 60% in a driven low-pass: corroded top end.
constexpr PresetParamValue kRust[] = {
  {par_main_cutoff_hz, 4200.0}, {par_main_resonance, 0.5},
  {par_main_drive, 0.55},       {par_main_saturation_type, 1.0},
  {par_break_intensity, 0.6},   {par_break_character, 2.0},
  {par_break_param, 0.7},       {par_break_double, 0.125},
  {par_preFlt_A_hz, 7500.0},    {par_preFlt_A_res, 0.7},
  {par_preFlt_B_hz, 50.0},      {par_preFlt_B_res, 0.5},
  {par_damping_release, 100.0}, {par_damping_thresh, -55.0},
  {par_preFlt_band_mode, 0.6},  {par_main_gain, 3.5},
};
// High-pass fizz from the click function on the upper band.
constexpr PresetParamValue kSoda[] = {
  {par_main_cutoff_hz, 2800.0}, {par_main_resonance, 0.5},   {par_main_pass_type, 1.0},
  {par_main_pt_depth, 0.5},     {par_main_drive, 0.3},       {par_main_saturation_type, 0.0},
  {par_break_intensity, 0.5},   {par_break_character, 11.0}, {par_break_param, 0.8},
  {par_preFlt_A_hz, 5000.0},    {par_preFlt_A_res, 0.6},     {par_preFlt_A_pt, 2.0},
  {par_preFlt_B_hz, 800.0},     {par_preFlt_B_res, 0.5},     {par_preFlt_band_mode, 0.5},
  {par_neg_band_mix, 0.5},      {par_main_gain, 0.0},
};
// Driven low-pass whose tails are chopped by a fast, high damping threshold.
constexpr PresetParamValue kGuillotine[] = {
  {par_main_cutoff_hz, 2200.0},    {par_main_resonance, 0.55},  {par_main_drive, 0.65},
  {par_main_saturation_type, 2.0}, {par_break_intensity, 0.3},  {par_break_character, 5.0},
  {par_preFlt_A_hz, 9000.0},       {par_preFlt_A_res, 0.5},     {par_preFlt_B_hz, 120.0},
  {par_preFlt_B_res, 0.7},         {par_damping_release, 10.0}, {par_damping_thresh, -24.0},
  {par_damping_hold, 0.5},         {par_preFlt_band_mode, 0.7}, {par_main_gain, -3.5},
};
// Squelchy driven low-pass near self-oscillation, damped between notes.
constexpr PresetParamValue kAcidSpit[] = {
  {par_main_cutoff_hz, 780.0}, {par_main_resonance, 0.93},      {par_main_pt_depth, 1.0},
  {par_main_drive, 0.62},      {par_main_saturation_type, 0.0}, {par_break_character, 1.0},
  {par_preFlt_A_hz, 12000.0},  {par_preFlt_A_res, 0.5},         {par_preFlt_B_hz, 45.0},
  {par_preFlt_B_res, 0.5},     {par_damping_release, 50.0},     {par_damping_thresh, -40.0},
  {par_damping_hold, 1.0},     {par_preFlt_band_mode, 0.6},     {par_main_gain, -4.5},
};
// Bowed body: resonators at G3 and D4, a driven band-pass and noisy break.
constexpr PresetParamValue kRosin[] = {
  {par_main_cutoff_hz, 900.0},
  {par_main_resonance, 0.55},
  {par_main_pass_type, 3.0},
  {par_main_pt_depth, 0.5},
  {par_main_pt_tilt, -0.5},
  {par_main_drive, 0.58},
  {par_main_saturation_type, 1.0},
  {par_break_intensity, 0.2},
  {par_break_character, 7.0},
  {par_break_param, 0.3},
  {par_preFlt_A_hz, 195.997718},
  {par_preFlt_A_res, 0.97},
  {par_preFlt_A_pt, 2.0},
  {par_preA_cutoff_note_anchored, 1.0},
  {par_preFlt_B_hz, 293.664768},
  {par_preFlt_B_res, 0.96},
  {par_preFlt_B_pt, 2.0},
  {par_preB_cutoff_note_anchored, 1.0},
  {par_preFlt_processing_order, 0.0},
  {par_preFlt_band_mode, 0.65},
  {par_neg_band_mix, 0.35},
  {par_main_gain, 5.0},
};
// All-pass dispersion with a low resonant band-pass: the twang of a spring tank.
constexpr PresetParamValue kSpring[] = {
  {par_main_cutoff_hz, 1200.0}, {par_main_resonance, 0.75}, {par_main_pass_type, 2.0},   {par_main_drive, 0.1},
  {par_break_character, 1.0},   {par_preFlt_A_hz, 85.0},    {par_preFlt_A_res, 0.97},    {par_preFlt_A_pt, 2.0},
  {par_preFlt_B_hz, 40.0},      {par_preFlt_B_res, 0.5},    {par_preFlt_band_mode, 0.3}, {par_damping_release, 1000.0},
  {par_damping_thresh, -55.0},  {par_damping_hold, 5.0},    {par_main_gain, -2.0},
};
// Soft warm low-pass with gentle asymmetric drive.
constexpr PresetParamValue kFur[] = {
  {par_main_cutoff_hz, 1600.0},    {par_main_resonance, 0.2},  {par_main_pt_depth, 0.75},   {par_main_drive, 0.3},
  {par_main_saturation_type, 2.0}, {par_break_character, 1.0}, {par_preFlt_A_hz, 5000.0},   {par_preFlt_A_res, 0.4},
  {par_preFlt_B_hz, 30.0},         {par_preFlt_B_res, 0.5},    {par_preFlt_band_mode, 0.6}, {par_main_gain, -6.0},
};
// Growling driven band-pass at 480 Hz with trigonometric noise in the loop.
constexpr PresetParamValue kChubaka[] = {
  {par_main_cutoff_hz, 480.0}, {par_main_resonance, 0.82}, {par_main_pass_type, 3.0},       {par_main_pt_depth, 1.0},
  {par_main_pt_tilt, -0.5},    {par_main_drive, 0.7},      {par_main_saturation_type, 1.0}, {par_main_detune, 18.0},
  {par_break_intensity, 0.3},  {par_break_character, 7.0}, {par_break_param, 0.5},          {par_preFlt_A_hz, 2500.0},
  {par_preFlt_A_res, 0.7},     {par_preFlt_B_hz, 80.0},    {par_preFlt_B_res, 0.5},         {par_preFlt_band_mode, 0.6},
  {par_main_gain, 2.5},
};
// A boxy 650 Hz band pushed into an open low-pass.
constexpr PresetParamValue kBox[] = {
  {par_main_cutoff_hz, 4200.0}, {par_main_resonance, 0.35},      {par_main_pt_depth, 0.75},
  {par_main_drive, 0.1},        {par_main_saturation_type, 0.0}, {par_break_character, 1.0},
  {par_preFlt_A_hz, 650.0},     {par_preFlt_A_res, 0.75},        {par_preFlt_A_pt, 2.0},
  {par_preFlt_B_hz, 1.0},       {par_preFlt_B_res, 0.5},         {par_preFlt_band_mode, 0.55},
  {par_main_gain, 7.0},
};
// Aged low-pass: light crushing, a mid peak and some of the band returned clean.
constexpr PresetParamValue kPatinaAnthropica[] = {
  {par_main_cutoff_hz, 2900.0},    {par_main_resonance, 0.55},  {par_main_pt_tilt, 0.5},    {par_main_drive, 0.45},
  {par_main_saturation_type, 2.0}, {par_break_intensity, 0.15}, {par_break_character, 2.0}, {par_break_param, 0.4},
  {par_preFlt_A_hz, 1300.0},       {par_preFlt_A_res, 0.65},    {par_preFlt_A_pt, 4.0},     {par_preFlt_B_hz, 110.0},
  {par_preFlt_B_res, 0.55},        {par_preFlt_band_mode, 0.3}, {par_neg_band_mix, 0.4},    {par_dry_wet, 0.9},
  {par_main_gain, -4.5},
};
// Maximum asinh drive and wavefolding on a high-passed signal, meant for 4x oversampling.
constexpr PresetParamValue kElectrolyte[] = {
  {par_main_cutoff_hz, 140.0}, {par_main_resonance, 0.6},   {par_main_pass_type, 1.0},
  {par_main_pt_depth, 0.5},    {par_main_drive, 0.85},      {par_main_saturation_type, 1.0},
  {par_break_intensity, 0.4},  {par_break_character, 8.0},  {par_break_param, 0.5},
  {par_break_double, 0.25},    {par_preFlt_A_hz, 9000.0},   {par_preFlt_A_res, 0.55},
  {par_preFlt_B_hz, 60.0},     {par_preFlt_B_res, 0.5},     {par_damping_release, 100.0},
  {par_damping_thresh, -45.0}, {par_preFlt_band_mode, 0.5}, {par_main_gain, 6.0},
};
// Inverted sine-crest break: mischievous asymmetric spikes.
constexpr PresetParamValue kImp[] = {
  {par_main_cutoff_hz, 2300.0}, {par_main_resonance, 0.65},   {par_main_drive, 0.3},  {par_main_saturation_type, 2.0},
  {par_break_intensity, 0.7},   {par_break_character, 6.0},   {par_break_param, 0.6}, {par_break_invert_fb, 1.0},
  {par_preFlt_A_hz, 1800.0},    {par_preFlt_A_res, 0.65},     {par_preFlt_A_pt, 2.0}, {par_preFlt_B_hz, 200.0},
  {par_preFlt_B_res, 0.5},      {par_preFlt_band_mode, 0.25}, {par_main_gain, 2.5},
};
// Two detuned notches beating against each other, peak-shaped main filter.
constexpr PresetParamValue kInterference[] = {
  {par_main_cutoff_hz, 2100.0}, {par_main_resonance, 0.45},   {par_main_pass_type, 5.0},
  {par_main_pt_depth, 1.0},     {par_main_drive, 0.2},        {par_main_detune, 10.0},
  {par_break_intensity, 0.15},  {par_break_character, 9.0},   {par_break_param, 0.7},
  {par_preFlt_A_hz, 1000.0},    {par_preFlt_A_res, 0.6},      {par_preFlt_A_pt, 3.0},
  {par_preFlt_A_detune, 20.0},  {par_preFlt_B_hz, 1500.0},    {par_preFlt_B_res, 0.6},
  {par_preFlt_B_pt, 3.0},       {par_preFlt_B_detune, -20.0}, {par_preFlt_processing_order, 0.5},
  {par_preFlt_band_mode, 1.0},  {par_neg_band_mix, 0.5},      {par_main_gain, -2.5},
};
// Resonators at E6 and B6 that ring like a small bell.
constexpr PresetParamValue kBell[] = {
  {par_main_cutoff_hz, 8000.0},
  {par_main_resonance, 0.3},
  {par_main_drive, 0.05},
  {par_break_character, 1.0},
  {par_preFlt_A_hz, 1318.510228},
  {par_preFlt_A_res, 0.95},
  {par_preFlt_A_pt, 2.0},
  {par_preA_cutoff_note_anchored, 1.0},
  {par_preFlt_B_hz, 1975.533205},
  {par_preFlt_B_res, 0.95},
  {par_preFlt_B_pt, 2.0},
  {par_preB_cutoff_note_anchored, 1.0},
  {par_preFlt_processing_order, 0.0},
  {par_preFlt_band_mode, 0.85},
  {par_neg_band_mix, 0.25},
  {par_damping_release, 600.0},
  {par_damping_thresh, -40.0},
  {par_damping_hold, 5.0},
  {par_main_gain, 4.0},
};
// A booming 180 Hz skin resonance under a soft low-pass.
constexpr PresetParamValue kMembrane[] = {
  {par_main_cutoff_hz, 950.0},     {par_main_resonance, 0.68},  {par_main_pt_depth, 0.5}, {par_main_drive, 0.1},
  {par_main_saturation_type, 0.0}, {par_break_character, 1.0},  {par_preFlt_A_hz, 180.0}, {par_preFlt_A_res, 0.85},
  {par_preFlt_A_pt, 4.0},          {par_preFlt_B_hz, 35.0},     {par_preFlt_B_res, 0.5},  {par_damping_release, 250.0},
  {par_damping_thresh, -50.0},     {par_preFlt_band_mode, 0.5}, {par_main_gain, 4.0},
};
// Parallel two-pole high-pass with asinh grit: adds edge, keeps the body.
constexpr PresetParamValue kEdge[] = {
  {par_main_cutoff_hz, 1800.0}, {par_main_resonance, 0.45}, {par_main_pass_type, 1.0},
  {par_main_pt_depth, 0.5},     {par_main_drive, 0.2},      {par_main_saturation_type, 1.0},
  {par_break_character, 1.0},   {par_preFlt_A_hz, 12000.0}, {par_preFlt_A_res, 0.5},
  {par_preFlt_B_hz, 1.0},       {par_preFlt_B_res, 0.5},    {par_dry_wet, 0.7},
  {par_preFlt_band_mode, 0.4},  {par_main_gain, 5.0},
};
// Metallic band-pass with the second wavefolder.
constexpr PresetParamValue kTin[] = {
  {par_main_cutoff_hz, 2600.0}, {par_main_resonance, 0.7},  {par_main_pass_type, 3.0},
  {par_main_pt_depth, 0.5},     {par_main_drive, 0.35},     {par_main_saturation_type, 0.0},
  {par_break_intensity, 0.45},  {par_break_character, 9.0}, {par_break_param, 0.6},
  {par_preFlt_A_hz, 3400.0},    {par_preFlt_A_res, 0.85},   {par_preFlt_A_pt, 2.0},
  {par_preFlt_B_hz, 600.0},     {par_preFlt_B_res, 0.5},    {par_preFlt_band_mode, 0.4},
  {par_main_gain, 3.0},
};
// Driven tanh low-pass with the cubic break function.
constexpr PresetParamValue kCrunchy[] = {
  {par_main_cutoff_hz, 3400.0}, {par_main_resonance, 0.45}, {par_main_drive, 0.75},  {par_main_saturation_type, 0.0},
  {par_break_intensity, 0.35},  {par_break_character, 5.0}, {par_break_param, 0.5},  {par_preFlt_A_hz, 10000.0},
  {par_preFlt_A_res, 0.5},      {par_preFlt_B_hz, 90.0},    {par_preFlt_B_res, 0.6}, {par_preFlt_band_mode, 0.6},
  {par_main_gain, -5.0},
};
// Blend of trig noise and wavefolder, doubled: unpredictable but musical.
constexpr PresetParamValue kTryMe[] = {
  {par_main_cutoff_hz, 2000.0}, {par_main_resonance, 0.7},  {par_main_drive, 0.4},    {par_main_saturation_type, 2.0},
  {par_break_intensity, 0.6},   {par_break_character, 7.5}, {par_break_param, 0.5},   {par_break_double, 0.5},
  {par_preFlt_A_hz, 6000.0},    {par_preFlt_A_res, 0.5},    {par_preFlt_B_hz, 100.0}, {par_preFlt_B_res, 0.5},
  {par_preFlt_band_mode, 0.6},  {par_main_gain, 1.0},
};
// Two formant band-passes and a tilted band-pass main filter: a meow.
constexpr PresetParamValue kCat[] = {
  {par_main_cutoff_hz, 900.0},
  {par_main_resonance, 0.8},
  {par_main_pass_type, 3.0},
  {par_main_pt_depth, 1.0},
  {par_main_pt_tilt, 0.5},
  {par_main_drive, 0.35},
  {par_main_saturation_type, 1.0},
  {par_break_intensity, 0.3},
  {par_break_character, 4.0},
  {par_break_param, 0.4},
  {par_preFlt_A_hz, 1500.0},
  {par_preFlt_A_res, 0.85},
  {par_preFlt_A_pt, 2.0},
  {par_preFlt_B_hz, 700.0},
  {par_preFlt_B_res, 0.85},
  {par_preFlt_B_pt, 2.0},
  {par_preFlt_processing_order, 0.0},
  {par_preFlt_band_mode, 0.7},
  {par_neg_band_mix, 0.3},
  {par_main_gain, 10.5},
};
// One-pole high-pass, thin and light.
constexpr PresetParamValue kPaper[] = {
  {par_main_cutoff_hz, 450.0}, {par_main_resonance, 0.3},  {par_main_pass_type, 1.0},   {par_main_pt_depth, 0.25},
  {par_main_drive, 0.05},      {par_break_character, 1.0}, {par_preFlt_A_hz, 7000.0},   {par_preFlt_A_res, 0.4},
  {par_preFlt_B_hz, 1.0},      {par_preFlt_B_res, 0.5},    {par_preFlt_band_mode, 0.7}, {par_main_gain, 3.0},
};
// The band above 350 Hz through a driven band-pass; the lows return clean.
constexpr PresetParamValue kChew[] = {
  {par_main_cutoff_hz, 1300.0}, {par_main_resonance, 0.75},      {par_main_pass_type, 3.0},  {par_main_pt_depth, 1.0},
  {par_main_drive, 0.45},       {par_main_saturation_type, 2.0}, {par_break_intensity, 0.2}, {par_break_character, 3.5},
  {par_preFlt_A_hz, 350.0},     {par_preFlt_A_res, 0.8},         {par_preFlt_A_pt, 0.0},     {par_preFlt_B_hz, 1.0},
  {par_preFlt_B_res, 0.5},      {par_preFlt_band_mode, -1.0},    {par_neg_band_mix, 1.0},    {par_main_gain, -2.0},
};
// Airy peak at 9 kHz over a gentle low-pass, slightly dry.
constexpr PresetParamValue kSnow[] = {
  {par_main_cutoff_hz, 6500.0},    {par_main_resonance, 0.25}, {par_main_pt_depth, 0.5},  {par_main_drive, 0.05},
  {par_main_saturation_type, 0.0}, {par_break_character, 1.0}, {par_preFlt_A_hz, 9000.0}, {par_preFlt_A_res, 0.6},
  {par_preFlt_A_pt, 4.0},          {par_preFlt_B_hz, 180.0},   {par_preFlt_B_res, 0.5},   {par_dry_wet, 0.85},
  {par_preFlt_band_mode, 0.75},    {par_main_gain, 7.0},
};
// Boomy 300 Hz band into a driven resonant low-pass.
constexpr PresetParamValue kBarrel[] = {
  {par_main_cutoff_hz, 520.0}, {par_main_resonance, 0.72},      {par_main_pt_depth, 1.0},
  {par_main_drive, 0.68},      {par_main_saturation_type, 2.0}, {par_break_intensity, 0.15},
  {par_break_character, 1.0},  {par_preFlt_A_hz, 300.0},        {par_preFlt_A_res, 0.8},
  {par_preFlt_A_pt, 2.0},      {par_preFlt_B_hz, 45.0},         {par_preFlt_B_res, 0.5},
  {par_preFlt_band_mode, 0.5}, {par_neg_band_mix, 0.2},         {par_damping_release, 200.0},
  {par_damping_thresh, -50.0}, {par_main_gain, -4.0},
};
// A resonant low-pass on the lows while the highs pass clean: sweep the cutoff up.
constexpr PresetParamValue kLaunch[] = {
  {par_main_cutoff_hz, 600.0}, {par_main_resonance, 0.88},      {par_main_pt_depth, 1.0},
  {par_main_drive, 0.4},       {par_main_saturation_type, 0.0}, {par_break_character, 1.0},
  {par_preFlt_A_hz, 2000.0},   {par_preFlt_A_res, 0.7},         {par_preFlt_A_pt, 1.0},
  {par_preFlt_B_hz, 1.0},      {par_preFlt_B_res, 0.5},         {par_preFlt_band_mode, -0.7},
  {par_neg_band_mix, 0.6},     {par_damping_release, 150.0},    {par_damping_thresh, -45.0},
  {par_main_gain, -3.5},
};
// Band-limited band-pass box: dull and papery.
constexpr PresetParamValue kCardboard[] = {
  {par_main_cutoff_hz, 1100.0}, {par_main_resonance, 0.4}, {par_main_pass_type, 3.0},
  {par_main_pt_depth, 0.5},     {par_main_drive, 0.2},     {par_main_saturation_type, 0.0},
  {par_break_character, 1.0},   {par_preFlt_A_hz, 3500.0}, {par_preFlt_A_res, 0.6},
  {par_preFlt_B_hz, 250.0},     {par_preFlt_B_res, 0.6},   {par_preFlt_band_mode, 0.9},
  {par_main_gain, 3.0},
};
// A5 resonator over an A3 low-pass into a peak filter.
constexpr PresetParamValue kDesertBeacon[] = {
  {par_main_cutoff_hz, 1760.0},
  {par_main_resonance, 0.5},
  {par_main_pass_type, 5.0},
  {par_main_pt_depth, 1.0},
  {par_main_drive, 0.2},
  {par_main_saturation_type, 1.0},
  {par_break_character, 1.0},
  {par_preFlt_A_hz, 880.0},
  {par_preFlt_A_res, 0.98},
  {par_preFlt_A_pt, 2.0},
  {par_preA_cutoff_note_anchored, 1.0},
  {par_preFlt_B_hz, 220.0},
  {par_preFlt_B_res, 0.9},
  {par_preFlt_B_pt, 0.0},
  {par_preB_cutoff_note_anchored, 1.0},
  {par_preFlt_processing_order, 0.3},
  {par_preFlt_band_mode, 0.6},
  {par_neg_band_mix, 0.4},
  {par_damping_release, 800.0},
  {par_damping_thresh, -50.0},
  {par_damping_hold, 5.0},
  {par_main_gain, -1.0},
};
// Vowel formants from two band-pass pre-filters and a tilted band-pass.
constexpr PresetParamValue kLips[] = {
  {par_main_cutoff_hz, 750.0},        {par_main_resonance, 0.85},  {par_main_pass_type, 3.0},
  {par_main_pt_depth, 1.0},           {par_main_pt_tilt, -0.5},    {par_main_drive, 0.25},
  {par_main_saturation_type, 1.0},    {par_main_detune, 6.0},      {par_break_character, 1.0},
  {par_preFlt_A_hz, 1100.0},          {par_preFlt_A_res, 0.88},    {par_preFlt_A_pt, 2.0},
  {par_preFlt_B_hz, 400.0},           {par_preFlt_B_res, 0.85},    {par_preFlt_B_pt, 2.0},
  {par_preFlt_processing_order, 0.0}, {par_preFlt_band_mode, 0.6}, {par_main_gain, 2.5},
};
// Gentle drive, soft high cut and a little wow from the detune.
constexpr PresetParamValue kTape[] = {
  {par_main_cutoff_hz, 7500.0},    {par_main_resonance, 0.15}, {par_main_pt_depth, 0.5},   {par_main_drive, 0.4},
  {par_main_saturation_type, 0.0}, {par_main_detune, 4.0},     {par_break_character, 1.0}, {par_preFlt_A_hz, 11000.0},
  {par_preFlt_A_res, 0.5},         {par_preFlt_B_hz, 40.0},    {par_preFlt_B_res, 0.5},    {par_preFlt_band_mode, 0.85},
  {par_main_gain, -6.5},
};
// Clicks on the band above 3 kHz; everything below passes clean.
constexpr PresetParamValue kBeads[] = {
  {par_main_cutoff_hz, 4200.0}, {par_main_resonance, 0.7},   {par_main_pass_type, 3.0},   {par_main_pt_depth, 1.0},
  {par_main_drive, 0.35},       {par_break_intensity, 0.45}, {par_break_character, 11.0}, {par_break_param, 0.6},
  {par_preFlt_A_hz, 3000.0},    {par_preFlt_A_res, 0.7},     {par_preFlt_A_pt, 1.0},      {par_preFlt_B_hz, 1.0},
  {par_preFlt_B_res, 0.5},      {par_preFlt_band_mode, 1.0}, {par_neg_band_mix, 1.0},     {par_main_gain, -3.0},
};
// Crackle from the click function in a narrow band.
constexpr PresetParamValue kVynil[] = {
  {par_main_cutoff_hz, 5500.0}, {par_main_resonance, 0.3},   {par_main_drive, 0.2},   {par_main_saturation_type, 0.0},
  {par_break_intensity, 0.25},  {par_break_character, 11.0}, {par_break_param, 0.9},  {par_preFlt_A_hz, 2200.0},
  {par_preFlt_A_res, 0.55},     {par_preFlt_A_pt, 2.0},      {par_preFlt_B_hz, 80.0}, {par_preFlt_B_res, 0.5},
  {par_preFlt_band_mode, 0.3},  {par_dry_wet, 0.9},          {par_main_gain, -1.0},
};
constexpr PresetParamValue kCrayon[] = {
  {par_main_drive, 0.506904},  {par_main_saturation_type, 2.0}, {par_break_character, 2.805613},
  {par_break_param, 1.0},      {par_preFlt_A_hz, 2135.575624},  {par_preFlt_A_res, 0.961642},
  {par_preFlt_B_hz, 3.843367}, {par_preFlt_B_pt, 4.0},          {par_preFlt_band_mode, -0.17758},
  {par_main_gain, -2.0},
};
// Doubled bit crushing into a high-pass.
constexpr PresetParamValue kZipper[] = {
  {par_main_cutoff_hz, 700.0}, {par_main_resonance, 0.6},       {par_main_pass_type, 1.0},   {par_main_pt_depth, 0.5},
  {par_main_drive, 0.3},       {par_main_saturation_type, 1.0}, {par_break_intensity, 0.7},  {par_break_character, 2.0},
  {par_break_param, 0.45},     {par_break_double, 0.5},         {par_preFlt_A_hz, 9000.0},   {par_preFlt_A_res, 0.5},
  {par_preFlt_B_hz, 1.0},      {par_preFlt_B_res, 0.5},         {par_preFlt_band_mode, 0.5}, {par_main_gain, 4.0},
};
// Bird and click functions on the upper band: busy, insect-like.
constexpr PresetParamValue kAntcore[] = {
  {par_main_cutoff_hz, 3500.0}, {par_main_resonance, 0.75},  {par_main_pass_type, 3.0},
  {par_main_pt_depth, 0.5},     {par_main_drive, 0.5},       {par_main_saturation_type, 2.0},
  {par_break_intensity, 0.55},  {par_break_character, 10.5}, {par_break_param, 0.75},
  {par_preFlt_A_hz, 1200.0},    {par_preFlt_A_res, 0.6},     {par_preFlt_A_pt, 1.0},
  {par_preFlt_B_hz, 1.0},       {par_preFlt_B_res, 0.5},     {par_preFlt_band_mode, 0.8},
  {par_neg_band_mix, 0.4},      {par_main_gain, -10.5},
};
// Chirping detuned resonators at E7 and A7 with a touch of wavefold.
constexpr PresetParamValue kBirds[] = {
  {par_main_cutoff_hz, 1500.0},
  {par_main_resonance, 0.6},
  {par_main_pass_type, 1.0},
  {par_main_pt_depth, 0.5},
  {par_main_drive, 0.1},
  {par_break_intensity, 0.2},
  {par_break_character, 9.0},
  {par_break_param, 0.8},
  {par_preFlt_A_hz, 3520.0},
  {par_preFlt_A_res, 0.93},
  {par_preFlt_A_pt, 2.0},
  {par_preFlt_A_detune, 20.0},
  {par_preFlt_B_hz, 2637.020455},
  {par_preFlt_B_res, 0.93},
  {par_preFlt_B_pt, 2.0},
  {par_preFlt_B_detune, -20.0},
  {par_preFlt_processing_order, 0.0},
  {par_preFlt_band_mode, 0.9},
  {par_neg_band_mix, 0.3},
  {par_damping_release, 200.0},
  {par_damping_thresh, -40.0},
  {par_main_gain, 0.0},
};
// Three metallic band-passes and the second wavefolder.
constexpr PresetParamValue kCoins[] = {
  {par_main_cutoff_hz, 3000.0},
  {par_main_resonance, 0.8},
  {par_main_pass_type, 3.0},
  {par_main_pt_depth, 1.0},
  {par_main_drive, 0.2},
  {par_main_saturation_type, 0.0},
  {par_break_intensity, 0.5},
  {par_break_character, 9.0},
  {par_break_param, 0.3},
  {par_break_double, 0.25},
  {par_preFlt_A_hz, 4500.0},
  {par_preFlt_A_res, 0.8},
  {par_preFlt_A_pt, 2.0},
  {par_preFlt_B_hz, 6300.0},
  {par_preFlt_B_res, 0.8},
  {par_preFlt_B_pt, 2.0},
  {par_preFlt_processing_order, 0.0},
  {par_preFlt_band_mode, 0.7},
  {par_damping_release, 100.0},
  {par_damping_thresh, -40.0},
  {par_main_gain, 0.5},
};
// Humid resonant low-pass, detuned and lightly folded.
constexpr PresetParamValue kSingapore[] = {
  {par_main_cutoff_hz, 1200.0},    {par_main_resonance, 0.9},
  {par_main_pt_depth, 0.75},       {par_main_drive, 0.55},
  {par_main_saturation_type, 1.0}, {par_main_detune, 20.0},
  {par_break_intensity, 0.15},     {par_break_character, 8.0},
  {par_break_param, 0.3},          {par_preFlt_A_hz, 700.0},
  {par_preFlt_A_res, 0.9},         {par_preFlt_A_pt, 2.0},
  {par_preFlt_A_detune, 10.0},     {par_preFlt_B_hz, 60.0},
  {par_preFlt_B_res, 0.5},         {par_preFlt_band_mode, 0.35},
  {par_neg_band_mix, 0.25},        {par_damping_release, 250.0},
  {par_damping_thresh, -45.0},     {par_main_gain, 3.5},
};
// Doubled, inverted sine-crest and trig noise at high intensity.
constexpr PresetParamValue kError[] = {
  {par_main_cutoff_hz, 3000.0}, {par_main_resonance, 0.6},
  {par_main_drive, 0.4},        {par_main_saturation_type, 2.0},
  {par_break_intensity, 0.8},   {par_break_character, 6.5},
  {par_break_param, 0.8},       {par_break_double, 0.75},
  {par_break_invert_fb, 1.0},   {par_preFlt_A_hz, 8000.0},
  {par_preFlt_A_res, 0.5},      {par_preFlt_B_hz, 150.0},
  {par_preFlt_B_res, 0.5},      {par_dry_wet, 0.8},
  {par_preFlt_band_mode, 0.5},  {par_main_gain, 2.0},
};
// Telephone band only, driven and crushed: a radio transmission.
constexpr PresetParamValue kTransmission[] = {
  {par_main_cutoff_hz, 1600.0}, {par_main_resonance, 0.65}, {par_main_pass_type, 3.0},
  {par_main_pt_depth, 1.0},     {par_main_drive, 0.7},      {par_main_saturation_type, 1.0},
  {par_main_detune, 10.0},      {par_break_intensity, 0.3}, {par_break_character, 2.5},
  {par_break_param, 0.6},       {par_preFlt_A_hz, 1800.0},  {par_preFlt_A_res, 0.7},
  {par_preFlt_A_pt, 2.0},       {par_preFlt_B_hz, 1.0},     {par_preFlt_B_res, 0.5},
  {par_preFlt_band_mode, 1.0},  {par_neg_band_mix, 0.0},    {par_main_gain, 6.5},
};
// Resonant band-pass drops cut short by the damping.
constexpr PresetParamValue kPipette[] = {
  {par_main_cutoff_hz, 2400.0}, {par_main_resonance, 0.92},      {par_main_pass_type, 3.0},   {par_main_pt_depth, 1.0},
  {par_main_drive, 0.3},        {par_main_saturation_type, 0.0}, {par_break_character, 1.0},  {par_preFlt_A_hz, 3000.0},
  {par_preFlt_A_res, 0.9},      {par_preFlt_A_pt, 2.0},          {par_preFlt_B_hz, 500.0},    {par_preFlt_B_res, 0.5},
  {par_preFlt_band_mode, 0.5},  {par_damping_release, 20.0},     {par_damping_thresh, -30.0}, {par_damping_hold, 0.5},
  {par_main_gain, -3.0},
};
// Maximum drive into a dark resonant low-pass with the rectifier.
constexpr PresetParamValue kSludge[] = {
  {par_main_cutoff_hz, 260.0},
  {par_main_resonance, 0.7},
  {par_main_pt_depth, 1.0},
  {par_main_drive, 0.85},
  {par_main_saturation_type, 1.0},
  {par_main_detune, 15.0},
  {par_break_intensity, 0.3},
  {par_break_character, 3.0},
  {par_break_param, 0.2},
  {par_preFlt_A_hz, 900.0},
  {par_preFlt_A_res, 0.8},
  {par_preFlt_B_hz, 30.0},
  {par_preFlt_B_res, 0.5},
  {par_damping_release, 200.0},
  {par_damping_thresh, -50.0},
  {par_preFlt_band_mode, 0.7},
  {par_main_gain, 4.5},
};
// Crackling clicks on a high-passed band, gated quickly.
constexpr PresetParamValue kMatches[] = {
  {par_main_cutoff_hz, 1800.0}, {par_main_resonance, 0.55},  {par_main_pass_type, 1.0},
  {par_main_pt_depth, 0.5},     {par_main_drive, 0.45},      {par_main_saturation_type, 0.0},
  {par_break_intensity, 0.6},   {par_break_character, 11.0}, {par_break_param, 0.5},
  {par_preFlt_A_hz, 3800.0},    {par_preFlt_A_res, 0.7},     {par_preFlt_A_pt, 2.0},
  {par_preFlt_B_hz, 1.0},       {par_preFlt_B_res, 0.5},     {par_preFlt_band_mode, 0.4},
  {par_neg_band_mix, 0.6},      {par_damping_release, 50.0}, {par_damping_thresh, -35.0},
  {par_damping_hold, 1.0},      {par_main_gain, 0.0},
};
// Smooth detuned low-pass with a glassy 2.6 kHz peak.
constexpr PresetParamValue kSeaGlass[] = {
  {par_main_cutoff_hz, 4800.0},
  {par_main_resonance, 0.6},
  {par_main_pt_depth, 0.5},
  {par_main_drive, 0.05},
  {par_main_saturation_type, 1.0},
  {par_main_detune, 8.0},
  {par_break_character, 1.0},
  {par_preFlt_A_hz, 2600.0},
  {par_preFlt_A_res, 0.75},
  {par_preFlt_A_pt, 4.0},
  {par_preFlt_A_detune, 12.0},
  {par_preFlt_B_hz, 70.0},
  {par_preFlt_B_res, 0.5},
  {par_damping_release, 500.0},
  {par_damping_thresh, -60.0},
  {par_preFlt_band_mode, 0.6},
  {par_main_gain, 5.5},
};
// Driven high-pass with bit crushing.
constexpr PresetParamValue kCrust[] = {
  {par_main_cutoff_hz, 220.0}, {par_main_resonance, 0.55},      {par_main_pass_type, 1.0},  {par_main_pt_depth, 0.75},
  {par_main_drive, 0.7},       {par_main_saturation_type, 2.0}, {par_break_intensity, 0.4}, {par_break_character, 2.0},
  {par_break_param, 0.55},     {par_preFlt_A_hz, 6000.0},       {par_preFlt_A_res, 0.6},    {par_preFlt_B_hz, 1.0},
  {par_preFlt_B_res, 0.5},     {par_preFlt_band_mode, 0.6},     {par_main_gain, -3.0},
};
// Two-pole low-pass with asymmetric drive.
constexpr PresetParamValue kWarm[] = {
  {par_main_cutoff_hz, 2400.0},    {par_main_resonance, 0.3},  {par_main_pt_depth, 0.5},    {par_main_drive, 0.3},
  {par_main_saturation_type, 2.0}, {par_break_character, 1.0}, {par_preFlt_A_hz, 12000.0},  {par_preFlt_A_res, 0.5},
  {par_preFlt_B_hz, 28.0},         {par_preFlt_B_res, 0.5},    {par_preFlt_band_mode, 0.5}, {par_main_gain, -5.5},
};
// The 200-900 Hz band removed and the rest driven into a resonant low-pass.
constexpr PresetParamValue kStickyTape[] = {
  {par_main_cutoff_hz, 3000.0},
  {par_main_resonance, 0.7},
  {par_main_drive, 0.5},
  {par_main_saturation_type, 0.0},
  {par_break_intensity, 0.2},
  {par_break_character, 3.0},
  {par_preFlt_A_hz, 900.0},
  {par_preFlt_A_res, 0.65},
  {par_preFlt_A_pt, 0.0},
  {par_preFlt_B_hz, 200.0},
  {par_preFlt_B_res, 0.6},
  {par_preFlt_B_pt, 1.0},
  {par_preFlt_processing_order, 1.0},
  {par_preFlt_band_mode, -0.8},
  {par_neg_band_mix, 0.5},
  {par_main_gain, -4.5},
};
// Resonant band-pass drops gated by a quick damping.
constexpr PresetParamValue kRainy[] = {
  {par_main_cutoff_hz, 1900.0},    {par_main_resonance, 0.88},  {par_main_pass_type, 3.0},
  {par_main_pt_depth, 0.5},        {par_main_pt_tilt, 0.5},     {par_main_drive, 0.15},
  {par_main_saturation_type, 0.0}, {par_break_character, 1.0},  {par_preFlt_A_hz, 2600.0},
  {par_preFlt_A_res, 0.9},         {par_preFlt_A_pt, 2.0},      {par_preFlt_B_hz, 400.0},
  {par_preFlt_B_res, 0.5},         {par_preFlt_band_mode, 0.5}, {par_damping_release, 30.0},
  {par_damping_thresh, -35.0},     {par_damping_hold, 0.5},     {par_main_gain, -0.5},
};
// Maximum drive and folding held back by a fast damping gate.
constexpr PresetParamValue kAngerManagement[] = {
  {par_main_cutoff_hz, 1900.0}, {par_main_resonance, 0.5},   {par_main_drive, 0.85},   {par_main_saturation_type, 1.0},
  {par_break_intensity, 0.45},  {par_break_character, 4.0},  {par_break_param, 0.6},   {par_break_double, 0.25},
  {par_preFlt_A_hz, 7000.0},    {par_preFlt_A_res, 0.5},     {par_preFlt_B_hz, 100.0}, {par_preFlt_B_res, 0.5},
  {par_damping_release, 50.0},  {par_damping_thresh, -30.0}, {par_damping_hold, 1.0},  {par_preFlt_band_mode, 0.6},
  {par_main_gain, 10.5},
};
// Resonators at D3 and A3 struck by the input.
constexpr PresetParamValue kTabla[] = {
  {par_main_cutoff_hz, 900.0},
  {par_main_resonance, 0.75},
  {par_main_drive, 0.25},
  {par_main_saturation_type, 0.0},
  {par_break_character, 1.0},
  {par_preFlt_A_hz, 146.832384},
  {par_preFlt_A_res, 0.985},
  {par_preFlt_A_pt, 2.0},
  {par_preA_cutoff_note_anchored, 1.0},
  {par_preFlt_B_hz, 220.0},
  {par_preFlt_B_res, 0.97},
  {par_preFlt_B_pt, 2.0},
  {par_preB_cutoff_note_anchored, 1.0},
  {par_preFlt_processing_order, 0.0},
  {par_preFlt_band_mode, 0.75},
  {par_neg_band_mix, 0.35},
  {par_damping_release, 150.0},
  {par_damping_thresh, -40.0},
  {par_damping_hold, 2.0},
  {par_main_gain, 1.0},
};
// Soft low-pass at 700 Hz with no resonance.
constexpr PresetParamValue kPillow[] = {
  {par_main_cutoff_hz, 700.0},     {par_main_resonance, 0.1},  {par_main_pt_depth, 0.5},    {par_main_drive, 0.15},
  {par_main_saturation_type, 0.0}, {par_break_character, 1.0}, {par_preFlt_A_hz, 4000.0},   {par_preFlt_A_res, 0.3},
  {par_preFlt_B_hz, 25.0},         {par_preFlt_B_res, 0.5},    {par_preFlt_band_mode, 0.7}, {par_main_gain, -3.5},
};
// Wavefolded band-pass: bright plastic tones.
constexpr PresetParamValue kToys[] = {
  {par_main_cutoff_hz, 1500.0},    {par_main_resonance, 0.65},  {par_main_pass_type, 3.0},
  {par_main_pt_depth, 0.5},        {par_main_pt_tilt, 0.5},     {par_main_drive, 0.3},
  {par_main_saturation_type, 1.0}, {par_break_intensity, 0.45}, {par_break_character, 8.0},
  {par_break_param, 0.35},         {par_break_double, 0.25},    {par_preFlt_A_hz, 2000.0},
  {par_preFlt_A_res, 0.75},        {par_preFlt_A_pt, 2.0},      {par_preFlt_B_hz, 300.0},
  {par_preFlt_B_res, 0.5},         {par_preFlt_band_mode, 0.3}, {par_main_gain, 9.0},
};
// Crushed signal and a 4.5 kHz whine.
constexpr PresetParamValue kBrokenTv[] = {
  {par_main_cutoff_hz, 300.0}, {par_main_resonance, 0.5},  {par_main_pass_type, 1.0},
  {par_main_pt_depth, 0.5},    {par_main_drive, 0.4},      {par_main_saturation_type, 2.0},
  {par_break_intensity, 0.55}, {par_break_character, 2.0}, {par_break_param, 0.8},
  {par_break_double, 0.25},    {par_preFlt_A_hz, 4500.0},  {par_preFlt_A_res, 0.85},
  {par_preFlt_A_pt, 2.0},      {par_preFlt_B_hz, 1200.0},  {par_preFlt_B_res, 0.5},
  {par_preFlt_band_mode, 0.6}, {par_neg_band_mix, 0.4},    {par_damping_release, 100.0},
  {par_damping_thresh, -40.0}, {par_main_gain, -2.5},
};
// Crinkly wavefolding on the band above 4 kHz.
constexpr PresetParamValue kFoil[] = {
  {par_main_cutoff_hz, 6000.0}, {par_main_resonance, 0.5},   {par_main_pass_type, 5.0},  {par_main_pt_depth, 1.0},
  {par_main_drive, 0.2},        {par_break_intensity, 0.35}, {par_break_character, 9.0}, {par_break_param, 0.5},
  {par_preFlt_A_hz, 4000.0},    {par_preFlt_A_res, 0.75},    {par_preFlt_A_pt, 1.0},     {par_preFlt_B_hz, 1.0},
  {par_preFlt_B_res, 0.5},      {par_preFlt_band_mode, 1.0}, {par_neg_band_mix, 1.0},    {par_main_gain, -4.0},
};
// Clicks and high-pass resonance on the upper band.
constexpr PresetParamValue kCellophane[] = {
  {par_main_cutoff_hz, 3000.0}, {par_main_resonance, 0.7},   {par_main_pass_type, 1.0},
  {par_main_pt_depth, 0.5},     {par_main_drive, 0.25},      {par_main_saturation_type, 0.0},
  {par_break_intensity, 0.35},  {par_break_character, 11.0}, {par_break_param, 0.7},
  {par_preFlt_A_hz, 2500.0},    {par_preFlt_A_res, 0.6},     {par_preFlt_A_pt, 1.0},
  {par_preFlt_B_hz, 1.0},       {par_preFlt_B_res, 0.5},     {par_preFlt_band_mode, 0.9},
  {par_neg_band_mix, 0.8},      {par_main_gain, 0.0},
};
// Resonators a fifth apart (A3, E4) singing under a resonant low-pass.
constexpr PresetParamValue kSongline[] = {
  {par_main_cutoff_hz, 1500.0},
  {par_main_resonance, 0.8},
  {par_main_pt_depth, 0.75},
  {par_main_drive, 0.2},
  {par_main_saturation_type, 1.0},
  {par_break_character, 1.0},
  {par_preFlt_A_hz, 220.0},
  {par_preFlt_A_res, 0.98},
  {par_preFlt_A_pt, 2.0},
  {par_preFlt_A_detune, 5.0},
  {par_preA_cutoff_note_anchored, 1.0},
  {par_preFlt_B_hz, 329.627557},
  {par_preFlt_B_res, 0.98},
  {par_preFlt_B_pt, 2.0},
  {par_preFlt_B_detune, -5.0},
  {par_preB_cutoff_note_anchored, 1.0},
  {par_preFlt_processing_order, 0.0},
  {par_preFlt_band_mode, 0.7},
  {par_neg_band_mix, 0.3},
  {par_damping_release, 500.0},
  {par_damping_thresh, -45.0},
  {par_damping_hold, 5.0},
  {par_main_gain, 8.0},
};
// A low band through a tilted notch with a blended cubic break.
constexpr PresetParamValue kFlex[] = {
  {par_main_cutoff_hz, 1500.0},    {par_main_resonance, 0.6},  {par_main_pass_type, 4.0},
  {par_main_pt_depth, 1.0},        {par_main_pt_tilt, 0.5},    {par_main_drive, 0.3},
  {par_main_saturation_type, 2.0}, {par_break_intensity, 0.2}, {par_break_character, 4.25},
  {par_preFlt_A_hz, 500.0},        {par_preFlt_A_res, 0.7},    {par_preFlt_A_pt, 0.0},
  {par_preFlt_B_hz, 1.0},          {par_preFlt_B_res, 0.5},    {par_preFlt_processing_order, 1.0},
  {par_preFlt_band_mode, 0.5},     {par_neg_band_mix, 0.5},    {par_main_gain, -1.0},
};

constexpr FactoryPresetDef kFactoryPresets[] = {
  {"CLEAN VOSK", false, kCleanVosk},
  {"SLAG", true, kSlag},
  {"ARK", false, kArk},
  {"SERENDIPITY", true, kSerendipity},
  {"CLAWS", false, kClaws},
  {"STEEL", false, kSteel},
  {"HANDPAN", true, kHandpan},
  {"LEMON", false, kLemon},
  {"SUNSET", false, kSunset},
  {"TRANSISTOR TEARS", true, kTransistorTears},
  {"TRIPOLAR", false, kTripolar},
  {"RUBBER", false, kRubber},
  {"LOOSE", false, kLoose},
  {"MORDA", true, kMorda},
  {"DRIFT", false, kDrift},
  {"ASHEN", true, kAshen},
  {"FAT BEES", false, kFatBees},
  {"RUST", true, kRust},
  {"SODA", false, kSoda},
  {"GUILLOTINE", true, kGuillotine},
  {"ACID SPIT", true, kAcidSpit},
  {"ROSIN", false, kRosin},
  {"SPRING", true, kSpring},
  {"FUR", true, kFur},
  {"CHUBAKA", false, kChubaka},
  {"BOX", true, kBox},
  {"PATINA ANTHROPICA", true, kPatinaAnthropica},
  {"ELECTROLYTE os4x", false, kElectrolyte},
  {"IMP", true, kImp},
  {"INTERFERENCE", false, kInterference},
  {"BELL", false, kBell},
  {"MEMBRANE", false, kMembrane},
  {"EDGE", false, kEdge},
  {"TIN", true, kTin},
  {"CRUNCHY", false, kCrunchy},
  {"TRY ME", true, kTryMe},
  {"CAT", true, kCat},
  {"PAPER", false, kPaper},
  {"CHEW", true, kChew},
  {"SNOW", true, kSnow},
  {"BARREL", false, kBarrel},
  {"LAUNCH", false, kLaunch},
  {"CARDBOARD os1x", false, kCardboard},
  {"DESERT BEACON os1x", true, kDesertBeacon},
  {"LIPS", true, kLips},
  {"TAPE", false, kTape},
  {"BEADS", true, kBeads},
  {"VYNIL", false, kVynil},
  {"CRAYON", false, kCrayon},
  {"ZIPPER", false, kZipper},
  {"ANTCORE", false, kAntcore},
  {"BIRDS", true, kBirds},
  {"COINS", true, kCoins},
  {"SINGAPORE os4x", false, kSingapore},
  {"ERROR", false, kError},
  {"TRANSMISSION os4x", false, kTransmission},
  {"PIPETTE os4x", false, kPipette},
  {"SLUDGE", false, kSludge},
  {"MATCHES", true, kMatches},
  {"SEA GLASS os1x", true, kSeaGlass},
  {"CRUST", true, kCrust},
  {"WARM", true, kWarm},
  {"STICKY TAPE", true, kStickyTape},
  {"RAINY", true, kRainy},
  {"ANGER MANAGEMENT", false, kAngerManagement},
  {"TABLA", true, kTabla},
  {"PILLOW", false, kPillow},
  {"TOYS", true, kToys},
  {"BROKEN TV", true, kBrokenTv},
  {"FOIL", true, kFoil},
  {"CELLOPHANE", true, kCellophane},
  {"SONGLINE", true, kSongline},
  {"FLEX", false, kFlex},
};

static_assert(std::size(kFactoryPresets) == kNumFactoryPresets);

} // namespace

std::span<const FactoryPresetDef> factoryPresetDefs() { return kFactoryPresets; }

void FactoryPresets::applyRandomStarterPreset(PresetManager* manager) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mStarterIndices.empty() || !manager)
    return;
  std::mt19937 rng(freshInstanceSeed());
  const int pick = std::uniform_int_distribution<int>(0, static_cast<int>(mStarterIndices.size()) - 1)(rng);
  const int slot = mStarterIndices[static_cast<size_t>(pick)];
  if (slot >= 0 && slot < manager->listSize())
    manager->navigateTo(slot);
}

} // namespace zarvo
