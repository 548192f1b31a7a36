// The process-wide preferences store, the settings folder's files and the default user-tab layout.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "IPlugin/IPluginFiles.h"
#include "product/VemlorConfig.h"

namespace zarvo {

class SettingsStore;

// One user tab column: parameter indices 0 to 78, alternative control ids, negative spacer ids. The
// default layout keeps them here and the state chunk's editor section carries them.
using UserTabColumns = std::vector<std::vector<int>>;

inline constexpr const char* kSettingsFolderName = kVemlorConfig.productName;
inline constexpr const char* kPrefsFileName = "preferences.ini";
inline constexpr const char* kDefaultLayoutFileName = "default_layout.zarvo";
inline constexpr const char* kUserTabSection = "user-tab";

// The product's preference keys.
namespace prefkey {
inline constexpr const char* kPreferencesVersion = "preferences_version";
inline constexpr const char* kHoverHelp = "hover_help";
inline constexpr const char* kUiScale = "ui_scale";
inline constexpr const char* kPresetDir = "preset_dir";
inline constexpr const char* kMorphFieldLineBrightness = "morph_field_line_brightness";
inline constexpr const char* kIsoLevels = "iso_levels";
inline constexpr const char* kGridStep = "grid_step";
} // namespace prefkey

// Main thread. The settings folder joined with name; empty when the folder is unknown.
std::string vemlorPrefsFilePath(std::string_view name);

// Main thread. The one store of the process, loaded when first asked for; shared by every instance.
SettingsStore& prefs();

// Main thread. Loads the store; unless it holds a non-zero integer "preferences_version", puts "1"
// (in memory only). Returns what reading the file came to.
plugkit::EFileResult loadPrefs(SettingsStore& store);

// The number at the start of a stored value, as the product's readers take it (blanks and a "+"
// before it allowed, anything after it ignored, a non-finite value refused); none when the key is
// missing or its value does not start with a number.
template <class T>
std::optional<T> prefNumber(const SettingsStore& store, std::string_view key);
extern template std::optional<double> prefNumber<double>(const SettingsStore&, std::string_view);
extern template std::optional<long long> prefNumber<long long>(const SettingsStore&, std::string_view);

// Main thread. Puts the value and saves the store, as every preference writer does; kWriteFailed
// also for a value the store refuses.
plugkit::EFileResult writePref(SettingsStore& store, std::string_view key, std::string value);

// The control registry's part of user-tab layouts: alternative control names, slot lines and the
// built-in default columns. Main thread.
class UserLayoutFormat
{
public:
  using TokenToId = std::function<int(std::string_view token)>;
  using IdToToken = std::function<std::string(int id)>;

  virtual ~UserLayoutFormat() = default;

  // The name of an alternative control id; empty for any other id.
  virtual std::string altNameFromId(int id) const = 0;
  // The alternative control id of a name; -1 when the name is unknown.
  virtual int altIdFromName(std::string_view name) const = 0;
  // Columns from the "slot" lines; tokens that map to no id are dropped.
  virtual UserTabColumns parseSlotLines(const std::vector<std::string>& lines, const TokenToId& tokenToId) const = 0;
  // One "slot" line per column.
  virtual std::vector<std::string> serializeSlotIds(const UserTabColumns& columns,
                                                    const IdToToken& idToToken) const = 0;
  virtual UserTabColumns defaultUserTabSlots() const = 0;
};

// Main thread. The token a layout stores for a control id: a parameter's internal name for 0 to 78,
// an alternative control's name above; empty when there is none.
std::string layoutTokenFromId(const UserLayoutFormat& format, int id);
// The control id of a token: a parameter index, else an alternative control id (-1 when unknown).
int layoutIdFromToken(const UserLayoutFormat& format, std::string_view token);

// The main pass-type variation control (17) became the depth control (77) in every column.
void migrateUserSlots(UserTabColumns& slots);

// Main thread. The columns of the layout file's "user-tab" section, migrated. A missing file or
// section, or lines that give no column, give the built-in default; a section without lines is an
// empty tab.
UserTabColumns loadDefaultUserLayout(const UserLayoutFormat& format, const std::string& path);
// Main thread. Replaces the layout file as a whole; kWriteFailed (nothing written) for an empty path.
plugkit::EFileResult saveDefaultUserLayout(const UserLayoutFormat& format, const std::string& path,
                                           const UserTabColumns& slots);

} // namespace zarvo
