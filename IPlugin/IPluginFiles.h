// Whole-file reads with a size cap and writes that never leave a half-written file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "IPlugin/IByteChunk.h"

namespace plugkit {

// What loading or saving a file came to, for the editor to tell the user.
enum class EFileResult
{
  kOk,
  kUnreadable, // missing, not a regular file, or a read error
  kNotOurs,    // readable, but larger than any file of its kind or not of its format
  kWriteFailed // nothing was replaced: the previous file, if any, is as it was
};

// Main thread (never the audio thread). Writes bytes to a new file beside path (same folder, a unique
// hidden name), flushes it to the disk and renames it over path, so a crash, a full disk or a
// concurrent reader only ever sees the old file or the whole new one. A target that is a symbolic
// link has its link target replaced; an existing file's permission bits are kept. A target (or link
// target) that exists and is not a regular file (a folder, device, pipe or socket) is refused before
// anything is created. On failure the temporary file is removed. The folder must exist.
EFileResult WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

// Main thread. The whole content of a regular file of at most maxBytes into out: kUnreadable when it
// cannot be opened or read or is not a regular file (a named pipe is refused without waiting for a
// writer), kNotOurs when it is larger than maxBytes (nothing read). out is left empty unless the
// result is kOk.
EFileResult ReadFileCapped(const std::filesystem::path& path, std::size_t maxBytes, std::string& out);

// The same for the framework's binary files; a null or empty path is unreadable or fails the write.
EFileResult WriteFileAtomic(const char* path, const IByteChunk& bytes);
EFileResult ReadFileCapped(const char* path, std::size_t maxBytes, IByteChunk& out);

} // namespace plugkit
