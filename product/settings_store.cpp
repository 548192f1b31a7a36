#include "product/settings_store.h"

#include <filesystem>
#include <fstream>

namespace zarvo {

namespace {

constexpr std::string_view kHeaderLine = "# preferences (auto-generated; key=value, editable)\n";

bool isTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trim(std::string_view s)
{
  while (!s.empty() && isTrimmed(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && isTrimmed(s.back()))
    s.remove_suffix(1);
  return s;
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

} // namespace

SettingsStore::SettingsStore(std::string path)
: mPath(std::move(path))
{
}

void SettingsStore::load()
{
  if (mPath.empty())
    return;
  std::ifstream f(mPath);
  if (!f.is_open())
    return;
  std::string raw;
  while (std::getline(f, raw))
  {
    const std::string_view line = trim(raw);
    if (line.empty() || line.front() == '#' || line.front() == ';')
      continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos)
      continue;
    store(trim(line.substr(0, eq)), std::string(trim(line.substr(eq + 1))));
  }
}

bool SettingsStore::save() const
{
  if (mPath.empty())
    return false;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(mPath).parent_path(), ec);
  std::ofstream f(mPath, std::ios::trunc);
  if (!f.is_open())
    return false;
  f << kHeaderLine;
  for (const Entry& e : mEntries)
    f << e.first << '=' << e.second << '\n';
  f.flush();
  return !f.fail();
}

bool SettingsStore::put(std::string_view key, std::string value)
{
  if (hasLineBreak(key) || hasLineBreak(value) || key.find('=') != std::string_view::npos)
    return false;
  store(key, std::move(value));
  return true;
}

bool SettingsStore::setString(std::string_view key, std::string_view value)
{
  return put(key, std::string(value));
}

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
