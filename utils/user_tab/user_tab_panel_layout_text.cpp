// The user tab's layout text: applying it, files, the clipboard and dropped files.
#include "IGfx/IGfx.h"
#include "utils/user_tab/user_tab_panel.h"
#include "utils/zarvo_file.h"

namespace zarvo::ui {

namespace {

constexpr const char* kSection = "user-tab";

} // namespace

void UserTabPanel::setLayoutTokenCodec(IdToToken toToken, TokenToId toId)
{
  idToToken = std::move(toToken);
  tokenToId = std::move(toId);
}

std::string UserTabPanel::serializeLayout() const
{
  ZarvoFile file(mPluginName, mPluginVersion);
  file.setSection(kSection, serializeSlots());
  return file.toString();
}

bool UserTabPanel::applySection(const std::vector<std::string>& lines)
{
  std::vector<Slot> slots = parseSlotLines(lines, tokenToId);
  sanitize(slots);
  pushHistory();
  mSlots = std::move(slots);
  changed();
  return true;
}

bool UserTabPanel::applySlots(std::string_view text)
{
  const std::optional<ZarvoFile> file = ZarvoFile::fromText(text);
  if (!file || !file->hasSection(kSection))
    return false;
  return applySection(file->section(kSection));
}

bool UserTabPanel::saveLayout(const std::string& path) const
{
  ZarvoFile file(mPluginName, mPluginVersion);
  file.setSection(kSection, serializeSlots());
  return file.toFile(path) == plugkit::EFileResult::kOk;
}

bool UserTabPanel::loadLayout(const std::string& path)
{
  const ZarvoFile::Loaded loaded = ZarvoFile::fromFile(path);
  if (!loaded.file || !loaded.file->hasSection(kSection))
    return false;
  return applySection(loaded.file->section(kSection));
}

bool UserTabPanel::copyToClipboard() const
{
  return mGraphics && mGraphics->SetTextInClipboard(serializeLayout().c_str());
}

bool UserTabPanel::pasteFromClipboard()
{
  if (!mGraphics)
    return false;
  TextString text;
  if (!mGraphics->GetTextFromClipboard(text) || !text.Get() || !*text.Get())
    return false;
  return applySlots(text.Get());
}

void UserTabPanel::OnDrop(const char* path)
{
  if (path && *path)
    loadLayout(path);
}

} // namespace zarvo::ui
