#include "IPlugin/VST3/sdk/hosting/module.h"

#include <dlfcn.h>

#include <filesystem>

namespace Steinberg::Vst {

namespace {

using EntryFunction = bool (*)(void*);
using ExitFunction = bool (*)();
using FactoryFunction = IPluginFactory*(PLUGIN_API*)();

std::string dlerrorText()
{
  const char* text = dlerror();
  return text ? text : "unknown error";
}

} // namespace

std::string HostModule::libraryPathOf(const std::string& bundleOrLibrary)
{
  namespace fs = std::filesystem;
  fs::path path(bundleOrLibrary);
  std::error_code ec;
  if (!fs::is_directory(path, ec))
    return bundleOrLibrary;
  if (!path.has_filename())
    path = path.parent_path();
  return (path / "Contents" / "x86_64-linux" / (path.stem().string() + ".so")).string();
}

std::unique_ptr<HostModule> HostModule::load(const std::string& path, std::string& error)
{
  std::unique_ptr<HostModule> module(new HostModule);
  module->libraryPath = libraryPathOf(path);
  module->library = dlopen(module->libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module->library == nullptr)
  {
    error = "cannot open " + dlerrorText();
    return nullptr;
  }
  auto entry = reinterpret_cast<EntryFunction>(dlsym(module->library, "ModuleEntry"));
  auto getFactory = reinterpret_cast<FactoryFunction>(dlsym(module->library, "GetPluginFactory"));
  if (entry == nullptr || getFactory == nullptr || dlsym(module->library, "ModuleExit") == nullptr)
  {
    error = module->libraryPath + " lacks ModuleEntry, ModuleExit or GetPluginFactory";
    return nullptr;
  }
  if (!entry(module->library))
  {
    error = "ModuleEntry of " + module->libraryPath + " failed";
    return nullptr;
  }
  module->entered = true;
  module->factory = getFactory();
  if (module->factory == nullptr)
  {
    error = "GetPluginFactory of " + module->libraryPath + " returned none";
    return nullptr;
  }
  return module;
}

HostModule::~HostModule() { unload(); }

HostModule::UnloadReport HostModule::unload()
{
  UnloadReport report;
  if (factory)
  {
    report.factoryReferencesLeft = factory->release();
    factory = nullptr;
  }
  if (library == nullptr)
  {
    report.exited = report.closed = true;
    return report;
  }
  report.exited = true;
  if (entered)
  {
    auto exit = reinterpret_cast<ExitFunction>(dlsym(library, "ModuleExit"));
    report.exited = exit != nullptr && exit();
    entered = false;
  }
  report.closed = dlclose(library) == 0;
  library = nullptr;
  return report;
}

} // namespace Steinberg::Vst
