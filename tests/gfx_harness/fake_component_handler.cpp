#include "tests/gfx_harness/fake_component_handler.h"

#include <fmt/format.h>

#include "IPlugin/UTF8.h"

namespace plugkit::gfx::test {

namespace {

std::string ToUtf8(const Steinberg::Vst::String128 s)
{
  std::string out;
  for (int i = 0; i < 128 && s[i]; ++i)
  {
    uint32_t cp = static_cast<uint16_t>(s[i]);
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < 128 && s[i + 1])
    {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<uint16_t>(s[i + 1]) - 0xDC00);
      ++i;
    }
    AppendUTF8(out, cp);
  }
  return out;
}

} // namespace

Steinberg::tresult PLUGIN_API FakeContextMenu::getItem(Steinberg::int32 index, Item& item,
                                                       Steinberg::Vst::IContextMenuTarget** target)
{
  if (index < 0 || index >= getItemCount())
    return Steinberg::kInvalidArgument;
  const Entry& e = mEntries[static_cast<size_t>(index)];
  item = Item{};
  item.tag = e.tag;
  item.flags = e.flags;
  if (target)
    *target = e.target;
  return Steinberg::kResultOk;
}

Steinberg::tresult PLUGIN_API FakeContextMenu::addItem(const Item& item, Steinberg::Vst::IContextMenuTarget* target)
{
  mEntries.push_back({ToUtf8(item.name), item.tag, item.flags, target});
  return Steinberg::kResultOk;
}

Steinberg::tresult PLUGIN_API FakeContextMenu::removeItem(const Item&, Steinberg::Vst::IContextMenuTarget*)
{
  return Steinberg::kNotImplemented;
}

Steinberg::tresult PLUGIN_API FakeContextMenu::popup(Steinberg::UCoord x, Steinberg::UCoord y)
{
  ++mPopups;
  mX = x;
  mY = y;
  return Steinberg::kResultOk;
}

bool FakeContextMenu::Choose(int tag)
{
  for (const Entry& e : mEntries)
  {
    if (e.tag == tag && e.target)
      return e.target->executeMenuItem(tag) == Steinberg::kResultOk;
  }
  return false;
}

FakeComponentHandler::~FakeComponentHandler()
{
  if (mLastMenu)
    mLastMenu->release();
}

Steinberg::tresult PLUGIN_API FakeComponentHandler::beginEdit(Steinberg::Vst::ParamID id)
{
  mLog.push_back(fmt::format("begin {}", id));
  return Steinberg::kResultOk;
}

Steinberg::tresult PLUGIN_API FakeComponentHandler::performEdit(Steinberg::Vst::ParamID id,
                                                                Steinberg::Vst::ParamValue value)
{
  mLog.push_back(fmt::format("perform {} {:g}", id, value));
  return Steinberg::kResultOk;
}

Steinberg::tresult PLUGIN_API FakeComponentHandler::endEdit(Steinberg::Vst::ParamID id)
{
  mLog.push_back(fmt::format("end {}", id));
  return Steinberg::kResultOk;
}

Steinberg::tresult PLUGIN_API FakeComponentHandler::restartComponent(Steinberg::int32 flags)
{
  mLog.push_back(fmt::format("restart {}", flags));
  return Steinberg::kResultOk;
}

Steinberg::Vst::IContextMenu* PLUGIN_API FakeComponentHandler::createContextMenu(Steinberg::IPlugView*,
                                                                                 const Steinberg::Vst::ParamID* paramID)
{
  mLog.push_back(fmt::format("menu {}", paramID ? static_cast<int64_t>(*paramID) : -1));
  if (!offersMenus)
    return nullptr;
  if (mLastMenu)
    mLastMenu->release();
  mLastMenu = new FakeContextMenu(); // our reference
  mLastMenu->addRef();               // the caller's
  return mLastMenu;
}

} // namespace plugkit::gfx::test
