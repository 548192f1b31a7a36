#include "product/patch/settings_store.h"

#include <filesystem>
#include <system_error>

#include "IPlugin/TextScan.h"

namespace zarvo {

namespace {

constexpr std::string_view kHeaderLine = "# preferences (auto-generated; key=value, editable)\n";

// Only a path that names nothing at all may be written from scratch; a dangling link counts as
// nothing, as the write then creates its target.
bool isMissing(const std::string& path)
{
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  return status.type() == std::filesystem::file_type::not_found;
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Calls fn with the key and value of every entry line of a preferences text, in order: lines are
// trimmed, blank and comment ("#", ";") lines and lines without "=" are skipped, the first "="
// splits key from value and both are trimmed again.
template <class Fn>
void forEachEntry(std::string_view text, Fn&& fn)
{
  while (!text.empty())
  {
    const size_t lf = text.find('\n');
    const std::string_view line = plugkit::Trim(text.substr(0, lf), plugkit::kLineBlanks);
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    if (line.empty() || line.front() == '#' || line.front() == ';')
      continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos)
      continue;
    fn(plugkit::Trim(line.substr(0, eq), plugkit::kLineBlanks),
       plugkit::Trim(line.substr(eq + 1), plugkit::kLineBlanks));
  }
}

} // namespace

SettingsStore::SettingsStore(std::string path)
  : mPath(std::move(path))
{}

plugkit::EFileResult SettingsStore::load()
{
  if (mPath.empty())
    return plugkit::EFileResult::kUnreadable;
  std::string text;
  const plugkit::EFileResult result = plugkit::ReadFileCapped(mPath, kMaxFileBytes, text);
  if (result != plugkit::EFileResult::kOk)
    return result;
  loadText(text);
  return result;
}

void SettingsStore::loadText(std::string_view text)
{
  forEachEntry(text, [this](std::string_view key, std::string_view value) { store(key, std::string(value)); });
}

std::string SettingsStore::toText(const std::vector<Entry>& entries)
{
  std::string out(kHeaderLine);
  for (const Entry& e : entries)
    out.append(e.first).append("=").append(e.second).append("\n");
  return out;
}

plugkit::EFileResult SettingsStore::save()
{
  if (mPath.empty())
    return plugkit::EFileResult::kWriteFailed;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(mPath).parent_path(), ec);

  // What other processes saved stays; the keys changed here win. A file that is there but cannot be
  // read (no permission, over the cap, not a file) is never replaced: its lines would be lost.
  std::string text;
  SettingsStore merged(mPath);
  const plugkit::EFileResult read = plugkit::ReadFileCapped(mPath, kMaxFileBytes, text);
  if (read == plugkit::EFileResult::kOk)
    merged.loadText(text);
  else if (isMissing(mPath))
    merged.mEntries = mEntries;
  else
  {
    mHeld = true;
    return plugkit::EFileResult::kWriteFailed;
  }
  mHeld = false;
  for (const Entry& e : mEntries)
    if (mChanged.contains(e.first))
      merged.store(e.first, e.second);

  const plugkit::EFileResult result = plugkit::WriteFileAtomic(mPath, toText(merged.mEntries));
  if (result == plugkit::EFileResult::kOk)
  {
    mEntries = std::move(merged.mEntries);
    mChanged.clear();
  }
  return result;
}

bool SettingsStore::put(std::string_view key, std::string value)
{
  if (hasLineBreak(key) || hasLineBreak(value) || key.find('=') != std::string_view::npos)
    return false;
  store(key, std::move(value));
  mChanged.emplace(key);
  return true;
}

bool SettingsStore::setString(std::string_view key, std::string_view value) { return put(key, std::string(value)); }

void SettingsStore::store(std::string_view key, std::string value)
{
  for (Entry& e : mEntries)
  {
    if (e.first == key)
    {
      e.second = std::move(value);
      return;
    }
  }
  mEntries.emplace_back(std::string(key), std::move(value));
}

const std::string* SettingsStore::find(std::string_view key) const
{
  for (const Entry& e : mEntries)
    if (e.first == key)
      return &e.second;
  return nullptr;
}

std::string SettingsStore::getString(std::string_view key, std::string_view defaultValue) const
{
  const std::string* v = find(key);
  return v ? *v : std::string(defaultValue);
}

bool SettingsStore::getBool(std::string_view key, bool defaultValue) const
{
  const std::string* v = find(key);
  if (!v)
    return defaultValue;
  return *v == "1" || *v == "on" || *v == "yes" || *v == "true";
}

} // namespace zarvo
