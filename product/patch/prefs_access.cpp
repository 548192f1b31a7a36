#include "product/patch/prefs_access.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "IPlugin/IPluginPaths.h"
#include "IPlugin/IPluginThreadRole.h"
#include "IPlugin/TextScan.h"
#include "IPlugin/TextString.h"
#include "product/VemlorConfig.h"
#include "product/params/params.h"
#include "product/patch/settings_store.h"
#include "utils/zarvo_file.h"

namespace zarvo {

namespace {

constexpr int kRetiredVariationControl = par_main_pt_variation;
constexpr int kDepthControl = par_main_pt_depth;
constexpr const char* kLayoutPluginName = kVemlorConfig.pluginName;
constexpr const char* kLayoutPluginVersion = kVemlorVersionText.c_str();

} // namespace

template <class T>
std::optional<T> prefNumber(const SettingsStore& store, std::string_view key)
{
  const std::string* text = store.find(key);
  if (!text)
    return std::nullopt;
  std::string_view rest(*text);
  T value{};
  if (!plugkit::ReadNumber(rest, value, {.plusThenMinus = true}))
    return std::nullopt;
  return value;
}

template std::optional<double> prefNumber<double>(const SettingsStore&, std::string_view);
template std::optional<long long> prefNumber<long long>(const SettingsStore&, std::string_view);

std::string vemlorPrefsFilePath(std::string_view name)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  TextString folder;
  plugkit::INIPath(folder, kSettingsFolderName);
  if (folder.GetLength() == 0)
    return {};
  return (std::filesystem::path(folder.Get()) / name).string();
}

plugkit::EFileResult loadPrefs(SettingsStore& store)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const plugkit::EFileResult result = store.load();
  const std::optional<long long> number = prefNumber<long long>(store, prefkey::kPreferencesVersion);
  if (!number || *number == 0)
    store.put(prefkey::kPreferencesVersion, "1");
  return result;
}

SettingsStore& prefs()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  static SettingsStore store = [] {
    SettingsStore s(vemlorPrefsFilePath(kPrefsFileName));
    loadPrefs(s);
    return s;
  }();
  return store;
}

plugkit::EFileResult writePref(SettingsStore& store, std::string_view key, std::string value)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!store.put(key, std::move(value)))
    return plugkit::EFileResult::kWriteFailed;
  return store.save();
}

std::string layoutTokenFromId(const UserLayoutFormat& format, int id)
{
  if (id >= kNumParams)
    return format.altNameFromId(id);
  return std::string(paramName(id));
}

int layoutIdFromToken(const UserLayoutFormat& format, std::string_view token)
{
  const int param = paramIndexFromName(token);
  return param >= 0 ? param : format.altIdFromName(token);
}

void migrateUserSlots(UserTabColumns& slots)
{
  for (std::vector<int>& column : slots)
    std::ranges::replace(column, kRetiredVariationControl, kDepthControl);
}

UserTabColumns loadDefaultUserLayout(const UserLayoutFormat& format, const std::string& path)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const std::optional<ZarvoFile> file = path.empty() ? std::nullopt : ZarvoFile::fromFile(path).file;
  if (!file || !file->hasSection(kUserTabSection))
    return format.defaultUserTabSlots();

  // A tab the user emptied is saved as a section without lines.
  const std::vector<std::string>& lines = file->section(kUserTabSection);
  if (lines.empty())
    return {};

  UserTabColumns slots =
    format.parseSlotLines(lines, [&format](std::string_view token) { return layoutIdFromToken(format, token); });
  if (slots.empty())
    return format.defaultUserTabSlots();
  migrateUserSlots(slots);
  return slots;
}

plugkit::EFileResult saveDefaultUserLayout(const UserLayoutFormat& format, const std::string& path,
                                           const UserTabColumns& slots)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (path.empty())
    return plugkit::EFileResult::kWriteFailed;
  ZarvoFile file(kLayoutPluginName, kLayoutPluginVersion);
  file.setSection(kUserTabSection,
                  format.serializeSlotIds(slots, [&format](int id) { return layoutTokenFromId(format, id); }));
  // The settings folder may not exist yet when the layout is the first thing saved.
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  return file.toFile(path);
}

} // namespace zarvo
