#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "extras_plugin.h"
#include "IPlugin/IPluginFiles.h"

namespace plugkit {
namespace {

using test::Bytes;
using test::TempDir;

IByteChunk Chunk(const uint8_t* bytes, int n)
{
  IByteChunk chunk;
  chunk.PutBytes(bytes, n);
  return chunk;
}

size_t FilesIn(const std::filesystem::path& dir)
{
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(FileIO, WritesReplaceTheTargetWhole)
{
  TempDir dir;
  const std::string path = dir.Write("target", {9, 9, 9, 9, 9});
  const uint8_t bytes[] = {1, 2, 3};
  ASSERT_EQ(WriteFileAtomic(path.c_str(), Chunk(bytes, 3)), EFileResult::kOk);
  EXPECT_EQ(TempDir::Read(path), (Bytes{1, 2, 3}));
  ASSERT_EQ(WriteFileAtomic(path.c_str(), IByteChunk()), EFileResult::kOk);
  EXPECT_EQ(TempDir::Read(path), Bytes{});
  EXPECT_EQ(FilesIn(dir.Path()), 1u) << "nothing left beside the target";

  IByteChunk read;
  ASSERT_EQ(WriteFileAtomic(path.c_str(), Chunk(bytes, 3)), EFileResult::kOk);
  ASSERT_EQ(ReadFileCapped(path.c_str(), 16, read), EFileResult::kOk);
  EXPECT_EQ(read.Size(), 3);
}

TEST(FileIO, FailedWritesLeaveNothingBehind)
{
  TempDir dir;
  const uint8_t bytes[] = {1};
  EXPECT_EQ(WriteFileAtomic(nullptr, Chunk(bytes, 1)), EFileResult::kWriteFailed);
  EXPECT_EQ(WriteFileAtomic("", Chunk(bytes, 1)), EFileResult::kWriteFailed);
  EXPECT_EQ(WriteFileAtomic(dir.PathOf("no/such/folder").c_str(), Chunk(bytes, 1)), EFileResult::kWriteFailed);
  // A folder in the target's place cannot be replaced by a file.
  std::filesystem::create_directory(dir.PathOf("folder"));
  EXPECT_EQ(WriteFileAtomic(dir.PathOf("folder").c_str(), Chunk(bytes, 1)), EFileResult::kWriteFailed);
  EXPECT_TRUE(std::filesystem::is_directory(dir.PathOf("folder")));
  EXPECT_EQ(FilesIn(dir.Path()), 1u);

  IByteChunk read;
  EXPECT_EQ(ReadFileCapped(dir.PathOf("missing").c_str(), 16, read), EFileResult::kUnreadable);
  EXPECT_EQ(ReadFileCapped(nullptr, 16, read), EFileResult::kUnreadable);
}

} // namespace
} // namespace plugkit
