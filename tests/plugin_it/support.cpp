#include "tests/plugin_it/support.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "product/params/param_init.h"

namespace vemlor::plugin_it {
namespace {

// The plug-in keeps preferences and presets under the user's data folder: the tests give it an
// empty one of their own, so that no user's files are read or written.
class DataHome : public ::testing::Environment
{
public:
  void SetUp() override
  {
    if (const char* old = std::getenv("XDG_DATA_HOME"))
      saved = old;
    std::string pattern = (std::filesystem::temp_directory_path() / "vemlor-plugin-it-XXXXXX").string();
    if (mkdtemp(pattern.data()))
      folder = pattern;
    ASSERT_FALSE(folder.empty());
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
  }

  void TearDown() override
  {
    if (saved)
      setenv("XDG_DATA_HOME", saved->c_str(), 1);
    else
      unsetenv("XDG_DATA_HOME");
    std::error_code ignored;
    if (!folder.empty())
      std::filesystem::remove_all(folder, ignored);
  }

private:
  std::optional<std::string> saved;
  std::filesystem::path folder;
};

[[maybe_unused]] const auto* const kDataHome = ::testing::AddGlobalTestEnvironment(new DataHome);

constexpr Steinberg::int32 kStereo = 2;

} // namespace

ParamTable::ParamTable()
{
  for (int i = 0; i < zarvo::kNumParams; ++i)
    zarvo::initParam(params[static_cast<size_t>(i)], i);
}

double ParamTable::plain(int index, double normalized) const
{
  return constrain(index, (*this)[index].FromNormalized(normalized));
}

Patch ParamTable::defaults() const
{
  Patch patch{};
  for (int i = 0; i < zarvo::kNumParams; ++i)
    patch[static_cast<size_t>(i)] = (*this)[i].GetDefault();
  return patch;
}

Patch ParamTable::preset(const zarvo::FactoryPresetDef& def) const
{
  Patch patch = defaults();
  for (const zarvo::PresetParamValue& entry : def.values)
    if (entry.index < static_cast<uint32_t>(zarvo::kNumParams))
      patch[entry.index] = constrain(static_cast<int>(entry.index), entry.value);
  return patch;
}

const ParamTable& paramTable()
{
  static const ParamTable table;
  return table;
}

Patch presetSound(const char* name)
{
  for (const zarvo::FactoryPresetDef& def : zarvo::factoryPresetDefs())
    if (std::string_view(def.name) == name)
      return paramTable().preset(def);
  throw std::out_of_range(name);
}

void setPatch(Chunk& chunk, const Patch& patch)
{
  for (int i = 0; i < zarvo::kNumParams; ++i)
    chunk.param(i) = patch[static_cast<size_t>(i)];
}

void setPointSound(Chunk& chunk, int point, const Patch& patch)
{
  for (IdValue& entry : chunk.morph.points.at(static_cast<size_t>(point)).values)
  {
    const int index = zarvo::paramIndexFromStableId(entry.stableId);
    entry.value = paramTable().normalized(index, patch[static_cast<size_t>(index)]);
  }
}

Chunk richChunk(const Chunk& base)
{
  using namespace zarvo;
  const ParamTable& table = paramTable();
  Chunk c = base;
  // CC 1 modulates the resonance; CC 7 sets the mix; CC 74 sets pre-filter A and, on channel 3
  // only, the main cutoff with an inverted range.
  c.ccMap = {
    {1, {{par_main_resonance, 1, 0.1, 0.9, 0}}},
    {7, {{par_dry_wet, 7, 0.0, 0.5, 0}}},
    {74, {{par_main_cutoff_hz, 74, 0.8, 0.2, 3}, {par_preFlt_A_hz, 74, 0.0, 1.0, 0}}},
  };
  c.ccMod = {
    {stableIdOf(par_main_cutoff_hz), 0, 0, -1.25, 0},
    {stableIdOf(par_main_resonance), 1, 1, 0.25, 1},
  };
  const std::pair<int, double> values[] = {
    {par_oversampling, 2},        {par_dry_wet, 0.75},       {par_main_gain, -3.5},       {par_break_character, 4.25},
    {par_main_cutoff_hz, 1234.5}, {par_main_resonance, 0.7}, {par_main_pass_type, 3},     {par_main_pt_depth, 0.625},
    {par_main_pt_tilt, -0.25},    {par_preFlt_A_hz, 523.25}, {par_damping_thresh, -42.5}, {par_morph_active, 1},
    {par_morph_x, 0.3},           {par_morph_y, 0.6},
  };
  for (const auto& [index, value] : values)
    c.param(index) = table.constrain(index, value);

  // Scale, tab, edit mode, line brightness, iso levels, grid step, position lock, sound lock,
  // strip collapsed, factory index (none: the patch is modified), hover help as written, drag value.
  c.editorValues = {1.5, 2.0, 1.0, 0.5, 9.0, 0.125, 1.0, 0.0, 1.0, -1.0, base.editorValues.at(10), 0.375};
  c.layout = {{{0, stableIdOf(par_main_cutoff_hz)}, {1, 10004}},
              {},
              {{1, static_cast<uint32_t>(-2)}, {0, stableIdOf(par_main_pt_depth)}}};

  c.morph.fields = {0.75, 1.25, -1.0, 0.25, 3.0, 0.75, 4.0, 1.25, 15.0, 3.0, 0.0, 1.5, 2.5, 3.0, 1.25, 2.0, 0.5};
  MorphPoint& p1 = c.morph.points.at(1);
  p1.x = 0.2;
  p1.y = 0.3;
  c.morph.points.at(2).noteMask = 2.0; // its main cutoff is read as a note
  MorphPoint& p6 = c.morph.points.at(6);
  p6.active = 1.0;
  p6.x = 0.9;
  p6.y = 0.1;
  c.pointValue(3, par_dry_wet) = 0.625;
  c.pointValue(3, par_main_pass_type) = table.normalized(par_main_pass_type, 4);
  c.morph.identities.at(3) = {1, 2, 1, "ARK"};
  c.morph.identities.at(4) = {2, -1, 0, "/nonexistent/folder/x.fxp"};

  c.identityMarker = 1;
  c.identity = {1, 10, 1, "TRIPOLAR"};
  return c;
}

Instance::Instance()
  : session(VEMLOR_BUNDLE_PATH, true)
{}

std::vector<uint8_t> Instance::state() { return plugin().getState().value_or(std::vector<uint8_t>{}); }

ParsedChunk Instance::chunk()
{
  const std::vector<uint8_t> bytes = state();
  std::optional<ParsedChunk> parsed = parseChunk(bytes);
  if (!parsed)
    throw std::runtime_error("the plug-in's state does not parse as a chunk");
  return *parsed;
}

std::vector<uint8_t> componentState(const Chunk& chunk)
{
  std::vector<uint8_t> bytes = writeChunk(chunk);
  bytes.insert(bytes.end(), 4, 0); // bypass off
  return bytes;
}

bool Instance::setChunk(const Chunk& chunk) { return setState(componentState(chunk)); }

std::array<double, zarvo::kNumParams> Instance::hostValues()
{
  std::array<double, zarvo::kNumParams> values{};
  for (int i = 0; i < zarvo::kNumParams; ++i)
    values[static_cast<size_t>(i)] = session.controller().getParamNormalized(static_cast<Steinberg::Vst::ParamID>(i));
  return values;
}

bool Instance::restart() { return plugin().startProcessing({kSampleRate, kBlockSize, Steinberg::Vst::kSample64}); }

Stereo drumSignal(double seconds)
{
  const size_t n = static_cast<size_t>(seconds * kSampleRate);
  std::vector<double> mono(n, 0.0);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  const auto hit = [&](double start, double length, const std::function<double(double)>& voice) {
    for (size_t i = static_cast<size_t>(start * kSampleRate); i < n; ++i)
    {
      const double t = static_cast<double>(i) / kSampleRate - start;
      if (t > length)
        break;
      mono[i] += voice(t);
    }
  };
  for (double beat = 0.0; beat < seconds; beat += 0.5)
  {
    // A kick falling from 120 Hz to 50 Hz, then a snare of noise and a ringing body.
    hit(beat, 0.3, [](double t) {
      const double phase = 2.0 * std::numbers::pi * (50.0 * t + 70.0 * 0.03 * (1.0 - std::exp(-t / 0.03)));
      return std::sin(phase) * std::exp(-t / 0.12);
    });
    hit(beat + 0.25, 0.2, [&](double t) {
      return (0.6 * noise(random) + 0.4 * std::sin(2.0 * std::numbers::pi * 190.0 * t)) * std::exp(-t / 0.05);
    });
  }
  double previous = 0.0;
  for (double tick = 0.0; tick < seconds; tick += 0.125)
  {
    // Hats: differentiated noise, short.
    hit(tick + 0.0625, 0.05, [&](double t) {
      const double x = noise(random);
      const double d = x - previous;
      previous = x;
      return 0.25 * d * std::exp(-t / 0.012);
    });
  }
  double top = 1e-9;
  for (double x : mono)
    top = std::max(top, std::abs(x));
  for (double& x : mono)
    x *= 0.5 / top;
  return {mono, mono};
}

Stereo sweepSignal(double seconds)
{
  const size_t n = static_cast<size_t>(seconds * kSampleRate);
  Stereo out{std::vector<double>(n), std::vector<double>(n)};
  const double f0 = 30.0;
  const double f1 = 15000.0;
  const double k = std::log(f1 / f0) / seconds;
  for (size_t i = 0; i < n; ++i)
  {
    const double t = static_cast<double>(i) / kSampleRate;
    const double phase = 2.0 * std::numbers::pi * f0 * (std::exp(k * t) - 1.0) / k;
    out[0][i] = 0.5 * std::sin(phase);
    out[1][i] = 0.5 * std::sin(phase + 0.5); // slightly apart, so both channels are their own
  }
  return out;
}

Stereo noiseSignal(double seconds, unsigned seed)
{
  const size_t n = static_cast<size_t>(seconds * kSampleRate);
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0.0, 0.1);
  Stereo out{std::vector<double>(n), std::vector<double>(n)};
  for (auto& channel : out)
    for (double& x : channel)
      x = std::clamp(noise(random), -0.5, 0.5);
  return out;
}

Stereo render(Plugin& plugin, const Stereo& input, const std::function<void(int)>& beforeBlock)
{
  const size_t n = input[0].size();
  Stereo out{std::vector<double>(n), std::vector<double>(n)};
  int block = 0;
  for (size_t start = 0; start < n; start += kBlockSize, ++block)
  {
    const auto frames = static_cast<Steinberg::int32>(std::min<size_t>(kBlockSize, n - start));
    for (Steinberg::int32 c = 0; c < kStereo; ++c)
      std::copy_n(input[static_cast<size_t>(c)].begin() + static_cast<long>(start), frames, plugin.input(0, c));
    if (beforeBlock)
      beforeBlock(block);
    EXPECT_EQ(plugin.process(frames).result, Steinberg::kResultOk) << "block " << block;
    for (Steinberg::int32 c = 0; c < kStereo; ++c)
      std::copy_n(plugin.output(0, c), frames, out[static_cast<size_t>(c)].begin() + static_cast<long>(start));
  }
  return out;
}

double peak(const Stereo& audio)
{
  double top = 0.0;
  for (const auto& channel : audio)
    for (double x : channel)
      top = std::max(top, std::abs(x));
  return top;
}

double rms(const Stereo& audio)
{
  double sum = 0.0;
  size_t count = 0;
  for (const auto& channel : audio)
  {
    for (double x : channel)
      sum += x * x;
    count += channel.size();
  }
  return count ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

double maxDifference(const Stereo& a, const Stereo& b)
{
  double worst = 0.0;
  for (size_t c = 0; c < a.size(); ++c)
    for (size_t i = 0; i < a[c].size(); ++i)
      worst = std::max(worst, std::abs(a[c][i] - b[c][i]));
  return worst;
}

} // namespace vemlor::plugin_it
