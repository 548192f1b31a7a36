// Value texts shown by hosts and the editor, and MIDI note names.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "IPlugin/IPluginParameter.h"
#include "product/params/param_init.h"
#include "product/params/param_texts.h"
#include "product/params/params.h"

namespace zarvo {
namespace {

using plugkit::IParam;

class ValueTexts : public ::testing::Test
{
protected:
  void SetUp() override
  {
    for (int i = 0; i < kNumParams; ++i)
      initParam(params[static_cast<size_t>(i)], i);
  }
  std::string display(int index, double value, bool normalized = false) const
  {
    TextString text;
    params[static_cast<size_t>(index)].GetDisplay(value, normalized, text);
    return text.Get();
  }

  std::array<IParam, kNumParams> params;
};

TEST_F(ValueTexts, PlainValuesThroughTheParameters)
{
  struct Case
  {
    int index;
    double value;
    const char* expected;
  };
  const Case cases[] = {
    // frequency
    {par_main_cutoff_hz, 1, "1.0 Hz"},
    {par_main_cutoff_hz, 99.99, "100.0 Hz"},
    {par_main_cutoff_hz, 440, "440.0 Hz"},
    {par_preFlt_A_hz, 999.94, "999.9 Hz"},
    {par_preFlt_B_hz, 1500, "1.50 kHz"},
    {par_main_cutoff_hz, 9999.99, "10.00 kHz"},
    {par_main_cutoff_hz, 10000, "10.0 kHz"},
    {par_main_cutoff_hz, 20000, "20.0 kHz"},
    // gain
    {par_main_gain, 0, "0.0 dB"},
    {par_main_gain, -0.0004, "0.0 dB"},
    {par_main_gain, -24, "-24.0 dB"},
    {par_main_gain, 3.26, "3.3 dB"},
    // percent
    {par_gain_on_dry, 0, "0%"},
    {par_gain_on_dry, 0.5, "50%"},
    {par_gain_on_dry, 1, "100%"},
    // hold
    {par_damping_hold, 2, "H 2.0 ms"},
    {par_damping_hold, 9.96, "H 10.0 ms"},
    {par_damping_hold, 10, "H 10 ms"},
    // release
    {par_damping_release, 0, "R 0.0 ms"},
    {par_damping_release, 10, "R 10.0 ms"},
    {par_damping_release, 10.4, "R 10 ms"},
    {par_damping_release, 10.5, "R 11 ms"},
    {par_damping_release, 100, "R 100 ms"},
    {par_damping_release, 1000, "R 1.00 s"},
    {par_damping_release, 1999.9, "R 2.00 s"},
    {par_damping_release, 2000, "R inf"},
    // threshold
    {par_damping_thresh, -80, "-80.0 dB"},
    {par_damping_thresh, 0, "0.0 dB"},
    // saturation
    {par_main_saturation_type, 0, "TANH"},
    {par_main_saturation_type, 1.003, "ASINH"},
    {par_main_saturation_type, 2, "TASSYM"},
    {par_main_saturation_type, 0.75, "TANH>ASINH 75%"},
    {par_main_saturation_type, 1.5, "ASINH>TASSYM 50%"},
    {par_main_saturation_type, 2.5, "TASSYM>TANH 50%"},
    {par_main_saturation_type, 3, "TANH"},
    // glide, one per stage
    {par_main_glide_ms, 0, "0 ms"},
    {par_preA_glide_ms, 999.4, "999 ms"},
    {par_preB_glide_ms, 999.5, "1000 ms"},
    {par_main_glide_ms, 1000, "1.00 s"},
    {par_main_glide_ms, 2000, "2.00 s"},
    // lists
    {par_preFlt_B_pt, 1, "HP"},
    {par_preFlt_A_pt, 2, "BP"},
    {par_main_pass_type, 3, "BP"},
    {par_main_pass_type, 2, "AP"},
    {par_oversampling, 3, "os 8x"},
    {par_main_midi_cc_channel, 0, "all"},
    {par_preB_midi_note_channel, 16, "16"},
    {par_morph_active, 1, "on"},
    {par_main_cutoff_note_anchored, 0, "off"},
    // the framework's number, precision from the step
    {par_main_resonance, 0.5, "0.5000"},
    {par_dry_wet, 0.25, "0.250"},
    {par_main_detune, -3, "-3"},
    {par_morph_y, 46.0 / 101.0, "0.4554"},
    {par_preFlt_A_ub_lp, -4, "-4.0000"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << paramName(c.index) << " at " << c.value);
    EXPECT_EQ(display(c.index, c.value), c.expected);
  }
}

TEST_F(ValueTexts, DefaultsAndNormalisedValues)
{
  struct Case
  {
    const char* name;
    int index;
    double normalized;
    const char* expected;
  };
  const Case cases[] = {
    {"main cutoff at half travel", par_main_cutoff_hz, 0.5, "3.54 kHz"},
    {"pre A frequency at half travel", par_preFlt_A_hz, 0.5, "1.25 kHz"},
    {"pre B frequency at the bottom", par_preFlt_B_hz, 0.0, "1.0 Hz"},
    {"release at the top", par_damping_release, 1.0, "R inf"},
    {"oversampling at the top", par_oversampling, 1.0, "os 8x"},
    {"main pass type one fifth up", par_main_pass_type, 0.2, "HP"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(display(c.index, c.normalized, true), c.expected);
  }

  const struct
  {
    int index;
    const char* expected;
  } defaults[] = {
    {par_preFlt_B_pt, "HP"},           {par_preFlt_A_pt, "LP"},
    {par_main_pass_type, "LP"},        {par_main_saturation_type, "TASSYM"},
    {par_damping_release, "R 100 ms"}, {par_damping_hold, "H 2.0 ms"},
    {par_preFlt_A_hz, "20.0 kHz"},     {par_preFlt_B_hz, "1.0 Hz"},
  };
  for (const auto& d : defaults)
  {
    SCOPED_TRACE(paramName(d.index));
    EXPECT_EQ(display(d.index, params[static_cast<size_t>(d.index)].Value()), d.expected);
  }
}

// A text at the end of one display form names the value it says, also where that value shows in the
// next form; only "inf" asks for the endless release.
TEST_F(ValueTexts, TextsAtTheEndOfADisplayFormReadAsTheySay)
{
  struct Case
  {
    int index;
    const char* text;
    double expected;
    const char* shownAfter;
  };
  const Case cases[] = {
    {par_main_glide_ms, "1000 ms", 1000, "1.00 s"},
    {par_damping_hold, "H 10.0 ms", 10, "H 10 ms"},
    {par_damping_release, "R 10 ms", 10, "R 10.0 ms"},
    {par_main_cutoff_hz, "10.00 kHz", 10000, "10.0 kHz"},
    {par_main_saturation_type, "TANH>ASINH 100%", 1, "ASINH"},
    {par_damping_release, "R 2.00 s", 1999.9, "R 2.00 s"},
    {par_damping_release, "R inf", 2000, "R inf"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.text);
    const std::optional<double> value = params[static_cast<size_t>(c.index)].ReadDisplay(c.text);
    ASSERT_TRUE(value);
    EXPECT_NEAR(*value, c.expected, 1e-9);
    EXPECT_EQ(display(c.index, *value), c.shownAfter);
  }
}

// Values outside every range still give a text and never index outside a list.
TEST(ValueTextFunctions, ValuesBeyondTheRange)
{
  struct Case
  {
    const char* name;
    std::string actual;
    const char* expected;
  };
  const Case cases[] = {
    {"frequency above every bound uses the last segment", params::segmentedText(params::kFrequencySegments, 2e9),
     "2000000.0 kHz"},
    {"negative frequency uses the first segment", params::segmentedText(params::kFrequencySegments, -5), "-5.0 Hz"},
    {"saturation below zero", params::saturationText(-1.5), "TASSYM"},
    {"saturation far above the range", params::saturationText(4.25), "ASINH>TASSYM 25%"},
    {"negative glide rounds to zero without a sign", params::glideText(-0.4), "0 ms"},
    {"negative release", params::releaseText(-3), "R -3.0 ms"},
    {"gain just outside the zero band", params::gainText(0.002), "0.0 dB"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.actual, c.expected);
  }
}

TEST(MidiNoteName, Names)
{
  struct Case
  {
    int note;
    const char* expected;
  };
  const Case cases[] = {
    {60, "C4"}, {61, "C#4"}, {69, "A4"},  {0, "C-1"},   {11, "B-1"},
    {12, "C0"}, {127, "G9"}, {-1, "B-2"}, {-12, "C-2"}, {-13, "B-3"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(utils::midiNoteName(c.note), c.expected) << c.note;
}

} // namespace
} // namespace zarvo
