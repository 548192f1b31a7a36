// What the integration tests of the whole plug-in share: a hosted instance, the product's
// parameter table on the test side, patches of plain values, test signals and rendering.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "IPlugin/IPluginParameter.h"
#include "product/params/params.h"
#include "product/patch/factory_presets.h"
#include "tests/plugin_it/chunk_model.h"
#include "tests/IPlugin/VST3/host_session.h"

namespace vemlor::plugin_it {

using testhost::HostSession;
using testhost::Plugin;

constexpr double kSampleRate = 48000.0;
constexpr int kBlockSize = 512;

// The plain value of each of the 79 parameters, by index.
using Patch = std::array<double, zarvo::kNumParams>;

// The product's parameters as the plug-in defines them, for defaults, stepping and shapes.
class ParamTable
{
public:
  ParamTable();
  const plugkit::IParam& operator[](int index) const { return params[static_cast<size_t>(index)]; }
  // The value a parameter takes when set to plain (stepped, clamped).
  double constrain(int index, double plain) const { return (*this)[index].Constrain(plain); }
  double normalized(int index, double plain) const { return (*this)[index].ToNormalized(plain); }
  // The plain value a normalised value stands for, stepped and clamped.
  double plain(int index, double normalized) const;
  Patch defaults() const;
  // The defaults with a factory preset's values applied, as its preset slot holds them.
  Patch preset(const zarvo::FactoryPresetDef& def) const;

private:
  std::array<plugkit::IParam, zarvo::kNumParams> params;
};

const ParamTable& paramTable();

// The plain values of the factory preset of that name; throws when there is none.
Patch presetSound(const char* name);

// The component state a host would store for the chunk: the chunk and the bypass word, off.
std::vector<uint8_t> componentState(const Chunk& chunk);

// Writes every parameter of the patch into the chunk's parameter section.
void setPatch(Chunk& chunk, const Patch& patch);
// Sets every morph row of a point to the patch's normalised values.
void setPointSound(Chunk& chunk, int point, const Patch& patch);

// A chunk unlike any default: controller map, modulation settings, parameters, editor state,
// morph field and identity all changed from base, every value as the plug-in would store it.
Chunk richChunk(const Chunk& base);

// A hosted instance on the test host's own run loop: idle work runs only when a test pumps it.
struct Instance
{
  Instance();
  explicit operator bool() const { return static_cast<bool>(session); }
  Plugin& plugin() { return *session.plugin; }

  // The component state, chunk and bypass word.
  std::vector<uint8_t> state();
  // The chunk of the component state, parsed.
  ParsedChunk chunk();
  bool setState(const std::vector<uint8_t>& bytes) { return plugin().setState(bytes); }
  bool setChunk(const Chunk& chunk);
  // The normalised value of each of the 79 parameters as the host's parameter objects hold it.
  std::array<double, zarvo::kNumParams> hostValues();
  // Processing from a clean start: the host activates the plug-in again.
  bool restart();

  HostSession session;
};

// Stereo audio, one vector per channel.
using Stereo = std::array<std::vector<double>, 2>;

// Kick, snare and hats at a peak of -6 dBFS.
Stereo drumSignal(double seconds);
// A sine sweep from 30 Hz to 15 kHz at -6 dBFS.
Stereo sweepSignal(double seconds);
// Steady noise at about -20 dBFS RMS.
Stereo noiseSignal(double seconds, unsigned seed);

// Runs the signal through a processing plug-in in blocks of kBlockSize; beforeBlock(k) may queue
// parameter changes or events for block k.
Stereo render(Plugin& plugin, const Stereo& input, const std::function<void(int)>& beforeBlock = {});

double peak(const Stereo& audio);
double rms(const Stereo& audio);
// The largest absolute difference of two renders of the same length.
double maxDifference(const Stereo& a, const Stereo& b);

} // namespace vemlor::plugin_it
