#include "tests/ardour/ardour_harness.h"

#include "tests/host/test_host.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

extern char** environ;

namespace vemlor::ardourtest {

namespace {

using namespace std::chrono_literals;

bool isExecutable(const fs::path& path) { return ::access(path.c_str(), X_OK) == 0; }

std::string readFile(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool writeFile(const fs::path& path, const std::string& text)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out.flush());
}

// A Lua string literal for any text.
std::string luaString(const std::string& text)
{
  std::string out = "\"";
  for (unsigned char c : text)
  {
    if (c == '"' || c == '\\')
      out += '\\';
    if (c < 0x20 || c == 0x7F)
    {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\%03u", static_cast<unsigned>(c)); // three digits: a digit may follow
      out += escape;
    }
    else
    {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string luaNumber(double value)
{
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out.precision(17);
  out << value;
  return out.str();
}

// Waits for pid until the limit; false when it is still running then.
bool waitUntil(pid_t pid, int& status, std::chrono::steady_clock::time_point limit)
{
  while (true)
  {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR))
      return true;
    if (std::chrono::steady_clock::now() >= limit)
      return false;
    std::this_thread::sleep_for(20ms);
  }
}

} // namespace

std::optional<ArdourTools> ArdourTools::find()
{
  ArdourTools tools;
  if (!isExecutable(tools.lua) || !isExecutable(tools.scanner) || !fs::is_directory(tools.libraryDir))
    return std::nullopt;
  return tools;
}

std::chrono::seconds Deadline::remaining() const
{
  const auto left = std::chrono::duration_cast<std::chrono::seconds>(end - std::chrono::steady_clock::now());
  return std::max(left, 0s);
}

ProcessResult runBounded(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment,
                         const fs::path& logFile, std::chrono::seconds limit)
{
  ProcessResult result;
  if (argv.empty() || limit <= 0s)
  {
    result.timedOut = limit <= 0s;
    return result;
  }

  std::vector<std::string> envStrings;
  for (char** e = environ; *e != nullptr; ++e)
  {
    const std::string entry = *e;
    if (!environment.count(entry.substr(0, entry.find('='))))
      envStrings.push_back(entry);
  }
  for (const auto& [name, value] : environment)
    envStrings.push_back(name + "=" + value);
  std::vector<char*> envp, args;
  for (auto& s : envStrings)
    envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> argStrings = argv;
  for (auto& s : argStrings)
    args.push_back(s.data());
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);

  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, args[0], &actions, &attributes, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0)
  {
    result.output = "cannot start " + argv[0] + ": " + std::strerror(spawned);
    return result;
  }

  int status = 0;
  if (!waitUntil(pid, status, std::chrono::steady_clock::now() + limit))
  {
    result.timedOut = true;
    ::kill(-pid, SIGTERM);
    if (!waitUntil(pid, status, std::chrono::steady_clock::now() + 3s))
    {
      ::kill(-pid, SIGKILL);
      ::waitpid(pid, &status, 0);
    }
  }
  // Whatever the program left running in its group goes with it.
  ::kill(-pid, SIGKILL);
  if (!result.timedOut && WIFEXITED(status))
    result.exitCode = WEXITSTATUS(status);
  if (!result.timedOut && WIFSIGNALED(status))
    result.signal = WTERMSIG(status);
  result.output = readFile(logFile);
  return result;
}

SessionRun parseSessionOutput(ProcessResult process)
{
  SessionRun run;
  std::istringstream lines(process.output);
  const std::string prefix = "vemlor-ardour ";
  for (std::string line; std::getline(lines, line);)
  {
    if (line.rfind(prefix, 0) != 0)
      continue;
    std::istringstream fields(line.substr(prefix.size()));
    fields.imbue(std::locale::classic());
    std::string kind;
    fields >> kind;
    if (kind == "error")
    {
      std::string message;
      std::getline(fields >> std::ws, message);
      run.errors.push_back(message);
    }
    else if (kind == "export")
    {
      std::string name;
      fields >> name;
      run.exports.push_back(name);
    }
    else if (kind == "io")
    {
      for (int n; fields >> n;)
        run.io.push_back(n);
    }
    else if (kind == "param")
    {
      std::string phase;
      ParamReport p;
      if (fields >> phase >> p.index >> p.value >> p.lower >> p.upper)
      {
        std::getline(fields >> std::ws, p.label);
        run.params[phase].push_back(p);
      }
      else
      {
        run.errors.push_back("unreadable line: " + line);
      }
    }
    else if (kind == "saved")
    {
      run.saved = true;
    }
    else if (kind == "done")
    {
      run.done = true;
    }
  }
  run.process = std::move(process);
  return run;
}

ArdourHome::ArdourHome(ArdourTools tools, fs::path workDir, fs::path scriptDir)
  : tools(std::move(tools))
  , workDir(std::move(workDir))
  , scriptDir(std::move(scriptDir))
  , home(this->workDir / "home")
{}

namespace {

// Ardour's SIMD choice as ARDOUR_FPU_FLAGS bits.
std::string ardourFpuFlags()
{
  // Flush-to-zero, denormals-are-zero, SSE and SSE2; AVX (0x10) and FMA (0x40) when the CPU has them.
  unsigned flags = 0x0F;
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx"))
    flags |= 0x10;
  if (__builtin_cpu_supports("fma"))
    flags |= 0x40;
  return std::to_string(flags);
}

} // namespace

std::map<std::string, std::string> ArdourHome::environment() const
{
  return {
    {"HOME", home.string()},
    {"XDG_CONFIG_HOME", (home / ".config").string()},
    {"XDG_CACHE_HOME", (home / ".cache").string()},
    {"XDG_DATA_HOME", (home / ".local" / "share").string()},
    {"LD_LIBRARY_PATH", tools.libraryDir.string()},
    // Ardour 7.3's AVX-512 mix_buffers_no_gain writes past its export buffer (fixed in Ardour 8.5): keep it off AVX-512.
    {"ARDOUR_FPU_FLAGS", ardourFpuFlags()},
  };
}

bool ArdourHome::install(const fs::path& bundle, std::string& error)
{
  std::error_code ec;
  const fs::path config = home / ".config" / "ardour7";
  fs::create_directories(config / "scripts", ec);
  fs::create_directories(config / "export", ec);
  fs::create_directories(home / ".vst3", ec);
  if (ec)
  {
    error = "cannot create " + config.string() + ": " + ec.message();
    return false;
  }
  // The dummy backend is hidden unless the configuration asks for it.
  const std::string rc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<Ardour>\n  <Config>\n    <Option name=\"hide-dummy-backend\" value=\"0\"/>\n"
                         "  </Config>\n</Ardour>\n";
  if (!writeFile(config / "config", rc))
  {
    error = "cannot write the Ardour configuration";
    return false;
  }
  fs::copy_file(scriptDir / "vemlor_test_signal.lua", config / "scripts" / "vemlor_test_signal.lua",
                fs::copy_options::overwrite_existing, ec);
  if (!ec)
    fs::copy_file(scriptDir / "vemlor_float_wav.preset", config / "export" / "vemlor_float_wav.preset",
                  fs::copy_options::overwrite_existing, ec);
  if (!ec)
    fs::copy(bundle, installedBundle(), fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  if (ec)
  {
    error = "cannot install into " + home.string() + ": " + ec.message();
    return false;
  }
  return true;
}

ProcessResult ArdourHome::scan(const Deadline& deadline)
{
  const fs::path library = installedBundle() / "Contents" / "x86_64-linux" / "Vemlor.so";
  std::error_code ec;
  // An older library leaves room for a cache that is newer by whole seconds.
  fs::last_write_time(library, fs::file_time_type::clock::now() - 10s, ec);
  ProcessResult result = runBounded({tools.scanner.string(), "--force", "--verbose", installedBundle().string()},
                                    environment(), workDir / "scanner.log", std::min(deadline.remaining(), 30s));
  for (const fs::path& cache : cacheFiles())
    fs::last_write_time(cache, fs::file_time_type::clock::now(), ec);
  return result;
}

std::vector<fs::path> ArdourHome::cacheFiles() const
{
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(home / ".cache" / "ardour7" / "vst", ec))
    if (entry.path().extension() == ".v3i")
      files.push_back(entry.path());
  return files;
}

SessionRun ArdourHome::runSession(const SessionJob& job, const Deadline& deadline)
{
  std::ostringstream lua;
  lua << "return {\n"
      << "  mode = " << luaString(job.mode) << ",\n"
      << "  session_dir = " << luaString(job.sessionDir.string()) << ",\n"
      << "  session_name = " << luaString(job.sessionName) << ",\n"
      << "  rate = " << luaNumber(job.rate) << ",\n"
      << "  frames = " << job.frames << ",\n"
      << "  export_dir = " << luaString(job.exportDir.string()) << ",\n"
      << "  export_preset = \"5d0b1c2e-7a53-4b8e-9a61-56e1f0c3a7d4\",\n" // vemlor_float_wav.preset
      << "  plugin = " << luaString(kPluginName) << ",\n"
      << "  signal = \"Vemlor Test Signal\",\n"
      << "  settings = {\n";
  for (const ParamSetting& s : job.settings)
    lua << "    { label = " << luaString(s.label) << ", value = " << luaNumber(s.value) << " },\n";
  lua << "  },\n}\n";

  const std::string stem = job.sessionName + "-" + job.mode;
  const fs::path jobFile = workDir / (stem + ".job.lua");
  SessionRun failed;
  std::error_code ec;
  fs::create_directories(job.exportDir, ec);
  if (ec || !writeFile(jobFile, lua.str()))
  {
    failed.errors.push_back("cannot write " + jobFile.string());
    return failed;
  }
  // With Ardour kept off its AVX-512 mixing routine (see environment()) no run should end by a
  // signal. The retry stays as a tripwire: a run that still does is repeated, and said so loudly.
  // So is a run that hangs: about one session in ten has stopped while parameters were being set
  // (seen after the plug-in began announcing latency from within the host's parameter call).
  constexpr int kTries = 5;
  ProcessResult result;
  for (int attempt = 1; attempt <= kTries; ++attempt)
  {
    if (job.mode == "create")
    {
      fs::remove_all(job.sessionDir, ec);
      fs::remove_all(job.exportDir, ec);
      fs::create_directories(job.exportDir, ec);
    }
    result = runBounded({tools.lua.string(), (scriptDir / "vemlor_session.lua").string(), jobFile.string()},
                        environment(), workDir / (stem + ".log"), std::min(deadline.remaining(), 30s));
    if ((result.signal == 0 && !result.timedOut) || attempt == kTries || deadline.remaining() < 20s)
      break;
    if (result.timedOut)
      std::fprintf(stderr, "ardour: RETRY: %s run hung and was stopped (attempt %d of %d); running it again\n",
                   stem.c_str(), attempt, kTries);
    else
      std::fprintf(stderr,
                   "ardour: RETRY: %s run ended by signal %d (attempt %d of %d) although ARDOUR_FPU_FLAGS keeps "
                   "Ardour off AVX-512; running it again\n",
                   stem.c_str(), result.signal, attempt, kTries);
  }
  return parseSessionOutput(std::move(result));
}

std::optional<Audio> readFloatWav(const fs::path& path, std::string& error)
{
  const std::string bytes = readFile(path);
  auto u16 = [&](std::size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
  };
  auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
  {
    error = path.string() + " is not a WAV file";
    return std::nullopt;
  }
  uint32_t channels = 0, rate = 0, bits = 0, format = 0;
  std::size_t dataAt = 0, dataSize = 0;
  for (std::size_t at = 12; at + 8 <= bytes.size();)
  {
    const std::string id = bytes.substr(at, 4);
    const std::size_t size = u32(at + 4);
    if (size > bytes.size() - at - 8)
    {
      error = path.string() + ": chunk " + id + " runs past the end";
      return std::nullopt;
    }
    if (id == "fmt " && size >= 16)
    {
      format = u16(at + 8);
      channels = u16(at + 10);
      rate = u32(at + 12);
      bits = u16(at + 22);
      // Extensible: the sub-format's first two bytes are the format tag.
      if (format == 0xFFFE && size >= 40)
        format = u16(at + 32);
    }
    else if (id == "data")
    {
      dataAt = at + 8;
      dataSize = size;
    }
    at += 8 + size + (size & 1);
  }
  if (format != 3 || bits != 32 || channels == 0 || rate == 0 || dataAt == 0)
  {
    error = path.string() + " is not 32-bit float audio";
    return std::nullopt;
  }
  Audio audio;
  audio.rate = rate;
  const std::size_t frames = dataSize / (4 * channels);
  audio.channels.assign(channels, std::vector<float>(frames));
  for (std::size_t f = 0; f < frames; ++f)
    for (uint32_t c = 0; c < channels; ++c)
      std::memcpy(&audio.channels[c][f], bytes.data() + dataAt + 4 * (f * channels + c), 4);
  return audio;
}

Levels measure(const std::vector<float>& samples)
{
  double sum = 0, peak = 0;
  for (float s : samples)
  {
    sum += static_cast<double>(s) * s;
    peak = std::max(peak, std::fabs(static_cast<double>(s)));
  }
  auto db = [](double amplitude) { return amplitude > 0 ? 20.0 * std::log10(amplitude) : -1000.0; };
  return {samples.empty() ? -1000.0 : db(std::sqrt(sum / static_cast<double>(samples.size()))), db(peak)};
}

double maxDifference(const Audio& a, const Audio& b, std::size_t from)
{
  double worst = 0;
  for (std::size_t c = 0; c < std::min(a.channels.size(), b.channels.size()); ++c)
    for (std::size_t i = from; i < std::min(a.channels[c].size(), b.channels[c].size()); ++i)
      worst = std::max(worst, std::fabs(static_cast<double>(a.channels[c][i]) - b.channels[c][i]));
  return worst;
}

double maxDifferenceAligned(const Audio& a, const Audio& b, std::size_t from, int maxLag)
{
  double best = std::numeric_limits<double>::infinity();
  for (int lag = -maxLag; lag <= maxLag; ++lag)
  {
    double worst = 0;
    for (std::size_t c = 0; c < std::min(a.channels.size(), b.channels.size()); ++c)
    {
      const auto n = static_cast<std::ptrdiff_t>(std::min(a.channels[c].size(), b.channels[c].size()));
      for (std::ptrdiff_t i = static_cast<std::ptrdiff_t>(from); i < n; ++i)
      {
        const std::ptrdiff_t j = i + lag;
        if (j < 0 || j >= n)
          continue;
        worst = std::max(worst, std::fabs(static_cast<double>(a.channels[c][static_cast<std::size_t>(i)]) -
                                          b.channels[c][static_cast<std::size_t>(j)]));
      }
    }
    best = std::min(best, worst);
  }
  return best;
}

namespace {

std::optional<std::vector<uint8_t>> decodeBase64(const std::string& text)
{
  std::vector<uint8_t> out;
  uint32_t bits = 0;
  int count = 0;
  for (char c : text)
  {
    int value;
    if (c >= 'A' && c <= 'Z')
      value = c - 'A';
    else if (c >= 'a' && c <= 'z')
      value = c - 'a' + 26;
    else if (c >= '0' && c <= '9')
      value = c - '0' + 52;
    else if (c == '+')
      value = 62;
    else if (c == '/')
      value = 63;
    else if (c == '=' || std::isspace(static_cast<unsigned char>(c)))
      continue;
    else
      return std::nullopt;
    bits = bits << 6 | static_cast<uint32_t>(value);
    count += 6;
    if (count >= 8)
    {
      count -= 8;
      out.push_back(static_cast<uint8_t>(bits >> count));
    }
  }
  return out;
}

uint64_t littleEndian(const std::vector<uint8_t>& bytes, std::size_t at, int size)
{
  uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

} // namespace

std::optional<std::vector<uint8_t>> savedComponentState(const fs::path& sessionFile, const std::string& processorName,
                                                        std::string& error)
{
  const std::string xml = readFile(sessionFile);
  std::smatch processor;
  const std::regex tag("<Processor [^>]*name=\"" + processorName + "\"[^>]*>");
  const bool found = std::regex_search(xml, processor, tag);
  const std::size_t open =
    found ? xml.find("<chunk>", static_cast<std::size_t>(processor.position(0))) : std::string::npos;
  const std::size_t close = open == std::string::npos ? open : xml.find("</chunk>", open);
  if (close == std::string::npos)
  {
    error = sessionFile.string() + " holds no saved state of " + processorName;
    return std::nullopt;
  }
  const auto container = decodeBase64(xml.substr(open + 7, close - open - 7));
  // The preset container: "VST3", version, class id (32 characters), offset of the entry list;
  // the list: "List", entry count, then (id, offset, size) per entry.
  if (!container || container->size() < 48 || std::memcmp(container->data(), "VST3", 4) != 0)
  {
    error = "the saved state of " + processorName + " is not a preset container";
    return std::nullopt;
  }
  const std::vector<uint8_t>& bytes = *container;
  const uint64_t list = littleEndian(bytes, 40, 8);
  if (list > bytes.size() - 8 || std::memcmp(bytes.data() + list, "List", 4) != 0)
  {
    error = "the saved state of " + processorName + " has no entry list";
    return std::nullopt;
  }
  const uint64_t entries = littleEndian(bytes, static_cast<std::size_t>(list) + 4, 4);
  for (uint64_t e = 0; e < entries; ++e)
  {
    const std::size_t entry = static_cast<std::size_t>(list) + 8 + static_cast<std::size_t>(e) * 20;
    if (entry + 20 > bytes.size())
      break;
    const uint64_t offset = littleEndian(bytes, entry + 4, 8), size = littleEndian(bytes, entry + 12, 8);
    if (std::memcmp(bytes.data() + entry, "Comp", 4) == 0 && offset <= bytes.size() && size <= bytes.size() - offset)
      return std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                                  bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
  }
  error = "the saved state of " + processorName + " has no component entry";
  return std::nullopt;
}

namespace {

using namespace vemlor::testhost;

bool applySettings(Plugin& plugin, const std::vector<ParamSetting>& settings, std::string& error)
{
  Steinberg::Vst::IEditController* controller = plugin.controller();
  for (const ParamSetting& s : settings)
  {
    Steinberg::Vst::ParameterInfo found{};
    int matches = 0;
    for (int32 i = 0; i < controller->getParameterCount(); ++i)
    {
      Steinberg::Vst::ParameterInfo info{};
      if (controller->getParameterInfo(i, info) == Steinberg::kResultOk &&
          toUtf8(info.title, std::size(info.title)) == s.label)
      {
        found = info;
        ++matches;
      }
    }
    if (matches != 1)
    {
      error = std::to_string(matches) + " parameters have the title " + s.label;
      return false;
    }
    const double normalized = controller->plainParamToNormalized(found.id, s.value);
    controller->setParamNormalized(found.id, normalized);
    plugin.addParameterChange(found.id, 0, normalized);
  }
  return true;
}

std::optional<Audio> render(Plugin& plugin, const Audio& input, const std::vector<uint8_t>& state,
                            const std::vector<ParamSetting>& settings, int blockSize, std::string& error)
{
  if (!state.empty() && !plugin.setState(state))
  {
    error = "the plug-in refused the saved state";
    return std::nullopt;
  }
  ProcessConfig config;
  config.sampleRate = input.rate;
  config.maxBlockSize = blockSize;
  if (!plugin.startProcessing(config))
  {
    error = plugin.lastError();
    return std::nullopt;
  }
  if (!applySettings(plugin, settings, error))
    return std::nullopt;
  const std::size_t channels = std::min<std::size_t>(input.channels.size(), 2);
  Audio out;
  out.rate = input.rate;
  out.channels.assign(channels, {});
  for (std::size_t done = 0; done < input.frames();)
  {
    const std::size_t frames = std::min(static_cast<std::size_t>(blockSize), input.frames() - done);
    for (std::size_t c = 0; c < channels; ++c)
      std::copy_n(input.channels[c].begin() + static_cast<std::ptrdiff_t>(done), frames,
                  plugin.input(0, static_cast<int32>(c)));
    if (plugin.process(static_cast<int32>(frames)).result != Steinberg::kResultOk)
    {
      error = "process failed at sample " + std::to_string(done);
      return std::nullopt;
    }
    for (std::size_t c = 0; c < channels; ++c)
    {
      const double* output = plugin.output(0, static_cast<int32>(c));
      out.channels[c].insert(out.channels[c].end(), output, output + frames);
    }
    done += frames;
  }
  return out;
}

} // namespace

std::optional<Audio> renderWithTestHost(const fs::path& bundlePath, const Audio& input,
                                        const std::vector<uint8_t>& state, const std::vector<ParamSetting>& settings,
                                        int blockSize, std::string& error)
{
  auto bundle = Bundle::open(bundlePath.string(), error);
  if (!bundle)
    return std::nullopt;
  std::optional<Audio> rendered;
  if (const ClassInfo* info = bundle->findClass(kVstAudioEffectClass))
  {
    Host host;
    if (auto plugin = Plugin::create(*bundle, *info, host, error))
    {
      rendered = render(*plugin, input, state, settings, blockSize, error);
      plugin->teardown();
    }
  }
  else
  {
    error = "the bundle has no audio effect class";
  }
  bundle->close();
  return rendered;
}

} // namespace vemlor::ardourtest
