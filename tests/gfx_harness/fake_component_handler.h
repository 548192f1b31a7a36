// The host's side of a VST3 editor: a component handler that records edits and builds context menus,
// the menus it hands out, and a plug-in view to name in them.
#pragma once

#include <string>
#include <vector>

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/common/pluginview.h"

namespace plugkit::gfx::test {

class FakeContextMenu : public Steinberg::Vst::IContextMenu, public Steinberg::FObject
{
public:
  struct Entry
  {
    std::string text; // UTF-8
    int tag = 0;
    int flags = 0;
    Steinberg::Vst::IContextMenuTarget* target = nullptr;
  };

  Steinberg::int32 PLUGIN_API getItemCount() override { return static_cast<Steinberg::int32>(mEntries.size()); }
  Steinberg::tresult PLUGIN_API getItem(Steinberg::int32 index, Item& item,
                                        Steinberg::Vst::IContextMenuTarget** target) override;
  Steinberg::tresult PLUGIN_API addItem(const Item& item, Steinberg::Vst::IContextMenuTarget* target) override;
  Steinberg::tresult PLUGIN_API removeItem(const Item& item, Steinberg::Vst::IContextMenuTarget* target) override;
  Steinberg::tresult PLUGIN_API popup(Steinberg::UCoord x, Steinberg::UCoord y) override;

  const std::vector<Entry>& Entries() const { return mEntries; }
  int PopupCount() const { return mPopups; }
  Steinberg::UCoord PopupX() const { return mX; }
  Steinberg::UCoord PopupY() const { return mY; }
  // The user picks the entry with that tag: its target's executeMenuItem. False without one.
  bool Choose(int tag);

  OBJ_METHODS(FakeContextMenu, Steinberg::FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IContextMenu)
  END_DEFINE_INTERFACES(Steinberg::FObject)
  REFCOUNT_METHODS(Steinberg::FObject)

private:
  std::vector<Entry> mEntries;
  int mPopups = 0;
  Steinberg::UCoord mX = -1;
  Steinberg::UCoord mY = -1;
};

class FakeComponentHandler : public Steinberg::Vst::IComponentHandler,
                             public Steinberg::Vst::IComponentHandler3,
                             public Steinberg::FObject
{
public:
  ~FakeComponentHandler() override;

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;
  Steinberg::Vst::IContextMenu* PLUGIN_API createContextMenu(Steinberg::IPlugView* plugView,
                                                             const Steinberg::Vst::ParamID* paramID) override;

  // "begin 5", "perform 5 0.5", "end 5", "restart 1", "menu 5" in call order.
  const std::vector<std::string>& Log() const { return mLog; }
  void ClearLog() { mLog.clear(); }
  // The last menu handed out; the handler keeps a reference so it can be read after the popup.
  FakeContextMenu* LastMenu() const { return mLastMenu; }
  // False: behave like a host without context menus (createContextMenu gives none).
  bool offersMenus = true;

  OBJ_METHODS(FakeComponentHandler, Steinberg::FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IComponentHandler)
  DEF_INTERFACE(Steinberg::Vst::IComponentHandler3)
  END_DEFINE_INTERFACES(Steinberg::FObject)
  REFCOUNT_METHODS(Steinberg::FObject)

private:
  std::vector<std::string> mLog;
  FakeContextMenu* mLastMenu = nullptr;
};

// An open plug-in view as far as the context menu needs one.
using FakePlugView = Steinberg::CPluginView;

} // namespace plugkit::gfx::test
