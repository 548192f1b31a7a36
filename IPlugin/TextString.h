// The framework's growable NUL-terminated UTF-8 text, kept in a HeapBuf.
#pragma once

#include <cstdarg>

#include "IPlugin/HeapBuf.h"

// Main thread (allocates). Never throws: an operation that cannot grow leaves the text unchanged.
class TextString
{
public:
  static constexpr int kDefaultGrowStep = 128;

  TextString()
    : mBuf(kDefaultGrowStep)
  {}
  explicit TextString(const char* text, int growStep = kDefaultGrowStep);

  TextString(const TextString&) = default;
  TextString(TextString&&) noexcept = default;
  TextString& operator=(const TextString&) = default;
  TextString& operator=(TextString&&) noexcept = default;

  // The text; the empty text (never null) when nothing is held.
  const char* Get() const;
  // Writable text of GetLength() bytes plus terminator, or null when nothing is held.
  char* GetMutable();
  // Bytes before the terminator.
  int GetLength() const;

  // maxLength < 0 takes the whole text; otherwise at most maxLength bytes of it.
  void Set(const char* text, int maxLength = -1);
  void Append(const char* text, int maxLength = -1);
  // A position beyond the end appends; a negative position changes nothing.
  void Insert(const char* text, int position, int maxLength = -1);

  // printf-style; the result is cut to maxLength bytes.
  void SetFormatted(int maxLength, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void AppendFormatted(int maxLength, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void SetFormattedV(int maxLength, const char* format, va_list args);
  void AppendFormattedV(int maxLength, const char* format, va_list args);

private:
  // Writes length bytes of text at offset, after moving the keep bytes found there up by length.
  void DoSet(int offset, const char* text, int length, int keep);
  void FormatAt(int offset, int maxLength, const char* format, va_list args);
  static int ClampedLength(const char* text, int maxLength);

  HeapBuf mBuf;
};
