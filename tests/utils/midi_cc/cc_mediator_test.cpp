#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "IPlugin/IPluginThreadRole.h"
#include "tests/utils/midi_cc/fakes.h"
#include "utils/midi_cc/cc_mediator.h"

namespace {

using midi_cc_test::FakeControl;
using midi_cc_test::FakePlugin;
using midi_cc_test::tableOf;
using zarvo::midi_cc::CCMediator;
using zarvo::midi_cc::MappingTable;
using Strings = std::vector<std::string>;

plugkit::IMidiMsg cc(int number, int value, int channel = 1, int offset = 0)
{
  return {offset, static_cast<uint8_t>(0xB0 | (channel - 1)), static_cast<uint8_t>(number),
          static_cast<uint8_t>(value)};
}

struct Fixture
{
  Fixture()
    : mediator(plugin)
  {}

  void play(const plugkit::IMidiMsg& msg, int refusedParam = -1)
  {
    plugkit::AudioThreadScope audio;
    mediator.ProcessMidiCC(msg, [refusedParam](int p) { return p != refusedParam; });
  }

  bool send(int tag, int32_t param) { return mediator.OnMessage(tag, sizeof param, &param); }

  FakePlugin plugin;
  CCMediator mediator;
};

struct AudioCase
{
  const char* name;
  MappingTable mappings;
  std::array<int, FakePlugin::kNumParams> modes;
  int refusedParam;
  std::vector<plugkit::IMidiMsg> messages;
  std::vector<double> valuesAfter; // plain values of parameters 0..3
  std::array<double, 2> liveAfter; // slots 0 and 1, -1 untouched
  Strings audioChanges;            // "param@offset"
};

void PrintTo(const AudioCase& c, std::ostream* os) { *os << c.name; }

const AudioCase kAudioCases[] = {
  {"AbsoluteSetsThePlainValueThroughTheShape",
   tableOf({{0, 7, 0.0, 1.0, 0}, {2, 8, 0.0, 1.0, 0}}),
   {},
   -1,
   {cc(7, 127, 1, 12), cc(8, 0, 1, 30)},
   {1.0, 0.0, 20.0, 0.0},
   {-1.0, -1.0},
   {"0@12", "2@30"}},
  {"AbsoluteSnapsASteppedParameter",
   tableOf({{1, 7, 0.0, 1.0, 0}}),
   {},
   -1,
   {cc(7, 80)},
   {0.0, 3.0, 1000.0, 0.0},
   {-1.0, -1.0},
   {"1@0"}},
  {"AbsoluteAppliesTheMappingsRange",
   tableOf({{3, 7, 0.5, 0.2, 0}}),
   {},
   -1,
   {cc(7, 127)},
   {0.0, 0.0, 1000.0, 2.0},
   {-1.0, -1.0},
   {"3@0"}},
  {"ModulateStoresTheRawValueIgnoringTheRange",
   tableOf({{3, 7, 0.5, 0.2, 0}}),
   {0, 0, 0, 1},
   -1,
   {cc(7, 64)},
   {0.0, 0.0, 1000.0, 0.0},
   {-1.0, 64.0 / 127.0},
   {}},
  {"ModulateWithoutASlotIsDrivenAbsolutely",
   tableOf({{0, 7, 0.0, 0.5, 0}}),
   {1, 0, 0, 0},
   -1,
   {cc(7, 127)},
   {0.5, 0.0, 1000.0, 0.0},
   {-1.0, -1.0},
   {"0@0"}},
  {"RefusedAbsoluteHasNoEffectButModulationPasses",
   tableOf({{2, 7, 0.0, 1.0, 0}, {3, 7, 0.0, 1.0, 0}}),
   {0, 0, 0, 1},
   2,
   {cc(7, 127)},
   {0.0, 0.0, 1000.0, 0.0},
   {-1.0, 1.0},
   {}},
  {"TwoParametersOnOneControllerChangeInListOrder",
   tableOf({{3, 7, 0.0, 1.0, 0}, {0, 7, 0.0, 1.0, 0}}),
   {},
   -1,
   {cc(7, 127, 5, 3)},
   {1.0, 0.0, 1000.0, 10.0},
   {-1.0, -1.0},
   {"3@3", "0@3"}},
  {"ParameterThatDoesNotExistIsSkipped",
   tableOf({{79, 7, 0.0, 1.0, 0}, {-1, 7, 0.0, 1.0, 0}, {0, 7, 0.0, 1.0, 0}}),
   {},
   -1,
   {cc(7, 127)},
   {1.0, 0.0, 1000.0, 0.0},
   {-1.0, -1.0},
   {"0@0"}},
  {"ChannelOfTheMessageFiltersMappings",
   tableOf({{0, 7, 0.0, 1.0, 2}, {3, 7, 0.0, 1.0, 3}}),
   {},
   -1,
   {cc(7, 127, 3)},
   {0.0, 0.0, 1000.0, 10.0},
   {-1.0, -1.0},
   {"3@0"}},
  {"OtherMessagesAreIgnored",
   tableOf({{0, 7, 0.0, 1.0, 0}}),
   {},
   -1,
   {{0, 0x90, 7, 127}, {0, 0xE0, 7, 127}},
   {0.0, 0.0, 1000.0, 0.0},
   {-1.0, -1.0},
   {}},
};

class MediatorAudio : public testing::TestWithParam<AudioCase>
{};

TEST_P(MediatorAudio, DrivesParametersAndSlots)
{
  const AudioCase& c = GetParam();
  Fixture f;
  f.plugin.ccMode = c.modes;
  f.mediator.mapper().replaceMappings(c.mappings);
  for (const plugkit::IMidiMsg& msg : c.messages)
    f.play(msg, c.refusedParam);

  for (int p = 0; p < FakePlugin::kNumParams; ++p)
    EXPECT_NEAR(f.plugin.GetParam(p)->Value(), c.valuesAfter[p], 1e-9) << "parameter " << p;
  EXPECT_EQ(f.plugin.liveValue, c.liveAfter);
  EXPECT_EQ(f.plugin.audioChanges, c.audioChanges);
  EXPECT_TRUE(f.plugin.hostCalls.empty()) << "the host hears of changes from the idle tick only";
}

INSTANTIATE_TEST_SUITE_P(Mediator, MediatorAudio, testing::ValuesIn(kAudioCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Mediator, AbsoluteChangesReachTheHostFromTheIdleTickAsOneGestureEach)
{
  Fixture f;
  f.mediator.mapper().replaceMappings(tableOf({{3, 7, 0.0, 1.0, 0}, {0, 7, 0.0, 1.0, 0}, {1, 9, 0.0, 1.0, 0}}));
  f.play(cc(7, 127));
  f.play(cc(9, 127));
  f.play(cc(7, 0)); // coalesced: the host hears the latest value once

  f.mediator.OnIdle();
  EXPECT_EQ(f.plugin.hostCalls,
            (Strings{"begin 3", "perform 3 0.0000", "controls 3 0.0000", "end 3", "begin 0", "perform 0 0.0000",
                     "controls 0 0.0000", "end 0", "begin 1", "perform 1 1.0000", "controls 1 1.0000", "end 1"}));

  f.plugin.hostCalls.clear();
  f.mediator.OnIdle();
  EXPECT_TRUE(f.plugin.hostCalls.empty());
  f.play(cc(9, 0));
  f.mediator.OnIdle();
  EXPECT_EQ(f.plugin.hostCalls, (Strings{"begin 1", "perform 1 0.0000", "controls 1 0.0000", "end 1"}));
}

struct MessageCase
{
  const char* name;
  MappingTable initial;
  double param0Value;                            // plain value of parameter 0 (0..1)
  std::vector<std::pair<int, int32_t>> messages; // tag, parameter
  std::vector<bool> handled;
  MappingTable expected;
  bool learningAfter;
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

const MessageCase kMessageCases[] = {
  {"LearnRemovesTheOldMappingAndStartsLearning",
   tableOf({{3, 7, 0.2, 0.3, 0}}),
   0.0,
   {{7777, 3}, {7778, 3}},
   {true, true},
   {},
   true},
  {"LearnForAParameterThatDoesNotExistIsDeclined", {}, 0.0, {{7777, 40}, {7778, 40}}, {true, false}, {}, false},
  {"CancelEndsTheLearn", {}, 0.0, {{7777, 3}, {7778, 3}, {7777, 3}, {7788, 3}}, {true, true, true, true}, {}, false},
  {"ClearRemovesTheMapping",
   tableOf({{3, 7, 0.2, 0.3, 0}, {0, 8, 0.0, 1.0, 0}}),
   0.0,
   {{7777, 3}, {7779, 3}},
   {true, true},
   tableOf({{0, 8, 0.0, 1.0, 0}}),
   false},
  {"InvertActsOnTheListeningParameter",
   tableOf({{3, 7, 0.2, 0.3, 0}}),
   0.0,
   {{7777, 3}, {7780, 3}},
   {true, true},
   tableOf({{3, 7, 0.3, 0.2, 0}}),
   false},
  {"SetMinAndMaxTakeTheNamedParametersNormalisedValue",
   tableOf({{0, 7, 0.0, 1.0, 0}}),
   0.25,
   {{7777, 0}, {7781, 0}, {7777, 0}, {7782, 0}},
   {true, true, true, true},
   tableOf({{0, 7, 0.25, 0.25, 0}}),
   false},
  {"SetMaxOfAParameterThatDoesNotExistStoresZero",
   tableOf({{0, 7, 0.0, 1.0, 0}}),
   0.25,
   {{7777, 0}, {7782, 55}},
   {true, true},
   tableOf({{0, 7, 0.0, 0.0, 0}}),
   false},
  {"PluginOwnTagsAndOthersAreDeclined",
   tableOf({{0, 7, 0.0, 1.0, 0}}),
   0.0,
   {{7783, 0}, {7784, 0}, {7785, 0}, {7786, 0}, {7787, 0}, {7776, 0}, {7789, 0}},
   {false, false, false, false, false, false, false},
   tableOf({{0, 7, 0.0, 1.0, 0}}),
   false},
};

class MediatorMessages : public testing::TestWithParam<MessageCase>
{};

TEST_P(MediatorMessages, EditTheMap)
{
  const MessageCase& c = GetParam();
  Fixture f;
  f.mediator.mapper().replaceMappings(c.initial);
  f.plugin.GetParam(0)->Set(c.param0Value);
  std::vector<bool> handled;
  for (const auto& [tag, param] : c.messages)
    handled.push_back(f.send(tag, param));
  EXPECT_EQ(handled, c.handled);
  EXPECT_EQ(f.mediator.mapper().mappings(), c.expected);
  EXPECT_EQ(f.mediator.mapper().isLearning(), c.learningAfter);
}

INSTANTIATE_TEST_SUITE_P(Mediator, MediatorMessages, testing::ValuesIn(kMessageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Mediator, DeclinesPayloadsTooShortForTheParameterIndex)
{
  Fixture f;
  const int32_t param = 3;
  const uint8_t shortPayload[3] = {3, 0, 0};
  EXPECT_FALSE(f.mediator.OnMessage(7777, 4, nullptr));
  EXPECT_FALSE(f.mediator.OnMessage(7777, 3, shortPayload));
  EXPECT_FALSE(f.mediator.OnMessage(7777, -4, &param));
  EXPECT_EQ(f.mediator.mapper().listeningParam(), -1);
}

TEST(Mediator, RefreshPushesNumbersRangesAndLearnToTheFirstBoundControl)
{
  Fixture f;
  f.plugin.controls = {FakeControl(3), FakeControl(3), FakeControl(0), FakeControl(1)};
  f.plugin.controls[2].cc = 99; // stale, from before
  f.mediator.mapper().replaceMappings(tableOf({{3, 7, 0.7, 0.2, 0}}));
  f.send(7777, 1);
  f.send(7778, 1);

  const auto& c = f.plugin.controls;
  EXPECT_EQ(c[0].cc, 7);
  EXPECT_EQ(c[0].min, 0.7);
  EXPECT_EQ(c[0].max, 0.2);
  EXPECT_EQ(c[1].cc, -1);
  EXPECT_EQ(c[2].cc, -1);
  EXPECT_EQ(std::vector<bool>({c[0].learning, c[1].learning, c[2].learning, c[3].learning}),
            std::vector<bool>({false, false, false, true}));
  EXPECT_EQ(f.plugin.morphPadRedraws, 1);
}

TEST(Mediator, RefreshWithTheEditorClosedDoesNothing)
{
  Fixture f;
  f.plugin.editorOpen = false;
  f.plugin.controls = {FakeControl(3)};
  f.mediator.mapper().replaceMappings(tableOf({{3, 7, 0.0, 1.0, 0}}));
  f.mediator.refreshUI();
  EXPECT_EQ(f.plugin.controls[0].cc, -1);
  EXPECT_EQ(f.plugin.morphPadRedraws, 0);
}

TEST(Mediator, LearnCompletedOnTheAudioThreadReachesTheControlsOnTheNextIdleTick)
{
  Fixture f;
  f.plugin.controls = {FakeControl(3)};
  f.send(7777, 3);
  f.send(7778, 3);
  EXPECT_TRUE(f.plugin.controls[0].learning);

  f.play(cc(21, 127, 4));
  EXPECT_NEAR(f.plugin.GetParam(3)->Value(), 10.0, 1e-12) << "the completing message drives the parameter";
  EXPECT_EQ(f.plugin.controls[0].cc, -1);

  EXPECT_TRUE(f.mediator.OnIdle());
  EXPECT_EQ(f.plugin.controls[0].cc, 21);
  EXPECT_FALSE(f.plugin.controls[0].learning);
  EXPECT_EQ(f.mediator.mapper().getCCForParam(3), 21);
  EXPECT_FALSE(f.mediator.OnIdle());
}

} // namespace
