// States saved by an earlier build, kept as files: each loads and is written back byte for byte, so
// a change that moves a byte of the state format fails here before a user's session does.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/plugin_it/support.h"

namespace vemlor::plugin_it {
namespace {

using namespace zarvo;
namespace fs = std::filesystem;

std::vector<uint8_t> readFile(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Fixture
{
  const char* file;
  const char* what;
};

constexpr Fixture kFixtures[] = {
  {"fresh_instance.vstate", "a new instance as it first saves"},
  {"factory_slot0.vstate", "the first factory preset"},
  {"factory_slot7.vstate", "a factory preset from the middle of the bank"},
  {"factory_last.vstate", "the last factory preset, oversampled"},
  {"field_and_controllers.vstate", "a morph field with points, controller map and modulation, editor state"},
  {"automated.vstate", "the same after the host automated two parameters while playing"},
};

// The states as this build writes them; used once to create the fixture files
// (VEMLOR_WRITE_STATE_FIXTURES=<folder>), never while testing.
std::vector<std::pair<std::string, std::vector<uint8_t>>> currentStates()
{
  std::vector<std::pair<std::string, std::vector<uint8_t>>> states;
  Instance instance;
  if (!instance)
    return states;
  states.emplace_back(kFixtures[0].file, instance.state());
  const Chunk base = instance.chunk().chunk;
  const int slots[] = {0, 7, kNumFactoryPresets - 1};
  for (size_t i = 0; i < std::size(slots); ++i)
  {
    Chunk chunk = base;
    setPatch(chunk, paramTable().preset(factoryPresetDefs()[static_cast<size_t>(slots[i])]));
    instance.setChunk(chunk);
    states.emplace_back(kFixtures[1 + i].file, instance.state());
  }
  instance.setChunk(richChunk(base));
  states.emplace_back(kFixtures[4].file, instance.state());
  instance.restart();
  render(instance.plugin(), noiseSignal(0.1, 3), [&](int block) {
    instance.plugin().addParameterChange(par_main_drive, 0, 0.1 * block);
    instance.plugin().addParameterChange(par_break_intensity, 0, 0.05 * block);
  });
  instance.session.host.pump(20);
  states.emplace_back(kFixtures[5].file, instance.state());
  return states;
}

TEST(GoldenState, EachSavedStateLoadsAndIsWrittenBackByteForByte)
{
  if (const char* folder = std::getenv("VEMLOR_WRITE_STATE_FIXTURES"))
  {
    for (const auto& [name, bytes] : currentStates())
    {
      std::ofstream out(fs::path(folder) / name, std::ios::binary);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    GTEST_SKIP() << "fixtures written to " << folder;
  }

  for (const Fixture& fixture : kFixtures)
  {
    SCOPED_TRACE(std::string(fixture.file) + ": " + fixture.what);
    const std::vector<uint8_t> saved = readFile(fs::path(VEMLOR_STATE_FIXTURES) / fixture.file);
    ASSERT_GT(saved.size(), 64u);
    Instance instance;
    ASSERT_TRUE(instance) << instance.session.error;
    ASSERT_TRUE(instance.setState(saved));
    EXPECT_EQ(instance.state(), saved);
    // Idle work after the load (latency report, committing the restored edits) changes nothing.
    instance.session.host.pump(20);
    EXPECT_EQ(instance.state(), saved);
  }
}

} // namespace
} // namespace vemlor::plugin_it
