// A fresh folder under the system's temporary folder, removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace zarvo::test {

class TempDir
{
public:
  TempDir()
  {
    std::random_device rd;
    mPath = std::filesystem::temp_directory_path() / ("vemlor-patch-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(mPath);
  }
  ~TempDir()
  {
    std::error_code ec;
    std::filesystem::remove_all(mPath, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return mPath; }
  std::filesystem::path operator/(std::string_view rel) const { return mPath / rel; }

private:
  std::filesystem::path mPath;
};

inline void writeBytes(const std::filesystem::path& p, std::string_view bytes)
{
  std::filesystem::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readBytes(const std::filesystem::path& p)
{
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

} // namespace zarvo::test
