#include <cmath>
#include <atomic>
#include <functional>
#include <ostream>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "IPlugin/IPluginThreadRole.h"
#include "tests/utils/midi_cc/fakes.h"
#include "utils/midi_cc/mapper.h"

namespace {

using midi_cc_test::tableOf;
using zarvo::midi_cc::Mapper;
using zarvo::midi_cc::MappingTable;
using zarvo::midi_cc::ParamCCMapping;

using Resolved = std::vector<std::pair<int, double>>;

Resolved play(Mapper& mapper, int cc, double value, int channel)
{
  plugkit::AudioThreadScope audio;
  Resolved out;
  mapper.processMidiCC(cc, value, channel,
                       [&](const Mapper::ResolvedParam& r) { out.emplace_back(r.paramId, r.value); });
  return out;
}

void expectResolved(const Resolved& actual, const Resolved& expected)
{
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
  {
    EXPECT_EQ(actual[i].first, expected[i].first) << "entry " << i;
    EXPECT_NEAR(actual[i].second, expected[i].second, 1e-12) << "entry " << i;
  }
}

struct Message
{
  int cc;
  double value;
  int channel;
  Resolved expected;
};

struct ProcessCase
{
  const char* name;
  MappingTable initial;
  std::function<void(Mapper&)> prepare; // main-thread edits before the messages
  std::vector<Message> messages;
  bool learningAfter;
};

const ProcessCase kProcessCases[] = {
  {"UnmappedCCYieldsNothing", tableOf({{3, 10, 0.0, 1.0, 0}}), nullptr, {{11, 1.0, 1, {}}}, false},
  {"LearnWithoutMotionCompletesOnFirstMessageAndDrivesIt",
   {},
   [](Mapper& m) { m.setLearningForParam(11, false); },
   {{74, 0.5, 3, {{11, 0.5}}}, {74, 0.25, 9, {{11, 0.25}}}},
   false},
  {"LearnWithMotionNeedsAMoveOf012FromTheFirstValue",
   {},
   [](Mapper& m) { m.setLearningForParam(57, true); },
   {{1, 0.0, 1, {}}, {1, 0.119, 1, {}}, {1, 0.12, 1, {{57, 0.12}}}},
   false},
  {"LearnWithMotionTracksEachCCSeparately",
   {},
   [](Mapper& m) { m.setLearningForParam(57, true); },
   {{1, 0.0, 1, {}}, {2, 0.5, 1, {}}, {2, 0.55, 1, {}}, {1, 0.3, 1, {{57, 0.3}}}},
   false},
  {"LearnWithMotionIgnoresNaN",
   {},
   [](Mapper& m) { m.setLearningForParam(57, true); },
   {{1, 0.0, 1, {}}, {1, std::nan(""), 1, {}}},
   true},
  {"CC128NeverCompletesALearn",
   {},
   [](Mapper& m) { m.setLearningForParam(5, false); },
   {{128, 1.0, 1, {}}, {128, 0.0, 1, {}}},
   true},
  {"CC128NeverCompletesALearnWithMotion",
   {},
   [](Mapper& m) { m.setLearningForParam(5, true); },
   {{128, 0.0, 1, {}}, {128, 1.0, 1, {}}},
   true},
  {"LearnRemovesTheParametersOldMappingFirst",
   tableOf({{4, 5, 0.2, 0.4, 2}}),
   [](Mapper& m) { m.setLearningForParam(4, false); },
   {{5, 0.5, 1, {{4, 0.5}}}},
   false},
  {"LearnOntoASharedCCAppendsToItsList",
   tableOf({{9, 20, 0.0, 0.5, 0}}),
   [](Mapper& m) { m.setLearningForParam(2, false); },
   {{20, 1.0, 1, {{9, 0.5}, {2, 1.0}}}},
   false},
  {"StartingThenCancellingALearnLeavesTheParameterUnmapped",
   tableOf({{4, 5, 0.0, 1.0, 0}}),
   [](Mapper& m) {
     m.setLearningForParam(4, false);
     m.cancelLearning();
   },
   {{5, 0.5, 1, {}}},
   false},
  {"ClearAllMappingsEndsAPendingLearn",
   {},
   [](Mapper& m) {
     m.setLearningForParam(4, false);
     m.clearAllMappings();
   },
   {{5, 0.5, 1, {}}},
   false},
  {"ChannelMatrix",
   tableOf({{1, 7, 0.0, 1.0, 0}, {2, 7, 0.0, 1.0, 3}, {3, 7, 0.0, 1.0, 4}}),
   nullptr,
   {{7, 1.0, 3, {{1, 1.0}, {2, 1.0}}},
    {7, 1.0, 0, {{1, 1.0}, {2, 1.0}, {3, 1.0}}},
    {7, 1.0, 4, {{1, 1.0}, {3, 1.0}}},
    {7, 1.0, 16, {{1, 1.0}}}},
   false},
  {"InvertedRange",
   tableOf({{8, 10, 0.7, 0.2, 0}}),
   nullptr,
   {{10, 1.0, 1, {{8, 0.2}}}, {10, 0.0, 1, {{8, 0.7}}}, {10, 0.5, 1, {{8, 0.45}}}},
   false},
  {"SharedCCDrivesEveryParameterInListOrder",
   tableOf({{9, 20, 0.0, 1.0, 0}, {2, 20, 0.5, 1.0, 0}, {30, 20, 1.0, 0.0, 0}}),
   nullptr,
   {{20, 0.5, 1, {{9, 0.5}, {2, 0.75}, {30, 0.5}}}},
   false},
  {"SwapParamMappingsMovesRangeAndChannel",
   tableOf({{57, 1, 0.2, 0.8, 2}}),
   [](Mapper& m) { m.swapParamMappings(57, 58); },
   {{1, 1.0, 2, {{58, 0.8}}}, {1, 1.0, 3, {}}},
   false},
  {"SwapParamMappingsExchangesBoth",
   tableOf({{57, 1, 0.0, 1.0, 0}, {58, 2, 0.0, 0.5, 0}}),
   [](Mapper& m) { m.swapParamMappings(57, 58); },
   {{1, 1.0, 1, {{58, 1.0}}}, {2, 1.0, 1, {{57, 0.5}}}},
   false},
};

void PrintTo(const ProcessCase& c, std::ostream* os) { *os << c.name; }

class ProcessMidiCC : public testing::TestWithParam<ProcessCase>
{};

TEST_P(ProcessMidiCC, ResolvesMessages)
{
  const ProcessCase& c = GetParam();
  Mapper mapper;
  mapper.replaceMappings(c.initial);
  if (c.prepare)
    c.prepare(mapper);
  for (size_t i = 0; i < c.messages.size(); ++i)
  {
    const Message& msg = c.messages[i];
    SCOPED_TRACE(testing::Message() << "message " << i);
    expectResolved(play(mapper, msg.cc, msg.value, msg.channel), msg.expected);
  }
  EXPECT_EQ(mapper.isLearning(), c.learningAfter);
}

INSTANTIATE_TEST_SUITE_P(Mapper, ProcessMidiCC, testing::ValuesIn(kProcessCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Edits on the main thread, with what the map, the learn state and the changed flag look like after.
struct EditCase
{
  const char* name;
  MappingTable initial;
  std::function<void(Mapper&)> edit;
  MappingTable expected;
  int listeningAfter;
  bool learningAfter;
  bool changed;
};

const EditCase kEditCases[] = {
  {"SetMinActsOnTheFirstMappingInAscendingCC", tableOf({{7, 9, 0.0, 1.0, 0}, {7, 3, 0.0, 1.0, 0}}),
   [](Mapper& m) {
     m.setListeningParam(7);
     m.setMinForListeningParam(0.25);
   },
   tableOf({{7, 3, 0.25, 1.0, 0}, {7, 9, 0.0, 1.0, 0}}), 7, false, false},
  {"SetMaxIsNotClamped", tableOf({{7, 3, 0.0, 1.0, 0}}),
   [](Mapper& m) {
     m.setListeningParam(7);
     m.setMaxForListeningParam(1.5);
   },
   tableOf({{7, 3, 0.0, 1.5, 0}}), 7, false, false},
  {"InvertSwapsMinAndMax", tableOf({{7, 3, 0.1, 0.6, 4}}),
   [](Mapper& m) {
     m.setListeningParam(7);
     m.invertRangeForListeningParam();
   },
   tableOf({{7, 3, 0.6, 0.1, 4}}), 7, false, false},
  {"InvertWithoutAMappingChangesNothing", tableOf({{7, 3, 0.1, 0.6, 0}}),
   [](Mapper& m) {
     m.setListeningParam(8);
     m.invertRangeForListeningParam();
   },
   tableOf({{7, 3, 0.1, 0.6, 0}}), 8, false, false},
  {"ClearMappingErasesAnEmptiedEntry", tableOf({{7, 3, 0.0, 1.0, 0}, {8, 4, 0.0, 1.0, 0}}),
   [](Mapper& m) { m.clearMappingForParam(7); }, tableOf({{8, 4, 0.0, 1.0, 0}}), -1, false, false},
  {"AddMappingOfAListedParameterKeepsItsRangeAndRaisesChanged", tableOf({{7, 3, 0.2, 0.3, 5}}),
   [](Mapper& m) { m.addMapping(3, 7); }, tableOf({{7, 3, 0.2, 0.3, 5}}), -1, false, true},
  {"AddMappingAppendsAFullRangeMapping", tableOf({{7, 3, 0.2, 0.3, 5}}), [](Mapper& m) { m.addMapping(3, 8); },
   tableOf({{7, 3, 0.2, 0.3, 5}, {8, 3, 0.0, 1.0, 0}}), -1, false, true},
  {"SetChannelForParam", tableOf({{11, 74, 0.0, 1.0, 0}}), [](Mapper& m) { m.setChannelForParam(11, 9); },
   tableOf({{11, 74, 0.0, 1.0, 9}}), -1, false, false},
  {"ClearAllMappingsForgetsListeningAndEndsLearn",
   tableOf({{11, 74, 0.0, 1.0, 0}}),
   [](Mapper& m) {
     m.setLearningForParam(5, false);
     m.clearAllMappings();
   },
   {},
   -1,
   false,
   false},
  {"LearnCompletedOnTheAudioThreadIsAddedByTheMainThread", tableOf({{9, 74, 0.0, 0.5, 0}}),
   [](Mapper& m) {
     m.setLearningForParam(11, false);
     play(m, 74, 0.5, 2);
   },
   tableOf({{9, 74, 0.0, 0.5, 0}, {11, 74, 0.0, 1.0, 0}}), 11, false, true},
  {"ReplacingTheMapKeepsAPendingLearn",
   {},
   [](Mapper& m) {
     m.setLearningForParam(11, true);
     m.replaceMappings(tableOf({{3, 1, 0.0, 1.0, 0}}));
   },
   tableOf({{3, 1, 0.0, 1.0, 0}}),
   11,
   true,
   false},
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

class MapperEdits : public testing::TestWithParam<EditCase>
{};

TEST_P(MapperEdits, LeaveTheExpectedState)
{
  const EditCase& c = GetParam();
  Mapper mapper;
  mapper.replaceMappings(c.initial);
  c.edit(mapper);
  EXPECT_EQ(mapper.consumeChanged(), c.changed);
  EXPECT_FALSE(mapper.consumeChanged());
  EXPECT_EQ(mapper.mappings(), c.expected);
  EXPECT_EQ(mapper.listeningParam(), c.listeningAfter);
  EXPECT_EQ(mapper.isLearning(), c.learningAfter);
}

INSTANTIATE_TEST_SUITE_P(Mapper, MapperEdits, testing::ValuesIn(kEditCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Mapper, LearnedMappingKeepsDrivingBeforeAndAfterTheMainThreadTakesItOver)
{
  Mapper mapper;
  mapper.setLearningForParam(11, false);
  expectResolved(play(mapper, 74, 0.5, 1), {{11, 0.5}});
  EXPECT_EQ(mapper.getCCForParam(11), -1); // not taken over yet
  expectResolved(play(mapper, 74, 0.75, 1), {{11, 0.75}});

  ASSERT_TRUE(mapper.consumeChanged());
  EXPECT_EQ(mapper.getCCForParam(11), 74);
  expectResolved(play(mapper, 74, 0.25, 1), {{11, 0.25}}); // once, not also through the stand-in

  mapper.clearMappingForParam(11);
  expectResolved(play(mapper, 74, 0.25, 1), {});
}

// Memory safety of the snapshot hand-over; meant to run under the sanitizers as well.
TEST(Mapper, AudioThreadReadsWhileTheMainThreadEdits)
{
  Mapper mapper;
  std::atomic<bool> stop{false};
  std::atomic<int> invalid{0};
  std::atomic<int> played{0};
  std::thread audio([&] {
    plugkit::AudioThreadScope scope;
    for (int i = 0; !stop.load(std::memory_order_relaxed); i = played.fetch_add(1) + 1)
    {
      mapper.processMidiCC(i % 4, (i % 128) / 127.0, 1 + i % 16, [&](const Mapper::ResolvedParam& r) {
        if (r.paramId < 0 || r.paramId >= 20 || !(r.value >= 0.0 && r.value <= 1.0))
          invalid.fetch_add(1);
      });
    }
  });
  for (int round = 0; round < 3000; ++round)
  {
    // Every edit overlaps messages on the audio thread.
    for (const int seen = played.load(); played.load() == seen;)
      std::this_thread::yield();
    mapper.replaceMappings(tableOf({{round % 20, round % 4, 0.0, 1.0, 0}, {(round + 7) % 20, 2, 1.0, 0.0, 3}}));
    mapper.setLearningForParam(round % 20, round % 2 == 0);
    mapper.swapParamMappings(round % 20, (round + 1) % 20);
    mapper.setChannelForParam(round % 20, round % 17);
    mapper.consumeChanged();
    if (round % 100 == 0)
      mapper.clearAllMappings();
  }
  stop.store(true);
  audio.join();
  EXPECT_EQ(invalid.load(), 0);
}

} // namespace
