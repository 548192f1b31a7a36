// Notes steering a filter stage's cutoff: glide, legato, release order, channel filter, shifts, chords.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "product/audio/note_mode_controller.h"
#include "tests/product/audio/fake_host.h"

namespace zarvo {
namespace {

constexpr double kOsRate = 96000.0; // 48 kHz at 2x
constexpr double kUnchecked = -1000.0;

struct Step
{
  enum Kind
  {
    On,
    Off,
    Ticks,
    Octave
  } kind;
  int a = 0;       // note, tick count or octave shift
  int channel = 1; // 1-based
};

struct Settings
{
  double glideMs = 0.0;
  bool always = true;
  int noteChannel = 0;
};

struct GlideCase
{
  const char* name;
  Settings settings;
  std::vector<Step> steps;
  double current; // kUnchecked: not checked
  double target;
  double length;
  int held;
};

std::vector<Step> pressEach(int first, int count)
{
  std::vector<Step> steps;
  for (int n = first; n < first + count; ++n)
  {
    steps.push_back({Step::On, n});
    steps.push_back({Step::Ticks, 1});
  }
  steps.pop_back();
  return steps;
}

std::vector<Step> join(std::vector<Step> a, const std::vector<Step>& b)
{
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The main stage starts idle at 440 Hz (note 69); every row is one script on a fresh controller.
const GlideCase kGlideCases[] = {
  {"GlideZeroJumps", {0.0}, {{Step::On, 60}}, 60, 60, 0, 1},
  {"GlideOf100msAt96kLasts600Ticks", {100.0}, {{Step::On, 60}, {Step::Ticks, 1}}, 69 - 9.0 / 600, 60, 600, 1},
  {"GlideEndsOnItsLastTick", {100.0}, {{Step::On, 60}, {Step::Ticks, 599}}, kUnchecked, 60, 600, 1},
  {"GlideReachedAfterGlideTime", {100.0}, {{Step::On, 60}, {Step::Ticks, 600}}, 60, 60, 0, 1},
  {"LegatoFirstNoteJumps", {100.0, false}, {{Step::On, 60}}, 60, 60, 0, 1},
  {"LegatoSecondNoteGlides", {100.0, false}, {{Step::On, 60}, {Step::Ticks, 1}, {Step::On, 64}}, 60, 64, 600, 2},
  {"ReleasingNewestGlidesBackToOlder",
   {100.0},
   {{Step::On, 60}, {Step::Ticks, 600}, {Step::On, 64}, {Step::Ticks, 600}, {Step::Off, 64}},
   64,
   60,
   600,
   1},
  {"ReleasingLastHeldNoteStaysPut", {100.0}, {{Step::On, 60}, {Step::Ticks, 100}, {Step::Off, 60}}, 67.5, 67.5, 0, 0},
  {"ReleasingUnheldNoteKeepsStack", {0.0}, {{Step::On, 60}, {Step::Off, 61}}, 60, 60, 0, 1},
  {"ChannelZeroAcceptsAnyChannel", {0.0, true, 0}, {{Step::On, 60, 7}}, 60, 60, 0, 1},
  {"ChannelFiveRejectsChannelOne", {0.0, true, 5}, {{Step::On, 60, 1}}, 69, 69, 0, 0},
  {"ChannelFiveAcceptsChannelFive", {0.0, true, 5}, {{Step::On, 60, 5}}, 60, 60, 0, 1},
  {"OctaveShiftMidGlideMovesTargetOnly",
   {100.0},
   {{Step::On, 60}, {Step::Ticks, 100}, {Step::Octave, 1}},
   67.5,
   72,
   600,
   1},
  {"OctaveShiftWhileIdleJumps", {0.0}, {{Step::On, 60}, {Step::Octave, 1}}, 72, 72, 0, 1},
  {"ChordInOneTickTakesNearestTarget", {100.0}, {{Step::On, 60}, {Step::On, 72}, {Step::On, 66}}, 69, 72, 600, 3},
  {"ChordTiesGoToEarliest", {100.0}, {{Step::On, 66}, {Step::On, 72}}, 69, 66, 600, 2},
  {"ChordWhoseFirstNoteJumpsKeepsIt", {100.0, false}, {{Step::On, 60}, {Step::On, 68}, {Step::On, 70}}, 60, 60, 0, 3},
  {"Note129IsNotStackedAndGlidesLikeLegato",
   {100.0, false},
   join(pressEach(0, 128), {{Step::Ticks, 600}, {Step::On, 200}}),
   127,
   200,
   600,
   128},
  {"ReleasingNote129LeavesStackAndReturnsToTop",
   {100.0, false},
   join(pressEach(0, 128), {{Step::Ticks, 600}, {Step::On, 200}, {Step::Ticks, 1}, {Step::Off, 200}}),
   kUnchecked,
   127,
   600,
   128},
};

class GlideTest : public testing::TestWithParam<GlideCase>
{};

plugkit::IMidiMsg noteMsg(bool on, int note, int channel)
{
  plugkit::IMidiMsg msg;
  msg.mStatus = static_cast<uint8_t>((on ? 0x90 : 0x80) | (channel - 1));
  msg.mData1 = static_cast<uint8_t>(note);
  msg.mData2 = on ? 100 : 0;
  return msg;
}

TEST_P(GlideTest, FollowsTheScript)
{
  const GlideCase& c = GetParam();
  test::FakeHost host;
  NoteModeController notes;
  double cutoff = 440.0;
  const std::array<double*, 3> cutoffs = {&cutoff, &cutoff, &cutoff};
  notes.onParamChanged(par_main_glide_ms, c.settings.glideMs);
  notes.onParamChanged(par_main_glide_always, c.settings.always ? 1.0 : 0.0);
  notes.onParamChanged(par_main_midi_note_channel, c.settings.noteChannel);
  notes.onParamChanged(par_main_midi_note_on, 1.0);
  const auto block = [&] {
    notes.takeSnapshots(host);
    notes.beginBlock(kOsRate, cutoffs);
  };
  block();

  for (const Step& s : c.steps)
  {
    switch (s.kind)
    {
    case Step::On: notes.handleNoteMessage(noteMsg(true, s.a, s.channel), kOsRate); break;
    case Step::Off: notes.handleNoteMessage(noteMsg(false, s.a, s.channel), kOsRate); break;
    case Step::Ticks:
      for (int i = 0; i < s.a; ++i)
        notes.advanceTick(0);
      break;
    case Step::Octave:
      notes.onParamChanged(par_main_note_oct_shift, s.a);
      block();
      break;
    }
  }

  const NoteGlider<double>& g = notes.glider(0);
  if (c.current != kUnchecked)
  {
    EXPECT_NEAR(g.current(), c.current, 1e-9);
  }
  EXPECT_NEAR(g.target(), c.target, 1e-9);
  EXPECT_DOUBLE_EQ(g.length(), c.length);
  EXPECT_EQ(g.heldCount(), c.held);
}

INSTANTIATE_TEST_SUITE_P(Cases, GlideTest, testing::ValuesIn(kGlideCases),
                         [](const testing::TestParamInfo<GlideCase>& info) { return std::string(info.param.name); });

struct Recorder final : NoteModeListener
{
  void noteModeSwitchedOn(int cutoffParam) override { switchedOn.push_back(cutoffParam); }
  void controllerChannelChanged(int cutoffParam, int channel) override { channels.push_back({cutoffParam, channel}); }
  std::vector<int> switchedOn;
  std::vector<std::pair<int, int>> channels;
};

TEST(NoteModeParams, OwnsExactlyTheNoteParametersAndTellsThePlugin)
{
  struct Row
  {
    const char* name;
    int param;
    double value;
    bool owned;
    std::vector<int> switchedOn;
    std::vector<std::pair<int, int>> channels;
    std::array<bool, 3> cutoffFollowsNotes;
  };
  const Row rows[] = {
    {"MainOn", par_main_midi_note_on, 1.0, true, {par_main_cutoff_hz}, {}, {true, false, false}},
    {"PreBOn", par_preB_midi_note_on, 1.0, true, {par_preFlt_B_hz}, {}, {false, false, true}},
    {"OffTellsNothing", par_preA_midi_note_on, 0.0, true, {}, {}, {false, false, false}},
    {"PreAControllerChannel", par_preA_midi_cc_channel, 5.0, true, {}, {{par_preFlt_A_hz, 5}}, {false, false, false}},
    {"LastNoteParam", par_preB_midi_cc_channel, 2.0, true, {}, {{par_preFlt_B_hz, 2}}, {false, false, false}},
    {"GainIsNotANoteParam", par_gain_on_dry, 1.0, false, {}, {}, {false, false, false}},
    {"MorphActiveIsNotANoteParam", par_morph_active, 1.0, false, {}, {}, {false, false, false}},
  };
  for (const Row& r : rows)
  {
    SCOPED_TRACE(r.name);
    Recorder recorder;
    NoteModeController notes(&recorder);
    EXPECT_EQ(notes.onParamChanged(r.param, r.value), r.owned);
    EXPECT_EQ(recorder.switchedOn, r.switchedOn);
    EXPECT_EQ(recorder.channels, r.channels);
    for (int s = 0; s < 3; ++s)
    {
      const int cutoff = NoteModeController::kStageCutoffParam[static_cast<size_t>(s)];
      EXPECT_EQ(notes.isCutoffNoteModeOn(cutoff), r.cutoffFollowsNotes[static_cast<size_t>(s)]);
      EXPECT_EQ(notes.allowsAbsoluteCC(cutoff), !r.cutoffFollowsNotes[static_cast<size_t>(s)]);
    }
    EXPECT_FALSE(notes.isCutoffNoteModeOn(par_main_resonance));
  }
}

TEST(NoteModeBlocks, SwitchingOffLeavesTheCutoffAtTheLastPlayedPitch)
{
  test::FakeHost host;
  NoteModeController notes;
  double main = 1000.0, a = 1000.0, b = 1000.0;
  const std::array<double*, 3> cutoffs = {&main, &a, &b};
  notes.onParamChanged(par_main_midi_note_on, 1.0);
  notes.takeSnapshots(host);
  notes.beginBlock(kOsRate, cutoffs);
  EXPECT_NEAR(notes.glider(0).current(), NoteGlider<double>::noteOf(1000.0), 1e-12);

  notes.handleNoteMessage(noteMsg(true, 81, 1), kOsRate); // 880 Hz, no glide
  notes.advanceTick(0);
  notes.publish();
  EXPECT_NEAR(notes.publishedFrequency(0), 880.0, 1e-9);
  EXPECT_TRUE(notes.noteHeld(0));
  EXPECT_EQ(notes.publishedFrequency(1), -1.0);

  notes.onParamChanged(par_main_midi_note_on, 0.0);
  notes.takeSnapshots(host);
  notes.beginBlock(kOsRate, cutoffs);
  EXPECT_NEAR(main, 880.0, 1e-9);
  EXPECT_EQ(a, 1000.0);
}

} // namespace
} // namespace zarvo
