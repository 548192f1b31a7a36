// Vemlor.vst3 in Debian's Ardour 7, headless: what the VST3 scanner finds, and Lua sessions on the
// dummy backend that insert it on a track, set parameters by index, export through it, save, reload
// and export again.
#include "tests/ardour/ardour_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

namespace vemlor::ardourtest {
namespace {

using namespace std::chrono_literals;

// The whole program stays well inside its CTest limit.
const Deadline& deadline()
{
  static const Deadline d(170s);
  return d;
}

struct Scan
{
  ProcessResult process;
  std::string installError;
};

ArdourHome& ardourHome()
{
  static ArdourHome home(*ArdourTools::find(), VEMLOR_ARDOUR_WORK_DIR, VEMLOR_ARDOUR_SCRIPT_DIR);
  return home;
}

// The bundle installed and scanned once for every test.
const Scan& scanned()
{
  static const Scan scan = [] {
    Scan s;
    std::error_code ec;
    fs::remove_all(VEMLOR_ARDOUR_WORK_DIR, ec);
    fs::create_directories(VEMLOR_ARDOUR_WORK_DIR, ec);
    if (ardourHome().install(VEMLOR_BUNDLE_PATH, s.installError))
      s.process = ardourHome().scan(deadline());
    return s;
  }();
  return scan;
}

std::map<std::string, std::string> attributes(const std::string& element)
{
  std::map<std::string, std::string> found;
  static const std::regex attribute(R"re(([\w-]+)="([^"]*)")re");
  for (auto it = std::sregex_iterator(element.begin(), element.end(), attribute); it != std::sregex_iterator(); ++it)
    found[(*it)[1]] = (*it)[2];
  return found;
}

TEST(ArdourScanner, FindsVemlorWithAStereoMainBusAndMidiInput)
{
  const Scan& scan = scanned();
  ASSERT_EQ(scan.installError, "");
  ASSERT_TRUE(scan.process.ok()) << scan.process.output;
  const auto caches = ardourHome().cacheFiles();
  ASSERT_EQ(caches.size(), 1u) << scan.process.output;

  std::ifstream in(caches[0]);
  const std::string cache((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::smatch info;
  ASSERT_TRUE(std::regex_search(cache, info, std::regex("<VST3Info [^>]*>"))) << cache;
  auto found = attributes(info[0]);
  const std::pair<const char*, const char*> expected[] = {
    {"uid", "F2AEE70D00DE4F4E5A727641566D6C72"},
    {"name", "Vemlor"},
    {"vendor", "ZarvoAudio"},
    {"category", "Fx"},
    {"n_inputs", "2"},
    {"n_outputs", "2"},
    {"n_aux_inputs", "0"},
    {"n_aux_outputs", "0"},
    {"n_midi_inputs", "1"},
    {"n_midi_outputs", "0"},
  };
  for (const auto& [name, value] : expected)
    EXPECT_EQ(found[name], value) << name << " in " << info[0];
  std::smatch module;
  ASSERT_TRUE(std::regex_search(cache, module, std::regex("<VST3Cache [^>]*>")));
  EXPECT_EQ(fs::path(attributes(module[0])["module"]),
            ardourHome().installedBundle() / "Contents" / "x86_64-linux" / "Vemlor.so");
}

struct SessionCase
{
  const char* name;
  std::vector<ParamSetting> settings;
};

void PrintTo(const SessionCase& c, std::ostream* out) { *out << c.name; }

// Values held as float by the host compare within a float's precision over the parameter's range.
double tolerance(const ParamReport& p) { return 1e-6 * std::max(1.0, std::fabs(p.upper - p.lower)); }

class ArdourSession : public ::testing::TestWithParam<SessionCase>
{
protected:
  static std::string describe(const SessionRun& run)
  {
    std::ostringstream text;
    if (run.process.timedOut)
      text << "timed out\n";
    else if (run.process.signal != 0)
      text << "ended by signal " << run.process.signal << "\n";
    else
      text << "exit " << run.process.exitCode << "\n";
    for (const auto& e : run.errors)
      text << "error: " << e << "\n";
    text << run.process.output;
    return text.str();
  }

  static Audio load(const fs::path& file)
  {
    std::string error;
    auto audio = readFloatWav(file, error);
    EXPECT_TRUE(audio) << error;
    return audio ? *audio : Audio{};
  }
};

TEST_P(ArdourSession, SetsParametersExportsThroughVemlorAndReloadsThem)
{
  const SessionCase& c = GetParam();
  ASSERT_TRUE(scanned().process.ok()) << "the scan failed: " << scanned().process.output;

  const fs::path work = VEMLOR_ARDOUR_WORK_DIR;
  SessionJob job;
  job.sessionDir = work / "sessions" / c.name;
  job.sessionName = c.name;
  job.exportDir = work / "exports" / c.name;
  job.settings = c.settings;

  job.mode = "create";
  const SessionRun created = ardourHome().runSession(job, deadline());
  ASSERT_TRUE(created.process.ok() && created.errors.empty() && created.done) << describe(created);
  EXPECT_TRUE(created.saved);
  EXPECT_EQ(created.exports, (std::vector<std::string>{"input", "processed"}));
  EXPECT_EQ(created.io, (std::vector<int>{2, 2, 1})) << "audio in, audio out, MIDI in";

  job.mode = "reload";
  const SessionRun reloaded = ardourHome().runSession(job, deadline());
  ASSERT_TRUE(reloaded.process.ok() && reloaded.errors.empty() && reloaded.done) << describe(reloaded);
  EXPECT_EQ(reloaded.exports, (std::vector<std::string>{"reloaded"}));

  // The host holds each value set by index, and the reloaded session every parameter's value.
  const auto setParams = created.params.count("set") ? created.params.at("set") : std::vector<ParamReport>{};
  ASSERT_FALSE(setParams.empty() && !c.settings.empty()) << describe(created);
  for (const ParamSetting& s : c.settings)
  {
    const auto it = std::find_if(setParams.begin(), setParams.end(), [&](const auto& p) { return p.label == s.label; });
    ASSERT_NE(it, setParams.end()) << "no parameter " << s.label;
    EXPECT_NEAR(it->value, s.value, tolerance(*it)) << s.label;
  }
  const auto reloadedParams =
    reloaded.params.count("reloaded") ? reloaded.params.at("reloaded") : std::vector<ParamReport>{};
  ASSERT_EQ(reloadedParams.size(), setParams.size());
  for (std::size_t i = 0; i < setParams.size(); ++i)
  {
    EXPECT_EQ(reloadedParams[i].index, setParams[i].index);
    EXPECT_EQ(reloadedParams[i].label, setParams[i].label);
    EXPECT_NEAR(reloadedParams[i].value, setParams[i].value, tolerance(setParams[i])) << setParams[i].label;
  }

  const Audio input = load(job.exportDir / "input.wav");
  const Audio processed = load(job.exportDir / "processed.wav");
  const Audio afterReload = load(job.exportDir / "reloaded.wav");
  for (const Audio* audio : {&input, &processed, &afterReload})
  {
    ASSERT_EQ(audio->channels.size(), 2u);
    ASSERT_EQ(audio->frames(), static_cast<std::size_t>(job.frames));
    ASSERT_EQ(audio->rate, job.rate);
  }
  for (const auto& channel : input.channels)
    ASSERT_GT(measure(channel).rmsDb, -20.0) << "the test signal did not reach the track";

  // The test host, given the state Ardour saved, renders the same input at the same level and, once
  // the start (where the hosts' histories differ) has passed, the same samples.
  std::string error;
  const auto state =
    savedComponentState(job.sessionDir / (job.sessionName + ".ardour"), ArdourHome::kPluginName, error);
  ASSERT_TRUE(state) << error;
  const auto expected = renderWithTestHost(VEMLOR_BUNDLE_PATH, input, *state, {}, 512, error);
  ASSERT_TRUE(expected) << error;
  for (std::size_t ch = 0; ch < 2; ++ch)
    EXPECT_NEAR(measure(processed.channels[ch]).rmsDb, measure(expected->channels[ch]).rmsDb, 0.1)
      << "RMS of channel " << ch;
  const auto settled = static_cast<std::size_t>(job.rate / 4);
  // Oversampling adds up to 8 samples of latency, which Ardour compensates once it has been told.
  constexpr int kMaxLatency = 64;
  EXPECT_LE(maxDifferenceAligned(processed, *expected, settled, kMaxLatency), 1e-3);

  // The settings are part of that sound: put back to their values before, the sound changes.
  if (!c.settings.empty())
  {
    const auto inserted = created.params.count("inserted") ? created.params.at("inserted") : std::vector<ParamReport>{};
    std::vector<ParamSetting> before;
    for (const ParamSetting& s : c.settings)
    {
      const auto it = std::find_if(inserted.begin(), inserted.end(), [&](const auto& p) { return p.label == s.label; });
      ASSERT_NE(it, inserted.end()) << "no parameter " << s.label;
      before.push_back({s.label, it->value});
    }
    const auto reverted = renderWithTestHost(VEMLOR_BUNDLE_PATH, input, *state, before, 512, error);
    ASSERT_TRUE(reverted) << error;
    EXPECT_GT(maxDifference(*expected, *reverted), 0.01) << "the settings do not change the sound";
  }

  // The reloaded session renders what the saved one did.
  EXPECT_LE(maxDifferenceAligned(processed, afterReload, settled, kMaxLatency), 1e-4);
}

INSTANTIATE_TEST_SUITE_P(
  Vemlor, ArdourSession,
  // With the morph field on (a new instance's default) it drives mix and gain.
  ::testing::Values(SessionCase{"AsInserted", {}},
                    SessionCase{"MixAndGain", {{"morph active", 0}, {"mix", 0.5}, {"gain", -6.0}}},
                    SessionCase{"OversamplingAndMorph",
                                {{"oversampling", 2}, {"morph active", 0}, {"main hz", 1500}, {"drive", 0.6}}}),
  [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vemlor::ardourtest

int main(int argc, char** argv)
{
  ::testing::InitGoogleTest(&argc, argv);
  if (!vemlor::ardourtest::ArdourTools::find())
  {
    std::printf("vemlor_ardour_test: SKIPPED: Debian's Ardour 7 is not installed (/usr/bin/ardour7-lua, "
                "/usr/lib/ardour7/ardour-vst3-scanner); scripts/setup installs the ardour package\n");
    return 77;
  }
  return RUN_ALL_TESTS();
}
