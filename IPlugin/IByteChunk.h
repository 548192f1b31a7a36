// Growable byte buffer with typed little-endian put and get at a position: the carrier of every
// state chunk.
#pragma once

#include <bit>
#include <concepts>
#include <cstdint>
#include <cstring>

#include "IPlugin/HeapBuf.h"
#include "IPlugin/TextString.h"

namespace plugkit {

static_assert(std::endian::native == std::endian::little, "chunks are stored in the host's byte order");

// Values that Put and Get carry byte for byte (bool travels as one byte, 0 or 1).
template <typename T>
concept ChunkValue = std::integral<T> || std::floating_point<T>;

// Not thread-safe; main thread (puts allocate). Copies are independent. Never throws.
// Puts return the chunk's size after the append, or 0 when the buffer could not grow (then nothing
// was appended). Gets return the position after the item, or -1 when the position is negative or the
// item does not fit before the end (then nothing is read).
class IByteChunk
{
public:
  static constexpr int kDefaultGrowStep = 4096;

  explicit IByteChunk(int growStep = kDefaultGrowStep)
    : mBytes(growStep)
  {}

  int Size() const { return mBytes.GetSize(); }
  uint8_t* GetData() { return static_cast<uint8_t*>(mBytes.Get()); }
  const uint8_t* GetData() const { return static_cast<const uint8_t*>(mBytes.Get()); }

  // Empties the chunk and releases its storage.
  void Clear();
  // Sets the size; added bytes are zero. Returns the size now held (unchanged on failure).
  int Resize(int newSize);

  int PutBytes(const void* data, int size);
  int GetBytes(void* out, int size, int startPos) const;

  template <ChunkValue T>
  int Put(const T& value)
  {
    if constexpr (std::same_as<T, bool>)
    {
      const uint8_t byte = value ? 1 : 0;
      return PutBytes(&byte, 1);
    }
    else
      return PutBytes(&value, sizeof(T));
  }

  template <ChunkValue T>
  int Get(T& value, int startPos) const
  {
    if constexpr (std::same_as<T, bool>)
    {
      uint8_t byte = 0;
      const int pos = GetBytes(&byte, 1, startPos);
      if (pos >= 0)
        value = byte != 0;
      return pos;
    }
    else
      return GetBytes(&value, sizeof(T), startPos);
  }

  // A 32-bit length, then the bytes without terminator.
  int PutStr(const char* text);
  int GetStr(TextString& text, int startPos) const;

  // Appends all bytes of another chunk.
  int PutChunk(const IByteChunk& other);

  bool IsEqual(const IByteChunk& other) const;

private:
  HeapBuf mBytes;
};

} // namespace plugkit
