// The process-wide preferences store: key=value lines in "preferences.ini".
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "IPlugin/IPluginFiles.h"

namespace zarvo {

// An ordered list of unique keys with text values, read from and written to one file on request.
// Several processes may share the file: a save re-reads it and writes the keys this store changed
// over what the others left there. Main thread only; no lock.
class SettingsStore
{
public:
  using Entry = std::pair<std::string, std::string>;

  // Larger files are not read: a handful of keys with a folder path each fit in a few kB.
  static constexpr size_t kMaxFileBytes = 64 * 1024;

  // Bound to the path; reads nothing yet. An empty path neither reads nor writes.
  explicit SettingsStore(std::string path);

  const std::string& path() const { return mPath; }
  const std::vector<Entry>& entries() const { return mEntries; }

  // Merges the file's entries into the list; a missing, unreadable or oversized file changes nothing.
  plugkit::EFileResult load();
  // Merges the entries of a file's text: trimmed "key=value" lines; blank, "#" and ";" lines and
  // lines without "=" are skipped; a repeated key keeps its first place and takes the last value.
  void loadText(std::string_view text);
  // The file's text for the entries: the header comment line, then "key=value" lines.
  static std::string toText(const std::vector<Entry>& entries);
  // Re-reads the file, puts the keys changed here since the last successful save over its entries,
  // and replaces it as a whole with the result, creating missing folders; the list then holds what
  // was written. kOk or kWriteFailed (the file and the pending changes stay as they were). A file
  // that exists but cannot be read is left alone (kWriteFailed, held() true): the values put here
  // last for the session.
  plugkit::EFileResult save();
  // The last save found a file it could not read and so did not replace it.
  bool held() const { return mHeld; }
  // True the first time it is asked after a save was held back, false ever after: the user is told once.
  bool takeHeldNotice()
  {
    const bool tell = mHeld && !mHeldTold;
    mHeldTold = mHeldTold || mHeld;
    return tell;
  }

  // Replaces in place or appends and marks the key changed; never saves. Refuses (false, nothing
  // stored) a key or value with a line break or a key with "=", which would read back as other entries.
  bool put(std::string_view key, std::string value);
  bool setString(std::string_view key, std::string_view value);

  // The stored value, or none.
  const std::string* find(std::string_view key) const;
  std::string getString(std::string_view key, std::string_view defaultValue) const;
  // True only for exactly "1", "on", "yes" or "true".
  bool getBool(std::string_view key, bool defaultValue) const;

private:
  void store(std::string_view key, std::string value);

  std::string mPath;
  std::vector<Entry> mEntries;
  std::set<std::string, std::less<>> mChanged; // keys put since the last successful save
  bool mHeld = false;
  bool mHeldTold = false;
};

} // namespace zarvo
