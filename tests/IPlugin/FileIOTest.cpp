#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ExtrasPlugin.h"
#include "IPlugin/IPluginFileIO.h"

namespace plugkit {
namespace {

using test::Bytes;
using test::TempDir;

size_t FilesIn(const std::filesystem::path& dir)
{
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(FileIO, WritesReplaceTheTargetWhole)
{
  TempDir dir;
  const std::string path = dir.Write("target", {9, 9, 9, 9, 9});
  const uint8_t bytes[] = {1, 2, 3};
  ASSERT_TRUE(WriteFileAtomically(path.c_str(), bytes, 3));
  EXPECT_EQ(TempDir::Read(path), (Bytes{1, 2, 3}));
  ASSERT_TRUE(WriteFileAtomically(path.c_str(), nullptr, 0));
  EXPECT_EQ(TempDir::Read(path), Bytes{});
  EXPECT_EQ(FilesIn(dir.Path()), 1u) << "nothing left beside the target";

  IByteChunk read;
  ASSERT_TRUE(WriteFileAtomically(path.c_str(), bytes, 3));
  ASSERT_TRUE(ReadFileBytes(path.c_str(), read));
  EXPECT_EQ(read.Size(), 3);
}

TEST(FileIO, FailedWritesLeaveNothingBehind)
{
  TempDir dir;
  const uint8_t bytes[] = {1};
  EXPECT_FALSE(WriteFileAtomically(nullptr, bytes, 1));
  EXPECT_FALSE(WriteFileAtomically("", bytes, 1));
  EXPECT_FALSE(WriteFileAtomically(dir.PathOf("no/such/folder").c_str(), bytes, 1));
  // A folder in the target's place cannot be replaced by a file.
  std::filesystem::create_directory(dir.PathOf("folder"));
  EXPECT_FALSE(WriteFileAtomically(dir.PathOf("folder").c_str(), bytes, 1));
  EXPECT_TRUE(std::filesystem::is_directory(dir.PathOf("folder")));
  EXPECT_EQ(FilesIn(dir.Path()), 1u);

  IByteChunk read;
  EXPECT_FALSE(ReadFileBytes(dir.PathOf("missing").c_str(), read));
  EXPECT_FALSE(ReadFileBytes(nullptr, read));
}

} // namespace
} // namespace plugkit
