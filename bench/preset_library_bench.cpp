// What a new instance costs with a large preset library: the bundle loaded once by the test host, a
// user preset folder of 0 or 20,000 files under a temporary data folder, and the time of creating and
// tearing down one instance, as a host does when a session opens many of them.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tests/host/test_host.h"

namespace {

namespace fs = std::filesystem;
using namespace vemlor::testhost;

constexpr int kGroups = 40;

const char* bundlePath()
{
  const char* other = std::getenv("VEMLOR_BENCH_BUNDLE");
  return other && *other ? other : VEMLOR_BUNDLE_PATH;
}

// A data folder of its own, with `count` preset files spread over 40 group folders.
class Library
{
public:
  explicit Library(int count)
  {
    char pattern[] = "/tmp/vemlor-preset-bench-XXXXXX";
    if (!::mkdtemp(pattern))
      return;
    mRoot = pattern;
    const fs::path presets = mRoot / "Vemlor" / "Presets";
    fs::create_directories(presets);
    for (int i = 0; i < count; ++i)
    {
      const fs::path group = presets / ("Group " + std::to_string(i % kGroups));
      if (i < kGroups)
        fs::create_directory(group);
      std::ofstream(group / ("Preset " + std::to_string(i) + ".fxp"), std::ios::binary) << "CcnK";
    }
    // A library the user built earlier, not one being written while the instance scans it.
    const auto earlier = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(mRoot))
      if (e.is_directory())
        fs::last_write_time(e.path(), earlier);
    fs::last_write_time(mRoot, earlier);
  }
  ~Library()
  {
    std::error_code ec;
    if (!mRoot.empty())
      fs::remove_all(mRoot, ec);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  const fs::path& root() const { return mRoot; }

private:
  fs::path mRoot;
};

void BM_NewInstance(benchmark::State& state)
{
  const Library library(static_cast<int>(state.range(0)));
  if (library.root().empty())
  {
    state.SkipWithError("no temporary folder");
    return;
  }
  ::setenv("XDG_DATA_HOME", library.root().c_str(), 1);
  Host host;
  std::string error;
  std::unique_ptr<Bundle> bundle = Bundle::open(bundlePath(), error);
  const ClassInfo* info = bundle ? bundle->findClass("Audio Module Class") : nullptr;
  if (!info)
  {
    state.SkipWithError(error.empty() ? "no audio class" : error.c_str());
    return;
  }
  // The first instance of a process reads the library; the loop measures the ones after it.
  const auto start = std::chrono::steady_clock::now();
  if (std::unique_ptr<Plugin> first = Plugin::create(*bundle, *info, host, error))
    first->teardown();
  state.counters["first_ms"] =
    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  for (auto _ : state)
  {
    std::unique_ptr<Plugin> plugin = Plugin::create(*bundle, *info, host, error);
    if (!plugin)
    {
      state.SkipWithError(error.c_str());
      break;
    }
    plugin->teardown();
  }
  bundle->close();
  ::unsetenv("XDG_DATA_HOME");
}
BENCHMARK(BM_NewInstance)->ArgName("presets")->Arg(0)->Arg(20000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
