// How the fuzz targets damage a valid input: a length cut, then bytes overwritten at positions the
// fuzzer's data names. Each step consumes what it reads from the data.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace vemlor::test_support {

// The next two bytes of the data as a number; none (nothing consumed) when fewer remain.
inline std::optional<uint16_t> takeU16(const uint8_t*& data, size_t& size)
{
  if (size < 2)
    return std::nullopt;
  uint16_t value = 0;
  std::memcpy(&value, data, 2);
  data += 2;
  size -= 2;
  return value;
}

// Cuts the bytes to length modulo one more than their size, so every length up to whole is reachable.
inline void cutTo(std::vector<uint8_t>& bytes, uint16_t length)
{
  bytes.resize(std::min<size_t>(bytes.size(), length % (bytes.size() + 1)));
}

// Overwrites the bytes at (offset, value) triples taken from the rest of the data; offsets wrap.
inline void overwriteAt(std::vector<uint8_t>& bytes, const uint8_t* data, size_t size)
{
  for (; size >= 3 && !bytes.empty(); data += 3, size -= 3)
  {
    uint16_t offset = 0;
    std::memcpy(&offset, data, 2);
    bytes[offset % bytes.size()] = data[2];
  }
}

// What a fuzz target feeds on, picked by the first byte of the data: 0, the rest of the data as it
// is; otherwise the valid bytes, cut at a length taken from the data (1) or whole (2), then
// overwritten at (offset, value) triples taken from the rest.
inline std::vector<uint8_t> rawOrDamaged(const std::vector<uint8_t>& valid, const uint8_t* data, size_t size)
{
  if (size == 0)
    return {};
  const uint8_t mode = data[0] % 3;
  ++data;
  --size;
  if (mode == 0)
    return {data, data + size};
  std::vector<uint8_t> bytes = valid;
  if (mode == 1)
  {
    if (const auto length = takeU16(data, size))
      cutTo(bytes, *length);
  }
  overwriteAt(bytes, data, size);
  return bytes;
}

} // namespace vemlor::test_support
