// A VST3 module loaded with dlopen and entered through its Linux entry points.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <memory>
#include <string>

namespace Steinberg::Vst {

class HostModule
{
public:
  // What unloading found: the factory's reference count after the host's release (0 when the
  // module keeps none) and whether the exit entry point and dlclose succeeded.
  struct UnloadReport
  {
    uint32 factoryReferencesLeft = 0;
    bool exited = false;
    bool closed = false;
    bool clean() const { return factoryReferencesLeft == 0 && exited && closed; }
  };

  // Opens a bundle folder (".../Name.vst3") or a library file, enters it and takes its factory.
  static std::unique_ptr<HostModule> load(const std::string& path, std::string& error);
  // The library inside a bundle folder; a path that is not a folder is returned as it is.
  static std::string libraryPathOf(const std::string& bundleOrLibrary);

  ~HostModule();
  HostModule(const HostModule&) = delete;
  HostModule& operator=(const HostModule&) = delete;

  IPluginFactory* getFactory() const { return factory; }
  const std::string& getLibraryPath() const { return libraryPath; }

  // Releases the factory, exits the module and closes the library; later calls do nothing.
  UnloadReport unload();

private:
  HostModule() = default;

  std::string libraryPath;
  void* library = nullptr;
  bool entered = false;
  IPluginFactory* factory = nullptr;
};

} // namespace Steinberg::Vst
