// Random bytes as a preferences file: every entry read is a trimmed key without "=" or a line break,
// keys are unique, what the store writes reads back to the same entries, the numeric readers give
// only finite numbers, and the version check always leaves a non-zero version behind.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "product/patch/prefs_access.h"
#include "product/patch/settings_store.h"

namespace {

bool trimmed(std::string_view s)
{
  constexpr std::string_view kBlanks = " \t\r\n";
  return s.empty() ||
         (kBlanks.find(s.front()) == std::string_view::npos && kBlanks.find(s.back()) == std::string_view::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  zarvo::SettingsStore store("");
  store.loadText(text);

  std::set<std::string_view> keys;
  for (const auto& [key, value] : store.entries())
  {
    if (key.find_first_of("=\n") != std::string::npos || value.find('\n') != std::string::npos)
      std::abort();
    if (!trimmed(key) || !trimmed(value) || !keys.insert(key).second)
      std::abort();
    if (const auto number = zarvo::prefNumber<double>(store, key); number && !std::isfinite(*number))
      std::abort();
    (void)zarvo::prefNumber<long long>(store, key);
    (void)store.getBool(key, true);
  }

  // What a save writes reads back as it was.
  zarvo::SettingsStore again("");
  again.loadText(zarvo::SettingsStore::toText(store.entries()));
  if (again.entries() != store.entries())
    std::abort();

  // An empty path reads nothing; the version check then runs on what the text gave.
  zarvo::loadPrefs(store);
  const auto version = zarvo::prefNumber<long long>(store, zarvo::prefkey::kPreferencesVersion);
  if (!version || *version == 0)
    std::abort();
  return 0;
}
