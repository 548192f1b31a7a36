#include "IPlugin/IByteChunk.h"

#include <limits>

namespace plugkit {

namespace {
// Whether [startPos, startPos + size) lies inside a chunk of chunkSize bytes.
bool Fits(int startPos, int64_t size, int chunkSize)
{
  return startPos >= 0 && size >= 0 && startPos + size <= chunkSize;
}
} // namespace

void IByteChunk::Clear() { mBytes.Resize(0, true); }

int IByteChunk::Resize(int newSize)
{
  const int oldSize = Size();
  mBytes.Resize(newSize, false);
  if (Size() > oldSize)
    std::memset(GetData() + oldSize, 0, static_cast<size_t>(Size() - oldSize));
  return Size();
}

int IByteChunk::PutBytes(const void* data, int size)
{
  const int oldSize = Size();
  if (size <= 0 || !data)
    return size == 0 ? oldSize : 0;
  const int64_t newSize = int64_t{oldSize} + size;
  if (newSize > std::numeric_limits<int>::max())
    return 0;
  mBytes.Resize(static_cast<int>(newSize), false);
  if (Size() != newSize)
    return 0;
  std::memcpy(GetData() + oldSize, data, static_cast<size_t>(size));
  return Size();
}

int IByteChunk::GetBytes(void* out, int size, int startPos) const
{
  if (!Fits(startPos, size, Size()))
    return -1;
  if (size > 0)
    std::memcpy(out, GetData() + startPos, static_cast<size_t>(size));
  return startPos + size;
}

int IByteChunk::PutStr(const char* text)
{
  const size_t length = text ? std::strlen(text) : 0;
  if (length > static_cast<size_t>(std::numeric_limits<int32_t>::max()) - sizeof(int32_t))
    return 0;
  const int32_t length32 = static_cast<int32_t>(length);
  const int oldSize = Size();
  const int64_t newSize = int64_t{oldSize} + int64_t{sizeof(int32_t)} + length32;
  if (newSize > std::numeric_limits<int>::max())
    return 0;
  mBytes.Resize(static_cast<int>(newSize), false);
  if (Size() != newSize)
    return 0;
  std::memcpy(GetData() + oldSize, &length32, sizeof(int32_t));
  if (length32 > 0)
    std::memcpy(GetData() + oldSize + sizeof(int32_t), text, length);
  return Size();
}

int IByteChunk::GetStr(TextString& text, int startPos) const
{
  int32_t length = 0;
  const int pos = Get(length, startPos);
  if (pos < 0 || !Fits(pos, length, Size()))
    return -1;
  text.Set(reinterpret_cast<const char*>(GetData() + pos), length);
  return pos + length;
}

int IByteChunk::PutChunk(const IByteChunk& other)
{
  if (&other == this)
  {
    const IByteChunk copy(*this);
    return PutBytes(copy.GetData(), copy.Size());
  }
  return PutBytes(other.GetData(), other.Size());
}

bool IByteChunk::IsEqual(const IByteChunk& other) const
{
  return Size() == other.Size() && (Size() == 0 || std::memcmp(GetData(), other.GetData(), Size()) == 0);
}

} // namespace plugkit
