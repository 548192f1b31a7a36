// One host block through the audio path: null mix, audible default, ramps, MIDI at its tick,
// the MIDI queue's rules, channel handling and the floating-point mode.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "IPlugin/IPluginThreadRole.h"
#include "product/audio/audio_path.h"
#include "tests/product/audio/fake_host.h"
#include "utils/denormal_guard.h"

namespace zarvo {
namespace {

using Channels = std::vector<std::vector<double>>;

struct Rig
{
  test::FakeHost host;
  BlockParamRecord record;
  NoteModeController notes;
  AudioPath path{record, notes, host};

  explicit Rig(double sampleRate = 48000.0, int maxFrames = 4096)
  {
    host.storeDefaults(record);
    path.prepare({sampleRate, maxFrames, 2});
  }

  // As parameter-change handling hands a plain value on.
  void set(int param, double value)
  {
    record.store(param, value);
    notes.onParamChanged(param, value);
  }

  void run(const Channels& in, Channels& out, int frames, double sampleRate = 48000.0, int offset = 0)
  {
    std::vector<const double*> ins;
    std::vector<double*> outs;
    for (const auto& c : in)
      ins.push_back(c.data() + offset);
    for (auto& c : out)
      outs.push_back(c.data() + offset);
    plugkit::AudioThreadScope audio;
    path.process(ins.data(), static_cast<int>(ins.size()), outs.data(), static_cast<int>(outs.size()), frames,
                 sampleRate);
  }

  void queue(const plugkit::IMidiMsg& msg)
  {
    plugkit::AudioThreadScope audio;
    path.queueMidi(msg);
  }

  double current(ramp::Index i) const { return path.updater().current()[i]; }
};

Channels noise(int channels, int frames, unsigned seed)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-0.9, 0.9);
  Channels c(static_cast<size_t>(channels), std::vector<double>(static_cast<size_t>(frames)));
  for (auto& ch : c)
    for (double& x : ch)
      x = dist(rng);
  return c;
}

plugkit::IMidiMsg midi(int offset, uint8_t status, uint8_t data1, uint8_t data2)
{
  plugkit::IMidiMsg msg;
  msg.mOffset = offset;
  msg.mStatus = status;
  msg.mData1 = data1;
  msg.mData2 = data2;
  return msg;
}

// Every filter open, no drive, no break: the wet path is as near to a wire as the model goes.
void openPatch(Rig& rig, int os, double mix)
{
  rig.set(par_oversampling, os);
  rig.set(par_dry_wet, mix);
  rig.set(par_main_pass_type, 0.0); // low-pass
  rig.set(par_main_cutoff_hz, 20000.0);
  rig.set(par_main_resonance, 0.0);
  rig.set(par_main_drive, 0.0);
  rig.set(par_break_intensity, 0.0);
  rig.set(par_preFlt_A_pt, 0.0); // low-pass
  rig.set(par_preFlt_A_hz, 20000.0);
  rig.set(par_preFlt_A_res, 0.0);
  rig.set(par_preFlt_B_pt, 1.0); // high-pass
  rig.set(par_preFlt_B_hz, 1.0);
  rig.set(par_preFlt_B_res, 0.0);
  rig.set(par_main_gain, 0.0);
}

// The response of the open patch to a click at sample kClickAt, in blocks of 512.
constexpr int kClickAt = 1000;
std::vector<double> clickResponse(int os, double mix, int frames = 8192)
{
  Rig rig;
  openPatch(rig, os, mix);
  Channels in(2, std::vector<double>(static_cast<size_t>(frames))), out = in;
  in[0][kClickAt] = in[1][kClickAt] = 1.0;
  for (int offset = 0; offset < frames; offset += 512)
    rig.run(in, out, std::min(512, frames - offset), 48000.0, offset);
  return out[0];
}

size_t loudest(const std::vector<double>& x)
{
  size_t at = 0;
  for (size_t i = 1; i < x.size(); ++i)
    if (std::abs(x[i]) > std::abs(x[at]))
      at = i;
  return at;
}

// |DFT| of x at f (Hz, 48 kHz).
double magnitudeAt(const std::vector<double>& x, double f)
{
  double re = 0.0, im = 0.0;
  for (size_t i = 0; i < x.size(); ++i)
  {
    const double w = 2.0 * std::numbers::pi * f * static_cast<double>(i) / 48000.0;
    re += x[i] * std::cos(w);
    im -= x[i] * std::sin(w);
  }
  return std::hypot(re, im);
}

TEST(AudioPath, ClickComesOutAtTheReportedLatencyAtEveryMixAndFactor)
{
  // The open filters themselves put the wet peak one sample late (their phase, at every factor);
  // beyond that every factor moves wet and dry alike by the latency the host is told.
  const size_t wetPeak = loudest(clickResponse(0, 1.0));
  ASSERT_EQ(wetPeak, static_cast<size_t>(kClickAt + 1));
  for (int os = 0; os <= 3; ++os)
  {
    const int latency = Oversampler::latencySamples(1 << os);
    for (double mix : {0.0, 0.5, 1.0})
    {
      SCOPED_TRACE("oversampling " + std::to_string(os) + ", mix " + std::to_string(mix));
      const std::vector<double> out = clickResponse(os, mix);
      const size_t at = loudest(out) - static_cast<size_t>(latency);
      if (mix == 0.5) // dry and wet halves meet where they meet at 1x
        EXPECT_TRUE(at == kClickAt || at == wetPeak) << at;
      else
        EXPECT_EQ(at, mix == 0.0 ? kClickAt : wetPeak);
      for (size_t i = 0; i < kClickAt; ++i)
        ASSERT_EQ(out[i], 0.0) << "nothing before the click, sample " << i;
      if (mix == 0.0)
      {
        EXPECT_EQ(out[kClickAt + latency], 1.0);
        EXPECT_EQ(std::count(out.begin(), out.end(), 0.0), static_cast<long>(out.size()) - 1);
      }
    }
  }
}

TEST(AudioPath, HalfMixHasNoCombAtAnyFactor)
{
  // Wet and dry line up, so their sum follows the two without notches: up to where the open
  // filters' own phase turns, it stays within a decibel of their average (a comb of the
  // oversampler's latency would cut a notch of 20 dB or more near 3 to 4 kHz).
  for (int os = 1; os <= 3; ++os)
  {
    SCOPED_TRACE("oversampling " + std::to_string(os));
    const std::vector<double> half = clickResponse(os, 0.5), wet = clickResponse(os, 1.0);
    for (double f = 50.0; f <= 5000.0; f *= 1.1)
    {
      const double expected = 0.5 * (magnitudeAt(wet, f) + 1.0);
      const double db = 20.0 * std::log10(magnitudeAt(half, f) / expected);
      ASSERT_NEAR(db, 0.0, 1.0) << f << " Hz";
    }
  }
}

TEST(AudioPath, FactorChangesWhilePlayingAreClickFreeAndLineUpAgain)
{
  // A 440 Hz sine at half mix; a change of factor moves wet and dry by a few samples, which would
  // jump by several times the sine's largest step from one sample to the next.
  constexpr double kAmplitude = 0.5;
  constexpr double kSineStep = 2.0 * std::numbers::pi * 440.0 / 48000.0 * kAmplitude;
  struct Change
  {
    int block;
    int os;
  };
  const Change changes[] = {{20, 3}, {40, 1}, {41, 2}, {60, 0}, {80, 2}};
  for (int frames : {256, 1024, 7})
  {
    SCOPED_TRACE("blocks of " + std::to_string(frames));
    Rig rig;
    openPatch(rig, 0, 0.5);
    Channels in(2, std::vector<double>(static_cast<size_t>(frames))), out = in;
    long phase = 0;
    std::vector<double> played;
    const int blocks = 100 * 256 / frames;
    for (int block = 0; block < blocks; ++block)
    {
      for (const Change& c : changes)
        if (block == c.block * 256 / frames)
          rig.set(par_oversampling, c.os);
      for (int i = 0; i < frames; ++i, ++phase)
        in[0][static_cast<size_t>(i)] = in[1][static_cast<size_t>(i)] =
          kAmplitude * std::sin(2.0 * std::numbers::pi * 440.0 * phase / 48000.0);
      rig.run(in, out, frames);
      played.insert(played.end(), out[0].begin(), out[0].end());
    }
    double largestStep = 0.0;
    for (size_t i = 1; i < played.size(); ++i)
      largestStep = std::max(largestStep, std::abs(played[i] - played[i - 1]));
    EXPECT_LT(largestStep, 1.5 * kSineStep);
    EXPECT_EQ(rig.path.oversamplingFactor(), 4);
    // At full level once the last fade is over, and lined up (a comb would lower 440 Hz a little).
    EXPECT_NEAR(*std::max_element(played.end() - 1024, played.end()), kAmplitude, 0.01);
  }
  // After a change, a click comes out at the new latency.
  Rig rig;
  openPatch(rig, 1, 0.5);
  Channels in(2, std::vector<double>(8192)), out = in;
  rig.run(in, out, 512);
  rig.set(par_oversampling, 3);
  rig.run(in, out, 512);
  rig.run(in, out, 512);
  in[0][kClickAt] = 1.0;
  rig.run(in, out, 4096);
  EXPECT_EQ(loudest(out[0]), static_cast<size_t>(kClickAt + Oversampler::latencySamples(8)));
}

TEST(AudioPath, DryOnlyMixIsTheInputDelayedByTheLatencyAtEveryFactor)
{
  const int blockSizes[] = {512, 1, 77, 4096, 16};
  for (int os = 0; os <= 3; ++os)
  {
    SCOPED_TRACE("oversampling " + std::to_string(os));
    Rig rig;
    rig.set(par_oversampling, os);
    rig.set(par_dry_wet, 0.0);
    rig.set(par_main_resonance, 1.0);
    rig.set(par_main_drive, 1.0);
    int total = 0;
    for (int frames : blockSizes)
      total += frames;
    const Channels in = noise(2, total, 7u + static_cast<unsigned>(os));
    const Channels untouched = in;
    Channels out(2, std::vector<double>(static_cast<size_t>(total), 5.0));
    int offset = 0;
    for (int frames : blockSizes)
    {
      rig.run(in, out, frames, 48000.0, offset);
      offset += frames;
    }
    EXPECT_EQ(rig.path.oversamplingFactor(), 1 << os);
    const size_t latency = static_cast<size_t>(Oversampler::latencySamples(1 << os));
    for (int c = 0; c < 2; ++c)
    {
      std::vector<double> delayed(latency, 0.0);
      delayed.insert(delayed.end(), in[c].begin(), in[c].end() - static_cast<long>(latency));
      EXPECT_EQ(0, std::memcmp(out[c].data(), delayed.data(), sizeof(double) * in[c].size())) << "channel " << c;
      EXPECT_EQ(in[c], untouched[c]);
    }
  }
}

TEST(AudioPath, PreparingAgainForALargerBlockRendersLikeAFreshPath)
{
  // As at a host's reset with a new block size: what played before leaves nothing behind, and the
  // larger block is processed whole.
  constexpr int kLarge = 8192;
  const auto patch = [](Rig& rig) {
    rig.set(par_oversampling, 2);
    rig.set(par_main_resonance, 0.95);
    rig.set(par_main_drive, 0.6);
  };
  Rig used(48000.0, 512), fresh(48000.0, kLarge);
  patch(used);
  patch(fresh);
  Channels before(2, std::vector<double>(512));
  for (unsigned seed = 1; seed <= 3; ++seed)
    used.run(noise(2, 512, seed), before, 512);
  used.path.prepare({48000.0, kLarge, 2});
  const Channels in = noise(2, kLarge, 9);
  Channels a(2, std::vector<double>(kLarge)), b = a;
  used.run(in, a, kLarge);
  fresh.run(in, b, kLarge);
  EXPECT_EQ(a, b);
  EXPECT_NE(a[0][kLarge - 1], 0.0);
}

TEST(AudioPath, DefaultPatchIsFiniteAndAudibleAtEveryFactor)
{
  for (int os = 0; os <= 3; ++os)
  {
    SCOPED_TRACE("oversampling " + std::to_string(os));
    Rig rig;
    rig.set(par_oversampling, os);
    const int frames = 512;
    Channels in(2, std::vector<double>(frames));
    Channels out(2, std::vector<double>(frames));
    double energy = 0.0;
    long phase = 0;
    for (int block = 0; block < 94; ++block) // one second
    {
      for (int i = 0; i < frames; ++i, ++phase)
        in[0][static_cast<size_t>(i)] = in[1][static_cast<size_t>(i)] =
          0.5 * std::sin(2.0 * std::numbers::pi * 220.0 * phase / 48000.0);
      rig.run(in, out, frames);
      for (const auto& ch : out)
        for (double x : ch)
        {
          ASSERT_TRUE(std::isfinite(x));
          ASSERT_NE(std::fpclassify(x), FP_SUBNORMAL);
          energy += x * x;
        }
    }
    EXPECT_GT(std::sqrt(energy / (2.0 * 94 * frames)), 0.01);
  }
}

TEST(AudioPath, RampsStartAtTargetsAndReachThemInTenMilliseconds)
{
  Rig rig;
  Channels in = noise(2, 4096, 3u), out = in;
  // 48 kHz at 1x: 10 ms are 30 ticks of 16 samples.
  rig.set(par_main_cutoff_hz, 1000.0);
  rig.run(in, out, 64);
  EXPECT_EQ(rig.current(ramp::kMainCutoff), 1000.0) << "first block starts at the target";

  rig.set(par_main_cutoff_hz, 2000.0);
  rig.run(in, out, 64);
  EXPECT_NEAR(rig.current(ramp::kMainCutoff), 1000.0 + 1000.0 * 4.0 / 30.0, 1e-9) << "4 of 30 ticks";

  rig.run(in, out, 480);
  EXPECT_EQ(rig.current(ramp::kMainCutoff), 2000.0) << "a 10 ms block ends on the target";

  rig.set(par_main_cutoff_hz, 4000.0);
  rig.run(in, out, 64, 44100.0);
  EXPECT_EQ(rig.current(ramp::kMainCutoff), 4000.0) << "a new host rate starts at the target";
}

TEST(AudioPath, SaturationTypeRampWrapsUpThroughThree)
{
  Rig rig;
  Channels in = noise(2, 512, 4u), out = in;
  rig.set(par_main_saturation_type, 2.9);
  rig.run(in, out, 64);
  rig.set(par_main_saturation_type, 0.1);
  rig.run(in, out, 16);
  EXPECT_NEAR(rig.current(ramp::kSaturationType), 2.9 + 0.2 / 30.0, 1e-12);
  rig.run(in, out, 16 * 19); // 19 more ticks of the new block's step (0.2 - 0.2/30) / 30
  const double afterFirst = 2.9 + 0.2 / 30.0;
  EXPECT_NEAR(rig.current(ramp::kSaturationType), afterFirst + 19.0 * (3.1 - afterFirst) / 30.0 - 3.0, 1e-9);
}

TEST(AudioPath, NoteTakesEffectInTheTickHoldingItsOversampledOffset)
{
  constexpr int kFrames = 256;
  struct Row
  {
    int os;
    int offset;
  };
  const Row rows[] = {{0, 0}, {0, 15},  {0, 16}, {0, 255}, {1, 7}, {1, 8},   {1, 200}, {2, 3},
                      {2, 4}, {2, 255}, {3, 0},  {3, 1},   {3, 2}, {3, 131}, {3, 255}};
  for (const Row& r : rows)
  {
    SCOPED_TRACE("oversampling " + std::to_string(r.os) + ", offset " + std::to_string(r.offset));
    Rig rig;
    rig.set(par_oversampling, r.os);
    rig.set(par_main_midi_note_on, 1.0);
    rig.set(par_main_glide_always, 1.0);
    rig.set(par_main_glide_ms, 2000.0); // far longer than the block: the glide counts its ticks
    Channels in = noise(2, kFrames, 5u), out = in;
    rig.queue(midi(r.offset, 0x90, 60, 100));
    rig.run(in, out, kFrames);
    const int factor = 1 << r.os;
    const int ticks = kFrames * factor / 16;
    EXPECT_EQ(rig.notes.glider(0).elapsed(), ticks - r.offset * factor / 16);
    EXPECT_EQ(rig.notes.glider(0).target(), 60.0);
  }
}

TEST(AudioPath, MidiQueueKeepsNotesAndControllersForTheirBlock)
{
  struct Row
  {
    const char* name;
    plugkit::IMidiMsg msg;
    int frames;
    bool controllerDispatched;
    int heldAfter;
    size_t queuedAfter;
  };
  const Row rows[] = {
    {"NoteOnInBlock", midi(10, 0x90, 60, 100), 64, false, 1, 0},
    {"NoteOnVelocityZeroIsNoteOff", midi(10, 0x90, 60, 0), 64, false, 0, 0},
    {"ControllerInBlock", midi(63, 0xB3, 7, 100), 64, true, 0, 0},
    {"ControllerPastTheBlockIsDropped", midi(64, 0xB0, 7, 100), 64, false, 0, 0},
    {"NoteBeforeTheBlockIsDropped", midi(-1, 0x90, 60, 100), 64, false, 0, 0},
    {"EmptyBlockKeepsTheQueue", midi(0, 0x90, 60, 100), 0, false, 0, 1},
    {"ProgramChangeNotQueued", midi(0, 0xC0, 5, 0), 0, false, 0, 0},
    {"PitchBendNotQueued", midi(0, 0xE0, 0, 64), 0, false, 0, 0},
    {"AftertouchNotQueued", midi(0, 0xD0, 9, 0), 0, false, 0, 0},
    {"SystemMessageNotQueued", midi(0, 0xF8, 0, 0), 0, false, 0, 0},
    {"DataByteNotQueued", midi(0, 0x3C, 0, 0), 0, false, 0, 0},
  };
  for (const Row& r : rows)
  {
    SCOPED_TRACE(r.name);
    Rig rig;
    rig.set(par_main_midi_note_on, 1.0);
    Channels in = noise(2, 64, 6u), out = in;
    rig.queue(r.msg);
    rig.run(in, out, r.frames);
    EXPECT_EQ(rig.host.controllers.size(), r.controllerDispatched ? 1u : 0u);
    EXPECT_EQ(rig.notes.glider(0).heldCount(), r.heldAfter);
    EXPECT_EQ(rig.path.queuedMidi(), r.queuedAfter);
  }
}

TEST(AudioPath, OutputsWithoutInputAreSilencedAndInputsStayUntouched)
{
  struct Row
  {
    const char* name;
    int inputs;
    int outputs;
  };
  const Row rows[] = {{"MonoIntoStereo", 1, 2}, {"NoInputBus", 0, 2}, {"StereoIntoStereo", 2, 2}};
  for (const Row& r : rows)
  {
    SCOPED_TRACE(r.name);
    Rig rig;
    const Channels in = noise(r.inputs, 128, 8u);
    const Channels untouched = in;
    Channels out(static_cast<size_t>(r.outputs), std::vector<double>(128, 9.0));
    rig.run(in, out, 128);
    EXPECT_EQ(in, untouched);
    for (int c = 0; c < r.outputs; ++c)
    {
      bool silent = true;
      for (double x : out[static_cast<size_t>(c)])
        silent = silent && x == 0.0;
      EXPECT_EQ(silent, c >= r.inputs) << "channel " << c;
    }
  }
}

#if defined(ZARVO_HAS_MXCSR)
TEST(AudioPath, FlushesDenormalsForTheBlockAndRestoresTheCallersMode)
{
  const unsigned callers[] = {0x1F80u, 0x1F80u | 0x6000u /* round towards zero */, 0x1F80u | 0x8040u};
  for (unsigned mode : callers)
  {
    SCOPED_TRACE(mode);
    const unsigned saved = _mm_getcsr();
    _mm_setcsr(mode);
    unsigned inside = 0;
    {
      DenormalGuard guard;
      inside = _mm_getcsr();
    }
    const unsigned afterGuard = _mm_getcsr();
    Rig rig;
    Channels in(2, std::vector<double>(256, 1e-310)), out = in;
    rig.run(in, out, 256);
    const unsigned afterBlock = _mm_getcsr();
    _mm_setcsr(saved);

    EXPECT_EQ(inside & DenormalGuard::kBlockMode, DenormalGuard::kBlockMode);
    EXPECT_EQ(afterGuard, mode);
    EXPECT_EQ(afterBlock & ~0x3Fu, mode & ~0x3Fu); // exception flags aside, the caller's mode is back
    for (const auto& ch : out)
      for (double x : ch)
        EXPECT_NE(std::fpclassify(x), FP_SUBNORMAL);
  }
}
#endif

} // namespace
} // namespace zarvo
