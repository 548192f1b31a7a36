#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "IGfx/ResourceFile.h"

using namespace plugkit::gfx;

TEST(ResourceFile, ReadsWholeFilesAndNothingOfBrokenOnes)
{
  const auto dir = std::filesystem::temp_directory_path() / "vemlor_resource_file_test";
  std::filesystem::create_directories(dir);
  const auto file = dir / "data.bin";
  {
    std::ofstream out(file, std::ios::binary);
    out << std::string("abc\0def", 7);
  }
  const auto bytes = ReadResourceFile(file.c_str());
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("abc\0def", 7));
  EXPECT_TRUE(ReadResourceFile((dir / "missing.bin").c_str()).empty());
  EXPECT_TRUE(ReadResourceFile(dir.c_str()).empty());
  EXPECT_TRUE(ReadResourceFile(nullptr).empty());
  std::filesystem::remove_all(dir);
}

TEST(ResourceFile, ShortReadGivesAnEmptyBuffer)
{
  // sysfs reports a page as the size of every attribute but reads only the text it holds.
  const char* path = "/sys/kernel/mm/transparent_hugepage/enabled";
  struct stat st
  {};
  if (stat(path, &st) != 0 || st.st_size <= 0)
    GTEST_SKIP() << "no sysfs attribute to read";
  std::FILE* f = std::fopen(path, "rb");
  ASSERT_NE(f, nullptr);
  char buf[8192];
  const size_t got = std::fread(buf, 1, sizeof(buf), f);
  std::fclose(f);
  ASSERT_LT(static_cast<long>(got), static_cast<long>(st.st_size)) << "the attribute is not shorter than its size";
  EXPECT_TRUE(ReadResourceFile(path).empty());
}
