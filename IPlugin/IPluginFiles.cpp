#include "IPlugin/IPluginFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>

#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {

namespace {

// Closes a descriptor on every path out of a function.
class FileDescriptor
{
public:
  explicit FileDescriptor(int fd)
    : mFd(fd)
  {}
  ~FileDescriptor()
  {
    if (mFd >= 0)
      ::close(mFd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return mFd; }
  // Closes now; false when the close reported an error (a delayed write failure).
  bool close()
  {
    const int fd = mFd;
    mFd = -1;
    return ::close(fd) == 0;
  }

private:
  int mFd;
};

bool WriteAll(int fd, std::string_view bytes)
{
  while (!bytes.empty())
  {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Creates a new file beside target under a name no other writer uses; -1 when the folder refuses.
int CreateTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& tempPath)
{
  static std::atomic<unsigned> sCounter{0};
  for (int attempt = 0; attempt < 16; ++attempt)
  {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld-%u.tmp", static_cast<long>(::getpid()), sCounter.fetch_add(1) + 1);
    tempPath = target.parent_path() / ("." + target.filename().string() + suffix);
    // 0666 less the user's umask, as any new file gets.
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  return -1;
}

// Makes the rename itself durable; a folder that cannot be synced changes nothing about the result.
void SyncFolder(const std::filesystem::path& folder)
{
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0)
  {
    ::fsync(fd);
    ::close(fd);
  }
}

} // namespace

EFileResult WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (path.empty() || !path.has_filename())
    return EFileResult::kWriteFailed;

  std::filesystem::path target = path;
  std::error_code ec;
  if (std::filesystem::is_symlink(target, ec))
  {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
    if (ec)
      return EFileResult::kWriteFailed;
    target = resolved;
  }
  // Only a regular file is ever replaced: renaming over a device, a pipe or a socket would put a
  // plain file in its place, and a folder cannot be.
  struct stat existing
  {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT)
    return EFileResult::kWriteFailed;
  if (exists && !S_ISREG(existing.st_mode))
    return EFileResult::kWriteFailed;

  std::filesystem::path tempPath;
  FileDescriptor fd(CreateTemporaryBeside(target, tempPath));
  if (fd.get() < 0)
    return EFileResult::kWriteFailed;

  bool ok = true;
  if (exists)
    ok = ::fchmod(fd.get(), existing.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd.get(), bytes);
  ok = ok && ::fsync(fd.get()) == 0;
  ok = fd.close() && ok;
  ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
  if (!ok)
  {
    ::unlink(tempPath.c_str());
    return EFileResult::kWriteFailed;
  }
  SyncFolder(target.parent_path());
  return EFileResult::kOk;
}

EFileResult ReadFileCapped(const std::filesystem::path& path, std::size_t maxBytes, std::string& out)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  out.clear();
  // Without O_NONBLOCK, opening a named pipe waits for a writer that may never come; whatever is
  // not a regular file is then refused below before anything is read.
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0)
    return EFileResult::kUnreadable;
  struct stat info
  {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
    return EFileResult::kUnreadable;
  if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
    return EFileResult::kNotOurs;

  // The size may change while reading: read until the end, but never past the cap.
  std::string text;
  text.resize(static_cast<size_t>(info.st_size));
  size_t have = 0;
  for (;;)
  {
    if (have == text.size())
    {
      if (text.size() > maxBytes)
        return EFileResult::kNotOurs;
      text.resize(std::min(maxBytes + 1, text.size() + 4096));
    }
    const ssize_t n = ::read(fd.get(), text.data() + have, text.size() - have);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return EFileResult::kUnreadable;
    if (n == 0)
      break;
    have += static_cast<size_t>(n);
  }
  if (have > maxBytes)
    return EFileResult::kNotOurs;
  text.resize(have);
  out = std::move(text);
  return EFileResult::kOk;
}

EFileResult WriteFileAtomic(const char* path, const IByteChunk& bytes)
{
  if (!path || !*path)
    return EFileResult::kWriteFailed;
  return WriteFileAtomic(std::filesystem::path(path), std::string_view(reinterpret_cast<const char*>(bytes.GetData()),
                                                                       static_cast<size_t>(bytes.Size())));
}

EFileResult ReadFileCapped(const char* path, std::size_t maxBytes, IByteChunk& out)
{
  out.Clear();
  if (!path || !*path)
    return EFileResult::kUnreadable;
  std::string bytes;
  const EFileResult result = ReadFileCapped(std::filesystem::path(path), maxBytes, bytes);
  if (result != EFileResult::kOk)
    return result;
  const int n = static_cast<int>(bytes.size());
  if (static_cast<size_t>(n) != bytes.size() || out.Resize(n) != n)
    return EFileResult::kNotOurs;
  if (n > 0)
    std::memcpy(out.GetData(), bytes.data(), bytes.size());
  return EFileResult::kOk;
}

} // namespace plugkit
