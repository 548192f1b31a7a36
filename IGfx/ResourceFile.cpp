#include "IGfx/ResourceFile.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <new>

namespace plugkit::gfx {

std::vector<unsigned char> ReadResourceFile(const char* path)
{
  std::vector<unsigned char> bytes;
  if (!path || !path[0])
    return bytes;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), &std::fclose);
  struct stat st
  {};
  if (!file || fstat(fileno(file.get()), &st) != 0 || !S_ISREG(st.st_mode) || std::fseek(file.get(), 0, SEEK_END) != 0)
    return bytes;
  const long size = std::ftell(file.get());
  if (size <= 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
    return bytes;
  try
  {
    bytes.resize(static_cast<size_t>(size));
  }
  catch (const std::bad_alloc&)
  {
    return bytes;
  }
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
    bytes.clear();
  return bytes;
}

} // namespace plugkit::gfx
