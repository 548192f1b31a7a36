// vemlor-host: renders a test signal through a VST3 bundle and reports levels, latency and speed.
#include "tests/host/test_host.h"

#include <fmt/core.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

using namespace vemlor::testhost;

constexpr const char* kUsage = "usage: vemlor-host render <bundle> [--rate 48000] [--block 512] [--seconds 2]\n";

struct Options
{
  std::string bundle;
  double rate = 48000;
  int block = 512;
  double seconds = 2;
};

template <typename T>
bool parseNumber(std::string_view text, T& out)
{
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end;
}

bool parseOptions(int argc, char** argv, Options& options)
{
  if (argc < 3 || std::string_view(argv[1]) != "render")
    return false;
  options.bundle = argv[2];
  for (int i = 3; i < argc; i += 2)
  {
    const std::string_view name = argv[i];
    if (i + 1 >= argc)
      return false;
    const std::string_view value = argv[i + 1];
    bool ok = false;
    if (name == "--rate")
      ok = parseNumber(value, options.rate) && options.rate >= 8000 && options.rate <= 768000;
    else if (name == "--block")
      ok = parseNumber(value, options.block) && options.block >= 1 && options.block <= 65536;
    else if (name == "--seconds")
      ok = parseNumber(value, options.seconds) && options.seconds > 0 && options.seconds <= 600;
    if (!ok)
      return false;
  }
  return true;
}

// A sawtooth chord (A2, E3, C#4, slightly apart between the channels) with a burst of white noise
// in the second quarter.
class TestSignal
{
public:
  explicit TestSignal(double rate)
    : rate(rate)
  {}

  double next(int channel, int64_t frame)
  {
    static constexpr double kNotes[] = {110.0, 164.81, 277.18};
    const double t = static_cast<double>(frame) / rate;
    double sample = 0;
    for (double note : kNotes)
    {
      const double phase = t * note * (channel == 0 ? 1.0 : 1.003);
      sample += 0.2 * (2.0 * (phase - std::floor(phase)) - 1.0);
    }
    if (t >= burstStart && t < burstStart + 0.25)
    {
      noise = noise * 6364136223846793005ULL + 1442695040888963407ULL;
      sample += 0.3 * (static_cast<double>(noise >> 11) / 9007199254740992.0 * 2.0 - 1.0);
    }
    return sample;
  }
  void setLength(double seconds) { burstStart = seconds * 0.25; }

private:
  double rate;
  double burstStart = 0.5;
  uint64_t noise = 0x9E3779B97F4A7C15ULL;
};

struct Levels
{
  double peak = 0;
  double sumSquares = 0;
  int64_t samples = 0;
  int64_t nonFinite = 0;

  void add(double x)
  {
    if (!std::isfinite(x))
    {
      ++nonFinite;
      return;
    }
    peak = std::max(peak, std::fabs(x));
    sumSquares += x * x;
    ++samples;
  }
  static std::string dbfs(double amplitude)
  {
    return amplitude > 0 ? fmt::format("{:.1f} dBFS", 20.0 * std::log10(amplitude)) : "-inf dBFS";
  }
  std::string describe() const
  {
    const double rms = samples ? std::sqrt(sumSquares / static_cast<double>(samples)) : 0.0;
    return fmt::format("peak {}, RMS {}", dbfs(peak), dbfs(rms));
  }
};

int fail(const std::string& message)
{
  fmt::print(stderr, "vemlor-host: {}\n", message);
  return 1;
}

int render(const Options& options)
{
  std::string error;
  auto bundle = Bundle::open(options.bundle, error);
  if (!bundle)
    return fail(error);
  const ClassInfo* info = bundle->findClass("Audio Module Class");
  if (info == nullptr)
    return fail("the bundle offers no audio module class");

  Host host;
  auto plugin = Plugin::create(*bundle, *info, host, error);
  if (!plugin)
    return fail(error);
  ProcessConfig config;
  config.sampleRate = options.rate;
  config.maxBlockSize = options.block;
  if (!plugin->startProcessing(config))
    return fail(plugin->lastError());
  if (plugin->busCount(Steinberg::Vst::kOutput) < 1)
    return fail("the plug-in has no audio output");

  TestSignal signal(options.rate);
  signal.setLength(options.seconds);
  Levels in, out;
  const auto total = static_cast<int64_t>(std::llround(options.seconds * options.rate));
  const int inChannels =
    plugin->busCount(Steinberg::Vst::kInput) > 0 ? plugin->channelCount(Steinberg::Vst::kInput, 0) : 0;
  const int outChannels = plugin->channelCount(Steinberg::Vst::kOutput, 0);
  for (int64_t done = 0; done < total;)
  {
    const auto frames = static_cast<int32>(std::min<int64_t>(options.block, total - done));
    for (int c = 0; c < inChannels; ++c)
    {
      double* buffer = plugin->input(0, c);
      for (int32 i = 0; i < frames; ++i)
      {
        buffer[i] = signal.next(c % 2, done + i);
        in.add(buffer[i]);
      }
    }
    const BlockReport report = plugin->process(frames);
    if (report.result != Steinberg::kResultOk)
      return fail(fmt::format("process failed at sample {}", done));
    for (int c = 0; c < outChannels; ++c)
    {
      const double* buffer = plugin->output(0, c);
      for (int32 i = 0; i < frames; ++i)
        out.add(buffer[i]);
    }
    done += frames;
  }

  const uint32 latency = plugin->processor()->getLatencySamples();
  const double seconds = plugin->secondsInProcess();
  const std::size_t allocations = plugin->totalAllocations();
  const int fpChanges = plugin->fpModeChanges();
  const TeardownReport teardown = plugin->teardown();
  plugin.reset();
  const auto unload = bundle->close();

  fmt::print("{} {} ({}) from {}\n", info->name, info->version, bundle->factoryInfo().vendor, bundle->libraryPath());
  fmt::print("{} Hz, blocks of {}, {:.2f} s, 32-bit\n", options.rate, options.block, options.seconds);
  fmt::print("input:  {}\n", in.describe());
  fmt::print("output: {}\n", out.describe());
  fmt::print("latency: {} samples\n", latency);
  if (seconds > 0)
    fmt::print("real-time factor: {:.1f}x\n", static_cast<double>(total) / options.rate / seconds);
  fmt::print("allocations in process: {}, floating-point mode changes: {}\n", allocations, fpChanges);

  int status = 0;
  if (out.nonFinite > 0)
    status = fail(fmt::format("{} output samples are not finite", out.nonFinite));
  if (allocations > 0)
    status = fail("the plug-in allocated memory inside process");
  if (fpChanges > 0)
    status = fail("the plug-in changed the floating-point mode and left it changed");
  if (!teardown.clean())
    status = fail(fmt::format("teardown left references (component: {}, host objects: {})",
                              teardown.componentReferencesLeft, teardown.hostReferencesHeld.size()));
  if (!unload.clean())
    status = fail("unloading the module failed or left factory references");
  return status;
}

} // namespace

int main(int argc, char** argv)
{
  Options options;
  if (!parseOptions(argc, argv, options))
  {
    fmt::print(stderr, "{}", kUsage);
    return 2;
  }
  return render(options);
}
