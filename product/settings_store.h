// The process-wide preferences store: key=value lines in "preferences.ini".
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zarvo {

// An ordered list of unique keys with text values, read from and written to one file on request.
// Main thread only; no lock.
class SettingsStore
{
public:
  using Entry = std::pair<std::string, std::string>;

  // Bound to the path; reads nothing yet. An empty path neither reads nor writes.
  explicit SettingsStore(std::string path);

  const std::string& path() const { return mPath; }
  const std::vector<Entry>& entries() const { return mEntries; }

  // Merges the file's entries into the list; a missing or unreadable file changes nothing.
  void load();
  // Rewrites the whole file, creating missing folders; true when every write succeeded.
  bool save() const;

  // Replaces in place or appends; never saves. Refuses (false, nothing stored) a key or value with a
  // line break or a key with "=", which would read back as other entries.
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
};

} // namespace zarvo
