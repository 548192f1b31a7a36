// The module's class factory: the classes it offers and how each is created.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <vector>

namespace Steinberg {

class CPluginFactory : public IPluginFactory3
{
public:
  // Builds a new instance with one reference, or returns none.
  using CreateFunction = FUnknown* (*)(void* context);

  explicit CPluginFactory(const PFactoryInfo& info);
  virtual ~CPluginFactory();

  // Adds a class; a class id already registered is refused (main thread, before the host asks).
  bool registerClass(const PClassInfo2& info, CreateFunction create, void* context = nullptr);
  bool isClassRegistered(const TUID cid) const;

  //---IPluginFactory
  tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) SMTG_OVERRIDE;
  int32 PLUGIN_API countClasses() SMTG_OVERRIDE;
  tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) SMTG_OVERRIDE;
  tresult PLUGIN_API createInstance(FIDString cid, FIDString iid, void** obj) SMTG_OVERRIDE;
  //---IPluginFactory2
  tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) SMTG_OVERRIDE;
  //---IPluginFactory3
  tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) SMTG_OVERRIDE;
  tresult PLUGIN_API setHostContext(FUnknown* context) SMTG_OVERRIDE;

  DECLARE_FUNKNOWN_METHODS

private:
  struct Entry
  {
    PClassInfo2 info;
    CreateFunction create;
    void* context;
  };
  const Entry* entryAt(int32 index) const;

  PFactoryInfo factoryInfo;
  std::vector<Entry> classes;
};

// The module's one factory while the host holds it; cleared when its last reference goes.
extern IPluginFactory* gPluginFactory;

} // namespace Steinberg
