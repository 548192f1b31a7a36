// Preset files on disk: a saved patch plays the same in another instance, and a file that is not
// this plug-in's is refused without touching the patch.
#include "tests/product/file_helpers.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <numbers>
#include <vector>

namespace vemlor::plugintest {
namespace {

using namespace zarvo;
namespace fs = std::filesystem;

constexpr double kSampleRate = 48000.0;
constexpr int kBlockFrames = 256;
constexpr int kBlocks = 24;

// Stereo in, stereo out at a fixed rate, set up as a host does before the first block.
void prepareForAudio(PluginInstance& p)
{
  p->SetSampleRate(kSampleRate);
  p->SetBlockSize(kBlockFrames);
  p->SetChannelConnections(plugkit::kInput, 0, 2, true);
  p->SetChannelConnections(plugkit::kOutput, 0, 2, true);
  p->OnReset();
}

// The same two-tone test signal block after block through the plug-in's block function.
std::vector<std::vector<double>> render(PluginInstance& p)
{
  std::vector<std::vector<double>> out(2, std::vector<double>(static_cast<size_t>(kBlocks * kBlockFrames)));
  std::vector<double> in[2] = {std::vector<double>(kBlockFrames), std::vector<double>(kBlockFrames)};
  std::vector<double> block[2] = {std::vector<double>(kBlockFrames), std::vector<double>(kBlockFrames)};
  plugkit::AudioThreadScope audio;
  for (int b = 0; b < kBlocks; ++b)
  {
    for (int i = 0; i < kBlockFrames; ++i)
    {
      const double t = (b * kBlockFrames + i) / kSampleRate;
      in[0][static_cast<size_t>(i)] = 0.5 * std::sin(2.0 * std::numbers::pi * 110.0 * t);
      in[1][static_cast<size_t>(i)] = 0.4 * std::sin(2.0 * std::numbers::pi * 1750.0 * t);
    }
    double* ins[2] = {in[0].data(), in[1].data()};
    double* outs[2] = {block[0].data(), block[1].data()};
    p->ProcessBlock(ins, outs, kBlockFrames);
    for (size_t c = 0; c < 2; ++c)
      std::memcpy(out[c].data() + b * kBlockFrames, block[c].data(), sizeof(double) * kBlockFrames);
  }
  return out;
}

TEST(PluginPresetFile, ASavedPresetLoadsIntoAnotherInstanceAndPlaysTheSame)
{
  const fs::path file = testFileFolder("preset_file_test", "round_trip") / "saved.fxp";
  PluginInstance a;
  // Morph switched off in the editor, its bake committed by the idle tick, then ordinary edits.
  a.editorSet(par_morph_active, 0.0);
  a->OnIdle();
  ASSERT_EQ(a.param(par_morph_active).Value(), 0.0);
  a.editorGesture(par_oversampling, a.param(par_oversampling).Value() == 2.0 ? 1.0 : 2.0);
  a.editorGesture(par_main_drive, a.another(par_main_drive));
  a.editorGesture(par_main_resonance, a.another(par_main_resonance));
  a.editorGesture(par_main_cutoff_hz, a.another(par_main_cutoff_hz));
  a.editorGesture(par_dry_wet, 1.0);
  a.automate(par_preFlt_B_hz, 1234.5);
  a->OnIdle();
  ASSERT_TRUE(a->SavePresetAsFXP(file.c_str()));

  const plugkit::IByteChunk stateA = stateOf(a);
  PluginInstance b;
  ASSERT_FALSE(stateOf(b).IsEqual(stateA)) << "a new instance already holds the saved patch";
  ASSERT_TRUE(b->LoadStateFromFXP(file.c_str()));
  b->OnIdle();

  const plugkit::IByteChunk stateB = stateOf(b);
  EXPECT_TRUE(stateB.IsEqual(stateA)) << "sizes " << stateA.Size() << " and " << stateB.Size();
  EXPECT_EQ(b.param(par_oversampling).Value(), a.param(par_oversampling).Value());
  EXPECT_EQ(b.param(par_morph_active).Value(), 0.0);

  prepareForAudio(a);
  prepareForAudio(b);
  const auto outA = render(a);
  const auto outB = render(b);
  for (size_t c = 0; c < 2; ++c)
  {
    ASSERT_EQ(outB[c].size(), outA[c].size());
    size_t firstDifference = outA[c].size();
    double energy = 0.0;
    for (size_t i = 0; i < outA[c].size(); ++i)
    {
      energy += outA[c][i] * outA[c][i];
      if (firstDifference == outA[c].size() && std::memcmp(&outA[c][i], &outB[c][i], sizeof(double)) != 0)
        firstDifference = i;
    }
    EXPECT_EQ(firstDifference, outA[c].size()) << "channel " << c;
    EXPECT_GT(energy, 0.0) << "channel " << c;
  }
}

struct RefusedFileCase
{
  const char* name;
  std::function<void(std::vector<char>&)> damage;
};

TEST(PluginPresetFile, AFileThatIsNotThisPluginsIsRefusedAndChangesNothing)
{
  const RefusedFileCase cases[] = {
    {"another plug-in's id", [](std::vector<char>& bytes) { std::memcpy(bytes.data() + 16, "Othr", 4); }},
    {"not a program file", [](std::vector<char>& bytes) { std::memcpy(bytes.data(), "RIFF", 4); }},
    {"state cut off halfway", [](std::vector<char>& bytes) { bytes.resize(bytes.size() / 2); }},
  };
  const fs::path folder = testFileFolder("preset_file_test", "refused");
  PluginInstance source;
  source.editorGesture(par_main_drive, source.another(par_main_drive));
  const fs::path saved = folder / "source.fxp";
  ASSERT_TRUE(source->SavePresetAsFXP(saved.c_str()));
  const std::vector<char> original = readBytes(saved);
  ASSERT_GT(original.size(), 60u);

  for (const RefusedFileCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::vector<char> bytes = original;
    c.damage(bytes);
    const fs::path file = folder / "damaged.fxp";
    writeBytes(file, bytes);

    PluginInstance p;
    const plugkit::IByteChunk before = stateOf(p);
    EXPECT_FALSE(p->LoadStateFromFXP(file.c_str()));
    EXPECT_TRUE(stateOf(p).IsEqual(before));
  }
  // The same file undamaged is taken.
  PluginInstance p;
  EXPECT_TRUE(p->LoadStateFromFXP(saved.c_str()));
}

} // namespace
} // namespace vemlor::plugintest
