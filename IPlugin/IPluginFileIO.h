// Whole-file reads and crash-safe whole-file writes for the framework's own files.
#pragma once

#include <cstddef>

#include "IPlugin/IByteChunk.h"

namespace plugkit
{

// Main thread. False when the file cannot be opened or read, or does not fit a chunk; out then holds
// nothing useful.
bool ReadFileBytes(const char* path, IByteChunk& out);

// Main thread: writes the bytes to a new file beside path, flushes it to the disk and renames it
// over path, so neither a failed write nor a crash leaves a partial file at path. False on any
// failure; path is then as it was.
bool WriteFileAtomically(const char* path, const void* data, size_t size);

} // namespace plugkit
