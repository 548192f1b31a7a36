#include "IPlugin/IPluginFileIO.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <system_error>

namespace plugkit
{

namespace
{
bool WriteAll(int fd, const uint8_t* data, size_t size)
{
  while (size > 0)
  {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// A name no other writer (thread or process) uses at the same time; created exclusively.
int CreateTempBeside(const std::string& path, std::string& tempPath)
{
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 16; ++attempt)
  {
    tempPath = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  return -1;
}
} // namespace

bool ReadFileBytes(const char* path, IByteChunk& out)
{
  if (!path || !*path)
    return false;
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size > static_cast<uintmax_t>(std::numeric_limits<int>::max() / 2))
    return false;
  std::FILE* file = std::fopen(path, "rb");
  if (!file)
    return false;
  const int n = static_cast<int>(size);
  bool ok = out.Resize(n) == n;
  if (ok && n > 0)
    ok = std::fread(out.GetData(), 1, static_cast<size_t>(n), file) == static_cast<size_t>(n);
  std::fclose(file);
  return ok;
}

bool WriteFileAtomically(const char* path, const void* data, size_t size)
{
  if (!path || !*path || (!data && size > 0))
    return false;
  std::string tempPath;
  const int fd = CreateTempBeside(path, tempPath);
  if (fd < 0)
    return false;
  bool ok = WriteAll(fd, static_cast<const uint8_t*>(data), size);
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && std::rename(tempPath.c_str(), path) == 0;
  if (!ok)
    ::unlink(tempPath.c_str());
  return ok;
}

} // namespace plugkit
