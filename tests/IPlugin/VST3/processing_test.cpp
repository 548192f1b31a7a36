// The process call as a host drives it: bus arrangements, bypass, parameter changes, MIDI in and out,
// and both sample sizes.
#include "tests/IPlugin/VST3/host_session.h"
#include "product/params/params.h"

#include <gtest/gtest.h>

#include <random>

namespace vemlor::testhost {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr ParamID kBypassId = 65536;

// Values a float holds exactly, so that both sample sizes carry them unchanged.
void fillInputs(Plugin& plugin, int32 frames, std::mt19937& random)
{
  std::uniform_int_distribution<int> level(-32768, 32767);
  for (int32 ch = 0; ch < plugin.channelCount(kInput, 0); ++ch)
    for (int32 i = 0; i < frames; ++i)
      plugin.input(0, ch)[i] = level(random) / 32768.0;
}

// A new instance starts on a random starter preset: sessions that are compared start from one patch.
std::vector<uint8_t> onePatch()
{
  HostSession s(VEMLOR_BUNDLE_PATH);
  return s ? s.plugin->getState().value_or(std::vector<uint8_t>{}) : std::vector<uint8_t>{};
}

struct ArrangementCase
{
  const char* name;
  std::vector<SpeakerArrangement> inputs;
  std::vector<SpeakerArrangement> outputs;
  bool accepted;
  SpeakerArrangement busArrangement; // of the input and the output bus afterwards
};

TEST(VemlorBuses, ArrangementsOfTheChannelConfigurations)
{
  const ArrangementCase cases[] = {
    {"stereo to stereo", {SpeakerArr::kStereo}, {SpeakerArr::kStereo}, true, SpeakerArr::kStereo},
    {"mono to mono", {SpeakerArr::kMono}, {SpeakerArr::kMono}, true, SpeakerArr::kMono},
    // Any two speakers make a stereo bus of the plug-in's own arrangement.
    {"two surround speakers", {SpeakerArr::kStereoSurround}, {SpeakerArr::kStereoSurround}, true, SpeakerArr::kStereo},
    {"mono to stereo", {SpeakerArr::kMono}, {SpeakerArr::kStereo}, false, SpeakerArr::kStereo},
    {"two input buses", {SpeakerArr::kStereo, SpeakerArr::kStereo}, {SpeakerArr::kStereo}, false, SpeakerArr::kStereo},
    {"no buses", {}, {}, false, SpeakerArr::kStereo},
    {"no output bus", {SpeakerArr::kStereo}, {}, false, SpeakerArr::kStereo},
    {"5.1", {SpeakerArr::k51}, {SpeakerArr::k51}, false, SpeakerArr::kStereo},
  };
  for (const ArrangementCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    HostSession s(VEMLOR_BUNDLE_PATH);
    ASSERT_TRUE(s) << s.error;
    IAudioProcessor* processor = s.plugin->processor();
    auto inputs = c.inputs;
    auto outputs = c.outputs;
    const tresult result = processor->setBusArrangements(inputs.data(), static_cast<int32>(inputs.size()),
                                                         outputs.data(), static_cast<int32>(outputs.size()));
    EXPECT_EQ(result == kResultTrue, c.accepted);
    const SpeakerArrangement expected = c.accepted ? c.busArrangement : SpeakerArr::kStereo;
    for (BusDirection dir : {kInput, kOutput})
    {
      ASSERT_EQ(s.plugin->component()->getBusCount(kAudio, dir), 1);
      SpeakerArrangement arrangement = 0;
      ASSERT_EQ(processor->getBusArrangement(dir, 0, arrangement), kResultTrue);
      EXPECT_EQ(arrangement, expected);
      BusInfo info{};
      ASSERT_EQ(s.plugin->component()->getBusInfo(kAudio, dir, 0, info), kResultTrue);
      EXPECT_EQ(toUtf8(info.name, 128), dir == kInput ? "Input" : "Output");
      EXPECT_EQ(info.flags, BusInfo::kDefaultActive);
    }

    // Whatever the buses are now, the dry-only mix passes audio through them.
    ASSERT_TRUE(s.plugin->startProcessing({}));
    std::mt19937 random(3);
    fillInputs(*s.plugin, 64, random);
    s.plugin->addParameterChange(zarvo::par_dry_wet, 0, 0.0);
    s.plugin->addParameterChange(zarvo::par_morph_active, 0, 0.0);
    ASSERT_TRUE(s.plugin->process(64).clean());
    for (int32 ch = 0; ch < s.plugin->channelCount(kOutput, 0); ++ch)
      for (int32 i = 0; i < 64; ++i)
        ASSERT_EQ(s.plugin->output(0, ch)[i], s.plugin->input(0, ch)[i]);
  }
}

struct BypassCase
{
  const char* name;
  const char* bundle;
  double bypassValue;
  bool bypassed;
  uint32 latency;
};

TEST(VST3Bypass, BypassedOutputIsTheInputDelayedByTheLatency)
{
  const BypassCase cases[] = {
    {"Vemlor", VEMLOR_BUNDLE_PATH, 1.0, true, 0},
    {"echo at exactly one half plays", ECHO_BUNDLE_PATH, 0.5, false, 32},
    {"echo just above one half", ECHO_BUNDLE_PATH, 0.51, true, 32},
    {"echo fully", ECHO_BUNDLE_PATH, 1.0, true, 32},
  };
  for (const BypassCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    HostSession s(c.bundle);
    ASSERT_TRUE(s) << s.error;
    ASSERT_EQ(s.plugin->processor()->getLatencySamples(), c.latency);
    ProcessConfig config;
    config.maxBlockSize = 48;
    ASSERT_TRUE(s.plugin->startProcessing(config));
    std::mt19937 random(11);
    std::vector<std::vector<double>> in(2), out(2);
    s.plugin->addParameterChange(kBypassId, 0, c.bypassValue);
    for (int block = 0; block < 4; ++block)
    {
      fillInputs(*s.plugin, 48, random);
      ASSERT_TRUE(s.plugin->process(48).clean());
      for (int32 ch = 0; ch < 2; ++ch)
      {
        in[ch].insert(in[ch].end(), s.plugin->input(0, ch), s.plugin->input(0, ch) + 48);
        out[ch].insert(out[ch].end(), s.plugin->output(0, ch), s.plugin->output(0, ch) + 48);
      }
    }
    const size_t delay = c.bypassed ? c.latency : 0;
    for (int32 ch = 0; ch < 2; ++ch)
      for (size_t i = 0; i < out[ch].size(); ++i)
        ASSERT_EQ(out[ch][i], i < delay ? 0.0 : in[ch][i - delay]) << "channel " << ch << ", sample " << i;
  }
}

struct Point
{
  int32 offset;
  double value;
};

struct ChangeCase
{
  const char* name;
  ParamID id;
  std::vector<Point> points;
  int32 reportedOffset;
  int8 reportedValue; // the normalised value in 7 bits, after stepping
};

TEST(VST3ParameterChanges, OnlyTheLastPointOfABlockReachesThePlugin)
{
  const ChangeCase cases[] = {
    {"two points", 0, {{0, 0.2}, {100, 0.8}}, 100, 101},
    {"one point", 0, {{5, 1.0}}, 5, 127},
    {"a list steps to its nearest entry", 1, {{0, 0.1}, {7, 0.6}}, 7, 63},
  };
  for (const ChangeCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    HostSession s(ECHO_BUNDLE_PATH);
    ASSERT_TRUE(s) << s.error;
    ProcessConfig config;
    config.maxBlockSize = 256;
    ASSERT_TRUE(s.plugin->startProcessing(config));
    for (const Point& p : c.points)
      s.plugin->addParameterChange(c.id, p.offset, p.value);
    ASSERT_TRUE(s.plugin->process(256).clean());
    EventList& out = s.plugin->outputEvents();
    ASSERT_EQ(out.getEventCount(), 1);
    const Event* e = out.eventAt(0);
    EXPECT_EQ(e->type, Event::kLegacyMIDICCOutEvent);
    EXPECT_EQ(e->sampleOffset, c.reportedOffset);
    EXPECT_EQ(e->midiCCOut.channel, 15);
    EXPECT_EQ(e->midiCCOut.controlNumber, c.id);
    EXPECT_EQ(e->midiCCOut.value, c.reportedValue);
  }
}

TEST(VemlorParameterChanges, ABlockKeepsTheLastPointOfEachQueue)
{
  constexpr ParamID kGain = 30;
  const std::vector<Point> variants[] = {{{0, 0.2}, {100, 0.8}}, {{0, 0.8}}, {{0, 0.2}}};
  std::vector<std::vector<uint8_t>> states;
  const std::vector<uint8_t> patch = onePatch();
  for (const auto& points : variants)
  {
    HostSession s(VEMLOR_BUNDLE_PATH);
    ASSERT_TRUE(s) << s.error;
    ASSERT_TRUE(s.plugin->setState(patch));
    ProcessConfig config;
    config.maxBlockSize = 128;
    ASSERT_TRUE(s.plugin->startProcessing(config));
    for (const Point& p : points)
      s.plugin->addParameterChange(kGain, p.offset, p.value);
    ASSERT_TRUE(s.plugin->process(128).clean());
    auto state = s.plugin->getState();
    ASSERT_TRUE(state);
    states.push_back(*state);
  }
  EXPECT_EQ(states[0], states[1]);
  EXPECT_NE(states[0], states[2]);
}

struct ExpectedEvent
{
  int32 offset;
  uint16 type;
  int16 channel;
  int16 key;    // pitch, or controller number
  int32 value;  // velocity in 7 bits, or the first value
  int32 value2; // second value of a controller event
};

struct MidiInput
{
  std::vector<Event> events;
  std::vector<std::pair<ParamID, Point>> controllers;
};

struct MidiCase
{
  const char* name;
  MidiInput input;
  std::vector<ExpectedEvent> expected;
};

Event polyPressure(int32 offset, int16 channel, int16 pitch, float pressure)
{
  Event e{};
  e.type = Event::kPolyPressureEvent;
  e.sampleOffset = offset;
  e.polyPressure = {channel, pitch, pressure, -1};
  return e;
}

Event noteOffWithVelocity(int32 offset, int16 pitch, float velocity)
{
  Event e = noteOffEvent(offset, pitch);
  e.noteOff.velocity = velocity;
  return e;
}

constexpr uint16 kNoteOn = Event::kNoteOnEvent;
constexpr uint16 kNoteOff = Event::kNoteOffEvent;
constexpr uint16 kCC = Event::kLegacyMIDICCOutEvent;

TEST(VST3Midi, EventsAndControllerParametersReachThePluginAtTheirOffsets)
{
  const MidiCase cases[] = {
    {"note on", {{noteOnEvent(5, 60, 1.0f, 2)}, {}}, {{5, kNoteOn, 2, 60, 127, 0}}},
    {"note on at half velocity", {{noteOnEvent(0, 61, 0.5f)}, {}}, {{0, kNoteOn, 0, 61, 63, 0}}},
    {"note off drops its velocity", {{noteOffWithVelocity(10, 60, 0.5f)}, {}}, {{10, kNoteOff, 0, 60, 0, 0}}},
    {"poly pressure", {{polyPressure(3, 1, 64, 0.5f)}, {}}, {{3, kCC, 1, kCtrlPolyPressure, 64, 63}}},
    {"notes come out in offset order",
     {{noteOnEvent(30, 62, 1.0f), noteOnEvent(4, 63, 1.0f)}, {}},
     {{4, kNoteOn, 0, 63, 127, 0}, {30, kNoteOn, 0, 62, 127, 0}}},
    {"main volume", {{}, {{65545, {20, 1.0}}}}, {{20, kCC, 0, 7, 127, 0}}},
    {"channel pressure", {{}, {{65666, {12, 1.0}}}}, {{12, kCC, 0, kAfterTouch, 127, 0}}},
    {"pitch bend centre", {{}, {{65667, {0, 0.5}}}}, {{0, kCC, 0, kPitchBend, 0, 64}}},
    {"pitch bend top", {{}, {{65667, {1, 1.0}}}}, {{1, kCC, 0, kPitchBend, 127, 127}}},
    {"pitch bend bottom", {{}, {{65667, {2, 0.0}}}}, {{2, kCC, 0, kPitchBend, 0, 0}}},
  };
  for (const MidiCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    HostSession s(ECHO_BUNDLE_PATH);
    ASSERT_TRUE(s) << s.error;
    ASSERT_TRUE(s.plugin->startProcessing({}));
    for (const Event& e : c.input.events)
      s.plugin->addEvent(e);
    for (const auto& [id, p] : c.input.controllers)
      s.plugin->addParameterChange(id, p.offset, p.value);
    ASSERT_TRUE(s.plugin->process(64).clean());
    EventList& out = s.plugin->outputEvents();
    ASSERT_EQ(out.getEventCount(), static_cast<int32>(c.expected.size()));
    for (size_t i = 0; i < c.expected.size(); ++i)
    {
      const ExpectedEvent& x = c.expected[i];
      const Event& e = *out.eventAt(static_cast<int32>(i));
      EXPECT_EQ(e.sampleOffset, x.offset);
      ASSERT_EQ(e.type, x.type);
      if (e.type == kNoteOn)
      {
        EXPECT_EQ(e.noteOn.channel, x.channel);
        EXPECT_EQ(e.noteOn.pitch, x.key);
        EXPECT_EQ(e.noteOn.velocity, x.value / 127.0f);
      }
      else if (e.type == kNoteOff)
      {
        EXPECT_EQ(e.noteOff.channel, x.channel);
        EXPECT_EQ(e.noteOff.pitch, x.key);
        EXPECT_EQ(e.noteOff.velocity, x.value / 127.0f);
      }
      else
      {
        EXPECT_EQ(e.midiCCOut.channel, x.channel);
        EXPECT_EQ(e.midiCCOut.controlNumber, x.key);
        EXPECT_EQ(e.midiCCOut.value, x.value);
        EXPECT_EQ(e.midiCCOut.value2, x.value2);
      }
    }
  }
}

TEST(VST3Midi, ABlockSendingMoreThanTheOutputQueueHoldsDropsTheRestWithoutAllocating)
{
  HostSession s(ECHO_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  ASSERT_TRUE(s.plugin->startProcessing({})); // 512-sample blocks: room for 512 messages
  // 512 notes and three parameter changes: the echo plays back 515 messages in one block.
  for (int32 i = 0; i < 512; ++i)
    s.plugin->addEvent(noteOnEvent(i, static_cast<int16>(i % 128), 1.0f));
  for (ParamID id = 0; id < 3; ++id)
    s.plugin->addParameterChange(id, 0, 1.0);
  ASSERT_TRUE(s.plugin->process(512).clean());
  EXPECT_EQ(s.plugin->outputEvents().getEventCount(), 512);

  // The next block starts from an empty queue.
  s.plugin->addEvent(noteOnEvent(7, 60, 1.0f));
  ASSERT_TRUE(s.plugin->process(512).clean());
  ASSERT_EQ(s.plugin->outputEvents().getEventCount(), 1);
  EXPECT_EQ(s.plugin->outputEvents().eventAt(0)->sampleOffset, 7);
}

struct SampleSizeCase
{
  const char* name;
  double rate;
  std::vector<int32> blocks;
};

TEST(VemlorSampleSizes, ThirtyTwoAndSixtyFourBitProcessingAgree)
{
  const SampleSizeCase cases[] = {
    {"44.1 kHz, even blocks", 44100, {256, 256, 256}},
    {"96 kHz, uneven blocks", 96000, {1, 255, 100, 0, 7}},
  };
  for (const SampleSizeCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::vector<double> outputs[2];
    const std::vector<uint8_t> patch = onePatch();
    for (int32 size : {kSample32, kSample64})
    {
      HostSession s(VEMLOR_BUNDLE_PATH);
      ASSERT_TRUE(s) << s.error;
      ASSERT_TRUE(s.plugin->setState(patch));
      ProcessConfig config;
      config.sampleRate = c.rate;
      config.sampleSize = size;
      config.maxBlockSize = 256;
      ASSERT_TRUE(s.plugin->startProcessing(config));
      std::mt19937 random(5);
      for (int32 frames : c.blocks)
      {
        fillInputs(*s.plugin, frames, random);
        s.plugin->addParameterChange(30, 0, 0.6);
        ASSERT_TRUE(s.plugin->process(frames).clean());
        for (int32 ch = 0; ch < 2; ++ch)
          outputs[size].insert(outputs[size].end(), s.plugin->output(0, ch), s.plugin->output(0, ch) + frames);
      }
    }
    // The engine runs in 64 bits either way: 32-bit output is the 64-bit output rounded to float.
    ASSERT_EQ(outputs[kSample32].size(), outputs[kSample64].size());
    for (size_t i = 0; i < outputs[kSample64].size(); ++i)
      ASSERT_EQ(outputs[kSample32][i], static_cast<double>(static_cast<float>(outputs[kSample64][i])))
        << "sample " << i;
  }
}

} // namespace
} // namespace vemlor::testhost
