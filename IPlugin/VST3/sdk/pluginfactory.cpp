#include "IPlugin/VST3/sdk/pluginfactory.h"

#include <cstring>

namespace Steinberg {

IPluginFactory* gPluginFactory = nullptr;

CPluginFactory::CPluginFactory(const PFactoryInfo& info)
  : factoryInfo(info){FUNKNOWN_CTOR}

  CPluginFactory::~CPluginFactory()
{
  if (gPluginFactory == this)
    gPluginFactory = nullptr;
  FUNKNOWN_DTOR
}

IMPLEMENT_REFCOUNT(CPluginFactory)

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID iid, void** obj)
{
  QUERY_INTERFACE(iid, obj, FUnknown::iid, IPluginFactory)
  QUERY_INTERFACE(iid, obj, IPluginFactory::iid, IPluginFactory)
  QUERY_INTERFACE(iid, obj, IPluginFactory2::iid, IPluginFactory2)
  QUERY_INTERFACE(iid, obj, IPluginFactory3::iid, IPluginFactory3)
  *obj = nullptr;
  return kNoInterface;
}

bool CPluginFactory::registerClass(const PClassInfo2& info, CreateFunction create, void* context)
{
  if (create == nullptr || isClassRegistered(info.cid))
    return false;
  classes.push_back({info, create, context});
  return true;
}

bool CPluginFactory::isClassRegistered(const TUID cid) const
{
  for (const auto& entry : classes)
    if (std::memcmp(entry.info.cid, cid, sizeof(TUID)) == 0)
      return true;
  return false;
}

const CPluginFactory::Entry* CPluginFactory::entryAt(int32 index) const
{
  if (index < 0 || index >= static_cast<int32>(classes.size()))
    return nullptr;
  return &classes[static_cast<size_t>(index)];
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info)
{
  if (info == nullptr)
    return kInvalidArgument;
  *info = factoryInfo;
  return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses() { return static_cast<int32>(classes.size()); }

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info)
{
  const Entry* entry = entryAt(index);
  if (entry == nullptr || info == nullptr)
    return kInvalidArgument;
  *info = PClassInfo(entry->info.cid, entry->info.cardinality, entry->info.category, entry->info.name);
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info)
{
  const Entry* entry = entryAt(index);
  if (entry == nullptr || info == nullptr)
    return kInvalidArgument;
  *info = entry->info;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info)
{
  const Entry* entry = entryAt(index);
  if (entry == nullptr || info == nullptr)
    return kInvalidArgument;
  info->fromAscii(entry->info);
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString iid, void** obj)
{
  if (obj == nullptr)
    return kInvalidArgument;
  *obj = nullptr;
  if (cid == nullptr || iid == nullptr)
    return kInvalidArgument;
  for (const auto& entry : classes)
  {
    if (std::memcmp(entry.info.cid, cid, sizeof(TUID)) != 0)
      continue;
    FUnknown* instance = entry.create(entry.context);
    if (instance == nullptr)
      return kOutOfMemory;
    // The host's reference comes from the query; the creation reference is given back.
    tresult result = instance->queryInterface(iid, obj);
    instance->release();
    if (result != kResultOk)
      *obj = nullptr;
    return result;
  }
  return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown* /*context*/) { return kNotImplemented; }

} // namespace Steinberg
