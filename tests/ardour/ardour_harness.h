// Drives Debian's Ardour 7 headless for the host test: a private HOME with the bundle installed,
// the VST3 scanner, Lua session runs with a time limit, float WAV reading, level measurement and
// the same audio rendered through the project's own test host for comparison.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vemlor::ardourtest {

namespace fs = std::filesystem;

// Debian's Ardour 7 programs.
struct ArdourTools
{
  fs::path lua = "/usr/bin/ardour7-lua";
  fs::path scanner = "/usr/lib/ardour7/ardour-vst3-scanner";
  fs::path libraryDir = "/usr/lib/ardour7"; // the scanner does not set its own library path

  // The tools when they are installed and executable; otherwise none.
  static std::optional<ArdourTools> find();
};

// The whole test's time budget; every Ardour call gets at most what is left of it.
class Deadline
{
public:
  explicit Deadline(std::chrono::seconds budget)
    : end(std::chrono::steady_clock::now() + budget)
  {}
  std::chrono::seconds remaining() const;

private:
  std::chrono::steady_clock::time_point end;
};

struct ProcessResult
{
  int exitCode = -1; // -1 when the process did not exit normally
  int signal = 0;    // the signal that ended it, if one did
  bool timedOut = false;
  std::string output; // stdout and stderr together
  bool ok() const { return exitCode == 0 && !timedOut; }
};

// Runs argv in its own process group with extra environment variables, stdin from /dev/null and
// stdout and stderr into logFile. Past the limit the whole group is terminated, then killed; after
// the program exits anything it left in its group is killed too.
ProcessResult runBounded(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment,
                         const fs::path& logFile, std::chrono::seconds limit);

// One parameter of the inserted plug-in as the Lua session reported it.
struct ParamReport
{
  int index = -1;
  double value = 0;
  double lower = 0;
  double upper = 0;
  std::string label;
};

// What one Lua session run reported ("vemlor-ardour <kind> ..." lines).
struct SessionRun
{
  ProcessResult process;
  std::vector<std::string> errors;
  std::vector<std::string> exports;                       // names in export order
  std::vector<int> io;                                    // audio inputs, audio outputs, MIDI inputs of the insert
  std::map<std::string, std::vector<ParamReport>> params; // by phase: "inserted", "set", "reloaded"
  bool saved = false;
  bool done = false;
};

SessionRun parseSessionOutput(ProcessResult process);

// A parameter set through the host: its label and its plain value (in the parameter's own units,
// as the host shows it).
struct ParamSetting
{
  std::string label;
  double value;
};

// What the Lua session script needs to know; written to a job file it reads.
struct SessionJob
{
  std::string mode; // "create" or "reload"
  fs::path sessionDir;
  std::string sessionName = "vemlor";
  double rate = 48000;
  long frames = 96000;
  fs::path exportDir;
  std::vector<ParamSetting> settings;
};

// A temporary HOME for Ardour under workDir: its configuration (dummy backend shown, the test
// signal generator, a 32-bit float WAV export preset) and Vemlor.vst3 installed in ~/.vst3.
class ArdourHome
{
public:
  static constexpr const char* kPluginName = "Vemlor";

  ArdourHome(ArdourTools tools, fs::path workDir, fs::path scriptDir);

  // Copies the bundle into ~/.vst3; false with a message on failure.
  bool install(const fs::path& bundle, std::string& error);
  fs::path installedBundle() const { return home / ".vst3" / "Vemlor.vst3"; }

  // Runs the VST3 scanner over the installed bundle, then makes its cache newer than the library,
  // since the Lua session ignores a cache that is not.
  ProcessResult scan(const Deadline& deadline);
  // The scanner's cache files.
  std::vector<fs::path> cacheFiles() const;

  SessionRun runSession(const SessionJob& job, const Deadline& deadline);

private:
  std::map<std::string, std::string> environment() const;

  ArdourTools tools;
  fs::path workDir;
  fs::path scriptDir;
  fs::path home;
};

// A WAV file's audio, one vector per channel.
struct Audio
{
  double rate = 0;
  std::vector<std::vector<float>> channels;
  std::size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Reads a 32-bit float WAV (plain or extensible format); none with a message when it is not one.
std::optional<Audio> readFloatWav(const fs::path& path, std::string& error);

struct Levels
{
  double rmsDb = -1000;
  double peakDb = -1000;
};
Levels measure(const std::vector<float>& samples);
// The largest sample difference from frame `from` over the shorter length of each channel pair.
double maxDifference(const Audio& a, const Audio& b, std::size_t from = 0);
// The smallest maxDifference over shifts of b by -maxLag..maxLag samples: a host compensates the
// latency the plug-in reports only once it has heard of it, which depends on its own timing.
double maxDifferenceAligned(const Audio& a, const Audio& b, std::size_t from, int maxLag);

// The component state Ardour saved for the first processor called processorName in a session
// file: the "Comp" entry of the preset container in its base64 chunk; none with a message.
std::optional<std::vector<uint8_t>> savedComponentState(const fs::path& sessionFile, const std::string& processorName,
                                                        std::string& error);

// Renders the first two channels of input through the bundle with the project's test host (32-bit,
// blocks of blockSize): a fresh instance given state (when not empty), then the settings (found by
// parameter title, normalized by the plug-in) applied at the first sample; none with a message.
std::optional<Audio> renderWithTestHost(const fs::path& bundle, const Audio& input, const std::vector<uint8_t>& state,
                                        const std::vector<ParamSetting>& settings, int blockSize, std::string& error);

} // namespace vemlor::ardourtest
