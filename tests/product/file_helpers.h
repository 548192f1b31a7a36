// Files for the plug-in tests: a folder under the test's data home, whole-file bytes, and the
// plug-in's state chunk.
#pragma once

#include "tests/product/plugin_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

namespace vemlor::plugintest {

// A folder of its own, `group/name`, under the data home the test environment made.
inline std::filesystem::path testFileFolder(const char* group, const char* name)
{
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  EXPECT_NE(dataHome, nullptr);
  const std::filesystem::path home =
    dataHome ? std::filesystem::path(dataHome) : std::filesystem::temp_directory_path();
  const std::filesystem::path folder = home / group / name;
  std::filesystem::create_directories(folder);
  return folder;
}

inline std::vector<char> readBytes(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<char>& bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline plugkit::IByteChunk stateOf(PluginInstance& p)
{
  plugkit::IByteChunk chunk;
  EXPECT_TRUE(p->SerializeState(chunk));
  return chunk;
}

} // namespace vemlor::plugintest
