#include "IPlugin/TextString.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

TextString::TextString(const char* text, int growStep)
  : mBuf(growStep)
{
  Set(text);
}

const char* TextString::Get() const { return mBuf.GetSize() > 0 ? static_cast<const char*>(mBuf.Get()) : ""; }

char* TextString::GetMutable() { return mBuf.GetSize() > 0 ? static_cast<char*>(mBuf.Get()) : nullptr; }

int TextString::GetLength() const { return mBuf.GetSize() > 0 ? mBuf.GetSize() - 1 : 0; }

int TextString::ClampedLength(const char* text, int maxLength)
{
  if (!text)
    return 0;
  if (maxLength < 0)
    return static_cast<int>(std::strlen(text));
  return static_cast<int>(strnlen(text, static_cast<size_t>(maxLength)));
}

void TextString::Set(const char* text, int maxLength) { DoSet(0, text, ClampedLength(text, maxLength), 0); }

void TextString::Append(const char* text, int maxLength)
{
  DoSet(GetLength(), text, ClampedLength(text, maxLength), 0);
}

void TextString::Insert(const char* text, int position, int maxLength)
{
  if (position < 0)
    return;
  const int length = GetLength();
  if (position > length)
    position = length;
  DoSet(position, text, ClampedLength(text, maxLength), length - position);
}

void TextString::DoSet(int offset, const char* text, int length, int keep)
{
  if (length == 0 && offset == 0 && keep == 0)
  {
    mBuf.Resize(1, false);
    if (mBuf.GetSize() == 1)
      static_cast<char*>(mBuf.Get())[0] = 0;
    return;
  }
  if (offset < 0 || length <= 0 || keep < 0)
    return;

  // A text taken from this string's own storage would move under the copy (growth, kept bytes).
  std::unique_ptr<char[]> ownCopy;
  const char* base = static_cast<const char*>(mBuf.Get());
  const auto at = reinterpret_cast<uintptr_t>(text);
  const auto from = reinterpret_cast<uintptr_t>(base);
  if (text && base && at >= from && at < from + static_cast<uintptr_t>(mBuf.GetAllocated()))
  {
    ownCopy.reset(new (std::nothrow) char[static_cast<size_t>(length)]);
    if (!ownCopy)
      return;
    std::memcpy(ownCopy.get(), text, static_cast<size_t>(length));
    text = ownCopy.get();
  }

  const int64_t needed = int64_t{offset} + length + keep + 1;
  if (needed > std::numeric_limits<int>::max())
    return;
  const int oldSize = mBuf.GetSize();
  if (needed > oldSize)
  {
    mBuf.Resize(static_cast<int>(needed), false);
    if (mBuf.GetSize() != needed)
      return;
  }

  char* buf = static_cast<char*>(mBuf.Get());
  if (keep > 0)
    std::memmove(buf + offset + length, buf + offset, static_cast<size_t>(keep));
  if (text)
    std::memcpy(buf + offset, text, static_cast<size_t>(length));
  buf[offset + length + keep] = 0;
  if (needed < oldSize)
    mBuf.Resize(static_cast<int>(needed), false);
}

void TextString::SetFormatted(int maxLength, const char* format, ...)
{
  va_list args;
  va_start(args, format);
  SetFormattedV(maxLength, format, args);
  va_end(args);
}

void TextString::AppendFormatted(int maxLength, const char* format, ...)
{
  va_list args;
  va_start(args, format);
  AppendFormattedV(maxLength, format, args);
  va_end(args);
}

void TextString::SetFormattedV(int maxLength, const char* format, va_list args)
{
  FormatAt(0, maxLength, format, args);
}

void TextString::AppendFormattedV(int maxLength, const char* format, va_list args)
{
  FormatAt(GetLength(), maxLength, format, args);
}

// Formats into scratch storage first: the arguments may point into this string's own text.
void TextString::FormatAt(int offset, int maxLength, const char* format, va_list args)
{
  if (maxLength < 0 || !format)
    return;
  std::unique_ptr<char[]> scratch(new (std::nothrow) char[static_cast<size_t>(maxLength) + 1]);
  if (!scratch)
    return;
  const int written = std::vsnprintf(scratch.get(), static_cast<size_t>(maxLength) + 1, format, args);
  const int kept = written < 0 ? 0 : std::min(written, maxLength);
  DoSet(offset, scratch.get(), kept, 0);
}
