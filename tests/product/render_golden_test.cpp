// The plug-in's rendered output, sample for sample: every factory preset and a table of patches
// (break characters, oversampling factors, the morph field under each weighting model, controller
// modulation that moves inside a block, host blocks of many lengths) hashed and compared with the
// hashes in render_golden.txt. Work on the audio path must leave every one of them as it was.
//
// Tools for that work, by environment variable:
//   VEMLOR_RENDER_WRITE=1        rewrites render_golden.txt from this build (and passes);
//   VEMLOR_RENDER_DUMP=<dir>     writes each case's raw samples to <dir>/<case>.f64;
//   VEMLOR_RENDER_REFERENCE=<dir> prints each case's largest difference from the raw samples in
//                                <dir>, in dB relative to full scale;
//   VEMLOR_RENDER_FRAMES=<n>     renders n frames per case instead (the hashes then differ).
#include "product/params/morph_param_table.h"
#include "tests/product/plugin_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "IPlugin/IMidiMsg.h"
#include "utils/morph/morph_engine.h"

namespace vemlor::plugintest {
namespace {

using namespace zarvo;
namespace fs = std::filesystem;

constexpr double kSampleRate = 48000.0;
constexpr int kMaxBlock = 512;
// Host block lengths in turn: hosts split blocks at automation points, so short ones happen.
constexpr int kBlockPattern[] = {512, 1, 1, 16, 64, 7, 256, 1, 33, 512, 128, 3};
constexpr int kTotalFrames = 12000;

// A recipe applied to a fresh instance before the first block, and optionally before each block.
struct Case
{
  std::string name;
  std::function<void(PluginInstance&)> setUp;
  std::function<void(PluginInstance&, int block, int frames)> beforeBlock;
};

// FNV-1a over the samples' bytes.
uint64_t hashOf(const std::vector<double>& samples)
{
  uint64_t h = 1469598103934665603ull;
  for (double s : samples)
  {
    uint64_t bits = 0;
    std::memcpy(&bits, &s, sizeof bits);
    for (int b = 0; b < 8; ++b)
    {
      h ^= (bits >> (8 * b)) & 0xFF;
      h *= 1099511628211ull;
    }
  }
  return h;
}

// Deterministic on every standard library: a 64-bit LCG's high bits.
struct Noise
{
  uint64_t state;
  double next()
  {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state >> 11) / 9007199254740992.0 * 2.0 - 1.0;
  }
};

void prepareForAudio(PluginInstance& p)
{
  p->SetSampleRate(kSampleRate);
  p->SetBlockSize(kMaxBlock);
  p->SetChannelConnections(plugkit::kInput, 0, 2, true);
  p->SetChannelConnections(plugkit::kOutput, 0, 2, true);
  p->OnReset();
}

// Every parameter at its default and morphing off: a new instance opens on a random starter preset.
void defaults(PluginInstance& p)
{
  for (int i = 0; i < kNumParams; ++i)
    p.automate(i, p.param(i).GetDefault());
  p.automate(par_morph_active, 0.0);
}

void oversampling(PluginInstance& p, int factor)
{
  p.automate(par_oversampling, factor == 8 ? 3.0 : factor == 4 ? 2.0 : factor == 2 ? 1.0 : 0.0);
}

// Drive 0.7, break 0.6, fully wet, morph off, the rest at defaults; a cutoff low enough to work.
void heavy(PluginInstance& p)
{
  defaults(p);
  p.automate(par_main_drive, 0.7);
  p.automate(par_break_intensity, 0.6);
  p.automate(par_dry_wet, 1.0);
  p.automate(par_main_cutoff_hz, 2500.0);
  p.automate(par_main_resonance, 0.7);
}

// Seventeen active points spread over the pad with their own sounds, under one weighting model.
void morphField(PluginInstance& p, uint32_t model)
{
  morph::MorphEngine& engine = p->morphController().engine();
  morph::MorphEngine::RTState s;
  std::mt19937 rng(7 + model);
  std::uniform_int_distribution<int> unit(0, 1000);
  for (morph::MorphPoint& point : s.points)
  {
    point.x = 0.05 + 0.9 * unit(rng) / 1000.0;
    point.y = 0.05 + 0.9 * unit(rng) / 1000.0;
    point.active = true;
    for (double& v : point.values)
      v = unit(rng) / 1000.0;
  }
  s.model = model;
  s.nnSamples = 15;
  s.sigma = 0.2;
  s.cutoffContrast = 0.5;
  s.shapeContrast = 0.5;
  engine.edit({.field = &s});
  engine.publish();
  p.automate(par_morph_active, 1.0);
}

// A controller in modulation mode on the main cutoff, the drive and the break intensity.
void mapControllers(PluginInstance& p)
{
  struct Map
  {
    int cc;
    int param;
    double depth;
  };
  for (const Map& m :
       {Map{20, par_main_cutoff_hz, 0.3}, Map{21, par_main_drive, 0.4}, Map{22, par_break_intensity, -0.5}})
  {
    p->ccMediator().mapper().addMapping(m.cc, m.param);
    p->ccModSettings().setMode(m.param, 1);
    p->ccModSettings().setHeld(m.param, false);
    p->ccModSettings().setCCModDepth(m.param, m.depth);
  }
}

// Controller messages at several offsets inside the block, so modulation moves between ticks.
void controllerMessages(PluginInstance& p, int block, int frames)
{
  plugkit::AudioThreadScope audio;
  for (int k = 0; k < 3; ++k)
  {
    const int offset = frames * k / 3;
    const auto value = static_cast<uint8_t>((block * 37 + k * 53) % 128);
    p->ProcessMidiMsg(plugkit::IMidiMsg{offset, 0xB0, static_cast<uint8_t>(20 + k), value});
  }
}

std::vector<Case> patchCases()
{
  std::vector<Case> cases;
  for (int factor : {1, 2, 4, 8})
  {
    cases.push_back({"defaults_" + std::to_string(factor) + "x",
                     [factor](PluginInstance& p) {
                       defaults(p);
                       oversampling(p, factor);
                     },
                     nullptr});
    cases.push_back({"heavy_" + std::to_string(factor) + "x",
                     [factor](PluginInstance& p) {
                       heavy(p);
                       oversampling(p, factor);
                     },
                     nullptr});
  }
  for (int c = 1; c <= 11; ++c)
    cases.push_back({"break_character_" + std::to_string(c),
                     [c](PluginInstance& p) {
                       heavy(p);
                       oversampling(p, 2);
                       p.automate(par_break_character, c);
                     },
                     nullptr});
  // One row per way the break and the ladder can be set up beyond a single character.
  const std::pair<const char*, std::function<void(PluginInstance&)>> variants[] = {
    {"break_blend_double_inverted",
     [](PluginInstance& p) {
       p.automate(par_break_character, 4.5);
       p.automate(par_break_double, 0.5);
       p.automate(par_break_invert_fb, 1.0);
       p.automate(par_break_param, 0.8);
     }},
    {"break_blend_sines",
     [](PluginInstance& p) {
       p.automate(par_break_character, 9.6);
       p.automate(par_break_double, 0.3);
     }},
    {"diode_model",
     [](PluginInstance& p) {
       p.automate(par_main_filter_model, 1.0);
       p.automate(par_break_character, 3.0);
     }},
    {"resonance_compensation_1", [](PluginInstance& p) { p.automate(par_main_res_comp, 1.0); }},
    {"resonance_compensation_2",
     [](PluginInstance& p) {
       p.automate(par_main_res_comp, 2.0);
       p.automate(par_main_pass_type, 1.0);
     }},
    {"saturation_blend", [](PluginInstance& p) { p.automate(par_main_saturation_type, 1.4); }},
    {"prefilters_band_damping",
     [](PluginInstance& p) {
       p.automate(par_preFlt_B_hz, 800.0);
       p.automate(par_preFlt_A_hz, 3000.0);
       p.automate(par_preFlt_band_mode, 0.5);
       p.automate(par_neg_band_mix, 0.5);
       p.automate(par_preFlt_processing_order, 0.4);
       p.automate(par_preFlt_A_detune, 30.0);
       p.automate(par_main_detune, -20.0);
       p.automate(par_damping_release, 200.0);
       p.automate(par_damping_thresh, -30.0);
     }},
  };
  for (const auto& [name, apply] : variants)
    cases.push_back({name,
                     [apply](PluginInstance& p) {
                       heavy(p);
                       oversampling(p, 4);
                       apply(p);
                     },
                     nullptr});
  // A patch that moves: cutoff, drive and saturation change between blocks and ramp over ticks.
  cases.push_back({"automation_between_blocks",
                   [](PluginInstance& p) {
                     heavy(p);
                     oversampling(p, 2);
                   },
                   [](PluginInstance& p, int block, int) {
                     if (block % 4 == 0)
                     {
                       p.automate(par_main_cutoff_hz, 300.0 + 97.0 * (block % 40));
                       p.automate(par_main_drive, 0.1 * (block % 9));
                       p.automate(par_main_saturation_type, 0.25 * (block % 12));
                     }
                   }});
  // The main filter follows notes with a glide, pre-filter A jumps to them; later the main filter
  // lets go and its ramps start from the last played pitch.
  cases.push_back({"note_mode",
                   [](PluginInstance& p) {
                     heavy(p);
                     oversampling(p, 2);
                     p.automate(par_main_midi_note_on, 1.0);
                     p.automate(par_main_glide_ms, 30.0);
                     p.automate(par_main_glide_always, 1.0);
                     p.automate(par_preA_midi_note_on, 1.0);
                     p.automate(par_preFlt_band_mode, 0.6);
                   },
                   [](PluginInstance& p, int block, int frames) {
                     plugkit::AudioThreadScope audio;
                     if (block % 5 == 0)
                     {
                       const auto note = static_cast<uint8_t>(40 + (block * 7) % 36);
                       p->ProcessMidiMsg(plugkit::IMidiMsg{frames / 2, 0x90, note, 100});
                       p->ProcessMidiMsg(plugkit::IMidiMsg{frames - 1, 0x80, static_cast<uint8_t>(note - 7), 0});
                     }
                     if (block == 70)
                       p.automate(par_main_midi_note_on, 0.0);
                     if (block == 80)
                       p.automate(par_main_cutoff_hz, 900.0);
                   }});
  for (uint32_t model = 0; model < 5; ++model)
    cases.push_back({"morph_model_" + std::to_string(model),
                     [model](PluginInstance& p) {
                       heavy(p);
                       morphField(p, model);
                     },
                     [](PluginInstance& p, int block, int) {
                       // The position wanders every few blocks and stays put in between.
                       if (block % 3 == 0 && block < 45)
                       {
                         p.automate(par_morph_x, 0.5 + 0.4 * std::sin(0.37 * block));
                         p.automate(par_morph_y, 0.5 + 0.4 * std::cos(0.23 * block));
                       }
                       // The field changes under a still position, and is published again unchanged.
                       if (block == 55 || block == 70)
                       {
                         morph::MorphEngine& engine = p->morphController().engine();
                         if (block == 55)
                           for (size_t i = 0; i < morph::kNumPoints; ++i)
                             engine.edit({.point = i,
                                          .row = morph::kRowMainCutoff,
                                          .value = 1.0 - engine.editState().points[i].values[morph::kRowMainCutoff]});
                         engine.publish();
                       }
                     }});
  for (int factor : {1, 4})
    cases.push_back({"controller_modulation_" + std::to_string(factor) + "x",
                     [factor](PluginInstance& p) {
                       heavy(p);
                       oversampling(p, factor);
                       mapControllers(p);
                     },
                     controllerMessages});
  // The modulation settings change between blocks while the morph field plays: a parameter moves
  // from modulation to being held by its controller (the field then leaves it) and back, depths
  // and polarity change, and controller values arrive at the start of some blocks only.
  cases.push_back({"controller_settings_between_blocks",
                   [](PluginInstance& p) {
                     heavy(p);
                     oversampling(p, 2);
                     morphField(p, 2);
                     mapControllers(p);
                   },
                   [](PluginInstance& p, int block, int) {
                     CCModSettings& cc = p->ccModSettings();
                     switch (block % 12)
                     {
                     case 2:
                       cc.setMode(par_main_drive, 0);
                       cc.setHeld(par_main_drive, true);
                       break;
                     case 5: cc.setCCModDepth(par_main_cutoff_hz, 0.1 + 0.02 * (block % 7)); break;
                     case 7:
                       cc.setMode(par_main_drive, 1);
                       cc.setHeld(par_main_drive, false);
                       break;
                     case 9: cc.toggleCCBipolar(par_break_intensity); break;
                     case 10: cc.invertCCDepth(par_main_cutoff_hz); break;
                     default: break;
                     }
                     if (block % 4 == 1)
                     {
                       plugkit::AudioThreadScope audio;
                       p->ProcessMidiMsg(plugkit::IMidiMsg{0, 0xB0, 20, static_cast<uint8_t>((block * 29) % 128)});
                       p->ProcessMidiMsg(plugkit::IMidiMsg{0, 0xB0, 22, static_cast<uint8_t>((block * 41) % 128)});
                     }
                   }});
  return cases;
}

std::vector<Case> presetCases(int count)
{
  std::vector<Case> cases;
  for (int i = 0; i < count; ++i)
  {
    std::ostringstream name;
    name << "preset_" << i;
    cases.push_back({name.str(),
                     [i](PluginInstance& p) {
                       ASSERT_TRUE(p->RestorePreset(i));
                       // The morph field of a fresh instance is random; presets play with it off.
                       p.automate(par_morph_active, 0.0);
                     },
                     nullptr});
  }
  return cases;
}

// Stereo, interleaved by block: left then right of each block.
std::vector<double> render(const Case& c)
{
  PluginInstance p;
  prepareForAudio(p);
  c.setUp(p);
  std::vector<double> out;
  std::vector<double> in[2] = {std::vector<double>(kMaxBlock), std::vector<double>(kMaxBlock)};
  std::vector<double> block[2] = {std::vector<double>(kMaxBlock), std::vector<double>(kMaxBlock)};
  Noise noise{12345};
  const char* length = std::getenv("VEMLOR_RENDER_FRAMES");
  const int total = length ? std::max(1, std::atoi(length)) : kTotalFrames;
  int done = 0;
  for (int b = 0; done < total; ++b)
  {
    const int frames = std::min(kBlockPattern[static_cast<size_t>(b) % std::size(kBlockPattern)], total - done);
    if (c.beforeBlock)
      c.beforeBlock(p, b, frames);
    for (int i = 0; i < frames; ++i)
    {
      const double t = (done + i) / kSampleRate;
      in[0][static_cast<size_t>(i)] = 0.4 * std::sin(2.0 * 3.141592653589793 * 110.0 * t) + 0.2 * noise.next();
      in[1][static_cast<size_t>(i)] = 0.3 * std::sin(2.0 * 3.141592653589793 * 1750.0 * t) + 0.3 * noise.next();
    }
    double* ins[2] = {in[0].data(), in[1].data()};
    double* outs[2] = {block[0].data(), block[1].data()};
    {
      plugkit::AudioThreadScope audio;
      p->ProcessBlock(ins, outs, frames);
    }
    for (size_t ch = 0; ch < 2; ++ch)
      out.insert(out.end(), block[ch].begin(), block[ch].begin() + frames);
    done += frames;
  }
  return out;
}

std::map<std::string, uint64_t> readGolden(const fs::path& path)
{
  std::map<std::string, uint64_t> golden;
  std::ifstream in(path);
  std::string name, hex;
  while (in >> name >> hex)
    golden[name] = std::stoull(hex, nullptr, 16);
  return golden;
}

// The largest difference from a raw reference, in dB relative to full scale; -inf when equal.
double maxDifferenceDb(const std::vector<double>& samples, const fs::path& reference)
{
  std::ifstream in(reference, std::ios::binary);
  std::vector<double> ref(samples.size());
  in.read(reinterpret_cast<char*>(ref.data()), static_cast<std::streamsize>(ref.size() * sizeof(double)));
  if (!in)
    return std::nan("");
  double worst = 0.0;
  for (size_t i = 0; i < samples.size(); ++i)
    worst = std::max(worst, std::fabs(samples[i] - ref[i]));
  return 20.0 * std::log10(worst);
}

TEST(PluginRender, FactoryPresetsAndPatchesRenderAsRecorded)
{
  std::vector<Case> cases = patchCases();
  int presets = 0;
  {
    PluginInstance p;
    presets = p->NPresets();
  }
  EXPECT_EQ(presets, 73);
  for (Case& c : presetCases(presets))
    cases.push_back(std::move(c));

  const fs::path goldenPath = VEMLOR_RENDER_GOLDEN;
  const bool write = std::getenv("VEMLOR_RENDER_WRITE") != nullptr;
  const char* dump = std::getenv("VEMLOR_RENDER_DUMP");
  const char* reference = std::getenv("VEMLOR_RENDER_REFERENCE");
  const std::map<std::string, uint64_t> golden = write ? std::map<std::string, uint64_t>{} : readGolden(goldenPath);
  if (!write)
  {
    ASSERT_EQ(golden.size(), cases.size()) << "missing or stale " << goldenPath;
  }

  std::ostringstream written;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const std::vector<double> samples = render(c);
    double energy = 0.0;
    for (double s : samples)
    {
      ASSERT_TRUE(std::isfinite(s));
      energy += s * s;
    }
    EXPECT_GT(energy, 0.0) << "every case is audible";
    const uint64_t hash = hashOf(samples);
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    written << c.name << ' ' << hex << '\n';
    if (dump)
    {
      std::ofstream out(fs::path(dump) / (c.name + ".f64"), std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(samples.data()),
                static_cast<std::streamsize>(samples.size() * sizeof(double)));
    }
    if (reference)
      std::printf("%-34s max difference %.1f dBFS\n", c.name.c_str(),
                  maxDifferenceDb(samples, fs::path(reference) / (c.name + ".f64")));
    if (!write)
    {
      const auto it = golden.find(c.name);
      ASSERT_NE(it, golden.end()) << "no recorded hash";
      EXPECT_EQ(hash, it->second) << "the output changed";
    }
  }
  if (write)
  {
    std::ofstream out(goldenPath, std::ios::trunc);
    out << written.str();
    ASSERT_TRUE(out.good()) << goldenPath;
  }
}

} // namespace
} // namespace vemlor::plugintest
